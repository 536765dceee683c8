#pragma once

#include "platform/CustomControl.h"
#include "platform/Forms.h"
#include "widgets/LbButtons.h"

#include <memory>

namespace platform {
class TAction;
class TPopupMenu;
}

// The push button of every window: a custom-drawn dialog button with six
// face styles, an optional glyph strip, hot tracking, a modal result for its
// window, default and cancel keys and an accelerator letter.
class TLbButton : public platform::TCustomControl
{
public:
    explicit TLbButton(QWidget* owner = nullptr);
    ~TLbButton() override;

    // Reads back exactly what was written; a doubled "&" shows as one.
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    platform::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(platform::TAlignment a);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v) { FDefault = v; }
    // Always lcsCustom; writing another value applies that colour preset.
    TLbColorStyle ColorStyle() const { return FDummyStyle; }
    void SetColorStyle(TLbColorStyle s);
    platform::TColor ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(platform::TColor c) { FColorWhenDown = c; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    // Copies the picture; NumGlyphs becomes width div height, Kind bkCustom.
    // An empty picture removes the glyph.
    const platform::TBitmap& Glyph() const { return *FGlyph; }
    void SetGlyph(const platform::TBitmap& glyph);
    platform::TColor HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(platform::TColor c) { FHotTrackColor = c; }
    platform::TFont& HotTrackFont() { return *FHTFont; }
    void SetHotTrackFont(const platform::TFont& f) { FHTFont->Assign(f); }
    TLbButtonKind Kind() const { return FKind; }
    void SetKind(TLbButtonKind k);
    TLbButtonLayout Layout() const { return FLayout; }
    void SetLayout(TLbButtonLayout l);
    platform::TColor LightColor() const { return FLightColor; }
    void SetLightColor(platform::TColor c);
    platform::TModalResult ModalResult() const { return FModalResult; }
    // Also resets Kind to bkCustom.
    void SetModalResult(platform::TModalResult r);
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int n);
    platform::TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(platform::TColor c);
    bool SlowDecease() const { return FSlowDecease; }
    void SetSlowDecease(bool v);
    TLbButtonStyle Style() const { return FStyle; }
    void SetStyle(TLbButtonStyle s);
    bool UseHotTrackFont() const { return FUseHTFont; }
    void SetUseHotTrackFont(bool v) { FUseHTFont = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    // Popped up under the button after a click; not owned.
    platform::TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(platform::TPopupMenu* menu);

    void SetEnabled(bool e) override;
    void SetColor(platform::TColor c) override;

    // The action gives the caption, the enabled state and, for a button
    // without a glyph, its image; a click executes it (unless OnClick is set).
    platform::TAction* Action() const;
    void SetAction(platform::TAction* action);

    // State the face shows.
    bool Down() const { return bDown; }
    bool CursorOnButton() const { return bCursorOnButton; }
    int HotTrackStep() const { return FHotTrackStep; }
    bool Hot() const;

    // OnClick (inherited) is the button's click event; it runs before the
    // modal result reaches the window.
    platform::TNotifyEvent OnMouseExit;

    bool IsButtonControl() const override { return true; }
    bool DialogKey(int key, platform::TShiftState shift) override;
    bool DialogChar(QChar ch) override;

protected:
    void Paint() override;
    void Click() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyUp(int& key, platform::TShiftState shift) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DoEnter() override;
    void DoExit() override;
    // The action changed (or was linked).
    virtual void ActionChange();

private:
    class Link;
    friend class Link;

    void PaintNow();
    void FadeStep();
    void ClickSequence();
    bool ParentShowing() const;
    TLbButtonFace Face(int width, int height) const;

    QString caption_;
    platform::TPopupMenu* popupMenu_ = nullptr;
    bool destroying_ = false;

    platform::TAlignment FAlignment = platform::taCenter;
    platform::TColor FShadowColor = platform::clGray;
    platform::TColor FColorWhenDown = platform::clNone;
    bool FEnabled = true;
    bool FFlat = false;
    bool FWordWrap = false;
    std::unique_ptr<platform::TBitmap> FGlyph;
    platform::TColor FHotTrackColor = platform::clNone;
    std::unique_ptr<platform::TFont> FHTFont;
    TLbButtonKind FKind = bkCustom;
    TLbButtonLayout FLayout = blGlyphLeft;
    platform::TColor FLightColor = platform::clWhite;
    platform::TModalResult FModalResult = platform::mrNone;
    int FNumGlyphs = 0;
    bool FUseHTFont = false;
    TLbColorStyle FDummyStyle = lcsCustom;
    TLbButtonStyle FStyle = bsNormal;
    bool FDefault = false;
    bool FCancel = false;
    bool FSlowDecease = false;
    bool bDown = false;
    bool bCursorOnButton = false;
    std::unique_ptr<TLbButtonThread> FThread;
    int FHotTrackStep = 0;
    std::unique_ptr<Link> FActionLink;
};
