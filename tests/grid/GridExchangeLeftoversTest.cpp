// Cell streams, HTML and ASCII exports and the node model: what a loaded
// record leaves alone, how progress counts, entities, the desktop's open
// action, the busy cursor, and the counters of removed rows.
#include "ExGridExchangeTestSupport.h"

#include <QBuffer>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace exchange_test;
using namespace platform;

namespace {

struct Plain : platform::TObject
{
};

// Records the files the desktop was asked to open.
class OpenRecorder : public QObject
{
    Q_OBJECT
public:
    OpenRecorder() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "Open"); }
    ~OpenRecorder() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList opened;
public slots:
    void Open(const QUrl& url) { opened << url.toLocalFile(); }
};

// The cursor shape at each export notification.
class CursorGrid : public TExStringGrid
{
public:
    std::vector<int> shapes;
    void ExportNotification(TGridExportState, int) override
    {
        const QCursor* c = QGuiApplication::overrideCursor();
        shapes.push_back(c ? c->shape() : -1);
    }
};

} // namespace

// A property a record does not hold (an empty font name, no object) keeps
// the target cell's own value.
TEST(GridBinaryLeftovers, AbsentPropertiesKeepTheTargetsValues)
{
    TExStringGrid src, dst;
    for (TExStringGrid* g : {&src, &dst}) {
        g->SetColCount(3);
        g->SetRowCount(3);
    }
    src.SetGridCell(1, 1, QStringLiteral("x"));
    TCellProperties* sp = src.GetCellProperties(1, 1);
    sp->SetFontName(QString());
    sp->SetCellObject(nullptr);
    sp->SetFontColor(clRed);
    Plain object;
    TCellProperties* tp = dst.GetCellProperties(1, 1);
    tp->SetFontName(QStringLiteral("Courier"));
    tp->SetCellObject(&object);
    LoadAt(dst, TPoint{1, 1}, SaveRect(src, TRect{1, 1, 1, 1}));
    EXPECT_EQ(dst.Cells(1, 1), QStringLiteral("x"));
    EXPECT_EQ(tp->FontColor(), clRed) << "what the record holds is taken";
    EXPECT_EQ(tp->FontName(), QStringLiteral("Courier"));
    EXPECT_EQ(tp->CellObject(), &object);
}

// Save progress: the row number over the rectangle's height.
TEST(GridBinaryLeftovers, SaveProgressCountsTheRowNumber)
{
    TExStringGrid g;
    g.SetColCount(2);
    g.SetRowCount(8);
    std::vector<int> seen;
    g.OnFileProgress = [&](QObject*, int16_t p) { seen.push_back(p); };
    SaveRect(g, TRect{0, 2, 1, 6});
    EXPECT_EQ(seen, (std::vector<int>{50, 75, 100, 125, 150}));
}

TEST(GridHTMLLeftovers, SpecialCharsBecomeNamedEntitiesInBodyCells)
{
    for (bool convert : {false, true}) {
        SCOPED_TRACE(convert);
        TExStringGrid g;
        g.SetColCount(2);
        g.SetRowCount(2);
        g.SetGridCell(1, 0, QStringLiteral("Zürich"));
        g.SetGridCell(1, 1, QStringLiteral("café <b> & \"ü\""));
        g.HTMLSettings().ConvertSpecialChars = convert;
        const QString html = g.SaveToHTMLString(QString());
        EXPECT_EQ(html.contains(QStringLiteral("caf&eacute; &lt;b&gt; &amp; &quot;&uuml;&quot;")), convert);
        EXPECT_EQ(html.contains(QStringLiteral("café &lt;b&gt; &amp; &quot;ü&quot;")), !convert);
    }
}

// Show or AutoPreview opens the written page with the desktop's open action.
TEST(GridHTMLLeftovers, ShowAndAutoPreviewOpenTheWrittenPage)
{
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("p.html"));
    const struct
    {
        const char* name;
        bool append, show, preview, opened;
    } cases[] = {
        {"save", false, false, false, false},
        {"save and show", false, true, false, true},
        {"auto preview", false, false, true, true},
        {"append and show", true, true, false, true},
        {"append, preview", true, false, true, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        OpenRecorder recorder;
        TExStringGrid g;
        g.SetGridCell(1, 1, QStringLiteral("x"));
        g.HTMLSettings().AutoPreview = k.preview;
        if (k.append)
            g.AppendToHTML(page, k.show);
        else
            g.SaveToHTML(page, k.show);
        EXPECT_EQ(recorder.opened, k.opened ? QStringList{page} : QStringList{});
    }
}

TEST(GridAsciiLeftovers, HourglassDuringTheExport)
{
    QTemporaryDir dir;
    CursorGrid g;
    g.SetColCount(2);
    g.SetRowCount(3);
    g.SaveToASCII(dir.filePath(QStringLiteral("a.txt")));
    ASSERT_FALSE(g.shapes.empty());
    for (int s : g.shapes)
        EXPECT_EQ(s, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// Removing a row through the node model lowers the maximum-row counter by
// that one row.
TEST(GridNodesLeftovers, RemovedRowLowersTheRowCounterOnce)
{
    for (bool child : {false, true}) {
        SCOPED_TRACE(child ? "child row" : "normal row");
        TExStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(10);
        g.AddNode(2, 4);
        const int before = g.MaxRowCount();
        ASSERT_GT(before, 1);
        if (child)
            g.RemoveChildRow(3);
        else
            g.RemoveNormalRow(7);
        EXPECT_EQ(g.RowCount(), 9);
        EXPECT_EQ(g.MaxRowCount(), before - 1);
    }
}

// With one node expanded at a time, expanding all of them goes node by node
// through that rule: the last one stays open.
TEST(GridNodesLeftovers, ExpandAllFollowsExpandOne)
{
    for (bool one : {false, true}) {
        SCOPED_TRACE(one);
        TExStringGrid g;
        g.SetColCount(3);
        g.SetRowCount(10);
        g.AddNode(1, 3);
        g.AddNode(4, 3);
        g.ContractAll();
        g.CellNode().SetExpandOne(one);
        g.ExpandAll();
        EXPECT_EQ(g.GetNodeState(1), one);
        const int second = g.DisplRowIndex(4);
        EXPECT_FALSE(g.GetNodeState(second));
    }
}

// Contracting a node moves the current cell out of the rows going out of
// sight without asking: the selection checks are forced for the while.
TEST(GridNodesLeftovers, ContractingForcesTheSelection)
{
    TExStringGrid g;
    g.resize(300, 300);
    g.SetColCount(3);
    g.SetRowCount(10);
    g.AddNode(2, 4);
    g.show();
    g.FocusCell(1, 4);
    int asked = 0;
    g.OnSelectCell = [&](QObject*, int, int, bool& can) {
        ++asked;
        can = false;
    };
    g.ContractNode(2);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(g.GetNodeState(2));
    EXPECT_LT(g.Row(), g.RowCount());
    g.OnSelectCell = nullptr;
}

#include "GridExchangeLeftoversTest.moc"
