// The string grid's dimensions, fixed areas, headers, merged columns and
// property setters, and the default bodies of the cell hooks the data model
// calls.
#include "grid/ExGrid.h"

#include "widgets/ExUtil.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

template <class T>
bool Store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

int MulDivRound(int value, int m, int d)
{
    if (d == 0)
        return value;
    return static_cast<int>(std::lround(static_cast<double>(value) * m / d));
}

} // namespace

// ---------------------------------------------------------------------------
// Counts and the current column
// ---------------------------------------------------------------------------

void TExStringGrid::SetRowCount(int value)
{
    const int oldCount = RowCount();
    if (oldCount == TBaseGrid::FixedRows() && FFixedRowAlways && FSelHidden)
        UnHideSelection();
    TBaseGrid::SetRowCount(value);
    const int newCount = RowCount();
    if (FFixedRowAlways && FFixedRowsMin < newCount)
        TBaseGrid::SetFixedRows(FFixedRowsMin);
    FMaxRowCount = std::max(FMaxRowCount, value);
    FNormalRowCount = value;
    UpdateFooter();
    UpdateScrollBarsAlways(false);
    if (FFloatingFooter->Visible() && newCount != oldCount && oldCount > 0) {
        // The footer's row stays the last one; its objects move with it.
        const int from = oldCount - 1, to = newCount - 1;
        for (int c = 0; c < TotalColCount(); ++c) {
            SetGridCell(c, to, GetGridCell(c, from));
            SetGridObject(c, to, GetGridObject(c, from));
        }
        if (from < newCount) {
            FNilObjects = true;
            ClearRows(from, 1);
            FNilObjects = false;
        } else {
            for (int c = 0; c < TotalColCount(); ++c) {
                SetGridObject(c, from, nullptr);
                SetGridCell(c, from, QString());
            }
        }
        CalcFooter(-1);
    }
    // Rows dropped from the end go with their texts and cell properties, so
    // that rows added later start empty.
    if (newCount < oldCount)
        DropStoredRows(newCount, oldCount - 1);
}

void TExStringGrid::DropStoredRows(int fromRow, int toRow)
{
    const int cols = std::max(TotalColCount(), FMaxColCount);
    for (int r = fromRow; r <= toRow; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (GetGridObject(c, r))
                FreeCellProps(c, r);
            if (!GetGridCell(c, r).isEmpty())
                SetGridCell(c, r, QString());
        }
    }
}

void TExStringGrid::SetColCount(int value)
{
    const int oldTotal = TotalColCount();
    SetVisibleColCount(value);
    // The columns after the last one kept are cut, hidden ones among them;
    // their cells go, so that columns added later start empty.
    TrimHiddenColumns();
    if (TotalColCount() < oldTotal)
        DropStoredColumns(TotalColCount(), oldTotal - 1);
}

void TExStringGrid::TrimHiddenColumns()
{
    while (!FHiddenCols.empty() && FHiddenCols.back() >= ColCount() + FNumHidden) {
        FVisibleCol[static_cast<size_t>(FHiddenCols.back())] = true;
        FHiddenCols.pop_back();
        --FNumHidden;
    }
}

void TExStringGrid::DropStoredColumns(int fromCol, int toCol)
{
    fromCol = std::max(0, fromCol);
    toCol = std::min(toCol, MaxStoredCols - 1);
    if (fromCol > toCol)
        return;
    for (int r = 0; r < RowCount(); ++r) {
        for (int c = fromCol; c <= toCol; ++c) {
            if (GetGridObject(c, r))
                FreeCellProps(c, r);
            if (!GetGridCell(c, r).isEmpty())
                SetGridCell(c, r, QString());
        }
    }
    for (int i = 0; i < FGridItems.Count(); ++i) {
        TStringObjectList& cells = FGridItems.Items(i)->Items();
        while (cells.Count() > fromCol) {
            TObject* object = cells.Objects(cells.Count() - 1);
            cells.Delete(cells.Count() - 1);
            FreeStoredObject(object);
        }
    }
}

void TExStringGrid::SetVisibleColCount(int value)
{
    TBaseGrid::SetColCount(value);
    if (FFixedColAlways && FFixedColsMin < ColCount())
        TBaseGrid::SetFixedCols(FFixedColsMin);
    FMaxColCount = std::max(FMaxColCount, value);
    UpdateFooter();
    if (FIntegralHeight)
        SetBounds(Left(), Top(), Width(), Height());
    UpdateScrollBarsAlways(false);
}

void TExStringGrid::SetCol(int value)
{
    TBaseGrid::SetCol(value);
    TStringGrid* other = FSyncGrid->Grid();
    if (other && FSyncGrid->SelectionColumn() && Col() < other->ColCount())
        other->SetCol(Col());
}

int TExStringGrid::FixedRows() const
{
    const int v = TBaseGrid::FixedRows();
    return v == 0 && FFixedRowAlways ? 1 : v;
}

void TExStringGrid::SetFixedRows(int value)
{
    if (value >= RowCount() && FFixedRowAlways)
        TBaseGrid::SetFixedRows(RowCount() - 1);
    else
        TBaseGrid::SetFixedRows(value);
    if (!Loading())
        FFixedRowsMin = value;
}

int TExStringGrid::FixedCols() const
{
    const int v = TBaseGrid::FixedCols();
    return v == 0 && FFixedColAlways ? 1 : v;
}

void TExStringGrid::SetFixedCols(int value)
{
    if (value >= ColCount() && FFixedColAlways)
        TBaseGrid::SetFixedCols(ColCount() - 1);
    else
        TBaseGrid::SetFixedCols(value);
    if (!Loading())
        FFixedColsMin = value;
}

// ---------------------------------------------------------------------------
// Sizes
// ---------------------------------------------------------------------------

void TExStringGrid::SetDefaultRowHeight(int value)
{
    TBaseGrid::SetDefaultRowHeight(value);
    FFloatingFooter->SetHeight(value);
}

void TExStringGrid::SetFixedRowHeight(int value)
{
    FFixedRowHeight = value;
    if (Loading())
        return;
    if (value == DefaultRowHeight()) {
        SetDefaultRowHeight(value);
        return;
    }
    for (int r = 0; r < TBaseGrid::FixedRows(); ++r)
        SetRowHeights(r, value);
}

void TExStringGrid::SetFixedColWidth(int value)
{
    if (Loading() || value == DefaultColWidth())
        return;
    // A width below zero would turn the column's right edge back over it.
    value = std::max(0, value);
    for (int c = 0; c < TBaseGrid::FixedCols(); ++c)
        SetColWidths(c, value);
}

void TExStringGrid::SetIntegralHeight(bool v)
{
    FIntegralHeight = v;
    SetBounds(Left(), Top(), Width(), Height());
}

void TExStringGrid::ChangeScale(int m, int d)
{
    TBaseGrid::ChangeScale(m, d);
    if (m == d || d == 0)
        return;
    FFixedFont.SetSize(MulDivRound(FFixedFont.Size(), m, d));
    FActiveCellFont.SetSize(MulDivRound(FActiveCellFont.Size(), m, d));
}

void TExStringGrid::CalcSizingState(int x, int y, TGridState& state, int& index, int& sizingPos, int& sizingOfs)
{
    TBaseGrid::CalcSizingState(x, y, state, index, sizingPos, sizingOfs);
    if (state == gsColSizing && OnColumnSize) {
        int c = -1, r = -1;
        MouseToCell(x - 6, y, c, r);
        if (r >= 0 && r < TBaseGrid::FixedRows()) {
            bool allow = true;
            OnColumnSize(this, c, allow);
            if (!allow)
                state = gsNormal;
        }
    } else if (state == gsRowSizing && OnRowSize) {
        int c = -1, r = -1;
        MouseToCell(x, y - 6, c, r);
        if (c >= 0 && c < TBaseGrid::FixedCols()) {
            bool allow = true;
            OnRowSize(this, r, allow);
            if (!allow)
                state = gsNormal;
        }
    }
}

// ---------------------------------------------------------------------------
// Fixed areas and text layout
// ---------------------------------------------------------------------------

void TExStringGrid::SetFixedFooters(int v)
{
    FFixedFooters = v;
    Invalidate();
}

void TExStringGrid::SetFixedRightCols(int v)
{
    FFixedRightCols = v;
    Invalidate();
}

void TExStringGrid::SetDefaultAlignment(TAlignment v)
{
    if (Store(FDefaultAlignment, v))
        Invalidate();
}

void TExStringGrid::SetWordWrap(bool v)
{
    TBaseGrid::SetWordWrap(v);
    FWordWrapEx = v;
    if (InplaceEditor())
        InplaceEditor()->SetWordWrap(v);
    if (FUpdateCount == 0)
        Invalidate();
}

void TExStringGrid::SetVAlignment(TVAlignment v)
{
    FVAlignment = v;
    FVAlignFlag = v == vtaCenter ? DT_VCENTER : (v == vtaBottom ? DT_BOTTOM : DT_TOP);
    if (FUpdateCount == 0)
        Invalidate();
}

// ---------------------------------------------------------------------------
// Headers
// ---------------------------------------------------------------------------

void TExStringGrid::SetColumnHeaders(const QStringList& v)
{
    if (TBaseGrid::FixedRows() > 0)
        ClearColumnHeaders();
    FColumnHeaders.Assign(v);
}

void TExStringGrid::ColumnHeadersListChanged()
{
    ColumnHeadersChanged();
    ShowColumnHeaders();
}

void TExStringGrid::ShowColumnHeaders()
{
    if (TBaseGrid::FixedRows() == 0)
        return;
    const int n = std::min(FColumnHeaders.Count(), TotalColCount());
    for (int i = 0; i < n; ++i)
        SetCellEx(i, 0, EscapesToLineBreaks(FColumnHeaders.List()[i]));
}

void TExStringGrid::ClearColumnHeaders()
{
    for (int i = 0; i < ColCount(); ++i)
        SetCellEx(i, 0, QString());
}

void TExStringGrid::SetRowHeaders(const QStringList& v)
{
    FRowHeaders.Assign(v);
}

void TExStringGrid::RowHeadersListChanged() { ShowRowHeaders(); }

void TExStringGrid::ShowRowHeaders()
{
    if (TBaseGrid::FixedCols() == 0)
        return;
    const int n = std::min(FRowHeaders.Count(), RowCount());
    for (int i = 0; i < n; ++i)
        SetCellEx(0, i, EscapesToLineBreaks(FRowHeaders.List()[i]));
}

void TExStringGrid::ClearRowHeaders()
{
    for (int i = 0; i < RowCount(); ++i)
        SetCellEx(0, i, QString());
}

// ---------------------------------------------------------------------------
// Merged columns
// ---------------------------------------------------------------------------

void TExStringGrid::MergedColumnsChanged()
{
    SplitAllColumnCells();
    MergeListedColumns();
}

void TExStringGrid::SplitAllColumnCells()
{
    if (FMergeCount == 0 && !FHasCellProps)
        return;
    for (int c = 0; c < ColCount(); ++c)
        SplitColumnCells(c);
}

void TExStringGrid::MergeListedColumns()
{
    for (int i = 0; i < FMergedColumns.Count(); ++i)
        MergeColumnCells(FMergedColumns.GetInteger(i), i == 0);
}

void TExStringGrid::MergeColumnCells(int colIndex, bool mainMerge)
{
    if (colIndex < 0)
        return;
    const int first = TBaseGrid::FixedRows();
    const int last = RowCount() - FFixedFooters - 1;
    int runStart = first;
    auto close = [&](int runEnd) {
        if (runEnd > runStart)
            MergeCells(colIndex, runStart, 1, runEnd - runStart + 1);
    };
    for (int r = first + 1; r <= last; ++r) {
        const bool same = GetCellEx(colIndex, r) == GetCellEx(colIndex, r - 1) &&
                          (mainMerge || RowSpanIdentical(r - 1, r));
        if (!same) {
            close(r - 1);
            runStart = r;
        }
    }
    close(last);
}

void TExStringGrid::SplitColumnCells(int colIndex)
{
    int r = 0;
    while (r < RowCount() - FFixedFooters - 1) {
        if (IsYMergedCell(colIndex, r)) {
            const int span = CellSpan(colIndex, r).Y;
            SplitCells(colIndex, r);
            r += span + 1;
        } else {
            ++r;
        }
    }
}

// ---------------------------------------------------------------------------
// Selection rectangle write
// ---------------------------------------------------------------------------

void TExStringGrid::SetSelection(const TGridRect& r)
{
    TBaseGrid::SetSelection(r);
    if (FActiveCellShow) {
        InvalidateRow(0);
        InvalidateCol(0);
    }
    if (FActiveRowShow)
        RepaintRow(r.Bottom);
}

// ---------------------------------------------------------------------------
// Appearance and behaviour setters
// ---------------------------------------------------------------------------

#define EX_STORE_INVALIDATE(setter, type, field)                                                                       \
    void TExStringGrid::setter(type v)                                                                                 \
    {                                                                                                                  \
        if (Store(field, v))                                                                                           \
            Invalidate();                                                                                              \
    }

EX_STORE_INVALIDATE(SetSelectionColor, TColor, FSelectionColor)
EX_STORE_INVALIDATE(SetSelectionColorTo, TColor, FSelectionColorTo)
EX_STORE_INVALIDATE(SetSelectionMirrorColor, TColor, FSelectionMirrorColor)
EX_STORE_INVALIDATE(SetSelectionMirrorColorTo, TColor, FSelectionMirrorColorTo)
EX_STORE_INVALIDATE(SetSelectionTextColor, TColor, FSelectionTextColor)
EX_STORE_INVALIDATE(SetSelectionColorMixer, bool, FSelectionColorMixer)
EX_STORE_INVALIDATE(SetSelectionRectangle, bool, FSelectionRectangle)
EX_STORE_INVALIDATE(SetSelectionResizer, bool, FSelectionResizer)
EX_STORE_INVALIDATE(SetShowDesignHelper, bool, FShowDesignHelper)
EX_STORE_INVALIDATE(SetActiveCellShow, bool, FActiveCellShow)
EX_STORE_INVALIDATE(SetActiveCellColor, TColor, FActiveCellColor)
EX_STORE_INVALIDATE(SetActiveCellColorTo, TColor, FActiveCellColorTo)
EX_STORE_INVALIDATE(SetDisabledFontColor, TColor, FDisabledFontColor)
EX_STORE_INVALIDATE(SetEnableHTML, bool, FEnableHTML)
EX_STORE_INVALIDATE(SetHideFocusRect, bool, FHideFocusRect)
EX_STORE_INVALIDATE(SetFixedAsButtons, bool, FFixedAsButtons)

#undef EX_STORE_INVALIDATE

void TExStringGrid::SetSelectionColorMixerFactor(int v)
{
    if (Store(FSelectionColorMixerFactor, std::clamp(v, 0, 100)))
        Invalidate();
}

void TExStringGrid::SetShowSelection(bool v)
{
    if (!Store(FShowSelection, v))
        return;
    FShowSel = v;
    Invalidate();
}

void TExStringGrid::SetMaxEditLength(int v)
{
    FMaxEditLength = v;
    if (InplaceEditor())
        InplaceEditor()->SetMaxLength(v);
}

void TExStringGrid::SetSpreadSheet(bool v)
{
    FSpreadSheet = v;
    SetSelectionRectangle(true);
    SetSelectionResizer(true);
    FNavigation->SetAllowSmartClipboard(true);
    SetOptions(Options() | goRangeSelect | goEditing);
    FMouseActions->SetRangeSelectAndEdit(true);
}

void TExStringGrid::SetAutoSize(bool v)
{
    FAutoSize = v;
    // Loading sizes them once the layout is read.
    if (v && !Loading())
        AutoSizeColumns(false, 10);
}

void TExStringGrid::SetFlat(bool v)
{
    FFlat = v;
    if (!Loading())
        Invalidate();
}

void TExStringGrid::SetScrollBarAlways(TScrollBarAlways v)
{
    FScrollBarAlways = v;
    UpdateScrollBarsAlways(true);
}

void TExStringGrid::SetCursor(TCursor c)
{
    TBaseGrid::SetCursor(c);
    FRestoreCursor = c;
}

void TExStringGrid::SetFixedFont(const TFont& v)
{
    FFixedFont.Assign(v);
    Invalidate();
}

void TExStringGrid::SetBorderColor(TColor v)
{
    FBorderColor = v;
    Invalidate();
}

void TExStringGrid::SetXYOffset(const TPoint& v)
{
    FXYOffset = v;
    Invalidate();
}

// ---------------------------------------------------------------------------
// Hooks of the data model
// ---------------------------------------------------------------------------

void TExStringGrid::QueryDisplText(int aCol, int aRow, QString& value)
{
    TBaseGrid::QueryDisplText(aCol, aRow, value);
    if (FURLShowInText && !value.isEmpty()) {
        static const QString prefixes[] = {QStringLiteral("HTTP://"),   QStringLiteral("WWW."),
                                           QStringLiteral("MAILTO:"),   QStringLiteral("HTTPS://"),
                                           QStringLiteral("NNTP://"),   QStringLiteral("FILE://"),
                                           QStringLiteral("FTP://")};
        for (const QString& prefix : prefixes) {
            QString linked;
            if (LinkURLText(value, prefix, linked)) {
                value = linked;
                break;
            }
        }
    }
    // Sub-group header rows inside the group are not data rows.
    if (aCol == 1 && FGrouping->ShowGroupCount() && IsNode(aRow)) {
        const int count = GetNodeSpan(aRow) - GetSubNodeCount(aRow) - 1;
        const QString format = FGrouping->GroupCountFormat();
        value += format.isEmpty() ? QStringLiteral(" (%1)").arg(count) : FormatFloatText(format, count);
    }
}

bool TExStringGrid::HasNodes() { return FNumNodes > 0; }

int TExStringGrid::RowNodeIndent(int aRow)
{
    if (FNumNodes <= 0 || aRow < 0)
        return 0;
    const TCellProperties* p = CellPropsAt(0, aRow);
    return p ? p->NodeLevel() * FCellNode->NodeIndent() : 0;
}

bool TExStringGrid::IsFixed(int aCol, int aRow)
{
    const TPoint base = BaseCell(RealColIndex(aCol), aRow);
    const int displayCol = DisplColIndexOf(base.X);
    if (base.Y >= RowCount() - FFixedFooters)
        return true;
    if (displayCol >= ColCount() - FFixedRightCols)
        return true;
    bool isFixed = false;
    QueryIsFixed(displayCol, base.Y, isFixed);
    return isFixed;
}

void TExStringGrid::QueryIsFixed(int aCol, int aRow, bool& isFixed)
{
    if (!isFixed) {
        isFixed = (FFixedRowAlways && RowCount() == FFixedRowsMin) ||
                  (FFixedColAlways && ColCount() == FFixedColsMin) || aCol < FixedCols() || aRow < FixedRows();
    }
    if (!isFixed && OnIsFixedCell)
        OnIsFixedCell(this, aRow, aCol, isFixed);
}

void TExStringGrid::QueryCanEdit(int aCol, int aRow, bool& canEdit)
{
    const TPoint base = BaseCell(aCol, aRow);
    if (canEdit) {
        if (const TCellProperties* p = CellPropsAt(base.X, base.Y)) {
            canEdit = !p->ReadOnly();
            // Editing only paused for the current cell still counts as on.
            if (!(Options() & goEditing) && !FEditDisable && !FMouseActions->RangeSelectAndEdit())
                canEdit = false;
        }
    }
    if (base.X < TotalColCount())
        DoCanEditCell(base.X, base.Y, canEdit);
    else
        canEdit = true;
}

void TExStringGrid::DoCanEditCell(int aCol, int aRow, bool& canEdit)
{
    if (OnCanEditCell)
        OnCanEditCell(this, aRow, aCol, canEdit);
}

void TExStringGrid::QueryIsPassword(int aCol, int aRow, bool& isPassword)
{
    if (OnIsPasswordCell)
        OnIsPasswordCell(this, aRow, aCol, isPassword);
}

void TExStringGrid::QueryWordWrap(int aCol, int aRow, bool& wordWrap)
{
    if (OnGetWordWrap)
        OnGetWordWrap(this, aCol, aRow, wordWrap);
}

bool TExStringGrid::QueryHasComboBox(int aCol, int aRow)
{
    if (OnHasComboBox) {
        bool has = false;
        OnHasComboBox(this, aCol, aRow, has);
        return has;
    }
    if (!FControlLook->DropDownAlwaysVisible())
        return false;
    TEditorType editor = FDefaultEditor;
    QueryCellEditor(aCol, aRow, editor);
    return editor == edComboEdit || editor == edComboList;
}

void TExStringGrid::QueryCheckTrue(int aCol, int aRow, QString& value)
{
    value = FCheckTrue;
    if (OnGetCheckTrue)
        OnGetCheckTrue(this, aCol, aRow, value);
}

void TExStringGrid::QueryCheckFalse(int aCol, int aRow, QString& value)
{
    value = FCheckFalse;
    if (OnGetCheckFalse)
        OnGetCheckFalse(this, aCol, aRow, value);
}

void TExStringGrid::QueryEditorType(int aCol, int aRow, TEditorType& editor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, aCol, aRow, editor);
}

void TExStringGrid::QueryCellEditor(int aCol, int aRow, TEditorType& editor)
{
    if (OnGetEditorType)
        OnGetEditorType(this, aCol, aRow, editor);
}

void TExStringGrid::QueryCellAlignment(int aCol, int aRow, TAlignment& hAlign, TVAlignment& vAlign)
{
    if (aCol == 0 && FMouseActions->HotmailRowSelect())
        hAlign = taCenter;
    if (OnGetAlignment)
        OnGetAlignment(this, aRow, aCol, hAlign, vAlign);
}

void TExStringGrid::QuerySortFormat(int aCol, TSortStyle& style, QString& prefix, QString& suffix)
{
    if (OnGetFormat)
        OnGetFormat(this, aCol, style, prefix, suffix);
}

void TExStringGrid::QueryCellColor(int aCol, int aRow, TBrush& brush, TFont& font, TGridDrawState state)
{
    const int displayCol = DisplColIndexOf(aCol);
    if (FActiveCellShow) {
        const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
        if ((aRow == Row() && fixedCols > 0 && displayCol + 1 == fixedCols) ||
            (displayCol == Col() && fixedRows > 0 && aRow + 1 == fixedRows)) {
            font.Assign(FActiveCellFont);
            brush.SetColor(FActiveCellColor);
        }
    }
    if (const TCellProperties* p = CellPropsAt(aCol, aRow)) {
        const TCellType type = GetCellType(aCol, aRow);
        if ((type == ctIcon || type == ctNone || type == ctImageList || type == ctEmpty || type == ctImages ||
             type == ctComment) &&
            p->BrushColor() != clNone)
            brush.SetColor(p->BrushColor());
        p->ApplyFontTo(font);
    }
    if (OnGetCellColor)
        OnGetCellColor(this, aRow, aCol, state, brush, font);
}

void TExStringGrid::QueryCellPrintColor(int aCol, int aRow, TBrush& brush, TFont& font, TGridDrawState state)
{
    if (OnGetCellPrintColor)
        OnGetCellPrintColor(this, aRow, aCol, state, brush, font);
}

void TExStringGrid::QueryCellBorder(int aCol, int aRow, TCellBorders& borders, TPen& pen)
{
    if (aCol > 0 && FGrouping->HeaderUnderline() && IsNode(aRow)) {
        borders = TCellBorders{cbBottom};
        pen.SetColor(FGrouping->HeaderLineColor());
        pen.SetWidth(FGrouping->HeaderLineWidth());
    } else if (aCol > 0 && FGrouping->SummaryLine() && IsSummary(aRow)) {
        borders = TCellBorders{cbTop};
        pen.SetColor(FGrouping->SummaryLineColor());
        pen.SetWidth(FGrouping->SummaryLineWidth());
    }
    if (OnGetCellBorder)
        OnGetCellBorder(this, aRow, aCol, pen, borders);
}

void TExStringGrid::QueryCellPrintBorder(int aCol, int aRow, TCellBorders& borders, TPen& pen)
{
    if (OnGetCellPrintBorder)
        OnGetCellPrintBorder(this, aRow, aCol, pen, borders);
}

void TExStringGrid::AdjustSizedColumnWidth(int aCol, int& aWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, aCol, aWidth);
}

void TExStringGrid::AdjustAutoSizedColumnWidth(int aCol, int& aWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, aCol, aWidth);
}

void TExStringGrid::CellsChanged(const TRect& r)
{
    if (OnCellsChanged)
        OnCellsChanged(this, r);
    for (const QPointer<TGridChangeNotifier>& n : std::vector<QPointer<TGridChangeNotifier>>(FNotifierList)) {
        if (n)
            n->CellsChanged(r);
    }
    CalcFooter(-1);
}

void TExStringGrid::DoSelectionChanged(int aLeft, int aTop, int aRight, int aBottom)
{
    // These looks draw the selection as one shape.
    if (FLook == glVista || FLook == glWin7 || FLook == glOffice2007)
        InvalidateRect(Selection());
    FSelChange = true;
    if (OnSelectionChanged)
        OnSelectionChanged(this, aLeft, aTop, aRight, aBottom);
}

TCellType TExStringGrid::GetCellType(int aCol, int aRow)
{
    if (aCol < 0 || aRow < 0)
        return ctEmpty;
    // Column 0 holds the rows' selection check boxes in the mail-like mode.
    if (aCol == 0 && FMouseActions->HotmailRowSelect())
        return ctRowCheckBox;
    // The cell's own object; descendants add what they answer for a cell.
    if (const auto* g = dynamic_cast<const TCellGraphic*>(GetGraphicObjectEx(aCol, aRow)))
        return g->CellType;
    return ctEmpty;
}

TCellGraphic* TExStringGrid::GetCellGraphic(int aCol, int aRow)
{
    if (aCol == 0 && aRow >= 0 && FMouseActions->HotmailRowSelect()) {
        // One shared object answers for every row; its state is the row's
        // selection, and in the header whether all or some rows are selected.
        TCellGraphic& g = *FRowCheckGraphic;
        g.CellType = ctRowCheckBox;
        if (aRow == 0) {
            const int selected = RowSelectCount();
            g.CellBoolean = selected >= RowCount() - TBaseGrid::FixedRows();
            g.CellAngle = selected > 0 && !g.CellBoolean ? 1 : 0;
        } else {
            const int row = RealRowIndex(aRow);
            g.CellBoolean = row < RowCount() + NumHiddenRows() && GetRowSelect(row);
            g.CellAngle = 0;
        }
        g.CellTransparent = FControlLook->ControlStyle() == csFlat;
        return &g;
    }
    if (aCol < 0 || aRow < 0)
        return nullptr;
    return dynamic_cast<TCellGraphic*>(GetGraphicObjectEx(aCol, aRow));
}
