#pragma once

// The image picker drop-down: its value is an image. The items are pictures
// or image-list images with optional captions and hints; the popup shows them
// in an item selector grid of `Columns` columns, and the closed control shows
// the selected item's image centred in its edit area (it takes no typing).
//
// `ItemIndex` is the value (-1 none); `ImageIndex` is the image-list index of
// the selected item, derived from it. The popup holds a copy of `Items` made
// each time it shows; cancelling it restores the index of that showing. The
// navigation keys and the type-ahead of the open list follow the detail
// drop-down's, with Up and Down moving by a row of the grid.

#include "controls/ExDetailDropDown.h" // TOnDrawSelectedItem
#include "controls/ExItemSelectorDropDown.h"

#include <functional>
#include <memory>
#include <vector>

class TImageItems;

class TImageItem
{
public:
    explicit TImageItem(TImageItems* collection) : FCollection(collection) {}
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& c);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int i);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool e) { FEnabled = e; }
    platform::TBitmap& Image() { return FImage; }
    const platform::TBitmap& Image() const { return FImage; }
    void SetImage(const platform::TBitmap& b) { FImage.Assign(b); }
    QString Hint() const { return FHint; }
    void SetHint(const QString& h) { FHint = h; }
    // Caption, image index, picture, enabled flag and hint.
    void Assign(const TImageItem& other);

private:
    void Changed();
    TImageItems* FCollection;
    QString FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    platform::TBitmap FImage;
    platform::TRect FRect{};
    QString FHint;
};

class TImageItems
{
public:
    explicit TImageItems(QObject* owner) : FMyOwner(owner) {}
    QObject* GetOwner() const { return FMyOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TImageItem* Add();
    TImageItem* Insert(int index);
    // Throws std::out_of_range outside the list.
    TImageItem* Items(int index) const;
    void Clear() { FItems.clear(); }
    void Assign(const TImageItems& source);
    std::function<void()> OnChange;

private:
    friend class TImageItem;
    QObject* FMyOwner;
    std::vector<std::unique_ptr<TImageItem>> FItems;
};

class TExImagePickerDropDown : public TExItemSelectorDropDown
{
public:
    explicit TExImagePickerDropDown(QWidget* parent = nullptr);
    ~TExImagePickerDropDown() override;

    TImageItems& Items() { return *FItems; }
    void SetItems(const TImageItems& items) { FItems->Assign(items); }
    int ItemIndex() const override { return FItemIndex; }
    void SetItemIndex(int value) override;
    // -1 when nothing is selected. Writing selects the first item with that
    // image index, or nothing when no item has it.
    int ImageIndex() const;
    void SetImageIndex(int value);

    // One item per image of `Images`, in list order, without captions.
    void AddImagesFromImageList();
    // One item per file the mask (a folder and a wildcard name) finds, in
    // name order; a file that is no picture gives an item with an empty
    // picture and no caption. Returns the number of items added.
    int AddImagesFromFolder(const QString& mask, bool setImageCaption);

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();

    TOnDrawSelectedItem OnDrawSelectedImage;
    TDrawItemEvent OnDrawItem;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool cancel) override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    // The key-down message: Enter takes the hot item, then the base's keys,
    // then the picker's navigation and type-ahead.
    bool HandleKeyPress(QKeyEvent* e) override;

protected:
    int ItemCount() const override { return FItems->Count(); }
    void FillSelector() override;
    void PaintEditArea(platform::TCanvas& canvas) override;

private:
    std::unique_ptr<TImageItems> FItems;
    int FItemIndex = -1;
};
