// Hover, sizing zones and select modes under the pointer; column sizing by
// the user with its events; stretching and sizing with the form.
#include "grid/ExGridInputTestSupport.h"
#include "grid/ExGrid_Windows.h"

#include "platform/Forms.h"

#include <QApplication>

#include <vector>

using namespace platform;
using namespace inputtest;

namespace {

// Reads the state the pointer leaves behind.
class SizingProbeGrid : public TExStringGrid
{
public:
    using TExStringGrid::TExStringGrid;
    int HoverRowIdx() const { return FHoverRowIdx; }
    TMouseSelectMode SelectMode() const { return FMouseSelectMode; }
    bool SizeFixed() const { return FSizeFixed; }
    TPoint HoverButton() const { return FHoverButton; }
    // A user's sizing as the press and the platform leave it.
    void PretendUserSizing(int col, int startWidth)
    {
        Colclicked = col;
        Rowclicked = 0;
        Colclickedsize = startWidth;
        ColSized = true;
    }
    void PretendUserRowSizing(int row, int startHeight)
    {
        Colclicked = 0;
        Rowclicked = row;
        Rowclickedsize = startHeight;
        Rowsized = true;
    }
};

struct SizingFixture : InputFixture
{
    SizingProbeGrid* probe = nullptr;

    TExStringGrid* MakeGrid(QWidget* parent) override
    {
        probe = new SizingProbeGrid(parent);
        return probe;
    }

    // A point on the right border of a column in the header row, 1 px inside.
    QPoint HeaderBorder(int col)
    {
        const TRect r = grid->CellRect(col, 0);
        return QPoint(r.Right - 1, (r.Top + r.Bottom) / 2);
    }

    void Leave()
    {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(grid, &leave);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Hover row
// ---------------------------------------------------------------------------

TEST_F(SizingFixture, HoverRowFollowsThePointerAndClearsOnLeave)
{
    grid->SetHoverRow(true);
    struct Case
    {
        int col, row;
    } cases[] = {{2, 3}, {1, 4}, {3, 4}, {0, 2}, {2, 0}, {4, 5}};
    for (const Case& c : cases) {
        Move(grid, CellCentre(grid, c.col, c.row));
        EXPECT_EQ(probe->HoverRowIdx(), c.row) << c.col << "," << c.row;
    }
    Leave();
    EXPECT_EQ(probe->HoverRowIdx(), -1);
}

// A button lit under the pointer goes dark when the pointer leaves the grid
// from it, as the hover row does.
TEST_F(SizingFixture, HoveredButtonIsForgottenOnLeave)
{
    grid->SetRowHeights(3, 40);
    grid->SetColWidths(2, 90);
    grid->AddButton(2, 3, 40, 18, QStringLiteral("Go"), haLeft, vaTop);
    const TRect b = grid->CalcCellButtonRect(2, 3);
    ASSERT_FALSE(IsRectEmpty(b));
    Move(grid, QPoint(b.Left + 3, b.Top + 3));
    EXPECT_EQ(probe->HoverButton(), Point(2, 3));
    Leave();
    EXPECT_EQ(probe->HoverButton(), Point(-1, -1));
}

TEST_F(SizingFixture, NoHoverRowWithoutTheSetting)
{
    Move(grid, CellCentre(grid, 2, 3));
    EXPECT_EQ(probe->HoverRowIdx(), -1);
}

// ---------------------------------------------------------------------------
// Sizing zones, select modes and cursors
// ---------------------------------------------------------------------------

TEST_F(SizingFixture, SizingPointsLieNearTheBordersOfHeaderCells)
{
    grid->SetOptions(grid->Options() | goColSizing | goRowSizing);
    const TRect h = grid->CellRect(2, 0);    // header cell of column 2
    const TRect n = grid->CellRect(2, 4);    // a normal cell far below
    const TRect f = grid->CellRect(0, 3);    // fixed column, row 3
    const TRect first = grid->CellRect(2, 1); // first normal row
    struct Case
    {
        const char* name;
        int x, y;
        bool expected;
    } cases[] = {
        {"3 px left of the right border", h.Right - 3, h.Top + 5, true},
        {"4 px left of the right border", h.Right - 4, h.Top + 5, false},
        {"3 px right of the left border", h.Left + 3, h.Top + 5, true},
        {"middle of the header cell", (h.Left + h.Right) / 2, h.Top + 5, false},
        {"border in the first normal row", first.Right - 2, first.Top + 5, true},
        {"border in a normal row further down", n.Right - 1, n.Top + 5, false},
        {"fixed column, 3 px above the bottom border", f.Left + 10, f.Bottom - 3, true},
        {"fixed column, 4 px below the top border", f.Left + 10, f.Top + 4, false},
        {"outside the cells", grid->ClientWidth() - 2, grid->ClientHeight() - 2, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid->IsSizingPoint(c.x, c.y), c.expected) << c.name;

    grid->SetOptions(grid->Options() & ~(goColSizing | goRowSizing));
    EXPECT_FALSE(grid->IsSizingPoint(h.Right - 1, h.Top + 5));
    EXPECT_FALSE(grid->IsSizingPoint(f.Left + 10, f.Bottom - 1));
}

TEST_F(SizingFixture, TheColumnBorderShowsTheSizingCursor)
{
    grid->SetOptions(grid->Options() | goColSizing);
    Move(grid, HeaderBorder(2));
    EXPECT_EQ(grid->ClientSurface()->cursor().shape(), Qt::SplitHCursor);
}

TEST_F(SizingFixture, SelectModesFollowThePointer)
{
    grid->SetOptions(grid->Options() | goColSizing);
    grid->MouseActions().SetColSelect(true);
    grid->MouseActions().SetRowSelect(true);
    grid->MouseActions().SetAllSelect(true);
    struct Case
    {
        const char* name;
        QPoint at;
        TMouseSelectMode expected;
    } cases[] = {
        {"header of a normal column", CellCentre(grid, 2, 0), msColumn},
        {"border of a header cell", HeaderBorder(2), msNormal},
        {"fixed column of a normal row", CellCentre(grid, 0, 3), msRow},
        {"top-left header cell", CellCentre(grid, 0, 0), msAll},
        {"normal cell", CellCentre(grid, 3, 3), msNormal},
        {"last row", CellCentre(grid, 0, 5), msRow},
    };
    for (const Case& c : cases) {
        Move(grid, c.at);
        EXPECT_EQ(probe->SelectMode(), c.expected) << c.name;
    }
    Leave();
    EXPECT_EQ(probe->SelectMode(), msNormal);

    grid->MouseActions().SetColSelect(false);
    Move(grid, CellCentre(grid, 2, 0));
    EXPECT_EQ(probe->SelectMode(), msNormal);
}

TEST_F(SizingFixture, TheResizerCornerOfTheSelection)
{
    grid->SetSelectionRectangle(true);
    grid->SetSelectionResizer(true);
    grid->SetSelection(TGridRect{2, 2, 3, 3});
    const TRect r = grid->CellRect(3, 3);
    Move(grid, QPoint(r.Right - 3, r.Bottom - 3));
    EXPECT_EQ(probe->SelectMode(), msResize);
    Move(grid, QPoint(r.Right - 8, r.Bottom - 3));
    EXPECT_EQ(probe->SelectMode(), msNormal);
}

TEST_F(SizingFixture, TheBorderOfAFixedColumnIsFoundWithinThreePixels)
{
    grid->MouseActions().SetSizeFixedCol(true);
    const int border = grid->ColWidths(0); // the right border of fixed column 0
    const int y = CellCentre(grid, 0, 3).y();
    struct Case
    {
        int x;
        bool expected;
    } cases[] = {{border - 2, true}, {border + 2, true}, {border, true}, {border - 3, false}, {border + 3, false}};
    for (const Case& c : cases) {
        Move(grid, QPoint(c.x, y));
        EXPECT_EQ(probe->SizeFixed(), c.expected) << c.x - border;
    }
    grid->MouseActions().SetSizeFixedCol(false);
    Move(grid, QPoint(border, y));
    EXPECT_FALSE(probe->SizeFixed());
}

// ---------------------------------------------------------------------------
// Links under the pointer
// ---------------------------------------------------------------------------

TEST_F(SizingFixture, EnteringAndLeavingALink)
{
    grid->SetOptions(grid->Options() & ~goEditing);
    grid->SetColWidths(2, 150);
    grid->SetCellEx(2, 2, QStringLiteral("<a href=\"http://example.org\">link</a>"));
    std::vector<QString> events;
    grid->OnAnchorEnter = [&](QObject*, int row, int col, const QString& anchor) {
        events.push_back(QStringLiteral("enter %1,%2 %3").arg(row).arg(col).arg(anchor));
    };
    grid->OnAnchorExit = [&](QObject*, int row, int col, const QString& anchor) {
        events.push_back(QStringLiteral("exit %1,%2 %3").arg(row).arg(col).arg(anchor));
    };
    const TRect r = grid->CellRect(2, 2);
    const int y = (r.Top + r.Bottom) / 2;
    Move(grid, QPoint(r.Left + 8, y));
    Move(grid, QPoint(r.Left + 10, y)); // still on it: no second enter
    EXPECT_EQ(grid->ClientSurface()->cursor().shape(), Qt::PointingHandCursor);
    Move(grid, QPoint(r.Right - 5, y)); // the same cell, beside the text
    Move(grid, CellCentre(grid, 3, 4));
    EXPECT_EQ(events, (std::vector<QString>{QStringLiteral("enter 2,2 http://example.org"),
                                            QStringLiteral("exit 2,2 http://example.org")}));
    EXPECT_NE(grid->ClientSurface()->cursor().shape(), Qt::PointingHandCursor);
}

// ---------------------------------------------------------------------------
// Column sizing by the user
// ---------------------------------------------------------------------------

TEST_F(SizingFixture, DraggingAColumnBorderRaisesTheSizingEvents)
{
    grid->SetOptions(grid->Options() | goColSizing);
    const int before = grid->ColWidths(2);
    std::vector<std::pair<int, int>> sizing;
    std::vector<int> ended;
    std::vector<std::pair<int, int>> updates;
    grid->OnColumnSizing = [&](QObject*, int col, int size) { sizing.emplace_back(col, size); };
    grid->OnEndColumnSize = [&](QObject*, int col) { ended.push_back(col); };
    grid->OnUpdateColumnSize = [&](QObject*, int col, int& width) {
        updates.emplace_back(col, width);
        width -= 10; // the handler narrows the column
    };
    const QPoint from = HeaderBorder(2);
    Drag(grid, from, from + QPoint(30, 0), 3);

    ASSERT_FALSE(sizing.empty());
    // The new width at each step: the width at the press plus the movement.
    EXPECT_EQ(sizing.front(), std::make_pair(2, before + 10));
    EXPECT_EQ(sizing.back(), std::make_pair(2, before + 30));
    EXPECT_EQ(ended, std::vector<int>{2});
    ASSERT_EQ(updates.size(), 1u);
    EXPECT_EQ(updates[0], std::make_pair(2, before + 30));
    EXPECT_EQ(grid->ColWidths(2), before + 20);

    // Widths set by the program afterwards are no user sizing.
    grid->SetColWidths(2, 50);
    EXPECT_EQ(ended.size(), 1u);
    EXPECT_EQ(grid->ColWidths(2), 50);
}

TEST_F(SizingFixture, AllColumnSizeScalesTheOtherNormalColumns)
{
    grid->SetOptions(grid->Options() | goColSizing);
    grid->MouseActions().SetAllColumnSize(true);
    for (int c = 0; c < grid->ColCount(); ++c)
        grid->SetColWidths(c, 50);
    const QPoint from = HeaderBorder(2);
    Drag(grid, from, from + QPoint(25, 0), 5);
    EXPECT_EQ(grid->ColWidths(2), 75);
    for (int c : {1, 3, 4})
        EXPECT_EQ(grid->ColWidths(c), 75) << c; // factor 1.5
    EXPECT_EQ(grid->ColWidths(0), 50);          // the fixed column stays
}

TEST_F(SizingFixture, AllSizeFromAZeroStartSizeScalesNothing)
{
    grid->MouseActions().SetAllColumnSize(true);
    for (int c = 0; c < grid->ColCount(); ++c)
        grid->SetColWidths(c, 50);
    std::vector<int> ended;
    grid->OnEndColumnSize = [&](QObject*, int col) { ended.push_back(col); };
    probe->PretendUserSizing(2, 0);
    grid->SetColWidths(2, 40);
    EXPECT_EQ(grid->ColWidths(2), 40);
    for (int c : {1, 3, 4})
        EXPECT_EQ(grid->ColWidths(c), 50) << c;
    EXPECT_EQ(ended, std::vector<int>{2});

    grid->MouseActions().SetAllRowSize(true);
    for (int r = 0; r < grid->RowCount(); ++r)
        grid->SetRowHeights(r, 20);
    probe->PretendUserRowSizing(3, 0);
    grid->SetRowHeights(3, 30);
    EXPECT_EQ(grid->RowHeights(3), 30);
    for (int r : {1, 2, 4, 5})
        EXPECT_EQ(grid->RowHeights(r), 20) << r;
}

TEST_F(SizingFixture, AllRowSizeScalesTheOtherNormalRows)
{
    grid->MouseActions().SetAllRowSize(true);
    for (int r = 0; r < grid->RowCount(); ++r)
        grid->SetRowHeights(r, 20);
    probe->PretendUserRowSizing(3, 20);
    grid->SetRowHeights(3, 30);
    for (int r : {1, 2, 4, 5})
        EXPECT_EQ(grid->RowHeights(r), 30) << r; // factor 1.5
    EXPECT_EQ(grid->RowHeights(0), 20);
}

// The fixed columns on the right and the footer rows are not normal ones:
// they keep their sizes.
TEST_F(SizingFixture, AllSizeLeavesTheFixedRightColumnsAndFooterRows)
{
    grid->SetFixedRightCols(1);
    grid->MouseActions().SetAllColumnSize(true);
    for (int c = 0; c < grid->ColCount(); ++c)
        grid->SetColWidths(c, 50);
    probe->PretendUserSizing(2, 50);
    grid->SetColWidths(2, 75);
    for (int c : {1, 3})
        EXPECT_EQ(grid->ColWidths(c), 75) << c;
    EXPECT_EQ(grid->ColWidths(0), 50);
    EXPECT_EQ(grid->ColWidths(4), 50);

    grid->SetFixedFooters(1);
    grid->MouseActions().SetAllRowSize(true);
    for (int r = 0; r < grid->RowCount(); ++r)
        grid->SetRowHeights(r, 20);
    probe->PretendUserRowSizing(2, 20);
    grid->SetRowHeights(2, 30);
    for (int r : {1, 3, 4})
        EXPECT_EQ(grid->RowHeights(r), 30) << r;
    EXPECT_EQ(grid->RowHeights(0), 20);
    EXPECT_EQ(grid->RowHeights(5), 20);
}

TEST_F(SizingFixture, SizingHintShowsTheNewWidth)
{
    grid->SetOptions(grid->Options() | goColSizing);
    grid->SetHintShowSizing(true);
    for (int c = 0; c < grid->ColCount(); ++c)
        grid->SetColWidths(c, 50);
    const QPoint from = HeaderBorder(2);
    PressAndMove(grid, from, {from + QPoint(25, 0)});
    ASSERT_NE(grid->ScrollHintWindow(), nullptr);
    EXPECT_TRUE(grid->ScrollHintShown());
    EXPECT_EQ(grid->ScrollHintWindow()->HintText(), QStringLiteral("cw=<b>75</b>"));
    Release(grid, from + QPoint(25, 0));
}

// ---------------------------------------------------------------------------
// Stretching
// ---------------------------------------------------------------------------

TEST_F(SizingFixture, TheStretchColumnFillsTheClientWidth)
{
    for (int c = 0; c < grid->ColCount(); ++c)
        grid->SetColWidths(c, 40);
    grid->ColumnSize().SetStretch(true);
    grid->ColumnSize().SetStretchColumn(-1);
    grid->StretchRightColumn();
    const int client = grid->ClientWidth();
    EXPECT_EQ(grid->ColWidths(4), client - 4 * 40 - 1);
    // Narrowing another column lets the stretched one grow again.
    grid->SetColWidths(1, 20);
    EXPECT_EQ(grid->ColWidths(4), client - 3 * 40 - 20 - 1);
    grid->ColumnSize().SetStretchColumn(2);
    grid->SetColWidths(1, 30);
    EXPECT_EQ(grid->ColWidths(2), client - (40 + 30 + 40 + (client - 3 * 40 - 20 - 1)) - 1);
}

TEST_F(SizingFixture, StretchingAColumnPastTheEndIsRefused)
{
    grid->ColumnSize().SetStretch(true);
    for (int index : {grid->ColCount(), grid->ColCount() + 3}) {
        try {
            grid->StretchColumnToClient(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const REruVidaZuvez& e) {
            EXPECT_STREQ(e.what(), "Stretch column index out of range");
        }
    }
}

TEST_F(SizingFixture, AStaleStretchColumnDoesNotBreakSizeChanges)
{
    grid->ColumnSize().SetStretch(true);
    grid->ColumnSize().SetStretchColumn(4);
    EXPECT_NO_THROW(grid->SetColCount(3));
    EXPECT_NO_THROW(grid->SetColWidths(1, 33));
    EXPECT_EQ(grid->ColWidths(1), 33);
}

// ---------------------------------------------------------------------------
// Sizing with the form
// ---------------------------------------------------------------------------

TEST(GridSizeWithForm, FollowsTheFormAndKeepsItsOwnHandler)
{
    TForm form;
    form.resize(400, 300);
    int ownCalls = 0;
    form.OnResize = [&](QObject*) { ++ownCalls; };
    auto* grid = new TExStringGrid(&form);
    grid->setGeometry(10, 10, 300, 200);
    grid->SetSizeWithForm(true);
    form.show();
    edittest::ProcessEvents();
    ownCalls = 0;

    struct Step
    {
        int formW, formH, gridW, gridH;
    } steps[] = {
        {450, 320, 350, 220},
        {420, 330, 320, 230},
        {40, 40, 320, 230}, // the grid would get no size: it keeps its own
        {430, 340, 330, 240},
    };
    for (const Step& s : steps) {
        form.resize(s.formW, s.formH);
        edittest::ProcessEvents();
        EXPECT_EQ(grid->width(), s.gridW) << s.formW;
        EXPECT_EQ(grid->height(), s.gridH) << s.formH;
    }
    EXPECT_GE(ownCalls, 4);
    delete grid;
    form.resize(500, 400);
    edittest::ProcessEvents();
    EXPECT_GE(ownCalls, 5); // the form has its handler back
    form.OnResize = nullptr;
}
