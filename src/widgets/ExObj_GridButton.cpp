// The grid's flat button: state colours with gradients, glyphs per state, a
// drop-down part and button groups.
#include "widgets/ExObj_Controls.h"

#include "platform/Action.h"
#include "platform/Themes.h"
#include "widgets/ExUtil.h"
#include "widgets/ExXPVS.h"

#include <QEvent>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

constexpr int DropDownWidth = 12;

TRect Inflated(TRect r, int d) { return Rect(r.Left - d, r.Top - d, r.Right + d, r.Bottom + d); }

int Channel(TColor c, int shift) { return static_cast<int>((ColorToRGB(c) >> shift) & 0xFF); }

// Grey for every pixel that is not the transparent colour.
TBitmap ShadeOf(const TBitmap& glyph)
{
    TBitmap shade(glyph);
    if (glyph.Empty())
        return shade;
    QImage img = glyph.Image().convertToFormat(QImage::Format_RGB32);
    const QRgb transparent = img.pixel(0, img.height() - 1);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != transparent)
                img.setPixel(x, y, qRgb(0x80, 0x80, 0x80));
    shade.SetImage(img);
    shade.SetTransparent(true);
    return shade;
}

// Each pixel's grey level ((r + g + b) div 3) div 2 + 96.
TBitmap DisabledOf(const TBitmap& glyph)
{
    TBitmap grey(glyph);
    QImage img = glyph.Image().convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            const int level = ((qRed(p) + qGreen(p) + qBlue(p)) / 3) / 2 + 96;
            img.setPixel(x, y, qRgb(level, level, level));
        }
    grey.SetImage(img);
    grey.SetTransparent(true);
    return grey;
}

} // namespace

// The action's caption, enabled and checked state and group follow it here.
class TExGridButton::Link : public TActionLink
{
public:
    explicit Link(TExGridButton* button) : FButton(button) {}

protected:
    void ActionChanged() override
    {
        TAction* a = Action();
        FButton->SetCaption(a->Caption());
        FButton->SetEnabled(a->Enabled());
        FButton->SetGroupIndex(a->GroupIndex());
        FButton->SetDown(a->Checked());
    }

private:
    TExGridButton* FButton;
};

TExGridButton::TExGridButton(QWidget* parent) : TGraphicControl(parent)
{
    resize(23, 22);
    SetClickEvents(false); // a click is decided by the button's own rules
    setMouseTracking(true);
}

TExGridButton::~TExGridButton() = default;

void TExGridButton::SetCaption(const QString& v)
{
    Store(FCaption, v);
}

void TExGridButton::SetAllowAllUp(bool v)
{
    FAllowAllUp = v;
    UpdateExclusive();
}

void TExGridButton::SetGroupIndex(int v)
{
    FGroupIndex = v;
    UpdateExclusive();
}

void TExGridButton::SetMargin(int v)
{
    if (v >= -1)
        Store(FMargin, v);
}

void TExGridButton::SetShaded(bool v)
{
    FShaded = v;
    if (!FLoading)
        MakeShade();
    update();
}

void TExGridButton::SetGlyph(const TBitmap& v)
{
    FGlyph.Assign(v);
    FGlyph.SetTransparent(true);
    if (FGlyphDisabled.Empty() && !FGlyph.Empty())
        FGlyphDisabled = DisabledOf(FGlyph);
    if (!FLoading)
        MakeShade();
    update();
}

void TExGridButton::SetGlyphHot(const TBitmap& v)
{
    FGlyphHot.Assign(v);
    FGlyphHot.SetTransparent(true);
    update();
}

void TExGridButton::SetGlyphDown(const TBitmap& v)
{
    FGlyphDown.Assign(v);
    FGlyphDown.SetTransparent(true);
    update();
}

void TExGridButton::SetGlyphDisabled(const TBitmap& v)
{
    FGlyphDisabled.Assign(v);
    FGlyphDisabled.SetTransparent(true);
    update();
}

void TExGridButton::MakeShade()
{
    FShade = FShaded ? ShadeOf(FGlyph) : TBitmap();
}

void TExGridButton::Loaded()
{
    FLoading = false;
    MakeShade();
    if (FAutoThemeAdapt)
        SetLook(1);
}

void TExGridButton::SetAutoThemeAdapt(bool v)
{
    FAutoThemeAdapt = v;
    // The desktop offers no named colour schemes here: the plain look.
    if (v && !FLoading)
        SetLook(1);
}

void TExGridButton::SetDown(bool v)
{
    if (FGroupIndex == 0 && FStyle == tasButton)
        v = false;
    if (FStyle == tasCheck) {
        FDown = v;
        update();
        return;
    }
    if (v == FDown || (FDown && !FAllowAllUp))
        return;
    FDown = v;
    if (v) {
        FState = bsExclusive;
        UpdateExclusive();
    } else {
        FState = bsUp;
    }
    update();
}

void TExGridButton::UpdateExclusive()
{
    if (FGroupIndex == 0 || !parentWidget())
        return;
    for (QObject* child : parentWidget()->children())
        if (auto* b = dynamic_cast<TExGridButton*>(child))
            b->ButtonPressed(FGroupIndex, this);
}

void TExGridButton::ButtonPressed(int group, TExGridButton* sender)
{
    if (group != FGroupIndex || sender == this)
        return;
    if (sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        if (TAction* action = Action())
            action->SetChecked(false);
        update();
    }
    FAllowAllUp = sender->FAllowAllUp;
}

TAction* TExGridButton::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TExGridButton::SetAction(TAction* action) { platform::Link_Action(FActionLink, this, action); }

void TExGridButton::Click()
{
    if (OnClick)
        OnClick(this);
    else if (FActionLink)
        FActionLink->Execute();
}

void TExGridButton::SetLook(int look)
{
    struct Set
    {
        TColor color, colorTo, hot, hotTo, down, downTo, checked, checkedTo, borderDown, borderHot;
    };
    static const Set looks[] = {
        {0xEDF1F1, 0xDFEBEB, 0xFAFCFC, 0xE5ECED, 0xE0E6E7, 0xD8E0E1, 0xFFFFFF, clNone, 0xAF987A, 0xC3CECE},
        {clBtnFace, clNone, 0xEED2C1, clNone, 0xE2B598, clNone, 0xE8E6E1, clNone, 0xC56A31, 0xC56A31},
        {0xFDEADA, 0xE4AE88, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
        {0xCFF0EA, 0x8CC0B1, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
        {0xECE2E1, 0xB39698, 0xCCF4FF, 0x91D0FF, 0x4E91FE, 0x8ED3FF, 0x8ED3FF, 0x55ADFF, 0x000000, 0x000000},
        {clBtnFace, clNone, clBtnFace, clNone, 0xD8D3D2, clNone, 0xCAC7C7, clNone, clNone, clNone},
        {0xCAFFFF, 0xA6FFFF, 0xA8F0FD, 0x7CE9FC, 0x4DE0FB, 0x7AE9FC, 0xB5E6F2, 0x9CDDED, 0x808080, 0x808080},
    };
    if (look < 0 || look > 6)
        return;
    const Set& s = looks[look];
    FColor = s.color;
    FColorTo = s.colorTo;
    FColorHot = s.hot;
    FColorHotTo = s.hotTo;
    FColorDown = s.down;
    FColorDownTo = s.downTo;
    FColorChecked = s.checked;
    FColorCheckedTo = s.checkedTo;
    FBorderDownColor = s.borderDown;
    FBorderHotColor = s.borderHot;
    FBorderColor = clNone;
    FFlat = true;
    FRounded = look == 0;
    update();
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TExGridButton::SyncState()
{
    if (!isEnabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    if (FStyle == tasCheck && FDown)
        FState = bsDown;
}

void TExGridButton::DrawGradient(TCanvas& c, TColor from, TColor to, TColor border, TRect r)
{
    if (to == clNone) {
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(from);
        c.Pen().SetColor(border != clNone ? border : from);
        c.Rectangle(r);
        return;
    }
    const int h = r.Height();
    c.Pen().SetStyle(psClear);
    c.Brush().SetStyle(bsSolid);
    for (int n = 0; n < 16; ++n) {
        auto mix = [&](int shift) {
            const int a = Channel(from, shift), b = Channel(to, shift);
            return static_cast<int>(std::lround(a + n * (b - a) / 16.0));
        };
        c.Brush().SetColor(static_cast<TColor>(mix(0) | (mix(8) << 8) | (mix(16) << 16)));
        const int top = r.Top + static_cast<int>(std::lround(n * h / 16.0));
        c.FillRect(Rect(r.Left, top, r.Right, top + static_cast<int>(std::lround(h / 16.0)) + 1));
    }
    c.Pen().SetStyle(psSolid);
    if (border != clNone) {
        c.Brush().SetColor(border);
        c.FrameRect(r);
    }
}

void TExGridButton::PaintFlat(TCanvas& c, TRect& r)
{
    if (FBorderDownColor == clNone || FRounded)
        r = Inflated(r, -1);
    const bool hot = FMouseInControl && isEnabled();
    auto roundOutline = [&](TColor color) {
        if (color == clNone)
            return;
        c.Brush().SetStyle(bsClear);
        c.Pen().SetColor(color);
        const TRect g = Inflated(r, 1);
        c.RoundRect(g.Left, g.Top, g.Right, g.Bottom, 8, 8);
        c.Brush().SetStyle(bsSolid);
    };
    if (!hot) {
        if (FStyle == tasCheck && FDown) {
            DrawGradient(c, FColorChecked, FColorCheckedTo, FBorderDownColor, r);
        } else {
            const TColor border = FRounded ? clNone : (FDown ? FBorderDownColor : FBorderColor);
            DrawGradient(c, FColor, FColorTo, border, r);
        }
        if (FBorderColor != clNone) {
            if (FRounded) {
                roundOutline(FBorderColor);
            } else {
                c.Brush().SetColor(FBorderColor);
                c.FrameRect(r);
            }
        }
    } else {
        const bool pressed = FState == bsDown && FDragging;
        TColor from = FColorHot, to = FColorHotTo, border = FBorderHotColor;
        if (pressed) {
            from = FColorDown;
            to = FColorDownTo;
            border = FBorderDownColor;
        } else if (FStyle == tasCheck && FDown) {
            from = FColorChecked;
            to = FColorCheckedTo;
            border = FBorderDownColor;
        }
        DrawGradient(c, from, to, FRounded ? clNone : border, r);
        const TColor line = pressed ? FBorderDownColor : FBorderHotColor;
        if (FRounded)
            roundOutline(line);
        if (FDropDownButton && line != clNone) {
            c.Pen().SetColor(line);
            c.MoveTo(r.Right - DropDownWidth, r.Top);
            c.LineTo(r.Right - DropDownWidth, r.Bottom);
        }
    }
    r = Inflated(r, -1);
}

void TExGridButton::Paint()
{
    SyncState();
    TCanvas& c = Canvas();
    c.SetFont(Font());
    TRect r = Rect(0, 0, width(), height());
    const bool hot = FMouseInControl && isEnabled();
    const bool pressed = FState == bsDown || FState == bsExclusive;
    if (FFlat) {
        PaintFlat(c, r);
    } else if (FAutoXPStyle && ExXPVS::IsThemeActive() &&
               DrawThemeBackground(c, ThemeClass::Button, BP_PUSHBUTTON,
                                   pressed ? PBS_PRESSED : (hot ? PBS_HOT : PBS_NORMAL), r, this)) {
        r = Inflated(r, -2);
    } else {
        DrawFrameControl(c, r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
        r = Inflated(r, -2);
    }

    TPoint offset{0, 0};
    if (pressed) {
        if (FState == bsExclusive && (!FFlat || !hot))
            DrawGradient(c, FColorChecked, FColorCheckedTo, clNone, Inflated(r, 1));
        if (!FFlat)
            offset = TPoint{1, 1};
    }
    const bool lifted = FFlat && isEnabled() && FShaded && hot && FState != bsDown;
    if (lifted)
        offset = TPoint{-1, -1};

    if (FDropDownButton) {
        const int mid = (r.Top + r.Bottom) / 2;
        const TColor fc = Font().Color();
        c.Pen().SetColor(fc);
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(fc);
        c.Polygon({TPoint{r.Right - 8, mid}, TPoint{r.Right - 4, mid}, TPoint{r.Right - 6, mid + 2}});
        r.Right -= DropDownWidth;
    }

    // Glyph and caption.
    const TBitmap* glyph = &FGlyph;
    if (!isEnabled()) {
        if (!FGlyphDisabled.Empty())
            glyph = &FGlyphDisabled;
    } else if (hot) {
        if (pressed && !FGlyphDown.Empty())
            glyph = &FGlyphDown;
        else if (!FGlyphHot.Empty())
            glyph = &FGlyphHot;
    } else if (pressed && !FGlyphDown.Empty()) {
        glyph = &FGlyphDown;
    }
    const QString caption = FShowCaption ? StripAccelerator(FCaption) : QString();
    const TSize text = caption.isEmpty() ? TSize{0, 0} : c.TextExtent(caption);
    const int gw = glyph->Width(), gh = glyph->Height();
    TButtonLayout layout = FLayout;
    if (FRightToLeft) {
        if (layout == blGlyphLeft)
            layout = blGlyphRight;
        else if (layout == blGlyphRight)
            layout = blGlyphLeft;
    }
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
    const int avail = horizontal ? r.Width() : r.Height();
    const int glyphSize = horizontal ? gw : gh;
    const int textSize = horizontal ? text.cx : text.cy;
    int spacing = FSpacing, margin = FMargin;
    if (glyphSize == 0 || textSize == 0)
        spacing = 0;
    if (margin == -1 && spacing == -1) {
        margin = spacing = (avail - glyphSize - textSize) / 3;
    } else if (margin == -1) {
        margin = (avail - (glyphSize + spacing + textSize) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (avail - margin - glyphSize - textSize) / 2;
    }
    TPoint gp{0, 0}, tp{0, 0};
    if (horizontal) {
        gp.Y = (r.Height() - gh + 1) / 2;
        tp.Y = (r.Height() - text.cy + 1) / 2;
        if (layout == blGlyphLeft) {
            gp.X = margin;
            tp.X = margin + glyphSize + spacing;
        } else {
            gp.X = avail - margin - glyphSize;
            tp.X = gp.X - spacing - textSize;
        }
    } else {
        gp.X = (r.Width() - gw + 1) / 2;
        tp.X = (r.Width() - text.cx + 1) / 2;
        if (layout == blGlyphTop) {
            gp.Y = margin;
            tp.Y = margin + glyphSize + spacing;
        } else {
            gp.Y = avail - margin - glyphSize;
            tp.Y = gp.Y - spacing - textSize;
        }
    }
    gp = TPoint{gp.X + r.Left + offset.X, gp.Y + r.Top + offset.Y};
    tp = TPoint{tp.X + r.Left + offset.X, tp.Y + r.Top + offset.Y};
    if (!glyph->Empty()) {
        if (caption.isEmpty())
            gp = TPoint{0, 0};
        if (hot && FShaded && isEnabled() && FState != bsDown && !FShade.Empty())
            c.Draw(gp.X + 2, gp.Y + 2, FShade);
        c.Draw(gp.X, gp.Y, *glyph);
    }
    if (!caption.isEmpty()) {
        TRect tr = Rect(tp.X, tp.Y, tp.X + text.cx, tp.Y + text.cy);
        if (lifted)
            tr = Rect(tr.Left + 1, tr.Top + 1, tr.Right + 1, tr.Bottom + 1);
        c.Brush().SetStyle(bsClear);
        const unsigned format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        if (!isEnabled()) {
            TRect shadow = Rect(tr.Left + 1, tr.Top + 1, tr.Right + 1, tr.Bottom + 1);
            c.Font().SetColor(clBtnHighlight);
            c.DrawText(FCaption, shadow, format);
            c.Font().SetColor(clBtnShadow);
        }
        c.DrawText(FCaption, tr, format);
        c.Brush().SetStyle(bsSolid);
    }
}

// ---------------------------------------------------------------------------
// Mouse and keyboard
// ---------------------------------------------------------------------------

void TExGridButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !isEnabled())
        return;
    if (FDropDownButton && x > width() - DropDownWidth) {
        FState = bsUp;
        update();
        if (OnDropDown)
            OnDropDown(this);
        if (FDropDownMenu) {
            const QPoint at = mapToGlobal(QPoint(0, height()));
            FDropDownMenu->Popup(at.x(), at.y());
        }
        return;
    }
    FState = bsDown;
    FDragging = true;
    update();
}

void TExGridButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (!FDragging)
        return;
    const bool inside = x >= 0 && x < width() && y >= 0 && y <= height();
    TButtonState s = inside ? (FDown ? bsExclusive : bsDown) : (FDown ? bsExclusive : bsUp);
    if (FStyle == tasCheck && FDown)
        s = bsDown;
    if (s != FState) {
        FState = s;
        update();
    }
}

void TExGridButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!FDragging || button != mbLeft)
        return;
    FDragging = false;
    const bool inside = x >= 0 && x < width() && y >= 0 && y <= height();
    if (FGroupIndex == 0) {
        FState = bsUp;
        if (inside && FStyle == tasCheck)
            SetDown(!FDown);
    } else if (inside) {
        SetDown(!FDown);
        FState = FDown ? bsExclusive : bsUp;
    } else if (FDown) {
        FState = bsExclusive;
    }
    update();
    if (inside)
        Click();
}

void TExGridButton::DblClick()
{
    if (FDown)
        TGraphicControl::DblClick();
}

void TExGridButton::MouseEnter()
{
    if (isEnabled() && !FDragging && !QWidget::mouseGrabber()) {
        FMouseInControl = true;
        update();
    }
    TGraphicControl::MouseEnter();
}

void TExGridButton::MouseLeave()
{
    if (!FDragging) {
        FMouseInControl = false;
        update();
    }
    TGraphicControl::MouseLeave();
}

bool TExGridButton::DialogChar(QChar ch)
{
    const QChar accel = AcceleratorOf(FCaption);
    if (accel.isNull() || accel.toUpper() != ch.toUpper())
        return false;
    if (!isEnabled() || !isVisible() || !parentWidget() || !parentWidget()->isVisible())
        return false;
    Click();
    return true;
}

void TExGridButton::changeEvent(QEvent* event)
{
    TGraphicControl::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        FMouseInControl = isEnabled() && underMouse();
        update();
        break;
    case QEvent::StyleChange:
    case QEvent::ThemeChange:
    case QEvent::FontChange:
        if (FAutoThemeAdapt)
            SetLook(1);
        break;
    default: break;
    }
}
