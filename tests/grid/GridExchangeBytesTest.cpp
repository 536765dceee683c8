// The bytes of the CSV and text-layout files for a grid of awkward cells
// (quotes, delimiters, line breaks, empty cells, characters beyond Latin-1,
// a lone surrogate), exactly as the grid writes them, and the grid read back
// from those files.
#include "ExGridExchangeTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

using namespace exchange_test;

namespace {

struct PinnedBytesFixture : ::testing::Test
{
    QTemporaryDir dir;
    TExStringGrid grid;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    PinnedBytesFixture()
    {
        FillAwkward(grid);
        grid.SetGridCell(2, 1, QStringLiteral("\u00E9;\"x\""));
        grid.SetGridCell(2, 3, QStringLiteral(" "));
        grid.SetGridCell(2, 4, QStringLiteral("a") + QChar(0xD800) + QStringLiteral("z"));
        grid.SetColWidths(1, 120);
    }
};

// The lines, each ended by CR LF; <W> and <V> stand for the long text's
// 5000 "w" and 3000 "v".
QByteArray FileOf(const std::vector<QByteArray>& lines)
{
    QByteArray out;
    for (QByteArray line : lines) {
        line.replace("<W>", QByteArray(5000, 'w'));
        line.replace("<V>", QByteArray(3000, 'v'));
        out += line + "\r\n";
    }
    return out;
}

// Every cell of the saved grid, but those named, comes back.
void ExpectSameCells(TExStringGrid& saved, TExStringGrid& back, const char* why,
                     std::vector<std::pair<int, int>> lossy = {})
{
    ASSERT_EQ(back.RowCount(), saved.RowCount()) << why;
    ASSERT_EQ(back.ColCount(), saved.ColCount()) << why;
    for (int r = 0; r < saved.RowCount(); ++r)
        for (int c = 0; c < saved.ColCount(); ++c)
            if (std::find(lossy.begin(), lossy.end(), std::make_pair(c, r)) == lossy.end()) {
                EXPECT_EQ(back.GetGridCell(c, r), saved.GetGridCell(c, r)) << why << " cell " << c << "," << r;
            }
}

std::unique_ptr<TExStringGrid> Reader()
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    g->SetMultilinecells(true);
    g->SetColCount(1);
    g->SetRowCount(1);
    return g;
}

} // namespace

TEST_F(PinnedBytesFixture, CsvBytes)
{
    struct Case
    {
        const char* why;
        QChar delimiter;
        bool alwaysQuotes;
        bool quoteEmpty;
        bool java;
        bool unicode;
        std::vector<QByteArray> lines;
    };
    const Case cases[] = {
        {"UTF-8, the defaults", QChar(), false, true, false, true, {
            "\xEF\xBB\xBF" "0,\"  lead\",\"\"",
            "1,\"trail  \",\"\xC3\xA9;\"\"x\"\"\"",
            "2,\"   \",\"\"",
            "3,\"a,b,c\",\" \"",
            "4,a;b|c,a?z",
            "5,\"say \"\"hi\"\"\",\"\"",
            "6,\"\"\"\",\"\"",
            "7,\"x\x0By\",\"\"",
            "8,\"x\x0Ay\",\"\"",
            "9,\"x\x0Dy\",\"\"",
            "10,\"end\x0B\",\"\"",
            "11,tab\x09here,\"\"",
            "12,\"t\x09x\x0By\",\"\"",
            "13,\"c\x01\x08\x1B[I\x0Bz\",\"\"",
            "14,\"\"\"q\"\"\x0B\"\"r\"\"\",\"\"",
            "15,\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\xBC\xA2\xE5\xAD\x97 \xD0\x96,\"\"",
            "16,-12.5,\"\"",
            "17,2024-01-02,\"\"",
            "18,+49 30 1234,\"\"",
            "19,\"cw 1,20\",\"\"",
            "20,\"<W>,\x0B<V>\",\"\"",
        }},
        {"ANSI: what Windows-1252 lacks becomes ?", QChar(), false, true, false, false, {
            "0,\"  lead\",\"\"",
            "1,\"trail  \",\"\xE9;\"\"x\"\"\"",
            "2,\"   \",\"\"",
            "3,\"a,b,c\",\" \"",
            "4,a;b|c,a?z",
            "5,\"say \"\"hi\"\"\",\"\"",
            "6,\"\"\"\",\"\"",
            "7,\"x\x0By\",\"\"",
            "8,\"x\x0Ay\",\"\"",
            "9,\"x\x0Dy\",\"\"",
            "10,\"end\x0B\",\"\"",
            "11,tab\x09here,\"\"",
            "12,\"t\x09x\x0By\",\"\"",
            "13,\"c\x01\x08\x1B[I\x0Bz\",\"\"",
            "14,\"\"\"q\"\"\x0B\"\"r\"\"\",\"\"",
            "15,????? ?? ?,\"\"",
            "16,-12.5,\"\"",
            "17,2024-01-02,\"\"",
            "18,+49 30 1234,\"\"",
            "19,\"cw 1,20\",\"\"",
            "20,\"<W>,\x0B<V>\",\"\"",
        }},
        {"semicolon, every field quoted", QChar(u';'), true, true, false, true, {
            "\xEF\xBB\xBF\"0\";\"  lead\";\"\"",
            "\"1\";\"trail  \";\"\xC3\xA9;\"\"x\"\"\"",
            "\"2\";\"   \";\"\"",
            "\"3\";\"a,b,c\";\" \"",
            "\"4\";\"a;b|c\";\"a?z\"",
            "\"5\";\"say \"\"hi\"\"\";\"\"",
            "\"6\";\"\"\"\";\"\"",
            "\"7\";\"x\x0By\";\"\"",
            "\"8\";\"x\x0Ay\";\"\"",
            "\"9\";\"x\x0Dy\";\"\"",
            "\"10\";\"end\x0B\";\"\"",
            "\"11\";\"tab\x09here\";\"\"",
            "\"12\";\"t\x09x\x0By\";\"\"",
            "\"13\";\"c\x01\x08\x1B[I\x0Bz\";\"\"",
            "\"14\";\"\"\"q\"\"\x0B\"\"r\"\"\";\"\"",
            "\"15\";\"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\xBC\xA2\xE5\xAD\x97 \xD0\x96\";\"\"",
            "\"16\";\"-12.5\";\"\"",
            "\"17\";\"2024-01-02\";\"\"",
            "\"18\";\"+49 30 1234\";\"\"",
            "\"19\";\"cw 1,20\";\"\"",
            "\"20\";\"<W>,\x0B<V>\";\"\"",
        }},
        {"tab, empty cells as nothing", QChar(u'\t'), false, false, false, true, {
            "\xEF\xBB\xBF" "0\x09\"  lead\"\x09",
            "1\x09\"trail  \"\x09\"\xC3\xA9;\"\"x\"\"\"",
            "2\x09\"   \"\x09",
            "3\x09" "a,b,c\x09\" \"",
            "4\x09" "a;b|c\x09" "a?z",
            "5\x09\"say \"\"hi\"\"\"\x09",
            "6\x09\"\"\"\"\x09",
            "7\x09\"x\x0By\"\x09",
            "8\x09\"x\x0Ay\"\x09",
            "9\x09\"x\x0Dy\"\x09",
            "10\x09\"end\x0B\"\x09",
            "11\x09\"tab\x09here\"\x09",
            "12\x09\"t\x09x\x0By\"\x09",
            "13\x09\"c\x01\x08\x1B[I\x0Bz\"\x09",
            "14\x09\"\"\"q\"\"\x0B\"\"r\"\"\"\x09",
            "15\x09\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\xBC\xA2\xE5\xAD\x97 \xD0\x96\x09",
            "16\x09-12.5\x09",
            "17\x09" "2024-01-02\x09",
            "18\x09+49 30 1234\x09",
            "19\x09" "cw 1,20\x09",
            "20\x09\"<W>,\x0B<V>\"\x09",
        }},
        {"Java: ^ for empty, ~ for a line break", QChar(), false, true, true, true, {
            "\xEF\xBB\xBF" "0,\"  lead\",^",
            "1,\"trail  \",\"\xC3\xA9;\"\"x\"\"\"",
            "2,\"   \",^",
            "3,\"a,b,c\",\" \"",
            "4,a;b|c,a?z",
            "5,\"say \"\"hi\"\"\",^",
            "6,\"\"\"\",^",
            "7,x~y,^",
            "8,xy,^",
            "9,x~y,^",
            "10,end~,^",
            "11,tab\x09here,^",
            "12,t\x09x~y,^",
            "13,c\x01\x08\x1B[I~z,^",
            "14,\"\"\"q\"\"~\"\"r\"\"\",^",
            "15,\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE6\xBC\xA2\xE5\xAD\x97 \xD0\x96,^",
            "16,-12.5,^",
            "17,2024-01-02,^",
            "18,+49 30 1234,^",
            "19,\"cw 1,20\",^",
            "20,\"<W>,~<V>\",^",
        }},
    };
    for (const Case& c : cases) {
        grid.SetDelimiter(c.delimiter);
        grid.SetAlwaysQuotes(c.alwaysQuotes);
        grid.SetQuoteEmptyCells(c.quoteEmpty);
        grid.SetJavaCSV(c.java);
        grid.SaveToCSV(Path("pinned.csv"), c.unicode);
        EXPECT_EQ(ReadAll(Path("pinned.csv")), FileOf(c.lines)) << c.why;
        if (!c.unicode || c.java)
            continue; // those lose characters or line breaks by design
        auto back = Reader();
        back->SetDelimiter(c.delimiter);
        back->LoadFromCSV(Path("pinned.csv"));
        ExpectSameCells(grid, *back, c.why, {{2, 4}});
        EXPECT_EQ(back->GetGridCell(2, 4), QStringLiteral("a?z")) << c.why;
    }
}

TEST_F(PinnedBytesFixture, TextLayoutBytes)
{
    const std::vector<QByteArray> ansi = {
        "3,21",
        "cw 0,64",
        "cw 1,120",
        "cw 2,64",
        "0,0,0",
        "1,0,  lead",
        "0,1,1",
        "1,1,trail  ",
        "2,1,\xE9;\"x\"",
        "0,2,2",
        "1,2,   ",
        "0,3,3",
        "1,3,a,b,c",
        "2,3, ",
        "0,4,4",
        "1,4,a;b|c",
        "2,4,a?z",
        "0,5,5",
        "1,5,say \"hi\"",
        "0,6,6",
        "1,6,\"",
        "0,7,7",
        "1,7,x\x09\x08y",
        "0,8,8",
        "1,8,x\x08y",
        "0,9,9",
        "1,9,x\x09y\x1B\x08",
        "0,10,10",
        "1,10,end\x09\x08",
        "0,11,11",
        "1,11,tab\x09here",
        "0,12,12",
        "1,12,t\x1BIx\x09\x08y",
        "0,13,13",
        "1,13,c\x1B" "A\x1BH\x1B[[I\x09\x08z",
        "0,14,14",
        "1,14,\"q\"\x09\x08\"r\"",
        "0,15,15",
        "1,15,????? ?? ?",
        "0,16,16",
        "1,16,-12.5",
        "0,17,17",
        "1,17,2024-01-02",
        "0,18,18",
        "1,18,+49 30 1234",
        "0,19,19",
        "1,19,cw 1,20",
        "0,20,20",
        "1,20,<W>,\x09\x08<V>",
    };
    grid.SaveToFile(Path("ansi.txt"), false);
    EXPECT_EQ(ReadAll(Path("ansi.txt")), FileOf(ansi));

    // UTF-16 carries what ANSI could not.
    QString wide = QString::fromLatin1(FileOf(ansi));
    wide.replace(QStringLiteral("2,4,a?z\r\n"), QStringLiteral("2,4,a") + QChar(0xD800) + QStringLiteral("z\r\n"));
    wide.replace(QStringLiteral("1,15,????? ?? ?\r\n"), QStringLiteral("1,15,\u03A9\u03BC\u03AD\u03B3\u03B1 \u6F22\u5B57 \u0416\r\n"));
    grid.SaveToFile(Path("wide.txt"), true);
    EXPECT_EQ(ReadAll(Path("wide.txt")), QByteArray("\xFF\xFE") + Utf16Le(wide));

    auto back = Reader();
    back->LoadFromFile(Path("wide.txt"));
    ExpectSameCells(grid, *back, "UTF-16 layout");
    EXPECT_EQ(back->ColWidths(1), 120);
}
