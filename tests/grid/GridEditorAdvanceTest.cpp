// The edit-with-button editor's cursor walk, paste and grid key events, the
// spin editor's themed buttons, the footer's canvas, and an Enter in the
// text editor that advances onto a check-box cell.
#include "ExGridInputTestSupport.h"

#include "grid/ExGridFooter.h"
#include "grid/ExGrid_Editors.h"
#include "platform/Themes.h"
#include "widgets/ExXPVS.h"

#include <QClipboard>
#include <QCursor>
#include <QLineEdit>
#include <QGuiApplication>

using namespace platform;
using namespace edittest;

namespace {

// Column 2 edits with the edit with a button, column 3 holds check boxes.
struct ButtonEditFixture : GridFixture
{
    TEditorType kind = edEditBtn;

    void SetUp() override
    {
        GridFixture::SetUp();
        grid->OnGetEditorType = [this](QObject*, int c, int, TEditorType& e) {
            if (c == 2)
                e = kind;
        };
    }
    void TearDown() override
    {
        grid->OnClipboardPaste = nullptr;
        grid->OnClipboardBeforePasteCell = nullptr;
        grid->OnKeyUp = nullptr;
        grid->OnFooterPaint = nullptr;
        GridFixture::TearDown();
    }
    TGridEditBtn* Open(int col, int row, const QString& text, int caret)
    {
        grid->SetCells(col, row, text);
        GoTo(col, row);
        Key(Qt::Key_F2);
        ProcessEvents();
        TGridEditBtn* edit = grid->EditBtn();
        if (edit->isVisible()) {
            edit->deselect();
            edit->setCursorPosition(caret);
        }
        return edit;
    }
};

// ---------------------------------------------------------------------------
// Cursor walk
// ---------------------------------------------------------------------------

struct WalkCase
{
    const char* name;
    bool walkEditor;
    int caret;
    Qt::Key key;
    int col; // the current column afterwards
    bool editing; // the button editor is still open on column 2
};

class ButtonEditWalk : public ButtonEditFixture, public ::testing::WithParamInterface<WalkCase>
{
};

TEST_P(ButtonEditWalk, LeavesOnlyFromTheEndTheCaretStoodAt)
{
    const WalkCase& k = GetParam();
    grid->Navigation().SetCursorWalkEditor(k.walkEditor);
    grid->Navigation().SetCursorWalkAlwaysEdit(false);
    TGridEditBtn* edit = Open(2, 1, QStringLiteral("abc"), k.caret);
    ASSERT_TRUE(edit->isVisible());
    Key(k.key);
    ProcessEvents();
    EXPECT_EQ(grid->Col(), k.col);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(edit->isVisible(), k.editing);
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("abc"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ButtonEditWalk,
    ::testing::Values(
        WalkCase{"RightAtTheEndMovesOn", true, 3, Qt::Key_Right, 3, false},
        WalkCase{"LeftAtTheStartMovesBack", true, 0, Qt::Key_Left, 1, false},
        // The caret reached the end with this key: it stays in the text.
        WalkCase{"RightOntoTheEndStays", true, 2, Qt::Key_Right, 2, true},
        WalkCase{"LeftOntoTheStartStays", true, 1, Qt::Key_Left, 2, true},
        WalkCase{"WithoutTheWalkOptionTheCaretStays", false, 3, Qt::Key_Right, 2, true}),
    inputtest::CaseName());

// With CursorWalkAlwaysEdit the editor opens on the cell reached.
TEST_F(ButtonEditFixture, WalkOpensTheNextEditorWhenAskedTo)
{
    grid->Navigation().SetCursorWalkEditor(true);
    grid->Navigation().SetCursorWalkAlwaysEdit(true);
    TGridEditBtn* edit = Open(2, 1, QStringLiteral("abc"), 0);
    Type(QStringLiteral("x"));
    Key(Qt::Key_Home);
    Key(Qt::Key_Left);
    ProcessEvents();
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("xabc")) << "the text typed is kept";
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_TRUE(EditorShown()) << "the text editor of column 1";
}

// ---------------------------------------------------------------------------
// Paste
// ---------------------------------------------------------------------------

TEST_F(ButtonEditFixture, PasteGoesThroughTheGridsClipboardEvents)
{
    std::vector<QString> seen;
    bool allowPaste = true;
    grid->OnClipboardPaste = [&](QObject* sender, bool& allow) {
        seen.push_back(sender == grid->EditBtn() ? QStringLiteral("paste editor") : QStringLiteral("paste other"));
        allow = allowPaste;
    };
    grid->OnClipboardBeforePasteCell = [&](QObject*, int col, int row, QString& value, bool& allow) {
        seen.push_back(QStringLiteral("cell %1,%2 %3").arg(col).arg(row).arg(value.toHtmlEscaped()));
        value = value.toUpper();
        allow = true;
    };
    QGuiApplication::clipboard()->setText(QStringLiteral("xy\r\n"));
    TGridEditBtn* edit = Open(2, 1, QStringLiteral("ab"), 1);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("aXYb")) << "the line break at the end is dropped";
    EXPECT_EQ(edit->cursorPosition(), 3);
    EXPECT_FALSE(edit->hasSelectedText());
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("paste editor"), QStringLiteral("cell 2,1 xy\r\n")}));
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("aXYb")) << "the cell's edit text follows";

    // Replacing a selection leaves the pasted text selected.
    edit->setSelection(0, 2);
    QGuiApplication::clipboard()->setText(QStringLiteral("p\r\nq"));
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("P\r\nQYb")) << "a line break inside the text stays";
    EXPECT_EQ(edit->selectedText(), QStringLiteral("P\r\nQ"));

    // Refused by the grid: nothing changes.
    allowPaste = false;
    seen.clear();
    edit->setCursorPosition(0);
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->Text(), QStringLiteral("P\r\nQYb"));
    EXPECT_EQ(seen, std::vector<QString>{QStringLiteral("paste editor")});
}

// ---------------------------------------------------------------------------
// The grid's key events
// ---------------------------------------------------------------------------

TEST_F(ButtonEditFixture, TheGridSeesKeysAndCharactersFirst)
{
    std::vector<QString> seen;
    grid->OnKeyDown = [&](QObject* sender, int& key, TShiftState) {
        if (sender == grid)
            seen.push_back(QStringLiteral("down %1").arg(key));
        if (key == 'Z')
            key = 0;
    };
    grid->OnKeyPress = [&](QObject* sender, QChar& c) {
        if (sender == grid)
            seen.push_back(QStringLiteral("press %1").arg(c));
        if (c == u'a')
            c = u'b';
    };
    grid->OnKeyUp = [&](QObject* sender, int& key, TShiftState) {
        if (sender == grid)
            seen.push_back(QStringLiteral("up %1").arg(key));
    };
    TGridEditBtn* edit = Open(2, 1, QString(), 0);
    seen.clear();
    Type(QStringLiteral("a"));
    Type(QStringLiteral("z"));
    EXPECT_EQ(edit->Text(), QStringLiteral("b")) << "changed by OnKeyPress; z dropped by OnKeyDown";
    EXPECT_EQ(seen, (std::vector<QString>{QStringLiteral("down 65"), QStringLiteral("press a"), QStringLiteral("up 65"),
                                          QStringLiteral("down 90"), QStringLiteral("up 90")}));
}

// A refused value stays in the editor, all selected, and the kind of editor
// the grid thinks open is the one shown.
TEST_F(ButtonEditFixture, ARefusedValueKeepsTheEditorAndItsKind)
{
    grid->OnCellValidate = [this](QObject*, int, int, QString& value, bool& valid) {
        valid = value != QStringLiteral("bad");
        if (!valid) {
            value = QStringLiteral("fixed");
            grid->SetEditControl(edNormal);
        }
    };
    TGridEditBtn* edit = Open(2, 1, QString(), 0);
    Type(QStringLiteral("bad"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->Text(), QStringLiteral("fixed"));
    EXPECT_EQ(edit->selectedText(), QStringLiteral("fixed"));
    EXPECT_EQ(grid->EditControl(), edEditBtn);
}

// ---------------------------------------------------------------------------
// The unit editor's numeric kinds filter as the plain ones
// ---------------------------------------------------------------------------

TEST_F(ButtonEditFixture, NumericUnitKindsFilterAsTheEditWithButton)
{
    SetRegionalSettingsOverride(TRegionalSettings{QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'),
                                                  QStringLiteral("dd/MM/yyyy")});
    kind = edFloatUnitEditBtn;
    grid->SetCells(2, 1, QString());
    GoTo(2, 1);
    Key(Qt::Key_F2);
    ProcessEvents();
    TGridUnitEditBtn* edit = grid->UnitEditBtn();
    ASSERT_TRUE(edit->isVisible());
    edit->SetText(QString());
    Type(QStringLiteral("-1,2.5.x-"));
    EXPECT_EQ(edit->Text(), QStringLiteral("-12.5")) << "thousand separator, second point, letter, late minus refused";
    SetRegionalSettingsOverride(std::nullopt);
}

// ---------------------------------------------------------------------------
// Themed spin buttons
// ---------------------------------------------------------------------------

TEST_F(ButtonEditFixture, TheSpinEditorTakesTheGridsThemedFlag)
{
    ASSERT_TRUE(ExXPVS::Bound());
    const bool was = ThemesActive();
    for (const bool active : {true, false}) {
        SetThemesActive(active);
        TExStringGrid other(host.get());
        TGridSpin* spin = other.SpinEdit();
        EXPECT_EQ(spin->IsWinXP(), active);
        EXPECT_EQ(spin->UpButton()->IsWinXP(), active);
        EXPECT_EQ(spin->DownButton()->IsWinXP(), active);
    }
    SetThemesActive(was);
}

// ---------------------------------------------------------------------------
// The footer's canvas
// ---------------------------------------------------------------------------

TEST_F(ButtonEditFixture, FooterCanvasDrawsOnTheFooterPanel)
{
    grid->FloatingFooter().SetFooterStyle(fsCustomPaint);
    grid->FloatingFooter().SetVisible(true);
    grid->OnFooterPaint = [this](QObject*, int, TCanvas&, const TRect& r) {
        TCanvas& c = grid->FooterCanvas();
        c.Brush().SetStyle(bsSolid);
        c.Brush().SetColor(clRed);
        c.FillRect(r);
    };
    TFooterPanel* panel = grid->FloatingFooter().Panel();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(&grid->FooterCanvas(), &panel->Canvas());
    const QImage shot = panel->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(Qt::red));
}

// ---------------------------------------------------------------------------
// Enter in the text editor onto a check-box cell
// ---------------------------------------------------------------------------

TEST_F(ButtonEditFixture, EnterInTheTextEditorOntoACheckBoxCellTogglesIt)
{
    grid->Navigation().SetAdvanceOnEnter(true);
    grid->Navigation().SetAdvanceDirection(adLeftRight);
    grid->AddCheckBox(4, 1, false, false);
    std::vector<QString> clicks;
    grid->OnCheckBoxClick = [&](QObject*, int col, int row, bool state) {
        clicks.push_back(QStringLiteral("%1,%2 %3").arg(col).arg(row).arg(state));
    };
    GoTo(3, 1);
    Key(Qt::Key_F2);
    ASSERT_TRUE(EditorShown());
    Type(QStringLiteral("ab"));
    Key(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    ProcessEvents();
    EXPECT_EQ(grid->Cells(3, 1), QStringLiteral("ab"));
    EXPECT_EQ(grid->Col(), 4);
    EXPECT_TRUE(grid->IsChecked(4, 1));
    EXPECT_EQ(clicks, std::vector<QString>{QStringLiteral("4,1 1")});
}

} // namespace

namespace {

// The unit editor advances by itself on Enter; a check box reached reacts
// as after the check box's own Enter.
TEST_F(ButtonEditFixture, EnterInTheUnitEditorOntoACheckBoxCellTogglesIt)
{
    kind = edUnitEditBtn;
    grid->Navigation().SetAdvanceOnEnter(true);
    grid->Navigation().SetAdvanceDirection(adLeftRight);
    grid->AddCheckBox(3, 1, false, false);
    grid->SetCells(2, 1, QStringLiteral("5"));
    GoTo(2, 1);
    Key(Qt::Key_F2);
    ProcessEvents();
    TGridUnitEditBtn* edit = grid->UnitEditBtn();
    ASSERT_TRUE(edit->isVisible());
    edit->SetText(QStringLiteral("7"));
    Key(Qt::Key_Return);
    ProcessEvents();
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("7"));
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_TRUE(grid->IsChecked(3, 1));
}

} // namespace

namespace {

// ---------------------------------------------------------------------------
// Editing begun with a click puts the caret under the mouse
// ---------------------------------------------------------------------------

TEST_F(ButtonEditFixture, AClickThatOpenedTheEditorPutsTheCaretUnderTheMouse)
{
    for (const TEditorType k : {edEditBtn, edUnitEditBtn, edSpinEdit}) {
        kind = k;
        grid->SetCells(2, 1, QStringLiteral("123456"));
        GoTo(2, 1);
        // Two characters into the text, as the click that began the edit.
        const TRect r = grid->TBaseGrid::CellRect(2, 1);
        const QPoint at(r.Left + 12, (r.Top + r.Bottom) / 2);
        QCursor::setPos(grid->ClientSurface()->mapToGlobal(at));
        grid->SetLButFlg(true);
        Key(Qt::Key_F2);
        ProcessEvents();
        auto* edit = dynamic_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(edit, nullptr) << static_cast<int>(k);
        const QPoint local = edit->mapFromGlobal(QCursor::pos());
        EXPECT_EQ(edit->cursorPosition(), edit->cursorPositionAt(local)) << static_cast<int>(k);
        EXPECT_GT(edit->cursorPosition(), 0) << static_cast<int>(k);
        EXPECT_LT(edit->cursorPosition(), 6) << static_cast<int>(k);
        EXPECT_FALSE(edit->hasSelectedText()) << static_cast<int>(k);
        EXPECT_FALSE(grid->LButFlg()) << static_cast<int>(k);
        Key(Qt::Key_Escape);
        ProcessEvents();
    }
}

} // namespace
