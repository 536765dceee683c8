#include "platform/Grids.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <tuple>

using namespace platform;

namespace {

// A string grid with the protected operations the tests drive, recording the
// virtual steps the descendants rely on.
class Grid : public TStringGrid
{
public:
    Grid()
    {
        SetBorderStyle(bsNone);
        SetScrollBars(ssNone);
    }
    using TCustomGrid::FocusCell;
    using TCustomGrid::GridState;
    using TCustomGrid::HideEditor;
    using TCustomGrid::MoveColRow;
    using TCustomGrid::MoveColumn;
    using TCustomGrid::MoveRow;
    using TCustomGrid::ShowEditor;
    using TStringGrid::ColumnMoved;
    using TStringGrid::DeleteRow;
    using TStringGrid::DeleteRows;

    std::vector<std::tuple<int, int, QString>> edits;
    int widthChanges = 0;
    int sizeChanges = 0;
    int topLeftChanges = 0;
    int editLimit = 0;
    QString editMask;

protected:
    void SetEditText(int col, int row, const QString& value) override
    {
        edits.emplace_back(col, row, value);
        TStringGrid::SetEditText(col, row, value);
    }
    void ColWidthsChanged() override
    {
        ++widthChanges;
        TStringGrid::ColWidthsChanged();
    }
    void SizeChanged(int oldCols, int oldRows) override { ++sizeChanges; }
    void TopLeftChanged() override
    {
        ++topLeftChanges;
        TStringGrid::TopLeftChanged();
    }
    int GetEditLimit() override { return editLimit; }
    QString GetEditMask(int, int) override { return editMask; }
};

struct TestObject : TObject
{
};

void Key(QWidget* w, int qtKey, Qt::KeyboardModifiers m = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, qtKey, m, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, m, text);
    QApplication::sendEvent(w, &release);
}

void Type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        const int k = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.isDigit() ? Qt::Key_0 + (c.unicode() - '0') : 0;
        Key(w, k, Qt::NoModifier, QString(c));
    }
}

void Mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::KeyboardModifiers m = Qt::NoModifier,
           Qt::MouseButton b = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove        ? Qt::MouseButtons(Qt::LeftButton)
                                                                     : Qt::MouseButtons(b);
    QMouseEvent e(type, p, w->mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : b, held, m);
    QApplication::sendEvent(w, &e);
}

// The middle of a cell, in client coordinates.
QPoint Middle(const Grid& g, int col, int row)
{
    const TRect r = g.CellRect(col, row);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

void Click(Grid& g, int col, int row, Qt::KeyboardModifiers m = Qt::NoModifier)
{
    const QPoint p = Middle(g, col, row);
    Mouse(g.ClientSurface(), QEvent::MouseButtonPress, p, m);
    Mouse(g.ClientSurface(), QEvent::MouseButtonRelease, p, m);
}

// A shown grid with the keyboard focus.
void Focus(Grid& g)
{
    g.show();
    g.activateWindow();
    g.setFocus();
    QApplication::processEvents();
}

} // namespace

// Default geometry of these tests: no border, no bars, 64 x 24 cells with
// 1-pixel lines, so columns start every 65 and rows every 25 pixels.

TEST(Grids, DefaultsAndGeometry)
{
    Grid g;
    g.resize(400, 300);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.FixedCols(), 1);
    EXPECT_EQ(g.FixedRows(), 1);
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Options(), goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect);
    EXPECT_EQ(g.CellRect(2, 3), Rect(130, 75, 194, 99));
    int col, row;
    g.MouseToCell(130, 75, col, row);
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 3);
    g.MouseToCell(194, 99, col, row);  // the grid line belongs to the cell before it
    EXPECT_EQ(col, 2);
    EXPECT_EQ(row, 3);
    g.MouseToCell(399, 10, col, row);  // right of the last column
    EXPECT_EQ(col, -1);
    EXPECT_EQ(row, 0);
    g.SetRowCount(100);
    // 300 pixels hold the fixed row and 11 whole rows (11 x 25 - 1 < 275).
    EXPECT_EQ(g.VisibleRowCount(), 11);
    EXPECT_EQ(g.CellRect(1, 11), Rect(65, 275, 129, 299));
    EXPECT_EQ(g.CellRect(1, 12), TRect{});  // out of view
    g.SetTopRow(50);
    EXPECT_EQ(g.CellRect(1, 3), TRect{});  // scrolled out
    EXPECT_EQ(g.CellRect(1, 50), Rect(65, 25, 129, 49));
    EXPECT_EQ(g.CellRect(0, 50), Rect(0, 25, 64, 49));
}

TEST(Grids, CellsSurviveCountChanges)
{
    struct Case
    {
        const char* name;
        int cols, rows;
    };
    const Case cases[] = {{"fewer columns", 2, 5}, {"fewer rows", 5, 2}, {"both", 3, 3}, {"down to one", 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Grid g;
        TestObject object;
        g.SetCells(4, 4, QStringLiteral("kept"));
        g.SetObjects(4, 4, &object);
        g.SetCells(1, 1, QStringLiteral("inside"));
        g.SetColCount(c.cols);
        g.SetRowCount(c.rows);
        EXPECT_EQ(g.ColCount(), c.cols);
        EXPECT_EQ(g.RowCount(), c.rows);
        EXPECT_LT(g.FixedCols(), g.ColCount());  // kept below the counts
        EXPECT_LT(g.FixedRows(), g.RowCount());
        EXPECT_EQ(g.Cells(4, 4), QStringLiteral("kept"));  // raw access beyond the counts
        g.SetColCount(5);
        g.SetRowCount(5);
        EXPECT_EQ(g.Cells(4, 4), QStringLiteral("kept"));
        EXPECT_EQ(g.Objects(4, 4), &object);
        EXPECT_EQ(g.Cells(1, 1), QStringLiteral("inside"));
        EXPECT_GE(g.sizeChanges, 2);
    }
}

TEST(Grids, CellAccessLimits)
{
    Grid g;
    EXPECT_EQ(g.Cells(-1, 3), QString());
    EXPECT_EQ(g.Cells(100000, 100000), QString());
    EXPECT_EQ(g.Objects(7, 7), nullptr);
    EXPECT_THROW(g.SetCells(-1, 0, QStringLiteral("x")), std::out_of_range);
    EXPECT_THROW(g.SetCells(0, TStringGrid::MaxStoredRows, QStringLiteral("x")), std::out_of_range);
    g.SetCells(3, 99999, QStringLiteral("far"));  // the store does not depend on RowCount
    EXPECT_EQ(g.Cells(3, 99999), QStringLiteral("far"));
    EXPECT_THROW(g.SetColWidths(5, 10), std::out_of_range);
    EXPECT_EQ(g.ColWidths(5), 64);
    EXPECT_THROW(g.SetCol(7), std::out_of_range);
    EXPECT_EQ(g.Col(), 1);
}

TEST(Grids, DeleteRowMovesCellsAndHeightsUp)
{
    Grid g;
    g.SetRowCount(7);
    for (int r = 0; r < 9; ++r)
        g.SetCells(0, r, QStringLiteral("r%1").arg(r));
    g.SetRowHeights(3, 40);
    g.SetRowHeights(5, 50);
    g.SetRow(5);
    g.DeleteRow(3);
    EXPECT_EQ(g.RowCount(), 6);
    EXPECT_EQ(g.Cells(0, 2), QStringLiteral("r2"));
    EXPECT_EQ(g.Cells(0, 3), QStringLiteral("r4"));
    EXPECT_EQ(g.Cells(0, 5), QStringLiteral("r6"));
    EXPECT_EQ(g.Cells(0, 7), QStringLiteral("r8"));  // a row beyond the count moves up too
    EXPECT_EQ(g.RowHeights(3), 24);
    EXPECT_EQ(g.RowHeights(4), 50);
    EXPECT_EQ(g.Row(), 4);  // the current row stays on its row
    EXPECT_THROW(g.DeleteRow(6), std::out_of_range);
    // The deleted row's text is gone: growing the count does not bring it back.
    g.SetRowCount(9);
    for (int r = 0; r < 9; ++r)
        EXPECT_NE(g.Cells(0, r), QStringLiteral("r3"));
    EXPECT_EQ(g.Cells(0, 6), QStringLiteral("r7"));
    g.SetRowCount(6);
    g.SetRow(5);
    g.DeleteRow(5);  // the current (last) row goes: the new last row is current
    EXPECT_EQ(g.RowCount(), 5);
    EXPECT_EQ(g.Row(), 4);
}

// Deleting a block of rows in one step leaves the grid exactly as deleting
// them one at a time does: cells (also beyond the count), heights, counts,
// the current cell, the anchor and the top row.
TEST(Grids, DeleteRowsIsDeleteRowRepeated)
{
    struct Case
    {
        const char* why;
        int rows, fixed, current, top, row, count;
        bool hiddenSelection = false;
    };
    const Case cases[] = {
        {"current row below the block moves up by the block", 20, 1, 15, 1, 5, 4},
        {"current row inside the block lands on the block's place", 20, 1, 7, 1, 5, 4},
        {"the block reaches the end: the current last row follows the new end", 10, 1, 9, 1, 6, 4},
        {"every row from the first: the grid keeps one", 6, 1, 3, 1, 0, 6},
        {"fixed rows are cut with the count", 5, 3, 4, 3, 1, 4},
        {"a scrolled top row below the block moves up", 40, 1, 30, 25, 3, 5},
        {"a scrolled top row inside the block stops at the block", 40, 1, 30, 25, 22, 6},
        {"a selection beyond the grid stays where it is", 12, 1, 0, 1, 2, 3, true},
    };
    auto build = [](const Case& c, Grid& g) {
        g.resize(200, 120);
        g.SetRowCount(c.rows);
        g.SetFixedRows(c.fixed);
        for (int r = 0; r < c.rows + 3; ++r)
            g.SetCells(1, r, QStringLiteral("r%1").arg(r));
        for (int r = 0; r < c.rows; r += 3)
            g.SetRowHeights(r, 10 + r);
        if (c.hiddenSelection) {
            g.SetSelection(TGridRect{1, 100, 1, 100});
        } else {
            g.SetRow(c.current);
            g.SetTopRow(c.top);
        }
    };
    auto state = [](const Grid& g) {
        QStringList s;
        s << QStringLiteral("count %1 fixed %2 row %3 top %4 sel %5,%6")
                 .arg(g.RowCount())
                 .arg(g.FixedRows())
                 .arg(g.Row())
                 .arg(g.TopRow())
                 .arg(g.Selection().Top)
                 .arg(g.Selection().Bottom);
        for (int r = 0; r < 45; ++r)
            s << g.Cells(1, r) + QStringLiteral(" h") + QString::number(r < g.RowCount() ? g.RowHeights(r) : -1);
        return s;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Grid one, block;
        build(c, one);
        build(c, block);
        for (int i = 0; i < c.count; ++i)
            one.DeleteRow(c.row);
        block.DeleteRows(c.row, c.count);
        EXPECT_EQ(state(block), state(one));
    }
    // A block one single deletion could not remove changes nothing.
    Grid g;
    g.SetRowCount(8);
    g.SetCells(1, 5, QStringLiteral("kept"));
    EXPECT_THROW(g.DeleteRows(5, 4), std::out_of_range);
    EXPECT_EQ(g.RowCount(), 8);
    EXPECT_EQ(g.Cells(1, 5), QStringLiteral("kept"));
}

TEST(Grids, ColumnAndRowMoves)
{
    Grid g;
    g.SetColCount(4);
    std::vector<std::pair<int, int>> moved;
    g.OnColumnMoved = [&](QObject*, int from, int to) { moved.emplace_back(from, to); };
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 8; ++c)
            g.SetCells(c, r, QStringLiteral("%1.%2").arg(c).arg(r));
    g.SetColWidths(1, 30);
    g.MoveColumn(1, 3);
    EXPECT_EQ(g.Cells(3, 2), QStringLiteral("1.2"));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("2.2"));
    EXPECT_EQ(g.Cells(2, 0), QStringLiteral("3.0"));
    EXPECT_EQ(g.ColWidths(1), 30);  // widths stay: the descendant moves them
    EXPECT_EQ(moved, (std::vector<std::pair<int, int>>{{1, 3}}));
    g.MoveColumn(3, 1);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("1.1"));
    // The descendant moves real columns beyond ColCount (hidden columns).
    g.ColumnMoved(7, 5);
    EXPECT_EQ(g.Cells(5, 1), QStringLiteral("7.1"));
    EXPECT_EQ(g.Cells(6, 1), QStringLiteral("5.1"));
    EXPECT_EQ(g.Cells(7, 1), QStringLiteral("6.1"));
    EXPECT_THROW(g.MoveColumn(0, 4), std::out_of_range);

    std::vector<std::pair<int, int>> rowsMoved;
    g.OnRowMoved = [&](QObject*, int from, int to) { rowsMoved.emplace_back(from, to); };
    g.MoveRow(2, 1);
    EXPECT_EQ(g.Cells(0, 1), QStringLiteral("0.2"));
    EXPECT_EQ(g.Cells(0, 2), QStringLiteral("0.1"));
    EXPECT_EQ(rowsMoved, (std::vector<std::pair<int, int>>{{2, 1}}));
}

TEST(Grids, ColumnMovedByTheMouse)
{
    Grid g;
    g.resize(400, 200);
    g.SetOptions(g.Options() | goColMoving);
    for (int c = 0; c < 5; ++c)
        g.SetCells(c, 1, QStringLiteral("c%1").arg(c));
    std::vector<std::pair<int, int>> moved;
    g.OnColumnMoved = [&](QObject*, int from, int to) { moved.emplace_back(from, to); };
    QWidget* s = g.ClientSurface();
    Mouse(s, QEvent::MouseButtonPress, Middle(g, 1, 0));
    EXPECT_EQ(g.GridState(), gsColMoving);
    Mouse(s, QEvent::MouseMove, Middle(g, 3, 0));
    Mouse(s, QEvent::MouseButtonRelease, Middle(g, 3, 0));
    EXPECT_EQ(g.GridState(), gsNormal);
    EXPECT_EQ(moved, (std::vector<std::pair<int, int>>{{1, 3}}));
    EXPECT_EQ(g.Cells(3, 1), QStringLiteral("c1"));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("c2"));
}

TEST(Grids, NavigationKeys)
{
    struct Case
    {
        const char* name;
        int startCol, startRow;
        int key;
        Qt::KeyboardModifiers mods;
        bool tabs;
        int col, row, top;
    };
    // 6 x 30 cells; 300 pixels show 11 scrollable rows, so the last top row is 19.
    const Case cases[] = {
        {"down", 1, 1, Qt::Key_Down, Qt::NoModifier, false, 1, 2, 1},
        {"up at the first row stays", 1, 1, Qt::Key_Up, Qt::NoModifier, false, 1, 1, 1},
        {"left at the first column stays", 1, 3, Qt::Key_Left, Qt::NoModifier, false, 1, 3, 1},
        {"right at the last column stays", 5, 3, Qt::Key_Right, Qt::NoModifier, false, 5, 3, 1},
        {"down at the last row stays", 2, 29, Qt::Key_Down, Qt::NoModifier, false, 2, 29, 19},
        {"home", 4, 3, Qt::Key_Home, Qt::NoModifier, false, 1, 3, 1},
        {"end", 2, 3, Qt::Key_End, Qt::NoModifier, false, 5, 3, 1},
        {"ctrl home", 4, 10, Qt::Key_Home, Qt::ControlModifier, false, 1, 1, 1},
        {"ctrl end", 2, 3, Qt::Key_End, Qt::ControlModifier, false, 5, 29, 19},
        {"page down", 1, 1, Qt::Key_PageDown, Qt::NoModifier, false, 1, 12, 12},
        {"page down near the end", 1, 25, Qt::Key_PageDown, Qt::NoModifier, false, 1, 29, 19},
        {"page up", 1, 25, Qt::Key_PageUp, Qt::NoModifier, false, 1, 14, 4},
        {"tab without goTabs", 2, 3, Qt::Key_Tab, Qt::NoModifier, false, 2, 3, 1},
        {"tab", 2, 3, Qt::Key_Tab, Qt::NoModifier, true, 3, 3, 1},
        {"tab wraps to the next row", 5, 3, Qt::Key_Tab, Qt::NoModifier, true, 1, 4, 1},
        {"tab wraps to the first row", 5, 29, Qt::Key_Tab, Qt::NoModifier, true, 1, 1, 1},
        {"shift tab", 1, 3, Qt::Key_Backtab, Qt::ShiftModifier, true, 5, 2, 1},
        {"shift tab wraps to the last row", 1, 1, Qt::Key_Backtab, Qt::ShiftModifier, true, 5, 29, 19},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Grid g;
        g.resize(400, 300);
        g.SetColCount(6);
        g.SetRowCount(30);
        if (c.tabs)
            g.SetOptions(g.Options() | goTabs);
        g.FocusCell(c.startCol, c.startRow, true);
        Key(&g, c.key, c.mods);
        EXPECT_EQ(g.Col(), c.col);
        EXPECT_EQ(g.Row(), c.row);
        EXPECT_EQ(g.TopRow(), c.top);
        EXPECT_EQ(g.Selection(), (TGridRect{c.col, c.row, c.col, c.row}));
    }
}

TEST(Grids, ShiftExtendsTheSelection)
{
    Grid g;
    g.resize(400, 300);
    g.SetRowCount(20);
    g.FocusCell(2, 2, true);
    Key(&g, Qt::Key_Down, Qt::ShiftModifier);
    Key(&g, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), (TGridRect{2, 2, 3, 3}));
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Row(), 3);
    Key(&g, Qt::Key_Up, Qt::ShiftModifier);
    Key(&g, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), (TGridRect{2, 1, 3, 2}));  // ordered whichever side the anchor is on
    Key(&g, Qt::Key_Down);
    EXPECT_EQ(g.Selection(), (TGridRect{3, 2, 3, 2}));  // without Shift the anchor follows

    // Without range selection Shift does not extend.
    g.SetOptions(g.Options() & ~goRangeSelect);
    Key(&g, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), (TGridRect{3, 3, 3, 3}));

    // Row selection selects whole rows.
    g.SetOptions(g.Options() | goRowSelect | goRangeSelect);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 3, 4, 3}));
}

TEST(Grids, MouseDragAndShiftClickSelect)
{
    Grid g;
    g.resize(400, 300);
    g.SetRowCount(30);
    int clicks = 0;
    g.OnClick = [&](QObject*) { ++clicks; };
    QWidget* s = g.ClientSurface();
    Mouse(s, QEvent::MouseButtonPress, Middle(g, 1, 2));
    EXPECT_EQ(g.GridState(), gsSelecting);
    Mouse(s, QEvent::MouseMove, Middle(g, 2, 3));
    Mouse(s, QEvent::MouseMove, Middle(g, 3, 4));
    Mouse(s, QEvent::MouseButtonRelease, Middle(g, 3, 4));
    EXPECT_EQ(g.GridState(), gsNormal);
    EXPECT_EQ(g.Selection(), (TGridRect{1, 2, 3, 4}));
    EXPECT_EQ(g.Col(), 3);
    EXPECT_EQ(g.Row(), 4);
    EXPECT_EQ(clicks, 1);

    Click(g, 2, 6, Qt::ShiftModifier);  // extends from the anchor
    EXPECT_EQ(g.Selection(), (TGridRect{1, 2, 2, 6}));
    Click(g, 4, 1);
    EXPECT_EQ(g.Selection(), (TGridRect{4, 1, 4, 1}));

    // Dragging below the cells scrolls on the move timer and extends.
    Mouse(s, QEvent::MouseButtonPress, Middle(g, 1, 5));
    Mouse(s, QEvent::MouseMove, QPoint(70, 350));
    const int rowBefore = g.Row();
    SendMessage(&g, WM_TIMER, TCustomGrid::MoveTimerId);
    SendMessage(&g, WM_TIMER, TCustomGrid::MoveTimerId);
    EXPECT_EQ(g.TopRow(), 3);
    EXPECT_EQ(g.Row(), 13);  // the last whole row in view
    EXPECT_GE(g.Row(), rowBefore);
    Mouse(s, QEvent::MouseButtonRelease, QPoint(70, 350));
    EXPECT_EQ(g.Selection(), (TGridRect{1, 5, 1, 13}));
}

TEST(Grids, SelectCellVetoesEveryMove)
{
    Grid g;
    g.resize(400, 300);
    std::vector<std::pair<int, int>> asked;
    g.OnSelectCell = [&](QObject*, int col, int row, bool& can) {
        asked.emplace_back(col, row);
        can = col != 3;
    };
    g.FocusCell(2, 1, true);
    Key(&g, Qt::Key_Right);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(asked.back(), (std::pair<int, int>{3, 1}));
    Click(g, 3, 2);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_EQ(g.Row(), 1);
    g.SetCol(3);
    EXPECT_EQ(g.Col(), 2);
    g.SetCol(4);
    EXPECT_EQ(g.Col(), 4);
    // Writing the selection is no move: it is not asked.
    asked.clear();
    g.SetSelection(TGridRect{3, 2, 3, 2});
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(g.Col(), 3);
}

TEST(Grids, OffGridSelectionHidesIt)
{
    Grid g;
    g.resize(400, 300);
    std::vector<TGridDrawState> states;
    g.OnDrawCell = [&](QObject*, int, int, const TRect&, TGridDrawState s) { states.push_back(s); };
    const TGridRect hidden{g.ColCount(), g.RowCount(), g.ColCount(), g.RowCount()};
    g.SetSelection(hidden);
    EXPECT_EQ(g.Selection(), hidden);
    EXPECT_EQ(g.Col(), 5);
    g.grab();
    ASSERT_FALSE(states.empty());
    for (TGridDrawState s : states)
        EXPECT_FALSE(s & gdSelected);
    Key(&g, Qt::Key_Down);  // a key brings the current cell back into the grid
    EXPECT_EQ(g.Col(), 4);
    EXPECT_EQ(g.Row(), 4);
}

TEST(Grids, PaintsVisibleCellsOnly)
{
    Grid g;
    g.resize(400, 300);
    g.SetColCount(10);
    g.SetRowCount(100000);
    g.SetColor(clWhite);
    std::vector<std::tuple<int, int, TGridDrawState>> drawn;
    g.OnDrawCell = [&](QObject*, int c, int r, const TRect&, TGridDrawState s) { drawn.emplace_back(c, r, s); };
    g.SetTopRow(50000);
    const QImage img = g.grab().toImage();
    // 7 columns (6 whole and one cut) by 12 rows (the fixed one and 11 whole).
    EXPECT_EQ(drawn.size(), 7u * 12u);
    ASSERT_GT(drawn.size(), 7u);
    EXPECT_EQ(std::get<1>(drawn[7]), 50000);
    for (const auto& [c, r, s] : drawn) {
        EXPECT_TRUE(r == 0 || (r >= 50000 && r <= 50010));
        EXPECT_EQ((s & gdFixed) != 0, c == 0 || r == 0);
    }
    // The fixed colour in the fixed row, the grid colour in the cells.
    EXPECT_EQ(img.pixelColor(30, 10), ToQColor(clBtnFace));
    EXPECT_EQ(img.pixelColor(100, 40), ToQColor(clWhite));

    // Beyond the last column the grid's colour.
    Grid small;
    small.resize(400, 300);
    small.SetColCount(2);
    small.SetColor(clYellow);
    const QImage img2 = small.grab().toImage();
    EXPECT_EQ(img2.pixelColor(300, 150), ToQColor(clYellow));
    EXPECT_EQ(img2.pixelColor(100, 290), ToQColor(clYellow));  // below the last row
}

TEST(Grids, EditorOpenedByACharacterAndCommitted)
{
    Grid g;
    g.resize(400, 300);
    g.SetOptions(g.Options() | goEditing);
    g.SetCells(2, 2, QStringLiteral("abc"));
    Focus(g);
    g.FocusCell(2, 2, true);
    Type(&g, QStringLiteral("x"));
    ASSERT_NE(g.InplaceEditor(), nullptr);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_FALSE(g.InplaceEditor()->isHidden());
    EXPECT_EQ(g.InplaceEditor()->Text(), QStringLiteral("x"));  // the character replaces the text
    EXPECT_EQ(g.Cells(2, 2), QStringLiteral("x"));  // written through SetEditText as typed
    Type(g.InplaceEditor(), QStringLiteral("y"));
    EXPECT_EQ(g.Cells(2, 2), QStringLiteral("xy"));
    ASSERT_FALSE(g.edits.empty());
    EXPECT_EQ(g.edits.back(), (std::tuple<int, int, QString>{2, 2, QStringLiteral("xy")}));
    // Down goes from the editor to the grid's navigation: the editor closes
    // after writing the cell.
    g.edits.clear();
    Key(g.InplaceEditor(), Qt::Key_Down);
    EXPECT_EQ(g.Row(), 3);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_TRUE(g.InplaceEditor()->isHidden());
    EXPECT_EQ(g.edits, (std::vector<std::tuple<int, int, QString>>{{2, 2, QStringLiteral("xy")}}));
    // Without goEditing a character opens nothing.
    g.SetOptions(g.Options() & ~goEditing);
    Type(&g, QStringLiteral("z"));
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(2, 3), QString());
}

TEST(Grids, EditorOpenedByF2AndByAClick)
{
    Grid g;
    g.resize(400, 300);
    g.SetOptions(g.Options() | goEditing);
    g.SetCells(1, 1, QStringLiteral("one"));
    g.SetCells(2, 1, QStringLiteral("two"));
    Focus(g);
    Key(&g, Qt::Key_F2);
    TInplaceEdit* e = g.InplaceEditor();
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->isHidden());
    EXPECT_EQ(e->Text(), QStringLiteral("one"));
    EXPECT_EQ(e->SelStart(), 0);
    EXPECT_EQ(e->SelLength(), 3);  // shown with all its text selected
    EXPECT_EQ(e->geometry(), QRect(65, 25, 64, 24));  // over the cell
    Key(e, Qt::Key_F2);  // F2 in the editor: caret to the end
    EXPECT_EQ(e->SelLength(), 0);
    Type(e, QStringLiteral("s"));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("ones"));
    Key(e, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));  // gives the cell its text back
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("one"));

    // The first click makes a cell current, a click on the current cell edits it.
    Click(g, 2, 1);
    EXPECT_EQ(g.Col(), 2);
    EXPECT_FALSE(g.EditorMode());
    Click(g, 2, 1);
    EXPECT_TRUE(g.EditorMode());
    EXPECT_EQ(e->Text(), QStringLiteral("two"));
    Type(e, QStringLiteral("z"));
    g.HideEditor();
    EXPECT_EQ(g.Cells(2, 1), QStringLiteral("z"));
    EXPECT_EQ(std::get<2>(g.edits.back()), QStringLiteral("z"));
}

TEST(Grids, EditorKeepsLineBreaksAndLimits)
{
    Grid g;
    g.resize(400, 300);
    g.SetOptions(g.Options() | goEditing);
    g.SetCells(1, 1, QStringLiteral("a\r\nb"));
    Focus(g);
    Key(&g, Qt::Key_F2);
    TInplaceEdit* e = g.InplaceEditor();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->Text(), QStringLiteral("a\r\nb"));
    g.HideEditor();
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("a\r\nb"));  // an untouched text comes back unchanged
    Key(&g, Qt::Key_F2);
    Key(e, Qt::Key_F2);  // caret to the end
    Type(e, QStringLiteral("c"));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("a\r\nbc"));  // and keeps its line breaks when edited

    // The limit stops typing; Backspace still works.
    g.editLimit = 3;
    g.SetRow(2);
    Type(&g, QStringLiteral("1234"));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("123"));
    Key(e, Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    EXPECT_EQ(g.Cells(1, 2), QStringLiteral("12"));

    // A mask with literals not kept.
    g.editLimit = 0;
    g.editMask = QStringLiteral("00-00;0;_");
    g.SetRow(3);
    Type(&g, QStringLiteral("12a34"));
    EXPECT_EQ(e->EditText(), QStringLiteral("12-34"));
    EXPECT_EQ(g.Cells(1, 3), QStringLiteral("1234"));
}

TEST(Grids, AlwaysShownEditorFollowsTheCurrentCell)
{
    Grid g;
    g.resize(400, 300);
    g.SetCells(1, 2, QStringLiteral("below"));
    Focus(g);
    g.SetOptions(g.Options() | goEditing | goAlwaysShowEditor);
    ASSERT_NE(g.InplaceEditor(), nullptr);
    EXPECT_TRUE(g.EditorMode());
    Type(g.InplaceEditor(), QStringLiteral("q"));
    Key(g.InplaceEditor(), Qt::Key_Down);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("q"));
    EXPECT_EQ(g.Row(), 2);
    EXPECT_FALSE(g.InplaceEditor()->isHidden());
    EXPECT_EQ(g.InplaceEditor()->Text(), QStringLiteral("below"));
}

TEST(Grids, ColumnSizingByTheMouse)
{
    struct Case
    {
        const char* name;
        bool sizing;
        int y;
        int width;
    };
    // Column 1 spans x 65..128; its border is at 129. Dragged 20 pixels right.
    const Case cases[] = {{"header border", true, 10, 84},
                          {"sizing off", false, 10, 64},
                          {"border below the header", true, 40, 64}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Grid g;
        g.resize(400, 300);
        if (c.sizing)
            g.SetOptions(g.Options() | goColSizing);
        QWidget* s = g.ClientSurface();
        Mouse(s, QEvent::MouseButtonPress, QPoint(130, c.y));
        // Off the header border the press selects cells, or (in the header) nothing.
        EXPECT_EQ(g.GridState(), c.width != 64 ? gsColSizing : c.y < 25 ? gsNormal : gsSelecting);
        Mouse(s, QEvent::MouseMove, QPoint(150, c.y));
        Mouse(s, QEvent::MouseButtonRelease, QPoint(150, c.y));
        EXPECT_EQ(g.ColWidths(1), c.width);
        EXPECT_EQ(g.widthChanges, c.width == 64 ? 0 : 1);
        EXPECT_EQ(g.GridState(), gsNormal);
    }
}

TEST(Grids, ScrollPositionsMapOntoTheRows)
{
    // 525 pixels show the fixed row and 20 rows: 101 rows scroll from top
    // row 1 to 81, which the positions 0..127 cover.
    struct Case
    {
        int pos;
        int top;
    };
    const Case cases[] = {{0, 1}, {127, 81}, {64, 41}, {1, 2}, {126, 80}};
    Grid g;
    g.resize(300, 525);
    g.SetColCount(3);
    g.SetRowCount(101);
    ASSERT_EQ(g.VisibleRowCount(), 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pos);
        SendMessage(&g, WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, c.pos));
        EXPECT_EQ(g.TopRow(), c.top);
    }
    // And the top row back onto the positions.
    const Case back[] = {{0, 1}, {127, 81}, {64, 41}, {32, 21}};
    g.SetScrollBars(ssVertical);
    for (const Case& c : back) {
        SCOPED_TRACE(c.top);
        g.SetTopRow(c.top);
        EXPECT_EQ(g.GetScrollInfo(sbVertical).Pos, c.pos);
    }
    EXPECT_EQ(g.GetScrollInfo(sbVertical).Max, 127);
    // Lines and pages.
    g.SetTopRow(1);
    SendMessage(&g, WM_VSCROLL, MakeWParam(SB_LINEDOWN, 0));
    EXPECT_EQ(g.TopRow(), 2);
    SendMessage(&g, WM_VSCROLL, MakeWParam(SB_PAGEDOWN, 0));
    EXPECT_EQ(g.TopRow(), 22);
    SendMessage(&g, WM_VSCROLL, MakeWParam(SB_BOTTOM, 0));
    EXPECT_EQ(g.TopRow(), 81);
    SendMessage(&g, WM_VSCROLL, MakeWParam(SB_LINEDOWN, 0));
    EXPECT_EQ(g.TopRow(), 81);
}

TEST(Grids, ScrollBarDrivenByTheMouse)
{
    Grid g;
    g.resize(300, 525);
    g.SetColCount(3);
    g.SetRowCount(101);
    g.SetScrollBars(ssBoth);
    g.show();
    QApplication::processEvents();
    EXPECT_TRUE(g.ScrollBarVisible(sbVertical));
    EXPECT_FALSE(g.ScrollBarVisible(sbHorizontal));  // the columns fit
    QScrollBar* bar = nullptr;
    for (QScrollBar* b : g.findChildren<QScrollBar*>()) {
        if (b->orientation() == Qt::Vertical)
            bar = b;
    }
    ASSERT_NE(bar, nullptr);
    std::vector<int> codes;
    g.OnTopLeftChanged = [&](QObject*) { codes.push_back(g.TopRow()); };
    // A press on the track below the thumb pages down by the visible rows.
    const QPoint track(bar->width() / 2, bar->height() * 3 / 4);
    Mouse(bar, QEvent::MouseButtonPress, track);
    Mouse(bar, QEvent::MouseButtonRelease, track);
    EXPECT_EQ(g.TopRow(), 21);
    EXPECT_EQ(g.GetScrollInfo(sbVertical).Pos, 32);  // 20 of 80 rows on the 0..127 scale
    EXPECT_EQ(bar->value(), 32);
    // Dragging the thumb past the end lands on the last top row at release.
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
    Mouse(bar, QEvent::MouseButtonPress, thumb.center());
    ASSERT_TRUE(bar->isSliderDown());
    Mouse(bar, QEvent::MouseMove, QPoint(thumb.center().x(), bar->height() + 200));
    EXPECT_EQ(g.TopRow(), 21);  // no scrolling while the thumb is dragged
    EXPECT_EQ(g.GetScrollInfo(sbVertical).TrackPos, 127);
    Mouse(bar, QEvent::MouseButtonRelease, QPoint(thumb.center().x(), bar->height() + 200));
    EXPECT_EQ(g.TopRow(), 81);
    EXPECT_EQ(bar->value(), 127);
    // The wheel moves the current row.
    g.SetRow(5);
    QWheelEvent wheel(QPointF(50, 50), g.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(g.ClientSurface(), &wheel);
    EXPECT_EQ(g.Row(), 6);
}

TEST(Grids, ScrollBarsShowHideAndDisable)
{
    Grid g;
    g.resize(400, 300);
    g.SetScrollBars(ssBoth);
    EXPECT_FALSE(g.ScrollBarVisible(sbVertical));  // everything fits
    g.ShowScrollBar(sbVertical, true);             // shown on request
    EXPECT_TRUE(g.ScrollBarVisible(sbVertical));
    EXPECT_LT(g.ClientWidth(), 400);
    g.EnableScrollBar(sbVertical, false);
    EXPECT_FALSE(g.ScrollBarEnabled(sbVertical));
    g.SetRowCount(50);  // now needed: shown by the grid
    EXPECT_TRUE(g.ScrollBarVisible(sbVertical));
    g.SetScrollBars(ssNone);
    EXPECT_FALSE(g.ScrollBarVisible(sbVertical));
    EXPECT_EQ(g.ClientWidth(), 400);
    TScrollInfo info{0, 200, 74, 10, 0};
    g.SetScrollInfo(sbVertical, info);
    EXPECT_EQ(g.GetScrollInfo(sbVertical), (TScrollInfo{0, 200, 74, 10, 10}));
}

TEST(Grids, MessagesPassThroughWndProc)
{
    // A descendant sees the input as messages first and may keep them.
    struct Keeping : Grid
    {
        std::vector<unsigned> seen;
        bool keepKeys = false;
        void WndProc(TMessage& m) override
        {
            seen.push_back(m.Msg);
            if (keepKeys && m.Msg == WM_KEYDOWN)
                return;
            Grid::WndProc(m);
        }
    };
    Keeping g;
    g.resize(400, 300);
    Key(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 2);
    EXPECT_NE(std::find(g.seen.begin(), g.seen.end(), WM_KEYDOWN), g.seen.end());
    g.keepKeys = true;
    Key(&g, Qt::Key_Down);
    EXPECT_EQ(g.Row(), 2);
    g.seen.clear();
    Click(g, 3, 3);
    EXPECT_EQ(g.seen.front(), WM_LBUTTONDOWN);
    EXPECT_EQ(g.Col(), 3);
    // The dialog code: arrows always, Tab with goTabs, characters while editing.
    EXPECT_EQ(SendMessage(&g, WM_GETDLGCODE), DLGC_WANTARROWS);
    g.SetOptions(g.Options() | goTabs | goEditing);
    EXPECT_EQ(SendMessage(&g, WM_GETDLGCODE), DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS);
    EXPECT_TRUE(g.WantsChars());
}

TEST(Grids, DimensionsAndTopLeft)
{
    Grid g;
    g.resize(400, 300);
    g.SetRowCount(40);
    g.SetColCount(12);
    EXPECT_EQ(g.VisibleColCount(), 5);  // 400 pixels: the fixed column and 5 whole ones (5 x 65 - 1 < 335)
    g.SetRowHeights(3, 40);
    g.SetRowHeights(7, 0);  // allowed: the row shows only its line
    EXPECT_EQ(g.RowHeights(7), 0);
    g.SetDefaultRowHeight(30);
    EXPECT_EQ(g.RowHeights(3), 30);  // every row takes the new default
    EXPECT_EQ(g.RowHeights(7), 30);
    g.SetFixedRows(60);
    EXPECT_EQ(g.FixedRows(), 39);  // below the count
    g.SetFixedRows(2);
    EXPECT_EQ(g.Row(), 2);  // the current cell leaves the fixed rows
    EXPECT_EQ(g.TopRow(), 2);
    int notified = 0;
    g.OnTopLeftChanged = [&](QObject*) { ++notified; };
    g.SetLeftCol(4);
    g.SetTopRow(100);  // within the rows: at most the last one
    EXPECT_EQ(g.LeftCol(), 4);
    EXPECT_EQ(g.TopRow(), 39);
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(g.topLeftChanges, 2);
    g.SetTopRow(0);
    EXPECT_EQ(g.TopRow(), 2);  // not into the fixed rows
    // Moving the current cell scrolls it into view.
    g.SetRow(30);
    EXPECT_EQ(g.Row(), 30);
    EXPECT_LE(g.TopRow(), 30);
    EXPECT_GE(g.TopRow() + g.VisibleRowCount() - 1, 30);
}

TEST(Grids, SizingCursorAndItsVeto)
{
    struct NoSizing : Grid
    {
        void CalcSizingState(int x, int y, TGridState& state, int& index, int& pos, int& ofs) override
        {
            Grid::CalcSizingState(x, y, state, index, pos, ofs);
            if (state == gsColSizing && index == 2)
                state = gsNormal;  // column 2 keeps its width
        }
    };
    NoSizing g;
    g.resize(400, 300);
    g.SetOptions(g.Options() | goColSizing);
    QWidget* s = g.ClientSurface();
    QMouseEvent over(QEvent::MouseMove, QPointF(129, 10), s->mapToGlobal(QPointF(129, 10)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(s, &over);
    EXPECT_EQ(s->cursor().shape(), Qt::SplitHCursor);
    QMouseEvent away(QEvent::MouseMove, QPointF(100, 10), s->mapToGlobal(QPointF(100, 10)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(s, &away);
    EXPECT_EQ(s->cursor().shape(), Qt::ArrowCursor);
    // Column 2's border (at 194) is refused by the override.
    Mouse(s, QEvent::MouseButtonPress, QPoint(194, 10));
    Mouse(s, QEvent::MouseMove, QPoint(220, 10));
    Mouse(s, QEvent::MouseButtonRelease, QPoint(220, 10));
    EXPECT_EQ(g.ColWidths(2), 64);
    Mouse(s, QEvent::MouseButtonPress, QPoint(129, 10));
    Mouse(s, QEvent::MouseButtonRelease, QPoint(100, 10));
    EXPECT_EQ(g.ColWidths(1), 35);
}

TEST(Grids, EditorClipboardAndChangesReachDescendants)
{
    // A descendant's editor sees the clipboard messages and may keep them.
    struct Editor : TInplaceEdit
    {
        using TInplaceEdit::TInplaceEdit;
        std::vector<unsigned> clipboard;
        bool refusePaste = false;
        void WndProc(TMessage& m) override
        {
            if (m.Msg == WM_COPY || m.Msg == WM_CUT || m.Msg == WM_PASTE) {
                clipboard.push_back(m.Msg);
                if (refusePaste && m.Msg == WM_PASTE)
                    return;
            }
            TInplaceEdit::WndProc(m);
        }
    };
    struct EditGrid : Grid
    {
        TInplaceEdit* CreateEditor() override { return new Editor(this); }
    };
    EditGrid g;
    g.resize(400, 300);
    g.SetOptions(g.Options() | goEditing);
    g.SetCells(1, 1, QStringLiteral("copy me"));
    g.editLimit = 10;
    Focus(g);
    Key(&g, Qt::Key_F2);
    auto* e = dynamic_cast<Editor*>(g.InplaceEditor());
    ASSERT_NE(e, nullptr);
    int changes = 0;
    e->OnChange = [&](QObject*) { ++changes; };
    Key(e, Qt::Key_C, Qt::ControlModifier, QStringLiteral("\x03"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("copy me"));
    Key(e, Qt::Key_End);
    Key(e, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("copy mecop"));  // cut at the limit of 10
    EXPECT_GE(changes, 1);
    e->refusePaste = true;
    e->SelectAll();
    Key(e, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(g.Cells(1, 1), QStringLiteral("copy mecop"));
    EXPECT_EQ(e->clipboard, (std::vector<unsigned>{WM_COPY, WM_PASTE, WM_PASTE}));
}

TEST(Grids, EnterAndExitTakeTheEditorAsPartOfTheGrid)
{
    QWidget window;
    window.resize(600, 400);
    auto* g = new Grid;
    g->setParent(&window);
    g->resize(400, 300);
    g->SetOptions(g->Options() | goEditing);
    auto* other = new TEdit(&window);
    other->move(450, 10);
    int entered = 0, exited = 0;
    g->OnEnter = [&](QObject*) { ++entered; };
    g->OnExit = [&](QObject*) { ++exited; };
    window.show();
    window.activateWindow();
    QApplication::processEvents();
    if (!window.isActiveWindow())
        GTEST_SKIP() << "the platform does not activate windows";
    g->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(entered, 1);
    Key(g, Qt::Key_F2);
    ASSERT_NE(g->InplaceEditor(), nullptr);
    EXPECT_TRUE(g->InplaceEditor()->hasFocus());
    g->HideEditor();
    EXPECT_TRUE(g->hasFocus());  // the focus comes back to the grid
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(exited, 0);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(exited, 1);
}
