#include "platform/ComboBox.h"
#include "support/TestSupport.h"
#include "platform/Forms.h"
#include "platform/Grids.h"  // TObject

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

namespace {

using testsupport::KeyClick;
using testsupport::TypeKeys;
using testsupport::Wheel;

class Item : public TObject
{
};

// Records what reaches the combo's virtual steps; can drop or replace keys
// and claim dialog keys.
class RecordingCombo : public TCustomComboBox
{
public:
    using TCustomComboBox::TCustomComboBox;
    std::vector<QString> log;
    int dropKey = 0;
    int replaceKey = 0, replaceWith = 0;
    QChar dropChar;
    bool claimDialogKeys = false;
    bool claimTab = false;

protected:
    void KeyDown(int& key, TShiftState shift) override
    {
        log.push_back(QStringLiteral("down %1").arg(key));
        if (key == dropKey)
            key = 0;
        else if (key == replaceKey)
            key = replaceWith;
        TCustomComboBox::KeyDown(key, shift);
    }
    void KeyPress(QChar& key) override
    {
        log.push_back(QStringLiteral("char %1").arg(key));
        if (key == dropChar)
            key = QChar();
        TCustomComboBox::KeyPress(key);
    }
    void KeyUp(int& key, TShiftState shift) override
    {
        log.push_back(QStringLiteral("up %1").arg(key));
        TCustomComboBox::KeyUp(key, shift);
    }
    void DoEnter() override
    {
        log.push_back(QStringLiteral("enter"));
        TCustomComboBox::DoEnter();
    }
    void DoExit() override
    {
        log.push_back(QStringLiteral("exit"));
        TCustomComboBox::DoExit();
    }
    void WndProc(TMessage& m) override
    {
        if (m.Msg == WM_SETFOCUS)
            log.push_back(QStringLiteral("setfocus"));
        if (m.Msg == WM_KILLFOCUS)
            log.push_back(QStringLiteral("killfocus"));
        TCustomComboBox::WndProc(m);
        if (m.Msg == WM_GETDLGCODE) {
            if (claimDialogKeys && (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE))
                m.Result |= DLGC_WANTALLKEYS;
            if (claimTab && m.WParam == VK_TAB)
                m.Result |= DLGC_WANTTAB;
        }
    }
};

class DialogButton : public TCustomControl
{
public:
    DialogButton(QWidget* parent, bool isDefault, bool isCancel)
        : TCustomControl(parent), isDefault_(isDefault), isCancel_(isCancel)
    {
        resize(75, 25);
    }
    int clicks = 0;
    bool IsButtonControl() const override { return true; }
    bool DialogKey(int key, TShiftState) override
    {
        if ((key == VK_RETURN && isDefault_) || (key == VK_ESCAPE && isCancel_)) {
            ++clicks;
            return true;
        }
        return false;
    }

private:
    bool isDefault_, isCancel_;
};

struct ComboForm : TForm
{
    ComboForm()
    {
        combo = new RecordingCombo(this);
        combo->SetBounds(10, 10, 150, 0);
        other = new TEdit(this);
        other->SetBounds(10, 60, 100, 21);
        ok = new DialogButton(this, true, false);
        ok->SetBounds(10, 100, 75, 25);
        cancel = new DialogButton(this, false, true);
        cancel->SetBounds(100, 100, 75, 25);
        show();
        activateWindow();
        QApplication::processEvents();
        combo->SetFocus();
        QApplication::processEvents();
    }
    RecordingCombo* combo;
    TEdit* other;
    DialogButton* ok;
    DialogButton* cancel;
};

} // namespace

TEST(ComboBoxKeys, KeysPassKeyDownKeyPressAndKeyUpInOrderBeforeTheyEdit)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    ASSERT_TRUE(c.hasFocus());
    c.log.clear();
    TypeKeys(QStringLiteral("ab"));
    EXPECT_EQ(c.Text(), QStringLiteral("ab"));
    const std::vector<QString> expected{QStringLiteral("down 65"), QStringLiteral("char a"), QStringLiteral("up 65"),
                                        QStringLiteral("down 66"), QStringLiteral("char b"), QStringLiteral("up 66")};
    EXPECT_EQ(c.log, expected);

    // Caret keys edit through the same road.
    KeyClick(Qt::Key_Home);
    TypeKeys(QStringLiteral("x"));
    EXPECT_EQ(c.Text(), QStringLiteral("xab"));
    KeyClick(Qt::Key_End);
    KeyClick(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    EXPECT_EQ(c.Text(), QStringLiteral("xa"));
    KeyClick(Qt::Key_Home);
    KeyClick(Qt::Key_Delete);
    EXPECT_EQ(c.Text(), QStringLiteral("a"));
}

TEST(ComboBoxKeys, ADroppedKeyOrNullCharacterNeverReachesTheCombo)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.dropKey = 'B';        // key-down dropped: no character follows
    c.dropChar = QLatin1Char('c');
    TypeKeys(QStringLiteral("abcd"));
    EXPECT_EQ(c.Text(), QStringLiteral("ad"));

    // A key turned into another at key-down acts as that key.
    c.replaceKey = VK_HOME;
    c.replaceWith = VK_END;
    KeyClick(Qt::Key_Left);
    KeyClick(Qt::Key_Home);
    TypeKeys(QStringLiteral("x"));
    EXPECT_EQ(c.Text(), QStringLiteral("adx"));

    // Backspace is the character #8: dropping it keeps the text.
    c.dropChar = QChar(8);
    KeyClick(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    EXPECT_EQ(c.Text(), QStringLiteral("adx"));
}

TEST(ComboBoxKeys, EnterAndEscapeGoToTheFormUnlessTheComboClaimsThem)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    KeyClick(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    KeyClick(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_EQ(form.ok->clicks, 1);
    EXPECT_EQ(form.cancel->clicks, 1);
    EXPECT_FALSE(c.WantsKey(VK_RETURN));

    c.claimDialogKeys = true;
    c.log.clear();
    KeyClick(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    KeyClick(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_EQ(form.ok->clicks, 1);
    EXPECT_EQ(form.cancel->clicks, 1);
    ASSERT_GE(c.log.size(), 2u);
    EXPECT_EQ(c.log[0], QStringLiteral("down 13"));
    EXPECT_TRUE(std::find(c.log.begin(), c.log.end(), QStringLiteral("down 27")) != c.log.end());
}

TEST(ComboBoxKeys, TabMovesTheFocusUnlessClaimed)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.claimTab = true;
    c.log.clear();
    KeyClick(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    EXPECT_TRUE(c.hasFocus());
    EXPECT_EQ(c.log.front(), QStringLiteral("down 9"));
    EXPECT_EQ(c.Text(), QString());   // a claimed Tab types nothing

    c.claimTab = false;
    c.log.clear();
    KeyClick(Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    EXPECT_FALSE(c.hasFocus());
    EXPECT_TRUE(std::find(c.log.begin(), c.log.end(), QStringLiteral("down 9")) == c.log.end());
}

TEST(ComboBoxKeys, MaxLengthStopsTypingButKeepsATextSetByTheProgram)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.SetMaxLength(3);
    TypeKeys(QStringLiteral("abcd"));
    EXPECT_EQ(c.Text(), QStringLiteral("abc"));
    c.SetText(QStringLiteral("longer text"));
    EXPECT_EQ(c.Text(), QStringLiteral("longer text"));
    c.SetMaxLength(0);
    c.SetText(QString());
    TypeKeys(QStringLiteral("abcd"));
    EXPECT_EQ(c.Text(), QStringLiteral("abcd"));
}

TEST(ComboBoxKeys, PasteTakesTheFirstLineOnceWithinMaxLength)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted\nsecond line"));
    KeyClick(Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    EXPECT_EQ(c.Text(), QStringLiteral("pasted"));
    KeyClick(Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(c.Text(), QStringLiteral("pastedpasted"));
    c.SetText(QString());
    c.SetMaxLength(4);
    KeyClick(Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    EXPECT_EQ(c.Text(), QStringLiteral("past"));
}

TEST(ComboBoxItems, ItemsObjectsIndexAndText)
{
    TCustomComboBox c;
    Item one, two;
    EXPECT_EQ(c.ItemIndex(), -1);
    c.AddItem(QStringLiteral("Alpha"), &one);
    c.AddItem(QStringLiteral("Beta"), &two);
    c.AddItem(QStringLiteral("Gamma"));
    EXPECT_EQ(c.ItemIndex(), -1);  // adding chooses nothing
    EXPECT_EQ(c.ItemCount(), 3);
    EXPECT_EQ(c.ItemObject(0), &one);
    EXPECT_EQ(c.ItemObject(1), &two);
    EXPECT_EQ(c.ItemObject(2), nullptr);
    EXPECT_EQ(c.ItemObject(3), nullptr);
    EXPECT_EQ(c.IndexOf(QStringLiteral("beta")), 1);
    EXPECT_EQ(c.IndexOf(QStringLiteral("Delta")), -1);

    c.SetItemIndex(1);
    EXPECT_EQ(c.Text(), QStringLiteral("Beta"));
    c.SetItemIndex(7);
    EXPECT_EQ(c.ItemIndex(), -1);
    EXPECT_EQ(c.Text(), QString());

    // Editable: any text; the item with exactly that text is chosen.
    c.SetText(QStringLiteral("Gamma"));
    EXPECT_EQ(c.ItemIndex(), 2);
    c.SetText(QStringLiteral("free"));
    EXPECT_EQ(c.ItemIndex(), -1);
    EXPECT_EQ(c.Text(), QStringLiteral("free"));

    // List-only: the text chooses an item or none.
    c.SetStyle(csDropDownList);
    c.SetText(QStringLiteral("alpha"));
    EXPECT_EQ(c.ItemIndex(), 0);
    EXPECT_EQ(c.Text(), QStringLiteral("Alpha"));
    c.SetText(QStringLiteral("free"));
    EXPECT_EQ(c.ItemIndex(), -1);
    EXPECT_EQ(c.Text(), QString());

    // An item inserted before the chosen one keeps the choice.
    c.SetItemIndex(1);
    c.InsertItem(0, QStringLiteral("First"));
    EXPECT_EQ(c.ItemIndex(), 2);
    EXPECT_EQ(c.Text(), QStringLiteral("Beta"));
    c.DeleteItem(2);
    EXPECT_EQ(c.ItemIndex(), -1);
    c.Clear();
    EXPECT_EQ(c.ItemCount(), 0);
    EXPECT_EQ(c.ItemIndex(), -1);
}

TEST(ComboBoxItems, TheUsersChangesRaiseOnChangeTheProgramsDoNot)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    int changes = 0, selects = 0;
    c.OnChange = [&](QObject* sender) {
        EXPECT_EQ(sender, &c);
        ++changes;
    };
    c.AddItem(QStringLiteral("Alpha"));
    c.AddItem(QStringLiteral("Beta"));
    c.SetItemIndex(0);
    c.SetText(QStringLiteral("x"));
    EXPECT_EQ(changes, 0);

    TypeKeys(QStringLiteral("y"));
    EXPECT_EQ(changes, 1);

    // With the list closed, typing leaves no item chosen.
    c.SetItemIndex(0);
    KeyClick(Qt::Key_End);
    TypeKeys(QStringLiteral("z"));
    EXPECT_EQ(c.ItemIndex(), -1);
    EXPECT_EQ(c.Text(), QStringLiteral("Alphaz"));

    // Down in a closed list chooses the next item: OnSelect when set,
    // otherwise OnChange.
    c.SetStyle(csDropDownList);
    c.SetItemIndex(0);
    changes = 0;
    KeyClick(Qt::Key_Down);
    EXPECT_EQ(c.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
    c.OnSelect = [&](QObject*) { ++selects; };
    KeyClick(Qt::Key_Up);
    EXPECT_EQ(c.ItemIndex(), 0);
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(changes, 1);
}

TEST(ComboBoxEdit, SelectionAndCharacterUnderAPoint)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.SetText(QStringLiteral("hello world"));
    c.SetSel(2, 3);
    EXPECT_EQ(c.SelStart(), 2);
    EXPECT_EQ(c.SelLength(), 3);
    EXPECT_EQ(c.SelText(), QStringLiteral("llo"));
    c.SetSel(50, 4);   // cut to the text
    EXPECT_EQ(c.SelStart(), 11);
    EXPECT_EQ(c.SelLength(), 0);
    c.SelectAll();
    EXPECT_EQ(c.SelLength(), 11);

    const TRect edit = c.EditRect();
    ASSERT_GT(edit.Width(), 0);
    const int mid = (edit.Top + edit.Bottom) / 2;
    EXPECT_EQ(c.CharFromPos(Point(edit.Left, mid)), 0);
    EXPECT_EQ(c.CharFromPos(Point(edit.Right - 1, mid)), 11);
    const int inside = c.CharFromPos(Point(edit.Left + edit.Width() / 4, mid));
    EXPECT_GT(inside, 0);
    EXPECT_LT(inside, 11);
    EXPECT_EQ(c.CharFromPos(Point(edit.Left, edit.Bottom + 5)), -1);  // below the edit part

    // A list-only combo has no edit part.
    c.SetStyle(csDropDownList);
    EXPECT_EQ(c.CharFromPos(Point(edit.Left, mid)), -1);
    EXPECT_EQ(c.SelLength(), 0);
}

TEST(ComboBoxFocus, FocusMessagesComeBeforeEnterAndExitAndKeepTheSelection)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.SetText(QStringLiteral("abcdef"));
    c.SetSel(1, 2);
    c.log.clear();
    form.other->SetFocus();
    c.SetFocus();
    const std::vector<QString> expected{QStringLiteral("killfocus"), QStringLiteral("exit"), QStringLiteral("setfocus"),
                                        QStringLiteral("enter")};
    EXPECT_EQ(c.log, expected);
    EXPECT_EQ(c.SelStart(), 1);
    EXPECT_EQ(c.SelLength(), 2);
}

TEST(ComboBoxWheel, TheFocusedComboStepsThroughItsItemsAndStopsAtTheEnds)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.SetItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    int changes = 0;
    c.OnChange = [&](QObject*) { ++changes; };
    c.SetItemIndex(1);
    Wheel(c.ComboWidget(), -120);  // toward the user: next item
    EXPECT_EQ(c.ItemIndex(), 2);
    Wheel(c.ComboWidget(), -120);
    EXPECT_EQ(c.ItemIndex(), 2);
    EXPECT_EQ(changes, 1);
    Wheel(c.ComboWidget(), 120);
    Wheel(c.ComboWidget(), 120);
    Wheel(c.ComboWidget(), 120);
    EXPECT_EQ(c.ItemIndex(), 0);
    EXPECT_EQ(c.Text(), QStringLiteral("A"));

    // Without the focus the wheel is not the combo's.
    form.other->SetFocus();
    Wheel(c.ComboWidget(), -120);
    EXPECT_EQ(c.ItemIndex(), 0);
}

TEST(ComboBoxSize, HeightFollowsTheItemHeightAndTheListIsNeverNarrowerThanTheCombo)
{
    TCustomComboBox c;
    c.SetItemHeight(14);
    c.SetBounds(5, 6, 120, 200);  // the height asked for is the dropped list's
    EXPECT_EQ(c.Height(), 20);
    EXPECT_EQ(c.Width(), 120);
    EXPECT_EQ(c.ItemHeight(), 14);
    EXPECT_EQ(c.DroppedWidth(), 120);
    c.SetDroppedWidth(300);
    EXPECT_EQ(c.DroppedWidth(), 300);
    c.SetDroppedWidth(50);
    EXPECT_EQ(c.DroppedWidth(), 120);
    c.SetDropDownCount(12);
    EXPECT_EQ(c.DropDownCount(), 12);
}

TEST(ComboBoxList, DroppingAndClosingTheListRaiseTheirEvents)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.SetItems({QStringLiteral("A"), QStringLiteral("B")});
    int drops = 0, closes = 0;
    c.OnDropDown = [&](QObject*) { ++drops; };
    c.OnCloseUp = [&](QObject*) { ++closes; };
    c.SetDroppedDown(true);
    EXPECT_TRUE(c.DroppedDown());
    EXPECT_EQ(drops, 1);
    // An open list takes Enter and Escape from the form.
    EXPECT_TRUE(c.WantsKey(VK_ESCAPE));
    c.SetDroppedDown(false);
    EXPECT_FALSE(c.DroppedDown());
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(c.WantsKey(VK_ESCAPE));
}

TEST(ComboBoxList, KeysOfTheOpenListPassTheComboFirstAndNeverReachTheForm)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.SetItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    c.SetItemIndex(0);
    int changes = 0;
    c.OnChange = [&](QObject*) { ++changes; };
    c.SetDroppedDown(true);
    ASSERT_TRUE(c.DroppedDown());
    c.log.clear();
    KeyClick(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_FALSE(c.DroppedDown());
    EXPECT_EQ(form.cancel->clicks, 0);
    ASSERT_FALSE(c.log.empty());
    EXPECT_EQ(c.log.front(), QStringLiteral("down 27"));
    EXPECT_EQ(c.ItemIndex(), 0);
    EXPECT_TRUE(c.hasFocus());

    // Down in the open list chooses the next item at once; Enter closes the
    // list; the form's default button stays out of it.
    c.SetDroppedDown(true);
    KeyClick(Qt::Key_Down);
    EXPECT_TRUE(c.DroppedDown());
    EXPECT_EQ(c.ItemIndex(), 1);
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_FALSE(c.DroppedDown());
    EXPECT_EQ(form.ok->clicks, 0);
    EXPECT_EQ(c.ItemIndex(), 2);
    EXPECT_EQ(c.Text(), QStringLiteral("C"));
    EXPECT_EQ(changes, 2);

    // With nothing chosen Down takes the first item.
    c.SetItemIndex(-1);
    c.SetDroppedDown(true);
    KeyClick(Qt::Key_Down);
    EXPECT_EQ(c.ItemIndex(), 0);
    c.SetDroppedDown(false);

    // A key dropped at key-down never reaches the list.
    c.dropKey = VK_ESCAPE;
    c.SetDroppedDown(true);
    KeyClick(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_TRUE(c.DroppedDown());
    c.SetDroppedDown(false);
}


TEST(ComboBoxList, AnItemClickedInTheListIsChosenWhenTheListClosesUp)
{
    ComboForm form;
    RecordingCombo& c = *form.combo;
    c.SetItems({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    c.SetItemIndex(0);
    std::vector<QString> seen;
    c.OnCloseUp = [&](QObject*) { seen.push_back(QStringLiteral("closed %1 %2").arg(c.ItemIndex()).arg(c.Text())); };
    c.OnChange = [&](QObject*) { seen.push_back(QStringLiteral("change %1").arg(c.Text())); };
    QAbstractItemView* view = c.ComboWidget()->view();
    auto itemPoint = [&](int i) { return view->visualRect(c.ComboWidget()->model()->index(i, 0)).center(); };

    // Pointing at an item and leaving with Escape chooses nothing.
    c.SetDroppedDown(true);
    const QPoint at = itemPoint(2);
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &move);
    KeyClick(Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    EXPECT_FALSE(c.DroppedDown());
    EXPECT_EQ(c.ItemIndex(), 0);
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("closed 0 A")}));

    seen.clear();
    c.SetDroppedDown(true);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < QApplication::doubleClickInterval() + 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    testsupport::Click(view->viewport(), itemPoint(1));
    EXPECT_FALSE(c.DroppedDown());
    EXPECT_EQ(c.ItemIndex(), 1);
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("closed 1 B"), QStringLiteral("change B")}));
}
