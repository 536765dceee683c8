#pragma once

// A drop-down list of items with caption, picture and HTML notes. Typing in
// the edit completes the text from the first caption that starts with it (the
// typed letters keep their case); the open list takes type-ahead keys for
// 500 ms after the first key of a burst. Cancelling the popup restores the
// item selected when it was shown.

#include "controls/ExDropDown.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class TDetailItems;

class TDetailItem
{
public:
    explicit TDetailItem(TDetailItems* collection) : collection_(collection) {}
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& c);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool e);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int i);
    platform::TBitmap& Image() { return FImage; }
    const platform::TBitmap& Image() const { return FImage; }
    void SetImage(const platform::TBitmap& b) { FImage.Assign(b); }
    QString Notes() const { return FNotes; }
    void SetNotes(const QString& n) { FNotes = n; }
    int Tag() const { return FTag; }
    void SetTag(int t) { FTag = t; }
    QObject* ItemObject() const { return FItemObject; }
    void SetItemObject(QObject* o) { FItemObject = o; }
    int Index() const;
    // Caption, image index, picture, enabled flag, tag and object; not the notes.
    void Assign(const TDetailItem& source);

private:
    void Changed();
    TDetailItems* collection_;
    QString FCaption;
    bool FEnabled = true;
    int FImageIndex = -1;
    platform::TBitmap FImage;
    QString FNotes;
    int FTag = 0;
    QObject* FItemObject = nullptr;
};

class TDetailItems
{
public:
    explicit TDetailItems(QObject* owner = nullptr) : owner_(owner) {}
    QObject* GetOwner() const { return owner_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TDetailItem* Add();
    // An index outside 0..Count inserts at the end.
    TDetailItem* Insert(int index);
    TDetailItem* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    void SetItems(int index, const TDetailItem& source) { Items(index)->Assign(source); }
    void Delete(int index);
    void Clear();
    // First caption equal to the text (case-sensitive), else -1.
    int IndexOf(const QString& text) const;
    int IndexOfItem(const TDetailItem* item) const;
    void Assign(const TDetailItems& source);

    std::function<void()> OnChange;

private:
    friend class TDetailItem;
    void Changed();
    QObject* owner_;
    std::vector<std::unique_ptr<TDetailItem>> items_;
};

using TOnDrawSelectedItem = std::function<void(QObject* sender, platform::TCanvas& canvas, const platform::TRect& r)>;

class TExDetailDropDown : public TExCustomDropDown
{
public:
    explicit TExDetailDropDown(QWidget* parent = nullptr);
    ~TExDetailDropDown() override;

    TDetailItems& Items() { return *FItems; }
    void SetItems(const TDetailItems& items) { FItems->Assign(items); }
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int value);
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int h) { FItemHeight = h; }
    TItemLayout Layout() const { return FLayout; }
    void SetLayout(TItemLayout l) { FLayout = l; }
    TItemAppearance& ItemAppearance() { return *FItemAppearance; }
    void SetItemAppearance(const TItemAppearance& a) { FItemAppearance->Assign(a); }
    platform::TFont& CaptionFont() { return FCaptionFont; }
    void SetCaptionFont(const platform::TFont& f) { FCaptionFont.Assign(f); }
    platform::TFont& NotesFont() { return FNotesFont; }
    void SetNotesFont(const platform::TFont& f) { FNotesFont.Assign(f); }
    bool MatchCase() const { return FMatchCase; }
    void SetMatchCase(bool m) { FMatchCase = m; }
    // Null until the popup was first made.
    TExCustomItemSelector* ItemSelector() const { return FItemSelector; }
    // The type-ahead text of the open list.
    QString CurrentSearch() const { return FCurSearch; }

    void SelectFirst();
    void SelectLast();
    void SelectNext();
    void SelectPrevious();

    platform::TNotifyEvent OnSelect;
    TOnDrawSelectedItem OnDrawSelectedImage;

    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void DoShowDropDown() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool cancelled) override;
    void AfterDropUp() override;
    void DropDownResized() override;
    void HandleMouseWheelDown() override;
    void HandleMouseWheelUp() override;
    void SetEditRect() override;
    void SetSelectionColorStyle(TSelectionColorStyle style) override;
    void SetComponentStyle(TQRVStyle style) override;
    bool HandleKeyPress(QKeyEvent* e) override;

protected:
    // Auto-completion from the captions.
    void Change() override;
    void KeyDown(int& key, platform::TShiftState shift) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // Navigation and type-ahead before the key events; true when consumed.
    bool NavigationKey(int key, platform::TShiftState shift);
    void FillSelector();
    void SelectInSelector(int index);
    void SelectorItemSelect();
    void DrawItem(platform::TCanvas& canvas, platform::TRect r, int index);
    void ItemSize(platform::TSize& size);
    void KeyTimerTick();

    TExCustomItemSelector* FItemSelector = nullptr;
    TItemLayout FLayout = ilCaptionRight;
    std::unique_ptr<TDetailItems> FItems;
    int FItemIndex = -1;
    std::unique_ptr<TItemAppearance> FItemAppearance;
    bool FInternalCall = false;
    std::unique_ptr<platform::TTimer> FKeyTimer;
    QString FCurSearch;
    int FOldItemIndex = -1;
    int FItemHeight = 22;
    platform::TFont FCaptionFont, FNotesFont;
    bool FWorkMode = true;
    bool FItemChange = false;
    int FItemIdx = -1, FItemSel = 0;
    QString FOldValue;
    bool FMatchCase = false;
    bool FMatchStart = false;
    bool FInChange = false; // the completion's own text change
    bool FTyping = false;   // the text changes by a key
};
