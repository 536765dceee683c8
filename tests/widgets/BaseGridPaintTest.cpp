// The base grid's cell painter: backgrounds, hover and active rows,
// selection styles, the grid's own lines and merged ranges.
#include "widgets/BaseGrid.h"

#include "widgets/WidgetTestHelpers.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace platform;
using namespace widgettest;

namespace {

// A base grid whose cells are white, with the content painter recorded.
class PaintGrid : public TBaseGrid
{
public:
    PaintGrid()
    {
        resize(400, 200);
        SetColCount(5);
        SetRowCount(6);
        SetColor(clWhite);
        SetFixedColor(0xD0D0D0);
    }
    using TBaseGrid::FHoverRowIdx;

    void GetVisualProperties(int aCol, int aRow, TGridDrawState& aState, bool, bool, bool, TBrush& aBrush,
                             TColor& aColorTo, TColor&, TColor&, TFont&, TAlignment&, TVAlignment&, bool&,
                             TCellGradientDirection&) override
    {
        const bool fixed = aCol < FixedCols() || aRow < FixedRows();
        aBrush.SetColor(fixed ? FixedColor() : ((aState & gdSelected) ? TColor(0xEACAB6) : Color()));
        aColorTo = clNone;
        if (gradientCell == TPoint{aCol, aRow}) {
            aBrush.SetColor(clWhite);
            aColorTo = clBlack;
        }
    }
    void DrawCellContent(TCanvas& canvas, int aCol, int aRow, const TRect& rect, TGridDrawState state) override
    {
        contents[{aCol, aRow}].push_back(rect);
        TBaseGrid::DrawCellContent(canvas, aCol, aRow, rect, state);
    }

    TPoint gradientCell{-1, -1};
    std::map<std::pair<int, int>, std::vector<TRect>> contents;
};

QImage Client(PaintGrid& g)
{
    g.contents.clear();
    return g.ClientSurface()->grab().toImage();
}

// A point inside a cell, clear of its lines.
TColor Inside(const QImage& img, PaintGrid& g, int col, int row)
{
    const TRect r = g.CellRect(col, row);
    return At(img, r.Left + 5, r.Top + 5);
}

} // namespace

TEST(BaseGridPaint, GridLinesAtTheBottomAndRightOfEveryCell)
{
    PaintGrid g;
    const QImage img = Client(g);
    const TRect normal = g.CellRect(2, 2), fixed = g.CellRect(2, 0);
    EXPECT_EQ(At(img, normal.Left + 10, normal.Bottom - 1), clSilver);
    EXPECT_EQ(At(img, normal.Right - 1, normal.Top + 10), clSilver);
    EXPECT_EQ(At(img, normal.Left + 10, normal.Top), clWhite);
    EXPECT_EQ(At(img, fixed.Left + 10, fixed.Bottom - 1), clGray);
    EXPECT_EQ(At(img, fixed.Right - 1, fixed.Top + 10), clGray);
    // The content lies inside the lines: one grid-line width in for normal
    // cells, one pixel less at the right and two at the bottom for fixed ones.
    const TRect content = g.contents.at({2, 2}).front();
    EXPECT_EQ(content, Rect(normal.Left + 1, normal.Top + 1, normal.Right - 1, normal.Bottom - 1));
    EXPECT_EQ(g.contents.at({2, 0}).front(), Rect(fixed.Left, fixed.Top, fixed.Right - 1, fixed.Bottom - 2));
    // Without the line options no lines.
    g.SetOptions(g.Options() & ~(goHorzLine | goVertLine));
    const QImage bare = Client(g);
    EXPECT_EQ(At(bare, normal.Left + 10, normal.Bottom - 1), clWhite);
}

TEST(BaseGridPaint, WideLinesAndTheContentInsideThem)
{
    PaintGrid g;
    g.SetGridLineWidth(3);
    g.SetGridLineColor(clBlue);
    const QImage img = Client(g);
    const TRect r = g.CellRect(2, 2);
    // Three pixels wide, centred two pixels inside the bottom and right edges.
    for (int y : {r.Bottom - 3, r.Bottom - 2, r.Bottom - 1})
        EXPECT_EQ(At(img, r.Left + 10, y), clBlue) << y;
    EXPECT_EQ(At(img, r.Left + 10, r.Bottom - 4), clWhite);
    for (int x : {r.Right - 3, r.Right - 2, r.Right - 1})
        EXPECT_EQ(At(img, x, r.Top + 10), clBlue) << x;
    EXPECT_EQ(g.contents.at({2, 2}).front(), Rect(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3));
    // Fixed cells keep their 1-pixel lines in the fixed line colour.
    const TRect f = g.CellRect(2, 0);
    EXPECT_EQ(At(img, f.Left + 10, f.Bottom - 1), clGray);
    EXPECT_EQ(At(img, f.Left + 10, f.Bottom - 2), ColorToRGB(0xD0D0D0));
}

TEST(BaseGridPaint, HoverRowCellsDecideWhichCellsTakeTheHoverColour)
{
    PaintGrid g;
    g.SetHoverRow(true);
    g.SetHoverRowColor(clYellow);
    g.FHoverRowIdx = 1;  // the current cell (1, 1) is selected; (2, 1) is plain; (0, 1) fixed
    const struct
    {
        THoverRowCells cells;
        bool selectedHovers, fixedHovers;
    } cases[] = {
        {THoverRowCells{hcNormal}, false, false},
        {THoverRowCells{hcNormal, hcSelected}, true, false},
        {THoverRowCells{hcFixed}, false, true},
        {THoverRowCells{}, false, false},
    };
    for (const auto& c : cases) {
        g.SetHoverRowCells(c.cells);
        const QImage img = Client(g);
        EXPECT_EQ(Inside(img, g, 2, 1), clYellow) << c.cells.Bits();
        EXPECT_EQ(Inside(img, g, 1, 1) == clYellow, c.selectedHovers) << c.cells.Bits();
        EXPECT_EQ(Inside(img, g, 0, 1) == clYellow, c.fixedHovers) << c.cells.Bits();
        EXPECT_EQ(Inside(img, g, 2, 2), clWhite);
    }
}

TEST(BaseGridPaint, TheActiveRowSparesTheCurrentCellWhileTheSelectionShows)
{
    PaintGrid g;
    g.SetActiveRowShow(true);
    g.SetActiveRowColor(clLime);
    g.SetCol(2);
    g.SetRow(3);
    const QImage img = Client(g);
    EXPECT_EQ(Inside(img, g, 1, 3), clLime);
    EXPECT_EQ(Inside(img, g, 3, 3), clLime);
    EXPECT_EQ(Inside(img, g, 2, 3), 0xEACAB6u);
    EXPECT_NE(Inside(img, g, 0, 3), clLime);
    EXPECT_EQ(Inside(img, g, 2, 2), clWhite);
    // The active row wins over the hover row.
    g.SetHoverRow(true);
    g.SetHoverRowColor(clYellow);
    g.FHoverRowIdx = 3;
    EXPECT_EQ(Inside(Client(g), g, 1, 3), clLime);
}

TEST(BaseGridPaint, PaintCellExtPaintsASelectedCellInTheActiveRowColoursWithoutContent)
{
    PaintGrid g;
    g.SetActiveRowColor(clLime);
    QImage img(200, 80, QImage::Format_RGB32);
    img.fill(Qt::black);
    TCanvas c;
    c.BindImage(&img);
    g.contents.clear();
    // Right of the fixed column and below the fixed row, as the cell would lie.
    g.PaintCellExt(c, 2, 2, Rect(100, 40, 160, 70), gdSelected);
    c.Unbind();
    EXPECT_EQ(At(img, 110, 50), clLime);
    EXPECT_EQ(At(img, 95, 50), clBlack);
    EXPECT_TRUE(g.contents.empty());
}

TEST(BaseGridPaint, TheStyledSelectionFramesARunOfCellsAsOne)
{
    PaintGrid g;
    g.SetOptions(g.Options() | goDrawFocusSelected); // the focused colours
    g.SetSelectionStyle(ssVista);
    g.SetSelection(TGridRect{1, 2, 3, 2});
    const QImage img = Client(g);
    const TColor frame = 0xFDDE99;
    // The left end is closed on its left, the right end on its right, the
    // middle open on both sides; all of them are edged at the top.
    const TRect left = g.CellRect(1, 2), middle = g.CellRect(2, 2), right = g.CellRect(3, 2);
    EXPECT_EQ(At(img, middle.Left + 10, middle.Top), frame);
    EXPECT_EQ(At(img, left.Left, left.Top + 8), frame);
    EXPECT_NE(At(img, middle.Left, middle.Top + 8), frame);
    EXPECT_NE(At(img, middle.Right - 2, middle.Top + 8), frame);
    EXPECT_EQ(At(img, right.Right - 2, right.Top + 8), frame);
    // Unfocused colours without the focus.
    g.SetOptions(g.Options() & ~goDrawFocusSelected);
    EXPECT_EQ(At(Client(g), middle.Left + 10, middle.Top), 0xD9D9D9u);
}

TEST(BaseGridPaint, GradientBackgroundsRunFromTheBrushToColorTo)
{
    PaintGrid g;
    g.gradientCell = TPoint{3, 3};
    const QImage img = Client(g);
    const TRect r = g.CellRect(3, 3);
    EXPECT_GT(qGray(img.pixel(r.Left + 5, r.Top + 1)), 200);
    EXPECT_LT(qGray(img.pixel(r.Left + 5, r.Bottom - 3)), 50);
}

TEST(BaseGridPaint, TheHiddenLastRowShowsOnlyTheGridColour)
{
    PaintGrid g;
    g.SetCellEx(2, 5, QStringLiteral("MMMM"));
    g.SetHideLastRow(true);
    const QImage img = Client(g);
    const TRect r = g.CellRect(2, 5);
    EXPECT_EQ(Count(img, [](QColor c) { return !IsColor(c, clWhite); }, QRect(r.Left, r.Top, r.Width(), r.Height())),
              0);
    EXPECT_EQ(g.contents.count({2, 5}), 0u);
}

TEST(BaseGridPaint, AMergedRangeIsPaintedOnceThroughAnyOfItsCells)
{
    PaintGrid g;
    g.MergeCells(1, 2, 3, 2);
    Client(g);
    ASSERT_EQ(g.contents.count({1, 2}), 1u);
    EXPECT_EQ(g.contents.at({1, 2}).size(), 1u);
    EXPECT_EQ(g.contents.size(), g.contents.count({1, 2}) + (g.contents.size() - 1));
    const TRect range = g.CellRect(1, 2);
    EXPECT_EQ(g.contents.at({1, 2}).front(), Rect(range.Left + 1, range.Top + 1, range.Right - 1, range.Bottom - 1));
    for (int c = 1; c <= 3; ++c)
        for (int r = 2; r <= 3; ++r)
            if (c != 1 || r != 2) {
                EXPECT_EQ(g.contents.count({c, r}), 0u) << c << "," << r;
            }
    // Scrolled so that the base cell is out of view, the range still paints
    // once, through the first of its cells in view, cut at the fixed column.
    g.SetColWidths(1, 40);
    g.SetLeftCol(2);
    const QImage img = Client(g);
    EXPECT_EQ(g.contents.at({1, 2}).size(), 1u);
    const TRect fixed = g.CellRect(0, 2);
    EXPECT_EQ(At(img, fixed.Left + 5, fixed.Top + 5), ColorToRGB(0xD0D0D0));
}
