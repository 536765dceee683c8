// GRID_SCREENSHOT_DIR=<dir> saves a picture of a grid with each editor kind
// opened in turn over its cell (text, spins, date pickers, date and time,
// edits with button, unit, combos, check box, button), one strip per kind.
#include "GridEditorsScreenshotSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace platform;
using namespace editorshots;

namespace {

TEST(EditorsScreenshot, EachEditorKindOverItsCell)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    FixedRegion region;
    TForm form;
    form.resize(StripW, 120);
    EditorGrid editors(form);
    form.show();
    QApplication::setActiveWindow(&form);
    Settle();
    const QPixmap sheet = Sheet(editors.Strips(EditorKinds()));
    EXPECT_TRUE(sheet.save(QDir(dir).filePath("grid_editor_kinds.png")));
}

} // namespace
