// The grid's events (TDrawGrid) and the cell store of TStringGrid.
#include "platform/Grids.h"

#include <algorithm>
#include <stdexcept>

namespace platform {

// ------------------------------------------------------------------ TDrawGrid

void TDrawGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    if (OnDrawCell)
        OnDrawCell(this, col, row, rect, state);
}

bool TDrawGrid::SelectCell(int col, int row)
{
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, col, row, canSelect);
    return canSelect;
}

QString TDrawGrid::GetEditMask(int col, int row)
{
    QString value;
    if (OnGetEditMask)
        OnGetEditMask(this, col, row, value);
    return value;
}

QString TDrawGrid::GetEditText(int col, int row)
{
    QString value;
    if (OnGetEditText)
        OnGetEditText(this, col, row, value);
    return value;
}

void TDrawGrid::SetEditText(int col, int row, const QString& value)
{
    if (OnSetEditText)
        OnSetEditText(this, col, row, value);
}

void TDrawGrid::ColumnMoved(int fromIndex, int toIndex)
{
    if (OnColumnMoved)
        OnColumnMoved(this, fromIndex, toIndex);
}

void TDrawGrid::RowMoved(int fromIndex, int toIndex)
{
    if (OnRowMoved)
        OnRowMoved(this, fromIndex, toIndex);
}

void TDrawGrid::TopLeftChanged()
{
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

// ------------------------------------------------------------------ TStringGrid

TStringGrid::~TStringGrid() = default;

const TStringGrid::CellData* TStringGrid::Find(int col, int row) const
{
    if (col < 0 || row < 0 || static_cast<size_t>(row) >= rows_.size())
        return nullptr;
    const RowData* cells = rows_[static_cast<size_t>(row)].get();
    if (!cells || static_cast<size_t>(col) >= cells->size())
        return nullptr;
    return &(*cells)[static_cast<size_t>(col)];
}

TStringGrid::CellData& TStringGrid::Slot(int col, int row)
{
    if (col < 0 || row < 0 || col >= MaxStoredCols || row >= MaxStoredRows)
        throw std::out_of_range("Cell index out of range");
    if (static_cast<size_t>(row) >= rows_.size())
        rows_.resize(static_cast<size_t>(row) + 1);
    std::unique_ptr<RowData>& cells = rows_[static_cast<size_t>(row)];
    if (!cells)
        cells = std::make_unique<RowData>();
    if (static_cast<size_t>(col) >= cells->size())
        cells->resize(static_cast<size_t>(col) + 1);
    return (*cells)[static_cast<size_t>(col)];
}

QString TStringGrid::Cells(int col, int row) const
{
    const CellData* c = Find(col, row);
    return c ? c->text : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& text)
{
    if (text.isEmpty() && !Find(col, row)) {
        if (col < 0 || row < 0 || col >= MaxStoredCols || row >= MaxStoredRows)
            throw std::out_of_range("Cell index out of range");
        return;  // nothing stored there: nothing to clear
    }
    Slot(col, row).text = text;
    InvalidateCell(col, row);
}

TObject* TStringGrid::Objects(int col, int row) const
{
    const CellData* c = Find(col, row);
    return c ? c->object : nullptr;
}

void TStringGrid::SetObjects(int col, int row, TObject* object)
{
    if (!object && !Find(col, row)) {
        if (col < 0 || row < 0 || col >= MaxStoredCols || row >= MaxStoredRows)
            throw std::out_of_range("Cell index out of range");
        return;
    }
    Slot(col, row).object = object;
    InvalidateCell(col, row);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    if (DefaultDrawing()) {
        const CellData* c = Find(col, row);
        if (c && !c->text.isEmpty())
            Canvas().TextRect(rect, rect.Left + 2, rect.Top + 2, c->text);
    }
    TDrawGrid::DrawCell(col, row, rect, state);
}

QString TStringGrid::GetEditText(int col, int row)
{
    QString value = Cells(col, row);
    if (OnGetEditText)
        OnGetEditText(this, col, row, value);
    return value;
}

void TStringGrid::SetEditText(int col, int row, const QString& value)
{
    if (!settingEditText_) {
        const bool old = settingEditText_;
        settingEditText_ = true;
        try {
            if (value != Cells(col, row))
                SetCells(col, row, value);
        } catch (...) {
            settingEditText_ = old;
            throw;
        }
        settingEditText_ = old;
    }
    TDrawGrid::SetEditText(col, row, value);
}

// The cell moves from one column to the other in every stored row; the cells
// between shift by one.
void TStringGrid::ColumnMoved(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= MaxStoredCols || toIndex >= MaxStoredCols)
        throw std::out_of_range("Cell index out of range");
    if (fromIndex != toIndex) {
        const size_t low = static_cast<size_t>(std::min(fromIndex, toIndex));
        const size_t high = static_cast<size_t>(std::max(fromIndex, toIndex));
        for (std::unique_ptr<RowData>& cells : rows_) {
            if (!cells || cells->size() <= low)
                continue;  // nothing stored in the range
            if (cells->size() <= high)
                cells->resize(high + 1);
            auto b = cells->begin();
            if (fromIndex < toIndex)
                std::rotate(b + fromIndex, b + fromIndex + 1, b + toIndex + 1);
            else
                std::rotate(b + toIndex, b + fromIndex, b + fromIndex + 1);
        }
        ClientSurface()->update();
    }
    TDrawGrid::ColumnMoved(fromIndex, toIndex);
}

void TStringGrid::RowMoved(int fromIndex, int toIndex)
{
    if (fromIndex < 0 || toIndex < 0 || fromIndex >= MaxStoredRows || toIndex >= MaxStoredRows)
        throw std::out_of_range("Cell index out of range");
    if (fromIndex < toIndex)
        RotateRowCells(fromIndex, fromIndex + 1, toIndex + 1);
    else if (fromIndex > toIndex)
        RotateRowCells(toIndex, fromIndex, fromIndex + 1);
    TDrawGrid::RowMoved(fromIndex, toIndex);
}

void TStringGrid::RotateRowCells(int first, int middle, int last)
{
    if (first < 0 || middle < first || last < middle || last > MaxStoredRows)
        throw std::out_of_range("Cell index out of range");
    // Nothing stored from first on: every row of the range is empty.
    if (first == middle || middle == last || rows_.size() <= static_cast<size_t>(first))
        return;
    if (rows_.size() < static_cast<size_t>(last))
        rows_.resize(static_cast<size_t>(last));
    std::rotate(rows_.begin() + first, rows_.begin() + middle, rows_.begin() + last);
    ClientSurface()->update();
}

void TStringGrid::ArrangeRowCells(int first, const std::vector<int>& from)
{
    const long long end = static_cast<long long>(first) + static_cast<long long>(from.size());
    if (first < 0 || end > MaxStoredRows)
        throw std::out_of_range("Cell index out of range");
    for (int f : from)
        if (f < first || f >= end)
            throw std::out_of_range("Cell index out of range");
    if (from.empty() || rows_.size() <= static_cast<size_t>(first))
        return;
    if (rows_.size() < static_cast<size_t>(end))
        rows_.resize(static_cast<size_t>(end));
    std::vector<std::unique_ptr<RowData>> arranged(from.size());
    for (size_t i = 0; i < from.size(); ++i)
        arranged[i] = std::move(rows_[static_cast<size_t>(from[i])]);
    std::move(arranged.begin(), arranged.end(), rows_.begin() + first);
    ClientSurface()->update();
}

// The rows' cells go (their objects stay with their owners); the stored rows
// below, also those beyond RowCount, move up.
void TStringGrid::DeleteRows(int row, int count)
{
    if (row < 0 || count < 0 || row >= RowCount() || (row > 0 && count > RowCount() - row))
        throw std::out_of_range("Grid index out of range");
    HideEditor();
    if (static_cast<size_t>(row) < rows_.size()) {
        const size_t end = std::min(rows_.size(), static_cast<size_t>(row) + static_cast<size_t>(count));
        rows_.erase(rows_.begin() + row, rows_.begin() + static_cast<std::ptrdiff_t>(end));
    }
    TDrawGrid::DeleteRows(row, count);
}

} // namespace platform
