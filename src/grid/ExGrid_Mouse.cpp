// The string grid's mouse buttons: presses on cells and headers, release,
// double click and the right button, and the cursor.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "platform/Messages.h"

using namespace platform;

void TExStringGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button != mbLeft || (shift & ssDouble)) {
        TBaseGrid::MouseDown(button, shift, x, y);
        return;
    }
    int col = -1, row = -1;
    MouseToCell(x, y, col, row);
    if (col < 0 || row < 0) {
        HideInplaceEdit();
        TBaseGrid::MouseDown(button, shift, x, y);
        return;
    }
    const TPoint base = BaseCell(RealColIndex(col), row);
    const int baseCol = DisplColIndexOf(base.X), baseRow = base.Y;
    if (FMouseActions->CaretPositioning())
        FLButFlg = true;
    // An open text edit is validated before the press goes anywhere; a
    // refusal keeps the cell and its editor.
    if (InplaceEditorFocused() && (baseCol != Col() || baseRow != Row())) {
        setFocus(Qt::MouseFocusReason);
        if (FEditMode && InplaceEditor() && InplaceEditor()->isVisible())
            return;
    }
    bool editable = (Options() & goEditing) || FMouseActions->RangeSelectAndEdit();
    QueryCanEdit(base.X, base.Y, editable);
    if (col < ColCount() && row < RowCount() && (editable || FControlLook->CheckAlwaysActive()) &&
        HasCheckBox(base.X, base.Y) && IsInCheckBox(base.X, base.Y, x, y)) {
        HideInplaceEdit();
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        ToggleCheckBoxCell(baseCol, baseRow);
        if (OnMouseDown)
            OnMouseDown(this, button, shift, x, y);
        Click();
        return;
    }
    const bool normal = col >= TBaseGrid::FixedCols() && row >= TBaseGrid::FixedRows() && !IsFixed(col, row);
    if (!normal)
        HideInplaceEdit();
    TBaseGrid::MouseDown(button, shift, x, y);
    if (OnClickCell)
        OnClickCell(this, row, col);
    if (OnCellValidate) {
        FEntered = false;
        RememberCell(Col(), Row());
    }
}

void TExStringGrid::Click()
{
    TBaseGrid::Click();
    FEntered = false;
    if (!FEditMode)
        RememberCell(Col(), Row());
}

void TExStringGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TBaseGrid::MouseUp(button, shift, x, y);
}

void TExStringGrid::SimulateCellClick(int, int) {}

void TExStringGrid::HandleLButtonDownMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleLButtonUpMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleLButtonDblClkMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleRButtonDownMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleRButtonUpMessage(TMessage& m) { TBaseGrid::WndProc(m); }
void TExStringGrid::HandleSetCursorMessage(TMessage& m) { TBaseGrid::WndProc(m); }
