// The base grid's cell painting. For now a plain painter: background, the
// grid's own lines and the content; the selection styles, hover and active
// row colours and gradients of the full cell painter come with it.
#include "widgets/BaseGrid.h"

using namespace platform;

void TBaseGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    PaintCellCore(Canvas(), col, row, rect, state, true);
}

void TBaseGrid::PaintCell(TCanvas& canvas, int aCol, int aRow, const TRect& rect, TGridDrawState state)
{
    PaintCellCore(canvas, aCol, aRow, rect, state, true);
}

void TBaseGrid::PaintCellExt(TCanvas& canvas, int aCol, int aRow, const TRect& rect, TGridDrawState state)
{
    PaintCellCore(canvas, aCol, aRow, rect, state, false);
}

void TBaseGrid::PaintCellCore(TCanvas& canvas, int aCol, int aRow, TRect rect, TGridDrawState state, bool full)
{
    if (FHideLastRow && aRow == RowCount() - 1) {
        canvas.Brush().SetColor(Color());
        canvas.Pen().SetColor(Color());
        canvas.FillRect(rect);
        return;
    }
    int baseCol = aCol, baseRow = aRow;
    if (!FindBaseCell(aCol, aRow, baseCol, baseRow)) {
        // A range is painted once per pass, through its base cell.
        TCellProperties* base = CellPropsAt(baseCol, baseRow);
        if (base && base->PaintID() != FPaintID) {
            base->SetPaintID(FPaintID);
            PaintCell(canvas, baseCol, baseRow, rect, state);
        }
        return;
    }
    if (full && IsFixed(aCol, aRow)) {
        state &= ~gdSelected;
        state |= gdFixed;
    }
    if (full) {
        const TRect whole = CellRect(aCol, aRow);
        if (!IsRectEmpty(whole))
            rect = whole;
    }
    canvas.Pen().SetWidth(1);
    canvas.SetFont(Font());
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = FWordWrap;
    TCellGradientDirection gd = GradientVertical;
    const bool fixed = (state & gdFixed) != 0 || aCol < FixedCols() || aRow < FixedRows();
    canvas.Brush().SetColor(fixed ? FixedColor() : ((state & gdSelected) && FShowSel ? clHighlight : Color()));
    GetVisualProperties(aCol, aRow, state, false, true, true, canvas.Brush(), colorTo, mirror, mirrorTo,
                        canvas.Font(), ha, va, ww, gd);
    canvas.Brush().SetStyle(bsSolid);
    canvas.FillRect(rect);

    const int lw = fixed ? 1 : (FGridLineWidth + 1) / 2;
    if (fixed || FGridLineWidth > 0) {
        canvas.Pen().SetColor(fixed ? FGridFixedLineColor : FGridLineColor);
        canvas.Pen().SetWidth(fixed ? 1 : FGridLineWidth);
        const TGridOptions o = Options();
        if ((!fixed && (o & goHorzLine)) || (fixed && (o & goFixedHorzLine))) {
            canvas.MoveTo(rect.Left - lw + 1, rect.Bottom - lw);
            canvas.LineTo(rect.Right - lw + 1, rect.Bottom - lw);
        }
        if ((!fixed && (o & goVertLine)) || (fixed && (o & goFixedVertLine))) {
            canvas.MoveTo(rect.Right - lw, rect.Bottom - lw);
            canvas.LineTo(rect.Right - lw, rect.Top - lw);
        }
    }
    TRect content = rect;
    if (fixed) {
        content.Right -= 1;
        content.Bottom -= 2;
    } else {
        InflateRect(content, -FGridLineWidth, -FGridLineWidth);
    }
    if (full)
        DrawCellContent(canvas, aCol, aRow, content, state);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Pen().SetStyle(psSolid);
}

void TBaseGrid::DrawCellContent(TCanvas& canvas, int aCol, int aRow, const TRect& rect, TGridDrawState state)
{
    TRect r = rect;
    canvas.Brush().SetStyle(bsClear);
    canvas.DrawText(GetCellEx(aCol, aRow), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
