// Fitting columns and rows to their contents.
#include "grid/ExGrid.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

bool InMergedRange(TBaseGrid& grid, int realCol, int row, bool horizontal)
{
    const TPoint base = grid.BaseCell(realCol, row);
    const TPoint span = grid.CellSpan(base.X, base.Y);
    return horizontal ? span.X > 0 : span.Y > 0;
}

} // namespace

// Equal limits keep the value; a limit of 0 is none.
int TExStringGrid::LimitSize(int v, int minV, int maxV) const
{
    if (minV == maxV)
        return v;
    if (v < minV && minV > 0)
        v = minV;
    if (v > maxV && maxV > 0)
        v = maxV;
    return v;
}

void TExStringGrid::FitColumnWidth(int aCol, bool growOnly)
{
    int first = 0, last = RowCount() - 1;
    switch (FColumnSize->Rows()) {
    case arNormal:
        first = TBaseGrid::FixedRows();
        last = RowCount() - FFixedFooters - 1;
        break;
    case arFixed: last = TBaseGrid::FixedRows() - 1; break;
    case arAll: break;
    }
    const int real = RealColIndex(aCol);
    int widest = 0;
    for (int r = first; r <= last; ++r) {
        if (InMergedRange(*this, real, r, true))
            continue;
        const TSize graphic = GetCellGraphicSize(real, r);
        int w = graphic.cx + GetCellTextSize(real, r, false, false).cx;
        if (FControlLook->DropDownAlwaysVisible() && QueryHasComboBox(real, r))
            w += 16;
        if (IsSortIndicatorRow(real, r) && real == FSortSettings->Column())
            w += 10;
        const TCellGraphic* g = GetCellGraphic(real, r);
        if (g && g->CellHAlign == haFull)
            w = graphic.cx - 2 * GridLineWidth() - FXYOffset.X - 2;
        widest = std::max(widest, w);
    }
    int width = widest + TotalXOffset() + 2 * GridLineWidth() + 2;
    if (growOnly && ColWidths(aCol) >= width)
        return;
    AdjustAutoSizedColumnWidth(aCol, width);
    SetColWidths(aCol, LimitSize(width, FMinColWidth, FMaxColWidth));
}

void TExStringGrid::AutoSizeCol(int aCol, int padding)
{
    if (aCol < 0 || aCol >= ColCount())
        throw REruVidaZuvez(QStringLiteral("Invalid column accessed"));
    FitColumnWidth(aCol, FSizeGrowOnly);
    if (padding != 0)
        SetColWidths(aCol, LimitSize(ColWidths(aCol) + padding, FMinColWidth, FMaxColWidth));
}

void TExStringGrid::AutoSizeColumns(bool doFixedCols, int padding)
{
    const int first = doFixedCols ? 0 : TBaseGrid::FixedCols();
    const int last = doFixedCols ? ColCount() - 1 : ColCount() - FFixedRightCols - 1;
    for (int c = first; c <= last; ++c)
        AutoSizeCol(c, padding);
}

void TExStringGrid::AutoSizeCells(bool doFixedCells, int paddingX, int paddingY)
{
    BeginUpdate();
    try {
        const int firstCol = doFixedCells ? 0 : TBaseGrid::FixedCols();
        const int firstRow = doFixedCells ? 0 : TBaseGrid::FixedRows();
        for (int c = firstCol; c < ColCount(); ++c) {
            const int real = RealColIndex(c);
            int a = FSizeGrowOnly ? ColWidths(c) : 0;
            for (int r = firstRow; r < RowCount(); ++r) {
                const TSize text = GetCellTextSize(real, r, false, false);
                const TSize graphic = GetCellGraphicSize(real, r);
                const int w = text.cx + graphic.cx + paddingX + FXYOffset.X;
                const int h = text.cy + graphic.cy + paddingY + FXYOffset.Y;
                if (!InMergedRange(*this, real, r, true) && w > a) {
                    const int limited = LimitSize(w, FMinColWidth, FMaxColWidth);
                    if (limited > a) {
                        SetColWidths(c, limited);
                        a = limited;
                    }
                }
                if (!InMergedRange(*this, real, r, false) && h > RowHeights(r)) {
                    const int limited = LimitSize(h, FMinRowHeight, FMaxRowHeight);
                    if (limited > RowHeights(r))
                        SetRowHeights(r, limited);
                }
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TExStringGrid::FitRowHeight(int aRow, bool growOnly)
{
    int highest = 0;
    for (int c = 0; c < ColCount(); ++c) {
        const int real = RealColIndex(c);
        if (IsIgnoredColumn(real) || (InMergedRange(*this, real, aRow, false) && !IsBaseCell(real, aRow)))
            continue;
        const TCellType type = GetCellType(real, aRow);
        int h = 0;
        if (type == ctCheckBox || type == ctDataCheckBox || type == ctVirtCheckBox || type == ctRadioButton) {
            h = DefaultRowHeight();
        } else {
            // A graphic filling the cell's height takes what the row gives
            // it: measured, it would grow the row at every fit.
            const TCellGraphic* g = GetCellGraphic(real, aRow);
            const int text = GetCellTextSize(real, aRow, false, FWordWrap).cy;
            if (g && g->CellVAlign == vaFull)
                h = GetCellEx(real, aRow).isEmpty() ? DefaultRowHeight() : text;
            else
                h = text + GetCellGraphicSize(real, aRow).cy;
        }
        highest = std::max(highest, h);
    }
    int height = highest + TotalYOffset() + 2 * GridLineWidth() + (FXYOffsetTopLeftOnly ? 2 : 0);
    if (growOnly && RowHeights(aRow) >= height)
        return;
    SetRowHeights(aRow, std::max(0, LimitSize(height, FMinRowHeight, FMaxRowHeight)));
    // The text editor follows the new height, its caret at the end of the text.
    if (VisibleRowCount() + TBaseGrid::FixedRows() >= RowCount() && EditorMode() && FSizeWhileTyping->Height()) {
        if (TInplaceEdit* editor = InplaceEditor(); editor && editor->isVisible()) {
            editor->SetSelStart(static_cast<int>(editor->Text().size()));
            editor->SetSelLength(0);
        }
    }
}

void TExStringGrid::AutoSizeRow(int aRow, int padding)
{
    if (aRow < 0 || aRow >= RowCount())
        throw REruVidaZuvez(QStringLiteral("Invalid row accessed"));
    FitRowHeight(aRow, FSizeGrowOnly);
    if (padding != 0)
        SetRowHeights(aRow, std::max(0, LimitSize(RowHeights(aRow) + padding, FMinRowHeight, FMaxRowHeight)));
}

// Without word wrap a row is as high as its most-lined cell (one line unless
// cells hold several), in the font of its first normal column.
int TExStringGrid::LineCountHeight(int aRow, int extra, int lines)
{
    if (lines < 1 && FMultilineCells) {
        lines = 1;
        for (int c = 0; c < ColCount(); ++c)
            lines = std::max(lines, GetLinesInCell(RealColIndex(c), aRow));
    }
    lines = std::max(lines, 1);
    const int firstNormal = std::min(TBaseGrid::FixedCols(), std::max(0, ColCount() - 1));
    TCanvas& canvas = Canvas();
    const TFont saved = canvas.Font();
    TFont font;
    font.Assign(Font());
    TBrush brush;
    QueryCellColor(RealColIndex(firstNormal), aRow, brush, font, 0);
    canvas.SetFont(font);
    const int th = canvas.TextHeight(QStringLiteral("gh"));
    canvas.SetFont(saved);
    return std::max(0, LimitSize(extra + lines * (th + th / 8), FMinRowHeight, FMaxRowHeight));
}

void TExStringGrid::AutoSizeRows(bool doFixedRows, int padding)
{
    if (RowCount() == 0)
        return;
    const int first = doFixedRows ? 0 : TBaseGrid::FixedRows();
    ExportNotification(esExportStart, first);
    for (int r = first; r < RowCount(); ++r) {
        if (FWordWrap)
            AutoSizeRow(r, padding);
        else
            SetRowHeights(r, LineCountHeight(r, padding));
        ExportNotification(esExportNextRow, r);
    }
    ExportNotification(esExportDone, -1);
    SetScrollBarAlways(FScrollBarAlways);
}

void TExStringGrid::AutoFitColumns(bool doFixedCells)
{
    if (ColCount() <= 0)
        return;
    const bool rowsHidden = VisibleRowCount() + TBaseGrid::FixedRows() < RowCount();
    const int s = FScrollBarAlways == saVert || (ScrollBars() != ssNone && ScrollBars() != ssHorizontal && rowsHidden)
                      ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                      : 0;
    const int b = BorderStyle() == bsSingle ? 2 : 0;
    const int fixedLeft = TBaseGrid::FixedCols();
    int first = 0, last = ColCount() - 1;
    int w = Width();
    if (!doFixedCells) {
        first = fixedLeft;
        last = ColCount() - FFixedRightCols - 1;
        for (int c = 0; c < ColCount(); ++c)
            if (c < first || c > last)
                w -= ColWidths(c);
    }
    int l = 0;
    if (Options() & goVertLine)
        l = GridLineWidth() * (ColCount() - fixedLeft - FFixedRightCols);
    if (doFixedCells && (Options() & goFixedVertLine))
        l += fixedLeft + FFixedRightCols;
    const int room = w - s - b;
    if (ColCount() < 2) {
        SetColWidths(0, std::max(0, Width() - s - 5));
    } else {
        if (last < first)
            return;
        const int count = last - first + 1;
        int total = 0;
        for (int c = first; c <= last; ++c)
            total += ColWidths(c);
        if (total == room)
            return;
        if (total <= 0) {
            // All fitted columns are empty: the room is shared out evenly.
            for (int c = first; c <= last; ++c)
                SetColWidths(c, std::max(0, (room - l) / count));
        } else {
            const double e = double(room - l) / total;
            double r = 0;
            for (int c = first; c <= last; ++c)
                r += std::round(e * ColWidths(c));
            for (int c = first; c <= last; ++c)
                SetColWidths(c, std::max(0, int(std::round(ColWidths(c) * r / total))));
        }
        int sum = 0;
        for (int c = first; c <= last; ++c)
            sum += ColWidths(c);
        int rest = room - sum;
        if (rest > count && count > 1) {
            for (int c = first; c <= last; ++c)
                SetColWidths(c, ColWidths(c) + rest / count);
            rest %= count;
        }
        if (rest != 0) {
            int widest = 0;
            for (int c = first + 1; c <= last; ++c)
                if (ColWidths(c) > ColWidths(widest))
                    widest = c;
            SetColWidths(widest, std::max(0, ColWidths(widest) + rest));
        }
    }
}

void TExStringGrid::SizeToCols()
{
    int w = 0;
    for (int c = 0; c < ColCount(); ++c)
        w += ColWidths(c);
    SetWidth(w + (Width() - ClientWidth()));
}

void TExStringGrid::SizeToRows()
{
    int h = 0;
    for (int r = 0; r < RowCount(); ++r)
        h += RowHeights(r);
    SetHeight(h + (Height() - ClientHeight()));
}

void TExStringGrid::SizeToCells()
{
    const TScrollStyle bars = ScrollBars();
    SetScrollBars(ssNone);
    SizeToCols();
    SizeToRows();
    SetScrollBars(bars);
}
