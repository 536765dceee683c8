// Measuring and printing the cells of one row for the page layout engine:
// print units (0.1 mm, y upward), column spacing S, cell gap and pixel scale L
// come from the layout (ExGrid_Print.cpp).
#include "grid/ExGrid.h"
#include "grid/ExGrid_PrintLayout.h"
#include "grid/ExGrid_Private.h"

#include "platform/Printing.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExUtil.h"

#include <cmath>

using namespace platform;

namespace {

// The lines of a cell's text; without multi-line cells one line.
QStringList CellLines(QString text, bool multiline)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!multiline)
        return {text.replace(QLatin1Char('\n'), QLatin1Char(' '))};
    return text.split(QLatin1Char('\n'));
}

} // namespace

void TGridPrintLayout::CellLook(int col, int row, TBrush& brush, TColor& colorTo, TFont& font, bool& wordWrap)
{
    TGridDrawState state = 0;
    TColor mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    TCellGradientDirection gd = GradientVertical;
    g.GetVisualProperties(col, row, state, true, false, true, brush, colorTo, mirror, mirrorTo, font, ha, va, wordWrap,
                          gd);
    font.SetHeight(g.MapFontHeight(font.Size()));
    g.QueryWordWrap(g.RealColIndex(col), row, wordWrap);
}

TSize TGridPrintLayout::MeasureCell(int col, int row)
{
    const int rc = g.RealColIndex(col);
    QString text = g.HasDataGraphic(rc, row) ? QString() : g.GetFormattedCell(rc, row);
    if (CellTextKind(text, g.FEnableHTML) == 1)
        text = StripHTMLTags(text);
    TBrush brush;
    TColor colorTo = clNone;
    TFont font;
    bool ww = false;
    CellLook(col, row, brush, colorTo, font, ww);
    int angle = 0;
    const bool rotated = g.IsRotated(rc, row, angle);
    if (text.isEmpty())
        text = QStringLiteral("gh");
    const QStringList lines = CellLines(text, g.FMultilineCells);
    const int lineH = lm->TextExtent(font, QStringLiteral("gh")).cy;
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, lm->TextExtent(font, line).cx);
    TSize size{widest, lineH * static_cast<int>(lines.size())};
    if (ww && ps.NoAutoSize && !rotated) {
        const int w = g.IsXMergedCell(col, row) ? 65535 : widths[col];
        size = TSize{w, lm->WrappedHeight(font, text, w)};
    }
    if (rotated) {
        const double a = angle * M_PI / 180.0;
        const int w = static_cast<int>(std::lround(std::fabs(std::cos(a) * size.cx)) +
                                       std::lround(std::fabs(std::sin(a) * size.cy)));
        const int h = static_cast<int>(std::lround(std::fabs(std::sin(a) * widest)) +
                                       std::lround(std::fabs(std::cos(a) * size.cy)));
        size = TSize{w, h};
    }
    return size;
}

void TGridPrintLayout::MeasureColumns()
{
    const int fixedCols = g.TBaseGrid::FixedCols();
    std::vector<int> cols;
    if (RepeatCols())
        for (int c = 0; c < std::min(fixedCols, rect.Left); ++c)
            cols.push_back(c);
    for (int c = rect.Left; c <= rect.Right; ++c)
        cols.push_back(c);
    for (int c : cols)
        widths[c] = 0;
    if (ps.NoAutoSize) {
        for (int c : cols)
            widths[c] = static_cast<int>(std::lround(g.ColWidths(c) * L));
        return;
    }
    std::vector<int> rows;
    if (ps.RepeatFixedRows)
        for (int r = 0; r < std::min(g.TBaseGrid::FixedRows(), rect.Top); ++r)
            rows.push_back(r);
    for (int r = rect.Top; r <= rect.Bottom; ++r)
        rows.push_back(r);
    for (int r : rows) {
        if (!RowPasses(r))
            continue;
        for (int c : cols) {
            if (!ColPasses(c) || g.IsXMergedCell(c, r))
                continue;
            const int w = ps.UseFixedWidth ? ps.FixedWidth : MeasureCell(c, r).cx;
            widths[c] = std::max(widths[c], w);
        }
    }
}

int TGridPrintLayout::RowHeight(int row)
{
    if (row == cachedRow)
        return cachedHeight;
    g.FFontScaleFactor = fitScale;
    exgrid_detail::ScopeExit reset([this] { g.FFontScaleFactor = 1.0; });
    int h = 0;
    if (ps.NoAutoSizeRow) {
        h = static_cast<int>(std::lround(g.RowHeights(row) * L)) - 4;
    } else if (ps.UseFixedHeight) {
        h = ps.FixedHeight;
    } else {
        int last = 0;
        auto measure = [&](int c) {
            if (!ColPasses(c) || g.IsYMergedCell(c, row))
                return;
            last = MeasureCell(c, row).cy;
            h = std::max(h, last);
        };
        if (repeatCols)
            for (int c = 0; c < g.TBaseGrid::FixedCols(); ++c)
                measure(c);
        for (int c = bandFirst; c <= bandEnd; ++c)
            measure(c);
        if (h == 0)
            h = last;
        h += h / 8;
    }
    if (g.OnPrintSetRowHeight)
        g.OnPrintSetRowHeight(&g, row, h);
    h = std::max(0, h);
    cachedRow = row;
    cachedHeight = h;
    return h;
}

int TGridPrintLayout::PrintRow(int y, int c1, int c2, int row)
{
    const int rowH = RowHeight(row);
    const int printed = rowH + 2 * gap + ps.RowSpacing;
    if (!PageInRange(page))
        return printed;
    g.FFontScaleFactor = fitScale;
    exgrid_detail::ScopeExit reset([this] { g.FFontScaleFactor = 1.0; });
    TCanvas& canvas = lm->Canvas();
    const int lastCol = TExStringGrid::MaxHiddenColumns - 1;
    // Cells are cut at the footer line; a row too tall for any page (printed
    // alone on its page) is cut above the footer area, so the footer stays clean.
    const int cutBottom = y - rowH > H + F ? H + ps.FooterSize : H + F;

    for (int c = c1; c <= c2; ++c) {
        if (!ColPasses(c))
            continue;
        const int rc = g.RealColIndex(c);

        // 1. Size of the cell, over its merged range.
        const TPoint span = g.CellSpan(c, row);
        int width = 0;
        for (int k = c; k <= std::min(c + span.X, lastCol); ++k)
            width += widths[k] + S;
        int height = printed;
        for (int r = row + 1; r <= row + span.Y && r < g.RowCount(); ++r) {
            const int t = static_cast<int>((g.RowHeights(r) - 4) * L);
            height += t + t / 8 + 2 * gap + ps.RowSpacing;
        }
        TRect r{indents[c], y, indents[c] + width, y - height};

        // 2. Borders.
        TCellBorders borders;
        switch (ps.Borders) {
        case pbSingle:
        case pbDouble: borders = {cbTop, cbLeft, cbRight, cbBottom}; break;
        case pbHorizontal:
        case pbAroundHorizontal: borders = {cbTop, cbBottom}; break;
        case pbVertical:
        case pbAroundVertical: borders = {cbLeft, cbRight}; break;
        default: break;
        }
        TPen pen;
        pen.SetWidth(1);
        pen.SetColor(ps.BorderColor);
        pen.SetStyle(ps.BorderStyle);
        g.QueryCellPrintBorder(rc, row, borders, pen);

        // The bottom is cut at the footer area (a row taller than a page).
        if (r.Bottom < cutBottom) {
            r.Bottom = std::max(y - printed, cutBottom);
            borders.Exclude(cbBottom);
        }
        const int clipRight = std::min(r.Right, W);

        // 3. Only the base cell of a merged range is filled and written.
        if (g.IsBaseCell(c, row)) {
            TBrush brush;
            TColor colorTo = clNone;
            TFont font;
            bool ww = false;
            CellLook(c, row, brush, colorTo, font, ww);
            const TRect device = lm->ToDevice(TRect{r.Left, r.Top, clipRight, r.Bottom});
            if (colorTo == clNone)
                lm->FillRect(TRect{r.Left, r.Top, clipRight, r.Bottom}, brush.Color());
            else
                DrawGradient(canvas, brush.Color(), colorTo, false, device, 64);

            const bool hadClip = canvas.HasClip();
            const TRegion savedClip = canvas.ClipRegion();
            canvas.IntersectClipRect(device);
            exgrid_detail::ScopeExit restoreClip([&] {
                if (hadClip)
                    canvas.SetClipRegion(savedClip);
                else
                    canvas.RemoveClip();
            });

            QString text = g.HasDataGraphic(rc, row) ? QString() : g.GetFormattedCell(rc, row);
            if (CellTextKind(text, g.FEnableHTML) == 1)
                text = StripHTMLTags(text);
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            g.ResolveCellAlignment(rc, row, ha, va);
            const int indent = lm->TextExtent(font, QStringLiteral("g")).cx / 2;
            const int ghH = lm->TextExtent(font, QStringLiteral("gh")).cy;
            const int textLineH = (ghH + ps.RowSpacing) + (ghH + ps.RowSpacing) / 8;
            int angle = 0;
            const bool rotated = g.IsRotated(rc, row, angle);
            const int cellH = r.Top - r.Bottom;

            if (text.isEmpty()) {
                // nothing to write
            } else if (rotated) {
                TCanvas measure;
                measure.SetFont(font);
                TRect down{r.Left, -r.Top, r.Right, -r.Bottom};
                const int v = va == vtaTop ? 0 : (va == vtaCenter ? 1 : 2);
                const int h = ha == taLeftJustify ? 0 : (ha == taRightJustify ? 1 : 2);
                g.AlignRotatedText(measure, down, angle, v, h, text);
                TFont turned(font);
                turned.SetOrientation(angle * 10);
                lm->TextOut(down.Left, -down.Top, text, turned);
            } else if (ww && ps.NoAutoSize) {
                const unsigned align = ha == taRightJustify ? DT_RIGHT : (ha == taCenter ? DT_CENTER : DT_LEFT);
                const int l2 = static_cast<int>(std::lround(2 * L));
                lm->DrawText(text, TRect{r.Left + l2 + indent, r.Top - gap, clipRight - indent, r.Bottom},
                             DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | align, font);
            } else {
                QString shown = text;
                if (g.FURLShow && !g.FURLFull && IsURL(shown))
                    StripURLScheme(shown);
                const QStringList lines = CellLines(shown, g.FMultilineCells);
                const int n = static_cast<int>(lines.size());
                const int step = textLineH - ps.RowSpacing;
                int ty = r.Top - gap;
                if (n == 1) {
                    const int th = ghH;
                    if (va == vtaCenter)
                        ty = r.Top - (cellH - th) / 2;
                    else if (va == vtaBottom)
                        ty = r.Bottom + th + gap;
                } else if (span.Y == 0) {
                    if (va == vtaCenter)
                        ty -= (rowH - step * n) / 2;
                    else if (va == vtaBottom)
                        ty -= rowH - step * n;
                }
                for (const QString& line : lines) {
                    const int tw = lm->TextExtent(font, line).cx;
                    int tx = r.Left + indent;
                    if (ha == taRightJustify)
                        tx = r.Right - indent - tw;
                    else if (ha == taCenter)
                        tx = r.Left + (r.Right - r.Left - tw) / 2;
                    lm->TextOut(tx, ty, line, font);
                    ty -= step;
                }
            }
            if (g.OnCustomCellDraw)
                g.OnCustomCellDraw(&g, canvas, rc, row, 0, device, true);
        }

        // 4. No lines inside a merged range.
        if (g.IsMergedCell(c, row) && !g.IsBaseCell(c, row)) {
            const TPoint base = g.BaseCell(c, row);
            const TPoint full = g.CellSpan(c, row);
            if (c < base.X + full.X)
                borders.Exclude(cbRight);
            if (c > base.X)
                borders.Exclude(cbLeft);
            if (row < base.Y + full.Y)
                borders.Exclude(cbBottom);
            if (row > base.Y)
                borders.Exclude(cbTop);
        }

        // 5.-7. Sides; the pen is a screen pixel wide on paper.
        const int penW = mode == Mode::Print ? static_cast<int>(std::lround(pen.Width() * L)) : pen.Width();
        auto side = [&](int x1, int y1, int x2, int y2) { lm->Line(x1, y1, x2, y2, pen.Color(), penW, pen.Style()); };
        if (borders.Contains(cbLeft))
            side(r.Left, r.Top, r.Left, r.Bottom);
        if (borders.Contains(cbRight))
            side(clipRight, r.Top, clipRight, r.Bottom);
        if (borders.Contains(cbTop))
            side(r.Left, r.Top, clipRight, r.Top);
        if (borders.Contains(cbBottom))
            side(r.Left, r.Bottom, clipRight, r.Bottom);
    }
    return printed;
}
