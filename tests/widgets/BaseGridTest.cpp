#include "widgets/BaseGrid.h"

#include "widgets/ExUtil.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

#include <memory>

using namespace platform;

namespace {

// A cell graphic of the grid's own kind, and one of another kind.
struct OwnGraphic : TObject
{
    explicit OwnGraphic(int* deaths) : deaths_(deaths) {}
    ~OwnGraphic() override { ++*deaths_; }
    int* deaths_;
};
struct DerivedGraphic : OwnGraphic
{
    using OwnGraphic::OwnGraphic;
};

// The base grid with the hooks a string grid would give it.
class TestGrid : public TBaseGrid
{
public:
    TestGrid()
    {
        SetColCount(6);
        SetRowCount(6);
        FNormalRowCount = 6;
    }
    void SetNormalRowCount(int n) { FNormalRowCount = n; }
    int TotalColCount() override { return ColCount() + extraColumns; }
    void FooterRowChanged() override { ++footerChanges; }
    void CellTextChanged(int c, int r) override { changed.emplace_back(c, r); }
    void PressKey(int key)
    {
        int k = key;
        KeyDown(k, 0);
    }
    int extraColumns = 0;
    int footerChanges = 0;
    std::vector<std::pair<int, int>> changed;

protected:
    bool IsOwnGraphicObject(const TObject* o) const override { return o && typeid(*o) == typeid(OwnGraphic); }
};

} // namespace

// ---------------------------------------------------------------------------
// Merged ranges
// ---------------------------------------------------------------------------

TEST(BaseGridMerge, ThreeByTwoRangeAtOneOne)
{
    TestGrid g;
    g.SetCellEx(2, 1, QStringLiteral("under"));
    g.MergeCells(1, 1, 3, 2);
    const TCellProperties* base = g.CellPropsAt(1, 1);
    ASSERT_NE(base, nullptr);
    EXPECT_TRUE(base->IsBaseCell());
    EXPECT_EQ(base->CellSpanX(), 2);
    EXPECT_EQ(base->CellSpanY(), 1);
    const TCellProperties* corner = g.CellPropsAt(3, 2);
    EXPECT_FALSE(corner->IsBaseCell());
    EXPECT_EQ(corner->CellSpanX(), 2);
    EXPECT_EQ(corner->CellSpanY(), 1);
    EXPECT_EQ(g.BaseCell(3, 2), Point(1, 1));
    EXPECT_EQ(g.CellSpan(3, 2), Point(2, 1));
    EXPECT_EQ(g.CellExt(2, 1), Point(1, 1));
    EXPECT_EQ(g.FullCell(2, 2), Rect(1, 1, 3, 2));
    EXPECT_TRUE(g.IsMergedNonBaseCell(2, 2));
    EXPECT_FALSE(g.IsMergedNonBaseCell(1, 1));

    g.SetCellEx(3, 2, QStringLiteral("x"));
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_EQ(g.GetCellEx(c, r), QStringLiteral("x")) << c << "," << r;
    EXPECT_EQ(g.GetGridCell(3, 2), QString());
    EXPECT_EQ(g.changed.back(), std::make_pair(1, 1));

    g.SplitCells(2, 2);
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(g.CellPropsAt(c, r)->CellSpanX(), -1);
            EXPECT_EQ(g.CellPropsAt(c, r)->CellSpanY(), -1);
        }
    }
    EXPECT_EQ(g.GetCellEx(2, 1), QStringLiteral("under")); // the old text shows again
    EXPECT_EQ(g.GetCellEx(1, 1), QStringLiteral("x"));
}

TEST(BaseGridMerge, OneByOneRangeCountsButIsNotMerged)
{
    TestGrid g;
    g.MergeCells(2, 2, 1, 1);
    EXPECT_EQ(g.MergeCount(), 1);
    EXPECT_FALSE(g.IsMergedCell(2, 2));
    g.SplitCells(2, 2);
    EXPECT_EQ(g.MergeCount(), 0);
}

TEST(BaseGridMerge, MergeCountCountsOnlyRealRangesAndRealSplits)
{
    TestGrid g;
    g.MergeCells(1, 1, 0, 2); // no columns: no range
    g.MergeCells(1, 1, 2, -1);
    EXPECT_EQ(g.MergeCount(), 0);
    EXPECT_EQ(g.CellPropsAt(1, 1), nullptr);
    g.MergeCells(1, 1, 2, 2);
    EXPECT_EQ(g.MergeCount(), 1);
    g.SplitCells(4, 4); // a plain cell: nothing to split
    g.GetCellProperties(5, 5);
    g.SplitCells(5, 5); // properties, but never merged
    EXPECT_EQ(g.MergeCount(), 1);
    g.SplitCells(2, 2);
    EXPECT_EQ(g.MergeCount(), 0);
    g.SplitCells(2, 2); // split again: nothing left to count
    EXPECT_EQ(g.MergeCount(), 0);
}

TEST(BaseGridMerge, SpanIdentityNeedsAtLeastOneMergedPair)
{
    TestGrid g;
    EXPECT_FALSE(g.ColSpanIdentical(1, 2));
    EXPECT_FALSE(g.RowSpanIdentical(1, 2));
    g.MergeCells(1, 1, 2, 2); // columns 1-2, rows 1-2
    EXPECT_TRUE(g.RowSpanIdentical(1, 2));
    EXPECT_TRUE(g.ColSpanIdentical(1, 2));
    g.MergeCells(4, 2, 1, 2); // column 4, rows 2-3: merged in row 2 only of the pair, skipped
    EXPECT_TRUE(g.RowSpanIdentical(1, 2));
    g.MergeCells(5, 0, 1, 2); // column 5: rows 0-1 and rows 2-3, different ranges
    g.MergeCells(5, 2, 1, 2);
    EXPECT_FALSE(g.RowSpanIdentical(1, 2));
    EXPECT_EQ(g.MaxRowSpan(2), 1);
    EXPECT_EQ(g.MinRowSpan(5), g.RowCount());
}

TEST(BaseGridMerge, RightKeyLeavesARangeThreeColumnsWide)
{
    TestGrid g;
    g.MergeCells(1, 2, 3, 1);
    g.SetCol(1);
    g.SetRow(2);
    g.PressKey(VK_RIGHT);
    EXPECT_EQ(g.Col(), 4);
    g.PressKey(VK_LEFT);
    EXPECT_EQ(g.Col(), 1); // on the base cell of the range
}

// ---------------------------------------------------------------------------
// Display texts
// ---------------------------------------------------------------------------

TEST(BaseGridText, HooksSeeTheBaseCellAndOnlyNormalRows)
{
    TestGrid g;
    std::vector<std::pair<int, int>> seen;
    g.OnGetDisplText = [&](QObject*, int c, int r, QString& v) {
        seen.emplace_back(c, r);
        v = v.toUpper();
    };
    g.SetCellEx(1, 1, QStringLiteral("abc"));
    g.MergeCells(1, 1, 2, 1);
    EXPECT_EQ(g.GetCellEx(2, 1), QStringLiteral("ABC"));
    EXPECT_EQ(seen.back(), std::make_pair(1, 1));
    g.SetNormalRowCount(3);
    g.SetCellEx(0, 4, QStringLiteral("low"));
    seen.clear();
    EXPECT_EQ(g.GetCellEx(0, 4), QStringLiteral("low"));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(g.GetCellEx(5, 5), QString()); // never written
    EXPECT_EQ(g.GetCellEx(-1, 2), QString());
}

TEST(BaseGridText, WideHookPacksEveryDisplayText)
{
    TestGrid g;
    g.OnGetDisplWideText = [](QObject*, int, int, QString&) {};
    g.SetCellEx(1, 1, QStringLiteral("abc"));
    const QString expected = QStringLiteral("|\\") + QChar(0) + u'a' + QChar(0) + u'b' + QChar(0) + u'c';
    EXPECT_EQ(g.GetCellEx(1, 1), expected);
    EXPECT_EQ(DecodeWideText(g.GetCellEx(1, 1)), QStringLiteral("abc"));
}

TEST(BaseGridText, LastRowWriteTellsTheFooterWhenTheRowIsHidden)
{
    TestGrid g;
    g.SetHideLastRow(true);
    g.SetCellEx(2, g.RowCount() - 1, QStringLiteral("sum"));
    EXPECT_EQ(g.footerChanges, 1);
    g.SetCellEx(2, 1, QStringLiteral("x"));
    EXPECT_EQ(g.footerChanges, 1);
}

TEST(BaseGridText, WritesOutsideTheStoreAreIgnored)
{
    TestGrid g;
    EXPECT_NO_THROW(g.SetCellEx(-1, 0, QStringLiteral("x")));
    EXPECT_NO_THROW(g.SetCellEx(0, -3, QStringLiteral("x")));
    EXPECT_NO_THROW(g.SetCellEx(TStringGrid::MaxStoredCols, 0, QStringLiteral("x")));
}

// ---------------------------------------------------------------------------
// Cell properties
// ---------------------------------------------------------------------------

TEST(BaseGridProps, CreatedOnFirstUseWithTheGridsLookNow)
{
    TestGrid g;
    EXPECT_FALSE(g.HasCellProps(1, 1));
    g.SetColor(clYellow);
    g.Font().SetName(QStringLiteral("Courier"));
    g.SetWordWrap(false);
    TCellProperties* p = g.GetCellProperties(1, 1);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(g.HasCellProps(1, 1));
    EXPECT_EQ(g.GetCellProperties(1, 1), p);
    EXPECT_EQ(p->BrushColor(), clYellow);
    EXPECT_EQ(p->FontName(), QStringLiteral("Courier"));
    EXPECT_FALSE(p->WordWrap());
    EXPECT_EQ(p->CellSpanX(), -1);
    EXPECT_TRUE(p->IsBaseCell());
    g.SetColor(clRed); // the look is frozen at creation
    EXPECT_EQ(p->BrushColor(), clYellow);
}

// Only what the cell sets is put over the font it is drawn with.
TEST(BaseGridProps, CellFontPartsOverrideOnlyWhatTheyAreGiven)
{
    TestGrid g;
    TCellProperties* p = g.GetCellProperties(1, 1);
    p->SetFontColor(clRed);
    p->SetFontStyle(0);
    p->SetFontSize(0);
    p->SetFontName(QString());
    TFont font;
    font.SetName(QStringLiteral("Courier"));
    font.SetSize(12);
    font.SetStyle(fsBold);
    p->ApplyFontTo(font);
    EXPECT_EQ(font.Color(), clRed);
    EXPECT_EQ(font.Name(), QStringLiteral("Courier"));
    EXPECT_EQ(font.Size(), 12);
    EXPECT_EQ(font.Style(), fsBold);
    p->SetFontName(QStringLiteral("Serif"));
    p->SetFontSize(9);
    p->SetFontStyle(fsItalic);
    p->ApplyFontTo(font);
    EXPECT_EQ(font.Name(), QStringLiteral("Serif"));
    EXPECT_EQ(font.Size(), 9);
    EXPECT_EQ(font.Style(), fsItalic);
}

TEST(BaseGridProps, ObjectsOfTheCallerLiveInTheProperties)
{
    TestGrid g;
    TObject mine;
    EXPECT_EQ(g.GetObjectEx(2, 2), nullptr);
    g.SetObjectEx(2, 2, &mine);
    EXPECT_EQ(g.GetObjectEx(2, 2), &mine);
    EXPECT_EQ(g.GetCellEx(2, 2), QString());
    EXPECT_NE(dynamic_cast<TCellProperties*>(g.GetGridObject(2, 2)), nullptr);
}

TEST(BaseGridProps, FreeRectFreesOnlyTheGridsOwnGraphicClass)
{
    int deaths = 0;
    auto* own = new OwnGraphic(&deaths);
    DerivedGraphic derived(&deaths);
    {
        TestGrid g;
        g.SetGraphicObjectEx(1, 1, own);
        g.SetGraphicObjectEx(2, 1, &derived);
        g.FreeCellPropsRect(0, 0, 5, 5);
        EXPECT_EQ(deaths, 1);
        EXPECT_FALSE(g.HasCellProps(2, 1));
    }
    EXPECT_EQ(deaths, 1); // the derived object belongs to the test
}

TEST(BaseGridProps, FreeingReachesColumnsBeyondColCount)
{
    TestGrid g;
    g.extraColumns = 2; // two hidden columns after the shown ones
    g.GetCellProperties(7, 3);
    g.FreeAllCellProps();
    EXPECT_EQ(g.CellPropsAt(7, 3), nullptr);
}

TEST(BaseGridProps, PropertiesOutsideTheGridGoWithIt)
{
    // Under the leak checker: properties of cells outside the counts are
    // freed by the grid too.
    auto g = std::make_unique<TestGrid>();
    g->GetCellProperties(5, 5);
    g->SetRowCount(2);
    g->SetColCount(2);
    g.reset();
    SUCCEED();
}

TEST(BaseGridProps, ResetRowKeepsTheObjects)
{
    TestGrid g;
    TCellProperties* p = g.GetCellProperties(1, 2);
    g.SetCellEx(1, 2, QStringLiteral("t"));
    g.ResetRow(2);
    EXPECT_EQ(g.GetGridObject(1, 2), nullptr);
    EXPECT_EQ(g.GetCellEx(1, 2), QString());
    g.SetCellProperties(1, 2, p); // the grid owns it again
    EXPECT_EQ(g.CellPropsAt(1, 2), p);
}

// ---------------------------------------------------------------------------
// Undo and redo
// ---------------------------------------------------------------------------

namespace {
struct UndoFixture : ::testing::Test
{
    TestGrid grid;
    TExGridUndoRedo undo;
    void SetUp() override { grid.SetUndoRedo(&undo); }
    void Change(int c, int r, const QString& text)
    {
        undo.RegisterChange(c, r, grid.GetCellEx(c, r), text);
        grid.SetCellEx(c, r, text);
    }
};
} // namespace

TEST_F(UndoFixture, MaxLevelKeepsTheNewestSteps)
{
    undo.SetMaxLevel(2);
    Change(1, 1, QStringLiteral("a"));
    Change(1, 2, QStringLiteral("b"));
    Change(1, 3, QStringLiteral("c"));
    ASSERT_EQ(undo.Items().size(), 2u);
    EXPECT_EQ(undo.Items()[0].Value, QStringLiteral("b"));
    EXPECT_EQ(undo.Level(), 2);
}

TEST_F(UndoFixture, ASequenceIsUndoneAndRedoneAsOneStep)
{
    grid.SetCellEx(1, 1, QStringLiteral("old a"));
    undo.StartSequence();
    Change(1, 1, QStringLiteral("a"));
    Change(2, 1, QStringLiteral("b"));
    undo.StopSequence();
    std::vector<QString> undone;
    undo.OnUndo = [&](QObject*, TBaseGrid*, int, int, const QString& shown, const QString&) { undone.push_back(shown); };
    undo.Undo();
    EXPECT_EQ(undo.Level(), 0);
    EXPECT_EQ(undone, (std::vector<QString>{QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("old a"));
    EXPECT_EQ(grid.GetCellEx(2, 1), QString());
    undo.Redo();
    EXPECT_EQ(undo.Level(), 4);
    EXPECT_EQ(grid.GetCellEx(2, 1), QStringLiteral("b"));
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 1);
}

TEST_F(UndoFixture, NothingAfterReset)
{
    Change(1, 1, QStringLiteral("a"));
    undo.Reset();
    EXPECT_EQ(undo.Level(), 0);
    EXPECT_FALSE(undo.CanUndo());
    undo.Undo();
    undo.Redo();
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("a"));
}

TEST_F(UndoFixture, ANewChangeDropsTheStepsThatCouldBeRedone)
{
    Change(1, 1, QStringLiteral("a"));
    Change(1, 1, QStringLiteral("b"));
    undo.Undo();
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("a"));
    Change(1, 1, QStringLiteral("c"));
    EXPECT_FALSE(undo.CanRedo());
    ASSERT_EQ(undo.Items().size(), 2u);
    undo.Undo();
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("a"));
    undo.Undo();
    EXPECT_EQ(grid.GetCellEx(1, 1), QString());
    undo.Redo();
    undo.Redo();
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("c"));
}

TEST_F(UndoFixture, EvictionTakesWholeSequencesAndLevelsStayInRange)
{
    undo.SetMaxLevel(2);
    undo.StartSequence();
    Change(1, 1, QStringLiteral("a"));
    Change(2, 1, QStringLiteral("b")); // the open sequence is not cut
    undo.StopSequence();
    EXPECT_TRUE(undo.Items().front().SequenceStart);
    Change(3, 1, QStringLiteral("c")); // now the whole sequence goes
    ASSERT_EQ(undo.Items().size(), 1u);
    EXPECT_FALSE(undo.Items().front().SequenceStart);
    for (int i = 0; i < 4; ++i) {
        undo.Undo();
        EXPECT_GE(undo.Level(), 0);
    }
    for (int i = 0; i < 4; ++i) {
        undo.Redo();
        EXPECT_LE(undo.Level(), static_cast<int>(undo.Items().size()));
    }
    EXPECT_EQ(grid.GetCellEx(3, 1), QStringLiteral("c"));
}

TEST_F(UndoFixture, AnUnfinishedSequenceRedoesAllItsChanges)
{
    undo.StartSequence();
    Change(1, 1, QStringLiteral("a"));
    Change(2, 1, QStringLiteral("b"));
    undo.Undo();
    undo.Undo();
    undo.Undo();
    EXPECT_EQ(undo.Level(), 0);
    EXPECT_EQ(grid.GetCellEx(1, 1), QString());
    undo.Redo();
    EXPECT_EQ(undo.Level(), 3);
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("a"));
    EXPECT_EQ(grid.GetCellEx(2, 1), QStringLiteral("b"));
}

TEST_F(UndoFixture, TheGridForgetsAComponentThatIsGone)
{
    auto other = std::make_unique<TExGridUndoRedo>();
    grid.SetUndoRedo(other.get());
    EXPECT_EQ(other->Grid(), &grid);
    other.reset();
    EXPECT_EQ(grid.UndoRedo(), nullptr);
}
