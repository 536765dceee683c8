#pragma once

// What the colour and image pickers share: a non-editable drop-down whose
// value is an index into a list of items that is copied into an item
// selector each time the popup shows. It holds the selector, the list's looks,
// the type-ahead, the open and closed list's keys and wheel, and the paint
// step of the edit area. The leaves keep their items and their value.

#include "controls/ExDropDown.h"

#include <QPointer>
#include <QTimer>

#include <memory>

class TExItemSelectorDropDown : public TExCustomDropDown
{
public:
    explicit TExItemSelectorDropDown(QWidget* parent = nullptr);
    ~TExItemSelectorDropDown() override;

    int Columns() const { return FColumns; }
    void SetColumns(int c) { FColumns = c; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout l) { FLayout = l; }
    TItemAppearance& ItemAppearance() { return *FItemAppearance; }
    void SetItemAppearance(const TItemAppearance& a) { FItemAppearance->Assign(a); }

    // Null until the popup was first made.
    TExCustomItemSelector* ItemSelector() const { return FItemSelector; }
    QString CurrentSearch() const { return FCurSearch; }

    // The value: an index into the leaf's items, -1 for none.
    virtual int ItemIndex() const = 0;
    virtual void SetItemIndex(int index) = 0;

    void SetSelectionColorStyle(TSelectionColorStyle style) override;
    void SetComponentStyle(TQRVStyle style) override;

    platform::TNotifyEvent OnSelect;

protected:
    virtual int ItemCount() const = 0;
    // Copies the leaf's items into the selector (BeginSelectorFill ... EndSelectorFill).
    virtual void FillSelector() = 0;
    virtual void PaintEditArea(platform::TCanvas& canvas) = 0;

    // Makes the selector in the popup the first time, and makes it the popup's control.
    void PrepareItemSelector(TSelectorType type);
    // Clears the selector and gives it the list's looks; the leaf then adds its items.
    void BeginSelectorFill();
    // Lays the selector out, selects the value and listens to it again.
    void EndSelectorFill();
    // The leaf's own item painter, or the selector's built-in one.
    void RelayDrawItem(const TDrawItemEvent& handler);
    // The list is copied into the selector when the popup shows; the closed
    // picker's wheel and type-ahead would otherwise work on an old copy.
    void RefillWhenStale();
    void SelectInSelector(int index);
    // Sizes the popup around the selector, with room for its scroll bar.
    void UpdateSelectorDropDownSize();

    // The list's keys after the base's: navigation, paging and type-ahead.
    // `selected` tells that Enter already took the hot item.
    bool HandleListKey(int key, bool ctrl, bool used, bool selected);
    // The list's wheel: the hot item while open, the value while closed.
    void ListWheel(bool down);

    void KeyDown(int& key, platform::TShiftState shift) override;
    void paintEvent(QPaintEvent* e) override;

    QPointer<TExCustomItemSelector> FItemSelector;
    int FColumns = 1;
    TItemLayout FLayout = ilCaptionRight;
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall = false;
    QTimer FKeyTimer;
    QString FCurSearch;
    int FOldItemIndex = -1;
    // The key left after the dynamic KeyDown (0: taken by it or never reached).
    int keyAfterKeyDown_ = 0;

private:
    void SelectorItemSelect();
};
