// The popup cycle driven by key and mouse events: open, close, cancel with
// the old text back, keys relayed from the popup to the edit.
#include "controls/ExDropDown.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <thread>

using namespace platform;

namespace {

class PopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        drop = new TExCustomDropDown(&form);
        drop->SetBounds(20, 20, 200, 21);
        hosted = new QWidget();
        hosted->resize(150, 100);
        drop->SetControl(hosted);
        drop->OnDropUp = [this](QObject*, bool cancelled) { dropUps.push_back(cancelled); };
        form.Show();
        QApplication::processEvents();
        drop->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { delete drop; }

    void Open() { testsupport::Click(drop->Button()->Button()); }
    TDropDownForm* Popup() const { return drop->DropDownForm(); }

    TForm form;
    TExCustomDropDown* drop = nullptr;
    QWidget* hosted = nullptr;
    std::vector<bool> dropUps;
};

} // namespace

TEST_F(PopupTest, ButtonOpensBelowTheEditWithHeaderAndFooter)
{
    Open();
    ASSERT_TRUE(drop->DroppedDown());
    ASSERT_TRUE(Popup()->isVisible());
    const QPoint anchor = drop->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(Popup()->x(), anchor.x());
    EXPECT_EQ(Popup()->y(), anchor.y() + drop->height() - 1);
    // Height: border 2 x 1, header 22, footer 22, hosted control 100.
    EXPECT_EQ(Popup()->height(), 2 + 22 + 22 + 100);
    EXPECT_EQ(Popup()->width(), 150);
    ASSERT_NE(Popup()->Header(), nullptr);
    ASSERT_NE(Popup()->Footer(), nullptr);
    EXPECT_TRUE(Popup()->Header()->isVisible());
    EXPECT_TRUE(Popup()->Footer()->isVisible());
    EXPECT_EQ(hosted->geometry(), QRect(1, 23, 148, 100));
}

TEST_F(PopupTest, EscapeInThePopupRestoresTheTextLastWritten)
{
    drop->SetText(QStringLiteral("old"));
    Open();
    ASSERT_TRUE(drop->DroppedDown());
    drop->SetRawText(QStringLiteral("new"));
    testsupport::KeyClick(Qt::Key_Escape); // the popup has the focus; the key is relayed
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_FALSE(Popup()->isVisible());
    EXPECT_EQ(drop->Text(), QStringLiteral("old"));
    EXPECT_EQ(dropUps, std::vector<bool>{true});
}

TEST_F(PopupTest, TypingInThePopupReachesTheEditAndEnterKeepsIt)
{
    drop->SetText(QStringLiteral("ab"));
    Open();
    ASSERT_TRUE(drop->DroppedDown());
    drop->setCursorPosition(2);
    testsupport::TypeKeys(QStringLiteral("cd"));
    EXPECT_EQ(drop->Text(), QStringLiteral("abcd"));
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->Text(), QStringLiteral("abcd"));
    EXPECT_EQ(dropUps, std::vector<bool>{false});
}

TEST_F(PopupTest, F4AndAltArrowsToggleThePopup)
{
    testsupport::KeyClick(Qt::Key_F4);
    EXPECT_TRUE(drop->DroppedDown());
    testsupport::KeyClick(Qt::Key_F4);
    EXPECT_FALSE(drop->DroppedDown());
    testsupport::KeyClick(Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(drop->DroppedDown());
    testsupport::KeyClick(Qt::Key_Up, Qt::AltModifier);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(dropUps, (std::vector<bool>{false, false}));
}

TEST_F(PopupTest, ReadOnlyOrRefusedDropDoesNotOpen)
{
    drop->SetReadOnly(true);
    Open();
    EXPECT_FALSE(drop->DroppedDown());
    drop->SetReadOnly(false);
    int asked = 0;
    drop->OnDropDown = [&](QObject*, bool& accept) {
        ++asked;
        accept = false;
    };
    Open();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_FALSE(Popup()->isVisible());
}

TEST_F(PopupTest, FooterButtonsCloseByTheirModalResult)
{
    TFooterButton* ok = drop->DropDownFooter().Buttons().Add();
    ok->SetCaption(QStringLiteral("OK"));
    ok->SetModalResult(mrOk);
    TFooterButton* cancel = drop->DropDownFooter().Buttons().Add();
    cancel->SetCaption(QStringLiteral("Cancel"));
    cancel->SetModalResult(mrCancel);
    std::vector<int> clicks;
    drop->OnDropDownFooterButtonClick = [&](QObject* sender, int index) {
        EXPECT_EQ(sender, drop);
        EXPECT_FALSE(drop->DroppedDown()); // closed before the event
        clicks.push_back(index);
    };
    drop->SetText(QStringLiteral("kept"));

    Open();
    ASSERT_EQ(Popup()->Footer()->ButtonList().Count(), 2);
    drop->SetRawText(QStringLiteral("changed"));
    testsupport::Click(Popup()->Footer()->ButtonList().GetItemsEx(1));
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->Text(), QStringLiteral("kept"));

    Open();
    drop->SetRawText(QStringLiteral("taken"));
    testsupport::Click(Popup()->Footer()->ButtonList().GetItemsEx(0));
    EXPECT_EQ(drop->Text(), QStringLiteral("taken"));
    EXPECT_EQ(clicks, (std::vector<int>{1, 0}));
    EXPECT_EQ(dropUps, (std::vector<bool>{true, false}));
}

TEST_F(PopupTest, ClickOutsideCancelsAndTheButtonDoesNotReopenAtOnce)
{
    drop->SetText(QStringLiteral("before"));
    Open();
    drop->SetRawText(QStringLiteral("after"));
    // A press outside a popup is delivered to the popup, which closes.
    const QPoint outside(-30, -30);
    QMouseEvent press(QEvent::MouseButtonPress, outside, Popup()->mapToGlobal(outside), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Popup(), &press);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->Text(), QStringLiteral("before"));
    EXPECT_EQ(dropUps, std::vector<bool>{true});
    // The same click lands on the button: within 250 ms it opens nothing.
    Open();
    EXPECT_FALSE(drop->DroppedDown());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Open();
    EXPECT_TRUE(drop->DroppedDown());
}

TEST_F(PopupTest, UserSizeIsKeptUntilTheSizeIsSetAgain)
{
    Open();
    Popup()->resize(300, 200);
    testsupport::KeyClick(Qt::Key_Return);
    Open();
    EXPECT_EQ(Popup()->size(), QSize(300, 200));
    testsupport::KeyClick(Qt::Key_Return);
    drop->SetDropDownWidth(180);
    drop->SetDropDownHeight(90);
    Open();
    EXPECT_EQ(Popup()->size(), QSize(180, 90));
}

TEST_F(PopupTest, NonEditableEditOpensOnAPress)
{
    drop->SetEditorEnabled(false);
    drop->SetText(QStringLiteral("x"));
    testsupport::Click(drop);
    EXPECT_TRUE(drop->DroppedDown());
    testsupport::TypeKeys(QStringLiteral("abc")); // typing is off
    EXPECT_EQ(drop->Text(), QStringLiteral("x"));
    testsupport::KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(drop->DroppedDown());
}
