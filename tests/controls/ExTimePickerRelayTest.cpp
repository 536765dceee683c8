// Keys typed in the time picker inside the time drop-down's popup, driven by
// real key events: the picker keeps its paging and arrow keys, everything
// else reaches the drop-down's edit as if typed there.
#include "controls/ExTimePickerDropDown.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

class TimePickerRelayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TRegionalSettings r = RegionalSettings();
        r.TimeSeparator = QLatin1Char(':');
        SetRegionalSettingsOverride(r);
        form.SetBounds(100, 100, 300, 200);
        picker = new TExTimePickerDropDown(&form);
        picker->SetBounds(20, 20, 120, 21);
        picker->SetAnimation(false);
        picker->SetShowTimePicker(true);
        picker->OnKeyDown = [this](QObject* sender, int& key, TShiftState) {
            EXPECT_EQ(sender, picker);
            downs.push_back(key);
        };
        picker->OnKeyPress = [this](QObject*, QChar& key) { chars += key; };
        form.Show();
        QApplication::processEvents();
        picker->ShowDropDown();
        QApplication::processEvents();
        time = picker->DateTimePicker();
        if (time) {
            time->setFocus();
            time->setCurrentSection(QDateTimeEdit::HourSection);
        }
        QApplication::processEvents();
    }
    void TearDown() override
    {
        delete picker;
        SetRegionalSettingsOverride(std::nullopt);
    }

    TForm form;
    TExTimePickerDropDown* picker = nullptr;
    TDateTimePicker* time = nullptr;
    std::vector<int> downs;
    QString chars;
};

} // namespace

TEST_F(TimePickerRelayTest, PagingAndArrowKeysStayWithThePickerOthersReachTheEdit)
{
    ASSERT_NE(time, nullptr);
    ASSERT_TRUE(time->hasFocus());
    struct Case
    {
        const char* why;
        int key;
        bool reachesEdit;
    };
    const Case cases[] = {
        {"Up steps the picker only", Qt::Key_Up, false},
        {"Down too", Qt::Key_Down, false},
        {"Page Up too", Qt::Key_PageUp, false},
        {"Page Down too", Qt::Key_PageDown, false},
        {"Left goes on", Qt::Key_Left, true},
        {"Right goes on", Qt::Key_Right, true},
        {"Home goes on", Qt::Key_Home, true},
        {"End goes on", Qt::Key_End, true},
        {"Delete goes on", Qt::Key_Delete, true},
        {"Insert goes on", Qt::Key_Insert, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        downs.clear();
        testsupport::KeyClick(c.key);
        EXPECT_EQ(downs.size(), c.reachesEdit ? 1u : 0u);
        if (c.reachesEdit && !downs.empty())
            EXPECT_EQ(downs[0], VirtualKeyFromQt(c.key));
        EXPECT_TRUE(picker->DroppedDown());
    }
    // A digit: its key-down and its character both reach the edit.
    time->setCurrentSection(QDateTimeEdit::MinuteSection);
    downs.clear();
    testsupport::KeyClick(Qt::Key_4, Qt::NoModifier, QStringLiteral("4"));
    EXPECT_EQ(downs, std::vector<int>{'4'});
    EXPECT_EQ(chars, QStringLiteral("4"));
    // With Alt the arrows act on the popup from the picker.
    testsupport::KeyClick(Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(picker->DroppedDown());
}

// The time the picker's own Up set is taken when the popup closes by Enter;
// the paging keys step the picker and not the edit's part under the caret.
TEST_F(TimePickerRelayTest, ThePickersOwnKeysChangeItsTimeOnly)
{
    ASSERT_NE(time, nullptr);
    const QTime before = time->Time();
    testsupport::KeyClick(Qt::Key_Up);
    EXPECT_EQ(time->Time(), before.addSecs(3600));
    EXPECT_TRUE(downs.empty());
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_FALSE(picker->DroppedDown());
    EXPECT_EQ(picker->RawText(), before.addSecs(3600).toString(QStringLiteral("HH:mm:ss")));
}
