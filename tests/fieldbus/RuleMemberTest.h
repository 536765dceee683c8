#pragma once

// What every member's test needs: the window under a temporary configuration
// folder, showing and OK under a dialog script, rows typed into a grid, and a
// runner for a table of checks (the row typed, the error box expected).

#include "rules/USet_Access_Form.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "platform/Dialogs.h"
#include "widgets/LbButton.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace membertest {

// One row typed into a grid from column 1 on, and the error box it gives
// ("" when the rules pass).
struct Check_Case
{
    int grid;
    QStringList cells;
    QString message;
    const char* why;
};

inline void Put(VOruVizizaZezo& g, int r, const QStringList& cells)
{
    for (int c = 1; c <= cells.size(); ++c)
        g.SetCellEx(c, r, cells[c - 1]);
}

inline QStringList Row(VOruVizizaZezo& g, int r)
{
    QStringList out;
    for (int c = 0; c < g.ColCount() + g.NumHiddenColumns(); ++c)
        out << g.GetCellEx(c, r);
    return out;
}

template <class Window>
class Member : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Load_English_Table();
        SW_Code = "DIZ5U15";
        Project_Folder = dir.path();
        for (const Project_File& f : Project_Files())
            *f.path = dir.filePath(QString::fromLatin1(f.name));
        Copy_Row_List.clear();
        w = std::make_unique<Window>();
    }
    void TearDown() override
    {
        w.reset();
        Project_Folder.clear();
        for (const Project_File& f : Project_Files())
            f.path->clear();
    }

    std::vector<platform::ShownDialog> Show()
    {
        platform::DialogScript script;
        w->FormShow();
        return script.Shown();
    }
    std::vector<platform::ShownDialog> Ok()
    {
        platform::DialogScript script;
        w->SetModalResult(platform::mrNone);
        w->Btn_OKClick(w->Btn_OK);
        return script.Shown();
    }
    QString File() { return *w->Form().path; }

    void Run_Checks(const std::vector<Check_Case>& cases)
    {
        for (const Check_Case& c : cases) {
            Show();
            for (int col = 1; col <= c.cells.size(); ++col)
                w->Set_Cell(c.grid, col, 1, c.cells[col - 1]);
            platform::DialogScript script;
            const bool ok = w->Controllo_dati();
            const QString expected = c.message;
            EXPECT_EQ(ok, expected.isEmpty()) << c.why;
            EXPECT_EQ(script.Shown().size(), ok ? 0u : 1u) << c.why;
            if (!ok && script.Shown().size() == 1) {
                EXPECT_EQ(script.Shown()[0].text, expected) << c.why;
            }
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<Window> w;
};

} // namespace membertest
