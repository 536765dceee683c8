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

TEST(SpinScreenshot, SpinEditorsNormalFlatAndHorizontal)
{
    const QString dir = qEnvironmentVariable("GRID_SCREENSHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "GRID_SCREENSHOT_DIR not set";
    QDir().mkpath(dir);
    FixedRegion region;
    TForm form;
    form.resize(StripW, 120);
    EditorGrid editors(form);
    editors.grid->SetDefaultRowHeight(24);
    form.show();
    QApplication::setActiveWindow(&form);
    Settle();
    const std::vector<Kind> spins = {
        {edSpinEdit, "themed", "42"},
        {edFloatSpinEdit, "themed flat", "3.5"},
        {edDateSpinEdit, "classic", "29/02/2024"},
        {edTimeSpinEdit, "classic flat", "12:30:00"},
        {edSpinEdit, "classic horizontal", "42"},
        {edSpinEdit, "classic flat horizontal", "7"},
    };
    TGridSpin* spin = editors.grid->SpinEdit();
    const QPixmap sheet = Sheet(editors.Strips(spins, [&](const Kind& k) {
        const QString look = QString::fromLatin1(k.name);
        spin->SetIsWinXP(!look.contains(QLatin1String("classic")));
        spin->SetSpinFlat(look.contains(QLatin1String("flat")));
        spin->SetDirection(look.contains(QLatin1String("horizontal")) ? spHorizontal : spVertical);
    }));
    EXPECT_TRUE(sheet.save(QDir(dir).filePath("grid_spin_editors.png")));
}

} // namespace
