#include "ExGridExchangeTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

using namespace exchange_test;
using namespace platform;

namespace {

// A grid without fixed cells, editable, with the texts given row by row.
void Fill(TExStringGrid& g, int cols, const std::vector<QStringList>& rows)
{
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(cols);
    g.SetRowCount(static_cast<int>(rows.size()));
    g.SetOptions(g.Options() | goEditing);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            g.SetGridCell(c, r, rows[r][c]);
}

void Select(TExStringGrid& g, int l, int t, int r, int b)
{
    g.SetSelection(TGridRect{l, t, r, b});
}

QString ClipText() { return QGuiApplication::clipboard()->text(); }

void SetClipText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

// Line breaks come back as the grid's CR LF: plain text has only one kind.
QString AsGridLineBreaks(QString s)
{
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(u'\r', u'\n');
    s.replace(u'\n', QStringLiteral("\r\n"));
    return s;
}

} // namespace

TEST(GridClipboard, TextFormOfOneCellAndOfABlock)
{
    TExStringGrid g;
    Fill(g, 2, {{"A", "B"}, {"C", "D"}});
    Select(g, 0, 0, 0, 0);
    g.CopySelectionToClipboard();
    EXPECT_EQ(ClipText(), QStringLiteral("A"));
    Select(g, 0, 0, 1, 1);
    g.CopySelectionToClipboard();
    EXPECT_EQ(ClipText(), QStringLiteral("A\tB\r\nC\tD\r\n"));
    EXPECT_EQ(g.GetSelectionAsText(), QStringLiteral("A\tB\r\nC\tD\r\n"));
}

// Cells with line breaks, TABs or quotes are quoted, their quotes doubled
// and their line breaks one LF each (no CR LF turned into LF LF).
TEST(GridClipboard, AwkwardCellsAreQuotedInTheTextForm)
{
    const struct
    {
        QString cell;
        QString text;
    } cases[] = {
        {"x\r\ny", "\"x\ny\""},
        {"x\ny", "\"x\ny\""},
        {"x\ry", "\"x\ny\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"tab\there", "\"tab\there\""},
        {"  lead", "  lead"},
        {"", ""},
        {"Ωμέγα 漢字 Ж", "Ωμέγα 漢字 Ж"},
    };
    for (const auto& c : cases) {
        TExStringGrid g;
        Fill(g, 1, {{c.cell}});
        g.SetMultilinecells(true);
        Select(g, 0, 0, 0, 0);
        g.CopySelectionToClipboard();
        EXPECT_EQ(ClipText(), c.text) << c.cell.toStdString();
    }
}

// Every awkward cell survives a copy to plain text and a paste into another
// grid; line breaks come back as CR LF.
TEST(GridClipboard, AwkwardCellsRoundTripThroughPlainText)
{
    TExStringGrid src;
    FillAwkward(src);
    src.SetGridCell(2, 0, QStringLiteral("last"));
    Select(src, 0, 0, 2, src.RowCount() - 1);
    src.CopySelectionToClipboard();
    ASSERT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat(GridCellsClipboardFormat()));

    TExStringGrid dst;
    Fill(dst, 3, {{}});
    Select(dst, 0, 0, 0, 0);
    dst.PasteSelectionFromClipboard();
    const auto texts = AwkwardTexts();
    ASSERT_EQ(dst.RowCount(), src.RowCount());
    ASSERT_EQ(dst.ColCount(), 3);
    for (int r = 0; r < static_cast<int>(texts.size()); ++r) {
        EXPECT_EQ(dst.GetGridCell(0, r), QString::number(r));
        EXPECT_EQ(dst.GetGridCell(1, r), AsGridLineBreaks(texts[r].text)) << texts[r].why;
    }
    EXPECT_EQ(dst.GetGridCell(2, 0), QStringLiteral("last"));
    EXPECT_EQ(dst.GetGridCell(2, 1), QString());
}

// The private format carries the cells exactly, looks included.
TEST(GridClipboard, AwkwardCellsRoundTripThroughTheCellFormat)
{
    TExStringGrid src;
    FillAwkward(src);
    src.Navigation().SetAllowFmtClipboard(true);
    src.SetColors(1, 2, 0x00123456);
    Select(src, 0, 0, 2, src.RowCount() - 1);
    src.CopySelectionToClipboard();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(GridCellsClipboardFormat()));
    ASSERT_TRUE(data->hasText());

    TExStringGrid dst;
    Fill(dst, 1, {{}});
    dst.Navigation().SetAllowFmtClipboard(true);
    Select(dst, 0, 0, 0, 0);
    dst.PasteSelectionFromClipboard();
    const auto texts = AwkwardTexts();
    ASSERT_EQ(dst.RowCount(), src.RowCount());
    for (int r = 0; r < static_cast<int>(texts.size()); ++r)
        EXPECT_EQ(dst.GetGridCell(1, r), texts[r].text) << texts[r].why;
    EXPECT_EQ(dst.GetColors(1, 2), TColor(0x00123456));
}

// A block as large as its source grid is still a block: pasted at the
// paste point into a larger grid, it leaves the cells around it alone.
TEST(GridClipboard, CellFormatPasteNeverClearsTheTarget)
{
    TExStringGrid src;
    Fill(src, 2, {{"a", "b"}, {"c", "d"}});
    src.Navigation().SetAllowFmtClipboard(true);
    Select(src, 0, 0, 1, 1);
    src.CopySelectionToClipboard();

    TExStringGrid dst;
    Fill(dst, 4, {{"k0", "k1", "k2", "k3"}, {"l0", "l1", "l2", "l3"}, {"m0", "m1", "m2", "m3"}});
    dst.Navigation().SetAllowFmtClipboard(true);
    Select(dst, 1, 1, 1, 1);
    dst.PasteSelectionFromClipboard();
    EXPECT_EQ(Snapshot(dst), (QStringList{"4", "3", "k0", "k1", "k2", "k3", "l0", "a", "b", "l3", "m0", "c", "d",
                                          "m3"}));
}

// A block larger than the grid: without growing only the cells inside the
// grid change; with growing the grid takes the whole block.
TEST(GridClipboard, CellFormatPasteLargerThanTheGrid)
{
    TExStringGrid src;
    Fill(src, 3, {{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}});
    src.Navigation().SetAllowFmtClipboard(true);
    Select(src, 0, 0, 2, 2);
    src.CopySelectionToClipboard();

    for (const bool grow : {false, true}) {
        TExStringGrid dst;
        Fill(dst, 2, {{"k0", "k1"}, {"l0", "l1"}});
        dst.Navigation().SetAllowFmtClipboard(true);
        dst.Navigation().SetAllowClipboardColGrow(grow);
        dst.Navigation().SetAllowClipboardRowGrow(grow);
        Select(dst, 1, 1, 1, 1);
        dst.PasteSelectionFromClipboard();
        if (grow)
            EXPECT_EQ(Snapshot(dst), (QStringList{"4", "4", "k0", "k1", "", "", "l0", "a", "b", "c", "", "d", "e",
                                                  "f", "", "g", "h", "i"}));
        else
            EXPECT_EQ(Snapshot(dst), (QStringList{"2", "2", "k0", "k1", "l0", "a"}));
    }
}

// The cell format is pasted under the same checks as text: editing mode,
// editable cells and OnClipboardBeforePasteCell.
TEST(GridClipboard, PastesHonourEditingReadOnlyCellsAndTheBeforeEvent)
{
    for (const bool fmt : {false, true}) {
        SCOPED_TRACE(fmt ? "cell format" : "text");
        TExStringGrid src;
        Fill(src, 3, {{"a", "b", "c"}});
        src.Navigation().SetAllowFmtClipboard(fmt);
        src.SetColors(1, 0, 0x00112233);
        Select(src, 0, 0, 2, 0);
        src.CopySelectionToClipboard();

        TExStringGrid dst;
        Fill(dst, 3, {{"k0", "k1", "k2"}, {"l0", "l1", "l2"}});
        dst.Navigation().SetAllowFmtClipboard(fmt);
        dst.SetOptions(dst.Options() & ~goEditing);
        Select(dst, 0, 0, 0, 0);
        dst.PasteSelectionFromClipboard();
        EXPECT_EQ(dst.GetGridCell(0, 0), QStringLiteral("k0")) << "not in editing mode";

        dst.SetOptions(dst.Options() | goEditing);
        dst.OnCanEditCell = [](QObject*, int aRow, int aCol, bool& canEdit) { canEdit = !(aRow == 0 && aCol == 1); };
        std::vector<int> after;
        dst.OnClipboardBeforePasteCell = [](QObject*, int aCol, int, QString& value, bool& allow) {
            if (aCol == 2)
                allow = false;
            else
                value += u'!';
        };
        dst.OnClipboardAfterPasteCell = [&after](QObject*, int aCol, int, const QString&) { after.push_back(aCol); };
        dst.PasteSelectionFromClipboard();
        EXPECT_EQ(Snapshot(dst), (QStringList{"3", "2", "a!", "k1", "k2", "l0", "l1", "l2"}));
        EXPECT_NE(dst.GetColors(1, 0), TColor(0x00112233)) << "a read-only cell keeps its looks";
        EXPECT_EQ(after, std::vector<int>{0});
    }
}

TEST(GridClipboard, TextPasteGrowsOnlyWhenAllowed)
{
    const QString text = QStringLiteral("1\t2\t3\t4\r\n5\t6\t7\t8\r\n9\t10\t11\t12");
    for (const bool grow : {false, true}) {
        TExStringGrid g;
        Fill(g, 2, {{"a", "b"}, {"c", "d"}});
        g.Navigation().SetAllowClipboardColGrow(grow);
        g.Navigation().SetAllowClipboardRowGrow(grow);
        SetClipText(text);
        Select(g, 0, 0, 0, 0);
        g.PasteSelectionFromClipboard();
        if (grow)
            EXPECT_EQ(Snapshot(g), (QStringList{"4", "3", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11",
                                                "12"}));
        else
            EXPECT_EQ(Snapshot(g), (QStringList{"2", "2", "1", "2", "5", "6"}));
    }
}

TEST(GridClipboard, CutEmptiesOnlyEditableCells)
{
    TExStringGrid src;
    Fill(src, 2, {{"a", "b"}, {"c", "d"}});
    src.OnCanEditCell = [](QObject*, int aRow, int aCol, bool& canEdit) { canEdit = !(aRow == 1 && aCol == 1); };
    TRect changed{-1, -1, -1, -1};
    src.OnCellsChanged = [&changed](QObject*, const TRect& r) { changed = r; };
    Select(src, 0, 0, 1, 1);
    src.CutSelectionToClipboard();
    EXPECT_EQ(ClipText(), QStringLiteral("a\tb\r\nc\td\r\n"));
    EXPECT_EQ(Snapshot(src), (QStringList{"2", "2", "", "", "", "d"}));
    EXPECT_EQ(changed, (TRect{0, 0, 1, 1}));

    TExStringGrid dst;
    Fill(dst, 2, {{"", ""}, {"", ""}});
    Select(dst, 0, 0, 0, 0);
    dst.PasteSelectionFromClipboard();
    EXPECT_EQ(Snapshot(dst), (QStringList{"2", "2", "a", "b", "c", "d"}));
}

TEST(GridClipboard, RichTextCellTravelsAsRichTextFormat)
{
    const QString rtf = QStringLiteral("{\\rtf1\\ansi Hello\\par}");
    TExStringGrid src;
    Fill(src, 1, {{rtf}});
    src.Navigation().SetAllowRTFClipboard(true);
    Select(src, 0, 0, 0, 0);
    src.CopySelectionToClipboard();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->data(QStringLiteral("Rich Text Format")), rtf.toLatin1() + QByteArray(1, '\0'));
    EXPECT_FALSE(ClipText().contains(u'{'));

    TExStringGrid dst;
    Fill(dst, 1, {{"old"}});
    dst.Navigation().SetAllowRTFClipboard(true);
    Select(dst, 0, 0, 0, 0);
    dst.PasteSelectionFromClipboard();
    EXPECT_EQ(dst.GetGridCell(0, 0), rtf);
}

// The HTML goes on "HTML Format" only; the text format holds the cells.
TEST(GridClipboard, HtmlCopyKeepsTheEnvelopeOffThePlainText)
{
    TExStringGrid g;
    Fill(g, 2, {{"a<b", "say \"hi\""}, {"x\r\ny", "é"}});
    g.CopyToClipBoardAsHTML();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    const QByteArray html = data->data(QStringLiteral("HTML Format"));
    EXPECT_TRUE(html.startsWith("Version:1.0")) << html.left(40).constData();
    EXPECT_TRUE(html.contains("a&lt;b"));
    EXPECT_TRUE(html.contains("\xE9")) << "ANSI code page";
    EXPECT_EQ(ClipText(), QStringLiteral("a<b\t\"say \"\"hi\"\"\"\r\n\"x\ny\"\té\r\n"));
}
