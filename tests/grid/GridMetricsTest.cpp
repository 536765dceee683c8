// Cell text metrics: padding, line counts and rotated-text placement.
#include "grid/ExGrid.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(GridMetrics, TextPaddingDoubledUnlessTopLeftOnly)
{
    TExStringGrid grid;
    grid.SetXYOffset(Point(2, 3));
    grid.SetXYOffsetTopLeftOnly(false);
    EXPECT_EQ(grid.TotalXOffset(), 4);
    EXPECT_EQ(grid.TotalYOffset(), 6);
    grid.SetXYOffsetTopLeftOnly(true);
    EXPECT_EQ(grid.TotalXOffset(), 2);
    EXPECT_EQ(grid.TotalYOffset(), 3);
}

TEST(GridMetrics, LinesOfRowsAndColumns)
{
    TExStringGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(3);
    grid.SetCellEx(0, 1, "one");
    grid.SetCellEx(1, 1, "a\r\nb\r\nc");
    grid.SetCellEx(2, 1, "x\ry");
    grid.SetMultilinecells(true);
    EXPECT_EQ(grid.MaxLinesInRow(1), 3);
    EXPECT_EQ(grid.MaxLinesInRow(99), 1);
    grid.SetMultilinecells(false);
    EXPECT_EQ(grid.MaxLinesInRow(1), 1);

    grid.SetCellEx(1, 0, "abc");
    grid.SetCellEx(1, 1, "abcde\r\nfg");
    grid.SetMultilinecells(true);
    EXPECT_EQ(grid.MaxLineLengthInColumn(1), 5);
    grid.SetCellEx(1, 2, "ab\r\nabcdefgh");
    EXPECT_EQ(grid.MaxLineLengthInColumn(1), 8);
    grid.SetMultilinecells(false); // only the text before the first CR
    EXPECT_EQ(grid.MaxLineLengthInColumn(1), 5);
}

TEST(GridMetrics, RotatedTextStart)
{
    TExStringGrid grid;
    TBitmap bmp;
    bmp.SetSize(200, 200);
    TCanvas& c = bmp.Canvas();
    const TSize ext = c.TextExtent("Rotated");
    struct Case
    {
        int angle, v, h;
        int x, y;
        const char* why;
    };
    for (const Case& k : {Case{90, 0, 0, 2, 2 + ext.cx, "up, top-left: the whole length above the start"},
                          Case{0, 0, 0, 2, 2, "flat, top-left"},
                          Case{0, 2, 1, 98 - ext.cx, 98 - ext.cy, "flat, bottom-right"},
                          Case{180, 0, 0, 2 + ext.cx, 2 + ext.cy, "upside down"}}) {
        SCOPED_TRACE(k.why);
        TRect r = Rect(0, 0, 100, 100);
        grid.AlignRotatedText(c, r, k.angle, k.v, k.h, "Rotated");
        EXPECT_EQ(r.Left, k.x);
        EXPECT_EQ(r.Top, k.y);
    }
}
