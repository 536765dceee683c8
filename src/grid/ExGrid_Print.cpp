// Printing and preview of the grid: one layout engine counts pages, prints
// them on the platform's printer and draws them into any canvas.
//
// Layout and drawing are in the low-metric mapping mode (0.1 mm, y upward:
// every position below the top edge of a page is negative). Columns are cut
// into bands that fit the page width, each band into pages; fixed rows and
// columns may repeat on every page. Measuring and printing the cells of a row
// is in ExGrid_PrintCells.cpp.
#include "grid/ExGrid.h"
#include "grid/ExGrid_PrintLayout.h"
#include "grid/ExGrid_Private.h"

#include "platform/Printing.h"
#include "widgets/EsgHTMLE.h"

#include <QDateTime>
#include <QLocale>

#include <climits>
#include <cmath>

using namespace platform;

namespace {

// The date and time picture of the print settings ("dd/mm/yyyy", "hh:nn").
QString FormatPrintDateTime(const QString& picture, const QDateTime& when)
{
    QString out;
    const QDate d = when.date();
    const QTime t = when.time();
    bool afterHour = false;
    for (qsizetype i = 0; i < picture.size();) {
        const QChar ch = picture[i].toLower();
        qsizetype n = 1;
        while (i + n < picture.size() && picture[i + n].toLower() == ch)
            ++n;
        auto pad = [](int v, qsizetype width) { return QString::number(v).rightJustified(width, u'0'); };
        if (ch == u'y') {
            out += n <= 2 ? pad(d.year() % 100, 2) : QString::number(d.year());
        } else if (ch == u'm' && !afterHour) {
            if (n >= 4)
                out += QLocale::c().monthName(d.month());
            else if (n == 3)
                out += QLocale::c().monthName(d.month(), QLocale::ShortFormat);
            else
                out += pad(d.month(), n);
        } else if (ch == u'd') {
            if (n >= 4)
                out += QLocale::c().dayName(d.dayOfWeek());
            else if (n == 3)
                out += QLocale::c().dayName(d.dayOfWeek(), QLocale::ShortFormat);
            else
                out += pad(d.day(), n);
        } else if (ch == u'h') {
            out += pad(t.hour(), std::min<qsizetype>(n, 2));
        } else if (ch == u'n' || (ch == u'm' && afterHour)) {
            out += pad(t.minute(), std::min<qsizetype>(n, 2));
        } else if (ch == u's') {
            out += pad(t.second(), std::min<qsizetype>(n, 2));
        } else {
            out += picture.mid(i, n);
        }
        if (ch != u':' && ch != u' ')
            afterHour = ch == u'h';
        i += n;
    }
    return out;
}

bool InHeader(TPrintPosition p) { return p == ppTopLeft || p == ppTopRight || p == ppTopCenter; }
bool InFooter(TPrintPosition p) { return p == ppBottomLeft || p == ppBottomRight || p == ppBottomCenter; }

} // namespace

// ---------------------------------------------------------------- public operations

int TExStringGrid::MapFontHeight(int pointSize) const
{
    return -static_cast<int>(pointSize * 254.0 / 72.0 * FFontScaleFactor);
}

int TExStringGrid::MapFontSize(int height) { return static_cast<int>(height * 72.0 / 254.0); }

void TExStringGrid::QueryPrintPageNum(int pageNum, int pageColNum, QString& pageNumString)
{
    if (OnPrintGetPageNum)
        OnPrintGetPageNum(this, pageNum, pageColNum, pageNumString);
}

void TExStringGrid::Print() { PrintRect(TGridRect{0, 0, ColCount() - 1, RowCount() - 1}); }

void TExStringGrid::PrintRect(const TGridRect& gridRect) { TGridPrintLayout::PrintJob(*this, gridRect, false); }

void TExStringGrid::PrintSelection() { PrintRect(Selection()); }

void TExStringGrid::PrintSelectedRows()
{
    TGridPrintLayout::PrintJob(*this, TGridRect{0, 0, ColCount() - 1, RowCount() - 1}, true);
}

void TExStringGrid::PrintSelectedCols() { PrintSelectedRows(); }

void TExStringGrid::PrintPreview(TCanvas& canvas, const TRect& displayRect)
{
    PrintPreviewRect(canvas, displayRect, TGridRect{0, 0, ColCount() - 1, RowCount() - 1});
}

void TExStringGrid::PrintPreviewRect(TCanvas& canvas, const TRect& displayRect, const TGridRect& gridRect)
{
    TGridPrintLayout::PreviewJob(*this, canvas, displayRect, gridRect, false);
}

void TExStringGrid::PrintPreviewSelection(TCanvas& canvas, const TRect& displayRect)
{
    PrintPreviewRect(canvas, displayRect, Selection());
}

void TExStringGrid::PrintPreviewSelectedRows(TCanvas& canvas, const TRect& displayRect)
{
    TGridPrintLayout::PreviewJob(*this, canvas, displayRect, TGridRect{0, 0, ColCount() - 1, RowCount() - 1}, true);
}

void TExStringGrid::PrintPreviewSelectedCols(TCanvas& canvas, const TRect& displayRect)
{
    PrintPreviewSelectedRows(canvas, displayRect);
}

void TExStringGrid::PrintDraw(TCanvas& canvas, const TRect& drawRect)
{
    PrintDrawRect(canvas, drawRect, TGridRect{0, 0, ColCount() - 1, RowCount() - 1});
}

void TExStringGrid::PrintDrawRect(TCanvas& canvas, const TRect& drawRect, const TGridRect& gridRect)
{
    FPrintRect = gridRect;
    FPrevRect = drawRect;
    FPrintPageFrom = FPrintPageTo = FPrintNrOfPages = 1;
    TLowMetricCanvas lm(canvas, TPoint{drawRect.Left, drawRect.Top});
    const int w = lm.ToLogicalX(drawRect.Right), h = lm.ToLogicalY(drawRect.Bottom);
    const bool hadClip = canvas.HasClip();
    const TRegion savedClip = canvas.ClipRegion();
    canvas.IntersectClipRect(drawRect);
    exgrid_detail::ScopeExit restore([&] {
        if (hadClip)
            canvas.SetClipRegion(savedClip);
        else
            canvas.RemoveClip();
    });
    TGridPrintLayout(*this, &lm, TGridPrintLayout::Mode::Print, false, w, h, 1).Run();
}

// ---------------------------------------------------------------- jobs

void TGridPrintLayout::PrintJob(TExStringGrid& g, const TGridRect& gridRect, bool selectionFilter)
{
    g.ExportNotification(esExportStart, -1);
    g.FPrintRect = gridRect;
    TPrintSettings& ps = *g.FPrintSettings;
    TPrinter& printer = Printer();
    if (!ps.UseDefaultOrientation)
        printer.SetLandscape(ps.Orientation == poLandscape);
    const int w = printer.ResolutionX() > 0
                      ? static_cast<int>(std::lround(254.0 / printer.ResolutionX() * printer.PageWidth()))
                      : 0;
    const int h = printer.ResolutionY() > 0
                      ? static_cast<int>(std::lround(254.0 / printer.ResolutionY() * printer.PageHeight()))
                      : 0;
    g.FPrevRect = TRect{0, 0, w, h};
    printer.SetTitle(ps.JobName);

    // Without FastPrint the pages are counted first, so the page texts can
    // show the total; with it the total stays unknown (0) and is not shown.
    int count = 0;
    if (!g.FFastPrint) {
        TCanvas measure;
        TLowMetricCanvas lm(measure);
        count = TGridPrintLayout(g, &lm, Mode::CountPrint, selectionFilter, w, -h, 0).Run();
    }
    g.FPrintPageFrom = 1;
    g.FPrintPageTo = g.FFastPrint ? INT_MAX : count;
    g.FPrintNrOfPages = count;
    if (g.OnPrintStart) {
        int from = g.FPrintPageFrom, to = g.FPrintPageTo;
        g.OnPrintStart(&g, count, from, to);
        g.FPrintPageFrom = from;
        g.FPrintPageTo = to;
    }
    if (g.FPrintPageFrom <= 0 || g.FPrintPageTo <= 0 || g.FPrintPageTo < g.FPrintPageFrom ||
        (!g.FFastPrint && count == 0)) {
        g.ExportNotification(esExportDone, -1);
        return;
    }
    if (!g.FFastPrint)
        g.FPrintNrOfPages = g.FPrintPageTo;
    // Nothing to print (no cells, no paper): no job, not even a blank sheet.
    if (w <= 0 || h <= 0 || gridRect.Right < gridRect.Left || gridRect.Bottom < gridRect.Top) {
        g.ExportNotification(esExportDone, -1);
        return;
    }

    printer.BeginDoc();
    bool done = false;
    exgrid_detail::ScopeExit endJob([&] {
        if (!done)
            printer.Abort();
    });
    TLowMetricCanvas lm(printer.Canvas());
    const int laidOut = TGridPrintLayout(g, &lm, Mode::Print, selectionFilter, w, -h, count).Run();
    if (g.FFastPrint)
        g.FPrintNrOfPages = std::min(laidOut, g.FPrintPageTo);
    printer.EndDoc();
    done = true;
    g.ExportNotification(esExportDone, -1);
}

void TGridPrintLayout::PreviewJob(TExStringGrid& g, TCanvas& canvas, const TRect& displayRect,
                                  const TGridRect& gridRect, bool selectionFilter)
{
    g.ExportNotification(esExportStart, -1);
    g.FPrintRect = gridRect;
    g.FPrevRect = displayRect;
    TLowMetricCanvas lm(canvas, TPoint{displayRect.Left, displayRect.Top});
    const int w = lm.ToLogicalX(displayRect.Right), h = lm.ToLogicalY(displayRect.Bottom);
    exgrid_detail::ScopeExit done([&] {
        g.ExportNotification(esExportDone, -1);
        g.FIsPrintPreview = false;
    });
    int count = 1;
    if (!g.FFastPrint)
        count = TGridPrintLayout(g, &lm, Mode::CountPreview, selectionFilter, w, h, 0).Run();
    g.FPrintNrOfPages = count;
    g.FIsPrintPreview = true;
    // The event sees the whole preview and may call it off; the pages
    // drawn are the ones chosen for the preview (SetPreviewPage).
    int from = 1, to = count;
    if (g.OnPrintStart)
        g.OnPrintStart(&g, count, from, to);
    if (from <= 0 || to <= 0 || to < from)
        return;
    g.FPrevRect = displayRect;
    const bool hadClip = canvas.HasClip();
    const TRegion savedClip = canvas.ClipRegion();
    canvas.IntersectClipRect(displayRect);
    exgrid_detail::ScopeExit restore([&] {
        if (hadClip)
            canvas.SetClipRegion(savedClip);
        else
            canvas.RemoveClip();
    });
    TGridPrintLayout(g, &lm, Mode::Preview, selectionFilter, w, h, g.FFastPrint ? 0 : count).Run();
}

// ---------------------------------------------------------------- layout engine

TGridPrintLayout::TGridPrintLayout(TExStringGrid& grid, TLowMetricCanvas* canvas, Mode mode, bool selectionFilter,
                                   int pageWidth, int pageHeight, int totalPages)
    : g(grid), ps(*grid.FPrintSettings), lm(canvas), mode(mode), filter(selectionFilter), W(pageWidth),
      H(pageHeight), total(totalPages)
{
}

bool TGridPrintLayout::Drawing() const { return mode == Mode::Print || mode == Mode::Preview; }

bool TGridPrintLayout::PageInRange(int page) const
{
    return Drawing() && page >= g.FPrintPageFrom && page <= g.FPrintPageTo;
}

bool TGridPrintLayout::RowPasses(int row) const
{
    if (!filter)
        return true;
    if (row < g.TBaseGrid::FixedRows() && ps.FixedCellsAlways)
        return true;
    TMouseActions& ma = *g.FMouseActions;
    if (ma.DisjunctRowSelect())
        return g.GetRowSelect(ma.RowSelectPersistent() ? g.RealRowIndex(row) : row);
    const TGridRect sel = g.Selection();
    return row >= sel.Top && row <= sel.Bottom;
}

bool TGridPrintLayout::ColPasses(int col) const
{
    if (!filter)
        return true;
    TMouseActions& ma = *g.FMouseActions;
    if (ma.DisjunctRowSelect())
        return true;
    if (col < g.TBaseGrid::FixedCols() && ps.FixedCellsAlways)
        return true;
    if (ma.DisjunctColSelect())
        return g.GetColSelect(col);
    const TGridRect sel = g.Selection();
    return col >= sel.Left && col <= sel.Right;
}

TFont TGridPrintLayout::MappedFont(const TFont& f) const
{
    TFont font(f);
    font.SetHeight(g.MapFontHeight(f.Size()));
    return font;
}

int TGridPrintLayout::Run()
{
    const TGridRect pr = g.FPrintRect;
    rect = pr;
    rect.Left = std::max(0, rect.Left);
    rect.Top = std::max(0, rect.Top);
    rect.Right = std::min(rect.Right, g.ColCount() - 1);
    rect.Bottom = std::min(rect.Bottom, g.RowCount() - 1);
    if (rect.Right >= TExStringGrid::MaxHiddenColumns)
        throw REruVidaZuvez(QStringLiteral("Columns is not in valid range"));
    // An empty grid, an empty range or a page without room lays out nothing.
    if (rect.Right < rect.Left || rect.Bottom < rect.Top || W <= 0 || H >= 0)
        return 0;

    g.FFontScaleFactor = 1.0;
    exgrid_detail::ScopeExit resetScale([this] { g.FFontScaleFactor = 1.0; });
    widths = g.FPrintColWidths.data();
    indents = g.FPrintColOffsets.data();

    // 2., 3. Frame pen and line heights.
    framePen.SetColor(clBlack);
    framePen.SetStyle(ps.BorderStyle);
    frameWidth = ps.Borders == pbDouble ? 10 : 2;
    headerFont = MappedFont(ps.HeaderFont);
    footerFont = MappedFont(ps.FooterFont);
    const TFont cellFont = MappedFont(ps.UseDisplayFont ? g.Font() : ps.Font);
    headerLineH = lm->TextExtent(headerFont, QStringLiteral("gh")).cy;
    footerLineH = lm->TextExtent(footerFont, QStringLiteral("gh")).cy;
    gap = lm->TextExtent(cellFont, QStringLiteral("gh")).cy / 8;
    L = 254.0 / PixelsPerInch;
    g.FPrintPageRect = TRect{0, 0, W, H};
    MeasureHTMLTitle();

    // 5. Column widths.
    S = ps.UseFixedWidth ? 0 : ps.ColumnSpacing + 20;
    MeasureColumns();

    // 6. Fit to page.
    double scale = 1.0;
    if (ps.FitToPage != fpNever) {
        long long sum = 0;
        int n = 0;
        for (int c = rect.Left; c <= rect.Right; ++c) {
            ++n;
            if (ColPasses(c))
                sum += widths[c] + S;
        }
        const long long v = static_cast<long long>(n) * S;
        if (sum != v)
            scale = static_cast<double>(W - ps.RightSize - ps.LeftSize - v) / static_cast<double>(sum - v);
        if (ps.FitToPage == fpShrink && scale > 1.0)
            scale = 1.0;
        if (ps.FitToPage == fpGrow && scale < 1.0)
            scale = 1.0;
        if (scale <= 0.0)
            scale = 1.0; // margins wider than the page: nothing sensible to fit to
        if (scale != 1.0 && ps.FitToPage == fpCustom) {
            bool allow = true;
            if (g.OnFitToPage)
                g.OnFitToPage(&g, scale, allow);
            if (!allow || scale <= 0.0)
                scale = 1.0;
        }
        if (scale != 1.0) {
            for (int c = rect.Left; c <= rect.Right; ++c)
                widths[c] = static_cast<int>(widths[c] * scale);
            if (RepeatCols())
                for (int c = 0; c < std::min(g.TBaseGrid::FixedCols(), rect.Left); ++c)
                    widths[c] = static_cast<int>(widths[c] * scale);
        }
    }
    fitScale = scale;

    // 7.
    if (g.OnPrintSetColumnWidth)
        for (int c = rect.Left; c <= rect.Right; ++c)
            g.OnPrintSetColumnWidth(&g, c, widths[c]);

    // 8., 9. Bands and pages.
    leftOutRows = rect.Top > g.TBaseGrid::FixedRows() || rect.Bottom < g.RowCount() - 1 - g.FFixedFooters;
    page = 1;
    int col = rect.Left;
    band = 0;
    cancelled = false;
    while (col <= rect.Right && !cancelled) {
        ++band;
        LayoutBand(col);
        if (bandEnd < rect.Right)
            split = true;
        LayoutPages();
        col = bandEnd + 1;
        if (col > rect.Right || cancelled || PastRange())
            break;
        BeginNextPage();
    }
    return page;
}

bool TGridPrintLayout::RepeatCols() const { return ps.RepeatFixedCols && g.TBaseGrid::FixedCols() > 0; }

// Drawing modes need no pages after the range: stop there.
bool TGridPrintLayout::PastRange() const { return Drawing() && page >= g.FPrintPageTo; }

void TGridPrintLayout::BeginNextPage()
{
    if (mode == Mode::Print && PageInRange(page + 1) && page >= g.FPrintPageFrom)
        Printer().NewPage();
    ++page;
    if (PageInRange(page) && g.OnPrintPage)
        g.OnPrintPage(&g, lm->Canvas(), page, W, H);
}

void TGridPrintLayout::LayoutBand(int first)
{
    const int fixedCols = g.TBaseGrid::FixedCols();
    bandFirst = first;
    repeatCols = RepeatCols() && first >= fixedCols;
    const int base = ps.Centered ? 0 : ps.LeftSize;

    // a. Repeated fixed columns.
    int x = base;
    if (repeatCols) {
        for (int c = 0; c < fixedCols; ++c) {
            indents[c] = x;
            if (ColPasses(c))
                x += widths[c] + S;
        }
    }
    const int B = x - base;

    // b. The columns that fit; an over-wide column makes a band of its own.
    int run = B;
    bandEnd = first;
    for (int c = first; c <= rect.Right; ++c) {
        const int add = ColPasses(c) ? widths[c] + S : 0;
        if (c > first && run + add > W - ps.RightSize)
            break;
        run += add;
        bandEnd = c;
    }

    // c. Left positions.
    x = base;
    for (int c = first; c <= bandEnd; ++c) {
        indents[c] = x;
        if (ColPasses(c))
            x += widths[c] + S;
    }
    if (ps.Centered && run < W) {
        const int shift = (W - run) / 2;
        for (int c = first; c <= bandEnd; ++c)
            indents[c] += shift;
        if (repeatCols)
            for (int c = 0; c < fixedCols; ++c)
                indents[c] += shift;
    }
    for (int c = first; c <= bandEnd; ++c)
        indents[c] += B;
    frameLeft = repeatCols ? indents[0] : indents[first];
    frameRight = indents[bandEnd] + (ColPasses(bandEnd) ? widths[bandEnd] + S : 0);
    g.FPrintPageWidth = frameRight - frameLeft;
    g.FPrintColStart = first;
    g.FPrintColEnd = bandEnd;

    // d. Header and footer areas.
    const int titleLines = ps.TitleText.isEmpty() ? static_cast<int>(ps.TitleLines.size()) : 1;
    const TPrintPosition items[] = {ps.Time, ps.Date, ps.PageNr, ps.Title};
    bool header = false, footer = false;
    for (TPrintPosition p : items) {
        header = header || InHeader(p);
        footer = footer || InFooter(p);
    }
    if (header) {
        E = gap + headerLineH + ps.HeaderSize;
        if (InHeader(ps.Title) && !htmlTitle.isEmpty())
            E += std::max(0, htmlTitleH - headerLineH);
        else if (InHeader(ps.Title) && titleLines > 1)
            E += (titleLines - 1) * headerLineH;
    } else {
        E = ps.HeaderSize;
    }
    if (footer) {
        F = 2 * (gap + footerLineH) + ps.FooterSize;
        if (InFooter(ps.Title) && !htmlTitle.isEmpty())
            F += std::max(0, htmlTitleH - footerLineH);
        else if (InFooter(ps.Title) && titleLines > 1)
            F += (titleLines - 1) * footerLineH;
    } else {
        F = gap + footerLineH + ps.FooterSize;
    }

    // e.
    if (PageInRange(page) && g.OnPrintPage)
        g.OnPrintPage(&g, lm->Canvas(), page, W, H);
}

void TGridPrintLayout::LayoutPages()
{
    const int fixedRows = g.TBaseGrid::FixedRows();
    int row = rect.Top;
    int pageInBand = 1;
    bool firstOfPage = true;
    int y = 0;
    int rowsOnPage = 0;
    lastRowBottom = 0;
    while (row <= rect.Bottom && !cancelled) {
        g.ExportNotification(leftOutRows ? esExportSelRow : esExportNewRow, row);
        if (firstOfPage) {
            firstOfPage = false;
            rowsOnPage = 0;
            y = -E;
            if (PageInRange(page))
                DrawHeaderFooter(pageInBand);
            y -= ps.TitleSpacing;
            gridTop = y;
            if (row > 0 && row >= fixedRows && (page != 1 || rect.Top > fixedRows) && ps.RepeatFixedRows &&
                fixedRows > 0) {
                for (int r = 0; r < fixedRows; ++r)
                    y -= PrintBandRow(y, r);
            }
        }
        if (RowPasses(row)) {
            // A row taller than the room of a page goes onto a page of its
            // own, cut at the footer, so the layout always moves on.
            if (y - RowHeight(row) > H + F || rowsOnPage == 0) {
                y -= PrintBandRow(y, row);
                ++rowsOnPage;
                ++row;
            } else {
                rowsOnPage = -1; // the page is full
            }
        } else {
            ++row;
        }
        lastRowBottom = y;
        bool newPage = false;
        if (g.OnPrintNewPage)
            g.OnPrintNewPage(&g, row, newPage);
        bool full = rowsOnPage < 0;
        if (!full && row <= rect.Bottom && RowPasses(row))
            full = y - RowHeight(row) <= H + F;
        if (full || newPage || row > rect.Bottom) {
            if (PageInRange(page)) {
                if (g.OnPrintPageDone)
                    g.OnPrintPageDone(&g, lm->Canvas(), row, y, page, W, H);
                if (g.OnPrintCancel)
                    g.OnPrintCancel(&g, page, cancelled);
                DrawFrame();
            }
            if (row <= rect.Bottom && !cancelled) {
                if (PastRange()) {
                    cancelled = true; // the rest lies after the range
                    break;
                }
                BeginNextPage();
                ++pageInBand;
                firstOfPage = true;
            }
        }
    }
}

QString TGridPrintLayout::PageNumberText(int pageInBand)
{
    QString s;
    int num = page;
    if (split) {
        s = QString::number(pageInBand) + u'-' + QString::number(band);
        num = pageInBand;
    } else {
        s = QString::number(page + ps.PageNumberOffset);
        if (!ps.PageNumSep.isEmpty() && total > 1)
            s += ps.PageNumSep + QString::number(total + ps.MaxPagesOffset);
    }
    g.QueryPrintPageNum(num, band, s);
    return s;
}

void TGridPrintLayout::DrawHeaderFooter(int pageInBand)
{
    // Six slots: top left, right, centre; bottom left, right, centre.
    QString texts[7];
    auto add = [&](TPrintPosition p, const QString& item) {
        if (p == ppNone)
            return;
        QString& slot = texts[static_cast<int>(p)];
        const bool front = p == ppTopLeft || p == ppBottomLeft;
        if (slot.isEmpty())
            slot = item;
        else
            slot = front ? item + u' ' + slot : slot + u' ' + item;
    };
    const QDateTime now = QDateTime::currentDateTime();
    add(ps.Time, FormatPrintDateTime(QStringLiteral("hh:nn"), now));
    add(ps.Date, FormatPrintDateTime(ps.DateFormat, now));
    add(ps.PageNr, ps.PagePrefix + u' ' + PageNumberText(pageInBand) + u' ' + ps.PageSuffix);
    QStringList titleLines;
    if (!ps.TitleText.isEmpty())
        titleLines << ps.TitleText;
    else if (htmlTitle.isEmpty())
        titleLines = ps.TitleLines;
    if (!titleLines.isEmpty())
        add(ps.Title, titleLines.first());

    const int headerY = -ps.HeaderSize;
    const int footerY = H + footerLineH + gap + ps.FooterSize;
    auto xFor = [&](TPrintPosition p, const TFont& font, const QString& text) {
        const int tw = lm->TextExtent(font, text).cx;
        if (p == ppTopLeft || p == ppBottomLeft)
            return ps.LeftSize;
        if (p == ppTopRight || p == ppBottomRight)
            return W - ps.RightSize - 20 - tw;
        return (W - tw) / 2;
    };
    for (int i = 1; i <= 6; ++i) {
        const auto p = static_cast<TPrintPosition>(i);
        const QString text = texts[i].trimmed();
        if (text.isEmpty())
            continue;
        const bool head = InHeader(p);
        const TFont& font = head ? headerFont : footerFont;
        lm->TextOut(xFor(p, font, text), head ? headerY : footerY, text, font);
    }
    // Further title lines below the first, at the title's slot.
    if (ps.Title != ppNone && titleLines.size() > 1) {
        const bool head = InHeader(ps.Title);
        const TFont& font = head ? headerFont : footerFont;
        const int lineH = head ? headerLineH : footerLineH;
        for (qsizetype i = 1; i < titleLines.size(); ++i) {
            const int yy = (head ? headerY : footerY) - static_cast<int>(i) * lineH;
            lm->TextOut(xFor(ps.Title, font, titleLines[i]), yy, titleLines[i], font);
        }
    }
    DrawHTMLTitle();
}

THTMLDrawOptions TGridPrintLayout::TitleHTMLOptions() const
{
    THTMLDrawOptions o;
    o.Window = &g;
    o.PictureContainer = g.FPictureContainer;
    o.PictureCache = g.FImageCache.get();
    o.Images = g.GridImages();
    return o;
}

void TGridPrintLayout::MeasureHTMLTitle()
{
    htmlTitle.clear();
    htmlTitleH = 0;
    if (!ps.TitleText.isEmpty() || ps.Title == ppNone || ps.TitleLines.isEmpty())
        return;
    const QString joined = ps.TitleLines.join(QString());
    if (CellTextKind(joined, true) != 1)
        return;
    htmlTitle = joined;
    // At screen resolution in the title font's size, then in print units.
    TCanvas screen;
    screen.SetFont(InHeader(ps.Title) ? ps.HeaderFont : ps.FooterFont);
    THTMLDrawOptions o = TitleHTMLOptions();
    o.MeasureOnly = true;
    THTMLDrawResult res;
    const int width = std::max(1, static_cast<int>((W - ps.LeftSize) / L));
    DrawHTMLText(screen, htmlTitle, TRect{0, 0, width, 65535}, o, res);
    htmlTitleH = static_cast<int>(std::lround(res.Height * L));
}

void TGridPrintLayout::DrawHTMLTitle()
{
    if (htmlTitle.isEmpty())
        return;
    const bool head = InHeader(ps.Title);
    const int top = head ? -ps.HeaderSize : H + gap + ps.FooterSize + std::max(footerLineH, htmlTitleH);
    TCanvas& canvas = lm->Canvas();
    const TFont saved = canvas.Font();
    canvas.SetFont(DeviceFont(head ? headerFont : footerFont));
    canvas.Brush().SetStyle(bsClear);
    THTMLDrawOptions o = TitleHTMLOptions();
    o.PictureScale = lm->ResolutionX() / static_cast<double>(PixelsPerInch);
    THTMLDrawResult res;
    DrawHTMLText(canvas, htmlTitle, lm->ToDevice(TRect{ps.LeftSize, top, W, top - htmlTitleH}), o, res);
    canvas.Brush().SetStyle(bsSolid);
    canvas.SetFont(saved);
}

void TGridPrintLayout::DrawFrame()
{
    const TPrintBorders b = ps.Borders;
    const int bottom = lastRowBottom + gap / 2;
    const TColor color = framePen.Color();
    const TPenStyle style = framePen.Style();
    auto line = [&](int x1, int y1, int x2, int y2) { lm->Line(x1, y1, x2, y2, color, frameWidth, style); };
    if (b == pbAround || b == pbAroundVertical || b == pbAroundHorizontal) {
        line(frameLeft, gridTop, frameRight, gridTop);
        line(frameRight, gridTop, frameRight, bottom);
        line(frameRight, bottom, frameLeft, bottom);
        line(frameLeft, bottom, frameLeft, gridTop);
    }
    if (b == pbDouble || b == pbHorizontal || b == pbAroundHorizontal)
        line(frameLeft, bottom, frameRight, bottom);
    if ((b == pbDouble || b == pbVertical || b == pbAroundVertical) && repeatCols)
        for (int c = 0; c < g.TBaseGrid::FixedCols(); ++c)
            line(indents[c], gridTop, indents[c], bottom);
}

int TGridPrintLayout::PrintBandRow(int y, int row)
{
    int h = 0;
    if (repeatCols)
        h = PrintRow(y, 0, g.TBaseGrid::FixedCols() - 1, row);
    const int hb = PrintRow(y, bandFirst, bandEnd, row);
    return std::max(h, hb);
}
