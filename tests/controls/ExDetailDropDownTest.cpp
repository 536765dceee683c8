// The detail drop-down driven by real keys, wheel and clicks: auto-completion
// in the edit, the list's navigation and type-ahead, choosing and cancelling.
#include "controls/ExDetailDropDown.h"
#include "PanelMouse.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QThread>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class DetailTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        drop = new TExDetailDropDown(&form);
        drop->SetBounds(20, 20, 200, 21);
        for (const char* caption : {"Apple", "Apricot", "Banana"}) {
            TDetailItem* item = drop->Items().Add();
            item->SetCaption(QString::fromLatin1(caption));
            item->SetNotes(QStringLiteral("<i>fruit</i>"));
        }
        drop->OnSelect = [this](QObject*) { selects.push_back(drop->ItemIndex()); };
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
    // A key where the window system delivers it while the list is open: to
    // the focused list.
    void ListKey(int qtKey, const QString& text = QString())
    {
        ASSERT_TRUE(drop->ItemSelector()->hasFocus());
        testsupport::KeyClick(qtKey, Qt::NoModifier, text);
    }

    TForm form;
    TExDetailDropDown* drop = nullptr;
    std::vector<int> selects;
    std::vector<bool> dropUps;
};

} // namespace

TEST_F(DetailTest, TypingCompletesFromTheFirstMatchingCaption)
{
    struct Step
    {
        const char* why;
        const char* typed;
        const char* text;
        const char* selected;
        int itemIndex;
    };
    const Step steps[] = {
        {"the typed letters keep their case, the rest comes from the caption", "ap", "apple", "ple", 0},
        {"no caption begins with APZ: the text is cut back to what was typed", "z", "apz", "", 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        testsupport::TypeKeys(QString::fromLatin1(s.typed));
        EXPECT_EQ(drop->Text(), QString::fromLatin1(s.text));
        EXPECT_EQ(drop->selectedText(), QString::fromLatin1(s.selected));
        EXPECT_EQ(drop->ItemIndex(), s.itemIndex);
    }
    EXPECT_EQ(drop->cursorPosition(), 3);
    EXPECT_TRUE(selects.empty()) << "completion raises no OnSelect";
}

TEST_F(DetailTest, BackspaceRemovesTheCompletionWithoutCompletingAgain)
{
    testsupport::TypeKeys(QStringLiteral("apr"));
    EXPECT_EQ(drop->Text(), QStringLiteral("apricot"));
    EXPECT_EQ(drop->ItemIndex(), 1);
    testsupport::KeyClick(Qt::Key_Backspace);
    EXPECT_EQ(drop->Text(), QStringLiteral("apr"));
    testsupport::KeyClick(Qt::Key_Backspace);
    EXPECT_EQ(drop->Text(), QStringLiteral("ap"));
    // The next letter completes again.
    testsupport::TypeKeys(QStringLiteral("p"));
    EXPECT_EQ(drop->Text(), QStringLiteral("apple"));
}

// A chosen item's caption is wholly selected; the first key typed over it
// completes as well.
TEST_F(DetailTest, TypingOverTheChosenCaptionCompletes)
{
    drop->SetItemIndex(0);
    ASSERT_EQ(drop->selectedText(), QStringLiteral("Apple"));
    testsupport::TypeKeys(QStringLiteral("b"));
    EXPECT_EQ(drop->Text(), QStringLiteral("banana"));
    EXPECT_EQ(drop->ItemIndex(), 2);
}

TEST_F(DetailTest, MatchCaseCompletesOnlyTheSameCase)
{
    drop->SetMatchCase(true);
    testsupport::TypeKeys(QStringLiteral("a"));
    EXPECT_EQ(drop->Text(), QStringLiteral("a"));
    drop->SetRawText(QString());
    testsupport::TypeKeys(QStringLiteral("B"));
    EXPECT_EQ(drop->Text(), QStringLiteral("Banana"));
}

TEST_F(DetailTest, EnterSelectsTheItemWhoseCaptionIsTheTextExactly)
{
    drop->SetItemIndex(0);
    selects.clear();
    drop->SetRawText(QStringLiteral("Banana"));
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_EQ(drop->ItemIndex(), 2);
    EXPECT_EQ(selects, std::vector<int>{2});
    drop->SetItemIndex(0);
    selects.clear();
    drop->SetRawText(QStringLiteral("banana")); // the lookup is case-sensitive
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_EQ(drop->ItemIndex(), 0);
    EXPECT_TRUE(selects.empty());
}

TEST_F(DetailTest, ItemIndexWrites)
{
    struct Case
    {
        const char* why;
        int value;
        int index;
        const char* text;
        std::vector<int> selects;
    };
    const Case cases[] = {
        {"an item sets its caption and raises OnSelect", 1, 1, "Apricot", {1}},
        {"the same index changes nothing", 1, 1, "Apricot", {}},
        {"count is out of range: nothing", 3, 1, "Apricot", {}},
        {"below -1: nothing", -2, 1, "Apricot", {}},
        {"-1 empties the text without OnSelect", -1, -1, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        selects.clear();
        drop->SetItemIndex(c.value);
        EXPECT_EQ(drop->ItemIndex(), c.index);
        EXPECT_EQ(drop->Text(), QString::fromLatin1(c.text));
        EXPECT_EQ(selects, c.selects);
    }
}

// With two items of the same caption, choosing the second keeps it: the
// caption set from an item is not completed again to the first.
TEST_F(DetailTest, EqualCaptionsKeepTheChosenItem)
{
    drop->Items().Items(1)->SetCaption(QStringLiteral("Apple"));
    drop->SetItemIndex(1);
    EXPECT_EQ(drop->ItemIndex(), 1);
    EXPECT_EQ(drop->Text(), QStringLiteral("Apple"));
}

TEST_F(DetailTest, ClosedArrowKeysAndWheelStepThroughTheItems)
{
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(drop->ItemIndex(), 0) << "Down with nothing selected selects item 0";
    testsupport::KeyClick(Qt::Key_Down);
    testsupport::KeyClick(Qt::Key_Down);
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(drop->ItemIndex(), 2) << "nothing past the last";
    testsupport::KeyClick(Qt::Key_Up);
    EXPECT_EQ(drop->ItemIndex(), 1);
    EXPECT_EQ(selects, (std::vector<int>{0, 1, 2, 1}));
    EXPECT_EQ(drop->Text(), QStringLiteral("Apricot"));
    EXPECT_EQ(drop->selectedText(), QStringLiteral("Apricot"));
}

TEST_F(DetailTest, OpenListArrowsMoveTheSelectionAndEnterAccepts)
{
    drop->SetItemIndex(0);
    Open();
    EXPECT_EQ(drop->ItemSelector()->ItemIndex(), 0);
    ListKey(Qt::Key_Down);
    ListKey(Qt::Key_Down);
    EXPECT_TRUE(drop->DroppedDown()) << "the arrows keep the list open";
    EXPECT_EQ(drop->ItemIndex(), 2);
    ListKey(Qt::Key_Down);
    EXPECT_EQ(drop->ItemIndex(), 2) << "Down on the last item changes nothing";
    EXPECT_EQ(drop->Text(), QStringLiteral("Banana"));
    ListKey(Qt::Key_Return);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 2);
    EXPECT_EQ(dropUps, std::vector<bool>{false});
}

TEST_F(DetailTest, EscapeAfterMovingRestoresTheItemShownAtOpening)
{
    drop->SetItemIndex(0);
    Open();
    ListKey(Qt::Key_Down);
    ASSERT_EQ(drop->ItemIndex(), 1);
    ListKey(Qt::Key_Escape);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 0);
    EXPECT_EQ(drop->Text(), QStringLiteral("Apple"));
    EXPECT_EQ(dropUps, std::vector<bool>{true});
}

TEST_F(DetailTest, ClickOnAnItemChoosesItAndCloses)
{
    Open();
    TCustomItemSelector* panel = drop->ItemSelector()->Panel();
    const TRect r = panel->GetItemRect(2);
    mouse::mouseClick(panel, Qt::LeftButton, Qt::NoModifier, QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 2);
    EXPECT_EQ(drop->Text(), QStringLiteral("Banana"));
    EXPECT_EQ(dropUps, std::vector<bool>{false});
}

TEST_F(DetailTest, TypeAheadInTheOpenListLastsOneBurst)
{
    Open();
    ListKey(Qt::Key_B, QStringLiteral("b"));
    EXPECT_EQ(drop->CurrentSearch(), QStringLiteral("B"));
    EXPECT_EQ(drop->ItemSelector()->ItemIndex(), 2);
    EXPECT_TRUE(drop->DroppedDown()) << "type-ahead keeps the list open";
    ListKey(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(drop->CurrentSearch(), QStringLiteral("BA"));
    // The burst ends 500 ms after its first key; a key does not prolong it.
    QThread::msleep(600);
    QApplication::processEvents();
    EXPECT_EQ(drop->CurrentSearch(), QString());
    ListKey(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(drop->CurrentSearch(), QStringLiteral("A"));
    EXPECT_EQ(drop->ItemSelector()->ItemIndex(), 0);
}

TEST_F(DetailTest, ItemsChangedWhileOpenReachTheListOnPageDown)
{
    Open();
    drop->Items().Add()->SetCaption(QStringLiteral("Cherry"));
    EXPECT_EQ(drop->ItemSelector()->Items().Count(), 3);
    ListKey(Qt::Key_PageDown);
    EXPECT_EQ(drop->ItemSelector()->Items().Count(), 4);
    EXPECT_EQ(drop->ItemIndex(), 3);
    EXPECT_TRUE(drop->DroppedDown());
}

TEST_F(DetailTest, PopupSizeAndItemSize)
{
    Open();
    TDropDownForm* popup = drop->DropDownForm();
    EXPECT_EQ(popup->width(), 200) << "as wide as the edit";
    EXPECT_EQ(drop->ItemSelector()->height(), 100);
    const TRect r = drop->ItemSelector()->Panel()->GetItemRect(0);
    EXPECT_EQ(r.Bottom - r.Top, 22);
}
