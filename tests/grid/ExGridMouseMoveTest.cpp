// Moving columns and rows: by the mouse (with and without the enhanced move
// and its arrows) and what follows a move (cells, widths, sort column,
// current column, hidden columns and rows, a synchronised grid).
#include "grid/ExGridInputTestSupport.h"

#include <QApplication>

#include <utility>
#include <vector>

using namespace platform;
using namespace inputtest;

namespace {

struct MoveFixture : InputFixture
{
    std::vector<std::pair<int, int>> moved;

    void SetUp() override
    {
        InputFixture::SetUp();
        grid->SetOptions((grid->Options() & ~goEditing) | goColMoving | goRowMoving);
        for (int c = 0; c < grid->ColCount(); ++c)
            for (int r = 0; r < grid->RowCount(); ++r)
                grid->SetCellEx(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
        grid->OnColumnMoved = [this](QObject*, int from, int to) { moved.emplace_back(from, to); };
        grid->OnRowMoved = [this](QObject*, int from, int to) { moved.emplace_back(from, to); };
    }

    std::vector<QString> Row(int r)
    {
        std::vector<QString> out;
        for (int c = 0; c < grid->ColCount(); ++c)
            out.push_back(grid->GetCellEx(c, r));
        return out;
    }

    // Where an arrow's top-left should be, in the form's coordinates.
    QPoint OnForm(int x, int y) { return host->mapFromGlobal(grid->ClientSurface()->mapToGlobal(QPoint(x, y))); }

    QWidget* FindArrow(TArrowDirection dir)
    {
        for (QWidget* w : host->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (auto* a = dynamic_cast<TArrowWindow*>(w); a && a->Dir() == dir)
                return a;
        return nullptr;
    }
};

std::vector<QString> Texts(std::initializer_list<const char*> items)
{
    std::vector<QString> out;
    for (const char* s : items)
        out.push_back(QString::fromLatin1(s));
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// By the mouse
// ---------------------------------------------------------------------------

TEST_F(MoveFixture, HeaderDragMovesTheColumnWithThePlatformMove)
{
    grid->SetEnhRowColMove(false);
    grid->SetColWidths(2, 80);
    grid->SetCol(2);
    Drag(grid, CellCentre(grid, 2, 0), CellCentre(grid, 4, 0), 4);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0], std::make_pair(2, 4));
    EXPECT_EQ(Row(1), Texts({"0/1", "1/1", "3/1", "4/1", "2/1"}));
    EXPECT_EQ(grid->ColWidths(2), 80); // without the enhanced move the widths stay
    EXPECT_EQ(grid->Col(), 4);
}

TEST_F(MoveFixture, EnhancedMoveShowsTheArrowsOnTheFormAndMovesTheWidths)
{
    grid->SetEnhRowColMove(true);
    grid->SetColWidths(2, 80);
    grid->SetColWidths(4, 40);
    std::vector<int> moving;
    grid->OnColumnMoving = [&](QObject*, int col, bool&) { moving.push_back(col); };
    grid->SetArrowColor(clRed);

    const QPoint to = CellCentre(grid, 4, 0);
    PressAndMove(grid, CellCentre(grid, 2, 0), {to, to + QPoint(1, 0)});

    ASSERT_FALSE(moving.empty());
    EXPECT_EQ(moving.back(), 4);
    QWidget* up = FindArrow(arrUp);
    QWidget* down = FindArrow(arrDown);
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    EXPECT_FALSE(up->isWindow());
    EXPECT_TRUE(up->isVisible());
    EXPECT_TRUE(down->isVisible());
    // Right of Movecell: 5 px left of the drop column's right border; the up
    // arrow under the header cell, the down arrow 8 px above it.
    const TRect h = grid->CellRect(4, 0);
    EXPECT_EQ(up->pos(), OnForm(h.Right - 5, h.Bottom));
    EXPECT_EQ(down->pos(), OnForm(h.Right - 5, h.Top - 8));
    EXPECT_EQ(grid->ArrowColor(), clRed);
    EXPECT_EQ(grid->ClientSurface()->cursor().shape(), Qt::DragMoveCursor);

    Release(grid, to + QPoint(1, 0));
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0], std::make_pair(2, 4));
    EXPECT_EQ(Row(1), Texts({"0/1", "1/1", "3/1", "4/1", "2/1"}));
    EXPECT_EQ(grid->ColWidths(4), 80);
    EXPECT_EQ(grid->ColWidths(3), 40);
    EXPECT_FALSE(up->isVisible());
    EXPECT_FALSE(down->isVisible());
}

TEST_F(MoveFixture, ARefusedDropPlaceMovesNothing)
{
    grid->OnColumnMoving = [](QObject*, int, bool& allow) { allow = false; };
    Drag(grid, CellCentre(grid, 2, 0), CellCentre(grid, 4, 0), 4);
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(Row(1), Texts({"0/1", "1/1", "2/1", "3/1", "4/1"}));
}

TEST_F(MoveFixture, ARefusedMoveEndsIt)
{
    int asked = 0;
    grid->OnColumnMove = [&](QObject*, int col, bool& allow) {
        ++asked;
        EXPECT_EQ(col, 2);
        allow = false;
    };
    Drag(grid, CellCentre(grid, 2, 0), CellCentre(grid, 4, 0), 4);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(Row(1), Texts({"0/1", "1/1", "2/1", "3/1", "4/1"}));
}

// ---------------------------------------------------------------------------
// What follows a move
// ---------------------------------------------------------------------------

TEST_F(MoveFixture, SortColumnAndCurrentColumnFollowTheMove)
{
    grid->SetColCount(7);
    struct Case
    {
        int from, to, sortBefore, sortAfter, colBefore, colAfter;
    } cases[] = {
        {2, 5, 5, 4, 5, 4}, // a column between them steps back
        {2, 5, 2, 5, 2, 5}, // the moved column itself
        {2, 5, 1, 1, 6, 6}, // outside: unchanged
        {5, 2, 2, 3, 4, 5}, // moving left: those between step on
        {5, 2, 5, 2, 5, 2},
    };
    for (const Case& c : cases) {
        grid->SortSettings().SetColumn(c.sortBefore);
        grid->SetCol(c.colBefore);
        grid->MoveColumn(c.from, c.to);
        EXPECT_EQ(grid->SortSettings().Column(), c.sortAfter) << c.from << "->" << c.to << " sort " << c.sortBefore;
        EXPECT_EQ(grid->Col(), c.colAfter) << c.from << "->" << c.to << " col " << c.colBefore;
    }
}

TEST_F(MoveFixture, HiddenColumnsAndRowsMoveWithTheData)
{
    for (bool enhanced : {true, false}) {
        SCOPED_TRACE(enhanced);
        Restart();
        moved.clear();
        grid->SetEnhRowColMove(enhanced);
        grid->HideColumn(2);
        grid->HideRow(3);
        grid->MoveColumn(1, 3); // display 1 (real 1) to display 3 (real 4)
        ASSERT_EQ(moved.size(), 1u);
        EXPECT_EQ(moved[0], std::make_pair(1, 4)); // with hidden columns: real ones
        EXPECT_EQ(grid->NumHiddenColumns(), 1);
        EXPECT_TRUE(grid->IsHiddenColumn(1)); // the hidden column's cells went to real 1
        grid->UnHideColumnsAll();
        grid->UnHideRowsAll();
        EXPECT_EQ(Row(1), Texts({"0/1", "2/1", "3/1", "4/1", "1/1"}));
        EXPECT_EQ(Row(3), Texts({"0/3", "2/3", "3/3", "4/3", "1/3"})); // the hidden row too
    }
}

TEST_F(MoveFixture, RowMoveCarriesHeightsOnceReported)
{
    grid->SetRowHeights(2, 40);
    grid->SetEnhRowColMove(true);
    const QPoint to = CellCentre(grid, 0, 4);
    PressAndMove(grid, CellCentre(grid, 0, 2), {to, to + QPoint(0, 1)});
    // Below Movecell: the arrows stand 5 px above the drop row's bottom border.
    const TRect r = grid->CellRect(0, 4);
    QWidget* left = FindArrow(arrLeft);
    QWidget* right = FindArrow(arrRight);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    EXPECT_TRUE(left->isVisible());
    EXPECT_EQ(left->pos(), OnForm(r.Left - 10, r.Bottom - 5));
    EXPECT_EQ(right->pos(), OnForm(r.Right, r.Bottom - 5));
    Release(grid, to + QPoint(0, 1));
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0], std::make_pair(2, 4));
    EXPECT_EQ(grid->GetCellEx(1, 4), QStringLiteral("1/2"));
    EXPECT_EQ(grid->RowHeights(4), 40);
}

TEST_F(MoveFixture, ASynchronisedGridFollowsWithoutEcho)
{
    TExStringGrid other(host.get());
    other.SetColCount(5);
    for (int c = 0; c < 5; ++c)
        other.SetCellEx(c, 1, QStringLiteral("o%1").arg(c));
    grid->SyncGrid().SetGrid(&other);
    grid->SyncGrid().SetMoveColumn(true);
    other.SyncGrid().SetGrid(grid);
    other.SyncGrid().SetMoveColumn(true);
    grid->MoveColumn(1, 3);
    EXPECT_EQ(other.GetCellEx(3, 1), QStringLiteral("o1"));
    EXPECT_EQ(other.GetCellEx(1, 1), QStringLiteral("o2"));
    EXPECT_EQ(Row(1), Texts({"0/1", "2/1", "3/1", "1/1", "4/1"}));
    EXPECT_EQ(moved.size(), 1u);
    grid->SyncGrid().SetGrid(nullptr);
}

TEST_F(MoveFixture, DraggingOverTheHeaderSelectsColumns)
{
    grid->SetOptions(grid->Options() & ~goColMoving);
    grid->MouseActions().SetColSelect(true);
    Drag(grid, CellCentre(grid, 2, 0), CellCentre(grid, 4, 0), 4);
    EXPECT_EQ(grid->Selection(), (TGridRect{2, 1, 4, grid->RowCount() - 1}));
    // Back left of the start column: the start stays one end.
    Drag(grid, CellCentre(grid, 3, 0), CellCentre(grid, 1, 0), 4);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, grid->RowCount() - 1}));
}
