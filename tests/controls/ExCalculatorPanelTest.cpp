// The calculator keypad: its arrangement, hit testing and the click that is
// reported only for a press and release on the same enabled button, driven by
// real mouse events.
#include "controls/ExCalculatorPanel.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include "PanelMouse.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

class CalculatorPanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        panel.resize(230, 150);
        panel.InitButtons();
        panel.OnButtonClick = [this](QObject*, int index) { clicks.push_back(index); };
        panel.show();
        QApplication::processEvents();
    }
    int IndexOf(const char* name)
    {
        for (int i = 0; i < panel.Buttons().Count(); ++i)
            if (panel.Buttons().Items(i)->Name() == QLatin1String(name))
                return i;
        return -1;
    }
    QPoint CentreOf(const char* name)
    {
        const TRect r = panel.Buttons().Items(IndexOf(name))->Rect();
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }

    TCustomButtonPanel panel;
    std::vector<int> clicks;
};

TEST_F(CalculatorPanelTest, ArrangesTheKeypadOfA230By150Panel)
{
    // Area 214 x 134: w = 34, h = 26; columns 8, 46, 79, 112, 150, 183 (neighbours
    // of a block share a pixel); rows 8, 38, 63, 88, 113; right edge 217.
    struct Case
    {
        const char* name;
        TRect rect;
    } cases[] = {
        {"BTN_ON", Bounds(8, 8, 34, 26)},     {"BTN_BACK", Bounds(46, 8, 54, 26)},
        {"BTN_CE", Bounds(104, 8, 54, 26)},   {"BTN_C", Bounds(162, 8, 55, 26)}, // C reaches the right edge
        {"BTN_MC", Bounds(8, 38, 34, 26)},    {"BTN_M+", Bounds(8, 113, 34, 26)},
        {"BTN_7", Bounds(46, 38, 34, 26)},    {"BTN_8", Bounds(79, 38, 34, 26)},
        {"BTN_9", Bounds(112, 38, 34, 26)},   {"BTN_0", Bounds(46, 113, 34, 26)},
        {"BTN_+/-", Bounds(79, 113, 34, 26)}, {"BTN_.", Bounds(112, 113, 34, 26)},
        {"BTN_/", Bounds(150, 38, 34, 26)},   {"BTN_+", Bounds(150, 113, 34, 26)},
        {"BTN_sqrt", Bounds(183, 38, 34, 26)}, {"BTN_%", Bounds(183, 63, 34, 26)},
        {"BTN_1/x", Bounds(183, 88, 34, 26)}, {"BTN_=", Bounds(183, 113, 34, 26)},
    };
    ASSERT_EQ(panel.Buttons().Count(), 28);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GE(IndexOf(c.name), 0);
        EXPECT_EQ(panel.Buttons().Items(IndexOf(c.name))->Rect(), c.rect);
    }
    // The decimal key keeps "." whatever the locale; tags and the special look.
    const TButtonItem* dot = panel.Buttons().Items(IndexOf("BTN_."));
    EXPECT_EQ(dot->Caption(), QStringLiteral("."));
    EXPECT_EQ(dot->Tag(), 15);
    EXPECT_FALSE(dot->Special());
    EXPECT_TRUE(panel.Buttons().Items(IndexOf("BTN_sqrt"))->Special());
    EXPECT_EQ(panel.Buttons().Items(IndexOf("BTN_sqrt"))->CaptionColor(), 0x000080u);
}

TEST_F(CalculatorPanelTest, FollowsSizeChangesAndFillsOnlyOnce)
{
    panel.resize(300, 200);
    QApplication::processEvents();
    // Area 284 x 184: w = (284 - 8) / 6 = 46, h = (184 - 4) / 5 = 36.
    EXPECT_EQ(panel.Buttons().Items(IndexOf("BTN_7"))->Rect(), Bounds(58, 48, 46, 36));
    panel.Buttons().Items(0)->SetCaption(QStringLiteral("kept"));
    panel.InitButtons();
    EXPECT_EQ(panel.Buttons().Count(), 28);
    EXPECT_EQ(panel.Buttons().Items(0)->Caption(), QStringLiteral("kept"));
    panel.ResetButtons();
    EXPECT_EQ(panel.Buttons().Count(), 28);
    EXPECT_EQ(panel.Buttons().Items(0)->Caption(), QString());
}

TEST_F(CalculatorPanelTest, ClickReportsTheButtonUnderPressAndRelease)
{
    mouse::mouseClick(&panel, Qt::LeftButton, {}, CentreOf("BTN_7"));
    mouse::mouseClick(&panel, Qt::LeftButton, {}, CentreOf("BTN_="));
    // The shared border column belongs to the first button in collection order ("7").
    const TRect r8 = panel.Buttons().Items(IndexOf("BTN_8"))->Rect();
    mouse::mouseClick(&panel, Qt::LeftButton, {}, QPoint(r8.Left, r8.Top + 5));
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[0], IndexOf("BTN_7"));
    EXPECT_EQ(panel.Buttons().Items(clicks[0])->Tag(), 7);
    EXPECT_EQ(clicks[1], IndexOf("BTN_="));
    EXPECT_EQ(clicks[2], IndexOf("BTN_7"));
    EXPECT_EQ(panel.ButtonDown(), -1);

    // In the margin and in the gap between the blocks nothing is reported.
    mouse::mouseClick(&panel, Qt::LeftButton, {}, QPoint(3, 3));
    mouse::mouseClick(&panel, Qt::LeftButton, {}, QPoint(44, 50));
    EXPECT_EQ(clicks.size(), 3u);
}

TEST_F(CalculatorPanelTest, PressOnOneButtonReleasedOnAnotherReportsNothing)
{
    mouse::mousePress(&panel, Qt::LeftButton, {}, CentreOf("BTN_7"));
    EXPECT_EQ(panel.ButtonDown(), IndexOf("BTN_7"));
    mouse::mouseMove(&panel, CentreOf("BTN_8"));
    mouse::mouseRelease(&panel, Qt::LeftButton, {}, CentreOf("BTN_8"));
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(panel.ButtonDown(), -1);
}

TEST_F(CalculatorPanelTest, HotFollowsTheMouseAndDisabledButtonsStayCold)
{
    mouse::mouseMove(&panel, CentreOf("BTN_5"));
    EXPECT_EQ(panel.ButtonHot(), IndexOf("BTN_5"));
    mouse::mouseMove(&panel, QPoint(2, 2));
    EXPECT_EQ(panel.ButtonHot(), -1);

    panel.Buttons().Items(IndexOf("BTN_5"))->SetEnabled(false);
    mouse::mouseMove(&panel, CentreOf("BTN_5"));
    EXPECT_EQ(panel.ButtonHot(), -1);
    mouse::mousePress(&panel, Qt::LeftButton, {}, CentreOf("BTN_5"));
    EXPECT_EQ(panel.ButtonDown(), -1);
    mouse::mouseRelease(&panel, Qt::LeftButton, {}, CentreOf("BTN_5"));
    EXPECT_TRUE(clicks.empty());

    QEvent leave(QEvent::Leave);
    mouse::mouseMove(&panel, CentreOf("BTN_6"));
    EXPECT_EQ(panel.ButtonHot(), IndexOf("BTN_6"));
    QApplication::sendEvent(&panel, &leave);
    EXPECT_EQ(panel.ButtonHot(), -1);
}

TEST_F(CalculatorPanelTest, CustomPanelKeepsTheRectanglesItIsGiven)
{
    panel.ClearButtons();
    panel.SetButtonPanelType(plCustom);
    TButtonItem* b = panel.Buttons().Add();
    b->SetCaption(QStringLiteral("Go"));
    b->SetBounds(20, 30, 50, 25);
    panel.InitButtons(); // adds nothing to a custom panel
    panel.resize(400, 300);
    QApplication::processEvents();
    ASSERT_EQ(panel.Buttons().Count(), 1);
    EXPECT_EQ(b->Rect(), Bounds(20, 30, 50, 25));
    mouse::mouseClick(&panel, Qt::LeftButton, {}, QPoint(40, 40));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0], 0);
}

TEST_F(CalculatorPanelTest, EmptyPanelPaintsOnlyItsFrame)
{
    panel.ClearButtons();
    panel.SetColor(clWhite);
    const QImage img = panel.grab().toImage();
    EXPECT_EQ(FromQColor(img.pixelColor(0, 0)), clBlack);
    EXPECT_EQ(FromQColor(img.pixelColor(229, 149)), clBlack);
    EXPECT_EQ(FromQColor(img.pixelColor(50, 50)), clWhite);
    EXPECT_EQ(FromQColor(img.pixelColor(120, 80)), clWhite);
}

TEST_F(CalculatorPanelTest, PanelSmallerThanItsMarginsHasNoUsableButtons)
{
    // Below the margins the arithmetic would give negative sizes; the buttons
    // become empty instead, nothing is hit and painting survives.
    for (const QSize size : {QSize(0, 0), QSize(10, 10), QSize(20, 16)}) {
        SCOPED_TRACE(size.width());
        panel.resize(size);
        QApplication::processEvents();
        for (int i = 0; i < panel.Buttons().Count(); ++i) {
            const TRect r = panel.Buttons().Items(i)->Rect();
            EXPECT_GE(r.Width(), 0);
            EXPECT_GE(r.Height(), 0);
        }
        EXPECT_EQ(panel.ButtonAtPos(8, 8), -1);
        (void)panel.grab();
    }
}

TEST_F(CalculatorPanelTest, DigitsAndOperatorsAreDrawnInTheirTextColours)
{
    panel.SetColor(clWhite);
    panel.ButtonAppearance().SetTextColor(clBlue);
    panel.ButtonAppearance().SetSpecialTextColor(clRed);
    const QImage img = panel.grab().toImage();
    auto countIn = [&](const char* name, TColor colour) {
        const TRect r = panel.Buttons().Items(IndexOf(name))->Rect();
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += FromQColor(img.pixelColor(x, y)) == colour;
        return n;
    };
    EXPECT_GT(countIn("BTN_8", clBlue), 0);
    EXPECT_EQ(countIn("BTN_8", clRed), 0);
    EXPECT_GT(countIn("BTN_+", clRed), 0);
    EXPECT_EQ(countIn("BTN_+", clBlue), 0);
    // The key without caption shows no text.
    EXPECT_EQ(countIn("BTN_ON", clBlue), 0);
}

TEST(ButtonAppearance, ChangesAreReportedAndAssignCopiesTheFont)
{
    TButtonAppearance a;
    int changes = 0;
    a.OnChange = [&] { ++changes; };
    EXPECT_EQ(a.Font().Size(), 10);
    EXPECT_TRUE(a.Font().Style() & fsBold);
    EXPECT_EQ(a.SpecialTextColor(), 0x000080u);
    a.SetColor(a.Color());
    EXPECT_EQ(changes, 0);
    a.SetColorHot(0x123456);
    EXPECT_EQ(changes, 1);

    TButtonAppearance b;
    b.Font().SetSize(14);
    b.SetTextColor(clGreen);
    a.Assign(b);
    EXPECT_EQ(a.Font().Size(), 14);
    EXPECT_EQ(a.TextColor(), clGreen);
    EXPECT_EQ(a.ColorHot(), 0x9F6F1Cu);
}

TEST(ButtonItem, AssignLeavesTheSpecialFlagAndTheRectangle)
{
    TButtonItem a, b;
    b.SetCaption(QStringLiteral("x"));
    b.SetTag(9);
    b.SetName(QStringLiteral("BTN_X"));
    b.SetSpecial(true);
    b.SetEnabled(false);
    b.SetBounds(1, 2, 3, 4);
    a.Assign(b);
    EXPECT_EQ(a.Caption(), QStringLiteral("x"));
    EXPECT_EQ(a.Tag(), 9);
    EXPECT_EQ(a.Name(), QStringLiteral("BTN_X"));
    EXPECT_FALSE(a.Enabled());
    EXPECT_FALSE(a.Special());
    EXPECT_EQ(a.Rect(), Rect(0, 0, 0, 0));
}

} // namespace
