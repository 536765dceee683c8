#pragma once

// The colour picker drop-down: a non-editable drop-down whose edit area shows
// a swatch of `SelectedColor` and, optionally, a colour text, and whose popup
// offers one of four selectors chosen by `ColorSelectionStyle`: the picker's
// own list `Colors` (an item selector in colour mode), the 60 theme colour
// boxes, the hexagon cube or the spectrum.
//
// `ItemIndex` is the chosen entry of `Colors` (-1 none) and only follows the
// list; `SelectedColor` is the value. Writing a colour selects the first
// entry of that colour, and a colour the list does not hold leaves
// `ItemIndex` as it was.

#include "controls/ExColorSelector.h"
#include "controls/ExItemSelectorDropDown.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class TColorItems;

class TColorItem
{
public:
    explicit TColorItem(TColorItems* collection) : FCollection(collection) {}
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& c);
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor c);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool e) { FEnabled = e; }
    QString Hint() const { return FHint; }
    void SetHint(const QString& h) { FHint = h; }
    void Assign(const TColorItem& other);

private:
    void Changed();
    TColorItems* FCollection;
    QString FCaption;
    platform::TColor FColor = platform::clNone;
    bool FEnabled = true;
    platform::TRect FRect{};
    QString FHint;
};

class TColorItems
{
public:
    explicit TColorItems(QObject* owner) : FMyOwner(owner) {}
    QObject* GetOwner() const { return FMyOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TColorItem* Add();
    TColorItem* Insert(int index);
    // Throws std::out_of_range outside the list.
    TColorItem* Items(int index) const;
    void Clear() { FItems.clear(); }
    void Assign(const TColorItems& source);
    std::function<void()> OnChange;

private:
    friend class TColorItem;
    QObject* FMyOwner;
    std::vector<std::unique_ptr<TColorItem>> FItems;
};

enum class TColorSelectionStyle { csList, csDiscrete, csColorCube, csSpectrum };
using enum TColorSelectionStyle;
enum class TColorValueText { cvtNone, cvtHex, cvtWebName, cvtRGB, cvtHTML };
using enum TColorValueText;

// Draws the picker's edit area (or a whole item) in place of the built-in painting.
using TOnDrawSelectedColor =
    std::function<void(QObject* sender, platform::TCanvas& canvas, const platform::TRect& r)>;

// The name of a colour in the table of named web colours ("clWebRed"); empty
// when the table does not hold it.
QString WebColorName(platform::TColor rgb);

class TExColorPickerDropDown : public TExItemSelectorDropDown
{
public:
    explicit TExColorPickerDropDown(QWidget* parent = nullptr);
    ~TExColorPickerDropDown() override;

    TColorItems& Colors() { return *FColors; }
    void SetColors(const TColorItems& c) { FColors->Assign(c); }
    int ItemIndex() const override { return FItemIndex; }
    void SetItemIndex(int i) override;
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int h) { FColorBoxHeight = h; }
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int w) { FColorBoxWidth = w; }
    TColorValueText ColorValueText() const { return FColorValueText; }
    void SetColorValueText(TColorValueText v) { FColorValueText = v; }
    TColorSelectionStyle ColorSelectionStyle() const { return FColorSelectionStyle; }
    void SetColorSelectionStyle(TColorSelectionStyle s);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool s);
    platform::TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(platform::TColor c);
    virtual QString SelectedColorText() const;

    // Appends the 16 named colours (it does not clear the list first).
    void AddDefaultColors();

    // The other selectors, null until their style first needs them.
    TCustomColorSelector* ColorSelector() const { return FColorSelector; }
    TExColorCubePanel* ColorCubePanel() const { return FColorCubePanel; }
    TExColorSpectrumPanel* SpectrumPanel() const { return FSpectrumPanel; }
    TOnDrawSelectedColor OnDrawSelectedColor;
    TDrawItemEvent OnDrawColor;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void UpdateDropDownControl() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool cancel) override;
    // The key-down message: hot item on Enter, the base's keys, then the
    // picker's own navigation. True when the key was used.
    bool HandleKeyPress(QKeyEvent* e) override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;

protected:
    int ItemCount() const override { return FColors->Count(); }
    void FillSelector() override;
    void PaintEditArea(platform::TCanvas& canvas) override;

private:
    void PrepareSelector(TColorSelectionStyle style);
    void ShowSelector(TColorSelectionStyle style);
    void BoxItemSelect();
    void PanelSelect(platform::TColor c);
    void Wheel(bool down);

    QPointer<TExColorCubePanel> FColorCubePanel;
    QPointer<TExColorSpectrumPanel> FSpectrumPanel;
    QPointer<TCustomColorSelector> FColorSelector;
    std::unique_ptr<TColorItems> FColors;
    int FItemIndex = -1;
    int FColorBoxWidth = 14, FColorBoxHeight = 14;
    TColorSelectionStyle FColorSelectionStyle = csList;
    platform::TColor FSelectedColor = platform::clNone;
    bool FShowText = true;
    platform::TColor FOldSelectedColor = platform::clNone;
    TColorValueText FColorValueText = cvtNone;
};
