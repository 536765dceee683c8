// Rows hidden by hand and rows hidden by a filter share one store and one
// index space: whatever order hiding, filtering, grouping and their undoing
// come in, the two row maps agree, every real row keeps its own cells, and
// undoing everything gives back the grid exactly.
#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>
#include <vector>

using namespace platform;

namespace {

constexpr int Cols = 4;
constexpr int GroupCol = 2;

QString Text(int c, int r)
{
    // The group column has few values, so that grouping makes real groups.
    return c == GroupCol ? QStringLiteral("g%1").arg(r % 3) : QStringLiteral("%1/%2").arg(c).arg(r);
}

// A grid with one fixed row; every data row has its own height.
std::unique_ptr<TExStringGrid> FilledGrid(int rows)
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetColCount(Cols);
    g->SetRowCount(rows);
    g->SetFixedRows(1);
    g->SetFixedCols(0);
    for (int r = 0; r < rows; ++r) {
        g->SetRowHeights(r, 20 + r % 7);
        for (int c = 0; c < Cols; ++c)
            g->SetCellEx(c, r, Text(c, r));
    }
    return g;
}

// What the grid shows and what it keeps hidden, by real row.
struct Snapshot
{
    std::vector<std::vector<QString>> shown;
    std::vector<int> heights;
    std::map<int, std::vector<QString>> hidden;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(TExStringGrid& g)
{
    Snapshot s;
    for (int r = 0; r < g.RowCount(); ++r) {
        std::vector<QString> row;
        for (int c = 0; c < g.TotalColCount(); ++c)
            row.push_back(g.GetGridCell(c, r));
        s.shown.push_back(row);
        s.heights.push_back(g.RowHeights(r));
    }
    for (int i = 0; i < g.GridItems().Count(); ++i) {
        const TGridItem* item = g.GridItems().Items(i);
        std::vector<QString> row;
        for (int c = 0; c < item->Items().Count(); ++c)
            row.push_back(item->Items().Strings(c));
        s.hidden[item->Idx()] = row;
    }
    return s;
}

// The maps are each other's inverse, no real row is stored twice, and every
// real row, shown or hidden, still holds its own cells.
void ExpectMapsAgree(TExStringGrid& g, int realRows)
{
    std::set<int> stored;
    for (int i = 0; i < g.GridItems().Count(); ++i)
        ASSERT_TRUE(stored.insert(g.GridItems().Items(i)->Idx()).second)
            << "real row " << g.GridItems().Items(i)->Idx() << " stored twice";
    ASSERT_EQ(g.TotalRowCount(), realRows);
    for (int d = 0; d < g.RowCount(); ++d) {
        const int r = g.RowDisplToReal(d);
        ASSERT_FALSE(g.IsHiddenRow(r)) << "display row " << d << " maps to hidden real row " << r;
        ASSERT_EQ(g.RowRealToDispl(r), d) << "display row " << d;
    }
    for (int r = 0; r < realRows; ++r)
        for (int c : {0, 1})
            ASSERT_EQ(g.GetCellsEx(c, r), Text(c, r)) << "real row " << r;
}

TIntList List(const std::vector<int>& rows)
{
    TIntList list;
    for (int r : rows)
        list.Add(r);
    return list;
}

// The real rows the call hid, for bringing back exactly those.
std::vector<int> NewlyHidden(TExStringGrid& g, const std::set<int>& before)
{
    std::vector<int> rows;
    for (int i = 0; i < g.GridItems().Count(); ++i)
        if (!before.count(g.GridItems().Items(i)->Idx()))
            rows.push_back(g.GridItems().Items(i)->Idx());
    return rows;
}

std::set<int> Stored(TExStringGrid& g)
{
    std::set<int> s;
    for (int i = 0; i < g.GridItems().Count(); ++i)
        s.insert(g.GridItems().Items(i)->Idx());
    return s;
}

void Unfilter(TExStringGrid& g)
{
    g.UnHideRowList();
    g.SetFilterLevel(g.FilterLevel() - 1);
}

void GroupAndBack(TExStringGrid& g)
{
    g.Group(GroupCol);
    g.UnGroup();
}

} // namespace

TEST(GridHiddenRoundTrip, HandAndFilterHiddenRowsShareOneIndexSpace)
{
    struct Case
    {
        const char* why;
        std::function<void(TExStringGrid&)> hide;
        std::function<void(TExStringGrid&)> undo;
        int hiddenAfter; // rows in the store after hiding
    };
    const Case cases[] = {
        {"a row hidden by hand, then the row now at its display place filtered",
         [](TExStringGrid& g) {
             g.HideRow(3);
             g.HideRowList(List({3}));
         },
         [](TExStringGrid& g) {
             Unfilter(g);
             g.UnHideRow(3);
         },
         2},
        {"then grouped and ungrouped: no value slides a row, no row is added",
         [](TExStringGrid& g) {
             g.HideRow(3);
             g.HideRowList(List({3}));
             GroupAndBack(g);
         },
         [](TExStringGrid& g) {
             Unfilter(g);
             g.UnHideRow(3);
         },
         2},
        {"filtered first, then a shown row hidden by hand at the filtered row's display index",
         [](TExStringGrid& g) {
             g.HideRow(1);
             g.HideRowList(List({2})); // real row 3
             g.HideRows(2, 2);         // real row 2 is shown: it is hidden
         },
         [](TExStringGrid& g) {
             g.UnHideRow(2);
             Unfilter(g);
             g.UnHideRow(1);
         },
         3},
        {"two filter levels over rows hidden by hand, brought back in turn",
         [](TExStringGrid& g) {
             g.HideRows(2, 3);
             g.HideRowList(List({2, 4}));
             g.HideRow(9);
             g.HideRowList(List({1, 2}));
         },
         [](TExStringGrid& g) {
             Unfilter(g);
             g.UnHideRow(9);
             Unfilter(g);
             g.UnHideRows(2, 3);
         },
         7},
        {"a contracted tree's rows stored as a list, then rows hidden by hand unhidden in between",
         [](TExStringGrid& g) {
             g.HideRow(5);
             g.HideRowList(List({5, 6}));
             g.UnHideRow(5);
             g.HideRow(5);
         },
         [](TExStringGrid& g) {
             g.UnHideRow(5);
             Unfilter(g);
         },
         3},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        auto g = FilledGrid(12);
        const Snapshot original = Take(*g);
        k.hide(*g);
        ExpectMapsAgree(*g, 12);
        if (HasFatalFailure())
            continue;
        EXPECT_EQ(g->NumHiddenRows(), k.hiddenAfter);
        k.undo(*g);
        ExpectMapsAgree(*g, 12);
        EXPECT_EQ(g->NumHiddenRows(), 0);
        EXPECT_TRUE(Take(*g) == original);
    }
}

TEST(GridHiddenRoundTrip, RandomSequencesUndoneGiveBackTheExactGrid)
{
    // Each step is kept with its undoing; undone in reverse order (some
    // halfway through, the rest at the end) the grid must be the one before.
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        const int realRows = pick(6, 30);
        auto g = FilledGrid(realRows);
        const Snapshot original = Take(*g);
        std::vector<std::function<void()>> undo;
        std::vector<Snapshot> before;
        for (int step = 0; step < 25; ++step) {
            const int kind = pick(0, 9);
            if (kind < 4) {
                // Rows hidden by hand, by real index; some may be hidden already.
                const int from = pick(1, realRows - 1);
                const int to = std::min(realRows - 1, from + pick(0, 3));
                const std::set<int> had = Stored(*g);
                before.push_back(Take(*g));
                g->HideRows(from, to);
                const std::vector<int> rows = NewlyHidden(*g, had);
                undo.push_back([&g, rows] {
                    for (int r : rows)
                        g->UnHideRow(r);
                });
            } else if (kind < 7) {
                // A filter level over some shown data rows, by display index.
                std::vector<int> rows;
                for (int d = 1; d < g->RowCount(); ++d)
                    if (pick(0, 3) == 0)
                        rows.push_back(d);
                before.push_back(Take(*g));
                g->HideRowList(List(rows));
                undo.push_back([&g] { Unfilter(*g); });
            } else if (kind < 8) {
                const Snapshot s = Take(*g);
                GroupAndBack(*g);
                ASSERT_TRUE(Take(*g) == s) << "group and ungroup changed the grid at step " << step;
            } else if (!undo.empty()) {
                undo.back()();
                undo.pop_back();
                ASSERT_TRUE(Take(*g) == before.back()) << "undoing changed the grid at step " << step;
                before.pop_back();
            }
            ExpectMapsAgree(*g, realRows);
            ASSERT_FALSE(HasFatalFailure()) << "after step " << step;
        }
        while (!undo.empty()) {
            undo.back()();
            undo.pop_back();
            ASSERT_TRUE(Take(*g) == before.back());
            before.pop_back();
            ExpectMapsAgree(*g, realRows);
            ASSERT_FALSE(HasFatalFailure());
        }
        EXPECT_EQ(g->FilterLevel(), 0);
        EXPECT_TRUE(Take(*g) == original);
    }
}
