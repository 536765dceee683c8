// Measuring and printing the cells of one row for the page layout engine:
// print units (0.1 mm, y upward), column spacing S, cell gap and pixel scale L
// come from the layout (ExGrid_Print.cpp).
#include "grid/ExGrid.h"
#include "grid/ExGrid_PrintLayout.h"
#include "grid/ExGrid_Private.h"

#include "platform/Printing.h"
#include "widgets/EsgHTMLE.h"
#include "widgets/ExObj.h"
#include "widgets/ExUtil.h"
#include "widgets/PictureContainer.h"

#include <cmath>
#include <functional>

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

void TGridPrintLayout::CellLook(int col, int row, TBrush& brush, TColor& colorTo, TFont& font, bool& wordWrap,
                                int* points)
{
    TGridDrawState state = 0;
    TColor mirror = clNone, mirrorTo = clNone;
    TAlignment ha = taLeftJustify;
    TVAlignment va = vtaTop;
    TCellGradientDirection gd = GradientVertical;
    g.GetVisualProperties(col, row, state, true, false, true, brush, colorTo, mirror, mirrorTo, font, ha, va, wordWrap,
                          gd);
    if (points)
        *points = font.Size();
    font.SetHeight(g.MapFontHeight(font.Size()));
    g.QueryWordWrap(g.RealColIndex(col), row, wordWrap);
}

namespace {

bool IsPrintedGraphic(TCellType t)
{
    switch (t) {
    case ctBitmap:
    case ctIcon:
    case ctImageList:
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctDataImage:
    case ctNode:
    case ctRadio:
    case ctImages:
    case ctPicture:
    case ctFilePicture:
    case ctProgress:
    case ctProgressPie:
    case ctInterface: return true;
    default: return false;
    }
}

bool IsCheckBoxKind(TCellType t)
{
    return t == ctCheckBox || t == ctDataCheckBox || t == ctVirtCheckBox || t == ctRowCheckBox || t == ctRadioButton;
}

// The node glyph's side in print units.
constexpr int NodeSide = 20;

} // namespace

TSize TGridPrintLayout::GraphicSize(int realCol, int row)
{
    if (!ps.PrintGraphics)
        return TSize{0, 0};
    const TExStringGrid::TCellGraphicLayout l = g.GetCellGraphicLayout(realCol, row);
    if (!l.Graphic || !IsPrintedGraphic(l.Graphic->CellType))
        return TSize{0, 0};
    if (l.Graphic->CellType == ctNode)
        return TSize{NodeSide, NodeSide};
    if (l.Graphic->CellType == ctRadio)
        return RadioGroupSize(realCol, row, *l.Graphic);
    return TSize{static_cast<int>(std::lround(l.Width * L)), static_cast<int>(std::lround(l.Height * L))};
}

THTMLDrawOptions TGridPrintLayout::HTMLOptions(int realCol, int row)
{
    THTMLDrawOptions o;
    o.Window = &g;
    o.PictureContainer = g.FPictureContainer;
    o.PictureCache = g.FImageCache.get();
    o.Images = g.CellImages(realCol, row);
    o.AnchorColor = g.FURLColor;
    return o;
}

TFont TGridPrintLayout::DeviceFont(const TFont& font) const
{
    TFont f(font);
    const int h = font.Height();
    f.SetHeight(h < 0 ? -lm->DeviceLength(-h) : lm->DeviceLength(h));
    return f;
}

int TGridPrintLayout::TurnedOrientation(int angle) const
{
    // Some printer drivers turn text the other way in landscape unless
    // their landscape rotation is 270 degrees.
    if (mode == Mode::Print && g.FPrinterDriverFix && Printer().LandscapeRotation() != 270)
        return -angle * 10;
    return angle * 10;
}

TSize TGridPrintLayout::MeasureCell(int col, int row)
{
    const int rc = g.RealColIndex(col);
    QString text = g.HasDataGraphic(rc, row) ? QString() : g.GetFormattedCell(rc, row);
    TBrush brush;
    TColor colorTo = clNone;
    TFont font;
    bool ww = false;
    int points = 0;
    CellLook(col, row, brush, colorTo, font, ww, &points);
    const TSize graphic = GraphicSize(rc, row);
    if (CellTextKind(text, g.FEnableHTML) == 1) {
        // At screen resolution in the print font's size, then in print units.
        TCanvas screen;
        TFont f(font);
        f.SetSize(points);
        screen.SetFont(f);
        THTMLDrawOptions o = HTMLOptions(rc, row);
        o.MeasureOnly = true;
        THTMLDrawResult res;
        const int boxW = ps.NoAutoSize ? g.ColWidths(col) + 12 : 65535;
        DrawHTMLText(screen, text, TRect{0, 0, boxW, 65535}, o, res);
        // Room for the indents the text is drawn between, or it wraps.
        const int room = lm->TextExtent(font, QStringLiteral("g")).cx + static_cast<int>(std::lround(2 * L));
        const TSize size{static_cast<int>(std::lround(res.Width * L)) + room,
                         static_cast<int>(std::lround(res.Height * L - gap * L))};
        return CustomSize(rc, row, TSize{std::max(size.cx + graphic.cx, graphic.cx), std::max(size.cy, graphic.cy)});
    }
    int angle = 0;
    const bool rotated = g.IsRotated(rc, row, angle);
    if (text.isEmpty())
        text = QStringLiteral("gh");
    const QStringList lines = CellLines(text, g.FMultilineCells);
    const int lineH = lm->TextExtent(font, QStringLiteral("gh")).cy;
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, lm->TextExtent(font, line).cx);
    TSize size{widest + graphic.cx, lineH * static_cast<int>(lines.size())};
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
    return CustomSize(rc, row, TSize{std::max(size.cx, graphic.cx), std::max(size.cy, graphic.cy)});
}

TSize TGridPrintLayout::CustomSize(int realCol, int row, TSize size)
{
    if (g.OnCustomCellSize)
        g.OnCustomCellSize(&g, lm->Canvas(), realCol, row, size, true);
    return size;
}

TSize TGridPrintLayout::RadioGroupSize(int realCol, int row, const TCellGraphic& graphic)
{
    // Its items in the cell's print font, each with room for its button.
    TBrush brush;
    TColor colorTo = clNone;
    TFont font;
    bool ww = false;
    CellLook(g.DisplColIndexOf(realCol), row, brush, colorTo, font, ww);
    const QStringList items = graphic.Strings ? *graphic.Strings : QStringList();
    const int button = static_cast<int>(std::lround(12 * L));
    const int lineH = lm->TextExtent(font, QStringLiteral("gh")).cy;
    int sum = 0, widest = 0;
    for (const QString& item : items) {
        const int w = lm->TextExtent(font, item).cx + button;
        sum += w;
        widest = std::max(widest, w);
    }
    if (graphic.CellBoolean) // side by side
        return TSize{sum, lineH};
    return TSize{std::max(widest, button), static_cast<int>(items.size()) * lineH};
}

TRect TGridPrintLayout::PlaceGraphic(int realCol, int row, const TSize& size, TAlignment ha, bool hasText, TRect& text)
{
    // Print units, y upward: Top is above Bottom.
    const TExStringGrid::TCellGraphicLayout l = g.GetCellGraphicLayout(realCol, row);
    const int l1 = static_cast<int>(std::lround(L));
    const int w = size.cx, h = size.cy;
    const TRect cell = text;
    TRect gr = cell;
    TCellHAlign hal = l.HAlign;
    if (IsCheckBoxKind(l.Graphic->CellType) && !hasText)
        hal = ha == taRightJustify ? haRight : (ha == taCenter ? haCenter : hal);
    if (w > 0) {
        switch (hal) {
        case haLeft:
        case haBeforeText:
            gr.Left = cell.Left + l1;
            gr.Right = gr.Left + w;
            text.Left = gr.Right;
            break;
        case haRight:
        case haAfterText:
            gr.Right = cell.Right - l1;
            gr.Left = gr.Right - w;
            text.Right = gr.Left;
            break;
        case haCenter:
            gr.Left = cell.Left + (cell.Right - cell.Left - w) / 2;
            gr.Right = gr.Left + w;
            break;
        case haFull: break;
        }
    }
    if (h > 0) {
        switch (l.VAlign) {
        case vaTop:
        case vaAboveText:
            gr.Top = cell.Top - l1;
            gr.Bottom = gr.Top - h;
            if (l.VAlign == vaAboveText)
                text.Top = gr.Bottom;
            break;
        case vaBottom:
        case vaUnderText:
            gr.Bottom = cell.Bottom + l1;
            gr.Top = gr.Bottom + h;
            if (l.VAlign == vaUnderText)
                text.Bottom = gr.Top;
            break;
        case vaCenter:
            gr.Top = cell.Top - (cell.Top - cell.Bottom - h) / 2;
            gr.Bottom = gr.Top - h;
            break;
        case vaFull: break;
        }
    }
    return gr;
}

void TGridPrintLayout::PrintGraphic(int rc, int row, const TRect& graphic, const TRect& cell, TColor background,
                                    const TFont& font)
{
    TCellGraphic* cg = g.GetCellGraphic(rc, row);
    if (!cg || !IsPrintedGraphic(cg->CellType))
        return;
    TCanvas& canvas = lm->Canvas();
    const TRect dr = lm->ToDevice(graphic);
    // Device pixels per screen pixel.
    const double scale = L * lm->ResolutionX() / 254.0;
    const TExStringGrid::TCellGraphicLayout l = g.GetCellGraphicLayout(rc, row);
    // Drawn at screen size on the cell's background, then stretched.
    auto viaBitmap = [&](int w, int h, const std::function<void(TCanvas&)>& draw) {
        if (w <= 0 || h <= 0)
            return;
        TBitmap b(w, h);
        b.Canvas().Brush().SetStyle(bsSolid);
        b.Canvas().Brush().SetColor(background == clNone ? clWhite : background);
        b.Canvas().FillRect(TRect{0, 0, w, h});
        draw(b.Canvas());
        canvas.StretchDraw(dr, b);
    };
    switch (cg->CellType) {
    case ctBitmap:
        if (cg->Bitmap)
            canvas.StretchDraw(dr, *cg->Bitmap);
        break;
    case ctIcon:
        if (cg->Icon) {
            TBitmap icon(*cg->Icon);
            icon.SetTransparent(true);
            canvas.StretchDraw(dr, icon);
        }
        break;
    case ctPicture:
        if (cg->Picture)
            cg->Picture->Draw(canvas, dr);
        break;
    case ctFilePicture:
        if (const auto* fp = dynamic_cast<const TFilePicture*>(cg->CellBitmap))
            fp->DrawPicture(canvas, dr);
        break;
    case ctImageList:
    case ctDataImage:
    case ctImages: {
        TImageList* images = g.CellImages(rc, row);
        if (!images)
            break;
        viaBitmap(l.Width, l.Height, [&](TCanvas& c) {
            if (cg->CellType == ctImageList) {
                images->Draw(c, 0, 0, cg->CellIndex);
            } else if (cg->CellType == ctDataImage) {
                try {
                    images->Draw(c, 0, 0, g.GetInts(rc, row) + cg->CellIndex);
                } catch (const std::exception&) {
                    // no number, no picture
                }
            } else if (cg->Images) {
                int x = 0, y = 0;
                for (int i = 0; i < cg->Images->Count(); ++i) {
                    images->Draw(c, x, y, cg->Images->GetInteger(i));
                    if (cg->CellBoolean)
                        x += images->Width();
                    else
                        y += images->Height();
                }
            }
        });
        break;
    }
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox: {
        bool checked = cg->CellBoolean;
        if (cg->CellType == ctDataCheckBox || cg->CellType == ctVirtCheckBox) {
            QString checkTrue;
            g.QueryCheckTrue(rc, row, checkTrue);
            checked = g.GetCellEx(rc, row) == checkTrue;
        }
        unsigned flags = DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0u);
        if (g.FControlLook->ControlStyle() == csFlat)
            flags |= DFCS_FLAT;
        DrawFrameControl(canvas, dr, DFC_BUTTON, flags);
        break;
    }
    case ctNode: {
        const TColor color = g.CellNode().NodeColor();
        const TRect sq{graphic.Left, graphic.Top, graphic.Left + NodeSide, graphic.Top - NodeSide};
        lm->Line(sq.Left, sq.Top, sq.Right, sq.Top, color, 1, psSolid);
        lm->Line(sq.Right, sq.Top, sq.Right, sq.Bottom, color, 1, psSolid);
        lm->Line(sq.Right, sq.Bottom, sq.Left, sq.Bottom, color, 1, psSolid);
        lm->Line(sq.Left, sq.Bottom, sq.Left, sq.Top, color, 1, psSolid);
        const int midY = sq.Top - NodeSide / 2, midX = sq.Left + NodeSide / 2;
        lm->Line(sq.Left + 4, midY, sq.Right - 4, midY, color, 1, psSolid);
        if (cg->CellBoolean)
            lm->Line(midX, sq.Top - 4, midX, sq.Bottom + 4, color, 1, psSolid);
        break;
    }
    case ctRadio: {
        const TFont saved = canvas.Font();
        canvas.SetFont(DeviceFont(font));
        const int count = cg->Strings ? static_cast<int>(cg->Strings->size()) : 0;
        g.DrawCellRadios(canvas, lm->ToDevice(cell), false, scale, g.FControlLook->ControlStyle(), row, rc, false,
                         cg->Strings, false, cg->CellBoolean, cg->CellIndex, count);
        canvas.SetFont(saved);
        break;
    }
    case ctProgress: {
        double value = 0;
        try {
            value = g.GetFloats(rc, row);
        } catch (const std::exception&) {
            value = 0;
        }
        const int l2 = static_cast<int>(std::lround(2 * L)), l4 = static_cast<int>(std::lround(4 * L));
        TRect pr = lm->ToDevice(TRect{cell.Left, cell.Top + l2, cell.Right, cell.Bottom - l4});
        const TColor fg = cg->CellBitmapColor, bk = cg->CellIconColor;
        const TColor fgText = cg->CellBoolean ? static_cast<TColor>(cg->CellIndex) : (ColorToRGB(bk) ^ 0xFFFFFF);
        const TColor bkText = cg->CellBoolean ? static_cast<TColor>(cg->CellAngle) : (ColorToRGB(fg) ^ 0xFFFFFF);
        const TFont saved = canvas.Font();
        canvas.SetFont(DeviceFont(font));
        const TControlLook& cl = *g.FControlLook;
        DrawProgress(canvas, pr, fg, false, cl.ProgressBorderColor(), cg->CellText, cg->CellErrLen, cg->CellErrFrom,
                     static_cast<int>(std::lround(cl.ProgressMarginY() * scale)),
                     static_cast<int>(std::lround(cl.ProgressMarginX() * scale)), value, bkText, bk, fgText);
        canvas.SetFont(saved);
        break;
    }
    case ctProgressPie:
        DrawProgressPie(canvas, dr, cg->CellBitmapColor, false, cg->CellAngle);
        break;
    case ctInterface:
        if (auto* i = dynamic_cast<ICellGraphic*>(cg->CellBitmap)) {
            const int w = l.Width > 0 ? l.Width : static_cast<int>(std::lround(dr.Width() / scale));
            const int h = l.Height > 0 ? l.Height : static_cast<int>(std::lround(dr.Height() / scale));
            viaBitmap(w, h, [&](TCanvas& c) { i->DrawCellGraphic(c, TRect{0, 0, w, h}, &g, false, row, rc); });
        }
        break;
    default: break;
    }
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
            // Sides without a line keep the fill off the neighbour's line.
            TRect fill{r.Left, r.Top, clipRight, r.Bottom};
            if (!borders.Contains(cbLeft))
                fill.Left += 2 * pen.Width();
            if (!borders.Contains(cbTop))
                fill.Top -= 2 * pen.Width();
            if (colorTo == clNone)
                lm->FillRect(fill, brush.Color());
            else
                DrawGradient(canvas, brush.Color(), colorTo, false, lm->ToDevice(fill), 64);

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
            const bool html = CellTextKind(text, g.FEnableHTML) == 1;
            TAlignment ha = taLeftJustify;
            TVAlignment va = vtaTop;
            g.ResolveCellAlignment(rc, row, ha, va);
            const int indent = lm->TextExtent(font, QStringLiteral("g")).cx / 2;
            const int ghH = lm->TextExtent(font, QStringLiteral("gh")).cy;
            const int textLineH = (ghH + ps.RowSpacing) + (ghH + ps.RowSpacing) / 8;
            int angle = 0;
            const bool rotated = g.IsRotated(rc, row, angle);

            // The graphic takes its place; the text keeps the rest.
            TRect tr = r;
            const TSize graphicSize = GraphicSize(rc, row);
            TRect graphic;
            TCellGraphic* cg = ps.PrintGraphics ? g.GetCellGraphic(rc, row) : nullptr;
            const bool printsGraphic = ps.PrintGraphics && cg && IsPrintedGraphic(cg->CellType);
            if (printsGraphic) {
                graphic = PlaceGraphic(rc, row, graphicSize, ha, !text.isEmpty(), tr);
                if (cg->CellType == ctRadio)
                    text.clear();
            }
            const int textRight = std::min(tr.Right, W);
            const int cellH = tr.Top - tr.Bottom;

            if (text.isEmpty()) {
                // nothing to write
            } else if (html) {
                const int l2 = static_cast<int>(std::lround(2 * L));
                const TRect box = lm->ToDevice(TRect{tr.Left + indent, tr.Top - gap, textRight - indent - l2, tr.Bottom});
                const TFont saved = canvas.Font();
                canvas.SetFont(DeviceFont(font));
                canvas.Brush().SetStyle(bsClear);
                THTMLDrawOptions o = HTMLOptions(rc, row);
                o.PictureScale = lm->ResolutionX() / static_cast<double>(PixelsPerInch);
                THTMLDrawResult res;
                DrawHTMLText(canvas, text, box, o, res);
                canvas.Brush().SetStyle(bsSolid);
                canvas.SetFont(saved);
            } else if (rotated) {
                TCanvas measure;
                measure.SetFont(font);
                TRect down{tr.Left, -tr.Top, tr.Right, -tr.Bottom};
                const int v = va == vtaTop ? 0 : (va == vtaCenter ? 1 : 2);
                const int h = ha == taLeftJustify ? 0 : (ha == taRightJustify ? 1 : 2);
                g.AlignRotatedText(measure, down, angle, v, h, text);
                TFont turned(font);
                turned.SetOrientation(TurnedOrientation(angle));
                lm->TextOut(down.Left, -down.Top, text, turned);
            } else if (ww && ps.NoAutoSize) {
                const unsigned align = ha == taRightJustify ? DT_RIGHT : (ha == taCenter ? DT_CENTER : DT_LEFT);
                const int l2 = static_cast<int>(std::lround(2 * L));
                lm->DrawText(text, TRect{tr.Left + l2 + indent, tr.Top - gap, textRight - indent, tr.Bottom},
                             DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | align, font);
            } else {
                QString shown = text;
                if (g.FURLShow && !g.FURLFull && IsURL(shown))
                    StripURLScheme(shown);
                const QStringList lines = CellLines(shown, g.FMultilineCells);
                const int n = static_cast<int>(lines.size());
                const int step = textLineH - ps.RowSpacing;
                int ty = tr.Top - gap;
                if (n == 1) {
                    const int th = ghH;
                    if (va == vtaCenter)
                        ty = tr.Top - (cellH - th) / 2;
                    else if (va == vtaBottom)
                        ty = tr.Bottom + th + gap;
                } else if (span.Y == 0) {
                    if (va == vtaCenter)
                        ty -= (rowH - step * n) / 2;
                    else if (va == vtaBottom)
                        ty -= rowH - step * n;
                }
                for (const QString& line : lines) {
                    const int tw = lm->TextExtent(font, line).cx;
                    int tx = tr.Left + indent;
                    if (ha == taRightJustify)
                        tx = tr.Right - indent - tw;
                    else if (ha == taCenter)
                        tx = tr.Left + (tr.Right - tr.Left - tw) / 2;
                    lm->TextOut(tx, ty, line, font);
                    ty -= step;
                }
            }
            if (printsGraphic)
                PrintGraphic(rc, row, graphic, r, brush.Color(), font);
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
        // A column after the band's first draws its left line one pen width
        // further left, onto the neighbour's right line.
        const int leftX = c == c1 ? r.Left : r.Left - penW;
        if (borders.Contains(cbLeft))
            side(leftX, r.Top, leftX, r.Bottom);
        if (borders.Contains(cbRight))
            side(clipRight, r.Top, clipRight, r.Bottom);
        if (borders.Contains(cbTop))
            side(r.Left, r.Top, clipRight, r.Top);
        if (borders.Contains(cbBottom))
            side(r.Left, r.Bottom, clipRight, r.Bottom);
    }
    return printed;
}
