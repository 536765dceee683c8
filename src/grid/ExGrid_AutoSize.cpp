// Fitting columns and rows to their contents.
#include "grid/ExGrid.h"

#include <algorithm>

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
