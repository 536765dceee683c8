// Column and row size changes: the user's sizing and its events, stretching
// a column to the client width, the grid's own size changes (columns
// synchronised with its width, stretching, the bars), sizing with the form.
#include "grid/ExGrid.h"
#include "grid/ExGridFooter.h"
#include "grid/ExGrid_Private.h"

#include "platform/Messages.h"

#include <cmath>

using namespace platform;
using exgrid_detail::FlagGuard;

namespace {

// After a user's sizing with "all" on: every other normal column (row) is
// scaled by the factor the sized one changed by. Scaling needs a size to
// scale from.
template <typename Size, typename SetSize>
void ScaleOthers(int sized, int sizeBefore, int first, int count, Size size, SetSize setSize)
{
    if (sizeBefore <= 0)
        return;
    const double factor = static_cast<double>(size(sized)) / sizeBefore;
    for (int i = first; i < count; ++i)
        if (i != sized)
            setSize(i, static_cast<int>(std::lround(size(i) * factor)));
}

} // namespace

// ---------------------------------------------------------------------------
// Widths and heights changed
// ---------------------------------------------------------------------------

void TExStringGrid::ColWidthsChanged()
{
    if (ColchgFlg)
        StretchWanted();
    if (Designing())
        HideScrollHint();
    TBaseGrid::ColWidthsChanged();
    ColSizeFlg = true;
    // A user's sizing ends here once: widths set below are not one.
    const bool userSizing = ColSized && !FInUserSizeUpdate && Colclicked >= 0 && Colclicked < ColCount();
    if (userSizing) {
        const FlagGuard guard(FInUserSizeUpdate, true);
        const int sized = Colclicked;
        if (FMouseActions->AllColumnSize())
            ScaleOthers(
                sized, Colclickedsize, TBaseGrid::FixedCols(), ColCount() - FFixedRightCols,
                [this](int c) { return ColWidths(c); },
                [this](int c, int width) { SetColWidths(c, width); });
        if (OnEndColumnSize)
            OnEndColumnSize(this, sized);
        int width = ColWidths(sized);
        AdjustSizedColumnWidth(sized, width);
        if (width != ColWidths(sized))
            SetColWidths(sized, width);
        Colclicked = -1;
        Rowclicked = -1;
    }
    if (FInUserSizeUpdate)
        return;
    ColSized = false;
    if (InplaceEditor() && EditorMode() && Col() < ColCount() && Row() < RowCount() &&
        HasCheckBox(RealColIndex(Col()), Row()))
        HideEditor();
    UpdateFooter();
    CellControlsUpdate();
    // The platform gave the bars count-based thumbs again.
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
}

void TExStringGrid::RowHeightsChanged()
{
    if (Designing())
        HideScrollHint();
    TBaseGrid::RowHeightsChanged();
    const bool userSizing = Rowsized && !FInUserSizeUpdate && Rowclicked >= 0 && Rowclicked < RowCount();
    if (userSizing) {
        const FlagGuard guard(FInUserSizeUpdate, true);
        const int sized = Rowclicked;
        if (FMouseActions->AllRowSize())
            ScaleOthers(
                sized, Rowclickedsize, TBaseGrid::FixedRows(), RowCount() - FFixedFooters,
                [this](int r) { return RowHeights(r); },
                [this](int r, int height) { SetRowHeights(r, height); });
        if (OnEndRowSize)
            OnEndRowSize(this, sized);
        Colclicked = -1;
        Rowclicked = -1;
    }
    if (FInUserSizeUpdate)
        return;
    Rowsized = false;
    if (InplaceEditor() && EditorMode() && Col() < ColCount() && Row() < RowCount() &&
        HasCheckBox(RealColIndex(Col()), Row()))
        HideEditor();
    CellControlsUpdate();
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();
}

void TExStringGrid::SizeChanged(int oldColCount, int oldRowCount)
{
    const bool active = parentWidget() && !Loading() && !Destroying();
    if (active && FColumnSize->Stretch())
        StretchWanted();
    TBaseGrid::SizeChanged(oldColCount, oldRowCount);
    if (active) {
        UpdateFlatScrollBars();
        UpdateProportionalVScroll();
        UpdateProportionalHScroll();
    }
}

void TExStringGrid::Notification(QObject* component, TOperation operation)
{
    // The references the grid keeps are weak: each is cleared with what it
    // points to, so nothing freed is read.
    if (operation == opRemove && component) {
        if (component == FFixedDropDownMenu.data())
            FFixedDropDownMenu = nullptr;
        if (component == static_cast<QObject*>(FCellChecker.data()))
            FCellChecker = nullptr;
    }
    if (operation == opRemove && component && !Destroying() &&
        component == static_cast<QObject*>(FSyncGrid->Grid()))
        FSyncGrid->SetGrid(nullptr);
    TBaseGrid::Notification(component, operation);
}

// ---------------------------------------------------------------------------
// Stretching
// ---------------------------------------------------------------------------

void TExStringGrid::StretchColumnToClient(int index)
{
    if (Loading() || Destroying())
        return;
    if (index == -1)
        index = ColCount() - 1;
    if (index >= ColCount() || index < 0)
        throw REruVidaZuvez(QStringLiteral("Stretch column index out of range"));
    if (ColCount() == 0 || !FColumnSize->Stretch() || FIsColChanging)
        return;
    const FlagGuard running(FIsColChanging, true);
    const FlagGuard noStretch(ColchgFlg, false);
    const int client = ClientWidth();
    if (ColCount() == 1) {
        SetColWidths(0, client);
        return;
    }
    int others = 0;
    for (int c = 0; c < ColCount(); ++c)
        if (c != index)
            others += ColWidths(c);
    if (others < client)
        SetColWidths(index, client - others - 1);
    else if (LeftCol() == TBaseGrid::FixedCols())
        SetColWidths(index, DefaultColWidth());
    if (FFloatingFooter->Visible()) {
        TFooterPanel* footer = FFloatingFooter->Panel();
        if (footer && footer->isVisible())
            footer->Dock(footer->height());
    }
}

// The stretch the grid applies by itself after size changes: only while
// stretching is on and for a column the grid has; a stale StretchColumn
// must not make every width change fail.
void TExStringGrid::StretchWanted()
{
    if (!FColumnSize->Stretch())
        return;
    const int index = FColumnSize->StretchColumn();
    if (index < -1 || index >= ColCount())
        return;
    StretchColumnToClient(index);
}

void TExStringGrid::StretchRightColumn()
{
    if (ColCount() > 0)
        StretchColumnToClient(ColCount() - 1);
}

// ---------------------------------------------------------------------------
// The grid's own size changes
// ---------------------------------------------------------------------------

// The original column sizes are taken by InitOrigColSizes; each entry taken
// notes the grid width they belong to, which column synchronisation scales
// from.
void TExStringGrid::HandleSizeMessage(TMessage& m)
{
    if (FSearchFooter->Visible() && FSearchPanel) {
        const int h = SearchPanelHeight();
        FSearchPanel->SetBounds(0, height() - h, width(), h);
    }
    const int newWidth = LowWord(m.LParam);

    // Columns keep their share of the width they had when the original
    // sizes were taken. The client width lacks the two borders (the client
    // surface sits inside them).
    if (FOldSize > 0 && FColumnSize->SynchWithGrid()) {
        HideInplaceEdit();
        const int borders = BorderStyle() == bsNone ? 0 : 2 * ClientSurface()->x();
        const double factor = double(newWidth + borders) / FOldSize;
        const bool normalOnly = FColumnSize->SynchNormalCellsOnly();
        const int first = normalOnly ? TBaseGrid::FixedCols() : 0;
        const int end = normalOnly ? ColCount() - FFixedRightCols : ColCount();
        for (int c = first; c < end && c < FOrigColSizes.Count(); ++c)
            SetColWidths(c, static_cast<int>(FOrigColSizes[c] * factor));
    }

    bool stretched = false;
    if (FColumnSize->Stretch() && (FScrollBarAlways == saNone || FScrollBarAlways == saVert) && ColCount() > 0) {
        int stretch = FColumnSize->StretchColumn();
        if (stretch == -1)
            stretch = ColCount() - 1;
        if (stretch >= 0 && stretch < ColCount()) {
            int others = 0;
            for (int c = 0; c < ColCount(); ++c)
                if (c != stretch)
                    others += ColWidths(c);
            // While loading nothing stretches, and the platform sizes as usual.
            if (others < width() && !Loading()) {
                StretchColumnToClient(stretch);
                stretched = true;
            }
            if (FScrollBarAlways == saNone) {
                const TScrollStyle bars = ScrollBars();
                if (bars == ssHorizontal || bars == ssBoth)
                    ShowScrollBar(sbHorizontal, ClientWidth() < others + ColWidths(stretch));
                if (bars == ssVertical || bars == ssBoth)
                    ShowScrollBar(sbVertical, VisibleRowCount() < RowCount() - TBaseGrid::FixedRows());
                if (stretched) {
                    if (OnResize)
                        OnResize(this);
                    return;
                }
            }
        }
    }

    TBaseGrid::WndProc(m);
    UpdateProportionalVScroll();
    UpdateProportionalHScroll();

    if (stretched || FDisableSize)
        return;
    const FlagGuard guard(FDisableSize, true);
    UpdateFlatScrollBars();
}

// ---------------------------------------------------------------------------
// Sizing with the form
// ---------------------------------------------------------------------------

TExStringGrid::TFormResizeHook::~TFormResizeHook()
{
    if (auto* form = dynamic_cast<TForm*>(Form.data()))
        form->OnResize = Assigned ? std::move(Previous) : TNotifyEvent();
}

void TExStringGrid::HookOwnerFormResize()
{
    if (Designing())
        return;
    auto* form = dynamic_cast<TForm*>(window());
    if (!form || static_cast<QWidget*>(form) == FFormHook.Form.data())
        return;
    FFormHook.Form = form;
    FFormHook.Assigned = static_cast<bool>(form->OnResize);
    FFormHook.Previous = form->OnResize;
    PrevSizeX = form->width();
    PrevSizeY = form->height();
    QPointer<TExStringGrid> self(this);
    TNotifyEvent previous = form->OnResize;
    form->OnResize = [self, previous](QObject* sender) {
        if (self)
            self->FormResized(sender);
        else if (previous)
            previous(sender);
    };
}

void TExStringGrid::FormResized(QObject* sender)
{
    if (Designing() || Destroying())
        return;
    auto* form = dynamic_cast<TForm*>(sender);
    if (FSizeWithForm && form) {
        const int w = form->width() + width() - PrevSizeX;
        const int h = form->height() + height() - PrevSizeY;
        if (w > 0 && h > 0) {
            SetBounds(x(), y(), w, h);
            PrevSizeX = form->width();
            PrevSizeY = form->height();
        }
    }
    if (FFormHook.Assigned && FFormHook.Previous) {
        try {
            FFormHook.Previous(sender);
        } catch (...) {
            // The form's own handler may fail; the grid goes on.
        }
    }
    StretchWanted();
}

// ---------------------------------------------------------------------------
// Arrow colour
// ---------------------------------------------------------------------------

TColor TExStringGrid::ArrowColor() const
{
    if (const TArrowWindow* up = FMoveWindows.Arrows[static_cast<size_t>(arrUp)])
        return up->Color();
    return FArrowColor;
}

void TExStringGrid::SetArrowColor(TColor v)
{
    FArrowColor = v;
    for (const QPointer<TArrowWindow>& a : FMoveWindows.Arrows)
        if (a)
            a->SetColor(v);
}
