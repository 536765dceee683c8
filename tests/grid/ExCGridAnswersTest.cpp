// The column grid's answers to the cell hooks, its editing limits and its
// column popup menus.
#include "grid/ExCGrid.h"

#include "platform/Controls.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class AnswerGrid : public VOruVizizaZezo
{
public:
    using VOruVizizaZezo::FFilterColumn;
    using VOruVizizaZezo::GetEditLimit;
    using VOruVizizaZezo::GetEditMask;
    using VOruVizizaZezo::MouseDown;
};

struct ColumnAnswers : ::testing::Test
{
    AnswerGrid grid;
    void SetUp() override
    {
        grid.resize(400, 300);
        grid.SetColCount(5);
        grid.SetRowCount(6);
    }
    TGridColumnItem* Item(int i) { return grid.Columns().GetItem(i); }
};

} // namespace

TEST_F(ColumnAnswers, DataCheckBoxColumnsAnswerForTheirBodyCellsOnly)
{
    Item(2)->SetEditor(edDataCheckBox);
    Item(4)->SetEditor(edDataCheckBox);
    grid.SetFixedRightCols(1);
    grid.SetFixedFooters(1);
    struct Case
    {
        int col, row;
        bool data;
    };
    const Case cases[] = {{2, 1, true}, {2, 4, true}, {2, 0, false}, {2, 5, false}, {4, 2, false}, {1, 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        EXPECT_EQ(grid.GetCellType(c.col, c.row) == ctDataCheckBox, c.data);
        EXPECT_EQ(grid.HasDataCheckBox(c.col, c.row), c.data);
        bool state = true;
        EXPECT_EQ(grid.GetCheckBoxState(c.col, c.row, state), c.data);
        if (c.data) {
            EXPECT_FALSE(state); // an empty cell is unchecked
        }
    }
    // The answered object is not stored and follows the control style.
    EXPECT_EQ(grid.GetCellGraphic(2, 1)->CellType, ctVirtCheckBox);
    EXPECT_FALSE(grid.GetCellGraphic(2, 1)->CellTransparent);
    grid.ControlLook().SetControlStyle(csFlat);
    EXPECT_TRUE(grid.GetCellGraphic(2, 1)->CellTransparent);
}

TEST_F(ColumnAnswers, EnableColumnWritesAndTogglesTheColumnsCheckTexts)
{
    Item(1)->SetEditor(edDataCheckBox);
    Item(1)->SetCheckTrue(QStringLiteral("1"));
    Item(1)->SetCheckFalse(QStringLiteral("0"));
    ASSERT_TRUE(grid.SetCheckBoxState(1, 2, true));
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("1"));
    ASSERT_TRUE(grid.ToggleCheckBox(1, 2));
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("0"));
    ASSERT_TRUE(grid.ToggleCheckBox(1, 3));
    EXPECT_EQ(grid.GetCellEx(1, 3), QStringLiteral("1"));
    EXPECT_TRUE(grid.IsChecked(1, 3));

    // A column that is neither read-only nor fixed is editable by the user
    // without the grid's editing option.
    grid.SetOptions(grid.Options() & ~goEditing);
    EXPECT_TRUE(grid.ToggleCellCheck(1, 3, true));
    Item(1)->SetReadOnly(true);
    EXPECT_FALSE(grid.ToggleCellCheck(1, 3, true));
    EXPECT_EQ(grid.GetCellEx(1, 3), QStringLiteral("0"));
}

TEST_F(ColumnAnswers, PreparingAnEditorFillsTheComboButKeepsTheGridsFloatFormat)
{
    Item(2)->SetEditor(edComboList);
    Item(2)->SetComboItems({QStringLiteral("a"), QStringLiteral("b")});
    Item(2)->SetDropDownCount(3);
    Item(2)->SetFloatFormat(QStringLiteral("%.3f"));
    const QString gridFormat = grid.FloatFormat();
    ASSERT_NE(gridFormat, QStringLiteral("%.3f"));

    TEditorType editor = edNormal;
    grid.QueryCellEditor(2, 1, editor);
    EXPECT_EQ(editor, edComboList);
    EXPECT_EQ(grid.GetComboCount(), 2);
    EXPECT_TRUE(grid.SetComboSelectionString(QStringLiteral("b")));
    EXPECT_EQ(grid.ControlLook().DropDownCount(), 3);

    // The column's format serves its own cells only.
    EXPECT_EQ(grid.FloatFormat(), gridFormat);
    QString format;
    grid.QueryFloatFormat(2, 1, format);
    EXPECT_EQ(format, QStringLiteral("%.3f"));
    grid.QueryFloatFormat(3, 1, format);
    EXPECT_EQ(format, gridFormat);
    grid.SetFloats(3, 1, 1.0);
    EXPECT_EQ(grid.GetCellEx(3, 1), QStringLiteral("1.00").replace(u'.', LocaleDecimalSeparator()));

    // Another column's editor starts from its own items; a header cell keeps its editor.
    Item(3)->SetComboItems({QStringLiteral("x")});
    grid.QueryCellEditor(3, 1, editor);
    EXPECT_EQ(editor, edNormal);
    EXPECT_EQ(grid.GetComboCount(), 1);
    editor = edNormal;
    grid.QueryCellEditor(2, 0, editor);
    EXPECT_EQ(editor, edNormal);
    EXPECT_EQ(grid.GetComboCount(), 1);
}

TEST_F(ColumnAnswers, ComboButtonsFromTheColumnAndItsEvent)
{
    Item(2)->SetEditor(edComboList);
    EXPECT_FALSE(grid.ControlLook().DropDownAlwaysVisible());
    EXPECT_TRUE(grid.QueryHasComboBox(2, 1));
    EXPECT_FALSE(grid.QueryHasComboBox(2, 0));
    EXPECT_FALSE(grid.QueryHasComboBox(1, 1));
    grid.OnHasComboBox = [](QObject*, int aCol, int, bool& has) { has = aCol == 1; };
    EXPECT_FALSE(grid.QueryHasComboBox(2, 1));
    EXPECT_TRUE(grid.QueryHasComboBox(1, 1));
}

TEST_F(ColumnAnswers, EditLimitAndMaskFromTheCurrentColumn)
{
    Item(2)->SetEditLength(7);
    Item(2)->SetEditMask(QStringLiteral("999"));
    grid.SetCol(2);
    grid.SetRow(1);
    EXPECT_EQ(grid.GetEditLimit(), 7);
    EXPECT_EQ(grid.GetEditMask(2, 1), QStringLiteral("999"));
    grid.SetEditMask(QStringLiteral("000"));
    EXPECT_EQ(grid.GetEditMask(2, 1), QStringLiteral("000")); // the grid's own mask wins
    grid.HideColumn(1); // display column 1 is real column 2 now
    grid.SetCol(1);
    EXPECT_EQ(grid.GetEditLimit(), 7);
}

TEST_F(ColumnAnswers, FilterListFromTheColumnsFilterCaptions)
{
    Item(2)->SetFilter({QStringLiteral("Small=<10"), QStringLiteral("Large=>=10"), QStringLiteral("Any")});
    ASSERT_TRUE(grid.QueryFilterList(2));
    EXPECT_EQ(grid.FilterList(),
              (QStringList{QStringLiteral("Small"), QStringLiteral("Large"), QStringLiteral("Any")}));

    grid.SetFilterDropDownAuto(true);
    grid.SetCellEx(3, 1, QStringLiteral("v"));
    EXPECT_FALSE(grid.QueryFilterList(3)); // the automatic list, but no filter of the column
    EXPECT_TRUE(grid.FilterList().contains(QStringLiteral("v")));
    EXPECT_FALSE(grid.QueryFilterList(9));
}

TEST_F(ColumnAnswers, FilterChoiceSetsTheHeaderAndReportsTheCondition)
{
    Item(2)->SetFilter({QStringLiteral("Small=<10"), QStringLiteral("Any")});
    grid.SetAutoFilterDisplay(true);
    QString seen;
    grid.OnFilterSelect = [&](QObject*, int column, int index, const QString& caption, QString& condition) {
        seen += QStringLiteral("%1:%2:%3:%4;").arg(column).arg(index).arg(caption, condition);
    };
    int done = 0;
    grid.OnFilterDone = [&](QObject*) { ++done; };
    const char* values[] = {"5", "20", "3", "40"};
    for (int r = 1; r <= 4; ++r)
        grid.SetCellEx(2, r, QString::fromLatin1(values[r - 1]));
    grid.SetRow(4);
    grid.FFilterColumn = 2;
    grid.FilterSelected(0);
    EXPECT_EQ(seen, QStringLiteral("2:0:Small:<10;"));
    EXPECT_EQ(Item(2)->Header(), QStringLiteral("Small"));
    // The chosen condition is applied to the rows.
    ASSERT_TRUE(grid.Filter().HasFilter(2));
    EXPECT_EQ(grid.Filter().ColFilter(2)->Condition(), QStringLiteral("<10"));
    EXPECT_TRUE(grid.FilterActive());
    EXPECT_EQ(grid.Cells(2, 1), QStringLiteral("5"));
    EXPECT_EQ(grid.Cells(2, 2), QStringLiteral("3")) << "20 and 40 are filtered out";
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(grid.FilterColumn(), -1);

    grid.FFilterColumn = 2;
    grid.FilterSelected(1);
    EXPECT_EQ(seen, QStringLiteral("2:0:Small:<10;2:1:Any:Any;"));
    for (int bad : {2, -1}) {
        grid.FFilterColumn = 2;
        grid.FilterSelected(bad);
        EXPECT_EQ(grid.FilterColumn(), -1);
    }
    grid.FFilterColumn = 9;
    grid.FilterSelected(0);
    EXPECT_EQ(done, 2);
}

TEST_F(ColumnAnswers, ColumnPopupOnTheButtonAndRowKindOfItsType)
{
    TPopupMenu menu;
    menu.Add(QStringLiteral("Item"));
    int shown = 0;
    menu.OnPopup = [&](QObject*) { ++shown; };
    Item(2)->SetColumnPopup(&menu);
    Item(2)->SetColumnPopupType(cpFixedCellsRClick);
    int raised = 0;
    grid.OnColumnPopup = [&](QObject*, int aCol, int aRow, TPopupMenu*& m) {
        ++raised;
        EXPECT_EQ(aCol, 2);
        EXPECT_EQ(m, &menu);
        (void)aRow;
    };
    const TRect header = grid.CellRect(2, 0);
    const TRect body = grid.CellRect(2, 2);
    grid.MouseDown(mbLeft, 0, header.Left + 3, header.Top + 3);
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(shown, 0);
    grid.MouseDown(mbRight, 0, header.Left + 3, header.Top + 3);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(shown, 1);
    menu.CloseMenu();
    // A body cell hears the event but gets no menu of this type.
    grid.MouseDown(mbRight, 0, body.Left + 3, body.Top + 3);
    EXPECT_EQ(raised, 2);
    EXPECT_EQ(shown, 1);
    Item(2)->SetColumnPopupType(cpAllCellsLClick);
    grid.MouseDown(mbLeft, 0, body.Left + 3, body.Top + 3);
    EXPECT_EQ(raised, 3);
    EXPECT_EQ(shown, 2);
    menu.CloseMenu();
    Item(2)->SetColumnPopup(nullptr);
}
