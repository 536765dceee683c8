// The analog watch: its geometry, the time set by clicks and keys sent as real
// events, the hand animation, the preset styles and colour schemes, and
// painting at sizes down to nothing.
#include "controls/ExWatch.h"

#include "PanelMouse.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

TDateTime At(int hour, int minute) { return (hour * 60 + minute) / 1440.0; }

// Hours and minutes of a time, rounded to the minute.
std::pair<int, int> HM(TDateTime t)
{
    const long long m = std::llround((t - std::floor(t)) * 1440.0) % 1440;
    return {static_cast<int>(m / 60), static_cast<int>(m % 60)};
}

class WatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        watch.SetAnimation(false);
        watch.OnChange = [this](QObject*) { ++changes; };
        // A host passes the keys on, as the time picker's popup does.
        watch.OnKeyDown = [this](QObject*, int& key, TShiftState) { watch.HandleKey(key); };
        watch.show();
        QApplication::processEvents();
    }
    void Click(int x, int y) { mouse::mouseClick(&watch, Qt::LeftButton, Qt::NoModifier, QPoint(x, y)); }
    void Key(int qtKey, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(&watch, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier, text);
        QApplication::sendEvent(&watch, &release);
    }
    // A point on the face at minute position m, at k times the radius.
    QPoint OnFace(double minutePos, double k)
    {
        const TPoint c = watch.GetCenter();
        const double a = minutePos * 6 * M_PI / 180;
        return QPoint(static_cast<int>(std::lround(c.X + k * watch.GetRadius() * std::sin(a))),
                      static_cast<int>(std::lround(c.Y - k * watch.GetRadius() * std::cos(a))));
    }

    TExWatch watch;
    int changes = 0;
};

TEST_F(WatchTest, GeometryOfTheDefaultControlAndOfSmallOnes)
{
    EXPECT_EQ(watch.Width(), 180);
    EXPECT_EQ(watch.GetWatchRect(), Rect(10, 10, 170, 170));
    EXPECT_EQ(watch.GetRadius(), 80.0);
    watch.Appearance().SetSize(50);
    EXPECT_EQ(watch.GetWatchRect(), Rect(65, 65, 115, 115));
    watch.Appearance().SetSize(500); // clipped to the control
    EXPECT_EQ(watch.GetWatchRect(), Rect(0, 0, 180, 180));
    // Smaller than the margins: a watch of no size at the centre, not a negative one.
    watch.Appearance().SetSize(0);
    watch.SetBounds(0, 0, 15, 12);
    EXPECT_EQ(watch.GetWatchRect(), Rect(7, 6, 7, 6));
    EXPECT_EQ(watch.GetRadius(), 0.0);
}

TEST_F(WatchTest, MarginClicksSetTheMinuteAndRaiseOnChangeOnlyAtTheRememberedTarget)
{
    watch.SetTime(At(9, 20));
    Click(177, 90); // right of the face: quarter past
    EXPECT_EQ(HM(watch.Time()), std::make_pair(9, 15));
    EXPECT_EQ(changes, 0) << "15 is not the remembered target (0)";
    Click(90, 3); // above the face: minute 0, backwards from 15, the hour stays
    EXPECT_EQ(HM(watch.Time()), std::make_pair(9, 0));
    EXPECT_EQ(changes, 1);
    Click(90, 177); // below: half past
    EXPECT_EQ(HM(watch.Time()), std::make_pair(9, 30));
    Click(3, 90);
    EXPECT_EQ(HM(watch.Time()), std::make_pair(9, 45));
    Click(90, 3); // 0 from above 30 advances the hour
    EXPECT_EQ(HM(watch.Time()), std::make_pair(10, 0));
}

TEST_F(WatchTest, FaceClicksSetTheHourInTheShownHalfOfTheDay)
{
    struct Case
    {
        const char* why;
        TDateTime start;
        double position; // minute position of the click
        int hour;
    } cases[] = {
        {"3 o'clock, morning", At(8, 10), 15, 3},
        {"just left of 12, morning: 0", At(8, 10), 59, 0},
        {"just right of 12, morning: 0", At(8, 10), 1, 0},
        {"just left of 12, afternoon: 12", At(15, 10), 58.5, 12},
        {"just right of 12, afternoon: 12", At(15, 10), 1, 12},
        {"9 o'clock, afternoon", At(15, 10), 45, 21},
    };
    for (const Case& c : cases) {
        watch.SetTime(c.start);
        const QPoint p = OnFace(c.position, 0.7);
        Click(p.x(), p.y());
        EXPECT_EQ(HM(watch.Time()), std::make_pair(c.hour, 10)) << c.why;
    }
}

TEST_F(WatchTest, TheAMPMBoxSwitchesTheHalfOfTheDay)
{
    watch.SetTime(At(7, 25));
    ASSERT_TRUE(watch.AM());
    const TRect box = watch.GetAMPMRect();
    ASSERT_FALSE(IsRectEmpty(box));
    Click((box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2);
    EXPECT_EQ(HM(watch.Time()), std::make_pair(19, 25));
    EXPECT_FALSE(watch.AM());
    EXPECT_EQ(changes, 1);
    // With animation the box rolls and the hour still applies at once.
    watch.SetAnimation(true);
    Click((box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2);
    EXPECT_EQ(HM(watch.Time()), std::make_pair(7, 25));
    EXPECT_TRUE(watch.AM());
    EXPECT_FALSE(watch.Animating());
}

TEST_F(WatchTest, KeysPressedInTheHostMoveTheHands)
{
    struct Case
    {
        const char* why;
        TDateTime start;
        int qtKey;
        QString text;
        std::pair<int, int> expected;
    } cases[] = {
        {"A in the morning: nothing", At(10, 20), Qt::Key_A, "a", {10, 20}},
        {"A in the afternoon", At(14, 20), Qt::Key_A, "a", {2, 20}},
        {"P in the morning", At(10, 20), Qt::Key_P, "p", {22, 20}},
        {"P in the afternoon: nothing", At(14, 20), Qt::Key_P, "p", {14, 20}},
        {"Page Up", At(22, 20), Qt::Key_PageUp, "", {23, 20}},
        {"Page Up at 23 wraps", At(23, 20), Qt::Key_PageUp, "", {0, 20}},
        {"Page Down", At(5, 20), Qt::Key_PageDown, "", {4, 20}},
        {"Page Down at 0 wraps", At(0, 20), Qt::Key_PageDown, "", {23, 20}},
        {"Home: noon", At(5, 20), Qt::Key_Home, "", {12, 20}},
        {"End: full hour", At(5, 20), Qt::Key_End, "", {5, 0}},
        {"Left", At(5, 20), Qt::Key_Left, "", {5, 19}},
        {"Left at minute 0 goes to the previous hour", At(5, 0), Qt::Key_Left, "", {4, 59}},
        {"Left at midnight", At(0, 0), Qt::Key_Left, "", {23, 59}},
        {"Right", At(5, 58), Qt::Key_Right, "", {5, 59}},
        {"Right at 59 goes to the next hour", At(5, 59), Qt::Key_Right, "", {6, 0}},
        {"Right at 23:59 wraps to midnight", At(23, 59), Qt::Key_Right, "", {0, 0}},
        {"Up: nothing", At(5, 20), Qt::Key_Up, "", {5, 20}},
        {"Down: nothing", At(5, 20), Qt::Key_Down, "", {5, 20}},
    };
    for (const Case& c : cases) {
        watch.SetTime(c.start);
        Key(c.qtKey, c.text);
        EXPECT_EQ(HM(watch.Time()), c.expected) << c.why;
    }
}

TEST_F(WatchTest, LiveClockIgnoresClicksAndKeys)
{
    watch.SetTime(At(3, 10));
    watch.Settings().SetAuto(true);
    const TDateTime t = watch.Time();
    Click(90, 3);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(watch.Time(), t);
    watch.Settings().SetAuto(false);
}

TEST_F(WatchTest, OutOfRangeHoursAndMinutesChangeNothing)
{
    watch.SetTime(At(6, 30));
    for (bool animation : {false, true}) {
        watch.SetAnimation(animation);
        try {
            watch.SetMinute(60);
            ADD_FAILURE() << "minute 60 accepted";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "Invalid time");
        }
        // An animated hour is checked at once, so no later timer step fails.
        EXPECT_THROW(watch.SetHour(24), std::invalid_argument);
        EXPECT_FALSE(watch.Animating());
        EXPECT_EQ(HM(watch.Time()), std::make_pair(6, 30));
    }
}

// Minutes the hand passes on the way to a target, one animation step at a time.
std::vector<int> Steps(TExWatch& watch, bool hours)
{
    std::vector<int> seen;
    for (int guard = 0; watch.Animating() && guard < 200; ++guard) {
        watch.AnimationTick();
        const auto [h, m] = HM(watch.Time());
        if (watch.Animating())
            seen.push_back(hours ? h : m);
    }
    return seen;
}

TEST_F(WatchTest, AnimatedMovesStepByAFactorOfTheRemainingDistance)
{
    watch.SetAnimation(true);
    watch.SetTime(At(8, 0));
    watch.SetMinute(45);
    EXPECT_EQ(HM(watch.Time()), std::make_pair(8, 0)) << "an animated change applies step by step";
    std::vector<int> expected = {4, 8, 12, 15, 18, 21, 23, 25, 27, 29, 31};
    for (int m = 32; m <= 45; ++m)
        expected.push_back(m);
    EXPECT_EQ(Steps(watch, false), expected);
    EXPECT_EQ(HM(watch.Time()), std::make_pair(8, 45));

    // To 0 from 50: forward through the full hour, which advances once.
    watch.SetTime(At(8, 50));
    watch.SetMinute(0);
    EXPECT_EQ(Steps(watch, false), (std::vector<int>{51, 52, 53, 54, 55, 56, 57, 58, 59, 0}));
    EXPECT_EQ(HM(watch.Time()), std::make_pair(9, 0));
    // To 0 from 20: backwards, the hour stays.
    watch.SetTime(At(8, 20));
    watch.SetMinute(0);
    Steps(watch, false);
    EXPECT_EQ(HM(watch.Time()), std::make_pair(8, 0));

    watch.SetTime(At(1, 0));
    changes = 0;
    watch.SetHour(21);
    EXPECT_EQ(Steps(watch, true), (std::vector<int>{3, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
    EXPECT_EQ(changes, 1) << "one change, when the hand reaches the target";
}

TEST_F(WatchTest, AnimationFactorBelowOneIsTakenAsOne)
{
    for (int factor : {0, -3}) {
        watch.SetAnimationFactor(factor);
        EXPECT_EQ(watch.AnimationFactor(), 1);
    }
    watch.SetAnimation(true);
    watch.SetTime(At(8, 0));
    watch.SetMinute(40);
    watch.AnimationTick(); // the whole distance in one step
    EXPECT_EQ(HM(watch.Time()), std::make_pair(8, 40));
}

TEST_F(WatchTest, TheAnimationTimerMovesTheHandToTheTarget)
{
    watch.SetAnimation(true);
    watch.SetTime(At(8, 0));
    watch.SetMinute(20);
    QElapsedTimer clock;
    clock.start();
    while (watch.Animating() && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(HM(watch.Time()), std::make_pair(8, 20));
    EXPECT_EQ(changes, 1) << "one change, with the step that reaches the target";
}

TEST(WatchStyles, PresetsSetTheirLookOnceAndOnlyOnChange)
{
    TExWatch watch;
    EXPECT_EQ(watch.Style(), wsClassic);
    watch.SetStyle(wsClassic); // already the stored style: the defaults stay
    EXPECT_EQ(watch.Appearance().HourMarkLength(), 0);
    EXPECT_EQ(watch.Appearance().HourFont().Name(), "Tahoma");

    struct Case
    {
        TWatchStyle style;
        std::function<void(TExWatch&)> check;
    } cases[] = {
        {wsSuperNova, [](TExWatch& w) {
             EXPECT_EQ(w.Appearance().HourMarkLength(), 40);
             EXPECT_EQ(w.Appearance().MinuteMarkLength(), 60);
             EXPECT_EQ(w.Appearance().BorderColor(), clNone);
             EXPECT_FALSE(w.ShowAMPM());
         }},
        {wsSports, [](TExWatch& w) {
             EXPECT_EQ(w.Appearance().CenterPointSize(), 50);
             EXPECT_EQ(w.Appearance().SecondPointer(), 0x188BFEu);
             EXPECT_EQ(w.Appearance().HourFont().Name(), "Times New Roman");
             EXPECT_EQ(w.Appearance().TickMarks(), tmQuartHours);
         }},
        {wsEmerald, [](TExWatch& w) {
             EXPECT_EQ(w.Appearance().Shape(), wsRect);
             EXPECT_EQ(w.Appearance().PointerStyle(), psPointer);
             EXPECT_EQ(w.Appearance().AMPMColor(), clNone);
             EXPECT_EQ(w.Appearance().HourFont().Color(), 0x3AE800u);
             EXPECT_EQ(w.Appearance().HourMarkStyle(), hmsQuartDblLine);
             EXPECT_FALSE(w.ShowNumbers());
         }},
        {wsClassic, [](TExWatch& w) {
             // The reset gives the fonts a fresh platform font's colour again.
             EXPECT_EQ(w.Appearance().HourFont().Color(), TFont().Color());
             EXPECT_EQ(w.Appearance().HourFont().Name(), "Comic Sans MS");
             EXPECT_EQ(w.Appearance().HourFont().Size(), 10);
             EXPECT_EQ(w.Appearance().HourMarkLength(), 8);
             EXPECT_EQ(w.Appearance().Shape(), wsCircle);
             EXPECT_TRUE(w.ShowAMPM());
         }},
        {wsTower, [](TExWatch& w) {
             EXPECT_EQ(w.Appearance().AMPMColor(), 0xB1F0FEu);
             EXPECT_EQ(w.Appearance().TickMarks(), tmHours);
         }},
        {wsFluorescent, [](TExWatch& w) {
             EXPECT_EQ(w.Appearance().Shape(), wsRoundRect);
             EXPECT_EQ(w.Appearance().CenterPointSize(), 20);
             EXPECT_EQ(w.Appearance().HourMarkWidth(), 2);
         }},
        {wsBlueStar, [](TExWatch& w) {
             EXPECT_EQ(w.Appearance().AMPMBorderColor(), clNone);
             EXPECT_EQ(w.Appearance().BackgroundGradient(), wgRadial);
         }},
        {wsFuchsia, [](TExWatch& w) { EXPECT_EQ(w.Appearance().Shape(), wsRect); }},
        {wsBlack, [](TExWatch& w) { EXPECT_EQ(w.Appearance().HourFont().Size(), 11); }},
        {wsBlackWhite, [](TExWatch& w) { EXPECT_EQ(w.Appearance().BorderWidth(), 8); }},
        {wsGray, [](TExWatch& w) { EXPECT_EQ(w.Appearance().HourPointerShadow(), clNone); }},
        {wsSmooth, [](TExWatch& w) { EXPECT_EQ(w.Appearance().MinuteMarkLength(), 1); }},
    };
    for (const Case& c : cases) {
        watch.SetStyle(c.style);
        SCOPED_TRACE(static_cast<int>(c.style));
        c.check(watch);
    }
    // The same style again does nothing, even after a change in between.
    watch.Appearance().SetBorderWidth(3);
    watch.SetStyle(wsSmooth);
    EXPECT_EQ(watch.Appearance().BorderWidth(), 3);
}

TEST(WatchStyles, ColourSchemes)
{
    TExWatch watch;
    watch.Appearance().HourFont().SetColor(clRed);
    watch.SetComponentStyle(tsCustom);
    EXPECT_EQ(watch.Appearance().CenterPointOuterBorderColor(), clBlack);
    EXPECT_EQ(watch.Appearance().HourFont().Color(), clBlack);
    EXPECT_EQ(watch.Appearance().BackgroundColor(), clWhite) << "tsCustom changes nothing more";

    watch.SetComponentStyle(tsWindowsVista);
    EXPECT_EQ(watch.Appearance().BackgroundColor(), 0xFFFDF9u);
    EXPECT_EQ(watch.Appearance().BackgroundColorTo(), 0xFFFAF0u);
    EXPECT_EQ(watch.Appearance().AMPMBorderColor(), 0xFEDF9Au);
    EXPECT_EQ(watch.Appearance().MinuteColor(), 0xFEDF9Au);

    watch.SetComponentStyle(tsOffice2007Obsidian);
    EXPECT_EQ(watch.Appearance().HourFont().Color(), 0xF2F1F0u);
    EXPECT_EQ(watch.Appearance().AMPMFont().Color(), 0xF2F1F0u);
    EXPECT_EQ(watch.Appearance().CenterPointColor(), 0xFFEFE3u);

    watch.SetComponentStyle(tsOffice2010Silver);
    EXPECT_EQ(watch.Appearance().HourPointerShadow(), clSilver);
    EXPECT_EQ(watch.Appearance().BackgroundColorTo(), clWhite);
}

TEST(WatchAppearance, ChangesAndCopies)
{
    TWatchAppearance a;
    int changes = 0;
    a.OnChange = [&](QObject*) { ++changes; };
    a.SetAMPMColor(clRed);
    a.SetAMPMBorderColor(clRed);
    EXPECT_EQ(changes, 0) << "the AM/PM colours are plain stored values";
    a.SetBorderWidth(4);
    EXPECT_EQ(changes, 0) << "same value";
    a.SetBorderWidth(2);
    a.HourFont().SetSize(12);
    EXPECT_EQ(changes, 2);

    TWatchAppearance b;
    b.Assign(a);
    EXPECT_EQ(b.BorderWidth(), 2);
    EXPECT_EQ(b.AMPMColor(), clRed);
    EXPECT_EQ(b.HourFont().Size(), 12);
    EXPECT_FALSE(b.OnChange);
    a.SetDefaults();
    EXPECT_EQ(a.HourFont().Size(), 8);
    EXPECT_EQ(a.AMPMColor(), clWhite);
}

QImage Render(TExWatch& w)
{
    return w.grab().toImage();
}

bool HasColour(const QImage& img, QRgb colour)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

TEST(WatchPainting, TheSecondHandShowsOnlyOnTheLiveClock)
{
    TExWatch watch;
    watch.Appearance().SetSecondPointer(RGB(0, 200, 0));
    watch.SetTime(At(10, 10) + 30.0 / 86400);
    EXPECT_FALSE(HasColour(Render(watch), qRgb(0, 200, 0)));
    watch.Settings().SetAuto(true);
    EXPECT_TRUE(HasColour(Render(watch), qRgb(0, 200, 0)));
    watch.Settings().SetAuto(false);
}

TEST(WatchPainting, TheFaceFillsItsShape)
{
    TExWatch watch;
    watch.Appearance().SetBackgroundColor(RGB(200, 0, 0));
    QImage img = Render(watch);
    EXPECT_EQ(img.pixel(45, 45) & 0xFFFFFF, qRgb(200, 0, 0) & 0xFFFFFF) << "inside the circle";
    EXPECT_NE(img.pixel(12, 12) & 0xFFFFFF, qRgb(200, 0, 0) & 0xFFFFFF) << "corner outside the circle";
    watch.Appearance().SetShape(wsRect);
    img = Render(watch);
    EXPECT_EQ(img.pixel(12, 12) & 0xFFFFFF, qRgb(200, 0, 0) & 0xFFFFFF) << "the square face fills the control";
}

TEST(WatchPainting, ZeroAndTinySizesPaintWithoutFault)
{
    const TWatchStyle styles[] = {wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia,
                                  wsBlack, wsBlackWhite, wsGray, wsSuperNova, wsSports, wsSmooth};
    for (int side : {0, 1, 2, 5, 19, 20, 21, 24, 40}) {
        for (TWatchStyle style : styles) {
            TExWatch watch;
            watch.SetStyle(style == wsClassic ? wsSmooth : wsClassic);
            watch.SetBounds(0, 0, side, side + 3);
            watch.SetStyle(style);
            watch.Settings().SetAuto(style == wsGray);
            Render(watch);
            watch.Settings().SetAuto(false);
        }
        TExWatch watch;
        watch.SetBounds(0, 0, side, side);
        // Extremes of the look against a face of almost no size.
        watch.Appearance().SetBorderWidth(200);
        watch.Appearance().SetHourMarkLength(255);
        watch.Appearance().SetMinuteMarkLength(255);
        watch.Appearance().SetCenterPointSize(255);
        watch.Appearance().SetSize(1);
        Render(watch);
        watch.Appearance().SetPointerStyle(psLineArrow);
        watch.Appearance().SetShape(wsRoundRect);
        Render(watch);
        // Clicks on a face of no size give a minute, not a division by zero.
        mouse::mouseClick(&watch, Qt::LeftButton, Qt::NoModifier, QPoint(side / 2, side / 2));
    }
    SUCCEED();
}

// CONTROLS_SCREENSHOT_DIR=<dir> saves the twelve preset watches at 10:10, to be looked at.
TEST(WatchScreenshot, PresetStyles)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    QDir().mkpath(out);
    QWidget host;
    host.resize(4 * 180, 3 * 180);
    const TWatchStyle styles[] = {wsClassic, wsTower, wsFluorescent, wsEmerald, wsBlueStar, wsFuchsia,
                                  wsBlack, wsBlackWhite, wsGray, wsSuperNova, wsSports, wsSmooth};
    std::vector<std::unique_ptr<TExWatch>> watches;
    for (int i = 0; i < 12; ++i) {
        auto w = std::make_unique<TExWatch>(&host);
        w->SetBounds((i % 4) * 180, (i / 4) * 180, 180, 180);
        if (styles[i] == wsClassic)
            w->SetStyle(wsSmooth); // so that the classic preset is applied
        w->SetStyle(styles[i]);
        w->SetTime(At(15, 10));
        watches.push_back(std::move(w));
    }
    host.show();
    QApplication::processEvents();
    EXPECT_TRUE(host.grab().save(QDir(out).filePath(QStringLiteral("watch_styles.png"))));
    // The colour schemes on the default look.
    QWidget schemes;
    schemes.resize(4 * 180, 180);
    const TQRVStyle qs[] = {tsOffice2003Blue, tsOffice2007Obsidian, tsWindows7, tsOffice2010Black};
    std::vector<std::unique_ptr<TExWatch>> more;
    for (int i = 0; i < 4; ++i) {
        auto w = std::make_unique<TExWatch>(&schemes);
        w->SetBounds(i * 180, 0, 180, 180);
        w->SetComponentStyle(qs[i]);
        w->SetTime(At(8, 40));
        more.push_back(std::move(w));
    }
    schemes.show();
    QApplication::processEvents();
    EXPECT_TRUE(schemes.grab().save(QDir(out).filePath(QStringLiteral("watch_schemes.png"))));
}

} // namespace
