// The list part the colour and image pickers share.
#include "controls/ExItemSelectorDropDown.h"

#include "platform/Scope.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

using namespace platform;

namespace {
constexpr int kTypeAheadMs = 500;
}

TExItemSelectorDropDown::TExItemSelectorDropDown(QWidget* parent) : TExCustomDropDown(parent)
{
    FItemAppearance = std::make_unique<TItemAppearance>();
    FItemAppearance->OnChange = [] {};
    SetEditorEnabled(false);
    setCursor(Qt::ArrowCursor);
    FKeyTimer.setInterval(kTypeAheadMs);
    connect(&FKeyTimer, &QTimer::timeout, this, [this] {
        FKeyTimer.stop();
        FCurSearch.clear();
    });
}

TExItemSelectorDropDown::~TExItemSelectorDropDown()
{
    FKeyTimer.stop();
    // The selector lives in the popup, which the base frees after this.
    if (FItemSelector)
        FItemSelector->OnItemSelect = nullptr;
}

// ---------------------------------------------------------------------------
// The selector
// ---------------------------------------------------------------------------

void TExItemSelectorDropDown::PrepareItemSelector(TSelectorType type)
{
    if (!FItemSelector) {
        FItemSelector = new TExCustomItemSelector(DropDownForm());
        // The keys go to the picker, not to the scroll area.
        FItemSelector->setFocusPolicy(Qt::NoFocus);
    }
    FItemSelector->SetSelectorType(type);
    FItemSelector->move(0, 0);
    FItemSelector->resize(FItemSelector->width(), 150);
    FItemSelector->SetColor(DropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TExItemSelectorDropDown::BeginSelectorFill()
{
    TExCustomItemSelector& s = *FItemSelector;
    s.OnItemSelect = nullptr;
    s.SetColumns(FColumns);
    s.SetImages(Images());
    s.SetItemLayout(FLayout);
    s.SetColor(DropDownColor());
    s.ItemAppearance().Assign(*FItemAppearance);
    s.Items().Clear();
}

void TExItemSelectorDropDown::EndSelectorFill()
{
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(ItemIndex());
    FItemSelector->OnItemSelect = [this](QObject*) { SelectorItemSelect(); };
}

void TExItemSelectorDropDown::RelayDrawItem(const TDrawItemEvent& handler)
{
    if (!FItemSelector)
        return;
    if (handler)
        FItemSelector->OnDrawItem = [this, &handler](QObject*, TCanvas& canvas, const TRect& r, int index) {
            if (handler)
                handler(this, canvas, r, index);
        };
    else
        FItemSelector->OnDrawItem = nullptr;
}

void TExItemSelectorDropDown::RefillWhenStale()
{
    if (FItemSelector && FItemSelector->Items().Count() != ItemCount())
        FillSelector();
}

void TExItemSelectorDropDown::SelectorItemSelect()
{
    if (!FItemSelector)
        return;
    SetItemIndex(FItemSelector->ItemIndex());
    if (!FInternalCall)
        DoHideDropDown(false);
}

void TExItemSelectorDropDown::SelectInSelector(int index)
{
    if (!FItemSelector || index < 0 || index >= FItemSelector->Items().Count())
        return;
    const FlagGuard guard(FInternalCall);
    FItemSelector->SetItemIndex(index);
    FItemSelector->ScrollItemInView(index);
}

void TExItemSelectorDropDown::UpdateSelectorDropDownSize()
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

// ---------------------------------------------------------------------------
// Styles
// ---------------------------------------------------------------------------

void TExItemSelectorDropDown::SetComponentStyle(TQRVStyle style)
{
    TExCustomDropDown::SetComponentStyle(style);
    if (FItemAppearance)
        SetItemAppearanceStyle(FItemAppearance.get(), style);
}

void TExItemSelectorDropDown::SetSelectionColorStyle(TSelectionColorStyle style)
{
    TExCustomDropDown::SetSelectionColorStyle(style);
    if (FItemSelector)
        FItemSelector->ItemAppearance().SetColorStyle(style);
}

// ---------------------------------------------------------------------------
// Keys and wheel
// ---------------------------------------------------------------------------

void TExItemSelectorDropDown::KeyDown(int& key, TShiftState shift)
{
    TExCustomDropDown::KeyDown(key, shift);
    keyAfterKeyDown_ = key;
}

bool TExItemSelectorDropDown::HandleListKey(int key, bool ctrl, bool used, bool selected)
{
    if (!FItemSelector)
        return used;
    const bool dropped = DroppedDown();
    const int count = ItemCount();
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
        RefillWhenStale();
        const int n = FItemSelector->GetVisibleItemCount();
        // The value, not the selector's copy of it: a program may have set
        // it since the popup last showed.
        if (n > 0)
            SelectInSelector(key == VK_PRIOR ? std::max(0, ItemIndex() - n) : std::min(ItemIndex() + n, count - 1));
        return true;
    }
    case VK_END:
        if (dropped)
            withInternal([this] { FItemSelector->SelectLast(); });
        else if (count > 0)
            SetItemIndex(count - 1);
        return true;
    case VK_HOME:
        if (dropped)
            withInternal([this] { FItemSelector->SelectFirst(); });
        else if (count > 0)
            SetItemIndex(0);
        return true;
    case VK_LEFT:
        if (dropped && !EditorEnabled())
            withInternal([this] { FItemSelector->SelectPrevious(); });
        return true;
    case VK_RIGHT:
        if (dropped && !EditorEnabled())
            withInternal([this] { FItemSelector->SelectNext(); });
        return true;
    case VK_UP:
        if (dropped) {
            const int sel = FItemSelector->ItemIndex();
            const int target = sel < 0 ? 0 : sel - FColumns;
            if (target >= 0)
                SelectInSelector(target);
        } else {
            const int target = ItemIndex() < 0 ? 0 : ItemIndex() - 1;
            if (target >= 0 && target < count)
                SetItemIndex(target);
        }
        return true;
    case VK_DOWN:
        if (dropped) {
            const int sel = FItemSelector->ItemIndex();
            SelectInSelector(sel < 0 ? 0 : sel + FColumns);
        } else {
            const int target = ItemIndex() < 0 ? 0 : ItemIndex() + 1;
            if (target < count)
                SetItemIndex(target);
        }
        return true;
    default:
        if (ctrl)
            return used;
        FCurSearch += QChar(key);
        RefillWhenStale();
        withInternal([this] { FItemSelector->LookupItem(FCurSearch); });
        if (!FKeyTimer.isActive())
            FKeyTimer.start();
        return true;
    }
}

void TExItemSelectorDropDown::ListWheel(bool down)
{
    if (!FItemSelector)
        return;
    if (DroppedDown()) {
        if (down)
            FItemSelector->HotNext();
        else
            FItemSelector->HotPrevious();
        return;
    }
    RefillWhenStale();
    const FlagGuard guard(FInternalCall);
    if (down)
        FItemSelector->SelectNext();
    else
        FItemSelector->SelectPrevious();
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------

void TExItemSelectorDropDown::paintEvent(QPaintEvent* e)
{
    TExCustomDropDown::paintEvent(e);
    QPainter painter(this);
    TCanvas canvas;
    canvas.BindPainter(&painter, width(), height());
    RunGuarded([&] { PaintEditArea(canvas); });
    canvas.Unbind();
}
