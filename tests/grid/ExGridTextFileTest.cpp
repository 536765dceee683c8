#include "ExGridExchangeTestSupport.h"

#include "grid/ExGrid_Exchange.h"
#include "widgets/ExUtil.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace exchange_test;

namespace {

struct TextFileFixture : ::testing::Test
{
    QTemporaryDir dir;
    TExStringGrid grid;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

// A 3 x 2 grid with widths 10, 20, 30 and two cells.
void FillSmall(TExStringGrid& g)
{
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(3);
    g.SetRowCount(2);
    g.SetColWidths(0, 10);
    g.SetColWidths(1, 20);
    g.SetColWidths(2, 30);
    g.SetGridCell(0, 0, QStringLiteral("a"));
    g.SetGridCell(2, 1, QStringLiteral("x,y\r\nz"));
}

} // namespace

TEST_F(TextFileFixture, FileBytesAreTheLayoutLines)
{
    FillSmall(grid);
    const QString expected = QStringLiteral("3,2\r\ncw 0,10\r\ncw 1,20\r\ncw 2,30\r\n0,0,a\r\n2,1,x,y\t\bz\r\n");
    grid.SaveToFile(Path("ansi.txt"), false);
    EXPECT_EQ(ReadAll(Path("ansi.txt")), expected.toLatin1());
    grid.SaveToFile(Path("wide.txt"), true);
    EXPECT_EQ(ReadAll(Path("wide.txt")), QByteArray("\xFF\xFE", 2) + Utf16Le(expected));
}

TEST_F(TextFileFixture, StreamBytesAreRelativeUtf16Lines)
{
    FillSmall(grid);
    grid.SetFixedRows(1);
    grid.SetFixedCols(1);
    grid.SetSaveFixedCells(false);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    grid.SaveToStream(buffer);
    // The saved range starts at (1, 1): cell (2, 1) is (1, 0) in the stream.
    const QString expected = QStringLiteral("2,1\r\ncw 0,10\r\ncw 1,20\r\ncw 2,30\r\n1,0,x,y\t\bz\r\n");
    EXPECT_EQ(buffer.data(), Utf16Le(expected));
}

TEST(TextLayoutPacking, EveryAwkwardTextComesBack)
{
    std::vector<AwkwardText> texts = AwkwardTexts();
    texts.push_back({"NUL with line break", QStringLiteral("n") + QChar(char16_t(0)) + QStringLiteral("\r\n")});
    texts.push_back({"backspace alone", QStringLiteral("b\bc")});
    for (const AwkwardText& t : texts) {
        const QString packed = PackLineBreaks(t.text);
        EXPECT_FALSE(packed.contains(u'\r') || packed.contains(u'\n')) << t.why;
        EXPECT_EQ(UnpackLineBreaks(packed, true), t.text) << t.why;
    }
    // Texts as the layout has always written them read as before.
    EXPECT_EQ(UnpackLineBreaks(QStringLiteral("x\t\by"), true), QStringLiteral("x\r\ny"));
    EXPECT_EQ(UnpackLineBreaks(QStringLiteral("x\t\by"), false), QStringLiteral("x"));
    EXPECT_EQ(PackLineBreaks(QStringLiteral("x\r\ny")), QStringLiteral("x\t\by"));
    EXPECT_EQ(PackLineBreaks(QStringLiteral("plain\ttab")), QStringLiteral("plain\ttab"));
}

TEST_F(TextFileFixture, AwkwardCellsRoundTripThroughFileAndStream)
{
    FillAwkward(grid);
    grid.SetColWidths(2, 77);
    grid.SaveToFile(Path("awkward.txt"), true);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    grid.SaveToStream(buffer);

    // AssignCells copies through the same stream.
    TExStringGrid fromFile, fromStream, assigned;
    for (TExStringGrid* g : {&fromFile, &fromStream, &assigned}) {
        g->SetFixedRows(0);
        g->SetFixedCols(0);
        g->SetMultilinecells(true);
    }
    fromFile.LoadFromFile(Path("awkward.txt"));
    buffer.seek(0);
    fromStream.LoadFromStream(buffer);
    int loadHookCalls = 0;
    assigned.OnLoadCell = [&](QObject*, int, int, QString&) { ++loadHookCalls; };
    assigned.AssignCells(&grid);
    EXPECT_GT(loadHookCalls, 0);
    const auto texts = AwkwardTexts();
    for (TExStringGrid* g : {&fromFile, &fromStream, &assigned}) {
        ASSERT_EQ(g->RowCount(), static_cast<int>(texts.size()));
        ASSERT_EQ(g->ColCount(), 3);
        EXPECT_EQ(g->ColWidths(2), 77);
        for (int r = 0; r < g->RowCount(); ++r) {
            EXPECT_EQ(g->GetGridCell(0, r), QString::number(r));
            EXPECT_EQ(g->GetGridCell(1, r), texts[r].text) << texts[r].why;
        }
    }
}

TEST_F(TextFileFixture, HiddenColumnsTravelWhenAsked)
{
    grid.SetFixedRows(0);
    grid.SetFixedCols(0);
    grid.SetColCount(4);
    grid.SetRowCount(1);
    for (int c = 0; c < 4; ++c)
        grid.SetGridCell(c, 0, QStringLiteral("c%1").arg(c));
    grid.HideColumn(1);
    grid.SaveToFile(Path("shown.txt"));
    grid.SetSaveHiddenCells(true);
    grid.SaveToFile(Path("all.txt"));

    TExStringGrid shown, all;
    for (TExStringGrid* g : {&shown, &all}) {
        g->SetFixedRows(0);
        g->SetFixedCols(0);
    }
    shown.LoadFromFile(Path("shown.txt"));
    all.LoadFromFile(Path("all.txt"));
    EXPECT_EQ(shown.ColCount(), 3);
    EXPECT_EQ((QStringList{shown.GetGridCell(0, 0), shown.GetGridCell(1, 0), shown.GetGridCell(2, 0)}),
              (QStringList{"c0", "c2", "c3"}));
    ASSERT_EQ(all.ColCount(), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(all.GetGridCell(c, 0), QStringLiteral("c%1").arg(c));
}

TEST_F(TextFileFixture, DamagedFilesLeaveTheGridAsItWas)
{
    struct Case
    {
        const char* why;
        QByteArray bytes;
        bool fails;
    };
    const Case cases[] = {
        {"header is no number", "abc\r\n0,0,x\r\n", true},
        {"no columns", "0,3\r\n", true},
        {"no rows", "3,0\r\n", true},
        {"negative count", "-3,2\r\n", true},
        {"absurd size", "99999999,99999999\r\n", true},
        {"header without comma", "7\r\n", true},
        {"cell far outside", "2,2\r\n99999999999,1,x\r\n1,99999999999,y\r\n", false},
        {"negative cell", "2,2\r\n-1,0,x\r\n", false},
        {"truncated cell lines", "2,2\r\n1\r\n1,\r\n,\r\n", false},
        {"width line truncated", "2,2\r\ncw\r\ncw 1\r\ncw 1,\r\ncw 1,99999999999\r\n", false},
        {"truncated UTF-16", QByteArray("\xFF\xFE" "2\0,\0" "2", 7), true},
        {"binary noise", QByteArray("\x00\x01\x02\xFF\xFE\x0D", 6), true},
    };
    for (const Case& c : cases) {
        TExStringGrid g;
        g.SetColCount(4);
        g.SetRowCount(3);
        g.SetGridCell(1, 1, QStringLiteral("keep"));
        const QStringList before = Snapshot(g);
        WriteAll(Path("bad.txt"), c.bytes);
        if (c.fails) {
            EXPECT_THROW(g.LoadFromFile(Path("bad.txt")), REruVidaZuvez) << c.why;
            EXPECT_EQ(Snapshot(g), before) << c.why;
        } else {
            EXPECT_NO_THROW(g.LoadFromFile(Path("bad.txt"))) << c.why;
        }
    }
    EXPECT_THROW(grid.LoadFromFile(Path("missing.txt")), REruVidaZuvez);
}

TEST(TextLayoutStream, StopsAtForeignDataAndRewinds)
{
    TExStringGrid g;
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    const QByteArray layout = Utf16Le(QStringLiteral("2,1\r\ncw 0,40\r\n1,0,v\r\n"));
    buffer.write(layout + Utf16Le(QStringLiteral("other data\r\n")));
    buffer.seek(0);
    g.LoadFromStream(buffer);
    EXPECT_EQ(buffer.pos(), layout.size());
    EXPECT_EQ(g.GetGridCell(1, 0), QStringLiteral("v"));
    EXPECT_EQ(g.ColWidths(0), 40);
}

TEST(TextLayoutStream, BadNumbersFailWithoutChangingGridOrPosition)
{
    const QString streams[] = {
        QStringLiteral("2,x\r\n"),
        QStringLiteral("2,2\r\n1,0,a\r\n1z,0,b\r\n"),
        QStringLiteral("2,2\r\ncw 0,wide\r\n"),
        QStringLiteral("99999999,99999999\r\n"),
        QStringLiteral("0,1\r\n"),
    };
    for (const QString& s : streams) {
        TExStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(3);
        g.SetGridCell(1, 1, QStringLiteral("keep"));
        const QStringList before = Snapshot(g);
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        buffer.write(QByteArray("pre!") + Utf16Le(s));
        buffer.seek(4);
        EXPECT_THROW(g.LoadFromStream(buffer), REruVidaZuvez) << s.toStdString();
        EXPECT_EQ(buffer.pos(), 4);
        EXPECT_EQ(Snapshot(g), before) << s.toStdString();
    }
}

TEST_F(TextFileFixture, ProgressRunsFromZeroToHundredWithoutRepeats)
{
    grid.SetFixedRows(0);
    grid.SetRowCount(7);
    std::vector<int> seen;
    grid.OnFileProgress = [&](QObject*, int16_t p) { seen.push_back(p); };
    grid.SaveToFile(Path("p.txt"));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_NE(seen[i], seen[i - 1]);
}
