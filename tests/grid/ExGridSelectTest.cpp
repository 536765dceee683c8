#include "grid/ExGrid.h"

#include <gtest/gtest.h>

#include <QPointer>

using namespace platform;

namespace {

struct SelectFixture : ::testing::Test
{
    TExStringGrid grid;
    void SetUp() override
    {
        grid.SetColCount(5);
        grid.SetRowCount(8);
    }
};

QString RowError(TExStringGrid& g, int row)
{
    try {
        g.GetRowSelect(row);
    } catch (const REruVidaZuvez& e) {
        return e.Message();
    }
    return QString();
}

} // namespace

// ---------------------------------------------------------------------------
// Rectangle
// ---------------------------------------------------------------------------

TEST_F(SelectFixture, SelectRowsIsCutAtTheLastRow)
{
    grid.SelectRows(grid.RowCount() - 2, 5);
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 6, 4, 7}));
    EXPECT_EQ(grid.SelectedRowCount(), 2);
    EXPECT_EQ(grid.GetSelectedRow(1), 7);
    EXPECT_EQ(grid.GetSelectedRow(2), -1);
    EXPECT_TRUE(grid.GetRowSelect(6));
    EXPECT_FALSE(grid.GetRowSelect(5));
    grid.SelectRows(grid.RowCount(), 1); // nothing left to select
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 6, 4, 7}));
}

TEST_F(SelectFixture, HideAndUnhideRestoreTheRectangle)
{
    grid.SelectCells(1, 2, 3, 4);
    grid.HideSelection();
    EXPECT_TRUE(grid.SelectionHidden());
    EXPECT_FALSE(grid.IsSelected(2, 3));
    grid.UnHideSelection();
    EXPECT_EQ(grid.Selection(), (TGridRect{1, 2, 3, 4}));
    EXPECT_FALSE(grid.SelectionHidden());
}

TEST_F(SelectFixture, MergedCellWidensTheColumnCount)
{
    grid.MergeCells(1, 1, 2, 1);
    grid.SelectCells(1, 1, 3, 1);
    EXPECT_EQ(grid.SelectedColCount(), 3);
    grid.SelectCells(1, 1, 1, 1);
    EXPECT_EQ(grid.SelectedColCount(), 2); // the range reaches one column further
}

TEST_F(SelectFixture, SelectedTextJoinsCellsByTabAndRowsByLineBreaks)
{
    grid.SetCellEx(1, 1, QStringLiteral("a"));
    grid.SetCellEx(2, 1, QStringLiteral("b"));
    grid.SetCellEx(1, 2, QStringLiteral("c"));
    grid.SetCellEx(2, 2, QStringLiteral("d"));
    grid.SelectCells(1, 1, 2, 2);
    EXPECT_EQ(grid.SelectedText(), QStringLiteral("a\tb\r\nc\td"));
    grid.SetCellEx(2, 2, QStringLiteral("{\\rtf1 rich}"));
    EXPECT_EQ(grid.SelectedText(), QStringLiteral("a\tb\r\nc\trich"));
    grid.HideColumn(1); // cells are read by their real column
    grid.SelectCells(1, 1, 1, 1);
    EXPECT_EQ(grid.SelectedText(), QStringLiteral("b"));
}

TEST_F(SelectFixture, SelectedCellsOfTheRectangle)
{
    grid.SelectCells(1, 1, 2, 2);
    EXPECT_EQ(grid.SelectedCellsCount(), 4);
    EXPECT_EQ(grid.GetSelectedCell(1), (TGridCoord{1, 2}));
    grid.SetCol(3);
    grid.SetRow(5);
    EXPECT_EQ(grid.SelectedCellsCount(), 1);
    EXPECT_EQ(grid.GetSelectedCell(0), (TGridCoord{3, 5}));
    EXPECT_FALSE(grid.IsSelected(0, 5)); // fixed
}

// ---------------------------------------------------------------------------
// Disjunct rows, columns and cells
// ---------------------------------------------------------------------------

TEST_F(SelectFixture, DisjunctRowsInTheOrderSelected)
{
    grid.MouseActions().SetDisjunctRowSelect(true);
    grid.SetRowSelect(5, true);
    grid.SetRowSelect(3, true);
    EXPECT_EQ(grid.GetSelectedRow(0), 5);
    EXPECT_EQ(grid.GetSelectedRow(1), 3);
    EXPECT_EQ(grid.RowSelectCount(), 2);
    EXPECT_TRUE(grid.IsSelected(2, 3));
    std::vector<int> selected;
    grid.OnRowDisjunctSelected = [&](QObject*, int r) { selected.push_back(r); };
    grid.OnRowDisjunctSelect = [](QObject*, int, bool, bool& allow) { allow = false; };
    grid.SetRowSelect(4, true);
    EXPECT_FALSE(grid.GetRowSelect(4));
    EXPECT_TRUE(selected.empty());
    grid.OnRowDisjunctSelect = nullptr;
    grid.UnSelectRows(3, 1);
    EXPECT_EQ(grid.SelectedRowCount(), 1);
    EXPECT_EQ(selected, std::vector<int>{3});
    grid.ClearRowSelect();
    EXPECT_EQ(grid.RowSelectCount(), 0);
    EXPECT_EQ(grid.SelectedRowCount(), 0);
}

TEST_F(SelectFixture, RowSelectFlagsOutsideTheGrid)
{
    grid.MouseActions().SetDisjunctRowSelect(true);
    EXPECT_EQ(RowError(grid, -1), QStringLiteral("Invalid row -1 accessed"));
    EXPECT_EQ(RowError(grid, 8), QStringLiteral("Invalid row 8 accessed"));
    EXPECT_THROW(grid.SetRowSelect(-1, true), REruVidaZuvez);
    EXPECT_THROW(grid.SetRowSelect(8, true), REruVidaZuvez);
    grid.MouseActions().SetRowSelectPersistent(true);
    EXPECT_FALSE(grid.GetRowSelect(-1));
    EXPECT_FALSE(grid.GetRowSelect(1000000));
    EXPECT_EQ(grid.RowSelectCount(), 0);
}

TEST_F(SelectFixture, PersistentFlagsFollowRealRows)
{
    grid.MouseActions().SetDisjunctRowSelect(true);
    grid.MouseActions().SetRowSelectPersistent(true);
    grid.HideRow(2);
    grid.SelectRows(2, 1); // display row 2 is real row 3
    EXPECT_TRUE(grid.GetRowSelect(3));
    EXPECT_FALSE(grid.GetRowSelect(2));
    EXPECT_TRUE(grid.IsSelected(1, 2));
}

TEST_F(SelectFixture, DisjunctColumns)
{
    grid.MouseActions().SetDisjunctColSelect(true);
    grid.SelectCols(1, 2);
    grid.SetColSelect(4, true);
    EXPECT_EQ(grid.SelectedColCount(), 3);
    EXPECT_EQ(grid.ColSelectCount(), 3);
    grid.UnSelectCols(2, 1);
    EXPECT_FALSE(grid.GetColSelect(2));
    EXPECT_TRUE(grid.IsSelected(4, 3));
    EXPECT_THROW(grid.GetColSelect(5), REruVidaZuvez);
    EXPECT_THROW(grid.SetColSelect(-1, true), REruVidaZuvez);
    grid.ClearColSelect();
    EXPECT_EQ(grid.ColSelectCount(), 0);
}

TEST_F(SelectFixture, DisjunctCells)
{
    grid.MouseActions().SetDisjunctCellSelect(true);
    grid.SetSelectedCells(2, 3, true);
    grid.SetSelectedCells(4, 1, true);
    grid.SetSelectedCells(2, 3, true);
    EXPECT_EQ(grid.SelectedCellsCount(), 2);
    EXPECT_EQ(grid.GetSelectedCell(1), (TGridCoord{4, 1}));
    EXPECT_TRUE(grid.IsSelected(2, 3));
    grid.SetSelectedCells(2, 3, false);
    EXPECT_FALSE(grid.GetSelectedCells(2, 3));
    grid.ClearSelectedCells();
    EXPECT_EQ(grid.SelectedCellsCount(), 0);
}

TEST_F(SelectFixture, SyncRowFlagsWithTheRectangle)
{
    grid.MouseActions().SetDisjunctRowSelect(true);
    grid.SetRowSelect(6, true);
    grid.TBaseGrid::SetSelection(TGridRect{1, 2, 3, 3});
    grid.SyncRowSelectWithSelection(true);
    EXPECT_TRUE(grid.GetRowSelect(2));
    EXPECT_TRUE(grid.GetRowSelect(3));
    EXPECT_FALSE(grid.GetRowSelect(6));
}

// ---------------------------------------------------------------------------
// Current cell and row marks
// ---------------------------------------------------------------------------

TEST_F(SelectFixture, RowWritesReportEachChangeOnce)
{
    std::vector<std::pair<int, int>> reports;
    grid.OnRowUpdate = [&](QObject*, int oldRow, int newRow) { reports.emplace_back(oldRow, newRow); };
    grid.SetRow(3);
    grid.SetRow(3);
    grid.SetRow(5);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].second, 3);
    EXPECT_EQ(reports[1], std::make_pair(3, 5));
    EXPECT_EQ(grid.RealRow(), 5);
    grid.HideColumn(1);
    grid.SetCol(1);
    EXPECT_EQ(grid.RealCol(), 2);
}

TEST_F(SelectFixture, TopRowOutsideTheScrollableRowsIsIgnored)
{
    grid.SetTopRow(grid.RowCount());
    EXPECT_EQ(grid.TopRow(), 1);
    grid.SetTopRow(0);
    EXPECT_EQ(grid.TopRow(), 1);
}

TEST_F(SelectFixture, DisablingTheCurrentRowMovesAwayEnablingDoesNot)
{
    grid.SetRow(1);
    grid.SetRowEnabled(1, false);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_FALSE(grid.GetRowEnabled(1));
    grid.SetRowEnabled(2, true); // the current row, enabled: it stays current
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_TRUE(grid.GetRowEnabled(2));
    EXPECT_TRUE(grid.GetRowEnabled(100));
    grid.SetRowEnabled(-1, false);
    EXPECT_TRUE(grid.GetRowEnabled(-1));
}

TEST_F(SelectFixture, ModifiedRows)
{
    EXPECT_FALSE(grid.GetRowModified(20));
    grid.SetRowModified(10, true);
    for (int r = 0; r < 10; ++r)
        EXPECT_FALSE(grid.GetRowModified(r));
    EXPECT_TRUE(grid.GetRowModified(10));
    EXPECT_EQ(grid.ModifiedRowCount(), 1);
    grid.SetRowModified(-2, true);
    EXPECT_EQ(grid.ModifiedRowCount(), 1);
    grid.ClearModifiedRows();
    EXPECT_EQ(grid.ModifiedRowCount(), 0);
}

TEST_F(SelectFixture, InsertingRowsShiftsTheMarks)
{
    grid.ShowModified().SetEnabled(true);
    grid.SetRowModified(3, true);
    grid.SetRowEnabled(4, false);
    grid.InsertRows(3, 2);
    EXPECT_TRUE(grid.GetRowModified(5));
    EXPECT_FALSE(grid.GetRowModified(3));
    EXPECT_FALSE(grid.GetRowEnabled(6));
}

TEST_F(SelectFixture, NotifiersAndTheSelectionListener)
{
    struct Notifier : TGridChangeNotifier
    {
        int calls = 0;
        TRect last;
        void CellsChanged(const TRect& r) override
        {
            ++calls;
            last = r;
        }
    };
    struct Listener : ITExStringGridSelect
    {
        int col = -1, row = -1;
        void SelectionChanged(int c, int r) override
        {
            col = c;
            row = r;
        }
    };
    Notifier n;
    grid.RegisterNotifier(&n);
    grid.RegisterNotifier(&n);
    EXPECT_EQ(grid.NotifierCount(), 1);
    grid.ClearRows(2, 1);
    EXPECT_EQ(n.calls, 1);
    EXPECT_EQ(n.last, Rect(0, 2, 4, 2));
    grid.UnRegisterNotifier(&n);
    grid.ClearRows(2, 1);
    EXPECT_EQ(n.calls, 1);

    Listener a, b;
    grid.RegisterSelListener(&a);
    grid.RegisterSelListener(&b);
    grid.SetRow(4);
    EXPECT_EQ(a.row, -1);
    EXPECT_EQ(b.row, 4);
    grid.UnRegisterSelListener(&a);
    EXPECT_EQ(grid.SelListener(), nullptr);
}

TEST_F(SelectFixture, GotoAndFocusCell)
{
    grid.GotoCell(3, 6);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 6);
    grid.FocusCell(2, 2);
    EXPECT_EQ(grid.Selection(), (TGridRect{2, 2, 2, 2}));
    grid.ScrollInView(4, 7);
    EXPECT_EQ(grid.Row(), 2); // in view already
    grid.ScrollInView(9, 9); // outside the grid: nothing
}
