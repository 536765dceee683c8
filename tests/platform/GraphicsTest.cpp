#include "platform/Graphics.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

using namespace platform;

namespace {

// A white bitmap to draw on and read back.
struct Surface
{
    TBitmap bmp;
    Surface(int w, int h) : bmp(w, h)
    {
        c().Brush().SetColor(clWhite);
        c().FillRect(Rect(0, 0, w, h));
        c().Pen().SetColor(clBlack);
        c().Font().SetName(QStringLiteral("Tahoma"));
        c().Font().SetColor(clBlack);
    }
    TCanvas& c() { return bmp.Canvas(); }
    TColor at(int x, int y) { return c().Pixel(x, y); }
    bool white(int x, int y) { return at(x, y) == clWhite; }
    // Bounding box of everything that is not white; empty when all is white.
    TRect ink()
    {
        TRect r{1 << 20, 1 << 20, -1, -1};
        const QImage& img = bmp.Image();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r.Right < 0 ? TRect{} : r;
    }
    bool blank() { return IsRectEmpty(ink()); }
};

} // namespace

TEST(GraphicsColor, ValuesAreBgrAndSystemColoursComeFromTheTable)
{
    EXPECT_EQ(ToQColor(0x000000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x00FF0000), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(15595512), QColor(0xF8, 0xF7, 0xED));  // hex 00EDF7F8: the windows' face colour
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clBtnFace) & 0xFF000000u, 0u);
    EXPECT_NE(ColorToRGB(clBtnFace), ColorToRGB(clBtnShadow));
    EXPECT_EQ(clNone, 0x1FFFFFFFu);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
    EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
}

TEST(GraphicsRect, EdgesAreExclusive)
{
    const TRect r = Rect(2, 3, 6, 5);
    EXPECT_EQ(r.Width(), 4);
    EXPECT_TRUE(PtInRect(r, Point(2, 3)));
    EXPECT_FALSE(PtInRect(r, Point(6, 3)));
    EXPECT_FALSE(PtInRect(r, Point(2, 5)));
    TRect out;
    EXPECT_FALSE(IntersectRect(out, Rect(0, 0, 2, 2), Rect(2, 0, 4, 2)));  // touching is not overlapping
    EXPECT_TRUE(IntersectRect(out, Rect(0, 0, 3, 3), Rect(2, 1, 4, 2)));
    EXPECT_EQ(out, Rect(2, 1, 3, 2));
    EXPECT_EQ(Bounds(1, 2, 3, 4), Rect(1, 2, 4, 6));
}

TEST(GraphicsCanvas, FillAndFrameLeaveRightAndBottomEdgesOut)
{
    Surface s(12, 12);
    s.c().Brush().SetColor(clRed);
    s.c().FillRect(Rect(2, 3, 6, 5));
    EXPECT_EQ(s.at(2, 3), clRed);
    EXPECT_EQ(s.at(5, 4), clRed);
    EXPECT_TRUE(s.white(6, 3));
    EXPECT_TRUE(s.white(2, 5));
    EXPECT_TRUE(s.white(1, 3));
    EXPECT_EQ(s.ink(), Rect(2, 3, 6, 5));

    Surface f(12, 12);
    f.c().Brush().SetColor(clBlue);
    f.c().FrameRect(Rect(1, 1, 8, 6));
    EXPECT_EQ(f.at(1, 1), clBlue);
    EXPECT_EQ(f.at(7, 5), clBlue);
    EXPECT_EQ(f.at(4, 5), clBlue);
    EXPECT_TRUE(f.white(4, 3));   // inside stays
    EXPECT_TRUE(f.white(8, 3));
    EXPECT_EQ(f.ink(), Rect(1, 1, 8, 6));
}

TEST(GraphicsCanvas, RectangleOutlinesWithPenAndShrinksWithoutOne)
{
    Surface s(12, 12);
    s.c().Brush().SetColor(clRed);
    s.c().Rectangle(1, 1, 7, 5);
    EXPECT_EQ(s.at(1, 1), clBlack);
    EXPECT_EQ(s.at(6, 4), clBlack);
    EXPECT_EQ(s.at(2, 2), clRed);
    EXPECT_EQ(s.at(5, 3), clRed);
    EXPECT_EQ(s.ink(), Rect(1, 1, 7, 5));

    Surface n(12, 12);
    n.c().Brush().SetColor(clRed);
    n.c().Pen().SetStyle(psClear);
    n.c().Rectangle(1, 1, 7, 5);
    EXPECT_EQ(n.at(1, 1), clRed);
    EXPECT_EQ(n.ink(), Rect(1, 1, 6, 4));

    Surface c(12, 12);
    c.c().Brush().SetStyle(bsClear);
    c.c().Rectangle(1, 1, 7, 5);
    EXPECT_TRUE(c.white(3, 3));
    EXPECT_EQ(c.at(6, 3), clBlack);
}

TEST(GraphicsCanvas, LinesLeaveOutTheirEndPointAndMoveThePen)
{
    Surface s(10, 10);
    s.c().MoveTo(1, 1);
    s.c().LineTo(6, 1);
    EXPECT_EQ(s.at(1, 1), clBlack);
    EXPECT_EQ(s.at(5, 1), clBlack);
    EXPECT_TRUE(s.white(6, 1));
    EXPECT_EQ(s.c().PenPos(), Point(6, 1));
    s.c().LineTo(6, 5);             // continues from the end of the last line
    EXPECT_EQ(s.at(6, 1), clBlack);
    EXPECT_EQ(s.at(6, 4), clBlack);
    EXPECT_TRUE(s.white(6, 5));
    s.c().LineTo(2, 5);             // backwards
    EXPECT_EQ(s.at(6, 5), clBlack);
    EXPECT_EQ(s.at(3, 5), clBlack);
    EXPECT_TRUE(s.white(2, 5));
    s.c().LineTo(5, 8);             // diagonal
    EXPECT_EQ(s.at(2, 5), clBlack);
    EXPECT_EQ(s.at(4, 7), clBlack);
    EXPECT_TRUE(s.white(5, 8));
    // A line to its own start draws nothing.
    Surface z(4, 4);
    z.c().MoveTo(2, 2);
    z.c().LineTo(2, 2);
    EXPECT_TRUE(z.blank());
}

TEST(GraphicsCanvas, DottedPenLeavesGapsAndClearPenNothing)
{
    Surface s(40, 3);
    s.c().Pen().SetStyle(psDot);
    s.c().MoveTo(0, 1);
    s.c().LineTo(40, 1);
    int on = 0;
    for (int x = 0; x < 40; ++x)
        on += s.at(x, 1) == clBlack;
    EXPECT_GT(on, 10);
    EXPECT_LT(on, 30);

    Surface c(10, 3);
    c.c().Pen().SetStyle(psClear);
    c.c().MoveTo(0, 1);
    c.c().LineTo(9, 1);
    EXPECT_TRUE(c.blank());
    EXPECT_EQ(c.c().PenPos(), Point(9, 1));
}

TEST(GraphicsCanvas, RoundRectKeepsItsCornersAndEdges)
{
    Surface s(30, 20);
    s.c().Brush().SetColor(clRed);
    s.c().RoundRect(0, 0, 20, 12, 8, 8);
    EXPECT_TRUE(s.white(0, 0));          // cut corners
    EXPECT_TRUE(s.white(19, 11));
    EXPECT_TRUE(s.white(19, 0));
    EXPECT_EQ(s.at(10, 0), clBlack);     // straight edges on the outline
    EXPECT_EQ(s.at(10, 11), clBlack);
    EXPECT_EQ(s.at(0, 6), clBlack);
    EXPECT_EQ(s.at(19, 6), clBlack);
    EXPECT_EQ(s.at(10, 6), clRed);
    EXPECT_EQ(s.ink(), Rect(0, 0, 20, 12));

    // The quicken face: filled, no outline, ends a pixel earlier.
    Surface n(30, 20);
    n.c().Brush().SetColor(clRed);
    n.c().Pen().SetStyle(psClear);
    n.c().RoundRect(0, 1, 20, 12, 4, 4);
    EXPECT_EQ(n.at(10, 6), clRed);
    EXPECT_TRUE(n.white(19, 6));
    EXPECT_TRUE(n.white(10, 11));
    EXPECT_TRUE(n.white(0, 1));
}

TEST(GraphicsCanvas, EllipseAndPolygonStayInTheirBox)
{
    Surface s(20, 20);
    s.c().Brush().SetColor(clRed);
    s.c().Ellipse(0, 0, 11, 11);
    EXPECT_EQ(s.ink(), Rect(0, 0, 11, 11));
    EXPECT_TRUE(s.white(0, 0));
    EXPECT_EQ(s.at(5, 0), clBlack);
    EXPECT_EQ(s.at(10, 5), clBlack);
    EXPECT_EQ(s.at(5, 5), clRed);

    Surface p(20, 20);
    p.c().Brush().SetColor(clRed);
    p.c().Polygon({Point(2, 2), Point(12, 2), Point(7, 12)});
    EXPECT_EQ(p.at(2, 2), clBlack);
    EXPECT_EQ(p.at(12, 2), clBlack);
    EXPECT_EQ(p.at(7, 12), clBlack);
    EXPECT_EQ(p.at(7, 5), clRed);
    EXPECT_EQ(p.ink(), Rect(2, 2, 13, 13));
}

TEST(GraphicsCanvas, PixelsReadAndWrite)
{
    Surface s(4, 4);
    s.c().SetPixel(3, 2, RGB(10, 20, 30));
    EXPECT_EQ(s.at(3, 2), RGB(10, 20, 30));
    EXPECT_EQ(s.at(4, 2), clNone);   // outside
    EXPECT_EQ(s.ink(), Rect(3, 2, 4, 3));
}

TEST(GraphicsCanvas, ClippingByRectanglesAndRegions)
{
    Surface s(20, 10);
    s.c().SetClipRect(Rect(2, 2, 5, 5));
    s.c().Brush().SetColor(clRed);
    s.c().FillRect(Rect(0, 0, 20, 10));
    EXPECT_EQ(s.ink(), Rect(2, 2, 5, 5));
    EXPECT_EQ(s.c().ClipRect(), Rect(2, 2, 5, 5));
    s.c().RemoveClip();
    EXPECT_EQ(s.c().ClipRect(), Rect(0, 0, 20, 10));

    Surface r(20, 10);
    r.c().SetClipRegion(TRegion(Rect(0, 0, 4, 10)).United(TRegion(Rect(10, 0, 14, 10))));
    r.c().ExcludeClipRect(Rect(0, 0, 20, 2));
    r.c().Brush().SetColor(clRed);
    r.c().FillRect(Rect(0, 0, 20, 10));
    EXPECT_EQ(r.at(1, 5), clRed);
    EXPECT_EQ(r.at(12, 5), clRed);
    EXPECT_TRUE(r.white(7, 5));   // the gap between the two rectangles
    EXPECT_TRUE(r.white(1, 1));   // excluded band
    EXPECT_EQ(r.ink(), Rect(0, 2, 14, 10));
}

TEST(GraphicsCanvas, FocusRectangleIsDottedAndUndoesItself)
{
    Surface s(12, 12);
    s.c().DrawFocusRect(Rect(1, 1, 9, 7));
    EXPECT_EQ(s.ink(), Rect(1, 1, 9, 7));
    int dark = 0;
    for (int x = 1; x < 9; ++x)
        dark += !s.white(x, 1);
    EXPECT_EQ(dark, 4);   // every other pixel
    s.c().DrawFocusRect(Rect(1, 1, 9, 7));
    EXPECT_TRUE(s.blank());
}

TEST(GraphicsText, ExtentsGrowWithTheText)
{
    Surface s(10, 10);
    const TSize a = s.c().TextExtent(QStringLiteral("M"));
    const TSize b = s.c().TextExtent(QStringLiteral("MMMM"));
    EXPECT_GT(a.cx, 0);
    EXPECT_GT(a.cy, 0);
    EXPECT_GT(b.cx, 3 * a.cx);
    EXPECT_EQ(a.cy, b.cy);
    s.c().Font().SetSize(20);
    EXPECT_GT(s.c().TextHeight(QStringLiteral("M")), a.cy);
}

TEST(GraphicsText, TextOutFillsItsCellWithTheBrushUnlessClear)
{
    Surface s(60, 30);
    s.c().Brush().SetColor(clYellow);
    s.c().TextOut(5, 5, QStringLiteral("Ab"));
    const TSize e = s.c().TextExtent(QStringLiteral("Ab"));
    EXPECT_EQ(s.ink(), Bounds(5, 5, e.cx, e.cy));
    EXPECT_EQ(s.at(5, 5), clYellow);

    Surface t(60, 30);
    t.c().Brush().SetStyle(bsClear);
    t.c().TextOut(5, 5, QStringLiteral("Ab"));
    const TRect ink = t.ink();
    EXPECT_FALSE(IsRectEmpty(ink));
    EXPECT_GE(ink.Left, 5);
    EXPECT_LE(ink.Right, 5 + e.cx + 1);
    EXPECT_NE(t.at(5, 5), clYellow);
}

TEST(GraphicsText, RotatedTextRunsUpward)
{
    Surface s(60, 120);
    s.c().Brush().SetStyle(bsClear);
    s.c().Font().SetOrientation(900);
    s.c().TextOut(20, 110, QStringLiteral("MMMMMM"));
    const TRect ink = s.ink();
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_LE(ink.Bottom, 111);
}

TEST(GraphicsText, TextRectClipsToItsRectangle)
{
    Surface s(80, 30);
    s.c().Brush().SetColor(clYellow);
    s.c().TextRect(Rect(10, 5, 20, 25), 10, 5, QStringLiteral("MMMMMMMM"));
    EXPECT_EQ(s.ink(), Rect(10, 5, 20, 25));
}

// One case per DrawText flag, checked on the ink it leaves or the rectangle it computes.
TEST(GraphicsDrawText, HorizontalAlignment)
{
    for (unsigned align : {DT_LEFT, DT_CENTER, DT_RIGHT}) {
        SCOPED_TRACE(align);
        Surface s(200, 30);
        s.c().Brush().SetStyle(bsClear);
        TRect r = Rect(10, 0, 190, 30);
        s.c().DrawText(QStringLiteral("IIII"), r, align | DT_SINGLELINE);
        const TRect ink = s.ink();
        ASSERT_FALSE(IsRectEmpty(ink));
        if (align == DT_LEFT) {
            EXPECT_LE(ink.Left, 13);
        }
        if (align == DT_RIGHT) {
            EXPECT_GE(ink.Right, 186);
            EXPECT_LE(ink.Right, 190);
        }
        if (align == DT_CENTER) {
            EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 100.0, 3.0);
        }
    }
}

TEST(GraphicsDrawText, VerticalCentreAndBottomNeedSingleLine)
{
    auto inkOf = [](unsigned format) {
        Surface s(100, 100);
        s.c().Brush().SetStyle(bsClear);
        TRect r = Rect(0, 0, 100, 100);
        s.c().DrawText(QStringLiteral("Hx"), r, format);
        return s.ink();
    };
    const TRect top = inkOf(DT_SINGLELINE);
    const TRect centre = inkOf(DT_SINGLELINE | DT_VCENTER);
    const TRect bottom = inkOf(DT_SINGLELINE | DT_BOTTOM);
    EXPECT_LT(top.Bottom, 25);
    EXPECT_NEAR((centre.Top + centre.Bottom) / 2.0, 50.0, 4.0);
    EXPECT_GT(bottom.Top, 75);
    EXPECT_LE(bottom.Bottom, 100);
    // Without DT_SINGLELINE both are ignored.
    EXPECT_EQ(inkOf(DT_VCENTER), top);
    EXPECT_EQ(inkOf(DT_BOTTOM), top);
}

TEST(GraphicsDrawText, ReturnValueIsHeightOrOffsetToTheTextBottom)
{
    Surface s(100, 100);
    const int h = s.c().TextHeight(QStringLiteral("Hx"));
    TRect r = Rect(0, 0, 100, 100);
    EXPECT_EQ(s.c().DrawText(QStringLiteral("Hx"), r, DT_SINGLELINE), h);
    r = Rect(0, 0, 100, 100);
    EXPECT_EQ(s.c().DrawText(QStringLiteral("Hx"), r, DT_SINGLELINE | DT_BOTTOM), 100);
    r = Rect(0, 0, 100, 100);
    EXPECT_EQ(s.c().DrawText(QStringLiteral("Hx"), r, DT_SINGLELINE | DT_VCENTER), (100 - h) / 2 + h);
}

TEST(GraphicsDrawText, CalcRectMeasuresWithoutDrawing)
{
    Surface s(200, 100);
    const TSize e = s.c().TextExtent(QStringLiteral("Hello"));
    TRect r = Rect(5, 7, 150, 90);
    const int h = s.c().DrawText(QStringLiteral("Hello"), r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_TRUE(s.blank());
    EXPECT_EQ(h, e.cy);
    EXPECT_EQ(r, Rect(5, 7, 5 + e.cx, 7 + e.cy));

    TRect empty = Rect(5, 7, 150, 90);
    EXPECT_EQ(s.c().DrawText(QString(), empty, DT_CALCRECT | DT_WORDBREAK), 0);
    EXPECT_EQ(empty, Rect(5, 7, 5, 7));
}

TEST(GraphicsDrawText, WordBreakWrapsAtBlanksAndNeverSplitsAWord)
{
    Surface s(200, 200);
    const int lineH = s.c().TextHeight(QStringLiteral("x"));
    const int word = s.c().TextWidth(QStringLiteral("alpha"));
    TRect r = Rect(0, 0, word + 2, 200);
    EXPECT_EQ(s.c().DrawText(QStringLiteral("alpha alpha alpha"), r, DT_CALCRECT | DT_WORDBREAK), 3 * lineH);
    EXPECT_EQ(r.Bottom, 3 * lineH);
    EXPECT_LE(r.Right, word + 2);
    // A word wider than the box stays on one line and widens the computed rectangle.
    TRect narrow = Rect(0, 0, 10, 200);
    EXPECT_EQ(s.c().DrawText(QStringLiteral("alpha"), narrow, DT_CALCRECT | DT_WORDBREAK), lineH);
    EXPECT_EQ(narrow.Right, word);
    // Without word breaking only line breaks start lines; single-line ignores them.
    TRect wide = Rect(0, 0, 10, 200);
    EXPECT_EQ(s.c().DrawText(QStringLiteral("alpha alpha"), wide, DT_CALCRECT), lineH);
    TRect two = Rect(0, 0, 300, 200);
    EXPECT_EQ(s.c().DrawText(QStringLiteral("a\r\nb"), two, DT_CALCRECT), 2 * lineH);
    TRect one = Rect(0, 0, 300, 200);
    EXPECT_EQ(s.c().DrawText(QStringLiteral("a\r\nb"), one, DT_CALCRECT | DT_SINGLELINE), lineH);

    // Drawn, the three lines leave ink on three rows.
    Surface d(200, 200);
    d.c().Brush().SetStyle(bsClear);
    TRect box = Rect(0, 0, word + 2, 200);
    d.c().DrawText(QStringLiteral("alpha alpha alpha"), box, DT_WORDBREAK);
    EXPECT_GT(d.ink().Bottom, 2 * lineH);
    EXPECT_LE(d.ink().Bottom, 3 * lineH);
}

TEST(GraphicsDrawText, EndEllipsisKeepsTheTextInsideItsBox)
{
    auto inkOf = [](unsigned format) {
        Surface s(300, 30);
        s.c().Brush().SetStyle(bsClear);
        TRect r = Rect(0, 0, 40, 30);
        s.c().DrawText(QStringLiteral("WWWWWWWWWWWWWW"), r, format | DT_SINGLELINE | DT_NOCLIP);
        return s.ink();
    };
    EXPECT_GT(inkOf(0).Right, 60);
    EXPECT_LE(inkOf(DT_END_ELLIPSIS).Right, 40);
    EXPECT_GT(inkOf(DT_END_ELLIPSIS).Right, 20);
}

TEST(GraphicsDrawText, ClipsToItsRectangleUnlessNoClip)
{
    auto inkOf = [](unsigned format) {
        Surface s(300, 30);
        s.c().Brush().SetStyle(bsClear);
        TRect r = Rect(0, 0, 40, 30);
        s.c().DrawText(QStringLiteral("WWWWWWWWWWWWWW"), r, format | DT_SINGLELINE);
        return s.ink();
    };
    EXPECT_LE(inkOf(0).Right, 40);
    EXPECT_GT(inkOf(DT_NOCLIP).Right, 60);
}

TEST(GraphicsDrawText, ExpandTabsMovesToTheNextTabStop)
{
    Surface s(300, 30);
    TRect a = Rect(0, 0, 300, 30), b = Rect(0, 0, 300, 30), c = Rect(0, 0, 300, 30);
    s.c().DrawText(QStringLiteral("i\tb"), a, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    s.c().DrawText(QStringLiteral("\tb"), b, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    s.c().DrawText(QStringLiteral("iiiiiiii"), c, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(a.Width(), b.Width());   // both reach the first stop
    EXPECT_GT(a.Width(), s.c().TextWidth(QStringLiteral("b")) + c.Width());
}

TEST(GraphicsDrawText, AmpersandPrefixUnlessNoPrefix)
{
    Surface s(300, 30);
    auto width = [&](const QString& t, unsigned f) {
        TRect r = Rect(0, 0, 300, 30);
        s.c().DrawText(t, r, f | DT_CALCRECT | DT_SINGLELINE);
        return r.Width();
    };
    EXPECT_EQ(width(QStringLiteral("Scan && Decode"), 0), s.c().TextWidth(QStringLiteral("Scan & Decode")));
    EXPECT_EQ(width(QStringLiteral("&Save"), 0), s.c().TextWidth(QStringLiteral("Save")));
    EXPECT_EQ(width(QStringLiteral("&Save"), DT_NOPREFIX), s.c().TextWidth(QStringLiteral("&Save")));
    EXPECT_EQ(width(QStringLiteral("a&&b"), DT_NOPREFIX), s.c().TextWidth(QStringLiteral("a&&b")));

    // The marked letter is underlined: ink reaches lower than without the mark.
    auto inkOf = [](const QString& t) {
        Surface d(100, 40);
        d.c().Brush().SetStyle(bsClear);
        TRect r = Rect(0, 0, 100, 40);
        d.c().DrawText(t, r, DT_SINGLELINE);
        return d.ink();
    };
    EXPECT_GT(inkOf(QStringLiteral("&ace")).Bottom, inkOf(QStringLiteral("ace")).Bottom);
}

TEST(GraphicsDrawText, OpaqueBackgroundCoversTheTextCell)
{
    Surface s(200, 40);
    s.c().Brush().SetColor(clYellow);
    TRect r = Rect(0, 0, 200, 40);
    s.c().DrawText(QStringLiteral("Hi"), r, DT_SINGLELINE | DT_CENTER);
    const TSize e = s.c().TextExtent(QStringLiteral("Hi"));
    EXPECT_EQ(s.ink().Height(), e.cy);
    EXPECT_EQ(s.ink().Width(), e.cx);
}

TEST(GraphicsBitmap, TransparentColourIsBottomLeftUnlessFixed)
{
    TBitmap glyph(4, 4);
    glyph.Canvas().Brush().SetColor(clFuchsia);
    glyph.Canvas().FillRect(Rect(0, 0, 4, 4));
    glyph.Canvas().SetPixel(1, 1, clBlack);
    EXPECT_EQ(glyph.TransparentColor(), clFuchsia);
    glyph.SetTransparent(true);

    Surface s(6, 6);
    s.c().Draw(1, 1, glyph);
    EXPECT_EQ(s.ink(), Rect(2, 2, 3, 3));
    EXPECT_EQ(s.at(2, 2), clBlack);

    glyph.SetTransparentColor(clBlack);
    Surface t(6, 6);
    t.c().Draw(0, 0, glyph);
    EXPECT_EQ(t.at(0, 0), clFuchsia);
    EXPECT_TRUE(t.white(1, 1));

    glyph.SetTransparent(false);
    Surface o(6, 6);
    o.c().Draw(0, 0, glyph);
    EXPECT_EQ(o.ink(), Rect(0, 0, 4, 4));
}

TEST(GraphicsBitmap, ResizingKeepsPixelsAndWhitensTheRest)
{
    TBitmap b(2, 2);
    b.Canvas().Brush().SetColor(clRed);
    b.Canvas().FillRect(Rect(0, 0, 2, 2));
    b.SetSize(4, 3);
    EXPECT_EQ(b.Canvas().Pixel(1, 1), clRed);
    EXPECT_EQ(b.Canvas().Pixel(3, 2), clWhite);
    b.Canvas().SetPixel(3, 2, clBlue);   // the canvas follows the new size
    EXPECT_EQ(b.Canvas().Pixel(3, 2), clBlue);
}

TEST(GraphicsBitmap, StretchAndCopy)
{
    TBitmap src(2, 2);
    src.Canvas().SetPixel(0, 0, clRed);
    src.Canvas().SetPixel(1, 1, clBlue);
    Surface s(8, 8);
    s.c().StretchDraw(Rect(0, 0, 4, 4), src);
    EXPECT_EQ(s.at(0, 0), clRed);
    EXPECT_EQ(s.at(1, 1), clRed);
    EXPECT_EQ(s.at(3, 3), clBlue);
    EXPECT_TRUE(s.white(3, 0));
    EXPECT_EQ(s.ink(), Rect(0, 0, 4, 4));

    Surface d(8, 8);
    d.c().CopyRect(Rect(5, 5, 6, 6), s.c(), Rect(3, 3, 4, 4));
    EXPECT_EQ(d.at(5, 5), clBlue);
    EXPECT_EQ(d.ink(), Rect(5, 5, 6, 6));

    // A bitmap drawn onto itself one pixel further, as a pressed face does.
    TBitmap self(4, 4);
    self.Canvas().SetPixel(0, 0, clRed);
    self.Canvas().Draw(1, 1, self);
    EXPECT_EQ(self.Canvas().Pixel(1, 1), clRed);
    EXPECT_EQ(self.Canvas().Pixel(2, 2), clWhite);
}

TEST(GraphicsBitmap, BrushCopyReplacesOneColour)
{
    TBitmap src(2, 1);
    src.Canvas().SetPixel(0, 0, clFuchsia);
    src.Canvas().SetPixel(1, 0, clBlack);
    Surface s(4, 4);
    s.c().Brush().SetColor(clYellow);
    s.c().BrushCopy(Rect(0, 0, 2, 1), src, Rect(0, 0, 2, 1), clFuchsia);
    EXPECT_EQ(s.at(0, 0), clYellow);
    EXPECT_EQ(s.at(1, 0), clBlack);
}

TEST(GraphicsImageList, PicturesByIndexWithMask)
{
    TBitmap strip(8, 4);
    strip.Canvas().Brush().SetColor(clFuchsia);
    strip.Canvas().FillRect(Rect(0, 0, 8, 4));
    strip.Canvas().SetPixel(1, 1, clRed);
    strip.Canvas().SetPixel(5, 2, clBlue);
    TImageList list(4, 4);
    EXPECT_EQ(list.AddMasked(strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    Surface s(10, 10);
    list.Draw(s.c(), 3, 3, 1);
    EXPECT_EQ(s.ink(), Rect(4, 5, 5, 6));
    EXPECT_EQ(s.at(4, 5), clBlue);
    list.Draw(s.c(), 0, 0, 7);   // outside the list: nothing
    EXPECT_EQ(s.ink(), Rect(4, 5, 5, 6));

    TBitmap one;
    ASSERT_TRUE(list.GetBitmap(0, one, clWhite));
    EXPECT_EQ(one.Width(), 4);
    EXPECT_EQ(one.Canvas().Pixel(1, 1), clRed);
    EXPECT_EQ(one.Canvas().Pixel(0, 0), clWhite);
    EXPECT_FALSE(list.GetBitmap(2, one));
}

TEST(GraphicsFont, SizeAndHeightConvertAtNinetySixDpi)
{
    TFont f;
    f.SetSize(8);
    EXPECT_EQ(f.Height(), -11);
    f.SetHeight(-13);
    EXPECT_EQ(f.Size(), 10);
    int changes = 0;
    f.OnChange = [&] { ++changes; };
    f.SetStyle(fsBold);
    TFont g;
    f.Assign(g);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(f.SameAs(g));
}
