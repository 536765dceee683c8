// Validation of an edited cell: accepting, changing and refusing a value,
// the modified marks, the balloon tip and the change of the current cell.
#include "ExGridEditTestSupport.h"
#include "grid/ExGrid_Balloon.h"
#include "grid/ExGrid_Editors.h"

#include <vector>

using namespace platform;
using namespace edittest;

namespace {

struct ValidateFixture : GridFixture
{
    int events = 0;
    // What the handler does: nullopt keeps the typed value.
    bool valid = true;
    QString replacement;
    bool replace = false;

    void SetUp() override
    {
        GridFixture::SetUp();
        grid->SetCells(1, 1, QStringLiteral("old"));
        grid->OnCellValidate = [this](QObject*, int, int, QString& value, bool& ok) {
            ++events;
            if (replace)
                value = replacement;
            ok = valid;
        };
    }

    void EditAndType(int col, int row, const QString& text)
    {
        GoTo(col, row);
        Key(Qt::Key_F2);
        ASSERT_TRUE(EditorShown());
        grid->InplaceEditor()->SelectAll();
        Type(text);
    }
};

// Records what a change listener sees in the cell when it is told.
class CellWatcher : public TGridChangeNotifier
{
public:
    CellWatcher(TExStringGrid* g) : grid(g) {}
    void CellsChanged(const TRect& r) override { seen.push_back(grid->Cells(r.Left, r.Top)); }
    TExStringGrid* grid;
    std::vector<QString> seen;
};

} // namespace

TEST_F(ValidateFixture, RefusedValueKeepsTheOldTextAndTheEditorStaysOnTheCell)
{
    valid = false;
    EditAndType(1, 1, QStringLiteral("bad"));
    Key(Qt::Key_Return);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("old"));
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(EditorText(), QStringLiteral("bad"));  // to be corrected
    // Corrected and accepted.
    valid = true;
    grid->InplaceEditor()->SelectAll();
    Type(QStringLiteral("good"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("good"));
    EXPECT_FALSE(EditorShown());
}

TEST_F(ValidateFixture, RefusedValueChangedByTheHandlerShowsTheChangedValue)
{
    valid = false;
    replace = true;
    replacement = QStringLiteral("fixed");
    EditAndType(1, 1, QStringLiteral("bad"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("fixed"));
    ASSERT_TRUE(EditorShown());
    EXPECT_EQ(EditorText(), QStringLiteral("fixed"));
    EXPECT_EQ(grid->Row(), 1);
}

TEST_F(ValidateFixture, ValueChangedByTheHandlerIsStoredAndTheChangeJudgedOnTheTypedValue)
{
    CellWatcher watcher(grid);
    grid->RegisterNotifier(&watcher);
    replace = true;
    replacement = QStringLiteral("old");  // back to what the cell held
    EditAndType(1, 1, QStringLiteral("typed"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("old"));
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0], QStringLiteral("old"));
    grid->UnRegisterNotifier(&watcher);
}

TEST_F(ValidateFixture, ListenersAndUndoHearOfTheHandlersValueAlreadyInTheCell)
{
    CellWatcher watcher(grid);
    grid->RegisterNotifier(&watcher);
    TExGridUndoRedo undo;
    grid->SetUndoRedo(&undo);
    replace = true;
    replacement = QStringLiteral("clean");
    EditAndType(1, 1, QStringLiteral("dirty"));
    Key(Qt::Key_Return);
    ASSERT_EQ(watcher.seen.size(), 1u);
    EXPECT_EQ(watcher.seen[0], QStringLiteral("clean"));
    ASSERT_EQ(undo.Items().size(), 1u);
    EXPECT_EQ(undo.Items()[0].OrigValue, QStringLiteral("old"));
    EXPECT_EQ(undo.Items()[0].Value, QStringLiteral("clean"));
    grid->SetUndoRedo(nullptr);
    grid->UnRegisterNotifier(&watcher);
}

TEST_F(ValidateFixture, UnchangedTextRaisesNothingUnlessAlwaysValidate)
{
    GoTo(1, 1);
    Key(Qt::Key_F2);
    Key(Qt::Key_Return);
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(grid->Modified());
    grid->SetAlwaysValidate(true);
    Key(Qt::Key_F2);
    Key(Qt::Key_Return);
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(grid->Modified());
}

TEST_F(ValidateFixture, RefusalOnTabAndOnAClickKeepsTheCell)
{
    grid->SetOptions(grid->Options() | goTabs);
    valid = false;
    EditAndType(1, 1, QStringLiteral("t"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("old"));

    PressCell(3, 3);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_TRUE(EditorShown());
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("old"));
    EXPECT_EQ(grid->Cells(3, 3), QString());
}

TEST_F(ValidateFixture, AcceptedChangeMarksTheRowModifiedWithFixedColumns)
{
    grid->ShowModified().SetEnabled(true);
    EditAndType(2, 3, QStringLiteral("m"));
    Key(Qt::Key_Return);
    EXPECT_TRUE(grid->GetRowModified(3));
    EXPECT_FALSE(grid->GetRowModified(2));
    EXPECT_TRUE(grid->Modified());
}

TEST_F(ValidateFixture, RefusalShowsTheBalloonTipWithTitleAndText)
{
    grid->SetInvalidEntryTitle(QStringLiteral("Wrong"));
    grid->SetInvalidEntryText(QStringLiteral("Only digits"));
    valid = false;
    EditAndType(1, 1, QStringLiteral("x"));
    Key(Qt::Key_Return);
    ASSERT_NE(grid->BalloonTip(), nullptr);
    EXPECT_TRUE(grid->BalloonTip()->isVisible());
    const auto* tip = static_cast<TBalloonWindow*>(grid->BalloonTip());
    EXPECT_EQ(tip->Title(), QStringLiteral("Wrong"));
    EXPECT_EQ(tip->Text(), QStringLiteral("Only digits"));
    EXPECT_EQ(tip->TitleIcon(), 2) << "a warning unless set";
}

// The icon setting reaches the tip and shows beside the title.
TEST_F(ValidateFixture, RefusalTipShowsTheInvalidEntryIcon)
{
    const struct
    {
        TInvalidEntryIcon icon;
        int code;
    } cases[] = {{ieNone, 0}, {ieInfo, 1}, {ieWarning, 2}, {ieError, 3}};
    grid->SetInvalidEntryTitle(QStringLiteral("Wrong"));
    for (const auto& k : cases) {
        grid->SetInvalidEntryIcon(k.icon);
        valid = false;
        EditAndType(1, 1, QStringLiteral("x"));
        Key(Qt::Key_Return);
        auto* tip = static_cast<TBalloonWindow*>(grid->BalloonTip());
        ASSERT_NE(tip, nullptr);
        EXPECT_TRUE(tip->isVisible()) << k.code;
        EXPECT_EQ(tip->TitleIcon(), k.code);
        // The icon is a coloured disc left of the title.
        const QImage img = tip->grab().toImage();
        int coloured = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < 30 && x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                coloured += c.alpha() > 0 && c.saturation() > 120 ? 1 : 0;
            }
        EXPECT_EQ(coloured > 20, k.code != 0) << k.code << ": " << coloured;
        valid = true;
        Key(Qt::Key_Escape);
        tip->hide();
    }
}

TEST_F(ValidateFixture, AMoveByTheProgramValidatesTheEditedCellNotTheNewOne)
{
    grid->SetCells(3, 4, QStringLiteral("other"));
    EditAndType(1, 1, QStringLiteral("kept"));
    grid->SetRow(4);
    grid->SetCol(3);
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("kept"));
    EXPECT_EQ(grid->Cells(3, 4), QStringLiteral("other"));
    EXPECT_EQ(events, 1);
}

TEST_F(ValidateFixture, EditAfterArrowKeysValidatesTheCellBeingEdited)
{
    std::vector<QPoint> validated;
    grid->OnCellValidate = [&](QObject*, int c, int r, QString&, bool&) { validated.push_back(QPoint(c, r)); };
    GoTo(1, 1);
    Key(Qt::Key_Down);
    Key(Qt::Key_Right);
    Type(QStringLiteral("n"));
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("n"));
    EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("old"));
    ASSERT_EQ(validated.size(), 1u);
    EXPECT_EQ(validated[0], QPoint(2, 2));
}

TEST_F(ValidateFixture, CellChangingEventsCanRefuseAMove)
{
    std::vector<QString> log;
    grid->OnRowChanging = [&](QObject*, int o, int n, bool&) { log.push_back(QStringLiteral("row %1>%2").arg(o).arg(n)); };
    grid->OnColChanging = [&](QObject*, int o, int n, bool&) { log.push_back(QStringLiteral("col %1>%2").arg(o).arg(n)); };
    grid->OnCellChanging = [&](QObject*, int, int, int, int, bool& allow) {
        log.push_back(QStringLiteral("cell"));
        allow = false;
    };
    GoTo(1, 1);
    log.clear();
    Key(Qt::Key_Down);
    EXPECT_EQ(grid->Row(), 1);
    const std::vector<QString> expected{QStringLiteral("row 1>2"), QStringLiteral("cell")};
    EXPECT_EQ(log, expected);
}


// A refusal at the edge of the text keeps the cell and the typed text, as
// on Enter: the walk does not go on to the next cell.
TEST_F(ValidateFixture, RefusalOnTheCursorWalkKeepsTheCellAndItsEditor)
{
    grid->Navigation().SetCursorWalkEditor(true);
    valid = false;
    for (const bool alwaysEdit : {true, false}) {
        SCOPED_TRACE(alwaysEdit);
        grid->Navigation().SetCursorWalkAlwaysEdit(alwaysEdit);
        EditAndType(2, 2, QStringLiteral("bad"));
        Key(Qt::Key_Right);
        EXPECT_EQ(grid->Col(), 2);
        EXPECT_EQ(grid->Row(), 2);
        EXPECT_TRUE(EditorShown());
        EXPECT_EQ(EditorText(), QStringLiteral("bad"));
        EXPECT_EQ(grid->Cells(2, 2), QString());
        EXPECT_EQ(grid->Cells(3, 2), QString());

        Key(Qt::Key_Home);
        Key(Qt::Key_Left);
        EXPECT_EQ(grid->Col(), 2);
        EXPECT_TRUE(EditorShown());
        EXPECT_EQ(grid->Cells(2, 2), QString());
        Key(Qt::Key_Escape);
    }
    // Accepted, the same keys move on.
    valid = true;
    EditAndType(2, 2, QStringLiteral("ok"));
    Key(Qt::Key_Right);
    EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("ok"));
    EXPECT_EQ(grid->Col(), 3);
}

// The tip hangs below the combo that edits.
TEST_F(ValidateFixture, RefusalTipBelowAPickOnlyCombo)
{
    struct Case
    {
        const char* name;
        TEditorType kind;
        bool onEditPart;
    };
    const Case cases[] = {{"pick-only combo", edComboList, false}};
    grid->SetInvalidEntryText(QStringLiteral("Not that one"));
    TEditorType kind = edNormal;
    grid->OnGetEditorType = [&](QObject*, int c, int, TEditorType& e) {
        if (c == 2)
            e = kind;
    };
    for (const Case& k : cases) {
        kind = k.kind;
        grid->ClearComboString();
        for (const char* s : {"Water", "Heat", "Gas"})
            grid->AddComboString(QString::fromLatin1(s));
        grid->SetCells(2, 2, QStringLiteral("Water"));
        valid = false;
        GoTo(2, 2);
        Key(Qt::Key_F2);
        ProcessEvents();
        TGridCombo* combo = grid->Combobox();
        ASSERT_TRUE(combo->isVisible()) << k.name;
        Key(Qt::Key_Down);
        Key(Qt::Key_Return);
        ProcessEvents();
        auto* tip = static_cast<TBalloonWindow*>(grid->BalloonTip());
        ASSERT_NE(tip, nullptr) << k.name;
        EXPECT_TRUE(tip->isVisible()) << k.name;
        QWidget* anchor = k.onEditPart ? static_cast<QWidget*>(combo->EditWidget()) : combo;
        ASSERT_NE(anchor, nullptr) << k.name;
        EXPECT_EQ(tip->geometry().topLeft(), anchor->mapToGlobal(QPoint(0, anchor->height()))) << k.name;
        tip->hide();
        valid = true;
        Key(Qt::Key_Escape);
        ProcessEvents();
    }
}
