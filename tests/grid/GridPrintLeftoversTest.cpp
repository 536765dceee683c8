// Printing: a title of HTML lines drawn as HTML with room of its own, the
// page range the preview offers to OnPrintStart.
#include "grid/ExGrid.h"
#include "platform/Printing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>

using namespace platform;

namespace {

QImage BlankPage()
{
    QImage image(794, 1123, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

struct PrintTitle : ::testing::Test
{
    QTemporaryDir dir;
    TExStringGrid grid;
    int firstRowTop = INT_MAX; // pixels of the preview

    void SetUp() override
    {
        grid.SetColCount(3);
        grid.SetRowCount(40);
        grid.SetFixedRows(1);
        for (int r = 0; r < 40; ++r)
            for (int c = 0; c < 3; ++c)
                grid.SetCellEx(c, r, r == 0 ? QStringLiteral("Column %1").arg(c) : QString::number(r * 10 + c));
        grid.OnCustomCellDraw = [this](QObject*, TCanvas&, int c, int r, TGridDrawState, const TRect& rect,
                                       bool printing) {
            if (printing && c == 0 && r == 0)
                firstRowTop = std::min(firstRowTop, rect.Top);
        };
        TPrintSettings& ps = grid.PrintSettings();
        ps.Title = ppTopLeft;
        ps.Date = ppTopRight;
        ps.HeaderSize = 100;
        ps.LeftSize = 150;
    }

    QImage Preview()
    {
        firstRowTop = INT_MAX;
        QImage image = BlankPage();
        TCanvas canvas;
        canvas.BindImage(&image);
        grid.SetPreviewPage(1);
        grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
        canvas.Flush();
        return image;
    }
};

} // namespace

// Title lines in HTML are one HTML title: drawn by the HTML renderer (no tag
// reaches the page as text) in the header, which grows by its height.
TEST_F(PrintTitle, HTMLTitleLinesAreDrawnAsHTMLWithTheirOwnHeight)
{
    TPrintSettings& ps = grid.PrintSettings();
    ps.TitleLines = QStringList{QStringLiteral("Plain title")};
    Preview();
    const int plainTop = firstRowTop;
    ASSERT_NE(plainTop, INT_MAX);

    // One line in a large font: the header grows by the title's own height.
    ps.TitleLines = QStringList{QStringLiteral("<font size=\"28\"><b>Big</b> title</font>")};
    Preview();
    ASSERT_NE(firstRowTop, INT_MAX);
    EXPECT_GT(firstRowTop - plainTop, 15);

    ps.TitleLines = QStringList{QStringLiteral("<font size=\"16\"><b>Meter</b> readings</font>"),
                                QStringLiteral("<br><i>building A</i>, <font color=\"clRed\">floor 2</font>"),
                                QStringLiteral("<br>third line")};
    const QImage html = Preview();
    ASSERT_NE(firstRowTop, INT_MAX);
    // Three lines, one of them large: the rows start well below one line's room.
    EXPECT_GT(firstRowTop - plainTop, 30);

    const QString out = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (!out.isEmpty()) {
        QDir().mkpath(out);
        html.save(QDir(out).filePath(QStringLiteral("grid_print_html_title.png")));
        Printer().SetOutputFileName(QDir(out).filePath(QStringLiteral("grid_print_html_title.pdf")));
        grid.Print();
    }
}

// The preview offers the whole page range to OnPrintStart and draws the page
// chosen for it; an empty range from the event draws nothing.
TEST_F(PrintTitle, PreviewOffersAllPagesToPrintStart)
{
    grid.SetRowCount(300);
    int offeredFrom = -1, offeredTo = -1, offeredCount = -1;
    bool refuse = false;
    grid.OnPrintStart = [&](QObject*, int count, int& from, int& to) {
        offeredCount = count;
        offeredFrom = from;
        offeredTo = to;
        if (refuse)
            from = to = 0;
    };
    firstRowTop = INT_MAX;
    QImage image = BlankPage();
    TCanvas canvas;
    canvas.BindImage(&image);
    grid.SetPreviewPage(2);
    grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
    EXPECT_GE(offeredCount, 3);
    EXPECT_EQ(offeredFrom, 1);
    EXPECT_EQ(offeredTo, offeredCount);
    EXPECT_EQ(grid.PrintPageFrom(), 2);
    EXPECT_EQ(grid.PrintPageTo(), 2);

    refuse = true;
    int cells = 0;
    grid.OnCustomCellDraw = [&](QObject*, TCanvas&, int, int, TGridDrawState, const TRect&, bool) { ++cells; };
    grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
    EXPECT_EQ(cells, 0);
}

// OnCustomCellSize changes the measured size of a printed cell (real column,
// printing flag set); a radio group is measured by its items.
TEST_F(PrintTitle, MeasuredCellSizesGoThroughTheHookAndCountRadioItems)
{
    grid.PrintSettings().PrintGraphics = true;
    grid.HideColumn(1);
    const auto widthOfColumn1 = [&] {
        QImage image = BlankPage();
        TCanvas canvas;
        canvas.BindImage(&image);
        grid.SetPreviewPage(1);
        grid.PrintPreview(canvas, TRect{0, 0, image.width(), image.height()});
        return grid.GetPrintColWidth(1);
    };
    const int plain = widthOfColumn1();
    std::vector<std::pair<int, bool>> asked;
    grid.OnCustomCellSize = [&](QObject*, TCanvas&, int c, int r, TSize& size, bool printing) {
        if (r == 3) {
            asked.emplace_back(c, printing);
            if (c == 2)
                size.cx = 3000;
        }
    };
    EXPECT_EQ(widthOfColumn1(), 3000); // the shown column 1 is real column 2
    ASSERT_FALSE(asked.empty());
    EXPECT_TRUE(std::find(asked.begin(), asked.end(), std::make_pair(2, true)) != asked.end());
    EXPECT_TRUE(std::find_if(asked.begin(), asked.end(), [](auto& a) { return a.first == 1; }) == asked.end())
        << "a hidden column is not measured";
    grid.OnCustomCellSize = nullptr;

    // A radio group of long items widens its column.
    QStringList items{QStringLiteral("first long choice"), QStringLiteral("second long choice")};
    grid.AddRadio(2, 5, true, 0, &items);
    EXPECT_GT(widthOfColumn1(), plain * 2);
}

TEST(PrinterLandscape, RotationFromThePrinterDescription)
{
    const struct
    {
        const char* ppd;
        int rotation;
    } cases[] = {
        {"", 90},
        {"*PPD-Adobe: \"4.3\"\n*LandscapeOrientation: Plus90\n", 90},
        {"*PPD-Adobe: \"4.3\"\r\n*LandscapeOrientation: Minus90\r\n", 270},
        {"  *LandscapeOrientation:   Minus90  \n", 270},
        {"*LandscapeOrientation: Any\n", 90},
        {"*% *LandscapeOrientation: Minus90\n", 90},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.ppd);
        EXPECT_EQ(TPrinter::LandscapeRotationOf(QByteArray(k.ppd)), k.rotation);
    }
    EXPECT_EQ(Printer().LandscapeRotation(), 90) << "a PDF file";
}
