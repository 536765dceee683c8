// Row operations on a block of rows in one call leave the grid exactly as the
// same operations one row at a time: cells of shown and hidden columns, cell
// objects and cell properties, heights, the hidden-row store (its order, real
// indices, heights and cells) and the two row maps.
#include "grid/ExGrid.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

using namespace platform;

namespace {

constexpr int Cols = 6;
constexpr int Rows = 40;
constexpr int HiddenCol = 4;

// Objects that belong to the test; the grid only keeps their addresses.
std::vector<std::unique_ptr<TObject>>& Pool()
{
    static std::vector<std::unique_ptr<TObject>> pool = [] {
        std::vector<std::unique_ptr<TObject>> p;
        for (int r = 0; r < Rows; ++r)
            p.push_back(std::make_unique<TObject>());
        return p;
    }();
    return pool;
}

// Rows with texts in every column (a hidden one too), own heights, foreign
// objects and cell properties; real rows 5..7 hidden by hand and display rows
// 10, 12 and 13 hidden as a filter level, so the store is not in index order.
std::unique_ptr<TExStringGrid> Build()
{
    auto g = std::make_unique<TExStringGrid>();
    g->resize(300, 200);
    g->SetColCount(Cols);
    g->SetRowCount(Rows);
    g->SetFixedRows(1);
    g->SetFixedCols(0);
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Cols; ++c)
            g->SetCellEx(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
        if (r % 2)
            g->SetRowHeights(r, 20 + r % 5);
        if (r % 4 == 0)
            g->SetGridObject(2, r, Pool()[static_cast<size_t>(r)].get());
        if (r % 5 == 0)
            g->GetCellProperties(3, r)->SetBrushColor(static_cast<TColor>(0x100 + r));
    }
    g->HideColumn(HiddenCol);
    g->HideRows(5, 7);
    TIntList list;
    for (int r : {10, 12, 13})
        list.Add(r);
    g->HideRowList(list);
    return g;
}

QString CellState(TObject* o)
{
    if (!o)
        return QString();
    if (auto* props = dynamic_cast<TCellProperties*>(o))
        return QStringLiteral("props %1").arg(props->BrushColor());
    const auto it = std::find_if(Pool().begin(), Pool().end(), [o](const auto& p) { return p.get() == o; });
    return QStringLiteral("object %1").arg(it - Pool().begin());
}

// Everything a row operation may change, as text, so that a difference
// shows where it is.
QStringList State(TExStringGrid& g)
{
    QStringList s;
    s << QStringLiteral("rows %1 total %2 hidden %3").arg(g.RowCount()).arg(g.TotalColCount()).arg(g.NumHiddenRows());
    for (int r = 0; r < g.RowCount(); ++r) {
        QString line = QStringLiteral("row %1 real %2 h%3:").arg(r).arg(g.RowDisplToReal(r)).arg(g.RowHeights(r));
        for (int c = 0; c < g.TotalColCount(); ++c)
            line += QLatin1Char(' ') + g.GetGridCell(c, r) + QLatin1Char('[') + CellState(g.GetGridObject(c, r)) +
                    QLatin1Char(']');
        s << line;
    }
    for (int i = 0; i < g.GridItems().Count(); ++i) {
        const TGridItem* item = g.GridItems().Items(i);
        QString line = QStringLiteral("stored %1 h%2:").arg(item->Idx()).arg(item->Height());
        for (int c = 0; c < item->Items().Count(); ++c)
            line += QLatin1Char(' ') + item->Items().Strings(c) + QLatin1Char('[') +
                    CellState(item->Items().Objects(c)) + QLatin1Char(']');
        s << line;
    }
    return s;
}

struct Case
{
    const char* why;
    std::function<void(TExStringGrid&)> block;
    std::function<void(TExStringGrid&)> oneByOne;
};

void Repeat(TExStringGrid& g, int n, const std::function<void(TExStringGrid&)>& step)
{
    for (int i = 0; i < n; ++i)
        step(g);
}

// The real indices of the stored rows, ascending.
std::vector<int> StoredRows(TExStringGrid& g)
{
    std::vector<int> rows;
    for (int i = 0; i < g.GridItems().Count(); ++i)
        rows.push_back(g.GridItems().Items(i)->Idx());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

TEST(GridRowBlocks, OneCallDoesWhatOneRowAtATimeDoes)
{
    const Case cases[] = {
        {"inserting above the hidden rows moves them down", [](TExStringGrid& g) { g.InsertRows(3, 4); },
         [](TExStringGrid& g) { Repeat(g, 4, [](TExStringGrid& x) { x.InsertRows(3, 1); }); }},
        {"inserting between hidden rows", [](TExStringGrid& g) { g.InsertRows(8, 5); },
         [](TExStringGrid& g) { Repeat(g, 5, [](TExStringGrid& x) { x.InsertRows(8, 1); }); }},
        {"inserting at the end", [](TExStringGrid& g) { g.InsertRows(g.RowCount(), 3); },
         [](TExStringGrid& g) { Repeat(g, 3, [](TExStringGrid& x) { x.InsertRows(x.RowCount(), 1); }); }},
        {"removing rows around hidden ones lowers their indices", [](TExStringGrid& g) { g.RemoveRows(3, 6); },
         [](TExStringGrid& g) { Repeat(g, 6, [](TExStringGrid& x) { x.RemoveRows(3, 1); }); }},
        {"removing the last rows", [](TExStringGrid& g) { g.RemoveRows(g.RowCount() - 5, 5); },
         [](TExStringGrid& g) { Repeat(g, 5, [](TExStringGrid& x) { x.RemoveRows(x.RowCount() - 1, 1); }); }},
        {"hiding a range with hidden rows inside it", [](TExStringGrid& g) { g.HideRows(3, 20); },
         [](TExStringGrid& g) {
             for (int r = 3; r <= 20; ++r)
                 g.HideRows(r, r);
         }},
        {"hiding, the variant without heights", [](TExStringGrid& g) { g.HideRowsEx(20, 26); },
         [](TExStringGrid& g) {
             for (int r = 20; r <= 26; ++r)
                 g.HideRowsEx(r, r);
         }},
        {"showing every hidden row", [](TExStringGrid& g) { g.UnHideRowsAll(); },
         [](TExStringGrid& g) {
             for (int r : StoredRows(g))
                 g.UnHideRow(r);
         }},
        {"showing scattered hidden rows one at a time", [](TExStringGrid& g) {
             for (int r = 21; r < 36; r += 2)
                 g.HideRow(r);
             g.UnHideRowsAll();
         },
         [](TExStringGrid& g) {
             for (int r = 21; r < 36; r += 2)
                 g.HideRow(r);
             for (int r : StoredRows(g))
                 g.UnHideRow(r);
         }},
        {"scattered rows hidden and shown again in one call are back as they were", [](TExStringGrid& g) {
             for (int r = 20; r < 36; r += 3)
                 g.HideRow(r);
             g.HideRows(30, 31);
             g.UnHideRows(20, 36);
         },
         [](TExStringGrid&) {}},
        {"showing a range of hidden rows", [](TExStringGrid& g) { g.UnHideRows(5, 7); },
         [](TExStringGrid& g) {
             for (int r = 5; r <= 7; ++r)
                 g.UnHideRow(r);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        auto block = Build();
        auto oneByOne = Build();
        c.block(*block);
        c.oneByOne(*oneByOne);
        EXPECT_EQ(State(*block), State(*oneByOne));
    }
}

// Moving a block of rows turns the rows between the two places: cells,
// objects and heights go with their rows, the hidden rows stay stored.
TEST(GridRowBlocks, MovedRowsTakeTheirCellsObjectsAndHeights)
{
    struct Move
    {
        const char* why;
        int from, to, count;
        std::vector<int> order;  // the old display row of each new one, from row 1 on; the rest stay
    };
    const Move moves[] = {
        {"down: the block starts at the target less its own length", 2, 7, 2, {1, 4, 5, 6, 2, 3}},
        {"up before other rows", 5, 2, 3, {1, 5, 6, 7, 2, 3, 4}},
        {"beyond the end: after every other row", 1, 40, 2, {}},
    };
    for (const Move& m : moves) {
        SCOPED_TRACE(m.why);
        auto g = Build();
        const QStringList before = State(*g);
        const int rows = g->RowCount();
        std::vector<int> order = m.order;
        if (order.empty()) {
            // Rows 1 and 2 go after every other row.
            for (int r = 3; r < rows; ++r)
                order.push_back(r);
            order.push_back(1);
            order.push_back(2);
        }
        while (static_cast<int>(order.size()) < rows - 1)
            order.push_back(static_cast<int>(order.size()) + 1);
        g->MoveRows(m.from, m.to, m.count);
        const QStringList after = State(*g);
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < order.size(); ++i) {
            // The line without its own display and real row numbers.
            auto body = [](const QString& line) { return line.mid(line.indexOf(QLatin1String(" h"))); };
            EXPECT_EQ(body(after[static_cast<int>(i) + 2]), body(before[order[i] + 1])) << "new row " << i + 1;
        }
        // Hidden rows stay as they were stored.
        EXPECT_EQ(after.mid(rows + 1), before.mid(rows + 1));
    }
}
