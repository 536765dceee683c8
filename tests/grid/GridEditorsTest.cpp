// The grid's own editor controls driven with real keys on a shown grid: the
// combo editor's keys, validation, lookup completion, wheel and history, and
// the check-box and push-button editors.
#include "grid/ExGrid.h"
#include "grid/ExGrid_Editors.h"

#include "platform/Controls.h"
#include "platform/Forms.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;

namespace {

void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

using testsupport::KeyClick;
using testsupport::TypeKeys;
using testsupport::Wheel;

// The form's default button: it counts the Enter keys the form gives it.
class DefaultButton : public TCustomControl
{
public:
    using TCustomControl::TCustomControl;
    int presses = 0;
    bool IsButtonControl() const override { return true; }
    bool DialogKey(int key, TShiftState) override
    {
        if (key != VK_RETURN && key != VK_ESCAPE)
            return false;
        ++presses;
        return true;
    }
};

struct EditorGrid : ::testing::Test
{
    std::unique_ptr<TForm> form;
    TExStringGrid* grid = nullptr;
    TEdit* other = nullptr;
    DefaultButton* okButton = nullptr;
    TEditorType kind = edComboEdit;
    std::vector<QString> events;

    void SetUp() override
    {
        form = std::make_unique<TForm>();
        form->resize(640, 460);
        grid = new TExStringGrid(form.get());
        grid->setGeometry(10, 10, 560, 360);
        grid->SetColCount(5);
        grid->SetRowCount(6);
        grid->SetOptions(grid->Options() | goEditing);
        other = new TEdit(form.get());
        other->SetBounds(10, 400, 100, 21);
        okButton = new DefaultButton(form.get());
        okButton->SetBounds(200, 400, 75, 25);
        grid->OnGetEditorType = [this](QObject*, int c, int, TEditorType& e) {
            if (c == 2)
                e = kind;
        };
        grid->OnComboChange = [this](QObject* sender, int c, int r, int index, const QString& text) {
            EXPECT_EQ(sender, grid);
            events.push_back(QStringLiteral("combo %1,%2 %3 %4").arg(c).arg(r).arg(index).arg(text));
        };
        grid->OnEditChange = [this](QObject*, int c, int r, const QString& text) {
            events.push_back(QStringLiteral("edit %1,%2 %3").arg(c).arg(r).arg(text));
        };
        form->show();
        QApplication::setActiveWindow(form.get());
        grid->setFocus(Qt::OtherFocusReason);
        Settle();
    }

    void TearDown() override
    {
        grid->OnGetEditorType = nullptr;
        grid->OnComboChange = nullptr;
        grid->OnComboObjectChange = nullptr;
        grid->OnEditChange = nullptr;
        grid->OnCellValidate = nullptr;
        grid->OnKeyPress = nullptr;
        grid->OnEllipsClick = nullptr;
        grid->Combobox()->OnReturnKey = nullptr;
        form.reset();
        Settle();
    }

    TGridCombo* Combo() { return grid->Combobox(); }

    // Opens the editor of a cell with F2.
    void Edit(int col, int row)
    {
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus(Qt::OtherFocusReason);
        KeyClick(Qt::Key_F2);
        Settle();
    }

    void Items(std::initializer_list<const char*> items)
    {
        grid->ClearComboString();
        for (const char* item : items)
            grid->AddComboString(QString::fromLatin1(item));
    }

    bool ComboUp() { return Combo()->isVisible() && Combo()->hasFocus(); }
};

} // namespace

// ---------------------------------------------------------------------------
// Combo editor
// ---------------------------------------------------------------------------

TEST_F(EditorGrid, ComboEscapeShowsTheCellsTextAgainAndClosesWithoutChangingTheCell)
{
    kind = edComboList;
    Items({"red", "green", "blue"});
    grid->SetCells(2, 1, QStringLiteral("green"));
    Edit(2, 1);
    ASSERT_TRUE(ComboUp());
    EXPECT_EQ(Combo()->Text(), QStringLiteral("green"));
    TypeKeys(QStringLiteral("b"));  // the list's own search chooses blue
    EXPECT_EQ(Combo()->Text(), QStringLiteral("blue"));
    EXPECT_TRUE(std::find(events.begin(), events.end(), QStringLiteral("combo 2,1 2 blue")) != events.end());
    KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_EQ(Combo()->Text(), QStringLiteral("green"));
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("green"));
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(okButton->presses, 0);  // the form's cancel handling never saw it

    // An editable combo alike.
    kind = edComboEdit;
    grid->SetCells(2, 2, QStringLiteral("before"));
    Edit(2, 2);
    ASSERT_TRUE(ComboUp());
    TypeKeys(QStringLiteral("zz"));
    KeyClick(Qt::Key_Escape);
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("before"));
}

TEST_F(EditorGrid, ComboEnterCommitsAndIsNotTheFormsDefaultButton)
{
    int returns = 0;
    Combo()->OnReturnKey = [&](QObject* sender) {
        EXPECT_EQ(sender, Combo());
        ++returns;
    };
    Edit(2, 3);
    ASSERT_TRUE(ComboUp());
    TypeKeys(QStringLiteral("abc"));
    KeyClick(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(2, 3), QStringLiteral("abc"));
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_EQ(okButton->presses, 0);
    Settle();  // the Enter character comes queued behind the key
    EXPECT_EQ(returns, 1);
    // OnEditChange reports each typed change with the display column.
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[0], QStringLiteral("edit 2,3 a"));
    EXPECT_EQ(events[2], QStringLiteral("edit 2,3 abc"));
}

TEST_F(EditorGrid, ARefusedValidationKeepsTheComboOpenWithTheReplacementSelected)
{
    grid->Navigation().SetAdvanceOnEnter(true);
    grid->OnCellValidate = [](QObject*, int, int, QString& value, bool& valid) {
        if (value == QStringLiteral("bad")) {
            value = QStringLiteral("fixed");
            valid = false;
        }
    };
    Edit(2, 2);
    TypeKeys(QStringLiteral("bad"));
    KeyClick(Qt::Key_Return);
    ASSERT_TRUE(ComboUp());
    EXPECT_EQ(Combo()->Text(), QStringLiteral("fixed"));
    EXPECT_EQ(Combo()->SelStart(), 0);
    EXPECT_EQ(Combo()->SelLength(), 5);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 2);

    // Accepted: the cell takes it and the grid advances.
    TypeKeys(QStringLiteral("good"));
    KeyClick(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("good"));
    EXPECT_FALSE(grid->Col() == 2 && grid->Row() == 2);
}

TEST_F(EditorGrid, UpAndDownLeaveTheComboAndMoveOneRowWithoutTouchingTheNewRow)
{
    for (bool comboGetsUpDown : {true, false}) {
        grid->Navigation().SetComboGetUpDown(comboGetsUpDown);
        grid->SetCells(2, 3, QStringLiteral("keep"));
        Edit(2, 2);
        TypeKeys(QStringLiteral("typed"));
        KeyClick(Qt::Key_Down);
        EXPECT_EQ(grid->Row(), 3) << comboGetsUpDown;
        EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("typed")) << comboGetsUpDown;
        EXPECT_EQ(grid->Cells(2, 3), QStringLiteral("keep")) << comboGetsUpDown;
        EXPECT_FALSE(Combo()->isVisible()) << comboGetsUpDown;
        grid->SetCells(2, 2, QString());
    }
}

TEST_F(EditorGrid, AltDownOpensTheListAndKeepsTheEditor)
{
    Items({"A", "B"});
    grid->Navigation().SetComboGetUpDown(false);
    Edit(2, 2);
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(Combo()->DroppedDown());
    EXPECT_TRUE(Combo()->isVisible());
    EXPECT_EQ(grid->Row(), 2);
    // Down now moves in the open list and takes the item; Enter commits it.
    KeyClick(Qt::Key_Down);
    EXPECT_TRUE(Combo()->DroppedDown());
    EXPECT_EQ(Combo()->Text(), QStringLiteral("A"));
    KeyClick(Qt::Key_Down);
    EXPECT_EQ(Combo()->Text(), QStringLiteral("B"));
    KeyClick(Qt::Key_Return);
    EXPECT_FALSE(Combo()->DroppedDown());
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("B"));
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(EditorGrid, CompletionDoesNotRunIntoTheNextCellsEditor)
{
    // Enter advances and opens the next cell's combo; the Enter key-up that
    // follows must leave that cell's text alone.
    grid->OnGetEditorType = [](QObject*, int c, int, TEditorType& e) {
        if (c == 2 || c == 3)
            e = edComboEdit;
    };
    Items({"Alpha"});
    grid->SetLookup(true);
    grid->Navigation().SetAdvanceOnEnter(true);
    grid->Navigation().SetAdvanceAutoEdit(true);
    grid->Navigation().SetEditSelectAll(false);
    grid->SetCells(3, 1, QStringLiteral("Al"));
    Edit(2, 1);
    TypeKeys(QStringLiteral("x"));
    KeyClick(Qt::Key_Return);
    Settle();
    ASSERT_EQ(grid->Col(), 3);
    ASSERT_TRUE(ComboUp());
    EXPECT_EQ(Combo()->Text(), QStringLiteral("Al"));
    EXPECT_EQ(Combo()->SelLength(), 0);
}

TEST_F(EditorGrid, LookupCompletesFromTheListThenFromTheLookupItems)
{
    Items({"Alpha", "Beta"});
    grid->SetLookup(true);
    Edit(2, 1);
    TypeKeys(QStringLiteral("b"));
    EXPECT_EQ(Combo()->Text(), QStringLiteral("Beta"));
    EXPECT_EQ(Combo()->ItemIndex(), 1);
    EXPECT_EQ(Combo()->SelStart(), 1);
    EXPECT_EQ(Combo()->SelLength(), 3);
    EXPECT_EQ(Combo()->ItemIdx, 1);
    EXPECT_TRUE(Combo()->ItemChange);
    KeyClick(Qt::Key_Escape);

    // Case-sensitive: the lower-case b matches nothing.
    grid->SetLookupCaseSensitive(true);
    Combo()->ItemIdx = -1;
    Combo()->ItemChange = false;
    Edit(2, 2);
    TypeKeys(QStringLiteral("b"));
    EXPECT_EQ(Combo()->Text(), QStringLiteral("b"));
    EXPECT_EQ(Combo()->ItemIndex(), -1);
    EXPECT_FALSE(Combo()->ItemChange);
    KeyClick(Qt::Key_Escape);

    // Only in the lookup items: the typed letters stay as typed, no item.
    grid->SetLookupCaseSensitive(false);
    const QStringList lookup{QStringLiteral("Charlie")};
    grid->SetLookupItems(&lookup);
    Edit(2, 3);
    TypeKeys(QStringLiteral("ch"));
    EXPECT_EQ(Combo()->Text(), QStringLiteral("charlie"));
    EXPECT_EQ(Combo()->ItemIndex(), -1);
    EXPECT_EQ(Combo()->SelStart(), 2);
    EXPECT_EQ(Combo()->SelLength(), 5);
    EXPECT_FALSE(Combo()->ItemChange);
}

TEST_F(EditorGrid, BackspaceStopsCompletionUntilAnotherKey)
{
    Items({"Alpha", "Beta"});
    grid->SetLookup(true);
    Edit(2, 1);
    TypeKeys(QStringLiteral("b"));
    ASSERT_EQ(Combo()->Text(), QStringLiteral("Beta"));
    KeyClick(Qt::Key_Backspace);  // removes the completed tail
    EXPECT_EQ(Combo()->Text(), QStringLiteral("B"));
    EXPECT_FALSE(Combo()->WorkMode);
    KeyClick(Qt::Key_Delete);
    EXPECT_EQ(Combo()->Text(), QStringLiteral("B"));
    TypeKeys(QStringLiteral("e"));
    EXPECT_TRUE(Combo()->WorkMode);
    EXPECT_EQ(Combo()->Text(), QStringLiteral("Beta"));
    EXPECT_EQ(Combo()->SelStart(), 2);
}

TEST_F(EditorGrid, TheWheelStepsThroughTheItemsAndStopsAtTheEnds)
{
    Items({"A", "B", "C"});
    kind = edComboList;
    grid->SetCells(2, 1, QStringLiteral("B"));
    std::vector<int> objectEvents;
    grid->OnComboObjectChange = [&](QObject*, int c, int, int index, const QString&, TObject*) {
        EXPECT_EQ(c, 2);
        objectEvents.push_back(index);
    };
    Edit(2, 1);
    ASSERT_TRUE(ComboUp());
    events.clear();
    Wheel(Combo()->ComboWidget(), -120);  // toward the user: the next item
    EXPECT_EQ(Combo()->ItemIndex(), 2);
    Wheel(Combo()->ComboWidget(), -120);  // on the last item it stays
    EXPECT_EQ(Combo()->ItemIndex(), 2);
    EXPECT_EQ(Combo()->Text(), QStringLiteral("C"));
    for (int i = 0; i < 4; ++i)
        Wheel(Combo()->ComboWidget(), 120);
    EXPECT_EQ(Combo()->ItemIndex(), 0);
    EXPECT_EQ(objectEvents, (std::vector<int>{2, 2, 1, 0, 0, 0}));
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], QStringLiteral("edit 2,1 C"));
    EXPECT_EQ(events[1], QStringLiteral("combo 2,1 2 C"));
}

TEST_F(EditorGrid, LookupHistoryAddsANewTextOnceAndNoEmptyText)
{
    Items({"Alpha"});
    grid->SetLookupHistory(true);
    for (int row : {1, 2}) {
        Edit(2, row);
        TypeKeys(QStringLiteral("Gamma"));
        KeyClick(Qt::Key_Return);
    }
    EXPECT_EQ(Combo()->Items(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Gamma")}));
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("Gamma"));
    Edit(2, 4);
    KeyClick(Qt::Key_Return);
    EXPECT_EQ(Combo()->ItemCount(), 2);
}

TEST_F(EditorGrid, TabIsTheCombosOnlyWhenTheGridWantsIt)
{
    // No goTabs, no validation handler: Tab is the form's and moves on.
    Edit(2, 1);
    TypeKeys(QStringLiteral("x"));
    KeyClick(Qt::Key_Tab);
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_FALSE(grid->hasFocus());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("x"));
    EXPECT_EQ(grid->Col(), 2);

    // With goTabs the combo takes it: the value is kept and the grid moves
    // to the next cell.
    grid->SetOptions(grid->Options() | goTabs);
    Edit(2, 2);
    TypeKeys(QStringLiteral("y"));
    KeyClick(Qt::Key_Tab);
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("y"));
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_TRUE(grid->isAncestorOf(QApplication::focusWidget()) || grid->hasFocus());
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(EditorGrid, WithAValidationHandlerTabIsValidatedThenTheFocusMovesOn)
{
    std::vector<QString> validated;
    grid->OnCellValidate = [&](QObject*, int, int, QString& value, bool&) { validated.push_back(value); };
    Edit(2, 1);
    TypeKeys(QStringLiteral("v"));
    KeyClick(Qt::Key_Tab);
    Settle();  // the Tab handed on to the grid is queued
    EXPECT_EQ(validated, (std::vector<QString>{QStringLiteral("v")}));
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("v"));
    EXPECT_FALSE(Combo()->isVisible());
    QWidget* focus = QApplication::focusWidget();
    EXPECT_TRUE(focus && focus != grid && !grid->isAncestorOf(focus));
    grid->OnCellValidate = nullptr;
}

TEST_F(EditorGrid, AClickThatOpenedTheComboPutsTheCaretUnderTheMouse)
{
    grid->Navigation().SetEditSelectAll(false);
    grid->SetCells(2, 1, QStringLiteral("hello world"));
    Edit(2, 1);
    ASSERT_TRUE(ComboUp());
    EXPECT_EQ(Combo()->SelStart(), 11);  // without the click: the caret at the end
    const TRect edit = Combo()->EditRect();
    const QPoint inside(edit.Left + edit.Width() / 4, (edit.Top + edit.Bottom) / 2);
    const int expected = Combo()->CharFromPos(Point(inside.x(), inside.y()));
    KeyClick(Qt::Key_Escape);
    QCursor::setPos(Combo()->mapToGlobal(inside));
    if (Combo()->mapFromGlobal(QCursor::pos()) != inside)
        GTEST_SKIP() << "the platform does not place the mouse";
    grid->SetLButFlg(true);
    Edit(2, 1);
    ASSERT_TRUE(ComboUp());
    EXPECT_EQ(Combo()->SelStart(), expected);
    EXPECT_EQ(Combo()->SelLength(), 0);
    EXPECT_FALSE(grid->LButFlg());
}

TEST_F(EditorGrid, CursorWalkLeavesTheComboWhenTheCaretIsAtAnEndOfItsText)
{
    grid->Navigation().SetCursorWalkEditor(true);
    Edit(2, 1);
    TypeKeys(QStringLiteral("ab"));
    KeyClick(Qt::Key_Left);  // the caret moves inside the text
    EXPECT_TRUE(ComboUp());
    KeyClick(Qt::Key_Right);  // the caret reaches the end: the editor stays
    EXPECT_TRUE(ComboUp());
    KeyClick(Qt::Key_Right);  // from the end: on to the next cell
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("ab"));
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 1);

    // Backwards from the first position.
    Edit(2, 2);
    TypeKeys(QStringLiteral("cd"));
    KeyClick(Qt::Key_Home);
    EXPECT_TRUE(ComboUp());
    KeyClick(Qt::Key_Left);
    EXPECT_FALSE(Combo()->isVisible());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("cd"));
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 2);

    // With Shift the caret only selects.
    Edit(2, 3);
    TypeKeys(QStringLiteral("ef"));
    KeyClick(Qt::Key_Left, Qt::ShiftModifier);
    KeyClick(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(ComboUp());
}

TEST_F(EditorGrid, TheGridsKeyPressSeesTheCombosCharactersFirst)
{
    std::vector<QObject*> senders;
    grid->OnKeyPress = [&](QObject* sender, QChar& key) {
        senders.push_back(sender);
        if (key == QLatin1Char('x'))
            key = QChar();
    };
    Edit(2, 1);
    TypeKeys(QStringLiteral("axb"));
    EXPECT_EQ(Combo()->Text(), QStringLiteral("ab"));
    ASSERT_EQ(senders.size(), 3u);
    EXPECT_EQ(senders[0], Combo());
}

// ---------------------------------------------------------------------------
// Check-box and push-button editors
// ---------------------------------------------------------------------------

TEST_F(EditorGrid, CheckBoxSpaceAndClickToggleOnceAndArrowsGoBackToTheGrid)
{
    kind = edCheckBox;
    Edit(2, 2);
    TGridCheckBox* check = grid->EditCheckBox();
    ASSERT_TRUE(check->isVisible());
    ASSERT_TRUE(check->hasFocus());
    EXPECT_FALSE(check->Checked());
    int clicks = 0;
    check->OnClick = [&](QObject*) { ++clicks; };
    KeyClick(Qt::Key_Space);
    EXPECT_TRUE(check->Checked());
    const QPoint at(5, check->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, check->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(check, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, check->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(check, &release);
    EXPECT_FALSE(check->Checked());
    EXPECT_EQ(clicks, 2);

    KeyClick(Qt::Key_Down);
    EXPECT_FALSE(check->isVisible());
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->Row(), 3);
    check->OnClick = nullptr;
}

TEST_F(EditorGrid, ButtonSpaceRunsTheEllipsisAndEscapeAndArrowsGoBackToTheGrid)
{
    kind = edButton;
    grid->SetCells(2, 2, QStringLiteral("caption"));
    grid->OnEllipsClick = [](QObject*, int c, int r, QString& s) { s = QStringLiteral("%1 %2,%3").arg(s).arg(c).arg(r); };
    Edit(2, 2);
    TGridButton* button = grid->GridButton();
    ASSERT_TRUE(button->isVisible());
    ASSERT_TRUE(button->hasFocus());
    EXPECT_EQ(button->Text(), QStringLiteral("caption"));
    KeyClick(Qt::Key_Space);
    EXPECT_EQ(button->Text(), QStringLiteral("caption 2,2"));
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("caption 2,2"));

    // Escape is the button's, not the form's: the cell's text comes back.
    KeyClick(Qt::Key_Escape);
    EXPECT_EQ(okButton->presses, 0);
    EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(grid->EditMode());
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("caption"));

    Edit(2, 2);
    ASSERT_TRUE(button->hasFocus());
    KeyClick(Qt::Key_Right);
    EXPECT_FALSE(button->isVisible());
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(grid->Col(), 3);
}

// ---------------------------------------------------------------------------
// The combo's list with the mouse
// ---------------------------------------------------------------------------

namespace {

// Waits out the time in which the list ignores a release (the one of the
// click that opened it).
void WaitPastOpening()
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < QApplication::doubleClickInterval() + 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Opens the combo's list with a click on its button.
void OpenListWithTheMouse(TGridCombo* combo)
{
    QComboBox* inner = combo->ComboWidget();
    testsupport::Click(inner, QPoint(inner->width() - 5, inner->height() / 2));
    Settle();
    WaitPastOpening();
}

void ClickItem(TGridCombo* combo, int index)
{
    QComboBox* inner = combo->ComboWidget();
    QAbstractItemView* view = inner->view();
    testsupport::Click(view->viewport(), view->visualRect(inner->model()->index(index, 0)).center());
    Settle();
}

} // namespace

TEST_F(EditorGrid, AnItemPickedFromTheOpenListIsReportedAsAComboChange)
{
    kind = edComboList;
    Items({"red", "green", "blue"});
    grid->SetCells(2, 1, QStringLiteral("green"));
    Edit(2, 1);
    ASSERT_TRUE(ComboUp());
    OpenListWithTheMouse(Combo());
    ASSERT_TRUE(Combo()->DroppedDown());
    events.clear();
    ClickItem(Combo(), 2);
    EXPECT_FALSE(Combo()->DroppedDown());
    EXPECT_EQ(Combo()->Text(), QStringLiteral("blue"));
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("edit 2,1 blue"), QStringLiteral("combo 2,1 2 blue")}));
    KeyClick(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("blue"));

    // Moving in the open list with the keys chooses as well.
    kind = edComboEdit;
    Edit(2, 2);
    ASSERT_TRUE(ComboUp());
    KeyClick(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(Combo()->DroppedDown());
    events.clear();
    KeyClick(Qt::Key_Down);
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("edit 2,2 red"), QStringLiteral("combo 2,2 0 red")}));
    KeyClick(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("red"));
}

TEST_F(EditorGrid, WithDirectComboCloseTheItemPickedWithTheMouseIsTheCellsValue)
{
    grid->MouseActions().SetDirectComboClose(true);
    std::vector<QString> closeUps;
    grid->OnComboCloseUp = [&](QObject*, int r, int c) {
        closeUps.push_back(QStringLiteral("%1,%2 %3").arg(c).arg(r).arg(Combo()->Text()));
    };
    for (TEditorType k : {edComboList, edComboEdit}) {
        kind = k;
        Items({"red", "green", "blue"});
        grid->SetCells(2, 1, QStringLiteral("green"));
        closeUps.clear();
        Edit(2, 1);
        ASSERT_TRUE(ComboUp());
        OpenListWithTheMouse(Combo());
        ASSERT_TRUE(Combo()->DroppedDown());
        ClickItem(Combo(), 2);
        EXPECT_FALSE(Combo()->isVisible()) << int(k);
        EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("blue")) << int(k);
        EXPECT_EQ(closeUps, (std::vector<QString>{QStringLiteral("2,1 blue")})) << int(k);
    }
    grid->OnComboCloseUp = nullptr;
    grid->MouseActions().SetDirectComboClose(false);
}

TEST_F(EditorGrid, TheCharacterThatOpensTheComboIsCompletedAlsoAfterAnEditEndedWithEnter)
{
    Items({"Alpha", "Beta"});
    grid->SetLookup(true);
    // The character that opens the editor reaches it before its key comes
    // up, as the window system delivers them.
    auto typeOnGrid = [&](int col, int row) {
        grid->SetCol(col);
        grid->SetRow(row);
        grid->setFocus(Qt::OtherFocusReason);
        Settle();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        QApplication::sendEvent(grid, &press);
        Settle();
        ASSERT_TRUE(ComboUp());
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
        QApplication::sendEvent(QApplication::focusWidget(), &release);
    };
    typeOnGrid(2, 1);
    EXPECT_EQ(Combo()->Text(), QStringLiteral("Beta"));
    KeyClick(Qt::Key_Escape);

    Edit(2, 2);
    TypeKeys(QStringLiteral("x"));
    KeyClick(Qt::Key_Return);  // comes up on the grid
    ASSERT_FALSE(Combo()->isVisible());
    typeOnGrid(2, 3);
    EXPECT_EQ(Combo()->Text(), QStringLiteral("Beta"));
    EXPECT_EQ(Combo()->SelStart(), 1);
    EXPECT_EQ(Combo()->SelLength(), 3);
}
