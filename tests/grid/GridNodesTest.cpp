// Row nodes and expand cells: the node model over the hidden-row store, and
// the node glyph as a click reaches it.
#include "grid/ExGrid.h"
#include "grid/ExGridInputTestSupport.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

// One fixed row, rows 1..9 named "r1".."r9" in column 1.
struct NodesFixture : ::testing::Test
{
    TExStringGrid grid;
    void SetUp() override
    {
        grid.SetColCount(3);
        grid.SetRowCount(10);
        for (int r = 1; r < 10; ++r)
            grid.SetCellEx(1, r, QStringLiteral("r%1").arg(r));
    }
    QStringList Shown()
    {
        QStringList rows;
        for (int r = 1; r < grid.RowCount(); ++r)
            rows << grid.GetCellEx(1, r);
        return rows;
    }
};

} // namespace

TEST_F(NodesFixture, QueriesOfRowsThatAreNoNodes)
{
    grid.AddNode(2, 3);
    struct Case
    {
        int row;
        const char* why;
    };
    for (const Case& c : {Case{-1, "before the grid"}, Case{0, "fixed row"}, Case{3, "a child row"},
                          Case{10, "past the grid"}, Case{99, "far past the grid"}}) {
        SCOPED_TRACE(c.why);
        EXPECT_FALSE(grid.IsNode(c.row));
        EXPECT_FALSE(grid.IsSummary(c.row));
        EXPECT_FALSE(grid.GetNodeState(c.row));
        EXPECT_EQ(grid.GetNodeLevel(c.row), -1);
        EXPECT_EQ(grid.GetNodeSpan(c.row), -1);
        EXPECT_EQ(grid.GetSubNodeCount(c.row), 0);
    }
    EXPECT_TRUE(grid.IsNode(2));
    EXPECT_EQ(grid.GetNodeLevel(2), 1);
    EXPECT_EQ(grid.GetNodeSpan(2), 3);
}

TEST_F(NodesFixture, SpanPastTheLastRowIsCutToTheRowsThere)
{
    grid.AddNode(7, 50); // rows 7..9 are all there is
    EXPECT_EQ(grid.GetNodeSpan(7), 3);
    grid.ContractNode(7);
    EXPECT_EQ(grid.RowCount(), 8);
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r3", "r4", "r5", "r6", "r7"}));
    grid.ExpandNode(7);
    EXPECT_EQ(grid.RowCount(), 10);
    EXPECT_EQ(Shown().last(), "r9");
    grid.RemoveNode(7);
    EXPECT_EQ(grid.NumNodes(), 0);
}

TEST_F(NodesFixture, ContractAndExpandKeepTheRowsAndTheirOrder)
{
    const QStringList all = Shown();
    grid.AddNode(2, 3); // owns 2, 3, 4
    grid.ContractNode(2);
    EXPECT_TRUE(grid.GetNodeState(2));
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r5", "r6", "r7", "r8", "r9"}));
    EXPECT_EQ(grid.NumHiddenRows(), 2);
    grid.ContractNode(2); // already contracted: nothing
    EXPECT_EQ(grid.NumHiddenRows(), 2);
    grid.SetNodeState(2, false);
    EXPECT_FALSE(grid.GetNodeState(2));
    EXPECT_EQ(Shown(), all);
}

TEST_F(NodesFixture, SpanZeroOwnsTheRowsUpToTheNextNode)
{
    grid.AddNode(2, 0);
    grid.AddNode(6, 2);
    grid.ContractNode(2);
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r6", "r7", "r8", "r9"}));
    grid.ExpandNode(grid.RealRowIndex(2));
    grid.ContractAll();
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r6", "r8", "r9"}));
    grid.ExpandAll();
    EXPECT_EQ(grid.RowCount(), 10);
}

TEST_F(NodesFixture, NestedContractedNodeComesBackExpandedWithItsParent)
{
    grid.AddNode(2, 6); // owns 2..7
    grid.AddNode(4, 3); // owns 4..6, level 2
    EXPECT_EQ(grid.GetNodeLevel(4), 2);
    grid.ContractNode(4);
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r3", "r4", "r7", "r8", "r9"}));
    grid.ContractNode(2);
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r8", "r9"}));
    grid.ExpandNode(2);
    EXPECT_EQ(grid.RowCount(), 10);
    EXPECT_FALSE(grid.GetNodeState(4));
    EXPECT_EQ(grid.GetCellEx(1, 5), "r5");
}

TEST_F(NodesFixture, ParentRows)
{
    grid.AddNode(2, 4); // 2..5
    grid.AddNode(3, 2); // 3..4, level 2
    struct Case
    {
        int row, parent;
        const char* why;
    };
    for (const Case& c : {Case{2, 2, "a top-level node is its own parent"}, Case{3, 2, "nested node: the covering one"},
                          Case{4, 3, "row of the nested node"}, Case{5, 2, "row after the nested node"},
                          Case{7, -1, "row outside every node"}}) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(grid.GetParentRow(c.row), c.parent);
    }
    TExStringGrid plain;
    EXPECT_EQ(plain.GetParentRow(1), -1);
}

TEST_F(NodesFixture, ChildRowOfANodeRowTakesTheNodesTexts)
{
    grid.AddNode(2, 3);
    grid.InsertChildRow(2, 0);
    EXPECT_EQ(grid.RowCount(), 11);
    EXPECT_TRUE(grid.IsNode(2));
    EXPECT_EQ(grid.GetCellEx(1, 2), "");
    EXPECT_EQ(grid.GetCellEx(1, 3), "r2");
    EXPECT_EQ(grid.GetNodeSpan(2), 4);
    EXPECT_EQ(grid.GetSubNodeCount(2), 1);
}

TEST_F(NodesFixture, RemoveAllNodesShowsEveryRowAgain)
{
    grid.AddNode(2, 3);
    grid.AddNode(6, 3);
    grid.ContractAll();
    grid.RemoveAllNodes();
    EXPECT_EQ(grid.NumNodes(), 0);
    EXPECT_EQ(grid.RowCount(), 10);
    for (int r = 1; r < 10; ++r)
        EXPECT_EQ(grid.GetNodeLevel(r), -1);
}

TEST_F(NodesFixture, ExpandCells)
{
    grid.SetRowHeights(3, 20);
    EXPECT_FALSE(grid.HasExpand(1, 3));
    EXPECT_EQ(grid.GetExpandHeight(1, 3, true), grid.DefaultRowHeight());
    grid.AddExpand(1, 3, 60);
    EXPECT_TRUE(grid.HasExpand(1, 3));
    EXPECT_FALSE(grid.GetExpandState(1, 3));
    EXPECT_TRUE(grid.ToggleExpand(1, 3));
    EXPECT_EQ(grid.GetExpandHeight(1, 3, true), 60);
    EXPECT_EQ(grid.GetExpandHeight(1, 3, false), 20);
    EXPECT_FALSE(grid.ToggleExpand(1, 3));
    EXPECT_FALSE(grid.ToggleExpand(2, 3)); // no object
    grid.RemoveExpand(1, 3);
    EXPECT_FALSE(grid.HasExpand(1, 3));
}

TEST_F(NodesFixture, NodeButtonHitTest)
{
    grid.AddNode(2, 3);
    grid.MouseActions().SetPreciseNodeClick(true);
    // Level 1, indent 12, XP glyph: 4 < x < 16.
    for (int x : {5, 10, 15})
        EXPECT_TRUE(grid.IsInNodeButton(2, x)) << x;
    for (int x : {0, 4, 16, 40})
        EXPECT_FALSE(grid.IsInNodeButton(2, x)) << x;
    grid.MouseActions().SetPreciseNodeClick(false);
    EXPECT_TRUE(grid.IsInNodeButton(2, 40));
}

namespace {

struct NodeClickFixture : edittest::GridFixture
{
    void SetUp() override
    {
        GridFixture::SetUp();
        grid->SetRowCount(8);
        for (int r = 1; r < 8; ++r)
            grid->SetCellEx(1, r, QStringLiteral("r%1").arg(r));
        grid->AddNode(2, 3);
        edittest::ProcessEvents();
    }
};

} // namespace

TEST_F(NodeClickFixture, ClickOnTheGlyphContractsAndExpands)
{
    int before = 0, after = 0;
    grid->OnBeforeContractNode = [&](QObject*, int row, bool& allow) {
        ++before;
        EXPECT_EQ(row, 2);
        allow = true;
    };
    grid->OnContractNode = [&](QObject*, int) { ++after; };
    const TRect r = grid->CellRect(0, 2);
    const QPoint glyph(r.Left + 9, (r.Top + r.Bottom) / 2);
    inputtest::ClickAt(grid, glyph);
    EXPECT_TRUE(grid->GetNodeState(2));
    EXPECT_EQ(grid->RowCount(), 6);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    inputtest::ClickAt(grid, glyph);
    EXPECT_FALSE(grid->GetNodeState(2));
    EXPECT_EQ(grid->RowCount(), 8);
    // Off the glyph nothing changes; a refusal keeps the node as it is.
    inputtest::ClickAt(grid, QPoint(r.Right - 2, glyph.y()));
    EXPECT_FALSE(grid->GetNodeState(2));
    grid->OnBeforeContractNode = [](QObject*, int, bool& allow) { allow = false; };
    inputtest::ClickAt(grid, glyph);
    EXPECT_FALSE(grid->GetNodeState(2));
    grid->repaint(); // glyphs and tree lines paint
}

TEST_F(NodesFixture, RowsHiddenInsideANodeNeitherStretchItNorStayHidden)
{
    grid.AddNode(2, 4); // owns r2..r5
    grid.HideRow(4);    // r4 hidden by hand
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r3", "r5", "r6", "r7", "r8", "r9"}));
    // Contracting hides what is left of r2..r5, not the rows after it.
    grid.ContractNode(2);
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r6", "r7", "r8", "r9"}));
    // Every hidden row up to the next shown row comes back, in its place.
    grid.ExpandNode(2);
    EXPECT_EQ(Shown(), (QStringList{"r1", "r2", "r3", "r4", "r5", "r6", "r7", "r8", "r9"}));
    EXPECT_EQ(grid.NumHiddenRows(), 0);
}

TEST_F(NodesFixture, ContractAllAndExpandAllWithNestedNodes)
{
    grid.AddNode(1, 5); // r1..r5
    grid.AddNode(2, 2); // r2..r3, level 2
    grid.AddNode(7, 3); // r7..r9
    grid.ContractNode(2);
    grid.ContractAll();
    EXPECT_EQ(Shown(), (QStringList{"r1", "r6", "r7"}));
    EXPECT_TRUE(grid.GetNodeState(1));
    EXPECT_TRUE(grid.GetNodeState(3)); // r7 now shows at row 3
    grid.ExpandAll();
    EXPECT_EQ(grid.RowCount(), 10);
    for (int r : {1, 2, 7})
        EXPECT_FALSE(grid.GetNodeState(r)) << r;
    EXPECT_EQ(grid.GetCellEx(1, 9), "r9");
}

TEST_F(NodeClickFixture, HeaderNodeGlyphContractsAndExpandsEveryNode)
{
    grid->AddNode(5, 2); // r5..r6
    grid->AddNode(0, 1); // the header row's node
    const TRect r = grid->CellRect(0, 0);
    const QPoint glyph(r.Left + 9, (r.Top + r.Bottom) / 2);
    // Without the mouse setting the header node does nothing.
    inputtest::ClickAt(grid, glyph);
    EXPECT_EQ(grid->RowCount(), 8);
    EXPECT_FALSE(grid->GetNodeState(0));

    grid->MouseActions().SetNodeAllExpandContract(true);
    inputtest::ClickAt(grid, glyph);
    EXPECT_TRUE(grid->GetNodeState(0));
    EXPECT_TRUE(grid->GetNodeState(2));
    EXPECT_TRUE(grid->GetNodeState(3)); // r5 after r3 and r4 were hidden
    EXPECT_EQ(grid->RowCount(), 5);
    EXPECT_EQ(grid->GetCellEx(1, 4), "r7");
    inputtest::ClickAt(grid, glyph);
    EXPECT_FALSE(grid->GetNodeState(0));
    EXPECT_EQ(grid->RowCount(), 8);
    for (int row = 1; row < 8; ++row)
        EXPECT_EQ(grid->GetCellEx(1, row), QStringLiteral("r%1").arg(row));
    // Beside the glyph the header node is a plain header.
    inputtest::ClickAt(grid, QPoint(r.Right - 2, glyph.y()));
    EXPECT_FALSE(grid->GetNodeState(0));
    EXPECT_EQ(grid->RowCount(), 8);
    grid->repaint();
}
