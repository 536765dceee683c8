// Layout persistence: the column state string, the column widths and order
// in an INI file, the print settings section; damaged layouts change nothing
// and a failed INI save leaves the old file whole.
#include "grid/ExGrid.h"
#include "platform/ColorNames.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace platform;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// CR LF after every line.
QByteArray Lines(std::initializer_list<const char*> lines)
{
    QByteArray out;
    for (const char* l : lines)
        out += QByteArray(l) + "\r\n";
    return out;
}

struct LayoutFixture : ::testing::Test
{
    QTemporaryDir dir;
    TExStringGrid grid;

    QString File(const char* name) const { return QDir(dir.path()).filePath(QLatin1String(name)); }

    // Row 0 names each column by its initial index.
    static void Name(TExStringGrid& g, int cols)
    {
        g.SetColCount(cols);
        g.SetRowCount(2);
        for (int c = 0; c < cols; ++c)
            g.SetCells(c, 0, QStringLiteral("c%1").arg(c));
    }
    // The names of the columns shown, left to right.
    static QStringList Shown(TExStringGrid& g)
    {
        QStringList names;
        for (int c = 0; c < g.ColCount(); ++c)
            names.append(g.Cells(g.RealColIndex(c), 0));
        return names;
    }
    static std::vector<int> Widths(TExStringGrid& g)
    {
        std::vector<int> w;
        for (int c = 0; c < g.ColCount(); ++c)
            w.push_back(g.ColWidths(c));
        return w;
    }

    void UseIni(TExStringGrid& g, const QString& path)
    {
        g.ColumnSize().SetLocation(clIniFile);
        g.ColumnSize().SetKey(path);
        g.ColumnSize().SetSection(QStringLiteral("Grid"));
    }
};

// ---------------------------------------------------------------------------
// Column state string
// ---------------------------------------------------------------------------

TEST_F(LayoutFixture, StateStringOfTheDocumentedGridAndBack)
{
    Name(grid, 3);
    grid.SetDefaultColWidth(64);
    grid.SetColumnOrder();
    grid.HideColumn(1);
    grid.SetColWidths(0, 64);
    grid.SetColWidths(1, 80);
    EXPECT_EQ(grid.ColumnStatesToString(), QStringLiteral("3#64,80,64#0,1,2#1,0,1"));

    TExStringGrid fresh;
    Name(fresh, 3);
    fresh.StringToColumnStates(QStringLiteral("3#64,80,64#0,1,2#1,0,1"));
    EXPECT_TRUE(fresh.IsHiddenColumn(1));
    EXPECT_EQ(Shown(fresh), (QStringList{"c0", "c2"}));
    EXPECT_EQ(Widths(fresh), (std::vector<int>{64, 80}));
}

TEST_F(LayoutFixture, OrderFieldPlacesTheInitialColumns)
{
    Name(grid, 3);
    grid.StringToColumnStates(QStringLiteral("3#10,20,30#2,0,1#1,1,1"));
    EXPECT_EQ(Shown(grid), (QStringList{"c2", "c0", "c1"}));
    EXPECT_EQ(grid.ColumnOrder().Items(), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(Widths(grid), (std::vector<int>{10, 20, 30}));
}

TEST_F(LayoutFixture, MovedHiddenAndSizedColumnsRoundTrip)
{
    Name(grid, 5);
    grid.MoveColumn(4, 0); // c4 c0 c1 c2 c3
    grid.MoveColumn(2, 3); // c4 c0 c2 c1 c3
    for (int c = 0; c < 5; ++c)
        grid.SetColWidths(c, 40 + 7 * c);
    grid.HideColumn(grid.RealColIndex(3)); // c1 hidden
    const QString states = grid.ColumnStatesToString();

    TExStringGrid fresh;
    Name(fresh, 5);
    fresh.StringToColumnStates(states);
    EXPECT_EQ(Shown(fresh), Shown(grid));
    EXPECT_EQ(Widths(fresh), Widths(grid));
    EXPECT_EQ(fresh.ColumnStatesToString(), states);
}

TEST_F(LayoutFixture, DamagedStateStringsChangeNothing)
{
    struct Case
    {
        const char* text;
        const char* why;
    };
    const Case cases[] = {
        {"2#64,64,64#0,1,2#1,1,1", "count says 2, lists hold 3"},
        {"4#64,64,64#0,1,2#1,1,1", "count says 4, lists hold 3"},
        {"x#64,64,64#0,1,2#1,1,1", "count no number"},
        {"0###", "no columns"},
        {"3#64,x,64#0,1,2#1,1,1", "width no number"},
        {"3#64,-5,64#0,1,2#1,1,1", "negative width"},
        {"3#64,64,64#0,a,2#1,1,1", "order entry no number"},
        {"3#64,64,64#0,0,1#1,1,1", "a column twice"},
        {"3#64,64,64#0,1,3#1,1,1", "a column that does not exist"},
        {"3#64,64,64#0,1#1,1,1", "order list short"},
        {"3#64,64,64#0,1,2#1,1", "visible flags short"},
        {"3#64,64,64#0,1,2#1,2,1", "visible flag neither 0 nor 1"},
        {"3#64,80", "truncated"},
        {"3#64,64,64#0,1,2#1,1,1#9", "a fifth field"},
    };
    Name(grid, 4);
    grid.MoveColumn(3, 0);
    grid.SetColWidths(1, 99);
    grid.HideColumn(2);
    const QString before = grid.ColumnStatesToString();
    const QStringList shown = Shown(grid);
    for (const Case& c : cases) {
        EXPECT_THROW(grid.StringToColumnStates(QString::fromLatin1(c.text)), REruVidaZuvez) << c.why;
        EXPECT_EQ(grid.ColumnStatesToString(), before) << c.why;
        EXPECT_EQ(Shown(grid), shown) << c.why;
    }
    EXPECT_NO_THROW(grid.StringToColumnStates(QStringLiteral("3,64,64")));
    EXPECT_EQ(grid.ColumnStatesToString(), before) << "no '#': not a state string";
}

// ---------------------------------------------------------------------------
// Column widths and order in an INI file
// ---------------------------------------------------------------------------

TEST_F(LayoutFixture, ColumnSizesAndPositionsInTheIniFile)
{
    const QString ini = File("layout.ini");
    WriteAll(ini, Lines({"[Other]", "X=1", "", "[Grid]", "Col0=5", "", "[Last]", "Y=2"}));
    Name(grid, 3);
    UseIni(grid, ini);
    grid.SetColWidths(0, 50);
    grid.SetColWidths(1, 60);
    grid.SetColWidths(2, 70);
    grid.MoveColumn(2, 0); // c2 c0 c1
    grid.SaveColSizes();
    grid.SaveColPositions();
    EXPECT_EQ(ReadAll(ini), Lines({"[Other]", "X=1", "", "[Grid]", "Col0=70", "Col1=50", "Col2=60", "Pos0=2",
                                   "Pos1=0", "Pos2=1", "", "[Last]", "Y=2"}));

    TExStringGrid fresh;
    Name(fresh, 3);
    UseIni(fresh, ini);
    fresh.LoadColPositions();
    fresh.LoadColSizes();
    EXPECT_EQ(Shown(fresh), (QStringList{"c2", "c0", "c1"}));
    EXPECT_EQ(Widths(fresh), (std::vector<int>{70, 50, 60}));
    EXPECT_EQ(fresh.ColumnOrder().Items(), (std::vector<int>{2, 0, 1}));
}

TEST_F(LayoutFixture, LoadingPositionsKeepsHiddenColumnsHidden)
{
    const QString ini = File("layout.ini");
    WriteAll(ini, Lines({"[Grid]", "Pos0=1", "Pos1=2", "Pos2=0"}));
    Name(grid, 3);
    UseIni(grid, ini);
    grid.HideColumn(0);
    grid.LoadColPositions(); // c1 c2 c0, then column index 0 hidden again
    EXPECT_EQ(Shown(grid), (QStringList{"c2", "c0"}));
    EXPECT_EQ(grid.NumHiddenColumns(), 1);
}

TEST_F(LayoutFixture, DamagedPositionsChangeNothing)
{
    const QString ini = File("layout.ini");
    Name(grid, 3);
    UseIni(grid, ini);
    grid.MoveColumn(2, 0);
    const QString before = grid.ColumnStatesToString();
    const std::initializer_list<const char*> damaged[] = {
        {"[Grid]", "Pos0=1", "Pos1=0"},             // an entry missing
        {"[Grid]", "Pos0=1", "Pos1=1", "Pos2=0"},   // a column twice
        {"[Grid]", "Pos0=0", "Pos1=1", "Pos2=7"},   // a column that does not exist
        {"[Grid]", "Pos0=0", "Pos1=x", "Pos2=2"},   // no number
        {"[Grid]", "Col0=-4", "Col1=10", "Col2=10"}, // a negative width
    };
    for (const auto& lines : damaged) {
        WriteAll(ini, Lines(lines));
        EXPECT_THROW({
            grid.LoadColPositions();
            grid.LoadColSizes();
        }, REruVidaZuvez) << lines.begin()[1];
        EXPECT_EQ(grid.ColumnStatesToString(), before) << lines.begin()[1];
    }
    // No Pos0: nothing stored, nothing to do.
    WriteAll(ini, Lines({"[Other]", "Pos0=1", "Pos1=0", "Pos2=2"}));
    EXPECT_NO_THROW(grid.LoadColPositions());
    EXPECT_EQ(grid.ColumnStatesToString(), before);
}

TEST_F(LayoutFixture, StoresActOnlyWithKeyAndSectionAndNeverInTheRegistry)
{
    Name(grid, 2);
    const QString ini = File("none.ini");
    grid.ColumnSize().SetLocation(clIniFile);
    grid.ColumnSize().SetKey(ini);
    grid.SaveColSizes();
    grid.SaveColPositions();
    grid.LoadColSizes();
    grid.LoadColPositions();
    EXPECT_FALSE(QFile::exists(ini)) << "no section";
    grid.ColumnSize().SetKey(QString());
    grid.ColumnSize().SetSection(QStringLiteral("Grid"));
    grid.SaveColSizes();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "no key";

    grid.ColumnSize().SetKey(QStringLiteral("Software\\Grid"));
    grid.ColumnSize().SetLocation(clRegistry);
    EXPECT_THROW(grid.SaveColSizes(), REruVidaZuvez);
    EXPECT_THROW(grid.LoadColPositions(), REruVidaZuvez);
}

TEST_F(LayoutFixture, AFailedIniSaveLeavesTheOldFileWhole)
{
    const QString ini = File("layout.ini");
    const QByteArray old = Lines({"[Other]", "X=1"});
    WriteAll(ini, old);
    Name(grid, 20);
    UseIni(grid, ini);
    // The disk takes only part of the new file.
    struct rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        grid.SaveColSizes();
    } catch (const REruVidaZuvez&) {
        failed = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed);
    EXPECT_EQ(ReadAll(ini), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"layout.ini"});
}

// ---------------------------------------------------------------------------
// Print settings
// ---------------------------------------------------------------------------

TEST_F(LayoutFixture, PrintSettingsSectionByteForByte)
{
    const QString ini = File("print.ini");
    WriteAll(ini, Lines({"[Keep]", "A=1"}));
    TPrintSettings& ps = grid.PrintSettings();
    ps.ColumnSpacing = 1;
    ps.RowSpacing = 2;
    ps.TitleSpacing = 3;
    ps.FixedHeight = 4;
    ps.FixedWidth = 5;
    ps.Centered = true;
    ps.NoAutoSize = false;
    ps.UseFixedHeight = true;
    ps.UseFixedWidth = false;
    ps.RepeatFixedRows = true;
    ps.RepeatFixedCols = false;
    ps.UseDisplayFont = true;
    ps.UseDefaultOrientation = false;
    ps.Borders = pbAroundVertical;
    ps.BorderColor = clNone;
    ps.BorderStyle = psDashDot;
    ps.Date = ppTopLeft;
    ps.PageNr = ppBottomCenter;
    ps.Title = ppTopCenter;
    ps.Time = ppNone;
    ps.DateFormat = QStringLiteral("dd/mm/yyyy");
    ps.TitleText = QStringLiteral("Meters");
    ps.FooterSize = 110;
    ps.HeaderSize = 120;
    ps.LeftSize = 130;
    ps.RightSize = 140;
    ps.FitToPage = fpShrink;
    ps.Font.SetName(QStringLiteral("Verdana"));
    ps.Font.SetSize(9);
    ps.Font.SetStyle(fsBold | fsUnderline);
    ps.Font.SetColor(0x0000FF);
    ps.HeaderFont.SetName(QStringLiteral("Tahoma"));
    ps.HeaderFont.SetSize(12);
    ps.HeaderFont.SetStyle(0);
    ps.HeaderFont.SetColor(0);
    ps.FooterFont.SetName(QStringLiteral("Arial"));
    ps.FooterFont.SetSize(8);
    ps.FooterFont.SetStyle(fsItalic);
    ps.FooterFont.SetColor(0x808080);
    ps.PageNumSep = QStringLiteral("/");
    ps.PageSuffix = QStringLiteral(")");
    ps.PagePrefix = QStringLiteral("(");
    ps.Orientation = poLandscape;
    ps.TitleLines = QStringList{"A", "B"};
    ps.PrintGraphics = true;
    grid.SavePrintSettings(ini, QStringLiteral("Print"));
    const QByteArray expected = Lines({
        "[Keep]", "A=1", "[Print]", "ColumnSpacing=1", "RowSpacing=2", "TitleSpacing=3", "FixedHeight=4",
        "FixedWidth=5", "Centered=Y", "NoAutoSize=N", "UseFixedHeight=Y", "UseFixedWidth=N", "RepeatFixedRows=Y",
        "RepeatFixedCols=N", "UseDisplFont=Y", "UseDefOrientation=N", "Borders=6", "BorderColor=536870911",
        "BorderStyle=3", "Date=1", "PageNr=6", "Title=3", "Time=0", "DateFormat=dd/mm/yyyy", "TitleText=Meters",
        "FooterSize=110", "HeaderSize=120", "LeftSize=130", "RightSize=140", "FitToPage=2", "FontName=Verdana",
        "FontSize=9", "FontStyle=5", "FontColor=255", "HeaderFontName=Tahoma", "HeaderFontSize=12",
        "HeaderFontStyle=0", "HeaderFontColor=0", "FooterFontName=Arial", "FooterFontSize=8", "FooterFontStyle=2",
        "FooterFontColor=8421504", "PageNumSep=/", "PageSuffix=)", "PagePrefix=(", "Orientation=1",
        "TitleLines=A\\nB\\n", "PrintGraphics=Y"});
    EXPECT_EQ(ReadAll(ini), expected);

    TExStringGrid fresh;
    fresh.LoadPrintSettings(ini, QStringLiteral("print"));
    const TPrintSettings& r = fresh.PrintSettings();
    EXPECT_EQ(r.ColumnSpacing, 1);
    EXPECT_EQ(r.FixedWidth, 5);
    EXPECT_TRUE(r.UseFixedHeight);
    EXPECT_FALSE(r.UseDefaultOrientation);
    EXPECT_EQ(r.Borders, pbAroundVertical);
    EXPECT_EQ(r.BorderColor, clNone);
    EXPECT_EQ(r.BorderStyle, psDashDot);
    EXPECT_EQ(r.PageNr, ppBottomCenter);
    EXPECT_EQ(r.TitleText, QStringLiteral("Meters"));
    EXPECT_EQ(r.RightSize, 140);
    EXPECT_EQ(r.FitToPage, fpShrink);
    EXPECT_EQ(r.Font.Name(), QStringLiteral("Verdana"));
    EXPECT_EQ(r.Font.Size(), 9);
    EXPECT_EQ(r.Font.Style(), fsBold | fsUnderline);
    EXPECT_EQ(r.FooterFont.Color(), 0x808080u);
    EXPECT_EQ(r.PagePrefix, QStringLiteral("("));
    EXPECT_EQ(r.Orientation, poLandscape);
    EXPECT_EQ(r.TitleLines, (QStringList{"A", "B"}));
    EXPECT_TRUE(r.PrintGraphics);
}

TEST_F(LayoutFixture, PrintSettingsReadingRules)
{
    const QString ini = File("print.ini");
    WriteAll(ini, Lines({"[P]", "NoAutoSize=y", "RepeatFixedRows=Y", "Date=7", "Title=3", "Borders=9",
                         "BorderStyle=2", "FitToPage=-1", "Orientation=2", "RowSpacing=abc", "FontStyle=1"}));
    TPrintSettings& ps = grid.PrintSettings();
    ps.Borders = pbDouble;
    ps.FitToPage = fpAlways;
    ps.Orientation = poLandscape;
    ps.Date = ppTopRight;
    ps.Font.SetStyle(fsItalic);
    grid.LoadPrintSettings(ini, QStringLiteral("P"));
    EXPECT_TRUE(ps.Centered) << "missing reads as Y";
    EXPECT_FALSE(ps.NoAutoSize) << "only \"Y\" is true";
    EXPECT_TRUE(ps.RepeatFixedRows);
    EXPECT_EQ(ps.Date, ppNone) << "7 is no position";
    EXPECT_EQ(ps.Title, ppTopCenter);
    EXPECT_EQ(ps.Borders, pbDouble) << "9 leaves the borders";
    EXPECT_EQ(ps.BorderStyle, psDot);
    EXPECT_EQ(ps.FitToPage, fpAlways);
    EXPECT_EQ(ps.Orientation, poLandscape);
    EXPECT_EQ(ps.RowSpacing, 20) << "no number reads as the default";
    EXPECT_EQ(ps.FooterSize, 100);
    EXPECT_EQ(ps.Font.Name(), QStringLiteral("Arial"));
    EXPECT_EQ(ps.Font.Size(), 10);
    EXPECT_EQ(ps.Font.Style(), fsItalic | fsBold) << "stored bits are added";
    EXPECT_TRUE(ps.TitleLines.isEmpty());

    // A missing file reads as all defaults and is created by the flush.
    const QString none = File("none.ini");
    grid.LoadPrintSettings(none, QStringLiteral("P"));
    EXPECT_EQ(ps.Borders, pbNoborder);
    EXPECT_TRUE(QFile::exists(none));
}

// ---------------------------------------------------------------------------
// Visual properties file
// ---------------------------------------------------------------------------

TEST_F(LayoutFixture, VisualPropertiesRoundTripAndFileForm)
{
    const QString file = File("visual.txt");
    grid.SetSelectionColor(clHighlight);
    grid.SetURLShow(false);
    grid.FixedFont().SetStyle(fsBold | fsStrikeOut);
    grid.FixedFont().SetSize(11);
    grid.FixedFont().SetName(QStringLiteral("Tahoma"));
    grid.Balloon().SetBackgroundColor(0x123456);
    grid.Balloon().SetTransparency(77);
    grid.Grouping().SetHeaderLineWidth(3);
    grid.BackGround().SetDisplay(bdGradientVert);
    grid.SetGridLineColor(clRed);
    grid.SaveVisualProps(file);
    const QByteArray bytes = ReadAll(file);
    EXPECT_TRUE(bytes.startsWith("Color="));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    for (const char* line : {"\r\nSelectionColor=clHighlight\r\n", "\r\nURLShow=false\r\n",
                             "\r\nFixedFont.Style=fsBold,fsStrikeOut\r\nFixedFont.Size=11\r\nFixedFont.Name=Tahoma\r\n",
                             "\r\nBalloon.BackgroundColor=$00123456\r\n", "\r\nBalloon.Transparency=77\r\n",
                             "\r\nBackGround.Display=bdGradientVert\r\n", "\r\nGridLineColor=clRed\r\n"})
        EXPECT_TRUE(bytes.contains(line)) << line;

    TExStringGrid fresh;
    fresh.LoadVisualProps(file);
    EXPECT_EQ(fresh.SelectionColor(), clHighlight);
    EXPECT_FALSE(fresh.URLShow());
    EXPECT_EQ(fresh.FixedFont().Style(), fsBold | fsStrikeOut);
    EXPECT_EQ(fresh.FixedFont().Size(), 11);
    EXPECT_EQ(fresh.Balloon().BackgroundColor(), 0x123456u);
    EXPECT_EQ(fresh.Balloon().Transparency(), 77);
    EXPECT_EQ(fresh.Grouping().HeaderLineWidth(), 3);
    EXPECT_EQ(fresh.BackGround().Display(), bdGradientVert);
    EXPECT_EQ(fresh.GridLineColor(), clRed);
    TExStringGrid again;
    again.LoadVisualProps(file);
    again.SaveVisualProps(File("again.txt"));
    EXPECT_EQ(ReadAll(File("again.txt")), bytes);
}

TEST_F(LayoutFixture, VisualPropertiesReadingRules)
{
    const QString file = File("visual.txt");
    grid.SetURLShow(true);
    grid.SaveVisualProps(file);
    grid.SetURLShow(false);
    QByteArray bytes = ReadAll(file);
    ASSERT_TRUE(bytes.contains("URLShow=true"));
    bytes.replace("Balloon.BackgroundColor=", "Balloon.BackGroundColor=");
    bytes.replace("Balloon.BackGroundColor=clNone", "Balloon.BackGroundColor=clAqua");
    bytes.replace("URLShow=true", "URLShow=TrUe");
    bytes.replace(QByteArray("\r\nHintColor=") + ColorToString(grid.HintColor()).toLatin1(), "\r\nX=1");
    WriteAll(file, bytes);
    grid.LoadVisualProps(file);
    EXPECT_EQ(grid.Balloon().BackgroundColor(), clAqua) << "key case ignored";
    EXPECT_TRUE(grid.URLShow());
    EXPECT_EQ(grid.HintColor(), clNone) << "missing colour";

    // A bad value anywhere: nothing is assigned.
    struct Case
    {
        const char* from;
        const char* to;
    };
    const Case bad[] = {{"\r\nFont.Size=", "\r\nFont.Sighs="}, {"\r\nScrollColor=", "\r\nScrollColor=pink"},
                        {"\r\nBackGround.Top=0", "\r\nBackGround.Top=x"}};
    for (const Case& c : bad) {
        grid.SaveVisualProps(file);
        QByteArray damaged = ReadAll(file);
        ASSERT_TRUE(damaged.contains(c.from)) << c.from;
        damaged.replace(c.from, c.to);
        WriteAll(file, damaged);
        grid.SetSelectionColor(clLime);
        EXPECT_THROW(grid.LoadVisualProps(file), std::invalid_argument) << c.to;
        EXPECT_EQ(grid.SelectionColor(), clLime) << c.to;
    }
    EXPECT_THROW(grid.LoadVisualProps(File("none.txt")), REruVidaZuvez);
    EXPECT_THROW(grid.SaveVisualProps(File("no/such/dir/v.txt")), REruVidaZuvez);
}

} // namespace
