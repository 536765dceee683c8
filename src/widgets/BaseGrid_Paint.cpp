// The base grid's cell painter: every cell of every grid passes through
// PaintCellCore, which resolves merged ranges, fills the background from the
// cell's visual properties with the hover, active-row and selection looks,
// draws the grid lines itself and hands the inner rectangle to the content
// painter.
#include "widgets/BaseGrid.h"

#include "widgets/ExUtil.h"

#include <algorithm>
#include <utility>

using namespace platform;

namespace {

struct TSelectionLook
{
    TColor From, To, MirrorFrom, MirrorTo, Frame, InnerTop, InnerBottom, InnerCorner;
};

// The round-framed selection of the styled looks, focused and not.
TSelectionLook SelectionLook(TGridSelectionStyle style, bool focused)
{
    if (!focused)
        return {0xF8F8F8, 0xE5E5E5, clNone, clNone, 0xD9D9D9, 0xFBFAFA, 0xF0F0F0, 0xEFEFEF};
    switch (style) {
    case ssWin7: return {0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xCEA27D, 0xFDF4EB, 0xFDEADB, 0xE0C5AE};
    case ssOffice2007: return {0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0x8DD7D3, 0xF4FEFF, 0xCAF8FF, 0xC3D9DF};
    case ssVista:
    default: return {0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDDE99, 0xFDFBF6, 0xFDF5E7, 0xFCEDCB};
    }
}

// Restores the canvas clip of the caller when the painter leaves, also on an
// exception from a content painter.
class ClipGuard
{
public:
    explicit ClipGuard(TCanvas& c) : canvas_(c), had_(c.HasClip())
    {
        if (had_)
            saved_ = c.ClipRegion();
    }
    ~ClipGuard()
    {
        if (!active_)
            return;
        if (had_)
            canvas_.SetClipRegion(saved_);
        else
            canvas_.RemoveClip();
        canvas_.Brush().SetStyle(bsSolid);
        canvas_.Pen().SetStyle(psSolid);
    }
    void Clip(const TRect& r)
    {
        active_ = true;
        canvas_.IntersectClipRect(r);
    }
    ClipGuard(const ClipGuard&) = delete;
    ClipGuard& operator=(const ClipGuard&) = delete;

private:
    TCanvas& canvas_;
    bool had_;
    bool active_ = false;
    TRegion saved_;
};

} // namespace

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
    // 1. The last row under the floating footer shows nothing of its own.
    if (FHideLastRow && aRow == RowCount() - 1) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(Color());
        canvas.Pen().SetColor(Color());
        canvas.FillRect(rect);
        return;
    }

    // 2. A cell inside a merged range paints the range once per pass.
    int baseCol = aCol, baseRow = aRow;
    if (!FindBaseCell(aCol, aRow, baseCol, baseRow)) {
        TCellProperties* base = CellPropsAt(baseCol, baseRow);
        if (base && base->PaintID() != FPaintID) {
            base->SetPaintID(FPaintID);
            PaintCell(canvas, baseCol, baseRow, rect, state);
        }
        return;
    }
    // The base cell paints the whole range; its pass number keeps the other
    // cells of the range from painting it again.
    if (TCellProperties* own = CellPropsAt(aCol, aRow); own && (own->CellSpanX() > 0 || own->CellSpanY() > 0))
        own->SetPaintID(FPaintID);

    // 3. Fixed cells of the grid's own fixed areas.
    if (full && IsFixed(aCol, aRow)) {
        state &= ~gdSelected;
        state |= gdFixed;
    }
    if (full) {
        const TRect whole = CellRect(aCol, aRow);
        if (!IsRectEmpty(whole))
            rect = whole;
    }

    // 4. A range scrolled partly under the fixed columns or rows is cut there.
    ClipGuard clip(canvas);
    const int fw = aCol >= FixedCols() ? FixedColsWidth() : 0;
    const int fh = aRow >= FixedRows() ? FixedRowsHeight() : 0;
    if ((aCol >= FixedCols() && FixedCols() > 0 && rect.Left < fw) ||
        (aRow >= FixedRows() && FixedRows() > 0 && rect.Top < fh))
        clip.Clip(Rect(fw, fh, std::max(fw, canvas.SurfaceWidth()), std::max(fh, canvas.SurfaceHeight())));

    // 5. The cell's own look.
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetMode(pmCopy);
    canvas.SetFont(Font());
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(Color());
    TColor colorTo = clNone, mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    bool ww = FWordWrap;
    TCellGradientDirection gd = GradientVertical;
    GetVisualProperties(aCol, aRow, state, false, true, true, canvas.Brush(), colorTo, mirror, mirrorTo,
                        canvas.Font(), ha, va, ww, gd);
    canvas.Pen().SetColor(canvas.Brush().Color());

    const bool selected = (state & gdSelected) != 0;
    const bool fixed = (state & gdFixed) != 0;

    // 6. The row under the mouse.
    if (aRow == FHoverRowIdx && FHoverRow) {
        bool admitted = true;
        if (selected && !FHoverRowCells.Contains(hcSelected))
            admitted = false;
        if (fixed && !FHoverRowCells.Contains(hcFixed))
            admitted = false;
        if (admitted) {
            canvas.Brush().SetColor(FHoverRowColor);
            colorTo = FHoverRowColorTo;
            mirror = clNone;
            mirrorTo = clNone;
            gd = GradientVertical;
        }
    }

    // 7. The current row; it wins over the hover row.
    if ((FActiveRowShow && aRow == Row() && aCol >= FixedCols() && (aCol != Col() || !FShowSel)) ||
        (!full && selected)) {
        canvas.Brush().SetColor(FActiveRowColor);
        colorTo = FActiveRowColorTo;
        mirror = FActiveRowMirrorColor;
        mirrorTo = FActiveRowMirrorColorTo;
    }
    canvas.Pen().SetColor(canvas.Brush().Color());

    // 8. Background: a styled selection, or the fill.
    if (selected && FSelectionStyle != ssDefault && FShowSel) {
        TGridRect sel = Selection();
        int l = sel.Left, r = sel.Right;
        if (r < l)
            std::swap(l, r);
        int kind = 0;
        if (aCol == l && l < r)
            kind = 1;
        else if (aCol == r && r > l)
            kind = 2;
        else if (l < aCol && aCol < r)
            kind = 3;
        TRect frame = rect;
        const TGridOptions o = Options();
        if (!(o & goHorzLine))
            ++frame.Bottom;
        if (!(o & goVertLine))
            ++frame.Right;
        const bool focused = hasFocus() || (o & goDrawFocusSelected);
        const TSelectionLook s = SelectionLook(FSelectionStyle, focused);
        DrawRoundFrame(canvas, s.From, s.To, kind, frame, Color(), s.InnerCorner, s.Frame, s.InnerBottom,
                       s.InnerTop, s.MirrorTo, s.MirrorFrom);
    } else if (!PlatformStylesActive() || (!fixed && !selected)) {
        const TColor brush = canvas.Brush().Color();
        if (mirrorTo != clNone)
            DrawGradientBackground(canvas, rect, brush, true, false, clNone, true, mirrorTo, mirror, colorTo);
        else
            DrawGradient(canvas, brush, colorTo, gd == GradientHorizontal, rect, 64);
    }

    // 9. Grid lines: the bottom and the right edge of every cell.
    int lw = 1;
    if (fixed) {
        canvas.Pen().SetColor(FGridFixedLineColor);
        canvas.Pen().SetWidth(1);
    } else {
        if (FGridLineWidth > 0)
            canvas.Pen().SetColor(FGridLineColor);
        canvas.Pen().SetWidth(FGridLineWidth);
        lw = (FGridLineWidth + 1) / 2;
    }
    canvas.Pen().SetStyle(psSolid);
    const TGridOptions o = Options();
    const bool horz = fixed ? (o & goFixedHorzLine) != 0 : (o & goHorzLine) != 0;
    const bool vert = fixed ? (o & goFixedVertLine) != 0 : (o & goVertLine) != 0;
    if (horz && !(baseCol == 0 && HasNodes())) {
        canvas.MoveTo(rect.Left - lw + 1, rect.Bottom - lw);
        canvas.LineTo(rect.Right - lw + 1, rect.Bottom - lw);
    }
    if (vert) {
        canvas.MoveTo(rect.Right - lw, rect.Bottom - lw);
        canvas.LineTo(rect.Right - lw, rect.Top - lw);
    }
    canvas.Pen().SetWidth(1);

    // 10. The content inside the lines.
    TRect content = rect;
    if (fixed) {
        content.Right -= 1;
        content.Bottom -= 2;
    } else {
        InflateRect(content, -FGridLineWidth, -FGridLineWidth);
    }
    if (full)
        DrawCellContent(canvas, aCol, aRow, content, state);

    // 11. The clip goes with the guard.
    canvas.Brush().SetStyle(bsSolid);
    canvas.Pen().SetStyle(psSolid);
}

void TBaseGrid::DrawCellContent(TCanvas& canvas, int aCol, int aRow, const TRect& rect, TGridDrawState state)
{
    TRect r = rect;
    canvas.Brush().SetStyle(bsClear);
    canvas.DrawText(GetCellEx(aCol, aRow), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    canvas.Brush().SetStyle(bsSolid);
}
