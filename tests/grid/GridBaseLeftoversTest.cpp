// Loose ends of the grid base and the column grid: undo steps that are whole
// or not done, clearing what a rectangle names, the column's case rule in
// the filter drop-down, the platform's format language in fills, objects of
// hidden rows, and cell scroll bars that follow their text.
#include "grid/ExCGrid.h"
#include "grid/ExGrid.h"
#include "grid/ExGridEditTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>

#include <climits>

#include <functional>
#include <memory>
#include <stdexcept>

using namespace platform;

namespace {

void Process()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

std::unique_ptr<TExStringGrid> Grid(int cols, int rows)
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetColCount(cols);
    g->SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g->SetCellEx(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
    return g;
}

class Payload : public TObject
{
};

} // namespace

// ---------------------------------------------------------------------------
// Undo and redo: a step is whole or not done
// ---------------------------------------------------------------------------

TEST(GridUndoSteps, AStepAfterTheSelectionWasHiddenIsDoneWhole)
{
    struct Case
    {
        const char* why;
        std::function<void(TExGridUndoRedo&)> record;
        int lastCol, lastRow; // the cell an Undo writes last
    };
    const Case cases[] = {
        {"a single change", [](TExGridUndoRedo& u) { u.RegisterChange(2, 3, QStringLiteral("2/3"), QStringLiteral("new")); }, 2, 3},
        {"a sequence",
         [](TExGridUndoRedo& u) {
             u.StartSequence();
             u.RegisterChange(1, 1, QStringLiteral("1/1"), QStringLiteral("one"));
             u.RegisterChange(2, 3, QStringLiteral("2/3"), QStringLiteral("new"));
             u.StopSequence();
         },
         1, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        auto g = Grid(4, 5);
        TExGridUndoRedo undo;
        g->SetUndoRedo(&undo);
        k.record(undo);
        const int recorded = undo.Level();
        for (const auto& item : undo.Items())
            if (!item.SequenceStart && !item.SequenceStop)
                g->SetCellEx(item.Col, item.Row, item.Value);
        g->HideSelection(); // the current cell stands outside the grid
        ASSERT_NO_THROW(undo.Undo());
        EXPECT_EQ(undo.Level(), 0);
        EXPECT_EQ(g->GetCellEx(2, 3), QStringLiteral("2/3"));
        EXPECT_EQ(g->GetCellEx(1, 1), QStringLiteral("1/1"));
        // The current cell is on the last cell undone.
        EXPECT_EQ(g->Col(), k.lastCol);
        EXPECT_EQ(g->Row(), k.lastRow);
        g->HideSelection();
        ASSERT_NO_THROW(undo.Redo());
        EXPECT_EQ(undo.Level(), recorded);
        EXPECT_EQ(g->GetCellEx(2, 3), QStringLiteral("new"));
        g->SetUndoRedo(nullptr);
    }
}

TEST(GridUndoSteps, AFailingStepWritesNothingAndKeepsItsLevel)
{
    auto g = Grid(4, 5);
    TExGridUndoRedo undo;
    g->SetUndoRedo(&undo);
    undo.StartSequence();
    undo.RegisterChange(1, 1, QStringLiteral("1/1"), QStringLiteral("one"));
    undo.RegisterChange(2, 3, QStringLiteral("2/3"), QStringLiteral("two"));
    undo.StopSequence();
    g->SetCellEx(1, 1, QStringLiteral("one"));
    g->SetCellEx(2, 3, QStringLiteral("two"));
    // The handler refuses the second cell of the step (the sequence is
    // undone last change first: 2/3, then 1/1).
    int calls = 0;
    undo.OnUndo = [&](QObject*, TBaseGrid*, int col, int, const QString&, const QString&) {
        ++calls;
        if (col == 1)
            throw std::runtime_error("refused");
    };
    EXPECT_THROW(undo.Undo(), std::runtime_error);
    EXPECT_EQ(undo.Level(), 4);
    EXPECT_EQ(g->GetCellEx(2, 3), QStringLiteral("two")) << "the cell written before the failure is put back";
    EXPECT_EQ(g->GetCellEx(1, 1), QStringLiteral("one"));
    // Once it goes through, the step is done once, whole.
    undo.OnUndo = nullptr;
    undo.Undo();
    EXPECT_EQ(undo.Level(), 0);
    EXPECT_EQ(g->GetCellEx(2, 3), QStringLiteral("2/3"));
    EXPECT_EQ(g->GetCellEx(1, 1), QStringLiteral("1/1"));
    // Redo the same way.
    undo.OnRedo = [&](QObject*, TBaseGrid*, int col, int, const QString&, const QString&) {
        if (col == 2)
            throw std::runtime_error("refused");
    };
    EXPECT_THROW(undo.Redo(), std::runtime_error);
    EXPECT_EQ(undo.Level(), 0);
    EXPECT_EQ(g->GetCellEx(1, 1), QStringLiteral("1/1"));
    g->SetUndoRedo(nullptr);
}

// ---------------------------------------------------------------------------
// ClearRect: what its rows and columns name
// ---------------------------------------------------------------------------

TEST(GridClearRect, ClearsTheTextsTheStoreKeepsOutsideTheGrid)
{
    struct Case
    {
        const char* why;
        int col, row;            // a cell written outside the 4 x 6 grid
        bool displayColumns;     // SaveHiddenCells: the rectangle in display columns
        int col2, row2;          // the rectangle's far corner
    };
    const Case cases[] = {
        {"a row below the last", 1, 8, false, 3, 9},
        {"a column right of the last", 6, 2, false, 7, 5},
        {"both", 6, 8, false, 9, 9},
        {"display columns with a hidden one", 6, 2, true, 6, 5},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        auto g = Grid(4, 6);
        g->SetCellEx(k.col, k.row, QStringLiteral("outside"));
        ASSERT_EQ(g->GetGridCell(k.col, k.row), QStringLiteral("outside"));
        if (k.displayColumns) {
            g->HideColumn(1);
            g->SetSaveHiddenCells(true);
        }
        g->ClearRect(0, 0, k.col2, k.row2);
        EXPECT_EQ(g->GetGridCell(k.col, k.row), QString());
        EXPECT_EQ(g->GetGridCell(3, 5), QString());
    }
    // A rectangle inside the grid leaves the rest alone, and one beyond
    // the store costs nothing.
    auto g = Grid(4, 6);
    g->SetCellEx(6, 8, QStringLiteral("outside"));
    g->ClearRect(1, 1, 2, 2);
    EXPECT_EQ(g->GetCellEx(2, 2), QString());
    EXPECT_EQ(g->GetCellEx(3, 2), QStringLiteral("3/2"));
    EXPECT_EQ(g->GetCellEx(1, 3), QStringLiteral("1/3"));
    EXPECT_EQ(g->GetGridCell(6, 8), QStringLiteral("outside"));
    g->ClearRect(5, 7, INT_MAX, INT_MAX);
    EXPECT_EQ(g->GetGridCell(6, 8), QString());
}

// ---------------------------------------------------------------------------
// The column grid's filter drop-down
// ---------------------------------------------------------------------------

TEST(ColumnGridFilter, AChoiceFiltersWithTheColumnsCaseRule)
{
    struct Case
    {
        bool caseSensitive;
        QStringList shown;
    };
    const Case cases[] = {
        {false, {"ABC", "abc", "Abc"}},
        {true, {"abc"}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.caseSensitive ? "case-sensitive" : "without regard to case");
        QWidget host;
        host.resize(500, 300);
        auto* grid = new VOruVizizaZezo(&host);
        grid->setGeometry(10, 10, 460, 260);
        grid->SetColCount(3);
        grid->SetRowCount(6);
        grid->SetFixedRows(1);
        const char* names[] = {"ABC", "xyz", "abc", "Abc", "b"};
        for (int r = 0; r < 5; ++r)
            grid->SetCellEx(1, r + 1, QString::fromLatin1(names[r]));
        TGridColumnItem* item = grid->Columns().GetItem(1);
        item->SetFilter({QStringLiteral("All="), QStringLiteral("abc=abc")});
        item->SetFilterCaseSensitive(k.caseSensitive);
        host.show();
        QApplication::setActiveWindow(&host);
        Process();
        // The filter button of the header cell opens the list; Down, Enter chooses.
        const TRect cell = grid->TBaseGrid::CellRect(1, 0);
        testsupport::Click(grid->ClientSurface(), QPoint(cell.Right - 8, cell.Top + 5));
        Process();
        TDropList* list = grid->FilterDropList();
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(list->isVisible());
        list->setFocus();
        Process();
        testsupport::KeyClick(Qt::Key_Down);
        testsupport::KeyClick(Qt::Key_Return);
        Process();
        ASSERT_TRUE(grid->Filter().HasFilter(1));
        EXPECT_EQ(grid->Filter().ColFilter(1)->CaseSensitive(), k.caseSensitive);
        QStringList shown;
        for (int r = 1; r < grid->RowCount(); ++r)
            shown << grid->GetCellEx(1, r);
        EXPECT_EQ(shown, k.shown);
    }
}

// ---------------------------------------------------------------------------
// FormatFill: the platform's format language
// ---------------------------------------------------------------------------

TEST(GridFills, FormatFillTakesColumnThenRowInTheFormatLanguage)
{
    struct Case
    {
        const char* format;
        int col, row;
        const char* text;
    };
    const Case cases[] = {
        {"%d:%d", 1, 2, "1:2"},
        {"%d:%d", 0, 0, "0:0"},
        {"%.3d/%x", 2, 11, "002/B"},
        {"%-3d|%3d", 1, 2, "1  |  2"},
        {"100%% %d", 2, 0, "100% 2"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.format);
        TExStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(12);
        g.FormatFill(true, QString::fromLatin1(k.format));
        EXPECT_EQ(g.GetCellEx(k.col, k.row), QString::fromLatin1(k.text));
    }
    // Qt's placeholders are no specifiers of the language: they stay text.
    TExStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.FormatFill(true, QStringLiteral("%1-%2 %d %d"));
    EXPECT_EQ(g.GetCellEx(2, 1), QStringLiteral("%1-%2 2 1"));
    // A format asking for a third value is refused before any cell changes.
    g.SetCellEx(1, 1, QStringLiteral("kept"));
    EXPECT_THROW(g.FormatFill(true, QStringLiteral("%d:%d:%d")), REruVidaZuvez);
    EXPECT_EQ(g.GetCellEx(1, 1), QStringLiteral("kept"));
}

// ---------------------------------------------------------------------------
// Objects of hidden rows
// ---------------------------------------------------------------------------

TEST(GridHiddenObjects, AHiddenRowsObjectComesBackWithIt)
{
    struct Case
    {
        const char* why;
        std::function<void(TExStringGrid&)> hide, show;
    };
    const Case cases[] = {
        {"hidden by hand", [](TExStringGrid& g) { g.HideRow(3); }, [](TExStringGrid& g) { g.UnHideRow(3); }},
        {"filtered",
         [](TExStringGrid& g) {
             TIntList list;
             list.Add(3);
             g.HideRowList(list);
         },
         [](TExStringGrid& g) {
             g.UnHideRowList();
             g.SetFilterLevel(0);
         }},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        auto g = Grid(4, 6);
        Payload first, second;
        k.hide(*g);
        g->SetObjectsEx(2, 3, &first);
        EXPECT_EQ(g->GetObjectsEx(2, 3), &first);
        k.show(*g);
        EXPECT_EQ(g->GetObjectEx(2, 3), &first);
        EXPECT_EQ(g->GetCellEx(2, 3), QStringLiteral("2/3"));
        ASSERT_NO_THROW(g->SetObjectEx(2, 3, &second));
        EXPECT_EQ(g->GetObjectEx(2, 3), &second);
        // Clearing the object of a hidden row keeps its properties.
        k.hide(*g);
        g->SetObjectsEx(2, 3, nullptr);
        EXPECT_EQ(g->GetObjectsEx(2, 3), nullptr);
        g->SetObjectsEx(1, 3, nullptr); // nothing to hold it: nothing made
        k.show(*g);
        EXPECT_EQ(g->GetObjectEx(2, 3), nullptr);
        EXPECT_FALSE(g->HasCellProps(1, 3));
    }
}

// ---------------------------------------------------------------------------
// Cell scroll bars with automatic range
// ---------------------------------------------------------------------------

TEST(GridCellScrollBar, AnAutomaticRangeFollowsTheText)
{
    TExStringGrid g;
    g.resize(300, 200);
    g.SetColCount(3);
    g.SetRowCount(4);
    g.SetRowHeights(2, 40);
    g.SetCellEx(1, 2, QStringLiteral("one"));
    g.AddScrollBar(1, 2, true);
    int page = 0, range = 0;
    g.GetScrollProp(1, 2, page, range);
    EXPECT_EQ(page, 40);
    EXPECT_EQ(range, g.GetCellTextSize(1, 2, false, true).cy);
    const int oneLine = range;
    g.SetCellEx(1, 2, QStringLiteral("one\ntwo\nthree\nfour"));
    g.GetScrollProp(1, 2, page, range);
    EXPECT_EQ(page, 40);
    EXPECT_GT(range, oneLine);
    EXPECT_EQ(range, g.GetCellTextSize(1, 2, false, true).cy);
    // A bar without automatic range keeps what it was given.
    g.AddScrollBar(2, 2, false);
    g.SetScrollProp(2, 2, 7, 9);
    g.SetCellEx(2, 2, QStringLiteral("a\nb\nc"));
    g.GetScrollProp(2, 2, page, range);
    EXPECT_EQ(page, 7);
    EXPECT_EQ(range, 9);
}

// ---------------------------------------------------------------------------
// AutoSize, the stretch switch and Assign
// ---------------------------------------------------------------------------

TEST(GridAutoSizeSwitch, SizesTheColumnsOutsideLoadingAndWhenLoaded)
{
    const QString wide = QStringLiteral("a text much wider than a default column");
    struct Case
    {
        const char* why;
        std::function<void(TExStringGrid&)> apply;
        bool sized;
    };
    const Case cases[] = {
        {"switched on", [](TExStringGrid& g) { g.SetAutoSize(true); }, true},
        {"switched on while loading: not yet", [](TExStringGrid& g) {
             g.BeginLoading();
             g.SetAutoSize(true);
         },
         false},
        {"and then loaded", [](TExStringGrid& g) {
             g.BeginLoading();
             g.SetAutoSize(true);
             g.Loaded();
         },
         true},
        {"switched off", [](TExStringGrid& g) { g.SetAutoSize(false); }, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.why);
        TExStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetCellEx(1, 1, wide);
        const int before = g.ColWidths(1);
        k.apply(g);
        if (k.sized)
            EXPECT_GT(g.ColWidths(1), before + 50);
        else
            EXPECT_EQ(g.ColWidths(1), before);
    }
}

TEST(GridStretchSwitch, StretchesTheStretchColumnOnceTheGridHasAParent)
{
    QWidget host;
    host.resize(500, 300);
    auto* g = new TExStringGrid(&host);
    g->setGeometry(0, 0, 400, 200);
    g->SetColCount(3);
    g->ColumnSize().SetStretchColumn(1);
    const int before = g->ColWidths(1);
    g->ColumnSize().SetStretch(true);
    EXPECT_GT(g->ColWidths(1), before);
    int total = 0;
    for (int c = 0; c < g->ColCount(); ++c)
        total += g->ColWidths(c);
    EXPECT_LE(total, g->ClientWidth());
    EXPECT_GE(total, g->ClientWidth() - 2);
    // Without a parent the flag is only stored.
    TExStringGrid alone;
    alone.resize(400, 200);
    alone.SetColCount(3);
    const int kept = alone.ColWidths(2);
    alone.ColumnSize().SetStretch(true);
    EXPECT_TRUE(alone.ColumnSize().Stretch());
    EXPECT_EQ(alone.ColWidths(2), kept);
}

TEST(GridSettings, AssignCopiesTheRemainingFields)
{
    TExStringGrid a, b;
    a.SetColCount(4);
    a.SetRowCount(3);
    a.FilterDropDown().SetColumnWidth(true);
    a.SetAnchorHint(true);
    a.SetAutoNumAlign(true);
    a.Grouping().SetMergeHeader(true);
    a.Filter().ColFilter(2)->SetCondition(QStringLiteral("x*"));
    a.Filter().ColFilter(2)->SetCaseSensitive(false);
    a.SetFixedColWidth(33);
    a.SetInvalidEntryTitle(QStringLiteral("Title"));
    a.SetInvalidEntryText(QStringLiteral("Text"));
    a.SetInvalidEntryIcon(ieError);
    b.Assign(&a);
    EXPECT_TRUE(b.FilterDropDown().ColumnWidth());
    EXPECT_TRUE(b.AnchorHint());
    EXPECT_TRUE(b.AutoNumAlign());
    EXPECT_TRUE(b.Grouping().MergeHeader());
    ASSERT_TRUE(b.Filter().HasFilter(2));
    EXPECT_EQ(b.Filter().ColFilter(2)->Condition(), QStringLiteral("x*"));
    EXPECT_FALSE(b.Filter().ColFilter(2)->CaseSensitive());
    EXPECT_EQ(b.FixedColWidth(), 33);
    EXPECT_EQ(b.InvalidEntryTitle(), QStringLiteral("Title"));
    EXPECT_EQ(b.InvalidEntryText(), QStringLiteral("Text"));
    EXPECT_EQ(b.InvalidEntryIcon(), ieError);
}

// ---------------------------------------------------------------------------
// FitRowHeight
// ---------------------------------------------------------------------------

TEST(GridFitRowHeight, IgnoredColumnsAndFullHeightGraphicsDoNotGrowTheRow)
{
    auto g = Grid(4, 4);
    g->SetCellEx(1, 2, QStringLiteral("one line"));
    g->AutoSizeRow(2);
    const int oneLine = g->RowHeights(2);
    // A tall text in an ignored column is not measured.
    g->SetCellEx(2, 2, QStringLiteral("a\nb\nc\nd"));
    g->IgnoreColumns().Add(2);
    g->AutoSizeRow(2);
    EXPECT_EQ(g->RowHeights(2), oneLine);
    g->IgnoreColumns().Clear();
    g->AutoSizeRow(2);
    EXPECT_GT(g->RowHeights(2), oneLine);
    g->SetCellEx(2, 2, QStringLiteral("2/2"));
    // A graphic filling the cell's height takes the row's height: fitting
    // again and again leaves the row as it is.
    platform::TBitmap bitmap;
    bitmap.SetSize(8, 80);
    g->resize(400, 300);
    g->AddBitmap(3, 2, &bitmap, false, haLeft, vaFull);
    g->AutoSizeRow(2);
    const int fitted = g->RowHeights(2);
    EXPECT_EQ(fitted, oneLine);
    g->AutoSizeRow(2);
    g->AutoSizeRow(2);
    EXPECT_EQ(g->RowHeights(2), fitted);
    g->RemoveBitmap(3, 2);
}

struct FitWhileTyping : edittest::GridFixture
{
};

TEST_F(FitWhileTyping, TheEditorKeepsFollowingWithItsCaretAtTheEnd)
{
    grid->SizeWhileTyping().SetHeight(true);
    grid->SetWordWrap(true);
    grid->SetColWidths(1, 60);
    grid->FocusCell(1, 1);
    edittest::Key(Qt::Key_F2);
    edittest::Type(QStringLiteral("abc def"));
    edittest::ProcessEvents();
    TInplaceEdit* editor = grid->InplaceEditor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible());
    editor->SetSelStart(0);
    editor->SetSelLength(0);
    grid->SetCellEx(1, 1, QStringLiteral("abc def ghi jkl mno pqr"));
    grid->AutoSizeRow(1);
    edittest::ProcessEvents();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->SelStart(), editor->Text().size());
    EXPECT_GE(editor->height(), grid->RowHeights(1) - 4);
}
