#pragma once

// A combo box with its own look: flat mode, border, focus and button
// colours, its own drop-down button, a hover state, colours that follow the
// focus and an optional label placed around it.

#include "platform/ComboBox.h"

#include <memory>

namespace platform {
class TLabel;
}

enum class TLabelPosition {
    lpLeftTop,
    lpLeftCenter,
    lpLeftBottom,
    lpTopLeft,
    lpBottomLeft,
    lpLeftTopLeft,
    lpLeftCenterLeft,
    lpLeftBottomLeft,
    lpTopCenter,
    lpBottomCenter,
    lpRightTop,
    lpRightCenter,
    lpRighBottom
};
using enum TLabelPosition;

class TEsgCustomCombo : public platform::TCustomComboBox
{
public:
    explicit TEsgCustomCombo(QWidget* parent = nullptr);
    ~TEsgCustomCombo() override;

    // Stored-property loading: BeginLoading before the properties are
    // assigned, Loaded after them.
    void BeginLoading() { loading_ = true; }
    bool Loading() const { return loading_; }
    virtual void Loaded();
    // Records the current colour as the one to return to after the focus.
    void Init();
    // Chooses the first item equal to the text; nothing happens when none is.
    void SelectItem(const QString& text);
    void SetBounds(int left, int top, int width, int height) override;

    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool v) { FAutoFocus = v; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);
    bool Etched() const { return FEtched; }
    void SetEtched(bool v);
    // 14 to 32 pixels; other values are ignored.
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int v);
    bool FocusBorder() const { return FFocusBorder; }
    void SetFocusBorder(bool v) { FFocusBorder = v; }
    // Width of the dropped list; 0 leaves it to the platform.
    int DropWidth() const { return FDropWidth; }
    void SetDropWidth(int v);
    bool IsWinXP() const { return FIsWinXP; }
    void SetIsWinXP(bool v) { FIsWinXP = v; }
    bool IsVista() const { return FIsVista; }
    void SetIsVista(bool v) { FIsVista = v; }
    bool IsThemed() const { return FIsThemed; }
    bool MouseInControl() const { return FMouseInControl; }
    bool ButtonHover() const { return FButtonHover; }
    bool HasFocus() const { return FHasFocus; }

    bool LabelAlwaysEnabled() const { return FLabelAlwaysEnabled; }
    void SetLabelAlwaysEnabled(bool v);
    bool LabelTransparent() const { return FLabelTransparent; }
    void SetLabelTransparent(bool v);
    int LabelMargin() const { return FLabelMargin; }
    void SetLabelMargin(int v);
    platform::TFont& LabelFont() { return FLabelFont; }
    void SetLabelFont(const platform::TFont& f);
    TLabelPosition LabelPosition() const { return FLabelPosition; }
    void SetLabelPosition(TLabelPosition v);
    QString LabelCaption() const;
    void SetLabelCaption(const QString& caption);
    // Null until a caption is given.
    platform::TLabel* ComboLabel() const { return FLabel; }
    bool FocusLabel() const { return FFocusLabel; }
    void SetFocusLabel(bool v) { FFocusLabel = v; }

    platform::TColor FlatLineColor() const { return FFlatLineColor; }
    void SetFlatLineColor(platform::TColor c);
    bool FlatParentColor() const { return FFlatParentColor; }
    void SetFlatParentColor(bool v);
    platform::TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(platform::TColor c) { FFocusColor = c; }
    platform::TColor FocusBorderColor() const { return FFocusBorderColor; }
    void SetFocusBorderColor(platform::TColor c) { FFocusBorderColor = c; }
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor c);
    bool DisabledBorder() const { return FDisabledBorder; }
    void SetDisabledBorder(bool v) { FDisabledBorder = v; }
    platform::TColor NormalColor() const { return FNormalColor; }

    platform::TColor ButtonColor() const { return FButtonColor; }
    void SetButtonColor(platform::TColor c) { FButtonColor = c; Invalidate(); }
    platform::TColor ButtonColorHot() const { return FButtonColorHot; }
    void SetButtonColorHot(platform::TColor c) { FButtonColorHot = c; Invalidate(); }
    platform::TColor ButtonColorDown() const { return FButtonColorDown; }
    void SetButtonColorDown(platform::TColor c) { FButtonColorDown = c; Invalidate(); }
    platform::TColor ButtonBorderColor() const { return FButtonBorderColor; }
    void SetButtonBorderColor(platform::TColor c) { FButtonBorderColor = c; Invalidate(); }
    platform::TColor ButtonTextColor() const { return FButtonTextColor; }
    void SetButtonTextColor(platform::TColor c) { FButtonTextColor = c; Invalidate(); }
    platform::TColor ButtonTextColorHot() const { return FButtonTextColorHot; }
    void SetButtonTextColorHot(platform::TColor c) { FButtonTextColorHot = c; Invalidate(); }
    platform::TColor ButtonTextColorDown() const { return FButtonTextColorDown; }
    void SetButtonTextColorDown(platform::TColor c) { FButtonTextColorDown = c; Invalidate(); }

    void SetColor(platform::TColor c) override;
    void SetEnabled(bool e) override;
    void SetVisible(bool v) override;
    // The parent's colour and whether the combo shows it.
    bool ParentColor() const { return FParentColorFlag; }
    void SetParentColor(bool v);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool v);
    bool Ctl3D() const { return FCtl3D; }

    // The list closed.
    platform::TNotifyEvent OnDropUp;

    // Where the label goes for a combo at (left, top, width, height) and a
    // label of the given size; the caption's measured width is textWidth.
    static platform::TPoint LabelPlace(TLabelPosition position, int left, int top, int width, int height,
                                       int labelWidth, int labelHeight, int textWidth, int margin);

    // Whether the painting of the button and borders is the combo's own.
    bool CustomPainting() const;
    // Whether a mouse button is down right now (the button's pressed look).
    virtual bool MouseButtonDown() const;

protected:
    void WndProc(platform::TMessage& message) override;
    void DoEnter() override;
    void DoExit() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void DropDown() override;
    void CloseUp() override;
    void FontChanged() override;
    void changeEvent(QEvent* event) override;

    void DrawButton(platform::TCanvas& canvas);
    void DrawBorders(platform::TCanvas& canvas);
    void UpdateLabel();
    void RedrawBorders();
    bool ThemesActive() const;
    bool ButtonColorSet() const;
    bool IsActiveControl() const;

private:
    void EnabledChanged();
    void ApplyFocusColor();
    void RestoreNormalColor();
    void SetLabelBold(bool bold);

    bool FAutoFocus = false;
    bool FFlat = false;
    bool FEtched = false;
    platform::TColor FOldColor = platform::clNone;
    platform::TColor FLoadedColor = platform::clWindow;
    bool FOldParentColor = false;
    int FButtonWidth = 19;
    bool FFocusBorder = false;
    bool FMouseInControl = false;
    int FDropWidth = 0;
    bool FIsWinXP = false;
    bool FIsThemed = false;
    bool FButtonHover = false;
    bool FLabelAlwaysEnabled = false;
    bool FLabelTransparent = false;
    int FLabelMargin = 4;
    platform::TFont FLabelFont;
    TLabelPosition FLabelPosition = lpLeftTop;
    platform::TLabel* FLabel = nullptr;
    platform::TColor FFlatLineColor = platform::clNone;
    bool FFlatParentColor = true;
    platform::TColor FFocusColor = platform::clNone;
    platform::TColor FFocusBorderColor = platform::clNone;
    platform::TColor FBorderColor = platform::clNone;
    bool FDisabledBorder = true;
    platform::TColor FNormalColor = platform::clNone;
    bool FHasFocus = false;
    bool FFocusLabel = false;
    platform::TColor FButtonColorDown = platform::clNone;
    platform::TColor FButtonBorderColor = platform::clNone;
    platform::TColor FButtonTextColor = platform::clNone;
    platform::TColor FButtonTextColorHot = platform::clNone;
    platform::TColor FButtonColor = platform::clNone;
    platform::TColor FButtonColorHot = platform::clNone;
    platform::TColor FButtonTextColorDown = platform::clNone;
    bool FIsVista = false;

    bool loading_ = false;
    bool destroying_ = false;
    bool FCtl3D = true;
    bool FParentColorFlag = false;
    bool FParentFont = true;
    bool lastEnabled_ = true;
};

// Publishes the properties; no behaviour of its own.
class TEsgComboBox : public TEsgCustomCombo
{
public:
    using TEsgCustomCombo::TEsgCustomCombo;
};
