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

namespace {
constexpr int kTypeAheadMs = 500;
}

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

TExImagePickerDropDown::TExImagePickerDropDown(QWidget* parent) : TExCustomDropDown(parent)
{
    FItems = std::make_unique<TImageItems>(this);
    FItems->OnChange = [] {};
    FItemAppearance = std::make_unique<TItemAppearance>();
    FItemAppearance->OnChange = [] {};
    SetEditorEnabled(false);
    setCursor(Qt::ArrowCursor);
    FKeyTimer.setInterval(kTypeAheadMs);
    connect(&FKeyTimer, &QTimer::timeout, this, [this] { KeyTimerTick(); });
    // The base's construction ran its own popup step only.
    CreateDropDownForm();
}

TExImagePickerDropDown::~TExImagePickerDropDown()
{
    FKeyTimer.stop();
    if (FItemSelector)
        FItemSelector->OnItemSelect = nullptr;
}

void TExImagePickerDropDown::KeyTimerTick()
{
    FKeyTimer.stop();
    FCurSearch.clear();
}

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
    if (!FItemSelector) {
        FItemSelector = new TExCustomItemSelector(DropDownForm());
        // The keys go to the picker, not to the scroll area.
        FItemSelector->setFocusPolicy(Qt::NoFocus);
        FItemSelector->SetSelectorType(stImage);
        FItemSelector->move(0, 0);
        FItemSelector->resize(FItemSelector->width(), 150);
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TExImagePickerDropDown::FillSelector()
{
    TExCustomItemSelector& s = *FItemSelector;
    s.OnItemSelect = nullptr;
    s.SetColumns(FColumns);
    s.SetImages(Images());
    s.SetItemLayout(FLayout);
    s.SetColor(DropDownColor());
    s.ItemAppearance().Assign(*FItemAppearance);
    s.Items().Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
        const TImageItem* source = FItems->Items(i);
        TSelectorItem* item = s.Items().Add();
        item->SetCaption(source->Caption());
        item->Image().Assign(source->Image());
        item->SetImageIndex(source->ImageIndex());
        item->SetHint(source->Hint());
    }
    s.UpdateSelectorPanel();
    s.SetItemIndex(FItemIndex);
    s.OnItemSelect = [this](QObject*) { SelectorItemSelect(); };
}

void TExImagePickerDropDown::RefillWhenStale()
{
    if (FItemSelector && FItemSelector->Items().Count() != FItems->Count())
        FillSelector();
}

void TExImagePickerDropDown::BeforeDropDown()
{
    TExCustomDropDown::BeforeDropDown();
    if (FItemSelector) {
        FillSelector();
        if (OnDrawItem)
            FItemSelector->OnDrawItem = [this](QObject*, TCanvas& canvas, const TRect& r, int index) {
                if (OnDrawItem)
                    OnDrawItem(this, canvas, r, index);
            };
        else
            FItemSelector->OnDrawItem = nullptr;
    }
    FOldItemIndex = FItemIndex;
}

void TExImagePickerDropDown::UpdateDropDownSize()
{
    if (!FItemSelector) {
        TExCustomDropDown::UpdateDropDownSize();
        return;
    }
    const TSize preferred = FItemSelector->GetSelectorPanelSize();
    // The popup takes its width from the selector and lays it inside its
    // border: the border comes on top, or the panel would not fit.
    const int bw = std::max(0, DropDownBorderWidth());
    if (DropDownWidth() < 1)
        FItemSelector->resize(preferred.cx + 2 * bw, FItemSelector->height());
    if (DropDownHeight() < 1)
        FItemSelector->resize(FItemSelector->width(), preferred.cy);
    TExCustomDropDown::UpdateDropDownSize();
    // Not shown yet, so the scroll bar's own visibility says nothing: it
    // will show when the panel is higher than the room left for it.
    TDropDownForm* form = DropDownForm();
    int room = form->height() - 2 * bw;
    if (DropDownHeader().Visible())
        room -= DropDownHeader().Height();
    if (DropDownFooter().Visible())
        room -= DropDownFooter().Height();
    if (preferred.cy > room)
        form->resize(form->width() + style()->pixelMetric(QStyle::PM_ScrollBarExtent), form->height());
}

void TExImagePickerDropDown::SelectorItemSelect()
{
    if (!FItemSelector)
        return;
    SetItemIndex(FItemSelector->ItemIndex());
    if (!FInternalCall)
        DoHideDropDown(false);
}

void TExImagePickerDropDown::DoHideDropDown(bool cancel)
{
    const bool wasDropped = DroppedDown();
    TExCustomDropDown::DoHideDropDown(cancel);
    if (cancel && wasDropped && FItemSelector)
        SetItemIndex(FOldItemIndex);
}

void TExImagePickerDropDown::SetComponentStyle(TQRVStyle style)
{
    TExCustomDropDown::SetComponentStyle(style);
    if (FItemAppearance)
        SetItemAppearanceStyle(FItemAppearance.get(), style);
}

void TExImagePickerDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    TExCustomDropDown::SetSelectionColorStyle(style);
    if (FItemSelector)
        FItemSelector->ItemAppearance().SetColorStyle(style);
}

// ---------------------------------------------------------------------------
// Keys and wheel
// ---------------------------------------------------------------------------

void TExImagePickerDropDown::KeyDown(int& key, TShiftState shift)
{
    TExCustomDropDown::KeyDown(key, shift);
    keyAfterKeyDown_ = key;
}

void TExImagePickerDropDown::SelectInSelector(int index)
{
    if (!FItemSelector || index < 0 || index >= FItemSelector->Items().Count())
        return;
    const FlagGuard guard(FInternalCall);
    FItemSelector->SetItemIndex(index);
    FItemSelector->ScrollItemInView(index);
}

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
    const bool dropped = DroppedDown();
    auto withInternal = [this](auto&& call) {
        const FlagGuard guard(FInternalCall);
        call();
    };
    switch (key) {
    case VK_RETURN:
        if (!selected && OnSelect)
            OnSelect(this);
        return used;
    case VK_PRIOR:
    case VK_NEXT: {
        if (!FItemSelector)
            return used;
        RefillWhenStale();
        const int n = FItemSelector->GetVisibleItemCount();
        if (n < 1)
            return true;
        const int sel = FItemSelector->ItemIndex();
        SelectInSelector(key == VK_PRIOR ? std::max(sel - n, 0) : std::min(sel + n, FItems->Count() - 1));
        return true;
    }
    case VK_END:
        if (dropped && FItemSelector)
            withInternal([this] { FItemSelector->SelectLast(); });
        else
            SelectLast();
        return true;
    case VK_HOME:
        if (dropped && FItemSelector)
            withInternal([this] { FItemSelector->SelectFirst(); });
        else
            SelectFirst();
        return true;
    case VK_LEFT:
        if (dropped && !EditorEnabled() && FItemSelector)
            withInternal([this] { FItemSelector->SelectPrevious(); });
        return true;
    case VK_RIGHT:
        if (dropped && !EditorEnabled() && FItemSelector)
            withInternal([this] { FItemSelector->SelectNext(); });
        return true;
    case VK_UP:
        if (dropped && FItemSelector) {
            const int sel = FItemSelector->ItemIndex();
            const int target = sel < 0 ? 0 : sel - FColumns;
            if (target >= 0)
                SelectInSelector(target);
        } else if (!dropped) {
            SelectPrevious();
        }
        return true;
    case VK_DOWN:
        if (dropped && FItemSelector) {
            const int sel = FItemSelector->ItemIndex();
            SelectInSelector(sel < 0 ? 0 : sel + FColumns);
        } else if (!dropped) {
            SelectNext();
        }
        return true;
    default:
        if (ctrl || !FItemSelector)
            return used;
        FCurSearch += QChar(key);
        withInternal([this] { FItemSelector->LookupItem(FCurSearch); });
        if (!FKeyTimer.isActive())
            FKeyTimer.start();
        return true;
    }
}

void TExImagePickerDropDown::wheelEvent(QWheelEvent* e)
{
    RunGuarded([&] {
        if (e->angleDelta().y() < 0)
            HandleMouseWheelDown();
        else if (e->angleDelta().y() > 0)
            HandleMouseWheelUp();
    });
    e->accept();
}

void TExImagePickerDropDown::HandleMouseWheelDown()
{
    TExCustomDropDown::HandleMouseWheelDown();
    if (!isEnabled() || ReadOnly() || !FItemSelector)
        return;
    if (DroppedDown()) {
        FItemSelector->HotNext();
        return;
    }
    // The list is only copied when the popup shows: a stale copy would step
    // through items the picker no longer has.
    RefillWhenStale();
    const FlagGuard guard(FInternalCall);
    FItemSelector->SelectNext();
}

void TExImagePickerDropDown::HandleMouseWheelUp()
{
    TExCustomDropDown::HandleMouseWheelUp();
    if (!isEnabled() || ReadOnly() || !FItemSelector)
        return;
    if (DroppedDown()) {
        FItemSelector->HotPrevious();
        return;
    }
    RefillWhenStale();
    const FlagGuard guard(FInternalCall);
    FItemSelector->SelectPrevious();
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TExImagePickerDropDown::paintEvent(QPaintEvent* e)
{
    TExCustomDropDown::paintEvent(e);
    QPainter painter(this);
    TCanvas canvas;
    canvas.BindPainter(&painter, width(), height());
    RunGuarded([&] { PaintEditArea(canvas); });
    canvas.Unbind();
}

void TExImagePickerDropDown::PaintEditArea(TCanvas& c)
{
    // The focus look of a control that takes no typing.
    if (!EditorEnabled() && hasFocus()) {
        TRect f = Rect(2, 2, width() - DropDownButtonWidth() - 1, height() - 2);
        c.Pen().SetColor(clBlack);
        c.Pen().SetWidth(1);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.Brush().SetColor(clHighlight);
        c.Rectangle(f);
        TFont font;
        font.SetName(this->font().family());
        font.SetColor(clHighlightText);
        c.SetFont(font);
        c.Brush().SetStyle(TBrushStyle::bsClear);
        TRect t = Rect(f.Left + 2, f.Top, f.Right - 3, f.Bottom);
        c.DrawText(Text(), t, DT_SINGLELINE | DT_VCENTER);
    }
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
