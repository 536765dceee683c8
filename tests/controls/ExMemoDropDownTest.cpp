// The memo drop-down driven by real keys: what the edit shows of the lines,
// typing in the edit, the memo's keys, cancel and automatic opening.
#include "controls/ExMemoDropDown.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class MemoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        other = new TEdit(&form);
        other->SetBounds(20, 100, 100, 21);
        drop = new TExMemoDropDown(&form);
        drop->SetBounds(20, 20, 150, 21);
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
        drop->Memo()->setFocus();
    }
    void TypeInMemo(const QString& text)
    {
        ASSERT_EQ(QApplication::focusWidget(), drop->Memo());
        testsupport::TypeKeys(text);
    }

    TForm form;
    TEdit* other = nullptr;
    TExMemoDropDown* drop = nullptr;
    std::vector<bool> dropUps;
};

} // namespace

TEST_F(MemoTest, EditShowsTheFirstLine)
{
    struct Case
    {
        const char* why;
        QStringList lines;
        QString shown;
    };
    const QString wide(60, QLatin1Char('W'));
    const Case cases[] = {
        {"one line that fits shows alone", {"alpha"}, "alpha"},
        {"more lines add an ellipsis", {"alpha", "beta"}, "alpha..."},
        {"no lines show nothing", {}, ""},
    };
    drop->SetEditorEnabled(false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        drop->SetMemoText(c.lines);
        EXPECT_EQ(drop->Text(), c.shown);
        EXPECT_EQ(drop->MemoText(), c.lines) << "showing does not change the lines";
    }
    drop->SetMemoText({wide, QStringLiteral("x")});
    const QString shown = drop->Text();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("...")));
    EXPECT_LT(shown.size(), wide.size());
    EXPECT_TRUE(wide.startsWith(shown.chopped(3)));
}

TEST_F(MemoTest, WithTypingTheEditHoldsAllLinesAndTypingReplacesThem)
{
    ASSERT_TRUE(drop->EditorEnabled());
    drop->SetMemoText({QStringLiteral("one"), QStringLiteral("two")});
    EXPECT_EQ(drop->Text(), QStringLiteral("one\r\ntwo"));
    drop->selectAll();
    testsupport::TypeKeys(QStringLiteral("new"));
    EXPECT_EQ(drop->MemoText(), QStringList{QStringLiteral("new")});
    // One key replacing the whole text replaces the lines too.
    drop->selectAll();
    testsupport::TypeKeys(QStringLiteral("x"));
    EXPECT_EQ(drop->MemoText(), QStringList{QStringLiteral("x")});
    drop->SetText(QStringLiteral("a\nb"));
    EXPECT_EQ(drop->MemoText(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST_F(MemoTest, EnterInTheMemoBreaksTheLineAndClosingKeepsTheEdits)
{
    drop->SetEditorEnabled(false);
    drop->SetMemoText({QStringLiteral("a")});
    int changes = 0;
    drop->OnMemoChange = [&](QObject* sender) {
        EXPECT_EQ(sender, drop);
        ++changes;
    };
    Open();
    EXPECT_EQ(drop->Memo()->Lines(), QStringList{QStringLiteral("a")});
    drop->Memo()->moveCursor(QTextCursor::End);
    testsupport::KeyClick(Qt::Key_Return);
    TypeInMemo(QStringLiteral("b"));
    EXPECT_TRUE(drop->DroppedDown()) << "Enter stays in the memo";
    EXPECT_GT(changes, 0);
    // F4 reaches the edit and closes, accepting.
    testsupport::KeyClick(Qt::Key_F4);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->MemoText(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_EQ(drop->Text(), QStringLiteral("a..."));
    EXPECT_EQ(dropUps, std::vector<bool>{false});
}

TEST_F(MemoTest, EscapeAndAltDownDiscardTheMemoEdits)
{
    drop->SetEditorEnabled(false);
    drop->SetMemoText({QStringLiteral("keep"), QStringLiteral("this")});
    for (auto [key, mods] : {std::pair{int(Qt::Key_Escape), Qt::KeyboardModifiers(Qt::NoModifier)},
                             std::pair{int(Qt::Key_Down), Qt::KeyboardModifiers(Qt::AltModifier)}}) {
        Open();
        drop->Memo()->selectAll();
        TypeInMemo(QStringLiteral("gone"));
        testsupport::KeyClick(key, mods);
        EXPECT_FALSE(drop->DroppedDown());
        EXPECT_EQ(drop->MemoText(), (QStringList{QStringLiteral("keep"), QStringLiteral("this")}));
        EXPECT_EQ(drop->Text(), QStringLiteral("keep..."));
    }
    EXPECT_EQ(dropUps, (std::vector<bool>{true, true}));
}

// The popup losing activation (a click elsewhere) closes it and keeps the
// memo's edits.
TEST_F(MemoTest, LosingActivationKeepsTheEdits)
{
    drop->SetEditorEnabled(false);
    drop->SetMemoText({QStringLiteral("x")});
    Open();
    drop->Memo()->selectAll();
    TypeInMemo(QStringLiteral("y"));
    drop->DropDownForm()->close(); // what the platform does on a click outside
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->MemoText(), QStringList{QStringLiteral("y")});
    EXPECT_EQ(dropUps, std::vector<bool>{false});
}

TEST_F(MemoTest, CtrlAInTheMemoSelectsAll)
{
    drop->SetMemoText({QStringLiteral("first"), QStringLiteral("second")});
    Open();
    testsupport::KeyClick(Qt::Key_A, Qt::ControlModifier, QStringLiteral("\x01"));
    EXPECT_EQ(drop->Memo()->textCursor().selectedText().size(), QStringLiteral("first second").size());
    EXPECT_TRUE(drop->DroppedDown());
}

TEST_F(MemoTest, AutoDropOpensOnFocusButNotWhenTheFocusComesBack)
{
    drop->SetAutoDrop(true);
    other->setFocus();
    QApplication::processEvents();
    drop->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    ASSERT_TRUE(drop->DroppedDown());
    drop->Memo()->setFocus();
    testsupport::KeyClick(Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_TRUE(drop->AutoDrop());
}

TEST_F(MemoTest, MemoSettingsAreGivenBeforeEachShowing)
{
    drop->SetMemoReadOnly(true);
    drop->SetMemoScrollBars(ssVertical);
    Open();
    EXPECT_TRUE(drop->Memo()->isReadOnly());
    EXPECT_EQ(drop->Memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    drop->SetMemoReadOnly(false);
    EXPECT_FALSE(drop->Memo()->isReadOnly()) << "set at once while open";
    EXPECT_EQ(drop->Memo()->height(), 100);
}
