// Drawing helpers, the gradient push button and the drop-down button.
#include "controls/ExDropDown.h"

#include "widgets/EsgHTMLE.h"

#include <QCursor>
#include <QFocusEvent>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

int Round(double x)
{
    return static_cast<int>(std::nearbyint(x));
}

} // namespace

TColor BlendColor(TColor a, TColor b, int p)
{
    if (p >= 100)
        return a;
    if (p <= 0)
        return b;
    const double x = p / 100.0;
    const TColor ra = ColorToRGB(a), rb = ColorToRGB(b);
    auto mix = [x](int ca, int cb) { return Round(x * ca + (1.0 - x) * cb) & 0xFF; };
    return RGB(mix(GetRValue(ra), GetRValue(rb)), mix(GetGValue(ra), GetGValue(rb)), mix(GetBValue(ra), GetBValue(rb)));
}

TColor ScaleColorChannels(TColor color, int dr, int dg, int db)
{
    const TColor c = ColorToRGB(color);
    auto scale = [](int v, int d) {
        if (v > 0)
            return Round(v * std::min(100, 100 + d) / 100.0) & 0xFF;
        return std::max(0, d) & 0xFF;
    };
    return RGB(scale(GetRValue(c), dr), scale(GetGValue(c), dg), scale(GetBValue(c), db));
}

void DrawGradientBox(TCanvas* canvas, const TRect& rect, TColor color, TColor colorTo, TColor borderColor,
                     int borderWidth, bool vertical)
{
    if (!canvas)
        return;
    if (colorTo != clNone) {
        DrawSteppedGradient(*canvas, color, colorTo, !vertical, rect, 80);
    } else if (color != clNone) {
        canvas->Brush().SetStyle(TBrushStyle::bsSolid);
        canvas->Brush().SetColor(color);
        canvas->FillRect(rect);
    }
    if (borderColor != clNone && borderWidth > 0) {
        canvas->Brush().SetStyle(TBrushStyle::bsClear);
        canvas->Pen().SetWidth(borderWidth);
        canvas->Pen().SetColor(borderColor);
        canvas->Rectangle(rect);
    }
}

void DrawImageAndText(TCanvas* canvas, TRect rect, const QString& text, const TImageList* images, int imageIndex)
{
    if (!canvas)
        return;
    unsigned flags = DT_CENTER;
    if (imageIndex >= 0 && images) {
        images->Draw(*canvas, rect.Left + 4, rect.Top + (rect.Height() - images->Height()) / 2, imageIndex, true);
        rect.Left = rect.Left + images->Width() + 8;
        flags = DT_LEFT;
    }
    if (!text.isEmpty()) {
        canvas->Brush().SetStyle(TBrushStyle::bsClear);
        canvas->DrawText(text, rect, flags | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
}

void DrawGlyphOnColor(TCanvas& canvas, const TBitmap& bitmap, TColor background, const TRect& rect)
{
    TBitmap temp(bitmap.Width(), bitmap.Height());
    temp.Canvas().Brush().SetColor(background);
    const TRect source = Rect(0, 0, rect.Width(), rect.Height());
    TBitmap src(bitmap);
    const TColor transparent = src.Canvas().Pixel(0, 0);
    temp.Canvas().BrushCopy(source, bitmap, source, transparent);
    canvas.CopyRect(rect, temp.Canvas(), source);
}

TSize GetCanvasTextSize(TCanvas& canvas, const QString& text)
{
    if (text.isEmpty())
        return TSize{0, 0};
    TRect r = Rect(0, 0, 1000, 500);
    canvas.DrawText(text, r, DT_CALCRECT | DT_SINGLELINE);
    return TSize{r.Right, r.Bottom};
}

QString FitTextToWidth(TCanvas& canvas, const QString& text, int maxWidth, bool ellipsis)
{
    if (GetCanvasTextSize(canvas, text).cx <= maxWidth)
        return text;
    for (int k = 1; k <= text.size(); ++k) {
        QString candidate = text.left(text.size() - k);
        if (ellipsis)
            candidate += QStringLiteral("...");
        if (GetCanvasTextSize(canvas, candidate).cx < maxWidth)
            return candidate;
    }
    return text;
}

TSize DrawHTMLCaption(TCanvas& canvas, const QString& text, const TRect& rect, const TImageList* images, bool paint,
                      const QWidget* window)
{
    if (text.isEmpty())
        return TSize{0, 0};
    THTMLDrawOptions options;
    options.Window = window;
    options.Images = images;
    options.ShadowColor = clGray;
    options.ShadowOffset = 0;
    options.AnchorColor = clBlue;
    options.AnchorHoverColor = clNone;
    options.AnchorHoverBackColor = clNone;
    options.MeasureOnly = !paint;
    THTMLDrawResult result;
    DrawHTMLText(canvas, text, rect, options, result);
    return TSize{result.Width, result.Height};
}

QString MatchCaseText(const QString& text, bool caseSensitive)
{
    return caseSensitive ? text : text.toUpper();
}

bool StartsWithMatchCase(QStringView text, const QString& prefix, bool caseSensitive)
{
    if (caseSensitive)
        return text.startsWith(prefix);
    // ASCII upper-cases one character for one, so while both sides are ASCII
    // the comparison goes character by character; past that (a character
    // may become two, as the sharp s does) the whole text is upper-cased.
    const qsizetype n = prefix.size();
    const QChar* t = text.data();
    const QChar* p = prefix.constData();
    qsizetype i = 0;
    for (; i < n && i < text.size(); ++i) {
        const char16_t a = t[i].unicode();
        const char16_t b = p[i].unicode();
        if (a >= 0x80 || b >= 0x80)
            return text.toString().toUpper().startsWith(prefix);
        if ((a >= u'a' && a <= u'z' ? char16_t(a - 32) : a) != b)
            return false;
    }
    return i == n;
}

// ---------------------------------------------------------------------------
// TExButtonAppearance
// ---------------------------------------------------------------------------

TExButtonAppearance::TExButtonAppearance()
    : FBorderColor(clNone), FBorderColorHot(clGray), FBorderColorDown(clNavy), FBorderColorDisabled(clGray),
      FBorderColorChecked(clBlue), FColor(clNone), FColorTo(clNone), FColorDown(0xF5D8CA), FColorDownTo(0xF9BDA0),
      FColorHot(0xF5F0E1), FColorHotTo(0xF9D2B2), FColorChecked(ScaleColorChannels(0xF5F0E1, -10, -10, 0)),
      FColorCheckedTo(ScaleColorChannels(0xF9D2B2, -10, -10, 0)), FColorDisabled(0xF2F2F2),
      FColorDisabledTo(clNone)
{
    FFont.SetName(QStringLiteral("Tahoma"));
}

void TExButtonAppearance::Assign(const TExButtonAppearance* s)
{
    if (!s)
        return;
    SetColor(s->FColor);
    SetColorTo(s->FColorTo);
    SetColorHot(s->FColorHot);
    SetColorHotTo(s->FColorHotTo);
    SetColorDown(s->FColorDown);
    SetColorDownTo(s->FColorDownTo);
    FColorChecked = s->FColorChecked;
    FColorCheckedTo = s->FColorCheckedTo;
    SetColorDisabled(s->FColorDisabled);
    SetColorDisabledTo(s->FColorDisabledTo);
    SetBorderColor(s->FBorderColor);
    SetBorderColorHot(s->FBorderColorHot);
    SetBorderColorDown(s->FBorderColorDown);
    FBorderColorChecked = s->FBorderColorChecked;
    SetBorderColorDisabled(s->FBorderColorDisabled);
    SetGradient(s->FGradient);
}

// ---------------------------------------------------------------------------
// TExButton
// ---------------------------------------------------------------------------

namespace {
constexpr int kUnHotTimer = 1;
}

TExButton::TExButton(QWidget* parent) : TCustomControl(parent)
{
    setGeometry(0, 0, 23, 22);
    TFont f = Font();
    f.SetName(QStringLiteral("Tahoma"));
    SetFont(f);
    setAttribute(Qt::WA_NoSystemBackground, false);
    setAutoFillBackground(false);
}

void TExButton::SetEnabled(bool e)
{
    TCustomControl::SetEnabled(e);
    update();
}

void TExButton::AutoSizeButton()
{
    if (!FAppearance)
        return;
    TBitmap measure(1, 1);
    measure.Canvas().SetFont(FAppearance->Font());
    TSize s = GetCanvasTextSize(measure.Canvas(), FCaption);
    if (FImages && FImageIndex >= 0) {
        s.cx = std::max(s.cx, FImages->Width());
        s.cy = std::max(s.cy, FImages->Height());
    }
    SetBounds(Left(), Top(), s.cx + 8, s.cy + 4);
}

TExButton::TLook TExButton::CurrentLook() const
{
    const TExButtonAppearance* a = FAppearance;
    if (!a)
        return {clNone, clNone, clNone};
    if (!Enabled())
        return {a->ColorDisabled(), a->ColorDisabledTo(), a->BorderColorDisabled()};
    if (FMouseDownInControl && FMouseInControl)
        return {a->ColorDown(), a->ColorDown(), a->BorderColorDown()};
    if (FMouseInControl || hasFocus())
        return {a->ColorHot(), a->ColorHot(), a->BorderColorHot()};
    return {a->Color(), a->ColorTo(), a->BorderColor()};
}

void TExButton::Paint()
{
    if (!Enabled()) {
        FState = absDisabled;
        FDragging = false;
    } else if (FState == absDisabled) {
        FState = absUp;
    }
    // Without a face colour the parent's background shows through: a child
    // widget that fills nothing is drawn over what its parent painted.
    DrawButton(Canvas());
}

void TExButton::DrawButton(TCanvas& canvas)
{
    if (!FAppearance)
        return;
    const TRect r = ClientRect();
    const TLook look = CurrentLook();
    DrawGradientBox(&canvas, r, look.From, look.To, look.Frame, 1, FAppearance->Gradient() == gdVertical);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.SetFont(FAppearance->Font());
    DrawImageAndText(&canvas, r, FCaption, FImages, FImageIndex);
}

void TExButton::MouseEnter()
{
    TCustomControl::MouseEnter();
    FMouseInControl = true;
    if (Enabled())
        update();
    SetTimer(kUnHotTimer, 1);
}

void TExButton::MouseLeave()
{
    TCustomControl::MouseLeave();
    KillTimer(kUnHotTimer);
    FMouseInControl = false;
    FHot = false;
    if (Enabled())
        update();
}

void TExButton::WndProc(TMessage& m)
{
    if (m.Msg == WM_TIMER && m.WParam == kUnHotTimer)
        UnHotTimerTick();
}

void TExButton::UnHotTimerTick()
{
    // Leaving the button without a leave notification still ends the hot look.
    if (!rect().contains(mapFromGlobal(QCursor::pos())) && !underMouse()) {
        KillTimer(kUnHotTimer);
        FMouseInControl = false;
        FHot = false;
        if (Enabled())
            update();
    }
}

void TExButton::UpdateTracking()
{
    if (!Enabled())
        return;
    if (underMouse()) {
        if (!FMouseInControl)
            MouseEnter();
    } else if (FMouseInControl) {
        MouseLeave();
    }
}

void TExButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) {
        FMouseDownInControl = true;
        FMouseInControl = true;
        FState = absDown;
        update();
        FDragging = true;
    }
}

void TExButton::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (FDragging) {
        const bool inside = x >= 0 && x < width() && y >= 0 && y <= height();
        const TExButtonState s = inside ? absDown : absUp;
        FMouseInControl = inside;
        if (s != FState) {
            FState = s;
            update();
        }
    } else if (!FMouseInControl) {
        UpdateTracking();
    }
}

void TExButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    FMouseDownInControl = false;
    update();
    if (FDragging) {
        FDragging = false;
        FState = absUp;
        FMouseInControl = false;
        FHot = false;
        update();
    }
    // The platform raises the click on a release inside the button.
    TCustomControl::MouseUp(button, shift, x, y);
    UpdateTracking();
}

void TExButton::KeyDown(int& key, TShiftState shift)
{
    if (key == VK_RETURN || key == VK_SPACE) {
        FState = absDown;
        update();
        FInternalClick = true;
        Click();
        FInternalClick = false;
    }
    TCustomControl::KeyDown(key, shift);
}

bool TExButton::DialogChar(QChar ch)
{
    if (Enabled() && !ch.isNull() && AcceleratorOf(FCaption) == ch.toUpper()) {
        Click();
        return true;
    }
    return false;
}

void TExButton::focusInEvent(QFocusEvent* e)
{
    TCustomControl::focusInEvent(e);
    update();
}

void TExButton::focusOutEvent(QFocusEvent* e)
{
    TCustomControl::focusOutEvent(e);
    update();
}

void TExButton::Click()
{
    if (TForm* form = GetParentForm(this))
        form->SetModalResult(FModalResult);
    const int r = FModalResult;
    const bool cancelled = r == mrCancel || r == mrAbort || r == mrIgnore || r == mrNo || r == mrNoToAll;
    const bool closes = r == mrOk || r == mrCancel || r == mrAbort || r == mrIgnore || r == mrYes || r == mrNo ||
                        r == mrAll || r == mrNoToAll || r == mrYesToAll;
    if (FExDropDown && closes)
        FExDropDown->DoHideDropDown(cancelled);
    if (!FInternalClick)
        TCustomControl::Click();
}

// ---------------------------------------------------------------------------
// Drop-down button
// ---------------------------------------------------------------------------

TExDropDownSpeedButton::TExDropDownSpeedButton(TDropDownEditButton* owner) : TCustomControl(owner), owner_(owner)
{
    setFocusPolicy(Qt::NoFocus);
    SetClickEvents(false);
}

void TExDropDownSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) {
        FDown = true;
        update();
    }
}

void TExDropDownSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    const bool wasDown = FDown;
    FDown = false;
    update();
    TCustomControl::MouseUp(button, shift, x, y);
    if (wasDown)
        owner_->ButtonMouseUp(button);
}

void TExDropDownSpeedButton::MouseEnter()
{
    TCustomControl::MouseEnter();
    FHot = true;
    update();
}

void TExDropDownSpeedButton::MouseLeave()
{
    TCustomControl::MouseLeave();
    FHot = false;
    update();
}

void TExDropDownSpeedButton::Paint()
{
    if (FButtonStyle == TButtonStyle::bsButton)
        PaintButton(Canvas());
    else
        PaintDropDown(Canvas());
}

void TExDropDownSpeedButton::PaintDropDown(TCanvas& c)
{
    const TDropDownEditButton* b = owner_;
    const TExCustomDropDown* e = b->Edit();
    const TRect r = ClientRect();
    const bool pressed = Pressed();
    if (b->FButtonColor != clNone) {
        TColor face = pressed ? b->FButtonColorDown : FHot ? b->FButtonColorHot : b->FButtonColor;
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(face);
        c.Pen().SetColor(face);
        c.FillRect(r);
        c.Pen().SetColor(e ? e->BorderColor() : clNone);
        if (c.Pen().Color() != clNone) {
            c.MoveTo(0, 0);
            c.LineTo(0, height());
        }
        TColor text = pressed ? b->FButtonTextColorDown : FHot ? b->FButtonTextColorHot : b->FButtonTextColor;
        c.Brush().SetColor(text);
        c.Pen().SetColor(text);
        c.Polygon({Point(5, 7), Point(11, 7), Point(8, 10)});
        return;
    }
    if (!FGlyph.Empty()) {
        c.Brush().SetColor(clBtnFace);
        c.Pen().SetColor(clGray);
        c.Rectangle(r);
        TBitmap g(FGlyph);
        g.SetTransparent(true);
        g.SetAutomaticTransparentColor();
        c.Draw(0, 0, g);
        return;
    }
    setEnabled(e && e->Enabled() && !e->ReadOnly());
    // No visual-style engine: the classic face with the arrow drawn by hand.
    DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u));
    c.Pen().SetWidth(1);
    c.Pen().SetColor(clBtnFace);
    c.MoveTo(width() - 2, 0);
    c.LineTo(0, 0);
    c.LineTo(0, height() - 1);
    c.Pen().SetColor(clWhite);
    c.MoveTo(width() - 3, 1);
    c.LineTo(1, 1);
    c.LineTo(1, height() - 2);
    const TColor arrow = isEnabled() ? clBlack : clGray;
    c.Brush().SetColor(arrow);
    c.Pen().SetColor(arrow);
    c.Polygon({Point(5, 7), Point(11, 7), Point(8, 10)});
}

void TExDropDownSpeedButton::SetEtched(bool v)
{
    if (v != FEtched) {
        FEtched = v;
        update();
    }
}

void TExDropDownSpeedButton::SetFlat(bool v)
{
    if (v != FFlat) {
        FFlat = v;
        update();
    }
}

void TExDropDownSpeedButton::SetNumGlyphs(int n)
{
    n = std::clamp(n, 1, 4);
    if (n != FNumGlyphs) {
        FNumGlyphs = n;
        update();
    }
}

TBitmap TExDropDownSpeedButton::StateGlyph() const
{
    if (FGlyph.Empty() || FNumGlyphs <= 1)
        return FGlyph;
    const int w = FGlyph.Width() / FNumGlyphs;
    // Up, disabled, down, stay-down; a missing picture is the up one.
    int index = !isEnabled() ? 1 : FDown ? 2 : 0;
    if (index >= FNumGlyphs)
        index = 0;
    TBitmap part;
    part.SetImage(FGlyph.Image().copy(index * w, 0, w, FGlyph.Height()));
    return part;
}

namespace {

// One frame of two colours: top and left, then right and bottom.
void EdgeFrame(TCanvas& c, const TRect& r, TColor topLeft, TColor bottomRight)
{
    c.Pen().SetWidth(1);
    c.Pen().SetColor(topLeft);
    c.MoveTo(r.Left, r.Bottom - 1);
    c.LineTo(r.Left, r.Top);
    c.LineTo(r.Right - 1, r.Top);
    c.Pen().SetColor(bottomRight);
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Left - 1, r.Bottom - 1);
}

// The platform's edge on all four sides: raised or etched, flat (one
// shadow-coloured line) for a pressed button.
void DrawButtonEdge(TCanvas& c, const TRect& r, bool etched, bool flat)
{
    const TRect inner = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    if (flat) {
        EdgeFrame(c, r, clBtnShadow, clBtnShadow);
        EdgeFrame(c, inner, clBtnFace, clBtnFace);
    } else if (etched) {
        EdgeFrame(c, r, clBtnShadow, clBtnHighlight);
        EdgeFrame(c, inner, clBtnHighlight, clBtnShadow);
    } else {
        EdgeFrame(c, r, cl3DLight, cl3DDkShadow);
        EdgeFrame(c, inner, clBtnHighlight, clBtnShadow);
    }
}

} // namespace

void TExDropDownSpeedButton::PaintButton(TCanvas& c)
{
    if (const TExCustomDropDown* e = owner_->Edit()) {
        TFont f;
        f.SetFromQFont(e->font());
        c.SetFont(f);
    }
    const TBitmap glyph = StateGlyph();
    TRect r = ClientRect();
    if (FFlat) {
        c.FillRect(r);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(clBtnFace);
        c.FillRect(r);
        // The edge's rectangle reaches one pixel past the bounds, as the
        // platform's flat speed button draws it.
        DrawButtonEdge(c, Rect(r.Left, r.Top, r.Right + 1, r.Bottom + 1), FEtched, FDown);
        const int shift = FDown ? 1 : 0;
        if (!glyph.Empty()) {
            const TRect g = Rect(r.Left + 3 + shift, r.Top + 3 + shift, r.Right - 3 + shift, r.Bottom - 3 + shift);
            DrawGlyphOnColor(c, glyph, clBtnFace, g);
        }
        if (!FCaption.isEmpty()) {
            TRect t = Rect(r.Left + 3 + shift, r.Top + 1 + shift, r.Right - 3 + shift, r.Bottom - 1 + shift);
            c.Brush().SetStyle(TBrushStyle::bsClear);
            c.DrawText(FCaption, t, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
        }
        return;
    }
    DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONPUSH | (Pressed() ? DFCS_PUSHED : 0u));
    r = Rect(3, 3, width() - 3, height() - 3);
    if (Pressed())
        r = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
    if (!glyph.Empty())
        DrawGlyphOnColor(c, glyph, clBtnFace, r);
    if (!FCaption.isEmpty()) {
        c.Brush().SetStyle(TBrushStyle::bsClear);
        c.DrawText(FCaption, r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    }
}

TDropDownEditButton::TDropDownEditButton(TExCustomDropDown* edit, QWidget* parent)
    : TCustomControl(parent), edit_(edit), FButton(new TExDropDownSpeedButton(this))
{
    setFocusPolicy(Qt::NoFocus);
    FButton->setGeometry(0, 0, 16, 25);
    FButton->show();
    setGeometry(0, 0, 16, 25);
    setCursor(Qt::ArrowCursor);
}

void TDropDownEditButton::SetBounds(int left, int top, int width, int height)
{
    width = FBWidth;
    FButton->setGeometry(0, 0, width, height);
    TCustomControl::SetBounds(left, top, width, height);
}

void TDropDownEditButton::Resize()
{
    TCustomControl::Resize();
    if (width() != FBWidth || FButton->size() != size()) {
        FButton->setGeometry(0, 0, FBWidth, height());
        if (width() != FBWidth)
            resize(FBWidth, height());
    }
}

void TDropDownEditButton::SetEnabled(bool e)
{
    TCustomControl::SetEnabled(e);
    FButton->SetEnabled(e);
}

void TDropDownEditButton::ButtonMouseUp(TMouseButton button)
{
    if (button == mbLeft && OnButtonClick)
        OnButtonClick(this);
}
