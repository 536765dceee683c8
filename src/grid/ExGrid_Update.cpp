// Update locking, the grid timer and the grid's window messages: the
// posted end of an edit and the editors' notifications.
#include "grid/ExGrid.h"

#include "grid/ExGrid_Editors.h"
#include "platform/Messages.h"
#include "widgets/EsgHTMLE.h"

#include <QCursor>
#include <QHideEvent>

using namespace platform;


// ---------------------------------------------------------------------------
// Update locking
// ---------------------------------------------------------------------------

// The level counts whatever the grid's visibility, so a grid hidden between
// the two calls is not left locked; only the redraw switch needs a window.
void TExStringGrid::BeginUpdate()
{
    ++FUpdateCount;
    if (isVisible() && updatesEnabled()) {
        setUpdatesEnabled(false);
        FRedrawOff = true;
    }
}

void TExStringGrid::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (FUpdateCount > 0 || Destroying())
        return;
    FSelChange = false;
    if (FRedrawOff) {
        FRedrawOff = false;
        setUpdatesEnabled(true);
    }
    Invalidate();
}

void TExStringGrid::SetLockUpdate(bool v)
{
    if (v)
        BeginUpdate();
    else
        EndUpdate();
}

// ---------------------------------------------------------------------------
// The grid timer
// ---------------------------------------------------------------------------

void TExStringGrid::CreateWnd()
{
    TBaseGrid::CreateWnd();
    SetTimer(GridTimerId, 500);
    HookOwnerFormResize();
    if (FBalloonSettings->Enable())
        BalloonInit();
    if (FColumnSize->Save())
        LoadColSizes();
}

void TExStringGrid::hideEvent(QHideEvent* event)
{
    TBaseGrid::hideEvent(event);
    // A hidden grid cannot be panned: the cursor and the mouse go back.
    if (FPan.Active)
        StopPanning();
    if (FocusFrameGrid() == this)
        HideFocusFrame();
}

void TExStringGrid::HandleGridTimer()
{
    ++FTimerTicks;
    if (FNavigation->AutoGotoIncremental()) {
        if (SearchTics++ == 3) {
            SearchInc.clear();
            SearchTics = 0;
        }
    }
    if (FHovering && !Designing() && isVisible()) {
        const QPoint p = ClientSurface()->mapFromGlobal(QCursor::pos());
        if (ClientSurface()->rect().contains(p)) {
            int col = -1, row = -1;
            MouseToCell(p.x(), p.y(), col, row);
            if (col >= TBaseGrid::FixedCols() && col < ColCount() && row >= TBaseGrid::FixedRows() &&
                row < RowCount() && (col != Col() || row != Row())) {
                setFocus(Qt::OtherFocusReason);
                MoveColRow(col, row, true, true);
            }
        }
    }
    if (FEnableBlink) {
        FGridBlink = !FGridBlink;
        auto blinks = [this](int realCol, int row) {
            return realCol >= 0 && row >= 0 && GetCellEx(realCol, row).contains(QStringLiteral("<BLI"), Qt::CaseInsensitive);
        };
        const int top = TopRow(), rows = VisibleRowCount();
        const int left = LeftCol(), cols = VisibleColCount();
        for (int r = top; r < top + rows && r < RowCount(); ++r)
            for (int c = left; c < left + cols + NumHiddenColumns() && c < TotalColCount(); ++c)
                if (blinks(c, r))
                    TBaseGrid::RepaintCell(DisplColIndexOf(c), r);
        for (int r = 0; r < TBaseGrid::FixedRows(); ++r)
            for (int c = left; c < left + cols && c < ColCount(); ++c)
                if (blinks(RealColIndex(c), r))
                    TBaseGrid::RepaintCell(c, r);
        for (int r = top; r < top + rows && r < RowCount(); ++r)
            for (int c = 0; c < TBaseGrid::FixedCols(); ++c)
                if (blinks(RealColIndex(c), r))
                    TBaseGrid::RepaintCell(c, r);
    }
}

// ---------------------------------------------------------------------------
// Window messages
// ---------------------------------------------------------------------------

void TExStringGrid::HandleEditorCommand(TMessage& m)
{
    const int code = HighWord(m.WParam);
    auto* sender = reinterpret_cast<QObject*>(m.LParam);
    const bool fromCombo = FEditCombo && sender == static_cast<QObject*>(FEditCombo);
    if (!fromCombo)
        return;
    const int rc = RealColIndex(Col());
    if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && (FEditing || FEditMode)) {
        const int index = FEditCombo->ItemIndex();
        const QString text = index == -1 ? FEditCombo->Text() : FEditCombo->ItemText(index);
        if (OnComboChange)
            OnComboChange(this, rc, Row(), index, text);
        if (OnComboObjectChange)
            OnComboObjectChange(this, rc, Row(), index, text, index == -1 ? nullptr : FEditCombo->ItemObject(index));
    }
    if (code == CBN_CLOSEUP) {
        if (FMouseActions->DirectComboClose()) {
            const int index = FEditCombo->ItemIndex();
            if (index >= 0)
                FEditCombo->SetText(FEditCombo->ItemText(index));
            const QString text = index == -1 ? FEditCombo->Text() : FEditCombo->ItemText(index);
            if (OnComboChange)
                OnComboChange(this, rc, Row(), index, text);
            if (OnComboObjectChange)
                OnComboObjectChange(this, rc, Row(), index, text,
                                    index == -1 ? nullptr : FEditCombo->ItemObject(index));
            FEditControl = edComboEdit;
            FEditMode = true;
            const bool direct = FMouseActions->DirectEdit();
            FMouseActions->SetDirectEdit(false);
            HideInplaceEdit();
            FMouseActions->SetDirectEdit(direct);
            if (isVisible())
                setFocus(Qt::OtherFocusReason);
        }
        DoComboCloseUp(Row(), rc);
    }
    if (code == CBN_DROPDOWN)
        DoComboDropDown(Row(), rc);
    if (code == CBN_EDITCHANGE && OnComboChange)
        OnComboChange(this, Col(), Row(), -1, FEditCombo->Text());
}

void TExStringGrid::WndProc(TMessage& m)
{
    if (m.Msg == WM_DESTROY)
        KillTimer(GridTimerId);
    if (Destroying()) {
        TBaseGrid::WndProc(m);
        return;
    }
    if (m.Msg == GridEditDoneMessage()) {
        if (OnEditCellDone)
            OnEditCellDone(this, static_cast<int>(m.WParam), static_cast<int>(m.LParam));
        if (FMouseActions->EditOnDblClickOnly()) {
            HideInplaceEdit();
            FEditMode = false;
            SetOptions(Options() & ~goEditing);
        }
        return;
    }
    // A drop-down editor up in a cell keeps Enter and Escape from the form.
    if (m.Msg == WM_GETDLGCODE && DropDownEditorWantsKey(static_cast<int>(m.WParam))) {
        TBaseGrid::WndProc(m);
        m.Result |= DLGC_WANTALLKEYS;
        return;
    }
    if (HandlePanningMessage(m))
        return;
    switch (m.Msg) {
    case WM_PAINT:
        // Nothing is painted while the updates are locked.
        if (FUpdateCount > 0) {
            m.Result = 0;
            return;
        }
        break;
    case WM_TIMER:
        if (m.WParam == GridTimerId) {
            HandleGridTimer();
            return;
        }
        break;
    case WM_COMMAND:
        // While the grid itself fills the editor, the cell keeps its text.
        if (HighWord(m.WParam) == static_cast<int>(EN_CHANGE) && FNoEditChange && InplaceEditor() &&
            m.LParam == reinterpret_cast<std::intptr_t>(static_cast<QObject*>(InplaceEditor())))
            return;
        HandleEditorCommand(m);
        break;
    case WM_KEYDOWN: HandleKeyDownMessage(m); return;
    case WM_CHAR: HandleCharMessage(m); return;
    case WM_SETFOCUS: HandleSetFocusMessage(m); return;
    case WM_KILLFOCUS: HandleKillFocusMessage(m); return;
    case WM_GETDLGCODE: HandleGetDlgCodeMessage(m); return;
    case WM_LBUTTONDOWN: HandleLButtonDownMessage(m); return;
    case WM_LBUTTONUP:
        HandleLButtonUpMessage(m);
        UpdateProportionalVScroll();
        UpdateProportionalHScroll();
        return;
    case WM_LBUTTONDBLCLK: HandleLButtonDblClkMessage(m); return;
    case WM_RBUTTONDOWN: HandleRButtonDownMessage(m); return;
    case WM_RBUTTONUP: HandleRButtonUpMessage(m); return;
    case WM_SETCURSOR: HandleSetCursorMessage(m); return;
    case WM_MOUSELEAVE: HandleMouseLeaveMessage(m); return;
    case WM_CANCELMODE: HandleCancelModeMessage(m); return;
    case WM_HSCROLL: HandleHScrollMessage(m); return;
    case WM_VSCROLL: HandleVScrollMessage(m); return;
    case WM_MOUSEWHEEL: HandleMouseWheelMessage(m); return;
    case WM_SIZE: HandleSizeMessage(m); return;
    default: break;
    }
    TBaseGrid::WndProc(m);
}
