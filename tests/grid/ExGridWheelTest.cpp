// The mouse wheel of the string grid: moving the selection, scrolling, the
// step, switching it off, Ctrl zoom, and the step that must always end.

#include "grid/ExGridInputTestSupport.h"

#include <QApplication>

#include <vector>

namespace {

using inputtest::CellCentre;
using inputtest::Wheel;

constexpr int TowardsUser = -120;
constexpr int AwayFromUser = 120;

class WheelGrid : public TExStringGrid
{
public:
    using TExStringGrid::TExStringGrid;
    using TExStringGrid::DoMouseWheelDown;
    using TExStringGrid::DoMouseWheelUp;
};

struct WheelFixture : inputtest::InputFixture
{
    TExStringGrid* MakeGrid(QWidget* parent) override { return new WheelGrid(parent); }
    WheelGrid* Grid() { return static_cast<WheelGrid*>(grid); }

    void SetUp() override
    {
        inputtest::InputFixture::SetUp();
        QApplication::setWheelScrollLines(3);
        grid->SetOptions(grid->Options() & ~platform::goEditing);
    }
    void WheelOverGrid(int delta, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Wheel(grid, CellCentre(grid, 2, 1), delta, mods);
        edittest::ProcessEvents();
    }
    void WheelStepsOverGrid(int delta, int steps, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        for (int i = 0; i < steps; ++i)
            WheelOverGrid(delta, mods);
    }
};

// waMoveSelection: the current row moves by the step, kept in the normal rows.
struct MoveCase
{
    const char* name;
    int rowCount;
    int footers;
    int startRow;
    int increment; // 0: the lines per wheel step (3)
    int delta;
    int expectedRow;
};

TEST_F(WheelFixture, MoveSelectionMovesTheCurrentRowByTheStep)
{
    const std::vector<MoveCase> cases = {
        {"step 3 towards the user on row 2 of 5 ends on the last row", 5, 0, 2, 3, TowardsUser, 4},
        {"lines per step when no increment is set", 10, 0, 2, 0, TowardsUser, 5},
        {"increment 1 down", 6, 0, 1, 1, TowardsUser, 2},
        {"away from the user moves up", 10, 0, 7, 2, AwayFromUser, 5},
        {"never into the fixed row", 10, 0, 2, 3, AwayFromUser, 1},
        {"never into the footer rows", 6, 1, 2, 3, TowardsUser, 4},
    };
    for (const MoveCase& c : cases) {
        SCOPED_TRACE(c.name);
        grid->SetFixedFooters(0);
        grid->SetRowCount(c.rowCount);
        grid->SetFixedFooters(c.footers);
        grid->MouseActions().SetWheelAction(waMoveSelection);
        grid->MouseActions().SetWheelIncrement(c.increment);
        grid->SetRow(c.startRow);
        WheelOverGrid(c.delta);
        EXPECT_EQ(grid->Row(), c.expectedRow);
    }
}

// A touchpad turns in small pieces: they make a step only once they add up
// to a notch, and a turn back starts afresh.
TEST_F(WheelFixture, SmallTurnsAddUpToWholeNotches)
{
    grid->SetRowCount(10);
    grid->MouseActions().SetWheelAction(waMoveSelection);
    grid->MouseActions().SetWheelIncrement(1);
    grid->SetRow(2);
    WheelStepsOverGrid(TowardsUser / 4, 3);
    EXPECT_EQ(grid->Row(), 2);
    WheelOverGrid(TowardsUser / 4);
    EXPECT_EQ(grid->Row(), 3);
    WheelOverGrid(TowardsUser / 2);
    WheelOverGrid(AwayFromUser / 2);
    WheelOverGrid(TowardsUser / 2);
    EXPECT_EQ(grid->Row(), 3);
    WheelOverGrid(TowardsUser / 2);
    EXPECT_EQ(grid->Row(), 4);
}

TEST_F(WheelFixture, ScrollMovesTheTopRowAndKeepsTheCurrentRow)
{
    grid->SetRowCount(101);
    grid->MouseActions().SetWheelAction(waScroll);
    grid->MouseActions().SetWheelIncrement(0);
    grid->SetRow(2);
    ASSERT_EQ(grid->TopRow(), 1);
    WheelOverGrid(TowardsUser);
    EXPECT_EQ(grid->TopRow(), 4);
    EXPECT_EQ(grid->Row(), 2);
    WheelOverGrid(TowardsUser);
    EXPECT_EQ(grid->TopRow(), 7);
    WheelOverGrid(AwayFromUser);
    EXPECT_EQ(grid->TopRow(), 4);
    // Up by the step, but never above the first normal row.
    WheelStepsOverGrid(AwayFromUser, 2);
    EXPECT_EQ(grid->TopRow(), 1);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(WheelFixture, ScrollStopsWhereTheLastRowIsInView)
{
    grid->SetRowCount(30);
    grid->MouseActions().SetWheelAction(waScroll);
    grid->MouseActions().SetWheelIncrement(4);
    const int lastTop = grid->RowCount() - grid->VisibleRowCount();
    WheelStepsOverGrid(TowardsUser, 20);
    EXPECT_EQ(grid->TopRow(), lastTop);
}

TEST_F(WheelFixture, WheelIncrementRaisesTheWheelEventAndAnswersTheMessage)
{
    grid->SetRowCount(20);
    int downs = 0, ups = 0;
    grid->OnMouseWheelDown = [&](QObject*, platform::TShiftState, const platform::TPoint&, bool&) { ++downs; };
    grid->OnMouseWheelUp = [&](QObject*, platform::TShiftState, const platform::TPoint&, bool&) { ++ups; };

    grid->MouseActions().SetWheelIncrement(0);
    grid->SetRow(5);
    WheelOverGrid(TowardsUser);
    EXPECT_EQ(grid->Row(), 8);
    EXPECT_EQ(downs, 0) << "without an increment the wheel events stay quiet";

    grid->MouseActions().SetWheelIncrement(2);
    WheelOverGrid(TowardsUser);
    EXPECT_EQ(grid->Row(), 10);
    WheelOverGrid(AwayFromUser);
    EXPECT_EQ(grid->Row(), 8);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(WheelFixture, WheelOffChangesNothing)
{
    grid->SetRowCount(101);
    grid->SetRow(3);
    grid->SetEnableWheel(false);
    for (TWheelAction action : {waMoveSelection, waScroll}) {
        grid->MouseActions().SetWheelAction(action);
        WheelStepsOverGrid(TowardsUser, 2);
        EXPECT_EQ(grid->Row(), 3);
        EXPECT_EQ(grid->TopRow(), 1);
    }
}

TEST_F(WheelFixture, CtrlWheelZoomsByTheLinesPerStepUpToTen)
{
    grid->SetRowCount(6);
    grid->SetRow(2);
    WheelOverGrid(TowardsUser, Qt::ControlModifier);
    EXPECT_EQ(grid->ZoomFactor(), 3);
    EXPECT_EQ(grid->Row(), 2) << "a zoom step does not move the selection";
    WheelStepsOverGrid(TowardsUser, 2, Qt::ControlModifier);
    EXPECT_EQ(grid->ZoomFactor(), 9);
    WheelOverGrid(TowardsUser, Qt::ControlModifier);
    EXPECT_EQ(grid->ZoomFactor(), 9) << "12 would pass the limit of 10";
    WheelOverGrid(AwayFromUser, Qt::ControlModifier);
    EXPECT_EQ(grid->ZoomFactor(), 6);

    grid->SetIntelliZoom(false);
    WheelOverGrid(TowardsUser, Qt::ControlModifier);
    EXPECT_EQ(grid->ZoomFactor(), 6);
    EXPECT_EQ(grid->Row(), 5) << "without IntelliZoom the wheel moves as usual";
}

// The step toward a target row that the grid does not reach at once: a
// refused row or a distance of one must end after a bounded number of moves.
TEST_F(WheelFixture, RefusedTargetRowEndsTheStepOnTheNearestAllowedRow)
{
    grid->SetRowCount(10);
    grid->MouseActions().SetWheelIncrement(3);
    grid->SetRow(1);
    int asked = 0;
    grid->OnSelectCell = [&](QObject*, int, int row, bool& canSelect) {
        ++asked;
        if (row == 4)
            canSelect = false;
    };
    WheelOverGrid(TowardsUser);
    // Row 4 refused; half the distance of 3 (rounded) reaches 3; row 4 refused again.
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_LT(asked, 10);
}

TEST_F(WheelFixture, RefusedTargetRowMovesTheTopRowUpOncePerStepOnly)
{
    grid->SetRowCount(101);
    grid->MouseActions().SetWheelIncrement(3);
    grid->SetTopRow(50);
    grid->SetRow(50);
    ASSERT_EQ(grid->TopRow(), 50);
    grid->OnSelectCell = [&](QObject*, int, int row, bool& canSelect) { canSelect = row != 53; };
    WheelOverGrid(TowardsUser);
    // Two steps toward row 53 (to 52, then the refused 53), each moving the top row up by one.
    EXPECT_EQ(grid->Row(), 52);
    EXPECT_EQ(grid->TopRow(), 48);
}

TEST_F(WheelFixture, RefusedNeighbourRowLeavesTheCurrentRow)
{
    grid->SetRowCount(10);
    grid->MouseActions().SetWheelIncrement(1);
    grid->SetRow(1);
    grid->OnSelectCell = [&](QObject*, int, int row, bool& canSelect) { canSelect = row != 2; };
    WheelOverGrid(TowardsUser);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(WheelFixture, ScrollWithTheCurrentRowInTheFooterBringsItBackOneRowAway)
{
    grid->SetRowCount(8);
    grid->SetRow(7);
    grid->SetFixedFooters(1);
    grid->MouseActions().SetWheelAction(waScroll);
    ASSERT_EQ(grid->Row(), 7);
    WheelOverGrid(TowardsUser);
    EXPECT_EQ(grid->Row(), 6);
}

TEST_F(WheelFixture, GridWithoutNormalRowsIgnoresTheWheel)
{
    grid->SetRowCount(3);
    grid->SetFixedFooters(2);
    const int row = grid->Row();
    EXPECT_NO_THROW(WheelOverGrid(TowardsUser));
    EXPECT_NO_THROW(WheelOverGrid(AwayFromUser));
    EXPECT_EQ(grid->Row(), row);

    grid->SetFixedFooters(0);
    grid->SetFixedRows(0);
    grid->SetRowCount(1);
    grid->SetFixedRowAlways(true);
    EXPECT_NO_THROW(WheelOverGrid(TowardsUser));
    EXPECT_EQ(grid->Row(), 0);
}

TEST_F(WheelFixture, WheelHandlersOfTheScrollActionOnlyAskTheEvent)
{
    grid->MouseActions().SetWheelAction(waScroll);
    EXPECT_FALSE(Grid()->DoMouseWheelDown(0, platform::TPoint{}));
    EXPECT_FALSE(Grid()->DoMouseWheelUp(0, platform::TPoint{}));
    grid->OnMouseWheelDown = [](QObject*, platform::TShiftState, const platform::TPoint&, bool& handled) {
        handled = true;
    };
    EXPECT_TRUE(Grid()->DoMouseWheelDown(0, platform::TPoint{}));

    // Moving the selection: the base step moves one row and counts as handled.
    grid->OnMouseWheelDown = nullptr;
    grid->MouseActions().SetWheelAction(waMoveSelection);
    grid->SetRow(2);
    grid->MouseActions().SetDirectEdit(true);
    EXPECT_TRUE(Grid()->DoMouseWheelDown(0, platform::TPoint{}));
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_TRUE(grid->MouseActions().DirectEdit()) << "DirectEdit is given back";
    EXPECT_TRUE(Grid()->DoMouseWheelUp(0, platform::TPoint{}));
    EXPECT_EQ(grid->Row(), 2);
}

} // namespace
