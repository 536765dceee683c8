// GRID_SCREENSHOT_DIR=<dir> saves a picture of a grid with each editor kind
// opened in turn over its cell (text, spins, date pickers, date and time,
// edits with button, unit, combos, check box, button), one strip per kind.
#include "GridEditorsScreenshotSupport.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace platform;
using namespace editorshots;

namespace {

TEST_F(EditorShot, EachEditorKindOverItsCell)
{
    ShowAndSettle();
    const QPixmap sheet = Sheet(editors->Strips(EditorKinds()));
    Save(sheet, "grid_editor_kinds.png");
}

} // namespace
