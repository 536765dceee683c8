#include "ExGridExchangeTestSupport.h"
#include "GridAutomationTestSupport.h"

#include "grid/ExGrid_Automation.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace automation_test;
using namespace exchange_test;
using namespace exgrid_automation;
using Kind = AutomationValue::Kind;

namespace {

struct XLSFixture : ::testing::Test
{
    FakeOffice office;
    platform::AutomationServersInstall install{office};
    TExStringGrid grid;

    void SetUp() override
    {
        TRegionalSettings r;
        r.DecimalSeparator = QLatin1Char('.');
        r.ThousandSeparator = QLatin1Char(',');
        r.DateSeparator = QLatin1Char('/');
        r.TimeSeparator = QLatin1Char(':');
        r.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
        SetRegionalSettingsOverride(r);
    }
    void TearDown() override
    {
        SetRegionalSettingsOverride(std::nullopt);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the hourglass stayed";
    }

    void AddFile(const QString& file, std::vector<std::shared_ptr<FakeSheet>> sheets, int active = 0)
    {
        FakeWorkbook b;
        b.file = file;
        b.sheets = std::move(sheets);
        b.active = active;
        office.workbookFiles[file] = b;
    }

    // A plain grid of cols x rows without fixed cells, each cell "c,r".
    void Fill(int cols, int rows)
    {
        grid.SetFixedRows(0);
        grid.SetFixedCols(0);
        grid.SetColCount(cols);
        grid.SetRowCount(rows);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                grid.SetGridCell(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
    }

    QStringList WrittenAddresses(const QString& file, int sheet)
    {
        QStringList a;
        for (const auto& [address, values] : office.workbookFiles.at(file).sheets.at(sheet)->written)
            a << address;
        return a;
    }
};

} // namespace

TEST(XLSAddress, ColumnLettersBothWays)
{
    const std::pair<int, const char*> cases[] = {
        {1, "A"}, {26, "Z"}, {27, "AA"}, {28, "AB"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"},
        // Beyond two letters there is no name rather than a wrong one.
        {703, ""}, {0, ""}, {-3, ""},
    };
    for (const auto& [k, letters] : cases) {
        EXPECT_EQ(ColumnLetters(k), QString::fromLatin1(letters)) << k;
        if (*letters) {
            EXPECT_EQ(ColumnNumber(QString::fromLatin1(letters)), k) << letters;
        }
    }
    for (const char* bad : {"", "a", "AAA", "A1", "$A", "Ä"})
        EXPECT_EQ(ColumnNumber(QString::fromUtf8(bad)), 0) << bad;
}

TEST(XLSAddress, UsedRangesAsTheServerReportsThem)
{
    struct Case
    {
        const char* why;
        const char* address;
        bool valid;
        int c1, r1, c2, r2;
    };
    const Case cases[] = {
        {"ordinary range", "$A$1:$D$10", true, 1, 1, 4, 10},
        {"range not at the corner", "$B$2:$C$4", true, 2, 2, 3, 4},
        {"two-letter columns", "$C$1:$AF$3", true, 3, 1, 32, 3},
        {"whole rows", "3:7", true, 1, 3, 256, 7},
        {"whole rows with dollars", "$3:$7", true, 1, 3, 256, 7},
        {"one cell", "$B$3", true, 2, 3, 2, 3},
        {"no dollar at all counts as A1", "B3", true, 1, 1, 1, 1},
        {"empty sheet", "", true, 1, 1, 1, 1},
        {"row that is no number", "$A$1:$D$1x", false, 0, 0, 0, 0},
        {"whole columns", "$A:$C", false, 0, 0, 0, 0},
        {"backwards", "$D$10:$A$1", false, 0, 0, 0, 0},
        {"three-letter columns", "$A$1:$XFD$5", false, 0, 0, 0, 0},
        {"row 0", "$A$0", false, 0, 0, 0, 0},
        {"negative row", "$A$1:$B$-2", false, 0, 0, 0, 0},
        {"sign in the row", "$A$+1:$B$2", false, 0, 0, 0, 0},
        {"row beyond any int", "$A$1:$B$99999999999", false, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const UsedRange u = ParseUsedRange(QString::fromLatin1(c.address));
        EXPECT_EQ(u.valid, c.valid) << c.why;
        if (c.valid && u.valid) {
            EXPECT_EQ(u.firstCol, c.c1) << c.why;
            EXPECT_EQ(u.firstRow, c.r1) << c.why;
            EXPECT_EQ(u.lastCol, c.c2) << c.why;
            EXPECT_EQ(u.lastRow, c.r2) << c.why;
        }
    }
}

TEST_F(XLSFixture, UsedRangeSizesTheGridPlusTheOffsets)
{
    AddFile("b.xlsx", {FakeOffice::Sheet("S", {{{2, 2}, AutomationValue::OfText("B2")},
                                              {{4, 3}, AutomationValue::OfText("C4")}})});
    struct Case
    {
        const char* why;
        bool saveFixedCells;
        int fixed;
        int offset;
    };
    const Case cases[] = {
        {"fixed cells saved: no offset", true, 1, 0},
        {"fixed cells left out: one fixed row and column", false, 1, 1},
        {"fixed cells left out: two of each", false, 2, 2},
    };
    for (const Case& c : cases) {
        TExStringGrid g;
        g.SetColCount(6);
        g.SetRowCount(6);
        g.SetFixedCols(c.fixed);
        g.SetFixedRows(c.fixed);
        g.SetSaveFixedCells(c.saveFixedCells);
        g.LoadFromXLS(QStringLiteral("b.xlsx"));
        EXPECT_EQ(g.ColCount(), 2 + c.offset) << c.why;
        EXPECT_EQ(g.RowCount(), 3 + c.offset) << c.why;
        EXPECT_EQ(g.FixedCols(), c.fixed) << c.why;
        EXPECT_EQ(g.FixedRows(), c.fixed) << c.why;
        EXPECT_EQ(g.GetGridCell(c.offset, c.offset), QStringLiteral("B2")) << c.why;
        EXPECT_EQ(g.GetGridCell(c.offset + 1, c.offset + 2), QStringLiteral("C4")) << c.why;
    }
    EXPECT_TRUE(office.calls.contains("Range.Value(B2:C4)"));
}

TEST_F(XLSFixture, ReadingCallsInOrder)
{
    AddFile("b.xlsx", {FakeOffice::Sheet("S", {{{1, 1}, AutomationValue::OfText("x")},
                                              {{2, 2}, AutomationValue::OfText("y")}})});
    grid.LoadFromXLS(QStringLiteral("b.xlsx"));
    EXPECT_EQ(office.calls, (QStringList{"CreateObject(excel.application)", "Workbooks.Open(b.xlsx)", "ActiveSheet()",
                                         "UsedRange.Address()", "Range.Value(A1:B2)", "Close(false)", "Quit()"}));
    EXPECT_TRUE(office.withoutHourglass.isEmpty()) << office.withoutHourglass.join(' ').toStdString();
    EXPECT_EQ(office.workbookFiles.at("b.xlsx").sheets[0]->written.size(), 0u);
}

TEST_F(XLSFixture, OneCellAndWideRanges)
{
    AddFile("one.xlsx", {FakeOffice::Sheet("S", {{{1, 1}, AutomationValue::OfText("only")}})});
    Fill(4, 4);
    grid.LoadFromXLS(QStringLiteral("one.xlsx"));
    EXPECT_EQ(grid.ColCount(), 1);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.GetGridCell(0, 0), QStringLiteral("only"));
    EXPECT_TRUE(office.calls.contains("Rows.Cells(1,1)"));
    EXPECT_FALSE(office.Called("Range.Value"));

    // 30 columns from column C: C to AF.
    std::map<CellKey, AutomationValue> cells;
    for (int c = 3; c <= 32; ++c)
        cells[{1, c}] = AutomationValue::OfText(FakeLetters(c));
    AddFile("wide.xlsx", {FakeOffice::Sheet("S", cells)});
    office.calls.clear();
    grid.LoadFromXLS(QStringLiteral("wide.xlsx"));
    EXPECT_TRUE(office.calls.contains("Range.Value(C1:AF1)"));
    EXPECT_EQ(grid.ColCount(), 30);
    EXPECT_EQ(grid.GetGridCell(0, 0), QStringLiteral("C"));
    EXPECT_EQ(grid.GetGridCell(29, 0), QStringLiteral("AF"));
}

TEST_F(XLSFixture, ValuesBecomeCellTexts)
{
    struct Case
    {
        const char* why;
        AutomationValue value;
        const char* text; // null: the cell keeps what it held
    };
    const Case cases[] = {
        {"text", AutomationValue::OfText("abc"), "abc"},
        {"empty overwrites", AutomationValue{}, ""},
        {"null overwrites", AutomationValue::OfKind(Kind::Null), ""},
        {"fraction", AutomationValue::OfNumber(12.5), "12.5"},
        {"whole number has no decimals", AutomationValue::OfNumber(42), "42"},
        {"negative", AutomationValue::OfNumber(-0.25), "-0.25"},
        {"large number in exponent form", AutomationValue::OfNumber(1e20), "1E20"},
        {"small number in exponent form", AutomationValue::OfNumber(1.5e-7), "1.5E-7"},
        {"fifteen digits", AutomationValue::OfNumber(0.1 + 0.2), "0.3"},
        {"date", AutomationValue::OfDate(45000), "15/03/2023"},
        {"date and time", AutomationValue::OfDate(45000.75), "15/03/2023 18:00:00"},
        {"time only", AutomationValue::OfDate(0.5), "12:00:00"},
        {"true", AutomationValue::OfBoolean(true), "True"},
        {"false", AutomationValue::OfBoolean(false), "False"},
        {"error value keeps the cell", AutomationValue::OfKind(Kind::Error), nullptr},
        {"object keeps the cell", AutomationValue::OfKind(Kind::Object), nullptr},
    };
    std::map<CellKey, AutomationValue> cells;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i)
        cells[{i + 1, 1}] = cases[i].value;
    cells[{1, 2}] = AutomationValue::OfText("second column");
    AddFile("v.xlsx", {FakeOffice::Sheet("S", cells)});
    Fill(2, static_cast<int>(std::size(cases)));
    grid.LoadFromXLS(QStringLiteral("v.xlsx"));
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        const QString expected = cases[i].text ? QString::fromUtf8(cases[i].text) : QStringLiteral("0,%1").arg(i);
        EXPECT_EQ(grid.GetGridCell(0, i), expected) << cases[i].why;
    }

    // The regional decimal separator.
    TRegionalSettings r = RegionalSettings();
    r.DecimalSeparator = QLatin1Char(',');
    SetRegionalSettingsOverride(r);
    EXPECT_EQ(ValueText(AutomationValue::OfNumber(12.5)), QStringLiteral("12,5"));
}

TEST_F(XLSFixture, NamedSheetAndSheetNames)
{
    AddFile("three.xlsx", {FakeOffice::Sheet("First", {{{1, 1}, AutomationValue::OfText("1")}}),
                           FakeOffice::Sheet("Zweite Ω", {{{1, 1}, AutomationValue::OfText("2")}}),
                           FakeOffice::Sheet("Third", {{{1, 1}, AutomationValue::OfText("3")}})});
    EXPECT_EQ(grid.GetXLSSheets(QStringLiteral("three.xlsx")), (QStringList{"First", "Zweite Ω", "Third"}));
    // Marked as saved before quitting, so that the server never asks.
    ASSERT_GE(office.calls.size(), 2);
    EXPECT_EQ(office.calls.mid(office.calls.size() - 2), (QStringList{"Saved(true)", "Quit()"}));

    grid.LoadFromXLSSheet(QStringLiteral("three.xlsx"), QStringLiteral("Zweite Ω"));
    EXPECT_EQ(grid.GetGridCell(0, 0), QStringLiteral("2"));

    Fill(2, 2);
    const QStringList before = Snapshot(grid);
    office.calls.clear();
    try {
        grid.LoadFromXLSSheet(QStringLiteral("three.xlsx"), QStringLiteral("Fourth"));
        FAIL() << "no error";
    } catch (const REruVidaZuvez& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Excel worksheet Fourth not found"));
    }
    EXPECT_EQ(Snapshot(grid), before);
    EXPECT_TRUE(office.calls.contains("Close(false)"));
    EXPECT_EQ(office.calls.last(), QStringLiteral("Quit()"));
}

TEST_F(XLSFixture, AwkwardCellsRoundTripThroughAWorksheet)
{
    FillAwkward(grid);
    grid.SaveToXLSSheet(QStringLiteral("rt.xlsx"), QStringLiteral("Data"));
    ASSERT_EQ(office.workbookFiles.count("rt.xlsx"), 1u);
    const FakeWorkbook& saved = office.workbookFiles.at("rt.xlsx");
    const auto texts = AwkwardTexts();
    // A new workbook's own three sheets and the one added under the name asked.
    ASSERT_EQ(saved.sheets.size(), 4u);
    EXPECT_EQ(saved.sheets[3]->name, QStringLiteral("Data"));
    EXPECT_EQ(WrittenAddresses("rt.xlsx", 3), QStringList{QStringLiteral("A1:C%1").arg(texts.size())});

    TExStringGrid back;
    back.SetFixedRows(0);
    back.SetFixedCols(0);
    back.LoadFromXLSSheet(QStringLiteral("rt.xlsx"), QStringLiteral("Data"));
    // The last column is empty in every row, so the used range ends at B.
    EXPECT_EQ(back.ColCount(), 2);
    ASSERT_EQ(back.RowCount(), static_cast<int>(texts.size()));
    for (int r = 0; r < back.RowCount(); ++r) {
        // The worksheet breaks lines at LF alone: CR is dropped on writing.
        EXPECT_EQ(back.GetGridCell(1, r), QString(texts[r].text).remove(u'\r')) << texts[r].why;
        EXPECT_EQ(back.GetGridCell(0, r), QString::number(r));
    }
}

TEST_F(XLSFixture, WrittenRangeFollowsTheColumnCount)
{
    struct Case
    {
        int cols;
        const char* address;
    };
    for (const Case& c : {Case{1, "A1:A3"}, Case{26, "A1:Z3"}, Case{28, "A1:AB3"}, Case{52, "A1:AZ3"},
                          Case{702, "A1:ZZ3"}}) {
        Fill(c.cols, 3);
        office.workbookFiles.clear();
        grid.SaveToXLS(QStringLiteral("w.xlsx"), true);
        EXPECT_EQ(WrittenAddresses("w.xlsx", 0), QStringList{QString::fromLatin1(c.address)}) << c.cols;
    }
    // Beyond two column letters nothing is started and nothing written.
    Fill(703, 1);
    office.calls.clear();
    office.workbookFiles.clear();
    EXPECT_THROW(grid.SaveToXLS(QStringLiteral("w.xlsx"), true), REruVidaZuvez);
    EXPECT_TRUE(office.calls.isEmpty());
    EXPECT_TRUE(office.workbookFiles.empty());
}

namespace {

class NotedGrid : public TExStringGrid
{
public:
    std::vector<std::pair<TGridExportState, int>> notes;
    void ExportNotification(TGridExportState state, int row) override { notes.emplace_back(state, row); }
};

} // namespace

TEST_F(XLSFixture, SavedRangeOfTheGrid)
{
    // Fixed cells left out: from the first normal row and column to the
    // last one, footer rows and fixed right columns included.
    NotedGrid grid;
    grid.SetColCount(4);
    grid.SetRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            grid.SetGridCell(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.SetFixedFooters(1);
    grid.SetSaveFixedCells(false);
    grid.SetGridCell(1, 1, QStringLiteral("two\r\nlines"));
    grid.SaveToXLS(QStringLiteral("w.xlsx"), true);
    EXPECT_EQ(grid.notes, (std::vector<std::pair<TGridExportState, int>>{
                              {esExportStart, 1}, {esExportNextRow, 1}, {esExportNextRow, 2}, {esExportNextRow, 3},
                              {esExportDone, -1}}));
    const auto& written = office.workbookFiles.at("w.xlsx").sheets[0]->written;
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].first, QStringLiteral("A1:C3"));
    ASSERT_EQ(written[0].second.size(), 3u);
    EXPECT_EQ(written[0].second[0][0].text, QStringLiteral("two\nlines"));
    EXPECT_EQ(written[0].second[0][1].text, QStringLiteral("2,1"));
    EXPECT_EQ(written[0].second[2][2].text, QStringLiteral("3,3"));
    for (const auto& row : written[0].second)
        for (const AutomationValue& v : row)
            EXPECT_EQ(v.kind, Kind::Text);
}

TEST_F(XLSFixture, SaveIntoTheActiveWorkbookOfARunningApplication)
{
    office.spreadsheetRunning = true;
    auto open = std::make_shared<FakeWorkbook>();
    open->file = "open.xlsx";
    open->sheets = {FakeOffice::Sheet("Mine", {{{1, 1}, AutomationValue::OfText("keep")}})};
    office.openWorkbooks.push_back(open);
    office.activeCellRow = 5;
    Fill(2, 3);
    grid.SaveToXLS(QStringLiteral("out.xlsx"), false);
    EXPECT_EQ(office.calls, (QStringList{"GetActiveObject(excel.application)", "Workbooks.Count()", "ActiveWorkBook()",
                                         "ActiveSheet()", "ActiveCell.Row()", "SetRange.Value(A5:B7)",
                                         "SaveAs(out.xlsx)"}));
    // The running application is left running.
    EXPECT_FALSE(office.Called("Quit"));
    const FakeWorkbook& saved = office.workbookFiles.at("out.xlsx");
    EXPECT_EQ(saved.sheets[0]->cells.at({1, 1}).text, QStringLiteral("keep"));
    EXPECT_EQ(saved.sheets[0]->cells.at({7, 2}).text, QStringLiteral("1,2"));

    // Asked for a new workbook, the running application adds one.
    office.calls.clear();
    grid.SaveToXLS(QStringLiteral("new.xlsx"), true);
    EXPECT_EQ(office.calls, (QStringList{"GetActiveObject(excel.application)", "Workbooks.Add()",
                                         "WorkSheets.item(1)", "SetRange.Value(A1:B3)", "SaveAs(new.xlsx)"}));
}

TEST_F(XLSFixture, SaveWithoutARunningApplicationStartsAndQuitsOne)
{
    Fill(1, 1);
    grid.SaveToXLS(QStringLiteral("out.xlsx"), false);
    EXPECT_EQ(office.calls,
              (QStringList{"GetActiveObject(excel.application)", "CreateObject(excel.application)", "Workbooks.Count()",
                           "Workbooks.Add()", "WorkSheets.item(1)", "SetRange.Value(A1:A1)", "SaveAs(out.xlsx)",
                           "Quit()"}));
    EXPECT_TRUE(office.withoutHourglass.isEmpty());
}

TEST_F(XLSFixture, SaveToANamedSheetOfAnExistingFile)
{
    // The file exists and is written in place: its other sheets stay.
    QTemporaryDir dir;
    const QString file = dir.filePath("book.xlsx");
    WriteAll(file, "workbook");
    AddFile(file, {FakeOffice::Sheet("Other", {{{1, 1}, AutomationValue::OfText("other")}}),
                   FakeOffice::Sheet("Data", {{{9, 9}, AutomationValue::OfText("old")}})});
    Fill(2, 2);
    grid.SaveToXLSSheet(file, QStringLiteral("Data"));
    EXPECT_TRUE(office.calls.contains("Workbooks.Open(" + file + ")"));
    EXPECT_TRUE(office.calls.contains("Save()"));
    EXPECT_FALSE(office.Called("SaveAs"));
    EXPECT_FALSE(office.Called("Workbooks.Add"));
    const FakeWorkbook& saved = office.workbookFiles.at(file);
    ASSERT_EQ(saved.sheets.size(), 2u);
    EXPECT_EQ(saved.sheets[0]->cells.at({1, 1}).text, QStringLiteral("other"));
    EXPECT_EQ(saved.sheets[1]->cells.at({2, 2}).text, QStringLiteral("1,1"));

    // A sheet of that name missing: added and named.
    office.calls.clear();
    grid.SaveToXLSSheet(file, QStringLiteral("Neu"));
    EXPECT_TRUE(office.calls.contains("WorkSheets.Add()"));
    EXPECT_TRUE(office.calls.contains("SetName(Neu)"));
    ASSERT_EQ(office.workbookFiles.at(file).sheets.size(), 3u);
    EXPECT_EQ(office.workbookFiles.at(file).sheets[2]->name, QStringLiteral("Neu"));
}

TEST_F(XLSFixture, AFileThatDoesNotOpenIsNeverOverwritten)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("book.xlsx");
    WriteAll(file, "workbook");
    AddFile(file, {FakeOffice::Sheet("Other", {{{1, 1}, AutomationValue::OfText("precious")}})});
    office.failAt = "Workbooks.Open";
    Fill(2, 2);
    try {
        grid.SaveToXLSSheet(file, QStringLiteral("Data"));
        FAIL() << "no error";
    } catch (const REruVidaZuvez& e) {
        EXPECT_TRUE(e.Message().startsWith("Cannot open file " + file)) << e.Message().toStdString();
    }
    EXPECT_FALSE(office.Called("Workbooks.Add"));
    EXPECT_FALSE(office.Called("SaveAs"));
    EXPECT_FALSE(office.Called("Save"));
    EXPECT_EQ(office.calls.last(), QStringLiteral("Quit()"));
    ASSERT_EQ(office.workbookFiles.at(file).sheets.size(), 1u);
    EXPECT_EQ(office.workbookFiles.at(file).sheets[0]->cells.at({1, 1}).text, QStringLiteral("precious"));
    EXPECT_EQ(ReadAll(file), QByteArray("workbook"));
}

TEST_F(XLSFixture, AFailedSaveIsReported)
{
    for (const char* step : {"SaveAs", "Save"}) {
        QTemporaryDir dir;
        const QString file = dir.filePath("book.xlsx");
        office.workbookFiles.clear();
        if (QString::fromLatin1(step) == "Save") {
            WriteAll(file, "workbook");
            AddFile(file, {FakeOffice::Sheet("Data")});
        }
        office.calls.clear();
        office.failAt = step;
        Fill(1, 1);
        try {
            grid.SaveToXLSSheet(file, QStringLiteral("Data"));
            ADD_FAILURE() << step << ": no error";
        } catch (const REruVidaZuvez& e) {
            EXPECT_TRUE(e.Message().startsWith("Cannot Create file " + file)) << e.Message().toStdString();
        }
        EXPECT_EQ(office.calls.last(), QStringLiteral("Quit()")) << step;
    }
}

namespace {

// A failure at each call of an operation: reported (except where the call
// only ends the server's work), the grid as it was, the server quit, the
// cursor back and the cells-changed notification sent.
void FailEveryStep(const char* name, const std::function<void(TExStringGrid&)>& op,
                   const std::function<void(FakeOffice&)>& setUp, bool read)
{
    QStringList log;
    {
        FakeOffice office;
        setUp(office);
        const platform::AutomationServersInstall install(office);
        TExStringGrid g;
        op(g);
        log = office.calls;
    }
    ASSERT_FALSE(log.isEmpty()) << name;
    // Steps that only end the server's work, and the look for a running
    // application (failing, none runs), do not fail the operation.
    const QStringList harmless{"Close", "Quit", "Saved", "GetActiveObject"};
    for (int k = 0; k < log.size(); ++k) {
        FakeOffice office;
        setUp(office);
        office.failAtIndex = k;
        const platform::AutomationServersInstall install(office);
        TExStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetGridCell(1, 1, QStringLiteral("before"));
        const QStringList before = Snapshot(g);
        int changed = 0;
        g.OnCellsChanged = [&changed](QObject*, const platform::TRect&) { ++changed; };
        const QString member = log[k].left(log[k].indexOf(u'('));
        const QString why = QStringLiteral("%1, failing %2").arg(QString::fromLatin1(name), log[k]);
        bool threw = false;
        try {
            op(g);
        } catch (const REruVidaZuvez&) {
            threw = true;
        } catch (const AutomationError&) {
            threw = true;
        }
        EXPECT_EQ(threw, !harmless.contains(member)) << why.toStdString();
        if (threw) {
            EXPECT_EQ(Snapshot(g), before) << why.toStdString();
            EXPECT_EQ(office.workbookFiles.count("n.xlsx"), 0u) << why.toStdString();
        }
        if (read) {
            EXPECT_EQ(changed, 1) << why.toStdString();
        }
        // Started here, the server is quit on every way out.
        if (member != QStringLiteral("CreateObject")) {
            EXPECT_TRUE(office.Called("Quit")) << why.toStdString();
        }
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << why.toStdString();
        EXPECT_TRUE(office.withoutHourglass.isEmpty()) << why.toStdString();
    }
}

} // namespace

TEST(XLSFailures, EveryFailingStepIsReportedAndChangesNothing)
{
    const auto book = [](FakeOffice& o) {
        FakeWorkbook b;
        b.file = "b.xlsx";
        b.sheets = {FakeOffice::Sheet("A", {{{1, 1}, AutomationValue::OfText("a")}}),
                    FakeOffice::Sheet("B", {{{1, 1}, AutomationValue::OfText("x")},
                                            {{3, 2}, AutomationValue::OfNumber(2)}}),
                    FakeOffice::Sheet("C", {{{2, 2}, AutomationValue::OfText("one")}})};
        o.workbookFiles["b.xlsx"] = b;
    };
    FailEveryStep("LoadFromXLS", [](TExStringGrid& g) { g.LoadFromXLS("b.xlsx"); }, book, true);
    FailEveryStep("LoadFromXLSSheet", [](TExStringGrid& g) { g.LoadFromXLSSheet("b.xlsx", "B"); }, book, true);
    FailEveryStep("LoadFromXLSSheet one cell", [](TExStringGrid& g) { g.LoadFromXLSSheet("b.xlsx", "C"); }, book, true);
    FailEveryStep("GetXLSSheets", [](TExStringGrid& g) { g.GetXLSSheets("b.xlsx"); }, book, false);
    FailEveryStep("SaveToXLS", [](TExStringGrid& g) { g.SaveToXLS("n.xlsx", true); }, book, false);
    FailEveryStep("SaveToXLSSheet new file", [](TExStringGrid& g) { g.SaveToXLSSheet("n.xlsx", "D"); }, book, false);
}

TEST(XLSFailures, MissingServerAndBadWorksheets)
{
    FakeOffice office;
    office.spreadsheetStarts = false;
    const platform::AutomationServersInstall install(office);
    TExStringGrid g;
    g.SetGridCell(1, 1, QStringLiteral("kept"));
    const QStringList before = Snapshot(g);
    const std::function<void()> ops[] = {
        [&] { g.GetXLSSheets("b.xlsx"); },          [&] { g.LoadFromXLS("b.xlsx"); },
        [&] { g.LoadFromXLSSheet("b.xlsx", "A"); }, [&] { g.SaveToXLS("b.xlsx", true); },
        [&] { g.SaveToXLSSheet("b.xlsx", "A"); },
    };
    for (const auto& op : ops) {
        try {
            op();
            ADD_FAILURE() << "no error";
        } catch (const REruVidaZuvez& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Excel OLE server not found"));
        }
        EXPECT_EQ(Snapshot(g), before);
    }

    // Used ranges that make no sense, and arrays that do not cover them.
    office.spreadsheetStarts = true;
    for (const char* address : {"$A:$C", "$D$10:$A$1", "$A$1:$XFD$5", "1:99999999"}) {
        FakeWorkbook b;
        b.sheets = {FakeOffice::Sheet("S")};
        b.sheets[0]->usedRange = QString::fromLatin1(address);
        office.workbookFiles["bad.xlsx"] = b;
        try {
            g.LoadFromXLS("bad.xlsx");
            ADD_FAILURE() << address << ": no error";
        } catch (const REruVidaZuvez& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Incorrect XLS file")) << address;
        }
        EXPECT_EQ(Snapshot(g), before) << address;
    }
}

TEST(XLSFailures, TheSystemHasNoSpreadsheetServer)
{
    TExStringGrid g;
    g.SetGridCell(1, 1, QStringLiteral("kept"));
    const QStringList before = Snapshot(g);
    try {
        g.LoadFromXLS(QStringLiteral("/tmp/none.xlsx"));
        FAIL() << "no error";
    } catch (const REruVidaZuvez& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Excel OLE server not found"));
    }
    EXPECT_THROW(g.SaveToXLSSheet(QStringLiteral("/tmp/none.xlsx"), QStringLiteral("S")), REruVidaZuvez);
    EXPECT_EQ(Snapshot(g), before);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
