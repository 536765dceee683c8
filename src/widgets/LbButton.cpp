#include "widgets/LbButton.h"

#include "platform/Action.h"
#include "platform/Controls.h"
#include "widgets/ExUtil.h"

#include <QPointer>

using namespace platform;

namespace {

struct KindInfo
{
    TModalResult result;
    const char* resource;
    const char* caption;
};

// Indexed by TLbButtonKind, bkCustom first.
const KindInfo kKinds[] = {
    {mrNone, nullptr, nullptr},
    {mrOk, "LBOK", "OK"},
    {mrCancel, "LBCANCEL", "Abbrechen"},
    {mrNone, "LBHELP", "Hilfe"},
    {mrYes, "LBYES", "Ja"},
    {mrNo, "LBNO", "Nein"},
    {mrNone, "LBCLOSE", "Schließen"},
    {mrAbort, "LBABORT", "Abbrechen"},
    {mrRetry, "LBRETRY", "Wiederholen"},
    {mrIgnore, "LBIGNORE", "Ignorieren"},
    {mrAll, "LBALL", "Alle"},
};

struct Preset
{
    TColor color, light, shadow, down, hot;
    bool flat;
    TColor font;
    TLbButtonStyle style;
};

// Indexed by TLbColorStyle, lcsCustom first (unused).
const Preset kPresets[] = {
    {},
    {0x0000C0C0, 0x0000FFFF, 0x00008080, clNone, 0x0000DFDF, false, clBlack, bsModern},
    {0x00C0C0C0, 0x00FFFFFF, 0x00808080, clNone, clNone, false, clBlack, bsModern},
    {0x00FF8000, 0x00FFFF00, 0x00FF0000, clNone, clNone, false, clBlack, bsModern},
    {0x000000FF, 0x00C0C0FF, 0x000000C0, clNone, clNone, false, clBlack, bsModern},
    {clBtnFace, 0x00B59284, 0x00B59284, 0x00B59284, 0x00DED3D6, true, clBlack, bsNormal},
    {clBtnFace, 0x00000000, 0x00000000, 0x0024DABC, 0x008CF6E4, true, clBlack, bsNormal},
    {0x00D1D8DB, 0x00B59284, 0x00B59285, 0x00B59285, 0x00D2BDB6, true, clBlack, bsNormal},
    {0x00ECCE94, 0x00FCE6D4, 0x00000000, clNone, clNone, false, clBlack, bsModern},
    {clBtnFace, 0x00FFFFFF, 0x00808080, clNone, clNone, false, clBlack, bsNormal},
    {0x00603000, 0x00C0C0C0, 0x00C0C0C0, 0x00AD6529, 0x00CEAE9C, false, clWhite, bsQuicken},
};

bool TransparentStyle(TLbButtonStyle s) { return s == bsModern || s == bsShape || s == bsQuicken; }

} // namespace

class TLbButton::Link : public TActionLink
{
public:
    explicit Link(TLbButton* button) : FButton(button) {}

protected:
    void ActionChanged() override { FButton->ActionChange(); }

private:
    TLbButton* FButton;
};

TLbButton::TLbButton(QWidget* owner)
    : TCustomControl(owner), FGlyph(std::make_unique<TBitmap>()), FHTFont(std::make_unique<TFont>())
{
    RegisterLbButtonResources();
    // The button makes its own clicks: a press and release over it, Enter,
    // Space and its keys; a double click is a second press.
    SetClickEvents(false);
    SetDoubleClicks(false);
    SetTabStop(true);
    SetColor(clBtnFace);
    resize(100, 23);
    if (owner)
        if (TForm* form = GetParentForm(owner))
            FHTFont->Assign(form->Font());
}

TLbButton::~TLbButton()
{
    destroying_ = true;
    FThread.reset();  // terminates and waits
}

void TLbButton::PaintNow()
{
    if (isVisible())
        repaint();
}

bool TLbButton::ParentShowing() const
{
    const QWidget* p = parentWidget();
    return p && p->isVisible();
}

bool TLbButton::Hot() const { return bCursorOnButton || hasFocus(); }

// ---------------------------------------------------------------- properties

void TLbButton::SetCaption(const QString& caption)
{
    caption_ = caption;
    update();
}

void TLbButton::SetAlignment(TAlignment a)
{
    FAlignment = a;
    PaintNow();
}

void TLbButton::SetColorStyle(TLbColorStyle s)
{
    if (s == lcsCustom)
        return;
    const Preset& p = kPresets[static_cast<int>(s)];
    SetColor(p.color);
    FLightColor = p.light;
    FShadowColor = p.shadow;
    FColorWhenDown = p.down;
    FHotTrackColor = p.hot;
    FFlat = p.flat;
    Font().SetColor(p.font);
    FStyle = p.style;  // without the style setter's window change
    PaintNow();
}

void TLbButton::SetFlat(bool v)
{
    FFlat = v;
    PaintNow();
}

// ---------------------------------------------------------------------------
// Action
// ---------------------------------------------------------------------------

TAction* TLbButton::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TLbButton::SetAction(TAction* action) { platform::Link_Action(FActionLink, this, action); }

void TLbButton::ActionChange()
{
    TAction* action = Action();
    if (!action)
        return;
    SetCaption(action->Caption());
    SetEnabled(action->Enabled());
    // A button without a glyph shows the action's image on magenta, which
    // the face draws see-through.
    const TActionList* list = action->ActionList();
    const TImageList* images = list ? list->Images() : nullptr;
    if (FGlyph->Empty() && images && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count()) {
        TBitmap glyph;
        glyph.SetSize(images->Width(), images->Height());
        glyph.Canvas().Brush().SetColor(static_cast<TColor>(0x00FF00FF));
        glyph.Canvas().FillRect(Rect(0, 0, images->Width(), images->Height()));
        images->Draw(glyph.Canvas(), 0, 0, action->ImageIndex(), true);
        FGlyph->Assign(glyph);
        FNumGlyphs = 1;
        update();
    }
}

void TLbButton::SetGlyph(const TBitmap& glyph)
{
    FGlyph->Assign(glyph);
    FNumGlyphs = glyph.Height() > 0 ? glyph.Width() / glyph.Height() : 0;
    FKind = bkCustom;
    update();
}

void TLbButton::SetKind(TLbButtonKind k)
{
    if (k != bkCustom) {
        const KindInfo& info = kKinds[static_cast<int>(k)];
        TBitmap glyph;
        LoadBitmapResource(glyph, QString::fromLatin1(info.resource));
        FNumGlyphs = 2;
        SetModalResult(info.result);
        FGlyph->Assign(glyph);
        SetCaption(QString::fromUtf8(info.caption));
    }
    FKind = k;
    update();
}

void TLbButton::SetLayout(TLbButtonLayout l)
{
    FLayout = l;
    PaintNow();
}

void TLbButton::SetLightColor(TColor c)
{
    FLightColor = c;
    PaintNow();
}

void TLbButton::SetModalResult(TModalResult r)
{
    FModalResult = r;
    FKind = bkCustom;
}

void TLbButton::SetNumGlyphs(int n)
{
    FNumGlyphs = n;
    update();
}

void TLbButton::SetShadowColor(TColor c)
{
    FShadowColor = c;
    PaintNow();
}

void TLbButton::SetSlowDecease(bool v)
{
    FSlowDecease = v;
    if (v && !FThread) {
        FThread = std::make_unique<TLbButtonThread>([this] { FadeStep(); });
    } else if (!v && FThread) {
        FHotTrackStep = 0;
        FThread.reset();  // terminates and waits
    }
    update();
}

void TLbButton::SetStyle(TLbButtonStyle s)
{
    FStyle = s;
    // The shaped faces leave their corners to the parent's background, so
    // the control never fills its background itself.
    setAutoFillBackground(false);
    update();
}

void TLbButton::SetWordWrap(bool v)
{
    FWordWrap = v;
    PaintNow();
}

void TLbButton::SetPopupMenu(TPopupMenu* menu)
{
    popupMenu_ = menu;
    update();
}

void TLbButton::SetEnabled(bool e)
{
    TCustomControl::SetEnabled(e);
    FEnabled = e;
    bDown = false;
    PaintNow();
}

void TLbButton::SetColor(TColor c)
{
    TCustomControl::SetColor(c);
    setAutoFillBackground(false);
}

// ---------------------------------------------------------------- clicking

void TLbButton::Click()
{
    bDown = true;
    ClickSequence();
}

void TLbButton::ClickSequence()
{
    if (!Visible() || !Enabled() || !bDown)
        return;
    bDown = false;
    QPointer<TLbButton> self(this);
    if (OnClick)
        OnClick(this);
    else if (FActionLink)
        FActionLink->Execute();
    if (!self)
        return;  // the handler freed the button
    if (FModalResult != mrNone)
        if (TForm* form = GetParentForm(this))
            form->SetModalResult(FModalResult);
    if (self && popupMenu_) {
        const TPoint p = ClientToScreen(Point(0, Height()));
        popupMenu_->Popup(p.X, p.Y);
    }
}

void TLbButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button == mbLeft && Enabled()) {
        bDown = true;
        setFocus(Qt::MouseFocusReason);
        PaintNow();
    }
}

void TLbButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    QPointer<TLbButton> self(this);
    TCustomControl::MouseUp(button, shift, x, y);
    if (!self)
        return;
    // Released away from the button, the press is given up: no click.
    if (bDown && button == mbLeft && PtInRect(ClientRect(), Point(x, y)))
        Click();
    if (!self)
        return;
    if (button == mbLeft)
        bDown = false;
    PaintNow();
}

void TLbButton::KeyDown(int& key, TShiftState shift)
{
    TCustomControl::KeyDown(key, shift);
    if (Enabled() && (key == VK_RETURN || key == VK_SPACE)) {
        bDown = true;
        PaintNow();
    }
}

void TLbButton::KeyUp(int& key, TShiftState shift)
{
    QPointer<TLbButton> self(this);
    TCustomControl::KeyUp(key, shift);
    // Only a key that went down on this button clicks it: a release that
    // follows a focus change (Enter taken by the default button, whose
    // handler moved the focus here) is not a click.
    if (self && bDown && (key == VK_RETURN || key == VK_SPACE))
        Click();
    if (self)
        PaintNow();
}

bool TLbButton::DialogChar(QChar ch)
{
    const QChar accel = AcceleratorOf(caption_);
    if (accel.isNull() || accel != ch.toUpper() || !Visible() || !Enabled() || !ParentShowing())
        return false;
    bDown = true;
    Click();
    return true;
}

bool TLbButton::DialogKey(int key, TShiftState shift)
{
    const bool usable = Visible() && Enabled();
    const bool enter = key == VK_RETURN && FDefault && usable;
    const bool escape = key == VK_ESCAPE && FCancel && !(shift & (ssShift | ssCtrl | ssAlt)) && usable;
    if (!enter && !escape)
        return false;
    // A focused button takes Enter itself; Escape still reaches the cancel
    // button.
    if (enter)
        if (TForm* form = GetParentForm(this); form && form->ButtonHasFocus())
            return false;
    bDown = true;
    Click();
    return true;
}

// ---------------------------------------------------------------- hot tracking

void TLbButton::MouseEnter()
{
    if (!Enabled() || !Visible() || !ParentShowing())
        return;
    bCursorOnButton = true;
    FHotTrackStep = 8;
    PaintNow();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void TLbButton::MouseLeave()
{
    bCursorOnButton = false;
    if (FSlowDecease && FThread) {
        if (FThread->Suspended())
            FThread->Resume();
    } else {
        FHotTrackStep = 0;
        PaintNow();
    }
    if (Enabled() && Visible() && ParentShowing() && OnMouseExit)
        OnMouseExit(this);
}

void TLbButton::FadeStep()
{
    if (destroying_)
        return;
    --FHotTrackStep;
    if (FHotTrackStep <= 0) {
        if (FThread && !FThread->Suspended())
            FThread->Suspend();
        FHotTrackStep = 0;
    }
    PaintNow();
}

void TLbButton::DoEnter()
{
    TCustomControl::DoEnter();
    PaintNow();
}

void TLbButton::DoExit()
{
    TCustomControl::DoExit();
    PaintNow();
}

// ---------------------------------------------------------------- painting

TLbButtonFace TLbButton::Face(int width, int height) const
{
    TLbButtonFace f;
    f.Width = width;
    f.Height = height;
    f.Alignment = FAlignment;
    f.Caption = caption_;
    f.Layout = FLayout;
    f.ShadowColor = FShadowColor;
    f.LightColor = FLightColor;
    f.HotTrackColor = FHotTrackColor;
    f.ColorWhenDown = FColorWhenDown;
    f.Color = Color();
    f.Style = FStyle;
    f.HasPopupMenu = popupMenu_ != nullptr;
    f.WordWrap = FWordWrap;
    f.Flat = FFlat;
    f.Enabled = Enabled();
    f.Hot = Hot();
    f.Pressed = bDown;
    f.Glyph = FGlyph.get();
    f.NumGlyphs = FNumGlyphs;
    f.HotTrackStep = FHotTrackStep;
    return f;
}

void TLbButton::Paint()
{
    if (destroying_)
        return;
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0)
        return;
    TLbButtonFace face = Face(W, H);
    face.Font = Font();
    if (Hot() && FUseHTFont)
        face.Font = *FHTFont;

    TBitmap bitmap(W, H);
    TCanvas& bc = bitmap.Canvas();
    if (TransparentStyle(FStyle)) {
        bc.Brush().SetColor(LbTransparentColor);
        bc.FillRect(Rect(0, 0, W, H));
        bitmap.SetTransparent(true);
        bitmap.SetTransparentColor(LbTransparentColor);
    }
    if (FStyle == bsOld && hasFocus()) {
        if (face.Enabled && face.Pressed)
            face.LightColor = FShadowColor;
        face.Width = W - 2;
        face.Height = H - 2;
        DrawButtonFace(bc, face);
        const TBitmap copy(bitmap);
        bc.Draw(1, 1, copy);
        bc.Pen().SetColor(clBlack);
        bc.Pen().SetStyle(psSolid);
        bc.Brush().SetStyle(bsClear);
        bc.Rectangle(0, 0, W, H);
    } else {
        DrawButtonFace(bc, face);
    }
    bc.Flush();

    TCanvas& c = Canvas();
    c.Draw(0, 0, bitmap);
    if (hasFocus() && Enabled() && FStyle != bsShape)
        c.DrawFocusRect(Rect(4, 4, W - 4, H - 4));
}
