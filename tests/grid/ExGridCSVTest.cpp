#include "ExGridExchangeTestSupport.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace exchange_test;

namespace {

struct CSVFixture : ::testing::Test
{
    QTemporaryDir dir;
    TExStringGrid grid;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    void Row(const QStringList& texts)
    {
        grid.SetFixedRows(0);
        grid.SetFixedCols(0);
        grid.SetRowCount(1);
        grid.SetColCount(static_cast<int>(texts.size()));
        for (int c = 0; c < texts.size(); ++c)
            grid.SetGridCell(c, 0, texts[c]);
    }

    // A fresh grid without fixed cells that reads the file.
    std::unique_ptr<TExStringGrid> Load(const QString& path)
    {
        auto g = std::make_unique<TExStringGrid>();
        g->SetFixedRows(0);
        g->SetFixedCols(0);
        g->SetMultilinecells(true);
        g->SetColCount(1);
        g->SetRowCount(1);
        g->LoadFromCSV(path);
        return g;
    }
};

} // namespace

TEST_F(CSVFixture, FieldsAreQuotedByOneRule)
{
    struct Case
    {
        const char* why;
        QString cell;
        QByteArray written;
    };
    const Case cases[] = {
        {"plain", QStringLiteral("abc"), "abc"},
        {"quote inside", QStringLiteral("a\"b"), "\"a\"\"b\""},
        {"delimiter inside", QStringLiteral("1,5"), "\"1,5\""},
        {"CR LF as character 11", QStringLiteral("x\r\ny"), "\"x\x0By\""},
        {"lone LF stays inside quotes", QStringLiteral("x\ny"), "\"x\ny\""},
        {"quotes and CR LF", QStringLiteral("\"q\"\r\nr"), "\"\"\"q\"\"\x0Br\""},
        {"empty", QString(), "\"\""},
        {"leading blank", QStringLiteral(" lead"), "\" lead\""},
        {"negative number", QStringLiteral("-12"), "-12"},
    };
    for (const Case& c : cases) {
        Row({c.cell, QStringLiteral("z")});
        grid.SaveToCSV(Path("one.csv"));
        EXPECT_EQ(ReadAll(Path("one.csv")), c.written + ",z\r\n") << c.why;
        const auto back = Load(Path("one.csv"));
        EXPECT_EQ(back->GetGridCell(0, 0), c.cell) << c.why;
        EXPECT_EQ(back->GetGridCell(1, 0), QStringLiteral("z")) << c.why;
        EXPECT_EQ(back->RowCount(), 1) << c.why;
    }
}

TEST_F(CSVFixture, SettingsChangeTheWrittenBytes)
{
    Row({QStringLiteral("x\r\ny"), QString(), QStringLiteral("a b")});
    grid.SetAlwaysQuotes(true);
    grid.SaveToCSV(Path("always.csv"));
    // CR LF is character 11 inside quotes here too, so that the row stays one line.
    EXPECT_EQ(ReadAll(Path("always.csv")), QByteArray("\"x\x0By\",\"\",\"a b\"\r\n"));
    grid.SetAlwaysQuotes(false);
    grid.SetQuoteEmptyCells(false);
    grid.SetDelimiter(u';');
    grid.SaveToCSV(Path("semi.csv"), true);
    EXPECT_EQ(ReadAll(Path("semi.csv")), QByteArray("\xEF\xBB\xBF\"x\x0By\";;a b\r\n"));
    grid.SetDelimiter(QChar());
    grid.SetJavaCSV(true);
    grid.SaveToCSV(Path("java.csv"));
    EXPECT_EQ(ReadAll(Path("java.csv")), QByteArray("x~y,^,a b\r\n"));
    auto back = std::make_unique<TExStringGrid>();
    back->SetFixedRows(0);
    back->SetFixedCols(0);
    back->SetJavaCSV(true);
    back->SetMultilinecells(true);
    back->LoadFromCSV(Path("java.csv"));
    EXPECT_EQ(back->GetGridCell(0, 0), QStringLiteral("x\r\ny"));
    EXPECT_EQ(back->GetGridCell(1, 0), QString());
}

TEST_F(CSVFixture, AwkwardCellsRoundTripWithEveryDelimiter)
{
    const auto texts = AwkwardTexts();
    for (QChar d : {QChar(), QChar(u','), QChar(u';'), QChar(u'\t'), QChar(u'|')}) {
        FillAwkward(grid);
        grid.SetGridCell(2, 0, QStringLiteral("third"));
        grid.SetDelimiter(d);
        grid.SaveToCSV(Path("awkward.csv"), true);
        grid.SetDelimiter(QChar());
        auto back = std::make_unique<TExStringGrid>();
        back->SetFixedRows(0);
        back->SetFixedCols(0);
        back->SetMultilinecells(true);
        back->SetColCount(1);
        back->SetDelimiter(d);
        back->LoadFromCSV(Path("awkward.csv"));
        ASSERT_EQ(back->RowCount(), static_cast<int>(texts.size())) << int(d.unicode());
        EXPECT_EQ(back->ColCount(), 3);
        for (int r = 0; r < back->RowCount(); ++r) {
            EXPECT_EQ(back->GetGridCell(0, r), QString::number(r));
            EXPECT_EQ(back->GetGridCell(1, r), texts[r].text) << texts[r].why << " d=" << int(d.unicode());
        }
        EXPECT_EQ(back->Delimiter(), d);
    }
}

TEST_F(CSVFixture, DelimiterDetection)
{
    struct Case
    {
        const char* why;
        QByteArray file;
        int columns;
    };
    const Case cases[] = {
        {"semicolons win over a comma inside", "a;b;c,d\r\n1;2;3\r\n", 3},
        {"second rule: plain counts", "a,b\r\n1,,2\r\n", 3},
        {"signs and dashes are no delimiters", "-1,2024-01-02\r\n+3,-4\r\n", 2},
        {"only dashes: one field per line", "2024-01-02\r\n2024-01-03\r\n", 1},
        {"tabs", "a\tb\r\n1\t2\r\n", 2},
        {"no candidate at all", "abc\r\ndef\r\n", 1},
    };
    for (const Case& c : cases) {
        WriteAll(Path("d.csv"), c.file);
        const auto back = Load(Path("d.csv"));
        EXPECT_EQ(back->ColCount(), c.columns) << c.why;
        EXPECT_EQ(back->RowCount(), 2) << c.why;
    }
    WriteAll(Path("d.csv"), "-1,2024-01-02\r\n");
    EXPECT_EQ(Load(Path("d.csv"))->GetGridCell(1, 0), QStringLiteral("2024-01-02"));
}

TEST_F(CSVFixture, ReadingRules)
{
    WriteAll(Path("r.csv"), "a,b,\r\n,x\r\n  \"q\" ,y\r\n1,2\r\n");
    auto back = Load(Path("r.csv"));
    EXPECT_EQ(back->ColCount(), 2) << "a line ending with the delimiter has no empty last cell";
    EXPECT_EQ(back->GetGridCell(0, 1), QString());
    EXPECT_EQ(back->GetGridCell(1, 1), QStringLiteral("x"));
    EXPECT_EQ(back->GetGridCell(0, 2), QStringLiteral("q"));

    TExStringGrid g;
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.LoadFromCSV(Path("r.csv"), 2);
    EXPECT_EQ(g.RowCount(), 2);
    g.SetLoadFirstRow(false);
    g.LoadFromCSV(Path("r.csv"), 1);
    EXPECT_EQ(g.GetGridCell(1, 0), QStringLiteral("x"));

    TExStringGrid five;
    five.SetFixedRows(0);
    five.SetFixedCols(0);
    five.SetRowCount(5);
    five.SetColCount(2);
    five.SetGridCell(0, 4, QStringLiteral("old"));
    five.InsertFromCSV(Path("r.csv"));
    EXPECT_EQ(five.RowCount(), 9);
    EXPECT_EQ(five.GetGridCell(0, 4), QStringLiteral("old"));
    EXPECT_EQ(five.GetGridCell(0, 5), QStringLiteral("a"));
}

// The grid is sized before the first row is stored, and progress counts the
// lines of the whole file (without a skipped first line), also those that
// MaxRows leaves unread.
TEST_F(CSVFixture, LoadingSizesOnceAndReportsProgressOfTheFile)
{
    WriteAll(Path("p.csv"), "h1,h2\r\n1,2\r\n3,4\r\n5,6\r\n7,8\r\n");
    struct Case { const char* why; bool firstRow; int maxRows; std::vector<int> reports; int rows; };
    const Case cases[] = {
        {"every line", true, 0, {20, 40, 60, 80, 100}, 5},
        {"first line skipped", false, 0, {25, 50, 75, 100}, 4},
        {"MaxRows stops early", true, 2, {20, 40}, 2},
    };
    for (const Case& c : cases) {
        TExStringGrid g;
        g.SetFixedRows(0);
        g.SetFixedCols(0);
        g.SetRowCount(1);
        g.SetLoadFirstRow(c.firstRow);
        std::vector<int> reports;
        std::vector<int> rowCounts;
        g.OnFileProgress = [&](QObject*, int16_t p) {
            reports.push_back(p);
            rowCounts.push_back(g.RowCount());
        };
        g.LoadFromCSV(Path("p.csv"), c.maxRows);
        EXPECT_EQ(reports, c.reports) << c.why;
        ASSERT_FALSE(rowCounts.empty()) << c.why;
        EXPECT_EQ(rowCounts.front(), c.rows) << c.why;
        EXPECT_EQ(g.RowCount(), c.rows) << c.why;
    }
}

TEST_F(CSVFixture, StreamReadsFromItsPosition)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    buffer.write("skip\"a\",b\r\n");
    buffer.seek(4);
    TExStringGrid g;
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.LoadFromCSVStream(buffer);
    EXPECT_EQ(g.GetGridCell(0, 0), QStringLiteral("a"));
    EXPECT_EQ(g.GetGridCell(1, 0), QStringLiteral("b"));
}

TEST_F(CSVFixture, DamagedFiles)
{
    struct Case
    {
        const char* why;
        QByteArray file;
        bool fails;
    };
    QByteArray wide(200000, ',');
    const Case cases[] = {
        {"empty file leaves the grid", "", false},
        {"byte-order mark only", "\xEF\xBB\xBF", true},
        {"unterminated quote", "\"abc,def\r\nx,y\r\n", false},
        {"quote at the very end", "a,\"", false},
        {"stray quotes", "a\"b,\"c\"d\"\r\n", false},
        {"lone CRs", "\r\r\r", false},
        {"NUL bytes", QByteArray("a\0b,c", 5), false},
        {"far too many columns", "x" + wide + "\r\n", true},
        {"truncated UTF-16", QByteArray("\xFF\xFE" "a\0,", 5), false},
    };
    for (const Case& c : cases) {
        TExStringGrid g;
        g.SetColCount(4);
        g.SetRowCount(3);
        g.SetGridCell(1, 1, QStringLiteral("keep"));
        const QStringList before = Snapshot(g);
        WriteAll(Path("bad.csv"), c.file);
        if (c.fails) {
            EXPECT_ANY_THROW(g.LoadFromCSV(Path("bad.csv"))) << c.why;
            EXPECT_EQ(Snapshot(g), before) << c.why;
        } else {
            EXPECT_NO_THROW(g.LoadFromCSV(Path("bad.csv"))) << c.why;
        }
        if (c.file.isEmpty()) {
            EXPECT_EQ(Snapshot(g), before) << c.why;
        }
    }
    TExStringGrid g;
    WriteAll(Path("u.csv"), "\"abc,def\r\nx,y\r\n");
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.LoadFromCSV(Path("u.csv"));
    EXPECT_EQ(g.GetGridCell(0, 0), QString()) << "a quote that never closes reads as an empty field";
    EXPECT_EQ(g.GetGridCell(1, 0), QStringLiteral("def"));
    EXPECT_EQ(g.GetGridCell(1, 1), QStringLiteral("y"));
    EXPECT_ANY_THROW(g.LoadFromCSV(Path("missing.csv")));
    EXPECT_ANY_THROW(g.AppendToCSV(Path("missing.csv")));
}

TEST_F(CSVFixture, AppendAddsAfterTheOldLines)
{
    WriteAll(Path("app.csv"), "old,line\r\n");
    Row({QStringLiteral("new"), QStringLiteral("1")});
    grid.AppendToCSV(Path("app.csv"));
    EXPECT_EQ(ReadAll(Path("app.csv")), QByteArray("old,line\r\nnew,1\r\n"));
}
