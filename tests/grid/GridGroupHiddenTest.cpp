// Grouping by the only shown column while the others are hidden: the grid
// groups whole, and ungrouping gives back the exact grid, hidden columns
// hidden.
#include "grid/ExGrid.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Snapshot
{
    int colCount = 0, rowCount = 0, hidden = 0;
    std::vector<QString> cells;
    std::vector<bool> hiddenCols;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(TExStringGrid& g)
{
    Snapshot s{g.ColCount(), g.RowCount(), g.NumHiddenColumns(), {}, {}};
    for (int r = 0; r < g.RowCount(); ++r)
        for (int c = 0; c < g.TotalColCount(); ++c)
            s.cells.push_back(g.GetGridCell(c, r));
    for (int c = 0; c < g.TotalColCount(); ++c)
        s.hiddenCols.push_back(g.IsHiddenColumn(c));
    return s;
}

} // namespace

TEST(GridGroupHidden, OnlyShownColumnGroupsAndUngroupsToTheSameGrid)
{
    const struct
    {
        const char* name;
        std::vector<int> hidden; // real columns
        int group; // real column
        int fixedCols;
    } cases[] = {
        {"others hidden before it", {1, 2}, 3, 1},
        {"others hidden after it", {2, 3}, 1, 1},
        {"one hidden on each side", {1, 3}, 2, 1},
        {"no fixed column, hidden before", {1, 2}, 3, 0},
        {"no fixed column, hidden after", {2, 3}, 1, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TExStringGrid g;
        g.resize(300, 200);
        g.SetColCount(4);
        g.SetRowCount(7);
        g.SetFixedCols(k.fixedCols);
        g.SetFixedRows(1);
        const char* kinds[] = {"", "a", "a", "b", "b", "c", "c"};
        for (int r = 0; r < 7; ++r) {
            g.SetGridCell(0, r, QString::number(r));
            for (int c = 1; c < 4; ++c)
                g.SetGridCell(c, r, r == 0 ? QStringLiteral("H%1").arg(c)
                                           : (c == k.group ? QString::fromLatin1(kinds[r])
                                                           : QStringLiteral("v%1,%2").arg(c).arg(r)));
        }
        for (int h : k.hidden)
            g.HideColumn(h);
        g.FocusCell(g.ColCount() - 1, 2);
        const Snapshot before = Take(g);

        EXPECT_NO_THROW(g.Group(k.group));
        EXPECT_EQ(g.GroupColumn(), k.group);
        int nodes = 0;
        for (int r = 1; r < g.RowCount(); ++r)
            nodes += g.IsNode(r) ? 1 : 0;
        EXPECT_EQ(nodes, 3);
        EXPECT_EQ(g.NumHiddenColumns(), 2) << "the hidden columns stay hidden while grouped";
        EXPECT_LT(g.Col(), g.ColCount());
        EXPECT_LT(g.Row(), g.RowCount());

        g.UnGroup();
        EXPECT_EQ(g.GroupColumn(), -1);
        const Snapshot after = Take(g);
        EXPECT_EQ(after.colCount, before.colCount);
        EXPECT_EQ(after.hiddenCols, before.hiddenCols);
        EXPECT_EQ(after.cells, before.cells);
        EXPECT_TRUE(after == before);
    }
}
