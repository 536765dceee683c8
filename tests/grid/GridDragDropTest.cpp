// Drag and drop of cells, rows and columns, driven as a user does it: a real
// press and move on the source grid start the drag, and the scripted drag
// loop delivers real drag-enter, drag-move and drop events to the target.
#include "grid/EsgDD.h"
#include "grid/ExGrid.h"

#include "platform/Controls.h"
#include "platform/DragDrop.h"

#include <QApplication>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace platform;

namespace {

void ProcessEvents() { QCoreApplication::processEvents(); }

QPoint Centre(TExStringGrid* g, int c, int r)
{
    const TRect rc = g->CellRect(c, r);
    return QPoint((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
}

void Mouse(TExStringGrid* g, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
           Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QWidget* s = g->ClientSurface();
    QMouseEvent e(type, at, s->mapToGlobal(at), button, held, keys);
    QApplication::sendEvent(s, &e);
}

// Presses on a cell of the source and moves the pointer away with the button
// held: the drag starts and runs its script.
void PressAndDrag(TExStringGrid* g, int c, int r)
{
    const QPoint at = Centre(g, c, r);
    Mouse(g, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    Mouse(g, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(g, QEvent::MouseMove, at + QPoint(6, 5), Qt::NoButton, Qt::LeftButton);
}

// Texts of the shown columns 1.. of a row, joined by "|".
QString RowText(TExStringGrid* g, int r)
{
    QStringList out;
    for (int c = 1; c < g->ColCount(); ++c)
        out << g->Cells(g->RealColIndex(c), r);
    return out.join(u'|');
}

struct TwoGrids : ::testing::Test
{
    std::unique_ptr<QWidget> host;
    TExStringGrid* a = nullptr;
    TExStringGrid* b = nullptr;

    static void Fill(TExStringGrid* g, const QString& tag, int cols, int rows)
    {
        g->SetColCount(cols);
        g->SetRowCount(rows);
        g->SetFixedCols(1);
        g->SetFixedRows(1);
        g->SetOptions(g->Options() & ~goEditing);
        g->Navigation().SetAllowClipboardAlways(true);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                g->SetCells(c, r, QStringLiteral("%1%2,%3").arg(tag).arg(c).arg(r));
        g->DragDropSettings().SetOleDropSource(true);
        g->DragDropSettings().SetOleDropTarget(true);
    }

    void SetUp() override
    {
        host = std::make_unique<QWidget>();
        host->resize(920, 360);
        a = new TExStringGrid(host.get());
        b = new TExStringGrid(host.get());
        a->setGeometry(10, 10, 420, 300);
        b->setGeometry(460, 10, 420, 300);
        Fill(a, QStringLiteral("A"), 5, 7);
        Fill(b, QStringLiteral("B"), 5, 7);
        host->show();
        ProcessEvents();
    }

    void TearDown() override
    {
        for (TExStringGrid* g : {a, b}) {
            g->OnOleDrop = nullptr;
            g->OnOleDropCol = nullptr;
            g->OnOleDropFile = nullptr;
            g->OnOleDragStop = nullptr;
            g->OnClipboardBeforePasteCell = nullptr;
        }
        host.reset();
    }

    // Drags the selection of the source from a cell to a cell of the target.
    static void DragTo(TExStringGrid* src, int c, int r, TExStringGrid* dst, int tc, int tr,
                       Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        DragScript script;
        script.MoveTo(dst->ClientSurface(), Centre(dst, tc, tr) + QPoint(0, 1), keys);
        script.MoveTo(dst->ClientSurface(), Centre(dst, tc, tr), keys);
        script.Release();
        PressAndDrag(src, c, r);
        EXPECT_EQ(script.DragsRun(), 1);
        EXPECT_EQ(script.Unscripted(), 0);
    }
};

} // namespace

// A block moved or copied into the other grid, through the text and through
// the cell stream: a move empties the source, a copy (Ctrl) keeps it.
TEST_F(TwoGrids, CellsMoveOrCopyIntoTheOtherGrid)
{
    const struct
    {
        const char* name;
        Qt::KeyboardModifiers keys;
        bool cellStream;
        bool sourceEmptied;
    } cases[] = {
        {"move as text", Qt::NoModifier, false, true},
        {"copy as text", Qt::ControlModifier, false, false},
        {"move as cells", Qt::NoModifier, true, true},
        {"copy as cells", Qt::ControlModifier, true, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TearDown();
        SetUp();
        a->Navigation().SetAllowFmtClipboard(k.cellStream);
        b->Navigation().SetAllowFmtClipboard(k.cellStream);
        int stopEffect = -1;
        a->OnOleDragStop = [&](QObject*, int e) { stopEffect = e; };
        a->DragDropSettings().SetShowCells(true);
        a->SetSelection(TGridRect{1, 1, 2, 2});
        DragTo(a, 1, 1, b, 2, 3, k.keys);
        // The floating picture went with the drag.
        EXPECT_TRUE(a->findChildren<QWidget*>(QStringLiteral("TNoActiveForm")).isEmpty());
        EXPECT_EQ(RowText(b, 3), QStringLiteral("B1,3|A1,1|A2,1|B4,3"));
        EXPECT_EQ(RowText(b, 4), QStringLiteral("B1,4|A1,2|A2,2|B4,4"));
        EXPECT_EQ(RowText(b, 2), QStringLiteral("B1,2|B2,2|B3,2|B4,2"));
        EXPECT_EQ(RowText(a, 1),
                  k.sourceEmptied ? QStringLiteral("||A3,1|A4,1") : QStringLiteral("A1,1|A2,1|A3,1|A4,1"));
        EXPECT_EQ(stopEffect, k.sourceEmptied ? 2 : 1);
    }
}

// A move onto an area that overlaps its own source keeps what it dropped and
// empties only the source cells the drop did not cover.
TEST_F(TwoGrids, MoveOntoItsOwnOverlappingAreaKeepsTheDroppedCells)
{
    a->SetSelection(TGridRect{1, 1, 2, 2});
    DragTo(a, 1, 1, a, 2, 2);
    EXPECT_EQ(RowText(a, 1), QStringLiteral("||A3,1|A4,1"));
    EXPECT_EQ(RowText(a, 2), QStringLiteral("|A1,1|A2,1|A4,2"));
    EXPECT_EQ(RowText(a, 3), QStringLiteral("A1,3|A1,2|A2,2|A4,3"));
}

// Rows moved within one grid in row-select mode: the source rows go, and
// only rows really inserted above them move them down first.
TEST_F(TwoGrids, RowsMovedWithinOneGridRemoveTheRightRows)
{
    const struct
    {
        const char* name;
        bool insert;
        QStringList firstColumn; // column 1 of rows 1.. afterwards
    } cases[] = {
        // Overwrites rows 1-2; rows 4-5 go.
        {"overwrite", false, {"A1,4", "A1,5", "A1,3", "A1,6"}},
        // Two rows inserted at row 1 push the source to rows 6-7, which go.
        {"insert", true, {"A1,4", "A1,5", "A1,1", "A1,2", "A1,3", "A1,6"}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TearDown();
        SetUp();
        a->SetOptions(a->Options() | goRowSelect);
        a->DragDropSettings().SetOleRemoveRows(true);
        a->DragDropSettings().SetOleInsertRows(k.insert);
        a->SetSelection(TGridRect{1, 4, 4, 5});
        DragTo(a, 2, 4, a, 2, 1);
        QStringList got;
        for (int r = 1; r < a->RowCount(); ++r)
            got << a->Cells(1, r);
        EXPECT_EQ(got, k.firstColumn);
    }
}

// Rows moved into another grid with row insertion: inserted there, removed here.
TEST_F(TwoGrids, RowsMovedIntoTheOtherGridAreInsertedThereAndRemovedHere)
{
    for (TExStringGrid* g : {a, b}) {
        g->SetOptions(g->Options() | goRowSelect);
        g->DragDropSettings().SetOleRemoveRows(true);
        g->DragDropSettings().SetOleInsertRows(true);
    }
    a->SetSelection(TGridRect{1, 2, 4, 3});
    DragTo(a, 1, 2, b, 1, 1);
    EXPECT_EQ(b->RowCount(), 9);
    EXPECT_EQ(RowText(b, 1), QStringLiteral("A1,2|A2,2|A3,2|A4,2"));
    EXPECT_EQ(RowText(b, 2), QStringLiteral("A1,3|A2,3|A3,3|A4,3"));
    EXPECT_EQ(RowText(b, 3), QStringLiteral("B1,1|B2,1|B3,1|B4,1"));
    EXPECT_EQ(a->RowCount(), 5);
    EXPECT_EQ(a->Cells(1, 2), QStringLiteral("A1,4"));
}

// A header dragged within its grid reorders the columns; dropped on the other
// grid it is only reported there.
TEST_F(TwoGrids, ColumnDragReordersItsOwnGridAndIsReportedByAnother)
{
    for (TExStringGrid* g : {a, b}) {
        g->SetEnhRowColMove(false);
        g->DragDropSettings().SetOleColumnDragDrop(true);
        g->DragDropSettings().SetOleColumnReorder(true);
    }
    std::vector<std::array<int, 3>> reported;
    b->OnOleDropCol = [&](QObject*, int r, int c, int col) { reported.push_back({r, c, col}); };
    DragTo(a, 1, 0, b, 3, 0);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], (std::array<int, 3>{0, 3, 1}));
    EXPECT_EQ(RowText(b, 0), QStringLiteral("B1,0|B2,0|B3,0|B4,0"));
    EXPECT_EQ(RowText(a, 0), QStringLiteral("A1,0|A2,0|A3,0|A4,0"));
    EXPECT_EQ(RowText(a, 1), QStringLiteral("A1,1|A2,1|A3,1|A4,1"));

    DragTo(a, 1, 0, a, 3, 0);
    EXPECT_EQ(RowText(a, 0), QStringLiteral("A2,0|A3,0|A1,0|A4,0"));
    EXPECT_EQ(RowText(a, 1), QStringLiteral("A2,1|A3,1|A1,1|A4,1"));
}

// Escape, or a grid that takes no drops, leaves both grids as they were.
TEST_F(TwoGrids, CancelledOrRefusedDragChangesNothing)
{
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "escape" : "target off");
        TearDown();
        SetUp();
        int stopped = -1;
        a->OnOleDragStop = [&](QObject*, int effect) { stopped = effect; };
        b->DragDropSettings().SetOleDropTarget(false);
        a->SetSelection(TGridRect{1, 1, 2, 1});
        DragScript script;
        script.MoveTo(b->ClientSurface(), Centre(b, 2, 2));
        if (escape)
            script.Escape();
        else
            script.Release();
        PressAndDrag(a, 1, 1);
        EXPECT_EQ(script.DragsRun(), 1);
        EXPECT_EQ(stopped, 0) << "a cancelled drag stops too, with no effect";
        EXPECT_EQ(RowText(a, 1), QStringLiteral("A1,1|A2,1|A3,1|A4,1"));
        EXPECT_EQ(RowText(b, 2), QStringLiteral("B1,2|B2,2|B3,2|B4,2"));
    }
}

// A cell block as large as its whole source grid is still a block: it never
// clears or resizes the target, and it lands only where a paste may write.
// A drop that took nothing does not empty the source of a move.
TEST_F(TwoGrids, CellStreamDropOfAWholeGridIsPastedAsABlock)
{
    const struct
    {
        const char* name;
        bool editable;
        bool refuseFirst; // OnClipboardBeforePasteCell refuses (1,1)
        QString row1;
        bool sourceEmptied;
    } cases[] = {
        {"pasted", true, false, "A1,1|A2,1|A3,1|A4,1|B5,1", true},
        {"cell refused", true, true, "B1,1|A2,1|A3,1|A4,1|B5,1", true},
        {"not editable", false, false, "B1,1|B2,1|B3,1|B4,1|B5,1", false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TearDown();
        SetUp();
        Fill(b, QStringLiteral("B"), 6, 9);
        for (TExStringGrid* g : {a, b})
            g->Navigation().SetAllowFmtClipboard(true);
        b->Navigation().SetAllowClipboardAlways(k.editable);
        if (k.refuseFirst)
            b->OnClipboardBeforePasteCell = [](QObject*, int c, int r, QString&, bool& allow) {
                allow = !(c == 1 && r == 1);
            };
        a->SetSelection(TGridRect{1, 1, 4, 6}); // every normal cell: a "full grid" stream
        DragTo(a, 1, 1, b, 1, 1);
        EXPECT_EQ(b->ColCount(), 6);
        EXPECT_EQ(b->RowCount(), 9);
        EXPECT_EQ(RowText(b, 1), k.row1);
        EXPECT_EQ(b->Cells(5, 8), QStringLiteral("B5,8"));
        EXPECT_EQ(b->Cells(0, 1), QStringLiteral("B0,1"));
        EXPECT_EQ(a->Cells(3, 6), k.sourceEmptied ? QString() : QStringLiteral("A3,6"));
    }
}

// Dropped files: one file, its type told by its extension alone.
TEST_F(TwoGrids, DroppedFileLoadsByItsExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto file = [&](const QString& name) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("csvx,csvy\r\n1,2\r\n");
        return path;
    };
    const struct
    {
        const char* name;
        QStringList files;
        bool asked;  // OnOleDrop asked about the file
        bool loaded; // the CSV text reached the grid
    } cases[] = {
        {"csv", {"data.csv"}, true, true},
        {"upper case", {"DATA.CSV"}, true, true},
        {"csv inside the name", {"data.csv.txt"}, false, false},
        {"csv at the start", {"csvnotes.txt"}, false, false},
        {"workbook, refused", {"book.xls"}, true, false},
        {"two files", {"one.csv", "two.csv"}, false, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TearDown();
        SetUp();
        QList<QUrl> urls;
        for (const QString& n : k.files)
            urls << QUrl::fromLocalFile(file(n));
        bool asked = false;
        b->OnOleDrop = [&](QObject*, int r, int c, const QString& name, bool& allow) {
            asked = r == -1 && c == -1 && name.endsWith(k.files.front());
            allow = !name.endsWith(QStringLiteral(".xls"));
        };
        auto* data = new QMimeData;
        data->setUrls(urls);
        TESGDropSource source;
        DropEffect effect = DropEffect::None;
        DragScript script;
        script.MoveTo(b->ClientSurface(), Centre(b, 2, 2));
        script.Release();
        DoDragDrop(nullptr, data, source, false, effect);
        EXPECT_EQ(asked, k.asked);
        bool loaded = false;
        for (int r = 0; r < b->RowCount(); ++r)
            for (int c = 0; c < b->ColCount(); ++c)
                loaded = loaded || b->Cells(c, r) == QStringLiteral("csvx");
        EXPECT_EQ(loaded, k.loaded);
        EXPECT_EQ(effect, k.loaded ? DropEffect::Copy : DropEffect::None);
    }
}

// The data of an outgoing drag, read back as a target reads it.
TEST(GridDragData, FormatsOfAnOutgoingDragReadBack)
{
    const QByteArray stream = QByteArrayLiteral("0123456789");
    {
        std::unique_ptr<QMimeData> d(SourceDataObject(QStringLiteral("x\ty"), &stream, -1, QStringLiteral("{\\rtf}")));
        const QByteArray block = d->data(QStringLiteral("TExStringGrid Cells"));
        EXPECT_EQ(block, QByteArrayLiteral("\x0a\0\0\0\0\0\0\0") + stream);
        const TEnumFormats f(d.get());
        EXPECT_EQ(f.Stream(), stream);
        EXPECT_EQ(f.Text(), QStringLiteral("x\ty"));
        EXPECT_FALSE(f.HasRTF()); // rich text only while the switch is on
        EXPECT_EQ(f.Col(), -1);
    }
    {
        // A column drag answers its column and lists an empty text.
        std::unique_ptr<QMimeData> d(SourceDataObject(QString(), nullptr, 3, QString()));
        const TEnumFormats f(d.get());
        EXPECT_EQ(f.Col(), 3);
        EXPECT_TRUE(f.HasText());
        EXPECT_EQ(f.Text(), QString());
        EXPECT_FALSE(f.HasGridCells());
    }
    {
        // A block whose length claims more than it holds gives no stream.
        QMimeData d;
        d.setData(QStringLiteral("TExStringGrid Cells"), QByteArrayLiteral("\x64\0\0\0\0\0\0\0") + stream);
        EXPECT_TRUE(TEnumFormats(&d).Stream().isEmpty());
    }
}

// Text dropped from another program: two lines of two fields.
TEST_F(TwoGrids, DroppedTextOverwritesInsertsOrAppends)
{
    const struct
    {
        const char* name;
        bool insert, append, refuse;
        int row;            // the row dropped on; -1 below the last row
        int rowCount;       // afterwards
        int firstRow;       // where the text landed
        TGridRect selection;
    } cases[] = {
        {"overwrite", false, false, false, 2, 7, 2, TGridRect{1, 2, 2, 3}},
        {"insert", true, false, false, 2, 9, 2, TGridRect{1, 2, 2, 3}},
        {"append", true, true, false, -1, 9, 7, TGridRect{1, 7, 2, 8}},
        // From the last row on; the paste grows the grid for the second line.
        {"append without insert", false, true, false, -1, 8, 6, TGridRect{1, 6, 2, 7}},
        {"refused", false, false, true, 2, 7, -1, TGridRect{1, 1, 1, 1}},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TearDown();
        SetUp();
        b->DragDropSettings().SetOleInsertRows(k.insert);
        b->DragDropSettings().SetOleEntireRows(k.append);
        b->DragDropSettings().SetOleAppendRows(k.append);
        b->SetSelection(TGridRect{1, 1, 1, 1});
        b->OnOleDrop = [&](QObject*, int, int, const QString&, bool& allow) { allow = !k.refuse; };
        TGridRect dropped{-1, -1, -1, -1};
        b->OnOleDropped = [&](QObject*, const TGridRect& r) { dropped = r; };
        QPoint at = Centre(b, 1, k.row < 0 ? 6 : k.row);
        if (k.row < 0)
            at.ry() = b->CellRect(1, 6).Bottom + 10;
        auto* data = new QMimeData;
        data->setText(QStringLiteral("p\tq\r\nr\ts"));
        TESGDropSource source;
        DropEffect effect = DropEffect::None;
        DragScript script;
        script.MoveTo(b->ClientSurface(), at);
        script.Release();
        DoDragDrop(nullptr, data, source, true, effect);
        EXPECT_EQ(b->RowCount(), k.rowCount);
        if (k.firstRow >= 0) {
            EXPECT_EQ(b->Cells(1, k.firstRow), QStringLiteral("p"));
            EXPECT_EQ(b->Cells(2, k.firstRow), QStringLiteral("q"));
            if (k.firstRow + 1 < b->RowCount()) {
                EXPECT_EQ(b->Cells(1, k.firstRow + 1), QStringLiteral("r"));
            }
        } else {
            EXPECT_EQ(RowText(b, 2), QStringLiteral("B1,2|B2,2|B3,2|B4,2"));
        }
        EXPECT_EQ(b->Selection(), k.selection);
        EXPECT_EQ(dropped, k.selection);
        EXPECT_EQ(effect, k.refuse ? DropEffect::None : DropEffect::Move);
        b->OnOleDropped = nullptr;
    }
}

// The header row takes no text; it takes a column.
TEST_F(TwoGrids, HeaderRowRefusesTextButTakesAColumn)
{
    for (bool column : {false, true}) {
        SCOPED_TRACE(column ? "column" : "text");
        TearDown();
        SetUp();
        int dropCol = -1;
        b->OnOleDropCol = [&](QObject*, int, int, int c) { dropCol = c; };
        auto* data = column ? SourceDataObject(QString(), nullptr, 2, QString())
                            : SourceDataObject(QStringLiteral("t"), nullptr, -1, QString());
        TESGDropSource source;
        DropEffect effect = DropEffect::None;
        DragScript script;
        script.MoveTo(b->ClientSurface(), Centre(b, 2, 0));
        script.Release();
        DoDragDrop(nullptr, data, source, true, effect);
        EXPECT_EQ(b->Cells(2, 0), QStringLiteral("B2,0"));
        EXPECT_EQ(dropCol, column ? 2 : -1);
        EXPECT_EQ(effect, column ? DropEffect::Move : DropEffect::None);
    }
}

// The floating picture of dragged cells: as large as the cells, hidden until
// shown, see-through, on top, and never the active window.
TEST_F(TwoGrids, PictureOfCellsIsAHiddenNeverActiveWindow)
{
    std::unique_ptr<QWidget> form(a->SelectionToForm(TRect{1, 1, 2, 2}));
    const TRect first = a->CellRect(1, 1), last = a->CellRect(2, 2);
    EXPECT_EQ(form->size(), QSize(last.Right - first.Left + 1, last.Bottom - first.Top + 1));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(form->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_NEAR(form->windowOpacity(), 192.0 / 255.0, 0.01);
    form->show();
    ProcessEvents();
    EXPECT_NE(QApplication::activeWindow(), form.get());
}

// A column hidden and listed in a list box, dragged from the list into the
// header: the list item goes, the column is shown again and lands before the
// column under the pointer. The hand-over names the column by its place in
// the column order, a real index, whatever else is hidden or moved.
TEST_F(TwoGrids, ColumnHandedOverFromAListIsShownWhereDropped)
{
    const struct
    {
        const char* name;
        int movedFrom, movedTo; // a column move before hiding (-1: none)
        std::vector<int> hidden; // real columns hidden, the handed-over one first
        int handedOver; // the column as the list names it
        int dropAt; // display column under the pointer; -1 after the last
        QString header; // shown header row afterwards
        int reportedCol;
    } cases[] = {
        {"drop right of it", -1, -1, {2}, 2, 3, "A1,0|A3,0|A2,0|A4,0|A5,0", 3},
        {"drop left of it", -1, -1, {2}, 2, 1, "A2,0|A1,0|A3,0|A4,0|A5,0", 1},
        {"drop after the last column", -1, -1, {2}, 2, -1, "A1,0|A3,0|A4,0|A5,0|A2,0", 5},
        {"another column stays hidden", -1, -1, {4, 2}, 4, 1, "A4,0|A1,0|A3,0|A5,0", 1},
        {"column order after a move", 1, 3, {3}, 1, 1, "A1,0|A2,0|A3,0|A4,0|A5,0", 1},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TearDown();
        SetUp();
        Fill(a, QStringLiteral("A"), 6, 7);
        a->SetEnhRowColMove(false);
        if (k.movedFrom >= 0)
            a->MoveColumn(k.movedFrom, k.movedTo);
        for (int h : k.hidden)
            a->HideColumn(h);
        auto* list = new TListBox(host.get());
        list->SetItems({QStringLiteral("x"), QStringLiteral("column"), QStringLiteral("y")});
        std::vector<std::array<int, 3>> reported;
        a->OnOleDropCol = [&](QObject*, int r, int c, int col) { reported.push_back({r, c, col}); };
        a->OleColumnDragStart(k.handedOver, 1, list);

        TESGDropSource source;
        DropEffect effect = DropEffect::None;
        DragScript script;
        const TRect last = a->CellRect(a->ColCount() - 1, 0);
        const QPoint at = k.dropAt < 0 ? QPoint(last.Right + 8, (last.Top + last.Bottom) / 2) : Centre(a, k.dropAt, 0);
        ASSERT_LT(at.x(), a->ClientSurface()->width());
        script.MoveTo(a->ClientSurface(), at);
        script.Release();
        BeginOleColumnDrag(list, source, k.handedOver, true, effect);

        EXPECT_EQ(list->Items(), (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
        EXPECT_EQ(RowText(a, 0), k.header);
        // The cells of the rows went with their columns.
        EXPECT_EQ(RowText(a, 1), QString(k.header).replace(QStringLiteral(",0"), QStringLiteral(",1")));
        ASSERT_EQ(reported.size(), 1u);
        EXPECT_EQ(reported[0], (std::array<int, 3>{0, k.reportedCol, k.handedOver}));
        // The enhanced move was on for the drop only.
        EXPECT_FALSE(a->EnhRowColMove());

        // The hand-over is used up: a second column drop only reports.
        reported.clear();
        DragScript again;
        again.MoveTo(a->ClientSurface(), Centre(a, 1, 0));
        again.Release();
        TESGDropSource source2;
        BeginOleColumnDrag(list, source2, k.handedOver, true, effect);
        EXPECT_EQ(RowText(a, 0), k.header);
        EXPECT_EQ(list->Items().size(), 2);
        EXPECT_EQ(reported.size(), 1u);
    }
}

// Rows marked in disjunct row selection, moved up within their grid with row
// insertion: the marks move down with their rows, so the marked rows go and
// the inserted ones stay.
TEST_F(TwoGrids, MarkedRowsMovedWithInsertionRemoveTheMarkedRows)
{
    a->SetOptions(a->Options() | goRowSelect);
    a->MouseActions().SetDisjunctRowSelect(true);
    a->DragDropSettings().SetOleRemoveRows(true);
    a->DragDropSettings().SetOleInsertRows(true);
    a->SetSelection(TGridRect{1, 4, 4, 5});
    a->SetRowSelect(4, true);
    a->SetRowSelect(5, true);
    // The press on a marked row keeps the marks (Ctrl adds to them).
    DragScript script;
    script.MoveTo(a->ClientSurface(), Centre(a, 2, 1) + QPoint(0, 1));
    script.MoveTo(a->ClientSurface(), Centre(a, 2, 1));
    script.Release();
    const QPoint at = Centre(a, 2, 4);
    Mouse(a, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::ControlModifier);
    Mouse(a, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    ASSERT_TRUE(a->GetRowSelect(4));
    ASSERT_TRUE(a->GetRowSelect(5));
    Mouse(a, QEvent::MouseMove, at + QPoint(6, 5), Qt::NoButton, Qt::LeftButton);
    ASSERT_EQ(script.DragsRun(), 1);
    QStringList got;
    for (int r = 1; r < a->RowCount(); ++r)
        got << a->Cells(1, r);
    EXPECT_EQ(got, (QStringList{"A1,4", "A1,5", "A1,1", "A1,2", "A1,3", "A1,6"}));
}
