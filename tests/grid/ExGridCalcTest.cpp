// Column and row calculations over empty, numeric and non-numeric cells,
// the strict number read of a cell, fitting columns into the control and
// fitting rows to their text.
#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

using namespace platform;

namespace {

// Column 1 of a grid with one fixed row holds the texts from row 1 on.
std::unique_ptr<TExStringGrid> Column(std::initializer_list<const char*> texts)
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetColCount(3);
    g->SetRowCount(static_cast<int>(texts.size()) + 1);
    g->SetFixedRows(1);
    int r = 1;
    for (const char* t : texts)
        g->SetCellEx(1, r++, QString::fromUtf8(t));
    return g;
}

struct CalcCase
{
    const char* name;
    std::initializer_list<const char*> texts;
    double sum, avg, min, max;
    int distinct;
};

class CalcTable : public ::testing::TestWithParam<CalcCase>
{
};

TEST_P(CalcTable, EveryCalculationPassesOverNonNumbersAlike)
{
    const CalcCase& k = GetParam();
    auto g = Column(k.texts);
    EXPECT_DOUBLE_EQ(g->ColumnSum(1), k.sum);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1), k.avg);
    EXPECT_DOUBLE_EQ(g->ColumnMin(1), k.min);
    EXPECT_DOUBLE_EQ(g->ColumnMax(1), k.max);
    EXPECT_EQ(g->ColumnDistinct(1), k.distinct);
}

// "1-2" and "3e" are no numbers to the cell's value read; a text without
// any digit reads as 0.
const CalcCase CalcCases[] = {
    {"Numbers", {"1", "5", "3"}, 9, 3, 1, 5, 3},
    {"NonNumberBetween", {"1", "1-2", "2"}, 3, 1, 1, 2, 3},
    // A non-number in the first row is passed over like any other.
    {"NonNumberFirst", {"1-2", "4", "-2"}, 2, 2.0 / 3, -2, 4, 3},
    {"OnlyNonNumbers", {"1-2", "3e"}, 0, 0, 0, 0, 2},
    {"LettersReadAsZero", {"x", "5"}, 5, 2.5, 0, 5, 2},
    {"EmptyCells", {"", "3", ""}, 3, 1, 0, 3, 2},
    {"CaseOfDistinct", {"a", "A", "b"}, 0, 0, 0, 0, 2},
};

INSTANTIATE_TEST_SUITE_P(Calc, CalcTable, ::testing::ValuesIn(CalcCases),
                         [](const ::testing::TestParamInfo<CalcCase>& info) { return std::string(info.param.name); });

TEST(Calc, EmptyRangesAndDeviation)
{
    auto g = Column({"2", "4", "4", "4", "5", "5", "7", "9"});
    EXPECT_DOUBLE_EQ(g->ColumnStdDev(1), 2.0);
    EXPECT_DOUBLE_EQ(g->ColumnAvg(1, 5, 4), 0);
    EXPECT_DOUBLE_EQ(g->ColumnStdDev(1, 5, 4), 0);
    EXPECT_DOUBLE_EQ(g->RowAvg(1, 3, 2), 0);
    // A range past the last row is cut to the grid.
    EXPECT_DOUBLE_EQ(g->ColumnSum(1, 1, 100), 40);
}

TEST(Calc, RowCalculations)
{
    TExStringGrid g;
    g.SetColCount(5);
    g.SetCellEx(1, 1, "x");
    g.SetCellEx(2, 1, "3");
    g.SetCellEx(3, 1, "-1");
    g.SetCellEx(4, 1, "2,5");
    EXPECT_DOUBLE_EQ(g.RowMin(1, 1, 3), -1);
    EXPECT_DOUBLE_EQ(g.RowMax(1, 1, 3), 3);
    EXPECT_DOUBLE_EQ(g.RowSum(1, 1, 3), 2);
}

TEST(Calc, CustomCalculation)
{
    auto g = Column({"1"});
    EXPECT_DOUBLE_EQ(g->ColumnCustomCalc(1), 0);
    g->OnColumnCalc = [](QObject*, int aCol, int, int, double& res) { res = aCol * 10; };
    EXPECT_DOUBLE_EQ(g->ColumnCustomCalc(1), 10);
}

struct RealCase
{
    const char* text;
    bool ok;
    double value;
    int position;
};

TEST(Calc, CellToRealReadsStrictly)
{
    const RealCase cases[] = {
        {"", true, 0, 0},
        {"12.5", true, 12.5, 0},
        {"-3", true, -3, 0},
        {"1e3", true, 1000, 0},
        {"12a", false, 0, 3}, // the first character that is no part of a number
        {"a", false, 0, 1},
        {"1.2.3", false, 0, 4},
    };
    for (const RealCase& k : cases) {
        auto g = Column({k.text});
        if (k.ok) {
            EXPECT_DOUBLE_EQ(g->CellToReal(1, 1), k.value) << k.text;
            continue;
        }
        try {
            g->CellToReal(1, 1);
            ADD_FAILURE() << k.text << " converted";
        } catch (const REruVidaZuvez& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Error at position: %1 in Cell [1, 1].").arg(k.position)) << k.text;
        }
    }
}

TEST(Calc, FittingColumnsWithNoWidthToShareOut)
{
    TExStringGrid g;
    g.resize(300, 200);
    g.SetColCount(4);
    g.SetFixedCols(1);
    for (int c = 1; c < 4; ++c)
        g.SetColWidths(c, 0);
    g.AutoFitColumns(false);
    int sum = 0;
    for (int c = 1; c < 4; ++c) {
        EXPECT_GT(g.ColWidths(c), 0);
        sum += g.ColWidths(c);
    }
    EXPECT_LE(sum + g.ColWidths(0), g.Width());
}

TEST(Calc, FittingColumnsFillsTheControl)
{
    TExStringGrid g;
    g.resize(400, 200);
    g.SetScrollBars(ssNone);
    g.SetColCount(3);
    g.SetFixedCols(0);
    g.SetColWidths(0, 50);
    g.SetColWidths(1, 100);
    g.SetColWidths(2, 50);
    g.AutoFitColumns(true);
    // Proportions stay; together they take the control's width less the border.
    EXPECT_NEAR(g.ColWidths(1), 2 * g.ColWidths(0), 4);
    const int sum = g.ColWidths(0) + g.ColWidths(1) + g.ColWidths(2);
    EXPECT_EQ(sum, g.Width() - 2);
}

TEST(Calc, RowsFitTheirText)
{
    TExStringGrid g;
    g.SetRowCount(3);
    g.SetWordWrap(true);
    g.SetColWidths(1, 30);
    g.SetCellEx(1, 1, "a long text that wraps over several lines");
    g.AutoSizeRow(1);
    EXPECT_GT(g.RowHeights(1), g.DefaultRowHeight());
    g.SetMaxRowHeight(30);
    g.AutoSizeRows(false);
    EXPECT_EQ(g.RowHeights(1), 30);
    EXPECT_THROW(g.AutoSizeRow(7), REruVidaZuvez);
}

} // namespace
