// The image picker drop-down.
#include "controls/ExImagePickerDropDown.h"

#include "platform/Scope.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <stdexcept>
#include <string>

using namespace platform;

// ---------------------------------------------------------------------------
// Image items
// ---------------------------------------------------------------------------

void TImageItem::Changed()
{
    if (FCollection && FCollection->OnChange)
        FCollection->OnChange();
}

void TImageItem::SetCaption(const QString& c)
{
    if (c != FCaption) {
        FCaption = c;
        Changed();
    }
}

void TImageItem::SetImageIndex(int i)
{
    if (i != FImageIndex) {
        FImageIndex = i;
        Changed();
    }
}

void TImageItem::Assign(const TImageItem& o)
{
    FCaption = o.FCaption;
    FImageIndex = o.FImageIndex;
    FImage.Assign(o.FImage);
    FEnabled = o.FEnabled;
    FHint = o.FHint;
}

TImageItem* TImageItems::Add()
{
    FItems.push_back(std::make_unique<TImageItem>(this));
    return FItems.back().get();
}

TImageItem* TImageItems::Insert(int index)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return FItems.insert(FItems.begin() + index, std::make_unique<TImageItem>(this))->get();
}

TImageItem* TImageItems::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[static_cast<size_t>(index)].get();
}

void TImageItems::Assign(const TImageItems& source)
{
    if (&source == this)
        return;
    FItems.clear();
    for (const auto& item : source.FItems)
        Add()->Assign(*item);
}

// ---------------------------------------------------------------------------
// Construction and the value
// ---------------------------------------------------------------------------

TExImagePickerDropDown::TExImagePickerDropDown(QWidget* parent) : TExItemSelectorDropDown(parent)
{
    FItems = std::make_unique<TImageItems>(this);
    FItems->OnChange = [] {};
    // The base's construction ran its own popup step only.
    CreateDropDownForm();
}

TExImagePickerDropDown::~TExImagePickerDropDown() = default;

void TExImagePickerDropDown::SetItemIndex(int value)
{
    if (value < 0)
        value = -1;
    if (value == FItemIndex || value >= FItems->Count())
        return;
    FItemIndex = value;
    update();
    Change();
    if (OnSelect)
        OnSelect(this);
}

int TExImagePickerDropDown::ImageIndex() const
{
    if (FItemIndex < 0 || FItemIndex >= FItems->Count())
        return -1;
    return FItems->Items(FItemIndex)->ImageIndex();
}

void TExImagePickerDropDown::SetImageIndex(int value)
{
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Items(i)->ImageIndex() == value) {
            SetItemIndex(i);
            return;
        }
    SetItemIndex(-1);
}

void TExImagePickerDropDown::AddImagesFromImageList()
{
    if (!Images())
        return;
    for (int i = 0; i < Images()->Count(); ++i)
        FItems->Add()->SetImageIndex(i);
}

int TExImagePickerDropDown::AddImagesFromFolder(const QString& mask, bool setImageCaption)
{
    const QFileInfo where(mask);
    const QDir folder(where.path());
    // Files only: the folder's own entries ("." and "..") and sub-folders are
    // no pictures and would only add empty items.
    const QStringList names =
        folder.entryList(QStringList{where.fileName()}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : names) {
        TImageItem* item = FItems->Add();
        if (item->Image().LoadFromFile(folder.filePath(name))) {
            if (setImageCaption)
                item->SetCaption(name);
        } else {
            item->Image().Assign(TBitmap());
        }
    }
    return static_cast<int>(names.size());
}

void TExImagePickerDropDown::SelectFirst()
{
    if (FItems->Count() > 0)
        SetItemIndex(0);
}

void TExImagePickerDropDown::SelectLast()
{
    if (FItems->Count() > 0)
        SetItemIndex(FItems->Count() - 1);
}

void TExImagePickerDropDown::SelectNext()
{
    const int count = FItems->Count();
    if (count == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex < count - 1)
        SetItemIndex(FItemIndex + 1);
}

void TExImagePickerDropDown::SelectPrevious()
{
    if (FItems->Count() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

// ---------------------------------------------------------------------------
// The popup
// ---------------------------------------------------------------------------

void TExImagePickerDropDown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    if (!FItems || !DropDownForm())
        return; // still inside the base's construction
    PrepareItemSelector(stImage);
}

void TExImagePickerDropDown::FillSelector()
{
    BeginSelectorFill();
    for (int i = 0; i < FItems->Count(); ++i) {
        const TImageItem* source = FItems->Items(i);
        TSelectorItem* item = FItemSelector->Items().Add();
        item->SetCaption(source->Caption());
        item->Image().Assign(source->Image());
        item->SetImageIndex(source->ImageIndex());
        item->SetHint(source->Hint());
    }
    EndSelectorFill();
}

void TExImagePickerDropDown::BeforeDropDown()
{
    TExCustomDropDown::BeforeDropDown();
    if (FItemSelector) {
        FillSelector();
        RelayDrawItem(OnDrawItem);
    }
    FOldItemIndex = FItemIndex;
}

void TExImagePickerDropDown::UpdateDropDownSize()
{
    UpdateSelectorDropDownSize();
}

void TExImagePickerDropDown::DoHideDropDown(bool cancel)
{
    const bool wasDropped = DroppedDown();
    TExCustomDropDown::DoHideDropDown(cancel);
    if (cancel && wasDropped && FItemSelector)
        SetItemIndex(FOldItemIndex);
}

// ---------------------------------------------------------------------------
// Keys and wheel
// ---------------------------------------------------------------------------

bool TExImagePickerDropDown::HandleKeyPress(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const bool alt = (e->modifiers() & Qt::AltModifier) != 0;
    const bool ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
    bool selected = false;
    if (isEnabled() && DroppedDown() && key == VK_RETURN && FItemSelector && FItemSelector->ItemHot() >= 0) {
        FItemSelector->SetItemIndex(FItemSelector->ItemHot());
        selected = true;
    }
    keyAfterKeyDown_ = 0;
    const bool used = TExCustomDropDown::HandleKeyPress(e);
    // A key the dynamic key-down took (a grid editor's navigation) ends here.
    if (keyAfterKeyDown_ == 0 || !isEnabled() || alt)
        return used;
    return HandleListKey(key, ctrl, used, selected);
}

void TExImagePickerDropDown::HandleMouseWheelDown()
{
    TExCustomDropDown::HandleMouseWheelDown();
    if (isEnabled() && !ReadOnly())
        ListWheel(true);
}

void TExImagePickerDropDown::HandleMouseWheelUp()
{
    TExCustomDropDown::HandleMouseWheelUp();
    if (isEnabled() && !ReadOnly())
        ListWheel(false);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TExImagePickerDropDown::PaintEditArea(TCanvas& c)
{
    // The focus look is the base's (FocusDraw).
    // The edit's formatting rectangle: left of the button.
    const TRect r = Rect(1, 1, width() - DropDownButtonWidth() - 3, height() + 1);
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, c, r);
        return;
    }
    if (FItemIndex < 0 || FItemIndex >= FItems->Count())
        return;
    const TImageItem* item = FItems->Items(FItemIndex);
    if (!item->Image().Empty()) {
        const TBitmap& b = item->Image();
        c.Draw(r.Left + (r.Width() - b.Width()) / 2, r.Top + (r.Height() - b.Height()) / 2, b);
    } else if (Images() && item->ImageIndex() >= 0) {
        const TImageList* list = Images();
        list->Draw(c, r.Left + (r.Width() - list->Width()) / 2, r.Top + (r.Height() - list->Height()) / 2,
                   item->ImageIndex(), true);
    }
}
