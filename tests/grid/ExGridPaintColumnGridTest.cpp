// A column grid as the rule windows show it: header row, row numbers, an
// "Enable" check-box column, a choice column and text columns.
#include "grid/ExCGrid.h"

#include "widgets/WidgetTestHelpers.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <gtest/gtest.h>

using namespace platform;
using namespace widgettest;

namespace {

// The rule window's grid: Enable, Name, Position (a choice) and Address.
struct RuleGrid : ::testing::Test
{
    VOruVizizaZezo grid;
    void SetUp() override
    {
        grid.resize(420, 200);
        grid.SetColCount(5);
        grid.SetRowCount(6);
        grid.SetDefaultRowHeight(22);
        grid.ControlLook().SetControlStyle(csWinXP);
        grid.ActiveCellFont().SetStyle(fsBold);
        grid.FixedFont().SetStyle(fsBold);
        const char* headers[] = {"", "Enable", "Name", "Position", "Address"};
        const int widths[] = {30, 60, 110, 100, 90};
        for (int c = 0; c < 5; ++c) {
            TGridColumnItem* item = grid.Columns().GetItem(c);
            item->SetHeader(QString::fromLatin1(headers[c]));
            item->SetWidth(widths[c]);
        }
        grid.Columns().GetItem(1)->SetEditor(edDataCheckBox);
        grid.Columns().GetItem(1)->SetAlignment(taCenter);
        grid.Columns().GetItem(3)->SetEditor(edComboList);
        grid.Columns().GetItem(3)->SetComboItems({QStringLiteral("Top"), QStringLiteral("Bottom")});
        for (int r = 1; r < 6; ++r) {
            grid.SetCellEx(0, r, QString::number(r));
            grid.SetCellEx(1, r, r % 2 ? QStringLiteral("Y") : QStringLiteral("N"));
            grid.SetCellEx(2, r, QStringLiteral("Rule %1").arg(r));
            grid.SetCellEx(3, r, r % 2 ? QStringLiteral("Top") : QStringLiteral("Bottom"));
            grid.SetCellEx(4, r, QStringLiteral("0x%1").arg(r * 16, 4, 16, QLatin1Char('0')));
        }
        // A cell with a comment shows its mark; its hint text is the comment.
        grid.AddComment(4, 2, QStringLiteral("Address of the second rule"));
    }

    QImage Surface() { return grid.ClientSurface()->grab().toImage(); }
};

} // namespace

TEST_F(RuleGrid, EnableColumnShowsCheckedAndUncheckedBoxesFromItsTexts)
{
    const QImage img = Surface();
    // Row 1 holds "Y", row 2 "N": the checked glyph has its green tick, the
    // unchecked one none, and neither shows its text.
    const TRect r1 = grid.CellRect(1, 1), r2 = grid.CellRect(1, 2);
    auto green = [](QColor c) { return c.green() > 120 && c.red() < 80 && c.blue() < 80; };
    EXPECT_GT(Count(img, green, QRect(r1.Left, r1.Top, r1.Width(), r1.Height())), 8);
    EXPECT_EQ(Count(img, green, QRect(r2.Left, r2.Top, r2.Width(), r2.Height())), 0);
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        grid.Columns().GetItem(3)->ComboItems();
        grid.ControlLook().SetDropDownAlwaysVisible(true);
        grid.SetRow(3);
        grid.SetCol(2);
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        QApplication::processEvents();
        EXPECT_TRUE(grid.grab().toImage().save(QDir(dir).filePath(QStringLiteral("rule_column_grid.png"))));
    }
}
