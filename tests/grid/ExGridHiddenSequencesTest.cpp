// Sequences of hiding, unhiding, removing and inserting that once broke the
// grid: each runs on a fresh filled grid, the grid must stay whole, the texts
// must be those of the right rows and columns, and the grid must go cleanly
// (under the sanitizers a stale cell object shows up at the latest there).
#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <set>
#include <vector>

using namespace platform;

namespace {

QString Text(int c, int r) { return QStringLiteral("%1/%2").arg(c).arg(r); }

// A grid of cols x rows, no fixed rows or columns, every cell "c/r".
std::unique_ptr<TExStringGrid> FilledGrid(int cols, int rows)
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g->SetCellEx(c, r, Text(c, r));
    return g;
}

TIntList Rows(std::initializer_list<int> rows)
{
    TIntList list;
    for (int r : rows)
        list.Add(r);
    return list;
}

// Counts and maps agree with each other, and no update is left open.
void ExpectWhole(TExStringGrid& g)
{
    EXPECT_EQ(g.UpdateCount(), 0);
    int hidden = 0;
    for (int c = 0; c < TExStringGrid::MaxHiddenColumns; ++c) {
        if (g.IsHiddenColumn(c)) {
            ++hidden;
            EXPECT_LT(c, g.TotalColCount()) << "hidden column " << c << " lies past the last column";
        }
    }
    EXPECT_EQ(hidden, g.NumHiddenColumns());
    std::set<int> stored;
    for (int i = 0; i < g.GridItems().Count(); ++i) {
        const int idx = g.GridItems().Items(i)->Idx();
        EXPECT_GE(idx, 0);
        EXPECT_LT(idx, g.TotalRowCount());
        EXPECT_TRUE(stored.insert(idx).second) << "row " << idx << " stored twice";
    }
}

std::vector<QString> ColumnTexts(TExStringGrid& g, int col)
{
    std::vector<QString> texts;
    for (int r = 0; r < g.RowCount(); ++r)
        texts.push_back(g.GetCellEx(col, r));
    return texts;
}

std::vector<QString> Expected(std::initializer_list<const char*> texts)
{
    std::vector<QString> out;
    for (const char* t : texts)
        out.push_back(QString::fromLatin1(t));
    return out;
}

struct Sequence
{
    const char* why;
    int cols, rows;
    std::function<void(TExStringGrid&)> steps;
    int column; // whose texts are checked, row by row, over the whole grid
    std::vector<QString> texts;
};

} // namespace

TEST(GridSequences, LeaveTheGridWholeWithTheRightRowsAndColumns)
{
    const Sequence sequences[] = {
        {"a row dropped below a hidden one: the store's index stays in range, hiding again stores only rows "
         "that leave the grid (their cell properties had two owners)",
         6, 8,
         [](TExStringGrid& g) {
             g.HideRows(1, 1);
             g.DropRows(0, 2);
             g.MergeCells(0, 0, 2, 2);
             g.HideRows(0, 2);
         },
         2, Expected({"2/5", "2/6", "2/7"})},
        {"the same rows brought back", 6, 8,
         [](TExStringGrid& g) {
             g.HideRows(1, 1);
             g.DropRows(0, 2);
             g.MergeCells(0, 0, 2, 2);
             g.HideRows(0, 2);
             g.UnHideRows(0, 2);
         },
         2, Expected({"2/1", "2/3", "2/4", "2/5", "2/6", "2/7"})},
        {"the variant that keeps no heights, from that state: its first row is the hidden one, so it stores "
         "nothing (it stored rows that stayed in the grid)",
         6, 8,
         [](TExStringGrid& g) {
             g.HideRows(1, 1);
             g.DropRows(0, 2);
             g.MergeCells(0, 0, 2, 2);
             g.HideRowsEx(0, 2); // row 0 is the hidden one: nothing to do
             g.UnHideRowsAll();
         },
         2, Expected({"2/1", "2/3", "2/4", "2/5", "2/6", "2/7"})},
        {"hidden rows between removed ones come back at their places (one column, five rows)", 1, 5,
         [](TExStringGrid& g) {
             g.HideRow(2);
             g.DropRows(1, 2);
             g.UnHideRowsAll();
         },
         0, Expected({"0/0", "0/2", "0/4"})},
        {"the lighter removal lowers the stored indices the same way", 1, 5,
         [](TExStringGrid& g) {
             g.HideRow(2);
             g.RemoveRowsEx(1, 2);
             g.UnHideRowsAll();
         },
         0, Expected({"0/0", "0/2", "0/4"})},
        {"a filtered row past a lowered row count: unhiding one row adds one row", 6, 8,
         [](TExStringGrid& g) {
             g.HideRowList(Rows({6}));
             g.SetRowCount(5);
             g.UnHideRowList();
         },
         0, Expected({"0/0", "0/1", "0/2", "0/3", "0/4", "0/6"})},
        {"rows removed around a filtered row", 6, 8,
         [](TExStringGrid& g) {
             g.HideRowList(Rows({6}));
             g.RemoveRowsEx(5, 2);
             g.UnHideRowList();
         },
         0, Expected({"0/0", "0/1", "0/2", "0/3", "0/4", "0/6"})},
        {"a column added while rows are filtered is empty in them, and a moved row leaves nothing behind", 6, 8,
         [](TExStringGrid& g) {
             g.HideRowList(Rows({0, 1}));
             g.SetColCount(7);
             g.SetCellEx(6, 0, QStringLiteral("X"));
             g.UnHideRowList();
         },
         6, Expected({"", "", "X", "", "", "", "", ""})},
        {"a stored row past the rows a lower count kept is no row to hide: only rows in the grid are stored",
         6, 8,
         [](TExStringGrid& g) {
             g.HideRow(7);
             g.SetRowCount(3);
             g.HideRows(2, 3);
             g.UnHideRowsAll();
         },
         0, Expected({"0/0", "0/1", "0/2", "0/7"})},
        {"the last row removed is emptied", 6, 8,
         [](TExStringGrid& g) {
             g.SetRowCount(1);
             g.RemoveRowsEx(0, 1);
         },
         0, Expected({""})},
        {"every row hidden: the one row kept is empty", 6, 8, [](TExStringGrid& g) { g.HideRows(0, 7); }, 0,
         Expected({""})},
        {"every row hidden, the variant", 6, 8, [](TExStringGrid& g) { g.HideRowsEx(0, 7); }, 0, Expected({""})},
        {"every row filtered", 6, 8, [](TExStringGrid& g) { g.HideRowList(Rows({0, 1, 2, 3, 4, 5, 6, 7})); }, 0,
         Expected({""})},
        {"every row hidden and back: they come before the empty row kept", 1, 3,
         [](TExStringGrid& g) {
             g.HideRows(0, 2);
             g.UnHideRowsAll();
         },
         0, Expected({"0/0", "0/1", "0/2", ""})},
        {"a column inserted after a lower column count is empty", 6, 8,
         [](TExStringGrid& g) {
             g.SetColCount(3);
             g.InsertCols(3, 1);
         },
         3, Expected({"", "", "", "", "", "", "", ""})},
        {"columns a lower count cut come back empty", 6, 8,
         [](TExStringGrid& g) {
             g.SetColCount(3);
             g.SetColCount(6);
         },
         5, Expected({"", "", "", "", "", "", "", ""})},
        {"a hidden row's cells move with inserted columns (three columns, four rows)", 3, 4,
         [](TExStringGrid& g) {
             g.HideRow(2);
             g.InsertCols(0, 1);
             g.UnHideRowsAll();
         },
         1, Expected({"0/0", "0/1", "0/2", "0/3"})},
        {"the inserted column is empty in the hidden row too", 3, 4,
         [](TExStringGrid& g) {
             g.HideRow(2);
             g.InsertCols(0, 1);
             g.UnHideRowsAll();
         },
         0, Expected({"", "", "", ""})},
        {"a hidden row's cells move with removed columns", 3, 4,
         [](TExStringGrid& g) {
             g.HideRow(2);
             g.RemoveCols(0, 1);
             g.UnHideRowsAll();
         },
         0, Expected({"1/0", "1/1", "1/2", "1/3"})},
        {"hidden columns past a lower column count are cut with it", 6, 8,
         [](TExStringGrid& g) {
             g.SetColCount(9);
             g.HideColumns(7, 8);
             g.SetColCount(5);
         },
         4, Expected({"4/0", "4/1", "4/2", "4/3", "4/4", "4/5", "4/6", "4/7"})},
        {"then showing every column raises nothing and changes nothing", 6, 8,
         [](TExStringGrid& g) {
             g.SetColCount(9);
             g.HideColumns(7, 8);
             g.SetColCount(5);
             g.UnHideColumnsAll();
             g.UnHideColumns(7, 8);
         },
         4, Expected({"4/0", "4/1", "4/2", "4/3", "4/4", "4/5", "4/6", "4/7"})},
        {"a hidden column before the cut stays hidden", 6, 8,
         [](TExStringGrid& g) {
             g.HideColumn(1);
             g.SetColCount(3); // real columns 0, 1 (hidden), 2, 3
             g.UnHideColumnsAll();
         },
         1, Expected({"1/0", "1/1", "1/2", "1/3", "1/4", "1/5", "1/6", "1/7"})},
    };
    for (const Sequence& s : sequences) {
        SCOPED_TRACE(s.why);
        auto g = FilledGrid(s.cols, s.rows);
        ASSERT_NO_THROW(s.steps(*g));
        ExpectWhole(*g);
        EXPECT_EQ(ColumnTexts(*g, s.column), s.texts);
        g.reset();
    }
}

TEST(GridSequences, CutHiddenColumnsLeaveCountsThatAddUp)
{
    auto g = FilledGrid(6, 8);
    g->SetColCount(9);
    g->HideColumns(7, 8);
    g->SetColCount(5);
    EXPECT_EQ(g->ColCount(), 5);
    EXPECT_EQ(g->NumHiddenColumns(), 0);
    EXPECT_EQ(g->TotalColCount(), 5);
    g->HideColumn(1);
    g->SetColCount(3); // the hidden column lies before the cut
    EXPECT_EQ(g->NumHiddenColumns(), 1);
    EXPECT_EQ(g->TotalColCount(), 4);
    EXPECT_EQ(g->RealColIndex(2), 3);
    g->UnHideColumnsAll();
    EXPECT_EQ(g->ColCount(), 4);
    EXPECT_EQ(g->GetCellEx(3, 0), QStringLiteral("3/0"));
}

TEST(GridSequences, RemovingEveryShownColumnShowsAHiddenOne)
{
    // The grid always shows one column; with only hidden ones left it used
    // to count one column more than there is.
    struct Case
    {
        const char* why;
        std::function<void(TExStringGrid&)> steps;
        std::vector<QString> texts;
    };
    const Case cases[] = {
        {"the shown columns removed one by one",
         [](TExStringGrid& g) {
             g.HideColumn(1);
             g.RemoveCols(0, 1);
             g.RemoveCols(1, 1);
         },
         Expected({"1/0", "1/1", "1/2", "1/3"})},
        {"the shown columns removed in one call", [](TExStringGrid& g) {
             g.HideColumn(2);
             g.RemoveCols(0, 2);
         },
         Expected({"2/0", "2/1", "2/2", "2/3"})},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        auto g = FilledGrid(3, 4);
        g->SetColWidths(1, 40);
        g->SetColWidths(2, 40);
        k.steps(*g);
        EXPECT_EQ(g->TotalColCount(), 1);
        EXPECT_EQ(g->ColCount(), 1);
        EXPECT_EQ(g->NumHiddenColumns(), 0);
        EXPECT_EQ(g->ColWidths(0), 40); // the width it had when hidden
        EXPECT_EQ(ColumnTexts(*g, 0), k.texts);
        g->UnHideColumnsAll();
        EXPECT_EQ(g->ColCount(), 1);
        ExpectWhole(*g);
    }
}

TEST(GridSequences, ColumnsCutOrInsertedAreEmptyInHiddenRowsToo)
{
    auto g = FilledGrid(6, 8);
    g->HideRow(2);
    g->SetColCount(3);
    EXPECT_EQ(g->HiddenRowTexts(2)->Count(), 3);
    g->InsertCols(3, 2);
    g->SetCellsEx(4, 2, QStringLiteral("new"));
    g->UnHideRowsAll();
    EXPECT_EQ(g->GetCellEx(3, 2), QString());
    EXPECT_EQ(g->GetCellEx(4, 2), QStringLiteral("new"));
    EXPECT_EQ(g->GetCellEx(2, 2), QStringLiteral("2/2"));
}

TEST(GridSequences, RemovedColumnsFreeTheHiddenRowsCellProperties)
{
    auto g = FilledGrid(6, 8);
    g->SetColors(1, 3, clRed);
    g->SetColors(2, 3, clBlue);
    g->HideRow(3);
    g->RemoveCols(1, 1);
    g->UnHideRow(3);
    EXPECT_EQ(g->GetColors(1, 3), clBlue);
    EXPECT_EQ(g->GetCellEx(1, 3), QStringLiteral("2/3"));
    g.reset(); // each properties object freed once
}

// ---------------------------------------------------------------------------
// Removing rows with the current cell outside the grid
// ---------------------------------------------------------------------------

TEST(GridSequences, RemovalsMoveACurrentCellOutsideTheGridBackIntoIt)
{
    struct Selection
    {
        const char* name;
        std::function<void(TExStringGrid&)> set;
    };
    const Selection selections[] = {
        {"hidden selection", [](TExStringGrid& g) { g.HideSelection(); }},
        {"column selection past the last column", [](TExStringGrid& g) { g.SelectCols(4, 5); }},
    };
    struct Removal
    {
        const char* name;
        std::function<void(TExStringGrid&)> remove;
        bool hides;
    };
    const Removal removals[] = {
        {"RemoveRowRange", [](TExStringGrid& g) { g.RemoveRowRange(1, 2, true); }, false},
        {"DropRows", [](TExStringGrid& g) { g.DropRows(1, 2); }, false},
        {"HideRows", [](TExStringGrid& g) { g.HideRows(1, 2); }, true},
        {"RemoveRowsEx", [](TExStringGrid& g) { g.RemoveRowsEx(1, 2); }, false},
        {"HideRowsEx", [](TExStringGrid& g) { g.HideRowsEx(1, 2); }, true},
    };
    for (const Selection& s : selections) {
        for (const Removal& r : removals) {
            SCOPED_TRACE(std::string(s.name) + ", " + r.name);
            auto g = FilledGrid(6, 8);
            g->SetFixedFooters(1);
            g->MouseActions().SetDisjunctRowSelect(true);
            s.set(*g);
            ASSERT_NO_THROW(r.remove(*g));
            ExpectWhole(*g);
            EXPECT_EQ(g->RowCount(), 6);
            EXPECT_EQ(g->FixedFooters(), 1);
            EXPECT_TRUE(g->MouseActions().DisjunctRowSelect());
            EXPECT_GE(g->Row(), 0);
            EXPECT_LT(g->Row(), g->RowCount());
            EXPECT_EQ(g->Col(), 0);
            EXPECT_EQ(ColumnTexts(*g, 0), Expected({"0/0", "0/3", "0/4", "0/5", "0/6", "0/7"}));
            EXPECT_EQ(g->NumHiddenRows(), r.hides ? 2 : 0);
            g.reset();
        }
    }
}

// ---------------------------------------------------------------------------
// Widths
// ---------------------------------------------------------------------------

TEST(GridSequences, HugeWidthsAndHeightsAreCutAndTheGridStillPaints)
{
    auto g = FilledGrid(6, 8);
    g->resize(300, 200);
    g->SetColWidths(0, INT_MAX);
    g->SetColWidths(1, INT_MAX);
    g->SetRowHeights(0, INT_MAX);
    g->SetAllColWidths(2, INT_MAX);
    EXPECT_EQ(g->ColWidths(0), TCustomGrid::MaxCellExtent);
    EXPECT_EQ(g->RowHeights(0), TCustomGrid::MaxCellExtent);
    EXPECT_EQ(g->GetAllColWidths(2), TCustomGrid::MaxCellExtent);
    g->HideColumn(2);
    EXPECT_EQ(g->GetAllColWidths(2), TCustomGrid::MaxCellExtent);
    g->SetColWidths(1, -5);
    EXPECT_EQ(g->ColWidths(1), 0);
    g->show();
    g->grab();
    int c = -1, r = -1;
    g->MouseToCell(100, 100, c, r);
    g->SetCol(3);
    g->SetRow(5);
    g->grab();
}
