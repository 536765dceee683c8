// Editing a rule table as the windows do: a column grid on a form, with a
// data check-box column, text, pick-list and free-text combo columns and a
// read-only column, driven by real keys and clicks.
#include "ExGridEditTestSupport.h"

#include "grid/ExCGrid.h"
#include "grid/ExGrid_Editors.h"
#include "platform/Controls.h"
#include "platform/Forms.h"

#include <QDir>
#include <QMouseEvent>

#include <vector>

using namespace platform;
using namespace edittest;

namespace {

enum Column { ColNo, ColEnable, ColName, ColMode, ColUnit, ColId, ColumnCount };

struct RuleTable : ::testing::Test
{
    std::unique_ptr<TForm> form;
    VOruVizizaZezo* grid = nullptr;
    std::vector<QString> events;

    void SetUp() override
    {
        form = std::make_unique<TForm>();
        form->resize(700, 400);
        grid = new VOruVizizaZezo(form.get());
        grid->setGeometry(8, 8, 680, 300);
        grid->SetColCount(ColumnCount);
        grid->SetRowCount(5);
        grid->SetOptions(grid->Options() | goEditing);
        const char* headers[] = {"No", "Enable", "Name", "Mode", "Unit", "Id"};
        for (int c = 0; c < ColumnCount; ++c)
            Item(c)->SetHeader(QString::fromLatin1(headers[c]));
        Item(ColEnable)->SetEditor(edDataCheckBox);
        Item(ColMode)->SetEditor(edComboList);
        Item(ColMode)->SetComboItems({QStringLiteral("Read"), QStringLiteral("Write")});
        Item(ColUnit)->SetEditor(edComboEdit);
        Item(ColUnit)->SetComboItems({QStringLiteral("kWh"), QStringLiteral("m3")});
        Item(ColId)->SetReadOnly(true);
        for (int r = 1; r < grid->RowCount(); ++r) {
            grid->SetCellEx(ColNo, r, QString::number(r));
            grid->SetCellEx(ColEnable, r, QStringLiteral("N"));
            grid->SetCellEx(ColMode, r, QStringLiteral("Read"));
            grid->SetCellEx(ColId, r, QStringLiteral("ID%1").arg(r));
        }
        grid->OnEditCellDone = [this](QObject*, int c, int r) {
            events.push_back(QStringLiteral("done %1,%2 %3 at %4,%5")
                                 .arg(c).arg(r).arg(grid->GetCellEx(c, r)).arg(grid->Col()).arg(grid->Row()));
        };
        form->show();
        QApplication::setActiveWindow(form.get());
        grid->setFocus(Qt::OtherFocusReason);
        ProcessEvents();
    }

    void TearDown() override
    {
        grid->OnEditCellDone = nullptr;
        grid->OnCellValidate = nullptr;
        grid->OnCheckBoxChange = nullptr;
        grid->OnCheckBoxClick = nullptr;
        grid->OnClick = nullptr;
        grid->OnClickCell = nullptr;
        grid->OnGetEditorType = nullptr;
        form.reset();
        ProcessEvents();
    }

    TGridColumnItem* Item(int c) { return grid->Columns().GetItem(c); }

    void GoTo(int col, int row)
    {
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus(Qt::OtherFocusReason);
    }

    void Click(int col, int row)
    {
        const TRect r = grid->TBaseGrid::CellRect(col, row);
        // Left of the text, where a check box sits.
        const QPoint at(r.Left + 8, (r.Top + r.Bottom) / 2);
        QWidget* surface = grid->ClientSurface();
        QMouseEvent press(QEvent::MouseButtonPress, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(surface, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(surface, &release);
        ProcessEvents();
    }

    bool TextEditorUp()
    {
        TInplaceEdit* e = grid->InplaceEditor();
        return e && e->isVisible();
    }
    TGridCombo* Combo() { return grid->Combobox(); }
};

} // namespace

TEST_F(RuleTable, TypedNameIsCommittedByEnterTabOrAClickElsewhere)
{
    enum Commit { ByEnter, ByTab, ByClick };
    for (Commit how : {ByEnter, ByTab, ByClick}) {
        SCOPED_TRACE(static_cast<int>(how));
        const int row = 1 + static_cast<int>(how);
        events.clear();
        GoTo(ColName, row);
        Type(QStringLiteral("Meter"));
        ASSERT_TRUE(TextEditorUp());
        switch (how) {
        case ByEnter: Key(Qt::Key_Return); break;
        case ByTab:
            grid->SetOptions(grid->Options() | goTabs);
            Key(Qt::Key_Tab);
            break;
        case ByClick: Click(ColNo + 1, 4); break;
        }
        ProcessEvents();
        EXPECT_EQ(grid->GetCellEx(ColName, row), QStringLiteral("Meter"));
        ASSERT_FALSE(events.empty());
        // The end of the edit is announced once the value is in the cell.
        EXPECT_TRUE(events.back().startsWith(QStringLiteral("done %1,%2 Meter").arg(ColName).arg(row)))
            << events.back().toStdString();
        grid->SetOptions(grid->Options() & ~goTabs);
    }
}

TEST_F(RuleTable, ARefusedNameKeepsTheOldTextAndTheEditorReopens)
{
    grid->SetCellEx(ColName, 2, QStringLiteral("Old"));
    grid->OnCellValidate = [](QObject*, int, int, QString& value, bool& valid) {
        valid = !value.contains(QLatin1Char(' '));
    };
    GoTo(ColName, 2);
    Key(Qt::Key_F2);
    Key(Qt::Key_End);
    Type(QStringLiteral(" x"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(grid->GetCellEx(ColName, 2), QStringLiteral("Old"));
    EXPECT_EQ(grid->Col(), ColName);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_TRUE(TextEditorUp());
}

TEST_F(RuleTable, PickListDropsCompletesAndReturnsTheChosenText)
{
    GoTo(ColMode, 1);
    Key(Qt::Key_F2);
    ASSERT_TRUE(Combo()->isVisible());
    EXPECT_EQ(Combo()->Style(), csDropDownList);
    EXPECT_EQ(Combo()->ItemCount(), 2);
    EXPECT_EQ(Combo()->Text(), QStringLiteral("Read"));
    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(Combo()->DroppedDown());
    Type(QStringLiteral("w"));
    EXPECT_EQ(Combo()->Text(), QStringLiteral("Write"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_EQ(grid->GetCellEx(ColMode, 1), QStringLiteral("Write"));
}

TEST_F(RuleTable, FreeTextComboAcceptsATextOutsideItsList)
{
    GoTo(ColUnit, 2);
    Key(Qt::Key_F2);
    ASSERT_TRUE(Combo()->isVisible());
    EXPECT_EQ(Combo()->Style(), csDropDown);
    Type(QStringLiteral("GJ"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(grid->GetCellEx(ColUnit, 2), QStringLiteral("GJ"));
}

TEST_F(RuleTable, ComboItemsRefilledAtRunTimeAreOfferedNextTime)
{
    Item(ColMode)->SetComboItems({QStringLiteral("Off"), QStringLiteral("Poll"), QStringLiteral("Push")});
    GoTo(ColMode, 3);
    Key(Qt::Key_F2);
    ASSERT_TRUE(Combo()->isVisible());
    EXPECT_EQ(Combo()->ItemCount(), 3);
    // "Read" is no longer offered: the pick list opens on its first item.
    EXPECT_EQ(Combo()->Text(), QStringLiteral("Off"));
    Key(Qt::Key_Escape);
    ProcessEvents();
    EXPECT_EQ(grid->GetCellEx(ColMode, 3), QStringLiteral("Read"));
}

TEST_F(RuleTable, APickListWithNothingToChooseKeepsTheCell)
{
    Item(ColMode)->SetComboItems({});
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Escape), int(Qt::Key_Tab)}) {
        SCOPED_TRACE(key);
        GoTo(ColMode, 2);
        Key(Qt::Key_F2);
        ASSERT_TRUE(Combo()->isVisible());
        Key(key);
        Click(ColName, 4);
        EXPECT_FALSE(Combo()->isVisible());
        EXPECT_EQ(grid->GetCellEx(ColMode, 2), QStringLiteral("Read"));
    }
}

TEST_F(RuleTable, EnableTogglesByClickAndSpaceWithItsEventsInOrder)
{
    grid->OnCheckBoxChange = [this](QObject*, int c, int r, bool state) {
        events.push_back(QStringLiteral("change %1,%2 %3 %4").arg(c).arg(r).arg(state).arg(grid->GetCellEx(c, r)));
    };
    grid->OnCheckBoxClick = [this](QObject*, int c, int r, bool state) {
        events.push_back(QStringLiteral("click %1,%2 %3").arg(c).arg(r).arg(state));
    };
    grid->OnClick = [this](QObject*) { events.push_back(QStringLiteral("onclick %1,%2").arg(grid->Col()).arg(grid->Row())); };
    grid->OnClickCell = [this](QObject*, int, int) { events.push_back(QStringLiteral("clickcell")); };

    Click(ColEnable, 3);
    EXPECT_EQ(grid->GetCellEx(ColEnable, 3), QStringLiteral("Y"));
    const std::vector<QString> byClick = {QStringLiteral("change 1,3 1 Y"), QStringLiteral("click 1,3 1"),
                                          QStringLiteral("onclick 1,3")};
    EXPECT_EQ(events, byClick);

    events.clear();
    GoTo(ColEnable, 3);
    Key(Qt::Key_Space);
    EXPECT_EQ(grid->GetCellEx(ColEnable, 3), QStringLiteral("N"));
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), QStringLiteral("change 1,3 0 N"));
    EXPECT_FALSE(TextEditorUp());
}

TEST_F(RuleTable, ReadOnlyColumnsAndCellsRefuseEditing)
{
    struct Case
    {
        int col, row;
        bool readOnlyCell;
    };
    const Case cases[] = {{ColId, 1, false}, {ColName, 4, true}, {ColNo, 2, false}};
    grid->GetCellProperties(ColName, 4)->SetReadOnly(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        const QString before = grid->GetCellEx(c.col, c.row);
        GoTo(c.col, c.row);
        Key(Qt::Key_F2);
        Type(QStringLiteral("zz"));
        Key(Qt::Key_Return);
        ProcessEvents();
        EXPECT_FALSE(TextEditorUp());
        EXPECT_FALSE(Combo()->isVisible());
        EXPECT_EQ(grid->GetCellEx(c.col, c.row), before);
    }
}

TEST_F(RuleTable, TheEditorTypeHookChoosesPerCell)
{
    grid->OnGetEditorType = [](QObject*, int c, int r, TEditorType& e) {
        if (c == ColName && r == 3)
            e = edNumeric;
    };
    GoTo(ColName, 3);
    Type(QStringLiteral("a1b2"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(grid->GetCellEx(ColName, 3), QStringLiteral("12"));
    GoTo(ColName, 2);
    Type(QStringLiteral("a1"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(grid->GetCellEx(ColName, 2), QStringLiteral("a1"));
}

// GRID_SCREENSHOT_DIR=<dir> saves the table with a text cell and a pick list
// being edited, to be looked at.
TEST_F(RuleTable, ScreenshotWhileEditing)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    grid->SetCellEx(ColName, 1, QStringLiteral("Heat meter"));
    GoTo(ColName, 2);
    Type(QStringLiteral("Water"));
    ProcessEvents();
    EXPECT_TRUE(form->grab().save(QDir(dir).filePath(QStringLiteral("rule_table_text_editor.png"))));
    GoTo(ColMode, 3);
    Key(Qt::Key_F2);
    ProcessEvents();
    EXPECT_TRUE(form->grab().save(QDir(dir).filePath(QStringLiteral("rule_table_pick_list.png"))));
}

TEST_F(RuleTable, TheListOpeningAndClosingReachTheGridAndADirectCloseCommits)
{
    grid->OnComboDropDown = [this](QObject*, int r, int c) { events.push_back(QStringLiteral("drop %1,%2").arg(c).arg(r)); };
    grid->OnComboCloseUp = [this](QObject*, int r, int c) { events.push_back(QStringLiteral("closeup %1,%2").arg(c).arg(r)); };
    grid->MouseActions().SetDirectComboClose(true);
    GoTo(ColMode, 2);
    Key(Qt::Key_F2);
    ASSERT_TRUE(Combo()->isVisible());
    Key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Combo()->DroppedDown());
    Key(Qt::Key_Down);  // the open list chooses "Write"
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_FALSE(Combo()->DroppedDown());
    // Closing the list ends the edit at once with the chosen item.
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_EQ(grid->GetCellEx(ColMode, 2), QStringLiteral("Write"));
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], QStringLiteral("drop 3,2"));
    EXPECT_EQ(events[1], QStringLiteral("closeup 3,2"));
    grid->OnComboDropDown = nullptr;
    grid->OnComboCloseUp = nullptr;
}

// The user types, then goes straight to another control of the window (its
// save button, say): what was typed is in the table when that control acts.
TEST_F(RuleTable, LeavingTheTableForAnotherControlKeepsWhatWasTyped)
{
    auto* other = new TEdit(form.get());
    other->SetBounds(8, 330, 120, 22);
    other->show();
    struct Case
    {
        int col;
        const char* typed;
    };
    const Case cases[] = {{ColName, "Gas"}, {ColUnit, "MWh"}};
    int row = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.col);
        events.clear();
        GoTo(c.col, row);
        Key(Qt::Key_F2);
        Type(QString::fromLatin1(c.typed));
        other->setFocus(Qt::MouseFocusReason);
        ProcessEvents();
        EXPECT_EQ(grid->GetCellEx(c.col, row), QString::fromLatin1(c.typed));
        EXPECT_FALSE(TextEditorUp());
        EXPECT_FALSE(Combo()->isVisible());
        ASSERT_FALSE(events.empty());
        EXPECT_TRUE(events.back().startsWith(QStringLiteral("done %1,%2").arg(c.col).arg(row)));
        ++row;
    }
}
