// GRID_SCREENSHOT_DIR=<dir> saves one picture of the grid's extras working
// together: meter readings filtered (one site left out), grouped by medium
// into nodes with header and summary rows holding the group totals, and the
// floating footer with the total of the readings shown.
#include "grid/ExGrid.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

TEST(ExtrasScreenshot, GroupedFilteredGridWithFooterTotals)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);

    auto host = std::make_unique<QWidget>();
    host->resize(400, 370);
    auto* grid = new TExStringGrid(host.get());
    grid->setGeometry(0, 0, 400, 370);
    const char* const rows[][4] = {
        {"Water", "North", "12.5", "m3"}, {"Heat", "South", "310", "kWh"},  {"Water", "East", "8", "m3"},
        {"Gas", "North", "44", "m3"},     {"Heat", "West", "120", "kWh"},   {"Water", "West", "3", "m3"},
        {"Heat", "North", "95", "kWh"},   {"Gas", "South", "21", "m3"},     {"Water", "South", "16", "m3"},
        {"Gas", "East", "30", "m3"},
    };
    const int count = static_cast<int>(std::size(rows));
    grid->SetColCount(5);
    grid->SetFixedCols(1);
    grid->SetRowCount(count + 2); // the header, the readings, the footer row
    grid->SetColWidths(0, 36);
    grid->SetColWidths(1, 90);
    grid->SetColWidths(2, 140);
    grid->SetColWidths(3, 110);
    grid->SetColWidths(4, 70);
    const QStringList head{"", "Medium", "Site", "Reading", "Unit"};
    for (int c = 0; c < 5; ++c)
        grid->SetCellEx(c, 0, head[c]);
    for (int r = 0; r < count; ++r) {
        for (int c = 0; c < 4; ++c)
            grid->SetCellEx(c + 1, r + 1, QString::fromLatin1(rows[r][c]));
    }
    grid->SetFilterDropDownAuto(true);

    // The west site is filtered out.
    TFilterData* f = grid->Filter().Add();
    f->SetColumn(2);
    f->SetCondition(QStringLiteral("!West"));
    grid->ApplyFilter();

    // The last row is the footer's; it adds up the rows shown.
    grid->SetCellEx(2, grid->RowCount() - 1, QStringLiteral("All readings"));
    grid->FloatingFooter().SetVisible(true);
    grid->FloatingFooter().SetCalculateHiddenRows(false);

    TGrouping& g = grid->Grouping();
    g.SetSummary(true);
    g.SetHeaderColor(0xF5E6D2); // a light blue
    g.SetHeaderTextColor(clNavy);
    g.SetSummaryColor(0xD9F4FF); // a light yellow
    g.SetHeaderUnderline(true);
    g.SetSummaryLine(true);
    g.SetShowGroupCount(true);
    grid->Group(1);
    // Reading is column 2 once the medium column is gone.
    grid->GroupSum(2);

    host->show();
    QApplication::setActiveWindow(host.get());
    Settle();
    EXPECT_EQ(grid->GroupColumn(), 1);
    EXPECT_EQ(grid->NumHiddenRows(), 2);
    EXPECT_EQ(grid->GetGridCell(1, grid->RowCount() - 1), QStringLiteral("All readings"));
    EXPECT_TRUE(host->grab().save(QDir(dir).filePath("grid_grouped.png")));
}

} // namespace
