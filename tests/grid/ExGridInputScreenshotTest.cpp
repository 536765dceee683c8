// GRID_SCREENSHOT_DIR=<dir> saves what the mouse shows on a grid, to be
// looked at: a hovered row with a cell hint, a column being moved with its
// arrows, a column border being dragged.
#include "grid/ExGridInputTestSupport.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>

using namespace platform;
using namespace inputtest;

namespace {

struct InputScreenshot : InputFixture
{
    QString dir;

    void SetUp() override
    {
        dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
        if (dir.isEmpty())
            GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
        QDir().mkpath(dir);
        InputFixture::SetUp();
        grid->SetOptions((grid->Options() & ~goEditing) | goColMoving | goColSizing);
        grid->SetColumnHeaders({QStringLiteral(""), QStringLiteral("Name"), QStringLiteral("Address"),
                                QStringLiteral("Medium"), QStringLiteral("Unit")});
        for (int r = 1; r < grid->RowCount(); ++r) {
            grid->SetCellEx(0, r, QString::number(r));
            grid->SetCellEx(1, r, QStringLiteral("Meter %1").arg(r));
            grid->SetCellEx(2, r, QString::number(10 + r));
            grid->SetCellEx(3, r, r % 2 ? QStringLiteral("Water") : QStringLiteral("Heat"));
            grid->SetCellEx(4, r, QStringLiteral("m3"));
        }
    }

    void TearDown() override
    {
        if (!grid)
            return;  // skipped before the grid was made
        grid->OnGridHint = nullptr;
        InputFixture::TearDown();
    }

    // The screen, so that hint windows of their own show too.
    void Save(const char* name)
    {
        edittest::ProcessEvents();
        const QRect r(host->mapToGlobal(QPoint(0, 0)), host->size() + QSize(200, 80));
        QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
        EXPECT_TRUE(shot.save(QDir(dir).filePath(QString::fromLatin1(name))));
    }
};

} // namespace

TEST_F(InputScreenshot, HoverAndHint)
{
    grid->SetHoverRow(true);
    grid->SetShowHint(true);
    grid->OnGridHint = [](QObject*, int aRow, int aCol, QString& hint) {
        hint = QStringLiteral("Row %1, column %2").arg(aRow).arg(aCol);
    };
    const QPoint at = CellCentre(grid, 2, 3);
    Move(grid, at);
    HintAt(grid, at);
    Save("grid_hover_hint.png");
}

TEST_F(InputScreenshot, ColumnMoveWithArrows)
{
    grid->SetEnhRowColMove(true);
    const QPoint from = CellCentre(grid, 2, 0), to = CellCentre(grid, 4, 0);
    Move(grid, from);
    Press(grid, from);
    for (int i = 1; i <= 4; ++i)
        Move(grid, from + (to - from) * i / 4, Qt::LeftButton);
    Save("grid_column_move.png");
    Release(grid, to);
}

TEST_F(InputScreenshot, ColumnSizing)
{
    const TRect r = grid->CellRect(1, 0);
    const QPoint border(r.Right, (r.Top + r.Bottom) / 2);
    Move(grid, border);
    Press(grid, border);
    Move(grid, border + QPoint(30, 0), Qt::LeftButton);
    Save("grid_column_sizing.png");
    Release(grid, border + QPoint(30, 0));
}
