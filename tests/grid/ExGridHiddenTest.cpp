#include "grid/ExGrid.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct HiddenFixture : ::testing::Test
{
    TExStringGrid grid;
    void SetUp() override
    {
        grid.SetColCount(5);
        grid.SetRowCount(8);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 5; ++c)
                grid.SetCellEx(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Columns
// ---------------------------------------------------------------------------

TEST_F(HiddenFixture, MapsWithoutHiddenColumnsAreTheIdentity)
{
    for (int c : {-1, 0, 3, 511, 512, 700}) {
        EXPECT_EQ(grid.RealColIndex(c), c);
        EXPECT_EQ(grid.DisplColIndex(c), c);
    }
}

TEST_F(HiddenFixture, HidingRealColumnTwoOfFive)
{
    grid.SetColWidths(2, 33);
    grid.SetColWidths(3, 44);
    grid.HideColumn(2);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.NumHiddenColumns(), 1);
    EXPECT_EQ(grid.TotalColCount(), 5);
    EXPECT_TRUE(grid.IsHiddenColumn(2));
    struct Map
    {
        int display, real;
    };
    for (const Map m : {Map{0, 0}, Map{1, 1}, Map{2, 3}, Map{3, 4}})
        EXPECT_EQ(grid.RealColIndex(m.display), m.real) << m.display;
    EXPECT_EQ(grid.DisplColIndex(3), 2);
    EXPECT_EQ(grid.DisplColIndex(2), 2); // a hidden column maps to the next shown one
    EXPECT_EQ(grid.ColWidths(2), 44);    // the widths moved left
    EXPECT_EQ(grid.GetCellEx(2, 4), QStringLiteral("2/4"));
    EXPECT_EQ(grid.GetAllColWidths(2), 33);
    grid.UnHideColumn(2);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.ColWidths(2), 33);
    EXPECT_EQ(grid.ColWidths(3), 44);
    EXPECT_FALSE(grid.IsHiddenColumn(2));
}

TEST_F(HiddenFixture, ColumnsOutsideTheFlagTableCountAsShown)
{
    for (int c : {-1, -100, 512, 513, 100000}) {
        EXPECT_FALSE(grid.IsHiddenColumn(c)) << c;
        grid.HideColumn(c);
        grid.UnHideColumn(c);
    }
    EXPECT_EQ(grid.NumHiddenColumns(), 0);
    EXPECT_EQ(grid.ColCount(), 5);
    grid.HideColumns(-3, 1); // the part inside the table is hidden
    EXPECT_EQ(grid.NumHiddenColumns(), 2);
    grid.HideColumn(3);
    EXPECT_EQ(grid.RealColIndex(512), 512);
    EXPECT_EQ(grid.DisplColIndex(600), 600);
}

TEST_F(HiddenFixture, TheLastShownColumnStays)
{
    TExStringGrid g;
    g.SetColCount(1);
    g.HideColumn(0);
    EXPECT_EQ(g.ColCount(), 1);
    EXPECT_EQ(g.NumHiddenColumns(), 0);
}

TEST_F(HiddenFixture, HidingTheCurrentLastColumnMovesTheCurrentCellLeft)
{
    grid.SetCol(4);
    grid.HideColumn(4);
    EXPECT_EQ(grid.Col(), 3);
}

TEST_F(HiddenFixture, ColumnsBeyondTheCountAreIgnoredAndHiddenOnesStay)
{
    grid.HideColumn(7);
    grid.HideColumn(1);
    grid.HideColumn(1);
    EXPECT_EQ(grid.NumHiddenColumns(), 1);
    grid.UnHideColumn(3); // shown already
    EXPECT_EQ(grid.ColCount(), 4);
    grid.UnHideColumnsAll();
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("1/1"));
}

TEST_F(HiddenFixture, CountChangesKeepTheHiddenColumnsCells)
{
    grid.HideColumn(1);
    grid.SetRowCount(12);
    grid.SetCellEx(1, 11, QStringLiteral("new"));
    grid.SetRowCount(8);
    grid.SetRowCount(12);
    EXPECT_EQ(grid.GetCellEx(1, 11), QString());
    EXPECT_EQ(grid.GetCellEx(1, 7), QStringLiteral("1/7"));
    grid.SetColCount(6);
    EXPECT_EQ(grid.TotalColCount(), 7);
    EXPECT_EQ(grid.RealColIndex(1), 2);
}

TEST_F(HiddenFixture, MovingAColumnAcrossAHiddenOne)
{
    grid.HideColumn(2);
    grid.MoveColumn(1, 3); // display 1 (real 1) to display 3 (real 4)
    EXPECT_EQ(grid.GetCellEx(grid.RealColIndex(3), 0), QStringLiteral("1/0"));
    EXPECT_EQ(grid.NumHiddenColumns(), 1);
    grid.UnHideColumnsAll();
    // Real order afterwards: 0, 2 (still the hidden one's cells), 3, 4, 1.
    const char* expected[] = {"0/0", "2/0", "3/0", "4/0", "1/0"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid.GetCellEx(c, 0), QString::fromLatin1(expected[c])) << c;
}

TEST_F(HiddenFixture, InsertingAndRemovingColumnsShiftTheHiddenFlags)
{
    grid.HideColumn(3);
    grid.InsertCols(1, 1);
    EXPECT_TRUE(grid.IsHiddenColumn(4));
    EXPECT_FALSE(grid.IsHiddenColumn(3));
    EXPECT_EQ(grid.TotalColCount(), 6);
    EXPECT_EQ(grid.GetCellEx(1, 2), QString());
    EXPECT_EQ(grid.GetCellEx(4, 2), QStringLiteral("3/2"));
    grid.RemoveCols(4, 1); // removing the hidden column itself
    EXPECT_EQ(grid.NumHiddenColumns(), 0);
    EXPECT_EQ(grid.TotalColCount(), 5);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.GetCellEx(4, 2), QStringLiteral("4/2"));
}

// ---------------------------------------------------------------------------
// Rows
// ---------------------------------------------------------------------------

TEST_F(HiddenFixture, HidingRealRowsThreeAndFour)
{
    grid.SetRowHeights(3, 30);
    grid.SetRowHeights(4, 40);
    grid.HideRows(3, 4);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(grid.NumHiddenRows(), 2);
    EXPECT_EQ(grid.TotalRowCount(), 8);
    EXPECT_EQ(grid.RealRowIndex(3), 5);
    EXPECT_EQ(grid.DisplRowIndex(5), 3);
    EXPECT_TRUE(grid.IsHiddenRow(4));
    std::unique_ptr<TIntList> list;
    EXPECT_TRUE(grid.IsHiddenRow(3, list));
    EXPECT_FALSE(grid.IsHiddenRow(5, list));
    EXPECT_EQ(grid.GetCellEx(2, 3), QStringLiteral("2/5"));
    grid.UnHideRowsAll();
    EXPECT_EQ(grid.RowCount(), 8);
    EXPECT_EQ(grid.NumHiddenRows(), 0);
    EXPECT_EQ(grid.GetCellEx(2, 3), QStringLiteral("2/3"));
    EXPECT_EQ(grid.GetCellEx(2, 4), QStringLiteral("2/4"));
    EXPECT_EQ(grid.RowHeights(3), 30);
    EXPECT_EQ(grid.RowHeights(4), 40);
}

TEST_F(HiddenFixture, RowMapsAnswerWithoutLoopingForNegativeRows)
{
    grid.HideRows(0, 1);
    EXPECT_EQ(grid.RealRowIndex(-1), -1);
    EXPECT_EQ(grid.RealRowIndex(-5), -5);
    EXPECT_EQ(grid.RealRowIndex(0), 2);
    EXPECT_EQ(grid.DisplRowIndex(-1), -1);
}

TEST_F(HiddenFixture, HiddenRowsKeepTheCellsOfHiddenColumns)
{
    grid.HideColumn(2);
    grid.SetColors(2, 5, clRed);
    grid.HideRow(5);
    grid.UnHideColumn(2);
    grid.UnHideRow(5);
    EXPECT_EQ(grid.GetCellEx(2, 5), QStringLiteral("2/5"));
    EXPECT_EQ(grid.GetColors(2, 5), clRed);
}

TEST_F(HiddenFixture, HidingARangeStoresOnlyRowsNotHiddenYet)
{
    grid.HideRow(4);
    grid.HideRows(3, 5);
    EXPECT_EQ(grid.NumHiddenRows(), 3);
    EXPECT_EQ(grid.GetCellsEx(1, 3), QStringLiteral("1/3"));
    EXPECT_EQ(grid.GetCellsEx(1, 4), QStringLiteral("1/4"));
    EXPECT_EQ(grid.GetCellsEx(1, 5), QStringLiteral("1/5"));
    EXPECT_EQ(grid.GetCellEx(1, 3), QStringLiteral("1/6"));
    // Bringing back a range that mixes shown and hidden rows puts every row at
    // its own place.
    grid.UnHideRow(4);
    grid.UnHideRows(3, 6);
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(grid.GetCellEx(1, r), QStringLiteral("1/%1").arg(r)) << r;
}

TEST_F(HiddenFixture, RowListsHideAsFilterLevels)
{
    TIntList first;
    first.Add(2);
    first.Add(5);
    grid.HideRowList(first);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(grid.FilterLevel(), 1);
    TIntList second;
    second.Add(1);
    grid.HideRowList(second);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("1/3"));
    grid.UnHideRowList(); // only the second list comes back
    grid.SetFilterLevel(grid.FilterLevel() - 1);
    EXPECT_EQ(grid.RowCount(), 6);
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("1/1"));
    EXPECT_EQ(grid.NumHiddenRows(), 2);
    grid.UnHideRowList();
    grid.SetFilterLevel(grid.FilterLevel() - 1);
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(grid.GetCellEx(1, r), QStringLiteral("1/%1").arg(r)) << r;
}

TEST_F(HiddenFixture, AFilterLevelLeavesRowsHiddenOtherwise)
{
    grid.HideRow(7);
    TIntList list;
    list.Add(2);
    grid.HideRowList(list);
    grid.UnHideRowList();
    grid.SetFilterLevel(0);
    EXPECT_EQ(grid.NumHiddenRows(), 1);
    EXPECT_TRUE(grid.IsHiddenRow(7));
    grid.UnHideRowsAll();
    EXPECT_EQ(grid.GetCellEx(1, 7), QStringLiteral("1/7"));
}

TEST_F(HiddenFixture, UnhidingDoesNotMarkRowsModified)
{
    grid.ShowModified().SetEnabled(true);
    grid.HideRow(3);
    grid.UnHideRow(3);
    EXPECT_EQ(grid.ModifiedRowCount(), 0);
    EXPECT_TRUE(grid.ShowModified().Enabled());
}

TEST_F(HiddenFixture, HideRowsExKeepsOtherStoredIndices)
{
    grid.HideRow(6);
    grid.HideRowsEx(2, 3);
    EXPECT_EQ(grid.NumHiddenRows(), 3);
    EXPECT_TRUE(grid.IsHiddenRow(6));
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("1/4"));
    grid.UnHideRowsAll();
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(grid.GetCellEx(1, r), QStringLiteral("1/%1").arg(r)) << r;
}

TEST_F(HiddenFixture, HideSelectedAndUnselectedRows)
{
    grid.SelectRows(2, 2);
    grid.HideSelectedRows();
    EXPECT_EQ(grid.NumHiddenRows(), 2);
    EXPECT_TRUE(grid.IsHiddenRow(2));
    EXPECT_TRUE(grid.IsHiddenRow(3));
    grid.UnHideRowsAll();
    grid.MouseActions().SetDisjunctRowSelect(true); // flags travel with their rows
    grid.SetRowSelect(5, true);
    grid.HideUnSelectedRows();
    EXPECT_EQ(grid.RowCount(), 2); // the fixed row and row 5
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("1/5"));
}

TEST_F(HiddenFixture, RowMoveHelpersKeepTheStoredIndices)
{
    grid.HideRow(6);
    grid.RemoveRowsEx(1, 2); // rows 1 and 2 go; row 6 is now row 4
    EXPECT_TRUE(grid.IsHiddenRow(4));
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("1/3"));
    grid.InsertRows(1, 1);
    EXPECT_EQ(grid.GetCellEx(1, 1), QString());
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("1/3"));
}

TEST_F(HiddenFixture, AStaleColumnOrderIsRecordedAfresh)
{
    grid.MoveColumn(1, 3);
    EXPECT_EQ(grid.ColumnOrder().Count(), 5);
    grid.SetColCount(3);
    EXPECT_NO_THROW(grid.ResetColumnOrder());
    EXPECT_EQ(grid.ColumnOrder().Items(), (std::vector<int>{0, 1, 2}));
}

TEST(GridHiddenWide, DisplayColumnsPastTheFlagTableMapToTheirRealColumn)
{
    TExStringGrid g;
    g.SetColCount(600);
    g.HideColumn(10);
    EXPECT_EQ(g.RealColIndex(510), 511);
    EXPECT_EQ(g.RealColIndex(511), 512); // not column 0
    g.SetCellEx(g.RealColIndex(511), 1, QStringLiteral("x"));
    EXPECT_EQ(g.GetCellEx(0, 1), QString());
}
