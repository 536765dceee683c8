// Advancing onto a clickable cell, sizing while typing, rows sized by their
// line count, the current row after removing rows, and the focus frame and
// style colours.
#include "ExGridInputTestSupport.h"

#include "widgets/ExObj.h"

#include <QPainter>

using namespace platform;
using namespace edittest;

namespace {

struct LeftoverFixture : GridFixture
{
    void TearDown() override
    {
        grid->OnEndRowSize = nullptr;
        GridFixture::TearDown();
    }
    int LineHeight()
    {
        TBitmap b(1, 1);
        b.Canvas().SetFont(grid->Font());
        const int th = b.Canvas().TextHeight(QStringLiteral("gh"));
        return th + th / 8;
    }
};

// ---------------------------------------------------------------------------
// Advancing onto a clickable cell
// ---------------------------------------------------------------------------

// The check box reached by an advance that opens the next editor reacts as
// if clicked.
TEST_F(LeftoverFixture, AdvanceOntoACheckBoxCellClicksIt)
{
    grid->Navigation().SetAdvanceOnEnter(true);
    grid->Navigation().SetAdvanceDirection(adLeftRight);
    grid->AddCheckBox(2, 1, false, false);
    std::vector<QString> clicks;
    grid->OnCheckBoxClick = [&](QObject*, int col, int row, bool state) {
        clicks.push_back(QStringLiteral("%1,%2 %3").arg(col).arg(row).arg(state));
    };
    GoTo(1, 1);
    grid->AdvanceToNextCell(1, 1, false, false, true, false, true);
    ProcessEvents();
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_TRUE(grid->IsChecked(2, 1));
    EXPECT_EQ(clicks, std::vector<QString>{QStringLiteral("2,1 1")});
}

// Coming from a clickable cell, the press already did its work: no second toggle.
TEST_F(LeftoverFixture, AdvanceFromACheckBoxCellDoesNotClickTheNext)
{
    grid->Navigation().SetAdvanceOnEnter(true);
    grid->AddCheckBox(1, 1, false, false);
    grid->AddCheckBox(2, 1, false, false);
    GoTo(1, 1);
    grid->AdvanceToNextCell(1, 1, false, false, true, false, true);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_FALSE(grid->IsChecked(2, 1));
}

// ---------------------------------------------------------------------------
// Size while typing
// ---------------------------------------------------------------------------

TEST_F(LeftoverFixture, ColumnWidensWhileTyping)
{
    grid->SetColWidths(1, 30);
    grid->SizeWhileTyping().SetWidth(true);
    GoTo(1, 1);
    Type(QStringLiteral("a rather long text"));
    EXPECT_GT(grid->ColWidths(1), 100);
    const int wide = grid->ColWidths(1);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(grid->ColWidths(1), wide) << "a column only widens while typing";
    // Off: nothing grows.
    Key(Qt::Key_Escape);
    grid->SizeWhileTyping().SetWidth(false);
    grid->SetColWidths(2, 30);
    GoTo(2, 1);
    Type(QStringLiteral("another long text"));
    EXPECT_EQ(grid->ColWidths(2), 30);
}

TEST_F(LeftoverFixture, ShiftEnterGrowsAMultiLineRow)
{
    grid->SetWordWrap(false);
    grid->SetMultilinecells(true);
    grid->SizeWhileTyping().SetHeight(true);
    std::vector<int> ended;
    grid->OnEndRowSize = [&](QObject*, int row) { ended.push_back(row); };
    GoTo(1, 2);
    Type(QStringLiteral("one"));
    Key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(grid->RowHeights(2), 2 * LineHeight()) << "the text plus its new line";
    EXPECT_EQ(ended, std::vector<int>{2});
}

// ---------------------------------------------------------------------------
// AutoSizeRows without word wrap
// ---------------------------------------------------------------------------

TEST_F(LeftoverFixture, RowsWithoutWordWrapTakeTheirLineCount)
{
    grid->SetWordWrap(false);
    grid->SetMultilinecells(true);
    grid->SetCells(1, 1, QStringLiteral("a\r\nb\r\nc"));
    grid->SetCells(2, 2, QStringLiteral("single"));
    grid->AutoSizeRows(false, 4);
    const int line = LineHeight();
    EXPECT_EQ(grid->RowHeights(1), 4 + 3 * line);
    EXPECT_EQ(grid->RowHeights(2), 4 + line);
    // Without multi-line cells every row has one line.
    grid->SetMultilinecells(false);
    grid->AutoSizeRows(false, 0);
    EXPECT_EQ(grid->RowHeights(1), line);
    // The limits hold.
    grid->SetMultilinecells(true);
    grid->SetMaxRowHeight(2 * line);
    grid->AutoSizeRows(false, 0);
    EXPECT_EQ(grid->RowHeights(1), 2 * line);
}

// ---------------------------------------------------------------------------
// RemoveRows
// ---------------------------------------------------------------------------

// The current row never lands on a fixed footer row after a removal.
TEST_F(LeftoverFixture, RemovingRowsKeepsTheCurrentRowOffTheFooter)
{
    grid->SetRowCount(8);
    grid->SetFixedFooters(1);
    grid->SetCells(1, 7, QStringLiteral("footer"));
    GoTo(1, 6); // the last normal row
    grid->RemoveRows(2, 1);
    EXPECT_EQ(grid->RowCount(), 7);
    EXPECT_EQ(grid->Cells(1, 6), QStringLiteral("footer"));
    EXPECT_EQ(grid->Row(), 5) << "the last normal row, not the footer";
    // A current row above the removed one stays.
    GoTo(1, 2);
    grid->RemoveRows(4, 2);
    EXPECT_EQ(grid->Row(), 2);
    // Removing every normal row leaves no normal row to be current.
    grid->RemoveRows(1, grid->RowCount() - 2);
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("footer"));
}

TEST_F(LeftoverFixture, RemoveRowsIgnoresRequestsOutsideTheGrid)
{
    grid->SetCells(1, 1, QStringLiteral("kept"));
    grid->RemoveRows(grid->RowCount(), 1);
    grid->RemoveRows(0, 0);
    grid->RemoveRows(-1, 1);
    EXPECT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("kept"));
}

// ---------------------------------------------------------------------------
// A fixed column sized past its left edge
// ---------------------------------------------------------------------------

TEST_F(LeftoverFixture, FixedColumnSizedBelowZeroStopsAtZero)
{
    grid->MouseActions().SetSizeFixedCol(true);
    grid->SetColWidths(0, 40);
    const TRect r = grid->TBaseGrid::CellRect(0, 2);
    const QPoint border(r.Right - 1, (r.Top + r.Bottom) / 2);
    inputtest::Drag(grid, border, QPoint(-80, border.y()));
    EXPECT_EQ(grid->ColWidths(0), 0);
}

// ---------------------------------------------------------------------------
// Focus frame and style colours
// ---------------------------------------------------------------------------

// The frame is soft: opaque-ish on its ring, fading towards its corners and
// edges, in the frame colour, clipped to a ring of 4 and 5 pixels.
TEST_F(LeftoverFixture, FocusFrameIsABlurredRingAroundTheEditedCell)
{
    grid->FocusHelper().SetEnabled(true);
    GoTo(2, 2);
    Key(Qt::Key_F2);
    ProcessEvents();
    QWidget* frame = grid->FocusFrameWindow();
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(frame->isVisible());
    const TRect cell = grid->TBaseGrid::CellRect(2, 2);
    EXPECT_EQ(frame->size(), QSize(cell.Width() + 9, cell.Height() + 9));
    const QRegion mask = frame->mask();
    EXPECT_TRUE(mask.contains(QPoint(1, 10)));
    EXPECT_FALSE(mask.contains(QPoint(4, 10))) << "the cell itself stays clear";
    EXPECT_TRUE(mask.contains(QPoint(cell.Width() + 4, 10)));
    const QPoint at = grid->ClientSurface()->mapTo(frame->parentWidget(), QPoint(cell.Left - 4, cell.Top - 4));
    EXPECT_EQ(frame->pos(), at);

    QImage img(frame->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    frame->render(&img, QPoint(), QRegion(), QWidget::RenderFlags());
    const QColor onRing = img.pixelColor(3, frame->height() / 2);
    const QColor corner = img.pixelColor(0, 0);
    EXPECT_GT(onRing.alpha(), 60);
    EXPECT_LT(corner.alpha(), onRing.alpha()) << "blurred towards the corner";
    // Colour 16634775: red 151, green 211, blue 253 (unpremultiplied).
    EXPECT_NEAR(onRing.red(), 151, 12);
    EXPECT_NEAR(onRing.green(), 211, 12);
    EXPECT_NEAR(onRing.blue(), 253, 12);

    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(TExStringGrid::FocusFrameGrid(), nullptr);
}

TEST_F(LeftoverFixture, ActiveStyleColoursApplyOnlyForANamedStyle)
{
    TExStringGrid::TActiveStyle& style = TExStringGrid::ActiveStyle();
    const TExStringGrid::TActiveStyle saved = style;
    const TColor lineColor = grid->GridLineColor();
    const auto options = grid->Options();
    style.Enabled = true;
    style.Name = QStringLiteral("Windows");
    style.CellBorder = 0x112233;
    grid->ApplyActiveStyleColors();
    EXPECT_FALSE(grid->UsePlatformStyles());
    EXPECT_EQ(grid->GridLineColor(), lineColor);

    style.Name = QStringLiteral("Carbon");
    style.CellFill = 0x202020;
    style.FixedCellBorder = 0x445566;
    style.CellText = 0xEEEEEE;
    style.SelectedCellText = clNone; // not defined by the style: kept
    const TColor selText = grid->SelectionTextColor();
    grid->SetOptions(grid->Options() | goFixedVertLine | goFixedHorzLine);
    grid->ApplyActiveStyleColors();
    EXPECT_TRUE(grid->UsePlatformStyles());
    EXPECT_TRUE(grid->PlatformStylesActive());
    EXPECT_EQ(grid->GridLineColor(), 0x112233u);
    EXPECT_EQ(grid->GridFixedLineColor(), 0x445566u);
    EXPECT_EQ(grid->Font().Color(), 0xEEEEEEu);
    EXPECT_EQ(grid->SelectionTextColor(), selText);
    EXPECT_FALSE(grid->Options() & goFixedVertLine);
    EXPECT_FALSE(grid->Options() & goFixedHorzLine);
    style = saved;
    grid->SetOptions(options);
}

TEST_F(LeftoverFixture, HoverFixedCells)
{
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    struct Case
    {
        THoverFixedCells mode;
        int col, row;
        bool reacts;
    };
    const Case cases[] = {
        {hfNone, 0, 0, false},        {hfAll, 0, 3, true},          {hfAll, 3, 0, true},
        {hfAll, 3, 3, false},         {hfFixedRows, 0, 3, false},   {hfFixedRows, 2, 0, true},
        {hfFixedRows, 0, 0, true},    {hfFixedColumns, 0, 3, true}, {hfFixedColumns, 2, 0, false},
    };
    for (const Case& c : cases) {
        grid->SetHoverFixedCells(c.mode);
        EXPECT_EQ(grid->IsHoverFixedCell(c.col, c.row), c.reacts)
            << static_cast<int>(c.mode) << " " << c.col << "," << c.row;
    }
}

} // namespace
