// The open track bar's arrow keys and the switch that lets the mouse drag the
// value over the edit, driven by real key and mouse events.
#include "controls/ExTrackBarDropDown.h"
#include "PanelMouse.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class TrackBarKeysTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        drop = new TExTrackBarDropDown(&form);
        drop->SetBounds(20, 20, 180, 21);
        drop->OnTrackChange = [this](QObject*) { ++moves; };
        form.Show();
        QApplication::processEvents();
        drop->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { delete drop; }

    TForm form;
    TExTrackBarDropDown* drop = nullptr;
    int moves = 0;
};

} // namespace

// Up and Down typed into the focused bar move the position once, by
// Frequency, the way the edit's own keys do: Up lowers, Down raises.
TEST_F(TrackBarKeysTest, UpAndDownInTheOpenBarStepOnceByFrequency)
{
    drop->SetFrequency(2);
    drop->SetPosition(4);
    testsupport::Click(drop->Button()->Button());
    ASSERT_TRUE(drop->DroppedDown());
    drop->TrackBar()->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(drop->TrackBar()->hasFocus());
    moves = 0;
    struct Step
    {
        const char* why;
        int key;
        int expected;
    };
    const Step steps[] = {
        {"Down raises by Frequency", Qt::Key_Down, 6},
        {"Up lowers by Frequency", Qt::Key_Up, 4},
        {"Up again", Qt::Key_Up, 2},
        {"Up to Min", Qt::Key_Up, 0},
        {"Up below Min changes nothing", Qt::Key_Up, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        testsupport::KeyClick(s.key);
        EXPECT_EQ(drop->Position(), s.expected);
        EXPECT_EQ(drop->TrackBar()->Position(), s.expected);
        EXPECT_EQ(drop->Text(), QString::number(s.expected));
        EXPECT_TRUE(drop->DroppedDown());
    }
    EXPECT_EQ(moves, 4) << "one move per key that moved";
    // The bar's own keys still move it by one.
    testsupport::KeyClick(Qt::Key_Right);
    EXPECT_EQ(drop->Position(), 1);
    // Alt+Up closes the popup without a step.
    testsupport::KeyClick(Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->Position(), 1);
}

// Dragging over the edit moves the value only with DropDownEnabled (on for
// a new track-bar drop-down); without it a press opens the popup.
TEST_F(TrackBarKeysTest, DropDownEnabledGatesDraggingOverTheEdit)
{
    EXPECT_TRUE(drop->DropDownEnabled());
    EXPECT_FALSE(TExCustomDropDown().DropDownEnabled()) << "off in the base";
    drop->SetPosition(4);
    mouse::mousePress(drop, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    mouse::mouseMove(drop, QPoint(56, 10));
    mouse::mouseRelease(drop, Qt::LeftButton, Qt::NoModifier, QPoint(56, 10));
    EXPECT_EQ(drop->Position(), 7);
    EXPECT_FALSE(drop->DroppedDown());

    drop->SetDropDownEnabled(false);
    mouse::mousePress(drop, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    EXPECT_TRUE(drop->DroppedDown()) << "the press opens the popup";
    mouse::mouseMove(drop, QPoint(58, 10));
    mouse::mouseRelease(drop, Qt::LeftButton, Qt::NoModifier, QPoint(58, 10));
    EXPECT_EQ(drop->Position(), 7);
    drop->HideDropDown(true);

    // Assign carries the flag.
    TExTrackBarDropDown copy(&form);
    copy.Assign(drop);
    EXPECT_FALSE(copy.DropDownEnabled());
}
