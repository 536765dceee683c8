#include "ExGridExchangeTestSupport.h"

#include "widgets/BaseGrid.h"
#include "widgets/ExUtil.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace exchange_test;
using namespace platform;

namespace {

// Fixed regional settings: "/" dates day first, ":" times, "." decimals.
class GridSmartPaste : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetRegionalSettingsOverride(
            TRegionalSettings{QChar(u','), QChar(u'.'), QChar(u'/'), QChar(u':'), QStringLiteral("dd/MM/yyyy")});
    }
    void TearDown() override { SetRegionalSettingsOverride(std::nullopt); }
};

// An editable grid without fixed cells, every cell "old", smart paste on.
void Prepare(TExStringGrid& g, int cols, int rows)
{
    g.SetFixedRows(0);
    g.SetFixedCols(0);
    g.SetColCount(cols);
    g.SetRowCount(rows);
    g.SetOptions(g.Options() | goEditing);
    g.Navigation().SetAllowSmartClipboard(true);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            g.SetGridCell(c, r, QStringLiteral("old"));
}

void PasteInto(TExStringGrid& g, const QString& text, TGridRect selection)
{
    QGuiApplication::clipboard()->setText(text);
    g.SetSelection(selection);
    g.PasteSelectionFromClipboard();
}

QStringList Column(TExStringGrid& g, int c)
{
    QStringList out;
    for (int r = 0; r < g.RowCount(); ++r)
        out << g.GetGridCell(c, r);
    return out;
}

QStringList Row(TExStringGrid& g, int r)
{
    QStringList out;
    for (int c = 0; c < g.ColCount(); ++c)
        out << g.GetGridCell(c, r);
    return out;
}

} // namespace

// Two or more pasted cells along a single selected column or row continue
// as a series or repeat as a pattern. The last expected text is the cell
// just past the selection, which the fill leaves alone.
TEST_F(GridSmartPaste, SeriesAndPatternsFillTheSelection)
{
    const struct
    {
        const char* why;
        QString clip;
        bool inRow;
        QStringList expected;
    } cases[] = {
        {"integers up", "1\r\n2\r\n", false, {"1", "2", "3", "4", "5", "old"}},
        {"integers down past zero", "10\r\n7\r\n", false, {"10", "7", "4", "1", "-2", "old"}},
        {"no line break after the last cell", "1\r\n2", false, {"1", "2", "3", "4", "5", "old"}},
        {"hexadecimal integers, written decimal", "$A\r\n0xC\r\n", false, {"10", "12", "14", "16", "18", "old"}},
        {"integers along a row", "1\t2", true, {"1", "2", "3", "4", "5", "old"}},
        {"floats in FloatFormat", "1.5\r\n2\r\n", false, {"1.50", "2.00", "2.50", "3.00", "3.50", "old"}},
        {"days across a year end", "30/12/2024\r\n31/12/2024\r\n", false,
         {"30/12/2024", "31/12/2024", "01/01/2025", "02/01/2025", "03/01/2025", "old"}},
        {"months across a year end, same day", "15/11/2024\r\n15/12/2024\r\n", false,
         {"15/11/2024", "15/12/2024", "15/01/2025", "15/02/2025", "15/03/2025", "old"}},
        {"descending days over a leap day", "02/03/2024\r\n01/03/2024\r\n", false,
         {"02/03/2024", "01/03/2024", "29/02/2024", "28/02/2024", "27/02/2024", "old"}},
        {"years", "29/02/2024\r\n29/02/2028\r\n", false,
         {"29/02/2024", "29/02/2028", "29/02/2032", "29/02/2036", "29/02/2040", "old"}},
        {"a day the month lacks ends the series", "31/01/2024\r\n31/03/2024\r\n", false,
         {"31/01/2024", "31/03/2024", "31/05/2024", "31/07/2024", "old", "old"}},
        {"uneven date steps add the difference", "01/01/2024\r\n03/02/2024\r\n", false,
         {"01/01/2024", "03/02/2024", "07/03/2024", "09/04/2024", "12/05/2024", "old"}},
        {"times", "10:00\r\n10:30\r\n", false, {"10:00:00", "10:30:00", "11:00:00", "11:30:00", "12:00:00", "old"}},
        {"dates with a time keep the time", "01/02/2024 08:15\r\n02/02/2024 08:15\r\n", false,
         {"01/02/2024 08:15:00", "02/02/2024 08:15:00", "03/02/2024 08:15:00", "04/02/2024 08:15:00",
          "05/02/2024 08:15:00", "old"}},
        {"a date that does not convert stops before it starts", "31/02/2024\r\n01/03/2024\r\n", false,
         {"31/02/2024", "01/03/2024", "old", "old", "old", "old"}},
        {"a float that does not convert stops before it starts", "1.5\r\nabc\r\n", false,
         {"1.5", "abc", "old", "old", "old", "old"}},
        {"texts repeat down", "x\r\ny\r\n", false, {"x", "y", "x", "y", "x", "old"}},
        {"a number and a text repeat", "1\r\nb\r\n", false, {"1", "b", "1", "b", "1", "old"}},
        {"three texts repeat along a row", "a\tb\tc", true, {"a", "b", "c", "a", "b", "old"}},
        {"a row ending in a line break repeats alike", "a\tb\r\n", true, {"a", "b", "a", "b", "a", "old"}},
    };
    for (const auto& c : cases) {
        TExStringGrid g;
        g.SetFloatFormat(QStringLiteral("%.2f"));
        if (c.inRow) {
            Prepare(g, 6, 1);
            PasteInto(g, c.clip, TGridRect{0, 0, 4, 0});
            EXPECT_EQ(Row(g, 0), c.expected) << c.why;
        } else {
            Prepare(g, 1, 6);
            PasteInto(g, c.clip, TGridRect{0, 0, 0, 4});
            EXPECT_EQ(Column(g, 0), c.expected) << c.why;
        }
    }
}

// One pasted cell goes into every selected cell, also when the text ends
// with a line break as a spreadsheet's copy of one cell does.
TEST_F(GridSmartPaste, OneCellFillsTheWholeSelection)
{
    for (const QString& clip : {QStringLiteral("v"), QStringLiteral("v\r\n")}) {
        TExStringGrid g;
        Prepare(g, 4, 3);
        PasteInto(g, clip, TGridRect{1, 0, 3, 1});
        EXPECT_EQ(Snapshot(g), (QStringList{"4", "3", "old", "v", "v", "v", "old", "v", "v", "v", "old", "old",
                                            "old", "old"}))
            << clip.toStdString();
        EXPECT_EQ(g.Selection(), (TGridRect{1, 0, 3, 1}));
    }
}

// A check-box top-left cell spreads the text of its state.
TEST_F(GridSmartPaste, CheckBoxCellSpreadsItsStateText)
{
    for (const bool checked : {true, false}) {
        TExStringGrid g;
        Prepare(g, 1, 3);
        g.AddCheckBox(0, 0, !checked, false);
        PasteInto(g, checked ? g.CheckTrue() : QStringLiteral("no"), TGridRect{0, 0, 0, 2});
        bool state = !checked;
        ASSERT_TRUE(g.GetCheckBoxState(0, 0, state));
        EXPECT_EQ(state, checked);
        const QString text = checked ? g.CheckTrue() : g.CheckFalse();
        EXPECT_EQ(g.GetGridCell(0, 1), text);
        EXPECT_EQ(g.GetGridCell(0, 2), text);
    }
}

// A block that covers the selection has filled it: two numbers pasted into
// a two-cell selection stay as they were pasted (a float series would write
// them again as "1.50" and "2.00"), however the block came.
TEST_F(GridSmartPaste, BlockMatchingTheSelectionTriggersNothing)
{
    enum Source { CopiedText, CellFormat, TextWithoutFinalLineBreak };
    for (const Source source : {CopiedText, CellFormat, TextWithoutFinalLineBreak}) {
        TExStringGrid src;
        Prepare(src, 1, 2);
        src.SetGridCell(0, 0, QStringLiteral("1.5"));
        src.SetGridCell(0, 1, QStringLiteral("2"));
        src.Navigation().SetAllowFmtClipboard(source == CellFormat);
        src.SetSelection(TGridRect{0, 0, 0, 1});
        src.CopySelectionToClipboard();
        if (source == TextWithoutFinalLineBreak)
            QGuiApplication::clipboard()->setText(QStringLiteral("1.5\r\n2"));

        TExStringGrid g;
        Prepare(g, 1, 3);
        g.Navigation().SetAllowFmtClipboard(source == CellFormat);
        g.SetSelection(TGridRect{0, 0, 0, 1});
        g.PasteSelectionFromClipboard();
        EXPECT_EQ(Column(g, 0), (QStringList{"1.5", "2", "old"})) << source;
    }
}

// A series from the cell format continues like one from text.
TEST_F(GridSmartPaste, CellFormatBlockContinuesAsASeries)
{
    TExStringGrid src;
    Prepare(src, 1, 2);
    src.SetGridCell(0, 0, QStringLiteral("3"));
    src.SetGridCell(0, 1, QStringLiteral("6"));
    src.Navigation().SetAllowFmtClipboard(true);
    src.SetSelection(TGridRect{0, 0, 0, 1});
    src.CopySelectionToClipboard();

    TExStringGrid g;
    Prepare(g, 1, 5);
    g.Navigation().SetAllowFmtClipboard(true);
    g.SetSelection(TGridRect{0, 0, 0, 3});
    g.PasteSelectionFromClipboard();
    EXPECT_EQ(Column(g, 0), (QStringList{"3", "6", "9", "12", "old"}));
}

// A one-row block goes again at the start of every further row, a
// one-column block at the top of every further column; the selection stays.
TEST_F(GridSmartPaste, OneRowOrColumnRepeatsOverTheSelection)
{
    {
        TExStringGrid g;
        Prepare(g, 5, 4);
        PasteInto(g, QStringLiteral("a\tb"), TGridRect{0, 0, 3, 2});
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(Row(g, r), (QStringList{"a", "b", "old", "old", "old"})) << r;
        EXPECT_EQ(Row(g, 3), (QStringList{"old", "old", "old", "old", "old"}));
        EXPECT_EQ(g.Selection(), (TGridRect{0, 0, 3, 2}));
    }
    {
        TExStringGrid g;
        Prepare(g, 4, 4);
        PasteInto(g, QStringLiteral("a\r\nb\r\n"), TGridRect{0, 0, 2, 2});
        EXPECT_EQ(Row(g, 0), (QStringList{"a", "a", "a", "old"}));
        EXPECT_EQ(Row(g, 1), (QStringList{"b", "b", "b", "old"}));
        EXPECT_EQ(Row(g, 2), (QStringList{"old", "old", "old", "old"}));
        EXPECT_EQ(g.Selection(), (TGridRect{0, 0, 2, 2}));
    }
}

// Read-only cells are skipped but still advance the series; a refused cell
// keeps its text and is not announced; the top-left cell raises no events
// of the fill (only those of the paste itself).
TEST_F(GridSmartPaste, ReadOnlyAndRefusedCellsKeepTheirText)
{
    TExStringGrid g;
    Prepare(g, 1, 6);
    g.OnCanEditCell = [](QObject*, int aRow, int, bool& canEdit) { canEdit = aRow != 2; };
    std::vector<int> before, after;
    g.OnClipboardBeforePasteCell = [&before](QObject*, int, int aRow, QString&, bool& allow) {
        before.push_back(aRow);
        allow = aRow != 3;
    };
    g.OnClipboardAfterPasteCell = [&after](QObject*, int, int aRow, const QString&) { after.push_back(aRow); };
    PasteInto(g, QStringLiteral("1\r\n2\r\n"), TGridRect{0, 0, 0, 4});
    EXPECT_EQ(Column(g, 0), (QStringList{"1", "2", "old", "old", "5", "old"}));
    EXPECT_EQ(before, (std::vector<int>{0, 1, 1, 3, 4})) << "paste: 0, 1; fill: 1, 3, 4";
    EXPECT_EQ(after, (std::vector<int>{0, 1, 1, 4}));

    // The one-cell fill announces only the cells it wrote.
    TExStringGrid one;
    Prepare(one, 1, 4);
    after.clear();
    one.OnClipboardBeforePasteCell = [](QObject*, int, int aRow, QString&, bool& allow) { allow = aRow != 1; };
    one.OnClipboardAfterPasteCell = [&after](QObject*, int, int aRow, const QString&) { after.push_back(aRow); };
    PasteInto(one, QStringLiteral("v"), TGridRect{0, 0, 0, 2});
    EXPECT_EQ(Column(one, 0), (QStringList{"v", "old", "v", "old"}));
    EXPECT_EQ(after, (std::vector<int>{0, 2}));
}

// The fill is one undo step after the paste's own.
TEST_F(GridSmartPaste, FillIsUndoneAsOneStep)
{
    TExStringGrid g;
    Prepare(g, 1, 4);
    TExGridUndoRedo undo;
    undo.SetGrid(&g);
    g.SetUndoRedo(&undo);
    PasteInto(g, QStringLiteral("1\r\n2\r\n"), TGridRect{0, 0, 0, 3});
    EXPECT_EQ(Column(g, 0), (QStringList{"1", "2", "3", "4"}));
    undo.Undo();
    EXPECT_EQ(Column(g, 0), (QStringList{"1", "2", "old", "old"}));
    undo.Undo();
    EXPECT_EQ(Column(g, 0), (QStringList{"old", "old", "old", "old"}));
    g.SetUndoRedo(nullptr);
}

// Without the setting the paste stops after the block.
TEST_F(GridSmartPaste, OffPastesTheBlockOnly)
{
    TExStringGrid g;
    Prepare(g, 1, 4);
    g.Navigation().SetAllowSmartClipboard(false);
    PasteInto(g, QStringLiteral("1\r\n2\r\n"), TGridRect{0, 0, 0, 3});
    EXPECT_EQ(Column(g, 0), (QStringList{"1", "2", "old", "old"}));
}
