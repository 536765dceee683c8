#include "controls/ExDetailDropDown.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

using namespace platform;

// ---------------------------------------------------------------------------
// TDetailItem, TDetailItems
// ---------------------------------------------------------------------------

void TDetailItem::Changed()
{
    if (collection_)
        collection_->Changed();
}

void TDetailItem::SetCaption(const QString& c)
{
    if (c != FCaption) {
        FCaption = c;
        Changed();
    }
}

void TDetailItem::SetEnabled(bool e)
{
    if (e != FEnabled) {
        FEnabled = e;
        Changed();
    }
}

void TDetailItem::SetImageIndex(int i)
{
    if (i != FImageIndex) {
        FImageIndex = i;
        Changed();
    }
}

int TDetailItem::Index() const
{
    return collection_ ? collection_->IndexOfItem(this) : -1;
}

void TDetailItem::Assign(const TDetailItem& source)
{
    FCaption = source.FCaption;
    FImageIndex = source.FImageIndex;
    FImage.Assign(source.FImage);
    FEnabled = source.FEnabled;
    FTag = source.FTag;
    FItemObject = source.FItemObject;
    Changed();
}

void TDetailItems::Changed()
{
    if (OnChange)
        OnChange();
}

TDetailItem* TDetailItems::Add()
{
    items_.push_back(std::make_unique<TDetailItem>(this));
    Changed();
    return items_.back().get();
}

TDetailItem* TDetailItems::Insert(int index)
{
    if (index < 0 || index > Count())
        return Add();
    auto it = items_.insert(items_.begin() + index, std::make_unique<TDetailItem>(this));
    Changed();
    return it->get();
}

void TDetailItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    items_.erase(items_.begin() + index);
    Changed();
}

void TDetailItems::Clear()
{
    items_.clear();
    Changed();
}

int TDetailItems::IndexOf(const QString& text) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)]->Caption() == text)
            return i;
    return -1;
}

int TDetailItems::IndexOfItem(const TDetailItem* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[static_cast<size_t>(i)].get() == item)
            return i;
    return -1;
}

void TDetailItems::Assign(const TDetailItems& source)
{
    if (&source == this)
        return;
    items_.clear();
    for (const auto& s : source.items_) {
        items_.push_back(std::make_unique<TDetailItem>(this));
        items_.back()->Assign(*s);
        items_.back()->SetNotes(s->Notes());
    }
    Changed();
}

// ---------------------------------------------------------------------------
// TExDetailDropDown
// ---------------------------------------------------------------------------

TExDetailDropDown::TExDetailDropDown(QWidget* parent)
    : TExCustomDropDown(parent), FItems(std::make_unique<TDetailItems>(this)),
      FItemAppearance(std::make_unique<TItemAppearance>()), FKeyTimer(std::make_unique<TTimer>(this))
{
    FItems->OnChange = [] {};
    SetEditorEnabled(true);
    FKeyTimer->SetEnabled(false);
    FKeyTimer->SetInterval(500);
    FKeyTimer->OnTimer = [this](QObject*) { KeyTimerTick(); };
    TFont f;
    f.SetFromQFont(font());
    FCaptionFont.Assign(f);
    FNotesFont.Assign(f);
    FItemAppearance->SetColorStyle(SelectionColorStyle());
    SetItemAppearanceStyle(FItemAppearance.get(), GetComponentStyle());
}

TExDetailDropDown::~TExDetailDropDown()
{
    FKeyTimer->SetEnabled(false);
    if (FItemSelector)
        FItemSelector->OnItemSelect = nullptr;
}

void TExDetailDropDown::KeyTimerTick()
{
    FKeyTimer->SetEnabled(false);
    FCurSearch.clear();
}

void TExDetailDropDown::SetItemIndex(int value)
{
    if (value != FItemIndex && value >= 0 && value < FItems->Count()) {
        FItemIndex = value;
        // The caption is complete: it is not completed again (with equal
        // captions that would select another item).
        const bool workMode = FWorkMode;
        FWorkMode = false;
        SetText(FItems->Items(value)->Caption());
        FWorkMode = workMode;
        SelectAll();
        update();
        if (FItemSelector)
            FItemSelector->viewport()->update();
        if (OnSelect)
            OnSelect(this);
    } else if (value == -1 && value != FItemIndex) {
        const bool workMode = FWorkMode;
        FWorkMode = false;
        SetText(QString());
        FWorkMode = workMode;
        FItemIndex = -1;
    }
}

void TExDetailDropDown::SelectFirst()
{
    if (FItems->Count() > 0)
        SetItemIndex(0);
}

void TExDetailDropDown::SelectLast()
{
    if (FItems->Count() > 0)
        SetItemIndex(FItems->Count() - 1);
}

void TExDetailDropDown::SelectNext()
{
    if (FItems->Count() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex < FItems->Count() - 1)
        SetItemIndex(FItemIndex + 1);
}

void TExDetailDropDown::SelectPrevious()
{
    if (FItems->Count() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

// ---------------------------------------------------------------------------
// Auto-completion
// ---------------------------------------------------------------------------

void TExDetailDropDown::Change()
{
    TExCustomDropDown::Change();
    FItemChange = false;
    if (!FWorkMode || FInChange)
        return;
    FInChange = true;
    const QString text = TExCustomDropDown::Text();
    SetModifiedState(!text.isEmpty());
    const int pre = static_cast<int>(Prefix().size());
    // Only typing completes: a text set by the program counts as having the
    // caret at its start, as on the platform.
    const int caret = FTyping ? std::clamp(cursorPosition() - pre, 0, static_cast<int>(text.size())) : 0;
    const QString p0 = text.left(caret);
    const QString p = MatchCaseText(p0, FMatchCase);
    bool found = false;
    if (!p.isEmpty()) {
        for (int i = 0; i < FItems->Count(); ++i) {
            const QString caption = FItems->Items(i)->Caption();
            if (!StartsWithMatchCase(caption, p, FMatchCase))
                continue;
            const QString completed = text.left(p.size()) + caption.mid(p.size()).left(255);
            SetRawText(Prefix() + completed + Suffix());
            FItemIndex = i;
            FItemIdx = i;
            FItemSel = static_cast<int>(p.size());
            FItemChange = true;
            setSelection(pre + static_cast<int>(completed.size()), -static_cast<int>(completed.size() - p.size()));
            found = true;
            break;
        }
    }
    if (!found && !p0.isEmpty() && p0 != text) {
        SetRawText(Prefix() + p0 + Suffix());
        setCursorPosition(pre + static_cast<int>(p0.size()));
    }
    FInChange = false;
}

void TExDetailDropDown::keyReleaseEvent(QKeyEvent* e)
{
    TExCustomDropDown::keyReleaseEvent(e);
    if (FItemChange) {
        RunGuarded([this] { SetItemIndex(FItemIdx); });
        FItemChange = false;
    }
}

void TExDetailDropDown::KeyDown(int& key, TShiftState shift)
{
    if (FItems->Count() > 0) {
        if (key == VK_BACK || key == VK_ESCAPE || key == VK_DELETE)
            FWorkMode = false;
        else if (key != VK_RETURN)
            FWorkMode = true;
        if (key == VK_RETURN) {
            const int i = FItems->IndexOf(TExCustomDropDown::Text());
            if (i >= 0) {
                SetText(FItems->Items(i)->Caption());
                SetItemIndex(i);
                Change();
            }
        }
    }
    TExCustomDropDown::KeyDown(key, shift);
}

bool TExDetailDropDown::HandleKeyPress(QKeyEvent* e)
{
    const int key = VirtualKeyFromQt(e->key());
    const TShiftState shift = ShiftStateFromQt(e->modifiers());
    if (isEnabled() && !(shift & ssAlt) && NavigationKey(key, shift))
        return true;
    FTyping = true;
    bool used = false;
    try {
        used = TExCustomDropDown::HandleKeyPress(e);
    } catch (...) {
        FTyping = false;
        throw;
    }
    FTyping = false;
    if (key == VK_ESCAPE && FItems->Count() > 0) {
        const int i = FItems->IndexOf(TExCustomDropDown::Text());
        if (i >= 0)
            SetItemIndex(i);
    }
    return used;
}

bool TExDetailDropDown::NavigationKey(int key, TShiftState shift)
{
    const bool open = DroppedDown() && FItemSelector;
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT: {
        if (!FItemSelector)
            return false;
        if (FItemSelector->Items().Count() != FItems->Count())
            FillSelector();
        const int n = FItemSelector->GetVisibleItemCount();
        if (n >= 1) {
            const int i = FItemSelector->ItemIndex();
            SelectInSelector(key == VK_PRIOR ? std::max(i - n, 0)
                                             : std::min(i + n, FItemSelector->Items().Count() - 1));
        }
        return open;
    }
    case VK_END:
        if (open)
            FItemSelector->SelectLast();
        else if (!EditorEnabled())
            SelectLast();
        return false;
    case VK_HOME:
        if (open)
            FItemSelector->SelectFirst();
        else if (!EditorEnabled())
            SelectFirst();
        return false;
    case VK_LEFT:
        if (open && !EditorEnabled())
            FItemSelector->SelectPrevious();
        return open;
    case VK_RIGHT:
        if (open && !EditorEnabled())
            FItemSelector->SelectNext();
        return open;
    case VK_UP:
        if (open) {
            const int i = FItemSelector->ItemIndex() < 0 ? 0 : FItemSelector->ItemIndex() - 1;
            if (i >= 0)
                SelectInSelector(i);
            FItemSelector->viewport()->update();
        } else {
            SelectPrevious();
        }
        return open;
    case VK_DOWN:
        if (open) {
            const int i = FItemSelector->ItemIndex() < 0 ? 0 : FItemSelector->ItemIndex() + 1;
            if (i < FItemSelector->Items().Count())
                SelectInSelector(i);
            FItemSelector->viewport()->update();
        } else {
            SelectNext();
        }
        return open;
    default:
        break;
    }
    // Type-ahead in the open list; the key goes on to the edit as well.
    if (open && !(shift & ssCtrl) && key > 0 && key != VK_RETURN && key != VK_ESCAPE && key != VK_TAB &&
        key != VK_F4 && key != VK_BACK) {
        FCurSearch += QChar(key);
        FInternalCall = true;
        FItemSelector->LookupItem(FCurSearch);
        FInternalCall = false;
        if (!FKeyTimer->Enabled())
            FKeyTimer->SetEnabled(true);
    }
    return false;
}

bool TExDetailDropDown::eventFilter(QObject* watched, QEvent* e)
{
    // The list's keys are this control's, handled once: neither the list's
    // own scrolling nor the popup's relay sees them again.
    if (FItemSelector && watched == FItemSelector && e->type() == QEvent::KeyPress) {
        RunGuarded([&] { HandleKeyPress(static_cast<QKeyEvent*>(e)); });
        return true;
    }
    return TExCustomDropDown::eventFilter(watched, e);
}

void TExDetailDropDown::SelectInSelector(int index)
{
    if (!FItemSelector || index >= FItemSelector->Items().Count())
        return;
    FInternalCall = true;
    FItemSelector->SetItemIndex(index);
    FInternalCall = false;
    FItemSelector->ScrollItemInView(index);
}

void TExDetailDropDown::SelectorItemSelect()
{
    if (!FItemSelector)
        return;
    const int i = FItemSelector->ItemIndex();
    SetItemIndex(i);
    if (i >= 0 && i < FItems->Count()) {
        const bool workMode = FWorkMode;
        FWorkMode = false;
        SetText(FItems->Items(i)->Caption());
        FWorkMode = workMode;
        SelectAll();
    }
    if (!FInternalCall)
        DoHideDropDown(false);
}

void TExDetailDropDown::HandleMouseWheelDown()
{
    TExCustomDropDown::HandleMouseWheelDown();
    if (DroppedDown() && FItemSelector) {
        const int i = FItemSelector->ItemIndex() < 0 ? 0 : FItemSelector->ItemIndex() + 1;
        SelectInSelector(i);
        FItemSelector->viewport()->update();
    } else {
        SelectNext();
    }
}

void TExDetailDropDown::HandleMouseWheelUp()
{
    TExCustomDropDown::HandleMouseWheelUp();
    if (DroppedDown() && FItemSelector) {
        const int i = FItemSelector->ItemIndex() - 1;
        if (i >= 0)
            SelectInSelector(i);
        FItemSelector->viewport()->update();
    } else {
        SelectPrevious();
    }
}

// ---------------------------------------------------------------------------
// Popup
// ---------------------------------------------------------------------------

void TExDetailDropDown::CreateDropDownForm()
{
    TExCustomDropDown::CreateDropDownForm();
    if (!DropDownForm())
        return;
    if (!FItemSelector) {
        FItemSelector = new TExCustomItemSelector(DropDownForm());
        FItemSelector->SetSelectorType(stImage);
        FItemSelector->SetBounds(0, 0, std::max(width(), 80), 150);
        FItemSelector->OnDrawItem = [this](QObject*, TCanvas& canvas, const TRect& r, int index) {
            DrawItem(canvas, r, index);
        };
        FItemSelector->OnItemSize = [this](QObject*, TSize& size) { ItemSize(size); };
        FItemSelector->UpdateSelectorPanel();
        SetFocusControl(FItemSelector);
    }
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TExDetailDropDown::FillSelector()
{
    TExCustomItemSelector& s = *FItemSelector;
    s.OnItemSelect = nullptr;
    s.SetColumns(1);
    s.SetImages(Images());
    s.SetItemLayout(FLayout);
    s.SetColor(DropDownColor());
    s.ItemAppearance().Assign(*FItemAppearance);
    s.Items().Clear();
    for (int i = 0; i < FItems->Count(); ++i) {
        const TDetailItem* d = FItems->Items(i);
        TSelectorItem* item = s.Items().Add();
        item->SetCaption(d->Caption());
        item->Image().Assign(d->Image());
        item->SetImageIndex(d->ImageIndex());
    }
    s.UpdateSelectorPanel();
    s.SetItemIndex(FItemIndex);
    s.OnItemSelect = [this](QObject*) { SelectorItemSelect(); };
}

void TExDetailDropDown::BeforeDropDown()
{
    if (!FItemSelector)
        CreateDropDownForm();
    TExCustomDropDown::BeforeDropDown();
    FillSelector();
    FOldItemIndex = FItemIndex;
}

void TExDetailDropDown::DoShowDropDown()
{
    TExCustomDropDown::DoShowDropDown();
    if (DroppedDown() && FItemSelector) {
        FItemSelector->UpdateSelectorPanel();
        FItemSelector->ScrollItemInView(FItemSelector->ItemIndex());
        FItemSelector->setFocus(Qt::PopupFocusReason);
    }
}

void TExDetailDropDown::UpdateDropDownSize()
{
    if (FItemSelector) {
        if (DropDownWidth() <= 0)
            FItemSelector->SetWidth(width());
        if (DropDownHeight() <= 0)
            FItemSelector->SetHeight(100);
    }
    TExCustomDropDown::UpdateDropDownSize();
}

void TExDetailDropDown::DoHideDropDown(bool cancelled)
{
    const bool wasOpen = DroppedDown();
    TExCustomDropDown::DoHideDropDown(cancelled);
    if (wasOpen && cancelled && FItemSelector && FOldItemIndex != -1)
        SetItemIndex(FOldItemIndex);
}

void TExDetailDropDown::AfterDropUp()
{
    TExCustomDropDown::AfterDropUp();
}

void TExDetailDropDown::DropDownResized()
{
    if (FItemSelector)
        FItemSelector->UpdateSelectorPanel();
}

void TExDetailDropDown::SetEditRect()
{
    TExCustomDropDown::SetEditRect();
}

void TExDetailDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    TExCustomDropDown::SetSelectionColorStyle(style);
    if (FItemSelector)
        FItemSelector->ItemAppearance().SetColorStyle(style);
}

void TExDetailDropDown::SetComponentStyle(TQRVStyle style)
{
    TExCustomDropDown::SetComponentStyle(style);
    if (FItemAppearance)
        SetItemAppearanceStyle(FItemAppearance.get(), style);
}

// ---------------------------------------------------------------------------
// Item painting
// ---------------------------------------------------------------------------

void TExDetailDropDown::ItemSize(TSize& size)
{
    int w = DropDownWidth() > 0 ? DropDownWidth() : (DropDownForm() ? DropDownForm()->width() : width());
    w -= 2 * 1 + 4;
    if (FItemSelector && FItemSelector->verticalScrollBar() && FItemSelector->verticalScrollBar()->isVisible())
        w -= QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    size.cx = w;
    size.cy = FItemHeight;
}

void TExDetailDropDown::DrawItem(TCanvas& canvas, TRect r, int index)
{
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, canvas, r);
        return;
    }
    if (index < 0 || index >= FItems->Count())
        return;
    const TDetailItem* item = FItems->Items(index);
    const bool captionEmpty = item->Caption().isEmpty();
    auto placeX = [&](int w) { return captionEmpty ? r.Left + (r.Right - r.Left - w) / 2 : r.Left + 2; };
    if (item->Image().Empty()) {
        if (Images() && item->ImageIndex() >= 0) {
            const int w = Images()->Width(), h = Images()->Height();
            Images()->Draw(canvas, placeX(w), r.Top + (r.Bottom - r.Top - h) / 2, item->ImageIndex(), true);
            r.Left += w + 4;
        }
    } else {
        TBitmap picture;
        picture.Assign(item->Image());
        picture.SetTransparent(true);
        picture.SetAutomaticTransparentColor();
        const int w = picture.Width(), h = picture.Height();
        canvas.Draw(placeX(w), r.Top + (r.Bottom - r.Top - h) / 2, picture);
        r.Left += w + 4;
    }
    const int hot = FItemSelector ? FItemSelector->ItemHot() : -1;
    auto colourFont = [&](TFont& f, const TFont& source) {
        f.Assign(source);
        if (index == hot)
            f.SetColor(FItemAppearance->ColorHotText);
        if (index == FItemIndex)
            f.SetColor(FItemAppearance->ColorSelectedText);
        canvas.SetFont(f);
    };
    TFont font;
    colourFont(font, FCaptionFont);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    r.Left += 4;
    r.Right -= 4;
    r.Top += 2;
    TRect captionRect = r;
    canvas.DrawText(item->Caption(), captionRect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    if (!item->Notes().isEmpty()) {
        r.Top += canvas.TextHeight(QStringLiteral("gh"));
        colourFont(font, FNotesFont);
        DrawHTMLCaption(canvas, item->Notes(), r, Images(), true, nullptr);
    }
}
