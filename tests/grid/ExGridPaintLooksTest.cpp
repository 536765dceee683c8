// Looks, styles and look settings of the string grid, and the fixed-cell
// looks as they come out in pixels.
#include "GridPaintTestSupport.h"

#include "widgets/ExDropDownLook.h"
#include "widgets/ExUtil.h"

#include <gtest/gtest.h>

using namespace platform;
using namespace gridpaint;
using widgettest::Count;

namespace {

struct LookFixture : ::testing::Test
{
    TestGrid grid;
    void SetUp() override
    {
        grid.resize(400, 250);
        grid.SetColCount(5);
        grid.SetRowCount(8);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Look settings
// ---------------------------------------------------------------------------

TEST_F(LookFixture, ControlLookStartsWithItsConstructionValues)
{
    TControlLook& cl = grid.ControlLook();
    EXPECT_EQ(cl.CheckSize(), 15);
    EXPECT_EQ(cl.RadioSize(), 10);
    EXPECT_EQ(cl.ControlStyle(), csTheme);
    EXPECT_EQ(cl.FixedGradientHoverFrom(), 0x808080u);
    EXPECT_EQ(cl.FixedGradientHoverTo(), 0xFFFFFFu);
    EXPECT_EQ(cl.FixedGradientDownFrom(), 0x808080u);
    EXPECT_EQ(cl.FixedGradientDownTo(), 0xC0C0C0u);
    EXPECT_EQ(cl.CommentColor(), 0xFFu);
    EXPECT_EQ(cl.DropDownCount(), 8);
    // The hover colours reach the grid; the mirror colours start as none there too.
    EXPECT_EQ(grid.QRVGradientHoverFrom(), 0x808080u);
    EXPECT_EQ(grid.QRVGradientHoverBorder(), 0xC0C0C0u);
    EXPECT_EQ(grid.QRVGradientHoverMirrorFrom(), clNone);
    EXPECT_EQ(grid.QRVGradientDownMirrorTo(), clNone);
}

TEST_F(LookFixture, FixedGradientColoursReachTheGridUnlessNone)
{
    const TColor before = grid.QRVGradientTo();
    grid.ControlLook().SetFixedGradientTo(clNone);
    EXPECT_EQ(grid.ControlLook().FixedGradientTo(), clNone);
    EXPECT_EQ(grid.QRVGradientTo(), before);
    grid.ControlLook().SetFixedGradientTo(0xC0C0C0);
    EXPECT_EQ(grid.QRVGradientTo(), 0xC0C0C0u);
    // Mirror colours always pass on, none included.
    grid.ControlLook().SetFixedGradientMirrorFrom(0x112233);
    EXPECT_EQ(grid.QRVGradientMirrorFrom(), 0x112233u);
    grid.ControlLook().SetFixedGradientMirrorFrom(clNone);
    EXPECT_EQ(grid.QRVGradientMirrorFrom(), clNone);
}

TEST_F(LookFixture, CopyingAControlLookTakesItsGradientButLeavesTheGridAlone)
{
    TControlLook source(nullptr);
    source.SetFixedGradientFrom(clWhite);
    source.SetFixedGradientTo(clSilver);
    source.SetCheckSize(20);
    source.SetFlatButton(true); // not copied
    grid.SetQRVGradientFrom(0x010203);
    grid.ControlLook().Assign(&source);
    EXPECT_EQ(grid.ControlLook().FixedGradientFrom(), clWhite);
    EXPECT_EQ(grid.ControlLook().FixedGradientTo(), clSilver);
    EXPECT_EQ(grid.ControlLook().CheckSize(), 20);
    EXPECT_FALSE(grid.ControlLook().FlatButton());
    EXPECT_EQ(grid.QRVGradientFrom(), 0x010203u);
}

TEST_F(LookFixture, ProgressAppearanceAndBalloonAndModifiedMarkSettings)
{
    TGridProgressAppearance& pa = grid.ProgressAppearance();
    int changes = 0;
    pa.OnChange = [&](TGridProgressAppearance*) { ++changes; };
    EXPECT_EQ(pa.Steps(), 11);
    EXPECT_EQ(pa.Level1Perc(), 70);
    EXPECT_EQ(pa.Level2Perc(), 90);
    EXPECT_EQ(pa.CompleteColor(), 0xFFu);
    EXPECT_EQ(pa.UnCompleteFontColor(), clWindowText);
    pa.SetSteps(11);
    EXPECT_EQ(changes, 0);
    pa.SetSteps(12);
    EXPECT_EQ(changes, 1);
    TGridProgressAppearance copy;
    copy.OnChange = [&](TGridProgressAppearance*) { ++changes; };
    copy.Assign(&pa);
    EXPECT_EQ(copy.Steps(), 12);
    EXPECT_EQ(changes, 2); // one change for the whole copy

    TBalloonSettings& b = grid.Balloon();
    int enables = 0;
    b.OnEnableChange = [&](TBalloonSettings*) { ++enables; };
    EXPECT_EQ(b.InitialDelay(), -1);
    b.SetEnable(true);
    b.SetEnable(true);
    EXPECT_EQ(enables, 2);
    TBalloonSettings other;
    other.SetTransparency(77);
    other.SetTextColor(clRed);
    b.Assign(&other);
    EXPECT_EQ(b.TextColor(), clRed);
    EXPECT_EQ(b.Transparency(), 0);
    EXPECT_EQ(enables, 2); // Assign copies the flag only

    EXPECT_EQ(grid.BackGround().Color(), clWindow);
    EXPECT_EQ(grid.BackGround().ColorTo(), clBtnFace);
    EXPECT_EQ(grid.BackGround().Display(), bdTile);
    EXPECT_EQ(grid.BackGround().Cells(), bcNormal);
}

// ---------------------------------------------------------------------------
// Looks and styles
// ---------------------------------------------------------------------------

TEST(GridLooks, NamesAndDisplayTexts)
{
    const struct
    {
        TGridLook look;
        const char* name;
        const char* text;
    } cases[] = {{glStandard, "glStandard", "Standard"},       {glSoft, "glSoft", "Soft"},
                 {glClassic, "glClassic", "Classic"},          {glQRV, "glQRV", "QRV"},
                 {glXP, "glXP", "Windows XP"},                 {glListView, "glListView", "ListView"},
                 {glVista, "glVista", "Windows Vista"},        {glWin7, "glWin7", "Windows 7"},
                 {glOffice2007, "glOffice2007", "Office2007"}, {glCustom, "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(GridLookName(c.look), QString::fromLatin1(c.name));
        EXPECT_EQ(GridLookText(c.look), QString::fromLatin1(c.text));
    }
}

TEST_F(LookFixture, SettingTheSameLookChangesNothing)
{
    grid.SetSelectionColor(0x123456);
    grid.SetLook(glXP);
    EXPECT_EQ(grid.SelectionColor(), 0x123456u);
}

TEST_F(LookFixture, FromStandardToXP)
{
    grid.SetLook(glStandard);
    EXPECT_EQ(grid.SelectionColor(), clHighlight);
    EXPECT_EQ(grid.FixedColor(), clBtnFace);
    grid.SetBorderColor(0);
    grid.SetLook(glXP);
    EXPECT_EQ(grid.QRVGradientFrom(), 0xFFFFFFu);
    EXPECT_EQ(grid.QRVGradientTo(), ColorToRGB(clBtnFace));
    EXPECT_EQ(grid.SelectionColor(), 0xEACAB6u);
    EXPECT_EQ(grid.SelectionTextColor(), clBlack);
    EXPECT_EQ(grid.ActiveCellColor(), 0xEACAB6u);
    EXPECT_EQ(grid.BorderColor(), 0xB99D7Fu);
    EXPECT_EQ(grid.GridLineColor(), clSilver);
    EXPECT_EQ(grid.GridFixedLineColor(), clGray);
    EXPECT_EQ(grid.QRVGradientHoverFrom(), 0xCFD0D1u);
    EXPECT_EQ(grid.QRVGradientDownMirrorTo(), 0x627376u);
    EXPECT_EQ(grid.SelectionStyle(), ssDefault);
}

TEST_F(LookFixture, StylesSetTheirLooksAndColours)
{
    grid.SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(grid.Look(), glOffice2007);
    EXPECT_EQ(grid.SelectionStyle(), ssOffice2007);
    EXPECT_EQ(grid.SelectionColor(), 0x5EC1F1u);
    EXPECT_EQ(grid.QRVGradientFrom(), 0xFBF9F6u);
    EXPECT_EQ(grid.GridFixedLineColor(), 0xD1BBA4u);
    EXPECT_EQ(grid.QRVGradientDownBorder(), 0xE4C19Du);
    EXPECT_EQ(grid.QRVStyle(), tsOffice2007Luna);

    grid.SetComponentStyle(tsWindowsVista);
    EXPECT_EQ(grid.Look(), glVista);
    EXPECT_EQ(grid.SelectionStyle(), ssVista);
    EXPECT_EQ(grid.QRVGradientMirrorTo(), 0xF4F2F1u);
    EXPECT_EQ(grid.SortSettings().HeaderMirrorColorTo(), 0xF6ECD8u);
    EXPECT_EQ(grid.SearchFooter().ColorTo(), 0xF4F2F1u);

    grid.SetComponentStyle(tsOffice2003Blue);
    EXPECT_EQ(grid.Look(), glXP);
    EXPECT_EQ(grid.QRVGradientTo(), 0xE0A57Du);
    EXPECT_EQ(grid.SelectionColorTo(), 0x1595EEu);
    EXPECT_EQ(grid.SearchFooter().ColorTo(), clNone);

    grid.SetComponentStyle(tsOffice2010Black);
    EXPECT_EQ(grid.Look(), glOffice2007);
    EXPECT_EQ(grid.QRVGradientMirrorTo(), 0x6A6A6Au);
    EXPECT_EQ(grid.GridFixedLineColor(), 0x444444u);
    EXPECT_EQ(grid.SortSettings().HeaderColor(), 0xBABABAu);
    EXPECT_EQ(grid.SelectionStyle(), ssDefault);
    EXPECT_EQ(grid.ControlLook().FixedGradientFrom(), clNone);

    grid.SetComponentStyle(tsTerminal);
    EXPECT_EQ(grid.Look(), glStandard);
}

TEST_F(LookFixture, ColourTonesGiveAFlatLookUntilAStyleIsSet)
{
    TColorTones tones;
    tones.Background = {0xFFFFFF, 0xAAAAAA, 0x000000};
    tones.Foreground = {0xC8C8C8, 0x808080, 0x202020};
    tones.Selected = {0xFF8000, 0x000000, 0xFFFFFF};
    tones.Hover = {0xEEEEEE, 0x000000, 0x000000};
    grid.SetColorTones(tones);
    EXPECT_EQ(grid.Look(), glClassic);
    EXPECT_TRUE(grid.Flat());
    EXPECT_EQ(grid.ScrollType(), ssMetro);
    EXPECT_EQ(grid.FixedColor(), 0xC8C8C8u);
    EXPECT_EQ(grid.GridFixedLineColor(), ScaleColor(0xC8C8C8, -20));
    EXPECT_EQ(grid.ControlLook().ControlStyle(), csGlyph);
    EXPECT_EQ(grid.ControlLook().CheckedGlyph().Width(), 16);
    EXPECT_EQ(grid.ControlLook().RadioOffGlyph().Height(), 16);
    EXPECT_EQ(grid.CellNode().NodeType(), cnFlat);
    grid.SetComponentStyle(tsCustom);
    EXPECT_EQ(grid.ScrollType(), ssMetro);
    grid.SetComponentStyle(tsWindowsXP);
    EXPECT_EQ(grid.ScrollType(), ssNormal);
}

TEST_F(LookFixture, XPSchemesAndTheOfficeTheme)
{
    grid.SetTheme(xpGreen);
    EXPECT_EQ(grid.QRVGradientFrom(), 0xCFF0EAu);
    EXPECT_EQ(grid.QRVGradientTo(), 0x8CC0B1u);
    EXPECT_EQ(grid.ActiveCellColor(), 0x94E6FBu);
    EXPECT_EQ(grid.SearchFooter().Color(), 0xCFF0EAu);
    grid.SetTheme(xpNone);
    EXPECT_EQ(grid.ActiveCellColorTo(), 0xFFD9B3u);
    EXPECT_EQ(grid.QRVGradientTo(), ColorToRGB(clBtnFace));
    // The theme is applied when it changes, and only then.
    grid.AdaptToOfficeTheme();
    grid.SetSelectionColor(0x0A0B0C);
    grid.AdaptToOfficeTheme();
    EXPECT_EQ(grid.SelectionColor(), 0x0A0B0Cu);
}

// ---------------------------------------------------------------------------
// Fixed cells in pixels
// ---------------------------------------------------------------------------

TEST_F(LookFixture, XPFixedCellsHaveAWhiteToButtonFaceGradientAndAHalfToneBottomLine)
{
    const QImage img = Client(grid);
    const TRect r = grid.CellRect(2, 0);
    const int x = r.Left + r.Width() / 2;
    // White along the top edge, button face towards the bottom.
    EXPECT_TRUE(Near(img.pixelColor(x, r.Top), clWhite));
    EXPECT_TRUE(Near(img.pixelColor(x, r.Top + 2), clWhite, 6));
    EXPECT_TRUE(Near(img.pixelColor(x, r.Bottom - 3), clBtnFace, 4));
    EXPECT_TRUE(Near(img.pixelColor(x, r.Bottom - 1), HalfColor(grid.FixedColor())));
    EXPECT_TRUE(Near(img.pixelColor(r.Left, r.Top + 5), clWhite));
    // The grid's own line on the right, in the fixed line colour.
    EXPECT_TRUE(Near(img.pixelColor(r.Right - 1, r.Top + 5), clGray));
    // Without fixed horizontal lines neither the half-tone line nor the white ones.
    grid.SetOptions(grid.Options() & ~goFixedHorzLine);
    const QImage bare = Client(grid);
    EXPECT_FALSE(Near(bare.pixelColor(x, r.Bottom - 1), HalfColor(grid.FixedColor())));
    // A fixed cell with a colour of its own keeps it.
    grid.SetColors(2, 0, clRed);
    EXPECT_TRUE(Near(Client(grid).pixelColor(x, r.Top + 5), clRed));
}

TEST_F(LookFixture, ClassicFixedCellsHaveRaisedEdgesWithABlackOuterLine)
{
    grid.SetLook(glClassic);
    const QImage img = Client(grid);
    const TRect r = grid.CellRect(2, 0);
    EXPECT_TRUE(Near(img.pixelColor(r.Right - 1, r.Top + 5), clBlack));
    EXPECT_TRUE(Near(img.pixelColor(r.Left + 5, r.Bottom - 1), clBlack));
    EXPECT_TRUE(Near(img.pixelColor(r.Left + 5, r.Top + 5), clBtnFace));
}

TEST_F(LookFixture, TheHeadersOfTheCurrentCellTakeTheActiveCellColour)
{
    grid.SetActiveCellShow(true);
    grid.SetActiveCellColor(0x00A0FF);
    grid.SetCol(2);
    grid.SetRow(3);
    QImage img = Client(grid);
    const TRect colHeader = grid.CellRect(2, 0), rowHeader = grid.CellRect(0, 3), other = grid.CellRect(3, 0);
    EXPECT_TRUE(Near(img.pixelColor(colHeader.Left + 5, colHeader.Top + 8), 0x00A0FF));
    EXPECT_TRUE(Near(img.pixelColor(rowHeader.Left + 5, rowHeader.Top + 8), 0x00A0FF));
    EXPECT_FALSE(Near(img.pixelColor(other.Left + 5, other.Top + 8), 0x00A0FF));
    // The headers follow the current cell.
    grid.SetCol(3);
    img = Client(grid);
    EXPECT_FALSE(Near(img.pixelColor(colHeader.Left + 5, colHeader.Top + 8), 0x00A0FF));
    EXPECT_TRUE(Near(img.pixelColor(other.Left + 5, other.Top + 8), 0x00A0FF));
}

TEST_F(LookFixture, HoveredFixedCellsOnlyWhenHoverFixedCellsSaysSo)
{
    grid.FHoverFixedX = 2;
    grid.FHoverFixedY = 0;
    const TRect r = grid.CellRect(2, 0);
    // hfNone: the cell under the mouse looks like the others.
    QImage img = Client(grid);
    EXPECT_TRUE(Near(img.pixelColor(r.Left + 5, r.Top + 1), clWhite, 6));
    grid.SetHoverFixedCells(hfFixedRows);
    EXPECT_TRUE(grid.IsHoverFixedCell(2, 0));
    EXPECT_FALSE(grid.IsHoverFixedCell(0, 3));
    img = Client(grid);
    // The hover gradient starts grey, and the frame is silver.
    EXPECT_TRUE(Near(img.pixelColor(r.Left + 5, r.Top + 1), clGray, 12));
    EXPECT_TRUE(Near(img.pixelColor(r.Right - 2, r.Top + 5), clSilver));
    // Pressed: the down colours, framed in grey.
    grid.FFixedCellDown = true;
    img = Client(grid);
    EXPECT_TRUE(Near(img.pixelColor(r.Right - 2, r.Top + 5), clGray));
}

TEST_F(LookFixture, TheModifiedMarkIsFourPixelsWideInColumnZeroOnly)
{
    grid.ShowModified().SetEnabled(true);
    grid.SetRowModified(3, true);
    const QImage img = Client(grid);
    const TRect r = grid.CellRect(0, 3);
    const QRect mark = widgettest::Bounding(img, [](QColor c) { return Near(c, clYellow); });
    EXPECT_EQ(mark.width(), 4);
    EXPECT_EQ(mark.right(), r.Right - 2);
    EXPECT_GE(mark.top(), r.Top);
    EXPECT_LE(mark.bottom(), r.Bottom);
}

TEST_F(LookFixture, TiledBackgroundContinuesAcrossCellsFromTheFirstNormalCell)
{
    TBitmap tile(8, 8);
    tile.Canvas().Brush().SetColor(clWhite);
    tile.Canvas().FillRect(Rect(0, 0, 8, 8));
    tile.Canvas().SetPixel(0, 0, clRed);
    grid.BackGround().SetBitmap(tile);
    grid.SetDefaultColWidth(40); // room beside the last column
    grid.SetCol(1);
    grid.SetRow(1);
    QImage img = Client(grid);
    const int fw = grid.FixedColsWidth(), fh = grid.FixedRowsHeight();
    auto red = [](QColor c) { return Near(c, clRed); };
    int found = 0, misplaced = 0;
    for (int c = 2; c <= 3; ++c) {
        const QRect cell = ToQ(grid.CellRect(c, 2));
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if (red(img.pixelColor(x, y)))
                    ((x - fw) % 8 == 0 && (y - fh) % 8 == 0 ? found : misplaced)++;
    }
    EXPECT_GT(found, 2);
    EXPECT_EQ(misplaced, 0);
    // A cell with its own colour shows no picture.
    grid.SetColors(2, 2, clAqua);
    img = Client(grid);
    EXPECT_EQ(Count(img, red, ToQ(grid.CellRect(2, 2))), 0);
    // Beside the last column: tiles for normal cells, none for fixed ones only.
    const TRect last = grid.CellRect(4, 2);
    const QRect beside(last.Right + 1, 0, img.width() - last.Right - 1, img.height());
    ASSERT_GT(beside.width(), 8);
    EXPECT_GT(Count(img, red, beside), 0);
    grid.BackGround().SetCells(bcFixed);
    EXPECT_EQ(Count(Client(grid), red, beside), 0);
}

TEST_F(LookFixture, AGradientBackgroundWithoutEndColourPaintsNothingOutsideTheCells)
{
    grid.SetDefaultColWidth(40);
    grid.SetColor(clWhite);
    grid.BackGround().SetDisplay(bdGradientVert);
    grid.BackGround().SetColor(clRed);
    grid.BackGround().SetColorTo(clNone);
    const TRect last = grid.CellRect(4, 2);
    QImage img = Client(grid);
    const QRect beside(last.Right + 1, 0, img.width() - last.Right - 1, img.height());
    EXPECT_EQ(Count(img, [](QColor c) { return !Near(c, clWhite); }, beside), 0);
    grid.BackGround().SetColorTo(clBlue);
    img = Client(grid);
    EXPECT_GT(Count(img, [](QColor c) { return c.red() > 100 && c.green() < 60; }, beside), 0);
}

TEST_F(LookFixture, OnDrawCellGetsTheCellLessOnePixelTopLeftAndTheLineWidthBottomRight)
{
    TRect got;
    grid.OnDrawCell = [&](QObject*, int c, int r, const TRect& rect, TGridDrawState) {
        if (c == 2 && r == 3)
            got = rect;
    };
    Client(grid);
    const TRect cell = grid.CellRect(2, 3);
    EXPECT_EQ(got, Rect(cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1));
}

TEST_F(LookFixture, NoImageAndTextShowsOnlyThePicture)
{
    TBitmap* bmp = grid.CreateBitmap(2, 3, false, haRight, vaTop);
    bmp->SetSize(6, 6);
    bmp->Canvas().Brush().SetColor(clLime);
    bmp->Canvas().FillRect(Rect(0, 0, 6, 6));
    grid.SetCellEx(2, 3, QStringLiteral("MMMM"));
    const TRect r = grid.CellRect(2, 3);
    auto lime = [](QColor c) { return Near(c, clLime); };
    QImage img = Client(grid);
    EXPECT_FALSE(InkIn(img, r).isEmpty());
    EXPECT_EQ(Count(img, lime, ToQ(r)), 36);
    grid.SetNoImageAndText(true);
    img = Client(grid);
    EXPECT_TRUE(InkIn(img, r).isEmpty());
    EXPECT_EQ(Count(img, lime, ToQ(r)), 36);
}

TEST_F(LookFixture, TheSortedColumnsHeaderMakesRoomForItsGlyph)
{
    for (int c = 1; c < 5; ++c) {
        grid.SetCellEx(c, 0, QStringLiteral("Head"));
        grid.SetAlignments(c, 0, taCenter);
    }
    grid.SortSettings().SetShow(true);
    grid.SortSettings().SetColumn(2);
    grid.SortSettings().SetRow(0);
    const QImage img = Client(grid);
    const QRect sorted = InkIn(img, grid.CellRect(2, 0)), plain = InkIn(img, grid.CellRect(3, 0));
    ASSERT_FALSE(sorted.isEmpty());
    ASSERT_FALSE(plain.isEmpty());
    const int shift = (sorted.center().x() - grid.CellRect(2, 0).Left) - (plain.center().x() - grid.CellRect(3, 0).Left);
    EXPECT_GE(shift, 4);
    EXPECT_LE(shift, 6);
    // The glyph's grey strokes sit at the left of the centred text.
    auto grey = [](QColor c) { return Near(c, clGray); };
    const QRect glyph = widgettest::Bounding(img, grey, ToQ(grid.CellRect(2, 0)).adjusted(0, 1, -2, -3));
    ASSERT_FALSE(glyph.isEmpty());
    EXPECT_LT(glyph.right(), sorted.left());
    EXPECT_EQ(Count(img, grey, ToQ(grid.CellRect(3, 0)).adjusted(0, 1, -2, -3)), 0);
}

TEST_F(LookFixture, AGradientLookWithoutItsGradientKeepsTheFixedColour)
{
    // A look change clears the gradient before the new one is set; a look
    // left without one paints its fixed cells in the fixed colour.
    grid.SetQRVGradientFrom(clNone);
    grid.SetQRVGradientTo(clNone);
    grid.SetFixedColor(0x00C0FF);
    const QImage img = Client(grid);
    const TRect r = grid.CellRect(2, 0);
    EXPECT_TRUE(Near(img.pixelColor(r.Left + 10, r.Top + 8), 0x00C0FF));
}
