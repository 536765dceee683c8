// The colour panels: the cube's hexagon cells and their hit test, the
// spectrum's eyedropper that picks the pixel shown, and the colour boxes with
// hot tracking, disabled boxes and keyboard selection. Mouse input is real.
#include "controls/ExColorSelector.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include "PanelMouse.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

TColor PixelAt(QWidget& w, int x, int y)
{
    return FromQColor(w.grab().toImage().pixelColor(x, y));
}

// --- cube -------------------------------------------------------------------

class CubeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        cube.OnSelect = [this](QObject*) { ++selects; };
        cube.show();
        QApplication::processEvents();
    }
    TExColorCubePanel cube;
    int selects = 0;
};

TEST_F(CubeTest, CellsFormAHexagonWithSevenOnEachSide)
{
    EXPECT_EQ(cube.width(), 182);
    EXPECT_EQ(cube.height(), 160);
    struct Case
    {
        int cell;
        TPoint centre;
        TColor colour;
    } cases[] = {
        {1, Point(55, 20), 0x663300},   {7, Point(127, 20), 0x660000},  {8, Point(49, 30), 0x666600},
        {58, Point(19, 80), 0x003300},  {64, Point(91, 80), 0xFFFFFF},  {70, Point(163, 80), 0x660066},
        {71, Point(25, 90), 0x006633},  {121, Point(55, 140), 0x003366}, {127, Point(127, 140), 0x2100A5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cell);
        ASSERT_NE(cube.Cell(c.cell), nullptr);
        EXPECT_EQ(cube.Cell(c.cell)->Center, c.centre);
        EXPECT_EQ(cube.Cell(c.cell)->Color, c.colour);
    }
    EXPECT_EQ(cube.Cell(0), nullptr);
    EXPECT_EQ(cube.Cell(128), nullptr);
}

TEST_F(CubeTest, HitTestFavoursTheLowerIndexAndMissesTheGaps)
{
    struct Case
    {
        int x, y, cell;
        const char* why;
    } cases[] = {
        {55, 20, 1, "centre"},
        {61, 20, 1, "halfway between cells 1 and 2: the lower index wins"},
        {62, 20, 2, "one pixel nearer cell 2"},
        {61, 23, -1, "between two rows, more than 6 from every centre"},
        {0, 0, -1, "corner outside the hexagon"},
        {163, 86, 70, "6 below the last cell of the widest row"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cube.CellAtPos(c.x, c.y), c.cell) << c.why;
}

TEST_F(CubeTest, SelectedColorFindsTheFirstCellOfThatColour)
{
    cube.SetSelectedColor(0x563412);
    EXPECT_EQ(cube.SelectedColor(), 0x563412u);
    EXPECT_EQ(cube.SelectedIndex(), -1);
    cube.SetSelectedColor(0xFFFFFF);
    EXPECT_EQ(cube.SelectedIndex(), 64);
    cube.SelectCell(0x000080, 500); // not a cell: searched like the property
    EXPECT_EQ(cube.SelectedIndex(), 126);
    EXPECT_EQ(selects, 0);
}

TEST_F(CubeTest, ClickChoosesTheCellUnderThePointer)
{
    int hides = 0;
    cube.FOnShouldHide = [&](QObject*) { ++hides; };
    mouse::mouseClick(&cube, Qt::LeftButton, {}, QPoint(91, 80));
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(cube.SelectedIndex(), 64);
    EXPECT_EQ(cube.SelectedColor(), clWhite);
    EXPECT_EQ(hides, 1);
    mouse::mouseClick(&cube, Qt::RightButton, {}, QPoint(127, 140));
    EXPECT_EQ(selects, 2);
    EXPECT_EQ(cube.SelectedColor(), 0x2100A5u);
    // Outside every cell: nothing chosen, the old choice stays.
    mouse::mouseClick(&cube, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(selects, 2);
    EXPECT_EQ(cube.SelectedIndex(), 127);
}

TEST_F(CubeTest, HotCellShowsItsRgbHintAndKeepsItsOutlineOutside)
{
    cube.SetColor(clBtnFace);
    mouse::mouseMove(&cube, QPoint(55, 20));
    EXPECT_EQ(cube.HotIndex(), 1);
    EXPECT_EQ(cube.Hint(), QStringLiteral("Red: 0,  Green: 51,  Blue: 102"));
    mouse::mouseMove(&cube, QPoint(1, 1));
    EXPECT_EQ(cube.HotIndex(), 1);
    EXPECT_EQ(cube.Hint(), QString());
    // The hot outline is red at the cell's outer hexagon (b = 5): its left edge.
    EXPECT_EQ(PixelAt(cube, 50, 20), clRed);
    // A cell that is neither hot nor selected is filled with its colour.
    EXPECT_EQ(PixelAt(cube, 91, 80), clWhite);
    EXPECT_EQ(PixelAt(cube, 109, 30), 0xFF0000u); // cell 13

    cube.SetShowRGBHint(false);
    mouse::mouseMove(&cube, QPoint(91, 80));
    EXPECT_EQ(cube.HotIndex(), 64);
    EXPECT_EQ(cube.Hint(), QString());
}

// --- spectrum ---------------------------------------------------------------

TEST(SpectrumPicture, HueRunsAlongXAndLightnessDownY)
{
    const QImage img = SpectrumPicture();
    ASSERT_EQ(img.size(), QSize(128, 128));
    auto at = [&](int x, int y) { return FromQColor(img.pixelColor(x, y)); };
    EXPECT_EQ(at(0, 64), clRed);
    EXPECT_EQ(at(64, 0), clWhite);
    EXPECT_EQ(at(64, 127), clBlack);
    const TColor cyanish = at(64, 64);
    EXPECT_LT(GetRValue(cyanish), 10);
    EXPECT_GT(GetGValue(cyanish), 240);
    EXPECT_GT(GetBValue(cyanish), 240);
    EXPECT_GT(GetRValue(at(127, 64)), 240); // back to red
}

class SpectrumTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        spectrum.OnSelect = [this](QObject*) { ++selects; };
        spectrum.SetColor(clBtnFace);
        spectrum.show();
        QApplication::processEvents();
    }
    TExColorSpectrumPanel spectrum;
    int selects = 0;
};

TEST_F(SpectrumTest, LayoutPlacesThePictureAndTheTwoSwatches)
{
    EXPECT_EQ(spectrum.width(), 150);
    EXPECT_EQ(spectrum.height(), 174);
    EXPECT_EQ(spectrum.SpectrumImage()->Left(), 11);
    EXPECT_EQ(spectrum.SpectrumImage()->Top(), 10);
    EXPECT_EQ(spectrum.SelectedRect(), Rect(10, 146, 73, 166));
    EXPECT_EQ(spectrum.HotRect(), Rect(77, 146, 140, 166));
    EXPECT_EQ(spectrum.HotColor(), clNone);
    EXPECT_EQ(spectrum.SelectedColor(), clWhite);
    // The hot swatch is not filled until the pointer has been over the picture.
    const TColor background = PixelAt(spectrum, 5, 170);
    EXPECT_EQ(PixelAt(spectrum, 100, 156), background);
    EXPECT_EQ(PixelAt(spectrum, 40, 156), clWhite);
}

TEST_F(SpectrumTest, EyedropperPicksThePixelShownAndAClickSelectsIt)
{
    QWidget* picture = spectrum.SpectrumImage();
    mouse::mouseMove(picture, QPoint(64, 64));
    const TColor shown = PixelAt(spectrum, 11 + 64, 10 + 64);
    EXPECT_EQ(spectrum.HotColor(), shown);
    EXPECT_EQ(PixelAt(spectrum, 100, 156), shown);

    mouse::mouseClick(picture, Qt::LeftButton, {}, QPoint(0, 64));
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(spectrum.SelectedColor(), clRed);
    EXPECT_EQ(PixelAt(spectrum, 40, 156), clRed);

    // A new layout forgets the hot colour.
    spectrum.UpdateLayout();
    EXPECT_EQ(spectrum.HotColor(), clNone);
    EXPECT_EQ(spectrum.SelectedColor(), clRed);
}

// --- colour boxes -----------------------------------------------------------

class BoxSelectorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sel.LoadThemeColors();
        sel.SetPanelSize();
        sel.OnItemSelect = [this](QObject*) { ++selects; };
        sel.SetColor(clWhite);
        sel.show();
        QApplication::processEvents();
    }
    QPoint CentreOf(int i)
    {
        TRect r;
        sel.GetColorBoxRect(i, r);
        return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    }
    TCustomColorSelector sel;
    int selects = 0;
};

TEST_F(BoxSelectorTest, ThemeColoursLayOutInAStandAloneRowAndAStrip)
{
    EXPECT_EQ(sel.width(), 165);
    EXPECT_EQ(sel.height(), 84);
    struct Case
    {
        int index;
        TRect rect;
    } cases[] = {
        {0, Rect(4, 4, 16, 16)},     {9, Rect(148, 4, 160, 16)},  {10, Rect(4, 20, 16, 32)},
        {25, Rect(84, 32, 96, 44)},  {59, Rect(148, 68, 160, 80)},
    };
    for (const Case& c : cases) {
        TRect r;
        sel.GetColorBoxRect(c.index, r);
        EXPECT_EQ(r, c.rect) << c.index;
    }
    TRect outside;
    sel.GetColorBoxRect(60, outside);
    EXPECT_EQ(outside, Rect(-1, -1, -1, -1));
    EXPECT_EQ(sel.Items().Items(0)->ColorBoxPos(), ipStandAlone);
    EXPECT_EQ(sel.Items().Items(10)->ColorBoxPos(), ipTop);
    EXPECT_EQ(sel.Items().Items(59)->ColorBoxPos(), ipBottom);
}

TEST_F(BoxSelectorTest, ClickSelectsTheColourUnderThePointer)
{
    mouse::mouseClick(&sel, Qt::LeftButton, {}, CentreOf(5));
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(sel.ItemIndex(), 5);
    EXPECT_EQ(sel.SelectedColor(), 0x4D50C0u);
    // The selected box's outer frame is red, its inside keeps its colour.
    TRect r;
    sel.GetColorBoxRect(5, r);
    EXPECT_EQ(PixelAt(sel, r.Left, r.Top + 5), clRed);
    EXPECT_EQ(PixelAt(sel, r.Left + 5, r.Top + 5), 0x4D50C0u);
    // Between boxes: nothing changes.
    mouse::mouseClick(&sel, Qt::LeftButton, {}, QPoint(18, 10));
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(sel.ItemIndex(), 5);
}

TEST_F(BoxSelectorTest, SelectedColorTakesTheFirstBoxOfThatColour)
{
    sel.SetSelectedColor(0x7F7F7F);
    EXPECT_EQ(sel.ItemIndex(), 11);
    sel.SetSelectedColor(0x123456);
    EXPECT_EQ(sel.ItemIndex(), -1);
    EXPECT_EQ(sel.SelectedColor(), 0x123456u);
    sel.SetSelectedColor(clNone);
    EXPECT_EQ(sel.ItemIndex(), -1);
}

TEST_F(BoxSelectorTest, HotBoxFollowsTheMouse)
{
    mouse::mouseMove(&sel, CentreOf(12));
    EXPECT_EQ(sel.ItemHot(), 12);
    TRect r;
    sel.GetColorBoxRect(12, r);
    EXPECT_EQ(PixelAt(sel, r.Left, r.Top + 5), 0x3694F2u);
    EXPECT_EQ(PixelAt(sel, r.Left + 1, r.Top + 5), 0x94E2FFu);
    mouse::mouseMove(&sel, QPoint(1, 1));
    EXPECT_EQ(sel.ItemHot(), -1);
    // Unframed again: a box of the strip shows only its side lines.
    EXPECT_EQ(PixelAt(sel, r.Left, r.Top + 5), 0xC5C5C5u);
    QEvent leave(QEvent::Leave);
    mouse::mouseMove(&sel, CentreOf(3));
    QApplication::sendEvent(&sel, &leave);
    EXPECT_EQ(sel.ItemHot(), -1);
}

TEST_F(BoxSelectorTest, DisabledBoxIsNeitherSelectedNorHot)
{
    sel.Items().Items(4)->SetEnabled(false);
    mouse::mouseMove(&sel, CentreOf(4));
    EXPECT_EQ(sel.ItemHot(), -1);
    mouse::mouseClick(&sel, Qt::LeftButton, {}, CentreOf(4));
    EXPECT_EQ(sel.ItemIndex(), -1);
    sel.SetItemIndex(3);
    sel.HandleKey(VK_RIGHT, true, true);
    EXPECT_EQ(sel.ItemIndex(), 3);
    sel.SetItemIndex(14);
    sel.HandleKey(VK_UP, true, true);
    EXPECT_EQ(sel.ItemIndex(), 14);
    EXPECT_EQ(selects, 2);
}

TEST_F(BoxSelectorTest, KeysMoveTheSelection)
{
    struct Case
    {
        int start, key;
        bool editorEnabled, dropped;
        int expected;
        const char* why;
    } cases[] = {
        {-1, VK_UP, true, true, 0, "Up with nothing selected while dropped down"},
        {3, VK_UP, true, true, 3, "Up on the first row"},
        {13, VK_UP, true, true, 3, "Up a row"},
        {3, VK_DOWN, true, true, 13, "Down a row"},
        {55, VK_DOWN, true, true, 55, "Down on the last row"},
        {-1, VK_DOWN, true, true, 0, "Down with nothing selected while dropped down"},
        {13, VK_UP, true, false, 12, "Up closed: previous box"},
        {13, VK_DOWN, true, false, 14, "Down closed: next box"},
        {5, VK_LEFT, true, false, 5, "Left is idle while closed and the editor is enabled"},
        {5, VK_LEFT, false, false, 4, "Left with the editor disabled"},
        {5, VK_RIGHT, true, true, 6, "Right dropped down"},
        {59, VK_RIGHT, true, true, 59, "Right on the last box"},
        {0, VK_LEFT, true, true, 0, "Left on the first box"},
        {30, VK_HOME, true, false, 0, "Home"},
        {30, VK_PRIOR, true, true, 0, "Page Up"},
        {30, VK_END, true, false, 59, "End"},
        {30, VK_NEXT, true, true, 59, "Page Down"},
        {30, VK_RETURN, true, true, 30, "a key outside 33..40"},
    };
    for (const Case& c : cases) {
        sel.SetItemIndex(-1);
        sel.SetItemIndex(c.start);
        sel.HandleKey(c.key, c.editorEnabled, c.dropped);
        EXPECT_EQ(sel.ItemIndex(), c.expected) << c.why;
    }
    sel.SetEnabled(false);
    sel.SetItemIndex(30);
    sel.HandleKey(VK_HOME, true, true);
    EXPECT_EQ(sel.ItemIndex(), 30);
}

TEST_F(BoxSelectorTest, ColourStylesWriteTheDefaultFramesAndCustomKeepsThem)
{
    sel.ColorBoxAppearance().SetBorderColor(0x111111);
    sel.SetItemColorStyle(scCustom);
    EXPECT_EQ(sel.ColorBoxAppearance().BorderColor(), 0x111111u);
    sel.SetItemColorStyle(scWindows7);
    EXPECT_EQ(sel.ColorBoxAppearance().BorderColor(), 0xC5C5C5u);
    EXPECT_EQ(sel.ColorBoxAppearance().OuterBorderColorSelected(), 0x0000FFu);
}

TEST(BoxSelector, WithoutBoxesItIs100By50AndIgnoresKeysAndClicks)
{
    TCustomColorSelector sel;
    int selects = 0;
    sel.OnItemSelect = [&](QObject*) { ++selects; };
    sel.SetPanelSize();
    EXPECT_EQ(sel.width(), 100);
    EXPECT_EQ(sel.height(), 50);
    sel.show();
    QApplication::processEvents();
    for (int key : {VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}) {
        sel.HandleKey(key, false, true);
        sel.HandleKey(key, true, false);
    }
    mouse::mouseClick(&sel, Qt::LeftButton, {}, QPoint(10, 10));
    sel.SetSelectedColor(clRed);
    EXPECT_EQ(sel.ItemIndex(), -1);
    EXPECT_EQ(selects, 0);
    (void)sel.grab();
}

TEST(BoxSelector, ColumnsBelowOneCountAsOne)
{
    TCustomColorSelector sel;
    for (TColor c : {clRed, clGreen, clBlue})
        sel.Items().Add()->SetColor(c);
    sel.SetColumns(0);
    EXPECT_EQ(sel.Columns(), 1);
    sel.SetColumns(-3);
    EXPECT_EQ(sel.Columns(), 1);
    sel.SetPanelSize();
    // One box per row, stand-alone rows separated by the gap.
    TRect r;
    sel.GetColorBoxRect(2, r);
    EXPECT_EQ(r, Rect(4, 36, 16, 48));
    sel.SetItemIndex(0);
    sel.HandleKey(VK_DOWN, true, true);
    EXPECT_EQ(sel.ItemIndex(), 1);
}

TEST(BoxSelector, ColourChangeOfABoxIsReported)
{
    TCustomColorSelector sel;
    int changes = 0;
    sel.Items().OnChange = [&] { ++changes; };
    TColorBoxItem* item = sel.Items().Add();
    item->SetColor(clRed);
    item->SetColor(clRed);
    EXPECT_EQ(changes, 1);
}

} // namespace
