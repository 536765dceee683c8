#include "grid/EsgCombo.h"

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Themes.h"
#include "widgets/ExUtil.h"
#include "widgets/ExXPVS.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QStyle>

using namespace platform;

namespace {

// A disabled themed combo's border.
constexpr TColor kDisabledThemedBorder = 0xB99D7F;

void Frame(TCanvas& canvas, const TRect& r, TColor color)
{
    canvas.Brush().SetColor(color);
    canvas.Brush().SetStyle(bsSolid);
    canvas.FrameRect(r);
}

void HLine(TCanvas& canvas, TColor color, int x1, int x2, int y)
{
    canvas.Pen().SetColor(color);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.MoveTo(x1, y);
    canvas.LineTo(x2, y);
}

void VLine(TCanvas& canvas, TColor color, int x, int y1, int y2)
{
    canvas.Pen().SetColor(color);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.MoveTo(x, y1);
    canvas.LineTo(x, y2);
}

// The platform's sunken outer edge: shadow above and left, light below and right.
void SunkenOuterEdge(TCanvas& canvas, const TRect& r)
{
    HLine(canvas, clBtnShadow, r.Left, r.Right - 1, r.Top);
    VLine(canvas, clBtnShadow, r.Left, r.Top, r.Bottom - 1);
    HLine(canvas, clBtnHighlight, r.Left, r.Right, r.Bottom - 1);
    VLine(canvas, clBtnHighlight, r.Right - 1, r.Top, r.Bottom);
}

} // namespace

TEsgCustomCombo::TEsgCustomCombo(QWidget* parent) : TCustomComboBox(parent)
{
    FButtonWidth = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2;
    // Themed drawing exists on every platform we run on.
    FIsThemed = true;
    FLoadedColor = clWindow;
}

TEsgCustomCombo::~TEsgCustomCombo()
{
    destroying_ = true;
    delete FLabel;
    FLabel = nullptr;
}

void TEsgCustomCombo::Loaded()
{
    loading_ = false;
    if (FDropWidth > 0)
        SetDroppedWidth(FDropWidth);
    FLoadedColor = Color();
    if (!FFlatParentColor || FFlat)
        TCustomComboBox::SetColor(FLoadedColor);
    if (FLabel && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(Enabled());
    UpdateLabel();
    Init();
}

void TEsgCustomCombo::Init() { FNormalColor = Color(); }

void TEsgCustomCombo::SelectItem(const QString& text)
{
    for (int i = 0; i < ItemCount(); ++i) {
        if (ItemText(i) == text) {
            SetItemIndex(i);
            return;
        }
    }
}

void TEsgCustomCombo::SetBounds(int left, int top, int width, int height)
{
    TCustomComboBox::SetBounds(left, top, width, height);
    if (!destroying_)
        UpdateLabel();
}

void TEsgCustomCombo::SetFlat(bool v)
{
    if (v == FFlat)
        return;
    FFlat = v;
    FCtl3D = !v;
    if (FFlatParentColor && v && Parent())
        SetColor(detail::WidgetColor(Parent()));
    else
        SetColor(FLoadedColor);
    Invalidate();
}

void TEsgCustomCombo::SetEtched(bool v)
{
    FEtched = v;
    Invalidate();
}

void TEsgCustomCombo::SetButtonWidth(int v)
{
    if (v < 14 || v > 32)
        return;
    FButtonWidth = v;
    Invalidate();
}

void TEsgCustomCombo::SetDropWidth(int v)
{
    FDropWidth = v;
    if (v > 0)
        SetDroppedWidth(v);
}

void TEsgCustomCombo::SetLabelAlwaysEnabled(bool v)
{
    FLabelAlwaysEnabled = v;
    if (FLabel)
        FLabel->SetEnabled(v || Enabled());
    UpdateLabel();
}

void TEsgCustomCombo::SetLabelTransparent(bool v)
{
    FLabelTransparent = v;
    UpdateLabel();
}

void TEsgCustomCombo::SetLabelMargin(int v)
{
    FLabelMargin = v;
    UpdateLabel();
}

void TEsgCustomCombo::SetLabelFont(const TFont& f)
{
    FLabelFont.Assign(f);
    if (FLabel && !FParentFont)
        FLabel->SetFont(FLabelFont);
    UpdateLabel();
}

void TEsgCustomCombo::SetLabelPosition(TLabelPosition v)
{
    FLabelPosition = v;
    UpdateLabel();
}

QString TEsgCustomCombo::LabelCaption() const { return FLabel ? FLabel->Caption() : QString(); }

void TEsgCustomCombo::SetLabelCaption(const QString& caption)
{
    if (!FLabel) {
        FLabel = new TLabel(Parent());
        FLabel->SetFont(FParentFont ? Font() : FLabelFont);
        FLabel->SetVisible(Visible());
    }
    FLabel->SetCaption(caption);
    UpdateLabel();
}

void TEsgCustomCombo::SetFlatLineColor(TColor c)
{
    FFlatLineColor = c;
    Invalidate();
}

void TEsgCustomCombo::SetFlatParentColor(bool v)
{
    FFlatParentColor = v;
    Invalidate();
}

void TEsgCustomCombo::SetBorderColor(TColor c)
{
    if (c == FBorderColor)
        return;
    FBorderColor = c;
    Invalidate();
}

void TEsgCustomCombo::SetColor(TColor c)
{
    if (loading_)
        FLoadedColor = c;
    FParentColorFlag = false;
    TCustomComboBox::SetColor(c);
}

void TEsgCustomCombo::SetParentColor(bool v)
{
    FParentColorFlag = v;
    if (v && Parent())
        TCustomComboBox::SetColor(detail::WidgetColor(Parent()));
}

void TEsgCustomCombo::SetParentFont(bool v)
{
    FParentFont = v;
    UpdateLabel();
}

void TEsgCustomCombo::SetEnabled(bool e) { TCustomComboBox::SetEnabled(e); }

// However the enabled state changes, by this setter or directly.
void TEsgCustomCombo::changeEvent(QEvent* e)
{
    TCustomComboBox::changeEvent(e);
    if (e->type() != QEvent::EnabledChange)
        return;
    const bool now = Enabled();
    if (now == lastEnabled_)
        return;
    lastEnabled_ = now;
    EnabledChanged();
    if (loading_)
        return;
    if (FLabel && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(now);
    UpdateLabel();
}

// A flat combo shows its parent's colour while disabled.
void TEsgCustomCombo::EnabledChanged()
{
    if (!FFlat || loading_)
        return;
    if (!lastEnabled_) {
        FOldColor = Color();
        FOldParentColor = FParentColorFlag;
        SetParentColor(true);
    } else {
        SetColor(FOldColor);
        SetParentColor(FOldParentColor);
    }
}

void TEsgCustomCombo::SetVisible(bool v)
{
    TCustomComboBox::SetVisible(v);
    if (FLabel)
        FLabel->SetVisible(v);
}

TPoint TEsgCustomCombo::LabelPlace(TLabelPosition position, int left, int top, int width, int height,
                                   int labelWidth, int labelHeight, int textWidth, int margin)
{
    const int centreTop = top + (height - labelHeight) / 2;
    const int bottomTop = top + height - labelHeight;
    switch (position) {
    case lpLeftTop: return Point(left - textWidth - margin, top);
    case lpLeftCenter: return Point(left - textWidth - margin, centreTop);
    case lpLeftBottom: return Point(left - textWidth - margin, bottomTop);
    case lpTopLeft: return Point(left, top - labelHeight - margin);
    case lpBottomLeft: return Point(left, top + height + margin);
    case lpLeftTopLeft: return Point(left - margin, top);
    case lpLeftCenterLeft: return Point(left - margin, centreTop);
    case lpLeftBottomLeft: return Point(left - margin, bottomTop);
    case lpTopCenter: return Point(left + (width - labelWidth) / 2, top - labelHeight - margin);
    case lpBottomCenter: return Point(left + (width - labelWidth) / 2, top + height + margin);
    case lpRightTop: return Point(left + width + margin, top);
    case lpRightCenter: return Point(left + width + margin, centreTop);
    case lpRighBottom: return Point(left + width + margin, bottomTop);
    }
    return Point(left, top);
}

void TEsgCustomCombo::UpdateLabel()
{
    if (!FLabel || destroying_)
        return;
    if (FLabel->Parent() != Parent())
        FLabel->SetParent(Parent());
    FLabel->SetTransparent(FLabelTransparent);
    if (!FParentFont)
        FLabel->SetFont(FLabelFont);
    TCanvas measure;
    measure.SetFont(FLabel->Font());
    TRect box = Rect(0, 0, 1000, 255);
    measure.DrawText(FLabel->Caption(), box, DT_CALCRECT | DT_HIDEPREFIX);
    const int textWidth = box.Width();
    const TPoint p = LabelPlace(FLabelPosition, Left(), Top(), Width(), Height(), FLabel->Width(), FLabel->Height(),
                                textWidth, FLabelMargin);
    FLabel->SetBounds(p.X, p.Y, FLabel->Width(), FLabel->Height());
    FLabel->SetVisible(Visible());
}

void TEsgCustomCombo::FontChanged()
{
    TCustomComboBox::FontChanged();
    if (FLabel && FParentFont)
        FLabel->SetFont(Font());
    UpdateLabel();
}

void TEsgCustomCombo::SetLabelBold(bool bold)
{
    if (!FLabel)
        return;
    TFont f = FLabel->Font();
    f.SetStyle(bold ? (f.Style() | fsBold) : (f.Style() & ~fsBold));
    FLabel->SetFont(f);
}

void TEsgCustomCombo::ApplyFocusColor()
{
    if (FFocusColor == clNone)
        return;
    // Made at run time the combo never recorded its colour: record it now,
    // or it would keep the focus colour for good.
    if (FNormalColor == clNone)
        FNormalColor = Color();
    TCustomComboBox::SetColor(FFocusColor);
}

void TEsgCustomCombo::RestoreNormalColor()
{
    if (FFocusColor != clNone && FNormalColor != clNone)
        TCustomComboBox::SetColor(FNormalColor);
}

void TEsgCustomCombo::DoEnter()
{
    FHasFocus = true;
    RedrawBorders();
    ApplyFocusColor();
    if (FFocusLabel)
        SetLabelBold(true);
    TCustomComboBox::DoEnter();
}

void TEsgCustomCombo::DoExit()
{
    FHasFocus = false;
    RedrawBorders();
    RestoreNormalColor();
    SetLabelBold(false);
    TCustomComboBox::DoExit();
}

void TEsgCustomCombo::MouseEnter()
{
    if (Enabled() && !FMouseInControl) {
        FMouseInControl = true;
        RedrawBorders();
    }
    if (FAutoFocus && Enabled()) {
        TForm* form = GetParentForm(this);
        if (!form || form->isActiveWindow())
            SetFocus();
    }
    if (FIsWinXP)
        Invalidate();
    TCustomComboBox::MouseEnter();
}

void TEsgCustomCombo::MouseLeave()
{
    FMouseInControl = false;
    if (Enabled())
        RedrawBorders();
    FButtonHover = false;
    if (FIsWinXP)
        Invalidate();
    TCustomComboBox::MouseLeave();
}

void TEsgCustomCombo::MouseMove(TShiftState shift, int x, int y)
{
    const bool hover = x > Width() - FButtonWidth && x < Width();
    if (hover != FButtonHover) {
        FButtonHover = hover;
        Invalidate();
    }
    TCustomComboBox::MouseMove(shift, x, y);
}

void TEsgCustomCombo::DropDown()
{
    ComboWidget()->update(QRect(Width() - FButtonWidth, 0, FButtonWidth, Height()));
    TCustomComboBox::DropDown();
}

void TEsgCustomCombo::CloseUp()
{
    ComboWidget()->update(QRect(Width() - FButtonWidth, 0, FButtonWidth, Height()));
    TCustomComboBox::CloseUp();
    if (OnDropUp)
        OnDropUp(this);
}

void TEsgCustomCombo::RedrawBorders() { ComboWidget()->update(); }

bool TEsgCustomCombo::ThemesActive() const { return FIsThemed && ExXPVS::IsThemeActive(); }

bool TEsgCustomCombo::ButtonColorSet() const
{
    return FButtonColor != clNone || FButtonColorHot != clNone || FButtonColorDown != clNone ||
           FButtonBorderColor != clNone || FButtonTextColor != clNone || FButtonTextColorHot != clNone ||
           FButtonTextColorDown != clNone;
}

bool TEsgCustomCombo::IsActiveControl() const { return hasFocus(); }

bool TEsgCustomCombo::MouseButtonDown() const
{
    return (QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton)) != 0;
}

bool TEsgCustomCombo::CustomPainting() const
{
    if (FIsVista && !ButtonColorSet())
        return false;
    return FFlat || ButtonColorSet() || FBorderColor != clNone || (FFocusBorderColor != clNone && FHasFocus) ||
           (!Enabled() && ThemesActive() && !FDisabledBorder);
}

void TEsgCustomCombo::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case WM_PAINT:
        TCustomComboBox::WndProc(m);
        if (CustomPainting()) {
            PaintOver([this](TCanvas& c) {
                // The platform's own arrow is wider than our button: the strip
                // left to the button goes back to the control's colour first.
                c.Brush().SetStyle(bsSolid);
                c.Brush().SetColor(Color());
                c.FillRect(Rect(ClientWidth() - FButtonWidth - 4, 1, ClientWidth() - 1, Height() - 1));
                DrawButton(c);
                DrawBorders(c);
            });
        }
        return;
    case WM_SETFOCUS:
        TCustomComboBox::WndProc(m);
        if (FFocusBorderColor != clNone)
            Invalidate();
        ApplyFocusColor();
        if (FFocusLabel)
            SetLabelBold(true);
        return;
    case WM_KILLFOCUS:
        TCustomComboBox::WndProc(m);
        RestoreNormalColor();
        SetLabelBold(false);
        Invalidate();
        return;
    default: TCustomComboBox::WndProc(m);
    }
}

void TEsgCustomCombo::DrawButton(TCanvas& canvas)
{
    TRect r = Rect(0, 0, Width(), Height());
    r.Left = ClientWidth() - FButtonWidth + 2;
    InflateRect(r, -1, -1);
    const bool down = MouseButtonDown();
    if (FButtonColor == clNone) {
        if (ThemesActive()) {
            int state = CBXS_HOT;
            if (!Enabled())
                state = CBXS_DISABLED;
            else if (down && DroppedDown())
                state = CBXS_PRESSED;
            else if (down || !FButtonHover || DroppedDown())
                state = CBXS_NORMAL;
            HTHEME theme = ExXPVS::OpenThemeData(ComboWidget(), QStringLiteral("combobox"));
            const bool drawn = ExXPVS::DrawThemeBackground(theme, canvas, CP_DROPDOWNBUTTON, state, r);
            ExXPVS::CloseThemeData(theme);
            if (drawn)
                return;
        }
        r.Left -= 4;
        r.Top += 1;
        r.Bottom -= 1;
        DrawFrameControl(canvas, r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (Enabled() ? DFCS_FLAT : DFCS_INACTIVE));
        return;
    }
    // An unset hot or down colour keeps the plain button colour.
    TColor fill = FButtonColor;
    if (FButtonHover)
        fill = down ? (FButtonColorDown != clNone ? FButtonColorDown : FButtonColor)
                    : (FButtonColorHot != clNone ? FButtonColorHot : FButtonColor);
    r.Left -= 1;
    r.Top += 1;
    r.Bottom -= 1;
    r.Right -= 1;
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(fill);
    canvas.FillRect(r);
    if (FButtonBorderColor != clNone)
        VLine(canvas, FButtonBorderColor, r.Left, r.Top, r.Bottom);
    TColor text = down && FButtonTextColorDown != clNone ? FButtonTextColorDown : FButtonTextColor;
    if (text == clNone)
        text = clBtnText;
    canvas.Pen().SetColor(text);
    canvas.Brush().SetColor(text);
    canvas.Polygon({Point(r.Left + 4, r.Top + 7), Point(r.Left + 10, r.Top + 7), Point(r.Left + 7, r.Top + 10)});
}

void TEsgCustomCombo::DrawBorders(TCanvas& canvas)
{
    if (Enabled() && !FFlat && FBorderColor == clNone && FFocusBorderColor == clNone)
        return;
    if (FIsVista && FBorderColor == clNone)
        return;
    TRect r = Rect(0, 0, Width(), Height());
    const bool focused = FHasFocus || hasFocus();
    if (!Enabled() && FIsThemed && !FDisabledBorder) {
        Frame(canvas, r, kDisabledThemedBorder);
    } else if (FBorderColor != clNone && !(focused && FFocusBorderColor != clNone)) {
        Frame(canvas, r, FBorderColor);
    } else if (FFocusBorderColor != clNone) {
        if (focused)
            Frame(canvas, r, FFocusBorderColor);
    } else {
        const TColor parentColor = Parent() ? detail::WidgetColor(Parent()) : clBtnFace;
        const bool hot = (FMouseInControl || IsActiveControl()) && FFocusBorder;
        TRect inner = r;
        if (hot) {
            SunkenOuterEdge(canvas, r);
            InflateRect(inner, -1, -1);
            Frame(canvas, inner, clBtnFace);
            InflateRect(inner, -1, -1);
            Frame(canvas, inner, Color());
        } else {
            Frame(canvas, r, parentColor);
            InflateRect(inner, -1, -1);
            TRect besideButton = inner;
            besideButton.Right -= FButtonWidth;
            Frame(canvas, besideButton, parentColor);
            InflateRect(inner, -1, -1);
            Frame(canvas, inner, Color());
        }
        if (FFlat && FFlatLineColor != clNone)
            HLine(canvas, FFlatLineColor, inner.Left - 2, inner.Right - FButtonWidth - 1, Height() - 1);
    }
    if (IsWinXP() && ThemesActive())
        return;
    // The button's own border.
    canvas.ExcludeClipRect(Rect(ClientWidth() - FButtonWidth + 4, 4, ClientWidth() - 4, ClientHeight() - 4));
    TRect b = r;
    b.Left = ClientWidth() - FButtonWidth - 2;
    InflateRect(b, -2, -2);
    if (!FMouseInControl && !IsActiveControl()) {
        TRect f = b;
        InflateRect(f, 0, -1);
        f.Right -= 1;
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clBtnFace);
        canvas.FillRect(f);
    }
    canvas.ExcludeClipRect(b);
}
