#pragma once

// The grid of the editor pictures: one strip per editor kind, opened in turn
// over the middle cell of a three-column grid, and the sheet of strips.

#include "grid/ExGrid.h"
#include "grid/ExGrid_Editors.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPainter>
#include <QDir>
#include <QPixmap>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace editorshots {

inline void Settle()
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

// Every editor kind of the grid's own editors, with a value each shows well.
inline const std::vector<Kind>& EditorKinds()
{
    static const std::vector<Kind> kinds = {
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
        {edNumericEditBtn, "edNumericEditBtn", "250"},
        {edUnitEditBtn, "edUnitEditBtn", "12kg"},
        {edComboList, "edComboList", "Water"},
        {edComboEdit, "edComboEdit", "Heat"},
        {edCheckBox, "edCheckBox", "Enabled"},
        {edButton, "edButton", "Scan"},
    };
    return kinds;
}

// Day first, "/" and ":" and a decimal point, while the pictures are taken.
struct FixedRegion
{
    FixedRegion()
    {
        ::SetRegionalSettingsOverride(::TRegionalSettings{
            QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'), QStringLiteral("dd/MM/yyyy")});
    }
    ~FixedRegion() { ::SetRegionalSettingsOverride(std::nullopt); }
};

// A grid "Editor | Value | Next" on the form whose Value column opens the
// kind being shot, with units and combo items to show.
class EditorGrid
{
public:
    explicit EditorGrid(platform::TForm& form) : form_(form), grid(new TExStringGrid(&form))
    {
        grid->setGeometry(0, 0, StripW, 120);
        grid->SetColCount(3);
        grid->SetRowCount(4);
        grid->SetColWidths(0, 130);
        grid->SetColWidths(1, 150);
        grid->SetColWidths(2, 110);
        grid->SetOptions(grid->Options() | platform::goEditing);
        grid->SetCells(0, 0, "Editor");
        grid->SetCells(1, 0, "Value");
        grid->SetCells(2, 0, "Next");
        grid->OnGetEditorType = [this](QObject*, int c, int, TEditorType& e) {
            if (c == 1)
                e = current_;
        };
        grid->OnGetEditorProp = [this](QObject*, int, int, QObject*) {
            grid->UnitEditBtn()->SetUnits({"kg", "g"});
            grid->ClearComboString();
            for (const char* s : {"Water", "Heat", "Gas"})
                grid->AddComboString(QString::fromLatin1(s));
        };
    }
    ~EditorGrid()
    {
        grid->OnGetEditorType = nullptr;
        grid->OnGetEditorProp = nullptr;
    }

    // One strip per kind: the editor open over the middle row's value.
    // before runs ahead of each opening, after after each picture.
    std::vector<QPixmap> Strips(const std::vector<Kind>& kinds, const std::function<void(const Kind&)>& before = {},
                                const std::function<void()>& after = {})
    {
        std::vector<QPixmap> strips;
        for (const Kind& k : kinds) {
            current_ = k.editor;
            if (before)
                before(k);
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
            strips.push_back(form_.grab(QRect(0, 0, StripW, StripH)));
            grid->HideInplaceEdit();
            if (after)
                after();
            Settle();
        }
        return strips;
    }

private:
    platform::TForm& form_;
    TEditorType current_ = edNormal;

public:
    TExStringGrid* grid;
};

// The strips two to a row.
inline QPixmap Sheet(const std::vector<QPixmap>& strips)
{
    QPixmap sheet(StripW * 2, StripH * static_cast<int>((strips.size() + 1) / 2));
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    for (size_t i = 0; i < strips.size(); ++i)
        p.drawPixmap(static_cast<int>(i % 2) * StripW, static_cast<int>(i / 2) * StripH, strips[i]);
    return sheet;
}

// A form holding the editor grid; skipped unless GRID_SCREENSHOT_DIR names
// where the pictures go.
class EditorShot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
        if (dir.isEmpty())
            GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
        QDir().mkpath(dir);
        form.resize(StripW, 120);
        editors = std::make_unique<EditorGrid>(form);
    }
    void ShowAndSettle()
    {
        form.show();
        QApplication::setActiveWindow(&form);
        Settle();
    }
    void Save(const QPixmap& sheet, const char* name) { EXPECT_TRUE(sheet.save(QDir(dir).filePath(QString::fromLatin1(name)))); }

    QString dir;
    FixedRegion region;
    platform::TForm form;
    std::unique_ptr<EditorGrid> editors;
};

} // namespace editorshots
