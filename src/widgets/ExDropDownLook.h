#pragma once

// The looks of the header and footer bars of drop-down editors, with their
// button collections. Every grid owns one of each and copies them into the
// drop-down editors it creates.

#include "platform/Graphics.h"
#include "widgets/ExUtil.h" // TGradientDirection

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class QObject;

enum class TButtonAlignment { baLeft, baRight };
using enum TButtonAlignment;

// A click on a header or footer button: the drop-down and the button's index.
using TDropDownButtonItemClick = std::function<void(QObject* sender, int buttonIndex)>;

// What the button items of a collection tell it.
class TDropDownButtonCollection
{
public:
    explicit TDropDownButtonCollection(QObject* owner) : owner_(owner) {}
    virtual ~TDropDownButtonCollection() = default;
    QObject* Owner() const { return owner_; }
    void Changed()
    {
        if (OnChange)
            OnChange();
    }
    std::function<void()> OnChange;

private:
    QObject* owner_;
};

class THeaderButton
{
public:
    explicit THeaderButton(TDropDownButtonCollection* collection = nullptr) : collection_(collection) {}
    virtual ~THeaderButton() = default;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v) { Change(FCaption, v); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool v) { Change(FEnabled, v); }
    // 0: sized to its caption and image.
    int Width() const { return FWidth; }
    void SetWidth(int v) { Change(FWidth, v); }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }

    void Assign(const THeaderButton& other)
    {
        SetCaption(other.FCaption);
        SetImageIndex(other.FImageIndex);
        SetEnabled(other.FEnabled);
        SetWidth(other.FWidth);
        SetHeight(other.FHeight);
    }

protected:
    template <class T>
    void Change(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        if (collection_)
            collection_->Changed();
    }

private:
    template <class>
    friend class TDropDownButtonList;
    TDropDownButtonCollection* collection_;
    QString FCaption;
    int FImageIndex = -1;
    bool FEnabled = true;
    int FHeight = 0;
    int FWidth = 0;
};

class TFooterButton : public THeaderButton
{
public:
    using THeaderButton::THeaderButton;
    // The modal result a click gives the popup (0 none).
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int v) { FModalResult = v; }
    void Assign(const TFooterButton& other)
    {
        THeaderButton::Assign(other);
        FModalResult = other.FModalResult;
    }

private:
    int FModalResult = 0;
};

// An ordered collection of buttons; indices outside it throw std::out_of_range.
template <class Item>
class TDropDownButtonList : public TDropDownButtonCollection
{
public:
    using TDropDownButtonCollection::TDropDownButtonCollection;
    TDropDownButtonList(const TDropDownButtonList&) = delete;
    TDropDownButtonList& operator=(const TDropDownButtonList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    Item* Add()
    {
        items_.push_back(std::make_unique<Item>(this));
        return items_.back().get();
    }
    Item* Insert(int index)
    {
        Check(index, Count() + 1);
        return items_.insert(items_.begin() + index, std::make_unique<Item>(this))->get();
    }
    void Delete(int index)
    {
        Check(index, Count());
        items_.erase(items_.begin() + index);
    }
    void Clear() { items_.clear(); }
    Item* Items(int index) const
    {
        Check(index, Count());
        return items_[static_cast<size_t>(index)].get();
    }
    // Assigns into the existing item.
    void SetItems(int index, const Item& item) { Items(index)->Assign(item); }
    // Copies the other collection's items, then reports one change.
    void Assign(const TDropDownButtonList& other)
    {
        if (&other == this)
            return;
        items_.clear();
        for (const auto& item : other.items_) {
            auto copy = std::make_unique<Item>(nullptr);
            copy->Assign(*item);
            copy->collection_ = this;
            items_.push_back(std::move(copy));
        }
        Changed();
    }

private:
    static void Check(int index, int limit)
    {
        if (index < 0 || index >= limit)
            throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    }
    std::vector<std::unique_ptr<Item>> items_;
};

class THeaderButtons : public TDropDownButtonList<THeaderButton>
{
public:
    using TDropDownButtonList::TDropDownButtonList;
};

class TFooterButtons : public TDropDownButtonList<TFooterButton>
{
public:
    using TDropDownButtonList::TDropDownButtonList;
};

// What the header and footer looks share. Setting Visible to a new value
// reports a change; the other properties are stored only.
class TDropDownAppearance
{
public:
    explicit TDropDownAppearance(QObject* owner) : owner_(owner) {}
    virtual ~TDropDownAppearance() = default;
    TDropDownAppearance(const TDropDownAppearance&) = delete;
    TDropDownAppearance& operator=(const TDropDownAppearance&) = delete;

    QObject* Owner() const { return owner_; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v)
    {
        if (v == FVisible)
            return;
        FVisible = v;
        Changed();
    }
    int Height() const { return FHeight; }
    void SetHeight(int v) { FHeight = v; }
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { FBorderWidth = v; }
    platform::TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(platform::TColor v) { FBorderColor = v; }
    platform::TColor Color() const { return FColor; }
    void SetColor(platform::TColor v) { FColor = v; }
    platform::TColor ColorTo() const { return FColorTo; }
    void SetColorTo(platform::TColor v) { FColorTo = v; }
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection v) { FGradientDirection = v; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v) { FCaption = v; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    platform::TFont& Font() { return FFont; }
    const platform::TFont& Font() const { return FFont; }
    void SetFont(const platform::TFont& f) { FFont.Assign(f); }
    TButtonAlignment ButtonAlignment() const { return FButtonAlignment; }
    void SetButtonAlignment(TButtonAlignment v) { FButtonAlignment = v; }

    std::function<void()> OnChange;
    std::function<void()> OnButtonsChanged;

protected:
    void Changed()
    {
        if (OnChange)
            OnChange();
    }
    void ButtonsChanged()
    {
        if (OnButtonsChanged)
            OnButtonsChanged();
    }
    // ColorTo, Color, BorderColor, Font and GradientDirection.
    void CopyColors(const TDropDownAppearance& other);

    platform::TFont FFont;

private:
    QObject* owner_;
    bool FVisible = true;
    int FHeight = 22;
    int FBorderWidth = 1;
    platform::TColor FBorderColor = platform::clBlack;
    platform::TColor FColor = platform::clSilver;
    platform::TColor FColorTo = platform::clWhite;
    TGradientDirection FGradientDirection = gdVertical;
    QString FCaption;
    int FImageIndex = -1;
    TButtonAlignment FButtonAlignment = baRight;
};

// The header bar's look: its font is "Tahoma".
class THeaderAppearance : public TDropDownAppearance
{
public:
    explicit THeaderAppearance(QObject* owner);
    THeaderButtons& Buttons() { return *FButtons; }
    const THeaderButtons& Buttons() const { return *FButtons; }
    void SetButtons(const THeaderButtons& buttons) { FButtons->Assign(buttons); }
    // Copies everything; nullptr is ignored.
    void Assign(const THeaderAppearance* source);
    void AssignColors(const THeaderAppearance* source);

private:
    std::unique_ptr<THeaderButtons> FButtons;
};

// The footer bar's look: the platform's default font, and a size grip.
class TFooterAppearance : public TDropDownAppearance
{
public:
    explicit TFooterAppearance(QObject* owner);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool v) { FSizeGrip = v; }
    TFooterButtons& Buttons() { return *FButtons; }
    const TFooterButtons& Buttons() const { return *FButtons; }
    void SetButtons(const TFooterButtons& buttons) { FButtons->Assign(buttons); }
    void Assign(const TFooterAppearance* source);
    void AssignColors(const TFooterAppearance* source);

private:
    bool FSizeGrip = true;
    std::unique_ptr<TFooterButtons> FButtons;
};
