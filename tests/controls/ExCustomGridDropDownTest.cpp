// The grid drop-down driven by real keys, clicks and wheel turns: lookup and
// narrowing while typing over 10,000 items, choosing in the open grid,
// cancelling, the popup's size in whole rows, the column fitting, and the
// auto-completion of the edit. CONTROLS_SCREENSHOT_DIR=<dir> saves the open
// popup, to be looked at.
#include "controls/ExCustomGridDropDown.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

using namespace platform;
using GridDropDown::TExColGrid;
using testsupport::KeyClick;
using testsupport::TypeKeys;

namespace {

const char* const kFruit[] = {"Apple", "Banana", "Cherry", "Date", "Elder", "Fig", "Grape", "Kiwi", "Lemon", "Mango"};

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

// Item i: code "C<i>" and name "<fruit> <i, five digits>".
void AddItems(TCustomExGridDropDown& d, int n)
{
    d.Items().Reserve(n);
    for (int i = 0; i < n; ++i)
        d.Items().Add()->SetText({QStringLiteral("C%1").arg(i),
                                  QStringLiteral("%1 %2").arg(QLatin1String(kFruit[i % 10])).arg(i, 5, 10, QChar(u'0'))});
}

class GridDropDownTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 400, 300);
        drop = new TCustomExGridDropDown(&form);
        drop->SetBounds(20, 20, 200, 21);
        for (const char* header : {"Code", "Name"})
            drop->Columns().Add()->SetHeader(QLatin1String(header));
        drop->SetLookupColumn(1);
        drop->SetAutoSizeColumns(false);
        drop->OnSelect = [this](QObject*) { selects.push_back(drop->ItemIndex()); };
        form.Show();
        Settle();
        drop->setFocus();
        Settle();
    }
    void TearDown() override { delete drop; }

    TExColGrid& Grid() { return *drop->InnerGrid(); }
    void Open()
    {
        testsupport::Click(drop->Button()->Button());
        Settle();
        ASSERT_TRUE(drop->DroppedDown());
        ASSERT_TRUE(Grid().hasFocus());
    }
    QPoint CellCentre(int col, int row)
    {
        const TRect r = Grid().CellRect(col, row);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }

    TForm form;
    TCustomExGridDropDown* drop = nullptr;
    std::vector<int> selects;
};

} // namespace

TEST_F(GridDropDownTest, FindLookupMatchTakesTheFirstItemStartingWithTheText)
{
    for (const char* t : {"Xab", "abc", "ABD"})
        drop->Items().Add()->SetText({QString(), QLatin1String(t)});
    struct Case
    {
        const char* why;
        bool caseSensitive;
        const char* text;
        bool found;
        const char* foundText;
        int row;
    };
    const Case cases[] = {
        {"ab starts abc and ABD; abc comes first", false, "ab", true, "abc", 1},
        {"case-sensitive: only abc", true, "ab", true, "abc", 1},
        {"case-insensitive: the text as stored", false, "abd", true, "ABD", 2},
        {"a text in the middle does not count", false, "b", false, "", -1},
        {"an empty text matches nothing", false, "", false, "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        drop->SetCaseSensitive(c.caseSensitive);
        QString found;
        int row = 0;
        EXPECT_EQ(drop->FindLookupMatch(QLatin1String(c.text), found, row), c.found);
        EXPECT_EQ(found, QLatin1String(c.foundText));
        EXPECT_EQ(row, c.row);
    }
    // Without items the grid's own rows count, the header row included.
    drop->SetUseItems(false);
    Grid().SetRowCount(3);
    Grid().SetColCount(2);
    Grid().SetCells(1, 1, QStringLiteral("one"));
    Grid().SetCells(1, 2, QStringLiteral("two"));
    QString found;
    int row = 0;
    EXPECT_TRUE(drop->FindLookupMatch(QStringLiteral("TW"), found, row));
    EXPECT_EQ(row, 2);
}

TEST_F(GridDropDownTest, ItemIndexWritesTheLookupText)
{
    drop->Items().Add()->SetText({QStringLiteral("C0"), QStringLiteral("Apple")});
    drop->Items().Add()->SetText({QStringLiteral("C1")});
    drop->SetItemIndex(0);
    EXPECT_EQ(drop->Text(), QStringLiteral("Apple"));
    drop->SetItemIndex(2); // beyond the items: ignored
    EXPECT_EQ(drop->ItemIndex(), 0);
    EXPECT_EQ(drop->Text(), QStringLiteral("Apple"));
    drop->SetItemIndex(1); // fewer texts than the lookup column
    EXPECT_EQ(drop->Text(), QString());
    drop->SetItemIndex(0);
    drop->SetItemIndex(-1);
    EXPECT_EQ(drop->Text(), QString());
}

TEST_F(GridDropDownTest, PopupHeightHoldsWholeRows)
{
    drop->DropDownHeader().SetVisible(false);
    drop->DropDownFooter().SetVisible(false);
    struct Case
    {
        const char* why;
        int rowHeight, asked, height;
    };
    const Case cases[] = {
        {"(200 - 27) div 22 = 7 rows", 22, 200, 185},
        {"a row height of 0 counts as 1 (no division by zero)", 0, 200, 204},
        {"a negative row height counts as 1", -5, 100, 104},
        {"less than the header: no rows", 22, 10, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        drop->SetDropDownRowHeight(c.rowHeight);
        EXPECT_GE(drop->DropDownRowHeight(), 1);
        int h = c.asked;
        drop->AdaptDropDownHeight(h);
        EXPECT_EQ(h, c.height);
    }
}

TEST_F(GridDropDownTest, ColumnsAreScaledToThePopupWidthWithACarry)
{
    drop->Columns().Add()->SetHeader(QStringLiteral("Third"));
    AddItems(*drop, 3);
    drop->SetDropDownAutoWidth(false);
    drop->SetDropDownWidth(202);
    Open();
    ASSERT_EQ(drop->DropDownForm()->width(), 202);
    // 200 inside the popup's border; 80 x 200 / 241 = 66.39...: the carry
    // passes 1 at the third column.
    EXPECT_EQ(Grid().ColWidths(0), 66);
    EXPECT_EQ(Grid().ColWidths(1), 66);
    EXPECT_EQ(Grid().ColWidths(2), 67);
    EXPECT_LE(Grid().ColWidths(0) + Grid().ColWidths(1) + Grid().ColWidths(2), Grid().ClientWidth());
    drop->HideDropDown(true);
}

TEST_F(GridDropDownTest, EmptyListsAndColumnsOpenAndSizeWithoutHarm)
{
    drop->Columns().Clear();
    drop->SetAutoSizeColumns(true);
    drop->SetDropDownRowHeight(0);
    Open();
    EXPECT_EQ(Grid().RowCount(), 1);
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), -1);

    // An auto-sized column over no items is 0 wide; rows of wrapped empty
    // texts keep their 24 pixels.
    drop->Columns().Add()->SetAutoSize(true);
    drop->Columns().Items(0)->SetWordwrap(true);
    drop->Items().Add()->SetText({QString()});
    Open();
    EXPECT_EQ(Grid().Columns().Items(0)->Width(), 0);
    EXPECT_EQ(Grid().RowHeights(1), 24);
    drop->HideDropDown(true);
}

TEST_F(GridDropDownTest, TypingLooksUpTheFirstMatchAmong10000Items)
{
    AddItems(*drop, 10000);
    drop->EndUpdate();
    struct Step
    {
        const char* why;
        const char* typed;
        const char* text;
        int itemIndex;
    };
    const Step steps[] = {
        {"ch: the first cherry", "ch", "Cherry 00002", 2},
        {"more of the name goes to a later item", "erry 0999", "Cherry 09992", 9992},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        TypeKeys(QLatin1String(s.typed));
        EXPECT_EQ(drop->Text(), QLatin1String(s.text));
        EXPECT_EQ(drop->ItemIndex(), s.itemIndex);
    }
    // The open grid stands on that item; Down and Enter take the next one.
    Open();
    EXPECT_EQ(drop->ItemOfRow(Grid().Row()), 9992);
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 9993);
    EXPECT_EQ(drop->Text(), QStringLiteral("Date 09993"));
    EXPECT_EQ(selects, std::vector<int>{9993});
}

TEST_F(GridDropDownTest, TypingInTheOpenGridNarrowsItsRowsDown)
{
    AddItems(*drop, 10000);
    drop->SetLookupMethod(lmNarrowDown);
    Open();
    ASSERT_EQ(Grid().RowCount(), 10001);
    TypeKeys(QStringLiteral("kiwi 000"));
    // Kiwi 00007, 00017 ... 00097: ten rows contain the text.
    EXPECT_EQ(Grid().RowCount(), 11);
    EXPECT_EQ(drop->Text(), QStringLiteral("Kiwi 00007"));
    KeyClick(Qt::Key_Down); // the grid's own row, not the edit's
    EXPECT_EQ(drop->Text(), QStringLiteral("Kiwi 00017"));
    KeyClick(Qt::Key_Return);
    Settle();
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 17);
    EXPECT_EQ(drop->Text(), QStringLiteral("Kiwi 00017"));

    // Enter ended the entry: the next opening shows every row. Typing
    // narrows again; Backspace back to nothing and a blank bring all back.
    Open();
    EXPECT_EQ(Grid().RowCount(), 10001);
    TypeKeys(QStringLiteral("fig 001"));
    EXPECT_EQ(Grid().RowCount(), 11) << "Fig 00105 .. Fig 00195";
    // The first Backspace takes the selected completion from the edit.
    for (int i = 0; i < 8; ++i)
        KeyClick(Qt::Key_Backspace);
    EXPECT_EQ(drop->LookupEntry(), QString());
    KeyClick(Qt::Key_Space);
    EXPECT_EQ(Grid().RowCount(), 10001);
    drop->HideDropDown(true);
}

TEST_F(GridDropDownTest, EscapeRestoresTheItemHeldWhenThePopupOpened)
{
    AddItems(*drop, 30);
    drop->SetItemIndex(5);
    Open();
    KeyClick(Qt::Key_Return); // Enter at once keeps item 5
    Settle();
    EXPECT_EQ(drop->ItemIndex(), 5);
    Open();
    for (int i = 0; i < 3; ++i)
        KeyClick(Qt::Key_Down);
    EXPECT_EQ(drop->ItemIndex(), 8) << "the edit follows the grid";
    KeyClick(Qt::Key_Escape);
    Settle();
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 5);
    EXPECT_EQ(drop->Text(), QStringLiteral("Fig 00005"));
}

TEST_F(GridDropDownTest, WheelMovesOnlyTheGridAndAltDownConfirms)
{
    AddItems(*drop, 30);
    drop->SetItemIndex(2);
    Open();
    testsupport::Wheel(Grid().ClientSurface(), -120);
    EXPECT_GT(Grid().Row(), 3) << "the grid's row moved";
    EXPECT_EQ(drop->ItemIndex(), 2);
    drop->HideDropDown(false); // a close by clicking elsewhere
    EXPECT_EQ(drop->ItemIndex(), 2);
    EXPECT_EQ(drop->Text(), QStringLiteral("Cherry 00002"));

    Open();
    KeyClick(Qt::Key_Down);
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    Settle();
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 3);
}

TEST_F(GridDropDownTest, ClickOnADataRowChoosesIt)
{
    AddItems(*drop, 30);
    Open();
    const QPoint header = CellCentre(1, 0);
    testsupport::Click(Grid().ClientSurface(), header);
    Settle();
    EXPECT_TRUE(drop->DroppedDown()) << "the header row chooses nothing";
    testsupport::Click(Grid().ClientSurface(), CellCentre(1, 3));
    Settle();
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 2);
    EXPECT_EQ(drop->Text(), QStringLiteral("Cherry 00002"));
    EXPECT_EQ(selects, std::vector<int>{2});
}

TEST_F(GridDropDownTest, ChangeCompletesFromTheLookupList)
{
    drop->Items().Add()->SetText({QString(), QStringLiteral("Apple")});
    drop->Items().Add()->SetText({QString(), QStringLiteral("Apricot")});
    drop->EndUpdate();
    TypeKeys(QStringLiteral("apr"));
    // After the key release the item's text as listed, completion selected.
    EXPECT_EQ(drop->Text(), QStringLiteral("Apricot"));
    EXPECT_EQ(drop->selectedText(), QStringLiteral("icot"));
    EXPECT_EQ(drop->ItemIndex(), 1);

    drop->SetLookupColumn(-1);
    drop->EndUpdate();
    EXPECT_EQ(drop->LookupItems().size(), 2) << "a negative lookup column leaves the list";
}

TEST_F(GridDropDownTest, DropDownListRestartsTheEntryWithTheLastLetter)
{
    for (const char* t : {"alpha", "beta", "quebec"})
        drop->Items().Add()->SetText({QString(), QLatin1String(t)});
    drop->SetStyle(dsDropDownList);
    TypeKeys(QStringLiteral("b"));
    EXPECT_EQ(drop->Text(), QStringLiteral("beta"));
    TypeKeys(QStringLiteral("q")); // no row starts with bq
    EXPECT_EQ(drop->Text(), QStringLiteral("quebec"));
    EXPECT_EQ(drop->ItemIndex(), 2);
    EXPECT_EQ(drop->LookupEntry(), QStringLiteral("q"));
}

TEST_F(GridDropDownTest, CopiedItemsKeepTheirTexts)
{
    AddItems(*drop, 3);
    TCustomExGridDropDown other;
    other.SetItems(drop->Items());
    ASSERT_EQ(other.Items().Count(), 3);
    EXPECT_EQ(other.Items().Items(2)->Text(), drop->Items().Items(2)->Text());
}

TEST_F(GridDropDownTest, ScreenshotOfTheOpenPopup)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    AddItems(*drop, 200);
    drop->Columns().Items(1)->SetAutoSize(true);
    drop->SetAutoSizeColumns(true);
    drop->SetLookupMethod(lmNarrowDown);
    drop->SetSorting(gsSingleColumn);
    Open();
    TypeKeys(QStringLiteral("an"));
    Settle();
    QDir().mkpath(out);
    TDropDownForm* popup = drop->DropDownForm();
    const QRect all = form.frameGeometry().united(popup->geometry());
    QPixmap shot(all.size());
    shot.fill(Qt::darkGray);
    QPainter p(&shot);
    p.drawPixmap(form.geometry().topLeft() - all.topLeft(), form.grab());
    p.drawPixmap(popup->geometry().topLeft() - all.topLeft(), popup->grab());
    p.end();
    EXPECT_TRUE(shot.save(QDir(out).filePath(QStringLiteral("grid-dropdown.png"))));
    drop->HideDropDown(true);
}
