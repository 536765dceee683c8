// GRID_SCREENSHOT_DIR=<dir> saves one picture: a grid with every editor kind
// opened in turn over its cell (the date-and-time editor among them, with the
// focus frame on), a footer strip with grid buttons in their looks and
// states and grid check boxes, and a cell's balloon tooltip.
#include "GridEditorsScreenshotSupport.h"

#include "grid/ExGrid_Balloon.h"
#include "widgets/ExObj_Controls.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QPainter>
#include <QElapsedTimer>
#include <QEventLoop>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;
using namespace editorshots;

namespace {

// Lets timers run for a while.
void Wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST(ControlsScreenshot, EveryEditorKindButtonsCheckBoxesAndBalloon)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    FixedRegion region;
    TForm form;
    form.resize(StripW, 250);
    EditorGrid editors(form);
    TExStringGrid* grid = editors.grid;

    // The footer strip: grid buttons in looks 0..6, a down check button, a
    // disabled one, one with a drop-down part; two grid check boxes.
    auto* footer = new QWidget(&form);
    footer->setGeometry(0, 125, StripW, 120);
    footer->setAutoFillBackground(true);
    std::vector<TExGridButton*> buttons;
    for (int look = 0; look <= 6; ++look) {
        auto* b = new TExGridButton(footer);
        b->SetLook(look);
        b->SetCaption(QStringLiteral("L%1").arg(look));
        b->setGeometry(4 + look * 58, 4, 54, 24);
        buttons.push_back(b);
    }
    auto* check = new TExGridButton(footer);
    check->SetLook(2);
    check->SetStyle(tasCheck);
    check->SetDown(true);
    check->SetCaption(QStringLiteral("Down"));
    check->setGeometry(4, 34, 70, 24);
    auto* disabled = new TExGridButton(footer);
    disabled->SetCaption(QStringLiteral("&Disabled"));
    disabled->setGeometry(80, 34, 80, 24);
    disabled->setEnabled(false);
    auto* drop = new TExGridButton(footer);
    drop->SetLook(6);
    drop->SetDropDownButton(true);
    drop->SetCaption(QStringLiteral("Menu"));
    drop->setGeometry(166, 34, 80, 24);
    auto* matchCase = new TExCheckBox(footer);
    matchCase->SetCaption(QStringLiteral("Match case"));
    matchCase->SetChecked(true);
    matchCase->setGeometry(4, 64, 110, 20);
    auto* highlight = new TExCheckBox(footer);
    highlight->SetCaption(QStringLiteral("Highlight"));
    highlight->setGeometry(120, 64, 110, 20);
    auto* grayed = new TExCheckBox(footer);
    grayed->SetCaption(QStringLiteral("Grayed, right"));
    grayed->SetState(cbGrayed);
    grayed->SetAlignment(taRightJustify);
    grayed->setGeometry(240, 64, 120, 20);

    form.show();
    QApplication::setActiveWindow(&form);
    Settle();

    // The date-and-time editor and the text editor show the focus frame.
    std::vector<QPixmap> strips = editors.Strips(
        EditorKinds(),
        [&](const Kind& k) { grid->FocusHelper().SetEnabled(k.editor == edDateTimeEdit || k.editor == edNormal); },
        [&] { grid->HideFocusFrame(); });

    // The footer strip, with the pointer over the first button.
    {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), buttons[0]->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(buttons[0], &enter);
        Settle();
        strips.push_back(form.grab(QRect(0, 125, StripW, StripH)));
    }

    // A cell's balloon: drawn beside the grid's strip, since it is a window of its own.
    grid->Loaded();
    grid->Balloon().SetInitialDelay(0);
    grid->Balloon().SetEnable(true);
    grid->SetCells(2, 1, QStringLiteral("<b>Total</b> of the meter"));
    grid->AddBalloon(2, 1, QStringLiteral("Meter 7"), QStringLiteral("Last read 12/05/2024 08:15"), 1);
    const TRect cell = grid->CellRect(2, 1);
    const QPoint at((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2);
    QMouseEvent move(QEvent::MouseMove, at, grid->ClientSurface()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(grid->ClientSurface(), &move);
    Wait(50);
    Settle();
    QPixmap balloonStrip(StripW, StripH);
    balloonStrip.fill(Qt::white);
    {
        QPainter p(&balloonStrip);
        p.drawPixmap(0, 0, form.grab(QRect(0, 0, StripW, StripH)));
        TGridBalloonTip* tip = grid->BalloonToolTip();
        ASSERT_NE(tip, nullptr);
        ASSERT_TRUE(tip->isVisible());
        p.drawPixmap(std::min(at.x(), StripW - tip->width()), std::min(at.y() + 8, StripH - tip->height()),
                     tip->grab());
    }
    strips.push_back(balloonStrip);

    EXPECT_TRUE(Sheet(strips).save(QDir(dir).filePath("grid_controls.png")));
}

} // namespace
