#pragma once

// The colour picker's three panels: the hexagonal colour cube, the hue and
// lightness spectrum with its eyedropper, and the grid of colour boxes with
// hot and selected frames and keyboard navigation. Each reports a choice
// through its own selection event and knows nothing of the drop-down.

#include "controls/ExDropDown.h"

#include "platform/Controls.h"
#include "platform/CustomControl.h"
#include "platform/Graphics.h"

#include <QImage>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TExCustomColorSelectorPanel : public platform::TCustomControl
{
public:
    explicit TExCustomColorSelectorPanel(QWidget* parent = nullptr);
    platform::TNotifyEvent FOnShouldHide;
};

// ---------------------------------------------------------------------------

class TExColorCubePanel : public TExCustomColorSelectorPanel
{
public:
    struct TCubeCell
    {
        platform::TPoint Center;
        platform::TColor Color = platform::clNone;
    };
    static constexpr int CellCount = 127;

    explicit TExColorCubePanel(QWidget* parent = nullptr);

    platform::TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(platform::TColor c);
    int SelectedIndex() const { return FSelectedIndex; }
    int HotIndex() const { return FHotIndex; }
    bool ShowRGBHint() const { return FShowRGBHint; }
    void SetShowRGBHint(bool v);
    platform::TNotifyEvent OnSelect;

    void InitCubeCells();
    void ResetHotCell();
    void SetPanelSize();
    void SelectCell(platform::TColor c, int cell);
    int CellAtPos(int x, int y) const;
    bool PtInCell(int cell, const platform::TPoint& p) const;
    // Cell 1..127; nothing else.
    const TCubeCell* Cell(int cell) const;

protected:
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

private:
    void DrawCell(platform::TCanvas& c, int cell);
    void DrawHexagon(platform::TCanvas& c, platform::TPoint center, int b, int a);
    void DrawHotCell(platform::TCanvas& c, int cell);
    void DrawSelectedCell(platform::TCanvas& c, int cell);
    void RepaintCell(int cell);
    int FindColor(platform::TColor c) const;

    std::array<TCubeCell, CellCount + 1> FCubeCells{}; // index 0 unused
    platform::TPoint FCubeSize{6, 3};
    platform::TColor FSelectedColor = platform::clNone;
    int FSelectedIndex = -1;
    int FHotIndex = -1;
    bool FShowRGBHint = true;
};

// ---------------------------------------------------------------------------

// The hue (x) by lightness (y) field of 128 x 128 the spectrum shows.
QImage SpectrumPicture();

class TExColorSpectrumPanel : public TExCustomColorSelectorPanel
{
public:
    explicit TExColorSpectrumPanel(QWidget* parent = nullptr);

    platform::TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(platform::TColor c)
    {
        if (c != FSelectedColor)
            FSelectedColor = c;
    }
    platform::TColor HotColor() const { return FHotColor; }
    platform::TRect HotRect() const { return FHotRect; }
    platform::TRect SelectedRect() const { return FSelectedRect; }
    platform::TImage* SpectrumImage() const { return FSpectrumImage; }
    platform::TNotifyEvent OnSelect;

    void SetPanelSize();
    void UpdateLayout();

    void SpectrumMouseMove(int x, int y);
    void SpectrumMouseDown(int x, int y);
    void SpectrumMouseUp();

protected:
    void Paint() override;
    void MouseUp(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;

private:
    void DrawSwatch(platform::TCanvas& c, const platform::TRect& r, platform::TColor colour);
    void RepaintRect(const platform::TRect& r);

    platform::TImage* FSpectrumImage;
    platform::TColor FHotColor = platform::clNone;
    platform::TColor FSelectedColor = platform::clWhite;
    platform::TRect FHotRect{}, FSelectedRect{};
};

// ---------------------------------------------------------------------------

class TColorBoxAppearance
{
public:
    void Assign(const TColorBoxAppearance& s)
    {
        FBorderColor = s.FBorderColor;
        FOuterBorderColorHot = s.FOuterBorderColorHot;
        FInnerBorderColorHot = s.FInnerBorderColorHot;
        FOuterBorderColorSelected = s.FOuterBorderColorSelected;
        FInnerBorderColorSelected = s.FInnerBorderColorSelected;
    }
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor c) { FBorderColor = c; }
    platform::TColor OuterBorderColorHot() const { return FOuterBorderColorHot; }
    void SetOuterBorderColorHot(platform::TColor c) { FOuterBorderColorHot = c; }
    platform::TColor InnerBorderColorHot() const { return FInnerBorderColorHot; }
    void SetInnerBorderColorHot(platform::TColor c) { FInnerBorderColorHot = c; }
    platform::TColor OuterBorderColorSelected() const { return FOuterBorderColorSelected; }
    void SetOuterBorderColorSelected(platform::TColor c) { FOuterBorderColorSelected = c; }
    platform::TColor InnerBorderColorSelected() const { return FInnerBorderColorSelected; }
    void SetInnerBorderColorSelected(platform::TColor c) { FInnerBorderColorSelected = c; }
    std::function<void()> OnChange;

private:
    platform::TColor FBorderColor = 0xC5C5C5;
    platform::TColor FOuterBorderColorHot = 0x3694F2;
    platform::TColor FInnerBorderColorHot = 0x94E2FF;
    platform::TColor FOuterBorderColorSelected = 0x0000FF;
    platform::TColor FInnerBorderColorSelected = 0x94E2FF;
};

enum class TItemPos { ipStandAlone, ipTop, ipMiddle, ipBottom };
using enum TItemPos;

class TColorBoxItems;

class TColorBoxItem
{
public:
    explicit TColorBoxItem(TColorBoxItems* collection) : FCollection(collection) {}
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor c);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool e) { FEnabled = e; }
    TItemPos ColorBoxPos() const { return FColorBoxPos; }
    void SetColorBoxPos(TItemPos p) { FColorBoxPos = p; }
    platform::TRect Rect() const { return FRect; }
    void SetRect(const platform::TRect& r) { FRect = r; }
    void Assign(const TColorBoxItem& s)
    {
        FColor = s.FColor;
        FEnabled = s.FEnabled;
    }

private:
    TColorBoxItems* FCollection;
    platform::TColor FColor = platform::clNone;
    bool FEnabled = true;
    // Not laid out yet: left and right negative.
    platform::TRect FRect{-1, -1, -1, -1};
    TItemPos FColorBoxPos = ipStandAlone;
};

class TColorBoxItems
{
public:
    explicit TColorBoxItems(QObject* owner) : FMyOwner(owner) {}
    QObject* GetOwner() const { return FMyOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TColorBoxItem* Add();
    TColorBoxItem* Insert(int index);
    // Null outside the list.
    TColorBoxItem* Items(int index) const;
    void Clear() { FItems.clear(); }
    void Assign(const TColorBoxItems& source);
    std::function<void()> OnChange;

private:
    friend class TColorBoxItem;
    QObject* FMyOwner;
    std::vector<std::unique_ptr<TColorBoxItem>> FItems;
};

class TCustomColorSelector : public TExCustomColorSelectorPanel
{
public:
    explicit TCustomColorSelector(QWidget* parent = nullptr);
    ~TCustomColorSelector() override;

    TColorBoxAppearance& ColorBoxAppearance() { return *FColorBoxAppearance; }
    void SetColorBoxAppearance(const TColorBoxAppearance& a) { FColorBoxAppearance->Assign(a); }
    TColorBoxItems& Items() { return *FItems; }
    void SetItems(const TColorBoxItems& items) { FItems->Assign(items); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int index);
    int ItemHot() const { return FItemHot; }
    void SetItemHot(int index);
    int Columns() const { return FColumns; }
    // At least 1: a row always holds a box, and Up and Down always move.
    void SetColumns(int v);
    int ColumnGap() const { return FColumnGap; }
    void SetColumnGap(int v);
    int ColorBoxHeight() const { return FColorBoxHeight; }
    void SetColorBoxHeight(int v);
    int ColorBoxWidth() const { return FColorBoxWidth; }
    void SetColorBoxWidth(int v);
    TSelectionColorStyle ItemColorStyle() const { return FItemColorStyle; }
    void SetItemColorStyle(TSelectionColorStyle s);
    platform::TColor SelectedColor() const { return FSelectedColor; }
    void SetSelectedColor(platform::TColor c);
    platform::TNotifyEvent OnItemSelect;

    void LoadThemeColors();
    void HandleKey(int key, bool editorEnabled, bool droppedDown);
    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();
    void HotNext();
    void HotPrevious();
    int ColorBoxAtPos(int x, int y) const;
    void GetColorBoxRect(int index, platform::TRect& r) const;

    virtual void DrawColorBox(int index, platform::TCanvas* canvas);
    virtual void GetInnerRect(platform::TRect& r);
    virtual void GetColorBoxSize(int& w, int& h);
    virtual void SetPanelSize();
    virtual void InvalidateColorBox(int index);

protected:
    void Paint() override;
    void MouseDown(platform::TMouseButton button, platform::TShiftState shift, int x, int y) override;
    void MouseMove(platform::TShiftState shift, int x, int y) override;
    void MouseLeave() override;

private:
    void DrawColorBoxes(platform::TCanvas& c);
    void RepaintColorBox(int index);
    bool ValidIndex(int i) const { return i >= 0 && i < FItems->Count(); }

    int FItemIndex = -1;
    int FItemHot = -1;
    int FOffSetX = 4, FOffSetY = 4;
    int FColumns = 10;
    int FColumnGap = 4;
    int FColorBoxHeight = 12, FColorBoxWidth = 12;
    std::unique_ptr<TColorBoxAppearance> FColorBoxAppearance;
    std::unique_ptr<TColorBoxItems> FItems;
    TSelectionColorStyle FItemColorStyle = scOffice2007;
    platform::TColor FSelectedColor = platform::clNone;
};
