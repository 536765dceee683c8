// The grid's own size changes: columns synchronised with the grid width from
// their original sizes, the stretch column refilled, and the horizontal bar
// shown exactly when the columns do not fit.
#include "grid/ExGridEditTestSupport.h"

#include <vector>

using namespace platform;
using namespace edittest;

namespace {

struct SizeFixture : GridFixture
{
    const std::vector<int> original{64, 80, 100, 50, 120};

    void SetUp() override
    {
        GridFixture::SetUp();
        for (int c = 0; c < 5; ++c)
            grid->SetColWidths(c, original[size_t(c)]);
    }

    void TearDown() override
    {
        grid->OnResize = nullptr;
        GridFixture::TearDown();
    }

    void ResizeTo(int width)
    {
        grid->resize(width, grid->height());
        ProcessEvents();
    }

    std::vector<int> Widths() const
    {
        std::vector<int> w;
        for (int c = 0; c < grid->ColCount(); ++c)
            w.push_back(grid->ColWidths(c));
        return w;
    }
};

} // namespace

TEST_F(SizeFixture, SynchronisedColumnsScaleFromTheirOriginalSizes)
{
    EXPECT_EQ(grid->OldSize(), 0) << "no original sizes taken yet";
    grid->InitOrigColSizes();
    EXPECT_EQ(grid->OldSize(), 560);
    grid->ColumnSize().SetSynchWithGrid(true);
    ASSERT_FALSE(grid->ScrollBarVisible(sbVertical)) << "the client width is the grid width less the borders";
    struct Step
    {
        int width;
        std::vector<int> widths;
    } steps[] = {
        {840, {96, 120, 150, 75, 180}},
        {280, {32, 40, 50, 25, 60}},
        {700, {80, 100, 125, 62, 150}}, // truncated
        {560, {64, 80, 100, 50, 120}},  // from the originals: nothing drifts
    };
    for (const Step& s : steps) {
        ResizeTo(s.width);
        EXPECT_EQ(Widths(), s.widths) << s.width;
    }
}

TEST_F(SizeFixture, SynchronisingNormalColumnsOnlyLeavesTheFixedOnes)
{
    grid->SetFixedRightCols(1);
    grid->InitOrigColSizes();
    grid->ColumnSize().SetSynchWithGrid(true);
    grid->ColumnSize().SetSynchNormalCellsOnly(true);
    ResizeTo(840);
    EXPECT_EQ(Widths(), (std::vector<int>{64, 120, 150, 75, 120}));
}

TEST_F(SizeFixture, NoSynchronisationWithoutTheSettingOrTheOriginalSizes)
{
    grid->ColumnSize().SetSynchWithGrid(true);
    ResizeTo(840);
    EXPECT_EQ(Widths(), original) << "no original sizes";
    grid->ColumnSize().SetSynchWithGrid(false);
    grid->InitOrigColSizes();
    ResizeTo(420);
    EXPECT_EQ(Widths(), original);
}

TEST_F(SizeFixture, SynchronisationEndsTheEdit)
{
    grid->InitOrigColSizes();
    grid->ColumnSize().SetSynchWithGrid(true);
    grid->SetCol(2);
    grid->SetRow(2);
    grid->ShowInplaceEdit();
    ASSERT_TRUE(grid->InplaceEditor() && grid->InplaceEditor()->isVisible());
    ResizeTo(700);
    EXPECT_FALSE(grid->InplaceEditor() && grid->InplaceEditor()->isVisible());
}

TEST_F(SizeFixture, TheStretchColumnRefillsTheClientWidthAsTheGridGrows)
{
    int resized = 0;
    grid->OnResize = [&](QObject*) { ++resized; };
    struct Case
    {
        const char* name;
        bool stretch;
        TScrollBarAlways always;
        int stretchColumn;
    } cases[] = {
        {"last column", true, saNone, -1},
        {"a middle column", true, saNone, 2},
        {"vertical bar always", true, saVert, -1},
        {"stretching off", false, saNone, -1},
    };
    int width = 560;
    for (const Case& c : cases) {
        grid->SetScrollBarAlways(c.always);
        grid->ColumnSize().SetStretchColumn(c.stretchColumn);
        grid->ColumnSize().SetStretch(false);
        for (int col = 0; col < 5; ++col)
            grid->SetColWidths(col, 40);
        grid->ColumnSize().SetStretch(c.stretch);
        resized = 0;
        width += 60;
        ResizeTo(width);
        const int stretch = c.stretchColumn == -1 ? 4 : c.stretchColumn;
        EXPECT_EQ(grid->ColWidths(stretch), c.stretch ? grid->ClientWidth() - 4 * 40 - 1 : 40) << c.name;
        EXPECT_EQ(resized, 1) << c.name;
    }
}

TEST_F(SizeFixture, TheHorizontalBarShowsExactlyWhenTheColumnsDoNotFit)
{
    grid->ColumnSize().SetStretch(true);
    for (int c = 0; c < 5; ++c)
        grid->SetColWidths(c, 100);
    ResizeTo(300);  // the others alone are wider than the grid: no stretch
    EXPECT_TRUE(grid->ScrollBarVisible(sbHorizontal));
    EXPECT_FALSE(grid->ScrollBarVisible(sbVertical));
    for (int c = 0; c < 4; ++c)
        grid->SetColWidths(c, 50);
    ResizeTo(320);
    EXPECT_EQ(grid->ColWidths(4), grid->ClientWidth() - 4 * 50 - 1);
    EXPECT_FALSE(grid->ScrollBarVisible(sbHorizontal));
}
