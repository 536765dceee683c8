#include "ExGridExchangeTestSupport.h"

#include "widgets/BaseGrid.h"
#include "widgets/ExUtil.h"

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

// Disjunct row (column) selection copies the selected rows (columns) only;
// with the cell format allowed the plain selection is copied instead.
TEST(GridClipboard, DisjunctSelectionCopiesTheSelectedRowsOrColumns)
{
    const std::vector<QStringList> rows{{"a0", "b0", "c0"}, {"a1", "b1", "c1"}, {"a2", "b2", "c2"}, {"a3", "b3", "c3"}};
    {
        TExStringGrid g;
        Fill(g, 3, rows);
        g.MouseActions().SetDisjunctRowSelect(true);
        g.SetRowSelect(0, true);
        g.SetRowSelect(2, true);
        Select(g, 1, 3, 1, 3);
        g.CopySelectionToClipboard();
        EXPECT_EQ(ClipText(), QStringLiteral("a0\tb0\tc0\r\na2\tb2\tc2\r\n"));
        g.Navigation().SetAllowFmtClipboard(true);
        g.CopySelectionToClipboard();
        EXPECT_EQ(ClipText(), QStringLiteral("b3"));
    }
    {
        TExStringGrid g;
        Fill(g, 3, rows);
        g.MouseActions().SetDisjunctColSelect(true);
        g.SetColSelect(0, true);
        g.SetColSelect(2, true);
        g.CopySelectionToClipboard();
        EXPECT_EQ(ClipText(), QStringLiteral("a0\tc0\r\na1\tc1\r\na2\tc2\r\na3\tc3\r\n"));
    }
}

// Cutting a disjunct row selection empties the selected rows only.
TEST(GridClipboard, DisjunctRowCutEmptiesTheSelectedRows)
{
    TExStringGrid g;
    Fill(g, 2, {{"a0", "b0"}, {"a1", "b1"}, {"a2", "b2"}});
    g.MouseActions().SetDisjunctRowSelect(true);
    g.SetRowSelect(1, true);
    g.CutSelectionToClipboard();
    EXPECT_EQ(ClipText(), QStringLiteral("a1\tb1\r\n"));
    EXPECT_EQ(Snapshot(g), (QStringList{"2", "3", "a0", "b0", "", "", "a2", "b2"}));
}

// With paInsert the pasted rows are inserted before they are written, from
// text and from the cell format alike.
TEST(GridClipboard, InsertPasteAddsRowsForThePastedRows)
{
    for (const bool fmt : {false, true}) {
        TExStringGrid src;
        Fill(src, 1, {{"p"}, {"q"}});
        src.Navigation().SetAllowFmtClipboard(fmt);
        Select(src, 0, 0, 0, 1);
        src.CopySelectionToClipboard();

        TExStringGrid g;
        Fill(g, 1, {{"a"}, {"b"}, {"c"}});
        g.Navigation().SetAllowFmtClipboard(fmt);
        g.Navigation().SetClipboardPasteAction(paInsert);
        Select(g, 0, 1, 0, 1);
        g.PasteSelectionFromClipboard();
        EXPECT_EQ(Snapshot(g), (QStringList{"1", "5", "a", "p", "q", "b", "c"})) << (fmt ? "cell format" : "text");
    }
}

// Text from a spreadsheet: a field that opens and closes with a double quote
// is unquoted (doubled quotes, LF and character 11 inside); any other field
// is taken as it stands, blanks included.
TEST(GridClipboard, SpreadsheetTextIsUnquotedIntoCells)
{
    const struct
    {
        const char* why;
        QString clip;
        QStringList cells; // row 0, columns 0 and 1
    } cases[] = {
        {"doubled quotes", "\"a\"\"b\"\tz", {"a\"b", "z"}},
        {"line break inside quotes", "\"x\ny\"\tz", {"x\r\ny", "z"}},
        {"CR LF inside quotes", "\"x\r\ny\"\tz", {"x\r\ny", "z"}},
        {"character 11 as line break", "\"x\x0By\"\tz", {"x\r\ny", "z"}},
        {"tab inside quotes", "\"t\tu\"\tz", {"t\tu", "z"}},
        {"quotes inside an unquoted field", "say \"hi\"\tz", {"say \"hi\"", "z"}},
        {"quote that does not close the field", "\"a\"b\tz", {"\"a\"b", "z"}},
        {"quote never closed", "\"open\tz", {"\"open", "z"}},
        {"blanks kept", "  lead\ttrail  ", {"  lead", "trail  "}},
        {"empty fields", "\t", {"", ""}},
        {"empty quoted field", "\"\"\tz", {"", "z"}},
    };
    for (const auto& c : cases) {
        TExStringGrid g;
        Fill(g, 2, {{"k0", "k1"}});
        SetClipText(c.clip);
        Select(g, 0, 0, 0, 0);
        g.PasteSelectionFromClipboard();
        EXPECT_EQ(Snapshot(g), (QStringList{"2", "1"} + c.cells)) << c.why;
    }
}

// An empty line in the middle is a row of its own.
TEST(GridClipboard, EmptyLineInTheMiddleIsARow)
{
    TExStringGrid g;
    Fill(g, 1, {{"k0"}, {"k1"}, {"k2"}});
    SetClipText(QStringLiteral("a\r\n\r\nb"));
    Select(g, 0, 0, 0, 0);
    g.PasteSelectionFromClipboard();
    EXPECT_EQ(Snapshot(g), (QStringList{"1", "3", "a", "", "b"}));
}

// In the spreadsheet convention a multi-line cell is copied with character 11
// between its lines, and comes back as it was.
TEST(GridClipboard, SpreadsheetConventionMultiLineCellRoundTrips)
{
    TExStringGrid src;
    Fill(src, 2, {{"x\r\ny", "z"}});
    src.SetMultilinecells(true);
    src.SetExcelClipboardFormat(true);
    Select(src, 0, 0, 1, 0);
    src.CopySelectionToClipboard();
    EXPECT_EQ(ClipText(), QStringLiteral("\"x\x0By\"\tz"));

    TExStringGrid dst;
    Fill(dst, 2, {{"", ""}});
    Select(dst, 0, 0, 0, 0);
    dst.PasteSelectionFromClipboard();
    EXPECT_EQ(Snapshot(dst), (QStringList{"2", "1", "x\r\ny", "z"}));
}

TEST(GridClipboard, HtmlCellsCopiedStrippedWhenTagsAreNotWanted)
{
    TExStringGrid g;
    Fill(g, 1, {{"<b>bold</b> text"}});
    Select(g, 0, 0, 0, 0);
    g.CopySelectionToClipboard();
    EXPECT_EQ(ClipText(), QStringLiteral("<b>bold</b> text"));
    g.Navigation().SetCopyHTMLTagsToClipboard(false);
    g.CopySelectionToClipboard();
    EXPECT_EQ(ClipText(), QStringLiteral("bold text"));
}

// Each field picks its own events: a wide-escaped field the wide pair with
// its decoded text, a plain field the plain pair, the last field of a line too.
TEST(GridClipboard, WideEscapedFieldsRaiseTheWideEvents)
{
    const QString wide = EncodeWideText(QStringLiteral("Жx"));
    TExStringGrid g;
    Fill(g, 2, {{"", ""}, {"", ""}});
    QStringList plain, wides;
    const auto note = [](QStringList& into, const char* when) {
        return [&into, when](QObject*, int aCol, int aRow, const QString& value) {
            into << QStringLiteral("%1 %2,%3 %4").arg(QLatin1String(when)).arg(aCol).arg(aRow).arg(value);
        };
    };
    const auto notePlainBefore = note(plain, "before");
    const auto noteWideBefore = note(wides, "before");
    g.OnClipboardBeforePasteCell = [&](QObject* s, int c, int r, QString& v, bool&) { notePlainBefore(s, c, r, v); };
    g.OnClipboardBeforePasteWideCell = [&](QObject* s, int c, int r, QString& v, bool&) { noteWideBefore(s, c, r, v); };
    g.OnClipboardAfterPasteCell = note(plain, "after");
    g.OnClipboardAfterPasteWideCell = note(wides, "after");
    SetClipText(QStringLiteral("p0\t") + wide + QStringLiteral("\r\n") + wide + QStringLiteral("\tp1"));
    Select(g, 0, 0, 0, 0);
    g.PasteSelectionFromClipboard();
    EXPECT_EQ(plain, (QStringList{"before 0,0 p0", "after 0,0 p0", "before 1,1 p1", "after 1,1 p1"}));
    EXPECT_EQ(wides, (QStringList{"before 1,0 Жx", "after 1,0 Жx", "before 0,1 Жx", "after 0,1 Жx"}));
    EXPECT_EQ(g.GetGridCell(1, 0), wide) << "the cell keeps the escape";
    EXPECT_EQ(g.GetGridCell(0, 1), wide);
}

// SetSelectionAsText writes raw: no editing mode, no events, no undo; the
// columns grow to fit and one row is added for text past the last row.
TEST(GridClipboard, SetSelectionAsTextWritesRawAndGrows)
{
    TExStringGrid g;
    Fill(g, 2, {{"k0", "k1"}, {"l0", "l1"}});
    g.SetOptions(g.Options() & ~goEditing);
    TExGridUndoRedo undo;
    undo.SetGrid(&g);
    g.SetUndoRedo(&undo);
    int events = 0;
    g.OnClipboardBeforePasteCell = [&events](QObject*, int, int, QString&, bool& allow) {
        ++events;
        allow = false;
    };
    Select(g, 1, 0, 1, 0);
    g.SetSelectionAsText(QStringLiteral("a\t\"x\ny\"\tc\r\nd\r\ne\r\n"));
    EXPECT_EQ(Snapshot(g), (QStringList{"4", "3", "k0", "a", "x\r\ny", "c", "l0", "d", "", "", "", "e", "", ""}));
    EXPECT_EQ(events, 0);
    EXPECT_FALSE(undo.CanUndo());
    g.SetUndoRedo(nullptr);
}

// A paste and a cut are each undone as one step.
TEST(GridClipboard, PasteAndCutAreUndoneAsOneStep)
{
    TExStringGrid g;
    Fill(g, 2, {{"a", "b"}, {"c", "d"}});
    TExGridUndoRedo undo;
    undo.SetGrid(&g);
    g.SetUndoRedo(&undo);
    SetClipText(QStringLiteral("1\t2\r\n3\t4\r\n"));
    Select(g, 0, 0, 0, 0);
    g.PasteSelectionFromClipboard();
    EXPECT_EQ(Snapshot(g), (QStringList{"2", "2", "1", "2", "3", "4"}));
    undo.Undo();
    EXPECT_EQ(Snapshot(g), (QStringList{"2", "2", "a", "b", "c", "d"}));

    Select(g, 0, 0, 1, 1);
    g.CutSelectionToClipboard();
    EXPECT_EQ(Snapshot(g), (QStringList{"2", "2", "", "", "", ""}));
    undo.Undo();
    EXPECT_EQ(Snapshot(g), (QStringList{"2", "2", "a", "b", "c", "d"}));
    g.SetUndoRedo(nullptr);
}

// Cut and paste moves awkward cells (blanks, quotes, tabs, line breaks,
// empty cells) to another grid, as text and in the cell format.
TEST(GridClipboard, AwkwardCellsMoveByCutAndPaste)
{
    for (const bool fmt : {false, true}) {
        SCOPED_TRACE(fmt ? "cell format" : "text");
        TExStringGrid src;
        FillAwkward(src);
        src.SetOptions(src.Options() | goEditing);
        src.Navigation().SetAllowFmtClipboard(fmt);
        Select(src, 0, 0, 2, src.RowCount() - 1);
        src.CutSelectionToClipboard();
        for (int r = 0; r < src.RowCount(); ++r)
            EXPECT_EQ(src.GetGridCell(1, r), QString()) << r;

        TExStringGrid dst;
        Fill(dst, 3, {{"k0", "k1", "k2"}});
        dst.Navigation().SetAllowFmtClipboard(fmt);
        Select(dst, 0, 0, 0, 0);
        dst.PasteSelectionFromClipboard();
        const auto texts = AwkwardTexts();
        ASSERT_EQ(dst.RowCount(), static_cast<int>(texts.size()));
        for (int r = 0; r < static_cast<int>(texts.size()); ++r) {
            const QString expected = fmt ? texts[r].text : AsGridLineBreaks(texts[r].text);
            EXPECT_EQ(dst.GetGridCell(1, r), expected) << texts[r].why;
            EXPECT_EQ(dst.GetGridCell(2, r), QString()) << "empty cell, row " << r;
        }
    }
}

// The text that goes with the HTML copy brings awkward cells back as they were.
TEST(GridClipboard, HtmlCopyTextCarriesAwkwardCells)
{
    TExStringGrid src;
    FillAwkward(src);
    src.CopyToClipBoardAsHTML();
    const QByteArray html = QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("HTML Format"));
    EXPECT_TRUE(html.contains("say &quot;hi&quot;") || html.contains("say \"hi\"")) << "quotes in the table";

    TExStringGrid dst;
    Fill(dst, 3, {{}});
    Select(dst, 0, 0, 0, 0);
    dst.PasteSelectionFromClipboard();
    const auto texts = AwkwardTexts();
    ASSERT_EQ(dst.RowCount(), static_cast<int>(texts.size()));
    for (int r = 0; r < static_cast<int>(texts.size()); ++r)
        EXPECT_EQ(dst.GetGridCell(1, r), AsGridLineBreaks(texts[r].text)) << texts[r].why;
}

namespace {

// Shows the paste steps and records the hooks a paste calls.
class HookGrid : public TExStringGrid
{
public:
    using TExStringGrid::MeasureTabText;
    using TExStringGrid::PasteTextAtCell;
    std::vector<TPoint> sources;
    QStringList steps;

protected:
    void AfterPasteRect(const TPoint& source, const TRect& r, TClipOperation op) override
    {
        sources.push_back(source);
        TExStringGrid::AfterPasteRect(source, r, op);
    }
    void ImportNotification(TGridImportState state, int row) override
    {
        steps << QStringLiteral("import %1 %2").arg(static_cast<int>(state)).arg(row);
    }
    void CellsUpdated() override
    {
        steps << QStringLiteral("updated");
        TExStringGrid::CellsUpdated();
    }
};

} // namespace

// What a text paste counts: fields (the empty piece after a final line
// break included), line pieces and the fields of the last piece; and what
// MeasureTabText makes of the same text: widest line and rows added below
// the first.
TEST(GridClipboard, PasteAndMeasureCountTheText)
{
    const struct
    {
        const char* why;
        QString text;
        int fields, rows, cols, measuredCols, measuredRows;
    } cases[] = {
        {"one field", "a", 1, 1, 1, 1, 0},
        {"one line", "a\tb", 2, 1, 2, 2, 0},
        {"block with a final line break", "a\tb\r\nc\td\r\n", 5, 3, 1, 2, 1},
        {"block without it", "a\tb\r\nc\td", 4, 2, 2, 2, 1},
        {"one field and a line break", "a\r\n", 2, 2, 1, 1, 0},
        {"empty line in the middle", "a\r\n\r\nb", 3, 3, 1, 1, 2},
        {"quoted line break stays in the field", "\"x\ny\"\tz", 2, 1, 2, 2, 0},
        {"lone CR ends a line", "a\rb", 2, 2, 1, 1, 1},
        {"lone LF ends a line", "a\nb", 2, 2, 1, 1, 1},
        {"ragged lines", "a\r\nb\tc\td\r\ne", 5, 3, 1, 3, 2},
    };
    for (const auto& c : cases) {
        HookGrid g;
        Fill(g, 1, {{""}});
        int rows = -1, cols = -1;
        EXPECT_EQ(g.PasteTextAtCell(0, 0, c.text, rows, cols), c.fields) << c.why;
        EXPECT_EQ(rows, c.rows) << c.why;
        EXPECT_EQ(cols, c.cols) << c.why;
        int mc = -1, mr = -1;
        g.MeasureTabText(c.text, mc, mr);
        EXPECT_EQ(mc, c.measuredCols) << c.why;
        EXPECT_EQ(mr, c.measuredRows) << c.why;
    }
}

// Outside editing mode, or at a negative cell, a text paste does nothing.
TEST(GridClipboard, TextPasteNeedsEditingAndACell)
{
    HookGrid g;
    Fill(g, 1, {{"k"}});
    int rows = -1, cols = -1;
    EXPECT_EQ(g.PasteTextAtCell(-1, 0, QStringLiteral("a"), rows, cols), 0);
    g.SetOptions(g.Options() & ~goEditing);
    EXPECT_EQ(g.PasteTextAtCell(0, 0, QStringLiteral("a"), rows, cols), 0);
    EXPECT_EQ(g.GetGridCell(0, 0), QStringLiteral("k"));
    g.Navigation().SetAllowClipboardAlways(true);
    EXPECT_EQ(g.PasteTextAtCell(0, 0, QStringLiteral("a"), rows, cols), 1);
    EXPECT_EQ(g.GetGridCell(0, 0), QStringLiteral("a"));
}

// A cell-format block from the same grid tells the after-paste hook where
// it came from; from another grid the source is (-1, -1).
TEST(GridClipboard, CellFormatPasteNamesItsSourceOnlyInTheSameGrid)
{
    HookGrid g;
    Fill(g, 3, {{"a", "b", "c"}, {"d", "e", "f"}});
    g.Navigation().SetAllowFmtClipboard(true);
    Select(g, 1, 0, 2, 0);
    g.CopySelectionToClipboard();
    Select(g, 0, 1, 0, 1);
    g.PasteSelectionFromClipboard();
    EXPECT_EQ(Snapshot(g), (QStringList{"3", "2", "a", "b", "c", "b", "c", "f"}));
    ASSERT_FALSE(g.sources.empty());
    EXPECT_EQ(g.sources.back(), (TPoint{1, 0}));

    HookGrid other;
    Fill(other, 3, {{"", "", ""}});
    other.Navigation().SetAllowFmtClipboard(true);
    Select(other, 0, 0, 0, 0);
    other.PasteSelectionFromClipboard();
    ASSERT_FALSE(other.sources.empty());
    EXPECT_EQ(other.sources.back(), (TPoint{-1, -1}));
}

// A selection paste is bracketed by the import notifications and ends with
// the footer recalculation, also when nothing could be pasted.
TEST(GridClipboard, SelectionPasteEndsWithImportDoneAndFooterUpdate)
{
    for (const bool editing : {true, false}) {
        HookGrid g;
        Fill(g, 1, {{""}});
        if (!editing)
            g.SetOptions(g.Options() & ~goEditing);
        SetClipText(QStringLiteral("a"));
        Select(g, 0, 0, 0, 0);
        g.PasteSelectionFromClipboard();
        const QStringList expected = editing ? QStringList{"import 0 -1", "import 3 0", "import 2 -1", "updated"}
                                             : QStringList{"import 0 -1", "import 2 -1", "updated"};
        EXPECT_EQ(g.steps, expected) << editing;
    }
}

// A damaged cell block (here one claiming 2^31 - 1 columns) ends the paste
// with a read error before the grid grows or changes.
TEST(GridClipboard, DamagedCellBlockChangesNothing)
{
    TExStringGrid src;
    Fill(src, 1, {{"a"}});
    src.Navigation().SetAllowFmtClipboard(true);
    Select(src, 0, 0, 0, 0);
    src.CopySelectionToClipboard();
    QByteArray block = QGuiApplication::clipboard()->mimeData()->data(GridCellsClipboardFormat());
    const QByteArray one("\x08" "ColCount\x02\x01", 11);
    ASSERT_TRUE(block.contains(one));
    block.replace(one, QByteArray("\x08" "ColCount\x04\xff\xff\xff\x7f", 14));
    auto* data = new QMimeData;
    data->setData(GridCellsClipboardFormat(), block);
    QGuiApplication::clipboard()->setMimeData(data);

    TExStringGrid dst;
    Fill(dst, 2, {{"k0", "k1"}});
    dst.Navigation().SetAllowFmtClipboard(true);
    Select(dst, 1, 0, 1, 0);
    EXPECT_THROW(dst.PasteSelectionFromClipboard(), REruVidaZuvez);
    EXPECT_EQ(Snapshot(dst), (QStringList{"2", "1", "k0", "k1"}));
}
