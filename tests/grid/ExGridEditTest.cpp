// Editing a cell of the string grid with real keys and presses: committing,
// undoing, the character filter of the default editor, the cells that
// refuse editing, the end-of-edit notifications and check-box cells.
#include "ExGridEditTestSupport.h"

#include "grid/ExCGrid.h"
#include "grid/ExGrid_Editors.h"
#include "widgets/ExUtil.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include <optional>
#include <vector>

using namespace platform;
using namespace edittest;

namespace {

struct EditFixture : GridFixture
{
};

} // namespace

// ---------------------------------------------------------------------------
// Committing a typed value
// ---------------------------------------------------------------------------

TEST_F(EditFixture, TypingOpensTheEditorAndEnterCommits)
{
    GoTo(2, 3);
    Type(QStringLiteral("abc"));
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(EditorText(), QStringLiteral("abc"));
    Key(Qt::Key_Return);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Cells(2, 3), QStringLiteral("abc"));
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_FALSE(grid->EditMode());
}

TEST_F(EditFixture, TabCommitsAndMovesToTheNextCell)
{
    grid->SetOptions(grid->Options() | goTabs);
    GoTo(1, 1);
    Type(QStringLiteral("x1"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("x1"));
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(EditFixture, ClickOnAnotherCellCommits)
{
    GoTo(1, 1);
    Type(QStringLiteral("left"));
    PressCell(3, 4);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("left"));
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 4);
    EXPECT_FALSE(EditorShown());
}

TEST_F(EditFixture, EscapeRestoresTheTextTheCellHadWhenEditingStarted)
{
    grid->SetCells(2, 2, QStringLiteral("before"));
    GoTo(2, 2);
    Key(Qt::Key_F2);
    ASSERT_TRUE(EditorShown());
    Type(QStringLiteral("zz"));
    Key(Qt::Key_Escape);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("before"));
}

TEST_F(EditFixture, AcceptedChangeMarksModifiedAndTellsTheListenersAfterTheCellHoldsIt)
{
    QString seenInCell;
    int changes = 0;
    grid->OnCellsChanged = [&](QObject*, const TRect& r) {
        ++changes;
        seenInCell = grid->Cells(r.Left, r.Top);
    };
    GoTo(1, 2);
    Type(QStringLiteral("new"));
    Key(Qt::Key_Return);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(seenInCell, QStringLiteral("new"));
    EXPECT_TRUE(grid->Modified());
}

// ---------------------------------------------------------------------------
// End-of-edit notifications
// ---------------------------------------------------------------------------

TEST_F(EditFixture, EditCellDoneArrivesAfterTheCommitTheAdvanceAndEditingDone)
{
    grid->Navigation().SetAdvanceOnEnter(true);
    std::vector<QString> log;
    grid->OnEditingDone = [&](QObject*) { log.push_back(QStringLiteral("EditingDone")); };
    grid->OnEditCellDone = [&](QObject*, int c, int r) {
        log.push_back(QStringLiteral("EditCellDone %1,%2 cell=%3 at %4,%5")
                          .arg(c)
                          .arg(r)
                          .arg(grid->Cells(c, r))
                          .arg(grid->Col())
                          .arg(grid->Row()));
    };
    GoTo(1, 1);
    Type(QStringLiteral("v"));
    Key(Qt::Key_Return);
    ASSERT_EQ(log.size(), 1u);  // the cell message is posted
    EXPECT_EQ(log[0], QStringLiteral("EditingDone"));
    ProcessEvents();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], QStringLiteral("EditCellDone 1,1 cell=v at 2,1"));
}

// ---------------------------------------------------------------------------
// The character filter of the default editor
// ---------------------------------------------------------------------------

namespace {

struct FilterCase
{
    TEditorType kind;
    QString typed;
    QString expected;
    QString validChars = QString();
};

void PrintTo(const FilterCase& c, std::ostream* os)
{
    *os << static_cast<int>(c.kind) << " '" << c.typed.toStdString() << "'";
}

struct EditorFilter : EditFixture, ::testing::WithParamInterface<FilterCase>
{
    void SetUp() override
    {
        EditFixture::SetUp();
        TRegionalSettings rs;
        rs.DecimalSeparator = u',';
        rs.ThousandSeparator = u'.';
        rs.DateSeparator = u'.';
        rs.TimeSeparator = u':';
        rs.ShortDateFormat = QStringLiteral("dd.MM.yyyy");
        SetRegionalSettingsOverride(rs);
    }
    void TearDown() override
    {
        SetRegionalSettingsOverride(std::nullopt);
        EditFixture::TearDown();
    }
};

} // namespace

TEST_P(EditorFilter, TypedCharactersPassAsTheKindAllows)
{
    const FilterCase& c = GetParam();
    grid->SetDefaultEditor(c.kind);
    grid->SetValidChars(c.validChars);
    GoTo(1, 1);
    Key(Qt::Key_F2);
    ASSERT_TRUE(EditorShown());
    Type(c.typed);
    EXPECT_EQ(EditorText(), c.expected);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditorFilter,
    ::testing::Values(FilterCase{edNormal, QStringLiteral("a-1,x"), QStringLiteral("a-1,x")},
                      FilterCase{edPassword, QStringLiteral("pw1"), QStringLiteral("pw1")},
                      // "-" only first, and only once
                      FilterCase{edNumeric, QStringLiteral("-12-a3"), QStringLiteral("-123")},
                      FilterCase{edNumeric, QStringLiteral("12-"), QStringLiteral("12")},
                      FilterCase{edPositiveNumeric, QStringLiteral("-1a2.3"), QStringLiteral("123")},
                      // decimal "," once; the thousand separator "." dropped
                      FilterCase{edFloat, QStringLiteral("-1,,5.2"), QStringLiteral("-1,52")},
                      FilterCase{edFloat, QStringLiteral("1-2x"), QStringLiteral("12")},
                      FilterCase{edPositiveFloat, QStringLiteral("-3,5"), QStringLiteral("3,5")},
                      FilterCase{edCapital, QStringLiteral("abC"), QStringLiteral("ABC")},
                      FilterCase{edUpperCase, QStringLiteral("x1y"), QStringLiteral("X1Y")},
                      FilterCase{edLowerCase, QStringLiteral("AbC"), QStringLiteral("abc")},
                      FilterCase{edMixedCase, QStringLiteral("hello wORLD"), QStringLiteral("Hello World")},
                      FilterCase{edValidChars, QStringLiteral("abcab9"), QStringLiteral("abab"),
                                 QStringLiteral("ab")}));

TEST_F(EditFixture, ExcelStyleDecimalSeparatorTurnsTheKeypadPointIntoTheRegionalOne)
{
    TRegionalSettings rs;
    rs.DecimalSeparator = u',';
    rs.ThousandSeparator = u'.';
    rs.DateSeparator = u'.';
    rs.TimeSeparator = u':';
    SetRegionalSettingsOverride(rs);
    grid->SetDefaultEditor(edFloat);
    grid->SetExcelStyleDecimalSeparator(true);
    GoTo(1, 1);
    Key(Qt::Key_F2);
    Type(QStringLiteral("1"));
    Key(Qt::Key_Period, Qt::KeypadModifier, QStringLiteral("."));
    Type(QStringLiteral("5"));
    Key(Qt::Key_Period, Qt::NoModifier, QStringLiteral("."));  // main key: the thousand separator, dropped
    EXPECT_EQ(EditorText(), QStringLiteral("1,5"));
    SetRegionalSettingsOverride(std::nullopt);
}

TEST_F(EditFixture, LengthLimitStopsTypingButKeepsBackspace)
{
    grid->SetMaxEditLength(3);
    GoTo(1, 1);
    Type(QStringLiteral("abcd"));
    EXPECT_EQ(EditorText(), QStringLiteral("abc"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(EditorText(), QStringLiteral("ab"));
}

TEST_F(EditFixture, FilledLengthWithAdvanceAutoMovesOn)
{
    grid->SetMaxEditLength(3);
    grid->Navigation().SetAdvanceAuto(true);
    GoTo(1, 1);
    Type(QStringLiteral("abc"));
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("abc"));
    EXPECT_EQ(grid->Col(), 2);
}

TEST_F(EditFixture, PasteFollowsTheKindAndTheLimit)
{
    struct Case
    {
        TEditorType kind;
        int limit;
        QString clip;
        QString expected;
    };
    const Case cases[] = {
        {edPositiveNumeric, 0, QStringLiteral("-12"), QString()},
        {edNumeric, 0, QStringLiteral("-12"), QStringLiteral("-12")},
        {edUpperCase, 0, QStringLiteral("ab"), QStringLiteral("AB")},
        {edNormal, 3, QStringLiteral("abcd"), QString()},
        {edNormal, 0, QStringLiteral("line\r\n"), QStringLiteral("line")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clip.toStdString());
        grid->SetDefaultEditor(c.kind);
        grid->SetMaxEditLength(c.limit);
        grid->SetCells(1, 1, QString());
        GoTo(1, 1);
        Key(Qt::Key_F2);
        ASSERT_TRUE(EditorShown());
        QGuiApplication::clipboard()->setText(c.clip);
        grid->InplaceEditor()->PasteFromClipboard();
        EXPECT_EQ(EditorText(), c.expected);
        Key(Qt::Key_Escape);
    }
}

TEST_F(EditFixture, LookupCompletesFromTheListAndBackspaceStopsIt)
{
    const QStringList items{QStringLiteral("Alpha"), QStringLiteral("Beta")};
    grid->SetLookupItems(&items);
    grid->SetLookup(true);
    GoTo(1, 1);
    Type(QStringLiteral("b"));
    EXPECT_EQ(EditorText(), QStringLiteral("beta"));
    EXPECT_EQ(grid->InplaceEditor()->SelLength(), 3);
    Key(Qt::Key_Backspace);
    EXPECT_EQ(EditorText(), QStringLiteral("b"));
}

// ---------------------------------------------------------------------------
// Cells that refuse editing
// ---------------------------------------------------------------------------

TEST_F(EditFixture, ReadOnlyCellRefusesTheEditor)
{
    grid->SetReadOnly(2, 2, true);
    GoTo(2, 2);
    Type(QStringLiteral("q"));
    Key(Qt::Key_F2);
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(grid->Cells(2, 2), QString());
}

TEST_F(EditFixture, NoneAndDataCheckBoxKindsNeverShowAnEditor)
{
    for (TEditorType kind : {edNone, edDataCheckBox}) {
        grid->OnGetEditorType = [kind](QObject*, int, int, TEditorType& e) { e = kind; };
        GoTo(1, 1);
        Key(Qt::Key_F2);
        Type(QStringLiteral("w"));
        EXPECT_FALSE(EditorShown());
        EXPECT_FALSE(grid->EditMode());
        EXPECT_FALSE(grid->Combobox()->isVisible());
        EXPECT_EQ(grid->Cells(1, 1), QString());
    }
}

namespace {
struct EditColumnGridFixture : GridFixture
{
    TExStringGrid* MakeGrid(QWidget* parent) override { return new VOruVizizaZezo(parent); }
    VOruVizizaZezo& Columns() { return *static_cast<VOruVizizaZezo*>(grid); }
};
} // namespace

TEST_F(EditColumnGridFixture, ReadOnlyColumnRefusesTheEditor)
{
    Columns().Columns().GetItem(2)->SetReadOnly(true);
    GoTo(2, 1);
    Type(QStringLiteral("r"));
    EXPECT_FALSE(EditorShown());
    GoTo(3, 1);
    Type(QStringLiteral("r"));
    EXPECT_TRUE(EditorShown());
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(2, 1), QString());
    EXPECT_EQ(grid->Cells(3, 1), QStringLiteral("r"));
}

// ---------------------------------------------------------------------------
// Check-box cells
// ---------------------------------------------------------------------------

TEST_F(EditFixture, SpaceTogglesACheckBoxCell)
{
    grid->AddCheckBox(2, 2, false, true);
    bool clicked = false;
    bool clickedState = false;
    grid->OnCheckBoxClick = [&](QObject*, int c, int r, bool state) {
        clicked = c == 2 && r == 2;
        clickedState = state;
    };
    GoTo(2, 2);
    Key(Qt::Key_Space);
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(clickedState);
    EXPECT_EQ(grid->Cells(2, 2), grid->CheckTrue());
    EXPECT_FALSE(EditorShown());
}

TEST_F(EditFixture, PressOnACheckBoxTogglesInTheOrderOfTheRoad)
{
    grid->AddCheckBox(3, 4, false, true);
    std::vector<QString> log;
    grid->OnCheckBoxChange = [&](QObject*, int c, int r, bool s) {
        log.push_back(QStringLiteral("change %1,%2 %3 cell=%4").arg(c).arg(r).arg(s).arg(grid->Cells(c, r)));
    };
    grid->OnCheckBoxClick = [&](QObject*, int c, int r, bool s) {
        log.push_back(QStringLiteral("click %1,%2 %3 at %4,%5").arg(c).arg(r).arg(s).arg(grid->Col()).arg(grid->Row()));
    };
    grid->OnClick = [&](QObject*) { log.push_back(QStringLiteral("OnClick")); };
    grid->OnClickCell = [&](QObject*, int, int) { log.push_back(QStringLiteral("OnClickCell")); };
    TExGridUndoRedo undo;
    grid->SetUndoRedo(&undo);
    PressCell(3, 4);
    const std::vector<QString> expected{QStringLiteral("change 3,4 1 cell=Y"), QStringLiteral("click 3,4 1 at 3,4"),
                                        QStringLiteral("OnClick")};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(undo.Level(), 1);
    grid->SetUndoRedo(nullptr);
}

// ---------------------------------------------------------------------------
// Special editors
// ---------------------------------------------------------------------------

namespace {
struct ComboFixture : EditFixture
{
    TEditorType kind = edComboList;
    std::vector<QString> comboEvents;
    void SetUp() override
    {
        EditFixture::SetUp();
        grid->OnGetEditorType = [this](QObject*, int c, int, TEditorType& e) {
            if (c == 2)
                e = kind;
        };
        grid->OnComboChange = [this](QObject*, int c, int r, int index, const QString& text) {
            comboEvents.push_back(QStringLiteral("%1,%2 %3 %4").arg(c).arg(r).arg(index).arg(text));
        };
        for (const char* item : {"red", "green", "blue"})
            grid->AddComboString(QString::fromLatin1(item));
    }
};
} // namespace

TEST_F(ComboFixture, PickListOpensOnTheFirstItemWhenTheTextIsNotInTheList)
{
    grid->SetCells(2, 1, QStringLiteral("purple"));
    GoTo(2, 1);
    Key(Qt::Key_F2);
    TGridCombo* combo = grid->Combobox();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_TRUE(grid->EditActive());
    EXPECT_EQ(grid->EditCtrl(), combo);
    EXPECT_EQ(combo->ItemIndex(), 0);
    ASSERT_EQ(comboEvents.size(), 1u);
    EXPECT_EQ(comboEvents[0], QStringLiteral("2,1 0 red"));
    EXPECT_FALSE(EditorShown());
}

TEST_F(ComboFixture, PickListOnTheCellsOwnItemAndWithAnEmptyListRaisesNothing)
{
    grid->SetCells(2, 1, QStringLiteral("blue"));
    GoTo(2, 1);
    Key(Qt::Key_F2);
    EXPECT_EQ(grid->Combobox()->ItemIndex(), 2);
    grid->HideInplaceEdit();
    grid->ClearComboString();
    GoTo(2, 2);
    Key(Qt::Key_F2);
    EXPECT_TRUE(comboEvents.empty());
}

TEST_F(ComboFixture, CommitStoresTheChosenItemAndAnnouncesTheEnd)
{
    std::vector<QString> log;
    grid->OnEditingDone = [&](QObject*) { log.push_back(QStringLiteral("EditingDone")); };
    grid->OnEditCellDone = [&](QObject*, int c, int r) {
        log.push_back(QStringLiteral("EditCellDone %1,%2 %3").arg(c).arg(r).arg(grid->Cells(c, r)));
    };
    GoTo(2, 3);
    Key(Qt::Key_F2);
    grid->Combobox()->SetItemIndex(1);
    grid->HideInplaceEdit();
    EXPECT_FALSE(grid->Combobox()->isVisible());
    EXPECT_EQ(grid->Cells(2, 3), QStringLiteral("green"));
    EXPECT_FALSE(grid->EditMode());
    ProcessEvents();
    const std::vector<QString> expected{QStringLiteral("EditingDone"), QStringLiteral("EditCellDone 2,3 green")};
    EXPECT_EQ(log, expected);
}

TEST_F(ComboFixture, ComboIndexReadsAndWritesTheCellThroughTheList)
{
    grid->SetCells(2, 4, QStringLiteral("green"));
    EXPECT_EQ(grid->ComboIndex(2, 4), 1);
    grid->SetComboIndex(2, 4, 2);
    EXPECT_EQ(grid->Cells(2, 4), QStringLiteral("blue"));
    grid->SetCells(2, 4, QStringLiteral("none"));
    EXPECT_EQ(grid->ComboIndex(2, 4), -1);
    EXPECT_EQ(grid->GetComboCount(), 3);
    EXPECT_TRUE(grid->RemoveComboString(QStringLiteral("red")));
    EXPECT_FALSE(grid->RemoveComboString(QStringLiteral("red")));
    EXPECT_FALSE(grid->SetComboSelectionString(QStringLiteral("red")));
    EXPECT_TRUE(grid->SetComboSelectionString(QStringLiteral("blue")));
}

TEST_F(ComboFixture, ClickOnAnotherCellValidatesTheComboFirstAndARefusalKeepsTheCell)
{
    grid->OnCellValidate = [](QObject*, int, int, QString&, bool& valid) { valid = false; };
    grid->SetCells(2, 1, QStringLiteral("red"));
    GoTo(2, 1);
    Key(Qt::Key_F2);
    grid->Combobox()->SetItemIndex(2);
    PressCell(4, 4);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("red"));
}

TEST_F(ComboFixture, ClickOnAnotherCellStoresTheComboValue)
{
    grid->SetCells(2, 1, QStringLiteral("red"));
    GoTo(2, 1);
    Key(Qt::Key_F2);
    grid->Combobox()->SetItemIndex(2);
    PressCell(4, 4);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("blue"));
    EXPECT_FALSE(grid->Combobox()->isVisible());
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_EQ(grid->Row(), 4);
}

TEST_F(ComboFixture, CheckBoxEditorOpensUncheckedAndItsCommitChangesNothing)
{
    kind = edCheckBox;
    grid->SetCells(2, 2, QStringLiteral("Y"));
    GoTo(2, 2);
    Key(Qt::Key_F2);
    TGridCheckBox* check = grid->EditCheckBox();
    ASSERT_TRUE(check->isVisible());
    EXPECT_EQ(check->State(), cbUnchecked);
    EXPECT_EQ(check->Caption(), QStringLiteral("Y"));
    check->SetChecked(true);
    grid->HideInplaceEdit();
    EXPECT_FALSE(check->isVisible());
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("Y"));
}

TEST_F(ComboFixture, ButtonEditorShowsTheCellText)
{
    kind = edButton;
    grid->SetCells(2, 2, QStringLiteral("Go"));
    GoTo(2, 2);
    Key(Qt::Key_F2);
    ASSERT_TRUE(grid->GridButton()->isVisible());
    EXPECT_EQ(grid->GridButton()->Text(), QStringLiteral("Go"));
    grid->HideInplaceEdit();
    EXPECT_FALSE(grid->GridButton()->isVisible());
}

TEST_F(ComboFixture, KindsWithoutAControlShowAndCommitNothing)
{
    // The spin, date, edit-with-button and unit kinds have their editors
    // now (GridSpinEditorsTest), the rich edit too (GridFormEditorsTest),
    // the time picker drop-down too (GridDropDownEditorsTest); a custom
    // cell without an edit link still has none.
    for (TEditorType k : {edCustom}) {
        kind = k;
        grid->SetCells(2, 2, QStringLiteral("same"));
        GoTo(2, 2);
        Key(Qt::Key_F2);
        EXPECT_FALSE(grid->EditMode());
        EXPECT_FALSE(grid->EditActive());
        EXPECT_FALSE(EditorShown());
        grid->HideInplaceEdit();
        EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("same"));
    }
}

// ---------------------------------------------------------------------------
// The focus frame
// ---------------------------------------------------------------------------

namespace {
struct FrameFixture : EditFixture
{
    void SetUp() override
    {
        EditFixture::SetUp();
        grid->FocusHelper().SetEnabled(true);
    }
    QRect ExpectedFrame(int col, int row)
    {
        const TRect r = grid->TBaseGrid::CellRect(col, row);
        const QPoint at = grid->ClientSurface()->mapTo(host.get(), QPoint(r.Left, r.Top));
        return QRect(at.x() - 4, at.y() - 4, r.Width() + 9, r.Height() + 9);
    }
};
} // namespace

TEST_F(FrameFixture, OpeningAnEditorShowsTheRingAroundTheCell)
{
    GoTo(2, 2);
    Key(Qt::Key_F2);
    QWidget* frame = grid->FocusFrameWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->parentWidget(), host.get());
    EXPECT_EQ(frame->geometry(), ExpectedFrame(2, 2));
    EXPECT_EQ(TExStringGrid::FocusFrameGrid(), grid);
    const QRegion ring = frame->mask();
    const TRect r = grid->TBaseGrid::CellRect(2, 2);
    EXPECT_TRUE(ring.contains(QPoint(1, 1)));                               // 4 wide left and top
    EXPECT_TRUE(ring.contains(QPoint(r.Width() + 5, r.Height() + 5)));      // 5 wide right and bottom
    EXPECT_FALSE(ring.contains(QPoint(4, 4)));
    EXPECT_FALSE(ring.contains(QPoint(r.Width() + 3, r.Height() + 3)));
}

TEST_F(FrameFixture, FrameFollowsWhenTheFormChangesAndGoesAfterAnAcceptedEdit)
{
    GoTo(2, 2);
    Type(QStringLiteral("a"));
    grid->move(40, 30);
    host->resize(660, 430);
    ProcessEvents();
    EXPECT_EQ(grid->FocusFrameWindow()->geometry(), ExpectedFrame(2, 2));
    Key(Qt::Key_Return);
    EXPECT_FALSE(grid->FocusFrameWindow()->isVisible());
    EXPECT_EQ(TExStringGrid::FocusFrameGrid(), nullptr);
}

TEST_F(FrameFixture, RefusedEditLeavesTheFrameUp)
{
    grid->OnCellValidate = [](QObject*, int, int, QString&, bool& valid) { valid = false; };
    GoTo(2, 2);
    Type(QStringLiteral("a"));
    Key(Qt::Key_Return);
    EXPECT_TRUE(grid->FocusFrameWindow()->isVisible());
    EXPECT_EQ(TExStringGrid::FocusFrameGrid(), grid);
}

TEST_F(FrameFixture, DestroyedGridIsNoLongerTheFrameGrid)
{
    GoTo(2, 2);
    Key(Qt::Key_F2);
    ASSERT_EQ(TExStringGrid::FocusFrameGrid(), grid);
    QPointer<QWidget> frame = grid->FocusFrameWindow();
    delete grid;
    grid = new TExStringGrid(host.get());  // for the fixture's tear-down
    EXPECT_EQ(TExStringGrid::FocusFrameGrid(), nullptr);
    EXPECT_TRUE(frame.isNull());
    // A later move of the form reaches no freed grid.
    host->move(host->x() + 5, host->y() + 5);
    host->resize(700, 460);
    ProcessEvents();
}

// ---------------------------------------------------------------------------
// Cursor walk, clipboard events and the end of a grid
// ---------------------------------------------------------------------------

TEST_F(EditFixture, CursorWalkLeavesTheTextAtItsEdges)
{
    grid->Navigation().SetCursorWalkEditor(true);
    grid->Navigation().SetEditSelectAll(false);
    GoTo(1, 1);
    Type(QStringLiteral("ab"));
    Key(Qt::Key_Right);  // at the end: on to the next cell, editing there
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("ab"));
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_TRUE(EditorShown());
    Type(QStringLiteral("c"));
    Key(Qt::Key_Right, Qt::ShiftModifier);  // Shift: commit and give the grid the focus
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("c"));
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(FocusWidget(), grid);
    EXPECT_EQ(grid->Col(), 2);
}

TEST_F(EditFixture, ClipboardEventsMayRefuseCopyAndPaste)
{
    grid->SetCells(1, 1, QStringLiteral("secret"));
    grid->OnClipboardCopy = [](QObject*, bool& allow) { allow = false; };
    grid->OnClipboardPaste = [](QObject*, bool& allow) { allow = false; };
    GoTo(1, 1);
    Key(Qt::Key_F2);
    QGuiApplication::clipboard()->setText(QStringLiteral("outside"));
    grid->InplaceEditor()->SelectAll();
    grid->InplaceEditor()->CopyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("outside"));
    grid->InplaceEditor()->PasteFromClipboard();
    EXPECT_EQ(EditorText(), QStringLiteral("secret"));
    grid->OnClipboardCopy = nullptr;
    grid->OnClipboardPaste = nullptr;
}

TEST_F(EditFixture, DestroyingAGridWhileItsEditorIsOpenIsSafe)
{
    grid->SetLookupHistory(true);
    GoTo(1, 1);
    Type(QStringLiteral("open"));
    ASSERT_TRUE(EditorShown());
    delete grid;
    grid = new TExStringGrid(host.get());  // for the fixture's tear-down
    ProcessEvents();
}

TEST_F(EditFixture, AnUntouchedRichCellKeepsItsTags)
{
    grid->SetCells(1, 1, QStringLiteral("<b>bold</b>"));
    GoTo(1, 1);
    Key(Qt::Key_F2);
    EXPECT_EQ(EditorText(), QStringLiteral("bold"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("<b>bold</b>"));
    Key(Qt::Key_F2);
    grid->InplaceEditor()->SelectAll();
    Type(QStringLiteral("plain"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("plain"));
}

TEST_F(EditFixture, ArrowsAtTheEdgesOfTheTextCommitAndMove)
{
    GoTo(2, 2);
    Type(QStringLiteral("down"));
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("down"));
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_FALSE(EditorShown());
    Type(QStringLiteral("up"));
    Key(Qt::Key_Up);
    EXPECT_EQ(grid->Cells(2, 3), QStringLiteral("up"));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("down"));
}

TEST_F(EditFixture, RemovingTheEditedRowEndsTheEditOnce)
{
    int events = 0;
    grid->OnCellValidate = [&](QObject*, int, int, QString&, bool&) { ++events; };
    GoTo(2, 5);
    Type(QStringLiteral("gone"));
    grid->SetRowCount(3);
    ProcessEvents();
    EXPECT_FALSE(EditorShown());
    EXPECT_EQ(events, 1);  // while the row was still there
    EXPECT_FALSE(grid->Editing());
    EXPECT_FALSE(grid->EditMode());
}


// A combo refused as the focus goes to another control cannot open again
// there: the edit is over, and nothing of it is left to undo or validate.
TEST_F(ComboFixture, RefusalAsTheFocusLeavesForAnotherControlEndsTheEdit)
{
    auto* other = new QLineEdit(host.get());
    other->setGeometry(0, 380, 100, 20);
    other->show();
    int events = 0;
    grid->OnCellValidate = [&](QObject*, int, int, QString&, bool& ok) {
        ++events;
        ok = false;
    };
    grid->SetCells(2, 1, QStringLiteral("red"));
    GoTo(2, 1);
    Key(Qt::Key_F2);
    grid->Combobox()->SetItemIndex(2);
    other->setFocus(Qt::MouseFocusReason);
    ProcessEvents();
    EXPECT_EQ(events, 1);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("red"));
    EXPECT_EQ(FocusWidget(), other);
    EXPECT_FALSE(grid->EditMode());
    EXPECT_FALSE(grid->Editing());

    // The other control writes the cell; back on the grid, Escape and a
    // move leave that value alone.
    grid->SetCells(2, 1, QStringLiteral("green"));
    grid->setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Escape);
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("green"));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(events, 1);
}
