// Row and column operations on a small grid that holds everything tied to a
// row or a column: a hidden row, a hidden column, a merged cell, cell
// property objects and a row height. After each operation every row and
// column is shown again and the grid is compared cell by cell.
#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace platform;

namespace {

QString Text(int c, int r) { return QStringLiteral("%1/%2").arg(c).arg(r); }

constexpr int Cols = 4;
constexpr int Rows = 6;
constexpr int TallRow = 1;     // the row of height 40, its cell (0, 1) red
constexpr int HiddenRow = 2;   // hidden, its cell (3, 2) blue
constexpr int HiddenCol = 1;

// 4 x 6, no fixed cells, "c/r" everywhere; row 2 and column 1 hidden; the
// cell (2, 4) merged over two columns.
std::unique_ptr<TExStringGrid> LoadedGrid()
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetColCount(Cols);
    g->SetRowCount(Rows);
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            g->SetCellEx(c, r, Text(c, r));
    g->SetColors(0, TallRow, clRed);
    g->SetColors(3, HiddenRow, clBlue);
    g->SetRowHeights(TallRow, 40);
    g->MergeCells(2, 4, 2, 1);
    g->HideRow(HiddenRow);
    g->HideColumn(HiddenCol);
    return g;
}

struct Case
{
    const char* name;
    std::function<void(TExStringGrid&)> op;
    std::vector<int> rows; // the original row now at each real row; -1 empty
    std::vector<int> cols; // the original column now at each real column; -1 empty
    int hiddenColsAfter;   // hidden columns right after the operation
};

class RowColTable : public ::testing::TestWithParam<Case>
{
};

TEST_P(RowColTable, CellsAndWhatIsTiedToThemTravelTogether)
{
    const Case& k = GetParam();
    auto g = LoadedGrid();
    k.op(*g);
    EXPECT_EQ(g->NumHiddenColumns(), k.hiddenColsAfter);
    g->UnHideRowsAll();
    g->UnHideColumnsAll();
    ASSERT_EQ(g->RowCount(), static_cast<int>(k.rows.size()));
    ASSERT_EQ(g->ColCount(), static_cast<int>(k.cols.size()));
    for (int r = 0; r < g->RowCount(); ++r) {
        for (int c = 0; c < g->ColCount(); ++c) {
            const int orow = k.rows[static_cast<size_t>(r)], ocol = k.cols[static_cast<size_t>(c)];
            const QString want = orow < 0 || ocol < 0 ? QString() : Text(ocol, orow);
            EXPECT_EQ(g->GetGridCell(c, r), want) << "cell " << c << "," << r;
            TColor colour = clNone;
            if (orow == TallRow && ocol == 0)
                colour = clRed;
            else if (orow == HiddenRow && ocol == 3)
                colour = clBlue;
            if (colour != clNone) {
                EXPECT_EQ(g->GetColors(c, r), colour) << "colour of " << c << "," << r;
            }
            if (orow == 4 && ocol == 2) {
                EXPECT_EQ(g->CellSpan(c, r).X, 1) << "merged cell " << c << "," << r;
            }
        }
        const int orow = k.rows[static_cast<size_t>(r)];
        if (orow == TallRow)
            EXPECT_EQ(g->RowHeights(r), 40) << "height of row " << r;
        else
            EXPECT_EQ(g->RowHeights(r), g->DefaultRowHeight()) << "height of row " << r;
    }
}

// Display rows before each operation: 0, 1, 3, 4, 5 (row 2 hidden); display
// columns 0, 2, 3 (column 1 hidden). Columns in the calls are real.
const Case Cases[] = {
    // Hidden rows below the insertion move down with the shown ones.
    {"InsertAboveHiddenRow", [](TExStringGrid& g) { g.InsertRows(1, 2); }, {0, -1, -1, 1, 2, 3, 4, 5}, {0, 1, 2, 3}, 1},
    {"InsertRightAfterHiddenRow", [](TExStringGrid& g) { g.InsertRows(2, 1); }, {0, 1, 2, -1, 3, 4, 5}, {0, 1, 2, 3}, 1},
    {"AddRow", [](TExStringGrid& g) { g.AddRow(); }, {0, 1, 2, 3, 4, 5, -1}, {0, 1, 2, 3}, 1},
    {"RemoveAboveHiddenRow", [](TExStringGrid& g) { g.RemoveRows(1, 1); }, {0, 2, 3, 4, 5}, {0, 1, 2, 3}, 1},
    {"RemoveBelowHiddenRow", [](TExStringGrid& g) { g.RemoveRows(2, 2); }, {0, 1, 2, 5}, {0, 1, 2, 3}, 1},
    {"RemoveCutAtTheEnd", [](TExStringGrid& g) { g.RemoveRows(3, 99); }, {0, 1, 2, 3}, {0, 1, 2, 3}, 1},
    // MoveRows(0, 3, 1) lands the row at display row 2.
    {"MoveRowsDown", [](TExStringGrid& g) { g.MoveRows(0, 3, 1); }, {1, 3, 2, 0, 4, 5}, {0, 1, 2, 3}, 1},
    {"MoveRowsUp", [](TExStringGrid& g) { g.MoveRows(3, 0, 2); }, {4, 5, 2, 0, 1, 3}, {0, 1, 2, 3}, 1},
    {"MoveRow", [](TExStringGrid& g) { g.MoveRow(0, 2); }, {1, 3, 2, 0, 4, 5}, {0, 1, 2, 3}, 1},
    {"SwapRows", [](TExStringGrid& g) { g.SwapRows(0, 4); }, {5, 1, 2, 3, 4, 0}, {0, 1, 2, 3}, 1},
    {"SwapTallRow", [](TExStringGrid& g) { g.SwapRows(1, 2); }, {0, 3, 2, 1, 4, 5}, {0, 1, 2, 3}, 1},
    {"InsertBeforeHiddenColumn", [](TExStringGrid& g) { g.InsertCols(1, 1); }, {0, 1, 2, 3, 4, 5}, {0, -1, 1, 2, 3}, 1},
    {"AddColumn", [](TExStringGrid& g) { g.AddColumn(); }, {0, 1, 2, 3, 4, 5}, {0, 1, 2, 3, -1}, 1},
    // The hidden column goes, and with it its place in the hidden count.
    {"RemoveHiddenColumn", [](TExStringGrid& g) { g.RemoveCols(1, 1); }, {0, 1, 2, 3, 4, 5}, {0, 2, 3}, 0},
    {"RemoveShownColumn", [](TExStringGrid& g) { g.RemoveCols(0, 1); }, {0, 1, 2, 3, 4, 5}, {1, 2, 3}, 1},
    // The hidden flag goes with the column's cells.
    {"SwapWithHiddenColumn", [](TExStringGrid& g) { g.SwapColumns(0, 1); }, {0, 1, 2, 3, 4, 5}, {1, 0, 2, 3}, 1},
    {"SwapShownColumns", [](TExStringGrid& g) { g.SwapColumns(0, 3); }, {0, 1, 2, 3, 4, 5}, {3, 1, 2, 0}, 1},
};

INSTANTIATE_TEST_SUITE_P(Ops, RowColTable, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// A 1 x n grid with one fixed row whose column 0 holds the given texts.
std::unique_ptr<TExStringGrid> Column(std::initializer_list<const char*> texts)
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetColCount(2);
    g->SetRowCount(static_cast<int>(texts.size()) + 1);
    g->SetFixedRows(1);
    g->SetFixedCols(0);
    int r = 1;
    for (const char* t : texts)
        g->SetCellEx(0, r++, QString::fromUtf8(t));
    return g;
}

TEST(RowColOps, ChangedCellsCoverExactlyTheTouchedRowsAndColumns)
{
    auto g = Column({"a", "b", "c", "d", "e"});
    std::vector<TRect> seen;
    g->OnCellsChanged = [&](QObject*, const TRect& r) { seen.push_back(r); };
    g->InsertRows(2, 2);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), Rect(0, 2, g->ColCount() - 1, 3));
    g->RemoveRows(2, 2);
    EXPECT_EQ(seen.back(), Rect(0, 2, g->ColCount() - 1, 3));
    g->RemoveCols(1, 1);
    EXPECT_EQ(seen.back(), Rect(1, 0, 1, g->RowCount() - 1));
}

TEST(RowColOps, MoveRowsLandsTheBlockAfterTheTarget)
{
    auto g = Column({"a", "b", "c", "d", "e", "f", "g"});
    // MoveRows(2, 6, 2): rows 2 and 3 end up starting at row 4.
    g->MoveRows(2, 6, 2);
    std::vector<QString> texts;
    for (int r = 1; r < g->RowCount(); ++r)
        texts.push_back(g->GetCellEx(0, r));
    EXPECT_EQ(texts, (std::vector<QString>{"a", "d", "e", "b", "c", "f", "g"}));
}

TEST(RowColOps, ChosenRowsGo)
{
    auto g = Column({"a", "A", "b", "a"});
    g->RemoveDuplicates(0, false);
    ASSERT_EQ(g->RowCount(), 3);
    EXPECT_EQ(g->GetCellEx(0, 1), "a");
    EXPECT_EQ(g->GetCellEx(0, 2), "b");

    auto h = Column({"1", "2", "3", "4"});
    h->SelectRows(2, 2);
    h->RemoveSelectedRows();
    ASSERT_EQ(h->RowCount(), 3);
    EXPECT_EQ(h->GetCellEx(0, 1), "1");
    EXPECT_EQ(h->GetCellEx(0, 2), "4");

    // RemoveRows outside the grid or with no count does nothing.
    h->RemoveRows(h->RowCount(), 1);
    h->RemoveRows(0, 0);
    EXPECT_EQ(h->RowCount(), 3);
}

TEST(RowColOps, RemovingTheCurrentLastRowMovesTheCursorUp)
{
    auto g = Column({"a", "b", "c"});
    g->SetRow(3);
    g->RemoveRows(3, 1);
    EXPECT_EQ(g->Row(), 2);
}

TEST(RowColOps, ColumnLookup)
{
    auto g = Column({"a"});
    g->SetCellEx(0, 0, "Name");
    g->SetCellEx(1, 0, "Value");
    EXPECT_EQ(g->ColumnByHeader("Value"), 1);
    EXPECT_EQ(g->ColumnByHeader("value"), -1);
    EXPECT_EQ(g->ColumnByHeader("Nothing"), -1);
    g->MoveColumn(0, 1);
    EXPECT_EQ(g->ColumnAtPosition(0), 1);
    EXPECT_EQ(g->ColumnPosition(1), 0);
}

TEST(RowColOps, SwapCellsExchangesTextAndProperties)
{
    auto g = Column({"a", "b"});
    g->SetColors(0, 1, clRed);
    g->SwapCells(TGridCoord{0, 1}, TGridCoord{1, 2});
    EXPECT_EQ(g->GetCellEx(1, 2), "a");
    EXPECT_EQ(g->GetColors(1, 2), clRed);
    EXPECT_EQ(g->GetCellEx(0, 1), "");
    EXPECT_EQ(g->GetGridObject(0, 1), nullptr);
}

TEST(RowColOps, AFixedColumnIsNeverSizedBelowZero)
{
    TExStringGrid g;
    g.SetFixedCols(1);
    g.SetFixedColWidth(-20);
    EXPECT_EQ(g.ColWidths(0), 0);
}

} // namespace
