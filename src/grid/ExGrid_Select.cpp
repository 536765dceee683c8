// The string grid's selection model (rectangle and the three disjunct modes),
// its current cell, row marks, repainting and change registries.
#include "grid/ExGrid.h"

#include "widgets/ExUtil.h"

#include <QStyle>

#include <algorithm>

using namespace platform;

namespace {

int PackCell(int col, int row) { return static_cast<int>((static_cast<unsigned>(row) << 16) | (col & 0xFFFF)); }

TGridRect Ordered(TGridRect r)
{
    if (r.Left > r.Right)
        std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    return r;
}

} // namespace

// ---------------------------------------------------------------------------
// Selection rectangle
// ---------------------------------------------------------------------------

int TExStringGrid::RowSelectIndex(int displayRow) const
{
    return FMouseActions->RowSelectPersistent() ? RowDisplToReal(displayRow) : displayRow;
}

void TExStringGrid::SelectRows(int rowIndex, int rCount)
{
    if (rowIndex + rCount > RowCount())
        rCount = RowCount() - rowIndex;
    if (rowIndex < 0 || rCount <= 0)
        return;
    if (!DisjunctRowMode()) {
        SetSelection(TGridRect{TBaseGrid::FixedCols(), rowIndex, ColCount() - 1, rowIndex + rCount - 1});
    } else {
        for (int r = rowIndex; r < rowIndex + rCount && r < RowCount(); ++r)
            SetRowSelect(RowSelectIndex(r), true);
    }
    FSelChange = false;
}

void TExStringGrid::SelectCols(int colIndex, int cCount)
{
    if (colIndex < 0 || cCount <= 0)
        return;
    if (!FMouseActions->DisjunctColSelect()) {
        SetSelection(TGridRect{colIndex, TBaseGrid::FixedRows(), colIndex + cCount - 1, RowCount() - 1});
    } else {
        for (int c = colIndex; c < colIndex + cCount && c < ColCount(); ++c)
            SetColSelect(c, true);
    }
}

void TExStringGrid::SelectRange(int fromCol, int toCol, int fromRow, int toRow)
{
    SetRow(toRow);
    SetCol(toCol);
    SetSelection(TGridRect{fromCol, fromRow, toCol, toRow});
}

void TExStringGrid::SelectCells(int fromCol, int fromRow, int toCol, int toRow)
{
    SetSelection(TGridRect{fromCol, fromRow, toCol, toRow});
}

void TExStringGrid::HideSelection()
{
    FOldSelection = Selection();
    TBaseGrid::SetSelection(TGridRect{ColCount(), RowCount(), ColCount(), RowCount()});
    FSelHidden = true;
}

void TExStringGrid::UnHideSelection()
{
    FSelHidden = false;
    if (FOldSelection.Top < RowCount() && FOldSelection.Left < ColCount() && FOldSelection.Top >= 0 &&
        FOldSelection.Left >= 0) {
        TGridRect r = FOldSelection;
        r.Right = std::min(r.Right, ColCount() - 1);
        r.Bottom = std::min(r.Bottom, RowCount() - 1);
        TBaseGrid::SetSelection(r);
        return;
    }
    const int row = FFixedRowAlways && TBaseGrid::FixedRows() >= RowCount() - 1 && RowCount() == FFixedRowsMin
                        ? 0
                        : TBaseGrid::FixedRows();
    const int col = FFixedColAlways && ColCount() == FFixedColsMin ? 0 : TBaseGrid::FixedCols();
    TBaseGrid::SetSelection(TGridRect{col, row, col, row});
}

// ---------------------------------------------------------------------------
// Disjunct rows
// ---------------------------------------------------------------------------

bool TExStringGrid::GetRowSelect(int aRow)
{
    const bool outside = aRow < 0 || aRow >= RowCount() + NumHiddenRows();
    if (outside) {
        // With persistent flags a row outside the grid is simply not selected.
        if (FMouseActions->RowSelectPersistent())
            return false;
        throw REruVidaZuvez(QStringLiteral("Invalid row %1 accessed").arg(aRow));
    }
    if (DisjunctRowMode())
        return aRow < static_cast<int>(FRowSelect.size()) && FRowSelect[static_cast<size_t>(aRow)] != 0;
    const TGridRect s = Ordered(Selection());
    return aRow >= s.Top && aRow <= s.Bottom;
}

void TExStringGrid::SetRowSelect(int aRow, bool value)
{
    if (aRow < 0 || (aRow >= RowCount() + NumHiddenRows() && RowCount() > TBaseGrid::FixedRows()))
        throw REruVidaZuvez(QStringLiteral("Invalid row accessed"));
    if (aRow >= RowCount() + NumHiddenRows())
        return;
    const bool current = aRow < static_cast<int>(FRowSelect.size()) && FRowSelect[static_cast<size_t>(aRow)] != 0;
    bool allow = true;
    if (current != value && OnRowDisjunctSelect)
        OnRowDisjunctSelect(this, aRow, value, allow);
    if (!allow)
        return;
    if (static_cast<int>(FRowSelect.size()) <= aRow)
        FRowSelect.resize(static_cast<size_t>(aRow) + 1, 0);
    if (value) {
        if (!current)
            RepaintRow(aRow);
        FRowSelect[static_cast<size_t>(aRow)] = 1;
        if (!FSelectedRows.HasValue(aRow) && aRow >= TBaseGrid::FixedRows())
            FSelectedRows.Add(aRow);
    } else {
        if (current)
            RepaintRow(aRow);
        FRowSelect[static_cast<size_t>(aRow)] = 0;
        FSelectedRows.DeleteValue(aRow);
    }
    if (OnRowDisjunctSelected)
        OnRowDisjunctSelected(this, aRow);
}

void TExStringGrid::UnSelectRows(int rowIndex, int rCount)
{
    if (DisjunctRowMode()) {
        for (int r = std::max(0, rowIndex); r < rowIndex + rCount && r < RowCount(); ++r)
            SetRowSelect(RowSelectIndex(r), false);
    }
    FSelChange = false;
}

void TExStringGrid::ClearRowSelect()
{
    for (size_t r = 0; r < FRowSelect.size(); ++r) {
        if (FRowSelect[r]) {
            FRowSelect[r] = 0;
            RepaintRow(static_cast<int>(r));
        }
    }
    FSelectedRows.Clear();
}

int TExStringGrid::RowSelectCount()
{
    if (DisjunctRowMode()) {
        const size_t n = std::min(static_cast<size_t>(std::max(0, RowCount() + NumHiddenRows())), FRowSelect.size());
        return static_cast<int>(std::count(FRowSelect.begin(), FRowSelect.begin() + static_cast<std::ptrdiff_t>(n), 1));
    }
    const TGridRect s = Selection();
    return std::abs(s.Bottom - s.Top) + 1;
}

int TExStringGrid::SelectedRowCount()
{
    if (DisjunctRowMode())
        return FSelectedRows.Count();
    TGridRect s = Selection();
    s.Bottom = std::min(s.Bottom, RowCount() - FFixedFooters - 1);
    const int left = RealColIndex(s.Left);
    if (IsMergedCell(left, s.Top)) {
        const int span = CellSpan(left, s.Top).Y;
        if (span > 0)
            return s.Bottom < s.Top + span ? span + 1 : std::abs(s.Top - s.Bottom) + 1;
    }
    int n = std::abs(s.Top - s.Bottom) + 1;
    if (IsMergedCell(left, s.Bottom))
        n += CellSpan(left, s.Bottom).Y;
    return n;
}

int TExStringGrid::GetSelectedRow(int i)
{
    if (DisjunctRowMode())
        return i >= 0 && i < FSelectedRows.Count() ? FSelectedRows.GetInteger(i) : -1;
    const TGridRect s = Selection();
    const int top = std::min(s.Top, s.Bottom), bottom = std::max(s.Top, s.Bottom);
    return i >= 0 && top + i <= bottom ? top + i : -1;
}

void TExStringGrid::SyncRowSelectWithSelection(bool all)
{
    TGridRect s = Ordered(Selection());
    const int last = RowCount() - FFixedFooters - 1;
    s.Bottom = std::min(s.Bottom, last);
    for (int r = TBaseGrid::FixedRows(); r <= last; ++r) {
        const bool inside = r >= s.Top && r <= s.Bottom;
        if (all || inside)
            SetRowSelect(RowSelectIndex(r), inside);
    }
    if (NumHiddenRows() > 0)
        Invalidate();
}

// ---------------------------------------------------------------------------
// Disjunct columns and cells
// ---------------------------------------------------------------------------

bool TExStringGrid::GetColSelect(int aCol)
{
    if (aCol < 0 || aCol >= ColCount())
        throw REruVidaZuvez(QStringLiteral("Invalid column accessed"));
    return aCol < static_cast<int>(FColSelect.size()) && FColSelect[static_cast<size_t>(aCol)] != 0;
}

void TExStringGrid::SetColSelect(int aCol, bool value)
{
    if (aCol < 0 || aCol >= ColCount())
        throw REruVidaZuvez(QStringLiteral("Invalid column accessed"));
    if (static_cast<int>(FColSelect.size()) <= aCol)
        FColSelect.resize(static_cast<size_t>(aCol) + 1, 0);
    const char v = value ? 1 : 0;
    if (FColSelect[static_cast<size_t>(aCol)] != v) {
        FColSelect[static_cast<size_t>(aCol)] = v;
        RepaintCol(aCol);
    }
}

void TExStringGrid::UnSelectCols(int colIndex, int cCount)
{
    if (!FMouseActions->DisjunctColSelect())
        return;
    for (int c = std::max(0, colIndex); c < colIndex + cCount && c < ColCount(); ++c)
        SetColSelect(c, false);
}

void TExStringGrid::ClearColSelect()
{
    for (size_t c = 0; c < FColSelect.size(); ++c) {
        if (FColSelect[c]) {
            FColSelect[c] = 0;
            RepaintCol(static_cast<int>(c));
        }
    }
}

int TExStringGrid::ColSelectCount()
{
    if (FMouseActions->DisjunctColSelect())
        return static_cast<int>(std::count(FColSelect.begin(), FColSelect.end(), 1));
    const TGridRect s = Selection();
    return s.Right - s.Left + 1;
}

int TExStringGrid::SelectedColCount()
{
    if (FMouseActions->DisjunctColSelect())
        return static_cast<int>(std::count(FColSelect.begin(), FColSelect.end(), 1));
    const TGridRect s = Selection();
    const int left = RealColIndex(s.Left);
    if (IsMergedCell(left, s.Top)) {
        const int span = CellSpan(left, s.Top).X;
        if (span > 0)
            return s.Left + span > s.Right ? span + 1 : std::abs(s.Left - s.Right) + 1;
    }
    int n = std::abs(s.Left - s.Right) + 1;
    const int right = RealColIndex(s.Right);
    if (IsMergedCell(right, s.Top))
        n += CellSpan(right, s.Top).X;
    return n;
}

void TExStringGrid::SyncColSelectWithSelection(bool all)
{
    const TGridRect s = Ordered(Selection());
    for (int c = TBaseGrid::FixedCols(); c < ColCount(); ++c) {
        const bool inside = c >= s.Left && c <= s.Right;
        if (all || inside)
            SetColSelect(c, inside);
    }
}

bool TExStringGrid::GetSelectedCells(int aCol, int aRow) const
{
    if (FMouseActions->DisjunctCellSelect())
        return FSelectedCells.HasValue(PackCell(aCol, aRow));
    const TGridRect s = Ordered(Selection());
    return aCol >= s.Left && aCol <= s.Right && aRow >= s.Top && aRow <= s.Bottom;
}

void TExStringGrid::SetSelectedCells(int aCol, int aRow, bool value)
{
    const int packed = PackCell(aCol, aRow);
    const bool present = FSelectedCells.HasValue(packed);
    if (value && !present)
        FSelectedCells.Add(packed);
    else if (!value && present)
        FSelectedCells.DeleteValue(packed);
    TBaseGrid::RepaintCell(aCol, aRow);
}

TGridCoord TExStringGrid::GetSelectedCell(int index) const
{
    const unsigned v = static_cast<unsigned>(FSelectedCells.GetInteger(index));
    return TGridCoord{static_cast<int>(v & 0xFFFF), static_cast<int>(v >> 16)};
}

int TExStringGrid::SelectedCellsCount()
{
    if (FMouseActions->DisjunctCellSelect())
        return FSelectedCells.Count();
    FSelectedCells.Clear();
    const TGridRect s = Ordered(Selection());
    if (s.Left == s.Right && s.Top == s.Bottom) {
        FSelectedCells.Add(PackCell(Col(), Row()));
    } else {
        for (int c = s.Left; c <= s.Right; ++c)
            for (int r = s.Top; r <= s.Bottom; ++r)
                FSelectedCells.Add(PackCell(c, r));
    }
    return FSelectedCells.Count();
}

void TExStringGrid::ClearSelectedCells()
{
    SetSelection(TGridRect{TBaseGrid::FixedCols(), TBaseGrid::FixedRows(), TBaseGrid::FixedCols(),
                           TBaseGrid::FixedRows()});
    FSelectedCells.Clear();
    Invalidate();
}

bool TExStringGrid::IsSelected(int aCol, int aRow)
{
    if (aRow < TBaseGrid::FixedRows() || aCol < TBaseGrid::FixedCols())
        return false;
    if (FMouseActions->DisjunctCellSelect())
        return FSelectedCells.HasValue(PackCell(aCol, aRow));
    if (DisjunctRowMode()) {
        const int r = RowSelectIndex(aRow);
        return r >= 0 && r < static_cast<int>(FRowSelect.size()) && FRowSelect[static_cast<size_t>(r)] != 0;
    }
    if (FMouseActions->DisjunctColSelect())
        return aCol < static_cast<int>(FColSelect.size()) && FColSelect[static_cast<size_t>(aCol)] != 0;
    const TGridRect s = Selection();
    return aCol >= s.Left && aCol <= s.Right && aRow >= s.Top && aRow <= s.Bottom;
}

QString TExStringGrid::SelectedText()
{
    const TGridRect s = Selection();
    int left = s.Left, right = s.Right;
    if ((Options() & goRowSelect) && FDragDropSettings->OleEntireRows()) {
        left = 0;
        right = ColCount() - 1;
    }
    std::vector<int> rows;
    if (DisjunctRowMode()) {
        for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r) {
            const int idx = RowSelectIndex(r);
            if (idx >= 0 && idx < static_cast<int>(FRowSelect.size()) && FRowSelect[static_cast<size_t>(idx)])
                rows.push_back(r);
        }
    } else {
        for (int r = s.Top; r <= s.Bottom; ++r)
            rows.push_back(r);
    }
    QString out;
    for (int r : rows) {
        for (int c = left; c <= right; ++c) {
            QString text = GetCellEx(RealColIndex(c), r);
            if (text.contains(QStringLiteral("{\\")))
                text = RTFToPlainText(text);
            if (CountTextLines(text, FMultilineCells) > 1 && FExcelClipboardFormat)
                QuoteMultiLine(text);
            if (c > left)
                out += u'\t';
            out += text;
        }
        if (r != s.Bottom)
            out += QStringLiteral("\r\n");
    }
    return out;
}

// ---------------------------------------------------------------------------
// Current cell and view
// ---------------------------------------------------------------------------

void TExStringGrid::SetRowEx(int value)
{
    if (Col() < 0 || Col() >= ColCount())
        MoveCurrentCell(TBaseGrid::FixedCols(), value);
    TBaseGrid::SetRow(value);
    if (Row() != FOldRowSel && OnRowUpdate) {
        const int old = FOldRowSel;
        FOldRowSel = Row();
        OnRowUpdate(this, old, Row());
    }
    if (DisjunctRowMode())
        SyncRowSelectWithSelection(false);
    TStringGrid* other = FSyncGrid->Grid();
    if (other && FSyncGrid->SelectionRow() && Row() < other->RowCount())
        other->SetRow(Row());
    if (value == RowCount() - 1 && FSearchFooter->Visible())
        ScrollLastRowAboveSearchFooter();
}

void TExStringGrid::SetTopRow(int value)
{
    if (value < TBaseGrid::FixedRows() || value > RowCount() - 1)
        return;
    TBaseGrid::SetTopRow(value);
}

void TExStringGrid::GotoCell(int aCol, int aRow)
{
    SetRow(aRow);
    SetCol(aCol);
}

void TExStringGrid::EditCell(int aCol, int aRow)
{
    SetFocus();
    GotoCell(aCol, aRow);
    RememberCell(Col(), Row());
    ShowInplaceEdit();
}

void TExStringGrid::FocusCell(int aCol, int aRow) { SetSelection(TGridRect{aCol, aRow, aCol, aRow}); }

void TExStringGrid::MoveCurrentCell(int aCol, int aRow) { MoveColRow(aCol, aRow, true, true); }

void TExStringGrid::UpdateEditMode() { SelectCell(Col(), Row()); }

void TExStringGrid::ScrollInView(int colIndex, int rowIndex)
{
    if (colIndex < 0 || rowIndex < 0 || colIndex >= ColCount() || rowIndex >= RowCount())
        return;
    int left = LeftCol(), top = TopRow();
    const int visCols = VisibleColCount(), visRows = VisibleRowCount();
    if (colIndex < LeftCol() || colIndex >= LeftCol() + visCols) {
        SetCol(colIndex);
        left = std::max(TBaseGrid::FixedCols(), colIndex - visCols / 2);
    }
    if (rowIndex < TopRow() || rowIndex >= TopRow() + visRows) {
        SetRow(rowIndex);
        top = std::max(TBaseGrid::FixedRows(), rowIndex - visRows / 2);
    }
    left = std::min(left, ColCount() - visCols + 1);
    if (TBaseGrid::FixedCols() + visCols < ColCount())
        SetLeftCol(std::max(TBaseGrid::FixedCols(), left));
    top = std::min(top, RowCount() - visRows + 1);
    if (TBaseGrid::FixedRows() + visRows < RowCount())
        TBaseGrid::SetTopRow(std::max(TBaseGrid::FixedRows(), top));
    else
        return;
    if (FSearchFooter->Visible()) {
        int height = this->height() - SearchPanelHeight();
        if (VisibleColCount() + TBaseGrid::FixedCols() < ColCount())
            height -= style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        for (int guard = 0; guard < RowCount(); ++guard) {
            const TRect r = TBaseGrid::CellRect(0, rowIndex);
            if (IsRectEmpty(r) || r.Bottom <= height || TopRow() >= RowCount() - 1)
                break;
            // A top row that cannot grow ends the scrolling.
            const int before = TopRow();
            TBaseGrid::SetTopRow(before + 1);
            if (TopRow() <= before)
                break;
        }
    }
}

void TExStringGrid::ScrollLastRowAboveSearchFooter()
{
    const int panelHeight = SearchPanelHeight();
    if (!FSearchFooter->Visible() || ClientHeight() <= DefaultRowHeight() + panelHeight)
        return;
    for (int guard = 0; guard < RowCount(); ++guard) {
        const TRect r = TBaseGrid::CellRect(0, RowCount() - 1);
        if (IsRectEmpty(r) || r.Bottom <= ClientHeight() - panelHeight + 2)
            break;
        if (Row() >= RowCount() || TopRow() >= RowCount() - 1)
            break;
        // A top row that cannot grow ends the scrolling.
        const int before = TopRow();
        TBaseGrid::SetTopRow(before + 1);
        if (TopRow() <= before)
            break;
    }
}

bool TExStringGrid::LastRowClearOfSearchFooter()
{
    constexpr int panelHeight = 32;
    if (!FSearchFooter->Visible())
        return false;
    const int last = RowCount() - 1;
    if (last > TopRow() + VisibleRowCount())
        return false;
    const TRect r = TBaseGrid::CellRect(0, last);
    return !IsRectEmpty(r) && r.Bottom < ClientHeight() - panelHeight + 2;
}

// ---------------------------------------------------------------------------
// Row marks
// ---------------------------------------------------------------------------

bool TExStringGrid::GetRowModified(int aRow) const
{
    return aRow >= 0 && aRow < FModifiedRows.Count() && FModifiedRows.GetInteger(aRow) == 1;
}

void TExStringGrid::SetRowModified(int aRow, bool value)
{
    if (aRow < 0 || aRow >= MaxStoredRows)
        return;
    if (FModifiedRows.Count() <= aRow)
        FModifiedRows.SetCount(aRow + 1, 0);
    FModifiedRows.SetInteger(aRow, value ? 1 : 0);
    TBaseGrid::RepaintCell(0, aRow);
}

int TExStringGrid::ModifiedRowCount() const
{
    return static_cast<int>(std::count(FModifiedRows.Items().begin(), FModifiedRows.Items().end(), 1));
}

void TExStringGrid::ClearModifiedRows()
{
    FModifiedRows.Clear();
    Invalidate();
}

bool TExStringGrid::GetRowEnabled(int aRow) const
{
    return aRow < 0 || aRow >= FEnabledRows.Count() || FEnabledRows.GetInteger(aRow) == 0;
}

void TExStringGrid::SetRowEnabled(int aRow, bool value)
{
    if (aRow < 0 || aRow >= MaxStoredRows)
        return;
    // Only a row being disabled sends the current row elsewhere.
    if (!value && aRow == Row()) {
        for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r) {
            if (r != aRow && GetRowEnabled(r)) {
                SetRow(r);
                break;
            }
        }
    }
    FUseEnabledRows = true;
    if (FEnabledRows.Count() <= aRow)
        FEnabledRows.SetCount(aRow + 1, 0);
    FEnabledRows.SetInteger(aRow, value ? 0 : 1);
    RepaintRow(aRow);
}

// ---------------------------------------------------------------------------
// Repainting and registries
// ---------------------------------------------------------------------------

void TExStringGrid::RepaintRow(int aRow)
{
    if (aRow >= 0 && aRow < RowCount())
        InvalidateRow(aRow);
}

void TExStringGrid::RepaintCol(int aCol)
{
    if (aCol >= 0 && aCol < ColCount())
        InvalidateRect(TGridRect{aCol, TopRow(), aCol, RowCount() - 1});
}

void TExStringGrid::RepaintRect(const TRect& r)
{
    if (r.Left < 0 || r.Top < 0 || r.Right < 0 || r.Bottom < 0)
        return;
    const TRect a = TBaseGrid::CellRect(r.Left, r.Top);
    const TRect b = TBaseGrid::CellRect(std::min(TBaseGrid::FixedCols() + VisibleColCount(), r.Right), r.Bottom);
    if (IsRectEmpty(a) || IsRectEmpty(b)) {
        Invalidate();
        return;
    }
    TRect u;
    UnionRect(u, a, b);
    ClientSurface()->update(u.Left, u.Top, u.Width(), u.Height());
}

void TExStringGrid::InvalidateCellRange(const TRect& r)
{
    TRect u;
    UnionRect(u, TBaseGrid::CellRect(r.Left, r.Top), TBaseGrid::CellRect(r.Right, r.Bottom));
    if (!IsRectEmpty(u))
        ClientSurface()->update(u.Left, u.Top, u.Width(), u.Height());
}

void TExStringGrid::RegisterNotifier(TGridChangeNotifier* item)
{
    if (!item)
        return;
    FNotifierList.erase(std::remove_if(FNotifierList.begin(), FNotifierList.end(),
                                       [](const QPointer<TGridChangeNotifier>& p) { return p.isNull(); }),
                        FNotifierList.end());
    for (const auto& p : FNotifierList)
        if (p.data() == item)
            return;
    FNotifierList.emplace_back(item);
}

void TExStringGrid::UnRegisterNotifier(TGridChangeNotifier* notifier)
{
    FNotifierList.erase(std::remove_if(FNotifierList.begin(), FNotifierList.end(),
                                       [notifier](const QPointer<TGridChangeNotifier>& p) {
                                           return p.isNull() || p.data() == notifier;
                                       }),
                        FNotifierList.end());
}
