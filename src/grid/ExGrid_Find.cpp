// Find, replace, the type-ahead row search and the search footer's actions.
#include "grid/ExGrid.h"

#include "grid/ExGrid_Private.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

using namespace platform;
using namespace exgrid_detail;

namespace {

bool Has(TFindParams params, TFindParameters flag) { return (params & flag) != 0; }

} // namespace

bool TExStringGrid::MatchCell(int aCol, int aRow, const QString& s, TFindParams findParams, bool wide)
{
    const int realCol = Has(findParams, fnIncludeHiddenColumns) ? aCol : RealColIndex(aCol);
    QString text;
    if (Has(findParams, fnIncludeHiddenRows))
        text = wide ? GetWideCellsEx(realCol, aRow) : GetCellsEx(realCol, aRow);
    else
        text = wide ? GetWideCells(realCol, aRow) : GetCellEx(realCol, aRow);
    if (Has(findParams, fnIgnoreHTMLTags) && !wide)
        text = StripHTMLTags(text);
    if (Has(findParams, fnMatchRegular)) {
        try {
            return MatchCondition(s, text, Has(findParams, fnMatchCase));
        } catch (...) {
            return false;
        }
    }
    if (s == QStringLiteral("\"\""))
        return text.isEmpty();
    QString wanted = s;
    if (!Has(findParams, fnMatchCase)) {
        text = text.toUpper();
        wanted = wanted.toUpper();
    }
    const qsizetype p = text.indexOf(wanted);
    bool found = Has(findParams, fnMatchStart) ? p == 0 : p >= 0;
    if (Has(findParams, fnMatchFull))
        found = found && text == wanted;
    return found;
}

TPoint TExStringGrid::FindCell(TPoint startCell, const QString& s, TFindParams findParams, bool wide)
{
    TPoint result{-1, -1};
    FFindParams = findParams;
    FFindBusy = true;
    ScopeExit idle{[this] { FFindBusy = false; }};
    FSearchCache = Has(findParams, fnMatchCase) ? s : s.toUpper();
    ExportNotification(esExportStart, -1);

    const int fixedCols = TBaseGrid::FixedCols(), fixedRows = TBaseGrid::FixedRows();
    if (ColCount() <= fixedCols || ColCount() == 0 || RowCount() <= fixedRows) {
        ExportNotification(esExportDone, -1);
        return result;
    }
    int c0 = fixedCols, c1 = ColCount() - FFixedRightCols - 1;
    int r0 = fixedRows, r1 = RowCount() - FFixedFooters - 1;
    if (Has(findParams, fnIncludeFixed)) {
        c0 = 0;
        c1 = ColCount() - 1;
        r0 = 0;
        r1 = RowCount() - 1;
    }
    if (Has(findParams, fnSelectedCells)) {
        const TGridRect sel = Selection();
        c0 = sel.Left;
        c1 = sel.Right;
        r0 = sel.Top;
        r1 = sel.Bottom;
    }
    if (Has(findParams, fnIncludeHiddenColumns))
        c1 += NumHiddenColumns();
    if (Has(findParams, fnIncludeHiddenRows))
        r1 += NumHiddenRows();
    const int curRow = Has(findParams, fnIncludeHiddenRows) ? RealRow() : Row();
    const int curCol = Has(findParams, fnIncludeHiddenColumns) ? RealCol() : Col();
    if (Has(findParams, fnFindInCurrentRow))
        r0 = r1 = curRow;
    if (Has(findParams, fnFindInPresetRow))
        r0 = r1 = FFindRow;
    if (Has(findParams, fnFindInCurrentCol))
        c0 = c1 = curCol;
    if (Has(findParams, fnFindInPresetCol))
        c0 = c1 = FFindCol;
    if (c0 < 0 || r0 < 0 || c1 < c0 || r1 < r0) {
        ExportNotification(esExportDone, -1);
        return result;
    }

    // Cells in scan order, numbered 0 .. total - 1.
    const bool rowWise = Has(findParams, fnDirectionLeftRight);
    const bool backward = Has(findParams, fnBackward);
    const qint64 cols = c1 - c0 + 1, rows = r1 - r0 + 1;
    const qint64 total = cols * rows;
    auto indexOf = [&](int c, int r) { return rowWise ? (r - r0) * cols + (c - c0) : (c - c0) * rows + (r - r0); };
    qint64 i;
    if (startCell.X == -1 && startCell.Y == -1) {
        i = backward ? total - 1 : 0;
    } else {
        // A start outside the range is taken to its nearest cell of it.
        const int sc = std::clamp(startCell.X, c0, c1), sr = std::clamp(startCell.Y, r0, r1);
        i = indexOf(sc, sr) + (backward ? -1 : 1);
    }
    int lastRow = -1;
    for (; i >= 0 && i < total; i += backward ? -1 : 1) {
        const int c = static_cast<int>(rowWise ? c0 + i % cols : c0 + i / rows);
        const int r = static_cast<int>(rowWise ? r0 + i / cols : r0 + i % rows);
        if (rowWise && IsIgnoredColumn(Has(findParams, fnIncludeHiddenColumns) ? c : RealColIndex(c)))
            continue;
        if (r != lastRow) {
            ExportNotification(esExportNewRow, r);
            lastRow = r;
        }
        if (MatchCell(c, r, s, findParams, wide)) {
            result = TPoint{c, r};
            break;
        }
    }
    if (result.X < 0) {
        FSearchCell = result;
        ExportNotification(esExportDone, -1);
        return result;
    }
    FSearchCell = result;
    if (Has(findParams, fnAutoGoto)) {
        int row = result.Y;
        if (Has(findParams, fnIncludeHiddenRows)) {
            if (IsHiddenRow(row)) {
                // The node that owns the row is opened first.
                int reach = 0;
                for (int d = TBaseGrid::FixedRows(); d < RowCount(); ++d) {
                    if (!IsNode(d))
                        continue;
                    const int real = RowDisplToReal(d);
                    reach = real + GetNodeSpan(d);
                    if (row > real && row < reach) {
                        ExpandNode(real);
                        break;
                    }
                }
            }
            row = IsHiddenRow(row) ? -1 : RowRealToDispl(row);
        }
        const int col = Has(findParams, fnIncludeHiddenColumns) ? DisplColIndexOf(result.X) : result.X;
        if (row >= 0 && row < RowCount() && col >= 0 && col < ColCount()) {
            if (DisjunctRowMode()) {
                ClearRowSelect();
                SetRowSelect(row, true);
                SetRow(row);
            } else {
                FocusCell(col, row);
            }
        }
    }
    ExportNotification(esExportFail, result.Y);
    if (!wide && Has(findParams, fnAutoGoto)) {
        const int footerRows = FFloatingFooter->Visible() ? 2 : 0;
        const int visible = VisibleRowCount() - footerRows;
        if (Row() >= TopRow() + visible && TopRow() + footerRows + 1 + VisibleRowCount() <= RowCount())
            SetTopRow(TopRow() + footerRows + 1);
    }
    return result;
}

TPoint TExStringGrid::Find(TPoint startCell, const QString& s, TFindParams findParams)
{
    return FindCell(startCell, s, findParams, false);
}

TPoint TExStringGrid::FindWide(TPoint startCell, const QString& s, TFindParams findParams)
{
    return FindCell(startCell, s, findParams, true);
}

TPoint TExStringGrid::FindFirst(const QString& s, TFindParams findParams)
{
    FSearchCell = Find(TPoint{-1, -1}, s, findParams);
    return FSearchCell;
}

TPoint TExStringGrid::FindNext()
{
    FSearchCell = Find(FSearchCell, FSearchCache, FFindParams);
    return FSearchCell;
}

int TExStringGrid::Replace(const QString& origStr, const QString& newStr, TFindParams findParams)
{
    if (origStr.isEmpty())
        return 0;
    // The scan moves on from each cell found, so a replacement that holds
    // the searched text cannot make it run forever.
    const Qt::CaseSensitivity cs = Has(findParams, fnMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    int count = 0;
    TPoint at{-1, -1};
    for (;;) {
        at = Find(at, origStr, findParams);
        if (at.X < 0)
            break;
        const int realCol = Has(findParams, fnIncludeHiddenColumns) ? at.X : RealColIndex(at.X);
        const int realRow = Has(findParams, fnIncludeHiddenRows) ? at.Y : RowDisplToReal(at.Y);
        // The stored text is edited; what a display hook adds stays out of it.
        const QString stored = GetGridCellsEx(realCol, realRow);
        QString changed = stored;
        changed.replace(origStr, newStr, cs);
        if (changed == stored)
            continue;
        SetCellsEx(realCol, realRow, changed);
        if (ModifiedMarking() && !IsHiddenRow(realRow))
            SetRowModified(RowRealToDispl(realRow), true);
        ++count;
    }
    return count;
}

int TExStringGrid::Search(const QString& s)
{
    if (RowCount() < 2)
        return -1;
    int column = TBaseGrid::FixedCols();
    if (FSortSettings->Show()) {
        if (FSortSettings->IndexShow())
            column = FSortIndexes.Count() > 0 ? FSortIndexes.GetSortColumns(0) : TBaseGrid::FixedCols();
        else
            column = FSortSettings->Column();
    }
    if (column < 0 || column >= TotalColCount())
        return -1;
    for (int r = TBaseGrid::FixedRows(); r < RowCount(); ++r)
        if (StripHTMLTags(GetCellEx(column, r)).left(s.size()).toUpper() == s)
            return r;
    return -1;
}

// ---------------------------------------------------------------------------
// Search footer
// ---------------------------------------------------------------------------

TFindParams TExStringGrid::SearchFooterParams(bool withDirection)
{
    TSearchFooter& sf = *FSearchFooter;
    TSearchPanel& p = *SearchPanel();
    TFindParams params = fnAutoGoto;
    if (p.HiliteButton()->Down())
        params |= fnIgnoreHTMLTags;
    if (p.MatchCase()->Checked())
        params |= fnMatchCase;
    if (sf.SearchActiveColumnOnly())
        params |= fnFindInCurrentCol;
    if (sf.SearchMatchStart())
        params |= fnMatchStart;
    // Find next and previous search the same cells as the search while typing.
    if (sf.SearchFixedCells())
        params |= fnIncludeFixed;
    if (sf.SearchHiddenRows())
        params |= fnIncludeHiddenRows;
    if (withDirection && sf.SearchDirection() == sdLeftRight)
        params |= fnDirectionLeftRight;
    if (sf.SearchColumn() >= 0 && sf.SearchColumn() < ColCount()) {
        params |= fnFindInPresetCol;
        FFindCol = sf.SearchColumn();
    }
    return params;
}

namespace {

void Highlight(TExStringGrid& g, const QString& text, bool doCase)
{
    const int col = g.SearchFooter().SearchColumn();
    if (col != -1)
        g.HilightInCol(false, doCase, g.RealColIndex(col), text);
    else
        g.HilightInGrid(false, doCase, text);
}

void UnHighlight(TExStringGrid& g)
{
    const int col = g.SearchFooter().SearchColumn();
    if (col != -1)
        g.UnHilightInCol(false, g.RealColIndex(col));
    else
        g.UnHilightInGrid(false);
}

} // namespace

void TExStringGrid::SearchFooterEditChange()
{
    TSearchPanel& p = *SearchPanel();
    const QString text = p.EditControl()->Text();
    for (TSearchPanelButton* b : {p.ForwardButton(), p.BackwardButton(), p.HiliteButton()})
        b->SetEnabled(!text.isEmpty());
    bool defaultSearch = true;
    if (OnSearchEditChange)
        OnSearchEditChange(this, text, defaultSearch);
    if (!defaultSearch || !FSearchFooter->AutoSearch())
        return;
    const TFindParams params = SearchFooterParams(true);
    const bool highlighting = p.HiliteButton()->Down() || FSearchFooter->AlwaysHighLight();
    if (highlighting)
        UnHighlight(*this);
    if (text.isEmpty()) {
        p.EditControl()->SetColor(clWindow);
        if (p.HiliteButton()->Down())
            UnHighlight(*this);
        return;
    }
    const TPoint found = Find(TPoint{-1, -1}, text, params);
    FSearchCell = found;
    DoSearchFooterAction(text, found.X, found.Y, saFindFirst);
    if (found.X < 0) {
        p.EditControl()->SetColor(clRed);
        return;
    }
    p.EditControl()->SetColor(clWindow);
    ScrollInView(Col(), Row());
    if (highlighting)
        Highlight(*this, text, p.MatchCase()->Checked());
}

void TExStringGrid::SearchFooterFindNext()
{
    TSearchPanel& p = *SearchPanel();
    const QString text = p.EditControl()->Text();
    if (!FSearchFooter->AutoSearch() && text != FSearchFooter->LastSearch()) {
        FSearchCell = TPoint{-1, -1};
        FSearchFooter->SetLastSearch(text);
    }
    const TPoint found = Find(FSearchCell, text, SearchFooterParams(true));
    FSearchCell = found;
    if (found.X >= 0)
        ScrollInView(Col(), Row());
    const int below = FFloatingFooter->Visible() ? 3 : 2;
    if (Row() > TopRow() + VisibleRowCount() - below && TopRow() + 2 + VisibleRowCount() <= RowCount())
        SetTopRow(TopRow() + 2);
    DoSearchFooterAction(text, found.X, found.Y, saFindNext);
    p.update();
}

void TExStringGrid::SearchFooterFindPrevious()
{
    TSearchPanel& p = *SearchPanel();
    const QString text = p.EditControl()->Text();
    if (!FSearchFooter->AutoSearch() && text != FSearchFooter->LastSearch()) {
        FSearchCell = TPoint{-1, -1};
        FSearchFooter->SetLastSearch(text);
    }
    // The backward scan always runs column by column.
    const TPoint found = Find(FSearchCell, text, SearchFooterParams(false) | fnBackward);
    FSearchCell = found;
    const int below = FFloatingFooter->Visible() ? 3 : 2;
    if (Row() > TopRow() + VisibleRowCount() - below && TopRow() + 2 + VisibleRowCount() <= RowCount())
        SetTopRow(TopRow() + 2);
    if (found.X >= 0)
        ScrollInView(Col(), Row());
    DoSearchFooterAction(text, found.X, found.Y, saFindPrevious);
    p.update();
}

void TExStringGrid::SearchFooterClose()
{
    if (OnSearchFooterClose)
        OnSearchFooterClose(this);
    FSearchFooter->SetVisible(false);
}

void TExStringGrid::SearchFooterHighlight()
{
    TSearchPanel& p = *SearchPanel();
    if (p.HiliteButton()->Down())
        Highlight(*this, p.EditControl()->Text(), p.MatchCase()->Checked());
    else
        UnHighlight(*this);
}
