// The editors that are no wrappers of the grid's own controls, driven with
// real keys and presses on a shown grid: a custom editor link (edCustom),
// the rich edit (edRichEdit), the header editors, radio groups and the
// editors of HTML form fields in cells.
#include "grid/ExGrid.h"
#include "grid/EsgSpin.h"
#include "grid/ExCGrid.h"
#include "grid/ExGrid_EditLink.h"
#include "grid/ExGrid_FormEditors.h"
#include "widgets/EsgHTMLE.h"

#include "ExGridEditTestSupport.h"

#include <QLineEdit>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

using namespace platform;
using edittest::FocusWidget;
using edittest::Key;
using edittest::ProcessEvents;
using edittest::Type;

namespace {

// The focus goes back to the grid, as a click on one of its cells gives it.
void LeaveEditor();

// A link whose control is a plain edit, wired as an application wires it.
class EditLinkUnderTest : public TEditLink
{
public:
    using TEditLink::TEditLink;
    TEdit* edit = nullptr;

    QWidget* GetEditControl() override { return edit; }
    void CreateEditor(QWidget* parent) override
    {
        if (edit)
            return;
        edit = new TEdit(parent);
        edit->OnKeyDown = [this](QObject* s, int& k, TShiftState sh) { EditKeyDown(s, k, sh); };
        edit->OnExit = [this](QObject* s) { EditExit(s); };
    }
    QString GetEditorValue() override { return edit ? edit->Text() : QString(); }
    void SetEditorValue(const QString& v) override
    {
        if (edit)
            edit->SetText(v);
    }
};

struct LinkGrid : edittest::GridFixture
{
    std::unique_ptr<EditLinkUnderTest> link;
    std::vector<QString> validated;
    QString refuse = QStringLiteral("\x01");

    void SetUp() override
    {
        GridFixture::SetUp();
        link = std::make_unique<EditLinkUnderTest>();
        grid->SetEditLink(link.get());
        grid->OnGetEditorType = [](QObject*, int c, int, TEditorType& e) {
            if (c == 1)
                e = edCustom;
        };
        grid->OnCellValidate = [this](QObject*, int, int, QString& v, bool& valid) {
            validated.push_back(v);
            valid = v != refuse;
        };
        for (int r = 1; r < 6; ++r)
            grid->SetCellEx(1, r, QStringLiteral("old%1").arg(r));
        GoTo(1, 2);
        ProcessEvents();
    }
    void TearDown() override
    {
        grid->SetEditLink(nullptr);
        GridFixture::TearDown();
        link.reset();
    }
    bool LinkShown() { return link->edit && link->edit->isVisible(); }
    void OpenWithF2()
    {
        Key(Qt::Key_F2);
        ProcessEvents();
    }
};

TEST_F(LinkGrid, TypingOpensTheLinkWithTheCharacterAndEnterCommitsThroughValidation)
{
    Type(QStringLiteral("n"));
    ProcessEvents();
    ASSERT_TRUE(LinkShown());
    EXPECT_EQ(FocusWidget(), link->edit);
    EXPECT_EQ(link->Grid(), grid);
    EXPECT_EQ(link->EditCell(), Point(1, 2));
    Type(QStringLiteral("ew"));
    EXPECT_EQ(link->edit->Text(), QStringLiteral("old2new"));
    int done = 0;
    grid->OnEditingDone = [&](QObject*) { ++done; };
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("old2new"));
    EXPECT_FALSE(LinkShown());
    EXPECT_EQ(done, 1);
    ASSERT_FALSE(validated.empty());
    EXPECT_EQ(validated.back(), QStringLiteral("old2new"));
    EXPECT_FALSE(grid->EditMode());
}

struct LinkKeyCase
{
    const char* why;
    Qt::Key key;
    bool wantUpDown;
    bool staysInControl;
    int rowAfter;
};

void PrintTo(const LinkKeyCase& c, std::ostream* os) { *os << c.why; }

struct LinkKeys : LinkGrid, ::testing::WithParamInterface<LinkKeyCase>
{
};

TEST_P(LinkKeys, KeysTheLinkDoesNotWantCommitAndMoveTheGrid)
{
    const LinkKeyCase& c = GetParam();
    link->SetWantKeyUpDown(c.wantUpDown);
    OpenWithF2();
    ASSERT_TRUE(LinkShown());
    link->edit->SetText(QStringLiteral("typed"));
    Key(c.key);
    ProcessEvents();
    EXPECT_EQ(LinkShown(), c.staysInControl);
    EXPECT_EQ(grid->Row(), c.rowAfter);
    if (c.staysInControl) {
        EXPECT_EQ(FocusWidget(), link->edit);
        EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("old2"));
    } else {
        EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("typed"));
        EXPECT_EQ(FocusWidget(), grid);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EditLink, LinkKeys,
    ::testing::Values(LinkKeyCase{"Down kept by a link that wants up and down", Qt::Key_Down, true, true, 2},
                      LinkKeyCase{"Up kept by a link that wants up and down", Qt::Key_Up, true, true, 2},
                      LinkKeyCase{"Down without the wish commits and moves down", Qt::Key_Down, false, false, 3},
                      LinkKeyCase{"Up without the wish commits and moves up", Qt::Key_Up, false, false, 1},
                      LinkKeyCase{"Home is the control's even without WantKeyHomeEnd", Qt::Key_Home, false, true, 2},
                      LinkKeyCase{"End leaves the control without WantKeyHomeEnd", Qt::Key_End, false, false, 2},
                      LinkKeyCase{"PgDn leaves the control and only commits", Qt::Key_PageDown, false, false, 2}));

TEST_F(LinkGrid, EscapeRestoresTheTextFromBeforeTheEditAndStays)
{
    OpenWithF2();
    ASSERT_TRUE(LinkShown());
    link->edit->SetText(QStringLiteral("changed"));
    Key(Qt::Key_Escape);
    ProcessEvents();
    EXPECT_FALSE(LinkShown());
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("old2"));
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->Col(), 1);
}

TEST_F(LinkGrid, ARefusedValueAfterEnterOpensTheLinkAgainOnTheSameCell)
{
    refuse = QStringLiteral("bad");
    OpenWithF2();
    ASSERT_TRUE(LinkShown());
    link->edit->SetText(QStringLiteral("bad"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_TRUE(LinkShown());
    EXPECT_TRUE(grid->EditMode());
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(FocusWidget(), link->edit);
    EXPECT_NE(grid->Cells(1, 2), QStringLiteral("bad"));
    // A good value then goes in and moves on.
    link->edit->SetText(QStringLiteral("good"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("good"));
    EXPECT_FALSE(LinkShown());
}

TEST_F(LinkGrid, TabWithGoTabsCommitsAndReopensOnTheNextCellOnlyWithTabToNextAtEnd)
{
    grid->SetOptions(grid->Options() | goTabs);
    grid->OnGetEditorType = [](QObject*, int c, int, TEditorType& e) {
        if (c >= 1)
            e = edCustom;
    };
    OpenWithF2();
    ASSERT_TRUE(LinkShown());
    link->edit->SetText(QStringLiteral("one"));
    Key(Qt::Key_Tab);
    ProcessEvents();
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("one"));
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_FALSE(LinkShown());
    EXPECT_EQ(FocusWidget(), grid);

    grid->Navigation().SetTabToNextAtEnd(true);
    OpenWithF2();
    ASSERT_TRUE(LinkShown());
    link->edit->SetText(QStringLiteral("two"));
    Key(Qt::Key_Tab);
    ProcessEvents();
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("two"));
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_TRUE(LinkShown());
    EXPECT_EQ(link->EditCell(), Point(2, 2));
}

TEST_F(LinkGrid, APopupLinkOpensItsFormAndEnterStoresTheValue)
{
    link->SetEditStyle(esPopup);
    link->SetPopupWidth(120);
    link->SetPopupHeight(30);
    OpenWithF2();
    ASSERT_TRUE(link->PopupForm());
    EXPECT_TRUE(link->PopupForm()->isVisible());
    ASSERT_TRUE(link->edit);
    EXPECT_EQ(link->edit->parentWidget(), link->PopupForm());
    EXPECT_EQ(link->edit->Text(), QStringLiteral("old2"));
    EXPECT_EQ(link->PopupForm()->width(), 120);
    link->edit->setFocus(Qt::OtherFocusReason);
    link->edit->SetText(QStringLiteral("popped"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("popped"));
    EXPECT_FALSE(link->PopupForm()->isVisible());
    EXPECT_FALSE(grid->EditMode());
}

TEST_F(LinkGrid, ACustomCellWithoutALinkShowsNothingAndKeepsTheCell)
{
    grid->SetEditLink(nullptr);
    OpenWithF2();
    EXPECT_FALSE(grid->EditMode());
    EXPECT_FALSE(EditorShown());
    Type(QStringLiteral("x"));
    ProcessEvents();
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("old2"));
}

TEST_F(LinkGrid, AFreedLinkIsForgottenByTheGrid)
{
    link.reset();
    EXPECT_EQ(grid->EditLink(), nullptr);
    OpenWithF2();
    EXPECT_FALSE(grid->EditMode());
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("old2"));
}

// The column grid hands each column's link to the grid when its cell opens.
struct ColumnLinkGrid : edittest::GridFixture
{
    TExStringGrid* MakeGrid(QWidget* parent) override { return new VOruVizizaZezo(parent); }
};

TEST_F(ColumnLinkGrid, AColumnsEditLinkEditsItsCells)
{
    auto* cg = static_cast<VOruVizizaZezo*>(grid);
    EditLinkUnderTest link;
    cg->Columns().GetItem(2)->SetEditor(edCustom);
    cg->Columns().GetItem(2)->SetEditLink(&link);
    cg->SetCellEx(2, 1, QStringLiteral("col"));
    GoTo(2, 1);
    Key(Qt::Key_F2);
    ProcessEvents();
    ASSERT_TRUE(link.edit && link.edit->isVisible());
    EXPECT_EQ(link.edit->Text(), QStringLiteral("col"));
    link.edit->SetText(QStringLiteral("linked"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_EQ(cg->Cells(2, 1), QStringLiteral("linked"));
    cg->Columns().GetItem(2)->SetEditLink(nullptr);
    cg->SetEditLink(nullptr);
}

// ---------------------------------------------------------------------------
// Rich edit
// ---------------------------------------------------------------------------

TEST(RichEditOffsets, EachOffsetIsReadBackOnlyAfterItWasSet)
{
    QWidget host;
    TExStringGrid grid(&host);
    TExRichEdit* rich = grid.RichEdit();
    rich->SetText(QStringLiteral("H2O"));
    QTextCursor c = rich->textCursor();
    c.setPosition(1);
    c.setPosition(2, QTextCursor::KeepAnchor);
    rich->setTextCursor(c);
    EXPECT_TRUE(rich->IsSelNormal());
    struct Step
    {
        void (TExRichEdit::*set)();
        bool normal, sub, super;
    };
    const Step steps[] = {{&TExRichEdit::SelSuperscript, false, false, true},
                          {&TExRichEdit::SelSubscript, false, true, false},
                          {&TExRichEdit::SelNormal, true, false, false}};
    for (const Step& s : steps) {
        (rich->*s.set)();
        EXPECT_EQ(rich->IsSelNormal(), s.normal);
        EXPECT_EQ(rich->IsSelSubscript(), s.sub);
        EXPECT_EQ(rich->IsSelSuperscript(), s.super);
    }
}

struct RichGrid : edittest::GridFixture
{
    void SetUp() override
    {
        GridFixture::SetUp();
        grid->SetWordWrap(false);
        grid->OnGetEditorType = [](QObject*, int c, int, TEditorType& e) {
            if (c == 2)
                e = edRichEdit;
        };
        grid->SetCellEx(2, 1, QStringLiteral("{\\rtf1\\ansi Hello}"));
        GoTo(2, 1);
        ProcessEvents();
    }
};

TEST_F(RichGrid, TheRichEditOpensOnTheCellsTextAndLeavingItStoresRichText)
{
    int done = 0;
    grid->OnEditingDone = [&](QObject*) { ++done; };
    Key(Qt::Key_F2);
    ProcessEvents();
    TExRichEdit* rich = grid->InplaceRichEdit();
    ASSERT_TRUE(rich->isVisible());
    EXPECT_EQ(rich->Text(), QStringLiteral("Hello"));
    EXPECT_EQ(FocusWidget(), rich);
    // Everything is selected: typing replaces it.
    Type(QStringLiteral("Bye"));
    LeaveEditor();
    EXPECT_FALSE(rich->isVisible());
    const QString cell = grid->Cells(2, 1);
    EXPECT_TRUE(cell.startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_EQ(RTFToPlainText(cell), QStringLiteral("Bye"));
    EXPECT_EQ(done, 1);
}

TEST_F(RichGrid, UpAndDownLeaveASingleLineRichCell)
{
    Key(Qt::Key_F2);
    ProcessEvents();
    ASSERT_TRUE(grid->InplaceRichEdit()->isVisible());
    Type(QStringLiteral("X"));
    Key(Qt::Key_Down);
    ProcessEvents();
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_FALSE(grid->InplaceRichEdit()->isVisible());
    EXPECT_EQ(RTFToPlainText(grid->Cells(2, 1)), QStringLiteral("X"));
}

TEST_F(RichGrid, TypingLinesGrowsTheRowButNeverPastTheGrid)
{
    grid->SizeWhileTyping().SetHeight(true);
    grid->SetMultilinecells(true);
    int resized = 0;
    grid->OnEndRowSize = [&](QObject*, int) { ++resized; };
    const int before = grid->RowHeights(1);
    Key(Qt::Key_F2);
    ProcessEvents();
    ASSERT_TRUE(grid->InplaceRichEdit()->isVisible());
    for (int i = 0; i < 4; ++i) {
        Key(Qt::Key_Return);
        Type(QStringLiteral("line"));
    }
    ProcessEvents();
    const int grown = grid->RowHeights(1);
    EXPECT_GT(grown, before);
    EXPECT_GT(resized, 0);
    for (int i = 0; i < 60; ++i) {
        Key(Qt::Key_Return);
        Type(QStringLiteral("more"));
    }
    ProcessEvents();
    const TRect cell = grid->TBaseGrid::CellRect(2, 1);
    EXPECT_LE(cell.Top + grid->RowHeights(1), grid->ClientHeight() + 10);
    grid->OnEndRowSize = nullptr;
}

// ---------------------------------------------------------------------------
// Header editors
// ---------------------------------------------------------------------------

struct HeaderGrid : edittest::GridFixture
{
    std::vector<QString> events;
    QString refuse = QStringLiteral("\x01");

    void SetUp() override
    {
        GridFixture::SetUp();
        grid->SetCellEx(1, 0, QStringLiteral("Head"));
        grid->SetCellEx(2, 0, QStringLiteral("Other"));
        grid->MouseActions().SetFixedRowsEdit(fceLeftClick);
        grid->OnCellValidate = [this](QObject*, int c, int r, QString& v, bool& valid) {
            events.push_back(QStringLiteral("validate %1,%2 %3").arg(c).arg(r).arg(v));
            valid = v != refuse;
        };
        grid->OnEditingDone = [this](QObject*) {
            events.push_back(QStringLiteral("done, cell holds %1").arg(grid->Cells(1, 0)));
        };
    }
    void TearDown() override
    {
        grid->OnFixedEdit = nullptr;
        GridFixture::TearDown();
    }
};

TEST_F(HeaderGrid, AClickOpensTheEditEnterKeepsItAndLeavingWritesTheHeader)
{
    PressCell(1, 0);
    ProcessEvents();
    TGridTransEdit* edit = grid->EditTrans();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->Text(), QStringLiteral("Head"));
    EXPECT_EQ(FocusWidget(), edit);
    edit->selectAll();
    Type(QStringLiteral("Name"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(grid->Cells(1, 0), QStringLiteral("Head"));
    LeaveEditor();
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(grid->Cells(1, 0), QStringLiteral("Name"));
    const std::vector<QString> expected{QStringLiteral("validate 1,0 Name"),
                                        QStringLiteral("done, cell holds Head")};
    EXPECT_EQ(events, expected);
}

TEST_F(HeaderGrid, ARefusedHeaderStaysOpenAndNoOtherHeaderEditorOpens)
{
    refuse = QStringLiteral("bad");
    PressCell(1, 0);
    ProcessEvents();
    TGridTransEdit* edit = grid->EditTrans();
    ASSERT_TRUE(edit->isVisible());
    edit->SetText(QStringLiteral("bad"));
    PressCell(2, 0);
    ProcessEvents();
    EXPECT_EQ(FocusWidget(), edit);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->FCol, 1);
    EXPECT_EQ(grid->FixedColEdit(), 1);
    EXPECT_EQ(grid->Cells(1, 0), QStringLiteral("Head"));
    EXPECT_EQ(grid->Cells(2, 0), QStringLiteral("Other"));
}

TEST_F(HeaderGrid, TheFixedEditHandlerChoosesAPickListWithItsValues)
{
    grid->SetCellEx(1, 0, QStringLiteral("B"));
    grid->OnFixedEdit = [](QObject*, int, int, TGridFixedCellEditor& kind, QStringList& values) {
        kind = fceComboList;
        values = {QStringLiteral("A"), QStringLiteral("B")};
    };
    PressCell(1, 0);
    ProcessEvents();
    TGridTransCombo* combo = grid->ComboTrans();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_FALSE(grid->EditTrans()->isVisible());
    EXPECT_EQ(combo->Style(), csDropDownList);
    EXPECT_EQ(combo->Items(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(combo->Text(), QStringLiteral("B"));
    Key(Qt::Key_Up);
    LeaveEditor();
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ(grid->Cells(1, 0), QStringLiteral("A"));
}

TEST_F(HeaderGrid, ACanEditHandlerRefusingMeansNoEditor)
{
    grid->OnCanEditCell = [](QObject*, int, int, bool& can) { can = false; };
    PressCell(1, 0);
    ProcessEvents();
    EXPECT_FALSE(grid->EditTrans()->isVisible());
    EXPECT_FALSE(grid->ComboTrans()->isVisible());
}

// ---------------------------------------------------------------------------
// Radio groups
// ---------------------------------------------------------------------------

struct RadioGrid : edittest::GridFixture
{
    std::vector<int> clicks;
    int itemHeight = 16;

    void SetUp() override
    {
        GridFixture::SetUp();
        grid->SetRowHeights(2, 90);
        grid->OnRadioClick = [this](QObject*, int, int, int idx) { clicks.push_back(idx); };
        TCanvas& c = grid->Canvas();
        c.SetFont(grid->Font());
        itemHeight = std::max(16, c.TextHeight(QStringLiteral("gh")));
    }
    void TearDown() override
    {
        grid->OnRadioClick = nullptr;
        GridFixture::TearDown();
    }
    // A press on vertical item i of the group in cell (1, 2).
    void PressItem(int i)
    {
        const TRect r = grid->TBaseGrid::CellRect(1, 2);
        QWidget* surface = grid->ClientSurface();
        const QPoint at(r.Left + 6, r.Top + i * itemHeight + itemHeight / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(surface, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, surface->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(surface, &release);
        ProcessEvents();
    }
};

TEST_F(RadioGrid, APressChecksTheItemUnderItAndMakesTheCellCurrent)
{
    QStringList* items = grid->CreateRadio(1, 2, false, 0);
    *items = {QStringLiteral("A"), QStringLiteral("BB"), QStringLiteral("C")};
    PressItem(2);
    int idx = -1;
    ASSERT_TRUE(grid->GetRadioIdx(1, 2, idx));
    EXPECT_EQ(idx, 2);
    EXPECT_EQ(clicks, std::vector<int>{2});
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 2);
    // Below the last item nothing changes.
    PressItem(4);
    ASSERT_TRUE(grid->GetRadioIdx(1, 2, idx));
    EXPECT_EQ(idx, 2);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(RadioGrid, HorizontalItemsAreHitStrictlyInsideTheirSpan)
{
    QStringList* items = grid->CreateRadio(1, 2, true, 0);
    *items = {QStringLiteral("A"), QStringLiteral("BB"), QStringLiteral("C")};
    TCanvas& c = grid->Canvas();
    c.SetFont(grid->Font());
    const int g = 16; // the default control style draws 16-pixel glyphs
    const int start2 = c.TextWidth(QStringLiteral("A")) + g + c.TextWidth(QStringLiteral("BB")) + g;
    const int end2 = start2 + c.TextWidth(QStringLiteral("C")) + g;
    struct Case
    {
        int x;
        int expected;
    };
    const Case cases[] = {{start2, 0}, {start2 + 1, 2}, {end2 - 1, 2}, {end2, 2}};
    int idx = -1;
    grid->SetRadioIdx(1, 2, 0);
    for (const Case& k : cases) {
        grid->ClickRadioGroup(1, 2, k.x, 5);
        ASSERT_TRUE(grid->GetRadioIdx(1, 2, idx));
        EXPECT_EQ(idx, k.expected) << "x = " << k.x;
    }
    EXPECT_EQ(clicks, (std::vector<int>{2, 2}));
}

TEST_F(RadioGrid, AGroupWithoutIndexKeepsTheChosenItemTextAtEveryClick)
{
    QStringList* items = grid->CreateRadio(1, 2, false, -1);
    *items = {QStringLiteral("A"), QStringLiteral("BB"), QStringLiteral("C")};
    PressItem(1);
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("BB"));
    // The second choice replaces the first in the cell.
    PressItem(2);
    EXPECT_EQ(grid->Cells(1, 2), QStringLiteral("C"));
    EXPECT_EQ(clicks, (std::vector<int>{1, 2}));
}

// ---------------------------------------------------------------------------
// Form fields
// ---------------------------------------------------------------------------

struct FormGrid : edittest::GridFixture
{
    std::vector<QString> done;

    void SetUp() override
    {
        GridFixture::SetUp();
        grid->SetColWidths(1, 260);
        grid->SetRowHeights(1, 40);
        grid->OnControlEditDone = [this](QObject*, int r, int c, const QString& id, const QString& type,
                                         const QString& v) {
            done.push_back(QStringLiteral("%1,%2 %3 %4 %5").arg(c).arg(r).arg(id, type, v));
        };
    }
    void TearDown() override
    {
        grid->OnControlEditDone = nullptr;
        grid->OnControlComboList = nullptr;
        GridFixture::TearDown();
    }
    void OpenFirstField(const QString& html)
    {
        grid->SetCellEx(1, 1, html);
        GoTo(1, 1);
        ProcessEvents();
        Key(Qt::Key_F2);
        ProcessEvents();
    }
};

TEST_F(FormGrid, TabGoesFromTheFirstEditFieldToTheSecondAndLeavesAfterTheLast)
{
    OpenFirstField(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"a\" VALUE=\"one\" WIDTH=\"80\"> "
                                  "<CONTROL TYPE=\"EDIT\" ID=\"b\" VALUE=\"two\" WIDTH=\"80\">"));
    TControlEdit* edit = grid->ControlEditor();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(grid->CtrlID(), QStringLiteral("a"));
    EXPECT_EQ(edit->Text(), QStringLiteral("one"));
    EXPECT_EQ(FocusWidget(), edit);
    edit->selectAll();
    Type(QStringLiteral("1"));
    Key(Qt::Key_Tab);
    ProcessEvents();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(grid->CtrlID(), QStringLiteral("b"));
    EXPECT_EQ(edit->Text(), QStringLiteral("two"));
    edit->selectAll();
    Type(QStringLiteral("2"));
    Key(Qt::Key_Tab);
    ProcessEvents();
    EXPECT_FALSE(edit->isVisible());
    EXPECT_FALSE(grid->CtrlEditing());
    EXPECT_EQ(FocusWidget(), grid);
    QString a, b;
    ASSERT_TRUE(HTMLControlValue(grid->Cells(1, 1), QStringLiteral("a"), a));
    ASSERT_TRUE(HTMLControlValue(grid->Cells(1, 1), QStringLiteral("b"), b));
    EXPECT_EQ(a, QStringLiteral("1"));
    EXPECT_EQ(b, QStringLiteral("2"));
    const std::vector<QString> expected{QStringLiteral("1,1 a EDIT 1"), QStringLiteral("1,1 b EDIT 2")};
    EXPECT_EQ(done, expected);
}

TEST_F(FormGrid, PasswordShowsStarsAndMaskUsesTheFieldsProp)
{
    OpenFirstField(QStringLiteral("<CONTROL TYPE=\"PASSWORD\" ID=\"p\" VALUE=\"\" WIDTH=\"80\"> "
                                  "<CONTROL TYPE=\"MASK\" ID=\"m\" VALUE=\"\" WIDTH=\"80\" PROP=\"99-99\">"));
    TControlEdit* edit = grid->ControlEditor();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit->PasswordChar(), QChar(u'*'));
    Type(QStringLiteral("se"));
    Key(Qt::Key_Tab);
    ProcessEvents();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(grid->CtrlID(), QStringLiteral("m"));
    EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
    EXPECT_EQ(edit->EditMask(), QStringLiteral("99-99"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_FALSE(edit->isVisible());
    QString p;
    ASSERT_TRUE(HTMLControlValue(grid->Cells(1, 1), QStringLiteral("p"), p));
    EXPECT_EQ(p, QStringLiteral("se"));
}

TEST_F(FormGrid, AComboFieldWithoutAListHandlerIsEditableWithEightItemsAndItsValue)
{
    OpenFirstField(QStringLiteral("<CONTROL TYPE=\"COMBO\" ID=\"c\" VALUE=\"Paris\" WIDTH=\"100\">"));
    TControlCombo* combo = grid->ControlCombo();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->Style(), csDropDown);
    EXPECT_EQ(combo->DropDownCount(), 8);
    EXPECT_EQ(combo->Text(), QStringLiteral("Paris"));
    combo->SetDroppedDown(false);
    combo->SetText(QStringLiteral("Rome"));
    LeaveEditor();
    EXPECT_FALSE(combo->isVisible());
    QString v;
    ASSERT_TRUE(HTMLControlValue(grid->Cells(1, 1), QStringLiteral("c"), v));
    EXPECT_EQ(v, QStringLiteral("Rome"));
}

TEST_F(FormGrid, AComboListHandlerFillsAPickListAndChoosesTheValue)
{
    grid->OnControlComboList = [](QObject*, int, int, const QString&, const QString&, const QString&,
                                  QStringList& values, bool& edit, int& drop) {
        values = {QStringLiteral("Oslo"), QStringLiteral("Paris")};
        edit = false;
        drop = 3;
    };
    OpenFirstField(QStringLiteral("<CONTROL TYPE=\"COMBO\" ID=\"c\" VALUE=\"Paris\" WIDTH=\"100\">"));
    TControlCombo* combo = grid->ControlCombo();
    ASSERT_TRUE(combo->isVisible());
    EXPECT_EQ(combo->Style(), csDropDownList);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->DropDownCount(), 3);
}

TEST_F(FormGrid, AFieldGoneFromTheCellLeavesTheTextAsItIs)
{
    OpenFirstField(QStringLiteral("<CONTROL TYPE=\"EDIT\" ID=\"a\" VALUE=\"one\" WIDTH=\"80\">"));
    ASSERT_TRUE(grid->CtrlEditing());
    grid->SetCellEx(1, 1, QStringLiteral("plain"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_FALSE(grid->CtrlEditing());
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("plain"));
}

// ---------------------------------------------------------------------------
// Spin edit: the keypad's full stop
// ---------------------------------------------------------------------------

struct KeypadCase
{
    const char* why;
    bool excelStyle;
    Qt::KeyboardModifiers mods;
    const char* expected;
};

void PrintTo(const KeypadCase& c, std::ostream* os) { *os << c.why; }

struct SpinKeypad : ::testing::TestWithParam<KeypadCase>
{
    SpinKeypad()
    {
        // A decimal comma, so that the keypad's full stop means something else.
        SetRegionalSettingsOverride(TRegionalSettings{QChar(u'.'), QChar(u','), QChar(u'/'), QChar(u':'),
                                                      QStringLiteral("dd/MM/yyyy")});
    }
    ~SpinKeypad() override { SetRegionalSettingsOverride(std::nullopt); }
};

TEST_P(SpinKeypad, TheKeypadFullStopTypesTheLocaleSeparatorOnlyWhenAskedFor)
{
    const KeypadCase& c = GetParam();
    QWidget host;
    auto* spin = new TEsgSpinEdit(&host);
    spin->SetSpinType(sptFloat);
    spin->SetExcelStyleDecimalSeparator(c.excelStyle);
    spin->SetText(QStringLiteral("1"));
    spin->setCursorPosition(1);
    host.show();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Period, c.mods, QStringLiteral("."));
    QCoreApplication::sendEvent(spin, &press);
    EXPECT_EQ(spin->Text(), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    EsgSpin, SpinKeypad,
    ::testing::Values(KeypadCase{"keypad full stop becomes the decimal comma", true, Qt::KeypadModifier, "1,"},
                      KeypadCase{"the main keyboard's full stop stays a full stop (refused)", true, Qt::NoModifier,
                                 "1"},
                      KeypadCase{"without the setting the keypad is not translated", false, Qt::KeypadModifier,
                                 "1"}));

void LeaveEditor()
{
    QWidget* w = FocusWidget();
    while (w && !dynamic_cast<TExStringGrid*>(w))
        w = w->parentWidget();
    if (w)
        w->setFocus(Qt::MouseFocusReason);
    ProcessEvents();
}

} // namespace
