#include "widgets/ExUtil.h"

#include "WidgetTestHelpers.h"
#include "platform/Themes.h"
#include "widgets/ExStyleIF.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace platform;
using widgettest::At;

namespace {

// A white bitmap to draw on.
struct Surface
{
    explicit Surface(int w, int h, TColor fill = clWhite) : bitmap(w, h)
    {
        bitmap.Canvas().Brush().SetColor(fill);
        bitmap.Canvas().FillRect(Rect(0, 0, w, h));
    }
    TCanvas& Canvas() { return bitmap.Canvas(); }
    QImage Image() { return bitmap.Image(); }
    TBitmap bitmap;
};

int CountColor(const QImage& img, TColor color, QRect area = {})
{
    return widgettest::Count(img, [&](QColor c) { return FromQColor(c) == ColorToRGB(color); }, area);
}

// Classic drawing, whatever the desktop's styles are.
struct ThemesOff
{
    ThemesOff() : was(ThemesActive()) { SetThemesActive(false); }
    ~ThemesOff() { SetThemesActive(was); }
    bool was;
};

} // namespace

TEST(ExUtilColors, Arithmetic)
{
    const struct
    {
        const char* name;
        TColor got, expected;
    } cases[] = {
        {"half", HalfColor(RGB(255, 128, 65)), RGB(127, 64, 32)},
        {"half of a system colour uses its value", HalfColor(clBtnFace), HalfColor(ColorToRGB(clBtnFace))},
        {"white +7 stays white", ScaleColor(clWhite, 7), clWhite},
        {"black -20 stays black", ScaleColor(clBlack, -20), clBlack},
        {"+7 of 100", ScaleColor(RGB(100, 100, 100), 7), RGB(107, 107, 107)},
        {"-20 of 100", ScaleColor(RGB(100, 0, 0), -20), RGB(80, 0, 0)},
        {"10 +5: 10.5 rounds to even", ScaleColor(RGB(10, 0, 0), 5), RGB(10, 0, 0)},
        {"30 +5: 31.5 rounds to even", ScaleColor(RGB(30, 0, 0), 5), RGB(32, 0, 0)},
        {"between: the middle", ColorBetween(clBlack, clWhite, 0, 50, 100), RGB(128, 128, 128)},
        {"between: at the start", ColorBetween(RGB(10, 20, 30), RGB(110, 120, 130), 0, 0, 100), RGB(10, 20, 30)},
        {"between: to clNone", ColorBetween(clRed, clNone, 0, 50, 100), clRed},
        // An empty range (a grid of no height) gives the start colour, not a
        // division by zero.
        {"between: empty range", ColorBetween(clRed, clBlue, 40, 10, 40), clRed},
        // Beyond the range the components stay within 0..255 and do not spill
        // into the next one.
        {"between: beyond the range", ColorBetween(RGB(0, 0, 200), RGB(0, 0, 255), 0, 300, 100), RGB(0, 0, 255)},
        {"between: before the range", ColorBetween(RGB(50, 0, 0), RGB(0, 0, 0), 0, 200, 100), RGB(0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.name;
}

TEST(ExUtilGradients, DrawGradientBands)
{
    // 11 pixels wide, 10 steps: one band per pixel, band i has i/10 of the way.
    Surface s(11, 4);
    DrawGradient(s.Canvas(), clBlack, clWhite, true, Rect(0, 0, 11, 4), 10);
    QImage img = s.Image();
    EXPECT_EQ(At(img, 0, 2), clBlack);
    EXPECT_EQ(At(img, 5, 2), RGB(128, 128, 128)); // round(127.5)
    EXPECT_EQ(At(img, 10, 2), clWhite);            // the last band is the end colour

    // A span smaller than the steps asked for: one band per pixel.
    Surface t(5, 4);
    DrawGradient(t.Canvas(), clBlack, clWhite, true, Rect(0, 0, 5, 4), 100);
    img = t.Image();
    const int expected[] = {0, 64, 128, 191, 255};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(At(img, x, 1), RGB(expected[x], expected[x], expected[x])) << x;

    // Vertical, with the rectangle given upside down.
    Surface v(4, 11);
    DrawGradient(v.Canvas(), clRed, clBlue, false, Rect(0, 11, 4, 0), 10);
    img = v.Image();
    EXPECT_EQ(At(img, 2, 0), clRed);
    EXPECT_EQ(At(img, 2, 10), clBlue);

    // clNone as one colour: a flat fill in the other.
    Surface f(6, 6);
    DrawGradient(f.Canvas(), clNone, clGreen, true, Rect(1, 1, 5, 5), 10);
    img = f.Image();
    EXPECT_EQ(CountColor(img, clGreen), 16);

    // No height: nothing.
    Surface e(6, 6);
    DrawGradient(e.Canvas(), clBlack, clBlack, true, Rect(0, 3, 6, 3), 10);
    EXPECT_EQ(CountColor(e.Image(), clBlack), 0);
}

TEST(ExUtilGradients, SteppedGradient)
{
    // Black to white in two vertical stripes over 100 pixels: the far edge is
    // taken as 99, so the bands are 49.5 (rounded 50) plus one pixel thick
    // and the second band is 0x808080; white is never reached.
    Surface s(110, 20);
    DrawSteppedGradient(s.Canvas(), clBlack, clWhite, true, Rect(0, 0, 100, 20), 2);
    QImage img = s.Image();
    EXPECT_EQ(At(img, 0, 10), clBlack);
    EXPECT_EQ(At(img, 49, 10), clBlack);
    EXPECT_EQ(At(img, 50, 10), RGB(128, 128, 128));
    EXPECT_EQ(At(img, 99, 10), RGB(128, 128, 128));
    EXPECT_EQ(CountColor(img, clWhite, QRect(0, 0, 100, 20)), 0);
    EXPECT_EQ(s.Canvas().Brush().Color(), RGB(128, 128, 128));
    EXPECT_EQ(s.Canvas().Pen().Color(), RGB(128, 128, 128));

    // One band, and zero taken as one: all in the start colour.
    for (int steps : {1, 0, -3}) {
        Surface one(30, 10);
        DrawSteppedGradient(one.Canvas(), clRed, clBlue, false, Rect(0, 0, 30, 10), steps);
        EXPECT_EQ(CountColor(one.Image(), clRed), 300) << steps;
    }

    // 128 bands over a 20-pixel cell stay inside the cell.
    Surface cell(10, 30);
    DrawSteppedGradient(cell.Canvas(), clBlack, clBlue, false, Rect(0, 5, 10, 25), 128);
    img = cell.Image();
    EXPECT_EQ(At(img, 5, 4), clWhite);
    EXPECT_NE(At(img, 5, 5), clWhite);
    EXPECT_NE(At(img, 5, 24), clWhite);
    EXPECT_EQ(At(img, 5, 25), clWhite);
}

TEST(ExUtilGradients, GradientBackgroundAndRoundFrame)
{
    // A flat fill reaches one row below the rectangle; a frame in the frame colour.
    Surface s(20, 20);
    DrawGradientBackground(s.Canvas(), Rect(2, 2, 12, 12), clYellow, true, false, clRed, true, clNone, clNone, clNone);
    QImage img = s.Image();
    EXPECT_EQ(At(img, 5, 5), clYellow);
    EXPECT_EQ(At(img, 5, 12), clYellow);
    EXPECT_EQ(At(img, 5, 13), clWhite);
    EXPECT_EQ(At(img, 2, 5), clRed);
    EXPECT_EQ(At(img, 11, 5), clRed);
    EXPECT_EQ(At(img, 5, 2), clRed);

    // Mirrored halves, top and bottom, and two side lines.
    Surface m(20, 20);
    DrawGradientBackground(m.Canvas(), Rect(0, 0, 20, 20), clRed, true, true, clBlack, true, clBlue, clGreen, clRed);
    img = m.Image();
    EXPECT_EQ(At(img, 10, 2), clRed);
    EXPECT_EQ(At(img, 10, 10), clGreen); // the second half starts at the mirror colour
    EXPECT_EQ(At(img, 10, 19), clBlue);
    EXPECT_EQ(At(img, 0, 10), clBlack);
    EXPECT_EQ(At(img, 19, 10), clBlack);
    EXPECT_EQ(At(img, 10, 0), clRed); // no top line with two lines only

    // The rounded frame, both sides closed, flat inside.
    const TColor outer = 0x010101, inner = 0x020202, border = 0x030303, lower = 0x040404, upper = 0x050505;
    Surface r(30, 20);
    DrawRoundFrame(r.Canvas(), clAqua, clNone, 0, Rect(0, 0, 30, 20), outer, inner, border, lower, upper, clNone, clNone);
    img = r.Image();
    // r is the rectangle less 2 at the bottom and 1 at the right: L 0, T 0, R 29, B 18.
    EXPECT_EQ(At(img, 0, 0), outer);
    EXPECT_EQ(At(img, 0, 18), outer);
    EXPECT_EQ(At(img, 1, 0), inner);
    EXPECT_EQ(At(img, 28, 0), outer);
    EXPECT_EQ(At(img, 27, 0), inner);
    EXPECT_EQ(At(img, 10, 0), border);
    EXPECT_EQ(At(img, 10, 18), border);
    EXPECT_EQ(At(img, 0, 8), border);
    EXPECT_EQ(At(img, 28, 8), border);
    EXPECT_EQ(At(img, 10, 1), upper);
    EXPECT_EQ(At(img, 10, 17), lower);
    EXPECT_EQ(At(img, 10, 8), clAqua);
    EXPECT_EQ(At(img, 29, 8), clWhite); // the right column stays free
}

TEST(ExUtilProgress, BarTextAndRange)
{
    const TColor done = clAqua, rest = clSilver, border = clRed, back = clYellow;
    auto draw = [&](double value, const QString& format, int max, int min, bool below = false) {
        auto s = std::make_unique<Surface>(120, 30);
        s->Canvas().Brush().SetColor(back);
        DrawProgress(s->Canvas(), Rect(10, 5, 110, 25), done, below, border, format, max, min, 2, 2, value, clBlack,
                     rest, clWhite);
        return s;
    };
    // Inside: 12..108 x 7..23; frames at 11 (border) and 10 (background).
    {
        auto s = draw(150, QString(), 100, 0);
        const QImage img = s->Image();
        EXPECT_EQ(At(img, 13, 8), done);
        EXPECT_EQ(At(img, 107, 8), done); // a full bar: the value is above 100 %
        EXPECT_EQ(At(img, 11, 10), border);
        EXPECT_EQ(At(img, 10, 10), back);
        EXPECT_EQ(CountColor(img, rest), 0);
    }
    {
        auto s = draw(-5, QString(), 100, 0);
        const QImage img = s->Image();
        EXPECT_EQ(At(img, 13, 8), rest); // empty
        EXPECT_EQ(CountColor(img, done), 0);
    }
    {
        auto s = draw(5, QStringLiteral("%d of 10"), 10, 0);
        const QImage img = s->Image();
        EXPECT_EQ(At(img, 20, 8), done);
        EXPECT_EQ(At(img, 100, 8), rest);
        EXPECT_EQ(At(img, 59, 8), done); // 12 + round(96 x 50 %) = 60
        EXPECT_EQ(At(img, 60, 8), rest);
    }
    {
        // Maximum equal to minimum: 0 %, not a division by zero.
        auto s = draw(7, QStringLiteral("%d"), 3, 3);
        const QImage img = s->Image();
        EXPECT_EQ(CountColor(img, done), 0);
        EXPECT_EQ(At(img, 13, 8), rest);
    }
    {
        // The text is centred and changes colour where the bar ends.
        auto s = draw(50, QString(), 100, 0);
        const QImage img = s->Image();
        const QRect inside(12, 7, 96, 16);
        // Text is smoothed: dark pixels (not silver, not aqua) and whitish ones (aqua has no red).
        const QRect black =
            widgettest::Bounding(img, [](QColor c) { return c.red() < 100 && c.green() < 100; }, inside);
        const QRect white = widgettest::Bounding(img, [](QColor c) { return c.red() > 150 && c.blue() > 230; }, inside);
        ASSERT_FALSE(black.isEmpty());
        ASSERT_FALSE(white.isEmpty());
        EXPECT_LE(white.right(), 59);  // done part: white text
        EXPECT_GE(black.left(), 60);   // rest: black text
        EXPECT_NEAR((white.left() + black.right()) / 2.0, 60, 4);
        EXPECT_NEAR(black.center().y(), 15, 3);
    }
}

TEST(ExUtilProgress, RangeIndicator)
{
    const TColor pos = clGreen, neg = clRed;
    // Rectangle 0..44: shrunk by 2 it is 2..42, half-width 20, centre 22.
    {
        Surface s(50, 14);
        DrawRangeIndicator(s.Canvas(), Rect(0, 0, 44, 14), 5, pos, neg, false, 10);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 22, 7), pos);
        EXPECT_EQ(At(img, 31, 7), pos);
        EXPECT_EQ(At(img, 32, 7), clWhite);
        EXPECT_EQ(At(img, 21, 7), clWhite);
    }
    {
        Surface s(50, 14);
        DrawRangeIndicator(s.Canvas(), Rect(0, 0, 44, 14), -99, pos, neg, false, 10); // limited to -10
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 2, 7), neg);
        EXPECT_EQ(At(img, 21, 7), neg);
        EXPECT_EQ(At(img, 1, 7), clWhite);
    }
    for (int range : {0, -5}) {
        // An empty range draws nothing, and does not divide by zero.
        Surface s(50, 14);
        DrawRangeIndicator(s.Canvas(), Rect(0, 0, 44, 14), 3, pos, neg, true, range);
        EXPECT_EQ(CountColor(s.Image(), clWhite), 50 * 14) << range;
    }
}

TEST(ExUtilProgress, XPProgress)
{
    TXPProgressLook look;
    look.Level0Color = look.Level0ColorTo = clRed;
    look.Level1Color = look.Level1ColorTo = clGreen;
    look.Level2Color = look.Level2ColorTo = clBlue;
    look.Level3Color = look.Level3ColorTo = clFuchsia;
    look.Level1Perc = 50;
    look.Level2Perc = 80;
    look.BackgroundColor = clYellow;
    look.BorderColor = clBlack;
    look.ShowBorder = true;

    // 0 %: the empty frame only.
    {
        Surface s(102, 12);
        DrawXPProgress(s.Canvas(), Rect(0, 0, 102, 12), 0, look);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 0, 5), clBlack);
        EXPECT_EQ(CountColor(img, clYellow), 100 * 10);
    }
    // 100 % stacked: the three zones fill the whole length exactly.
    {
        TXPProgressLook l = look;
        l.Stacked = true;
        Surface s(102, 12);
        DrawXPProgress(s.Canvas(), Rect(0, 0, 102, 12), 100, l);
        const QImage img = s.Image();
        EXPECT_EQ(CountColor(img, clYellow), 0);
        EXPECT_EQ(At(img, 1, 5), clRed);
        EXPECT_EQ(At(img, 50, 5), clRed);
        EXPECT_EQ(At(img, 51, 5), clGreen); // 50 % of 100
        EXPECT_EQ(At(img, 81, 5), clFuchsia);
        EXPECT_EQ(At(img, 100, 5), clFuchsia);
        EXPECT_EQ(At(img, 101, 5), clBlack);
    }
    // 50 % in blocks: 7 pixels long, 2-pixel gaps, 2 pixels in from the long sides.
    {
        Surface s(102, 12);
        DrawXPProgress(s.Canvas(), Rect(0, 0, 102, 12), 50, look);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 2, 5), clGreen);
        EXPECT_EQ(At(img, 8, 5), clGreen);
        EXPECT_EQ(At(img, 9, 5), clYellow);
        EXPECT_EQ(At(img, 11, 5), clGreen);
        EXPECT_EQ(At(img, 50, 5), clGreen); // the last block: 47 .. 50
        EXPECT_EQ(At(img, 51, 5), clYellow);
        EXPECT_EQ(At(img, 5, 1), clYellow);
        EXPECT_EQ(At(img, 5, 2), clGreen);
    }
    // Beyond 100 % the bar stays inside its frame.
    {
        TXPProgressLook l = look;
        l.CompletionSmooth = true;
        Surface s(120, 12);
        DrawXPProgress(s.Canvas(), Rect(0, 0, 102, 12), 250, l);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 100, 5), clFuchsia);
        EXPECT_EQ(At(img, 101, 5), clBlack);
        EXPECT_EQ(At(img, 105, 5), clWhite);
    }
}

TEST(ExUtilProgress, Pie)
{
    const TColor fill = clRed;
    auto pie = [&](int percentage) {
        auto s = std::make_unique<Surface>(21, 21);
        DrawProgressPie(s->Canvas(), Rect(0, 0, 21, 21), fill, false, percentage);
        return s;
    };
    {
        const QImage img = pie(25)->Image(); // the upper right quarter
        EXPECT_EQ(At(img, 15, 5), fill);
        EXPECT_NE(At(img, 5, 15), fill);
        EXPECT_NE(At(img, 15, 15), fill);
        EXPECT_NE(At(img, 5, 5), fill);
        EXPECT_EQ(At(img, 10, 0), 0x808080); // the grey outline
    }
    {
        const QImage img = pie(75)->Image();
        EXPECT_EQ(At(img, 5, 15), fill);
        EXPECT_NE(At(img, 5, 5), fill);
    }
    {
        // A thin sector fills only a thin sector, not the rest of the circle.
        const QImage img = pie(1)->Image();
        EXPECT_NE(At(img, 5, 15), fill);
        EXPECT_NE(At(img, 15, 15), fill);
        EXPECT_LT(CountColor(img, fill), 12);
    }
    EXPECT_EQ(CountColor(pie(0)->Image(), fill), 0);
}

TEST(ExUtilShapes, CellShapes)
{
    {
        // A circle in a 20 x 10 box is 10 x 10.
        Surface s(30, 20);
        DrawCellShape(s.Canvas(), 0, 0, clBlack, clRed, csCircle, 10, 20);
        const QImage img = s.Image();
        const QRect ink = widgettest::Bounding(img, [](QColor c) { return c != QColor(Qt::white); });
        EXPECT_EQ(ink, QRect(0, 0, 10, 10));
    }
    {
        Surface s(30, 20);
        DrawCellShape(s.Canvas(), 2, 3, clBlack, clRed, csRectangle, 10, 20);
        const QImage img = s.Image();
        EXPECT_EQ(widgettest::Bounding(img, [](QColor c) { return c != QColor(Qt::white); }), QRect(3, 4, 18, 8));
        EXPECT_EQ(At(img, 10, 8), clRed);
    }
    {
        Surface s(30, 20);
        DrawCellShape(s.Canvas(), 0, 0, clBlack, clRed, csTriangleUp, 16, 16);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 8, 12), clRed);
        EXPECT_EQ(At(img, 1, 2), clWhite);
    }
    {
        Surface s(30, 20);
        DrawCellShape(s.Canvas(), 0, 0, clBlack, clRed, static_cast<TCellShape>(40), 16, 16);
        EXPECT_EQ(CountColor(s.Image(), clWhite), 600);
    }
    {
        // The half star is the left half of the star.
        Surface s(20, 20);
        DrawCellShape(s.Canvas(), 0, 0, clBlack, clRed, csHalfStar, 16, 16);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 6, 8), clRed);
        EXPECT_EQ(At(img, 11, 8), clWhite);
    }
}

TEST(ExUtilButtons, LooksAndStates)
{
    TColorTones tones;
    tones.Background = TColorTone{clYellow, clBlue, clBlack};
    tones.Hover = TColorTone{clLime, clRed, clBlack};
    tones.Selected = TColorTone{clAqua, clRed, clBlack};
    tones.Disabled = TColorTone{clSilver, clGray, clGray};
    {
        // Tone look: brush from the state's tone, pen its border colour.
        Surface s(40, 20);
        DrawCellButton(s.Canvas(), nullptr, Rect(0, 0, 40, 20), tones, 1, 3);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 20, 10), clLime);
        EXPECT_EQ(At(img, 0, 10), clRed);
    }
    {
        // The combo button: the right 17 pixels moved 2 left, 1 shorter at top
        // and bottom; with the tone look its left edge moves 3 more.
        Surface s(60, 20);
        DrawComboButton(s.Canvas(), nullptr, Rect(0, 0, 60, 20), tones, 0, 3);
        const QImage img = s.Image();
        // Button 41..58, tone look 44..58, line at 45, triangle from 49,9.
        EXPECT_EQ(At(img, 43, 10), clWhite);
        EXPECT_EQ(At(img, 44, 10), clYellow);
        EXPECT_EQ(At(img, 45, 10), clBlue);
        EXPECT_EQ(At(img, 52, 9), clBlack);
        EXPECT_EQ(At(img, 50, 0), clWhite);
        EXPECT_EQ(At(img, 58, 10), clWhite);
    }
    {
        // Spin buttons: 15 pixels at the right, moved one left and up; the
        // tone look draws black arrows.
        Surface s(40, 22);
        DrawSpinButtons(s.Canvas(), nullptr, Rect(0, 1, 40, 23), tones, 0, 3);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 26, 8), clYellow);
        EXPECT_EQ(At(img, 23, 8), clWhite);
        EXPECT_EQ(At(img, 31, 4), clBlack); // up arrow, from left + 5, top + 3 .. 5
        EXPECT_EQ(At(img, 31, 13), clBlack); // down arrow of the lower button
    }
    {
        // The visual-style look falls back to the classic frame while styles are off.
        ThemesOff off;
        Surface s(40, 20);
        DrawCellButton(s.Canvas(), nullptr, Rect(0, 0, 40, 20), tones, 0, 0);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 20, 10), ColorToRGB(clBtnFace));
        EXPECT_EQ(At(img, 0, 10), ColorToRGB(clBtnHighlight));
        EXPECT_EQ(At(img, 39, 10), ColorToRGB(cl3DDkShadow));
    }
    {
        // With styles on, something is drawn by the style.
        SetThemesActive(true);
        Surface s(40, 20);
        DrawCellButton(s.Canvas(), nullptr, Rect(0, 0, 40, 20), tones, 0, 0);
        EXPECT_LT(CountColor(s.Image(), clWhite), 40 * 20);
    }
    {
        Surface s(10, 10);
        DrawSmallTriangle(s.Canvas(), 5, 2, clRed);
        const QImage img = s.Image();
        EXPECT_EQ(At(img, 5, 3), clRed);
        EXPECT_EQ(At(img, 5, 1), clWhite);
    }
}

TEST(ExUtilButtons, ClassicCheckBoxAndRadioGlyphs)
{
    const TColor mark = ColorToRGB(clWindowText);
    auto draw = [&](unsigned type, unsigned state) {
        auto s = std::make_unique<Surface>(13, 13, clRed);
        DrawFrameControl(s->Canvas(), Rect(0, 0, 13, 13), type, state);
        return s;
    };
    const QRect inside(3, 3, 7, 7);
    for (unsigned flat : {0u, DFCS_FLAT}) {
        SCOPED_TRACE(flat ? "flat" : "3-D");
        const QImage on = draw(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | flat)->Image();
        const QImage off = draw(DFC_BUTTON, DFCS_BUTTONCHECK | flat)->Image();
        EXPECT_GT(CountColor(on, mark, inside), 8);
        EXPECT_EQ(CountColor(off, mark, inside), 0);
        EXPECT_EQ(CountColor(off, ColorToRGB(clWindow), inside), 49);
        EXPECT_EQ(CountColor(off, clRed), 0); // the whole box is drawn

        const QImage rOn = draw(DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED | flat)->Image();
        const QImage rOff = draw(DFC_BUTTON, DFCS_BUTTONRADIO | flat)->Image();
        EXPECT_EQ(At(rOn, 6, 6), mark);
        EXPECT_EQ(At(rOff, 6, 6), ColorToRGB(clWindow));
        EXPECT_EQ(At(rOff, 0, 0), clRed); // round: the corners stay
    }
    // Disabled: the mark in the grey text colour on the face colour.
    const QImage disabled = draw(DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE)->Image();
    EXPECT_EQ(CountColor(disabled, mark, inside), 0);
    EXPECT_GT(CountColor(disabled, ColorToRGB(clGrayText), inside), 8);

    // The combo-box scroll button: a face and a down arrow.
    const QImage combo = draw(DFC_SCROLL, DFCS_SCROLLCOMBOBOX)->Image();
    EXPECT_GT(CountColor(combo, ColorToRGB(clBtnText), inside), 3);
    const QImage inactive = draw(DFC_SCROLL, DFCS_SCROLLCOMBOBOX | DFCS_INACTIVE)->Image();
    EXPECT_EQ(CountColor(inactive, ColorToRGB(clBtnText), inside), 0);
}

TEST(ExUtilBitmaps, TransparentBitmap)
{
    TBitmap b(4, 4);
    b.Canvas().Brush().SetColor(clRed);
    b.Canvas().FillRect(Rect(0, 0, 4, 4));
    b.Canvas().SetPixel(2, 2, clBlue);
    Surface s(10, 10);
    DrawTransparentBitmap(s.Canvas(), b, clGreen, Rect(3, 3, 10, 10));
    const QImage img = s.Image();
    EXPECT_EQ(At(img, 3, 3), clGreen); // the top-left pixel's colour takes the background
    EXPECT_EQ(At(img, 5, 5), clBlue);
    EXPECT_EQ(At(img, 7, 7), clWhite); // drawn at its own size
    EXPECT_THROW(DrawBitmapResource(s.Canvas(), clGreen, Rect(0, 0, 4, 4), QStringLiteral("NOSUCHRESOURCE")),
                 std::runtime_error);
}

TEST(ExUtilDraw, ErrorUnderlineAndLayeredWindows)
{
    Surface s(200, 30);
    s.Canvas().Font().SetHeight(-12);
    const QString text = QStringLiteral("some wrnog word");
    const int from = s.Canvas().TextWidth(QStringLiteral("some "));
    const int to = s.Canvas().TextWidth(QStringLiteral("some wrno"));
    DrawErrorUnderline(nullptr, s.Canvas(), text, 5, 5, 12, Rect(10, 2, 190, 28));
    const QImage img = s.Image();
    const QRect red = widgettest::Bounding(img, [](QColor c) { return FromQColor(c) == clRed; });
    ASSERT_FALSE(red.isEmpty());
    EXPECT_NEAR(red.left(), 10 + from, 1);
    EXPECT_GE(red.right(), 10 + to);
    EXPECT_LE(red.right(), 10 + to + 9);
    EXPECT_GE(red.top(), 2 + 12 - 1);
    EXPECT_LE(red.bottom(), 2 + 12 + 4);

    // No layered windows on this desktop: both calls answer true.
    EXPECT_TRUE(CallSetLayeredWindowAttributes(nullptr, clNone, 128, 2));
    EXPECT_TRUE(CallUpdateLayeredWindow(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, clNone, nullptr, 2));
}
