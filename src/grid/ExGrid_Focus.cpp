// The string grid's focus: gaining and losing it, entering and leaving the
// grid, and the keys it asks of the dialog.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "platform/Messages.h"

using namespace platform;
using exgrid_detail::ScopeExit;

void TExStringGrid::Select() { SelectCell(Col(), Row()); }

void TExStringGrid::DoEnter()
{
    if (FBlockFocus)
        return;
    // Coming back from an open editor's own windows (a combo's list) is no
    // new visit: the edit goes on.
    if (FEditMode) {
        TBaseGrid::DoEnter();
        return;
    }
    // The cell is remembered for validation even when a handler throws.
    ScopeExit remember{[this] {
        try {
            if (!Destroying())
                RememberCell(Col(), Row());
        } catch (...) {
        }
    }};
    TBaseGrid::DoEnter();
    if ((Options() & goEditing) || FMouseActions->RangeSelectAndEdit())
        SelectCell(Col(), Row());
}

void TExStringGrid::DoExit()
{
    if (FBlockKill)
        return;
    if (FSelChange && FMouseActions->DisjunctRowSelect())
        SyncRowSelectWithSelection(false);
    FSelChange = false;
    TBaseGrid::DoExit();
}

void TExStringGrid::HandleSetFocusMessage(TMessage& m)
{
    if (InvokedFocusChange)
        return;
    TBaseGrid::WndProc(m);
    if (Col() < 0 || Row() < 0 || Col() >= ColCount() || Row() >= RowCount())
        return;
    const TPoint base = BaseCell(RealColIndex(Col()), Row());
    if (HasCheckBox(base.X, base.Y))
        return;
    const bool inView = Col() >= LeftCol() && Col() < LeftCol() + VisibleColCount() && Row() >= TopRow() &&
                        Row() < TopRow() + VisibleRowCount();
    const bool alwaysEdit = FNavigation->AlwaysEdit();
    if (TInplaceEdit* editor = InplaceEditor()) {
        const bool fromEditor = m.WParam == reinterpret_cast<std::intptr_t>(static_cast<QWidget*>(editor));
        const bool moving = GridState() == gsRowMoving || GridState() == gsColMoving;
        if (!fromEditor && !moving && alwaysEdit && FEditControl == edNormal && inView && IsEditable(Col(), Row())) {
            ShowInplaceEdit();
            m.Result = 0;
            return;
        }
    } else if (alwaysEdit && inView && IsEditable(Col(), Row()) && !FMouseActions->DirectEdit() &&
               !FControlLook->DropDownAlwaysVisible()) {
        // Before the first edit only a combo cell opens at once.
        if (QueryHasComboBox(base.X, base.Y))
            ShowInplaceEdit();
    }
    if (IsMergedCell(base.X, base.Y))
        TBaseGrid::RepaintCell(DisplColIndexOf(base.X), base.Y);
}

void TExStringGrid::HandleKillFocusMessage(TMessage& m)
{
    if (FBlockKill) {
        m.Result = 1;
        return;
    }
    TBaseGrid::WndProc(m);
    if (Col() < 0 || Row() < 0 || Col() >= ColCount() || Row() >= RowCount())
        return;
    const TPoint base = BaseCell(RealColIndex(Col()), Row());
    if (IsMergedCell(base.X, base.Y))
        TBaseGrid::RepaintCell(DisplColIndexOf(base.X), base.Y);
}

void TExStringGrid::HandleGetDlgCodeMessage(TMessage& m)
{
    TBaseGrid::WndProc(m);
    // The type-ahead search reads characters.
    if (FNavigation->AutoGotoWhenSorted() || !(Options() & goEditing))
        m.Result |= DLGC_WANTCHARS;
}
