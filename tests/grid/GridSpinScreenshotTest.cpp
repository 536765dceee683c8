// GRID_SCREENSHOT_DIR=<dir> saves a picture of the spin editors open over
// their cell: themed buttons (where flat changes nothing), the speed buttons
// with their glyphs normal and flat, and the horizontal pair.
#include "GridEditorsScreenshotSupport.h"

#include "grid/EsgSpin.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace platform;
using namespace editorshots;

namespace {

TEST_F(EditorShot, SpinEditorsNormalFlatAndHorizontal)
{
    editors->grid->SetDefaultRowHeight(24);
    ShowAndSettle();
    const std::vector<Kind> spins = {
        {edSpinEdit, "themed", "42"},
        {edFloatSpinEdit, "themed flat", "3.5"},
        {edDateSpinEdit, "classic", "29/02/2024"},
        {edTimeSpinEdit, "classic flat", "12:30:00"},
        {edSpinEdit, "classic horizontal", "42"},
        {edSpinEdit, "classic flat horizontal", "7"},
    };
    TGridSpin* spin = editors->grid->SpinEdit();
    const QPixmap sheet = Sheet(editors->Strips(spins, [&](const Kind& k) {
        const QString look = QString::fromLatin1(k.name);
        spin->SetIsWinXP(!look.contains(QLatin1String("classic")));
        spin->SetSpinFlat(look.contains(QLatin1String("flat")));
        spin->SetDirection(look.contains(QLatin1String("horizontal")) ? spHorizontal : spVertical);
    }));
    Save(sheet, "grid_spin_editors.png");
}

} // namespace
