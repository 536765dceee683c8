// Cells in the grid's own format copied, pasted and dropped across hidden
// columns: each cell is read at the real column of its shown position and
// lands at the real column of its shown target, where that column may be
// written. Checked cell by cell over every real column, hidden ones included.
#include "grid/ExGrid.h"

#include "platform/DragDrop.h"

#include <QApplication>
#include <QBuffer>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <memory>

using namespace platform;

namespace {

QPoint Centre(TExStringGrid* g, int c, int r)
{
    const TRect rc = g->CellRect(c, r);
    return QPoint((rc.Left + rc.Right) / 2, (rc.Top + rc.Bottom) / 2);
}

void Mouse(TExStringGrid* g, QEvent::Type type, QPoint at, Qt::MouseButtons held)
{
    QWidget* s = g->ClientSurface();
    QMouseEvent e(type, at, s->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(s, &e);
}

// Texts of every real column of a row, joined by "|".
QString RealRow(TExStringGrid* g, int r)
{
    QStringList out;
    for (int c = 0; c < g->TotalColCount(); ++c)
        out << g->Cells(c, r);
    return out.join(u'|');
}

TColor FontColorAt(TExStringGrid* g, int c, int r)
{
    const TCellProperties* p = g->CellPropsAt(c, r);
    return p ? p->FontColor() : clNone;
}

struct HiddenExchange : ::testing::Test
{
    std::unique_ptr<QWidget> host;
    TExStringGrid* a = nullptr;
    TExStringGrid* b = nullptr;

    static void Fill(TExStringGrid* g, const QString& tag)
    {
        g->SetColCount(7);
        g->SetRowCount(4);
        g->SetFixedCols(1);
        g->SetFixedRows(1);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 7; ++c)
                g->SetCells(c, r, QStringLiteral("%1%2,%3").arg(tag).arg(c).arg(r));
        g->Navigation().SetAllowFmtClipboard(true);
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
        Fill(a, QStringLiteral("A"));
        Fill(b, QStringLiteral("B"));
        // The source only drags; the targets paste as an editing grid does.
        a->SetOptions(a->Options() & ~goEditing);
        a->Navigation().SetAllowClipboardAlways(true);
        b->SetOptions(b->Options() | goEditing);
        // The format travels with each cell: a hidden cell's look must not.
        a->GetCellProperties(2, 1)->SetFontColor(clBlue);
        a->GetCellProperties(3, 1)->SetFontColor(clRed);
        host->show();
        QCoreApplication::processEvents();
    }

    void TearDown() override
    {
        b->OnClipboardBeforePasteCell = nullptr;
        a->OnClipboardBeforePasteCell = nullptr;
        host.reset();
    }
};

} // namespace

TEST_F(HiddenExchange, CellsLandAtTheRealColumnsOfTheirShownTargets)
{
    enum Op { Paste, SameGridPaste, DropCopy, DropMove };
    const struct
    {
        const char* name;
        Op op;
        std::vector<int> srcHidden; // real columns
        std::vector<int> dstHidden;
        TGridRect sel; // display
        TPoint at; // display
        int readOnlyReal; // a target cell (real column, row 1) that may not be written; -1 none
        int refusedDisplay; // OnClipboardBeforePasteCell refuses (this display column, row 1); -1 none
        QString row1, row2; // the target's real columns
        QString srcRow1; // the source's real columns after the operation
    } cases[] = {
        {"hidden source column stays behind", Paste, {2}, {}, {1, 1, 2, 2}, {1, 1}, -1, -1,
         "B0,1|A1,1|A3,1|B3,1|B4,1|B5,1|B6,1", "B0,2|A1,2|A3,2|B3,2|B4,2|B5,2|B6,2",
         "A0,1|A1,1|A2,1|A3,1|A4,1|A5,1|A6,1"},
        {"hidden target column is stepped over", Paste, {}, {3}, {2, 1, 3, 2}, {2, 1}, -1, -1,
         "B0,1|B1,1|A2,1|B3,1|A3,1|B5,1|B6,1", "B0,2|B1,2|A2,2|B3,2|A3,2|B5,2|B6,2",
         "A0,1|A1,1|A2,1|A3,1|A4,1|A5,1|A6,1"},
        {"both hidden", Paste, {2}, {2}, {1, 1, 2, 2}, {1, 1}, -1, -1,
         "B0,1|A1,1|B2,1|A3,1|B4,1|B5,1|B6,1", "B0,2|A1,2|B2,2|A3,2|B4,2|B5,2|B6,2",
         "A0,1|A1,1|A2,1|A3,1|A4,1|A5,1|A6,1"},
        {"read-only real column behind a shown target", Paste, {2}, {2}, {1, 1, 2, 2}, {1, 1}, 3, -1,
         "B0,1|A1,1|B2,1|B3,1|B4,1|B5,1|B6,1", "B0,2|A1,2|B2,2|A3,2|B4,2|B5,2|B6,2",
         "A0,1|A1,1|A2,1|A3,1|A4,1|A5,1|A6,1"},
        {"refused at a shown column", Paste, {2}, {2}, {1, 1, 2, 2}, {1, 1}, -1, 2,
         "B0,1|A1,1|B2,1|B3,1|B4,1|B5,1|B6,1", "B0,2|A1,2|B2,2|A3,2|B4,2|B5,2|B6,2",
         "A0,1|A1,1|A2,1|A3,1|A4,1|A5,1|A6,1"},
        {"same grid", SameGridPaste, {2}, {2}, {1, 1, 2, 1}, {3, 2}, -1, -1,
         "A0,1|A1,1|A2,1|A3,1|A4,1|A5,1|A6,1", "A0,2|A1,2|A2,2|A3,2|A1,1|A3,1|A6,2",
         "A0,1|A1,1|A2,1|A3,1|A4,1|A5,1|A6,1"},
        {"dropped copy", DropCopy, {2}, {4}, {1, 1, 2, 2}, {3, 1}, -1, -1,
         "B0,1|B1,1|B2,1|A1,1|B4,1|A3,1|B6,1", "B0,2|B1,2|B2,2|A1,2|B4,2|A3,2|B6,2",
         "A0,1|A1,1|A2,1|A3,1|A4,1|A5,1|A6,1"},
        {"dropped move", DropMove, {2}, {4}, {1, 1, 2, 2}, {3, 1}, -1, -1,
         "B0,1|B1,1|B2,1|A1,1|B4,1|A3,1|B6,1", "B0,2|B1,2|B2,2|A1,2|B4,2|A3,2|B6,2",
         "A0,1||A2,1||A4,1|A5,1|A6,1"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        TearDown();
        SetUp();
        TExStringGrid* dst = k.op == SameGridPaste ? a : b;
        if (k.op == SameGridPaste)
            a->SetOptions(a->Options() | goEditing);
        for (int h : k.srcHidden)
            a->HideColumn(h);
        if (k.op != SameGridPaste)
            for (int h : k.dstHidden)
                b->HideColumn(h);
        if (k.readOnlyReal >= 0)
            dst->GetCellProperties(k.readOnlyReal, 1)->SetReadOnly(true);
        if (k.refusedDisplay >= 0)
            dst->OnClipboardBeforePasteCell = [&k](QObject*, int c, int r, QString&, bool& allow) {
                allow = !(c == k.refusedDisplay && r == 1);
            };
        a->SetSelection(k.sel);
        if (k.op == Paste || k.op == SameGridPaste) {
            a->CopySelectionToClipboard();
            dst->SetSelection(TGridRect{k.at.X, k.at.Y, k.at.X, k.at.Y});
            dst->PasteSelectionFromClipboard();
        } else {
            DragScript script;
            const Qt::KeyboardModifiers keys = k.op == DropCopy ? Qt::ControlModifier : Qt::NoModifier;
            script.MoveTo(b->ClientSurface(), Centre(b, k.at.X, k.at.Y) + QPoint(0, 1), keys);
            script.MoveTo(b->ClientSurface(), Centre(b, k.at.X, k.at.Y), keys);
            script.Release();
            const QPoint at = Centre(a, k.sel.Left, k.sel.Top);
            Mouse(a, QEvent::MouseMove, at, Qt::NoButton);
            Mouse(a, QEvent::MouseButtonPress, at, Qt::LeftButton);
            Mouse(a, QEvent::MouseMove, at + QPoint(6, 5), Qt::LeftButton);
            EXPECT_EQ(script.DragsRun(), 1);
        }
        EXPECT_EQ(RealRow(dst, 1), k.row1);
        EXPECT_EQ(RealRow(dst, 2), k.row2);
        if (dst != a) {
            EXPECT_EQ(RealRow(a, 1), k.srcRow1);
        }
        // The look came with the text it belongs to, and nowhere else.
        for (int r = 1; r <= 2; ++r)
            for (int c = 0; c < dst->TotalColCount(); ++c) {
                const QString t = dst->Cells(c, r);
                const TColor got = FontColorAt(dst, c, r);
                if (t == QStringLiteral("A3,1")) {
                    EXPECT_EQ(got, clRed) << c << "," << r;
                } else if (t == QStringLiteral("A2,1")) { // arrives only where it was shown
                    EXPECT_EQ(got, clBlue) << c << "," << r;
                } else {
                    EXPECT_TRUE(got != clRed && got != clBlue) << c << "," << r << " " << t.toStdString();
                }
            }
    }
}

// The stream of a display rectangle names display columns: loading it at a
// display point of a grid with hidden columns fills the shown ones only.
TEST_F(HiddenExchange, BinaryStreamRectIsInDisplayColumns)
{
    a->HideColumn(2);
    b->HideColumn(3);
    QByteArray bytes;
    {
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        a->SaveRectToBinStream(TRect{1, 1, 3, 1}, out); // real 1, 3, 4
    }
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    b->LoadAtPointFromBinStream(TPoint{2, 2}, in); // real 2, 4, 5
    EXPECT_EQ(RealRow(b, 2), QStringLiteral("B0,2|B1,2|A1,1|B3,2|A3,1|A4,1|B6,2"));
    EXPECT_EQ(FontColorAt(b, 4, 2), clRed);
    EXPECT_NE(FontColorAt(b, 3, 2), clBlue);
}
