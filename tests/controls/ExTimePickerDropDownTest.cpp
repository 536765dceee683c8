// The time picker drop-down: typed times, the Up and Down keys on the part
// under the caret, the seconds switch and the watch in its popup.
#include "controls/ExTimePickerDropDown.h"

#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;

namespace {

TDateTime At(int h, int m, int s = 0) { return ((h * 60 + m) * 60 + s) / 86400.0; }

long long Seconds(TDateTime t) { return std::llround(t * 86400.0); }

class TimePickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRegionalSettings r;
        r.DecimalSeparator = QLatin1Char('.');
        r.ThousandSeparator = QLatin1Char(',');
        r.DateSeparator = QLatin1Char('/');
        r.TimeSeparator = QLatin1Char(':');
        r.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetRegionalSettingsOverride(r);
        form.SetBounds(100, 100, 300, 200);
        picker = new TExTimePickerDropDown(&form);
        picker->SetBounds(20, 20, 120, 21);
        picker->OnTimeChange = [this](QObject*) { ++timeChanges; };
        form.Show();
        QApplication::processEvents();
    }
    void TearDown() override
    {
        delete picker;
        SetRegionalSettingsOverride(std::nullopt);
    }
    void Key(QWidget* w, int qtKey)
    {
        QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, qtKey, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
    }

    TForm form;
    TExTimePickerDropDown* picker = nullptr;
    int timeChanges = 0;
};

TEST_F(TimePickerTest, StartsAtMidnightWithSeconds)
{
    EXPECT_EQ(picker->RawText(), "00:00:00");
    EXPECT_FALSE(picker->EditorEnabled());
    picker->SetTime(At(7, 5, 9));
    EXPECT_EQ(picker->RawText(), "07:05:09");
    EXPECT_EQ(timeChanges, 0);
}

TEST_F(TimePickerTest, TypedTimes)
{
    struct Case
    {
        const char* why;
        bool seconds;
        const char* typed;
        long long time;    // -1: the old time stays
        const char* shown; // the edit's text afterwards
    } cases[] = {
        {"valid without seconds", false, "07:30", Seconds(At(7, 30)), "07:30"},
        {"valid with seconds", true, "12:34:56", Seconds(At(12, 34, 56)), "12:34:56"},
        {"edge: last second of the day", true, "23:59:59", Seconds(At(23, 59, 59)), "23:59:59"},
        {"edge: midnight", true, "00:00:00", 0, "00:00:00"},
        {"blanks count as 0 and a full hour is rewritten", false, "1 : 0", Seconds(At(10, 0)), "10:00"},
        {"leading blank: trimmed length 4, incomplete", false, " 7:30", -1, " 7:30"},
        {"incomplete with seconds", true, "12:34", -1, "12:34"},
        {"hour 24", true, "24:00:00", -1, "24:00:00"},
        {"hour 99", false, "99:00", -1, "99:00"},
        {"minute 60", true, "12:60:00", -1, "12:60:00"},
        {"second 60", true, "12:00:60", -1, "12:00:60"},
        {"letters", false, "ab:cd", -1, "ab:cd"},
        {"no separator", false, "12-34", -1, "12-34"},
        {"a second separator without seconds", false, "1:2:3", -1, "1:2:3"},
        {"a third separator", true, "1:2:3:4", -1, "1:2:3:4"},
    };
    for (const Case& c : cases) {
        picker->SetShowSeconds(c.seconds);
        picker->SetTime(At(1, 1, 1));
        picker->SetTime(At(6, 6, 6));
        // Without seconds the text shown is read back, so the old time has none.
        const long long old = Seconds(picker->Time());
        ASSERT_EQ(old, Seconds(c.seconds ? At(6, 6, 6) : At(6, 6))) << c.why;
        // The parse rules, on any text.
        const QString typed = QString::fromUtf8(c.typed);
        const std::optional<TTypedTime> parsed = ParseTypedTime(typed, c.seconds, u':');
        EXPECT_EQ(parsed && parsed->Hour < 24 && parsed->Minute < 60 && parsed->Second < 60, c.time >= 0) << c.why;
        // The edit's mask refuses some of these texts outright; a text it
        // holds as given follows the same rules.
        timeChanges = 0;
        EXPECT_NO_THROW(picker->SetRawText(typed)) << c.why;
        if (c.time >= 0 || picker->displayText() == typed) {
            EXPECT_EQ(Seconds(picker->Time()), c.time < 0 ? old : c.time) << c.why;
        }
        if (c.time >= 0) {
            EXPECT_EQ(picker->RawText(), QString::fromUtf8(c.shown)) << c.why;
        }
        EXPECT_EQ(timeChanges, 0) << c.why;
    }
}

TEST_F(TimePickerTest, UpAndDownChangeThePartUnderTheCaret)
{
    struct Case
    {
        int caret;
        int qtKey;
        TDateTime start;
        TDateTime expected;
    } cases[] = {
        {0, Qt::Key_Up, At(12, 34, 56), At(11, 34, 56)},   {1, Qt::Key_Up, At(12, 34, 56), At(11, 34, 56)},
        {2, Qt::Key_Down, At(12, 34, 56), At(13, 34, 56)}, {3, Qt::Key_Up, At(12, 34, 56), At(12, 33, 56)},
        {5, Qt::Key_Down, At(12, 34, 56), At(12, 35, 56)}, {6, Qt::Key_Up, At(12, 34, 56), At(12, 34, 55)},
        {8, Qt::Key_Down, At(12, 34, 56), At(12, 34, 57)}, {0, Qt::Key_Up, At(0, 0, 0), At(23, 0, 0)},
        {7, Qt::Key_Down, At(23, 59, 59), At(23, 59, 0)},  {4, Qt::Key_Down, At(23, 59, 59), At(23, 0, 59)},
    };
    picker->setFocus();
    for (const Case& c : cases) {
        picker->SetTime(c.start);
        picker->setCursorPosition(c.caret);
        timeChanges = 0;
        Key(picker, c.qtKey);
        EXPECT_EQ(Seconds(picker->Time()), Seconds(c.expected)) << "caret " << c.caret;
        EXPECT_EQ(timeChanges, 1) << "caret " << c.caret;
        // The mask keeps the caret off a separator: it stays in the part.
        EXPECT_EQ(picker->cursorPosition(), c.caret == 2 || c.caret == 5 ? c.caret - 1 : c.caret);
    }
}

TEST_F(TimePickerTest, SwitchingSecondsOffReformatsAndDropsThem)
{
    picker->SetTime(At(12, 34, 56));
    picker->SetShowSeconds(false);
    EXPECT_EQ(picker->RawText(), "12:34");
    EXPECT_EQ(Seconds(picker->Time()), Seconds(At(12, 34)));
}

TEST_F(TimePickerTest, ThePopupWatchShowsTheTimeAndHandsItBackOnClose)
{
    picker->SetAnimation(false);
    picker->SetAnimationFactor(0);
    EXPECT_EQ(picker->AnimationFactor(), 1);
    picker->WatchAppearance().SetBackgroundColor(clYellow);
    picker->SetTime(At(9, 15));
    picker->ShowDropDown();
    QApplication::processEvents();
    ASSERT_TRUE(picker->DroppedDown());
    TExWatch* watch = picker->Watch();
    ASSERT_NE(watch, nullptr);
    EXPECT_EQ(Seconds(watch->Time()), Seconds(At(9, 15)));
    EXPECT_EQ(watch->Appearance().BackgroundColor(), clYellow);
    EXPECT_FALSE(watch->Animation());
    // Page Up in the popup moves the watch's hour; the edit keeps it back.
    Key(picker->DropDownForm(), Qt::Key_PageUp);
    EXPECT_EQ(Seconds(watch->Time()), Seconds(At(10, 15)));
    picker->HideDropDown(false);
    EXPECT_EQ(Seconds(picker->Time()), Seconds(At(10, 15)));
    EXPECT_EQ(picker->RawText(), "10:15:00");

    picker->ShowDropDown();
    QApplication::processEvents();
    Key(picker->DropDownForm(), Qt::Key_PageUp);
    EXPECT_EQ(Seconds(watch->Time()), Seconds(At(11, 15)));
    picker->HideDropDown(true);
    EXPECT_EQ(Seconds(picker->Time()), Seconds(At(10, 15))) << "cancel keeps the time the popup opened with";
    EXPECT_EQ(picker->RawText(), "10:15:00");
    EXPECT_EQ(Seconds(watch->Time()), Seconds(At(10, 15))) << "and resets the watch";
}

TEST_F(TimePickerTest, TheTimePickerBelowTheWatchFollowsAndLeads)
{
    picker->SetAnimation(false);
    picker->SetShowTimePicker(true);
    picker->SetTime(At(9, 15, 30));
    picker->ShowDropDown();
    QApplication::processEvents();
    TDateTimePicker* time = picker->DateTimePicker();
    ASSERT_NE(time, nullptr);
    EXPECT_TRUE(time->isVisible());
    EXPECT_EQ(time->Time(), QTime(9, 15, 30));
    EXPECT_GT(picker->Watch()->Height(), 100) << "the watch keeps the room above the picker";
    // The picker leads the watch; closing takes the watch's time.
    time->SetTime(QTime(14, 5, 30));
    QApplication::processEvents();
    EXPECT_EQ(Seconds(picker->Watch()->Time()), Seconds(At(14, 5, 30)));
    picker->HideDropDown(false);
    EXPECT_EQ(Seconds(picker->Time()), Seconds(At(14, 5, 30)));
    EXPECT_EQ(picker->RawText(), "14:05:30");

    picker->SetShowTimePicker(false);
    picker->ShowDropDown();
    QApplication::processEvents();
    EXPECT_FALSE(time->isVisible());
    picker->HideDropDown(true);
}

TEST_F(TimePickerTest, TheEditMaskKeepsTheSeparatorsAndTakesDigitsTyped)
{
    // The blank is the mask's own placeholder, so it is not repeated.
    EXPECT_EQ(picker->inputMask(), QStringLiteral("!90:00:00"));
    EXPECT_EQ(TExTimePickerDropDown::EditMaskFor(true, u'.'), QStringLiteral("!90.00.00; "));
    EXPECT_EQ(TExTimePickerDropDown::EditMaskFor(false, u':'), QStringLiteral("!90:00; "));
    EXPECT_EQ(TExTimePickerDropDown::EditMaskFor(false, u'h'), QStringLiteral("!90\\h00; "));
    picker->SetEditorEnabled(true);
    picker->SetTime(At(6, 6, 6));
    picker->setFocus();
    struct Case
    {
        const char* why;
        bool seconds;
        const char* keys;
        long long time; // -1: the old time stays
    } cases[] = {
        {"digits only, the separators are kept", true, "123456", Seconds(At(12, 34, 56))},
        {"a typed separator is taken as the mask's", true, "07:08:09", Seconds(At(7, 8, 9))},
        {"without seconds", false, "0730", Seconds(At(7, 30))},
        {"hour 24 keeps the old time", true, "240000", -1},
        // The edit overwrites: 12:06 is whole on the way and stays.
        {"minute 60 keeps the last whole time", false, "1260", Seconds(At(12, 6))},
        {"letters are not taken", true, "ab", -1},
    };
    for (const Case& c : cases) {
        picker->SetShowSeconds(c.seconds);
        picker->SetTime(At(1, 1));
        picker->SetTime(At(6, 6));
        const long long old = Seconds(picker->Time());
        picker->setCursorPosition(0);
        timeChanges = 0;
        EXPECT_NO_THROW(testsupport::TypeKeys(QString::fromLatin1(c.keys))) << c.why;
        EXPECT_EQ(Seconds(picker->Time()), c.time < 0 ? old : c.time) << c.why;
        EXPECT_EQ(picker->displayText().size(), c.seconds ? 8 : 5) << c.why;
        EXPECT_EQ(timeChanges, 0) << c.why;
    }
}

TEST_F(TimePickerTest, KeysOfThePopupPickerStayWithItOrCloseThePopup)
{
    picker->SetAnimation(false);
    picker->SetShowTimePicker(true);
    picker->SetTime(At(9, 15, 30));
    picker->ShowDropDown();
    QApplication::processEvents();
    TDateTimePicker* time = picker->DateTimePicker();
    ASSERT_NE(time, nullptr);
    time->setFocus();
    time->setCurrentSection(QDateTimeEdit::HourSection);
    // Up stays with the picker, which steps its hour; the edit keeps its text.
    Key(time, Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(time->Time(), QTime(10, 15, 30));
    EXPECT_TRUE(picker->DroppedDown());
    // Enter reaches the edit and closes the popup with the time shown.
    Key(time, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(Seconds(picker->Time()), Seconds(At(10, 15, 30)));
    EXPECT_EQ(picker->RawText(), "10:15:30");
}

// CONTROLS_SCREENSHOT_DIR=<dir> saves the time picker with its popup open.
TEST_F(TimePickerTest, Screenshot)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    QDir().mkpath(out);
    picker->SetTime(At(16, 40, 0));
    picker->SetComponentStyle(tsOffice2010Blue);
    picker->SetShowTimePicker(true);
    picker->ShowDropDown();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    ASSERT_TRUE(picker->DroppedDown());
    TDropDownForm* popup = picker->DropDownForm();
    const QRect all = form.frameGeometry().united(popup->geometry());
    QPixmap shot(all.size());
    shot.fill(Qt::darkGray);
    QPainter p(&shot);
    p.drawPixmap(form.geometry().topLeft() - all.topLeft(), form.grab());
    p.drawPixmap(popup->geometry().topLeft() - all.topLeft(), popup->grab());
    p.end();
    EXPECT_TRUE(shot.save(QDir(out).filePath(QStringLiteral("timepicker_open.png"))));
    picker->HideDropDown(true);
}

} // namespace
