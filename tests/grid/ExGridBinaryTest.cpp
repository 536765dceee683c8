#include "ExGridExchangeTestSupport.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace exchange_test;
using namespace platform;

namespace {

struct Plain : platform::TObject
{
};

// A 4 x 3 grid with texts, looks, a merged range and graphics.
void FillRich(TExStringGrid& g)
{
    g.SetColCount(4);
    g.SetRowCount(3);
    g.SetColWidths(2, 91);
    g.SetRowHeights(1, 33);
    g.SetGridCell(1, 1, QStringLiteral("Ωμέγα\r\n\"q\""));
    g.SetColors(2, 1, 0x00123456);
    g.SetFontStyles(2, 1, fsBold | fsItalic);
    g.SetFontNames(2, 1, QStringLiteral("Tahoma"));
    g.SetAlignments(3, 1, taRightJustify);
    g.SetGridCell(1, 2, QStringLiteral("merged"));
    g.MergeCells(1, 2, 2, 1);
    g.AddCheckBox(3, 2, true, false);
    TBitmap* bmp = g.CreateBitmap(0, 2, false, haLeft, vaTop);
    bmp->SetSize(3, 2);
    QStringList* items = g.CreateRadio(3, 0, false, 1);
    *items << QStringLiteral("one") << QStringLiteral("two");
}

} // namespace

TEST(BinaryStream, WholeGridComesBackWithLooksAndGraphics)
{
    TExStringGrid src;
    FillRich(src);
    const QByteArray bytes = SaveRect(src, TRect{0, 0, 3, 2});
    TExStringGrid dst;
    dst.SetColCount(9);
    dst.SetRowCount(9);
    dst.SetGridCell(5, 5, QStringLiteral("cleared"));
    LoadAt(dst, TPoint{0, 0}, bytes);
    EXPECT_EQ(dst.ColCount(), 4);
    EXPECT_EQ(dst.RowCount(), 3);
    EXPECT_EQ(dst.ColWidths(2), 91);
    EXPECT_EQ(dst.RowHeights(1), 33);
    EXPECT_EQ(dst.GetGridCell(1, 1), src.GetGridCell(1, 1));
    EXPECT_EQ(dst.GetColors(2, 1), TColor(0x00123456));
    EXPECT_EQ(dst.GetFontStyles(2, 1), fsBold | fsItalic);
    EXPECT_EQ(dst.GetFontNames(2, 1), QStringLiteral("Tahoma"));
    EXPECT_EQ(dst.GetAlignments(3, 1), taRightJustify);
    EXPECT_EQ(dst.CellSpan(1, 2), src.CellSpan(1, 2));
    EXPECT_EQ(dst.GetCellEx(2, 2), QStringLiteral("merged"));
    EXPECT_EQ(dst.GetCellType(3, 2), ctCheckBox);
    ASSERT_EQ(dst.GetCellType(0, 2), ctBitmap);
    ASSERT_NE(dst.GetCellGraphic(0, 2)->Bitmap, nullptr);
    EXPECT_EQ(dst.GetCellGraphic(0, 2)->Bitmap->Width(), 3);
    ASSERT_EQ(dst.GetCellType(3, 0), ctRadio);
    ASSERT_NE(dst.GetCellGraphic(3, 0)->Strings, nullptr);
    EXPECT_EQ(*dst.GetCellGraphic(3, 0)->Strings, (QStringList{"one", "two"}));
}

TEST(BinaryStream, RectangleLandsAtThePointFromItsFirstCell)
{
    TExStringGrid src;
    src.SetColCount(6);
    src.SetRowCount(8);
    for (int r = 5; r <= 6; ++r)
        for (int c = 2; c <= 3; ++c)
            src.SetGridCell(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
    TExStringGrid dst;
    dst.SetColCount(3);
    dst.SetRowCount(3);
    LoadAt(dst, TPoint{1, 1}, SaveRect(src, TRect{2, 5, 3, 6}));
    EXPECT_EQ(dst.ColCount(), 3) << "not a whole grid: no resize";
    EXPECT_EQ(dst.GetGridCell(1, 1), QStringLiteral("2/5"));
    EXPECT_EQ(dst.GetGridCell(2, 2), QStringLiteral("3/6"));
}

TEST(BinaryStream, PositionsBeyond65535StayApart)
{
    TExStringGrid src;
    src.SetColCount(2);
    src.SetRowCount(65540);
    src.SetGridCell(0, 65535, QStringLiteral("a"));
    src.SetGridCell(0, 65536, QStringLiteral("b"));
    TExStringGrid dst;
    dst.SetColCount(2);
    dst.SetRowCount(4);
    LoadAt(dst, TPoint{0, 0}, SaveRect(src, TRect{0, 65535, 0, 65536}));
    EXPECT_EQ(dst.GetGridCell(0, 0), QStringLiteral("a"));
    EXPECT_EQ(dst.GetGridCell(0, 1), QStringLiteral("b"));
}

TEST(BinaryStream, CellObjectsComeBackOnlyIntoTheirOwnGrid)
{
    Plain object;
    TExStringGrid src;
    src.SetColCount(2);
    src.SetRowCount(2);
    src.GetCellProperties(1, 1)->SetCellObject(&object);
    const QByteArray bytes = SaveRect(src, TRect{1, 1, 1, 1});

    LoadAt(src, TPoint{0, 0}, bytes);
    EXPECT_EQ(src.GetCellProperties(0, 0)->CellObject(), &object) << "same grid, object still held";

    TExStringGrid other;
    other.SetColCount(2);
    other.SetRowCount(2);
    LoadAt(other, TPoint{0, 0}, bytes);
    EXPECT_EQ(other.GetCellProperties(0, 0)->CellObject(), nullptr) << "another grid never gets the pointer";

    src.GetCellProperties(1, 1)->SetCellObject(nullptr);
    src.GetCellProperties(0, 0)->SetCellObject(nullptr);
    LoadAt(src, TPoint{0, 1}, bytes);
    EXPECT_EQ(src.GetCellProperties(0, 1)->CellObject(), nullptr) << "an object the grid let go is not restored";
}

TEST(BinaryStream, DamagedStreamsFailCleanlyAndChangeNothing)
{
    TExStringGrid src;
    FillRich(src);
    const QByteArray good = SaveRect(src, TRect{0, 0, 3, 2});

    // Every truncation of a good stream.
    for (qsizetype n = 0; n < good.size(); ++n) {
        TExStringGrid g;
        g.SetColCount(5);
        g.SetRowCount(5);
        g.SetGridCell(4, 4, QStringLiteral("keep"));
        const QStringList before = Snapshot(g);
        // A cut between two cell groups is a shorter stream; any other cut fails.
        try {
            LoadAt(g, TPoint{0, 0}, good.left(n));
        } catch (const REruVidaZuvez&) {
            EXPECT_EQ(Snapshot(g), before) << n;
        }
    }

    struct Case
    {
        const char* why;
        QByteArray bytes;
    };
    QByteArray hugeLength = good;
    // The class name's length byte follows the signature: make the first
    // string value claim 2 GB.
    const qsizetype at = hugeLength.indexOf("ColWidths") + 9;
    hugeLength[at + 1] = '\xFF';
    hugeLength[at + 2] = '\xFF';
    hugeLength[at + 3] = '\xFF';
    hugeLength[at + 4] = '\x7F';
    QByteArray unknown = good;
    unknown.replace("RowHeights", "RowHeightz");
    QByteArray wideCount = good;
    wideCount.replace(QByteArray("ColCount\x02\x04", 10), QByteArray("ColCount\x04\xFF\xFF\xFF\x7F", 13));
    const Case cases[] = {
        {"empty", QByteArray()},
        {"wrong signature", QByteArray("TPF1") + good.mid(4)},
        {"length beyond the block", hugeLength},
        {"property the carrier lacks", unknown},
        {"absurd column count", wideCount},
        {"noise", QByteArray(64, '\xA5')},
    };
    for (const Case& c : cases) {
        TExStringGrid g;
        g.SetColCount(5);
        g.SetRowCount(5);
        g.SetGridCell(4, 4, QStringLiteral("keep"));
        const QStringList before = Snapshot(g);
        EXPECT_THROW(LoadAt(g, TPoint{0, 0}, c.bytes), REruVidaZuvez) << c.why;
        EXPECT_EQ(Snapshot(g), before) << c.why;
    }
}

// The node count decides whether the node queries answer at all, so loading
// must count the node rows it brought or removed.
TEST(BinaryStream, LoadingCountsTheNodeRowsAgain)
{
    TExStringGrid src;
    src.SetColCount(3);
    src.SetRowCount(8);
    src.AddNode(1, 3);
    src.AddNode(5, 2);
    ASSERT_EQ(src.NumNodes(), 2);
    QBuffer withNodes;
    withNodes.open(QIODevice::ReadWrite);
    src.SaveToBinStream(withNodes);

    TExStringGrid plain;
    plain.SetColCount(3);
    plain.SetRowCount(4);
    QBuffer withoutNodes;
    withoutNodes.open(QIODevice::ReadWrite);
    plain.SaveToBinStream(withoutNodes);

    TExStringGrid dst;
    withNodes.seek(0);
    dst.LoadFromBinStream(withNodes);
    EXPECT_EQ(dst.NumNodes(), 2);
    EXPECT_TRUE(dst.HasNodes());
    EXPECT_EQ(dst.GetParentRow(2), 1);

    withoutNodes.seek(0);
    dst.LoadFromBinStream(withoutNodes);
    EXPECT_EQ(dst.NumNodes(), 0);
    EXPECT_FALSE(dst.HasNodes());
    EXPECT_EQ(dst.GetParentRow(2), -1);
}

TEST(BinaryStream, FileRoundTrip)
{
    QTemporaryDir dir;
    TExStringGrid src;
    FillRich(src);
    src.SaveToBinFile(dir.filePath("cells.bin"));
    TExStringGrid dst;
    dst.LoadFromBinFile(dir.filePath("cells.bin"));
    EXPECT_EQ(dst.GetGridCell(1, 1), src.GetGridCell(1, 1));
    EXPECT_THROW(dst.LoadFromBinFile(dir.filePath("missing.bin")), REruVidaZuvez);
}
