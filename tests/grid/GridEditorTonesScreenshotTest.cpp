// GRID_SCREENSHOT_DIR=<dir> saves a picture of a grid in colour tones with
// each editor kind opened in turn over its cell: the editors' buttons take
// the tones and the date picker its own Metro look.
#include "GridEditorsScreenshotSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace platform;
using namespace editorshots;

namespace {

TEST_F(EditorShot, EachEditorKindInColourTones)
{
    TColorTones tones;
    tones.Background = {0xFFFFFF, 0xB0B0B0, 0x202020};
    tones.Foreground = {0x7A4A1E, 0x5A3A16, 0xFFFFFF};
    tones.Selected = {0xE0B080, 0xC08040, 0x000000};
    tones.Hover = {0xF5DCC0, 0xE0B080, 0x000000};
    editors->grid->SetColorTones(tones);
    ShowAndSettle();
    const QPixmap sheet = Sheet(editors->Strips(EditorKinds()));
    Save(sheet, "grid_editor_kinds_tones.png");
}

TEST(EditorsScreenshot, FlatAndEncyclopediaScrollBars)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    TForm form;
    form.resize(620, 180);
    std::vector<TExStringGrid*> grids;
    for (TScrollType type : {ssFlat, ssEncarta}) {
        auto* g = new TExStringGrid(&form);
        g->setGeometry(grids.empty() ? 0 : 310, 0, 300, 170);
        g->SetColCount(8);
        g->SetRowCount(30);
        for (int r = 1; r < 30; ++r)
            g->SetCells(1, r, QStringLiteral("row %1").arg(r));
        g->SetScrollColor(0xF4EEE8);
        g->SetScrollWidth(12);
        g->SetScrollType(type);
        grids.push_back(g);
    }
    form.show();
    Settle();
    grids[0]->SetTopRow(10);
    Settle();
    EXPECT_TRUE(form.grab().save(QDir(dir).filePath("grid_flat_scroll_bars.png")));
}

} // namespace
