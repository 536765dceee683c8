// The Tab move: wrapping at the ends, the row added at the end, leaving the
// grid, the cells it passes over, and its end on a grid where no cell can be
// reached.
#include "ExGridInputTestSupport.h"

#include <QLineEdit>

#include <initializer_list>
#include <vector>

using namespace platform;
using namespace edittest;
using inputtest::CaseName;
using inputtest::InputFixture;

namespace {

// Data cells 1..4 x 1..5; Tab belongs to the grid.
struct TabFixture : InputFixture
{
    void SetUp() override
    {
        InputFixture::SetUp();
        grid->SetOptions(grid->Options() | goTabs);
        // The editor the Tab's click may open is not what these tests look at.
        grid->Navigation().SetAdvanceAutoEdit(false);
    }

    // Tab, or Shift+Tab when back, and the cell it must reach.
    struct TabStep
    {
        bool back;
        int col, row;
    };
    void ExpectTabs(std::initializer_list<TabStep> steps)
    {
        int n = 0;
        for (const TabStep& s : steps) {
            SCOPED_TRACE(::testing::Message() << "Tab " << ++n);
            Key(Qt::Key_Tab, s.back ? Qt::ShiftModifier : Qt::NoModifier);
            EXPECT_EQ(CurrentCell(), std::make_pair(s.col, s.row));
        }
    }
};

struct TabCase
{
    const char* name;
    TAdvanceDirection direction;
    bool backwards;
    int col, row;
    int toCol, toRow;
};

void PrintTo(const TabCase& c, std::ostream* os) { *os << c.name; }

struct TabTable : TabFixture, ::testing::WithParamInterface<TabCase>
{
};

} // namespace

TEST_P(TabTable, TabAndShiftTabMoveInTheOrderOfTheNavigation)
{
    const TabCase& c = GetParam();
    grid->Navigation().SetTabAdvanceDirection(c.direction);
    GoTo(c.col, c.row);
    Key(Qt::Key_Tab, c.backwards ? Qt::ShiftModifier : Qt::NoModifier);
    EXPECT_EQ(grid->Col(), c.toCol);
    EXPECT_EQ(grid->Row(), c.toRow);
    EXPECT_EQ(grid->RowCount(), 6);
}

INSTANTIATE_TEST_SUITE_P(
    Order, TabTable,
    ::testing::Values(TabCase{"Right", adLeftRight, false, 2, 2, 3, 2},
                      TabCase{"EndOfRowToTheNextRow", adLeftRight, false, 4, 2, 1, 3},
                      TabCase{"LastCellWrapsToTheFirst", adLeftRight, false, 4, 5, 1, 1},
                      TabCase{"BackLeft", adLeftRight, true, 3, 2, 2, 2},
                      TabCase{"BackFromTheFirstColumnToThePreviousRow", adLeftRight, true, 1, 3, 4, 2},
                      TabCase{"BackFromTheFirstCellWrapsToTheLast", adLeftRight, true, 1, 1, 4, 5},
                      TabCase{"Down", adTopBottom, false, 2, 2, 2, 3},
                      TabCase{"BottomToTheNextColumn", adTopBottom, false, 2, 5, 3, 1},
                      TabCase{"LastCellDownWrapsToTheFirst", adTopBottom, false, 4, 5, 1, 1},
                      TabCase{"BackUp", adTopBottom, true, 3, 1, 2, 5}),
    CaseName());

TEST_F(TabFixture, AdvanceInsertAddsARowAtTheEnd)
{
    grid->Navigation().SetAdvanceInsert(true);
    std::vector<int> added;
    grid->OnAutoAddRow = [&](QObject*, int row) { added.push_back(row); };
    GoTo(4, 5);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 6);
    EXPECT_EQ(added, std::vector<int>{6});

    // Refused: the Tab wraps instead.
    grid->OnCanAddRow = [](QObject*, bool& canAdd) { canAdd = false; };
    GoTo(4, 6);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(TabFixture, TabToNextAtEndLeavesTheGrid)
{
    auto* next = new QLineEdit(host.get());
    next->setGeometry(10, 380, 100, 24);
    next->show();
    QWidget::setTabOrder(grid, next);
    grid->Navigation().SetTabToNextAtEnd(true);
    grid->Navigation().SetAdvanceInsert(true);
    GoTo(3, 5);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_TRUE(grid->hasFocus());
    Key(Qt::Key_Tab);
    ProcessEvents();
    EXPECT_EQ(FocusWidget(), next);
    // No row is added on the way out.
    EXPECT_EQ(grid->RowCount(), 6);
    // The move tells that the Tab left the grid.
    GoTo(4, 5);
    EXPECT_FALSE(grid->TabMove(false));
    GoTo(2, 2);
    EXPECT_TRUE(grid->TabMove(false));
}

TEST_F(TabFixture, MergedAndNonEditableCellsArePassedOver)
{
    grid->MergeCells(2, 2, 2, 1);  // columns 2 and 3 of row 2
    grid->SetReadOnly(2, 4, true);
    grid->SetReadOnly(3, 4, true);
    GoTo(1, 2);
    ExpectTabs({{false, 2, 2}, {false, 4, 2}, {true, 2, 2}});
    GoTo(1, 4);
    ExpectTabs({{false, 4, 4}, {true, 1, 4}});
}

TEST_F(TabFixture, OnSelectCellRefusalsArePassedOverWithoutEditing)
{
    grid->SetOptions(grid->Options() & ~goEditing);
    grid->OnSelectCell = [](QObject*, int col, int, bool& canSelect) { canSelect = col != 2; };
    GoTo(1, 3);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 3);
}

// Fault: with nothing editable the move repeated itself without end. It now
// looks at each cell once at most and stays.
TEST_F(TabFixture, WithoutAnEditableCellTheTabStaysAndAsksOnce)
{
    grid->SetRowCount(200);
    grid->OnCanEditCell = [](QObject*, int, int, bool& canEdit) { canEdit = false; };
    int keyDowns = 0, rowChanges = 0;
    grid->OnKeyDown = [&](QObject*, int& key, TShiftState) {
        if (key == VK_TAB)
            ++keyDowns;
    };
    grid->OnRowChanging = [&](QObject*, int, int, bool&) { ++rowChanges; };
    for (bool backwards : {false, true}) {
        SCOPED_TRACE(backwards);
        keyDowns = rowChanges = 0;
        GoTo(2, 3);
        Key(Qt::Key_Tab, backwards ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_EQ(grid->Col(), 2);
        EXPECT_EQ(grid->Row(), 3);
        EXPECT_EQ(keyDowns, 1);
        // At most one look at each row.
        EXPECT_LE(rowChanges, 200);
    }
    EXPECT_EQ(grid->RowCount(), 200);
}

TEST_F(TabFixture, TheOneEditableCellFarAwayIsReachedInOneTab)
{
    grid->SetRowCount(100);
    grid->OnCanEditCell = [](QObject*, int row, int col, bool& canEdit) { canEdit = col == 3 && row == 90; };
    GoTo(1, 2);
    // From there the only way on, either way, leads back to it.
    ExpectTabs({{false, 3, 90}, {false, 3, 90}, {true, 3, 90}});
}

TEST_F(TabFixture, ARefusedRowChangeKeepsTheCell)
{
    GoTo(4, 2);
    grid->OnRowChanging = [](QObject*, int, int, bool& allow) { allow = false; };
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 2);

    // Nothing editable left in the row: the next row is asked first.
    grid->OnRowChanging = nullptr;
    grid->SetReadOnly(3, 2, true);
    grid->SetReadOnly(4, 2, true);
    GoTo(2, 2);
    int asked = 0;
    grid->OnRowChanging = [&](QObject*, int oldRow, int newRow, bool& allow) {
        EXPECT_EQ(oldRow, 2);
        EXPECT_EQ(newRow, 3);
        ++asked;
        allow = false;
    };
    Key(Qt::Key_Tab);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(TabFixture, AKeyDownHandlerCanTakeTheTab)
{
    grid->OnKeyDown = [](QObject*, int& key, TShiftState) {
        if (key == VK_TAB)
            key = 0;
    };
    GoTo(2, 2);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(TabFixture, AdvanceAutoEditOpensTheEditorOfTheNewCellButNotOnACheckBox)
{
    grid->Navigation().SetAdvanceAutoEdit(true);
    grid->AddCheckBox(4, 2, false, true);
    GoTo(2, 2);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_TRUE(EditorShown());
    Type(QStringLiteral("z"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Cells(3, 2), QStringLiteral("z"));
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Cells(4, 2), grid->CheckFalse());
}

// Without goTabs a Tab from the text editor leaves the grid for the control
// after it, not for the window's first control.
TEST_F(InputFixture, TabFromTheEditorOfAGridWithoutTabsGoesToTheNextControl)
{
    auto* before = new QLineEdit(host.get());
    auto* after = new QLineEdit(host.get());
    QWidget::setTabOrder(before, grid);
    QWidget::setTabOrder(grid, after);
    before->show();
    after->show();
    grid->setFocus(Qt::OtherFocusReason);
    ProcessEvents();
    grid->SetCol(2);
    grid->SetRow(2);
    Key(Qt::Key_F2);
    ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->isVisible());
    Type(QStringLiteral("x"));
    Key(Qt::Key_Tab);
    ProcessEvents();
    EXPECT_EQ(QApplication::focusWidget(), after);
    EXPECT_EQ(grid->GetCellEx(2, 2), QStringLiteral("x"));

    // Shift+Tab leaves it for the control before it.
    grid->setFocus(Qt::OtherFocusReason);
    ProcessEvents();
    Key(Qt::Key_F2);
    ASSERT_TRUE(grid->InplaceEditor()->isVisible());
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    ProcessEvents();
    EXPECT_EQ(QApplication::focusWidget(), before);
}
