#pragma once

// The calculator's keypad: a custom-drawn panel of push buttons that lays out
// the 28 calculator keys (or keeps the rectangles it is given), tracks the hot
// and the pressed button and reports a click by the button's index. A click
// counts only when press and release happen on the same enabled button.

#include "controls/ExDropDown.h"

#include "platform/CustomControl.h"
#include "platform/Graphics.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

// StripThousandSeparators, the calculator's locale helper, lives with the
// value text in ExDropDown.

class TCustomButtonPanel;

class TButtonItem
{
public:
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& c)
    {
        if (c != FCaption)
            FCaption = c;
    }
    platform::TColor CaptionColor() const { return FCaptionColor; }
    void SetCaptionColor(platform::TColor c) { FCaptionColor = c; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int i) { FImageIndex = i; }
    const platform::TBitmap& Image() const { return FImage; }
    void SetImage(const platform::TBitmap& b) { FImage.Assign(b); }
    int Tag() const { return FTag; }
    void SetTag(int t) { FTag = t; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool e) { FEnabled = e; }
    QString Name() const { return FName; }
    void SetName(const QString& n) { FName = n; }
    bool Special() const { return FSpecial; }
    void SetSpecial(bool s) { FSpecial = s; }

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetBounds(int left, int top, int width, int height)
    {
        FLeft = left;
        FTop = top;
        FWidth = width;
        FHeight = height;
    }
    platform::TRect Rect() const { return platform::Rect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }

    // Caption, caption colour, tag, image index, image, enabled and name; not
    // the special flag nor the rectangle.
    void Assign(const TButtonItem& source);

private:
    QString FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    platform::TBitmap FImage;
    int FTag = 0;
    int FHeight = 0, FLeft = 0, FWidth = 0, FTop = 0;
    QString FName;
    platform::TColor FCaptionColor = 0xFFFFFF;
    bool FSpecial = false;
};

class TButtonItems
{
public:
    explicit TButtonItems(TCustomButtonPanel* owner) : FOwner(owner) {}
    TCustomButtonPanel* GetOwner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TButtonItem* Add();
    // An index outside 0..Count inserts at the end.
    TButtonItem* Insert(int index);
    // Null outside the list.
    TButtonItem* Items(int index) const;
    // Copies the source into the item at index; nothing outside the list.
    void SetItems(int index, const TButtonItem& source);
    void Clear() { FItems.clear(); }
    void Assign(const TButtonItems& source);

    std::function<void()> OnChange;

private:
    TCustomButtonPanel* FOwner;
    std::vector<std::unique_ptr<TButtonItem>> FItems;
};

class TButtonAppearance
{
public:
    TButtonAppearance();
    void Assign(const TButtonAppearance& source);

#define BTNAPP_COLOR(Name)                                                                                             \
    platform::TColor Name() const { return F##Name; }                                                                  \
    void Set##Name(platform::TColor v)                                                                                 \
    {                                                                                                                  \
        if (v != F##Name) {                                                                                            \
            F##Name = v;                                                                                               \
            Changed();                                                                                                 \
        }                                                                                                              \
    }
    BTNAPP_COLOR(BorderColor)
    BTNAPP_COLOR(BorderColorHot)
    BTNAPP_COLOR(BorderColorDown)
    BTNAPP_COLOR(Color)
    BTNAPP_COLOR(ColorTo)
    BTNAPP_COLOR(ColorDown)
    BTNAPP_COLOR(ColorDownTo)
    BTNAPP_COLOR(ColorHot)
    BTNAPP_COLOR(ColorHotTo)
    BTNAPP_COLOR(TextColor)
    BTNAPP_COLOR(SpecialTextColor)
#undef BTNAPP_COLOR
    platform::TColor ShineColor() const { return FShineColor; }
    void SetShineColor(platform::TColor c) { FShineColor = c; }
    platform::TColor GlowColorHot = 0xD5C244;
    platform::TColor GlowColorDown = 0xD5C244;

    platform::TFont& Font() { return FFont; }
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& f) { FFont.Assign(f); }

    std::function<void()> OnChange;

private:
    void Changed()
    {
        if (OnChange)
            OnChange();
    }
    platform::TColor FBorderColor = 0, FBorderColorHot = 0, FBorderColorDown = 0;
    platform::TColor FBorderColorChecked = 0xFF0000;
    platform::TColor FColor = 0x9A915F, FColorTo = 0xB0A170, FColorDown = 0x4B2F08, FColorDownTo = 0xADB514,
                     FColorHot = 0x9F6F1C, FColorHotTo = 0xD5C244;
    platform::TColor FColorCheckedTo = 0xF9BDA0, FColorDisabled = 0xF2F2F2, FColorDisabledTo = 0xF2F2F2,
                     FColorChecked = 0xF5D8CA;
    platform::TFont FFont;
    platform::TColor FShineColor = 0xFFFFFF;
    platform::TColor FTextColor = 0, FSpecialTextColor = 0x000080;
};

enum class TButtonPanelType { plCalculator, plCustom };
using enum TButtonPanelType;

using TCalculatorButtonClickEvent = std::function<void(QObject* sender, int buttonIndex)>;

class TCustomButtonPanel : public platform::TCustomControl
{
public:
    explicit TCustomButtonPanel(QWidget* parent = nullptr);
    ~TCustomButtonPanel() override;

    TButtonItems& Buttons() { return *FButtons; }
    void SetButtons(const TButtonItems& b) { FButtons->Assign(b); }
    TButtonAppearance& ButtonAppearance() { return *FButtonAppearance; }
    void SetButtonAppearance(const TButtonAppearance& a) { FButtonAppearance->Assign(a); }
    TItemLayout ButtonLayout() const { return FButtonLayout; }
    void SetButtonLayout(TItemLayout l) { FButtonLayout = l; }
    TButtonPanelType ButtonPanelType() const { return FButtonPanelType; }
    void SetButtonPanelType(TButtonPanelType t);
    // The list is not owned; whoever frees it sets null here first.
    const platform::TImageList* Images() const { return FImages; }
    void SetImages(const platform::TImageList* images);
    TSelectionColorStyle ItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle s) { FItemColorStyle = s; }
    QWidget* Edit() const { return FEdit; }
    void SetEdit(QWidget* e) { FEdit = e; }
    // The drop-down hosting the panel: no frame, no repaint on look changes.
    QWidget* ExDropDown() const { return FExDropDown; }
    void SetExDropDown(QWidget* d) { FExDropDown = d; }
    int CaptionGap() const { return FCaptionGap; }
    void SetCaptionGap(int g) { FCaptionGap = g; }

    int ButtonHot() const { return FButtonHot; }
    int ButtonDown() const { return FButtonDown; }
    // The first enabled button whose rectangle holds the point, else -1.
    int ButtonAtPos(int x, int y) const;

    virtual void DrawButton(int index, platform::TCanvas* canvas);
    virtual void GetButtonArea(platform::TRect& r);
    virtual void GetButtonSize(platform::TSize& s);
    virtual void ClearButtons();
    virtual void ResetButtons();
    virtual void InitButtons();
    virtual void ArrangeButtons();
    virtual void InvalidateButton(int index);
    virtual void DoButtonClick(int index);

    // After streaming: fill the keypad unless a drop-down hosts the panel.
    void Loaded();

    TCalculatorButtonClickEvent OnButtonClick;

protected:
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void Resize() override;

private:
    void SetButtonHot(int index);
    void SetButtonDown(int index);
    void LookChanged();
    bool ValidIndex(int index) const { return index >= 0 && index < FButtons->Count(); }

    std::unique_ptr<TButtonItems> FButtons;
    TItemLayout FButtonLayout = ilCaptionRight;
    TSelectionColorStyle FItemColorStyle = scCustom;
    int FButtonHot = -1;
    int FOffSetX = 8, FOffSetY = 8;
    int FButtonOffSetX = 4, FButtonOffSetY = 4;
    const platform::TImageList* FImages = nullptr;
    int FCaptionGap = 0;
    QPointer<QWidget> FEdit;
    TButtonPanelType FButtonPanelType = plCalculator;
    std::unique_ptr<TButtonAppearance> FButtonAppearance;
    int FButtonDown = -1;
    QPointer<QWidget> FExDropDown;
};
