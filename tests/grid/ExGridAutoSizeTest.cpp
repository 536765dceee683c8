// Fitting columns and cells to their contents: grow-only, limits, padding.
#include "grid/ExGrid.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct AutoSizeFixture : ::testing::Test
{
    TExStringGrid grid;

    void SetUp() override
    {
        grid.SetColCount(4);
        grid.SetRowCount(4);
    }

    // The text's width in the grid's font.
    int TextWidth(const QString& text) const { return QFontMetrics(grid.font()).horizontalAdvance(text); }

    // Fitted width: widest text + padding of the text on both sides
    // (XYOffset.X twice) + two grid lines + 2.
    int FittedWidth(const QString& text) const
    {
        return TextWidth(text) + 2 * grid.XYOffset().X + 2 * grid.GridLineWidth() + 2;
    }
};

} // namespace

TEST_F(AutoSizeFixture, AColumnFitsItsWidestText)
{
    const QString longText = QStringLiteral("a rather long cell text");
    grid.SetCellEx(1, 1, QStringLiteral("short"));
    grid.SetCellEx(1, 2, longText);
    grid.AutoSizeCol(1);
    EXPECT_NEAR(grid.ColWidths(1), FittedWidth(longText), 2);
}

TEST_F(AutoSizeFixture, LimitsAndGrowOnly)
{
    const QString longText = QStringLiteral("a text much wider than one hundred pixels for sure");
    const QString shortText = QStringLiteral("ab");
    struct Case
    {
        const char* name;
        bool growOnly;
        int minWidth, maxWidth, startWidth;
        QString text;
        int expected; // -1: the fitted width
    } cases[] = {
        {"grow-only keeps a wider column", true, 0, 0, 300, shortText, 300},
        {"grow-only still grows", true, 0, 0, 10, shortText, -1},
        {"without grow-only it narrows", false, 0, 0, 300, shortText, -1},
        {"the maximum cuts a long text", false, 0, 100, 64, longText, 100},
        {"the minimum widens a short one", false, 90, 0, 64, shortText, 90},
        {"equal limits keep the fitted width", false, 100, 100, 64, longText, -2},
    };
    for (const Case& c : cases) {
        grid.SetSizeGrowOnly(c.growOnly);
        grid.SetMinColWidth(c.minWidth);
        grid.SetMaxColWidth(c.maxWidth);
        grid.SetColWidths(2, c.startWidth);
        for (int r = 0; r < grid.RowCount(); ++r)
            grid.SetCellEx(2, r, QString());
        grid.SetCellEx(2, 1, c.text);
        grid.AutoSizeCol(2);
        if (c.expected >= 0)
            EXPECT_EQ(grid.ColWidths(2), c.expected) << c.name;
        else
            EXPECT_NEAR(grid.ColWidths(2), FittedWidth(c.text), 2) << c.name;
    }
}

TEST_F(AutoSizeFixture, PaddingIsAddedToTheFittedWidth)
{
    const QString text = QStringLiteral("padded text");
    for (int c = 1; c < 4; ++c)
        grid.SetCellEx(c, 2, text);
    grid.AutoSizeCol(1, 0);
    const int fitted = grid.ColWidths(1);
    grid.AutoSizeCol(2, 10);
    EXPECT_EQ(grid.ColWidths(2), fitted + 10);
    grid.SetMaxColWidth(fitted + 5);
    grid.AutoSizeCol(3, 10);
    EXPECT_EQ(grid.ColWidths(3), fitted + 5); // the padded width obeys the limit too

    grid.SetMaxColWidth(0);
    grid.AutoSizeColumns(false, 10);
    for (int c = 1; c < 4; ++c)
        EXPECT_EQ(grid.ColWidths(c), fitted + 10) << c;
}

TEST_F(AutoSizeFixture, NormalRowsOnlyIgnoreALongHeader)
{
    grid.SetCellEx(1, 0, QStringLiteral("a very long header text indeed"));
    grid.SetCellEx(1, 2, QStringLiteral("x"));
    grid.ColumnSize().SetRows(arNormal);
    grid.AutoSizeCol(1);
    EXPECT_NEAR(grid.ColWidths(1), FittedWidth(QStringLiteral("x")), 2);
    grid.ColumnSize().SetRows(arAll);
    grid.AutoSizeCol(1);
    // Header cells are measured in the fixed font.
    const int header = QFontMetrics(grid.FixedFont().ToQFont()).horizontalAdvance(QStringLiteral("a very long header text indeed"));
    EXPECT_NEAR(grid.ColWidths(1), header + 2 * grid.XYOffset().X + 2 * grid.GridLineWidth() + 2, 2);
}

TEST_F(AutoSizeFixture, UpdateColumnSizeMayChangeTheFittedWidth)
{
    grid.SetCellEx(1, 1, QStringLiteral("text"));
    grid.OnUpdateColumnSize = [](QObject*, int col, int& width) {
        if (col == 1)
            width = 123;
    };
    grid.AutoSizeCol(1);
    EXPECT_EQ(grid.ColWidths(1), 123);
    grid.OnUpdateColumnSize = nullptr;
}

TEST_F(AutoSizeFixture, AColumnOutsideTheGridIsRefused)
{
    EXPECT_THROW(grid.AutoSizeCol(4), REruVidaZuvez);
    EXPECT_THROW(grid.AutoSizeCol(-1), REruVidaZuvez);
}

TEST_F(AutoSizeFixture, CellsGrowToTheirTextWithPadding)
{
    const QString text = QStringLiteral("cells text");
    grid.SetCellEx(2, 2, text);
    grid.SetFontSizes(2, 2, 30); // a tall cell
    grid.SetColWidths(1, 200);
    grid.AutoSizeCells(false, 6, 4);
    // Width and height: the text's + padding + XYOffset.
    EXPECT_GE(grid.ColWidths(2), TextWidth(text) + 6 + grid.XYOffset().X);
    EXPECT_GT(grid.RowHeights(2), grid.DefaultRowHeight());
    // Without grow-only a column follows its content: the empty column narrows.
    EXPECT_LT(grid.ColWidths(1), 200);
    EXPECT_EQ(grid.RowHeights(0), grid.DefaultRowHeight()); // fixed cells untouched

    grid.SetSizeGrowOnly(true);
    grid.SetColWidths(3, 200);
    grid.SetMaxRowHeight(30);
    grid.SetRowHeights(2, 20);
    grid.AutoSizeCells(false, 6, 4);
    EXPECT_EQ(grid.ColWidths(3), 200);
    EXPECT_EQ(grid.RowHeights(2), 30); // the limit
}
