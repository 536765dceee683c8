// Advancing after an edit: where Enter and Tab take the current cell under
// the navigation settings, read-only cells, the events that may redirect or
// refuse the move, and the type-ahead search.
#include "ExGridEditTestSupport.h"

#include <vector>

using namespace platform;
using namespace edittest;

namespace {

// A grid of 5 columns (1 fixed) and 6 rows (1 fixed): data cells 1..4 x 1..5.
struct AdvanceCase
{
    const char* name;
    TAdvanceDirection direction;
    bool insert;
    bool loop;
    int col, row;           // the cell whose edit ended
    int toCol, toRow;       // where the cursor lands
    int rowCount = 6;       // afterwards
};

void PrintTo(const AdvanceCase& c, std::ostream* os) { *os << c.name; }

struct AdvanceTable : GridFixture, ::testing::WithParamInterface<AdvanceCase>
{
};

struct AdvanceFixture : GridFixture
{
};

} // namespace

TEST_P(AdvanceTable, EnterMovesAsTheNavigationSays)
{
    const AdvanceCase& c = GetParam();
    TNavigation& nav = grid->Navigation();
    nav.SetAdvanceOnEnter(true);
    nav.SetAdvanceDirection(c.direction);
    nav.SetAdvanceInsert(c.insert);
    nav.SetAdvanceOnEnterLoop(c.loop);
    GoTo(c.col, c.row);
    Type(QStringLiteral("v"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(c.col, c.row), QStringLiteral("v"));
    EXPECT_EQ(grid->Col(), c.toCol);
    EXPECT_EQ(grid->Row(), c.toRow);
    EXPECT_EQ(grid->RowCount(), c.rowCount);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, AdvanceTable,
    ::testing::Values(AdvanceCase{"RightInTheRow", adLeftRight, false, true, 2, 2, 3, 2},
                      AdvanceCase{"LastColumnOfAMiddleRowGoesToTheNextRow", adLeftRight, false, true, 4, 2, 1, 3},
                      AdvanceCase{"LastCellLoopsToTheFirst", adLeftRight, false, true, 4, 5, 1, 1},
                      AdvanceCase{"LastCellWithoutLoopOrInsertStays", adLeftRight, false, false, 4, 5, 4, 5},
                      AdvanceCase{"LastCellWithInsertAppendsARow", adLeftRight, true, false, 4, 5, 1, 6, 7},
                      AdvanceCase{"InRowWrapsInTheSameRow", adLeftRightInRow, false, true, 4, 3, 1, 3},
                      AdvanceCase{"InRowWithoutLoopStays", adLeftRightInRow, false, false, 4, 3, 4, 3},
                      AdvanceCase{"DownInTheColumn", adTopBottom, false, true, 2, 2, 2, 3},
                      AdvanceCase{"LastRowOfAMiddleColumnGoesToTheNextColumn", adTopBottom, false, true, 2, 5, 3, 1},
                      AdvanceCase{"InColumnWrapsInTheSameColumn", adTopBottomInCol, false, true, 3, 5, 3, 1}),
    [](const ::testing::TestParamInfo<AdvanceCase>& info) { return std::string(info.param.name); });

TEST_F(AdvanceFixture, AppendedRowIsReportedAndCanBeRefused)
{
    TNavigation& nav = grid->Navigation();
    nav.SetAdvanceOnEnter(true);
    nav.SetAdvanceInsert(true);
    std::vector<int> added;
    grid->OnAutoAddRow = [&](QObject*, int row) { added.push_back(row); };
    grid->AdvanceToNextCell(4, 5, false, false, true, false, false);
    ASSERT_EQ(added, std::vector<int>{6});
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ(grid->Row(), 6);
    EXPECT_EQ(grid->Col(), 1);

    grid->OnCanAddRow = [](QObject*, bool& canAdd) { canAdd = false; };
    grid->SetCol(4);
    grid->AdvanceToNextCell(4, 6, false, false, true, false, false);
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ(grid->Row(), 6);
    EXPECT_EQ(grid->Col(), 1);
}

TEST_F(AdvanceFixture, ReadOnlyCellsArePassedOverOrStoppedOn)
{
    grid->Navigation().SetAdvanceOnEnter(true);
    grid->SetReadOnly(2, 1, true);
    grid->SetReadOnly(3, 1, true);
    grid->AdvanceToNextCell(1, 1, false, false, true, false, false);
    EXPECT_EQ(grid->Col(), 4);
    grid->Navigation().SetAdvanceSkipReadOnlyCells(false);
    grid->SetCol(1);
    grid->AdvanceToNextCell(1, 1, false, false, true, false, false);
    EXPECT_EQ(grid->Col(), 2);
}

TEST_F(AdvanceFixture, BackwardsGoesToThePreviousCell)
{
    grid->AdvanceToNextCell(1, 3, true, false, false, false, false);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(AdvanceFixture, NothingMovesWithoutAdvanceOnEnterUnlessForced)
{
    GoTo(2, 2);
    grid->AdvanceToNextCell(2, 2, false, false, true, false, false);
    EXPECT_EQ(grid->Col(), 2);
    grid->AdvanceToNextCell(2, 2, true, false, true, false, false);
    EXPECT_EQ(grid->Col(), 3);
}

TEST_F(AdvanceFixture, AutoAdvanceEventRedirectsOrRefuses)
{
    grid->Navigation().SetAdvanceOnEnter(true);
    grid->OnAutoAdvance = [](QObject*, int oldRow, int oldCol, int& newRow, int& newCol, bool&) {
        EXPECT_EQ(oldRow, 2);
        EXPECT_EQ(oldCol, 1);
        newCol = 4;
        newRow = 3;
    };
    GoTo(1, 2);
    grid->AdvanceToNextCell(1, 2, false, false, true, false, false);
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 3);

    grid->OnAutoAdvance = [](QObject*, int, int, int&, int&, bool& allow) { allow = false; };
    GoTo(1, 2);
    grid->AdvanceToNextCell(1, 2, false, false, true, false, false);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 2);
}

// The walk over read-only cells ends: at the last cell, and on a grid where
// no cell may be edited, the cursor stays where the edit ended.
TEST_F(AdvanceFixture, SkippingReadOnlyCellsEndsWhenNothingEditableIsLeft)
{
    struct Case
    {
        const char* name;
        bool loop;
        bool allReadOnly;
        int col, row;
        int toCol, toRow;
    };
    const Case cases[] = {
        {"read-only last cell, no loop", false, false, 3, 5, 3, 5},
        {"no editable cell, loop", true, true, 2, 3, 2, 3},
        {"no editable cell, no loop", false, true, 2, 3, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TNavigation& nav = grid->Navigation();
        nav.SetAdvanceOnEnter(true);
        nav.SetAdvanceOnEnterLoop(c.loop);
        nav.SetAdvanceSkipReadOnlyCells(true);
        grid->OnCanEditCell = [&](QObject*, int row, int col, bool& canEdit) {
            canEdit = !c.allReadOnly && !(col == 4 && row == 5);
        };
        GoTo(c.col, c.row);
        grid->AdvanceToNextCell(c.col, c.row, false, false, true, false, false);
        EXPECT_EQ(grid->Col(), c.toCol);
        EXPECT_EQ(grid->Row(), c.toRow);
    }
}

TEST_F(AdvanceFixture, EnterOnAReadOnlyCellWithoutAdvanceRaisesKeyPressAndIsSwallowed)
{
    grid->SetReadOnly(2, 2, true);
    int presses = 0;
    grid->OnKeyPress = [&](QObject*, QChar& key) {
        if (key == QLatin1Char('\r'))
            ++presses;
    };
    GoTo(2, 2);
    Key(Qt::Key_Return);
    EXPECT_EQ(presses, 1);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(AdvanceFixture, TabSkipsCellsThatCannotBeEdited)
{
    grid->SetOptions(grid->Options() | goTabs);
    grid->SetReadOnly(3, 1, true);
    GoTo(2, 1);
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 4);
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(grid->Col(), 2);
    // Nothing editable: the Tab ends where it started.
    grid->OnCanEditCell = [](QObject*, int, int, bool& canEdit) { canEdit = false; };
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(AdvanceFixture, TypeAheadFindsTheRowOfASortedColumnAndForgetsAfterAPause)
{
    grid->SetOptions(grid->Options() & ~goEditing);
    grid->Navigation().SetAutoGotoWhenSorted(true);
    grid->Navigation().SetAutoGotoIncremental(true);
    grid->SortSettings().SetColumn(1);
    const QStringList names{QStringLiteral("apple"), QStringLiteral("Abacus"), QStringLiteral("abd"),
                            QStringLiteral("bee"), QStringLiteral("cat")};
    for (int r = 1; r <= 5; ++r)
        grid->SetCells(1, r, names[r - 1]);
    GoTo(2, 1);
    Type(QStringLiteral("ab"));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->SearchText(), QStringLiteral("ab"));
    Type(QStringLiteral("d"));
    EXPECT_EQ(grid->Row(), 3);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(grid->SearchText(), QStringLiteral("ab"));
    for (int tick = 0; tick < 4; ++tick)
        SendMessage(grid, WM_TIMER, TExStringGrid::GridTimerId, 0);
    EXPECT_EQ(grid->SearchText(), QString());
}
