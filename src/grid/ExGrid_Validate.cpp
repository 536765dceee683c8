// Validation of an edited cell and the change of the current cell: the
// application may accept, change or refuse a value; a refused value goes
// back and the editor opens again; an accepted change marks the row and the
// grid modified, records an undo step and tells the change listeners.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "grid/ExGrid_Balloon.h"
#include "grid/ExGrid_Editors.h"
#include "platform/ComboBox.h"
#include "widgets/EsgHTMLE.h"

#include <QLineEdit>
#include <QScopeGuard>
#include <QTimer>

using namespace platform;

using exgrid_detail::FlagGuard;

// ---------------------------------------------------------------------------
// The remembered cell
// ---------------------------------------------------------------------------

void TExStringGrid::RememberCell(int aCol, int aRow)
{
    FOldCol = aCol;
    FOldRow = aRow;
    const int rc = RealColIndex(aCol);
    FOldCellText = aCol >= 0 && aRow >= 0 ? GetGridCell(rc, aRow) : QString();
    FOldCellTextWide = FOldCellText;
}

void TExStringGrid::UpdateColumnFooter(int aCol) { CalcFooter(aCol); }

void TExStringGrid::DoCellChanging(int newCol, int newRow, bool& allow)
{
    if (newRow != Row() && OnRowChanging)
        OnRowChanging(this, Row(), newRow, allow);
    if (newCol != Col() && OnColChanging)
        OnColChanging(this, Col(), newCol, allow);
    if ((newCol != Col() || newRow != Row()) && !FDisableChange && OnCellChanging)
        OnCellChanging(this, Row(), Col(), newRow, newCol, allow);
}

// ---------------------------------------------------------------------------
// Validation
// ---------------------------------------------------------------------------

bool TExStringGrid::EditToValidate()
{
    if (!FEditing || FValidating)
        return false;
    // A remembered cell that is gone (rows or columns removed meanwhile)
    // has nothing left to validate.
    if (FOldCol < 0 || FOldRow < 0 || FOldCol >= ColCount() || FOldRow >= RowCount()) {
        FEditing = false;
        return false;
    }
    return true;
}

void TExStringGrid::FinishValidation()
{
    FValidating = false;
    if (!Destroying())
        RememberCell(Col(), Row());
}

// After a refusal: back to the edited cell, with its editor open again.
void TExStringGrid::ReopenEditorAt(int aCol, int aRow)
{
    if (aCol >= 0 && aRow >= 0 && aCol < ColCount() && aRow < RowCount() && (Col() != aCol || Row() != aRow)) {
        FlagGuard force(FForceSel);
        MoveColRow(aCol, aRow, true, true);
    }
    FValidating = false;
    FEditing = true;
    FEditMode = false;
    ShowInplaceEdit();
    // No editor could open (the focus is on another control now): the edit
    // is over, with nothing left to validate or undo.
    if (!FEditMode)
        FEditing = false;
}

bool TExStringGrid::ValidateCell(const QString& typedValue)
{
    if (!EditToValidate())
        return true;
    // The editor shows a rich cell without its tags: that text, untouched,
    // stands for the cell's own.
    const QString newValue = !FEditWithTags && typedValue != FOldCellText && typedValue == StripHTMLTags(FOldCellText)
                                 ? FOldCellText
                                 : typedValue;
    FEditing = false;
    FValidating = true;
    bool valid = true;
    {
        const auto finish = qScopeGuard([this] { FinishValidation(); });
        const int c = RealColIndex(FOldCol), r = FOldRow;
        FNewCellText = newValue;
        if (newValue != FOldCellText || FAlwaysValidate) {
            const bool changed = newValue != FOldCellText;
            const bool advance = FNavigation->AdvanceOnEnter();
            FNavigation->SetAdvanceOnEnter(false);
            const exgrid_detail::ScopeExit restoreAdvance{[&] { FNavigation->SetAdvanceOnEnter(advance); }};

            QString v = newValue;
            TExStringGridCheck* checker = FCellChecker.data();
            if (checker && checker->AutoCorrect())
                v = checker->Correct(c, r, v);
            if (OnCellValidate)
                OnCellValidate(this, c, r, v, valid);
            if (checker && checker->AutoMarkError())
                v = checker->MarkError(c, r, UnMarkText(v));
            if (v != FOldCellText) {
                FGridModified = true;
                if (TBaseGrid::FixedCols() > 0) {
                    SetRowModified(RealRowIndex(r), true);
                    if (FShowModified->Enabled())
                        TBaseGrid::RepaintCell(0, r);
                }
            }
            FNewCellText = v;
            if (valid) {
                // The cell holds the value before anyone hears of it.
                SetGridCell(c, r, v);
                const TPoint base = BaseCell(c, r);
                if (base.X != c || base.Y != r)
                    SetGridCell(base.X, base.Y, v);
                TBaseGrid::RepaintCell(FOldCol, r);
                UpdateColumnFooter(c);
                if (TExGridUndoRedo* undo = UndoRedo())
                    undo->RegisterChange(c, r, FOldCellText, v);
                if (changed)
                    CellsChanged(Rect(c, r, c, r));
            }
        }
        if (!valid) {
            FLastValidation = false;
            const QString replaced = FNewCellText;
            const int oldCol = FOldCol, oldRow = FOldRow;
            const QString old = FOldCellText;
            HideEditor();
            SetGridCell(c, r, replaced != newValue ? replaced : old);
            ReopenEditorAt(oldCol, oldRow);
            if (!FInvalidEntryTitle.isEmpty() || !FInvalidEntryText.isEmpty()) {
                QWidget* on = nullptr;
                if (!FSpecialEditor && FEditMode && InplaceEditor() && InplaceEditor()->isVisible())
                    on = InplaceEditor();
                else if (FEditCtrl)
                    on = FEditCtrl.data();
                ShowBalloonTip(on ? on : static_cast<QWidget*>(this));
            }
            FValidating = true;
        }
        FOldCellText = GetGridCell(c, r);
    }
    if (valid)
        HideFocusFrame();
    return valid;
}

bool TExStringGrid::ValidateCellWide(const QString& newValue)
{
    if (!EditToValidate())
        return true;
    FEditing = false;
    FValidating = true;
    bool valid = true;
    const auto finish = qScopeGuard([this] { FinishValidation(); });
    const int c = RealColIndex(FOldCol), r = FOldRow;
    FNewCellText = newValue;
    if (newValue == FOldCellTextWide && !FAlwaysValidate)
        return true;
    UpdateColumnFooter(c);
    QString v = newValue;
    if (OnCellValidateWide)
        OnCellValidateWide(this, c, r, v, valid);
    if (v != FOldCellTextWide && FShowModified->Enabled() && TBaseGrid::FixedCols() > 0) {
        SetRowModified(RealRowIndex(r), true);
        TBaseGrid::RepaintCell(0, r);
    }
    FNewCellText = v;
    if (valid) {
        SetWideCells(c, r, v);
    } else {
        const QString back = v != newValue ? v : FOldCellTextWide;
        HideEditor();
        SetWideCells(c, r, back);
        ReopenEditorAt(FOldCol, FOldRow);
        FValidating = true;
    }
    if (newValue != FOldCellTextWide)
        FGridModified = true;
    FOldCellTextWide = GetWideCells(c, r);
    return valid;
}

void TExStringGrid::ShowBalloonTip(QWidget* on)
{
    if (!on)
        return;
    // An editable combo shows the tip on its edit part.
    if (auto* combo = dynamic_cast<TCustomComboBox*>(on); combo && combo->Style() != csDropDownList && combo->EditWidget())
        on = combo->EditWidget();
    if (!FBalloonTip) {
        auto* tip = new TBalloonWindow(this);
        tip->setObjectName(QStringLiteral("InvalidEntryBalloon"));
        FBalloonTip = tip;
    }
    auto* tip = static_cast<TBalloonWindow*>(FBalloonTip.data());
    tip->SetTitle(FInvalidEntryTitle, static_cast<int>(FInvalidEntryIcon));
    tip->SetText(FInvalidEntryText);
    const QPoint at = on->mapToGlobal(QPoint(0, on->height()));
    tip->setGeometry(QRect(at, tip->SizeHint()));
    tip->show();
    tip->raise();
    QPointer<QWidget> guard = tip;
    QTimer::singleShot(5000, tip, [guard] {
        if (guard)
            guard->hide();
    });
}

// ---------------------------------------------------------------------------
// The change of the current cell
// ---------------------------------------------------------------------------

bool TExStringGrid::SelectCell(int col, int row)
{
    if (FForceSel)
        return true;
    // A grid that is not shown has no editing to look after.
    if (!isVisible()) {
        const bool allowed = TBaseGrid::SelectCell(col, row);
        if (allowed && FISelect)
            FISelect->SelectionChanged(Col(), row);
        return allowed;
    }
    bool allow = true;
    bool answer = false;
    if (col < 0 || row < 0)
        return false;
    const int realCol = RealColIndex(col);
    // A merged cell is entered at its base cell.
    if (IsMergedNonBaseCell(realCol, row) && !(Options() & goRangeSelect)) {
        const TPoint base = BaseCell(realCol, row);
        const int baseCol = DisplColIndexOf(base.X);
        if (baseCol != Col() || base.Y != Row()) {
            FlagGuard force(FForceSel);
            MoveColRow(baseCol, base.Y, true, true);
        }
        TBaseGrid::RepaintCell(baseCol, base.Y);
        return false;
    }
    if (col == 0 && HasNodes() && !(Options() & goRowSelect))
        return false;
    if (FUseEnabledRows && FNavigation->SkipDisabledRows() && !GetRowEnabled(row))
        return false;

    // The editing option per cell.
    const TPoint base = BaseCell(realCol, row);
    if (HasClickableControl(base.X, base.Y)) {
        bool can = true;
        QueryCanEdit(base.X, base.Y, can);
        if (!FEditDisable)
            FEditDisable = !can && ((Options() & goEditing) || FMouseActions->RangeSelectAndEdit());
        if (!(Options() & goEditing) && !(Options() & goRowSelect) && can) {
            FEditChange = true;
            SetOptions(Options() | goEditing);
            FEditChange = false;
        }
    } else {
        bool can = (Options() & goEditing) || FEditDisable;
        if (can)
            QueryCanEdit(base.X, base.Y, can);
        if (can && FMouseActions->DirectEdit()) {
            FEditControl = FDefaultEditor;
            if (QueryIsNoneEditor(base.X, base.Y))
                can = false;
        }
        if (FMouseActions->EditOnDblClickOnly())
            can = false;
        if (can) {
            FEditDisable = false;
            if (!(Options() & goEditing)) {
                FEditChange = true;
                if (!FEditing)
                    RememberCell(col, row);
                TGridOptions o = Options();
                if (FMouseActions->RangeSelectAndEdit())
                    o &= ~goRowSelect;
                SetOptions(o | goEditing);
                FEditChange = false;
            }
        } else {
            if (FEditMode && (col != Col() || row != Row()))
                HideInplaceEdit();
            if (Options() & goEditing) {
                FEditMode = false;
                FEditDisable = true;
                FEditChange = true;
                SetOptions(Options() & ~goEditing);
                FEditChange = false;
                SetEditorMode(false);
            }
        }
    }

    // The move itself.
    QString cache = FCellCache;
    if (!FEditing || InplaceEditorFocused()) {
        DoCellChanging(col, row, allow);
        if (IsFixed(col, row) || !allow)
            answer = allow && (((Options() & goRowSelect) != 0) ||
                               (FFixedRowAlways && TBaseGrid::FixedRows() >= RowCount()));
        else
            answer = TBaseGrid::SelectCell(col, row);
    } else {
        // The text of the cell being edited (the text editor writes into it
        // as it goes), wherever the current cell has got to meanwhile; an
        // open combo's text is validated before it is stored.
        QString value = FOldCol >= 0 && FOldRow >= 0 ? GetGridCell(RealColIndex(FOldCol), FOldRow) : CurrentCell();
        const bool comboUp = FEditActive && FEditMode && FEditCombo && FEditCombo->isVisible() &&
                             (FEditControl == edComboEdit || FEditControl == edComboList);
        if (comboUp)
            value = FEditCombo->Text();
        const bool valid = ValidateCell(value);
        if (valid)
            DoCellChanging(col, row, allow);
        answer = valid && allow && TBaseGrid::SelectCell(col, row);
        if (answer && comboUp)
            HideInplaceEdit();
        if (!valid)
            FCellCache = cache;
    }

    if (FISelect)
        FISelect->SelectionChanged(Col(), row);
    if (FActiveCellShow)
        RepaintActiveHeaders(Col(), Row(), col, row);
    if (ActiveRowShow()) {
        RepaintRow(row);
        RepaintRow(Selection().Top);
    }
    if (FSelectionRectangle)
        Invalidate();
    if (!Loading() && row != FOldRowSel && OnRowUpdate) {
        const int old = FOldRowSel;
        FOldRowSel = row;
        OnRowUpdate(this, old, row);
    }
    // The cache follows a move; a second look at the same cell (after an
    // edit ends) keeps the text the edit started from, for Escape.
    if (answer && (col != Col() || row != Row()))
        FCellCache = GetGridCell(RealColIndex(col), row);
    return answer;
}
