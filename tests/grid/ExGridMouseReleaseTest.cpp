// The release of the left button, the double click and the right button,
// through real mouse events: cell and header double clicks, sorting by a
// header click, right clicks, the check box's release event and the sizing
// of fixed columns and rows.
#include "ExGridInputTestSupport.h"

#include <functional>
#include <memory>
#include <vector>

using namespace platform;
using namespace inputtest;
using edittest::ProcessEvents;

namespace {

struct MouseRelease : InputFixture
{
    void SetUp() override
    {
        InputFixture::SetUp();
        grid->SetOptions(grid->Options() & ~goEditing);
        for (int c = 0; c < grid->ColCount(); ++c)
            grid->SetCellEx(c, 0, QStringLiteral("H%1").arg(c));
        RecordClickSort();
        grid->OnCanSort = [this](QObject*, int c, bool&) { events.push_back(QStringLiteral("cansort %1").arg(c)); };
    }

    QPoint HeaderBorder(int col)
    {
        const TRect r = grid->CellRect(col, 0);
        return QPoint(r.Right, (r.Top + r.Bottom) / 2);
    }
};

} // namespace

TEST_F(MouseRelease, ADoubleClickOnACellPassesTheRowFirst)
{
    grid->OnDblClick = [this](QObject*) { events.push_back(QStringLiteral("dblclick")); };
    grid->OnDblClickCell = [this](QObject*, int aRow, int aCol) {
        events.push_back(QStringLiteral("dblclickcell %1,%2").arg(aRow).arg(aCol));
    };
    DoubleClick(grid, CellCentre(grid, 2, 4));
    ProcessEvents();
    const std::vector<QString> expected = {QStringLiteral("dblclick"), QStringLiteral("dblclickcell 4,2")};
    EXPECT_EQ(events, expected);
}

TEST_F(MouseRelease, ADoubleClickOnAHeaderBorderFitsTheColumnAndTheReleaseDoesNotSort)
{
    struct Case
    {
        const char* name;
        bool allow;
        std::vector<QString> expected;
    };
    const Case cases[] = {
        {"allowed", true, {QStringLiteral("colsize 2"), QStringLiteral("endcolsize 2")}},
        {"refused", false, {QStringLiteral("colsize 2")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        grid->SetOptions(grid->Options() | goColSizing);
        ShowUnsorted();
        grid->SetCellEx(2, 3, QStringLiteral("a text far wider than the column it stands in"));
        const int before = grid->ColWidths(2);
        // What fitting the column gives on an equal grid.
        TExStringGrid same;
        same.SetColCount(grid->ColCount());
        same.SetRowCount(grid->RowCount());
        same.SetCellEx(2, 3, grid->GetCellEx(2, 3));
        same.AutoSizeCol(2, 0);
        const int fitted = same.ColWidths(2);
        ASSERT_GT(fitted, before);

        const QPoint at = HeaderBorder(2);
        ClickAt(grid, at);
        ProcessEvents();
        events.clear();
        grid->OnColumnSize = [&, allow = c.allow](QObject*, int col, bool& a) {
            events.push_back(QStringLiteral("colsize %1").arg(col));
            a = allow;
        };
        grid->OnEndColumnSize = [&](QObject*, int col) { events.push_back(QStringLiteral("endcolsize %1").arg(col)); };
        SendMouse(grid, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        Release(grid, at);
        ProcessEvents();
        EXPECT_EQ(events, c.expected);
        EXPECT_EQ(grid->SortSettings().Column(), -1);
        EXPECT_EQ(grid->ColWidths(2), c.allow ? fitted : before);
    }
}

TEST_F(MouseRelease, ADoubleClickRightOfTheLastColumnFitsTheLastOne)
{
    grid->SetOptions(grid->Options() | goColSizing);
    grid->OnEndColumnSize = [this](QObject*, int col) { events.push_back(QStringLiteral("endcolsize %1").arg(col)); };
    const TRect last = grid->CellRect(grid->ColCount() - 1, 0);
    const QPoint at(last.Right + 2, (last.Top + last.Bottom) / 2);
    DoubleClick(grid, at);
    ProcessEvents();
    EXPECT_EQ(events, std::vector<QString>{QStringLiteral("endcolsize 4")});

    // One column only: there is no column left of it to fit.
    events.clear();
    grid->SetFixedCols(0);
    grid->SetColCount(1);
    const TRect only = grid->CellRect(0, 0);
    DoubleClick(grid, QPoint(only.Right + 2, (only.Top + only.Bottom) / 2));
    ProcessEvents();
    EXPECT_EQ(events, std::vector<QString>{QStringLiteral("endcolsize 0")});
}

// A header click sorts: a new column in the initial direction, the sorted
// column in the other one; with UndoSort the third click restores the order.
TEST_F(MouseRelease, HeaderClicksSortByTheColumn)
{
    struct Step
    {
        int column;
        TSortDirection direction;
    };
    struct Case
    {
        const char* name;
        bool undo;
        TSortDirection initial;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"flip", false, sdAscending, {{2, sdAscending}, {2, sdDescending}, {2, sdAscending}}},
        {"undo on the third click", true, sdAscending, {{2, sdAscending}, {2, sdDescending}, {-1, sdAscending}}},
        {"starting descending", true, sdDescending, {{2, sdDescending}, {2, sdAscending}, {-1, sdDescending}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        ShowUnsorted();
        grid->SortSettings().SetUndoSort(c.undo);
        grid->SortSettings().SetInitSortDirection(c.initial);
        for (const Step& s : c.steps) {
            events.clear();
            ClickAt(grid, CellCentre(grid, 2, 0));
            ProcessEvents();
            EXPECT_EQ(grid->SortSettings().Column(), s.column);
            EXPECT_EQ(grid->SortSettings().Direction(), s.direction);
            EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("cansort 2"), QStringLiteral("sort %1").arg(s.column)}));
        }
    }
}

TEST_F(MouseRelease, AHeaderClickDoesNotSortWhenItMayNot)
{
    struct Case
    {
        const char* name;
        std::function<void(MouseRelease&)> setup;
        std::vector<QString> expected;
    };
    const Case cases[] = {
        {"sorting not shown", [](MouseRelease& f) { f.grid->SortSettings().SetShow(false); }, {}},
        {"two rows only", [](MouseRelease& f) { f.grid->SetRowCount(2); }, {}},
        // An ignored column is still offered to the handler, which may sort it.
        {"ignored column", [](MouseRelease& f) { f.grid->IgnoreColumns().Add(2); }, {QStringLiteral("cansort 2")}},
        {"refused",
         [](MouseRelease& f) {
             f.grid->OnCanSort = [&f](QObject*, int c, bool& doSort) {
                 f.events.push_back(QStringLiteral("cansort %1").arg(c));
                 doSort = false;
             };
         },
         {QStringLiteral("cansort 2")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        ShowUnsorted();
        c.setup(*this);
        ClickAt(grid, CellCentre(grid, 2, 0));
        ProcessEvents();
        EXPECT_EQ(grid->SortSettings().Column(), -1);
        EXPECT_EQ(events, c.expected);
    }
}

TEST_F(MouseRelease, ARightClickSelectsWhenAsked)
{
    struct Case
    {
        const char* name;
        bool selectOnRightClick;
        bool handler;
        int col, row;           // where the click lands
        int wantCol, wantRow;   // the current cell afterwards
        std::vector<QString> expected;
    };
    const Case cases[] = {
        {"like a left click", true, false, 3, 4, 3, 4,
         {QStringLiteral("downR 1,1"), QStringLiteral("down 3,4"), QStringLiteral("click 3,4")}},
        {"handler: the cell alone", true, true, 3, 4, 3, 4,
         {QStringLiteral("downR 1,1"), QStringLiteral("right 4,3")}},
        {"not asked", false, true, 3, 4, 1, 1, {QStringLiteral("downR 1,1"), QStringLiteral("right 4,3")}},
        {"outside the cells", true, true, -1, -1, 1, 1, {QStringLiteral("downR 1,1"), QStringLiteral("right -1,-1")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        grid->MouseActions().SetSelectOnRightClick(c.selectOnRightClick);
        RecordMouseDown();
        RecordClick();
        if (c.handler)
            grid->OnRightClickCell = [this](QObject*, int aRow, int aCol) {
                events.push_back(QStringLiteral("right %1,%2").arg(aRow).arg(aCol));
            };
        const QPoint at = c.col >= 0 ? CellCentre(grid, c.col, c.row) : QPoint(grid->ClientWidth() - 2, grid->ClientHeight() - 2);
        ClickAt(grid, at, Qt::RightButton);
        ProcessEvents();
        EXPECT_EQ(events, c.expected);
        EXPECT_EQ(grid->Col(), c.wantCol);
        EXPECT_EQ(grid->Row(), c.wantRow);
    }
}

TEST_F(MouseRelease, TheCheckBoxReleaseEventComesAlsoWhenThePressDidNotToggle)
{
    struct Case
    {
        const char* name;
        bool precise;
        int dx;  // from the cell's left
        bool checked;
    };
    grid->SetOptions(grid->Options() | goEditing);
    const Case cases[] = {
        {"on the box", false, 8, true},
        {"beside the glyph, precise", true, 40, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        events.clear();
        grid->AddCheckBox(2, 3, false, false);
        grid->MouseActions().SetPreciseCheckBoxCheck(c.precise);
        grid->OnCheckBoxMouseUp = [this](QObject*, int col, int row, bool state) {
            events.push_back(QStringLiteral("checkup %1,%2 %3").arg(col).arg(row).arg(state));
        };
        const TRect r = grid->CellRect(2, 3);
        ClickAt(grid, QPoint(r.Left + c.dx, r.Top + 5));
        ProcessEvents();
        EXPECT_EQ(grid->IsChecked(2, 3), c.checked);
        EXPECT_EQ(events, std::vector<QString>{QStringLiteral("checkup 2,3 %1").arg(int(c.checked))});
    }
}

TEST_F(MouseRelease, ACellButtonClicksOnlyWhenReleasedOnIt)
{
    grid->SetOptions(grid->Options() | goEditing);
    grid->AddButton(2, 3, 30, 16, QStringLiteral("..."), haLeft, vaTop);
    grid->OnButtonClick = [this](QObject*, int c, int r) { events.push_back(QStringLiteral("button %1,%2").arg(c).arg(r)); };
    const TRect b = grid->CalcCellButtonRect(2, 3);
    ASSERT_GT(b.Right, b.Left);
    const QPoint on((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);

    ClickAt(grid, on);
    ProcessEvents();
    EXPECT_EQ(events, std::vector<QString>{QStringLiteral("button 2,3")});

    events.clear();
    Move(grid, on);
    Press(grid, on);
    Release(grid, CellCentre(grid, 4, 5));
    ProcessEvents();
    EXPECT_TRUE(events.empty());
}

// Sizing a fixed column or row by its border: a release left of the
// column's start (above the row's) leaves it 0 wide (high), and the size
// events report 0, never a negative size.
TEST_F(MouseRelease, FixedColumnAndRowSizingStopsAtZero)
{
    struct Case
    {
        const char* name;
        bool rows;
        int to;         // release coordinate: x for columns, y for rows
        int expected;   // the fixed column's width or row's height
    };
    const Case cases[] = {
        {"column released left of its start", false, 2, 0},
        {"column widened", false, -1, 30},
        {"row released above its start", true, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        if (c.rows) {
            grid->MouseActions().SetSizeFixedRow(true);
            grid->SetFixedRows(2);
        } else {
            grid->MouseActions().SetSizeFixedCol(true);
            grid->SetFixedCols(2);
        }
        ProcessEvents();
        const TRect first = grid->CellRect(0, 0);
        const TRect second = grid->CellRect(1, 1);
        const QPoint border = c.rows ? QPoint((first.Left + first.Right) / 2, second.Bottom)
                                     : QPoint(second.Right, (first.Top + first.Bottom) / 2);
        const int release = c.to >= 0 ? c.to : (c.rows ? first.Bottom : first.Right) + c.expected;
        const QPoint end = c.rows ? QPoint(border.x(), release) : QPoint(release, border.y());

        grid->OnEndColumnSize = [this](QObject*, int col) {
            events.push_back(QStringLiteral("endcol %1 %2").arg(col).arg(grid->ColWidths(col)));
        };
        grid->OnUpdateColumnSize = [this](QObject*, int col, int& width) {
            events.push_back(QStringLiteral("updatecol %1 %2").arg(col).arg(width));
        };
        grid->OnEndRowSize = [this](QObject*, int row) {
            events.push_back(QStringLiteral("endrow %1 %2").arg(row).arg(grid->RowHeights(row)));
        };
        // The pointer comes to the border first; the move marks it.
        Move(grid, border);
        Press(grid, border);
        Move(grid, end, Qt::LeftButton);
        Release(grid, end);
        ProcessEvents();
        if (c.rows) {
            EXPECT_EQ(grid->RowHeights(1), c.expected);
            EXPECT_EQ(events, std::vector<QString>{QStringLiteral("endrow 1 %1").arg(c.expected)});
        } else {
            EXPECT_EQ(grid->ColWidths(1), c.expected);
            const std::vector<QString> expected = {QStringLiteral("endcol 1 %1").arg(c.expected),
                                                   QStringLiteral("updatecol 1 %1").arg(c.expected)};
            EXPECT_EQ(events, expected);
        }
    }
}

TEST_F(MouseRelease, AWidthChangedOnUpdateIsApplied)
{
    grid->MouseActions().SetSizeFixedCol(true);
    grid->SetFixedCols(2);
    ProcessEvents();
    grid->OnUpdateColumnSize = [](QObject*, int, int& width) { width = 45; };
    const TRect first = grid->CellRect(0, 0);
    const TRect second = grid->CellRect(1, 0);
    const QPoint border(second.Right, (first.Top + first.Bottom) / 2);
    Move(grid, border);
    Press(grid, border);
    Release(grid, QPoint(first.Right + 20, border.y()));
    ProcessEvents();
    EXPECT_EQ(grid->ColWidths(1), 45);
}

// A fixed column is sized by its border in any row, also when the grid has
// no header row and its first rows are scrolled out of view; a fixed row
// likewise with the first columns scrolled out.
TEST_F(MouseRelease, AFixedColumnOrRowIsSizedWithTheFirstCellsScrolledOut)
{
    struct Case
    {
        const char* name;
        bool rows;
    };
    const Case cases[] = {{"fixed column, rows scrolled", false}, {"fixed row, columns scrolled", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Restart();
        if (c.rows) {
            grid->MouseActions().SetSizeFixedRow(true);
            grid->SetFixedCols(0);
            grid->SetColCount(40);
            ProcessEvents();
            grid->SetLeftCol(10);
        } else {
            grid->MouseActions().SetSizeFixedCol(true);
            grid->SetFixedRows(0);
            grid->SetRowCount(80);
            ProcessEvents();
            grid->SetTopRow(20);
        }
        ProcessEvents();
        grid->OnEndColumnSize = [this](QObject*, int col) { events.push_back(QStringLiteral("endcol %1").arg(col)); };
        grid->OnEndRowSize = [this](QObject*, int row) { events.push_back(QStringLiteral("endrow %1").arg(row)); };
        // The only fixed column (row) ends at its own width (height).
        const int size = c.rows ? grid->RowHeights(0) : grid->ColWidths(0);
        const int across = c.rows ? 100 : 200;
        const QPoint border = c.rows ? QPoint(across, size) : QPoint(size, across);
        const QPoint end = c.rows ? QPoint(across, size + 15) : QPoint(size + 15, across);
        Move(grid, border);
        Press(grid, border);
        Move(grid, end, Qt::LeftButton);
        Release(grid, end);
        ProcessEvents();
        EXPECT_EQ(c.rows ? grid->RowHeights(0) : grid->ColWidths(0), size + 15);
        EXPECT_EQ(events, std::vector<QString>{c.rows ? QStringLiteral("endrow 0") : QStringLiteral("endcol 0")});
    }
}

// The release that ends sizing a fixed column shows the column-sizing
// cursor: on the header row it is no header click.
TEST_F(MouseRelease, EndingAFixedColumnSizeOnTheHeaderRowDoesNotClick)
{
    grid->MouseActions().SetSizeFixedCol(true);
    ProcessEvents();
    grid->OnClick = [this](QObject*) { events.push_back(QStringLiteral("click")); };
    const TRect cell = grid->CellRect(0, 0);
    const QPoint border(cell.Right, (cell.Top + cell.Bottom) / 2);
    const QPoint end(cell.Right + 10, border.y());
    Move(grid, border);
    Press(grid, border);
    Move(grid, end, Qt::LeftButton);
    Release(grid, end);
    ProcessEvents();
    EXPECT_EQ(grid->ColWidths(0), cell.Right + 10);
    EXPECT_TRUE(events.empty());
}
