// Printing and preview: pages counted and produced (PDF), page numbers and
// bands, repeated fixed rows, fit to page, header and footer slots, rows
// taller than a page, the page range, and a picture of a previewed page.
#include "grid/ExGrid.h"
#include "platform/Printing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <set>

using namespace platform;

namespace {

// Pages of a PDF file: its page objects (not the page tree, "/Type /Pages").
int PdfPageCount(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(f.readAll());
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    int n = 0;
    for (auto it = page.globalMatch(text); it.hasNext(); it.next())
        ++n;
    return n;
}

// A4 at 96 dpi, white.
QImage BlankPage()
{
    QImage image(794, 1123, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Dark pixels in a region of the picture.
int Ink(const QImage& image, const QRect& r)
{
    int n = 0;
    const QRect area = r.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

class PrintFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Printer().SetOutputFileName(PdfPath());
        grid.OnPrintGetPageNum = [this](QObject*, int, int, QString& s) { pageTexts.push_back(s); };
        grid.OnPrintPage = [this](QObject*, TCanvas&, int pageNr, int, int) { currentPage = pageNr; };
        grid.OnCustomCellDraw = [this](QObject*, TCanvas&, int c, int r, TGridDrawState, const TRect&, bool printing) {
            if (printing)
                drawn[currentPage].insert({c, r});
        };
    }
    QString PdfPath() const { return dir.filePath(QStringLiteral("grid.pdf")); }

    // Meter readings: a header row and `rows` rows of four columns.
    void Fill(int rows, int cols = 4)
    {
        grid.SetColCount(cols);
        grid.SetRowCount(rows + 1);
        grid.SetFixedRows(1);
        for (int c = 0; c < cols; ++c)
            grid.SetCellEx(c, 0, QStringLiteral("Column %1").arg(c));
        for (int r = 1; r <= rows; ++r)
            for (int c = 0; c < cols; ++c)
                grid.SetCellEx(c, r, c == 0 ? QStringLiteral("Meter %1").arg(r) : QString::number(r * 10 + c));
    }
    // Pages on which a cell was printed.
    std::set<int> PagesWith(int col, int row) const
    {
        std::set<int> pages;
        for (const auto& [page, cells] : drawn)
            if (cells.count({col, row}))
                pages.insert(page);
        return pages;
    }
    void Reset()
    {
        pageTexts.clear();
        drawn.clear();
        currentPage = 1;
    }

    QTemporaryDir dir;
    TExStringGrid grid;
    std::vector<QString> pageTexts;
    std::map<int, std::set<std::pair<int, int>>> drawn;
    int currentPage = 1;
};

TEST(PrintFontMapping, PointsAndTenthsOfMillimetres)
{
    TExStringGrid grid;
    const struct {
        int in;
        int height; // MapFontHeight
        int size;   // MapFontSize
    } cases[] = {
        {10, -35, 2},   // 10 pt is 3.53 mm; 10 tenths of a mm are 2.8 pt
        {-35, 123, -9}, // fractions are cut toward zero, both ways
        {36, -127, 10}, // 36 tenths of a mm: 10.2 pt
        {0, 0, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(grid.MapFontHeight(c.in), c.height) << c.in;
        EXPECT_EQ(TExStringGrid::MapFontSize(c.in), c.size) << c.in;
    }
}

// A thousand rows to PDF: every page numbered "n/total", the header row on
// every page, and the PDF holding exactly the pages counted.
TEST_F(PrintFixture, ThousandRowsWithTitlePageNumbersAndRepeatedHeader)
{
    Fill(1000);
    TPrintSettings& ps = grid.PrintSettings();
    ps.TitleText = QStringLiteral("Meter readings");
    ps.Title = ppTopCenter;
    ps.PageNr = ppBottomRight;
    ps.Date = ppTopLeft;
    ps.RepeatFixedRows = true;
    ps.HeaderSize = 100;
    ps.FooterSize = 100;
    ps.LeftSize = 100;
    ps.RightSize = 100;
    grid.Print();

    const int pages = grid.PrintNrOfPages();
    ASSERT_GT(pages, 10);
    EXPECT_EQ(PdfPageCount(PdfPath()), pages);
    ASSERT_EQ(static_cast<int>(pageTexts.size()), pages);
    for (int p = 1; p <= pages; ++p)
        EXPECT_EQ(pageTexts[p - 1].trimmed(), QStringLiteral("%1/%2").arg(p).arg(pages));
    EXPECT_EQ(static_cast<int>(PagesWith(0, 0).size()), pages); // the header row on every page
    EXPECT_EQ(PagesWith(0, 1000), std::set<int>{pages});
    EXPECT_EQ(PagesWith(0, 1), std::set<int>{1});
}

// Fast printing counts no pages first: the page texts show no total (they
// showed 2147483647) and the job still ends with all its pages.
TEST_F(PrintFixture, FastPrintShowsNoMadeUpTotal)
{
    Fill(300);
    grid.PrintSettings().PageNr = ppBottomCenter;
    grid.Print();
    const int counted = grid.PrintNrOfPages();
    Reset();

    grid.SetFastPrint(true);
    grid.Print();
    EXPECT_EQ(grid.PrintNrOfPages(), counted);
    EXPECT_EQ(PdfPageCount(PdfPath()), counted);
    ASSERT_EQ(static_cast<int>(pageTexts.size()), counted);
    for (int p = 1; p <= counted; ++p)
        EXPECT_EQ(pageTexts[p - 1].trimmed(), QString::number(p));
}

// A row taller than the room of a page used to be carried over forever. It
// now gets a page of its own, cut at the footer, and printing goes on.
TEST_F(PrintFixture, RowTallerThanThePageEnds)
{
    Fill(20);
    const struct {
        const char* why;
        int tallRow;
    } cases[] = {{"first data row", 1}, {"row in the middle", 10}, {"last row", 20}};
    for (const auto& c : cases) {
        Reset();
        grid.OnPrintSetRowHeight = [&](QObject*, int row, int& h) {
            if (row == c.tallRow)
                h = 1000000; // 100 m
        };
        grid.Print();
        SCOPED_TRACE(c.why);
        EXPECT_EQ(PdfPageCount(PdfPath()), grid.PrintNrOfPages());
        EXPECT_EQ(PagesWith(0, c.tallRow).size(), 1u);
        EXPECT_FALSE(PagesWith(0, 20).empty()); // the rows after it are printed too

        QImage image = BlankPage();
        TCanvas canvas;
        canvas.BindImage(&image);
        grid.SetPreviewPage(1);
        grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
        EXPECT_GE(grid.PrintNrOfPages(), 2);
    }
}

// Nothing to lay out: no endless loop, no division by zero, no pages.
TEST_F(PrintFixture, EmptyPageOrRangeDrawsNothing)
{
    Fill(5);
    QImage image = BlankPage();
    TCanvas canvas;
    canvas.BindImage(&image);
    const TRect rects[] = {{0, 0, 0, 0}, {10, 10, 10, 500}, {10, 10, 500, 10}, {50, 50, 10, 10}};
    for (const TRect& r : rects) {
        grid.PrintPreview(canvas, r);
        EXPECT_EQ(grid.PrintNrOfPages(), 0);
    }
    canvas.Flush();
    EXPECT_EQ(Ink(image, image.rect()), 0);

    grid.PrintPreviewRect(canvas, TRect{0, 0, 794, 1123}, TGridRect{3, 2, 1, 1}); // reversed range
    EXPECT_EQ(grid.PrintNrOfPages(), 0);
}

// The preview draws only the page chosen by PreviewPage.
TEST_F(PrintFixture, PreviewDrawsTheChosenPage)
{
    Fill(200);
    grid.PrintSettings().RepeatFixedRows = true;
    QImage image = BlankPage();
    TCanvas canvas;
    canvas.BindImage(&image);
    grid.SetPreviewPage(3);
    grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
    canvas.Flush();
    EXPECT_GE(grid.PrintNrOfPages(), 3);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn.begin()->first, 3);
    EXPECT_TRUE(PagesWith(0, 0) == std::set<int>{3});
    EXPECT_FALSE(grid.IsPrintPreview());
    EXPECT_GT(Ink(image, image.rect()), 1000);
}

// PrintDraw puts the first page into the given rectangle and nowhere else.
TEST_F(PrintFixture, PrintDrawFillsOnlyItsRectangle)
{
    Fill(200);
    grid.PrintSettings().PageNr = ppBottomCenter;
    QImage image = BlankPage();
    TCanvas canvas;
    canvas.BindImage(&image);
    const TRect target{200, 300, 600, 900};
    grid.PrintDraw(canvas, target);
    canvas.Flush();
    EXPECT_EQ(grid.PrintNrOfPages(), 1);
    EXPECT_EQ(std::set<int>{1}, [&] {
        std::set<int> pages;
        for (const auto& [page, cells] : drawn)
            pages.insert(page);
        return pages;
    }());
    const QRect inside(target.Left, target.Top, target.Width(), target.Height());
    EXPECT_GT(Ink(image, inside), 500);
    EXPECT_EQ(Ink(image, image.rect()), Ink(image, inside));
    EXPECT_FALSE(canvas.HasClip()); // the canvas's clipping is as before
}

// OnPrintStart narrows the job to its second page.
TEST_F(PrintFixture, PrintStartChoosesThePages)
{
    Fill(200);
    std::vector<int> started;
    grid.OnPrintStart = [](QObject*, int, int& from, int& to) { from = to = 2; };
    grid.OnPrintPage = [&](QObject*, TCanvas&, int pageNr, int, int) {
        started.push_back(pageNr);
        currentPage = pageNr;
    };
    grid.Print();
    EXPECT_EQ(PdfPageCount(PdfPath()), 1);
    EXPECT_EQ(started, std::vector<int>{2});
    EXPECT_EQ(drawn.size(), 1u);

    // A reversed range prints nothing (and leaves the last file alone).
    QFile::remove(PdfPath());
    grid.OnPrintStart = [](QObject*, int, int& from, int& to) {
        from = 3;
        to = 2;
    };
    grid.Print();
    EXPECT_FALSE(QFile::exists(PdfPath()));
}

// A grid wider than the page is split into bands; pages read
// "page in band-band" and the fixed column repeats on every band.
TEST_F(PrintFixture, WideGridPrintsInBandsWithRepeatedFixedColumn)
{
    Fill(60, 12);
    grid.SetFixedCols(1);
    for (int c = 0; c < 12; ++c)
        grid.SetCellEx(c, 5, QString(30, QLatin1Char('W')));
    grid.PrintSettings().RepeatFixedCols = true;
    grid.PrintSettings().PageNr = ppBottomCenter;
    grid.Print();
    ASSERT_GE(pageTexts.size(), 4u);
    EXPECT_EQ(pageTexts[0].trimmed(), QStringLiteral("1-1"));
    EXPECT_EQ(pageTexts[1].trimmed(), QStringLiteral("2-1"));
    const int pages = grid.PrintNrOfPages();
    EXPECT_EQ(PdfPageCount(PdfPath()), pages);
    const auto second = std::find_if(pageTexts.begin(), pageTexts.end(),
                                     [](const QString& s) { return s.trimmed() == QStringLiteral("1-2"); });
    EXPECT_EQ(second - pageTexts.begin(), 2); // two pages per band
    // Column 0 is on every page, each other column on the pages of its band only.
    EXPECT_EQ(static_cast<int>(PagesWith(0, 1).size()) + static_cast<int>(PagesWith(0, 60).size()), pages);
    EXPECT_LT(PagesWith(11, 1).size(), PagesWith(0, 1).size());
}

// Fit to page: shrink never enlarges, grow never reduces, always fits both.
TEST_F(PrintFixture, FitToPageKinds)
{
    QImage image = BlankPage();
    TCanvas canvas;
    canvas.BindImage(&image);
    TPrintSettings& ps = grid.PrintSettings();
    ps.LeftSize = ps.RightSize = 100;
    TLowMetricCanvas lm(canvas);
    const int room = lm.ToLogicalX(image.width()) - 200;
    auto widthFor = [&](int cols, TFitToPage fit) {
        Fill(3, cols);
        for (int c = 0; c < cols; ++c)
            grid.SetCellEx(c, 1, QStringLiteral("Reading of meter %1").arg(c));
        ps.FitToPage = fit;
        grid.SetPreviewPage(1);
        grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
        return grid.PrintPageWidth();
    };
    const int narrow = widthFor(2, fpNever);
    const int wide = widthFor(9, fpNever); // a band is at most the page
    ASSERT_LT(narrow, room);
    ASSERT_EQ(grid.PrintColEnd() < 8, true) << "the wide grid must not fit";
    const struct {
        TFitToPage fit;
        int cols;
        bool fitted; // else as without fitting
    } cases[] = {
        {fpShrink, 2, false}, {fpShrink, 9, true}, {fpGrow, 2, true},
        {fpGrow, 9, false},   {fpAlways, 2, true}, {fpAlways, 9, true},
    };
    for (const auto& c : cases) {
        const int w = widthFor(c.cols, c.fit);
        SCOPED_TRACE(testing::Message() << "fit " << static_cast<int>(c.fit) << ", columns " << c.cols);
        if (c.fitted) {
            EXPECT_NEAR(w, room, c.cols + 1);
            EXPECT_EQ(grid.PrintColEnd(), c.cols - 1);
        } else {
            EXPECT_EQ(w, c.cols == 2 ? narrow : wide);
        }
    }
}

// Title, date and page number go to the slot their position names.
TEST_F(PrintFixture, HeaderAndFooterPositions)
{
    Fill(3, 2);
    TPrintSettings& ps = grid.PrintSettings();
    ps.HeaderSize = 60;
    ps.FooterSize = 60;
    ps.LeftSize = 60;
    ps.RightSize = 60;
    ps.Borders = pbNoborder;
    ps.TitleSpacing = 300; // the grid well below the header texts
    ps.TitleText = QStringLiteral("Meter readings of the building");
    const struct {
        TPrintPosition title, date, pageNr;
        bool top[3], bottom[3]; // left, centre, right third
    } cases[] = {
        {ppTopLeft, ppNone, ppNone, {true, false, false}, {false, false, false}},
        {ppTopCenter, ppNone, ppNone, {false, true, false}, {false, false, false}},
        {ppNone, ppTopRight, ppNone, {false, false, true}, {false, false, false}},
        {ppNone, ppNone, ppBottomLeft, {false, false, false}, {true, false, false}},
        {ppBottomCenter, ppNone, ppNone, {false, false, false}, {false, true, false}},
        {ppTopLeft, ppBottomCenter, ppBottomRight, {true, false, false}, {false, true, true}},
    };
    for (const auto& c : cases) {
        ps.Title = c.title;
        ps.Date = c.date;
        ps.PageNr = c.pageNr;
        QImage image = BlankPage();
        TCanvas canvas;
        canvas.BindImage(&image);
        grid.SetPreviewPage(1);
        grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
        canvas.Flush();
        // 60 tenths of a mm are 23 pixels; the texts sit in the 40 pixels
        // beyond the margins, the three rows of the grid far from both.
        const int third = image.width() / 3;
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(testing::Message() << "case title " << static_cast<int>(c.title) << " slot " << i);
            const QRect top(i * third, 0, third, 45);
            const QRect bottom(i * third, image.height() - 45, third, 45);
            EXPECT_EQ(Ink(image, top) > 0, c.top[i]);
            EXPECT_EQ(Ink(image, bottom) > 0, c.bottom[i]);
        }
    }
}

// GRID_SCREENSHOT_DIR=<dir> saves the previews of pages 1 and 2: title,
// date, the header row (repeated on page 2), grid lines and the page number.
TEST_F(PrintFixture, PreviewPicturesOfPagesOneAndTwo)
{
    const QString out = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(out);
    Fill(120);
    grid.SetColWidths(0, 110);
    for (int r = 1; r <= 120; ++r)
        grid.SetCellEx(3, r, r % 3 ? QStringLiteral("ok") : QStringLiteral("check battery"));
    TPrintSettings& ps = grid.PrintSettings();
    ps.TitleText = QStringLiteral("Meter readings, building A");
    ps.Title = ppTopCenter;
    ps.Date = ppTopLeft;
    ps.PageNr = ppBottomCenter;
    ps.PagePrefix = QStringLiteral("Page");
    ps.RepeatFixedRows = true;
    ps.HeaderSize = ps.FooterSize = 120;
    ps.LeftSize = ps.RightSize = 150;
    ps.TitleSpacing = 60;
    for (int page : {1, 2}) {
        QImage image = BlankPage();
        TCanvas canvas;
        canvas.BindImage(&image);
        grid.SetPreviewPage(page);
        grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
        canvas.Flush();
        EXPECT_TRUE(image.save(QDir(out).filePath(QStringLiteral("grid_print_preview_page%1.png").arg(page))));
    }
    // The same job on the printer, to compare with the previews.
    Printer().SetOutputFileName(QDir(out).filePath(QStringLiteral("grid_print.pdf")));
    grid.Print();
    EXPECT_EQ(PdfPageCount(QDir(out).filePath(QStringLiteral("grid_print.pdf"))), grid.PrintNrOfPages());
}

} // namespace
