#include "grid/ExGrid.h"

#include "platform/Controls.h"
#include "widgets/ExUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using namespace platform;

namespace {

// Fixed regional settings, so that numbers and dates do not depend on the machine.
struct RegionalFixture : ::testing::Test
{
    void SetUp() override
    {
        TRegionalSettings rs;
        rs.ThousandSeparator = u'.';
        rs.DecimalSeparator = u',';
        rs.DateSeparator = u'/';
        rs.TimeSeparator = u':';
        rs.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetRegionalSettingsOverride(rs);
    }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }
};

struct CellsFixture : RegionalFixture
{
    TExStringGrid grid;
    void SetUp() override
    {
        RegionalFixture::SetUp();
        grid.SetColCount(6);
        grid.SetRowCount(8);
    }
};

} // namespace

TEST_F(CellsFixture, NewGridHasTheDocumentedDefaults)
{
    TExStringGrid g;
    EXPECT_EQ(g.RowCount(), 10);
    EXPECT_EQ(g.Width(), 400);
    EXPECT_EQ(g.Height(), 250);
    EXPECT_EQ(g.DefaultRowHeight(), 22);
    EXPECT_EQ(g.FixedRowHeight(), 22);
    EXPECT_EQ(g.CheckTrue(), QStringLiteral("Y"));
    EXPECT_EQ(g.CheckFalse(), QStringLiteral("N"));
    EXPECT_EQ(g.FloatFormat(), QStringLiteral("%.2f"));
    EXPECT_EQ(g.FilterDropDownClear(), QStringLiteral("(All)"));
    EXPECT_EQ(g.SelectionColor(), 0xEACAB6u);
    EXPECT_EQ(g.Look(), glXP);
    EXPECT_EQ(g.PasswordChar(), QChar(u'*'));
    EXPECT_TRUE(g.ShowNullDates());
    EXPECT_EQ(g.GridLineWidth(), 1);
    EXPECT_EQ(g.GridLineColor(), clSilver);
    EXPECT_EQ(g.NumHiddenColumns(), 0);
    EXPECT_EQ(g.GetVersionString(), QStringLiteral("6.2.1.3 Sep, 2012"));
    g.SetVersion(QStringLiteral("9"));
    EXPECT_EQ(g.Version(), QStringLiteral("6.2.1.3"));
    EXPECT_FALSE(g.DefaultDrawing());
    EXPECT_EQ(g.FixedFont().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(g.CellNode().NodeIndent(), 12);
    EXPECT_EQ(g.ColumnSize().StretchColumn(), -1);
}

// ---------------------------------------------------------------------------
// GetCellEx and SetCellEx through the string grid
// ---------------------------------------------------------------------------

TEST_F(CellsFixture, DisplayTextsThroughTheHooks)
{
    struct Case
    {
        const char* stored;
        bool urls;
        const char* shown;
    };
    const Case cases[] = {
        {"plain", false, "plain"},
        {"see www.x.org now", false, "see www.x.org now"},
        {"see www.x.org now", true, "see <a href=\"www.x.org\">www.x.org</a> now"},
        {"mail mailto:a@b.c", true, "mail <a href=\"mailto:a@b.c\">mailto:a@b.c</a>"},
        {"a<b", true, "a<b"},
    };
    for (const Case& c : cases) {
        grid.SetURLShowInText(c.urls);
        grid.SetCellEx(1, 1, QString::fromLatin1(c.stored));
        EXPECT_EQ(grid.GetCellEx(1, 1), QString::fromLatin1(c.shown)) << c.stored;
    }
    grid.SetURLShowInText(false);
    grid.OnGetDisplText = [](QObject*, int c, int r, QString& v) { v = QStringLiteral("%1:%2").arg(c).arg(r); };
    grid.MergeCells(2, 2, 2, 2);
    EXPECT_EQ(grid.GetCellEx(3, 3), QStringLiteral("2:2"));
    EXPECT_EQ(grid.GetCellEx(0, 7), QStringLiteral("0:7"));
}

TEST_F(CellsFixture, MergedRangesShareTheirTextAndLookup)
{
    grid.MergeCells(1, 1, 2, 3);
    grid.SetCellEx(2, 3, QStringLiteral("one"));
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 2; ++c)
            EXPECT_EQ(grid.GetCellEx(c, r), QStringLiteral("one"));
    EXPECT_EQ(grid.GetGridCell(1, 1), QStringLiteral("one"));
    grid.SetCol(2);
    grid.SetRow(2);
    EXPECT_EQ(grid.CurrentCell(), QStringLiteral("one"));
    grid.SetCurrentCell(QStringLiteral("two"));
    EXPECT_EQ(grid.GetGridCell(1, 1), QStringLiteral("two"));
}

TEST_F(CellsFixture, CellsExReachHiddenRows)
{
    for (int r = 0; r < 8; ++r)
        grid.SetCellEx(1, r, QStringLiteral("r%1").arg(r));
    grid.HideRow(3);
    EXPECT_EQ(grid.GetCellsEx(1, 3), QStringLiteral("r3"));
    EXPECT_EQ(grid.GetCellsEx(1, 4), QStringLiteral("r4"));
    EXPECT_EQ(grid.GetCellEx(1, 3), QStringLiteral("r4"));
    EXPECT_EQ(grid.GetCellsEx(-1, 3), QString());
    grid.SetCellsEx(1, 3, QStringLiteral("new"));
    EXPECT_EQ(grid.GetGridCellsEx(1, 3), QStringLiteral("new"));
    // A hidden row's list grows to take a column beyond it.
    grid.SetCellsEx(9, 3, QStringLiteral("far"));
    TStringObjectList* texts = grid.HiddenRowTexts(3);
    ASSERT_NE(texts, nullptr);
    EXPECT_EQ(texts->Count(), 10);
    EXPECT_EQ(texts->Strings(8), QString());
    EXPECT_THROW(grid.SetGridCellsEx(20, 3, QStringLiteral("x")), std::out_of_range);
    EXPECT_EQ(grid.HiddenRowTexts(4), nullptr);
    grid.UnHideRow(3);
    EXPECT_EQ(grid.GetCellEx(1, 3), QStringLiteral("new"));
    EXPECT_EQ(grid.GetCellEx(9, 3), QStringLiteral("far"));
}

TEST_F(CellsFixture, ObjectsExOfHiddenRowsAreTheCallersObjects)
{
    TObject mine;
    grid.SetObjectEx(2, 5, &mine);
    grid.HideRow(5);
    EXPECT_EQ(grid.GetObjectsEx(2, 5), &mine);
    EXPECT_NE(dynamic_cast<TCellProperties*>(grid.GetGridObjectsEx(2, 5)), nullptr);
    TObject other;
    grid.SetObjectsEx(2, 5, &other);
    grid.UnHideRow(5);
    EXPECT_EQ(grid.GetObjectEx(2, 5), &other);
}

// ---------------------------------------------------------------------------
// Typed values
// ---------------------------------------------------------------------------

TEST_F(CellsFixture, IntegersFromCellTexts)
{
    struct Case
    {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {" 42 ", 42}, {"<b>7</b>", 7}, {"", 0}, {"-", 0}, {"-13", -13}, {"4x", std::nullopt}, {"1.5", std::nullopt},
    };
    for (const Case& c : cases) {
        grid.SetCellEx(1, 1, QString::fromLatin1(c.text));
        if (c.value) {
            EXPECT_EQ(grid.GetInts(1, 1), *c.value) << c.text;
        } else {
            try {
                grid.GetInts(1, 1);
                ADD_FAILURE() << c.text;
            } catch (const REruVidaZuvez& e) {
                EXPECT_EQ(e.Message(), QStringLiteral("Cell does not contain integer value"));
            }
        }
    }
}

TEST_F(CellsFixture, FloatsFromCellTexts)
{
    struct Case
    {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"3,5", 3.5}, {"(1.234,5)", -1234.5}, {"-", 0}, {"", 0}, {"<i>2,25</i>", 2.25},
        {"abc", 0},  // no number characters at all: the plain form is empty
        {"1e", std::nullopt}, {"e5e", std::nullopt},
    };
    for (const Case& c : cases) {
        grid.SetCellEx(2, 2, QString::fromLatin1(c.text));
        if (c.value) {
            EXPECT_DOUBLE_EQ(grid.GetFloats(2, 2), *c.value) << c.text;
        } else {
            try {
                grid.GetFloats(2, 2);
                ADD_FAILURE() << c.text;
            } catch (const REruVidaZuvez& e) {
                EXPECT_EQ(e.Message(), QStringLiteral("Cell does not contain a float value"));
            }
        }
    }
}

TEST_F(CellsFixture, WritingTypedValues)
{
    grid.SetFloats(1, 1, 3.14159);
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("3,14"));
    grid.SetFloatFormat(QStringLiteral("%.3n"));
    grid.SetFloats(1, 1, -12345.6789);
    EXPECT_EQ(grid.GetCellEx(1, 1), QStringLiteral("-12.345,679"));
    grid.SetInts(1, 2, -7);
    EXPECT_EQ(grid.GetCellEx(1, 2), QStringLiteral("-7"));
    grid.SetDates(1, 3, 0);
    EXPECT_EQ(grid.GetCellEx(1, 3), QStringLiteral("30/12/1899"));
    grid.SetShowNullDates(false);
    grid.SetDates(1, 3, 0);
    EXPECT_EQ(grid.GetCellEx(1, 3), QString());
    grid.SetDates(1, 3, 45000); // 15 March 2023
    EXPECT_EQ(grid.GetCellEx(1, 3), QStringLiteral("15/03/2023"));
    EXPECT_DOUBLE_EQ(grid.GetDates(1, 3), 45000);
    grid.SetTimes(1, 4, 0.75);
    EXPECT_EQ(grid.GetCellEx(1, 4), QStringLiteral("18:00:00"));
    EXPECT_DOUBLE_EQ(grid.GetTimes(1, 4), 0.75);
    grid.SetCellEx(1, 5, QStringLiteral("31/02/2023"));
    EXPECT_THROW(grid.GetDates(1, 5), std::invalid_argument);
    grid.SetCellEx(1, 5, QStringLiteral("25:00"));
    EXPECT_THROW(grid.GetTimes(1, 5), std::invalid_argument);
}

TEST_F(CellsFixture, AllVariantsWorkOnRealRows)
{
    grid.HideRow(2);
    grid.SetAllInts(1, 2, 12);
    EXPECT_EQ(grid.GetAllInts(1, 2), 12);
    grid.SetAllFloats(1, 2, 1.5);
    EXPECT_DOUBLE_EQ(grid.GetAllFloats(1, 2), 1.5);
    EXPECT_EQ(grid.GetCellsEx(1, 2), QStringLiteral("1,50"));
}

TEST_F(CellsFixture, StrippedTextsLinesAndFormControls)
{
    grid.SetCellEx(1, 1, QStringLiteral("<b>bold</b><br>two"));
    EXPECT_EQ(grid.GetStrippedCell(1, 1), QStringLiteral("bold\r\ntwo"));
    grid.SetMultilinecells(true);
    grid.SetCellEx(1, 2, QStringLiteral("a\rb\rc"));
    EXPECT_EQ(grid.GetLinesInCell(1, 2), 3);
    grid.SetCellEx(1, 3, QStringLiteral("x <CONTROL TYPE=\"EDIT\" ID=\"e1\" VALUE=\"old\"> y"));
    EXPECT_EQ(grid.GetCtrlVal(1, 3, QStringLiteral("e1")), QStringLiteral("old"));
    EXPECT_EQ(grid.GetCtrlVal(1, 3, QStringLiteral("nope")), QString());
    grid.SetCtrlVal(1, 3, QStringLiteral("e1"), QStringLiteral("new"));
    EXPECT_EQ(grid.GetCtrlVal(1, 3, QStringLiteral("e1")), QStringLiteral("new"));
    const QString before = grid.GetCellEx(1, 3);
    grid.SetCtrlVal(1, 3, QStringLiteral("nope"), QStringLiteral("z"));
    EXPECT_EQ(grid.GetCellEx(1, 3), before);
}

TEST_F(CellsFixture, RichTextCellsKeepTheirText)
{
    TRichEdit edit;
    grid.SetCellEx(1, 1, QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}Hello\\par World}"));
    grid.CellToRich(1, 1, edit);
    EXPECT_TRUE(edit.Text().startsWith(QStringLiteral("Hello")));
    EXPECT_TRUE(edit.Text().endsWith(QStringLiteral("World")));
    grid.RichToCell(1, 2, edit);
    EXPECT_EQ(RTFToPlainText(grid.GetCellEx(1, 2)), RTFToPlainText(grid.GetCellEx(1, 1)));
    grid.SetCellEx(1, 3, QString());
    grid.CellToRich(1, 3, edit);
    EXPECT_EQ(edit.Text(), QString());
}

TEST(GridRtf, PlainTextOfRtf)
{
    struct Case
    {
        const char* rtf;
        const char* text;
    };
    const Case cases[] = {
        {"{\\rtf1 plain}", "plain"},
        {"{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red0\\green0\\blue0;}\\f0 A\\par B}", "A\r\nB"},
        {"{\\rtf1 caf\\'e9 \\{x\\}}", "caf\u00e9 {x}"},
        {"{\\rtf1{\\*\\generator x;}text}", "text"},
        {"{\\rtf1 a\\tab b}", "a\tb"},
        {"{\\rtf1 unclosed", "unclosed"},
        {"\\", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RTFToPlainText(QString::fromUtf8(c.rtf)), QString::fromUtf8(c.text)) << c.rtf;
}

TEST(GridFormat, FloatFormats)
{
    TRegionalSettings rs;
    rs.ThousandSeparator = u',';
    rs.DecimalSeparator = u'.';
    rs.DateSeparator = u'-';
    rs.TimeSeparator = u':';
    rs.ShortDateFormat = QStringLiteral("yyyy-MM-dd");
    SetRegionalSettingsOverride(rs);
    struct Case
    {
        const char* format;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"%.2f", 3.14159, "3.14"},     {"%.0f", 2.6, "3"},       {"%d", 41.6, "42"},
        {"%.1n", 1234567.26, "1,234,567.3"}, {"%8.2f", 1.5, "    1.50"}, {"%-6.1f|", 1.26, "1.3   |"},
        {"%x", 255, "FF"},              {"%% %.1f", 5, "% 5.0"},  {"%.2n", -0.001, "0.00"},
        {"no format", 1, "no format"},  {"%.2", 1, "%.2"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloatText(QString::fromLatin1(c.format), c.value), QString::fromLatin1(c.text)) << c.format;
    EXPECT_EQ(DateToText(45000), QStringLiteral("2023-03-15"));
    SetRegionalSettingsOverride(std::nullopt);
}

// ---------------------------------------------------------------------------
// Current cell, edit text, sorted and original positions
// ---------------------------------------------------------------------------

TEST_F(CellsFixture, EditTextGoesToTheBaseCellOfTheRange)
{
    grid.MergeCells(2, 2, 2, 1);
    grid.SetCellEx(2, 2, QStringLiteral("<b>x</b>"));
    grid.SetCol(3);
    grid.SetRow(2);
    EXPECT_EQ(grid.CurrentCellDisplayText(), QStringLiteral("<b>x</b>"));
    grid.SetCurrentEditText(QStringLiteral("typed"));
    EXPECT_EQ(grid.GetGridCell(2, 2), QStringLiteral("typed"));
    EXPECT_EQ(grid.GetGridCell(3, 2), QString());
}

TEST_F(CellsFixture, OriginalCellsFollowTheColumnOrder)
{
    grid.SetCellEx(1, 1, QStringLiteral("first"));
    grid.SetCellEx(3, 1, QStringLiteral("third"));
    grid.MoveColumn(1, 3);
    EXPECT_EQ(grid.GetCellEx(3, 1), QStringLiteral("first"));
    EXPECT_EQ(grid.GetOriginalCells(1, 1), QStringLiteral("first"));
    grid.SetOriginalCells(1, 1, QStringLiteral("again"));
    EXPECT_EQ(grid.GetCellEx(3, 1), QStringLiteral("again"));
    EXPECT_EQ(grid.UnSortedRowIndex(4), 4);
    EXPECT_EQ(grid.SortedRowIndex(4), 4);
}

TEST_F(CellsFixture, CellControlsAreListedAndCleared)
{
    QWidget control;
    grid.SetCellControls(2, 3, &control);
    EXPECT_EQ(grid.GetCellControls(2, 3), &control);
    EXPECT_EQ(grid.ControlList().ControlIndex(2, 3), 0);
    grid.SetCellControls(2, 3, nullptr);
    EXPECT_EQ(grid.GetCellControls(2, 3), nullptr);
    EXPECT_EQ(grid.ControlList().Count(), 0);
    grid.SetCellControls(4, 4, nullptr); // nothing there: only the (absent) control is cleared
    EXPECT_EQ(grid.GetCellControls(4, 4), nullptr);
}

TEST_F(CellsFixture, PrintGeometryRange)
{
    EXPECT_EQ(grid.GetPrintColWidth(0), 0);
    EXPECT_EQ(grid.GetPrintColOffset(511), 0);
    for (int c : {-1, 512}) {
        try {
            grid.GetPrintColWidth(c);
            ADD_FAILURE() << c;
        } catch (const REruVidaZuvez& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Columns is not in valid range"));
        }
    }
}

// ---------------------------------------------------------------------------
// Per-cell and per-row looks
// ---------------------------------------------------------------------------

TEST_F(CellsFixture, GettersDoNotCreatePropertiesButWordWrapDoes)
{
    EXPECT_EQ(grid.GetColors(2, 2), clNone);
    EXPECT_EQ(grid.GetFontColors(2, 2), clNone);
    EXPECT_EQ(grid.GetFontNames(2, 2), QString());
    EXPECT_EQ(grid.GetAlignments(2, 2), taLeftJustify);
    EXPECT_FALSE(grid.GetReadOnly(2, 2));
    EXPECT_FALSE(grid.HasCellProps(2, 2));
    grid.GetWordWraps(2, 2);
    EXPECT_TRUE(grid.HasCellProps(2, 2));
}

TEST_F(CellsFixture, PerCellSettersStoreInTheProperties)
{
    grid.BeginUpdate();
    grid.SetColors(1, 1, clRed);
    grid.EndUpdate();
    EXPECT_EQ(grid.GetColors(1, 1), clRed);
    grid.SetColorsTo(1, 1, clBlue);
    grid.SetGradientDir(1, 1, GradientHorizontal);
    grid.SetFontStyles(1, 1, fsBold | fsItalic);
    grid.SetFontSizes(1, 1, 14);
    grid.SetAlignments(1, 1, taCenter);
    grid.SetReadOnly(1, 1, true);
    grid.SetWordWraps(1, 1, false);
    const TCellProperties* p = grid.CellPropsAt(1, 1);
    EXPECT_EQ(p->BrushColorTo(), clBlue);
    EXPECT_EQ(p->GradientDirection(), GradientHorizontal);
    EXPECT_EQ(p->FontStyle(), fsBold | fsItalic);
    EXPECT_EQ(p->FontSize(), 14);
    EXPECT_EQ(p->Alignment(), taCenter);
    EXPECT_TRUE(p->ReadOnly());
    EXPECT_FALSE(grid.GetWordWraps(1, 1));
    TFont f;
    f.SetName(QStringLiteral("Verdana"));
    f.SetColor(clGreen);
    grid.SetCellFont(1, 2, f);
    EXPECT_EQ(grid.GetFontNames(1, 2), QStringLiteral("Verdana"));
    EXPECT_EQ(grid.GetFontColors(1, 2), clGreen);
}

TEST_F(CellsFixture, NewPropertiesStartFromTheGridsCurrentLook)
{
    grid.SetColor(clAqua);
    grid.SetDefaultAlignment(taRightJustify);
    grid.SetVAlignment(vtaCenter);
    const TCellProperties* normal = grid.GetCellProperties(2, 2);
    EXPECT_EQ(normal->BrushColor(), clAqua);
    EXPECT_EQ(normal->Alignment(), taRightJustify);
    EXPECT_EQ(normal->VAlignment(), vtaCenter);
    // A fixed cell keeps taking its colour from the grid, in the fixed font.
    const TCellProperties* fixed = grid.GetCellProperties(0, 2);
    EXPECT_EQ(fixed->BrushColor(), clNone);
    EXPECT_EQ(fixed->FontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(fixed->FontStyle(), fsBold);
}

TEST_F(CellsFixture, RowColours)
{
    grid.SetRowColor(3, clRed);
    for (int c = 1; c < 6; ++c)
        EXPECT_EQ(grid.GetColors(c, 3), clRed);
    EXPECT_FALSE(grid.HasCellProps(0, 3)); // the fixed column is left alone
    grid.SetRowColorTo(3, clBlue);
    EXPECT_EQ(grid.GetColorsTo(2, 3), clBlue);
    grid.SetRowFontColor(3, clGreen);
    EXPECT_EQ(grid.GetFontColors(2, 3), clGreen);
    grid.SetRowColor(3, clNone); // cells without graphics keep their properties, colour none
    EXPECT_EQ(grid.GetColors(2, 3), clNone);
    grid.SetRowColorTo(3, clNone); // no gradient end colour remains
    EXPECT_EQ(grid.GetColorsTo(2, 3), clNone);
    grid.SetReadOnly(4, 4, true);
    grid.SetRowColorTo(4, clNone);
    EXPECT_TRUE(grid.GetReadOnly(4, 4)); // properties that carry more stay
    grid.SetRowFontColor(3, clNone);
    EXPECT_EQ(grid.GetFontColors(2, 3), clNone);
}

TEST_F(CellsFixture, ZoomStaysWithinTenStepsAndKeepsSizesPositive)
{
    grid.SetColWidths(2, 2);
    const int w1 = grid.ColWidths(1);
    grid.Zoom(3);
    grid.Zoom(3);
    grid.Zoom(3);
    EXPECT_EQ(grid.ZoomFactor(), 9);
    EXPECT_EQ(grid.ColWidths(1), w1 + 9);
    grid.Zoom(3);
    EXPECT_EQ(grid.ZoomFactor(), 9);
    EXPECT_EQ(grid.ColWidths(1), w1 + 9);
    grid.SetColWidths(2, 2);
    grid.Zoom(-2);
    EXPECT_EQ(grid.ColWidths(2), 2);
    grid.SetColWidths(3, 0);
    grid.Zoom(1);
    EXPECT_EQ(grid.ColWidths(3), 0);
}

TEST_F(CellsFixture, QRVGradientColoursAreStoredAsRGB)
{
    grid.SetQRVGradientTo(clBtnFace);
    EXPECT_EQ(grid.QRVGradientTo(), ColorToRGB(clBtnFace));
    EXPECT_EQ(grid.QRVGradientFrom(), clWhite);
}
