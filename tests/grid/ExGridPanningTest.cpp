// Panning with the middle button: a press starts it where the pointer is,
// the pan timer moves the view (or the current cell) towards the pointer one
// row and column per tick, and the next press or key ends it.
#include "grid/ExGridInputTestSupport.h"

#include "platform/Messages.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>

using namespace platform;
using namespace inputtest;

namespace {

struct PanFixture : InputFixture
{
    void SetUp() override
    {
        InputFixture::SetUp();
        grid->SetColCount(30);
        grid->SetRowCount(60);
        grid->SetOptions(grid->Options() & ~goEditing);
        grid->MouseActions().SetWheelAction(waScroll);
    }

    QPoint Centre() const { return QPoint(grid->ClientWidth() / 2, grid->ClientHeight() / 2); }

    // The system pointer at a client point (the pan follows the pointer,
    // not the events). False when the platform cannot place it.
    bool PointerTo(QPoint at)
    {
        QCursor::setPos(Surface(grid)->mapToGlobal(at));
        edittest::ProcessEvents();
        return Surface(grid)->mapFromGlobal(QCursor::pos()) == at;
    }

    void MiddleClick(QPoint at)
    {
        Press(grid, at, Qt::MiddleButton);
        Release(grid, at, Qt::MiddleButton);
    }

    void Ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            SendMessage(grid, WM_TIMER, TExStringGrid::PanTimerId);
    }

    // Panning off, and nothing of it left behind.
    void ExpectEnded(const char* how)
    {
        EXPECT_FALSE(grid->Panning()) << how;
        EXPECT_EQ(grid->PanCursor(), 0) << how;
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << how << ": the cursor is given back";
        EXPECT_FALSE(grid->MouseCapture()) << how;
        EXPECT_EQ(grid->PanMarker(), nullptr) << how;
    }
};

} // namespace

TEST_F(PanFixture, MiddleClickPansTowardsThePointerUntilTheNextPress)
{
    const QPoint origin = Centre();
    int hints = 0;
    grid->SetShowHint(true);
    grid->OnGridHint = [&](QObject*, int, int, QString& hint) {
        ++hints;
        hint = QStringLiteral("hint");
    };
    MiddleClick(origin);
    ASSERT_TRUE(grid->Panning());
    EXPECT_EQ(grid->PanOrigin(), Point(origin.x(), origin.y()));
    EXPECT_EQ(grid->PanCursor(), 8000);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(grid->MouseCapture());
    ASSERT_NE(grid->PanMarker(), nullptr);
    EXPECT_TRUE(grid->PanMarker()->isVisible());
    EXPECT_EQ(grid->PanMarker()->geometry(), QRect(origin, QSize(32, 32)));
    HintAt(grid, CellCentre(grid, 2, 2));
    EXPECT_EQ(grid->CellHintWindow(), nullptr) << "no hints while panning";
    EXPECT_EQ(hints, 0);

    // The running timer scrolls down while the pointer rests below the origin.
    if (!PointerTo(origin + QPoint(0, 60)))
        GTEST_SKIP() << "the platform does not place the mouse";
    QElapsedTimer clock;
    clock.start();
    while (grid->TopRow() < 4 && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_GE(grid->TopRow(), 4);
    EXPECT_EQ(grid->PanCursor(), 8001);
    EXPECT_EQ(grid->Row(), 1) << "scrolling leaves the current cell";

    Press(grid, origin, Qt::MiddleButton);
    ExpectEnded("second press");
    const int top = grid->TopRow();
    clock.restart();
    while (clock.elapsed() < 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(grid->TopRow(), top) << "the timer is stopped";
    HintAt(grid, CellCentre(grid, 2, 2));
    EXPECT_EQ(hints, 1) << "hints are back";
    Release(grid, origin, Qt::MiddleButton);
}

TEST_F(PanFixture, DirectionsAndCursorsFollowThePointer)
{
    struct Case
    {
        const char* name;
        TIntelliPan pan;
        QPoint offset;
        int cursor, rows, cols; // rows and columns moved by three ticks
    } cases[] = {
        {"below", ipVertical, {0, 40}, 8001, 3, 0},
        {"above", ipVertical, {0, -40}, 8004, -3, 0},
        {"inside the dead zone", ipBoth, {5, -5}, 8000, 0, 0},
        {"just past the dead zone", ipBoth, {6, 6}, 8007, 3, 3},
        {"vertical ignores sideways", ipVertical, {40, 0}, 8000, 0, 0},
        {"horizontal ignores up and down", ipHorizontal, {40, 40}, 8003, 0, 3},
        {"left", ipHorizontal, {-40, 0}, 8002, 0, -3},
        {"up-right", ipBoth, {40, -40}, 8005, -3, 3},
        {"up-left", ipBoth, {-40, -40}, 8006, -3, -3},
        {"down-right", ipBoth, {40, 40}, 8007, 3, 3},
        {"down-left", ipBoth, {-40, 40}, 8008, 3, -3},
    };
    const QPoint origin = Centre();
    for (const Case& c : cases) {
        grid->SetIntelliPan(c.pan);
        grid->SetTopRow(10);
        grid->SetLeftCol(10);
        if (!PointerTo(origin + c.offset))
            GTEST_SKIP() << "the platform does not place the mouse";
        MiddleClick(origin);
        ASSERT_TRUE(grid->Panning()) << c.name;
        Ticks(3);
        EXPECT_EQ(grid->PanCursor(), c.cursor) << c.name;
        EXPECT_EQ(grid->TopRow(), 10 + c.rows) << c.name;
        EXPECT_EQ(grid->LeftCol(), 10 + c.cols) << c.name;
        edittest::Key(Qt::Key_Shift);
        ExpectEnded(c.name);
    }
}

TEST_F(PanFixture, ScrollingStopsAtTheEnds)
{
    grid->SetIntelliPan(ipBoth);
    const QPoint origin = Centre();
    if (!PointerTo(origin + QPoint(-40, -40)))
        GTEST_SKIP() << "the platform does not place the mouse";
    grid->SetTopRow(2);
    grid->SetLeftCol(2);
    MiddleClick(origin);
    Ticks(5);
    EXPECT_EQ(grid->TopRow(), grid->FixedRows());
    EXPECT_EQ(grid->LeftCol(), grid->FixedCols());
    ASSERT_TRUE(PointerTo(origin + QPoint(40, 40)));
    Ticks(200);
    EXPECT_EQ(grid->TopRow(), grid->RowCount() - grid->VisibleRowCount());
    EXPECT_EQ(grid->LeftCol(), grid->ColCount() - grid->VisibleColCount());
    Press(grid, origin, Qt::LeftButton);
    ExpectEnded("left press");
    Release(grid, origin, Qt::LeftButton);
}

// With the wheel set to move the selection, panning moves the current cell,
// kept off the footer rows, and reports the changed selection.
TEST_F(PanFixture, MoveSelectionMovesTheCurrentCellWithinTheNormalRows)
{
    grid->SetRowCount(8);
    grid->SetFixedFooters(1);
    grid->MouseActions().SetWheelAction(waMoveSelection);
    int changes = 0;
    grid->OnSelectionChanged = [&](QObject*, int, int, int, int) { ++changes; };
    grid->SetRow(2);
    const QPoint origin = Centre();
    if (!PointerTo(origin + QPoint(0, 30)))
        GTEST_SKIP() << "the platform does not place the mouse";
    MiddleClick(origin);
    Ticks(10);
    EXPECT_EQ(grid->Row(), 6) << "the last normal row";
    EXPECT_EQ(changes, 4);
    ASSERT_TRUE(PointerTo(origin + QPoint(0, -30)));
    Ticks(1);
    EXPECT_EQ(grid->Row(), 5);
    EXPECT_EQ(changes, 5);
    edittest::Key(Qt::Key_Shift);
    ExpectEnded("key");
}

TEST_F(PanFixture, EveryPressAndKeyEndsPanning)
{
    struct Case
    {
        const char* name;
        std::function<void(QPoint)> input;
    } cases[] = {
        {"middle press", [this](QPoint at) { Press(grid, at, Qt::MiddleButton); }},
        {"middle double click",
         [this](QPoint at) { SendMouse(grid, QEvent::MouseButtonDblClick, at, Qt::MiddleButton, Qt::MiddleButton, {}); }},
        {"left press", [this](QPoint at) { Press(grid, at, Qt::LeftButton); }},
        {"right press", [this](QPoint at) { Press(grid, at, Qt::RightButton); }},
        {"key", [this](QPoint) { edittest::Key(Qt::Key_Down); }},
        {"grid hidden", [this](QPoint) { grid->hide(); }},
    };
    for (const Case& c : cases) {
        const QPoint origin = Centre();
        MiddleClick(origin);
        ASSERT_TRUE(grid->Panning()) << c.name;
        c.input(origin + QPoint(10, 10));
        ExpectEnded(c.name);
        Release(grid, origin, Qt::LeftButton);
        Restart();
    }
}

TEST_F(PanFixture, NoPanningWithoutDirectionsOrNormalRows)
{
    grid->SetIntelliPan(ipNone);
    MiddleClick(Centre());
    EXPECT_FALSE(grid->Panning());
    grid->SetIntelliPan(ipVertical);
    // One row, the always-fixed one: nothing to pan.
    grid->SetFixedRows(0);
    grid->SetFixedRowAlways(true);
    grid->SetRowCount(1);
    ASSERT_EQ(grid->FixedRows(), 1);
    MiddleClick(Centre());
    EXPECT_FALSE(grid->Panning());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(PanFixture, TheWheelWaitsWhilePanning)
{
    MiddleClick(Centre());
    ASSERT_TRUE(grid->Panning());
    const int top = grid->TopRow();
    Wheel(grid, Centre(), -120);
    EXPECT_EQ(grid->TopRow(), top);
    EXPECT_TRUE(grid->Panning());
}

// A grid that goes while panning gives the application its cursor back.
TEST(GridPanning, AGridDestroyedWhilePanningGivesTheCursorBack)
{
    auto host = std::make_unique<QWidget>();
    host->resize(400, 300);
    auto* grid = new TExStringGrid(host.get());
    grid->setGeometry(0, 0, 380, 280);
    grid->SetRowCount(50);
    host->show();
    edittest::ProcessEvents();
    Press(grid, QPoint(100, 100), Qt::MiddleButton);
    ASSERT_TRUE(grid->Panning());
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    host.reset();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
