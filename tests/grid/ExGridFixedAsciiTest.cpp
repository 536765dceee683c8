#include "ExGridExchangeTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace exchange_test;

namespace {

struct ExportFixture : ::testing::Test
{
    QTemporaryDir dir;
    TExStringGrid grid;
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Cells(int cols, int rows)
    {
        grid.SetFixedRows(0);
        grid.SetFixedCols(0);
        grid.SetColCount(cols);
        grid.SetRowCount(rows);
    }
};

} // namespace

TEST_F(ExportFixture, FixedWidthCutsAndPads)
{
    Cells(2, 1);
    grid.SetGridCell(0, 0, QStringLiteral("abcd"));
    grid.SetGridCell(1, 0, QStringLiteral("x"));
    TIntList widths;
    widths.Add(3);
    widths.Add(5);
    grid.SaveToFixed(Path("f.txt"), widths);
    EXPECT_EQ(ReadAll(Path("f.txt")), QByteArray("abcx    \r\n"));

    TIntList measured;
    grid.SaveToFixed(Path("m.txt"), measured);
    EXPECT_EQ(measured.Items(), (std::vector<int>{5, 2}));
    EXPECT_EQ(ReadAll(Path("m.txt")), QByteArray("abcd x \r\n"));
}

TEST_F(ExportFixture, FixedWidthRoundTripWithWideColumns)
{
    Cells(3, 3);
    const QString wide(700, QChar(u'w'));
    grid.SetGridCell(0, 0, wide);
    grid.SetGridCell(1, 1, QStringLiteral("  mid "));
    grid.SetGridCell(2, 2, QStringLiteral("two\r\nlines"));
    TIntList widths;
    grid.SaveToFixed(Path("w.txt"), widths);
    EXPECT_EQ(widths[0], 701);
    EXPECT_EQ(ReadAll(Path("w.txt")).count("\r\n"), 3) << "a line break in a cell does not split its row";

    TIntList positions;
    positions.Add(1);
    positions.Add(1 + widths[0]);
    positions.Add(1 + widths[0] + widths[1]);
    positions.Add(1 + widths[0] + widths[1] + widths[2]);
    TExStringGrid back;
    back.SetFixedRows(0);
    back.SetFixedCols(0);
    back.SetRowCount(1);
    back.LoadFromFixed(Path("w.txt"), positions, true, -1);
    EXPECT_EQ(back.ColCount(), 3);
    EXPECT_EQ(back.RowCount(), 3);
    EXPECT_EQ(back.GetGridCell(0, 0), wide);
    EXPECT_EQ(back.GetGridCell(1, 1), QStringLiteral("mid"));
    EXPECT_EQ(back.GetGridCell(2, 2), QStringLiteral("two lines"));
}

TEST_F(ExportFixture, FixedWidthReadingRules)
{
    WriteAll(Path("r.txt"), "abcdefghij\r\n12345\r\nxy\r\n");
    TIntList positions;
    for (int p : {11, 1, 6})
        positions.Add(p);
    Cells(1, 1);
    grid.LoadFromFixed(Path("r.txt"), positions, false, 0);
    EXPECT_EQ(positions.Items(), (std::vector<int>{1, 6, 11})) << "sorted in place";
    EXPECT_EQ(grid.RowCount(), 1) << "0 reads one line";
    EXPECT_EQ(grid.GetGridCell(0, 0), QStringLiteral("abcde"));
    EXPECT_EQ(grid.GetGridCell(1, 0), QStringLiteral("fghij"));
    grid.LoadFromFixed(Path("r.txt"), positions, false, -1);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.GetGridCell(1, 1), QString()) << "a short line gives empty fields";
    EXPECT_EQ(grid.GetGridCell(0, 2), QStringLiteral("xy"));

    struct Case
    {
        const char* why;
        std::vector<int> positions;
    };
    const Case odd[] = {
        {"no positions", {}},
        {"one position", {4}},
        {"zero and negative", {-5, 0, 3}},
        {"far beyond the line", {1, 2000000000}},
    };
    for (const Case& c : odd) {
        TIntList p;
        for (int v : c.positions)
            p.Add(v);
        TExStringGrid g;
        EXPECT_NO_THROW(g.LoadFromFixed(Path("r.txt"), p, true, -1)) << c.why;
    }
    try {
        grid.LoadFromFixed(Path("missing.txt"), positions, true, -1);
        FAIL();
    } catch (const REruVidaZuvez& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("File ") + Path("missing.txt") + QStringLiteral(" not found"));
    }
}

TEST_F(ExportFixture, AsciiPictureAlignsAndContinuesLines)
{
    Cells(2, 2);
    grid.SetGridCell(0, 0, QStringLiteral("ab"));
    grid.SetGridCell(1, 0, QStringLiteral("x"));
    grid.SetGridCell(0, 1, QStringLiteral("abcd"));
    grid.SaveToASCII(Path("a.txt"));
    EXPECT_EQ(ReadAll(Path("a.txt")), QByteArray("ab   x \r\nabcd   \r\n"));

    Cells(3, 2);
    grid.SetMultilinecells(true);
    grid.SetGridCell(0, 0, QStringLiteral("7"));
    grid.SetGridCell(0, 1, QStringLiteral("123"));
    grid.SetAlignments(0, 0, platform::taRightJustify);
    grid.SetGridCell(1, 0, QStringLiteral("top\r\nnext"));
    grid.SetGridCell(2, 0, QStringLiteral("z"));
    grid.SaveToASCII(Path("b.txt"), true);
    const QString expected = QStringLiteral("  7 top  z \r\n    next\r\n123        \r\n");
    EXPECT_EQ(ReadAll(Path("b.txt")), QByteArray("\xFF\xFE", 2) + Utf16Le(expected));
}

TEST_F(ExportFixture, AsciiHasNoColumnOrWidthLimit)
{
    Cells(600, 1);
    grid.SetGridCell(599, 0, QString(300, QChar(u'q')));
    grid.SetGridCell(0, 0, QStringLiteral("first"));
    grid.SaveToASCII(Path("wide.txt"));
    const QByteArray bytes = ReadAll(Path("wide.txt"));
    // 5 + 1 for column 0, 1 per empty column, 301 for the last one.
    EXPECT_EQ(bytes.size(), 6 + 598 + 301 + 2);
    EXPECT_TRUE(bytes.contains(QByteArray(300, 'q') + " \r\n"));
}

TEST_F(ExportFixture, AsciiAppendKeepsOldLines)
{
    Cells(1, 1);
    grid.SetGridCell(0, 0, QStringLiteral("new"));
    grid.AppendToASCII(Path("missing.txt"));
    EXPECT_EQ(ReadAll(Path("missing.txt")), QByteArray("new \r\n"));
    grid.AppendToASCII(Path("missing.txt"));
    EXPECT_EQ(ReadAll(Path("missing.txt")), QByteArray("new \r\nnew \r\n"));
}
