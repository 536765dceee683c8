// Whole-row operations of the string grid at 10,000 and 100,000 rows (10
// columns, every cell filled), each beside Qt's table doing the same in the
// same run:
//   Insert   n/10 empty rows in the middle, one call (model insertRows)
//   Remove   n/10 rows from the middle, one call (model removeRows)
//   MoveRows n/10 rows from a quarter down to three quarters (Qt: the items
//            taken aside, removeRows, insertRows, the items put back)
//   MoveRow  one row from the top to the bottom (Qt: the header's moveSection)
//   Hide     half the rows, one run in the middle (HideRows; Qt: setRowHidden
//            for each row)
//   Unhide   them all again (UnHideRowsAll; Qt: setRowHidden(false))
//   HideList every other row as one filter level (HideRowList), then
//   UnhideAll every one of them back (UnHideRowsAll)
// Every timed step starts from a freshly built grid or table, built outside
// the timed part. The grid's and Qt's times are taken in the same iteration;
// the summary after the run gives the medians of every iteration of every
// repetition, the ratio to Qt, the growth from 10,000 to 100,000 rows (goal
// <= 20) and the 100,000-row time against its goal.
#include "grid/ExGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kCols = 10;

enum class Op { Insert, Remove, MoveRows, MoveRow, Hide, Unhide, HideList, UnhideAll };

const char* OpName(Op op)
{
    switch (op) {
    case Op::Insert: return "Insert";
    case Op::Remove: return "Remove";
    case Op::MoveRows: return "MoveRows";
    case Op::MoveRow: return "MoveRow";
    case Op::Hide: return "Hide";
    case Op::Unhide: return "Unhide";
    case Op::HideList: return "HideList";
    case Op::UnhideAll: return "UnhideAll";
    }
    return "?";
}

// The goal for 100,000 rows in milliseconds (0: only the growth counts).
double GoalMs(Op op)
{
    switch (op) {
    case Op::Insert:
    case Op::Remove: return 10;
    case Op::Hide:
    case Op::Unhide:
    case Op::HideList:
    case Op::UnhideAll: return 50;
    default: return 0;
    }
}

struct Times
{
    std::vector<double> grid, qt;
};
std::map<std::pair<Op, int>, Times> g_times;

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

QString Text(int r, int c) { return QStringLiteral("r%1 c%2").arg(r).arg(c); }

std::unique_ptr<TExStringGrid> NewGrid(int rows)
{
    auto g = std::make_unique<TExStringGrid>();
    g->resize(800, 600);
    g->SetColCount(kCols);
    g->SetRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kCols; ++c)
            g->SetCellEx(c, r, Text(r, c));
    return g;
}

std::unique_ptr<QTableWidget> NewTable(int rows)
{
    auto t = std::make_unique<QTableWidget>();
    t->resize(800, 600);
    t->setColumnCount(kCols);
    t->setRowCount(rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < kCols; ++c)
            t->setItem(r, c, new QTableWidgetItem(Text(r, c)));
    return t;
}

// What is prepared before the timed step (the rows hidden before unhiding).
void PrepareGrid(Op op, TExStringGrid& g, int n)
{
    if (op == Op::Unhide)
        g.HideRows(n / 4, n / 4 + n / 2 - 1);
    if (op == Op::UnhideAll) {
        TIntList list;
        for (int r = 1; r < n; r += 2)
            list.Add(r);
        g.HideRowList(list);
    }
}

void RunGrid(Op op, TExStringGrid& g, int n)
{
    switch (op) {
    case Op::Insert: g.InsertRows(n / 2, n / 10); break;
    case Op::Remove: g.RemoveRows(n / 2, n / 10); break;
    case Op::MoveRows: g.MoveRows(n / 4, 3 * n / 4, n / 10); break;
    case Op::MoveRow: g.MoveRow(1, n - 2); break;
    case Op::Hide: g.HideRows(n / 4, n / 4 + n / 2 - 1); break;
    case Op::Unhide:
    case Op::UnhideAll: g.UnHideRowsAll(); break;
    case Op::HideList: {
        TIntList list;
        for (int r = 1; r < n; r += 2)
            list.Add(r);
        g.HideRowList(list);
        break;
    }
    }
}

void PrepareTable(Op op, QTableWidget& t, int n)
{
    if (op == Op::Unhide)
        for (int r = n / 4; r < n / 4 + n / 2; ++r)
            t.setRowHidden(r, true);
    if (op == Op::UnhideAll)
        for (int r = 1; r < n; r += 2)
            t.setRowHidden(r, true);
}

void RunTable(Op op, QTableWidget& t, int n)
{
    switch (op) {
    case Op::Insert: t.model()->insertRows(n / 2, n / 10); break;
    case Op::Remove: t.model()->removeRows(n / 2, n / 10); break;
    case Op::MoveRows: {
        const int from = n / 4, count = n / 10, to = 3 * n / 4 - count;
        std::vector<QTableWidgetItem*> items;
        items.reserve(static_cast<size_t>(count * kCols));
        for (int r = from; r < from + count; ++r)
            for (int c = 0; c < kCols; ++c)
                items.push_back(t.takeItem(r, c));
        t.model()->removeRows(from, count);
        t.model()->insertRows(to, count);
        size_t k = 0;
        for (int r = to; r < to + count; ++r)
            for (int c = 0; c < kCols; ++c)
                t.setItem(r, c, items[k++]);
        break;
    }
    case Op::MoveRow: t.verticalHeader()->moveSection(1, n - 2); break;
    case Op::Hide:
        for (int r = n / 4; r < n / 4 + n / 2; ++r)
            t.setRowHidden(r, true);
        break;
    case Op::Unhide:
        for (int r = n / 4; r < n / 4 + n / 2; ++r)
            t.setRowHidden(r, false);
        break;
    case Op::HideList:
        for (int r = 1; r < n; r += 2)
            t.setRowHidden(r, true);
        break;
    case Op::UnhideAll:
        for (int r = 1; r < n; r += 2)
            t.setRowHidden(r, false);
        break;
    }
}

void RowOp(benchmark::State& state, Op op)
{
    const int n = static_cast<int>(state.range(0));
    Times& times = g_times[{op, n}];
    double gridSum = 0, qtSum = 0;
    for (auto _ : state) {
        auto g = NewGrid(n);
        PrepareGrid(op, *g, n);
        const auto g0 = Clock::now();
        RunGrid(op, *g, n);
        const auto g1 = Clock::now();
        g.reset();
        auto t = NewTable(n);
        PrepareTable(op, *t, n);
        const auto t0 = Clock::now();
        RunTable(op, *t, n);
        const auto t1 = Clock::now();
        t.reset();
        const double gm = Ms(g0, g1), tm = Ms(t0, t1);
        times.grid.push_back(gm);
        times.qt.push_back(tm);
        gridSum += gm;
        qtSum += tm;
        state.SetIterationTime(gm / 1000.0);
    }
    state.counters["qt_ms"] = qtSum / static_cast<double>(state.iterations());
    state.counters["ratio_to_qt"] = qtSum > 0 ? gridSum / qtSum : 0;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

void PrintSummary()
{
    std::printf("\nMedians of every iteration (ms); growth = 100,000 rows / 10,000 rows\n");
    std::printf("%-10s %10s %10s %10s %10s %12s %14s\n", "operation", "grid 10k", "grid 100k", "qt 100k",
                "ratio qt", "growth", "100k vs goal");
    for (Op op : {Op::Insert, Op::Remove, Op::MoveRows, Op::MoveRow, Op::Hide, Op::Unhide, Op::HideList,
                  Op::UnhideAll}) {
        const auto small = g_times.find({op, 10000});
        const auto large = g_times.find({op, 100000});
        if (large == g_times.end())
            continue;
        const double g100 = Median(large->second.grid), q100 = Median(large->second.qt);
        const double g10 = small != g_times.end() ? Median(small->second.grid) : 0;
        char growth[32] = "-";
        if (g10 > 0)
            std::snprintf(growth, sizeof growth, "%.1f (<=20)", g100 / g10);
        char goal[32] = "-";
        if (GoalMs(op) > 0)
            std::snprintf(goal, sizeof goal, "%.2f (<%g)", g100, GoalMs(op));
        std::printf("%-10s %10.3f %10.3f %10.3f %10.2f %12s %14s\n", OpName(op), g10, g100, q100,
                    q100 > 0 ? g100 / q100 : 0, growth, goal);
    }
}

void Insert(benchmark::State& s) { RowOp(s, Op::Insert); }
void Remove(benchmark::State& s) { RowOp(s, Op::Remove); }
void MoveRows(benchmark::State& s) { RowOp(s, Op::MoveRows); }
void MoveRow(benchmark::State& s) { RowOp(s, Op::MoveRow); }
void Hide(benchmark::State& s) { RowOp(s, Op::Hide); }
void Unhide(benchmark::State& s) { RowOp(s, Op::Unhide); }
void HideList(benchmark::State& s) { RowOp(s, Op::HideList); }
void UnhideAll(benchmark::State& s) { RowOp(s, Op::UnhideAll); }

} // namespace

#define ROW_BENCH(f) BENCHMARK(f)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
ROW_BENCH(Insert);
ROW_BENCH(Remove);
ROW_BENCH(MoveRows);
ROW_BENCH(MoveRow);
ROW_BENCH(Hide);
ROW_BENCH(Unhide);
ROW_BENCH(HideList);
ROW_BENCH(UnhideAll);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
