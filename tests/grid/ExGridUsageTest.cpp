// The grids as the rule-table windows use them.
#include "grid/ExCGrid.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(GridUsage, ARuleTableWithAHiddenColumn)
{
    VOruVizizaZezo grid;
    grid.SetColCount(5);
    grid.SetRowCount(513);
    const char* headers[] = {"No", "Enable", "Name", "Port", "Mode"};
    for (int c = 0; c < 5; ++c)
        grid.Columns().GetItem(c)->SetHeader(QString::fromLatin1(headers[c]));
    grid.Columns().GetItem(1)->SetEditor(edDataCheckBox);
    grid.Columns().GetItem(4)->ComboItems().clear();
    grid.Columns().GetItem(4)->ComboItems() << QStringLiteral("A") << QStringLiteral("B");
    for (int r = 1; r < grid.RowCount(); ++r) {
        grid.SetCellEx(0, r, QString::number(r));
        grid.SetCellEx(1, r, QStringLiteral("N"));
        grid.SetCellEx(3, r, QString::number(1000 + r));
    }
    grid.HideColumn(3);
    EXPECT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.NumHiddenColumns(), 1);
    EXPECT_EQ(grid.RealColIndex(3), 4);
    EXPECT_EQ(grid.GetCellEx(3, 10), QStringLiteral("1010"));
    EXPECT_EQ(grid.GetCellEx(4, 0), QStringLiteral("Mode"));

    // Copy row 10 onto row 11 over every column, hidden ones included.
    for (int c = 0; c < grid.ColCount() + grid.NumHiddenColumns(); ++c)
        grid.SetCellEx(c, 11, grid.GetCellEx(c, 10));
    EXPECT_EQ(grid.GetCellEx(3, 11), QStringLiteral("1010"));

    grid.SelectRows(11, 1);
    EXPECT_EQ(grid.Selection().Top, 11);
    EXPECT_EQ(grid.Selection().Left, 1);
    grid.SetRow(12);
    EXPECT_EQ(grid.Row(), 12);
    EXPECT_EQ(grid.RealRow(), 12);

    grid.GetCellProperties(2, 5)->SetReadOnly(true);
    bool canEdit = true;
    grid.QueryCanEdit(2, 5, canEdit);
    EXPECT_FALSE(canEdit);
    grid.GetCellProperties(2, 5)->SetBrushColor(clRed);
    EXPECT_EQ(grid.GetColors(2, 5), clRed);

    grid.UnHideColumn(3);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.GetCellEx(3, 11), QStringLiteral("1010"));
    EXPECT_EQ(grid.Columns().GetItem(3)->Header(), QStringLiteral("Port"));

    grid.SetRowCount(2);
    grid.SetRowCount(20);
    EXPECT_EQ(grid.GetCellEx(3, 11), QString());
    EXPECT_FALSE(grid.HasCellProps(2, 5));
}

TEST(GridUsage, UndoingAChangeBehindAHiddenColumnGoesToItsDisplayColumn)
{
    TExStringGrid grid;
    grid.SetColCount(7);
    TExGridUndoRedo undo;
    grid.SetUndoRedo(&undo);
    undo.RegisterChange(5, 2, QString(), QStringLiteral("x"));
    grid.SetCellEx(5, 2, QStringLiteral("x"));
    grid.HideColumn(3);
    undo.Undo();
    EXPECT_EQ(grid.Col(), 4);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.GetCellEx(5, 2), QString());
}
