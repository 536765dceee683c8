// Range operations over the cell store: clearing, trimming, colouring,
// merging runs and splitting, joining columns, numbering, finding a cell,
// and the ranges the exporters read. Columns are real unless
// SaveHiddenCells asks for display columns (as ClearRect does).
#include "grid/ExGrid.h"
#include "grid/ExGrid_Private.h"

#include <algorithm>

using namespace platform;

namespace {

bool IsBlankOrControl(QChar ch) { return ch.unicode() <= 32; }

QString TrimBlanks(const QString& s)
{
    int from = 0, to = static_cast<int>(s.size());
    while (from < to && IsBlankOrControl(s[from]))
        ++from;
    while (to > from && IsBlankOrControl(s[to - 1]))
        --to;
    return s.mid(from, to - from);
}

} // namespace

// ---------------------------------------------------------------------------
// Clearing
// ---------------------------------------------------------------------------

void TExStringGrid::ClearNormalRows(int rowIndex, int rCount)
{
    if (RowCount() <= 0 || ColCount() <= 0 || rCount <= 0)
        return;
    const int last = FSaveHiddenCells ? ColCount() - FFixedRightCols - 1
                                      : RealColIndex(ColCount() - FFixedRightCols - 1);
    ClearRect(TBaseGrid::FixedCols(), rowIndex, last, rowIndex + rCount - 1);
}

void TExStringGrid::ClearNormalCols(int colIndex, int cCount)
{
    if (RowCount() <= 0 || ColCount() <= 0 || cCount <= 0)
        return;
    ClearRect(colIndex, TBaseGrid::FixedRows(), colIndex + cCount - 1, RowCount() - FFixedFooters - 1);
}

void TExStringGrid::ClearNormalCells()
{
    if (RowCount() <= 0 || ColCount() <= 0)
        return;
    // The last normal column in the space ClearRect reads; hidden columns
    // between the normal ones are cleared with them.
    const int first = FSaveHiddenCells ? TBaseGrid::FixedCols() : RealColIndex(TBaseGrid::FixedCols());
    const int last = FSaveHiddenCells ? ColCount() - FFixedRightCols - 1
                                      : RealColIndex(ColCount() - FFixedRightCols - 1);
    ClearRect(first, TBaseGrid::FixedRows(), last, RowCount() - FFixedFooters - 1);
}

void TExStringGrid::Clear()
{
    if (RowCount() > 0 && ColCount() > 0)
        ClearCellsCore(0, 0, TotalColCount() - 1, RowCount() - 1, false);
    SearchInc.clear();
    if (FNumHidden > 0)
        Invalidate();
}

void TExStringGrid::ClearAll()
{
    Clear();
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TStringObjectList& cells = FGridItems.Items(i)->Items();
        for (int c = 0; c < cells.Count(); ++c) {
            TObject* object = cells.Objects(c);
            cells.SetObjects(c, nullptr);
            FreeStoredObject(object);
        }
        cells.Clear();
    }
}

void TExStringGrid::ClearSelection()
{
    if (DisjunctRowMode()) {
        const bool persistent = FMouseActions->RowSelectPersistent();
        for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
            if (GetRowSelect(persistent ? RowDisplToReal(r) : r))
                ClearRows(r, 1);
        return;
    }
    if (FMouseActions->DisjunctColSelect()) {
        for (int c = TBaseGrid::FixedCols(); c < ColCount(); ++c)
            if (GetColSelect(c))
                ClearCellsCore(c, 0, c, RowCount() - 1, true);
        return;
    }
    // The selection is in display columns.
    const TGridRect s = Selection();
    ClearCellsCore(std::min(s.Left, s.Right), std::min(s.Top, s.Bottom), std::max(s.Left, s.Right),
                   std::max(s.Top, s.Bottom), true);
}

// ---------------------------------------------------------------------------
// Trimming and colouring
// ---------------------------------------------------------------------------

void TExStringGrid::TrimRect(int aCol1, int aRow1, int aCol2, int aRow2)
{
    aRow1 = std::max(0, aRow1);
    aRow2 = std::min(aRow2, RowCount() - 1);
    aCol1 = std::max(0, aCol1);
    aCol2 = std::min(aCol2, FSaveHiddenCells ? ColCount() - 1 : TotalColCount() - 1);
    for (int r = aRow1; r <= aRow2; ++r) {
        for (int c = aCol1; c <= aCol2; ++c) {
            const int a = FSaveHiddenCells ? RealColIndex(c) : c;
            const QString text = GetCellEx(a, r);
            const QString trimmed = TrimBlanks(text);
            if (trimmed != text)
                SetCellEx(a, r, trimmed);
        }
    }
}

void TExStringGrid::ColorRect(int aCol1, int aRow1, int aCol2, int aRow2, TColor aColor)
{
    for (int r = std::max(0, aRow1); r <= std::min(aRow2, RowCount() - 1); ++r)
        for (int c = std::max(0, aCol1); c <= std::min(aCol2, TotalColCount() - 1); ++c)
            SetColors(c, r, aColor);
}

// ---------------------------------------------------------------------------
// Merging and splitting
// ---------------------------------------------------------------------------

void TExStringGrid::MergeRowCells(int rowIndex, bool mainMerge)
{
    if (rowIndex < 0 || rowIndex >= RowCount())
        return;
    const int first = TBaseGrid::FixedCols();
    const int last = ColCount() - FFixedRightCols - 1;
    int runStart = first;
    auto close = [&](int runEnd) {
        if (runEnd > runStart)
            MergeCells(runStart, rowIndex, runEnd - runStart + 1, 1);
    };
    for (int c = first + 1; c <= last; ++c) {
        const bool same = GetCellEx(c, rowIndex) == GetCellEx(c - 1, rowIndex) &&
                          (mainMerge || ColSpanIdentical(c - 1, c));
        if (!same) {
            close(c - 1);
            runStart = c;
        }
    }
    close(last);
}

void TExStringGrid::SplitRowCells(int rowIndex)
{
    if (rowIndex < 0 || rowIndex >= RowCount())
        return;
    int c = 0;
    while (c < ColCount() - FFixedRightCols - 1) {
        if (IsXMergedCell(c, rowIndex)) {
            const int span = CellSpan(c, rowIndex).X;
            SplitCells(c, rowIndex);
            c += std::max(0, span) + 1;
        } else {
            ++c;
        }
    }
}

void TExStringGrid::SplitAllCells()
{
    const int total = TotalColCount();
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < total; ++c) {
            const TPoint span = CellSpan(c, r);
            if (span.X > 0 || span.Y > 0)
                SplitCells(c, r);
        }
}

void TExStringGrid::MergeCols(int colIndex1, int colIndex2, const QString& separator)
{
    const int total = TotalColCount();
    if (colIndex1 < 0 || colIndex2 < 0 || colIndex1 >= total || colIndex2 >= total || colIndex1 == colIndex2)
        return;
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
        SetCellEx(colIndex1, r, TrimBlanks(GetCellEx(colIndex1, r) + separator + GetCellEx(colIndex2, r)));
    RemoveCols(colIndex2, 1);
}

// ---------------------------------------------------------------------------
// Numbering and finding
// ---------------------------------------------------------------------------

void TExStringGrid::AutoNumberCol(int aCol)
{
    const int last = RowCount() - FFixedFooters - 1;
    const int first = TBaseGrid::FixedRows() + FAutoNumberStart;
    for (int r = std::max(0, first); r <= last; ++r) {
        const int k = r - TBaseGrid::FixedRows();
        const int row = FAutoNumberDirection == sdAscending ? r : last - k;
        SetInts(aCol, row, k + 1 + FAutoNumberOffset);
    }
}

void TExStringGrid::AutoNumberRow(int aRow)
{
    const int last = ColCount() - FFixedRightCols - 1;
    const int first = TBaseGrid::FixedCols() + FAutoNumberStart;
    for (int c = std::max(0, first); c <= last; ++c) {
        const int k = c - TBaseGrid::FixedCols();
        const int col = FAutoNumberDirection == sdAscending ? c : last - k;
        SetInts(RealColIndex(col), aRow, k + 1 + FAutoNumberOffset);
    }
}

bool TExStringGrid::IsCell(const QString& subStr, int& aCol, int& aRow)
{
    const int total = TotalColCount();
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < total; ++c)
            if (GetGridCell(c, r) == subStr) {
                aCol = c;
                aRow = r;
                return true;
            }
    return false;
}

bool TExStringGrid::IsWideCell(int aCol, int aRow) { return GetCellEx(aCol, aRow).startsWith(u"|\\"); }

TRect TExStringGrid::UsedCells()
{
    int left = -1, top = -1, right = -1, bottom = -1;
    for (int r = 0; r < RowCount(); ++r)
        for (int c = 0; c < ColCount(); ++c) {
            if (GetGridCell(RealColIndex(c), r).isEmpty())
                continue;
            left = left < 0 ? c : std::min(left, c);
            right = std::max(right, c);
            top = top < 0 ? r : top;
            bottom = r;
        }
    if (left < 0)
        return Rect(0, 0, 0, 0);
    return Rect(left, top, right, bottom);
}

// ---------------------------------------------------------------------------
// Save range
// ---------------------------------------------------------------------------

int TExStringGrid::SaveStartCol() const { return FSaveFixedCells || FSaveFixedCols ? 0 : TBaseGrid::FixedCols(); }

int TExStringGrid::SaveEndCol() const
{
    return FSaveFixedCells || FSaveFixedCols ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
}

int TExStringGrid::SaveColCount() const
{
    return FSaveFixedCells || FSaveFixedCols ? ColCount() : ColCount() - TBaseGrid::FixedCols() - FFixedRightCols;
}

int TExStringGrid::SaveStartRow() const { return FSaveFixedCells || FSaveFixedRows ? 0 : TBaseGrid::FixedRows(); }

int TExStringGrid::SaveEndRow() const
{
    return FSaveFixedCells || FSaveFixedRows ? RowCount() - 1 : RowCount() - FFixedFooters - 1;
}

int TExStringGrid::SaveRowCount() const
{
    return FSaveFixedCells || FSaveFixedRows ? RowCount() : RowCount() - TBaseGrid::FixedRows() - FFixedFooters;
}
