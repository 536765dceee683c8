// Inserting, removing, moving and swapping whole rows and columns: what is
// tied to a row or a column (cells, cell objects, heights and widths, hidden
// rows and columns, row marks, cell controls) travels with it.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include <algorithm>

using namespace platform;
using exgrid_detail::ScopeExit;

namespace {

// How many of the sorted values lie below v.
int CountBelow(const std::vector<int>& sorted, int v)
{
    return static_cast<int>(std::lower_bound(sorted.begin(), sorted.end(), v) - sorted.begin());
}

} // namespace

// ---------------------------------------------------------------------------
// Inserting and appending
// ---------------------------------------------------------------------------

void TExStringGrid::InsertRows(int rowIndex, int rCount, bool updateCellControls)
{
    const int at = std::clamp(rowIndex, 0, RowCount());
    // Taken before the rows come: hidden rows from here on move down.
    const int realAt = RowDisplToReal(at);
    const int before = RowCount();
    InsertRowRange(rowIndex, rCount, updateCellControls);
    const int added = RowCount() - before;
    if (added <= 0)
        return;
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TGridItem* item = FGridItems.Items(i);
        if (item->Idx() >= realAt)
            item->SetIdx(item->Idx() + added);
    }
}

void TExStringGrid::AddRow()
{
    if (FFloatingFooter->Visible()) {
        InsertRows(RowCount() - 1, 1, true);
        if (FFloatingFooter->FooterStyle() == fsFixedLastRow)
            ClearRows(RowCount() - 2, 1);
    } else {
        InsertRows(RowCount(), 1, true);
        ClearRows(RowCount() - 1, 1);
    }
}

// ---------------------------------------------------------------------------
// Removing rows
// ---------------------------------------------------------------------------

void TExStringGrid::RemoveRows(int rowIndex, int rCount)
{
    if (rowIndex < 0 || rowIndex >= RowCount() || rCount <= 0)
        return;
    rCount = std::min(rCount, RowCount() - rowIndex);
    std::vector<int> removedReal = RealRowsOf(rowIndex, rCount);
    std::sort(removedReal.begin(), removedReal.end());
    if (ModifiedMarking() && rowIndex < FModifiedRows.Count())
        FModifiedRows.DeleteRange(rowIndex, rCount);
    if (FUseEnabledRows && rowIndex < FEnabledRows.Count())
        FEnabledRows.DeleteRange(rowIndex, rCount);
    // Persistent row flags belong to real rows; the removal step only drops
    // the display-indexed ones.
    if (DisjunctRowMode() && FMouseActions->RowSelectPersistent()) {
        // One pass: every flag not removed moves up past the removed ones.
        size_t w = 0, k = 0;
        for (size_t r = 0; r < FRowSelect.size(); ++r) {
            while (k < removedReal.size() && removedReal[k] < static_cast<int>(r))
                ++k;
            if (k < removedReal.size() && removedReal[k] == static_cast<int>(r))
                continue;
            FRowSelect[w++] = FRowSelect[r];
        }
        FRowSelect.resize(w);
    }
    // An edit still open on the current cell is checked before rows go.
    const bool entered = FEntered;
    FEntered = false;
    if (Col() >= 0 && Row() >= 0 && Col() < ColCount() && Row() < RowCount())
        SelectCell(Col(), Row());
    const int oldRow = Row();
    const int oldTop = TopRow();
    {
        BeginUpdate();
        ScopeExit endUpdate{[this] { EndUpdate(); }};
        DropRows(rowIndex, rCount);
        FMaxRowCount = std::max(0, FMaxRowCount - rCount);
        // The current row never lands on a fixed footer row.
        const int lastNormal = RowCount() - FFixedFooters - 1;
        if (oldRow <= lastNormal) {
            if (!DisjunctRowMode() && oldRow >= TBaseGrid::FixedRows())
                MoveCurrentRowTo(oldRow);
            if (oldTop < RowCount())
                TBaseGrid::SetTopRow(oldTop);
        } else if (lastNormal >= TBaseGrid::FixedRows()) {
            MoveCurrentRowTo(lastNormal);
        } else {
            HideSelection();
        }
        FSelHidden = false;
    }
    FEntered = entered;
    const int visible = VisibleRowCount();
    const int fixedRows = TBaseGrid::FixedRows();
    if (TopRow() >= RowCount() + fixedRows - visible - 2 && RowCount() - visible - 1 > 0)
        TBaseGrid::SetTopRow(std::max(fixedRows, RowCount() + fixedRows - visible - 2));
    // Controls of the removed rows are gone with them; those below move up.
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        item->Y -= CountBelow(removedReal, item->Y);
    }
    if (FControlList.Count() > 0)
        CellControlsUpdate();
    if (FSearchFooter->Visible())
        UpdateSearchPanel();
}

void TExStringGrid::RemoveCheckedRows(int checkBoxColumn, bool removeChecked)
{
    BeginUpdate();
    ScopeExit endUpdate{[this] { EndUpdate(); }};
    for (int r = RowCount() - 1; r >= TBaseGrid::FixedRows(); --r)
        if (IsChecked(checkBoxColumn, r) == removeChecked)
            RemoveRows(r, 1);
}

void TExStringGrid::RemoveSelectedRows()
{
    BeginUpdate();
    ScopeExit endUpdate{[this] { EndUpdate(); }};
    if (DisjunctRowMode()) {
        const bool persistent = FMouseActions->RowSelectPersistent();
        std::vector<int> rows;
        for (int r = TBaseGrid::FixedRows(); r < RowCount() - FFixedFooters; ++r)
            if (GetRowSelect(persistent ? RowDisplToReal(r) : r))
                rows.push_back(r);
        for (auto it = rows.rbegin(); it != rows.rend(); ++it)
            RemoveRows(*it, 1);
        ClearRowSelect();
        return;
    }
    TGridRect s = Selection();
    const int top = std::max(TBaseGrid::FixedRows(), std::min(s.Top, s.Bottom));
    const int bottom = std::min(RowCount() - 1, std::max(s.Top, s.Bottom));
    if (bottom >= top)
        RemoveRows(top, bottom - top + 1);
}

void TExStringGrid::RemoveUnSelectedRows()
{
    BeginUpdate();
    ScopeExit endUpdate{[this] { EndUpdate(); }};
    const bool persistent = FMouseActions->RowSelectPersistent();
    for (int r = RowCount() - FFixedFooters - 1; r >= TBaseGrid::FixedRows(); --r)
        if (!GetRowSelect(persistent ? RowDisplToReal(r) : r))
            RemoveRows(r, 1);
    if (persistent && RowCount() > TBaseGrid::FixedRows())
        SelectRows(TBaseGrid::FixedRows(), RowCount() - TBaseGrid::FixedRows());
    else
        ClearRowSelect();
}

void TExStringGrid::RemoveDuplicates(int aCol, bool doCase)
{
    const int real = RealColIndex(aCol);
    BeginUpdate();
    ScopeExit endUpdate{[this] { EndUpdate(); }};
    QStringList kept;
    int r = TBaseGrid::FixedRows();
    while (r < RowCount() - FFixedFooters) {
        const QString text = GetCellEx(real, r);
        if (kept.contains(text, Qt::CaseInsensitive)) {
            const int before = RowCount();
            RemoveRows(r, 1);
            if (RowCount() == before)
                ++r; // the one row a grid keeps
        } else {
            kept.append(doCase ? text : text.toUpper());
            ++r;
        }
    }
}

// ---------------------------------------------------------------------------
// Removing columns by selection
// ---------------------------------------------------------------------------

void TExStringGrid::RemoveSelectedCols()
{
    if (FMouseActions->DisjunctColSelect()) {
        for (int c = ColCount() - 1; c >= TBaseGrid::FixedCols(); --c) {
            if (!GetColSelect(c))
                continue;
            RemoveCols(RealColIndex(c), 1);
            if (c < static_cast<int>(FColSelect.size()))
                FColSelect.erase(FColSelect.begin() + c);
        }
        return;
    }
    const TGridRect s = Selection();
    const int left = std::min(s.Left, s.Right), right = std::max(s.Left, s.Right);
    if (left < 0 || right >= ColCount())
        return;
    // Hidden columns inside the selected run go with it.
    const int first = RealColIndex(left), last = RealColIndex(right);
    RemoveCols(first, last - first + 1);
}

void TExStringGrid::RemoveUnSelectedCols()
{
    if (FMouseActions->DisjunctColSelect()) {
        for (int c = ColCount() - 1; c >= TBaseGrid::FixedCols(); --c) {
            if (GetColSelect(c))
                continue;
            RemoveCols(RealColIndex(c), 1);
            if (c < static_cast<int>(FColSelect.size()))
                FColSelect.erase(FColSelect.begin() + c);
        }
    } else {
        const TGridRect s = Selection();
        const int left = std::min(s.Left, s.Right), right = std::max(s.Left, s.Right);
        if (right + 1 < ColCount())
            RemoveCols(RealColIndex(right + 1), TotalColCount() - RealColIndex(right + 1));
        const int fixed = TBaseGrid::FixedCols();
        if (left > fixed && left < ColCount()) {
            const int first = RealColIndex(fixed);
            RemoveCols(first, RealColIndex(left) - first);
        }
    }
    ClearColSelect();
}

// ---------------------------------------------------------------------------
// Moving and swapping
// ---------------------------------------------------------------------------

void TExStringGrid::MoveRow(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= RowCount() || toIndex >= RowCount() || fromIndex == toIndex)
        return;
    TBaseGrid::MoveRow(fromIndex, toIndex);
    const int rf = RowDisplToReal(fromIndex), rt = RowDisplToReal(toIndex);
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        if (item->Y == rf)
            item->Y = rt;
        else if (rt < rf && item->Y >= rt && item->Y < rf)
            ++item->Y;
        else if (rt > rf && item->Y > rf && item->Y <= rt)
            --item->Y;
    }
    CellControlsUpdate();
}

void TExStringGrid::MoveRows(int fromIndex, int toIndex, int count)
{
    if (fromIndex == toIndex || count <= 0 || fromIndex < 0 || fromIndex >= RowCount() || toIndex < 0)
        return;
    count = std::min(count, RowCount() - fromIndex);
    if (fromIndex + count < toIndex)
        toIndex -= count;
    toIndex = std::min(toIndex, RowCount() - count);
    if (toIndex == fromIndex)
        return;
    // The block taken out and put back at toIndex of what is left turns the
    // rows between the two places: rows first..end-1, the row at middle first.
    const int first = std::min(fromIndex, toIndex);
    const int end = std::max(fromIndex, toIndex) + count;
    const int middle = toIndex > fromIndex ? fromIndex + count : fromIndex;
    BeginUpdate();
    ScopeExit endUpdate{[this] { EndUpdate(); }};
    // The real rows of the display rows stay a set; controls follow their rows.
    if (FControlList.Count() > 0) {
        const std::vector<int> realOf = RealRowsOf(first, end - first);
        auto moved = [&](int d) { return d < middle ? d + (end - middle) : d - (middle - first); };
        for (int i = 0; i < FControlList.Count(); ++i) {
            TControlItem* item = FControlList.GetControl(i);
            if (IsHiddenRow(item->Y))
                continue;
            const int d = RowRealToDispl(item->Y);
            if (d >= first && d < end)
                item->Y = realOf[static_cast<size_t>(moved(d) - first)];
            else if (d >= 0 && d < RowCount())
                item->Y = RowDisplToReal(d);
        }
    }
    RotateRowCells(first, middle, end);
    RotateRowHeights(first, middle, end);
    CellsChanged(Rect(0, first, ColCount() - 1, end - 1));
    if (FControlList.Count() > 0)
        CellControlsUpdate();
}

void TExStringGrid::SwapRows(int index1, int index2)
{
    if (index1 == index2 || index1 < 0 || index2 < 0 || index1 >= RowCount() || index2 >= RowCount())
        return;
    const int cols = TotalColCount();
    for (int c = 0; c < cols; ++c) {
        const QString t = GetGridCell(c, index1);
        TObject* o = GetGridObject(c, index1);
        SetGridCell(c, index1, GetGridCell(c, index2));
        SetGridObject(c, index1, GetGridObject(c, index2));
        SetGridCell(c, index2, t);
        SetGridObject(c, index2, o);
    }
    const int h1 = RowHeights(index1);
    SetRowHeights(index1, RowHeights(index2));
    SetRowHeights(index2, h1);
    const int r1 = RowDisplToReal(index1), r2 = RowDisplToReal(index2);
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        if (item->Y == r1)
            item->Y = r2;
        else if (item->Y == r2)
            item->Y = r1;
    }
    CellsChanged(Rect(0, std::min(index1, index2), ColCount() - 1, std::max(index1, index2)));
    if (FControlList.Count() > 0)
        CellControlsUpdate();
    Invalidate();
}

void TExStringGrid::SwapColumns(int index1, int index2)
{
    if (index1 == index2 || index1 < 0 || index2 < 0)
        return;
    const int total = TotalColCount();
    if (index1 >= total || index2 >= total)
        return;
    // The width of every real column (shown: its display width, hidden: the
    // width kept for it) goes with the column, as does its hidden flag.
    const int span = std::min(total, MaxHiddenColumns);
    std::vector<int> widths(static_cast<size_t>(span));
    for (int c = 0; c < span; ++c)
        widths[static_cast<size_t>(c)] =
            IsHiddenColumn(c) ? FAllColWidths[static_cast<size_t>(c)] : ColWidths(DisplColIndexOf(c));
    for (int r = 0; r < RowCount(); ++r) {
        const QString t = GetGridCell(index1, r);
        TObject* o = GetGridObject(index1, r);
        SetGridCell(index1, r, GetGridCell(index2, r));
        SetGridObject(index1, r, GetGridObject(index2, r));
        SetGridCell(index2, r, t);
        SetGridObject(index2, r, o);
    }
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TStringObjectList& cells = FGridItems.Items(i)->Items();
        while (cells.Count() <= std::max(index1, index2))
            cells.Add(QString());
        const QString t = cells.Strings(index1);
        TObject* o = cells.Objects(index1);
        cells.SetStrings(index1, cells.Strings(index2));
        cells.SetObjects(index1, cells.Objects(index2));
        cells.SetStrings(index2, t);
        cells.SetObjects(index2, o);
    }
    if (index1 < span && index2 < span) {
        std::swap(widths[static_cast<size_t>(index1)], widths[static_cast<size_t>(index2)]);
        std::swap(FVisibleCol[static_cast<size_t>(index1)], FVisibleCol[static_cast<size_t>(index2)]);
        RebuildHiddenColumnList();
        for (int c = 0; c < span; ++c) {
            if (IsHiddenColumn(c))
                FAllColWidths[static_cast<size_t>(c)] = widths[static_cast<size_t>(c)];
            else if (const int d = DisplColIndexOf(c); d < ColCount() && ColWidths(d) != widths[static_cast<size_t>(c)])
                SetColWidths(d, widths[static_cast<size_t>(c)]);
        }
    }
    const int sortCol = FSortSettings->Column();
    if (sortCol == index1)
        FSortSettings->SetColumn(index2);
    else if (sortCol == index2)
        FSortSettings->SetColumn(index1);
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        if (item->X == index1)
            item->X = index2;
        else if (item->X == index2)
            item->X = index1;
    }
    CellsChanged(Rect(std::min(index1, index2), 0, std::max(index1, index2), RowCount() - 1));
    if (FControlList.Count() > 0)
        CellControlsUpdate();
    Invalidate();
}

void TExStringGrid::SwapCells(const TGridCoord& fromCell, const TGridCoord& toCell)
{
    const int total = TotalColCount();
    auto inside = [&](const TGridCoord& c) { return c.X >= 0 && c.X < total && c.Y >= 0 && c.Y < RowCount(); };
    if (!inside(fromCell) || !inside(toCell) || fromCell == toCell)
        return;
    const QString t = GetGridCell(fromCell.X, fromCell.Y);
    TObject* o = GetGridObject(fromCell.X, fromCell.Y);
    SetGridCell(fromCell.X, fromCell.Y, GetGridCell(toCell.X, toCell.Y));
    SetGridObject(fromCell.X, fromCell.Y, GetGridObject(toCell.X, toCell.Y));
    SetGridCell(toCell.X, toCell.Y, t);
    SetGridObject(toCell.X, toCell.Y, o);
    Invalidate();
}

// ---------------------------------------------------------------------------
// Column order and lookup
// ---------------------------------------------------------------------------

int TExStringGrid::ColumnAtPosition(int aPosition)
{
    if (FColumnOrder.Count() == 0)
        SetColumnOrder();
    if (aPosition < 0 || aPosition >= FColumnOrder.Count())
        return aPosition;
    int c = FColumnOrder.GetInteger(aPosition);
    if (FGroupColumn != -1 && c >= FGroupColumn)
        ++c;
    return c;
}

int TExStringGrid::ColumnByHeader(const QString& aValue)
{
    if (RowCount() == 0)
        return -1;
    const int total = TotalColCount();
    for (int c = 0; c < total; ++c)
        if (GetCellsEx(c, 0) == aValue)
            return c;
    return -1;
}
