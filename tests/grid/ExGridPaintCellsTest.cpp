// Visual properties of cells, their text, alignment and measuring, as the
// string grid paints them.
#include "GridPaintTestSupport.h"

#include "widgets/ExUtil.h"
#include "widgets/PictureContainer.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <optional>

using namespace platform;
using namespace gridpaint;
using widgettest::Count;

namespace {

struct CellPaint : ::testing::Test
{
    TestGrid grid;
    void SetUp() override
    {
        TRegionalSettings rs;
        rs.ThousandSeparator = u',';
        rs.DecimalSeparator = u'.';
        rs.DateSeparator = u'/';
        rs.TimeSeparator = u':';
        rs.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetRegionalSettingsOverride(rs);
        grid.resize(420, 260);
        grid.SetColCount(5);
        grid.SetRowCount(8);
        grid.SetDefaultColWidth(80);
    }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }

    struct Visual
    {
        TColor brush = clNone, colorTo = clNone, mirror = clNone, mirrorTo = clNone;
        TFont font;
        TGridDrawState state = 0;
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
    };
    Visual Props(int col, int row, TGridDrawState state = 0, bool select = true)
    {
        Visual v;
        TBrush brush;
        bool ww = false;
        TCellGradientDirection gd = GradientVertical;
        v.state = state;
        grid.GetVisualProperties(col, row, v.state, false, select, true, brush, v.colorTo, v.mirror, v.mirrorTo, v.font,
                                 v.ha, v.va, ww, gd);
        v.brush = brush.Color();
        return v;
    }
    // A pixel inside the cell, clear of its lines and text.
    TColor Inside(const QImage& img, int col, int row)
    {
        const TRect r = grid.CellRect(col, row);
        return Px(img, r.Right - 4, r.Bottom - 4);
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

TEST_F(CellPaint, SelectedCellsShowTheSelectionColourWhateverTheirOwn)
{
    grid.SetColors(3, 3, clRed);
    grid.SetSelection(TGridRect{2, 2, 3, 3});
    const QImage img = Client(grid);
    EXPECT_EQ(Inside(img, 2, 2), 0xEACAB6u);
    EXPECT_EQ(Inside(img, 3, 3), 0xEACAB6u);
    EXPECT_EQ(Inside(img, 4, 4), ColorToRGB(grid.Color()));
    // Without shown selection the cells keep their colours.
    grid.SetShowSelection(false);
    const QImage plain = Client(grid);
    EXPECT_EQ(Inside(plain, 3, 3), ColorToRGB(clRed));
}

TEST_F(CellPaint, TheSelectionColourMixerBlendsIntoTheCellsOwnColour)
{
    grid.SetColor(clSilver);
    grid.SetSelectionColor(clBlack);
    grid.SetSelectionColorMixer(true);
    grid.SetSelection(TGridRect{2, 2, 3, 2});
    grid.SetColors(2, 2, clWhite);
    const struct
    {
        int factor;
        TColor expected;
    } cases[] = {{25, 0xBFBFBF}, {100, clBlack}, {0, clWhite}};
    for (const auto& c : cases) {
        grid.SetSelectionColorMixerFactor(c.factor);
        EXPECT_EQ(ColorToRGB(Props(2, 2, gdSelected).brush), c.expected) << c.factor;
    }
    // A cell in the grid's own colour takes the plain selection colour.
    grid.SetSelectionColorMixerFactor(25);
    EXPECT_EQ(Props(3, 2, gdSelected).brush, clBlack);
}

TEST(GridColours, BlendColors)
{
    const struct
    {
        TColor a, b;
        int p;
        TColor expected;
    } cases[] = {
        {clRed, clBlue, 100, clRed}, {clRed, clBlue, 150, clRed},   {clRed, clBlue, 0, clBlue},
        {clNone, clBlue, 50, clBlue}, {clRed, clNone, 50, clRed},    {clWhite, clBlack, 50, 0x808080},
        {clBlack, clWhite, 25, 0xBFBFBF}, {clWhite, clBlack, 25, 0x404040},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlendColors(c.a, c.b, c.p), c.expected) << c.a << " " << c.b << " " << c.p;
    EXPECT_EQ(MixSelectionColor(clRed, clBlue, false, 50), clRed);
}

TEST_F(CellPaint, BandsColourNormalRowsOnly)
{
    grid.Bands().SetPrimaryColor(0x00FFFF);
    grid.Bands().SetSecondaryColor(0xFFFF00);
    grid.Bands().SetPrimaryLength(1);
    grid.Bands().SetSecondaryLength(1);
    grid.Bands().SetActive(true);
    EXPECT_EQ(Props(2, 1, 0, false).brush, 0x00FFFFu);
    EXPECT_EQ(Props(2, 2, 0, false).brush, 0xFFFF00u);
    EXPECT_EQ(Props(2, 3, 0, false).brush, 0x00FFFFu);
    // The fixed row keeps its fixed look.
    EXPECT_EQ(Props(2, 0, 0, false).brush, grid.QRVGradientFrom());
}

TEST_F(CellPaint, FixedCellsOfTheXPLookTakeTheGradientUnlessTheyHaveAColour)
{
    Visual v = Props(2, 0);
    EXPECT_EQ(v.brush, clWhite);
    EXPECT_EQ(v.colorTo, ColorToRGB(clBtnFace));
    EXPECT_TRUE(v.state & gdFixed);
    EXPECT_EQ(v.font.Name(), QStringLiteral("Tahoma"));
    grid.SetColors(2, 0, clRed);
    v = Props(2, 0);
    EXPECT_EQ(v.brush, clRed);
}

TEST_F(CellPaint, TheHoverRowTakesTheHoverColour)
{
    grid.SetHoverRow(true);
    grid.SetHoverRowColor(0x00C0FF);
    grid.FHoverRowIdx = 4;
    const QImage img = Client(grid);
    EXPECT_EQ(Inside(img, 2, 4), 0x00C0FFu);
    EXPECT_EQ(Inside(img, 2, 5), ColorToRGB(grid.Color()));
    // The fixed cell of the row keeps its look unless hcFixed is asked for.
    EXPECT_NE(Inside(img, 0, 4), 0x00C0FFu);
}

TEST_F(CellPaint, FloatFormatEventFormatsNumbersOnly)
{
    int calls = 0;
    grid.OnGetFloatFormat = [&](QObject*, int, int, bool& isFloat, QString& format) {
        ++calls;
        format = grid.GetCellEx(1, 1) == QStringLiteral("42") ? QStringLiteral("%5d") : QStringLiteral("%.1f");
        isFloat = true;
    };
    grid.SetCellEx(2, 2, QStringLiteral("3.14159"));
    EXPECT_EQ(grid.GetFormattedCell(2, 2), QStringLiteral("3.1"));
    grid.SetCellEx(1, 1, QStringLiteral("42"));
    EXPECT_EQ(grid.GetFormattedCell(1, 1), QStringLiteral("   42"));
    const int before = calls;
    grid.SetCellEx(3, 3, QStringLiteral("abc"));
    EXPECT_EQ(grid.GetFormattedCell(3, 3), QStringLiteral("abc"));
    EXPECT_EQ(calls, before);
}

// ---------------------------------------------------------------------------
// Alignment, word wrap and measuring
// ---------------------------------------------------------------------------

TEST_F(CellPaint, AutomaticNumberAlignmentAndWhatWinsOverIt)
{
    grid.SetAutoNumAlign(true);
    const struct
    {
        const char* text;
        TAlignment expected;
    } cases[] = {{"12", taRightJustify}, {"-3.5", taRightJustify}, {"1E5", taRightJustify}, {"12a", taLeftJustify}};
    for (const auto& c : cases) {
        grid.SetCellEx(2, 2, QString::fromLatin1(c.text));
        TAlignment ha;
        TVAlignment va;
        grid.ResolveCellAlignment(2, 2, ha, va);
        EXPECT_EQ(ha, c.expected) << c.text;
    }
    grid.SetCellEx(2, 2, QStringLiteral("12"));
    grid.SetAlignments(2, 2, taCenter);
    TAlignment ha;
    TVAlignment va;
    grid.ResolveCellAlignment(2, 2, ha, va);
    EXPECT_EQ(ha, taCenter);
    grid.OnGetAlignment = [](QObject*, int, int, TAlignment& h, TVAlignment& v) {
        h = taLeftJustify;
        v = vtaBottom;
    };
    grid.ResolveCellAlignment(2, 2, ha, va);
    EXPECT_EQ(ha, taLeftJustify);
    EXPECT_EQ(va, vtaBottom);
}

TEST_F(CellPaint, TextSitsWhereItsAlignmentSays)
{
    grid.SetDefaultRowHeight(40);
    grid.SetCellEx(1, 1, QStringLiteral("MM"));
    grid.SetCellEx(2, 2, QStringLiteral("MM"));
    grid.SetAlignments(2, 2, taRightJustify);
    grid.SetCellEx(3, 3, QStringLiteral("MM"));
    grid.SetAlignments(3, 3, taCenter);
    grid.SetCellEx(2, 4, QStringLiteral("MM"));
    grid.SetVAlignment(vtaBottom);
    grid.SetCol(4);
    grid.SetRow(1);
    const QImage img = Client(grid);
    const int x = grid.XYOffset().X;
    const TRect left = grid.CellRect(1, 1), right = grid.CellRect(2, 2), centre = grid.CellRect(3, 3);
    const QRect l = InkIn(img, left), r = InkIn(img, right), c = InkIn(img, centre);
    ASSERT_FALSE(l.isEmpty());
    ASSERT_FALSE(r.isEmpty());
    ASSERT_FALSE(c.isEmpty());
    EXPECT_LE(std::abs(l.left() - (left.Left + 1 + x)), 2);
    EXPECT_LE(std::abs(r.right() - (right.Right - 1 - x)), 3);
    const int middle = (centre.Left + centre.Right) / 2;
    EXPECT_LE(std::abs((c.left() + c.right()) / 2 - middle), 2);
    // Bottom-aligned text ends near the bottom of its cell.
    const TRect bottom = grid.CellRect(2, 4);
    const QRect b = InkIn(img, bottom);
    ASSERT_FALSE(b.isEmpty());
    EXPECT_GT(b.top(), bottom.Top + bottom.Height() / 2);
}

TEST_F(CellPaint, WordWrapBreaksLongTextIntoLines)
{
    grid.SetDefaultRowHeight(70);
    const QString text = QStringLiteral("wrap these few words");
    grid.SetCellEx(2, 1, text);
    grid.SetCellEx(2, 2, text);
    grid.SetWordWraps(2, 1, true);
    grid.SetWordWraps(2, 2, false);
    grid.SetCol(4);
    const QImage img = Client(grid);
    const QRect wrapped = InkIn(img, grid.CellRect(2, 1)), single = InkIn(img, grid.CellRect(2, 2));
    const int line = Client(grid).height() > 0 ? grid.Canvas().TextHeight(QStringLiteral("gh")) : 0;
    EXPECT_GT(wrapped.height(), line + 2);
    EXPECT_LT(single.height(), line + 2);
}

TEST_F(CellPaint, MeasuringPlainEmptyAndRotatedText)
{
    grid.SetCellEx(2, 2, QString());
    const int line = grid.Canvas().TextHeight(QStringLiteral("gh"));
    EXPECT_EQ(grid.GetCellTextSize(2, 2, false, false), (TSize{0, line}));
    grid.SetCellEx(2, 2, QStringLiteral("Rotate me"));
    const TSize flat = grid.GetCellTextSize(2, 2, false, false);
    grid.AddRotated(2, 2, 90, QStringLiteral("Rotate me"));
    EXPECT_EQ(grid.GetCellTextSize(2, 2, false, false), (TSize{flat.cy + 12, flat.cx + 12}));
    // Bold active-cell headers are measured bold.
    grid.SetCellEx(2, 0, QStringLiteral("Header"));
    TFont plain;
    plain.SetName(QStringLiteral("Tahoma"));
    grid.SetFixedFont(plain);
    const TSize normal = grid.GetCellTextSize(2, 0, false, false);
    grid.SetActiveCellShow(true);
    EXPECT_GT(grid.GetCellTextSize(2, 0, false, false).cx, normal.cx);
}

// ---------------------------------------------------------------------------
// URLs, HTML and the focus rectangle
// ---------------------------------------------------------------------------

TEST_F(CellPaint, URLsShowWithoutTheirSchemeUnderlinedInTheURLColour)
{
    grid.SetURLShow(true);
    grid.SetCellEx(2, 2, QStringLiteral("http://example.com"));
    grid.SetCellEx(3, 2, QStringLiteral("example.com"));
    grid.SetCol(4);
    grid.SetRow(6);
    auto blue = [](QColor c) { return c.blue() > 150 && c.red() < 90 && c.green() < 90; };
    QImage img = Client(grid);
    const QRect url = widgettest::Bounding(img, blue, ToQ(grid.CellRect(2, 2)));
    ASSERT_FALSE(url.isEmpty());
    // The same width as the text without its scheme, underlined all along.
    const QRect plain = InkIn(img, grid.CellRect(3, 2));
    EXPECT_LE(std::abs(url.width() - plain.width()), 2);
    int longest = 0;
    for (int y = url.top(); y <= url.bottom(); ++y)
        longest = std::max(longest, Count(img, blue, QRect(url.left(), y, url.width(), 1)));
    EXPECT_GE(longest, url.width() - 2);
    // In a selected cell the link takes the selection text colour.
    grid.SetCol(2);
    grid.SetRow(2);
    img = Client(grid);
    EXPECT_EQ(Count(img, blue, ToQ(grid.CellRect(2, 2))), 0);
}

TEST_F(CellPaint, HTMLTextShowsBoldColouredLinkedAndPictured)
{
    grid.SetDefaultRowHeight(30);
    grid.SetCellEx(1, 1, QStringLiteral("WWW"));
    grid.SetCellEx(1, 2, QStringLiteral("<B>WWW</B>"));
    grid.SetCellEx(2, 1, QStringLiteral("<FONT COLOR=\"#FF0000\">red</FONT>"));
    grid.SetCellEx(2, 2, QStringLiteral("see <A HREF=\"x\">link</A>"));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(QColor(0, 255, 0));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    TPictureContainer container;
    TPictureItem* item = container.Items().Add();
    item->SetName(QStringLiteral("dot"));
    item->Picture().LoadFromStream(&bytes);
    grid.SetPictureContainer(&container);
    grid.SetCellEx(3, 1, QStringLiteral("<IMG SRC=\"dot\"> pic"));
    grid.SetCol(4);
    grid.SetRow(6);
    const QImage img = Client(grid);
    EXPECT_GT(InkIn(img, grid.CellRect(1, 2)).width(), InkIn(img, grid.CellRect(1, 1)).width());
    auto red = [](QColor c) { return c.red() > 180 && c.green() < 80 && c.blue() < 80; };
    auto blue = [](QColor c) { return c.blue() > 180 && c.red() < 80 && c.green() < 80; };
    auto green = [](QColor c) { return c.green() > 200 && c.red() < 60 && c.blue() < 60; };
    EXPECT_GT(Count(img, red, ToQ(grid.CellRect(2, 1))), 5);
    EXPECT_GT(Count(img, blue, ToQ(grid.CellRect(2, 2))), 5);
    EXPECT_EQ(Count(img, green, ToQ(grid.CellRect(3, 1))), 64);
    grid.SetPictureContainer(nullptr);
}

TEST_F(CellPaint, TheFocusRectangleMarksTheCurrentCellOfAFocusedGrid)
{
    grid.SetCol(2);
    grid.SetRow(3);
    const TRect r = grid.CellRect(2, 3);
    auto ring = [&](const QImage& img) {
        int n = 0;
        for (int x = r.Left + 1; x < r.Right - 2; ++x)
            if (Px(img, x, r.Top) != 0xEACAB6u)
                ++n;
        return n;
    };
    EXPECT_EQ(ring(Client(grid)), 0);
    Focus(grid);
    ASSERT_TRUE(grid.hasFocus());
    EXPECT_GT(ring(Client(grid)), 10);
    grid.SetHideFocusRect(true);
    EXPECT_EQ(ring(Client(grid)), 0);
}

TEST_F(CellPaint, AMergedRangeIsPaintedOnceAsOneCell)
{
    grid.SetCellEx(1, 1, QStringLiteral("merged text across"));
    grid.MergeCells(1, 1, 2, 2);
    grid.SetCol(4);
    grid.SetRow(6);
    std::map<std::pair<int, int>, int> drawn;
    grid.OnCustomCellDraw = [&](QObject*, TCanvas&, int c, int r, TGridDrawState, const TRect&, bool) {
        ++drawn[{c, r}];
    };
    const QImage img = Client(grid);
    EXPECT_EQ((drawn[{1, 1}]), 1);
    EXPECT_EQ((drawn.count({2, 1}) + drawn.count({1, 2}) + drawn.count({2, 2})), 0u);
    // No grid line runs through the range, and its text crosses the column border.
    const TRect range = grid.CellRect(1, 1);
    EXPECT_EQ(range.Width(), 160);
    const int inner = range.Left + 80;
    EXPECT_EQ(Px(img, inner - 1, range.Top + range.Height() - 5), ColorToRGB(grid.Color()));
    const QRect ink = InkIn(img, range);
    EXPECT_GT(ink.right(), inner);
}
