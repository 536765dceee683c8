// Hidden columns and rows with the index maps between real and display
// indices, and the row and column moves and clearing they are built on.
//
// The platform's cell store keeps the cells of columns at and beyond
// ColCount, so the cells of hidden columns stay under their real index and
// travel with their rows without widening the grid.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include <algorithm>

using namespace platform;
using exgrid_detail::ScopeExit;

// ---------------------------------------------------------------------------
// Column index maps
// ---------------------------------------------------------------------------

bool TExStringGrid::IsHiddenColumn(int colIndex) const
{
    if (colIndex < 0 || colIndex >= MaxHiddenColumns)
        return false;
    return !FVisibleCol[static_cast<size_t>(colIndex)];
}

int TExStringGrid::RealColIndex(int aCol) const
{
    if (aCol < 0 || aCol >= MaxHiddenColumns || FNumHidden == 0)
        return aCol;
    int r = aCol;
    for (int h : FHiddenCols) {
        if (h <= r)
            ++r;
        else
            break;
    }
    return r;
}

int TExStringGrid::DisplColIndexOf(int aCol) const
{
    if (aCol < 0 || aCol >= MaxHiddenColumns || FNumHidden == 0)
        return aCol;
    const int below = static_cast<int>(std::lower_bound(FHiddenCols.begin(), FHiddenCols.end(), aCol) -
                                       FHiddenCols.begin());
    return aCol - below;
}

int TExStringGrid::DisplColIndex(int aCol) { return DisplColIndexOf(aCol); }

void TExStringGrid::RebuildHiddenColumnList()
{
    FHiddenCols.clear();
    for (int c = 0; c < MaxHiddenColumns; ++c)
        if (!FVisibleCol[static_cast<size_t>(c)])
            FHiddenCols.push_back(c);
    FNumHidden = static_cast<int>(FHiddenCols.size());
}

// ---------------------------------------------------------------------------
// Hiding and showing columns
// ---------------------------------------------------------------------------

void TExStringGrid::HideColumns(int fromCol, int toCol)
{
    HideInplaceEdit();
    fromCol = std::max(0, fromCol);
    toCol = std::min(toCol, MaxHiddenColumns - 1);
    for (int c = fromCol; c <= toCol; ++c) {
        if (IsHiddenColumn(c) || c >= TotalColCount() || ColCount() <= 1)
            continue;
        const int d = DisplColIndexOf(c);
        if (d < 0 || d >= ColCount())
            continue;
        FAllColWidths[static_cast<size_t>(c)] = ColWidths(d);
        for (int i = d; i < ColCount() - 1; ++i)
            SetColWidths(i, ColWidths(i + 1));
        FVisibleCol[static_cast<size_t>(c)] = false;
        FHiddenCols.insert(std::lower_bound(FHiddenCols.begin(), FHiddenCols.end(), c), c);
        ++FNumHidden;
        // A current cell in the last column moves one to the left with the
        // count; the real columns stay as they are.
        SetVisibleColCount(ColCount() - 1);
    }
    Invalidate();
}

void TExStringGrid::UnHideColumns(int fromCol, int toCol)
{
    HideInplaceEdit();
    fromCol = std::max(0, fromCol);
    toCol = std::min(toCol, MaxHiddenColumns - 1);
    for (int c = fromCol; c <= toCol; ++c) {
        if (!IsHiddenColumn(c))
            continue;
        FVisibleCol[static_cast<size_t>(c)] = true;
        FHiddenCols.erase(std::lower_bound(FHiddenCols.begin(), FHiddenCols.end(), c));
        --FNumHidden;
        SetVisibleColCount(ColCount() + 1);
        const int d = DisplColIndexOf(c);
        if (d < 0 || d >= ColCount())
            continue;
        for (int i = ColCount() - 1; i > d; --i)
            SetColWidths(i, ColWidths(i - 1));
        SetColWidths(d, FAllColWidths[static_cast<size_t>(c)]);
    }
    Invalidate();
}

// ---------------------------------------------------------------------------
// Row index maps
// ---------------------------------------------------------------------------

int TExStringGrid::RowDisplToReal(int aRow) const
{
    // Negative rows are outside every map: they stay as they are.
    if (aRow < 0 || FGridItems.Count() == 0)
        return aRow;
    int r = aRow;
    int previous = -1;
    for (int idx : FGridItems.SortedIdx()) {
        if (idx == previous)
            continue;
        previous = idx;
        if (idx <= r)
            ++r;
        else
            break;
    }
    return r;
}

int TExStringGrid::RowRealToDispl(int aRow) const
{
    if (FGridItems.Count() == 0)
        return aRow;
    return aRow - FGridItems.CountBelow(aRow);
}

bool TExStringGrid::IsHiddenRow(int rowIndex) const
{
    const std::vector<int>& sorted = FGridItems.SortedIdx();
    return std::binary_search(sorted.begin(), sorted.end(), rowIndex);
}

bool TExStringGrid::IsHiddenRow(int rowIndex, std::unique_ptr<TIntList>& listHidden) const
{
    if (!listHidden) {
        listHidden = std::make_unique<TIntList>();
        for (int i = 0; i < FGridItems.Count(); ++i)
            listHidden->Add(FGridItems.Items(i)->Idx());
    }
    return listHidden->HasValue(rowIndex);
}

// ---------------------------------------------------------------------------
// Moving cells of whole rows
// ---------------------------------------------------------------------------

void TExStringGrid::RotateStoredRows(int fromRow, int toRow)
{
    if (fromRow == toRow)
        return;
    auto saved = std::move(OnRowMoved);
    OnRowMoved = nullptr;
    try {
        TObjStringGrid::RowMoved(fromRow, toRow);
    } catch (...) {
        OnRowMoved = std::move(saved);
        throw;
    }
    OnRowMoved = std::move(saved);
}

void TExStringGrid::RotateStoredColumns(int fromCol, int toCol)
{
    if (fromCol == toCol)
        return;
    auto saved = std::move(OnColumnMoved);
    OnColumnMoved = nullptr;
    try {
        TObjStringGrid::ColumnMoved(fromCol, toCol);
    } catch (...) {
        OnColumnMoved = std::move(saved);
        throw;
    }
    OnColumnMoved = std::move(saved);
}

void TExStringGrid::ShiftRowHeights(int fromRow, int shift)
{
    // Rows from fromRow + shift on take the height of the row shift above;
    // the rows opened get the default height.
    const int end = RowCount();
    if (fromRow + shift < end)
        RotateRowHeights(fromRow, end - shift, end);
    const int opened = std::min(fromRow + shift, end) - fromRow;
    if (opened > 0)
        AssignRowHeights(fromRow, std::vector<int>(static_cast<size_t>(opened), DefaultRowHeight()));
}

void TExStringGrid::StoreRowInItem(TGridItem& item, int row)
{
    TStringObjectList& cells = item.Items();
    cells.Clear();
    const int cols = TotalColCount();
    for (int c = 0; c < cols; ++c)
        cells.Add(GetGridCell(c, row), GetGridObject(c, row));
}

void TExStringGrid::CopyItemToRow(const TGridItem& item, int row, bool height)
{
    const TStringObjectList& cells = item.Items();
    const int stored = std::min(cells.Count(), MaxStoredCols);
    for (int c = 0; c < stored; ++c) {
        TObject* object = cells.Objects(c);
        SetGridCell(c, row, cells.Strings(c));
        SetGridObject(c, row, object);
        if (auto* props = dynamic_cast<TCellProperties*>(object)) {
            if (QWidget* control = props->Control())
                control->setVisible(true);
        }
    }
    // Columns added while the row was hidden are empty in it.
    for (int c = stored; c < TotalColCount(); ++c) {
        if (GetGridObject(c, row))
            FreeCellProps(c, row);
        if (!GetGridCell(c, row).isEmpty())
            SetGridCell(c, row, QString());
    }
    if (height && item.Height() > 0)
        SetRowHeights(row, item.Height());
}

namespace {

// The real rows of ascending display rows, in one pass over the sorted
// stored indices (an index stored twice counts once, as in the maps).
std::vector<int> RealOfAscending(const std::vector<int>& hidden, const std::vector<int>& displayRows)
{
    std::vector<int> real;
    real.reserve(displayRows.size());
    size_t j = 0;
    int below = 0;
    for (int d : displayRows) {
        if (d < 0) {
            real.push_back(d);
            continue;
        }
        while (j < hidden.size() && hidden[j] <= d + below) {
            if (j == 0 || hidden[j] != hidden[j - 1])
                ++below;
            ++j;
        }
        real.push_back(d + below);
    }
    return real;
}

} // namespace

std::vector<int> TExStringGrid::RealRowsOf(int rowIndex, int count) const
{
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(std::max(0, count)));
    for (int i = 0; i < count; ++i)
        rows.push_back(rowIndex + i);
    return RealOfAscending(FGridItems.SortedIdx(), rows);
}

void TExStringGrid::LowerStoredIndices(const std::vector<int>& removedReal)
{
    if (removedReal.empty())
        return;
    std::vector<int> removed = removedReal;
    std::sort(removed.begin(), removed.end());
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TGridItem* item = FGridItems.Items(i);
        const int below =
            static_cast<int>(std::lower_bound(removed.begin(), removed.end(), item->Idx()) - removed.begin());
        if (below > 0)
            item->SetIdx(item->Idx() - below);
    }
}

void TExStringGrid::EmptyRows(int fromRow, int toRow, bool objectsMoved)
{
    const int total = TotalColCount();
    const int cols = std::max(total, FMaxColCount);
    for (int r = std::max(0, fromRow); r <= toRow; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (GetGridObject(c, r)) {
                if (objectsMoved && c < total)
                    SetGridObject(c, r, nullptr);
                else
                    FreeCellProps(c, r);
            }
            if (!GetGridCell(c, r).isEmpty())
                SetGridCell(c, r, QString());
        }
    }
}

void TExStringGrid::MoveCurrentRowTo(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    if (Col() < 0 || Col() >= ColCount())
        MoveCurrentCell(TBaseGrid::FixedCols(), row);
    else if (row != Row())
        TBaseGrid::SetRow(row);
}

// ---------------------------------------------------------------------------
// Inserting and removing rows (the steps the model needs)
// ---------------------------------------------------------------------------

void TExStringGrid::InsertRowRange(int rowIndex, int rCount, bool updateCellControls)
{
    rCount = std::min(rCount, MaxStoredRows - TotalRowCount());
    if (rCount <= 0)
        return;
    rowIndex = std::clamp(rowIndex, 0, RowCount());
    const int lastWidth = ColWidths(ColCount() - 1);
    if (FSelHidden || Col() >= ColCount() || Row() >= RowCount())
        UnHideSelection();
    const int oldCount = RowCount();
    SetRowCount(oldCount + rCount);
    // The new (empty) rows at the end move up to rowIndex.
    const int last = FFloatingFooter->Visible() ? RowCount() - 2 : RowCount() - 1;
    if (rowIndex < oldCount)
        RotateRowCells(rowIndex, last + 1 - rCount, last + 1);
    for (int r = rowIndex; r < rowIndex + rCount; ++r) {
        for (int c = 0; c < TotalColCount(); ++c) {
            if (GetGridObject(c, r))
                SetGridObject(c, r, nullptr);
            if (!GetGridCell(c, r).isEmpty())
                SetGridCell(c, r, QString());
        }
    }
    ShiftRowHeights(rowIndex, rCount);
    if (ModifiedMarking() && rowIndex < FModifiedRows.Count())
        FModifiedRows.InsertRange(rowIndex, rCount, 0);
    if (FUseEnabledRows && rowIndex < FEnabledRows.Count())
        FEnabledRows.InsertRange(rowIndex, rCount, 0);
    SetColWidths(ColCount() - 1, lastWidth);
    if (updateCellControls && FControlList.Count() > 0) {
        const int realRow = RowDisplToReal(rowIndex);
        for (int i = 0; i < FControlList.Count(); ++i) {
            TControlItem* item = FControlList.GetControl(i);
            if (item->Y >= realRow)
                item->Y += rCount;
        }
        CellControlsUpdate();
    }
    if (!Destroying())
        CellsChanged(Rect(0, rowIndex, ColCount() - 1, rowIndex + rCount - 1));
}

void TExStringGrid::RemoveRowRange(int rowIndex, int count, bool adjustStore)
{
    if (rowIndex < 0 || rowIndex >= RowCount() || count <= 0)
        return;
    count = std::min(count, RowCount() - rowIndex);
    const int realFrom = RowDisplToReal(rowIndex);
    // Taken before the rows go: the real rows removed, for the store.
    const std::vector<int> removedReal =
        adjustStore && FGridItems.Count() > 0 ? RealRowsOf(rowIndex, count) : std::vector<int>();
    if (adjustStore) {
        for (int i = FControlList.Count() - 1; i >= 0; --i) {
            TControlItem* item = FControlList.GetControl(i);
            if (item->Y >= realFrom && item->Y < realFrom + count) {
                if (item->Control)
                    item->Control->setVisible(false);
                FControlList.RemoveControl(i);
            }
        }
    }
    // Switched off for the removal; back however it ends.
    const int footers = FFixedFooters;
    const bool disjunct = FMouseActions->DisjunctRowSelect();
    FFixedFooters = 0;
    FMouseActions->SetDisjunctRowSelectDirect(false);
    ScopeExit restore{[&] {
        FMouseActions->SetDisjunctRowSelectDirect(disjunct);
        FFixedFooters = footers;
    }};
    const int lastWidth = ColWidths(ColCount() - 1);
    {
        BeginUpdate();
        ScopeExit endUpdate{[this] { EndUpdate(); }};
        const int oldTop = TopRow();
        const int oldRow = Row();
        LowerStoredIndices(removedReal);
        DeleteRows(rowIndex, count);
        if (disjunct && !FMouseActions->RowSelectPersistent() && rowIndex < static_cast<int>(FRowSelect.size()))
            FRowSelect.erase(FRowSelect.begin() + rowIndex,
                             FRowSelect.begin() + std::min<int>(rowIndex + count, static_cast<int>(FRowSelect.size())));
        if (oldRow < RowCount()) {
            if (oldRow >= TBaseGrid::FixedRows())
                MoveCurrentRowTo(oldRow);
            TBaseGrid::SetTopRow(std::min(oldTop, RowCount() - 1));
        } else if (RowCount() > TBaseGrid::FixedRows()) {
            MoveCurrentRowTo(RowCount() - 1);
        } else {
            HideSelection();
        }
        FSelHidden = false;
        if (ColCount() > 0)
            SetColWidths(ColCount() - 1, lastWidth);
    }
    CellsChanged(Rect(0, rowIndex, ColCount() - 1, rowIndex + count - 1));
    if (TopRow() >= RowCount() - 1)
        TBaseGrid::SetTopRow(RowCount() - 1);
    CellControlsUpdate();
}

void TExStringGrid::RemoveRowsCore(int rowIndex, int rCount, bool hiding)
{
    if (rowIndex < 0 || rowIndex >= RowCount() || rCount <= 0)
        return;
    rCount = std::min(rCount, RowCount() - rowIndex);
    const std::vector<int> removedReal =
        !hiding && FGridItems.Count() > 0 ? RealRowsOf(rowIndex, rCount) : std::vector<int>();
    const int lastWidth = ColWidths(ColCount() - 1);
    const int oldRow = Row();
    const int oldTop = TopRow();
    {
        BeginUpdate();
        ScopeExit endUpdate{[this] { EndUpdate(); }};
        // The removed rows move to the end; the rows below move up, heights stay.
        RotateRowCells(rowIndex, rowIndex + rCount, RowCount());
        // Emptied there: the grid keeps at least one row, and a row it keeps
        // must not show a removed row. Hidden rows' objects live in the store.
        EmptyRows(RowCount() - rCount, RowCount() - 1, hiding);
        if (DisjunctRowMode()) {
            const int n =
                std::min<int>(rCount, std::max<int>(0, static_cast<int>(FRowSelect.size()) - rowIndex));
            if (n > 0)
                FRowSelect.erase(FRowSelect.begin() + rowIndex, FRowSelect.begin() + rowIndex + n);
        }
        SetRowCount(RowCount() - rCount);
        FMaxRowCount = std::max(0, FMaxRowCount - rCount);
        SetColWidths(ColCount() - 1, lastWidth);
        if (oldRow < RowCount()) {
            MoveCurrentRowTo(oldRow);
            TBaseGrid::SetTopRow(oldTop);
        } else if (RowCount() > TBaseGrid::FixedRows()) {
            MoveCurrentRowTo(TBaseGrid::FixedRows());
            TBaseGrid::SetTopRow(TBaseGrid::FixedRows());
        }
    }
    LowerStoredIndices(removedReal);
    CellsChanged(Rect(0, rowIndex, ColCount() - 1, rowIndex + rCount - 1));
}

void TExStringGrid::RemoveRowsEx(int rowIndex, int rCount) { RemoveRowsCore(rowIndex, rCount, false); }

void TExStringGrid::DropRows(int rowIndex, int rCount)
{
    if (rowIndex < 0 || rowIndex >= RowCount() || rCount <= 0)
        return;
    const int last = std::min(RowCount() - 1, rowIndex + rCount - 1);
    FreeCellPropsRect(0, rowIndex, TotalColCount() - 1, last);
    RemoveRowRange(rowIndex, rCount, true);
}

// ---------------------------------------------------------------------------
// Hiding and showing rows
// ---------------------------------------------------------------------------

// The shown real rows of fromRow..toRow that are one run of display rows from
// the display row of fromRow on: the run ends where the maps disagree (an
// index stored twice) or the grid ends. One pass over the range and the store.
std::vector<int> TExStringGrid::ShownRunFrom(int fromRow, int toRow, bool stopAtHidden) const
{
    const std::vector<int>& hidden = FGridItems.SortedIdx();
    const int d = RowRealToDispl(fromRow);
    std::vector<int> shown;
    auto h = std::lower_bound(hidden.begin(), hidden.end(), fromRow);
    for (int r = fromRow; r <= toRow && d + static_cast<int>(shown.size()) < RowCount(); ++r) {
        while (h != hidden.end() && *h < r)
            ++h;
        if (h != hidden.end() && *h == r) {
            if (stopAtHidden)
                break;
            continue;
        }
        shown.push_back(r);
    }
    if (d < 0)
        shown.clear();
    std::vector<int> display(shown.size());
    for (size_t i = 0; i < display.size(); ++i)
        display[i] = d + static_cast<int>(i);
    const std::vector<int> real = RealOfAscending(hidden, display);
    size_t k = 0;
    while (k < shown.size() && real[k] == shown[k])
        ++k;
    shown.resize(k);
    return shown;
}

void TExStringGrid::HideRows(int fromRow, int toRow)
{
    fromRow = std::max(0, fromRow);
    toRow = std::min(toRow, TotalRowCount() - 1);
    if (fromRow > toRow)
        return;
    // The shown rows of the range are one run of display rows from d on.
    // Every row stored must leave the grid, so only rows really there are.
    const int d = RowRealToDispl(fromRow);
    const std::vector<int> rows = ShownRunFrom(fromRow, toRow, false);
    if (rows.empty())
        return;
    const int k = static_cast<int>(rows.size());
    // Each row goes in before the first stored row with a higher index, in
    // store order (rows hidden by a list are appended, so the store need not
    // be sorted); the places only move on as the rows ascend.
    std::vector<int> positions;
    std::vector<std::unique_ptr<TGridItem>> items;
    positions.reserve(rows.size());
    items.reserve(rows.size());
    int pos = 0;
    for (int i = 0; i < k; ++i) {
        const int r = rows[static_cast<size_t>(i)];
        const int row = d + i;
        while (pos < FGridItems.Count() && FGridItems.Items(pos)->Idx() <= r)
            ++pos;
        auto item = std::make_unique<TGridItem>(&FGridItems);
        StoreRowInItem(*item, row);
        item->SetIdx(r);
        item->SetHeight(RowHeights(row));
        for (int c = 0; c < item->Items().Count(); ++c) {
            if (auto* props = dynamic_cast<TCellProperties*>(item->Items().Objects(c)))
                if (QWidget* control = props->Control())
                    control->setVisible(false);
        }
        positions.push_back(pos);
        items.push_back(std::move(item));
    }
    FGridItems.InsertAt(positions, std::move(items));
    // The objects belong to the store from here on, whatever the removal does.
    EmptyObjectsOf(d, d + k - 1);
    RemoveRowRange(d, k, false);
    CellControlsUpdate();
}

void TExStringGrid::HideRowsEx(int fromRow, int toRow)
{
    fromRow = std::max(0, fromRow);
    toRow = std::min(toRow, TotalRowCount() - 1);
    if (fromRow > toRow || IsHiddenRow(fromRow))
        return;
    const int d = RowRealToDispl(fromRow);
    // Only the run of shown rows from fromRow on is stored: rows hidden
    // already keep their own entry.
    const int count = static_cast<int>(ShownRunFrom(fromRow, toRow, true).size());
    if (count == 0)
        return;
    for (int i = 0; i < count; ++i) {
        TGridItem* item = FGridItems.Add();
        StoreRowInItem(*item, d + i);
        item->SetIdx(fromRow + i);
    }
    EmptyObjectsOf(d, d + count - 1);
    RemoveRowsCore(d, count, true);
    CellControlsUpdate();
}

void TExStringGrid::EmptyObjectsOf(int fromRow, int toRow)
{
    const int total = TotalColCount();
    for (int r = fromRow; r <= toRow; ++r)
        for (int c = 0; c < total; ++c)
            if (GetGridObject(c, r))
                SetGridObject(c, r, nullptr);
}

void TExStringGrid::HideRowList(const TIntList& rowList)
{
    // The floating footer's row stays last: it is neither hidden nor moved
    // here, the count setter carries it.
    const int body = RowCount() - (FFloatingFooter->Visible() ? 1 : 0);
    std::vector<int> rows;
    for (int v : rowList.Items())
        if (v >= 0 && v < body)
            rows.push_back(v);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<int> heights(static_cast<size_t>(RowCount()));
    for (int r = 0; r < RowCount(); ++r)
        heights[static_cast<size_t>(r)] = RowHeights(r);
    // Stored by real index like every other hidden row, so that both maps
    // and the rows hidden otherwise keep agreeing with the list's rows.
    const std::vector<int> real = RealOfAscending(FGridItems.SortedIdx(), rows);
    for (size_t k = 0; k < rows.size(); ++k) {
        const int r = rows[k];
        TGridItem* item = FGridItems.Add();
        StoreRowInItem(*item, r);
        item->SetIdx(real[k]);
        item->SetHeight(heights[static_cast<size_t>(r)]);
        item->SetLevel(FFilterLevel);
        item->FFromList = true;
    }
    ++FFilterLevel;
    // The rows kept move up in their order, whole; the listed rows go to the end.
    size_t next = 0;
    std::vector<int> from;
    std::vector<int> kept;
    from.reserve(static_cast<size_t>(std::max(0, body)));
    kept.reserve(from.capacity());
    for (int r = 0; r < body; ++r) {
        if (next < rows.size() && rows[next] == r) {
            ++next;
            continue;
        }
        from.push_back(r);
        kept.push_back(heights[static_cast<size_t>(r)]);
    }
    const int w = static_cast<int>(from.size());
    from.insert(from.end(), rows.begin(), rows.end());
    ArrangeRowCells(0, from);
    AssignRowHeights(0, kept);
    // The rows left at the end hold references now kept elsewhere, and the
    // one row a grid always keeps must not show a hidden row.
    EmptyRows(w, body - 1, true);
    SetRowCount(RowCount() - static_cast<int>(rows.size()));
    CellControlsUpdate();
}

void TExStringGrid::RestoreHiddenItems(std::vector<TGridItem*> items)
{
    std::stable_sort(items.begin(), items.end(), [](const TGridItem* a, const TGridItem* b) { return a->Idx() < b->Idx(); });
    const bool marking = ModifiedMarking();
    SetModifiedMarking(false);
    ScopeExit restore{[this, marking] { SetModifiedMarking(marking); }};
    // Each run of consecutive indices comes back as one insertion of empty
    // rows at the display place of its first index among the rows still
    // stored. The places are worked out first, as the insertions one after
    // the other would find them.
    struct Run
    {
        size_t from;
        int at, took;
    };
    std::vector<Run> runs;
    std::vector<TGridItem*> taken;
    int rows = RowCount();
    const int stored = FGridItems.Count();
    bool inOrder = !FFloatingFooter->Visible();
    for (size_t i = 0; i < items.size();) {
        size_t j = i + 1;
        while (j < items.size() && items[j]->Idx() == items[j - 1]->Idx() + 1)
            ++j;
        const int first = items[i]->Idx();
        const int takenBelow = static_cast<int>(
            std::lower_bound(taken.begin(), taken.end(), first,
                             [](const TGridItem* t, int v) { return t->Idx() < v; }) -
            taken.begin());
        const int below = FGridItems.CountBelow(first) - takenBelow;
        const int at = std::clamp(first - below, 0, rows);
        // A row the grid could not take stays stored.
        const int took = std::clamp(MaxStoredRows - (rows + stored), 0, static_cast<int>(j - i));
        if (took > 0) {
            if (!runs.empty() && at < runs.back().at + runs.back().took)
                inOrder = false;
            runs.push_back({i, at, took});
            taken.insert(taken.end(), items.begin() + static_cast<std::ptrdiff_t>(i),
                         items.begin() + static_cast<std::ptrdiff_t>(i) + took);
            rows += took;
        }
        i = j;
    }
    if (!inOrder) {
        // A later run lands among the rows of an earlier one (an index
        // stored twice), or the floating footer's row moves with every
        // count: one insertion after the other.
        for (const Run& run : runs) {
            InsertRowRange(run.at, run.took, false);
            for (int k = 0; k < run.took; ++k)
                CopyItemToRow(*items[run.from + static_cast<size_t>(k)], run.at + k);
        }
    } else if (!runs.empty()) {
        // Every run lands after the one before: the rows are spread out in
        // one pass, the shown rows keeping their order.
        if (FSelHidden || Col() >= ColCount() || Row() >= RowCount())
            UnHideSelection();
        const int lastWidth = ColWidths(ColCount() - 1);
        const int oldCount = RowCount();
        SetRowCount(rows);
        const int start = runs.front().at;
        std::vector<int> from(static_cast<size_t>(rows - start));
        std::vector<int> heights(from.size());
        int shown = start, fresh = oldCount;
        size_t r = 0;
        for (int t = start; t < rows; ++t) {
            const size_t i = static_cast<size_t>(t - start);
            if (r < runs.size() && t >= runs[r].at) {
                const TGridItem& item = *items[runs[r].from + static_cast<size_t>(t - runs[r].at)];
                from[i] = fresh++;
                heights[i] = item.Height() > 0 ? item.Height() : DefaultRowHeight();
                if (t + 1 == runs[r].at + runs[r].took)
                    ++r;
            } else {
                from[i] = shown;
                heights[i] = RowHeights(shown);
                ++shown;
            }
        }
        ArrangeRowCells(start, from);
        const int total = TotalColCount();
        for (const Run& run : runs) {
            for (int t = run.at; t < run.at + run.took; ++t) {
                for (int c = 0; c < total; ++c) {
                    if (GetGridObject(c, t))
                        SetGridObject(c, t, nullptr);
                    if (!GetGridCell(c, t).isEmpty())
                        SetGridCell(c, t, QString());
                }
            }
        }
        AssignRowHeights(start, heights);
        if (FUseEnabledRows)
            for (const Run& run : runs)
                if (run.at < FEnabledRows.Count())
                    FEnabledRows.InsertRange(run.at, run.took, 0);
        SetColWidths(ColCount() - 1, lastWidth);
        for (const Run& run : runs) {
            if (!Destroying())
                CellsChanged(Rect(0, run.at, ColCount() - 1, run.at + run.took - 1));
            for (int k = 0; k < run.took; ++k)
                CopyItemToRow(*items[run.from + static_cast<size_t>(k)], run.at + k, false);
        }
    }
    FGridItems.Delete(taken);
    CellControlsUpdate();
}

void TExStringGrid::UnHideRow(int rowIndex)
{
    for (int i = 0; i < FGridItems.Count(); ++i) {
        if (FGridItems.Items(i)->Idx() == rowIndex) {
            RestoreHiddenItems({FGridItems.Items(i)});
            for (int k = 0; k < FControlList.Count(); ++k) {
                TControlItem* c = FControlList.GetControl(k);
                if (c->Y == rowIndex && c->Control)
                    c->Control->setVisible(true);
            }
            return;
        }
    }
}

void TExStringGrid::UnHideRows(int fromRow, int toRow)
{
    if (!IsHiddenRow(fromRow))
        return;
    std::vector<TGridItem*> items;
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TGridItem* item = FGridItems.Items(i);
        if (item->Idx() >= fromRow && item->Idx() <= toRow)
            items.push_back(item);
    }
    RestoreHiddenItems(std::move(items));
}

void TExStringGrid::UnHideRowsAll()
{
    std::vector<TGridItem*> items;
    for (int i = 0; i < FGridItems.Count(); ++i)
        items.push_back(FGridItems.Items(i));
    RestoreHiddenItems(std::move(items));
}

void TExStringGrid::UnHideRowList()
{
    const int level = FFilterLevel - 1;
    std::vector<TGridItem*> items;
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TGridItem* item = FGridItems.Items(i);
        if (item->FFromList && item->Level() == level)
            items.push_back(item);
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const TGridItem* a, const TGridItem* b) { return a->Idx() < b->Idx(); });
    if (Row() > RowCount() - 1)
        SetSelection(TGridRect{TBaseGrid::FixedCols(), TBaseGrid::FixedRows(), TBaseGrid::FixedCols(),
                               TBaseGrid::FixedRows()});
    int n = static_cast<int>(items.size());
    if (n > 0) {
        // The floating footer's row stays last; the count setter moves it.
        const int footer = FFloatingFooter->Visible() ? 1 : 0;
        const int oldBody = RowCount() - footer;
        SetRowCount(RowCount() + n);
        const int body = RowCount() - footer;
        n = std::min(n, body - oldBody);
        items.resize(static_cast<size_t>(std::max(0, n)));
        // Each stored row goes back to the display row of its real index
        // among the rows that stay hidden, in order and inside the grid (a
        // lowered row count leaves higher indices behind); the shown rows
        // fill the places between.
        std::vector<int> own(items.size());
        for (size_t k = 0; k < items.size(); ++k)
            own[k] = items[k]->Idx();
        std::vector<int> target(items.size());
        int previous = -1;
        for (int k = 0; k < n; ++k) {
            const int idx = own[static_cast<size_t>(k)];
            const int ownBelow = static_cast<int>(std::lower_bound(own.begin(), own.end(), idx) - own.begin());
            const int displ = idx - (FGridItems.CountBelow(idx) - ownBelow);
            previous = std::clamp(displ, previous + 1, body - (n - k));
            target[static_cast<size_t>(k)] = previous;
        }
        // From the bottom: every shown row moves down or stays. The heights
        // go in at the end, in one step.
        std::vector<int> heights(static_cast<size_t>(std::max(0, body)));
        for (int t = 0; t < body; ++t)
            heights[static_cast<size_t>(t)] = RowHeights(t);
        // The shown rows move whole; the places of the stored rows take the
        // rows opened at the end of the body.
        std::vector<int> from(heights.size());
        int s = oldBody - 1;
        int spare = body - 1;
        int k = n - 1;
        for (int t = body - 1; t >= 0; --t) {
            if (k >= 0 && target[static_cast<size_t>(k)] == t) {
                from[static_cast<size_t>(t)] = spare--;
                if (const int h = items[static_cast<size_t>(k)]->Height(); h > 0)
                    heights[static_cast<size_t>(t)] = h;
                --k;
            } else {
                from[static_cast<size_t>(t)] = s;
                heights[static_cast<size_t>(t)] = heights[static_cast<size_t>(s)];
                --s;
            }
        }
        ArrangeRowCells(0, from);
        for (int i = 0; i < n; ++i)
            CopyItemToRow(*items[static_cast<size_t>(i)], target[static_cast<size_t>(i)], false);
        AssignRowHeights(0, heights);
    }
    FGridItems.Delete(items);
    CellControlsUpdate();
}

void TExStringGrid::HideSelectedRows()
{
    BeginUpdate();
    ScopeExit endUpdate{[this] { EndUpdate(); }};
    for (int r = RowCount() - 1; r >= TBaseGrid::FixedRows(); --r) {
        if (GetRowSelect(FMouseActions->RowSelectPersistent() ? RowDisplToReal(r) : r))
            HideRows(RowDisplToReal(r), RowDisplToReal(r));
    }
}

void TExStringGrid::HideUnSelectedRows()
{
    BeginUpdate();
    ScopeExit endUpdate{[this] { EndUpdate(); }};
    int r = TBaseGrid::FixedRows();
    while (r < RowCount()) {
        const bool selected = GetRowSelect(FMouseActions->RowSelectPersistent() ? RowDisplToReal(r) : r);
        if (selected) {
            ++r;
            continue;
        }
        const int before = RowCount();
        HideRows(RowDisplToReal(r), RowDisplToReal(r));
        if (RowCount() == before)
            ++r; // nothing could be hidden (the last row): go on
    }
}

// ---------------------------------------------------------------------------
// Columns: inserting, removing, moving, order
// ---------------------------------------------------------------------------

void TExStringGrid::InsertCols(int colIndex, int cCount)
{
    if (cCount <= 0)
        return;
    colIndex = std::clamp(colIndex, 0, TotalColCount());
    cCount = std::min(cCount, MaxStoredCols - TotalColCount());
    if (cCount <= 0)
        return;
    SetVisibleColCount(ColCount() + cCount);
    const int newTotal = TotalColCount();
    // The new columns at the end move to colIndex.
    for (int i = 0; i < cCount; ++i)
        RotateStoredColumns(newTotal - 1, colIndex);
    // Inserted columns are empty, also where a column cut earlier left cells.
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = colIndex; c < colIndex + cCount; ++c) {
            if (GetGridObject(c, r))
                FreeCellProps(c, r);
            if (!GetGridCell(c, r).isEmpty())
                SetGridCell(c, r, QString());
        }
    }
    // Hidden rows keep their cells under the same columns as the shown ones.
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TStringObjectList& cells = FGridItems.Items(i)->Items();
        if (colIndex < cells.Count())
            for (int k = 0; k < cCount; ++k)
                cells.Insert(colIndex, QString());
    }
    for (int c = std::min(newTotal, MaxHiddenColumns) - 1; c >= colIndex + cCount; --c) {
        FVisibleCol[static_cast<size_t>(c)] = FVisibleCol[static_cast<size_t>(c - cCount)];
        FAllColWidths[static_cast<size_t>(c)] = FAllColWidths[static_cast<size_t>(c - cCount)];
    }
    for (int c = colIndex; c < colIndex + cCount && c < MaxHiddenColumns; ++c)
        FVisibleCol[static_cast<size_t>(c)] = true;
    // A hidden column shifted past the end of the table counts as shown.
    const int hiddenBefore = FNumHidden;
    RebuildHiddenColumnList();
    if (FNumHidden != hiddenBefore)
        SetVisibleColCount(newTotal - FNumHidden);
    const int d = DisplColIndexOf(colIndex);
    for (int i = ColCount() - 1; i >= d + cCount; --i)
        SetColWidths(i, ColWidths(i - cCount));
    for (int i = d; i < d + cCount && i < ColCount(); ++i)
        SetColWidths(i, DefaultColWidth());
    Invalidate();
}

void TExStringGrid::RemoveCols(int colIndex, int cCount)
{
    if (colIndex < 0 || colIndex >= TotalColCount())
        return;
    cCount = std::min(cCount, TotalColCount() - colIndex);
    if (cCount <= 0)
        return;
    ClearCellsCore(colIndex, 0, colIndex + cCount - 1, RowCount() - 1, false);
    // Hidden rows lose the same columns.
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TStringObjectList& cells = FGridItems.Items(i)->Items();
        for (int k = 0; k < cCount && colIndex < cells.Count(); ++k) {
            TObject* object = cells.Objects(colIndex);
            cells.Delete(colIndex);
            FreeStoredObject(object);
        }
    }
    // Widths of the removed shown columns go; those right of them move left.
    for (int c = colIndex + cCount - 1; c >= colIndex; --c) {
        if (IsHiddenColumn(c))
            continue;
        const int d = DisplColIndexOf(c);
        for (int i = d; i < ColCount() - 1; ++i)
            SetColWidths(i, ColWidths(i + 1));
    }
    const int total = TotalColCount();
    for (int i = 0; i < cCount; ++i)
        RotateStoredColumns(colIndex, total - 1);
    for (int c = colIndex; c < MaxHiddenColumns; ++c) {
        const int from = c + cCount;
        FVisibleCol[static_cast<size_t>(c)] = from < MaxHiddenColumns ? FVisibleCol[static_cast<size_t>(from)] : true;
        FAllColWidths[static_cast<size_t>(c)] = from < MaxHiddenColumns ? FAllColWidths[static_cast<size_t>(from)] : 0;
    }
    RebuildHiddenColumnList();
    // A removed hidden column is no longer counted as hidden.
    const int left = total - cCount;
    if (left > 0 && left - FNumHidden < 1 && !FHiddenCols.empty() && FHiddenCols.front() < left) {
        // Only hidden columns are left, but the grid always shows one: the
        // first of them is shown again, or a column that does not exist
        // would be counted.
        const int c = FHiddenCols.front();
        FVisibleCol[static_cast<size_t>(c)] = true;
        RebuildHiddenColumnList();
        SetVisibleColCount(left - FNumHidden);
        SetColWidths(DisplColIndexOf(c), FAllColWidths[static_cast<size_t>(c)]);
    } else {
        SetVisibleColCount(left - FNumHidden);
    }
    CellsChanged(Rect(colIndex, 0, colIndex + cCount - 1, RowCount() - 1));
}

void TExStringGrid::MoveColumn(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= ColCount() || toIndex >= ColCount() || fromIndex == toIndex)
        return;
    if (FColumnOrder.Count() == 0)
        SetColumnOrder();
    TBaseGrid::MoveColumn(fromIndex, toIndex);
    for (int i = 0; i < FControlList.Count(); ++i) {
        TControlItem* item = FControlList.GetControl(i);
        if (item->X == fromIndex)
            item->X = toIndex;
        else if (toIndex < fromIndex && item->X >= toIndex && item->X < fromIndex)
            ++item->X;
        else if (toIndex > fromIndex && item->X > fromIndex && item->X <= toIndex)
            --item->X;
    }
    CellControlsUpdate();
}

namespace {

// Where an index between the two ends of a move goes: the moved one to the
// target, those between one step towards the place it left.
int FollowMove(int v, int from, int to)
{
    if (v == from)
        return to;
    if (from < to && v > from && v <= to)
        return v - 1;
    if (to < from && v >= to && v < from)
        return v + 1;
    return v;
}

template <class Get, class Set>
void RotateSizes(int from, int to, Get get, Set set)
{
    const int kept = get(from);
    if (from < to)
        for (int i = from; i < to; ++i)
            set(i, get(i + 1));
    else
        for (int i = from; i > to; --i)
            set(i, get(i - 1));
    set(to, kept);
}

} // namespace

void TExStringGrid::ColumnMoved(int fromIndex, int toIndex)
{
    const int rf = RealColIndex(fromIndex);
    const int rt = RealColIndex(toIndex);
    if (rf < FColumnOrder.Count() && rt < FColumnOrder.Count()) {
        const int entry = FColumnOrder.GetInteger(rf);
        FColumnOrder.Delete(rf);
        FColumnOrder.Insert(rt, entry);
    }
    // The hidden flags and stored widths belong to the real columns whose
    // cells move below, with or without the enhanced move; otherwise unhiding
    // would show another column than the one hidden.
    const int lo = std::min(rf, rt), hi = std::max(rf, rt);
    if (hi < MaxHiddenColumns) {
        auto vb = FVisibleCol.begin();
        auto wb = FAllColWidths.begin();
        if (rf < rt) {
            std::rotate(vb + lo, vb + lo + 1, vb + hi + 1);
            std::rotate(wb + lo, wb + lo + 1, wb + hi + 1);
        } else {
            std::rotate(vb + lo, vb + hi, vb + hi + 1);
            std::rotate(wb + lo, wb + hi, wb + hi + 1);
        }
        RebuildHiddenColumnList();
    }
    if (FEnhRowColMove) {
        // No stretching between the single steps of the rotation.
        const bool stretch = ColchgFlg;
        ColchgFlg = false;
        try {
            RotateSizes(fromIndex, toIndex, [this](int i) { return ColWidths(i); },
                        [this](int i, int w) { SetColWidths(i, w); });
        } catch (...) {
            ColchgFlg = stretch;
            throw;
        }
        ColchgFlg = stretch;
        if (stretch)
            StretchWanted();
        FColMoved = true;
    }
    // The cells of every row move, and the moved event is raised.
    TObjStringGrid::ColumnMoved(rf, rt);
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TStringObjectList& cells = FGridItems.Items(i)->Items();
        while (cells.Count() <= hi)
            cells.Add(QString());
        const QString text = cells.Strings(rf);
        TObject* object = cells.Objects(rf);
        const int step = rf < rt ? 1 : -1;
        for (int c = rf; c != rt; c += step) {
            cells.SetStrings(c, cells.Strings(c + step));
            cells.SetObjects(c, cells.Objects(c + step));
        }
        cells.SetStrings(rt, text);
        cells.SetObjects(rt, object);
    }
    if (FSortSettings->Column() >= 0)
        FSortSettings->SetColumn(FollowMove(FSortSettings->Column(), rf, rt));
    if (FSortSettings->IndexShow())
        for (int i = 0; i < FSortIndexes.Count(); ++i)
            FSortIndexes.SetSortColumns(i, FollowMove(FSortIndexes.GetSortColumns(i), rf, rt));
    const int current = FollowMove(Col(), fromIndex, toIndex);
    if (current != Col() && current >= 0 && current < ColCount()) {
        const int row = Row();
        TBaseGrid::SetSelection(TGridRect{current, row, current, row});
    }
    UpdateFooter();
    auto* other = dynamic_cast<TExStringGrid*>(FSyncGrid->Grid());
    if (other && other != this && FSyncGrid->MoveColumn() && !FSyncedMove && fromIndex < other->ColCount() &&
        toIndex < other->ColCount()) {
        other->FSyncedMove = true;
        try {
            other->MoveColumn(fromIndex, toIndex);
        } catch (...) {
            other->FSyncedMove = false;
            throw;
        }
        other->FSyncedMove = false;
    }
}

void TExStringGrid::RowMoved(int fromIndex, int toIndex)
{
    // The last row under a fixed floating footer stays where it is.
    if (FloatingFooterFixedLastRow() && toIndex == RowCount() - 1)
        return;
    RotateStoredRows(fromIndex, toIndex);
    if (FEnhRowColMove) {
        RotateSizes(fromIndex, toIndex, [this](int i) { return RowHeights(i); },
                    [this](int i, int h) { SetRowHeights(i, h); });
        FRowMoved = true;
    }
    if (OnRowMoved)
        OnRowMoved(this, fromIndex, toIndex);
    auto* other = dynamic_cast<TExStringGrid*>(FSyncGrid->Grid());
    if (other && other != this && FSyncGrid->MoveRow() && !FSyncedMove && fromIndex < other->RowCount() &&
        toIndex < other->RowCount()) {
        other->FSyncedMove = true;
        try {
            other->TBaseGrid::MoveRow(fromIndex, toIndex);
        } catch (...) {
            other->FSyncedMove = false;
            throw;
        }
        other->FSyncedMove = false;
    }
}

bool TExStringGrid::FloatingFooterFixedLastRow() const
{
    return FFloatingFooter->Visible() && FFloatingFooter->FooterStyle() == fsFixedLastRow;
}

void TExStringGrid::SetColumnOrder()
{
    FColumnOrder.Clear();
    for (int c = 0; c < ColCount(); ++c)
        FColumnOrder.Add(c);
}

void TExStringGrid::ResetColumnOrder()
{
    UnHideColumnsAll();
    const int n = ColCount();
    std::vector<int> check = FColumnOrder.Items();
    std::sort(check.begin(), check.end());
    bool permutation = static_cast<int>(check.size()) == n;
    for (int i = 0; permutation && i < n; ++i)
        permutation = check[static_cast<size_t>(i)] == i;
    if (!permutation) {
        // An empty (or stale) order list just records the order as it is.
        SetColumnOrder();
        return;
    }
    for (int pass = 0; pass <= n; ++pass) {
        bool moved = false;
        for (int i = 0; i < n; ++i) {
            const int target = FColumnOrder.GetInteger(i);
            if (target < i) {
                MoveColumn(i, target);
                moved = true;
            }
        }
        if (!moved)
            break;
    }
}

int TExStringGrid::ColumnPosition(int aCol) const
{
    if (FColumnOrder.Count() == 0)
        return aCol;
    int p = FColumnOrder.IndexOf(aCol);
    if (p < 0)
        p = aCol;
    if (FGroupColumn != -1 && aCol >= FGroupColumn)
        --p;
    return p;
}

// ---------------------------------------------------------------------------
// Clearing
// ---------------------------------------------------------------------------

void TExStringGrid::ClearRect(int aCol1, int aRow1, int aCol2, int aRow2)
{
    ClearCellsCore(aCol1, aRow1, aCol2, aRow2, FSaveHiddenCells);
}

// displayCols: the columns are display columns, each mapped to its real one;
// otherwise they are real. One index space per call.
void TExStringGrid::ClearCellsCore(int aCol1, int aRow1, int aCol2, int aRow2, bool displayCols)
{
    // The cell store keeps texts written outside the counts: the rectangle
    // clears them too, as far as anything was ever written.
    const TPoint written = WrittenExtent();
    const int realCols = std::min(std::max({TotalColCount(), FMaxColCount, written.X}), MaxStoredCols);
    aCol1 = std::max(0, aCol1);
    aRow1 = std::max(0, aRow1);
    aCol2 = std::min(aCol2, displayCols ? realCols - FNumHidden - 1 : realCols - 1);
    aRow2 = std::min(aRow2, std::min(std::max({RowCount(), FMaxRowCount, written.Y}), MaxStoredRows) - 1);
    for (int row = aRow1; row <= aRow2; ++row) {
        for (int c = aCol1; c <= aCol2; ++c) {
            const int a = displayCols ? RealColIndex(c) : c;
            if (!FClearTextOnly && GetGridObject(a, row)) {
                if (FNilObjects)
                    SetGridObject(a, row, nullptr);
                else
                    FreeCellProps(a, row);
            }
            if (!Destroying() && !GetGridCell(a, row).isEmpty()) {
                SetGridCell(a, row, QString());
                if (FNumHidden > 0 && !IsHiddenColumn(a))
                    TBaseGrid::RepaintCell(DisplColIndexOf(a), row);
            }
        }
    }
    if (FHasCellProps && !AnyCellProps())
        FHasCellProps = false;
    // Reported in real columns, as the cells are addressed, and only the
    // part inside the grid: the cells beyond it are no cells of the grid.
    aCol2 = std::min(aCol2, displayCols ? ColCount() - 1 : TotalColCount() - 1);
    aRow2 = std::min(aRow2, RowCount() - 1);
    if (!Destroying() && !FBlockCellChange && aCol1 <= aCol2 && aRow1 <= aRow2) {
        if (displayCols)
            CellsChanged(Rect(RealColIndex(aCol1), aRow1, RealColIndex(aCol2), aRow2));
        else
            CellsChanged(Rect(aCol1, aRow1, aCol2, aRow2));
    }
}

void TExStringGrid::ClearRows(int rowIndex, int rCount)
{
    if (RowCount() <= 0 || ColCount() <= 0 || rCount <= 0)
        return;
    // Whole rows: every real column, hidden ones too.
    ClearCellsCore(0, rowIndex, TotalColCount() - 1, rowIndex + rCount - 1, false);
}

void TExStringGrid::ClearCols(int colIndex, int cCount)
{
    if (RowCount() <= 0 || ColCount() <= 0 || cCount <= 0)
        return;
    ClearRect(colIndex, 0, colIndex + cCount - 1, RowCount() - 1);
}
