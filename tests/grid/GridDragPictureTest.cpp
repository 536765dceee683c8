// The picture of dragged cells: on by default, the whole selection also
// where it is scrolled out of view, and the fixed lines at its outer edges.
#include "grid/ExGrid.h"
#include "grid/ExGridInputTestSupport.h"

#include "platform/Controls.h"

#include <QApplication>
#include <QDir>
#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

using namespace platform;

namespace {

QImage PictureOf(QWidget* form)
{
    auto* label = form->findChild<QLabel*>();
    return label ? label->pixmap().toImage() : QImage();
}

int InkRows(const QImage& image, int top, int bottom)
{
    int n = 0;
    for (int y = std::max(0, top); y < std::min(bottom, image.height()); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                ++n;
                break;
            }
    return n;
}

} // namespace

TEST(GridDragPicture, CellsFollowTheMouseByDefault)
{
    TExStringGrid grid;
    EXPECT_TRUE(grid.DragDropSettings().ShowCells());
}

TEST(GridDragPicture, WholeSelectionAlsoScrolledOutOfView)
{
    QWidget host;
    host.resize(320, 200);
    auto* grid = new TExStringGrid(&host);
    grid->setGeometry(0, 0, 300, 180);
    grid->SetColCount(4);
    grid->SetRowCount(60);
    for (int r = 0; r < 60; ++r)
        for (int c = 0; c < 4; ++c)
            grid->SetCells(c, r, QStringLiteral("R%1C%2").arg(r).arg(c));
    host.show();
    QCoreApplication::processEvents();
    grid->SetTopRow(20); // rows 1..19 are out of view
    const TRect sel{1, 2, 2, 30};
    grid->SetSelection(TGridRect{sel.Left, sel.Top, sel.Right, sel.Bottom});
    std::unique_ptr<QWidget> form(grid->SelectionToForm(sel));
    int width = -grid->GridLineWidth(), height = -grid->GridLineWidth();
    for (int c = sel.Left; c <= sel.Right; ++c)
        width += grid->ColWidths(c) + grid->GridLineWidth();
    for (int r = sel.Top; r <= sel.Bottom; ++r)
        height += grid->RowHeights(r) + grid->GridLineWidth();
    EXPECT_EQ(form->size(), QSize(width, height));
    const QImage image = PictureOf(form.get());
    ASSERT_EQ(image.size(), QSize(width, height));
    // The rows out of view carry their text like the others.
    const int rowH = grid->RowHeights(2) + grid->GridLineWidth();
    EXPECT_GE(InkRows(image, 0, 18 * rowH), 18 * 3);

    const QString out = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (!out.isEmpty()) {
        QDir().mkpath(out);
        image.save(QDir(out).filePath(QStringLiteral("grid_drag_picture.png")));
    }
}

// A picture from column 0 (row 0) of a grid with fixed lines gets the fixed
// line along its left (top) edge.
TEST(GridDragPicture, FixedLineAlongTheOuterEdges)
{
    const struct
    {
        TRect rect;
        bool left, top;
    } cases[] = {
        {{0, 0, 1, 1}, true, true},
        {{0, 2, 1, 3}, true, false},
        {{1, 0, 2, 1}, false, true},
        {{1, 2, 2, 3}, false, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.rect.Left * 10 + k.rect.Top);
        TExStringGrid grid;
        grid.resize(300, 200);
        grid.SetColCount(4);
        grid.SetRowCount(5);
        grid.SetGridFixedLineColor(clRed);
        std::unique_ptr<QWidget> form(grid.SelectionToForm(k.rect));
        const QImage image = PictureOf(form.get());
        const QRgb red = 0xFF0000;
        EXPECT_EQ((image.pixel(0, image.height() * 3 / 4) & 0xFFFFFF) == red, k.left);
        EXPECT_EQ((image.pixel(image.width() * 3 / 4, 0) & 0xFFFFFF) == red, k.top);
    }
}

namespace {

struct HeaderMove : inputtest::InputFixture
{
    void SetUp() override
    {
        InputFixture::SetUp();
        grid->SetOptions((grid->Options() & ~goEditing) | goColMoving);
        grid->SetEnhRowColMove(true);
        for (int c = 0; c < grid->ColCount(); ++c)
            grid->SetCellEx(c, 0, QStringLiteral("Col %1").arg(c));
    }
    void TearDown() override
    {
        inputtest::Release(grid, inputtest::CellCentre(grid, 3, 0), Qt::LeftButton);
        InputFixture::TearDown();
    }
    void StartMove()
    {
        const QPoint to = inputtest::CellCentre(grid, 3, 0);
        inputtest::PressAndMove(grid, inputtest::CellCentre(grid, 2, 0), {to, to + QPoint(1, 0)});
    }
    QList<QWidget*> Pictures() { return grid->findChildren<QWidget*>(QStringLiteral("TNoActiveForm")); }
};

int InkRight(const QImage& image)
{
    int right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 90)
                right = std::max(right, x);
    return right;
}

} // namespace

// A column moved inside the grid: the picture of its cells follows the
// pointer by default and goes with the move's end.
TEST_F(HeaderMove, PictureOfTheMovedColumnFollowsThePointer)
{
    StartMove();
    const QList<QWidget*> pictures = Pictures();
    ASSERT_EQ(pictures.size(), 1);
    EXPECT_TRUE(pictures.front()->isVisible());
    const QPoint expected = grid->ClientSurface()->mapToGlobal(inputtest::CellCentre(grid, 3, 0) + QPoint(1, 0));
    EXPECT_LT((pictures.front()->pos() - expected).manhattanLength(), 2 * grid->ColWidths(2) + 40);
    inputtest::Release(grid, inputtest::CellCentre(grid, 3, 0) + QPoint(1, 0), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Pictures().isEmpty());
}

// Without the picture the header button shows the header text; mark-up in
// it is drawn as HTML, not as its tags.
TEST_F(HeaderMove, HeaderButtonDrawsAnHTMLCaption)
{
    grid->DragDropSettings().SetShowCells(false);
    grid->SetColWidths(2, 200);
    grid->SetCellEx(2, 0, QStringLiteral("<b>Kind</b> <i>of meter</i>"));
    StartMove();
    auto* button = host->findChild<TPanel*>(QStringLiteral("HeaderDragButton"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isVisible());
    const QImage html = button->grab().toImage();
    TPanel raw(host.get());
    raw.resize(button->size());
    raw.SetCaption(button->Caption());
    raw.SetAlignment(taLeftJustify);
    const QImage tags = raw.grab().toImage();
    EXPECT_GT(InkRight(html), 0);
    EXPECT_LT(InkRight(html), InkRight(tags) - 20) << "no tag drawn as text";
}
