#include "widgets/ExUtil.h"

#include "platform/Themes.h"
#include "widgets/ExStyleIF.h"
#include "widgets/ExXPVS.h"

#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

using namespace platform;

namespace {

// Rounding to nearest, halves to even.
int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

int Clamp255(int v) { return std::clamp(v, 0, 255); }

void SetPenAndBrush(TCanvas& c, TColor color)
{
    c.Pen().SetStyle(psSolid);
    c.Pen().SetColor(color);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(color);
}

void Line(TCanvas& c, int x1, int y1, int x2, int y2)
{
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
}

void Line(TCanvas& c, TColor color, int x1, int y1, int x2, int y2)
{
    c.Pen().SetStyle(psSolid);
    c.Pen().SetColor(color);
    Line(c, x1, y1, x2, y2);
}

void FillArea(TCanvas& c, const TRect& r, TColor color)
{
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(color);
    c.FillRect(r);
}

const TColorTone& ToneOf(const TColorTones& tones, int state)
{
    switch (state) {
    case 1: return tones.Hover;
    case 2: return tones.Selected;
    case 3: return tones.Disabled;
    default: return tones.Background;
    }
}

// Draws through the visual style when it is active; false when the caller
// should fall back to the classic look.
bool DrawThemed(TCanvas& c, const QWidget* window, const char* cls, int part, int state, const TRect& r)
{
    if (!ExXPVS::ThemesAvailable())
        return false;
    HTHEME theme = ExXPVS::OpenThemeData(window, QString::fromLatin1(cls));
    const bool drawn = ExXPVS::DrawThemeBackground(theme, c, part, state, r);
    ExXPVS::CloseThemeData(theme);
    return drawn;
}

// One ring of a 3-D edge: top and left in one colour, bottom and right in the other.
void EdgeRing(TCanvas& c, const TRect& r, TColor topLeft, TColor bottomRight)
{
    if (r.Width() <= 0 || r.Height() <= 0)
        return;
    Line(c, topLeft, r.Left, r.Bottom - 1, r.Left, r.Top);
    Line(c, topLeft, r.Left, r.Top, r.Right - 1, r.Top);
    Line(c, bottomRight, r.Right - 1, r.Top, r.Right - 1, r.Bottom - 1);
    Line(c, bottomRight, r.Right - 1, r.Bottom - 1, r.Left - 1, r.Bottom - 1);
}

TRect Shrunk(TRect r, int d)
{
    InflateRect(r, -d, -d);
    return r;
}

void RaisedEdge(TCanvas& c, const TRect& r)
{
    EdgeRing(c, r, clBtnHighlight, cl3DDkShadow);
    EdgeRing(c, Shrunk(r, 1), cl3DLight, clBtnShadow);
}

void SunkenEdge(TCanvas& c, const TRect& r)
{
    EdgeRing(c, r, clBtnShadow, clBtnHighlight);
    EdgeRing(c, Shrunk(r, 1), cl3DDkShadow, cl3DLight);
}

// A filled arrow pointing up or down, centred in r.
void Arrow(TCanvas& c, const TRect& r, bool up, TColor color, int shift)
{
    const int half = std::max(1, std::min(r.Width(), r.Height()) / 4);
    const int cx = r.Left + (r.Width() - 1) / 2 + shift;
    const int cy = r.Top + (r.Height() - 1) / 2 + shift;
    SetPenAndBrush(c, color);
    for (int row = 0; row <= half; ++row) {
        const int w = up ? row : half - row;
        const int y = cy - half / 2 + row;
        c.FillRect(Rect(cx - w, y, cx + w + 1, y + 1));
    }
}

void PushFrame(TCanvas& c, const TRect& r, unsigned state)
{
    FillArea(c, r, clBtnFace);
    if (state & DFCS_FLAT) {
        c.Brush().SetColor(clBtnShadow);
        c.FrameRect(r);
    } else if (state & (DFCS_PUSHED | DFCS_CHECKED)) {
        SunkenEdge(c, r);
    } else {
        RaisedEdge(c, r);
    }
}

void CheckMark(TCanvas& c, const TRect& box, TColor color)
{
    const int cx = box.Left + box.Width() / 2, cy = box.Top + box.Height() / 2;
    c.Pen().SetStyle(psSolid);
    c.Pen().SetColor(color);
    for (int i = 0; i < 3; ++i) {
        Line(c, cx - 3, cy - 1 + i, cx - 1, cy + 1 + i);
        Line(c, cx - 1, cy + 1 + i, cx + 4, cy - 4 + i);
    }
}

void CheckBoxControl(TCanvas& c, const TRect& r, unsigned state)
{
    const bool inactive = (state & DFCS_INACTIVE) != 0;
    const bool grayed = (state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
    const TColor inside = inactive || (state & DFCS_PUSHED) || grayed ? clBtnFace : clWindow;
    FillArea(c, r, inside);
    if (state & DFCS_FLAT) {
        c.Brush().SetColor(clBtnShadow);
        c.FrameRect(r);
    } else {
        SunkenEdge(c, r);
    }
    if (state & DFCS_CHECKED)
        CheckMark(c, r, inactive || grayed ? clGrayText : clWindowText);
}

void RadioControl(TCanvas& c, const TRect& r, unsigned state)
{
    const bool inactive = (state & DFCS_INACTIVE) != 0;
    c.Pen().SetStyle(psSolid);
    c.Pen().SetColor(clBtnShadow);
    c.Brush().SetStyle(bsSolid);
    c.Brush().SetColor(inactive || (state & DFCS_PUSHED) ? clBtnFace : clWindow);
    c.Ellipse(r);
    if (!(state & DFCS_FLAT)) {
        // The lower right of the ring in the light colour, as a classic radio has it.
        c.Pen().SetColor(clBtnHighlight);
        const int n = r.Width();
        for (int i = 0; i < n / 3; ++i) {
            c.SetPixel(r.Right - 1 - (n / 3 - 1) + i, r.Bottom - 1 - i - 1, clBtnHighlight);
        }
    }
    if (state & DFCS_CHECKED) {
        const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
        const TColor dot = inactive ? clGrayText : clWindowText;
        SetPenAndBrush(c, dot);
        c.Ellipse(cx - 2, cy - 2, cx + 2, cy + 2);
        c.FillRect(Rect(cx - 1, cy - 2, cx + 1, cy + 2));
        c.FillRect(Rect(cx - 2, cy - 1, cx + 2, cy + 1));
    }
}


// Fills one zone of the XP bar: flat, or in two halves across the bar with
// mirrored gradients.
void FillXPZone(TCanvas& c, const TRect& r, TColor color, TColor colorTo, const TXPProgressLook& look)
{
    if (IsRectEmpty(r))
        return;
    if (!look.ShowGradient) {
        SetPenAndBrush(c, color);
        c.FillRect(r);
        return;
    }
    const int steps = look.Steps;
    if (look.Vertical) {
        const int mid = r.Left + r.Width() / 2;
        DrawGradient(c, colorTo, color, true, Rect(r.Left, r.Top, mid, r.Bottom), steps);
        DrawGradient(c, color, colorTo, true, Rect(mid, r.Top, r.Right, r.Bottom), steps);
    } else {
        const int mid = r.Top + r.Height() / 2;
        DrawGradient(c, colorTo, color, false, Rect(r.Left, r.Top, r.Right, mid), steps);
        DrawGradient(c, color, colorTo, false, Rect(r.Left, mid, r.Right, r.Bottom), steps);
    }
}

} // namespace

// ---------------------------------------------------------------- colours

TColor HalfColor(TColor color)
{
    const TColor c = ColorToRGB(color);
    return RGB(GetRValue(c) >> 1, GetGValue(c) >> 1, GetBValue(c) >> 1);
}

TColor ScaleColor(TColor color, int percent)
{
    const TColor c = ColorToRGB(color);
    auto scale = [percent](int v) { return Clamp255(Round(v + (v * percent) / 100.0)); };
    return RGB(scale(GetRValue(c)), scale(GetGValue(c)), scale(GetBValue(c)));
}

TColor ColorBetween(TColor color1, TColor color2, int a, int b, int c)
{
    if (color2 == clNone || c == a)
        return color1;
    const TColor c1 = ColorToRGB(color1), c2 = ColorToRGB(color2);
    const double span = static_cast<double>(c) - a;
    auto mix = [&](int v1, int v2) { return Clamp255(v1 + Round((v2 - v1) * static_cast<double>(b) / span)); };
    return RGB(mix(GetRValue(c1), GetRValue(c2)), mix(GetGValue(c1), GetGValue(c2)), mix(GetBValue(c1), GetBValue(c2)));
}

// ---------------------------------------------------------------- gradients

void DrawGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, TRect rect, int steps)
{
    if (rect.Top > rect.Bottom)
        std::swap(rect.Top, rect.Bottom);
    if (rect.Bottom == rect.Top || rect.Right <= rect.Left)
        return;
    if (from == clNone || to == clNone) {
        const TColor flat = from == clNone ? to : from;
        if (flat == clNone)
            return;
        SetPenAndBrush(canvas, flat);
        canvas.Rectangle(rect);
        return;
    }
    const TColor f = ColorToRGB(from), t = ColorToRGB(to);
    const int extent = horizontal ? rect.Width() : rect.Height();
    const int span = extent - 1;
    steps = std::clamp(steps, 1, std::max(1, span));
    const double band = static_cast<double>(span) / steps;
    const int dr = GetRValue(t) - GetRValue(f), dg = GetGValue(t) - GetGValue(f), db = GetBValue(t) - GetBValue(f);
    for (int i = 0; i <= steps; ++i) {
        const TColor color = RGB(GetRValue(f) + Round(static_cast<double>(i) * dr / steps),
                                 GetGValue(f) + Round(static_cast<double>(i) * dg / steps),
                                 GetBValue(f) + Round(static_cast<double>(i) * db / steps));
        SetPenAndBrush(canvas, color);
        const int start = static_cast<int>(i * band);
        const int end = std::min(extent, start + static_cast<int>(band + 1));
        if (horizontal)
            canvas.Rectangle(rect.Left + start, rect.Top, rect.Left + end, rect.Bottom);
        else
            canvas.Rectangle(rect.Left, rect.Top + start, rect.Right, rect.Top + end);
    }
}

void DrawSteppedGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& rect, int steps)
{
    if (IsRectEmpty(rect))
        return;
    const int n = std::clamp(steps, 1, 65535);
    int right = rect.Right, bottom = rect.Bottom;
    if (horizontal)
        --right;
    else
        --bottom;
    from = ColorToRGB(from);
    to = ColorToRGB(to);
    const double dr = (GetRValue(to) - GetRValue(from)) / static_cast<double>(n);
    const double dg = (GetGValue(to) - GetGValue(from)) / static_cast<double>(n);
    const double db = (GetBValue(to) - GetBValue(from)) / static_cast<double>(n);
    const double s = (horizontal ? right - rect.Left : bottom - rect.Top) / static_cast<double>(n);
    for (int i = 0; i < n; ++i) {
        const TColor color = RGB(GetRValue(from) + Round(i * dr), GetGValue(from) + Round(i * dg),
                                 GetBValue(from) + Round(i * db));
        SetPenAndBrush(canvas, color);
        const int o = Round(i * s);
        if (horizontal)
            canvas.Rectangle(rect.Left + o, rect.Top, rect.Left + o + Round(s) + 1, bottom);
        else
            canvas.Rectangle(rect.Left, rect.Top + o, right, rect.Top + o + Round(s) + 1);
    }
}

void DrawGradientBackground(TCanvas& canvas, const TRect& rect, TColor color, bool fill, bool twoLines,
                            TColor frameColor, bool vertical, TColor mirrorTo, TColor mirrorFrom, TColor colorTo)
{
    if (fill && color != clNone) {
        if (mirrorFrom == clNone) {
            if (colorTo == clNone) {
                canvas.Pen().SetWidth(1);
                SetPenAndBrush(canvas, color);
                canvas.Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom + 1);
            } else {
                DrawGradient(canvas, color, colorTo, !vertical, rect, 128);
            }
        } else if (vertical) {
            const int mid = rect.Top + rect.Height() / 2;
            DrawGradient(canvas, color, colorTo, false, Rect(rect.Left, rect.Top, rect.Right, mid), 128);
            DrawGradient(canvas, mirrorFrom, mirrorTo, false, Rect(rect.Left, mid, rect.Right, rect.Bottom), 128);
        } else {
            const int mid = rect.Left + rect.Width() / 2;
            DrawGradient(canvas, color, colorTo, true, Rect(rect.Left, rect.Top, mid, rect.Bottom), 128);
            DrawGradient(canvas, mirrorFrom, mirrorTo, true, Rect(mid, rect.Top, rect.Right, rect.Bottom), 128);
        }
    }
    if (frameColor != clNone) {
        if (twoLines) {
            Line(canvas, frameColor, rect.Left, rect.Top, rect.Left, rect.Bottom);
            Line(canvas, frameColor, rect.Right - 1, rect.Top, rect.Right - 1, rect.Bottom);
        } else {
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(frameColor);
            canvas.FrameRect(rect);
        }
    }
}

void DrawSolidFill(TCanvas& canvas, TColor color, const TRect& rect) { FillArea(canvas, rect, color); }

void DrawRoundFrame(TCanvas& canvas, TColor colorFrom, TColor colorTo, int kind, const TRect& rect,
                    TColor outerCornerColor, TColor innerCornerColor, TColor borderColor, TColor lowerInnerColor,
                    TColor upperInnerColor, TColor mirrorTo, TColor mirrorFrom)
{
    const int L = rect.Left, T = rect.Top, R = rect.Right - 1, B = rect.Bottom - 2;
    const int M = T + (B - T) / 2;
    const bool leftClosed = kind == 0 || kind == 1;
    const bool rightClosed = kind == 0 || kind == 2;
    auto& c = canvas;

    Line(c, upperInnerColor, L, T + 1, R, T + 1);
    if (leftClosed)
        Line(c, L + 1, T + 1, L + 1, M);
    if (rightClosed)
        Line(c, R - 2, T + 1, R - 2, M);

    Line(c, lowerInnerColor, L, B - 1, R, B - 1);
    if (leftClosed)
        Line(c, L + 1, M, L + 1, B - 1);
    if (rightClosed)
        Line(c, R - 2, M, R - 2, B - 1);

    const int li = kind == 2 || kind == 3 ? 0 : 2;
    const int ri = kind == 1 || kind == 3 ? 0 : 2;
    Line(c, borderColor, L + li, T, R - ri, T);
    Line(c, L + li, B, R - ri, B);
    if (rightClosed)
        Line(c, R - 1, T + 2, R - 1, B - 1);
    if (leftClosed)
        Line(c, L, T + 2, L, B - 1);

    if (leftClosed) {
        for (const TPoint p : {Point(L + 1, T), Point(L + 1, T + 1), Point(L, T + 1), Point(L + 1, B),
                               Point(L + 1, B - 1), Point(L, B - 1)})
            c.SetPixel(p.X, p.Y, innerCornerColor);
        c.SetPixel(L, T, outerCornerColor);
        c.SetPixel(L, B, outerCornerColor);
    }
    if (rightClosed) {
        for (const TPoint p : {Point(R - 2, T), Point(R - 2, T + 1), Point(R - 1, T + 1), Point(R - 2, B),
                               Point(R - 2, B - 1), Point(R - 1, B - 1)})
            c.SetPixel(p.X, p.Y, innerCornerColor);
        c.SetPixel(R - 1, T, outerCornerColor);
        c.SetPixel(R - 1, B, outerCornerColor);
    }

    const TRect inside = Rect(L + li, T + 2, R - ri, B - 1);
    if (IsRectEmpty(inside))
        return;
    if (colorTo == clNone) {
        FillArea(c, inside, colorFrom);
    } else if (mirrorFrom == clNone) {
        DrawGradient(c, colorFrom, colorTo, false, inside, 16);
    } else {
        const int mid = inside.Top + inside.Height() / 2;
        DrawGradient(c, colorFrom, colorTo, false, Rect(inside.Left, inside.Top, inside.Right, mid), 16);
        DrawGradient(c, mirrorFrom, mirrorTo, false, Rect(inside.Left, mid, inside.Right, inside.Bottom), 16);
    }
}

// ---------------------------------------------------------------- frame controls

void DrawFrameControl(TCanvas& canvas, const TRect& rect, unsigned type, unsigned state)
{
    if (IsRectEmpty(rect))
        return;
    const bool inactive = (state & DFCS_INACTIVE) != 0;
    const int shift = (state & DFCS_PUSHED) && !(state & DFCS_FLAT) ? 1 : 0;
    if (type == DFC_BUTTON) {
        const unsigned kind = state & 0x1F;
        if (kind == DFCS_BUTTONPUSH)
            PushFrame(canvas, rect, state);
        else if (kind & DFCS_BUTTONRADIO)
            RadioControl(canvas, rect, state);
        else
            CheckBoxControl(canvas, rect, state);
        return;
    }
    if (type != DFC_SCROLL)
        return;
    PushFrame(canvas, rect, state & ~DFCS_CHECKED);
    const bool up = (state & 0xF) == DFCS_SCROLLUP;
    if (inactive) {
        Arrow(canvas, rect, up, clBtnHighlight, 1);
        Arrow(canvas, rect, up, clGrayText, 0);
    } else {
        Arrow(canvas, rect, up, clBtnText, shift);
    }
}

// ---------------------------------------------------------------- cell buttons

void DrawComboButton(TCanvas& canvas, const QWidget* window, const TRect& rect, const TColorTones& tones, int state,
                     int look)
{
    TRect r = Rect(rect.Right - 17 - 2, rect.Top + 1, rect.Right - 2, rect.Bottom - 1);
    const bool disabled = state == 3;
    if (look == 0 && DrawThemed(canvas, window, "combobox", platform::CP_DROPDOWNBUTTON,
                                disabled ? platform::CBXS_DISABLED : platform::CBXS_NORMAL, r))
        return;
    if (look == 0 || look == 1 || look == 2) {
        unsigned flags = DFCS_SCROLLCOMBOBOX | (disabled ? DFCS_INACTIVE : 0u);
        if (look == 2)
            flags |= DFCS_FLAT;
        DrawFrameControl(canvas, r, DFC_SCROLL, flags);
        return;
    }
    r.Left += 3;
    const TColorTone& tone = ToneOf(tones, state);
    SetPenAndBrush(canvas, tone.BrushColor);
    canvas.Rectangle(r);
    Line(canvas, tones.Background.BorderColor, r.Left + 1, r.Top, r.Left + 1, r.Bottom);
    SetPenAndBrush(canvas, tones.Background.TextColor);
    canvas.Polygon({Point(r.Left + 5, r.Top + 8), Point(r.Left + 11, r.Top + 8), Point(r.Left + 8, r.Top + 11)});
}

void DrawCellButton(TCanvas& canvas, const QWidget* window, const TRect& rect, const TColorTones& tones, int state,
                    int look)
{
    const int s = std::clamp(state, 0, 3);
    if (look == 0 && DrawThemed(canvas, window, "button", platform::BP_PUSHBUTTON, s + 1, rect))
        return;
    if (look == 0 || look == 1 || look == 2) {
        unsigned flags = DFCS_BUTTONPUSH;
        if (s == 1)
            flags |= DFCS_HOT;
        else if (s == 2)
            flags |= DFCS_PUSHED;
        else if (s == 3)
            flags |= DFCS_INACTIVE;
        if (look == 2)
            flags |= DFCS_FLAT;
        DrawFrameControl(canvas, rect, DFC_BUTTON, flags);
        return;
    }
    const TColorTone& tone = ToneOf(tones, s);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(tone.BrushColor);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetColor(tone.BorderColor);
    canvas.Rectangle(rect);
}

void DrawSpinButtons(TCanvas& canvas, const QWidget* window, const TRect& rect, const TColorTones& tones, int state,
                     int look)
{
    const TRect r = Rect(rect.Right - 15 - 1, rect.Top - 1, rect.Right - 1, rect.Bottom - 1);
    const int m = r.Top + r.Height() / 2;
    const TRect up = Rect(r.Left, r.Top, r.Right, m);
    const bool disabled = state == 3;
    if (look == 0 && ExXPVS::ThemesAvailable()) {
        const TRect down0 = Rect(r.Left, m, r.Right, r.Bottom);
        const bool a = DrawThemed(canvas, window, "spin", platform::SPNP_UP,
                                  disabled ? platform::UPS_DISABLED : platform::UPS_NORMAL, up);
        const bool b = DrawThemed(canvas, window, "spin", platform::SPNP_DOWN,
                                  disabled ? platform::DNS_DISABLED : platform::DNS_NORMAL, down0);
        if (a && b)
            return;
    }
    const TRect down = Rect(r.Left, m + 1, r.Right, r.Bottom);
    if (look == 0 || look == 1 || look == 2) {
        unsigned flags = (disabled ? DFCS_INACTIVE : 0u) | (look == 2 ? DFCS_FLAT : 0u);
        DrawFrameControl(canvas, up, DFC_SCROLL, DFCS_SCROLLUP | flags);
        DrawFrameControl(canvas, down, DFC_SCROLL, DFCS_SCROLLDOWN | flags);
        return;
    }
    const TColorTone& tone = ToneOf(tones, state);
    SetPenAndBrush(canvas, tone.BrushColor);
    canvas.Rectangle(up);
    canvas.Rectangle(down);
    SetPenAndBrush(canvas, clBlack);
    canvas.Polygon({Point(up.Left + 5, up.Top + 5), Point(up.Left + 9, up.Top + 5), Point(up.Left + 7, up.Top + 3)});
    canvas.Polygon(
        {Point(down.Left + 5, down.Top + 1), Point(down.Left + 9, down.Top + 1), Point(down.Left + 7, down.Top + 3)});
}

void DrawSmallTriangle(TCanvas& canvas, int x, int y, TColor color)
{
    SetPenAndBrush(canvas, color);
    canvas.Polygon({Point(x - 3, y), Point(x + 3, y), Point(x, y + 3)});
}

// ---------------------------------------------------------------- progress

void DrawProgress(TCanvas& canvas, TRect rect, TColor doneColor, bool yAxisUp, TColor borderColor,
                  const QString& format, int maximum, int minimum, int verticalInset, int horizontalInset,
                  double value, TColor restTextColor, TColor restColor, TColor doneTextColor)
{
    const TColor background = canvas.Brush().Color();
    QString text;
    long long percentage = 0;
    if (format.isEmpty()) {
        percentage = static_cast<long long>(std::nearbyint(value));
        text = QString::number(percentage) + QLatin1Char('%');
    } else {
        const bool integral = format.contains(u'd') || format.contains(u'u');
        text = FormatFloatText(format, integral ? std::nearbyint(value) : value);
        // An empty range has no place in it: 0 %.
        if (maximum != minimum)
            percentage = static_cast<long long>(
                std::nearbyint((value - minimum) * 100.0 / (static_cast<double>(maximum) - minimum)));
    }
    const int pct = static_cast<int>(std::clamp<long long>(percentage, 0, 100));

    InflateRect(rect, -horizontalInset, -verticalInset);
    const int doneRight = rect.Left + Round(rect.Width() * pct / 100.0);
    const int tw = canvas.TextWidth(text), th = canvas.TextHeight(text);
    const int s = yAxisUp ? -1 : 1;
    const int x = rect.Left + (rect.Width() - tw) / 2;
    const int y = rect.Top + (rect.Height() - th * s) / 2;

    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(doneColor);
    canvas.Font().SetColor(doneTextColor);
    canvas.TextRect(Rect(rect.Left, rect.Top, doneRight, rect.Bottom), x, y, text);
    canvas.Brush().SetColor(restColor);
    canvas.Font().SetColor(restTextColor);
    canvas.TextRect(Rect(doneRight, rect.Top, rect.Right, rect.Bottom), x, y, text);

    InflateRect(rect, 1, 1);
    if (borderColor != clNone) {
        canvas.Brush().SetColor(borderColor);
        canvas.FrameRect(rect);
    }
    InflateRect(rect, 1, 1);
    canvas.Brush().SetColor(background);
    canvas.FrameRect(rect);
}

void DrawProgressPie(TCanvas& canvas, const TRect& rect, TColor fillColor, bool yAxisUp, int percentage)
{
    // The sector is filled as a polygon rather than flood-filled from a seed
    // point: a seed misses thin sectors, and screen canvases cannot be read.
    // So the seed's side of the top for an upward axis plays no part.
    (void)yAxisUp;
    if (IsRectEmpty(rect))
        return;
    const TColor grey = 0x808080;
    const int w = rect.Width(), h = rect.Height();
    const int cx = rect.Left + w / 2, cy = rect.Top + h / 2;
    const double rx = (w + 1) / 2.0, ry = (h + 1) / 2.0;
    const double angle = percentage / 100.0 * 2 * M_PI;
    const TPoint end = Point(cx + Round(rx * std::sin(angle)), cy - Round(ry * std::cos(angle)));

    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetColor(grey);
    canvas.Ellipse(rect);
    if (percentage != 0) {
        const double sweep = std::clamp(percentage, -100, 100) / 100.0 * 2 * M_PI;
        // Radii a little inside the outline, so the outline stays whole.
        const double ex = (w - 1) / 2.0, ey = (h - 1) / 2.0;
        const double ox = rect.Left + ex, oy = rect.Top + ey;
        std::vector<TPoint> points{Point(cx, cy)};
        const int n = std::max(2, static_cast<int>(std::abs(sweep) / (M_PI / 90)));
        for (int i = 0; i <= n; ++i) {
            const double t = sweep * i / n;
            points.push_back(Point(Round(ox + ex * std::sin(t)), Round(oy - ey * std::cos(t))));
        }
        SetPenAndBrush(canvas, fillColor);
        canvas.Polygon(points);
        canvas.Pen().SetColor(grey);
        canvas.Brush().SetStyle(bsClear);
        canvas.Ellipse(rect);
        canvas.Brush().SetColor(fillColor);
    }
    canvas.Pen().SetColor(grey);
    Line(canvas, cx, rect.Top, cx, cy);
    canvas.LineTo(end.X, end.Y);
}

void DrawXPProgress(TCanvas& canvas, const TRect& rect, int percentage, const TXPProgressLook& look)
{
    if (IsRectEmpty(rect))
        return;
    const int p = std::clamp(percentage, -1, 100);
    const int L = (look.Vertical ? rect.Height() : rect.Width()) - 2;
    const TColor outline = look.ShowBorder ? look.BorderColor : look.BackgroundColor;
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(look.BackgroundColor);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetColor(outline);
    canvas.Rectangle(rect);

    // A zone from `start` along the bar, `length` long, `inset` pixels in
    // from the bar's long sides.
    auto zone = [&](int start, int length, int inset, TColor color, TColor colorTo) {
        start = std::clamp(start, 0, L);
        length = std::clamp(length, 0, L - start);
        if (length <= 0)
            return;
        TRect z;
        if (look.Vertical)
            z = Rect(rect.Left + inset, rect.Bottom - 1 - start - length, rect.Right - inset, rect.Bottom - 1 - start);
        else
            z = Rect(rect.Left + 1 + start, rect.Top + inset, rect.Left + 1 + start + length, rect.Bottom - inset);
        FillXPZone(canvas, z, color, colorTo, look);
    };

    if (p > 0) {
        if (look.Stacked) {
            const int l1 = p < look.Level1Perc ? Round(p / 100.0 * L) : Round(look.Level1Perc / 100.0 * L);
            zone(0, l1, 1, look.Level0Color, look.Level0ColorTo);
            if (p >= look.Level1Perc) {
                const int l2 = p < look.Level2Perc ? Round(L * (p - look.Level1Perc) / 100.0)
                                                   : Round(L * (look.Level2Perc - look.Level1Perc) / 100.0);
                zone(l1, l2, 1, look.Level1Color, look.Level1ColorTo);
                if (p >= look.Level2Perc) {
                    const int l3 = p == 100 ? L - l1 - l2 : Round(L * (p - look.Level2Perc) / 100.0);
                    zone(l1 + l2 + (look.Vertical ? 1 : 0), l3, 1, look.Level3Color, look.Level3ColorTo);
                }
            }
        } else {
            TColor color = look.Level2Color, colorTo = look.Level2ColorTo;
            if (p < look.Level1Perc) {
                color = look.Level0Color;
                colorTo = look.Level0ColorTo;
            } else if (p < look.Level2Perc) {
                color = look.Level1Color;
                colorTo = look.Level1ColorTo;
            } else if (p > 99) {
                color = look.Level3Color;
                colorTo = look.Level3ColorTo;
            }
            if (look.CompletionSmooth) {
                zone(0, Round(p / 100.0 * L), 1, color, colorTo);
            } else {
                // 7-pixel blocks with 2-pixel gaps; offsets from the bar's start edge.
                const int t = Round(p * L / 100.0);
                auto block = [&](int from, int to) { zone(from - 1, to - from, 2, color, colorTo); };
                if (t > 9) {
                    int end = 0;
                    for (int k = 0; k < t / 9; ++k) {
                        block(end + 2, end + 9);
                        end += 9;
                    }
                    const int rest = t % 9;
                    if (rest > 2)
                        block(end + 2, end + rest + 1);
                } else if (t >= 2) {
                    block(2, t + 1);
                }
            }
        }
    }

    if (look.ShowPercentage) {
        const QString text = QString::number(std::max(p, 0)) + QLatin1Char('%');
        TFont font;
        font.SetName(look.Font.Name());
        font.SetHeight(look.Font.Height());
        font.SetStyle(look.Font.Style());
        font.SetColor(look.FontColor);
        canvas.SetFont(font);
        canvas.Brush().SetStyle(bsClear);
        const int tw = canvas.TextWidth(text), th = canvas.TextHeight(text);
        const int cx = rect.Left + rect.Width() / 2, cy = rect.Top + rect.Height() / 2;
        if (look.Vertical) {
            canvas.Font().SetOrientation(900);
            canvas.TextOut(cx - th / 2, cy + tw / 2, text);
        } else {
            canvas.TextOut(cx - tw / 2, cy - th / 2, text);
        }
    }
    canvas.Pen().SetColor(outline);
    canvas.Brush().SetStyle(bsClear);
    canvas.Rectangle(rect);
}

void DrawRangeIndicator(TCanvas& canvas, TRect rect, int value, TColor positiveColor, TColor negativeColor,
                        bool showValue, int range)
{
    // An empty range has nothing to show.
    if (range <= 0)
        return;
    InflateRect(rect, -2, -2);
    const int c = rect.Width() / 2;
    const int centre = rect.Left + c;
    const int v = std::clamp(value, -range, range);
    const int x = Round(static_cast<double>(c) * v / range);
    if (v < 0) {
        SetPenAndBrush(canvas, negativeColor);
        canvas.Rectangle(centre + x, rect.Top, centre, rect.Bottom);
    } else {
        SetPenAndBrush(canvas, positiveColor);
        canvas.Rectangle(centre, rect.Top, centre + x, rect.Bottom);
    }
    if (showValue) {
        canvas.Brush().SetStyle(bsClear);
        TRect t = rect;
        canvas.DrawText(QString::number(v), t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

void DrawErrorUnderline(const QWidget* owner, TCanvas& canvas, const QString& text, int length, int first,
                        int verticalOffset, const TRect& rect)
{
    (void)owner; // the positions come from the canvas font, as a single-line edit would place the characters
    const int n = static_cast<int>(text.size());
    auto position = [&](int index) {
        if (index >= 0 && index < n)
            return canvas.TextWidth(text.left(index));
        return (n > 0 ? canvas.TextWidth(text.left(n - 1)) : 0) + 4;
    };
    const int startX = position(first);
    const int endX = position(first + length - 1);
    const int startY = 0, endY = 0;
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetColor(clRed);
    canvas.Pen().SetWidth(2);
    int x = rect.Left + startX;
    canvas.MoveTo(x, rect.Top + startY + verticalOffset + 3);
    bool low = false;
    while (x <= rect.Left + endX) {
        x += 3;
        canvas.LineTo(x, rect.Top + endY + verticalOffset + (low ? 3 : 0));
        low = !low;
    }
    x += 3;
    canvas.LineTo(x, rect.Top + endY + verticalOffset + (low ? 3 : 0));
    canvas.Pen().SetWidth(1);
}

// ---------------------------------------------------------------- bitmaps

void DrawTransparentBitmap(TCanvas& canvas, const TBitmap& bitmap, TColor background, const TRect& rect)
{
    if (bitmap.Empty())
        return;
    const TRect all = Rect(0, 0, bitmap.Width(), bitmap.Height());
    TBitmap copy(bitmap.Width(), bitmap.Height());
    const TColor key = FromQColor(QColor::fromRgb(bitmap.Image().pixel(0, 0)));
    copy.Canvas().Brush().SetColor(background);
    copy.Canvas().BrushCopy(all, bitmap, all, key);
    canvas.Draw(rect.Left, rect.Top, copy);
}

void DrawBitmapResource(TCanvas& canvas, TColor background, const TRect& rect, const QString& name)
{
    TBitmap bitmap;
    LoadBitmapResource(bitmap, name);
    DrawTransparentBitmap(canvas, bitmap, background, rect);
}

void LoadBitmapResource(platform::TBitmap& bitmap, const QString& name)
{
    // Resources are kept under their bare names, as the program's module
    // names them; the reader finds the format from the contents.
    QImageReader reader(QStringLiteral(":/bitmaps/") + name);
    QImage image;
    if (name.isEmpty() || !reader.read(&image) || image.isNull())
        throw std::runtime_error(QStringLiteral("Resource %1 not found").arg(name).toStdString());
    bitmap.SetImage(image);
}

// ---------------------------------------------------------------- shapes

void DrawCellShape(TCanvas& canvas, int left, int top, TColor penColor, TColor brushColor, TCellShape shape,
                   int height, int width)
{
    const int kind = static_cast<int>(shape);
    if (kind < 0 || kind > static_cast<int>(csHalfStar))
        return;
    if (shape == csCircle || shape == csSquare || shape == csRoundSquare)
        width = height = std::min(width, height);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetColor(penColor);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(brushColor);
    const int w = width, h = height, cw = w / 2, ch = h / 2;
    const int right = left + w, bottom = top + h;
    auto star = [&](std::initializer_list<int> ks) {
        std::vector<TPoint> pts;
        for (int k : ks) {
            const double a = k * 0.2 * M_PI;
            const double rx = k % 2 == 0 ? cw : cw / 3.0, ry = k % 2 == 0 ? ch : ch / 3.0;
            pts.push_back(Point(left + cw + Round(std::sin(a) * rx), top + ch - Round(std::cos(a) * ry)));
        }
        canvas.Polygon(pts);
    };
    const int v = w - w % 2, q = v / 4;
    const int u = h - h % 2, r = u / 4;
    switch (shape) {
    case csRectangle:
    case csSquare: canvas.Rectangle(left + 1, top + 1, left + w - 1, top + h - 1); break;
    case csCircle:
    case csEllips: canvas.Ellipse(left, top, left + w, top + h); break;
    case csRoundRect:
    case csRoundSquare: canvas.RoundRect(left, top, left + w, top + h, 10, 10); break;
    case csTriangleLeft: canvas.Polygon({Point(right, top), Point(right, bottom), Point(left, top + ch)}); break;
    case csTriangleRight: canvas.Polygon({Point(left, top), Point(left, bottom), Point(right, top + ch)}); break;
    case csTriangleUp: canvas.Polygon({Point(left, bottom), Point(right, bottom), Point(left + cw, top)}); break;
    case csTriangleDown: canvas.Polygon({Point(left, top), Point(right, top), Point(left + cw, bottom)}); break;
    case csDiamond:
        canvas.Polygon({Point(left, top + ch), Point(left + cw, top), Point(left + 2 * cw, top + ch),
                        Point(left + cw, top + 2 * ch)});
        break;
    case csLineVert: canvas.Rectangle(left + cw, top, left + cw + 1, top + h); break;
    case csLineHorz: canvas.Rectangle(left, top + ch, left + w, top + ch + 1); break;
    case csStar: star({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}); break;
    case csHalfStar: star({0, 5, 6, 7, 8, 9}); break;
    case csArrowUp:
        canvas.Polygon({Point(left, top + ch), Point(left + v / 2, top), Point(left + v, top + ch),
                        Point(left + 3 * q, top + ch), Point(left + 3 * q, bottom), Point(left + q, bottom),
                        Point(left + q, top + ch)});
        break;
    case csArrowDown:
        canvas.Polygon({Point(left, top + ch), Point(left + v / 2, bottom), Point(left + v, top + ch),
                        Point(left + 3 * q, top + ch), Point(left + 3 * q, top), Point(left + q, top),
                        Point(left + q, top + ch)});
        break;
    case csArrowLeft:
        canvas.Polygon({Point(left, top + u / 2), Point(left + cw, top), Point(left + cw, top + r),
                        Point(right, top + r), Point(right, top + 3 * r), Point(left + cw, top + 3 * r),
                        Point(left + cw, top + u)});
        break;
    case csArrowRight:
        canvas.Polygon({Point(right, top + u / 2), Point(left + cw, top), Point(left + cw, top + r),
                        Point(left, top + r), Point(left, top + 3 * r), Point(left + cw, top + 3 * r),
                        Point(left + cw, top + u)});
        break;
    }
}

// ---------------------------------------------------------------- layered windows

bool CallUpdateLayeredWindow(QWidget* window, TCanvas* destination, const TPoint* destinationPos, const TSize* size,
                             TCanvas* source, const TPoint* sourcePos, TColor colorKey, const TBlendFunction* blend,
                             unsigned flags)
{
    // The desktop has no such function; its absence answers true.
    return true;
}

bool CallSetLayeredWindowAttributes(QWidget* window, TColor colorKey, unsigned char alpha, unsigned flags)
{
    return true;
}
