// Scroll bars of the string grid: positions, the hint of a dragged thumb,
// scrolling while the thumb moves, proportional thumbs, the thin bars and the
// scrolling while something is dragged near an edge.

#include "grid/ExGridInputTestSupport.h"
#include "grid/ExGrid_Windows.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QScrollBar>

#include <vector>

namespace {

using platform::sbHorizontal;
using platform::sbVertical;

class ScrollGrid : public TExStringGrid
{
public:
    using TExStringGrid::TExStringGrid;
    using TExStringGrid::Perform;
    using TExStringGrid::DragOver;
    platform::TTimer* DragTimer() const { return FDragTmr; }
};

struct ScrollFixture : inputtest::InputFixture
{
    TExStringGrid* MakeGrid(QWidget* parent) override { return new ScrollGrid(parent); }
    ScrollGrid* Grid() { return static_cast<ScrollGrid*>(grid); }

    void TearDown() override
    {
        grid->OnScrollHint = nullptr;
        grid->OnDragScroll = nullptr;
        grid->OnScrollCell = nullptr;
        inputtest::InputFixture::TearDown();
    }

    // 101 rows of 16 px (one fixed) with exactly 20 normal rows in view.
    void TallGrid()
    {
        grid->SetOptions(grid->Options() & ~platform::goEditing);
        grid->SetRowCount(101);
        grid->SetDefaultRowHeight(16);
        grid->SetRowHeights(0, 16);
        grid->resize(560, 21 * 16 + 4);
        edittest::ProcessEvents();
        ASSERT_EQ(grid->ClientHeight(), 336);
        ASSERT_EQ(grid->VisibleRowCount(), 20);
    }

    // 31 columns of 50 px (one fixed) with exactly 10 normal columns in view.
    void WideGrid()
    {
        grid->SetOptions(grid->Options() & ~platform::goEditing);
        grid->SetColCount(31);
        grid->SetDefaultColWidth(50);
        grid->SetColWidths(0, 50);
        grid->resize(11 * 50 + 4, 300);
        edittest::ProcessEvents();
        ASSERT_EQ(grid->VisibleColCount(), 10);
    }

    QScrollBar* Bar(Qt::Orientation o)
    {
        for (QScrollBar* b : grid->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
            if (b->orientation() == o)
                return b;
        return nullptr;
    }

    QString ScrollHintText()
    {
        return grid->ScrollHintShown() ? grid->ScrollHintWindow()->HintText() : QString();
    }

    void DragAt(QPoint at)
    {
        QMimeData data;
        data.setText(QStringLiteral("x"));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->ClientSurface(), &enter);
        QDragMoveEvent e(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->ClientSurface(), &e);
    }
    // What the platform reports when the dragged item leaves the grid.
    void DragLeave()
    {
        bool accept = false;
        Grid()->DragOver(nullptr, -1, -1, platform::dsDragLeave, accept);
    }
    void Tick() { Grid()->DragTimer()->OnTimer(Grid()->DragTimer()); }
};

TEST_F(ScrollFixture, BarPositionsFollowTopRowAndLeftColOnTheScaleTo127)
{
    TallGrid();
    // The last top row that shows the last row is 101 - 20 = 81.
    const std::vector<std::pair<int, int>> rows = {{1, 0}, {21, 32}, {61, 95}, {81, 127}};
    for (const auto& [top, pos] : rows) {
        grid->SetTopRow(top);
        EXPECT_EQ(grid->GetScrollInfo(sbVertical).Pos, pos) << "top row " << top;
    }
    grid->SetRowCount(6);
    WideGrid();
    // The last left column that shows the last column is 31 - 10 = 21.
    const std::vector<std::pair<int, int>> cols = {{1, 0}, {6, 32}, {21, 127}};
    for (const auto& [left, pos] : cols) {
        grid->SetLeftCol(left);
        EXPECT_EQ(grid->GetScrollInfo(sbHorizontal).Pos, pos) << "left column " << left;
    }
}

TEST_F(ScrollFixture, DraggedVerticalThumbShowsTheRowReached)
{
    TallGrid();
    grid->SetScrollHints(shVertical);
    QScrollBar* bar = Bar(Qt::Vertical);
    ASSERT_NE(bar, nullptr);
    const std::vector<std::pair<int, QString>> cases = {
        {64, QStringLiteral("Row : 41")}, {127, QStringLiteral("Row : 81")}, {0, QStringLiteral("Row : 1")}};
    bar->setSliderDown(true);
    for (const auto& [pos, text] : cases) {
        bar->setSliderPosition(pos);
        EXPECT_EQ(ScrollHintText(), text);
    }
    EXPECT_EQ(grid->TopRow(), 1) << "without ScrollSynch the grid waits for the release";
    bar->setSliderPosition(127);
    bar->setSliderDown(false);
    edittest::ProcessEvents();
    EXPECT_FALSE(grid->ScrollHintShown());
    EXPECT_EQ(grid->TopRow(), 81);
}

TEST_F(ScrollFixture, DraggedHorizontalThumbShowsTheColumnReached)
{
    WideGrid();
    grid->SetScrollHints(shHorizontal);
    QScrollBar* bar = Bar(Qt::Horizontal);
    ASSERT_NE(bar, nullptr);
    bar->setSliderDown(true);
    bar->setSliderPosition(64);
    EXPECT_EQ(ScrollHintText(), QStringLiteral("Col : 11"));
    bar->setSliderPosition(127);
    EXPECT_EQ(ScrollHintText(), QStringLiteral("Col : 21"));
    bar->setSliderDown(false);
    EXPECT_FALSE(grid->ScrollHintShown());
}

TEST_F(ScrollFixture, ScrollHintsOnlyForTheirBars)
{
    TallGrid();
    QScrollBar* bar = Bar(Qt::Vertical);
    for (TScrollHintType type : {shNone, shHorizontal}) {
        grid->SetScrollHints(type);
        bar->setSliderDown(true);
        bar->setSliderPosition(30);
        EXPECT_FALSE(grid->ScrollHintShown());
        bar->setSliderDown(false);
    }
    grid->SetScrollHints(shBoth);
    bar->setSliderDown(true);
    bar->setSliderPosition(127);
    EXPECT_TRUE(grid->ScrollHintShown());
    bar->setSliderDown(false);
}

TEST_F(ScrollFixture, OnScrollHintGetsTheRowAndChangesTheText)
{
    TallGrid();
    grid->SetScrollHints(shVertical);
    int reached = -1;
    grid->OnScrollHint = [&](QObject*, int aRow, QString& hint) {
        reached = aRow;
        hint = QStringLiteral("Line <b>%1</b>").arg(aRow);
    };
    QScrollBar* bar = Bar(Qt::Vertical);
    bar->setSliderDown(true);
    bar->setSliderPosition(127);
    EXPECT_EQ(reached, 81);
    EXPECT_EQ(ScrollHintText(), QStringLiteral("Line <b>81</b>"));
    bar->setSliderDown(false);
}

TEST_F(ScrollFixture, ThumbTrackWithNothingToScrollShowsTheFirstNormalRow)
{
    grid->SetScrollHints(shBoth);
    ASSERT_GE(grid->VisibleRowCount(), grid->RowCount() - grid->FixedRows());
    for (unsigned msg : {platform::WM_VSCROLL, platform::WM_HSCROLL}) {
        platform::TMessage m{msg, platform::MakeWParam(platform::SB_THUMBTRACK, 127), 0, 0};
        Grid()->Perform(m);
    }
    EXPECT_EQ(ScrollHintText(), QStringLiteral("Col : 1"));
}

TEST_F(ScrollFixture, ScrollSynchMovesTheGridWhileTheThumbIsDragged)
{
    TallGrid();
    grid->SetScrollSynch(true);
    QScrollBar* bar = Bar(Qt::Vertical);
    bar->setSliderDown(true);
    bar->setSliderPosition(64);
    EXPECT_EQ(grid->TopRow(), 41);
    bar->setSliderPosition(127);
    EXPECT_EQ(grid->TopRow(), 81);
    bar->setSliderDown(false);
    EXPECT_EQ(grid->TopRow(), 81);
}

TEST_F(ScrollFixture, ProportionalThumbFollowsThePixelSizes)
{
    TallGrid();
    grid->SetScrollProportional(true);
    // Line 1 px: fixed part B = 1 + 17, content C = 1 + 100 * 17 = 1701, client 336:
    // E = 318 / 1701, F = (E + 127) / (1 - E) = 156.4, page 156 - 126.
    const platform::TScrollInfo top = grid->GetScrollInfo(sbVertical);
    EXPECT_EQ(top.Max, 156);
    EXPECT_EQ(top.Page, 30);
    EXPECT_EQ(top.Pos, 0);
    // 40 rows above: D = 1 + 40 * 17 = 681; 681 / (1701 - 336) * 128 = 63.9.
    grid->SetTopRow(41);
    const platform::TScrollInfo middle = grid->GetScrollInfo(sbVertical);
    EXPECT_EQ(middle.Max, 156) << "the platform's own information is replaced after a scroll";
    EXPECT_EQ(middle.Pos, 63);
    // A new size measures again.
    grid->resize(560, 21 * 16 + 4 + 170);
    edittest::ProcessEvents();
    const platform::TScrollInfo taller = grid->GetScrollInfo(sbVertical);
    EXPECT_GT(taller.Page, 30);
    EXPECT_EQ(taller.Page, taller.Max - 126);
    // Rows added: the platform's count-based thumb does not come back.
    grid->SetRowCount(201);
    const platform::TScrollInfo longer = grid->GetScrollInfo(sbVertical);
    EXPECT_LT(longer.Page, taller.Page);
    EXPECT_EQ(longer.Page, longer.Max - 126);

    grid->SetScrollProportional(false);
    EXPECT_EQ(grid->GetScrollInfo(sbVertical).Max, 127);
    EXPECT_EQ(grid->GetScrollInfo(sbVertical).Page, 0);
}

TEST_F(ScrollFixture, ProportionalThumbLeavesAGridThatFitsAlone)
{
    const platform::TScrollInfo before = grid->GetScrollInfo(sbVertical);
    const platform::TScrollInfo beforeH = grid->GetScrollInfo(sbHorizontal);
    grid->SetScrollProportional(true);
    EXPECT_EQ(grid->GetScrollInfo(sbVertical), before);
    EXPECT_EQ(grid->GetScrollInfo(sbHorizontal), beforeH);
    // Rows and columns of no size and no lines: nothing to measure, no fault.
    grid->SetGridLineWidth(0);
    for (int r = 1; r < grid->RowCount(); ++r)
        grid->SetRowHeights(r, 0);
    EXPECT_NO_THROW(grid->UpdateProportionalVScroll());
    EXPECT_NO_THROW(grid->UpdateProportionalHScroll());
}

TEST_F(ScrollFixture, ThinBarsKeepTheirThumbAtLeast20Pixels)
{
    TallGrid();
    grid->SetRowCount(2000);
    grid->SetScrollType(ssMetro);
    TScrollControl* bar = grid->VertScrollControl();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(grid->ScrollBars(), platform::ssNone);
    EXPECT_EQ(bar->width(), 6);
    int trackStart, trackLength, thumbStart, thumbLength;
    ASSERT_TRUE(bar->ThumbRange(trackStart, trackLength, thumbStart, thumbLength));
    EXPECT_EQ(trackStart, 16) << "the track starts below the fixed row";
    EXPECT_EQ(thumbLength, 20);
    grid->SetTopRow(grid->RowCount() - grid->VisibleRowCount());
    ASSERT_TRUE(bar->ThumbRange(trackStart, trackLength, thumbStart, thumbLength));
    EXPECT_LE(thumbStart + thumbLength, bar->height()) << "the thumb ends inside the control";

    // All rows in view: no thumb.
    grid->SetRowCount(5);
    grid->SetTopRow(1);
    EXPECT_FALSE(bar->ThumbRange(trackStart, trackLength, thumbStart, thumbLength));

    grid->SetScrollType(ssNormal);
    EXPECT_EQ(grid->VertScrollControl(), nullptr);
    EXPECT_EQ(grid->ScrollBars(), platform::ssBoth);
}

TEST_F(ScrollFixture, ThinBarsComeWithTheWindowOfAGridLoadedAsMetro)
{
    auto* other = new TExStringGrid(host.get());
    other->SetScrollType(ssMetro);
    EXPECT_EQ(other->VertScrollControl(), nullptr);
    other->setGeometry(10, 10, 200, 100);
    other->show();
    edittest::ProcessEvents();
    EXPECT_NE(other->VertScrollControl(), nullptr);
    EXPECT_NE(other->HorzScrollControl(), nullptr);
    EXPECT_EQ(other->ScrollBars(), platform::ssNone);
}

TEST_F(ScrollFixture, ThinBarDragAlongAControlNoTallerThanTheFirstRowDoesNothing)
{
    TallGrid();
    grid->SetScrollType(ssMetro);
    TScrollControl* bar = grid->VertScrollControl();
    grid->SetRowHeights(0, bar->height());
    const int top = grid->TopRow();
    const QPoint at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, bar->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(bar, &press);
    const QPoint to(2, 40);
    QMouseEvent move(QEvent::MouseMove, to, bar->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    EXPECT_NO_THROW(QApplication::sendEvent(bar, &move));
    QMouseEvent release(QEvent::MouseButtonRelease, to, bar->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(bar, &release);
    EXPECT_EQ(grid->TopRow(), top);
}

TEST_F(ScrollFixture, DragNearTheTopScrollsUpAfterTheDelays)
{
    TallGrid();
    grid->DragScrollOptions().SetActive(true);
    EXPECT_EQ(grid->DragScrollOptions().Delays().InitialDelay(), 1000);
    EXPECT_EQ(grid->DragScrollOptions().Delays().RepeatDelay(), 250);
    grid->SetTopRow(4);

    DragAt(QPoint(100, 10));
    ASSERT_NE(Grid()->DragTimer(), nullptr);
    EXPECT_TRUE(Grid()->DragTimer()->Enabled());
    EXPECT_EQ(Grid()->DragTimer()->Interval(), 1000);

    Tick();
    EXPECT_EQ(grid->TopRow(), 3);
    EXPECT_EQ(Grid()->DragTimer()->Interval(), 250);
    // Moving within the margin starts the first wait again.
    DragAt(QPoint(120, 12));
    EXPECT_EQ(Grid()->DragTimer()->Interval(), 1000);
    Tick();
    Tick();
    Tick();
    EXPECT_EQ(grid->TopRow(), 1) << "up to the first normal row, not beyond";
    EXPECT_TRUE(Grid()->DragTimer()->Enabled());

    // Away from the margins, and leaving the grid, stop it.
    DragAt(QPoint(200, 150));
    EXPECT_FALSE(Grid()->DragTimer()->Enabled());
    DragAt(QPoint(200, 330));
    EXPECT_TRUE(Grid()->DragTimer()->Enabled());
    Tick();
    EXPECT_EQ(grid->TopRow(), 2);
    DragLeave();
    EXPECT_FALSE(Grid()->DragTimer()->Enabled());
}

TEST_F(ScrollFixture, OnDragScrollRefusesAStepAndTheTimerGoesOn)
{
    TallGrid();
    grid->DragScrollOptions().SetActive(true);
    grid->SetTopRow(10);
    std::vector<std::pair<int, int>> asked;
    bool allow = false;
    grid->OnDragScroll = [&](QObject*, int topRow, int leftCol, TDragScrollDirection& dirs, bool& canScroll) {
        asked.emplace_back(topRow, leftCol);
        EXPECT_EQ(dirs, dsdUp);
        canScroll = allow;
    };
    DragAt(QPoint(100, 10));
    Tick();
    EXPECT_EQ(grid->TopRow(), 10);
    EXPECT_TRUE(Grid()->DragTimer()->Enabled());
    allow = true;
    Tick();
    EXPECT_EQ(grid->TopRow(), 9);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], std::make_pair(10, 1));

    // Active switched off: the next tick stops the timer.
    grid->DragScrollOptions().SetActive(false);
    Tick();
    EXPECT_FALSE(Grid()->DragTimer()->Enabled());
    EXPECT_EQ(grid->TopRow(), 9);
}

// A drop ends the drag: an item dropped inside a margin leaves no timer
// scrolling the grid on.
TEST_F(ScrollFixture, ADropInsideAMarginEndsTheAutoScroll)
{
    TallGrid();
    grid->DragScrollOptions().SetActive(true);
    grid->SetTopRow(10);
    // The grid takes the item, so the drop reaches it.
    int dropped = 0;
    grid->OnDragOver = [](QObject*, QObject*, int, int, platform::TDragState, bool& accept) { accept = true; };
    grid->OnDragDrop = [&](QObject*, QObject*, int, int) { ++dropped; };
    DragAt(QPoint(100, 10));
    ASSERT_NE(Grid()->DragTimer(), nullptr);
    ASSERT_TRUE(Grid()->DragTimer()->Enabled());

    QMimeData data;
    data.setText(QStringLiteral("x"));
    QDropEvent drop(QPointF(100, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid->ClientSurface(), &drop);
    EXPECT_EQ(dropped, 1);
    EXPECT_FALSE(Grid()->DragTimer()->Enabled());
    EXPECT_EQ(grid->TopRow(), 10);
    grid->OnDragOver = nullptr;
    grid->OnDragDrop = nullptr;
}

TEST_F(ScrollFixture, DragAutoScrollRunsOnItsTimer)
{
    TallGrid();
    grid->DragScrollOptions().SetActive(true);
    grid->DragScrollOptions().Delays().SetInitialDelay(20);
    grid->DragScrollOptions().Delays().SetRepeatDelay(5);
    grid->SetTopRow(6);
    DragAt(QPoint(100, 10));
    QElapsedTimer clock;
    clock.start();
    while (grid->TopRow() > 1 && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(grid->TopRow(), 1);
    DragLeave();
}

TEST_F(ScrollFixture, CellScrollBarMovesByTensAndReportsTheCell)
{
    grid->SetOptions(grid->Options() & ~platform::goEditing);
    grid->SetRowHeights(2, 80);
    grid->AddScrollBar(2, 2, false);
    grid->SetScrollProp(2, 2, 10, 200);
    grid->PlaceCellScrollBar(2, 2);
    std::vector<std::vector<int>> reports;
    grid->OnScrollCell = [&](QObject*, int aCol, int aRow, int pos, int min, int max) {
        reports.push_back({aCol, aRow, pos, min, max});
    };
    QScrollBar* bar = nullptr;
    for (QScrollBar* b : grid->ClientSurface()->findChildren<QScrollBar*>())
        bar = b;
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0][2], 10);
    EXPECT_EQ(reports[1][2], 110);
    EXPECT_EQ(reports[2][2], 100);
    EXPECT_EQ(reports[0][0], 2);
    EXPECT_EQ(reports[0][1], 2);
    EXPECT_EQ(reports[0][3], 0);
    EXPECT_EQ(reports[0][4], 200);
    EXPECT_EQ(grid->GetScrollPosition(2, 2), 100);
    // Not past the position whose page shows the end of the range: 200 - 10 + 1.
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(grid->GetScrollPosition(2, 2), 191);
    grid->HideCellScrollBar();
    EXPECT_FALSE(bar->isVisible());
}

// A cell whose page shows its whole range needs no bar: the bar of the cell
// left before must not stay, or its steps would scroll the new cell.
TEST_F(ScrollFixture, CellScrollBarOfTheCellLeftGoesWhenTheNewCellNeedsNone)
{
    grid->SetOptions(grid->Options() & ~platform::goEditing);
    grid->SetRowHeights(2, 80);
    grid->AddScrollBar(2, 2, false);
    grid->SetScrollProp(2, 2, 10, 200);
    grid->AddScrollBar(3, 2, false);
    grid->SetScrollProp(3, 2, 50, 50);
    std::vector<std::vector<int>> reports;
    grid->OnScrollCell = [&](QObject*, int aCol, int aRow, int pos, int, int) {
        reports.push_back({aCol, aRow, pos});
    };
    inputtest::Move(grid, inputtest::CellCentre(grid, 2, 2));
    QScrollBar* bar = nullptr;
    for (QScrollBar* b : grid->ClientSurface()->findChildren<QScrollBar*>())
        bar = b;
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisible());

    inputtest::Move(grid, inputtest::CellCentre(grid, 3, 2));
    EXPECT_FALSE(bar->isVisible());
    if (bar->isVisible())
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(grid->GetScrollPosition(3, 2), 0);

    // Back on the cell that needs one, the bar is there again for it.
    inputtest::Move(grid, inputtest::CellCentre(grid, 2, 2));
    EXPECT_TRUE(bar->isVisible());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], (std::vector<int>{2, 2, 10}));
}

} // namespace
