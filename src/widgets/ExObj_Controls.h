#pragma once

// Two small controls of the grid: the flat grid button of its search footer
// and cells, and the owner-drawn check box of its search footer.

#include "platform/Controls.h"
#include "platform/CustomControl.h"

#include <memory>
#include "widgets/ExObj.h"

#include <QPointer>

// ---------------------------------------------------------------------------
// TExGridButton
// ---------------------------------------------------------------------------

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using enum TButtonState;

// A flat, windowless push or check button with a glyph, a caption and
// gradient colours per state. Buttons of one parent with the same non-zero
// GroupIndex form a group: one of them down at a time.
namespace platform {
class TAction;
}

class TExGridButton : public platform::TGraphicControl
{
public:
    explicit TExGridButton(QWidget* parent = nullptr);
    ~TExGridButton() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool v);
    bool AutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool v);
    bool AutoXPStyle() const { return FAutoXPStyle; }
    void SetAutoXPStyle(bool v) { Store(FAutoXPStyle, v); }
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v) { Store(FBorderColor, v); }
    platform::TColor BorderDownColor() const { return FBorderDownColor; }
    void SetBorderDownColor(platform::TColor v) { Store(FBorderDownColor, v); }
    platform::TColor BorderHotColor() const { return FBorderHotColor; }
    void SetBorderHotColor(platform::TColor v) { Store(FBorderHotColor, v); }
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v) override { Store(FColor, v); }
    platform::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(platform::TColor v) { Store(FColorTo, v); }
    platform::TColor ColorDown() const { return FColorDown; }
    void SetColorDown(platform::TColor v) { Store(FColorDown, v); }
    platform::TColor ColorDownTo() const { return FColorDownTo; }
    void SetColorDownTo(platform::TColor v) { Store(FColorDownTo, v); }
    platform::TColor ColorHot() const { return FColorHot; }
    void SetColorHot(platform::TColor v) { Store(FColorHot, v); }
    platform::TColor ColorHotTo() const { return FColorHotTo; }
    void SetColorHotTo(platform::TColor v) { Store(FColorHotTo, v); }
    platform::TColor ColorChecked() const { return FColorChecked; }
    void SetColorChecked(platform::TColor v) { Store(FColorChecked, v); }
    platform::TColor ColorCheckedTo() const { return FColorCheckedTo; }
    void SetColorCheckedTo(platform::TColor v) { Store(FColorCheckedTo, v); }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int v);
    bool Down() const { return FDown; }
    void SetDown(bool v);
    bool DropDownButton() const { return FDropDownButton; }
    void SetDropDownButton(bool v) { Store(FDropDownButton, v); }
    platform::TPopupMenu* DropDownMenu() const { return FDropDownMenu.data(); }
    void SetDropDownMenu(platform::TPopupMenu* menu) { FDropDownMenu = menu; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool v) { Store(FFlat, v); }
    const platform::TBitmap& Glyph() const { return FGlyph; }
    // The first glyph also gives a grey disabled glyph when none is set.
    void SetGlyph(const platform::TBitmap& v);
    const platform::TBitmap& GlyphHot() const { return FGlyphHot; }
    void SetGlyphHot(const platform::TBitmap& v);
    const platform::TBitmap& GlyphDown() const { return FGlyphDown; }
    void SetGlyphDown(const platform::TBitmap& v);
    const platform::TBitmap& GlyphDisabled() const { return FGlyphDisabled; }
    void SetGlyphDisabled(const platform::TBitmap& v);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout v) { Store(FLayout, v); }
    // -1 centres glyph and caption; values below -1 are ignored.
    int Margin() const { return FMargin; }
    void SetMargin(int v);
    bool Rounded() const { return FRounded; }
    void SetRounded(bool v) { Store(FRounded, v); }
    bool Shaded() const { return FShaded; }
    void SetShaded(bool v);
    bool ShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool v) { Store(FShowCaption, v); }
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v) { Store(FSpacing, v); }
    TExGridButtonStyle Style() const { return FStyle; }
    void SetStyle(TExGridButtonStyle v) { Store(FStyle, v); }
    // Applies one of the colour sets 0..6; other values change nothing.
    void SetLook(int look);
    TButtonState State() const { return FState; }
    bool Hot() const { return FMouseInControl; }
    const platform::TBitmap& ShadeBitmap() const { return FShade; }
    // Right-to-left reading swaps the left and right layouts.
    bool RightToLeft() const { return FRightToLeft; }
    void SetRightToLeft(bool v) { Store(FRightToLeft, v); }
    void Loaded();

    platform::TNotifyEvent OnDropDown;

    // A group's notification: the button that went down in group `group`.
    void ButtonPressed(int group, TExGridButton* sender);

    // The action gives the caption, the enabled and checked (Down) state and
    // the group; a click executes it (unless OnClick is set).
    platform::TAction* Action() const;
    void SetAction(platform::TAction* action);

protected:
    void Click() override;
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void DblClick() override;
    void MouseEnter() override;
    void MouseLeave() override;
    bool DialogChar(QChar ch) override;
    void changeEvent(QEvent* event) override;

private:
    template <class T>
    void Store(T& field, const T& v)
    {
        if (field == v)
            return;
        field = v;
        update();
    }
    void UpdateExclusive();
    void MakeShade();
    void DrawGradient(platform::TCanvas& canvas, platform::TColor from, platform::TColor to,
                      platform::TColor border, platform::TRect r);
    void PaintFlat(platform::TCanvas& canvas, platform::TRect& r);
    void SyncState();

    QString FCaption;
    bool FAllowAllUp = false;
    bool FAutoThemeAdapt = false;
    bool FAutoXPStyle = false;
    platform::TColor FBorderColor = platform::clNone;
    platform::TColor FBorderDownColor = platform::clNone;
    platform::TColor FBorderHotColor = platform::clNone;
    platform::TColor FColor = platform::clBtnFace;
    platform::TColor FColorTo = platform::clNone;
    platform::TColor FColorDown = 0xD8D3D2;
    platform::TColor FColorDownTo = platform::clNone;
    platform::TColor FColorHot = 0xCAC7C7;
    platform::TColor FColorHotTo = platform::clNone;
    platform::TColor FColorChecked = 0x808080;
    platform::TColor FColorCheckedTo = platform::clNone;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FDropDownButton = false;
    QPointer<platform::TPopupMenu> FDropDownMenu;
    bool FFlat = true;
    platform::TBitmap FGlyph, FGlyphHot, FGlyphDown, FGlyphDisabled, FShade;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    bool FRounded = false;
    bool FShaded = true;
    bool FShowCaption = true;
    int FSpacing = 4;
    TExGridButtonStyle FStyle = tasButton;
    TButtonState FState = bsUp;
    bool FDragging = false;
    bool FMouseInControl = false;
    bool FRightToLeft = false;
    bool FLoading = false;
    class Link;
    friend class Link;
    std::unique_ptr<Link> FActionLink;
};

// ---------------------------------------------------------------------------
// TExCheckBox
// ---------------------------------------------------------------------------

// taLeftJustify or taRightJustify.
using TLeftRight = platform::TAlignment;
using platform::TCheckBoxState;
using platform::TTextLayout;

// A small owner-drawn check box with a caption, drawn with the visual style
// when available; it can show its parent's background through.
class TExCheckBox : public platform::TCustomControl
{
public:
    explicit TExCheckBox(QWidget* parent = nullptr);

    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v) { Store(FAlignment, v); }
    TTextLayout ButtonVertAlign() const { return FButtonVertAlign; }
    void SetButtonVertAlign(TTextLayout v) { Store(FButtonVertAlign, v); }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v);
    bool Checked() const { return FState == platform::cbChecked; }
    void SetChecked(bool v) { SetState(v ? platform::cbChecked : platform::cbUnchecked); }
    bool Ellipsis() const { return FEllipsis; }
    void SetEllipsis(bool v) { Store(FEllipsis, v); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    bool ReturnIsTab() const { return FReturnIsTab; }
    void SetReturnIsTab(bool v) { FReturnIsTab = v; }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool Down() const { return FDown; }
    bool Hot() const { return FHot; }

    // Unless read-only, Checked := not Checked.
    virtual void Toggle();

    // The box's rectangle in the control.
    platform::TRect BoxRect() const;

protected:
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void KeyUp(int& key, platform::TShiftState shift) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DoEnter() override;
    void DoExit() override;
    bool DialogChar(QChar ch) override;
    bool WantsKey(int key) const override;
    void changeEvent(QEvent* event) override;

private:
    template <class T>
    void Store(T& field, const T& v)
    {
        if (field == v)
            return;
        field = v;
        update();
    }
    void RepaintBox();
    void ClickToggle();

    TLeftRight FAlignment = platform::taLeftJustify;
    TTextLayout FButtonVertAlign = platform::tlTop;
    QString FCaption = QStringLiteral("TExCheckBox");
    bool FEllipsis = false;
    bool FReadOnly = false;
    bool FReturnIsTab = false;
    TCheckBoxState FState = platform::cbUnchecked;
    bool FTransparent = false;
    bool FDown = false;
    bool FFocused = false;
    bool FHot = false;
    bool FMouseDown = false;
    bool FClicksDisabled = false;
};
