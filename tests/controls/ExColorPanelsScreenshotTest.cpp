// CONTROLS_SCREENSHOT_DIR=<dir> saves the calculator keypad and the three
// colour panels, with a hot and a selected element, to be looked at.
#include "controls/ExCalculatorPanel.h"
#include "controls/ExColorSelector.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include "PanelMouse.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(PanelScreenshots, CalculatorKeypadAndColourPanels)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    QDir().mkpath(out);

    TCustomButtonPanel keypad;
    keypad.resize(230, 150);
    keypad.InitButtons();
    keypad.show();
    QApplication::processEvents();
    mouse::mouseMove(&keypad, QPoint(60, 50)); // over "7"
    QApplication::processEvents();
    EXPECT_TRUE(keypad.grab().save(out + QStringLiteral("/calculator_keypad.png")));

    TCustomColorSelector boxes;
    boxes.LoadThemeColors();
    boxes.SetPanelSize();
    boxes.SetColor(clWhite);
    boxes.show();
    QApplication::processEvents();
    boxes.SetSelectedColor(0x4D50C0);
    mouse::mouseMove(&boxes, QPoint(90, 38));
    QApplication::processEvents();
    EXPECT_TRUE(boxes.grab().save(out + QStringLiteral("/colour_boxes.png")));

    TExColorCubePanel cube;
    cube.SetColor(clWhite);
    cube.show();
    QApplication::processEvents();
    cube.SetSelectedColor(0xFFFFFF);
    mouse::mouseMove(&cube, QPoint(67, 20));
    QApplication::processEvents();
    EXPECT_TRUE(cube.grab().save(out + QStringLiteral("/colour_cube.png")));

    TExColorSpectrumPanel spectrum;
    spectrum.show();
    QApplication::processEvents();
    mouse::mouseClick(spectrum.SpectrumImage(), Qt::LeftButton, {}, QPoint(20, 60));
    mouse::mouseMove(spectrum.SpectrumImage(), QPoint(90, 40));
    QApplication::processEvents();
    EXPECT_TRUE(spectrum.grab().save(out + QStringLiteral("/colour_spectrum.png")));
}
