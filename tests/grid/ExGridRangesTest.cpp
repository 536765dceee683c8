// Range operations (clearing, trimming, colouring, merging, numbering,
// highlighting and fills) over a grid with a hidden column: each works in
// one column index space, so the cells it reaches are the ones it names.
#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace platform;

namespace {

QString Text(int c, int r) { return QStringLiteral("%1/%2").arg(c).arg(r); }

// 5 x 4 with one fixed row and one fixed column, "c/r" everywhere, real
// column 2 hidden: display columns 0, 1, 3, 4.
std::unique_ptr<TExStringGrid> HiddenColumnGrid()
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetColCount(5);
    g->SetRowCount(4);
    g->SetFixedRows(1);
    g->SetFixedCols(1);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            g->SetCellEx(c, r, Text(c, r));
    g->HideColumn(2);
    return g;
}

// Which real cells an operation left as they were ("c/r"): 'x' for changed.
std::vector<QString> Untouched(TExStringGrid& g)
{
    std::vector<QString> rows;
    for (int r = 0; r < g.RowCount(); ++r) {
        QString line;
        for (int c = 0; c < g.TotalColCount(); ++c)
            line += g.GetCellEx(c, r) == Text(c, r) ? u'.' : u'x';
        rows.push_back(line);
    }
    return rows;
}

struct RangeCase
{
    const char* name;
    std::function<void(TExStringGrid&)> op;
    std::vector<QString> changed; // per row, per real column: '.' kept, 'x' changed
};

class RangeTable : public ::testing::TestWithParam<RangeCase>
{
};

TEST_P(RangeTable, ReachesExactlyTheNamedCells)
{
    auto g = HiddenColumnGrid();
    GetParam().op(*g);
    EXPECT_EQ(Untouched(*g), GetParam().changed);
}

const RangeCase RangeCases[] = {
    // Real columns by default: 1..2 is column 1 and the hidden column 2.
    {"ClearRectReal", [](TExStringGrid& g) { g.ClearRect(1, 1, 2, 2); }, {".....", ".xx..", ".xx..", "....."}},
    // With SaveHiddenCells the rectangle is in display columns: 1..2 is
    // real 1 and 3, the hidden column stays.
    {"ClearRectDisplay",
     [](TExStringGrid& g) {
         g.SetSaveHiddenCells(true);
         g.ClearRect(1, 1, 2, 2);
     },
     {".....", ".x.x.", ".x.x.", "....."}},
    {"ClearRows", [](TExStringGrid& g) { g.ClearRows(2, 1); }, {".....", ".....", "xxxxx", "....."}},
    {"ClearCols", [](TExStringGrid& g) { g.ClearCols(2, 1); }, {"..x..", "..x..", "..x..", "..x.."}},
    {"ClearNormalCells", [](TExStringGrid& g) { g.ClearNormalCells(); }, {".....", ".xxxx", ".xxxx", ".xxxx"}},
    {"ClearNormalCellsDisplay",
     [](TExStringGrid& g) {
         g.SetSaveHiddenCells(true);
         g.ClearNormalCells();
     },
     {".....", ".x.xx", ".x.xx", ".x.xx"}},
    {"ClearSelection",
     [](TExStringGrid& g) { g.SetSelection(TGridRect{2, 2, 3, 3}); g.ClearSelection(); },
     {".....", ".....", "...xx", "...xx"}},
    {"Clear", [](TExStringGrid& g) { g.Clear(); }, {"xxxxx", "xxxxx", "xxxxx", "xxxxx"}},
    {"HilightInRowNormal", [](TExStringGrid& g) { g.HilightInRow(false, false, 1, "/"); }, {".....", ".xxxx", ".....", "....."}},
    {"HilightInRowAll", [](TExStringGrid& g) { g.HilightInRow(true, false, 1, "/"); }, {".....", "xxxxx", ".....", "....."}},
    {"MarkInGridNormal", [](TExStringGrid& g) { g.MarkInGrid(false, false, "/"); }, {".....", ".xxxx", ".xxxx", ".xxxx"}},
    {"HilightInCol", [](TExStringGrid& g) { g.HilightInCol(false, false, 2, "/"); }, {".....", "..x..", "..x..", "..x.."}},
    {"LinearFillShownOnly", [](TExStringGrid& g) { g.LinearFill(false); }, {".....", ".x.xx", ".x.xx", ".x.xx"}},
};

INSTANTIATE_TEST_SUITE_P(Ranges, RangeTable, ::testing::ValuesIn(RangeCases),
                         [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

TEST(Ranges, UnmarkingReachesWhatMarkingReached)
{
    auto g = HiddenColumnGrid();
    g->HilightInGrid(false, false, "/");
    g->MarkInRow(false, false, 2, "2");
    g->UnHilightInGrid(false);
    g->UnMarkInRow(false, 2);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            EXPECT_EQ(g->GetCellEx(c, r), Text(c, r)) << c << "," << r;
}

TEST(Ranges, HighlightTextCaseAndEntities)
{
    EXPECT_EQ(TExStringGrid::HilightText(false, "xABy", "ab"), "x<hi>AB</hi>y");
    EXPECT_EQ(TExStringGrid::HilightText(true, "xABy", "ab"), "xABy");
    TExStringGrid g;
    g.SetCellEx(1, 1, "a<b");
    g.HilightInCell(false, 1, 1, "a");
    EXPECT_EQ(g.GetCellEx(1, 1), "<hi>a</hi>&lt;b");
    g.UnHilightInCell(1, 1);
    EXPECT_EQ(g.GetCellEx(1, 1), "a<b");
}

TEST(Ranges, ChangedCellsAreReportedInRealColumns)
{
    auto g = HiddenColumnGrid();
    std::vector<TRect> seen;
    g->OnCellsChanged = [&](QObject*, const TRect& r) { seen.push_back(r); };
    g->ClearRect(3, 1, 4, 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), Rect(3, 1, 4, 1));
    g->SetSaveHiddenCells(true);
    g->ClearRect(2, 2, 3, 2); // display 2..3 is real 3..4
    EXPECT_EQ(seen.back(), Rect(3, 2, 4, 2));
}

TEST(Ranges, TrimColourAndProperties)
{
    TExStringGrid g;
    g.SetCellEx(1, 1, " \t a b \r\n");
    g.TrimAll();
    EXPECT_EQ(g.GetCellEx(1, 1), "a b");

    g.ColorRect(1, 1, 2, 2, clRed);
    EXPECT_EQ(g.GetColors(2, 2), clRed);
    g.SetClearTextOnly(true);
    g.Clear();
    EXPECT_EQ(g.GetColors(2, 2), clRed);
    EXPECT_EQ(g.GetCellEx(1, 1), "");
    g.SetClearTextOnly(false);
    g.Clear();
    EXPECT_EQ(g.GetColors(2, 2), clNone);
}

TEST(Ranges, MergeRunsAndSplit)
{
    TExStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(6);
    g.SetFixedRows(1);
    const char* texts[] = {"a", "a", "b", "b", "b"};
    for (int r = 1; r <= 5; ++r)
        g.SetCellEx(1, r, texts[r - 1]);
    g.MergeColumnCells(1, true);
    EXPECT_EQ(g.CellSpan(1, 1).Y, 1);
    EXPECT_EQ(g.CellSpan(1, 3).Y, 2);
    g.SplitAllCells();
    EXPECT_EQ(g.CellSpan(1, 1).Y, 0);
    EXPECT_EQ(g.CellSpan(1, 3).Y, 0);

    TExStringGrid h;
    h.SetColCount(5);
    h.SetFixedCols(1);
    for (int c = 1; c < 5; ++c)
        h.SetCellEx(c, 1, c < 3 ? "x" : "y");
    h.MergeRowCells(1, true);
    EXPECT_EQ(h.CellSpan(1, 1).X, 1);
    EXPECT_EQ(h.CellSpan(3, 1).X, 1);
    h.SplitRowCells(1);
    EXPECT_EQ(h.CellSpan(1, 1).X, 0);
}

TEST(Ranges, MergeColsJoinsAndRemoves)
{
    TExStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetFixedRows(1);
    g.SetCellEx(1, 1, "a");
    g.SetCellEx(2, 1, "b");
    g.MergeCols(1, 2, "-");
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.GetCellEx(1, 1), "a-b");
}

TEST(Ranges, NumberingBothWays)
{
    TExStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(4);
    g.SetFixedRows(1);
    g.AutoNumberCol(1);
    EXPECT_EQ(g.GetCellEx(1, 1), "1");
    EXPECT_EQ(g.GetCellEx(1, 3), "3");
    g.SetAutoNumberDirection(sdDescending);
    g.AutoNumberCol(1);
    EXPECT_EQ(g.GetCellEx(1, 3), "1");
    EXPECT_EQ(g.GetCellEx(1, 1), "3");
}

TEST(Ranges, FindUsedAndSaveRange)
{
    auto g = HiddenColumnGrid();
    g->SetCellEx(4, 3, "1/1");
    int c = -1, r = -1;
    ASSERT_TRUE(g->IsCell("1/1", c, r));
    EXPECT_EQ(c, 1);
    EXPECT_EQ(r, 1);
    // Found in the hidden column: the real column is reported.
    ASSERT_TRUE(g->IsCell("2/3", c, r));
    EXPECT_EQ(c, 2);
    EXPECT_FALSE(g->IsCell("none", c, r));
    EXPECT_EQ(c, 2);

    TExStringGrid empty;
    EXPECT_EQ(empty.UsedCells(), Rect(0, 0, 0, 0));
    empty.SetCellEx(2, 1, "x");
    empty.SetCellEx(3, 2, "y");
    EXPECT_EQ(empty.UsedCells(), Rect(2, 1, 3, 2));

    empty.SetSaveFixedCells(false);
    EXPECT_EQ(empty.SaveStartCol(), empty.FixedCols());
    EXPECT_EQ(empty.SaveColCount(), empty.ColCount() - empty.FixedCols());
    EXPECT_EQ(empty.SaveEndRow(), empty.RowCount() - 1);
}

TEST(Ranges, Fills)
{
    TExStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetFixedRows(1);
    g.SetFixedCols(1);
    g.LinearFill(false);
    EXPECT_EQ(g.GetCellEx(1, 1), "1:1");
    EXPECT_EQ(g.GetCellEx(2, 1), "2:1");
    EXPECT_EQ(g.GetCellEx(1, 2), "1:2");
    EXPECT_EQ(g.GetCellEx(0, 0), "");
    g.FormatFill(true, "%d-%d");
    EXPECT_EQ(g.GetCellEx(0, 0), "0-0");
    EXPECT_EQ(g.GetCellEx(2, 1), "2-1");
    g.RandomFill(false, 5);
    const int v = g.GetCellEx(2, 2).toInt();
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 5);
    g.RandomFill(false, 0); // no range: zeros, no failure
    EXPECT_EQ(g.GetCellEx(2, 2), "0");
    g.TextFill(false, "t");
    EXPECT_EQ(g.GetCellEx(1, 2), "t");
}

} // namespace

namespace {

// Marks the text "bad" and corrects "teh" to "the".
class WordChecker : public TExStringGridCheck
{
public:
    QString MarkError(int, int, const QString& text) override { return TExStringGrid::MarkText(true, text, "bad"); }
    QString Correct(int, int, const QString& text) override { return QString(text).replace("teh", "the"); }
    void StartCheck() override { ++starts; }
    void StopCheck() override { ++stops; }
    int starts = 0, stops = 0;
};

} // namespace

TEST(CellCheck, WithoutACheckerOrWithTheBaseEverythingIsCorrect)
{
    auto g = HiddenColumnGrid();
    EXPECT_TRUE(g->CheckGrid(true));
    TExStringGridCheck base;
    base.SetUseCorrect(true);
    base.SetUseMarkError(true);
    base.SetGotoCell(true);
    g->SetCellChecker(&base);
    g->SetCol(3);
    g->SetRow(2);
    EXPECT_TRUE(g->CheckGrid(false));
    EXPECT_EQ(g->Col(), 3);
    EXPECT_EQ(g->Row(), 2);
    EXPECT_EQ(Untouched(*g), (std::vector<QString>{".....", ".....", ".....", "....."}));
}

TEST(CellCheck, ChecksReachHiddenColumnsAndMarksGoAgain)
{
    auto g = HiddenColumnGrid();
    WordChecker checker;
    checker.SetUseMarkError(true);
    g->SetCellChecker(&checker);
    g->SetCellEx(2, 1, "a bad one"); // the hidden column
    g->SetCellEx(0, 1, "bad");       // a fixed column, outside the normal area
    EXPECT_FALSE(g->CheckRow(false, 1));
    EXPECT_EQ(g->GetCellEx(2, 1), "a <e>bad</e> one");
    EXPECT_EQ(g->GetCellEx(0, 1), "bad");
    EXPECT_EQ(checker.starts, 1);
    EXPECT_EQ(checker.stops, 1);
    // Fixed, the error goes; checked again, the old mark does not double.
    g->SetCellEx(2, 1, "a <e>good</e> one");
    EXPECT_TRUE(g->CheckCell(2, 1));
    EXPECT_EQ(g->GetCellEx(2, 1), "a good one");

    checker.SetUseMarkError(false);
    checker.SetUseCorrect(true);
    g->SetCellEx(3, 2, "teh end");
    EXPECT_FALSE(g->CheckCol(false, 3));
    EXPECT_EQ(g->GetCellEx(3, 2), "the end");
}
