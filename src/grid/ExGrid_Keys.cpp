// The string grid's keyboard: navigation keys, the Tab move, characters,
// focus in and out.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "platform/Messages.h"

#include <algorithm>

using namespace platform;

void TExStringGrid::KeyDown(int& key, TShiftState shift)
{
    if (key == VK_SPACE && !FEditMode) {
        const int rc = RealColIndex(Col());
        const TPoint base = BaseCell(rc, Row());
        if (HasCheckBox(base.X, base.Y)) {
            bool permitted = (Options() & goEditing) || FMouseActions->RangeSelectAndEdit();
            QueryCanEdit(base.X, base.Y, permitted);
            if (permitted || FControlLook->CheckAlwaysActive()) {
                ToggleCheckBoxCell(Col(), Row());
                key = 0;
                return;
            }
        }
    }
    if (key == VK_TAB && (Options() & goTabs) && !(shift & ssAlt)) {
        TabMove((shift & ssShift) != 0);
        key = 0;
        return;
    }
    if (key == VK_F2 || (key == VK_RETURN && !FEditMode))
        RememberCell(Col(), Row());
    TBaseGrid::KeyDown(key, shift);
}

// ---------------------------------------------------------------------------
// The Tab move
// ---------------------------------------------------------------------------

bool TExStringGrid::TabTarget(bool backwards, int& col, int& row)
{
    const int firstCol = TBaseGrid::FixedCols(), lastCol = ColCount() - FFixedRightCols - 1;
    const int firstRow = TBaseGrid::FixedRows(), lastRow = RowCount() - FFixedFooters - 1;
    if (firstCol > lastCol || firstRow > lastRow)
        return false;
    const bool byRows = FNavigation->TabAdvanceDirection() != adLeftRight;
    const int width = lastCol - firstCol + 1, height = lastRow - firstRow + 1;
    const long long cells = static_cast<long long>(width) * height;
    int c = std::clamp(col, firstCol, lastCol), r = std::clamp(row, firstRow, lastRow);
    // Editing only paused by the current cell still counts as on.
    const bool editing = (Options() & goEditing) || FEditDisable;
    // One pass over the cells at most: a grid without an editable cell
    // ends where it started.
    for (long long step = 0; step < cells; ++step) {
        if (!byRows) {
            if (backwards) {
                if (--c < firstCol) {
                    c = lastCol;
                    if (--r < firstRow)
                        r = lastRow;
                }
            } else if (++c > lastCol) {
                c = firstCol;
                if (++r > lastRow)
                    r = firstRow;
            }
        } else {
            if (backwards) {
                if (--r < firstRow) {
                    r = lastRow;
                    if (--c < firstCol)
                        c = lastCol;
                }
            } else if (++r > lastRow) {
                r = firstRow;
                if (++c > lastCol)
                    c = firstCol;
            }
        }
        if (!IsBaseCell(RealColIndex(c), r))
            continue;
        if (editing && !IsCellEditable(c, r))
            continue;
        col = c;
        row = r;
        return true;
    }
    return false;
}

bool TExStringGrid::TabMove(bool backwards)
{
    int key = VK_TAB;
    if (OnKeyDown) {
        OnKeyDown(this, key, backwards ? ssShift : 0);
        if (key != VK_TAB)
            return true;
    }
    if (Col() == FLastTabCol && Row() == FLastTabRow)
        return true;
    FLastTabCol = Col();
    FLastTabRow = Row();
    struct Reset
    {
        TExStringGrid* g;
        ~Reset() { g->FLastTabCol = g->FLastTabRow = -1; }
    } reset{this};
    int col = Col(), row = Row();
    const bool atEnd = backwards ? (col <= TBaseGrid::FixedCols() && row <= TBaseGrid::FixedRows())
                                 : (col >= ColCount() - FFixedRightCols - 1 && row >= RowCount() - FFixedFooters - 1);
    if (atEnd && FNavigation->TabToNextAtEnd() && parentWidget()) {
        HideInplaceEdit();
        focusNextPrevChild(!backwards);
        return false;
    }
    if (!TabTarget(backwards, col, row))
        return true;
    if (col != Col() || row != Row())
        MoveColRow(col, row, true, true);
    if (col == Col() && row == Row() && FNavigation->AdvanceAutoEdit() && ((Options() & goEditing) || FEditDisable)) {
        const TPoint base = BaseCell(RealColIndex(col), row);
        if (!HasClickableControl(base.X, base.Y) && IsEditable(col, row)) {
            RememberCell(col, row);
            ShowInplaceEdit();
        }
    }
    if (FNavigation->AlwaysEdit() && !hasFocus() && !FEditMode)
        setFocus(Qt::OtherFocusReason);
    return true;
}

// ---------------------------------------------------------------------------
// Key and character messages
// ---------------------------------------------------------------------------

void TExStringGrid::KeyUp(int& key, TShiftState shift) { TBaseGrid::KeyUp(key, shift); }

void TExStringGrid::HandleCharMessage(TMessage& m)
{
    // The character that opens an editor is handed to it once it is up.
    const QChar ch(static_cast<char16_t>(m.WParam));
    if ((Options() & goEditing) && !FEditMode && ch.unicode() >= 32)
        FStartEditChar = ch;
    TBaseGrid::WndProc(m);
    FStartEditChar = QChar();
}

void TExStringGrid::HandleKeyDownMessage(TMessage& m)
{
    // A Tab handed on by an editor while the grid itself does not take Tab.
    if (static_cast<int>(m.WParam) == VK_TAB && !(Options() & goTabs)) {
        if (isVisible())
            focusNextPrevChild(!(KeyDataShift(m.LParam) & ssShift));
        return;
    }
    TBaseGrid::WndProc(m);
}

// ---------------------------------------------------------------------------
// Selectable cells (completed with the navigation)
// ---------------------------------------------------------------------------

bool TExStringGrid::IsSelectableCell(int aCol, int aRow)
{
    return aCol >= TBaseGrid::FixedCols() && aRow >= TBaseGrid::FixedRows() && aCol < ColCount() &&
           aRow < RowCount();
}

int TExStringGrid::FirstSelectableCol(int) { return TBaseGrid::FixedCols(); }
int TExStringGrid::LastSelectableCol(int) { return ColCount() - 1 - FFixedRightCols; }
int TExStringGrid::EffectiveFixedCols() const { return TBaseGrid::FixedCols(); }
int TExStringGrid::VisibleFixedRightCols() const { return FFixedRightCols; }
bool TExStringGrid::IsLastDataRow() const { return Row() == RowCount() - 1 - FFixedFooters; }
void TExStringGrid::AutoAppendRow() {}
void TExStringGrid::WrapToFirstRow() {}
void TExStringGrid::Select() {}
void TExStringGrid::UpdateSearchPanel() {}
TSearchPanel* TExStringGrid::SearchPanel() { return nullptr; }
