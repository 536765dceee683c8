// GRID_SCREENSHOT_DIR=<dir> saves a picture of a grid with each editor
// kind opened in turn over its cell (spin, float spin, date and time spins,
// date picker with its calendar button, up-down date, time, edit with
// button, unit, combo, check box, button), one strip per kind.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Editors.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;

namespace {

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

TEST(EditorsScreenshot, EachEditorKindOverItsCell)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    SetRegionalSettingsOverride(TRegionalSettings{QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'),
                                                  QStringLiteral("dd/MM/yyyy")});
    const std::vector<Kind> kinds = {
        {edSpinEdit, "edSpinEdit", "42"},          {edFloatSpinEdit, "edFloatSpinEdit", "3.5"},
        {edDateSpinEdit, "edDateSpinEdit", "29/02/2024"}, {edTimeSpinEdit, "edTimeSpinEdit", "12:30:00"},
        {edDateEdit, "edDateEdit", "12/05/2024"},   {edDateEditUpDown, "edDateEditUpDown", "12/05/2024"},
        {edTimeEdit, "edTimeEdit", "08:15:00"},     {edEditBtn, "edEditBtn", "C:/data"},
        {edUnitEditBtn, "edUnitEditBtn", "12kg"},   {edComboList, "edComboList", "Water"},
        {edCheckBox, "edCheckBox", "Enabled"},      {edButton, "edButton", "Scan"},
    };
    TForm form;
    form.resize(420, 120);
    auto* grid = new TExStringGrid(&form);
    grid->setGeometry(0, 0, 420, 120);
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
    form.show();
    QApplication::setActiveWindow(&form);
    Settle();

    std::vector<QPixmap> strips;
    for (current = 0; current < kinds.size(); ++current) {
        const Kind& k = kinds[current];
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
        strips.push_back(form.grab(QRect(0, 0, 420, 100)));
        grid->HideInplaceEdit();
        Settle();
    }
    QPixmap sheet(420 * 2, 100 * static_cast<int>((strips.size() + 1) / 2));
    sheet.fill(Qt::white);
    {
        QPainter p(&sheet);
        for (size_t i = 0; i < strips.size(); ++i)
            p.drawPixmap(static_cast<int>(i % 2) * 420, static_cast<int>(i / 2) * 100, strips[i]);
    }
    EXPECT_TRUE(sheet.save(QDir(dir).filePath("grid_editor_kinds.png")));
    grid->OnGetEditorType = nullptr;
    grid->OnGetEditorProp = nullptr;
    SetRegionalSettingsOverride(std::nullopt);
}

} // namespace
