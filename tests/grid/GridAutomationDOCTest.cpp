#include "ExGridExchangeTestSupport.h"
#include "GridAutomationTestSupport.h"

#include "grid/ExGrid_Automation.h"

#include <gtest/gtest.h>

using namespace automation_test;
using namespace exchange_test;
using namespace exgrid_automation;
using Kind = AutomationValue::Kind;

namespace {

struct DOCFixture : ::testing::Test
{
    FakeOffice office;
    platform::AutomationServersInstall install{office};
    TExStringGrid grid;

    void TearDown() override { EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "the hourglass stayed"; }

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
};

} // namespace

// ---------------------------------------------------------------------------
// Document export
// ---------------------------------------------------------------------------

TEST_F(DOCFixture, GridBecomesATableAtTheStartOfANewDocument)
{
    Fill(2, 3);
    grid.SetFixedRows(1); // fixed cells go into the table too
    grid.OnGetAlignment = [](QObject*, int aRow, int aCol, platform::TAlignment& h, TVAlignment&) {
        if (aCol == 1)
            h = aRow == 2 ? platform::taCenter : platform::taRightJustify;
    };
    grid.SaveToDOC(QStringLiteral("t.doc"), true);
    EXPECT_EQ(office.calls.mid(0, 10),
              (QStringList{"GetActiveObject(word.application)", "CreateObject(word.application)", "Documents.Add()",
                           "ShowSpellingErrors(false)", "Selection.TypeText()", "Selection.TypeParaGraph()",
                           "Range(0,0)", "Tables.Add(3,2)", "Cell.Range.InsertAfter(1,1)",
                           "Cell.Range.InsertAfter(1,2)"}));
    EXPECT_EQ(office.calls.mid(office.calls.size() - 2), (QStringList{"SaveAs(t.doc)", "Quit()"}));
    EXPECT_TRUE(office.withoutHourglass.isEmpty());
    ASSERT_EQ(office.documentFiles.count("t.doc"), 1u);
    const FakeDocument& d = office.documentFiles.at("t.doc");
    EXPECT_FALSE(d.spelling);
    ASSERT_EQ(d.tables.size(), 1u);
    const FakeTable& t = d.tables[0];
    EXPECT_EQ(t.at, QStringLiteral("0-0"));
    EXPECT_EQ(t.rows, 3);
    EXPECT_EQ(t.cols, 2);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 2; ++c)
            EXPECT_EQ(t.text.at({r, c}), QStringLiteral("%1,%2").arg(c - 1).arg(r - 1));
    const std::map<CellKey, int> alignment{{{1, 2}, 2}, {{2, 2}, 2}, {{3, 2}, 1}};
    EXPECT_EQ(t.alignment, alignment);
}

TEST_F(DOCFixture, AwkwardCellsReachTheTableAsTheyAre)
{
    FillAwkward(grid);
    grid.setWindowTitle(QStringLiteral("Caption Ω"));
    grid.SaveToDOC(QStringLiteral("a.doc"), true);
    const FakeDocument& d = office.documentFiles.at("a.doc");
    EXPECT_EQ(d.typed, QStringLiteral("Caption Ω\r"));
    const auto texts = AwkwardTexts();
    for (int r = 0; r < static_cast<int>(texts.size()); ++r) {
        EXPECT_EQ(d.tables[0].text.at({r + 1, 2}), texts[r].text) << texts[r].why;
        EXPECT_EQ(d.tables[0].text.at({r + 1, 3}), QString()) << texts[r].why;
    }
}

TEST_F(DOCFixture, WhichDocument)
{
    Fill(1, 1);
    // A running word processor with an open document: that document, left running.
    office.wordRunning = true;
    office.openDocuments.push_back(std::make_shared<FakeDocument>());
    grid.SaveToDOC(QStringLiteral("active.doc"), false);
    EXPECT_TRUE(office.Called("ActiveDocument"));
    EXPECT_FALSE(office.Called("Documents.Add"));
    EXPECT_FALSE(office.Called("Quit"));
    EXPECT_EQ(office.openDocuments.size(), 1u);

    // Without an open document, a new one.
    office.calls.clear();
    office.openDocuments.clear();
    grid.SaveToDOC(QStringLiteral("new.doc"), false);
    EXPECT_TRUE(office.Called("Documents.Add"));
    EXPECT_FALSE(office.Called("ActiveDocument"));
}

TEST_F(DOCFixture, AppendAtABookmarkOrAtTheEnd)
{
    FakeDocument existing;
    existing.bookmarks << QStringLiteral("here");
    existing.tables.push_back(FakeTable{QStringLiteral("old"), 1, 1, {}, {}});
    office.documentFiles["report.doc"] = existing;
    Fill(2, 2);

    grid.AppendToDoc(QStringLiteral("report.doc"), QStringLiteral("here"));
    EXPECT_EQ(office.calls, (QStringList{"GetActiveObject(word.application)", "CreateObject(word.application)",
                                         "Documents.Open(report.doc)", "ShowSpellingErrors(false)",
                                         "Selection.TypeText()", "Selection.TypeParaGraph()",
                                         "Bookmarks.Exists(here)", "Goto(-1,here)", "Tables.Add(2,2)",
                                         "Cell.Range.InsertAfter(1,1)", "Cell.Range.InsertAfter(1,2)",
                                         "Cell.Range.InsertAfter(2,1)", "Cell.Range.InsertAfter(2,2)",
                                         "SaveAs(report.doc)", "Quit()"}));
    ASSERT_EQ(office.documentFiles.at("report.doc").tables.size(), 2u);
    EXPECT_EQ(office.documentFiles.at("report.doc").tables[0].at, QStringLiteral("old"));
    EXPECT_EQ(office.documentFiles.at("report.doc").tables[1].at, QStringLiteral("bookmark here"));

    // A bookmark that does not exist: a paragraph at the end and the table after it.
    office.calls.clear();
    grid.AppendToDoc(QStringLiteral("report.doc"), QStringLiteral("nowhere"));
    const QStringList expected{"Bookmarks.Exists(nowhere)", "Paragraphs.Add()", "Selection.Goto(3,-1)",
                               "Selection.End()", "Range(57,57)", "Tables.Add(2,2)"};
    EXPECT_EQ(office.calls.mid(6, 6), expected);
    ASSERT_EQ(office.documentFiles.at("report.doc").tables.size(), 3u);
    EXPECT_EQ(office.documentFiles.at("report.doc").tables[2].at, QStringLiteral("57-57"));
}

TEST(DOCFailures, EveryFailingStepIsReported)
{
    const auto setUp = [](FakeOffice& o) {
        FakeDocument d;
        d.bookmarks << QStringLiteral("b");
        o.documentFiles["in.doc"] = d;
    };
    struct Op
    {
        const char* name;
        std::function<void(TExStringGrid&)> run;
        const char* file;
    };
    const Op ops[] = {
        {"SaveToDOC", [](TExStringGrid& g) { g.SaveToDOC("out.doc", true); }, "out.doc"},
        {"AppendToDoc at a bookmark", [](TExStringGrid& g) { g.AppendToDoc("in.doc", "b"); }, "in.doc"},
        {"AppendToDoc at the end", [](TExStringGrid& g) { g.AppendToDoc("in.doc", "x"); }, "in.doc"},
    };
    for (const Op& op : ops) {
        QStringList log;
        {
            FakeOffice office;
            setUp(office);
            const platform::AutomationServersInstall install(office);
            TExStringGrid g;
            g.SetColCount(2);
            g.SetRowCount(2);
            g.OnGetAlignment = [](QObject*, int, int, platform::TAlignment& h, TVAlignment&) {
                h = platform::taRightJustify;
            };
            op.run(g);
            log = office.calls;
        }
        for (int k = 0; k < log.size(); ++k) {
            FakeOffice office;
            setUp(office);
            office.failAtIndex = k;
            const platform::AutomationServersInstall install(office);
            TExStringGrid g;
            g.SetColCount(2);
            g.SetRowCount(2);
            g.OnGetAlignment = [](QObject*, int, int, platform::TAlignment& h, TVAlignment&) {
                h = platform::taRightJustify;
            };
            const QString member = log[k].left(log[k].indexOf(u'('));
            const std::string why = op.name + (": failing " + log[k]).toStdString();
            bool threw = false;
            try {
                op.run(g);
            } catch (const REruVidaZuvez&) {
                threw = true;
            } catch (const AutomationError&) {
                threw = true;
            }
            // Ending the application, and a failing look for a running one, fail nothing.
            const bool harmless = member == QStringLiteral("Quit") || member == QStringLiteral("GetActiveObject");
            EXPECT_EQ(threw, !harmless) << why;
            if (threw && member != QStringLiteral("SaveAs")) {
                const auto f = office.documentFiles.find(QString::fromLatin1(op.file));
                EXPECT_TRUE(f == office.documentFiles.end() || f->second.tables.empty()) << why;
            }
            if (member != QStringLiteral("CreateObject")) {
                EXPECT_TRUE(office.Called("Quit")) << why;
            }
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << why;
            EXPECT_TRUE(office.withoutHourglass.isEmpty()) << why;
        }
    }
}

TEST(DOCFailures, MissingWordProcessor)
{
    for (bool installed : {true, false}) {
        FakeOffice office;
        office.wordStarts = false;
        std::optional<platform::AutomationServersInstall> install;
        if (installed)
            install.emplace(office);
        TExStringGrid g;
        for (const auto& op : std::vector<std::function<void()>>{[&] { g.SaveToDOC("x.doc", true); },
                                                                 [&] { g.AppendToDoc("x.doc", "b"); }}) {
            try {
                op();
                ADD_FAILURE() << "no error";
            } catch (const REruVidaZuvez& e) {
                EXPECT_EQ(e.Message(), QStringLiteral("Word OLE server not found"));
            }
            EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        }
    }
}

// ---------------------------------------------------------------------------
// Database import
// ---------------------------------------------------------------------------

TEST(MDBQuery, TableNamesStayOneQuotedName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Meters", "SELECT * FROM `Meters`"},
        {"Meter list", "SELECT * FROM `Meter list`"},
        {"x; DROP TABLE y", "SELECT * FROM `x; DROP TABLE y`"},
        {"a`; DELETE FROM b; --", "SELECT * FROM `a``; DELETE FROM b; --`"},
        {"``", "SELECT * FROM ``````"},
        {"[Zähler]", "SELECT * FROM `[Zähler]`"},
        {"it's \"q\"", "SELECT * FROM `it's \"q\"`"},
        {"", "SELECT * FROM ``"},
    };
    for (const auto& [table, query] : cases) {
        FakeOffice office;
        const platform::AutomationServersInstall install(office);
        TExStringGrid g;
        g.LoadFromMDBTable(QStringLiteral("db.mdb"), QString::fromUtf8(table));
        EXPECT_EQ(office.source, QString::fromUtf8(query)) << table;
    }
}

TEST(MDBQuery, ConnectionStringKeepsTheFileNameOneValue)
{
    const std::pair<const char*, const char*> cases[] = {
        {"C:/data/meters.mdb", "Driver={Microsoft Access Driver (*.mdb)};DBQ=C:/data/meters.mdb"},
        {"/home/u/Zähler Ω.mdb", "Driver={Microsoft Access Driver (*.mdb)};DBQ=/home/u/Zähler Ω.mdb"},
        {"/tmp/a;PWD=x.mdb", "Driver={Microsoft Access Driver (*.mdb)};DBQ={/tmp/a;PWD=x.mdb}"},
        {"/tmp/b}.mdb", "Driver={Microsoft Access Driver (*.mdb)};DBQ={/tmp/b}}.mdb}"},
        {" lead.mdb", "Driver={Microsoft Access Driver (*.mdb)};DBQ={ lead.mdb}"},
    };
    for (const auto& [file, expected] : cases)
        EXPECT_EQ(DatabaseConnectionString(QString::fromUtf8(file)), QString::fromUtf8(expected)) << file;
}

namespace {

FakeQueryResult MetersTable()
{
    FakeQueryResult q;
    q.fields = QStringList{"Id", "Name", "Value", "Read"};
    for (int i = 0; i < 10; ++i) {
        const QString name = QStringLiteral("meter %1").arg(i);
        q.records.push_back({{4, AutomationValue::OfNumber(i)},
                             {static_cast<int>(name.size()), AutomationValue::OfText(name)},
                             {8, AutomationValue::OfNumber(i + 0.5)},
                             {1, AutomationValue::OfBoolean(i % 2 == 0)}});
    }
    return q;
}

} // namespace

TEST(MDBQuery, FieldsAndRecordsFillTheGrid)
{
    FakeOffice office;
    office.query = MetersTable();
    const platform::AutomationServersInstall install(office);
    TExStringGrid g; // one fixed row and column
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetGridCell(0, 1, QStringLiteral("fixed text stays"));
    int changed = 0;
    g.OnCellsChanged = [&changed](QObject*, const platform::TRect&) { ++changed; };
    g.LoadFromMDBTable(QStringLiteral("db.mdb"), QStringLiteral("Meters"));
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.RowCount(), 11);
    EXPECT_EQ((QStringList{g.GetGridCell(1, 0), g.GetGridCell(2, 0), g.GetGridCell(3, 0), g.GetGridCell(4, 0)}),
              (QStringList{"Id", "Name", "Value", "Read"}));
    EXPECT_EQ(g.GetGridCell(0, 1), QStringLiteral("fixed text stays"));
    for (int r = 1; r <= 10; ++r) {
        EXPECT_EQ(g.GetGridCell(1, r), QString::number(r - 1));
        EXPECT_EQ(g.GetGridCell(2, r), QStringLiteral("meter %1").arg(r - 1));
        EXPECT_EQ(g.GetGridCell(4, r), (r - 1) % 2 == 0 ? QStringLiteral("True") : QStringLiteral("False"));
    }
    // Nothing is announced and no cursor is shown during the import.
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(office.withoutHourglass.size(), office.calls.size());
    EXPECT_EQ(office.calls.mid(0, 6),
              (QStringList{"CreateObject(ADODB.Connection)",
                           "Connection.Open(Driver={Microsoft Access Driver (*.mdb)};DBQ=db.mdb)",
                           "CreateObject(ADODB.RecordSet)", "RecordSet.ActiveConnection()",
                           "RecordSet.Open(SELECT * FROM `Meters`)", "Fields.Count()"}));
    EXPECT_EQ(office.calls.mid(office.calls.size() - 2), (QStringList{"RecordSet.Close()", "Connection.Close()"}));
}

TEST(MDBQuery, AwkwardAndMissingValues)
{
    FakeOffice office;
    office.query.fields = QStringList{"Text"};
    const auto texts = AwkwardTexts();
    for (const AwkwardText& t : texts)
        office.query.records.push_back({{static_cast<int>(t.text.size()), AutomationValue::OfText(t.text)}});
    office.query.records.push_back({{-1, AutomationValue::OfKind(Kind::Null)}});            // NULL
    office.query.records.push_back({{0, AutomationValue::OfText(QString())}});               // empty
    office.query.records.push_back({{0, AutomationValue::OfText(QStringLiteral("stale"))}}); // size rules
    const platform::AutomationServersInstall install(office);
    TExStringGrid g;
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(2);
    g.SetRowCount(static_cast<int>(texts.size()) + 3);
    for (int r = 0; r < g.RowCount(); ++r)
        g.SetGridCell(0, r, QStringLiteral("old"));
    g.LoadFromMDBSQL(QStringLiteral("db.mdb"), QStringLiteral("SELECT Text FROM T"));
    EXPECT_EQ(g.ColCount(), 1);
    for (int r = 0; r < static_cast<int>(texts.size()); ++r)
        EXPECT_EQ(g.GetGridCell(0, r), texts[r].text) << texts[r].why;
    for (int r = static_cast<int>(texts.size()); r < g.RowCount(); ++r)
        EXPECT_EQ(g.GetGridCell(0, r), QString()) << r;
}

TEST(MDBQuery, UnknownRecordCount)
{
    FakeOffice office;
    office.query = MetersTable();
    office.query.records.resize(3);
    office.query.countKnown = false;
    const platform::AutomationServersInstall install(office);
    // The grid keeps its rows when the count is not known, and cells
    // outside the loaded ones keep their texts.
    TExStringGrid big;
    big.SetColCount(6);
    big.SetRowCount(20);
    big.SetGridCell(1, 15, QStringLiteral("kept"));
    big.LoadFromMDBTable(QStringLiteral("db.mdb"), QStringLiteral("Meters"));
    EXPECT_EQ(big.RowCount(), 20);
    EXPECT_EQ(big.ColCount(), 5);
    EXPECT_EQ(big.GetGridCell(1, 15), QStringLiteral("kept"));
    EXPECT_EQ(big.GetGridCell(2, 3), QStringLiteral("meter 2"));
    // ... and grows a row for every record that would not fit.
    TExStringGrid small;
    small.SetRowCount(2);
    small.LoadFromMDBTable(QStringLiteral("db.mdb"), QStringLiteral("Meters"));
    EXPECT_EQ(small.RowCount(), 4);
    EXPECT_EQ(small.GetGridCell(2, 3), QStringLiteral("meter 2"));
    // Without fixed rows the field names go nowhere.
    TExStringGrid plain;
    plain.SetFixedRows(0);
    plain.SetFixedCols(0);
    plain.SetRowCount(1);
    plain.LoadFromMDBTable(QStringLiteral("db.mdb"), QStringLiteral("Meters"));
    EXPECT_EQ(plain.RowCount(), 3);
    EXPECT_EQ(plain.GetGridCell(1, 0), QStringLiteral("meter 0"));
}

TEST(MDBQuery, EveryFailingStepLeavesTheGridAsItWas)
{
    QStringList log;
    {
        FakeOffice office;
        office.query = MetersTable();
        office.query.records.resize(2);
        const platform::AutomationServersInstall install(office);
        TExStringGrid g;
        g.LoadFromMDBTable(QStringLiteral("db.mdb"), QStringLiteral("Meters"));
        log = office.calls;
    }
    for (int k = 0; k < log.size(); ++k) {
        FakeOffice office;
        office.query = MetersTable();
        office.query.records.resize(2);
        office.failAtIndex = k;
        const platform::AutomationServersInstall install(office);
        TExStringGrid g;
        g.SetGridCell(1, 1, QStringLiteral("before"));
        const QStringList before = Snapshot(g);
        const QString member = log[k].left(log[k].indexOf(u'('));
        const std::string why = "failing " + log[k].toStdString();
        // Closing after the last record fails nothing.
        if (member.endsWith(QStringLiteral(".Close"))) {
            EXPECT_NO_THROW(g.LoadFromMDBTable(QStringLiteral("db.mdb"), QStringLiteral("Meters"))) << why;
            EXPECT_EQ(g.RowCount(), 3) << why;
            continue;
        }
        EXPECT_THROW(g.LoadFromMDBTable(QStringLiteral("db.mdb"), QStringLiteral("Meters")), AutomationError)
            << why;
        EXPECT_EQ(Snapshot(g), before) << why;
        // What was opened is closed again.
        if (office.calls.contains(QStringLiteral("RecordSet.Open(SELECT * FROM `Meters`)")) &&
            member != QStringLiteral("RecordSet.Open")) {
            EXPECT_TRUE(office.Called("RecordSet.Close")) << why;
        }
        const qsizetype opened =
            log.indexOf(QStringLiteral("Connection.Open(Driver={Microsoft Access Driver (*.mdb)};DBQ=db.mdb)"));
        if (opened < k) {
            EXPECT_TRUE(office.Called("Connection.Close")) << why;
        }
    }
}

TEST(MDBQuery, TheSystemHasNoDataAccessObjects)
{
    TExStringGrid g;
    g.SetGridCell(1, 1, QStringLiteral("kept"));
    const QStringList before = Snapshot(g);
    try {
        g.LoadFromMDBTable(QStringLiteral("/tmp/none.mdb"), QStringLiteral("T"));
        FAIL() << "no error";
    } catch (const AutomationError& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("ADODB.Connection"))) << e.what();
        EXPECT_TRUE(e.Message().contains(QStringLiteral("not available"))) << e.what();
    }
    EXPECT_EQ(Snapshot(g), before);
}
