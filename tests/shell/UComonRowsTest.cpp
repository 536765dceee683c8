// The row operations shared by every rule table: delete, insert, copy and
// paste through the one row clipboard, their check-box twins, and the two
// grid events (Enter to the next cell, a header double click fitting its column).
#include "shell/UComon.h"
#include "shell/ULanguage.h"
#include "support/TestSupport.h"

#include "grid/ExCGrid.h"
#include "grid/ExGridInputTestSupport.h"
#include "platform/Dialogs.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace platform;

namespace {

const char* const kInsertRefused =
    "Error!!! The last row of the table is in use and would be lost. Delete a row before inserting one";

// The options and the clipboard are program state: every case starts from
// the start-up values.
void Reset_State()
{
    Load_English_Table();
    Copy_Row_List.clear();
    Copy_Row_Check.clear();
    Double_Click_Auto_Size = false;
    Enable_Jump_Field_Tables = false;
}

// A rule grid as the windows build it: number, Enable check box, two texts, a
// hidden FPort and a mnemonic; ten rule rows.
struct ColumnRows : ::testing::Test
{
    std::unique_ptr<VOruVizizaZezo> grid = Make_Grid();

    static std::unique_ptr<VOruVizizaZezo> Make_Grid(int columns = 6, int rows = 11)
    {
        auto g = std::make_unique<VOruVizizaZezo>();
        g->SetColCount(columns);
        g->SetRowCount(rows);
        g->Columns().GetItem(1)->SetEditor(edDataCheckBox);
        if (columns > 4)
            g->HideColumn(4);
        for (int r = 0; r < rows; ++r)
            g->SetCellEx(0, r, QString::number(r));
        return g;
    }

    void SetUp() override { Reset_State(); }

    void Fill(int row, const QString& tag, const char* enable = "Y")
    {
        grid->SetCellEx(1, row, QString::fromLatin1(enable));
        for (int c = 2; c <= 5; ++c)
            grid->SetCellEx(c, row, QStringLiteral("%1.%2").arg(tag).arg(c));
    }
    void Fill_All(int upTo)
    {
        for (int r = 1; r <= upTo; ++r)
            Fill(r, QString::number(r));
    }
    // Every real column of a row, column 0 included.
    QStringList Row(int r)
    {
        QStringList out;
        for (int c = 0; c < 6; ++c)
            out << grid->GetCellEx(c, r);
        return out;
    }
    QStringList Filled(int r, const QString& tag, const char* enable = "Y")
    {
        QStringList out{QString::number(r), QString::fromLatin1(enable)};
        for (int c = 2; c <= 5; ++c)
            out << QStringLiteral("%1.%2").arg(tag).arg(c);
        return out;
    }
    static QStringList Empty(int r, const char* enable = "")
    {
        return {QString::number(r), QString::fromLatin1(enable), "", "", "", ""};
    }
};

} // namespace

TEST_F(ColumnRows, DeleteMovesTheRowsBelowUpAndEmptiesTheLast)
{
    Fill_All(10);
    DialogScript script;
    Grid_Delete_Row(3, grid.get());
    for (int r = 1; r <= 2; ++r)
        EXPECT_EQ(Row(r), Filled(r, QString::number(r)));
    // The numbers stay; the hidden column moves with its row.
    for (int r = 3; r <= 9; ++r)
        EXPECT_EQ(Row(r), Filled(r, QString::number(r + 1))) << r;
    EXPECT_EQ(Row(10), Empty(10));
    EXPECT_TRUE(script.Shown().empty());

    Grid_Delete_Row(10, grid.get());
    EXPECT_EQ(Row(10), Empty(10));
    Grid_Delete_Row(9, grid.get());
    EXPECT_EQ(Row(9), Empty(9));
    EXPECT_EQ(Row(8), Filled(8, "9"));
    EXPECT_EQ(grid->RowCount(), 11);
}

TEST_F(ColumnRows, InsertMovesTheRowsDownAndStartsAnEnabledRow)
{
    Fill_All(9);
    ASSERT_TRUE(Grid_Insert_Row(2, grid.get(), true));
    EXPECT_EQ(Row(1), Filled(1, "1"));
    EXPECT_EQ(Row(2), Empty(2, "Y"));
    for (int r = 3; r <= 10; ++r)
        EXPECT_EQ(Row(r), Filled(r, QString::number(r - 1))) << r;

    // Without the flag the new row is wholly empty.
    Grid_Delete_Row(2, grid.get());
    ASSERT_TRUE(Grid_Insert_Row(1, grid.get(), false));
    EXPECT_EQ(Row(1), Empty(1));
    EXPECT_EQ(Row(2), Filled(2, "1"));
    EXPECT_EQ(grid->RowCount(), 11);
}

TEST_F(ColumnRows, InsertAtTheLastRowOnlyEmptiesIt)
{
    grid->SetCellEx(1, 10, "N");
    ASSERT_TRUE(Grid_Insert_Row(10, grid.get(), true));
    EXPECT_EQ(Row(10), Empty(10, "Y"));
}

// Inserting pushes the last row out of the table: a rule there would be lost
// without a word, so the insertion is refused and the table left alone.
TEST_F(ColumnRows, InsertNeverLosesARuleInTheLastRow)
{
    struct Case
    {
        const char* why;
        int column;         // written in the last row
        const char* text;
        bool refused;
    };
    const Case cases[] = {
        {"a rule's mnemonic", 5, "pump", true},
        {"a value of the hidden column only", 4, "10", true},
        {"a start byte", 2, "0", true},
        {"only the check box: the state of an empty row", 1, "N", false},
        {"only blanks", 3, "   ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        grid = Make_Grid();
        Fill_All(9);
        grid->SetCellEx(c.column, 10, QString::fromLatin1(c.text));
        QStringList before;
        for (int r = 1; r <= 10; ++r)
            before << Row(r);
        DialogScript script;
        EXPECT_EQ(Grid_Insert_Row(3, grid.get(), true), !c.refused);
        if (c.refused) {
            ASSERT_EQ(script.Shown().size(), 1u);
            EXPECT_EQ(script.Shown()[0].kind, MessageKind::Error);
            EXPECT_EQ(script.Shown()[0].buttons, MessageButtons::Ok);
            EXPECT_EQ(script.Shown()[0].text, kInsertRefused);
            QStringList after;
            for (int r = 1; r <= 10; ++r)
                after << Row(r);
            EXPECT_EQ(after, before);
        } else {
            EXPECT_TRUE(script.Shown().empty());
            EXPECT_EQ(Row(3), Empty(3, "Y"));
            EXPECT_EQ(Row(10), Filled(10, "9"));
        }
    }
}

TEST_F(ColumnRows, RowsOutsideTheTableAreLeftAlone)
{
    Fill_All(10);
    DialogScript script;
    for (int row : {-1, 0, 11, 400}) {
        Grid_Delete_Row(row, grid.get());
        EXPECT_FALSE(Grid_Insert_Row(row, grid.get(), true));
        Grid_Copy_Row(grid.get(), row);
        EXPECT_FALSE(Grid_Paste_Row(grid.get(), row, true));
    }
    EXPECT_TRUE(Copy_Row_List.isEmpty());
    EXPECT_EQ(grid->GetCellEx(1, 0), "");
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(Row(r), Filled(r, QString::number(r)));
    EXPECT_TRUE(script.Shown().empty());
}

TEST_F(ColumnRows, CopyTakesEveryDataColumnAsItStands)
{
    Fill(2, "b");
    grid->SetCellEx(5, 2, "  spaced  ");
    grid->SetCellEx(3, 2, "");
    Copy_Row_Check = {true, false};
    Grid_Copy_Row(grid.get(), 2);
    EXPECT_EQ(Copy_Row_List, QStringList({"Y", "b.2", "", "b.4", "  spaced  "}));
    // The column-grid copy leaves the check flags of an older copy.
    EXPECT_EQ(Copy_Row_Check, std::vector<bool>({true, false}));
}

// Each paste case: where the row was copied, the target row, the answer to the
// overwrite question, what is shown and whether the row takes the copy.
TEST_F(ColumnRows, PasteChecksTheCopyTheColumnsAndTheTargetRow)
{
    struct Case
    {
        const char* why;
        bool copied;           // the grid's own copy flag
        bool fromOtherShape;   // the clipboard holds a row of a grid with fewer columns
        int targetColumn;      // 0: the target row is empty
        const char* targetText;
        std::optional<MessageAnswer> answer;
        int message;           // -1: none
        bool pasted;
    };
    const Case cases[] = {
        {"no copy on this grid since its window was shown", false, false, 0, "", {}, 1102, false},
        {"no copy on this grid, whatever the clipboard holds", false, true, 0, "", {}, 1102, false},
        {"a row copied on another grid with other columns", true, true, 0, "", {}, 1101, false},
        {"an empty row takes the copy without a question", true, false, 0, "", {}, -1, true},
        {"a check box alone does not make a row used", true, false, 1, "N", {}, -1, true},
        {"blanks alone do not make a row used", true, false, 5, "  ", {}, -1, true},
        {"a used row, overwritten on Yes", true, false, 3, "7", MessageAnswer::Yes, 1100, true},
        {"a used row, kept on No", true, false, 3, "7", MessageAnswer::No, 1100, false},
        {"text in the hidden column makes a row used", true, false, 4, "9", MessageAnswer::No, 1100, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Reset_State();
        grid = Make_Grid();
        Fill(1, "src", "N");
        if (c.fromOtherShape) {
            auto other = Make_Grid(4);
            other->SetCellEx(2, 1, "x");
            Grid_Copy_Row(other.get(), 1);
        } else {
            Grid_Copy_Row(grid.get(), 1);
        }
        if (c.targetColumn > 0)
            grid->SetCellEx(c.targetColumn, 6, QString::fromLatin1(c.targetText));
        const QStringList before = Row(6);

        DialogScript script;
        if (c.answer)
            script.AnswerMessage(*c.answer);
        EXPECT_EQ(Grid_Paste_Row(grid.get(), 6, c.copied), c.pasted);

        if (c.message < 0) {
            EXPECT_TRUE(script.Shown().empty());
        } else {
            ASSERT_EQ(script.Shown().size(), 1u);
            const ShownDialog& shown = script.Shown()[0];
            EXPECT_EQ(shown.text, Language_List[c.message]);
            EXPECT_EQ(shown.kind, c.message == 1100 ? MessageKind::Confirmation : MessageKind::Error);
            EXPECT_EQ(shown.buttons, c.message == 1100 ? MessageButtons::YesNo : MessageButtons::Ok);
        }
        EXPECT_EQ(Row(6), c.pasted ? Filled(6, "src", "N") : before);
        EXPECT_EQ(script.AnswersLeft(), 0);
    }
}

TEST_F(ColumnRows, TheClipboardStaysFilledForTheNextPaste)
{
    Fill(1, "a");
    Grid_Copy_Row(grid.get(), 1);
    EXPECT_TRUE(Grid_Paste_Row(grid.get(), 4, true));
    EXPECT_TRUE(Grid_Paste_Row(grid.get(), 7, true));
    EXPECT_EQ(Row(4), Filled(4, "a"));
    EXPECT_EQ(Row(7), Filled(7, "a"));
    // A grid of another window with the same columns takes it once its own flag is set.
    auto other = Make_Grid();
    EXPECT_TRUE(Grid_Paste_Row(other.get(), 2, true));
    EXPECT_EQ(other->GetCellEx(5, 2), "a.5");
}

// ---------------------------------------------------------------------------
// The check-box twins, on string grids whose cells carry check boxes of their own
// ---------------------------------------------------------------------------

namespace {

// Columns: number, a check box, a text, a second check box, a text; five rule
// rows. Rows 1 to 3 are in use (editable), 4 and 5 read-only and empty.
struct CheckRows : ::testing::Test
{
    std::unique_ptr<TExStringGrid> grid = Make_Grid();

    static std::unique_ptr<TExStringGrid> Make_Grid(int columns = 5)
    {
        auto g = std::make_unique<TExStringGrid>();
        g->SetColCount(columns);
        g->SetRowCount(6);
        for (int r = 1; r < 6; ++r) {
            g->SetCellEx(0, r, QString::number(r));
            g->AddCheckBox(1, r, false, false);
            if (columns > 3)
                g->AddCheckBox(3, r, false, false);
            for (int c = 1; c < columns; ++c)
                g->GetCellProperties(c, r)->SetReadOnly(r > 3);
        }
        return g;
    }

    void SetUp() override
    {
        Reset_State();
        Set(1, true, "one", false, "1");
        Set(2, false, "two", true, "2");
        Set(3, true, "three", true, "3");
    }

    void Set(int r, bool a, const char* b, bool c, const char* d)
    {
        grid->SetCheckBoxState(1, r, a);
        grid->SetCellEx(2, r, QString::fromLatin1(b));
        grid->SetCheckBoxState(3, r, c);
        grid->SetCellEx(4, r, QString::fromLatin1(d));
    }

    // "x|text|-|text|ro": check boxes as x or -, "ro" or "rw" for the row's marks.
    QString Row(int r)
    {
        auto box = [&](int c) { return grid->IsChecked(c, r) ? QStringLiteral("x") : QStringLiteral("-"); };
        bool ro = true, rw = true;
        for (int c = 1; c <= 4; ++c) {
            const bool cellRo = grid->GetCellProperties(c, r)->ReadOnly();
            ro = ro && cellRo;
            rw = rw && !cellRo;
        }
        return box(1) + "|" + grid->GetCellEx(2, r) + "|" + box(3) + "|" + grid->GetCellEx(4, r) + "|"
               + (ro ? "ro" : rw ? "rw" : "mixed");
    }
};

} // namespace

TEST_F(CheckRows, CopyKeepsWhichColumnsAreCheckBoxes)
{
    Grid_Copy_Row_Check(grid.get(), 2);
    EXPECT_EQ(Copy_Row_List, QStringList({"N", "two", "Y", "2"}));
    EXPECT_EQ(Copy_Row_Check, std::vector<bool>({true, false, true, false}));
}

TEST_F(CheckRows, PasteRestoresTheStatesAndAsksOverAnyText)
{
    Grid_Copy_Row_Check(grid.get(), 2);
    DialogScript script;
    // Row 4 is empty: no question.
    EXPECT_TRUE(Grid_Paste_Row_Check(grid.get(), 4, true));
    EXPECT_EQ(Row(4), "-|two|x|2|ro");
    // Only blanks in a text cell: in use all the same in this family.
    grid->SetCellEx(4, 5, " ");
    script.AnswerMessage(MessageAnswer::No);
    EXPECT_FALSE(Grid_Paste_Row_Check(grid.get(), 5, true));
    EXPECT_EQ(grid->GetCellEx(4, 5), " ");
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, Language_List[1100]);
    // A checked state over an unchecked box and the reverse.
    script.AnswerMessage(MessageAnswer::Yes);
    EXPECT_TRUE(Grid_Paste_Row_Check(grid.get(), 1, true));
    EXPECT_EQ(Row(1), "-|two|x|2|rw");
    EXPECT_EQ(script.Unanswered(), 0);
}

TEST_F(CheckRows, PasteRefusalsAreThoseOfTheColumnGrids)
{
    Grid_Copy_Row_Check(grid.get(), 1);
    DialogScript script;
    EXPECT_FALSE(Grid_Paste_Row_Check(grid.get(), 4, false));
    auto narrow = Make_Grid(3);
    EXPECT_FALSE(Grid_Paste_Row_Check(narrow.get(), 1, true));
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[0].text, Language_List[1102]);
    EXPECT_EQ(script.Shown()[1].text, Language_List[1101]);
    EXPECT_EQ(Row(4), "-||-||ro");
}

// A column-grid copy after a string-grid copy leaves flags of another size:
// a missing flag is a text column, never a read past the flags.
TEST_F(CheckRows, PasteWithFewerFlagsThanColumnsTakesTexts)
{
    Copy_Row_List = QStringList({"Y", "a", "N", "b"});
    Copy_Row_Check = {true};
    EXPECT_TRUE(Grid_Paste_Row_Check(grid.get(), 4, true));
    EXPECT_EQ(Row(4), "x|a|-|b|ro");
}

TEST_F(CheckRows, DeleteCarriesStatesAndMarksAndLeavesAReadOnlyLastRow)
{
    Grid_Delete_Row_Check(1, grid.get(), true);
    EXPECT_EQ(Row(1), "-|two|x|2|rw");
    EXPECT_EQ(Row(2), "x|three|x|3|rw");
    EXPECT_EQ(Row(3), "-||-||ro");
    EXPECT_EQ(Row(4), "-||-||ro");
    // The last row: the first check box under the check-first flag.
    EXPECT_EQ(Row(5), "x||-||ro");
    Grid_Delete_Row_Check(5, grid.get(), false);
    EXPECT_EQ(Row(5), "-||-||ro");
}

TEST_F(CheckRows, InsertOpensAnEditableRowAndNeverLosesTheLast)
{
    ASSERT_TRUE(Grid_Insert_Row_Check(2, grid.get(), true));
    EXPECT_EQ(Row(1), "x|one|-|1|rw");
    EXPECT_EQ(Row(2), "x||-||rw");
    EXPECT_EQ(Row(3), "-|two|x|2|rw");
    EXPECT_EQ(Row(4), "x|three|x|3|rw");
    EXPECT_EQ(Row(5), "-||-||ro");

    ASSERT_TRUE(Grid_Insert_Row_Check(1, grid.get(), false));
    EXPECT_EQ(Row(1), "-||-||rw");
    EXPECT_EQ(Row(5), "x|three|x|3|rw");
    // The last row now holds a row: a further insertion would lose it.
    DialogScript script;
    EXPECT_FALSE(Grid_Insert_Row_Check(1, grid.get(), true));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, kInsertRefused);
    EXPECT_EQ(Row(1), "-||-||rw");
    EXPECT_EQ(Row(5), "x|three|x|3|rw");
}

// ---------------------------------------------------------------------------
// The grid events, driven by real keys and clicks on a shown column grid
// ---------------------------------------------------------------------------

namespace {

struct GridEvents : edittest::GridFixture
{
    TExStringGrid* MakeGrid(QWidget* parent) override { return new VOruVizizaZezo(parent); }

    void SetUp() override
    {
        Reset_State();
        edittest::GridFixture::SetUp();
        // Six real columns, the fifth hidden: four data columns shown.
        grid->SetColCount(6);
        grid->HideColumn(4);
        grid->OnKeyPress = [](QObject* sender, QChar& key) { Grid_Enter_Next_Cell(sender, key); };
        grid->OnDblClickCell = [](QObject* sender, int row, int col) { Grid_DblClick_AutoSize(sender, row, col); };
    }
    void TearDown() override
    {
        grid->OnDblClickCell = nullptr;
        edittest::GridFixture::TearDown();
        Reset_State();
    }
    std::pair<int, int> Cell() const { return {grid->Col(), grid->Row()}; }
};

} // namespace

TEST_F(GridEvents, EnterMovesToTheNextCellUnderTheOption)
{
    struct Case
    {
        const char* why;
        int col, row;
        std::pair<int, int> after;
    };
    // Shown columns 0 to 4 (the hidden one is not counted); rows 0 to 5.
    const Case cases[] = {
        {"to the right", 1, 2, {2, 2}},
        {"from the last shown column to the next row", 4, 2, {1, 3}},
        {"from the last cell back to the first", 4, 5, {1, 1}},
    };
    Enable_Jump_Field_Tables = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        GoTo(c.col, c.row);
        edittest::Key(Qt::Key_Return);
        EXPECT_EQ(Cell(), c.after);
    }
}

// Typing opens the editor; Enter keeps the text and moves on.
TEST_F(GridEvents, EnterFromTheEditorKeepsTheTextAndMovesOn)
{
    Enable_Jump_Field_Tables = true;
    GoTo(2, 3);
    edittest::Type("42");
    ASSERT_TRUE(EditorShown());
    edittest::Key(Qt::Key_Return);
    EXPECT_EQ(grid->GetCellEx(2, 3), "42");
    EXPECT_EQ(Cell(), std::make_pair(3, 3));
}

TEST_F(GridEvents, EnterIsConsumedOnlyUnderTheOption)
{
    struct Case
    {
        const char* why;
        bool option;
        int col, row;
        ushort key;
        bool moved;
        ushort keyAfter;
    };
    const Case cases[] = {
        {"option on: moved and consumed", true, 2, 3, 13, true, 0},
        {"option on, current cell in column 0: consumed, not moved", true, 0, 3, 13, false, 0},
        {"option on, current cell in the header: consumed, not moved", true, 2, 0, 13, false, 0},
        {"option off: Enter reaches the grid", false, 2, 3, 13, false, 13},
        {"another key passes", true, 2, 3, 'a', false, 'a'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Enable_Jump_Field_Tables = c.option;
        // Column 0 and the header are fixed in the rule grids; unfixed here
        // so that the current cell can stand in them.
        grid->SetFixedCols(c.col == 0 ? 0 : 1);
        grid->SetFixedRows(c.row == 0 ? 0 : 1);
        GoTo(c.col, c.row);
        ASSERT_EQ(Cell(), std::make_pair(c.col, c.row));
        QChar key(c.key);
        Grid_Enter_Next_Cell(grid, key);
        EXPECT_EQ(key.unicode(), c.keyAfter);
        EXPECT_EQ(Cell(), c.moved ? std::make_pair(c.col + 1, c.row) : std::make_pair(c.col, c.row));
    }
}

TEST_F(GridEvents, EnterWithTheOptionOffIsTheGridsOwn)
{
    grid->SetOptions(grid->Options() | goEditing);
    GoTo(2, 3);
    edittest::Key(Qt::Key_Return);
    // The grid's own Enter: the editor opens, the cell stays.
    EXPECT_EQ(Cell(), std::make_pair(2, 3));
    EXPECT_TRUE(EditorShown());
}

TEST_F(GridEvents, HeaderDoubleClickFitsTheColumnUnderTheOption)
{
    // Shown column 4 is real column 5, right of the hidden one.
    grid->SetCellEx(2, 0, "A rather long column header");
    grid->SetCellEx(2, 3, "short");
    grid->SetCellEx(5, 0, "Another long header, after the hidden column");
    struct Case
    {
        const char* why;
        bool option;
        int col, row;   // shown column
        bool fitted;
    };
    const Case cases[] = {
        {"option on, header", true, 2, 0, true},
        {"option on, header right of the hidden column", true, 4, 0, true},
        {"option on, a data cell", true, 2, 3, false},
        {"option off, header", false, 2, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        grid->SetColWidths(c.col, 30);
        grid->AutoSizeCol(c.col, 0);
        const int fitted = grid->ColWidths(c.col);
        ASSERT_GT(fitted, 30);
        Double_Click_Auto_Size = c.option;
        for (int col = 1; col < grid->ColCount(); ++col)
            grid->SetColWidths(col, 30);
        inputtest::DoubleClick(grid, inputtest::CellCentre(grid, c.col, c.row));
        edittest::ProcessEvents();
        // Only the clicked column changes.
        for (int col = 1; col < grid->ColCount(); ++col)
            EXPECT_EQ(grid->ColWidths(col), c.fitted && col == c.col ? fitted : 30) << col;
    }
}
