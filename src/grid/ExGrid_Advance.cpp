// Advancing to the next cell after an edit, the grid's character handler
// (Enter moving on, Escape undoing, type-ahead search of a sorted column).
#include "grid/ExGrid.h"

#include "platform/Messages.h"
#include "widgets/EsgHTMLE.h"

#include <algorithm>
#include <set>
#include <utility>

using namespace platform;

// ---------------------------------------------------------------------------
// AdvanceToNextCell
// ---------------------------------------------------------------------------

void TExStringGrid::AdvanceToNextCell(int aCol, int aRow, bool force, bool autoEdit, bool forward, bool recursing,
                                      bool showEditorAfter)
{
    TNavigation& nav = *FNavigation;
    if (!nav.AdvanceOnEnter() && !force)
        return;
    if (FMouseActions->RangeSelectAndEdit() && !(Options() & goEditing))
        SetOptions(Options() | goEditing);
    if (!recursing) {
        FAECol = aCol;
        FAERow = aRow;
    }
    const int c0 = aCol, r0 = aRow;
    FStartEditChar = QChar();
    const int effectiveFixedCols = TBaseGrid::FixedCols() == 0 && HasNodes() ? 1 : TBaseGrid::FixedCols();
    int visibleFixedRightCols = 0;
    for (int c = ColCount() - FFixedRightCols; c < ColCount(); ++c)
        if (c >= 0 && !IsHiddenColumn(RealColIndex(c)))
            ++visibleFixedRightCols;
    const int fixedRows = TBaseGrid::FixedRows();
    const TAdvanceDirection direction = nav.AdvanceDirection();

    // Read-only cells are passed over in the same direction; the walk ends
    // when a target comes round again or after one pass over the cells.
    std::set<std::pair<int, int>> visited;
    const long long limit = static_cast<long long>(ColCount()) * RowCount() + 1;
    for (long long step = 0;; ++step) {
        const int s = std::max(0, CellSpan(RealColIndex(aCol), aRow).X);
        if (forward && (direction == adLeftRight || direction == adLeftRightInRow)) {
            if (aCol + s < ColCount() - visibleFixedRightCols - 1) {
                aCol = aCol + s + 1;
            } else if (direction == adLeftRightInRow) {
                if (nav.AdvanceOnEnterLoop())
                    aCol = effectiveFixedCols;
            } else if (aRow + 1 != RowCount() - FFixedFooters) {
                aRow = aRow + 1;
                aCol = effectiveFixedCols;
            } else if (nav.AdvanceInsert()) {
                bool canAdd = true;
                QueryCanAddRow(canAdd);
                aCol = effectiveFixedCols;
                if (canAdd) {
                    AddOneRow();
                    aRow = aRow + 1;
                    if (OnAutoAddRow)
                        OnAutoAddRow(this, RowCount() - FFixedFooters - 1);
                    bool any = false;
                    for (int c = TBaseGrid::FixedCols(); c < ColCount() && !any; ++c)
                        any = IsEditable(c, aRow);
                    if (!any)
                        return;
                }
            } else if (nav.AdvanceOnEnterLoop()) {
                aRow = fixedRows;
                aCol = effectiveFixedCols;
            }
        } else if (forward) {
            if (aRow + 1 != RowCount() - FFixedFooters) {
                aRow = aRow + 1;
            } else if (direction == adTopBottomInCol) {
                aRow = fixedRows;
            } else {
                if (aCol + 1 != ColCount() - FFixedRightCols) {
                    aRow = fixedRows;
                    aCol = aCol + 1;
                    if (aCol >= ColCount())
                        aCol = effectiveFixedCols;
                } else if (nav.AdvanceInsert()) {
                    SetColCount(ColCount() + 1);
                    aCol = aCol + s + 1;
                    aRow = fixedRows;
                    if (OnAutoInsertCol)
                        OnAutoInsertCol(this, ColCount() - FFixedRightCols - 1);
                } else {
                    aRow = fixedRows;
                    aCol = effectiveFixedCols;
                }
                Invalidate();
            }
        } else if (direction == adLeftRight) {
            if (aCol > effectiveFixedCols) {
                aCol = aCol - 1;
            } else {
                aRow = aRow > fixedRows ? aRow - 1 : RowCount() - FFixedFooters - 1;
                aCol = ColCount() - FFixedRightCols - 1;
            }
        } else if (direction == adTopBottom) {
            if (aRow > fixedRows) {
                aRow = aRow - 1;
            } else {
                aCol = aCol > effectiveFixedCols ? aCol - 1 : ColCount() - FFixedRightCols - 1;
                aRow = RowCount() - FFixedFooters - 1;
            }
        }
        aCol = std::clamp(aCol, 0, ColCount() - 1);
        aRow = std::clamp(aRow, 0, RowCount() - 1);

        bool canEdit = true;
        QueryCanEdit(RealColIndex(aCol), aRow, canEdit);
        if (canEdit) {
            bool allow = true;
            if (OnAutoAdvance)
                OnAutoAdvance(this, FAERow, FAECol, aRow, aCol, allow);
            if (allow) {
                if (OnCellChanging)
                    OnCellChanging(this, FAERow, FAECol, aRow, aCol, allow);
                FDisableChange = true;
                if (allow && aCol >= 0 && aRow >= 0 && aCol < ColCount() && aRow < RowCount()) {
                    MoveColRow(aCol, aRow, true, true);
                    Click();
                } else {
                    SelectCell(c0, r0);
                }
            } else {
                SelectCell(c0, r0);
            }
            FDisableChange = false;
            break;
        }
        if (!nav.AdvanceSkipReadOnlyCells()) {
            MoveColRow(aCol, aRow, true, true);
            Click();
            break;
        }
        // Nothing editable ahead: the cursor stays where the edit ended.
        const bool repeated = !visited.insert({aCol, aRow}).second || (aCol == c0 && aRow == r0);
        if (repeated || step >= limit)
            return;
    }

    if (!showEditorAfter)
        return;
    const TPoint target = BaseCell(RealColIndex(Col()), Row());
    const bool clickable = HasClickableControl(target.X, target.Y);
    if ((autoEdit && nav.AdvanceAutoEdit()) || clickable) {
        if (!IsEditable(Col(), Row()))
            return;
        if (!clickable) {
            ShowEditor();
        } else {
            // The control in the target reacts as if clicked, unless the edit
            // came from a control itself (that press already did its work).
            const int tc = Col(), tr = Row();
            FDisableChange = true;
            MoveColRow(c0, r0, true, false);
            MoveColRow(tc, tr, true, false);
            const TPoint start = BaseCell(RealColIndex(c0), r0);
            if (!HasClickableControl(start.X, start.Y)) {
                // As the window system would deliver it: press, then release.
                const TRect r = TBaseGrid::CellRect(tc, tr);
                TMessage down{WM_LBUTTONDOWN, static_cast<std::intptr_t>(ssLeft), MakeLParam(r.Left + 2, r.Top + 2), 0};
                Perform(down);
                TMessage up{WM_LBUTTONUP, 0, MakeLParam(r.Left + 2, r.Top + 2), 0};
                Perform(up);
            }
            if (direction != adLeftRight)
                HideEditor();
        }
        FDisableChange = false;
        bool allow = true;
        if (OnCellChanging)
            OnCellChanging(this, r0, c0, Row(), Col(), allow);
        TEditorType startEditor = FDefaultEditor;
        QueryCellEditor(RealColIndex(c0), r0, startEditor);
        if (!IsDefaultEditorKind(startEditor))
            HideInplaceEdit();
    }
    if (FMouseActions->DisjunctRowSelect()) {
        ClearRowSelect();
        SetRowSelect(RowSelectIndex(Row()), true);
    }
}

// ---------------------------------------------------------------------------
// Characters reaching the grid
// ---------------------------------------------------------------------------

void TExStringGrid::KeyPress(QChar& key)
{
    const ushort code = key.unicode();
    TNavigation& nav = *FNavigation;
    if (code == 27) {
        if ((Options() & goEditing) && (FEditing || FEditMode))
            UndoCellEdit();
        if (OnKeyPress)
            OnKeyPress(this, key);
        return;
    }
    if (code == 13) {
        if (!nav.AdvanceOnEnter() && !IsEditable(Col(), Row())) {
            if (OnKeyPress)
                OnKeyPress(this, key);
            key = QChar();
            return;
        }
        const TPoint base = BaseCell(RealColIndex(Col()), Row());
        if (!hasFocus() || HasClickableControl(base.X, base.Y)) {
            const int oldCol = Col();
            AdvanceToNextCell(Col(), Row(), false, false, true, false, FEditMode);
            if (!nav.AdvanceAutoEdit()) {
                if (OnKeyPress)
                    OnKeyPress(this, key);
                key = QChar();
                return;
            }
            const TPoint nextBase = BaseCell(RealColIndex(oldCol), Row());
            if (HasClickableControl(nextBase.X, nextBase.Y)) {
                if (OnKeyPress)
                    OnKeyPress(this, key);
                if (nav.AdvanceOnEnter())
                    ShowInplaceEdit();
                key = QChar();
                return;
            }
        }
    }
    if (!(Options() & goEditing) && nav.AutoGotoWhenSorted() && code >= 8) {
        if (nav.AutoGotoIncremental()) {
            if (code == 8)
                SearchInc.chop(1);
            else
                SearchInc += key;
            SearchTics = 0;
        } else {
            SearchInc = QString(key);
        }
        const QString wanted = SearchInc.toUpper();
        const int column = FSortSettings->Column();
        bool found = false;
        if (!wanted.isEmpty() && column >= 0) {
            for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r) {
                if (StripHTMLTags(GetCellEx(column, r)).toUpper().startsWith(wanted)) {
                    SetRow(r);
                    found = true;
                    break;
                }
            }
        }
        if (!found)
            SearchInc.clear();
    }
    TBaseGrid::KeyPress(key);
}
