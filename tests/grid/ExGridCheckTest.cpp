// Check-box and radio cells of the string grid.
#include "grid/ExGrid.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace platform;

namespace {

struct CheckGrid : ::testing::Test
{
    TExStringGrid grid;
    std::vector<std::pair<int, bool>> changes; // row and state of each OnCheckBoxChange
    void SetUp() override
    {
        grid.resize(400, 300);
        grid.SetColCount(4);
        grid.SetRowCount(6);
        grid.OnCheckBoxChange = [this](QObject*, int, int aRow, bool state) { changes.emplace_back(aRow, state); };
    }
};

} // namespace

TEST_F(CheckGrid, AddingOutsideTheGridRaisesInvalidCell)
{
    grid.HideColumn(2); // 3 display columns, 4 real ones
    grid.HideRow(4);    // 5 display rows, 6 real ones
    struct Case
    {
        int col, row;
        bool valid;
    };
    const Case cases[] = {{-1, 1, false}, {1, -1, false}, {-5, -5, false}, {4, 1, false},
                          {1, 6, false},  {3, 4, true},   {0, 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "cell " << c.col << "," << c.row);
        auto expectOutcome = [&](auto add) {
            if (c.valid) {
                EXPECT_NO_THROW(add());
                return;
            }
            try {
                add();
                ADD_FAILURE() << "no exception";
            } catch (const REruVidaZuvez& e) {
                EXPECT_EQ(e.Message(), QStringLiteral("Invalid cell"));
            }
        };
        expectOutcome([&] { grid.AddCheckBox(c.col, c.row, true, false); });
        expectOutcome([&] { grid.AddCheckBox(c.col, c.row, cbGrayed); });
        expectOutcome([&] { grid.AddRadioButton(c.col, c.row, true); });
    }
}

TEST_F(CheckGrid, DataCheckBoxKeepsCheckTextsAndNormalisesOthers)
{
    struct Case
    {
        QString text;
        bool state;
        QString expected;
    };
    const Case cases[] = {{QStringLiteral("N"), true, QStringLiteral("N")},
                          {QStringLiteral("Y"), false, QStringLiteral("Y")},
                          {QStringLiteral("x"), true, QStringLiteral("Y")},
                          {QStringLiteral("x"), false, QStringLiteral("N")},
                          {QString(), true, QStringLiteral("Y")}};
    for (const Case& c : cases) {
        grid.SetCellEx(1, 1, c.text);
        grid.AddCheckBox(1, 1, c.state, true);
        EXPECT_EQ(grid.GetCellEx(1, 1), c.expected) << c.text.toStdString() << " " << c.state;
        EXPECT_EQ(grid.GetCellType(1, 1), ctDataCheckBox);
    }
    // A plain check box leaves the text alone and keeps its state itself.
    grid.SetCellEx(2, 1, QStringLiteral("x"));
    grid.AddCheckBox(2, 1, true, false);
    EXPECT_EQ(grid.GetCellEx(2, 1), QStringLiteral("x"));
    EXPECT_TRUE(grid.IsChecked(2, 1));
}

TEST_F(CheckGrid, DataCheckBoxReadsExactlyTheCheckTrueText)
{
    grid.AddCheckBox(1, 2, false, true);
    grid.SetCellEx(1, 2, QStringLiteral("y"));
    bool state = true;
    ASSERT_TRUE(grid.GetCheckBoxState(1, 2, state));
    EXPECT_FALSE(state);
    EXPECT_TRUE(grid.ToggleCheckBox(1, 2));
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("Y"));
    EXPECT_TRUE(grid.ToggleCheckBox(1, 2));
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("N"));
    EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{{2, true}, {2, false}}));

    // Other check texts through the events.
    grid.OnGetCheckTrue = [](QObject*, int, int, QString& v) { v = QStringLiteral("on"); };
    grid.OnGetCheckFalse = [](QObject*, int, int, QString& v) { v = QStringLiteral("off"); };
    EXPECT_TRUE(grid.SetCheckBoxState(1, 2, true));
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("on"));
    EXPECT_EQ(changes.size(), 2u); // no event from SetCheckBoxState
}

TEST_F(CheckGrid, StatesOfCellsWithoutACheckBox)
{
    bool state = true;
    EXPECT_FALSE(grid.GetCheckBoxState(1, 1, state));
    EXPECT_TRUE(state); // unchanged
    EXPECT_FALSE(grid.SetCheckBoxState(1, 1, true));
    EXPECT_FALSE(grid.ToggleCheckBox(1, 1));
    EXPECT_FALSE(grid.IsChecked(1, 1));
    EXPECT_FALSE(grid.GetCheckBoxState(-1, 1, state));
    EXPECT_FALSE(grid.HasCheckBox(-1, 1));
    EXPECT_FALSE(grid.HasClickableControl(1, -1));
    grid.AddRadioButton(1, 1, false);
    EXPECT_FALSE(grid.GetCheckBoxState(1, 1, state));
    EXPECT_TRUE(grid.HasClickableControl(1, 1));
    EXPECT_FALSE(grid.HasCheckBox(1, 1));
}

TEST_F(CheckGrid, TriStateToggleCyclesThroughGrayedAndChecked)
{
    grid.AddCheckBox(2, 3, cbUnchecked);
    const TCheckBoxState expected[] = {cbGrayed, cbChecked, cbUnchecked};
    for (TCheckBoxState e : expected) {
        ASSERT_TRUE(grid.ToggleCheckBox(2, 3));
        TCheckBoxState s = cbUnchecked;
        ASSERT_TRUE(grid.GetCheckBoxState(2, 3, s));
        EXPECT_EQ(s, e);
    }
    // The event tells whether the box ended up checked.
    EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{{3, false}, {3, true}, {3, false}}));
    EXPECT_TRUE(grid.SetCheckBoxState(2, 3, cbChecked));
    EXPECT_TRUE(grid.IsChecked(2, 3));
    EXPECT_FALSE(grid.SetCheckBoxState(2, 3, true)); // not a boolean box
    grid.AddCheckBox(1, 3, true, false);
    EXPECT_FALSE(grid.SetCheckBoxState(1, 3, cbGrayed)); // not a tri-state box
}

TEST_F(CheckGrid, ApplyRaisesTheChangeOnlyWhenTheStateChanges)
{
    grid.AddCheckBoxColumn(1, false, false);
    grid.AddCheckBoxColumn(2, true, true);
    grid.SetCellEx(2, 4, QStringLiteral("x")); // reads unchecked
    grid.ApplyCheckBoxState(1, 2, false);
    grid.ApplyCheckBoxState(2, 2, true);
    EXPECT_TRUE(changes.empty());

    grid.CheckAll(1);
    EXPECT_EQ(changes.size(), 5u);
    changes.clear();
    grid.CheckAll(2);
    EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{{4, true}}));
    EXPECT_EQ(grid.GetCellEx(2, 4), QStringLiteral("Y"));
    changes.clear();
    grid.UnCheckAll(2);
    EXPECT_EQ(changes.size(), 5u);
    for (int r = 1; r < 6; ++r)
        EXPECT_EQ(grid.GetCellEx(2, r), QStringLiteral("N"));
    EXPECT_EQ(grid.GetCellType(1, 0), ctEmpty); // the header row has none
}

TEST_F(CheckGrid, CheckAllCheckPutsABoxIntoTheHeaderToo)
{
    grid.MouseActions().SetCheckAllCheck(true);
    grid.AddCheckBoxColumn(1);
    EXPECT_TRUE(grid.HasCheckBox(1, 0));
    grid.RemoveCheckBoxColumn(1);
    for (int r = 0; r < 6; ++r)
        EXPECT_FALSE(grid.HasCheckBox(1, r));
}

TEST_F(CheckGrid, ToggleUndoRecordsTheTextsTheCellReallyHad)
{
    TExGridUndoRedo undo;
    grid.SetUndoRedo(&undo);
    undo.SetGrid(&grid);
    grid.SetCellEx(1, 1, QStringLiteral("Y"));
    grid.AddCheckBox(1, 1, true, true);
    ASSERT_TRUE(grid.ToggleCheckBox(1, 1)); // the added state no longer matches
    ASSERT_TRUE(grid.ToggleCheckBox(1, 1));
    ASSERT_TRUE(grid.ToggleCheckBox(1, 1));
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("N"));
    undo.Undo();
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("Y"));
    undo.Undo();
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("N"));
    undo.Redo();
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("Y"));

    // A plain box keeps its state outside the text: nothing a text undo could restore.
    const int level = undo.Level();
    grid.AddCheckBox(2, 1, false, false);
    ASSERT_TRUE(grid.ToggleCheckBox(2, 1));
    EXPECT_EQ(undo.Level(), level);
    grid.SetUndoRedo(nullptr);
}

TEST_F(CheckGrid, UserToggleAsksTheEditPermissionUnlessChecksAreAlwaysActive)
{
    grid.AddCheckBox(1, 1, false, false);
    grid.SetReadOnly(1, 1, true);
    EXPECT_FALSE(grid.ToggleCellCheck(1, 1, true));
    EXPECT_FALSE(grid.IsChecked(1, 1));
    EXPECT_TRUE(grid.ToggleCellCheck(1, 1, false)); // the program's own toggle
    EXPECT_TRUE(grid.IsChecked(1, 1));
    grid.ControlLook().SetCheckAlwaysActive(true);
    EXPECT_TRUE(grid.ToggleCellCheck(1, 1, true));
    EXPECT_FALSE(grid.IsChecked(1, 1));
}

TEST_F(CheckGrid, HiddenRowsAreAddressedByRealRow)
{
    grid.AddCheckBox(1, 2, true, false);
    grid.AddCheckBox(2, 2, false, true);
    grid.AddCheckBox(2, 4, true, true);
    grid.HideRow(2);
    bool state = false;
    ASSERT_TRUE(grid.GetCheckBoxState(1, 2, state)); // from the hidden-row store
    EXPECT_TRUE(state);
    ASSERT_TRUE(grid.SetCheckBoxState(2, 2, true));
    EXPECT_EQ(grid.GetCellsEx(2, 2), QStringLiteral("Y"));
    ASSERT_TRUE(grid.GetCheckBoxState(2, 2, state));
    EXPECT_TRUE(state);
    // Real row 4 shows as display row 3.
    ASSERT_TRUE(grid.SetCheckBoxState(2, 4, false));
    EXPECT_EQ(grid.GetCellEx(2, 3), QStringLiteral("N"));
    grid.ApplyCheckBoxState(2, 3, true); // a display row
    EXPECT_EQ(grid.GetCellEx(2, 3), QStringLiteral("Y"));
    EXPECT_EQ(changes, (std::vector<std::pair<int, bool>>{{3, true}}));
    grid.UnHideRowsAll();
    EXPECT_TRUE(grid.IsChecked(1, 2));
    EXPECT_TRUE(grid.IsChecked(2, 2));
}

TEST_F(CheckGrid, RemovingACheckBoxFreesItsBalloon)
{
    grid.AddCheckBox(1, 1, true, false);
    grid.AddBalloon(1, 1, QStringLiteral("Title"), QStringLiteral("Text"), 1);
    grid.RemoveCheckBox(1, 1);
    EXPECT_EQ(grid.GetCellType(1, 1), ctEmpty);
    grid.AddRadioButton(1, 2, true);
    grid.RemoveCheckBox(1, 2); // not a check box: stays
    EXPECT_TRUE(grid.HasRadioButton(1, 2));
}

TEST_F(CheckGrid, PreciseHitTestFindsTheGlyph)
{
    grid.MouseActions().SetPreciseCheckBoxCheck(true);
    grid.AddCheckBox(1, 1, false, false);
    const TRect r = grid.CellRect(1, 1);
    const int side = grid.ControlLook().CheckSize();
    ASSERT_GT(r.Height(), side);
    EXPECT_TRUE(grid.IsInCheckBox(1, 1, r.Left + 3, r.Top + 3));
    EXPECT_TRUE(grid.IsInCheckBox(1, 1, r.Left + 2 + side - 1, r.Top + 2 + side - 1));
    EXPECT_FALSE(grid.IsInCheckBox(1, 1, r.Left + 2 + side, r.Top + 3));
    EXPECT_FALSE(grid.IsInCheckBox(1, 1, r.Left + 3, r.Top + 1));
    grid.SetAlignments(1, 1, taCenter);
    const int left = r.Left + (r.Width() - side) / 2;
    EXPECT_TRUE(grid.IsInCheckBox(1, 1, left + 1, r.Top + 3));
    EXPECT_FALSE(grid.IsInCheckBox(1, 1, r.Left + 3, r.Top + 3));
    grid.MouseActions().SetPreciseCheckBoxCheck(false);
    EXPECT_TRUE(grid.IsInCheckBox(1, 1, r.Right - 1, r.Bottom - 1));
    EXPECT_FALSE(grid.IsInCheckBox(2, 1, r.Right - 1, r.Bottom - 1));
}

TEST_F(CheckGrid, RadioGroupIndexAndKeyboardStep)
{
    QStringList* items = grid.CreateRadio(2, 2, false, -1);
    ASSERT_NE(items, nullptr);
    EXPECT_FALSE(grid.SelectNextRadio(2, 2, false)); // no items yet
    *items << QStringLiteral("A") << QStringLiteral("B") << QStringLiteral("C");
    EXPECT_TRUE(grid.IsRadio(2, 2));
    EXPECT_EQ(grid.GetRadioStrings(2, 2), items);
    const int steps[] = {0, 1, 2, 0};
    for (int expected : steps) {
        ASSERT_TRUE(grid.SelectNextRadio(2, 2, false));
        int idx = -9;
        ASSERT_TRUE(grid.GetRadioIdx(2, 2, idx));
        EXPECT_EQ(idx, expected);
        EXPECT_EQ(grid.GetCellEx(2, 2), items->at(expected));
    }
    EXPECT_TRUE(grid.SetRadioIdx(2, 2, -1));
    EXPECT_TRUE(grid.GetCellEx(2, 2).isEmpty());

    // Below -1 the checked item is the one the text names.
    QStringList caller{QStringLiteral("x"), QStringLiteral("y")};
    grid.SetCellEx(3, 2, QStringLiteral("y"));
    grid.AddRadio(3, 2, true, -2, &caller);
    ASSERT_TRUE(grid.SelectNextRadio(3, 2, false));
    EXPECT_EQ(grid.GetCellEx(3, 2), QStringLiteral("x"));
    int idx = 0;
    grid.GetRadioIdx(3, 2, idx);
    EXPECT_EQ(idx, -2);
    grid.RemoveRadio(3, 2);
    EXPECT_FALSE(grid.IsRadio(3, 2));
    EXPECT_EQ(caller.size(), 2); // the caller's list stays

    // Another cell keeps its text.
    grid.SetCellEx(1, 1, QStringLiteral("keep"));
    EXPECT_FALSE(grid.SetRadioIdx(1, 1, -1));
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("keep"));

    grid.SetReadOnly(2, 2, true);
    EXPECT_FALSE(grid.SelectNextRadio(2, 2, true));
    grid.ControlLook().SetRadioAlwaysActive(true);
    EXPECT_TRUE(grid.SelectNextRadio(2, 2, true));
}

TEST_F(CheckGrid, RadioButtonsOfAColumn)
{
    grid.AddRadioButtonColumn(1);
    EXPECT_FALSE(grid.HasRadioButton(1, 0));
    EXPECT_EQ(grid.GetRadioButtonColumnIndex(1), -1);
    grid.SetRadioButtonColumnIndex(1, 3);
    EXPECT_EQ(grid.GetRadioButtonColumnIndex(1), 3);
    ASSERT_TRUE(grid.SelectCellRadioButton(1, 5, false));
    EXPECT_EQ(grid.GetRadioButtonColumnIndex(1), 5);
    EXPECT_FALSE(grid.IsRadioButtonChecked(1, 3));
    EXPECT_FALSE(grid.SelectCellRadioButton(2, 5, false));
    EXPECT_FALSE(grid.SetRadioButtonState(2, 5, true));
    grid.SetReadOnly(1, 2, true);
    EXPECT_FALSE(grid.SelectCellRadioButton(1, 2, true));
    EXPECT_EQ(grid.GetRadioButtonColumnIndex(1), 5);
    grid.RemoveRadioButtonColumn(1);
    EXPECT_FALSE(grid.HasRadioButton(1, 5));
}
