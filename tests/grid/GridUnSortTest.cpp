// The way back to the recorded order: whole rows return with their heights
// and modified marks, also when the cross-reference list no longer numbers
// every row once.
#include "grid/ExGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// Rows 1..6 below a fixed row: column 0 the row's original number, column 1
// a sort key, column 2 a remark.
struct UnSortFixture : ::testing::Test
{
    TExStringGrid grid;

    void SetUp() override
    {
        const QStringList keys{"d", "b", "f", "a", "e", "c"};
        grid.SetFixedCols(0);
        grid.SetColCount(3);
        grid.SetRowCount(static_cast<int>(keys.size()) + 1);
        for (int i = 0; i < keys.size(); ++i) {
            grid.SetGridCell(0, i + 1, QString::number(i + 1));
            grid.SetGridCell(1, i + 1, keys[i]);
            grid.SetGridCell(2, i + 1, QStringLiteral("remark %1").arg(i + 1));
        }
        grid.ShowModified().SetEnabled(true);
        grid.SetRowModified(2, true);
        grid.SetRowHeights(3, 41);
        grid.InitSortXRef();
    }

    // The rows in the order their cross-reference values give, equal values
    // in their present order.
    std::vector<QString> ExpectedFirstColumn()
    {
        std::vector<int> rows(static_cast<size_t>(std::min(grid.SortXRef().Count(), grid.RowCount())));
        std::iota(rows.begin(), rows.end(), 0);
        std::stable_sort(rows.begin(), rows.end(),
                         [&](int a, int b) { return grid.SortXRef().GetInteger(a) < grid.SortXRef().GetInteger(b); });
        std::vector<QString> out;
        for (int r : rows)
            out.push_back(grid.GetGridCell(0, r));
        return out;
    }
    std::vector<QString> FirstColumn(int count)
    {
        std::vector<QString> out;
        for (int r = 0; r < count; ++r)
            out.push_back(grid.GetGridCell(0, r));
        return out;
    }
};

} // namespace

TEST_F(UnSortFixture, WholeRowsComeBackWithHeightsAndMarks)
{
    grid.Sort(1, sdAscending);
    grid.Sort(1, sdDescending);
    ASSERT_NE(grid.GetGridCell(0, 1), QStringLiteral("1"));
    grid.QUnSort();
    for (int r = 1; r <= 6; ++r) {
        EXPECT_EQ(grid.GetGridCell(0, r), QString::number(r));
        EXPECT_EQ(grid.GetGridCell(2, r), QStringLiteral("remark %1").arg(r));
        EXPECT_EQ(grid.GetRowModified(r), r == 2) << r;
        EXPECT_EQ(grid.RowHeights(r), r == 3 ? 41 : grid.DefaultRowHeight()) << r;
    }
    for (int r = 0; r < grid.SortXRef().Count(); ++r)
        EXPECT_EQ(grid.SortXRef().GetInteger(r), r);
}

TEST_F(UnSortFixture, OrderWhenTheListNoLongerNumbersEveryRow)
{
    struct Case
    {
        const char* why;
        int removedRow; // -1: none
        int addedRows;
    };
    const Case cases[] = {
        {"the list as recorded", -1, 0},
        {"a row removed after the sort: one number is missing", 2, 0},
        {"rows added after the sort: the list is shorter", -1, 2},
    };
    for (const Case& c : cases) {
        SetUp();
        grid.Sort(1, sdAscending);
        if (c.removedRow >= 0)
            grid.RemoveRows(c.removedRow, 1);
        grid.SetRowCount(grid.RowCount() + c.addedRows);
        const std::vector<QString> expected = ExpectedFirstColumn();
        grid.QUnSort();
        EXPECT_EQ(FirstColumn(static_cast<int>(expected.size())), expected) << c.why;
    }
}
