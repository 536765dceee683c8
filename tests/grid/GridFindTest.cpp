// Find, replace, the type-ahead row search and the search footer driven by
// real key events.
#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>

#include <memory>

using namespace platform;

namespace {

void Process()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Column 0 and row 0 are fixed.
const char* const Cells[][4] = {
    {"", "H1", "H2", "Head abc"},
    {"1", "abc", "cab", "ABC"},
    {"2", "x", "", "<b>ab</b>c"},
    {"3", "Abc d", "zz", "abc"},
};

struct FindFixture : ::testing::Test
{
    std::unique_ptr<QWidget> host;
    TExStringGrid* grid = nullptr;

    void SetUp() override
    {
        host = std::make_unique<QWidget>();
        host->resize(640, 420);
        grid = new TExStringGrid(host.get());
        grid->setGeometry(10, 10, 560, 360);
        grid->SetColCount(4);
        grid->SetRowCount(4);
        grid->SetFixedRows(1);
        grid->SetFixedCols(1);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                grid->SetCellEx(c, r, QString::fromUtf8(Cells[r][c]));
        host->show();
        QApplication::setActiveWindow(host.get());
        grid->setFocus();
        Process();
    }

    void TearDown() override
    {
        grid->OnGetDisplText = nullptr;
        grid->OnSearchFooterAction = nullptr;
        host.reset();
    }
};

} // namespace

TEST_F(FindFixture, FindOptions)
{
    struct Case
    {
        const char* name;
        TPoint start;
        const char* text;
        TFindParams params;
        TPoint expected;
    };
    const Case cases[] = {
        {"case ignored, column by column", {-1, -1}, "abc", 0, {1, 1}},
        {"next after the first, down the column", {1, 1}, "abc", 0, {1, 3}},
        {"then the next columns", {1, 3}, "abc", 0, {3, 1}},
        {"row by row goes right first", {1, 1}, "abc", fnDirectionLeftRight, {3, 1}},
        {"match case", {1, 1}, "abc", fnMatchCase, {3, 3}},
        {"match case in the current column", {-1, -1}, "Abc", fnMatchCase | fnFindInCurrentCol, {-1, -1}},
        {"match start skips cab", {1, 1}, "ab", fnMatchStart | fnDirectionLeftRight, {3, 1}},
        {"whole cell", {1, 1}, "abc", fnMatchFull, {3, 1}},
        {"whole cell with case", {-1, -1}, "Abc", fnMatchFull | fnMatchCase, {-1, -1}},
        {"empty cells only", {-1, -1}, "\"\"", 0, {2, 2}},
        {"tags count without the option", {3, 1}, "abc", fnMatchFull | fnFindInCurrentCol, {3, 3}},
        {"tags removed", {3, 1}, "abc", fnMatchFull | fnIgnoreHTMLTags, {3, 2}},
        {"fixed cells excluded", {-1, -1}, "head", 0, {-1, -1}},
        {"fixed cells included", {-1, -1}, "head", fnIncludeFixed, {3, 0}},
        {"backward from the start is the last cell", {-1, -1}, "abc", fnBackward, {3, 3}},
        {"backward", {3, 3}, "abc", fnBackward, {3, 1}},
        {"regular expression", {-1, -1}, "a*d", fnMatchRegular, {1, 3}},
        {"preset column", {-1, -1}, "c", fnFindInPresetCol, {2, 1}},
        {"preset row", {-1, -1}, "abc", fnFindInPresetRow | fnDirectionLeftRight, {1, 3}},
        {"no more after the last", {3, 3}, "abc", 0, {-1, -1}},
        {"current row only", {-1, -1}, "cab", fnFindInCurrentRow, {2, 1}},
        {"nothing in the current row", {-1, -1}, "zz", fnFindInCurrentRow, {-1, -1}},
        {"current column only", {-1, -1}, "abc", fnFindInCurrentCol | fnMatchFull, {3, 1}},
    };
    grid->SetFindCol(2);
    grid->SetFindRow(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid->FocusCell(3, 1);
        const TPoint found = grid->Find(c.start, QString::fromUtf8(c.text), c.params);
        EXPECT_EQ(found.X, c.expected.X);
        EXPECT_EQ(found.Y, c.expected.Y);
        EXPECT_EQ(grid->SearchCell().X, c.expected.X);
    }
}

TEST_F(FindFixture, NothingToSearchWithoutDataCells)
{
    // The one row below the header is a footer row.
    grid->SetRowCount(2);
    grid->SetFixedFooters(1);
    EXPECT_EQ(grid->Find(TPoint{-1, -1}, QStringLiteral("abc"), 0).X, -1);
    grid->SetFixedFooters(0);
    grid->SetRowCount(4);
    // Two columns, one fixed on each side.
    grid->SetColCount(2);
    grid->SetFixedRightCols(1);
    EXPECT_EQ(grid->Find(TPoint{-1, -1}, QStringLiteral("abc"), 0).X, -1);
}

TEST_F(FindFixture, FindNextStopsAfterTheLastMatch)
{
    TPoint p = grid->FindFirst(QStringLiteral("zz"), fnAutoGoto);
    EXPECT_EQ(p.X, 2);
    EXPECT_EQ(p.Y, 3);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
    p = grid->FindNext();
    EXPECT_EQ(p.X, -1);
    EXPECT_EQ(p.Y, -1);
}

TEST_F(FindFixture, HiddenRowsAndColumnsOnlyWhenAsked)
{
    grid->HideRow(3);
    EXPECT_EQ(grid->Find(TPoint{-1, -1}, QStringLiteral("zz"), 0).X, -1);
    const TPoint p = grid->Find(TPoint{-1, -1}, QStringLiteral("zz"), fnIncludeHiddenRows);
    EXPECT_EQ(p.X, 2);
    EXPECT_EQ(p.Y, 3);
    grid->UnHideRow(3);
    grid->HideColumn(2);
    EXPECT_EQ(grid->Find(TPoint{-1, -1}, QStringLiteral("zz"), 0).X, -1);
    const TPoint q = grid->Find(TPoint{-1, -1}, QStringLiteral("zz"), fnIncludeHiddenColumns);
    EXPECT_EQ(q.X, 2);
    EXPECT_EQ(q.Y, 3);
}

TEST_F(FindFixture, ReplaceCases)
{
    struct Case
    {
        const char* name;
        const char* cells[2];
        const char* from;
        const char* to;
        TFindParams params;
        const char* after[2];
        int count;
    };
    const Case cases[] = {
        {"case ignored by default", {"Aa", "x"}, "a", "b", 0, {"bb", "x"}, 1},
        {"match case", {"Aa", "A"}, "a", "b", fnMatchCase, {"Ab", "A"}, 1},
        {"match case, upper", {"Aa", "a"}, "A", "b", fnMatchCase, {"ba", "a"}, 1},
        {"whole cell only", {"abc", "abcd"}, "abc", "z", fnMatchFull, {"z", "abcd"}, 1},
        {"replacement holding the text", {"a", "ba"}, "a", "aa", 0, {"aa", "baa"}, 2},
        {"nothing found", {"x", "y"}, "q", "r", 0, {"x", "y"}, 0},
        {"match start", {"ab", "cab"}, "ab", "x", fnMatchStart, {"x", "cab"}, 1},
        {"backward", {"a", "a"}, "a", "b", fnBackward, {"b", "b"}, 2},
        {"as a condition: a pattern of the whole text", {"a", "ba"}, "a", "b", fnMatchRegular, {"b", "ba"}, 1},
    };
    grid->SetColCount(2);
    grid->SetRowCount(3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        grid->SetCellEx(1, 1, QString::fromUtf8(c.cells[0]));
        grid->SetCellEx(1, 2, QString::fromUtf8(c.cells[1]));
        EXPECT_EQ(grid->Replace(QString::fromUtf8(c.from), QString::fromUtf8(c.to), c.params), c.count);
        EXPECT_EQ(grid->GetGridCell(1, 1), QString::fromUtf8(c.after[0]));
        EXPECT_EQ(grid->GetGridCell(1, 2), QString::fromUtf8(c.after[1]));
    }
}

TEST_F(FindFixture, ReplaceEditsTheStoredTextNotTheShownText)
{
    grid->SetColCount(2);
    grid->SetRowCount(3);
    grid->SetCellEx(1, 1, QStringLiteral("15"));
    grid->SetCellEx(1, 2, QStringLiteral("7"));
    // The cells are shown with a unit the data does not hold.
    grid->OnGetDisplText = [](QObject*, int aCol, int aRow, QString& value) {
        if (aCol == 1 && aRow > 0)
            value = value + QStringLiteral(" EUR");
    };
    EXPECT_EQ(grid->GetCellEx(1, 1), QStringLiteral("15 EUR"));
    EXPECT_EQ(grid->Replace(QStringLiteral("5"), QStringLiteral("6"), 0), 1);
    EXPECT_EQ(grid->GetGridCell(1, 1), QStringLiteral("16"));
    EXPECT_EQ(grid->GetGridCell(1, 2), QStringLiteral("7"));
    // A match only in the shown part changes nothing and is not counted.
    EXPECT_EQ(grid->Replace(QStringLiteral("EUR"), QStringLiteral("USD"), 0), 0);
    EXPECT_EQ(grid->GetGridCell(1, 1), QStringLiteral("16"));
}

TEST_F(FindFixture, TypeAheadSearchOnTheKeyColumn)
{
    EXPECT_EQ(grid->Search(QStringLiteral("X")), 2);
    EXPECT_EQ(grid->Search(QStringLiteral("AB")), 1);
    EXPECT_EQ(grid->Search(QStringLiteral("9")), -1);
    grid->SortSettings().SetShow(true);
    grid->SortSettings().SetColumn(3);
    EXPECT_EQ(grid->Search(QStringLiteral("ABC")), 1);
    EXPECT_EQ(grid->Search(QStringLiteral("ABCX")), -1);
    grid->SortSettings().SetColumn(-1);
    EXPECT_EQ(grid->Search(QStringLiteral("1")), -1);
}

TEST_F(FindFixture, SearchFooterByKeys)
{
    grid->SetRowCount(30);
    for (int r = 4; r < 30; ++r)
        grid->SetCellEx(1, r, QStringLiteral("row %1").arg(r));
    grid->SetCellEx(2, 25, QStringLiteral("needle"));
    grid->SetCellEx(3, 27, QStringLiteral("Needle"));
    std::vector<TSearchAction> actions;
    grid->OnSearchFooterAction = [&actions](QObject*, const QString&, int, int, TSearchAction a) {
        actions.push_back(a);
    };
    grid->SearchFooter().SetVisible(true);
    Process();
    TSearchPanel& p = *grid->SearchPanel();
    EXPECT_FALSE(p.ForwardButton()->isEnabled());
    p.EditControl()->setFocus();
    Process();

    testsupport::TypeKeys(QStringLiteral("need"));
    Process();
    EXPECT_TRUE(p.ForwardButton()->isEnabled());
    EXPECT_TRUE(p.BackwardButton()->isEnabled());
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 25);
    EXPECT_EQ(p.EditControl()->Color(), clWindow);
    // The found row is scrolled into view.
    EXPECT_GE(25, grid->TopRow());
    EXPECT_LT(25, grid->TopRow() + grid->VisibleRowCount());

    testsupport::KeyClick(Qt::Key_Return);
    Process();
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 27);
    testsupport::KeyClick(Qt::Key_Return, Qt::ControlModifier);
    Process();
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 25);
    EXPECT_TRUE(p.EditControl()->hasFocus());
    EXPECT_EQ(p.EditControl()->Text(), QStringLiteral("need"));

    // Match case: "Need" is only in column 3.
    p.MatchCase()->SetChecked(true);
    testsupport::KeyClick(Qt::Key_Backspace);
    testsupport::KeyClick(Qt::Key_Backspace);
    testsupport::KeyClick(Qt::Key_Backspace);
    testsupport::KeyClick(Qt::Key_Backspace);
    Process();
    EXPECT_FALSE(p.ForwardButton()->isEnabled());
    EXPECT_FALSE(p.HiliteButton()->isEnabled());
    testsupport::TypeKeys(QStringLiteral("Need"));
    Process();
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 27);

    testsupport::TypeKeys(QStringLiteral("x"));
    Process();
    EXPECT_EQ(p.EditControl()->Color(), clRed);
    testsupport::KeyClick(Qt::Key_Backspace);
    Process();
    EXPECT_EQ(p.EditControl()->Color(), clWindow);

    ASSERT_FALSE(actions.empty());
    EXPECT_EQ(actions.front(), saFindFirst);
    EXPECT_NE(std::find(actions.begin(), actions.end(), saFindNext), actions.end());
    EXPECT_NE(std::find(actions.begin(), actions.end(), saFindPrevious), actions.end());

    // The close button hides the footer.
    testsupport::Click(p.ExitButton());
    Process();
    EXPECT_FALSE(grid->SearchFooter().Visible());
}

TEST_F(FindFixture, HighlightButtonMarksAndUnmarksTheText)
{
    grid->SearchFooter().SetVisible(true);
    Process();
    TSearchPanel& p = *grid->SearchPanel();
    p.EditControl()->SetText(QStringLiteral("zz"));
    Process();
    testsupport::Click(p.HiliteButton());
    Process();
    EXPECT_TRUE(p.HiliteButton()->Down());
    EXPECT_NE(grid->GetGridCell(2, 3), QStringLiteral("zz"));
    EXPECT_TRUE(grid->GetGridCell(2, 3).contains(QStringLiteral("zz")));
    testsupport::Click(p.HiliteButton());
    Process();
    EXPECT_FALSE(p.HiliteButton()->Down());
    EXPECT_EQ(grid->GetGridCell(2, 3), QStringLiteral("zz"));
}

TEST_F(FindFixture, SelectedCellsAndGoingToTheCellFound)
{
    // Only the selected rectangle: columns 1..2 of rows 2..3.
    grid->SetSelection(TGridRect{1, 2, 2, 3});
    TPoint p = grid->Find(TPoint{-1, -1}, QStringLiteral("abc"), fnSelectedCells);
    EXPECT_EQ(p.X, 1);
    EXPECT_EQ(p.Y, 3);
    EXPECT_EQ(grid->Find(TPoint{-1, -1}, QStringLiteral("cab"), fnSelectedCells).X, -1);
    // Without fnAutoGoto the current cell stays; with it the cell found is current.
    grid->FocusCell(1, 1);
    p = grid->Find(TPoint{-1, -1}, QStringLiteral("zz"), 0);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->Row(), 1);
    p = grid->Find(TPoint{-1, -1}, QStringLiteral("zz"), fnAutoGoto);
    EXPECT_EQ(grid->Col(), 2);
    EXPECT_EQ(grid->Row(), 3);
}
