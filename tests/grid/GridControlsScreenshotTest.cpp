// GRID_SCREENSHOT_DIR=<dir> saves one picture: a grid with every editor kind
// opened in turn over its cell (the date-and-time editor among them, with the
// focus frame on), a footer strip with grid buttons in their looks and
// states and grid check boxes, and a cell's balloon tooltip.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Balloon.h"
#include "grid/ExGrid_Editors.h"
#include "widgets/ExObj_Controls.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

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

namespace {

// Lets timers run for a while.
void Wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

struct Kind
{
    TEditorType editor;
    const char* name;
    const char* value;
};

constexpr int StripW = 420, StripH = 100;

TEST(ControlsScreenshot, EveryEditorKindButtonsCheckBoxesAndBalloon)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    SetRegionalSettingsOverride(TRegionalSettings{QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'),
                                                  QStringLiteral("dd/MM/yyyy")});
    const std::vector<Kind> kinds = {
        {edNormal, "edNormal", "text"},
        {edNumeric, "edNumeric", "1234"},
        {edSpinEdit, "edSpinEdit", "42"},
        {edFloatSpinEdit, "edFloatSpinEdit", "3.5"},
        {edDateSpinEdit, "edDateSpinEdit", "29/02/2024"},
        {edTimeSpinEdit, "edTimeSpinEdit", "12:30:00"},
        {edDateEdit, "edDateEdit", "12/05/2024"},
        {edDateEditUpDown, "edDateEditUpDown", "12/05/2024"},
        {edTimeEdit, "edTimeEdit", "08:15:00"},
        {edDateTimeEdit, "edDateTimeEdit", "12/05/2024 08:15"},
        {edEditBtn, "edEditBtn", "C:/data"},
        {edUnitEditBtn, "edUnitEditBtn", "12kg"},
        {edComboList, "edComboList", "Water"},
        {edComboEdit, "edComboEdit", "Heat"},
        {edCheckBox, "edCheckBox", "Enabled"},
        {edButton, "edButton", "Scan"},
    };
    TForm form;
    form.resize(StripW, 250);
    auto* grid = new TExStringGrid(&form);
    grid->setGeometry(0, 0, StripW, 120);
    grid->SetColCount(3);
    grid->SetRowCount(4);
    grid->SetColWidths(0, 130);
    grid->SetColWidths(1, 150);
    grid->SetColWidths(2, 110);
    grid->SetOptions(grid->Options() | goEditing);
    grid->SetCells(0, 0, "Editor");
    grid->SetCells(1, 0, "Value");
    grid->SetCells(2, 0, "Next");
    size_t current = 0;
    grid->OnGetEditorType = [&](QObject*, int c, int, TEditorType& e) {
        if (c == 1)
            e = kinds[current].editor;
    };
    grid->OnGetEditorProp = [&](QObject*, int, int, QObject*) {
        grid->UnitEditBtn()->SetUnits({"kg", "g"});
        grid->ClearComboString();
        for (const char* s : {"Water", "Heat", "Gas"})
            grid->AddComboString(QString::fromLatin1(s));
    };

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

    std::vector<QPixmap> strips;
    for (current = 0; current < kinds.size(); ++current) {
        const Kind& k = kinds[current];
        grid->FocusHelper().SetEnabled(k.editor == edDateTimeEdit || k.editor == edNormal);
        for (int r = 1; r < 4; ++r) {
            grid->SetCells(0, r, QString::fromLatin1(k.name));
            grid->SetCells(1, r, QString::fromLatin1(k.value));
            grid->SetCells(2, r, QStringLiteral("row %1").arg(r));
        }
        grid->SetCol(1);
        grid->SetRow(2);
        grid->setFocus(Qt::OtherFocusReason);
        grid->ShowInplaceEdit();
        Settle();
        strips.push_back(form.grab(QRect(0, 0, StripW, StripH)));
        grid->HideInplaceEdit();
        grid->HideFocusFrame();
        Settle();
    }

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

    QPixmap sheet(StripW * 2, StripH * static_cast<int>((strips.size() + 1) / 2));
    sheet.fill(Qt::white);
    {
        QPainter p(&sheet);
        for (size_t i = 0; i < strips.size(); ++i)
            p.drawPixmap(static_cast<int>(i % 2) * StripW, static_cast<int>(i / 2) * StripH, strips[i]);
    }
    EXPECT_TRUE(sheet.save(QDir(dir).filePath("grid_controls.png")));
    grid->OnGetEditorType = nullptr;
    grid->OnGetEditorProp = nullptr;
    SetRegionalSettingsOverride(std::nullopt);
}

} // namespace
