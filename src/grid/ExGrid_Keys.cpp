// The string grid's keyboard: typed characters, keys going down and up, the
// Tab move, the row that Down appends, and the grid's additions to the
// platform's navigation (row moves with Ctrl, wrapping at the edges,
// disabled rows, a synchronised grid).
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include "platform/Forms.h"
#include "platform/Messages.h"
#include "widgets/ExUtil.h"

#include <algorithm>

using namespace platform;

using exgrid_detail::FlagGuard;
using exgrid_detail::ScopeExit;

namespace {

bool IsNavigationKey(int key) { return key >= VK_PRIOR && key <= VK_DOWN; }
bool IsArrowKey(int key) { return key >= VK_LEFT && key <= VK_DOWN; }

constexpr int KeyA = 'A', KeyC = 'C', KeyF = 'F', KeyV = 'V', KeyX = 'X';

// The last column (row) the current cell can take, counted from the end:
// the cell refuses fixed right columns and footer rows.
int LastEnterableCol(TExStringGrid& g, int row)
{
    int c = g.ColCount() - 1;
    while (c > g.TBaseGrid::FixedCols() && g.IsFixed(c, row))
        --c;
    return c;
}

int LastEnterableRow(TExStringGrid& g, int col)
{
    int r = g.RowCount() - 1;
    while (r > g.TBaseGrid::FixedRows() && g.IsFixed(col, r))
        --r;
    return r;
}

} // namespace

// ---------------------------------------------------------------------------
// Selectable cells and the grid's data area
// ---------------------------------------------------------------------------

bool TExStringGrid::IsSelectableCell(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0 || aCol >= ColCount() || aRow >= RowCount())
        return false;
    // Editing only paused by the current cell still counts as on.
    bool can = ((Options() & goEditing) || FEditDisable) ? IsEditable(aCol, aRow) : !IsFixed(aCol, aRow);
    if (OnSelectCell)
        OnSelectCell(this, aCol, aRow, can);
    return can;
}

int TExStringGrid::FirstSelectableCol(int aRow)
{
    for (int c = 0; c < ColCount(); ++c)
        if (IsSelectableCell(c, aRow))
            return c;
    return -1;
}

int TExStringGrid::LastSelectableCol(int aRow)
{
    for (int c = ColCount() - 1; c >= 0; --c)
        if (IsSelectableCell(c, aRow))
            return c;
    return -1;
}

int TExStringGrid::EffectiveFixedCols() const
{
    const int fixed = TBaseGrid::FixedCols();
    // A node grid keeps its first column for the node buttons.
    if (fixed == 0 && const_cast<TExStringGrid*>(this)->HasNodes())
        return 1;
    return fixed;
}

int TExStringGrid::VisibleFixedRightCols() const
{
    const int total = ColCount() + FNumHidden;
    int count = 0;
    for (int c = std::max(0, total - FFixedRightCols); c < total; ++c)
        if (!IsHiddenColumn(c))
            ++count;
    return count;
}

bool TExStringGrid::IsLastDataRow() const
{
    return Row() == RowCount() - FFixedFooters - 1 || (FFloatingFooter->Visible() && Row() == RowCount() - 2);
}

int TExStringGrid::LastDataRow() const
{
    return FFloatingFooter->Visible() ? RowCount() - 2 : RowCount() - FFixedFooters - 1;
}

int TExStringGrid::LastNormalCol() const { return ColCount() - FFixedRightCols - 1; }

void TExStringGrid::WrapToFirstRow() { SetRow(TBaseGrid::FixedRows()); }

bool TExStringGrid::HasFormControls(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return false;
    const QString text = GetCellEx(aCol, aRow);
    return CellTextKind(text, true) == 1 && text.toUpper().contains(QStringLiteral("<CONTROL"));
}

// ---------------------------------------------------------------------------
// The row Down appends
// ---------------------------------------------------------------------------

void TExStringGrid::AddEmptyDataRow()
{
    const int footers = FFloatingFooter->Visible() ? 1 : FFixedFooters;
    if (footers > 0) {
        // The new row goes above the footer rows, which keep their texts;
        // the move that asked for it goes onto it.
        InsertRows(RowCount() - footers, 1);
    } else {
        SetRowCount(RowCount() + 1);
        // Cells beyond a lowered row count are kept: the new row starts empty.
        ClearRows(RowCount() - 1, 1);
    }
}

void TExStringGrid::AutoAppendRow()
{
    bool canAdd = true;
    QueryCanAddRow(canAdd);
    if (!canAdd)
        return;
    AddEmptyDataRow();
    if (FFloatingFooter->Visible())
        CalcFooter(-1);
    if (OnAutoAddRow)
        OnAutoAddRow(this, RowCount() - FFixedFooters - 1);
}

// ---------------------------------------------------------------------------
// The Tab move
// ---------------------------------------------------------------------------

TExStringGrid::TTabStep TExStringGrid::TabTarget(bool backwards, int& col, int& row, bool& forceSel)
{
    const int firstCol = EffectiveFixedCols(), lastCol = LastNormalCol();
    const int firstRow = TBaseGrid::FixedRows(), lastRow = LastDataRow();
    forceSel = false;
    if (firstCol > lastCol || firstRow > lastRow)
        return TTabStep::Stuck;
    col = std::clamp(col, firstCol, lastCol);
    row = std::clamp(row, firstRow, lastRow);
    auto firstOf = [&](int r) {
        const int c = FirstSelectableCol(r);
        return c >= 0 ? c : firstCol;
    };

    if (FNavigation->TabAdvanceDirection() != adLeftRight) {
        // Down the columns.
        if (backwards) {
            if (row > firstRow) {
                --row;
                return TTabStep::Moved;
            }
            row = lastRow;
            if (col > firstCol) {
                --col;
                return TTabStep::Moved;
            }
            col = lastCol;
            return TTabStep::Wrapped;
        }
        const int next = row + std::max(0, CellSpan(RealColIndex(col), row).Y) + 1;
        if (next <= lastRow) {
            row = next;
            return TTabStep::Moved;
        }
        row = firstRow;
        if (col < lastCol) {
            ++col;
            return TTabStep::Moved;
        }
        col = firstCol;
        return TTabStep::Wrapped;
    }

    if (backwards) {
        if (col > firstCol) {
            for (int c = col - 1; c >= firstCol; --c) {
                if (IsBaseCell(RealColIndex(c), row) && IsSelectableCell(c, row)) {
                    col = c;
                    return TTabStep::Moved;
                }
            }
            // The last selectable cell of the row above.
            const bool wraps = row <= firstRow;
            row = wraps ? lastRow : row - 1;
            const int c = LastSelectableCol(row);
            col = c >= 0 && c <= lastCol ? c : lastCol;
            const TPoint base = BaseCell(RealColIndex(col), row);
            col = DisplColIndexOf(base.X);
            row = base.Y;
            return wraps ? TTabStep::Wrapped : TTabStep::Moved;
        }
        const bool wraps = row <= firstRow;
        row = wraps ? lastRow : row - 1;
        int c = lastCol;
        while (c > TBaseGrid::FixedCols() && !IsSelectableCell(c, row))
            --c;
        col = c;
        return wraps ? TTabStep::Wrapped : TTabStep::Moved;
    }

    if (col < lastCol) {
        const int from = col + std::max(0, CellSpan(RealColIndex(col), row).X) + 1;
        for (int c = from; c <= lastCol; ++c) {
            if (IsSelectableCell(c, row)) {
                col = c;
                return TTabStep::Moved;
            }
        }
        if (row < lastRow) {
            // The next row, when the changing events allow it.
            const int next = row + 1;
            int c = FirstSelectableCol(next);
            if (c < 0)
                c = TBaseGrid::FixedCols();
            bool allow = true;
            if (OnRowChanging)
                OnRowChanging(this, row, next, allow);
            if (allow && OnCellChanging)
                OnCellChanging(this, row, col, next, c, allow);
            if (allow && OnColChanging)
                OnColChanging(this, col, c, allow);
            if (!allow)
                return TTabStep::Stuck;
            forceSel = true;
            col = c;
            row = next;
            return TTabStep::Moved;
        }
        row = firstRow;
        col = firstOf(firstRow);
        return TTabStep::Wrapped;
    }

    // In the last column.
    if (row < lastRow) {
        for (int r = row + 1; r <= lastRow; ++r) {
            for (int c = firstCol; c <= lastCol; ++c) {
                if (IsBaseCell(RealColIndex(c), r) && IsSelectableCell(c, r)) {
                    col = c;
                    row = r;
                    return TTabStep::Moved;
                }
            }
        }
        // No row below has one: on from the last cell.
        col = lastCol;
        row = lastRow;
        return TTabStep::Moved;
    }
    bool add = !FNavigation->TabToNextAtEnd() && FNavigation->AdvanceInsert();
    if (add)
        QueryCanAddRow(add);
    if (!add) {
        row = firstRow;
        col = firstOf(firstRow);
        return TTabStep::Wrapped;
    }
    AddEmptyDataRow();
    if (OnAutoAddRow)
        OnAutoAddRow(this, RowCount() - FFixedFooters - 1);
    row = LastDataRow();
    col = firstOf(row);
    return TTabStep::Added;
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
    ScopeExit reset{[this] { FLastTabCol = FLastTabRow = -1; }};

    const int startCol = Col(), startRow = Row();
    const int firstCol = EffectiveFixedCols(), firstRow = TBaseGrid::FixedRows();
    const int width = std::max(1, LastNormalCol() - firstCol + 1);
    const int height = std::max(1, LastDataRow() - firstRow + 1);
    const bool byRows = FNavigation->TabAdvanceDirection() != adLeftRight;
    // The place of a cell in the order of the Tab.
    auto order = [&](int c, int r) {
        const long long dc = c - firstCol, dr = r - firstRow;
        return byRows ? dc * height + dr : dr * width + dc;
    };
    const long long startOrder = order(std::clamp(startCol, firstCol, firstCol + width - 1),
                                       std::clamp(startRow, firstRow, firstRow + height - 1));
    const bool editing = (Options() & goEditing) || FEditDisable;

    // Non-editable and merged cells are passed over, at most once round the
    // grid: a grid without a cell to go to keeps its current cell.
    int col = startCol, row = startRow;
    bool forceSel = false, found = false, wrapped = false;
    const long long limit = static_cast<long long>(width) * height + 2;
    for (long long step = 0; step < limit; ++step) {
        bool force = false;
        const TTabStep result = TabTarget(backwards, col, row, force);
        if (result == TTabStep::Stuck)
            break;
        forceSel = force;
        if (result == TTabStep::Added) {
            found = true;
            break;
        }
        if (result == TTabStep::Wrapped) {
            if (wrapped)
                break;
            wrapped = true;
            if (!backwards && FNavigation->TabToNextAtEnd() && parentWidget()) {
                // The grid is left for the next control, from its first cell.
                HideInplaceEdit();
                if (col >= 0 && col < ColCount() && row >= 0 && row < RowCount())
                    MoveColRow(col, row, true, true);
                focusNextPrevChild(true);
                return false;
            }
        }
        if (col == startCol && row == startRow)
            break;
        if (wrapped && (backwards ? order(col, row) <= startOrder : order(col, row) >= startOrder))
            break;
        if (IsMergedNonBaseCell(RealColIndex(col), row))
            continue;
        if (editing && !IsEditable(col, row))
            continue;
        found = true;
        break;
    }
    if (!found)
        return true;

    if (col != Col() || row != Row()) {
        FlagGuard force(FForceSel, forceSel || FForceSel);
        MoveColRow(col, row, true, true);
    }
    if (col == Col() && row == Row() && FNavigation->AdvanceAutoEdit()) {
        const TPoint base = BaseCell(RealColIndex(col), row);
        if (!HasClickableControl(base.X, base.Y))
            SimulateCellClick(col, row);
    }
    if (FNavigation->AlwaysEdit() && !hasFocus() && !FEditMode && isVisible())
        setFocus(Qt::OtherFocusReason);
    return true;
}

// ---------------------------------------------------------------------------
// Typed characters
// ---------------------------------------------------------------------------

void TExStringGrid::HandleCharMessage(TMessage& m)
{
    QChar ch(static_cast<char16_t>(m.WParam));
    const TShiftState shift = KeyDataShift(m.LParam);
    const int rc = RealColIndex(Col());
    // Cells with form controls take no typing.
    if (HasFormControls(rc, Row()))
        return;
    if (FMouseActions->EditOnDblClickOnly()) {
        bool can = true;
        QueryCanEdit(rc, Row(), can);
        if (can)
            SetOptions(Options() | goEditing);
    }
    // The key-down handling does the clipboard work.
    if (FNavigation->AllowClipboardShortCuts() && (shift & ssCtrl) &&
        (ch.unicode() == 3 || ch.unicode() == 22 || ch.unicode() == 24))
        return;
    const TPoint base = BaseCell(rc, Row());
    const bool clickable = HasClickableControl(base.X, base.Y);

    if (FMouseActions->RangeSelectAndEdit() && !clickable && IsCellEditable(Col(), Row()) && ch.unicode() != 9 &&
        ch.unicode() != 27 && !(shift & ssCtrl)) {
        // An Enter is no text to type: once the editor is open, handing it on
        // would close the editor again.
        const bool enter = ch.unicode() == 13;
        if (enter && FEditMode)
            return;
        QChar copy = ch;
        if (OnKeyPress)
            OnKeyPress(this, copy);
        FStartEditChar = ch;
        SetOptions(Options() | goEditing);
        if (Col() < LeftCol() || Col() >= LeftCol() + VisibleColCount() || Row() < TopRow() ||
            Row() >= TopRow() + VisibleRowCount())
            ScrollInView(Col(), Row());
        // A press on the cell opens its editor; the character follows.
        const TRect r = TBaseGrid::CellRect(Col(), Row());
        TMessage press{WM_LBUTTONDOWN, 0, MakeLParam(r.Left + 2, r.Top + 2), 0};
        Perform(press);
        if (!(enter && FEditMode))
            TBaseGrid::WndProc(m);
        FStartEditChar = QChar();
        return;
    }

    if (FExcelStyleDecimalSeparator && ch == QLatin1Char('.') && (m.LParam & KeyDataNumPad))
        ch = LocaleDecimalSeparator();
    m.WParam = ch.unicode();
    if (clickable && ch.unicode() == 13 && FNavigation->AdvanceOnEnter()) {
        TBaseGrid::WndProc(m);
        return;
    }
    if ((Options() & goEditing) && ch.unicode() != 9 &&
        (ch.unicode() == 8 || (ch.unicode() >= 32 && ch.unicode() <= 255))) {
        if (OnKeyPress)
            OnKeyPress(this, ch);
        if (ch.isNull())
            return;
        FStartEditChar = ch;
        // A check box, radio or button takes no typed text.
        if (!clickable)
            ShowEditorChar(ch);
        FStartEditChar = QChar();
        return;
    }
    TBaseGrid::WndProc(m);
}

// ---------------------------------------------------------------------------
// Keys going down
// ---------------------------------------------------------------------------

bool TExStringGrid::ScrollOnlyKey(int key)
{
    const int fixedRows = TBaseGrid::FixedRows();
    const int visible = VisibleRowCount(), top = TopRow();
    int newTop = top;
    switch (key) {
    case VK_PRIOR: newTop = top > visible + fixedRows ? top - visible : fixedRows; break;
    case VK_NEXT:
        if (top + visible < RowCount())
            newTop = top + visible;
        break;
    case VK_END: newTop = RowCount() - visible; break;
    case VK_HOME: newTop = fixedRows; break;
    case VK_UP:
        if (top > fixedRows)
            newTop = top - 1;
        break;
    case VK_DOWN:
        if (top + visible < RowCount())
            newTop = top + 1;
        break;
    default: return false;
    }
    SetTopRow(std::max(fixedRows, newTop));
    return true;
}

bool TExStringGrid::HomeEndKey(int key, TShiftState shift)
{
    if (key != VK_HOME && key != VK_END)
        return false;
    const bool ctrl = (shift & ssCtrl) != 0, shifted = (shift & ssShift) != 0;
    const bool rowSelect = (Options() & goRowSelect) != 0;
    const THomeEndAction action = FNavigation->HomeEndKey();
    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    const int keyRow = Row(), keepLeft = LeftCol();
    const bool home = key == VK_HOME;

    enum class Line { None, Cell, Row, ColumnCtrl, Column };
    Line line = Line::None;
    if (action == heFirstLastCell && !ctrl)
        line = Line::Cell;
    else if (action == heFirstLastRow && !ctrl && !(home && FFixedRowAlways && RowCount() == fixedRows))
        line = Line::Row;
    else if (action == heFirstLastColumn && ctrl && home)
        line = Line::ColumnCtrl;
    else if (action == heFirstLastColumn && !rowSelect && !ctrl)
        line = Line::Column;
    if (line == Line::None)
        return false;

    // A grid without a normal cell has nowhere to go.
    if (fixedCols < ColCount() && fixedRows < RowCount()) {
        auto goTo = [&](int c, int r) {
            c = std::clamp(c, fixedCols, ColCount() - 1);
            r = std::clamp(r, fixedRows, RowCount() - 1);
            MoveColRow(c, r, true, true);
            MoveToBaseCell();
        };
        auto wholeRows = [&](int newRow) {
            if (shifted) {
                SetSelection(TGridRect{0, std::min(keyRow, newRow), ColCount() - 1, std::max(keyRow, newRow)});
                if (DisjunctRowMode())
                    SyncRowSelectWithSelection(false);
            } else {
                MoveColRow(Col(), newRow, true, true);
                if (DisjunctRowMode())
                    SyncRowSelectWithSelection(true);
            }
        };
        switch (line) {
        case Line::Cell:
            if (home) {
                goTo(fixedCols, fixedRows);
            } else {
                const int r = LastEnterableRow(*this, fixedCols);
                goTo(LastEnterableCol(*this, r), r);
            }
            break;
        case Line::Row:
            if (home) {
                wholeRows(fixedRows);
            } else {
                const bool floating = FFloatingFooter->Visible();
                const int last = floating && RowCount() > 2 ? RowCount() - 2 : RowCount() - FFixedFooters - 1;
                wholeRows(std::max(fixedRows, last));
                if (floating || FFixedFooters > 0)
                    SetTopRow(std::max(fixedRows, RowCount() - VisibleRowCount()));
            }
            break;
        case Line::ColumnCtrl: {
            const int c = FirstSelectableCol(fixedRows);
            goTo(c >= 0 ? c : fixedCols, fixedRows);
            SetLeftCol(std::max(fixedCols, EffectiveFixedCols()));
            break;
        }
        case Line::Column:
            if (shifted) {
                const int to = home ? fixedCols : std::max(fixedCols, LastNormalCol());
                SetSelection(TGridRect{std::min(Col(), to), Row(), std::max(Col(), to), Row()});
            } else if (home) {
                const int c = FirstSelectableCol(Row());
                goTo(c >= 0 ? c : fixedCols, Row());
                SetLeftCol(std::max(fixedCols, EffectiveFixedCols()));
            } else {
                goTo(LastEnterableCol(*this, Row()), Row());
                SetLeftCol(std::max(fixedCols, ColCount() - VisibleColCount()));
            }
            break;
        case Line::None: break;
        }
    }
    int k = key;
    if (OnKeyDown)
        OnKeyDown(this, k, shift);
    if (rowSelect && FNavigation->KeepHorizScroll())
        SetLeftCol(keepLeft);
    return true;
}

bool TExStringGrid::SkipFixedCellsKey(int key, int& target)
{
    if (!FNavigation->SkipFixedCells())
        return false;
    if (isRightToLeft() && (key == VK_LEFT || key == VK_RIGHT))
        key = key == VK_LEFT ? VK_RIGHT : VK_LEFT;
    if (key == VK_LEFT || key == VK_RIGHT) {
        const int step = key == VK_RIGHT ? 1 : -1;
        const int low = TBaseGrid::FixedCols(), high = ColCount() - 1;
        int c = Col() + step;
        if (c < low || c > high || !IsFixed(c, Row()))
            return false;
        while (c >= low && c <= high && IsFixed(c, Row()))
            c += step;
        if (c < low || c > high)
            return false;
        target = c;
        MoveColRow(c, Row(), true, true);
        return true;
    }
    if ((key == VK_UP || key == VK_DOWN) && !(Options() & goRowSelect)) {
        const int step = key == VK_DOWN ? 1 : -1;
        const int low = TBaseGrid::FixedRows(), high = RowCount() - FFixedFooters - 1;
        int r = Row() + step;
        if (r < low || r > RowCount() - 1 || !IsFixed(Col(), r))
            return false;
        while (r >= low && r <= high && IsFixed(Col(), r))
            r += step;
        if (r < low || r > high)
            return false;
        target = r;
        MoveColRow(Col(), r, true, true);
        return true;
    }
    return false;
}

bool TExStringGrid::SearchFooterAtEnd()
{
    return FSearchFooter->Visible() && TopRow() + VisibleRowCount() >= RowCount();
}

void TExStringGrid::RunClipboardKey(int key, TShiftState shift, bool& handled)
{
    handled = false;
    if (!FNavigation->AllowClipboardShortCuts())
        return;
    const bool ctrl = (shift & ssCtrl) != 0, shifted = (shift & ssShift) != 0;
    enum { None, Cut, Copy, Paste } what = None;
    if (ctrl && key == KeyX)
        what = Cut;
    else if (ctrl && key == KeyV)
        what = Paste;
    else if (ctrl && (key == VK_INSERT || key == KeyC))
        what = Copy;
    else if (shifted && key == VK_INSERT)
        what = Paste;
    else if (shifted && key == VK_DELETE)
        what = Cut;
    if (what == None)
        return;
    handled = true;
    // The event may refuse the action.
    auto askAndRun = [this](const TClipboardEvent& ask, void (TExStringGrid::*action)()) {
        bool allow = true;
        if (ask)
            ask(this, allow);
        if (allow)
            (this->*action)();
    };
    switch (what) {
    case Cut: askAndRun(OnClipboardCut, &TExStringGrid::CutSelectionToClipboard); break;
    case Paste: askAndRun(OnClipboardPaste, &TExStringGrid::PasteSelectionFromClipboard); break;
    case Copy: askAndRun(OnClipboardCopy, &TExStringGrid::CopySelectionToClipboard); break;
    case None: break;
    }
}

void TExStringGrid::InsertRowByKey()
{
    bool canInsert = true;
    QueryCanInsertRow(Row(), canInsert);
    if (!canInsert)
        return;
    const bool filtered = FilterActive();
    if (filtered)
        SetFilterActive(false);
    int at = Row();
    if (FNavigation->InsertPosition() == pInsertAfter && !(FFixedRowAlways && RowCount() == TBaseGrid::FixedRows()))
        at = Row() + 1;
    DoAutoInsertRow(at);
    if (filtered)
        SetFilterActive(true);
    at = std::clamp(at, 0, RowCount() - 1);
    if (OnAutoInsertRow)
        OnAutoInsertRow(this, RealRowIndex(at));
    SetModified(true);
    if (at != Row() && at >= TBaseGrid::FixedRows())
        MoveColRow(Col(), at, true, true);
    CalcFooter(-1);
}

void TExStringGrid::DeleteRowByKey()
{
    // Only a data row can go.
    if (RowCount() - TBaseGrid::FixedRows() - FFixedFooters <= 0 || Row() < TBaseGrid::FixedRows() ||
        Row() > LastDataRow())
        return;
    const bool filtered = FilterActive();
    if (filtered)
        SetFilterActive(false);
    bool canDelete = true;
    if (OnCanDeleteRow)
        OnCanDeleteRow(this, RealRow(), canDelete);
    if (canDelete)
        DoAutoDeleteRow(Row());
    if (filtered)
        SetFilterActive(true);
    if (!canDelete)
        return;
    if (FFloatingFooter->Visible() && Row() == RowCount() - 1 && Row() > TBaseGrid::FixedRows())
        MoveColRow(Col(), Row() - 1, true, true);
    RememberCell(Col(), Row());
    SetModified(true);
    CalcFooter(-1);
}

void TExStringGrid::SelectAllByKey()
{
    const int left = EffectiveFixedCols(), top = TBaseGrid::FixedRows();
    const int right = LastNormalCol(), bottom = RowCount() - FFixedFooters - 1;
    if (left > right || top > bottom)
        return;
    if (DisjunctRowMode())
        for (int r = top; r <= bottom; ++r)
            SetRowSelect(RowSelectIndex(r), true);
    // The anchor goes to the first cell and the current cell to the last.
    SetSelection(TGridRect{left, top, right, bottom});
}

void TExStringGrid::DisjunctSelectByKey(int key, TShiftState shift)
{
    const bool rows = FMouseActions->DisjunctRowSelect(), cols = FMouseActions->DisjunctColSelect();
    if (!rows && !cols)
        return;
    if (IsNavigationKey(key)) {
        const bool plain = !(shift & (ssShift | ssCtrl));
        if (rows) {
            if (plain)
                ClearRowSelect();
            if (shift & ssShift)
                SyncRowSelectWithSelection(false);
            else
                SetRowSelect(RowSelectIndex(Row()), true);
        }
        if (cols) {
            if (plain)
                ClearColSelect();
            if (shift & ssShift)
                SyncColSelectWithSelection(false);
            else
                SetColSelect(Col(), true);
        }
    } else if (key == VK_SPACE) {
        if (rows) {
            const int index = RowSelectIndex(Row());
            SetRowSelect(index, !GetRowSelect(index));
        }
        if (cols)
            SetColSelect(Col(), !GetColSelect(Col()));
    }
}

void TExStringGrid::HandleKeyDownMessage(TMessage& m)
{
    const int vk = static_cast<int>(m.WParam);
    int key = vk;
    const TShiftState shift = KeyDataShift(m.LParam);
    const bool ctrl = (shift & ssCtrl) != 0, shifted = (shift & ssShift) != 0, alt = (shift & ssAlt) != 0;
    // A Tab handed on by an editor while the grid itself does not take Tab.
    if (key == VK_TAB && !(Options() & goTabs)) {
        if (isVisible() && !FocusNeighbourControl(!shifted))
            focusNextPrevChild(!shifted);
        return;
    }
    auto raiseKeyDown = [&] {
        if (OnKeyDown)
            OnKeyDown(this, key, shift);
    };
    FMoveSelection = FKeyDownSelection = Selection();
    const bool rowSelect = (Options() & goRowSelect) != 0;
    const bool enterOrF2 = key == VK_RETURN || key == VK_F2;

    // Paging and row keys in row-select mode may keep the horizontal position.
    const bool keepScroll = (key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN) && rowSelect &&
                            LeftCol() != TBaseGrid::FixedCols() && FNavigation->KeepHorizScroll();
    const int keepLeft = LeftCol();

    if (FNavigation->MoveScrollOnly() && ScrollOnlyKey(key))
        return;

    if (FMouseActions->EditOnDblClickOnly() && enterOrF2 && !(Options() & goEditing)) {
        bool editable = false;
        {
            TMouseActions& ma = *FMouseActions;
            const bool old = ma.RangeSelectAndEdit();
            ma.SetRangeSelectAndEdit(true);
            editable = IsEditable(Col(), Row());
            ma.SetRangeSelectAndEdit(old);
        }
        if (editable)
            SetOptions(Options() | goEditing);
    }
    if (FMouseActions->RangeSelectAndEdit() && !(Options() & goEditing) && enterOrF2) {
        if (!IsEditable(Col(), Row())) {
            raiseKeyDown();
            return;
        }
        SetOptions(Options() | goEditing);
        ShowInplaceEdit();
        return;
    }
    if (ctrl && key == KeyF && FSearchFooter->Visible() && FSearchPanel && FSearchPanel->isVisible()) {
        FSearchPanel->EditControl()->SetFocus();
        return;
    }
    const int rc = RealColIndex(Col());
    if (enterOrF2) {
        if ((Options() & goEditing) && !IsEditable(Col(), Row())) {
            raiseKeyDown();
            return;
        }
        if (HasFormControls(rc, Row())) {
            RememberCell(Col(), Row());
            EditNextCellControl(Col(), Row(), QString());
            return;
        }
    }
    if (key == VK_RETURN && !IsEditable(Col(), Row())) {
        TForm* form = GetParentForm(this);
        if (!(form && form->KeyPreview())) {
            raiseKeyDown();
            return;
        }
        TBaseGrid::WndProc(m);
        return;
    }

    // Enter and Space on check boxes, radios and cell buttons.
    if (key == VK_RETURN || key == VK_SPACE) {
        const TPoint base = BaseCell(rc, Row());
        if (HasClickableControl(base.X, base.Y)) {
            bool permitted = (Options() & goEditing) || FMouseActions->RangeSelectAndEdit();
            QueryCanEdit(base.X, base.Y, permitted);
            if (key == VK_SPACE && HasCheckBox(base.X, base.Y) && (permitted || FControlLook->CheckAlwaysActive()))
                ToggleCheckBoxCell(Col(), Row());
            if (key == VK_SPACE && (permitted || FControlLook->RadioAlwaysActive())) {
                int index = -1;
                if (IsRadio(base.X, base.Y) && SelectNextRadio(base.X, base.Y, false) &&
                    GetRadioIdx(base.X, base.Y, index) && OnRadioClick)
                    OnRadioClick(this, base.X, base.Y, index);
                if (HasRadioButton(base.X, base.Y) && SelectCellRadioButton(base.X, base.Y, false) &&
                    OnRadioButtonClick)
                    OnRadioButtonClick(this, base.X, base.Y);
            }
            if (permitted && HasButton(base.X, base.Y))
                DoButtonClick(base.X, base.Y);
            TBaseGrid::RepaintCell(Col(), Row());
        }
    }

    if (HomeEndKey(key, shift))
        return;

    // Nodes open and close with Right and Left.
    if ((key == VK_RIGHT || key == VK_LEFT) && IsNode(Row()) && IsMergedCell(rc, Row())) {
        if (key == VK_RIGHT)
            ExpandNode(RealRow());
        else
            ContractNode(RealRow());
    }
    const bool allColsShown =
        LeftCol() == TBaseGrid::FixedCols() && LeftCol() + VisibleColCount() >= ColCount();
    if ((key == VK_LEFT || key == VK_RIGHT) && rowSelect && !IsNode(Row()) && !allColsShown) {
        if (!FNavigation->LeftRightRowSelect() && !ctrl) {
            const int left = LeftCol() + (key == VK_RIGHT ? 1 : -1);
            if (left >= TBaseGrid::FixedCols() && left + VisibleColCount() <= ColCount())
                SetLeftCol(left);
            raiseKeyDown();
            return;
        }
    }
    if (key == VK_TAB && !alt) {
        TabMove(shifted);
        const TGridRect s = Selection();
        if (!(s == FMoveSelection)) {
            DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
            FMoveSelection = s;
        }
        return;
    }
    int target = -1;
    if (IsArrowKey(key) && SkipFixedCellsKey(key, target)) {
        raiseKeyDown();
        return;
    }
    if (key == VK_DOWN && IsLastDataRow() && FNavigation->AppendOnArrowDown())
        AutoAppendRow();
    if (FSelectionRectangle && !(Selection() == FMoveSelection)) {
        const TGridRect& o = FMoveSelection;
        RepaintRect(TRect{o.Left, o.Top, o.Right, o.Bottom});
        FMoveSelection = Selection();
    }

    // The search footer covers the bottom of the grid.
    const bool footerAtEnd = SearchFooterAtEnd();
    const bool onLastRow = Row() == RowCount() - 1;
    if (footerAtEnd && onLastRow) {
        if (key == VK_DOWN) {
            ScrollLastRowAboveSearchFooter();
            raiseKeyDown();
            return;
        }
        if ((key == VK_RIGHT && Col() == ColCount() - 1) || (key == VK_LEFT && Col() == TBaseGrid::FixedCols()))
            return;
    }
    const bool towardsEnd = key == VK_NEXT || key == VK_END || key == VK_LEFT || key == VK_RIGHT || key == VK_DOWN;
    const bool lastRowKey = onLastRow && towardsEnd;
    const bool suspend = (footerAtEnd && (lastRowKey || !IsNavigationKey(key))) || keepScroll;
    const int topBefore = TopRow();
    if (suspend)
        BeginUpdate();
    FKeyAfterDown = key;
    TBaseGrid::WndProc(m);
    key = FKeyAfterDown;
    if (footerAtEnd) {
        if (vk != VK_SHIFT && vk != VK_MENU && !IsNavigationKey(vk))
            SetTopRow(topBefore);
    }
    // Also when the key brought the current cell onto the last row: it must
    // not end up under the panel.
    if (FSearchFooter->Visible() && towardsEnd && Row() == RowCount() - 1)
        ScrollLastRowAboveSearchFooter();
    if (keepScroll)
        SetLeftCol(keepLeft);
    if (suspend)
        EndUpdate();

    bool clipboard = false;
    RunClipboardKey(key, shift, clipboard);
    if (!clipboard) {
        if (key == VK_INSERT && !ctrl && !shifted && !alt && FNavigation->AllowInsertRow())
            InsertRowByKey();
        if (key == KeyA && ctrl && (rowSelect || (Options() & goRangeSelect)))
            SelectAllByKey();
        else
            DisjunctSelectByKey(key, shift);
        if (key == VK_DELETE && !alt && FNavigation->AllowDeleteRow())
            DeleteRowByKey();
    }
    if (key == VK_RETURN || key == VK_F2)
        RememberCell(Col(), Row());
    const TGridRect s = Selection();
    if (!(s == FMoveSelection)) {
        DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
        FMoveSelection = s;
    }
}

// ---------------------------------------------------------------------------
// The grid's additions to the platform's key-down handling
// ---------------------------------------------------------------------------

bool TExStringGrid::MoveRowsByKey(int key, const TGridRect& sel)
{
    const int firstRow = TBaseGrid::FixedRows(), lastRow = RowCount() - FFixedFooters - 1;
    const int left = TBaseGrid::FixedCols(), right = std::max(left, LastNormalCol());
    if (key == VK_DOWN) {
        if (sel.Bottom >= lastRow || sel.Top < firstRow)
            return false;
        if (sel.Top == sel.Bottom) {
            MoveRow(sel.Bottom, sel.Bottom + 1);
            MoveColRow(Col(), sel.Bottom + 1, true, true);
        } else {
            // The row below the selection goes above it.
            MoveRow(sel.Bottom + 1, sel.Top);
            SetSelection(TGridRect{left, sel.Top + 1, right, sel.Bottom + 1});
        }
        return true;
    }
    if (sel.Top <= firstRow || sel.Bottom > lastRow)
        return false;
    if (sel.Top == sel.Bottom) {
        MoveRow(sel.Top, sel.Top - 1);
        MoveColRow(Col(), sel.Top - 1, true, true);
    } else {
        MoveRow(sel.Top - 1, sel.Bottom);
        SetSelection(TGridRect{left, sel.Top - 1, right, sel.Bottom - 1});
    }
    return true;
}

void TExStringGrid::KeyDown(int& key, TShiftState shift)
{
    // Editors hand their Tab on through here.
    if (key == VK_TAB && (Options() & goTabs) && !(shift & ssAlt)) {
        TabMove((shift & ssShift) != 0);
        key = FKeyAfterDown = 0;
        return;
    }
    FLastKeyCell = Point(Col(), Row());
    const TGridRect sel = Selection();
    const int oldRow = Row();

    if (FNavigation->CursorMoveRows() && (shift & ssCtrl) && (key == VK_UP || key == VK_DOWN)) {
        if (OnKeyDown)
            OnKeyDown(this, key, shift);
        if (key != 0)
            MoveRowsByKey(key, sel);
        key = FKeyAfterDown = 0;
        return;
    }

    const int keyCode = key;
    TBaseGrid::KeyDown(key, shift);
    FKeyAfterDown = key;
    if (key == 0)
        return;
    // Ctrl+End ends on the last cell the current cell can take.
    if (keyCode == VK_END && (shift & ssCtrl) && Col() == FLastKeyCell.X && Row() == FLastKeyCell.Y) {
        const int r = LastEnterableRow(*this, TBaseGrid::FixedCols());
        const int c = LastEnterableCol(*this, r);
        if ((c != Col() || r != Row()) && c >= TBaseGrid::FixedCols() && r >= TBaseGrid::FixedRows())
            MoveColRow(c, r, true, true);
    }

    // Wrapping at the edges, judged on the cell before the key.
    const TCursorAdvance advance = FNavigation->CursorAdvance();
    if (advance != caDefault && ColCount() > TBaseGrid::FixedCols() && RowCount() > TBaseGrid::FixedRows()) {
        const bool snake = advance == caSnake;
        const int c0 = FLastKeyCell.X, r0 = FLastKeyCell.Y;
        const int firstCol = TBaseGrid::FixedCols(), firstRow = TBaseGrid::FixedRows();
        const int lastCol = std::max(firstCol, LastNormalCol());
        const int lastRow = std::max(firstRow, RowCount() - FFixedFooters - 1);
        int c = -1, r = -1;
        switch (key) {
        case VK_LEFT:
            if (c0 == firstCol) {
                c = lastCol;
                r = snake && r0 - 1 >= firstRow ? r0 - 1 : r0;
            }
            break;
        case VK_UP:
            if (r0 == firstRow) {
                r = lastRow;
                c = snake && c0 - 1 >= firstCol ? c0 - 1 : c0;
            }
            break;
        case VK_RIGHT:
            if (c0 == ColCount() - 1) {
                c = firstCol;
                r = snake && r0 + 1 <= lastRow ? r0 + 1 : r0;
            }
            break;
        case VK_DOWN:
            if (r0 == RowCount() - 1) {
                r = firstRow;
                c = snake && c0 + 1 <= lastCol ? c0 + 1 : c0;
            }
            break;
        default: break;
        }
        if (c >= 0 && r >= 0 && c < ColCount() && r < RowCount() && (c != Col() || r != Row()))
            MoveColRow(c, r, true, true);
    }

    // Disabled rows are stepped over.
    if (FUseEnabledRows && FNavigation->SkipDisabledRows() && Row() == oldRow &&
        (key == VK_UP || key == VK_DOWN)) {
        if (key == VK_UP) {
            for (int r = oldRow - 1; r >= TBaseGrid::FixedRows(); --r) {
                if (GetRowEnabled(r)) {
                    MoveColRow(Col(), r, true, true);
                    break;
                }
            }
        } else {
            for (int r = oldRow + 1; r < RowCount(); ++r) {
                if (GetRowEnabled(r)) {
                    MoveColRow(Col(), r, true, true);
                    break;
                }
            }
        }
    }

    if (TStringGrid* other = FSyncGrid->Grid()) {
        if (FSyncGrid->SelectionColumn() && Col() < other->ColCount())
            other->SetCol(Col());
        if (FSyncGrid->SelectionRow() && Row() < other->RowCount())
            other->SetRow(Row());
    }
}

// ---------------------------------------------------------------------------
// Keys going up
// ---------------------------------------------------------------------------

void TExStringGrid::KeyUpCellSelect(int key, TShiftState shift)
{
    if (!FMouseActions->DisjunctCellSelect() || (Options() & goEditing))
        return;
    if (shift & ssShift) {
        const TGridRect& o = FKeyDownSelection;
        for (int r = o.Top; r <= o.Bottom; ++r)
            for (int c = o.Left; c <= o.Right; ++c)
                SetSelectedCells(c, r, false);
        const TGridRect s = Selection();
        for (int r = s.Top; r <= s.Bottom; ++r)
            for (int c = s.Left; c <= s.Right; ++c)
                if (c != Col() || r != Row())
                    SetSelectedCells(c, r, true);
    }
    if (key != VK_SPACE)
        return;
    const TPoint base = BaseCell(RealColIndex(Col()), Row());
    if (IsFixed(Col(), Row()) || DisplColIndexOf(base.X) != Col() || base.Y != Row())
        return;
    bool allow = true;
    if (OnSelectCell)
        OnSelectCell(this, Col(), Row(), allow);
    if (!allow)
        return;
    if (shift & ssCtrl) {
        SetSelectedCells(Col(), Row(), !GetSelectedCells(Col(), Row()));
    } else {
        ClearSelectedCells();
        SetSelectedCells(Col(), Row(), true);
    }
    const TGridRect s = Selection();
    if (s.Left != s.Right || s.Top != s.Bottom)
        for (int r = s.Top; r <= s.Bottom; ++r)
            for (int c = s.Left; c <= s.Right; ++c)
                if (c != Col() || r != Row())
                    SetSelectedCells(c, r, true);
    TBaseGrid::RepaintCell(Col(), Row());
}

void TExStringGrid::KeyUp(int& key, TShiftState shift)
{
    const int vk = key;
    if (IsNavigationKey(vk) || vk == VK_INSERT || vk == VK_DELETE)
        SearchInc.clear();
    TBaseGrid::KeyUp(key, shift);
    const bool moveKey = IsArrowKey(vk) || (vk == VK_TAB && (Options() & goTabs));
    if (FNavigation->AlwaysEdit() && moveKey && !FEditMode) {
        const TPoint base = BaseCell(RealColIndex(Col()), Row());
        if (!HasClickableControl(base.X, base.Y))
            ShowInplaceEdit();
    }
    if (moveKey) {
        const TGridRect s = Selection();
        if (!(s == FMoveSelection)) {
            DoSelectionChanged(s.Left, s.Top, s.Right, s.Bottom);
            FMoveSelection = s;
        }
    }
    KeyUpCellSelect(vk, shift);
}
