// Picking cells into a formula: a grid that overrides the cell-selector hooks
// is told by the text editor when its text starts with "=", and while it is
// in that mode a press on a cell goes to the grid's pick and nowhere else.
#include "ExGridEditTestSupport.h"

#include <vector>

using namespace platform;
using namespace edittest;

namespace {

class PickingGrid : public TExStringGrid
{
public:
    using TExStringGrid::TExStringGrid;
    std::vector<bool> modes;
    std::vector<QPoint> picks;
    bool Mode() const { return FCellSelectorMode; }

protected:
    void SetCellSelectorMode(bool on) override
    {
        FCellSelectorMode = on;
        modes.push_back(on);
    }
    void CellSelectorClick(int aCol, int aRow) override { picks.emplace_back(aCol, aRow); }
};

struct CellSelectorFixture : GridFixture
{
    TExStringGrid* MakeGrid(QWidget* parent) override { return new PickingGrid(parent); }
    PickingGrid* picking() { return static_cast<PickingGrid*>(grid); }
};

} // namespace

TEST_F(CellSelectorFixture, EditorTextStartingWithEqualsSwitchesTheModeAndPressesPickCells)
{
    GoTo(1, 1);
    Type(QStringLiteral("=a"));
    ASSERT_TRUE(EditorShown());
    EXPECT_TRUE(picking()->Mode());
    ASSERT_FALSE(picking()->modes.empty());
    EXPECT_TRUE(picking()->modes.back());

    // A press on another cell is a pick: the current cell and the edit stay.
    PressCell(3, 4);
    ASSERT_EQ(picking()->picks.size(), 1u);
    EXPECT_EQ(picking()->picks[0], QPoint(3, 4));
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_TRUE(EditorShown());

    // The text no longer starting with "=" ends the mode; a press selects again.
    Key(Qt::Key_Home);
    Key(Qt::Key_Delete);
    EXPECT_EQ(EditorText(), QStringLiteral("a"));
    EXPECT_FALSE(picking()->Mode());
    PressCell(3, 4);
    EXPECT_EQ(picking()->picks.size(), 1u);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 4);
}

TEST_F(CellSelectorFixture, LeavingTheEditorEndsTheMode)
{
    GoTo(2, 2);
    Type(QStringLiteral("=1"));
    ASSERT_TRUE(picking()->Mode());
    Key(Qt::Key_Return);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("=1"));
    EXPECT_FALSE(picking()->Mode());
    PressCell(3, 3);
    EXPECT_TRUE(picking()->picks.empty());
    EXPECT_EQ(grid->Col(), 3);
}

// The plain grid has no picking: its hooks do nothing and presses select.
TEST_F(GridFixture, PlainGridIgnoresAnEqualsText)
{
    GoTo(1, 1);
    Type(QStringLiteral("=x"));
    PressCell(2, 3);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("=x"));
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
}
