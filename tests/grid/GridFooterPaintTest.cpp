// The footer panel's picture in the last-row style: a merged cell is one
// rectangle, the soft looks draw a white left edge, and a template is shown
// as written while designing.
#include "grid/ExGrid.h"
#include "grid/ExGridFooter.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace platform;

namespace {

struct FooterPaint : ::testing::Test
{
    TExStringGrid grid;
    void SetUp() override
    {
        grid.resize(400, 200);
        grid.SetColCount(4);
        grid.SetRowCount(6);
        for (int c = 0; c < 4; ++c)
            grid.SetColWidths(c, 60);
        grid.show();
        grid.FloatingFooter().SetVisible(true);
        grid.FloatingFooter().SetFooterStyle(fsFixedLastRow);
    }
    QImage Panel() { return grid.FloatingFooter().Panel()->grab().toImage(); }
    QRgb At(const QImage& image, int x) { return image.pixel(x, image.height() / 2) & 0xFFFFFF; }
};

} // namespace

// The separator between two columns of a merged last-row cell is not drawn.
TEST_F(FooterPaint, MergedCellOfTheLastRowIsOneRectangle)
{
    const int edge = 120 - 1; // right edge of column 1
    const QImage plain = Panel();
    EXPECT_EQ(At(plain, edge), 0x808080u);
    grid.MergeCells(1, grid.RowCount() - 1, 2, 1);
    const QImage merged = Panel();
    EXPECT_NE(At(merged, edge), 0x808080u);
    EXPECT_EQ(At(merged, 180 - 1), 0x808080u) << "the merged cell's own right edge";
}

TEST_F(FooterPaint, SoftLooksDrawAWhiteLeftEdge)
{
    const struct
    {
        TGridLook look;
        bool flat;
        bool white;
    } cases[] = {
        {glSoft, false, true}, {glQRV, false, true}, {glXP, false, true},     {glVista, false, true},
        {glSoft, true, false}, {glClassic, false, false}, {glOffice2007, false, false}, {glStandard, false, false},
    };
    // The application paints the cells dark: only the edge itself is white.
    grid.OnFooterPaint = [](QObject*, int, TCanvas& c, const TRect& r) {
        c.Brush().SetColor(clNavy);
        c.FillRect(r);
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.look));
        SCOPED_TRACE(k.flat);
        grid.SetLook(k.look);
        grid.SetFlat(k.flat);
        const QImage image = Panel();
        EXPECT_EQ(At(image, 120) == 0xFFFFFFu, k.white); // left edge of column 2
    }
    grid.OnFooterPaint = nullptr;
}

// While designing there is no current row to fill a template from: the
// template shows as written, tags included (wider than its HTML rendering).
TEST_F(FooterPaint, TemplateIsShownAsWrittenWhileDesigning)
{
    TFloatingFooter& f = grid.FloatingFooter();
    f.SetFooterStyle(fsCustomPreview);
    f.SetCustomTemplate(QStringLiteral("<b>Sum</b> <#1>"));
    const auto inkRight = [](const QImage& image) {
        int right = -1;
        for (int y = 2; y < image.height() - 2; ++y)
            for (int x = 2; x < image.width() - 2; ++x)
                if (qGray(image.pixel(x, y)) < 100)
                    right = std::max(right, x);
        return right;
    };
    const int running = inkRight(Panel());
    grid.SetDesigning(true);
    const int designing = inkRight(Panel());
    grid.SetDesigning(false);
    EXPECT_GT(designing, running + 10);
}
