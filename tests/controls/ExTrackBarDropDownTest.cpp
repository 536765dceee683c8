// The track-bar drop-down driven by real keys and mouse: the popup, the arrow
// keys, dragging over the edit, cancel, and failing handlers.
#include "controls/ExTrackBarDropDown.h"
#include "PanelMouse.h"
#include "support/TestSupport.h"

#include "platform/Dialogs.h"
#include "platform/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform;

namespace {

class TrackBarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        drop = new TExTrackBarDropDown(&form);
        drop->SetBounds(20, 20, 180, 21);
        drop->OnDropUp = [this](QObject*, bool cancelled) { dropUps.push_back(cancelled); };
        form.Show();
        QApplication::processEvents();
        drop->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { delete drop; }

    void Open()
    {
        testsupport::Click(drop->Button()->Button());
        ASSERT_TRUE(drop->DroppedDown());
    }

    TForm form;
    TExTrackBarDropDown* drop = nullptr;
    std::vector<bool> dropUps;
};

} // namespace

TEST_F(TrackBarTest, NewDropDownShowsOnlyTheTrackBarAsWideAsTheEdit)
{
    EXPECT_FALSE(drop->EditorEnabled());
    EXPECT_EQ(drop->EditType(), etNumeric);
    EXPECT_EQ(drop->TrackBar(), nullptr);
    Open();
    TDropDownForm* popup = drop->DropDownForm();
    ASSERT_NE(drop->TrackBar(), nullptr);
    EXPECT_FALSE(popup->Header() && popup->Header()->isVisible());
    EXPECT_FALSE(popup->Footer() && popup->Footer()->isVisible());
    // As wide as the edit; the track bar fills the popup (which keeps the
    // popup's smallest height of 50).
    EXPECT_EQ(popup->width(), 180);
    EXPECT_EQ(popup->height(), 50);
    EXPECT_EQ(drop->TrackBar()->geometry(), QRect(1, 1, 178, 48));
    // Typing is off.
    testsupport::TypeKeys(QStringLiteral("7"));
    EXPECT_EQ(drop->Position(), 0);
}

TEST_F(TrackBarTest, PositionIsClampedOnlyWhenTheTrackBarExists)
{
    drop->SetPosition(15);
    EXPECT_EQ(drop->Position(), 15);
    Open();
    EXPECT_EQ(drop->Position(), 10);
    EXPECT_EQ(drop->Text(), QStringLiteral("10"));
    EXPECT_EQ(drop->TrackBar()->Position(), 10);
}

TEST_F(TrackBarTest, MovingTheBarRewritesTheTextAndEnterKeepsIt)
{
    int moves = 0;
    drop->OnTrackChange = [&](QObject*) { ++moves; };
    Open();
    drop->TrackBar()->setFocus();
    testsupport::KeyClick(Qt::Key_Right);
    testsupport::KeyClick(Qt::Key_Right);
    EXPECT_EQ(drop->Position(), 2);
    EXPECT_EQ(drop->Text(), QStringLiteral("2"));
    EXPECT_EQ(moves, 2);
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->Text(), QStringLiteral("2"));
    EXPECT_EQ(dropUps, std::vector<bool>{false});
}

TEST_F(TrackBarTest, EscapeBringsBackThePositionTheBarOpenedWith)
{
    drop->SetText(QStringLiteral("3"));
    ASSERT_EQ(drop->Position(), 3);
    Open();
    drop->TrackBar()->SetPosition(8);
    ASSERT_EQ(drop->Text(), QStringLiteral("8"));
    testsupport::KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->Text(), QStringLiteral("3"));
    EXPECT_EQ(drop->Position(), 3);
    EXPECT_EQ(dropUps, std::vector<bool>{true});
}

// The position the bar opened with comes back, also when it was reached by
// the bar or the keys rather than by writing the text.
TEST_F(TrackBarTest, EscapeBringsBackAPositionNotWrittenAsText)
{
    drop->SetPosition(3);
    Open();
    ASSERT_EQ(drop->Text(), QStringLiteral("3"));
    drop->HideDropDown(false);
    testsupport::KeyClick(Qt::Key_Down);
    ASSERT_EQ(drop->Position(), 4);
    Open();
    drop->TrackBar()->SetPosition(9);
    testsupport::KeyClick(Qt::Key_Escape);
    EXPECT_EQ(drop->Position(), 4);
    EXPECT_EQ(drop->Text(), QStringLiteral("4"));
    EXPECT_EQ(drop->TrackBar()->Position(), 4);
}

TEST_F(TrackBarTest, ArrowKeysStepByFrequencyWithinTheRange)
{
    Open();
    drop->HideDropDown(false);
    struct Step
    {
        const char* why;
        int key;
        Qt::KeyboardModifiers mods;
        int expected;
    };
    const Step steps[] = {
        {"Up at Min changes nothing", Qt::Key_Up, Qt::NoModifier, 0},
        {"Down adds Frequency", Qt::Key_Down, Qt::NoModifier, 1},
        {"Up subtracts it", Qt::Key_Up, Qt::NoModifier, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        testsupport::KeyClick(s.key, s.mods);
        EXPECT_EQ(drop->Position(), s.expected);
    }
    drop->SetPosition(10);
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(drop->Position(), 10) << "Down at Max changes nothing";
    drop->SetFrequency(3);
    testsupport::KeyClick(Qt::Key_Up);
    EXPECT_EQ(drop->Position(), 7);
    EXPECT_EQ(drop->Text(), QStringLiteral("7"));
    // Alt with the arrows opens and closes the popup, without a step.
    testsupport::KeyClick(Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(drop->DroppedDown());
    EXPECT_EQ(drop->Position(), 7);
}

TEST_F(TrackBarTest, DraggingOverTheEditStepsByPageSize)
{
    Open();
    drop->HideDropDown(false);
    QApplication::processEvents();
    drop->SetPosition(4);
    mouse::mousePress(drop, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    mouse::mouseMove(drop, QPoint(55, 10)); // 5 pixels: 5 div 2
    EXPECT_EQ(drop->Position(), 6);
    mouse::mouseMove(drop, QPoint(56, 10)); // 1 pixel: nothing, and not carried over
    mouse::mouseMove(drop, QPoint(57, 10));
    EXPECT_EQ(drop->Position(), 6);
    mouse::mouseMove(drop, QPoint(51, 10)); // -6 div 2
    EXPECT_EQ(drop->Position(), 3);
    mouse::mouseRelease(drop, Qt::LeftButton, Qt::NoModifier, QPoint(51, 10));
    EXPECT_FALSE(drop->DroppedDown()) << "a drag is not a click";
    mouse::mouseMove(drop, QPoint(80, 10));
    EXPECT_EQ(drop->Position(), 3) << "no drag after the release";
    // A click without a move opens the popup.
    mouse::mouseClick(drop, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    EXPECT_TRUE(drop->DroppedDown());
}

// Dragging divides by the page size: 0 and negative values are taken as 1.
TEST_F(TrackBarTest, PageSizeBelowOneIsTakenAsOne)
{
    for (int size : {0, -3}) {
        drop->SetPageSize(size);
        EXPECT_EQ(drop->PageSize(), 1);
    }
    drop->SetMax(100);
    mouse::mousePress(drop, Qt::LeftButton, Qt::NoModifier, QPoint(50, 10));
    mouse::mouseMove(drop, QPoint(53, 10));
    mouse::mouseRelease(drop, Qt::LeftButton, Qt::NoModifier, QPoint(53, 10));
    EXPECT_EQ(drop->Position(), 3);
}

TEST_F(TrackBarTest, TextThatIsNotAnIntegerRaisesTheConversionError)
{
    DialogScript script;
    drop->SetText(QStringLiteral("4"));
    EXPECT_EQ(drop->Position(), 4);
    drop->SetRawText(QStringLiteral("abc"));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, QStringLiteral("'abc' is not a valid integer value"));
    EXPECT_EQ(drop->Position(), 4);
}

// A failing OnTrackChange refuses the move: the bar, the position and the
// text keep the old value, and the error goes to the error box instead of
// through the platform's event dispatch.
TEST_F(TrackBarTest, FailingTrackChangeHandlerKeepsTheOldValue)
{
    DialogScript script;
    Open();
    drop->TrackBar()->setFocus();
    testsupport::KeyClick(Qt::Key_Right);
    ASSERT_EQ(drop->Position(), 1);
    drop->OnTrackChange = [](QObject*) { throw std::runtime_error("no"); };
    testsupport::KeyClick(Qt::Key_Right);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, QStringLiteral("no"));
    EXPECT_EQ(drop->Position(), 1);
    EXPECT_EQ(drop->TrackBar()->Position(), 1);
    EXPECT_EQ(drop->Text(), QStringLiteral("1"));
}

// The same for a failing OnChange: the text goes back to the position.
TEST_F(TrackBarTest, FailingChangeHandlerKeepsTheOldValue)
{
    DialogScript script;
    Open();
    drop->SetPosition(2);
    drop->OnChange = [](QObject*) { throw std::runtime_error("no change"); };
    drop->TrackBar()->SetPosition(6);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(drop->Position(), 2);
    EXPECT_EQ(drop->TrackBar()->Position(), 2);
    EXPECT_EQ(drop->Text(), QStringLiteral("2"));
}
