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
#include <functional>
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

// A black square picture file for the picture kinds.
QString BlackPng(const QTemporaryDir& dir)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::black);
    const QString path = dir.filePath(QStringLiteral("black.png"));
    image.save(path);
    return path;
}

// One cell graphic in cell (1, 1) of a two-by-two grid, printed with and
// without PrintGraphics: the cell's rectangle on the preview gets ink, and
// the measured column (wide graphics) or row (tall graphics) grows.
struct GraphicCase
{
    const char* why;
    int col;
    std::function<void(TExStringGrid&, const QTemporaryDir&)> add;
    bool growsWidth;
    bool growsHeight;
};

class PrintGraphicsFixture : public PrintFixture
{
protected:
    void SetUp() override
    {
        PrintFixture::SetUp();
        images.Clear();
        TBitmap black(16, 16);
        black.Canvas().Brush().SetColor(clBlack);
        black.Canvas().FillRect(TRect{0, 0, 16, 16});
        images.Add(black);
        grid.SetGridImages(&images);
        grid.SetColCount(2);
        grid.SetRowCount(2);
        grid.SetCellEx(0, 0, QStringLiteral("Meter"));
        grid.SetCellEx(1, 0, QStringLiteral("State"));
        grid.SetCellEx(0, 1, QStringLiteral("M1"));
        grid.OnCustomCellDraw = [this](QObject*, TCanvas&, int c, int r, TGridDrawState, const TRect& rect, bool) {
            cellRects[{c, r}] = rect;
        };
        grid.OnPrintSetRowHeight = [this](QObject*, int r, int& h) { rowHeights[r] = h; };
    }
    void TearDown() override { grid.SetGridImages(nullptr); }

    // Preview of page 1; the ink inside the cell's rectangle (its lines left out).
    int PreviewInk(int col, int row, QImage* page = nullptr)
    {
        QImage image = BlankPage();
        TCanvas canvas;
        canvas.BindImage(&image);
        grid.SetPreviewPage(1);
        grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
        canvas.Flush();
        if (page)
            *page = image;
        const TRect r = cellRects.at({col, row});
        return Ink(image, QRect(r.Left + 2, r.Top + 2, r.Width() - 4, r.Height() - 4));
    }

    TImageList images{16, 16};
    QStringList radioItems{QStringLiteral("on"), QStringLiteral("off")};
    std::map<std::pair<int, int>, TRect> cellRects;
    std::map<int, int> rowHeights;
};

TEST_F(PrintGraphicsFixture, GraphicKindsArePrintedAndMeasured)
{
    auto bigBitmap = [](TExStringGrid& g, const QTemporaryDir&) {
        TBitmap* b = g.CreateBitmap(1, 1, false, haLeft, vaTop);
        b->SetSize(120, 90);
        b->Canvas().Brush().SetColor(clBlack);
        b->Canvas().FillRect(TRect{0, 0, 120, 90});
    };
    const GraphicCase cases[] = {
        {"a bitmap is stretched into its place and sizes the cell", 1, bigBitmap, true, true},
        {"an icon prints its opaque pixels", 1,
         [](TExStringGrid& g, const QTemporaryDir&) {
             TBitmap* b = g.CreateIcon(1, 1, haLeft, vaTop);
             b->SetSize(32, 32);
             b->Canvas().Brush().SetColor(clBlack);
             b->Canvas().FillRect(TRect{0, 0, 32, 31}); // the white bottom row is see-through
         },
         false, false},
        {"an image-list image", 1, [](TExStringGrid& g, const QTemporaryDir&) { g.AddImageIdx(1, 1, 0, haLeft, vaTop); },
         false, false},
        {"a data image chosen by the cell's number", 1,
         [](TExStringGrid& g, const QTemporaryDir&) {
             g.SetCellEx(1, 1, QStringLiteral("0"));
             g.AddDataImage(1, 1, 0, haLeft, vaTop);
         },
         false, false},
        {"several images side by side", 1,
         [](TExStringGrid& g, const QTemporaryDir&) {
             g.AddMultiImage(1, 1, 0, haLeft, vaTop);
             for (int i = 0; i < 6; ++i)
                 g.GetCellImages(1, 1)->Add(0);
         },
         true, false},
        {"a checked check box", 1, [](TExStringGrid& g, const QTemporaryDir&) { g.AddCheckBox(1, 1, true, false); },
         false, false},
        {"a data check box", 1,
         [](TExStringGrid& g, const QTemporaryDir&) {
             g.AddCheckBox(1, 1, true, true);
         },
         false, false},
        {"a node in the first column", 0, [](TExStringGrid& g, const QTemporaryDir&) { g.AddNode(1, 1); }, false,
         false},
        {"a radio group", 1, nullptr, false, false},
        {"a picture", 1,
         [](TExStringGrid& g, const QTemporaryDir& d) {
             g.CreatePicture(1, 1, false, TStretchMode::noStretch, 0, haLeft, vaTop)->LoadFromFile(BlackPng(d));
         },
         false, false},
        {"a file picture", 1,
         [](TExStringGrid& g, const QTemporaryDir& d) {
             g.CreateFilePicture(1, 1, false, TStretchMode::noStretch, 0, haLeft, vaTop)->SetFilename(BlackPng(d));
         },
         false, false},
        {"a progress bar at 80 %", 1,
         [](TExStringGrid& g, const QTemporaryDir&) {
             g.SetCellEx(1, 1, QStringLiteral("80"));
             g.AddProgress(1, 1, clBlack, clWhite);
         },
         false, false},
        {"a progress pie", 1, [](TExStringGrid& g, const QTemporaryDir&) { g.AddProgressPie(1, 1, clBlack, 60); },
         false, false},
    };
    for (const GraphicCase& k : cases) {
        SCOPED_TRACE(k.why);
        grid.RemoveCellGraphic(0, 1);
        grid.RemoveCellGraphic(1, 1);
        grid.SetCellEx(1, 1, QString());
        if (k.add)
            k.add(grid, dir);
        else
            grid.AddRadio(1, 1, false, 0, &radioItems);
        grid.PrintSettings().PrintGraphics = false;
        const int inkOff = PreviewInk(k.col, 1);
        const int widthOff = grid.PrintPageWidth();
        const int heightOff = rowHeights[1];
        grid.PrintSettings().PrintGraphics = true;
        const int inkOn = PreviewInk(k.col, 1);
        EXPECT_GT(inkOn, inkOff + 15);
        if (k.growsWidth) {
            EXPECT_GT(grid.PrintPageWidth(), widthOff);
        }
        if (k.growsHeight) {
            EXPECT_GT(rowHeights[1], heightOff);
        }
    }
    grid.RemoveCellGraphic(1, 1);
}

// A graphic at the left pushes the text right of it; at the right the text
// stays left of it.
TEST_F(PrintGraphicsFixture, TextSitsBesideItsGraphic)
{
    grid.SetColWidths(1, 300);
    grid.PrintSettings().NoAutoSize = true;
    grid.PrintSettings().PrintGraphics = true;
    grid.SetCellEx(1, 1, QStringLiteral("WWWW"));
    QImage plain;
    PreviewInk(1, 1, &plain);
    const TRect r = cellRects.at({1, 1});
    auto inkAt = [&](const QImage& image, int x) { return Ink(image, QRect(x, r.Top + 3, 1, r.Height() - 6)) > 0; };
    // First x from `from` whose column has ink (want true) or none (false).
    auto scan = [&](const QImage& image, int from, bool want) {
        for (int x = from; x < r.Right - 3; ++x)
            if (inkAt(image, x) == want)
                return x;
        return -1;
    };
    const int textX = scan(plain, r.Left + 3, true);
    ASSERT_GT(textX, 0);
    grid.AddImageIdx(1, 1, 0, haLeft, vaTop);
    QImage withImage;
    PreviewInk(1, 1, &withImage);
    const int imageX = scan(withImage, r.Left + 3, true);
    const int gapX = scan(withImage, imageX, false);
    const int textAfter = scan(withImage, gapX, true);
    EXPECT_LE(imageX, textX);
    EXPECT_GT(gapX - imageX, 10); // the 16-pixel image, solid
    EXPECT_GT(textAfter, textX);
    grid.RemoveCellGraphic(1, 1);
}

// HTML cells print through the renderer: bold text makes more ink than the
// plain text, and no tag text shows.
TEST_F(PrintGraphicsFixture, HTMLCellPrintsWithoutItsTags)
{
    grid.SetEnableHTML(true);
    grid.SetColWidths(1, 300);
    grid.PrintSettings().NoAutoSize = true;
    QImage image;
    // The text's right end: the last pixel column with ink in the cell.
    auto rightEnd = [&] {
        const TRect r = cellRects.at({1, 1});
        for (int x = r.Right - 3; x > r.Left; --x)
            if (Ink(image, QRect(x, r.Top + 3, 1, r.Height() - 6)) > 0)
                return x;
        return -1;
    };
    grid.SetCellEx(1, 1, QStringLiteral("Battery low"));
    const int plain = PreviewInk(1, 1, &image);
    const int plainEnd = rightEnd();
    grid.SetCellEx(1, 1, QStringLiteral("<b>Battery low</b>"));
    const int bold = PreviewInk(1, 1, &image);
    const int boldEnd = rightEnd();
    EXPECT_GT(bold, plain + plain / 10);
    EXPECT_GE(boldEnd, plainEnd);
    // The tags printed as text would reach far further right.
    grid.SetEnableHTML(false);
    PreviewInk(1, 1, &image);
    const int tagsEnd = rightEnd();
    EXPECT_GT(tagsEnd, plainEnd + 20);
    EXPECT_LT(boldEnd, tagsEnd - 15);
}

// A measured column holds its HTML text on one line: the printed text sits
// between indents, which the measured width must leave room for.
TEST_F(PrintGraphicsFixture, MeasuredHTMLCellKeepsToOneLine)
{
    grid.SetEnableHTML(true);
    QImage image;
    auto inkRows = [&] {
        const TRect r = cellRects.at({1, 1});
        int rows = 0;
        for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
            rows += Ink(image, QRect(r.Left + 2, y, r.Width() - 4, 1)) > 0 ? 1 : 0;
        return rows;
    };
    grid.SetCellEx(1, 1, QStringLiteral("Battery low and valve open"));
    PreviewInk(1, 1, &image);
    const int plainRows = inkRows();
    grid.SetCellEx(1, 1, QStringLiteral("<b>Battery low</b> and <i>valve open</i>"));
    PreviewInk(1, 1, &image);
    EXPECT_GT(plainRows, 5);
    EXPECT_LE(inkRows(), plainRows + 3);
}

// GRID_SCREENSHOT_DIR=<dir> saves a previewed page with cell graphics.
TEST_F(PrintGraphicsFixture, PreviewPictureWithGraphics)
{
    const QString out = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(out);
    grid.SetEnableHTML(true);
    grid.SetColCount(3);
    grid.SetRowCount(7);
    grid.SetFixedRows(1);
    grid.SetCellEx(2, 0, QStringLiteral("<b>Note</b>"));
    const QStringList meters{"M1", "M2", "M3", "M4", "M5", "M6"};
    for (int r = 1; r <= 6; ++r)
        grid.SetCellEx(0, r, meters[r - 1]);
    grid.AddCheckBox(1, 1, true, false);
    grid.SetCellEx(2, 1, QStringLiteral("<b>Bold</b> and <i>italic</i> <font color=\"clRed\">red</font>"));
    grid.SetCellEx(1, 2, QStringLiteral("70"));
    grid.AddProgress(1, 2, clGreen, clWhite);
    grid.AddProgressPie(1, 3, clBlue, 40);
    grid.AddImageIdx(1, 4, 0, haLeft, vaCenter);
    grid.SetCellEx(1, 4, QStringLiteral("image"));
    grid.AddRadio(1, 5, true, 1, &radioItems);
    grid.CreatePicture(1, 6, false, TStretchMode::noStretch, 0, haRight, vaTop)->LoadFromFile(BlackPng(dir));
    grid.SetCellEx(2, 6, QStringLiteral("picture at the right"));
    grid.PrintSettings().PrintGraphics = true;
    grid.PrintSettings().TitleText = QStringLiteral("Cell graphics");
    grid.PrintSettings().Title = ppTopCenter;
    QImage image;
    PreviewInk(0, 1, &image);
    EXPECT_TRUE(image.save(QDir(out).filePath(QStringLiteral("grid_print_preview_graphics.png"))));
    grid.RemoveCellGraphic(1, 5);
}

} // namespace
