#include "grid/ExGrid.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(GridDims, FixedRowAlwaysKeepsOneFixedRowAndItsMinimum)
{
    TExStringGrid g;
    g.SetFixedRowAlways(true);
    g.SetFixedRows(1);
    g.SetRowCount(1);
    EXPECT_EQ(g.TBaseGrid::FixedRows(), 0);
    EXPECT_EQ(g.FixedRows(), 1);
    g.SetRowCount(5);
    EXPECT_EQ(g.TBaseGrid::FixedRows(), 1);
}

TEST(GridDims, RequestedFixedRowsComeBackWhenThereIsRoom)
{
    TExStringGrid g;
    g.SetFixedRowAlways(true);
    g.SetRowCount(2);
    g.SetFixedRows(3);
    EXPECT_EQ(g.TBaseGrid::FixedRows(), 1);
    g.SetRowCount(3);
    EXPECT_EQ(g.TBaseGrid::FixedRows(), 1);
    g.SetRowCount(4);
    EXPECT_EQ(g.TBaseGrid::FixedRows(), 3);
}

TEST(GridDims, FixedColAlwaysLikewise)
{
    TExStringGrid g;
    g.SetFixedColAlways(true);
    g.SetFixedCols(0);
    EXPECT_EQ(g.FixedCols(), 1);
    g.SetColCount(2);
    g.SetFixedCols(2);
    EXPECT_EQ(g.TBaseGrid::FixedCols(), 1);
    g.SetColCount(4);
    EXPECT_EQ(g.TBaseGrid::FixedCols(), 2);
}

TEST(GridDims, DroppedRowsComeBackEmpty)
{
    TExStringGrid g;
    g.SetColCount(4);
    g.SetRowCount(6);
    g.SetCellEx(1, 5, QStringLiteral("last"));
    g.SetColors(2, 5, clRed);
    g.SetRowCount(3);
    g.SetRowCount(6);
    EXPECT_EQ(g.GetCellEx(1, 5), QString());
    EXPECT_FALSE(g.HasCellProps(2, 5));
    EXPECT_EQ(g.MaxRowCount(), 10); // the largest count ever set
}

TEST(GridDims, SelectionColorMixerFactorIsClamped)
{
    TExStringGrid g;
    struct Case
    {
        int in, stored;
    };
    for (const Case c : {Case{150, 100}, Case{-5, 0}, Case{30, 30}}) {
        g.SetSelectionColorMixerFactor(c.in);
        EXPECT_EQ(g.SelectionColorMixerFactor(), c.stored) << c.in;
    }
}

TEST(GridDims, FixedColWidthOfTheDefaultWidthChangesNothing)
{
    TExStringGrid g;
    g.SetColWidths(0, 30);
    g.SetFixedColWidth(g.DefaultColWidth());
    EXPECT_EQ(g.ColWidths(0), 30);
    g.SetFixedColWidth(40);
    EXPECT_EQ(g.ColWidths(0), 40);
    EXPECT_EQ(g.FixedColWidth(), 40);
}

TEST(GridDims, FixedRowHeightOfTheDefaultHeightResizesEveryRow)
{
    TExStringGrid g;
    g.SetFixedRowHeight(30);
    EXPECT_EQ(g.RowHeights(0), 30);
    EXPECT_EQ(g.RowHeights(1), 22);
    g.SetFixedRowHeight(22);
    EXPECT_EQ(g.RowHeights(0), 22);
}

TEST(GridDims, ColumnHeadersWithEscapedLineBreaks)
{
    TExStringGrid g;
    g.SetColCount(3);
    g.SetColumnHeaders({QStringLiteral("No"), QStringLiteral("Two\\nwords"), QStringLiteral("More"),
                        QStringLiteral("Beyond")});
    EXPECT_EQ(g.GetCellEx(1, 0), QStringLiteral("Two\rwords"));
    EXPECT_EQ(g.GetCellEx(3, 0), QString()); // beyond the columns
    g.ColumnHeaders().SetStrings(0, QStringLiteral("#"));
    EXPECT_EQ(g.GetCellEx(0, 0), QStringLiteral("#"));
    g.SetRowHeaders({QStringLiteral("h"), QStringLiteral("r1")});
    EXPECT_EQ(g.GetCellEx(0, 1), QStringLiteral("r1"));
    g.ClearColumnHeaders();
    EXPECT_EQ(g.GetCellEx(1, 0), QString());
}

TEST(GridDims, SpreadSheetSwitchesRangeSelectionAndEditingOnWhateverItsValue)
{
    TExStringGrid g;
    g.SetOptions(0);
    g.SetSpreadSheet(false);
    EXPECT_TRUE(g.Options() & goRangeSelect);
    EXPECT_TRUE(g.Options() & goEditing);
    EXPECT_TRUE(g.MouseActions().RangeSelectAndEdit());
    EXPECT_TRUE(g.Navigation().AllowSmartClipboard());
    EXPECT_TRUE(g.SelectionRectangle());
}

TEST(GridDims, WordWrapAndVerticalAlignment)
{
    TExStringGrid g;
    g.SetWordWrap(false);
    EXPECT_FALSE(g.WordWrap());
    EXPECT_FALSE(g.TBaseGrid::WordWrap());
    g.SetVAlignment(vtaBottom);
    EXPECT_EQ(g.VAlignment(), vtaBottom);
}

TEST(GridDims, MergedColumnsKeepRunsOfEqualTextsMerged)
{
    TExStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(6);
    const char* texts[] = {"h", "a", "a", "b", "b", "b"};
    for (int r = 0; r < 6; ++r)
        g.SetCellEx(1, r, QString::fromLatin1(texts[r]));
    g.MergedColumns().Add(1);
    EXPECT_EQ(g.BaseCell(1, 2), Point(1, 1));
    EXPECT_EQ(g.CellSpan(1, 1), Point(0, 1));
    EXPECT_EQ(g.BaseCell(1, 5), Point(1, 3));
    EXPECT_EQ(g.CellSpan(1, 4), Point(0, 2));
    EXPECT_FALSE(g.IsMergedCell(1, 0));
    g.MergedColumns().Clear();
    g.MergedColumns().Add(2); // a change splits every merge first
    EXPECT_FALSE(g.IsMergedCell(1, 2));
}

TEST(GridDims, MergeColumnCellsUnderAMainColumn)
{
    TExStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(5);
    const char* main[] = {"h", "a", "a", "b", "b"};
    const char* sub[] = {"h", "x", "x", "x", "y"};
    for (int r = 0; r < 5; ++r) {
        g.SetCellEx(1, r, QString::fromLatin1(main[r]));
        g.SetCellEx(2, r, QString::fromLatin1(sub[r]));
    }
    g.MergeColumnCells(1, true);
    g.MergeColumnCells(2, false);
    // Rows 1-2 ("x", "x" under "a") merge; row 3 ("x" under "b") stays alone.
    EXPECT_EQ(g.BaseCell(2, 2), Point(2, 1));
    EXPECT_FALSE(g.IsMergedCell(2, 3));
}

TEST(GridDims, IntegralHeightFitsWholeRows)
{
    TExStringGrid g;
    g.SetColCount(2);
    g.SetIntegralHeight(true);
    g.SetBounds(0, 0, 300, 100);
    EXPECT_EQ(g.Height(), 92); // 100 + 2 - (98 mod 22)
}

TEST(GridDims, ScaleChangesTheFixedFonts)
{
    TExStringGrid g;
    g.FixedFont().SetSize(10);
    g.ChangeScale(3, 2);
    EXPECT_EQ(g.FixedFont().Size(), 15);
    g.ChangeScale(2, 2);
    EXPECT_EQ(g.FixedFont().Size(), 15);
}

TEST(GridDims, ColumnSizeVetoStopsSizing)
{
    struct Grid : TExStringGrid
    {
        TGridState Sizing(int x, int y)
        {
            TGridState state = gsNormal;
            int index = 0, pos = 0, ofs = 0;
            CalcSizingState(x, y, state, index, pos, ofs);
            return state;
        }
    } g;
    g.resize(400, 250);
    g.SetColCount(4);
    g.SetOptions(g.Options() | goColSizing);
    const int border = g.ColWidths(0) + g.ColWidths(1); // right of column 1, in the fixed row
    EXPECT_EQ(g.Sizing(border, 5), gsColSizing);
    g.OnColumnSize = [](QObject*, int, bool& allow) { allow = false; };
    EXPECT_EQ(g.Sizing(border, 5), gsNormal);
}
