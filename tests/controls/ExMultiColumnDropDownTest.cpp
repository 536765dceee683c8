// The multi-column drop-down driven by real keys, clicks and the wheel:
// type-ahead in the edit and in the open list (also over 10,000 items), the
// closed edit's item keys, choosing and cancelling, the column layout of the
// popup and the empty list. CONTROLS_SCREENSHOT_DIR=<dir> also saves the open
// popup, to be looked at.
#include "controls/ExMultiColumnDropDown.h"
#include "PanelMouse.h"
#include "support/TestSupport.h"

#include "platform/Forms.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <gtest/gtest.h>

#include <cmath>

using namespace platform;
using exmcdd::TDropDownColumn;
using exmcdd::TDropDownItem;
using exmcdd::TDropDownItems;
using exmcdd::TExColGrid;

namespace {

class MultiColumnTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form.SetBounds(100, 100, 420, 320);
        drop = new TExMultiColumnDropDown(&form);
        drop->SetBounds(20, 20, 200, 21);
        drop->DropDownHeader().SetVisible(false);
        drop->DropDownFooter().SetVisible(false);
        for (const auto& [header, width] : {std::pair{"Name", 100}, std::pair{"Code", 60}}) {
            TDropDownColumn* c = drop->Columns().Add();
            c->SetHeader(QString::fromLatin1(header));
            c->SetWidth(width);
        }
        drop->OnSelect = [this](QObject*) { selects.push_back(drop->ItemIndex()); };
        drop->OnDropUp = [this](QObject*, bool cancelled) { dropUps.push_back(cancelled); };
        form.Show();
        QApplication::processEvents();
        drop->setFocus();
        QApplication::processEvents();
    }
    void TearDown() override { delete drop; }

    void AddItems(const QStringList& names)
    {
        drop->BeginUpdate();
        for (const QString& n : names)
            drop->Items().Add()->SetText({n, n.left(2).toUpper()});
        drop->EndUpdate();
    }
    void Open()
    {
        testsupport::Click(drop->Button()->Button());
        ASSERT_TRUE(drop->DroppedDown());
        ASSERT_TRUE(drop->ColGrid()->hasFocus());
    }
    TExColGrid& Grid() { return *drop->ColGrid(); }
    // A click on the middle of a list cell, as the window system delivers it.
    void ClickCell(int col, int row)
    {
        const TRect r = Grid().CellRect(col, row);
        mouse::mouseClick(Grid().ClientSurface(), Qt::LeftButton, Qt::NoModifier,
                          QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
    }

    TForm form;
    TExMultiColumnDropDown* drop = nullptr;
    std::vector<int> selects;
    std::vector<bool> dropUps;
};

} // namespace

TEST_F(MultiColumnTest, TypingCompletesFromTheLookupColumn)
{
    struct Step
    {
        const char* why;
        bool matchCase;
        const char* typed;
        const char* text;
        const char* selected;
        int itemIndex;
    };
    const Step steps[] = {
        {"the key release puts in the item's own case, the completion selected", false, "a", "Apple", "pple", 0},
        {"the next letter replaces the selection and completes again", false, "p", "Apple", "ple", 0},
        {"with MatchCase only the same case completes", true, "ap", "apricot", "ricot", 2},
        // "a" and "p" became "Ap" on their key release
        {"no string starts with it: the text is what was typed", false, "apz", "Apz", "", 0},
    };
    AddItems({QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("apricot")});
    for (const Step& s : steps) {
        SCOPED_TRACE(s.why);
        if (QString::fromLatin1(s.typed).size() > 1)
            drop->SetRawText(QString());
        drop->SetMatchCase(s.matchCase);
        testsupport::TypeKeys(QString::fromLatin1(s.typed));
        EXPECT_EQ(drop->Text(), QString::fromLatin1(s.text));
        EXPECT_EQ(drop->selectedText(), QString::fromLatin1(s.selected));
        EXPECT_EQ(drop->ItemIndex(), s.itemIndex);
    }
}

TEST_F(MultiColumnTest, EnterTakesTheListsSpellingOfTheText)
{
    AddItems({QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("apricot")});
    drop->SetRawText(QStringLiteral("BANANA"));
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_EQ(drop->Text(), QStringLiteral("Banana"));
    EXPECT_EQ(drop->ItemIndex(), 1);
}

// A lookup string that is the start of an earlier one is not completed into
// the earlier one when its item is chosen.
TEST_F(MultiColumnTest, ChoosingAnItemKeepsItsOwnText)
{
    AddItems({QStringLiteral("Apple"), QStringLiteral("App")});
    drop->SetItemIndex(1);
    EXPECT_EQ(drop->Text(), QStringLiteral("App"));
    drop->SetRawText(QStringLiteral("app"));
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_EQ(drop->ItemIndex(), 1);
    EXPECT_EQ(drop->Text(), QStringLiteral("App"));
}

TEST_F(MultiColumnTest, ItemIndexWrites)
{
    AddItems({QStringLiteral("Apple"), QStringLiteral("Banana")});
    drop->Items().Add(); // an item without strings
    struct Case
    {
        const char* why;
        int value;
        int index;
        const char* text;
    };
    const Case cases[] = {
        {"an item shows its lookup string", 1, 1, "Banana"},
        {"at the count: ignored", 3, 1, "Banana"},
        {"an item without a lookup string shows no text", 2, 2, ""},
        {"any negative value means no item", -5, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        drop->SetItemIndex(c.value);
        EXPECT_EQ(drop->ItemIndex(), c.index);
        EXPECT_EQ(drop->Text(), QString::fromLatin1(c.text));
    }
    EXPECT_EQ(drop->GetItemIndex(QStringLiteral("Banana")), 1);
    EXPECT_EQ(drop->GetItemIndex(QStringLiteral("banana")), -1) << "case-sensitive";
}

// Modified means: the text is not the one the program put in last.
TEST_F(MultiColumnTest, ModifiedAgainstTheTextPutIn)
{
    AddItems({QStringLiteral("Apple"), QStringLiteral("Banana")});
    drop->SetItemIndex(1);
    EXPECT_FALSE(drop->GetModifiedState());
    testsupport::KeyClick(Qt::Key_End);
    testsupport::TypeKeys(QStringLiteral("x"));
    EXPECT_EQ(drop->Text(), QStringLiteral("Bananax"));
    EXPECT_TRUE(drop->GetModifiedState());
    drop->SetItemIndex(0);
    EXPECT_FALSE(drop->GetModifiedState());
}

TEST_F(MultiColumnTest, ComponentStyles)
{
    struct Case
    {
        TQRVStyle style;
        TColor headerTo, line, fixedLine, selection, selectionText;
        TSelectionColorStyle sel;
    };
    const Case cases[] = {
        {tsOffice2003Blue, 0x933803, 0x962D00, 0x962D00, 0xD7FFFD, clBlack, scOffice2007},
        {tsWindowsXP, clBtnFace, 0xC0C0C0, clBlack, clHighlight, clHighlightText, scCustom},
        {tsWindows7, 0xFDF3EB, 0xFBD6B8, 0xFBD6B8, 0xFCEBDC, clBlack, scWindows7},
        {tsOffice2010Blue, clNone, 0xEEDDCF, 0xEEDDCF, 0x6CD0FF, clBlack, scCustom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        drop->SetComponentStyle(c.style);
        EXPECT_EQ(drop->HeaderColorTo(), c.headerTo);
        EXPECT_EQ(drop->LineColor(), c.line);
        EXPECT_EQ(drop->FixedLineColor(), c.fixedLine);
        EXPECT_EQ(drop->SelectionColor(), c.selection);
        EXPECT_EQ(drop->SelectionTextColor(), c.selectionText);
        EXPECT_EQ(drop->SelectionColorStyle(), c.sel);
    }
    // A header without its end colour is filled flat.
    AddItems({QStringLiteral("Apple")});
    drop->ShowDropDown();
    const QImage shot = Grid().grab().toImage();
    EXPECT_EQ(shot.pixelColor(5, 3), shot.pixelColor(5, 20));
}

TEST_F(MultiColumnTest, ClosedEditKeysStepThroughTheItems)
{
    QStringList names;
    for (int i = 0; i < 8; ++i)
        names << QStringLiteral("Item %1").arg(i);
    AddItems(names);
    struct Case
    {
        const char* why;
        bool editorEnabled;
        int from;
        int key;
        int to;
    };
    const Case cases[] = {
        {"Page Down stops at the last item", true, 5, Qt::Key_PageDown, 7},
        {"Page Up stops at the first", true, 5, Qt::Key_PageUp, 0},
        {"Page Down without an item selects the first", true, -1, Qt::Key_PageDown, 0},
        {"Down without an item selects the first", true, -1, Qt::Key_Down, 0},
        {"Down on the last stays", true, 7, Qt::Key_Down, 7},
        {"Up on the first stays", true, 0, Qt::Key_Up, 0},
        {"Up", true, 4, Qt::Key_Up, 3},
        {"End moves the caret only while the text can be edited", true, 2, Qt::Key_End, 2},
        {"End selects the last item in a closed list", false, 2, Qt::Key_End, 7},
        {"Home selects the first item in a closed list", false, 2, Qt::Key_Home, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        drop->SetEditorEnabled(c.editorEnabled);
        drop->SetItemIndex(c.from);
        testsupport::KeyClick(c.key);
        EXPECT_EQ(drop->ItemIndex(), c.to);
        EXPECT_FALSE(drop->DroppedDown());
    }
    EXPECT_EQ(drop->Text(), QStringLiteral("Item 0"));
    testsupport::Wheel(drop, -120);
    testsupport::Wheel(drop, -120);
    EXPECT_EQ(drop->ItemIndex(), 2) << "the wheel over the closed edit steps too";
    testsupport::Wheel(drop, 120);
    EXPECT_EQ(drop->ItemIndex(), 1);
}

TEST_F(MultiColumnTest, TheEditCompletesFromTheListBuiltByEndUpdate)
{
    AddItems({QStringLiteral("Apple")});
    drop->Items().Add()->SetText({QStringLiteral("Cherry")});
    testsupport::TypeKeys(QStringLiteral("c"));
    EXPECT_EQ(drop->Text(), QStringLiteral("c")) << "the new item is not in the lookup list yet";
    drop->EndUpdate();
    drop->SetRawText(QString());
    testsupport::TypeKeys(QStringLiteral("c"));
    EXPECT_EQ(drop->Text(), QStringLiteral("Cherry"));
    EXPECT_EQ(drop->ItemIndex(), 1);
    drop->Items().Clear();
    drop->EndUpdate();
    drop->SetRawText(QString());
    testsupport::TypeKeys(QStringLiteral("a"));
    EXPECT_EQ(drop->Text(), QStringLiteral("a"));
}

TEST_F(MultiColumnTest, TenThousandItemsNarrowKeyByKey)
{
    QStringList names;
    for (int i = 0; i < 10000; ++i)
        names << QStringLiteral("Meter %1").arg(i, 5, 10, QLatin1Char('0'));
    AddItems(names);

    // In the edit: each key narrows to the first item that starts with the text.
    struct Step
    {
        QChar key;
        int itemIndex;
    };
    const QString typed = QStringLiteral("meter 0734");
    const int expected[] = {0, 0, 0, 0, 0, 0, 0, 7000, 7300, 7340};
    for (int i = 0; i < typed.size(); ++i) {
        SCOPED_TRACE(typed.left(i + 1).toStdString());
        testsupport::TypeKeys(QString(typed[i]));
        EXPECT_EQ(drop->ItemIndex(), expected[i]);
        EXPECT_EQ(drop->selectedText(), names[expected[i]].mid(i + 1));
    }
    EXPECT_EQ(drop->Text(), QStringLiteral("Meter 07340"));

    // In the open list: the entry narrows, the row comes into view and Enter
    // takes it into the edit.
    Open();
    EXPECT_EQ(Grid().RowCount(), 10001);
    EXPECT_EQ(Grid().Row(), 7341) << "the list opens on the item";
    testsupport::TypeKeys(QStringLiteral("meter 0981"));
    EXPECT_EQ(drop->LookupEntry(), QStringLiteral("meter 0981"));
    EXPECT_EQ(drop->ItemIndex(), 9810);
    EXPECT_EQ(Grid().Row(), 9811);
    EXPECT_GE(Grid().Row(), Grid().TopRow());
    EXPECT_LT(Grid().Row(), Grid().TopRow() + Grid().VisibleRowCount());
    EXPECT_FALSE(Grid().grab().isNull()); // every visible cell painted once
    testsupport::KeyClick(Qt::Key_Return);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 9810);
    EXPECT_EQ(drop->Text(), QStringLiteral("Meter 09810"));
    EXPECT_EQ(selects, std::vector<int>{9810});
    EXPECT_EQ(dropUps, std::vector<bool>{false});
}

TEST_F(MultiColumnTest, OpenListTypeAheadFindsAndForgets)
{
    AddItems({QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("apricot")});
    Open();
    struct Step
    {
        const char* key;
        const char* entry;
        int itemIndex;
        const char* text;
    };
    const Step steps[] = {
        {"b", "b", 1, "Banana"},
        {"a", "ba", 1, "Banana"},
        {"x", "", 1, "Banana"},  // nothing starts with BAX nor with X
        {"a", "a", 0, "Apple"},  // a new start
        {"p", "ap", 0, "Apple"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.key);
        testsupport::TypeKeys(QString::fromLatin1(s.key));
        EXPECT_EQ(drop->LookupEntry(), QString::fromLatin1(s.entry));
        EXPECT_EQ(drop->ItemIndex(), s.itemIndex);
        EXPECT_EQ(drop->Text(), QString::fromLatin1(s.text));
        EXPECT_EQ(Grid().Row(), s.itemIndex + 1);
        EXPECT_TRUE(drop->DroppedDown());
    }
    // Backspace takes away the completed part and starts the entry again.
    testsupport::KeyClick(Qt::Key_Backspace);
    EXPECT_EQ(drop->Text(), QStringLiteral("Ap"));
    EXPECT_EQ(drop->LookupEntry(), QString());
    EXPECT_TRUE(drop->DroppedDown());
    drop->SetCaseSensitive(true);
    testsupport::TypeKeys(QStringLiteral("xa"));
    EXPECT_EQ(drop->ItemIndex(), 2) << "a lower-case a starts only apricot";
}

TEST_F(MultiColumnTest, ListKeysMoveAndEscapeRestores)
{
    AddItems({QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("Cherry")});
    drop->SetItemIndex(0);
    Open();
    EXPECT_EQ(Grid().Row(), 1);
    testsupport::KeyClick(Qt::Key_Down);
    testsupport::KeyClick(Qt::Key_Down);
    EXPECT_EQ(drop->ItemIndex(), 2) << "the list's row is the item at once";
    EXPECT_EQ(drop->Text(), QStringLiteral("Cherry"));
    EXPECT_TRUE(drop->DroppedDown());
    testsupport::KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 0);
    EXPECT_EQ(drop->Text(), QStringLiteral("Apple"));
    EXPECT_EQ(dropUps, std::vector<bool>{true});
    EXPECT_TRUE(selects.empty());
}

TEST_F(MultiColumnTest, ClickOnARowChoosesItAndTheHeaderDoesNot)
{
    AddItems({QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("Cherry")});
    Open();
    ClickCell(1, 0);
    EXPECT_TRUE(drop->DroppedDown()) << "the header is not an item";
    EXPECT_EQ(drop->ItemIndex(), -1);
    ClickCell(1, 3);
    EXPECT_FALSE(drop->DroppedDown());
    EXPECT_EQ(drop->ItemIndex(), 2);
    EXPECT_EQ(drop->Text(), QStringLiteral("Cherry"));
    EXPECT_EQ(selects, std::vector<int>{2});
    EXPECT_EQ(dropUps, std::vector<bool>{false});
}

TEST_F(MultiColumnTest, WheelMovesTheRowWithoutChoosingIt)
{
    AddItems({QStringLiteral("Apple"), QStringLiteral("Banana"), QStringLiteral("Cherry")});
    drop->SetItemIndex(0);
    Open();
    testsupport::Wheel(Grid().ClientSurface(), -120);
    EXPECT_EQ(Grid().Row(), 2);
    EXPECT_FALSE(Grid().ConfirmSelection());
    EXPECT_EQ(drop->ItemIndex(), 0);
    drop->HideDropDown(false);
    EXPECT_EQ(drop->ItemIndex(), 0) << "a row reached by the wheel is not taken";
    EXPECT_EQ(drop->Text(), QStringLiteral("Apple"));
}

TEST_F(MultiColumnTest, EmptyList)
{
    struct Case
    {
        const char* why;
        int columns;
    };
    const Case cases[] = {{"columns but no items", 2}, {"neither columns nor items", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        while (drop->Columns().Count() > c.columns)
            drop->Columns().Delete(0);
        drop->EndUpdate();
        drop->SetRawText(QStringLiteral("kept"));
        Open();
        EXPECT_EQ(Grid().RowCount(), 1);
        EXPECT_FALSE(Grid().grab().isNull());
        ClickCell(0, 0);
        testsupport::TypeKeys(QStringLiteral("k"));
        testsupport::KeyClick(Qt::Key_Down);
        testsupport::KeyClick(Qt::Key_PageDown);
        EXPECT_EQ(drop->ItemIndex(), -1);
        EXPECT_EQ(drop->Text(), QStringLiteral("kept"));
        testsupport::KeyClick(Qt::Key_Return);
        drop->HideDropDown(false);
        EXPECT_EQ(drop->Text(), QStringLiteral("kept"));
        testsupport::TypeKeys(QStringLiteral("x"));
        testsupport::KeyClick(Qt::Key_Down);
        EXPECT_EQ(drop->ItemIndex(), -1);
    }
}

TEST_F(MultiColumnTest, PopupHeightHoldsWholeRows)
{
    struct Case
    {
        const char* why;
        int rowHeight;
        int height;
        int expected;
    };
    const Case cases[] = {
        {"200 pixels: header, seven rows of 22 and the frame", 22, 200, 25 + 7 * 22 + 2},
        {"a zero row height counts as 1", 0, 200, 200},
        {"a negative one too", -5, 100, 100},
        {"less than the header: no row", 22, 20, 25 + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        drop->SetDropDownRowHeight(c.rowHeight);
        EXPECT_GE(drop->DropDownRowHeight(), 1);
        int h = c.height;
        drop->AdaptDropDownHeight(h);
        EXPECT_EQ(h, c.expected);
    }
}

TEST_F(MultiColumnTest, ColumnLayout)
{
    QStringList names;
    for (int i = 0; i < 3; ++i)
        names << QStringLiteral("Item %1").arg(i);
    AddItems(names);
    const int bar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    struct Case
    {
        const char* why;
        bool autoWidth;
        bool stretch;
        int rowHeight;
        std::vector<int> widths; // expected list column widths
        int popupWidth;
    };
    const Case cases[] = {
        {"as wide as the columns", true, false, 22, {100, 60}, 100 + 60 + 2},
        {"rows beyond the height add the scroll bar", true, false, 80, {100, 60}, 100 + 60 + bar + 2},
        // f = 162 / 161: 100.62 rounds to 101, 60.37 to 60, the rest stays below 1.
        {"columns stretched to the popup", true, true, 22, {101, 60}, 162},
        {"without automatic width the popup keeps the edit's width", false, true, 22, {124, 75}, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        drop->SetDropDownAutoWidth(c.autoWidth);
        drop->SetColumnSizeWithDropDown(c.stretch);
        drop->SetDropDownRowHeight(c.rowHeight);
        drop->ShowDropDown();
        ASSERT_TRUE(drop->DroppedDown());
        EXPECT_EQ(drop->DropDownForm()->width(), c.popupWidth);
        for (size_t i = 0; i < c.widths.size(); ++i)
            EXPECT_EQ(Grid().ColWidths(static_cast<int>(i)), c.widths[i]) << "column " << i;
        drop->HideDropDown(true);
        drop->SetDropDownWidth(0);
        // Sizes the user gave the popup are not kept from one case to the next.
        delete drop;
        SetUp();
        AddItems(names);
    }
}

// Widths that sum to -1 made the stretch divide by zero.
TEST_F(MultiColumnTest, NegativeColumnWidthsStretchToNothing)
{
    AddItems({QStringLiteral("Apple")});
    drop->Columns().Items(0)->SetWidth(-3);
    drop->Columns().Items(1)->SetWidth(2);
    drop->ShowDropDown();
    ASSERT_TRUE(drop->DroppedDown());
    // The negative width counts as 0: the second column takes two thirds.
    EXPECT_EQ(Grid().ColWidths(0), 0);
    EXPECT_EQ(Grid().ColWidths(1), static_cast<int>(std::nearbyint(drop->DropDownForm()->width() * 2 / 3.0)));
}

TEST_F(MultiColumnTest, AutoSizeColumnTakesTheWidestText)
{
    AddItems({QStringLiteral("A"), QStringLiteral("A much longer name")});
    drop->Columns().Items(0)->SetAutoSize(true);
    drop->SetColumnSizeWithDropDown(false);
    drop->ShowDropDown();
    const QFontMetrics fm(drop->Columns().Items(0)->Font().ToQFont());
    const int expected =
        fm.boundingRect(QRect(0, 0, 1000, 500), Qt::TextSingleLine, QStringLiteral("A much longer name")).width() + 6;
    EXPECT_EQ(Grid().ColWidths(0), expected);
    EXPECT_EQ(Grid().Columns().Items(0)->Width(), expected);
    drop->HideDropDown(true);
    drop->Items().Clear();
    drop->ShowDropDown();
    EXPECT_EQ(Grid().ColWidths(0), 0) << "no rows, no width";
}

TEST(MultiColumnModel, ItemsAndColumns)
{
    TDropDownItems items;
    items.Add()->SetText({QStringLiteral("x")});
    items.Add()->SetText({QStringLiteral("a"), QStringLiteral("b")});
    items.Add()->SetText({QStringLiteral("c"), QStringLiteral("b")});
    EXPECT_EQ(items.IndexInColumn(1, QStringLiteral("b")), 1) << "the short first item is skipped";
    EXPECT_EQ(items.IndexInColumn(1, QStringLiteral("B")), -1);
    EXPECT_EQ(items.IndexInColumn(-1, QStringLiteral("x")), -1);

    // A copy of an item keeps its strings: without them it would show an empty row.
    items.Items(1)->SetImageIndex(3);
    TDropDownItems copy;
    copy.Assign(items);
    EXPECT_EQ(copy.Items(1)->ImageIndex(), 3);
    EXPECT_EQ(copy.Items(1)->Text(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

    TDropDownColumn column;
    column.SetWordwrap(true);
    column.SetWidth(33);
    column.SetAutoSize(true);
    column.SetHeader(QStringLiteral("H"));
    column.SetAlignment(TAlignment::taCenter);
    column.SetColor(0x123456);
    column.SetColumnType(exmcdd::ctImage);
    column.Font().SetSize(17);
    column.SetEllipsis(true);
    TDropDownColumn other;
    other.Assign(column);
    EXPECT_TRUE(other.Wordwrap() && other.AutoSize() && other.Ellipsis());
    EXPECT_EQ(other.Width(), 33);
    EXPECT_EQ(other.Header(), QStringLiteral("H"));
    EXPECT_EQ(other.Alignment(), TAlignment::taCenter);
    EXPECT_EQ(other.Color(), TColor(0x123456));
    EXPECT_EQ(other.ColumnType(), exmcdd::ctImage);
    EXPECT_EQ(other.Font().Size(), 17);
}

TEST_F(MultiColumnTest, Screenshot)
{
    const QString out = qEnvironmentVariable("CONTROLS_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "CONTROLS_SCREENSHOT_DIR not set";
    drop->SetLabelCaption(QStringLiteral("Meter:"));
    drop->SetLabelPosition(lpLeftCenter);
    drop->SetBounds(70, 20, 200, 21);
    drop->Columns().Items(0)->SetHeader(QStringLiteral("Meter"));
    drop->Columns().Items(1)->SetHeader(QStringLiteral("Medium"));
    TDropDownColumn* address = drop->Columns().Add();
    address->SetHeader(QStringLiteral("Address"));
    address->SetWidth(60);
    address->SetAlignment(TAlignment::taRightJustify);
    drop->BeginUpdate();
    const char* rows[][3] = {{"Basement water", "Water", "1"},  {"Flat 1 heat", "Heat", "12"},
                             {"Flat 2 heat", "Heat", "13"},     {"Gas main", "Gas", "20"},
                             {"Roof electricity", "Electricity", "31"}, {"Garage water", "Water", "2"},
                             {"Flat 3 heat", "Heat", "14"},     {"Shop electricity", "Electricity", "32"},
                             {"Office heat", "Heat", "15"}};
    for (const auto& r : rows)
        drop->Items().Add()->SetText(
            {QString::fromLatin1(r[0]), QString::fromLatin1(r[1]), QString::fromLatin1(r[2])});
    drop->EndUpdate();
    drop->SetItemIndex(2);
    drop->ShowDropDown();
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    ASSERT_TRUE(drop->DroppedDown());
    QDir().mkpath(out);
    TDropDownForm* popup = drop->DropDownForm();
    const QRect all = form.frameGeometry().united(popup->geometry());
    QPixmap shot(all.size());
    shot.fill(Qt::darkGray);
    QPainter p(&shot);
    p.drawPixmap(form.geometry().topLeft() - all.topLeft(), form.grab());
    p.drawPixmap(popup->geometry().topLeft() - all.topLeft(), popup->grab());
    p.end();
    EXPECT_TRUE(shot.save(QDir(out).filePath(QStringLiteral("multicolumn_open.png"))));
    drop->HideDropDown(true);
}
