#include "grid/ExGrid.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

TEST(GridSettings, DefaultsOfANewGrid)
{
    TExStringGrid g;
    EXPECT_EQ(g.CellNode().NodeType(), cnXP);
    EXPECT_EQ(g.CellNode().NodeIndent(), 12);
    EXPECT_EQ(g.CellNode().TreeColor(), clGray);
    EXPECT_EQ(g.ColumnSize().StretchColumn(), -1);
    EXPECT_EQ(g.ColumnSize().Location(), clRegistry);
    EXPECT_EQ(g.ColumnSize().Rows(), arAll);
    EXPECT_EQ(g.PrintSettings().PageNumSep, QStringLiteral("/"));
    EXPECT_EQ(g.PrintSettings().DateFormat, QStringLiteral("dd/mm/yyyy"));
    EXPECT_EQ(g.PrintSettings().Borders, pbSingle);
    EXPECT_TRUE(g.PrintSettings().Centered);
    EXPECT_EQ(g.HTMLSettings().Width, 100);
    EXPECT_TRUE(g.HTMLSettings().ExportImages);
    EXPECT_FALSE(g.SizeWhileTyping().Height());
    EXPECT_FALSE(g.ShowModified().Enabled());
    EXPECT_EQ(g.ShowModified().Color(), 0xFFFFu);
    EXPECT_FALSE(g.FloatingFooter().Visible());
}

TEST(GridSettings, NodeLookRepaintsOnlyOnChange)
{
    struct Grid : TExStringGrid
    {
        int repaints = 0;
        void Invalidate() override
        {
            ++repaints;
            TExStringGrid::Invalidate();
        }
    } g;
    g.repaints = 0;
    g.CellNode().SetTreeColor(clGray);
    g.CellNode().SetNodeIndent(12);
    EXPECT_EQ(g.repaints, 0);
    g.CellNode().SetTreeColor(clRed);
    g.CellNode().SetNodeType(cnFlat);
    EXPECT_EQ(g.repaints, 2);
}

TEST(GridSettings, AssignCopiesWhatEachClassCopies)
{
    THTMLSettings a, b;
    a.ExportImages = false;
    a.BorderSize = 3;
    a.ColWidths.Add(5);
    b.Assign(&a);
    EXPECT_TRUE(b.ExportImages);
    EXPECT_EQ(b.BorderSize, 3);
    EXPECT_EQ(b.ColWidths.Count(), 0);

    TCellNode n1, n2;
    n1.SetNodeIndent(20);
    n1.SetExpandOne(true);
    n2.Assign(&n1);
    EXPECT_EQ(n2.NodeIndent(), 20);
    EXPECT_TRUE(n2.ExpandOne());

    TColumnSize s1, s2;
    s1.SetLocation(clIniFile);
    s1.SetKey(QStringLiteral("grid.ini"));
    s1.SetStretchColumn(3);
    s2.Assign(&s1);
    EXPECT_EQ(s2.Location(), clIniFile);
    EXPECT_EQ(s2.Key(), QStringLiteral("grid.ini"));
    EXPECT_EQ(s2.StretchColumn(), 3);

    TPrintSettings p1, p2;
    p1.PageNumSep = QStringLiteral("-");
    p1.FixedCellsAlways = true;
    p1.Title = ppTopCenter;
    p2.Assign(&p1);
    EXPECT_EQ(p2.PageNumSep, QStringLiteral("-"));
    EXPECT_EQ(p2.Title, ppTopCenter);
    EXPECT_FALSE(p2.FixedCellsAlways);
    EXPECT_THROW(p2.Assign(&n1), std::invalid_argument);

    TShowModified m1, m2;
    m1.SetEnabled(true);
    m1.SetColor(clRed);
    m2.Assign(&m1);
    EXPECT_TRUE(m2.Enabled());
    EXPECT_EQ(m2.Color(), clRed);
}

TEST(GridSettings, GridAssignCopiesSettingsSizesAndCells)
{
    TExStringGrid a, b;
    a.SetColCount(4);
    a.SetRowCount(3);
    a.SetColWidths(2, 77);
    a.Navigation().SetAllowInsertRow(true);
    a.SetCellEx(3, 2, QStringLiteral("cell"));
    a.SetScrollProportional(true);
    a.SetScrollSynch(true);
    a.SetScrollHints(shVertical);
    a.SortSettings().SetUndoSort(true);
    b.Assign(&a);
    EXPECT_TRUE(b.ScrollProportional());
    EXPECT_TRUE(b.ScrollSynch());
    EXPECT_EQ(b.ScrollHints(), shVertical);
    EXPECT_TRUE(b.SortSettings().UndoSort());
    EXPECT_EQ(b.ColCount(), 4);
    EXPECT_EQ(b.RowCount(), 3);
    EXPECT_EQ(b.ColWidths(2), 77);
    EXPECT_TRUE(b.Navigation().AllowInsertRow());
    EXPECT_EQ(b.GetCellEx(3, 2), QStringLiteral("cell"));
    b.Assign(nullptr);
    EXPECT_EQ(b.ColCount(), 4);
}

TEST(GridSettings, LoadedMovesAlwaysShowEditorToNavigation)
{
    TExStringGrid g;
    g.BeginLoading();
    g.SetOptions(g.Options() | goEditing | goAlwaysShowEditor);
    g.Loaded();
    EXPECT_FALSE(g.Options() & goAlwaysShowEditor);
    EXPECT_TRUE(g.Navigation().AlwaysEdit());
    EXPECT_TRUE(g.IsLoaded());
    EXPECT_EQ(g.OrigColSizes().Count(), g.ColCount());
}
