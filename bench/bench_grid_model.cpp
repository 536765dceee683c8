// The string grid's data model beside QTableWidget doing the same work:
// 100,000 rows by 10 columns filled through SetCellEx and read back through
// GetCellEx, a column hidden and shown again, the row count grown and shrunk.
//
// Time: each step is its own benchmark (the grid or table is built outside
// the timed part). Memory: a counter of the C allocator, which every
// allocation of the process goes through (operator new, QString, Qt's
// containers), records the bytes in use and their peak; the *_Memory
// benchmarks run the whole work once on each side and report the peak above
// the starting point and the bytes per filled cell while filled. The counter
// costs time, so it only counts in a run of its own:
//   GRID_BENCH_COUNT_ALLOC=1 bench_grid_model --benchmark_filter=Memory
#include "grid/ExGrid.h"

#include <QApplication>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------
// Allocation counter
// ---------------------------------------------------------------------------

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* ptr, size_t size);
void __libc_free(void* ptr);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

// Decided at the first allocation, before any other thread exists.
bool Counting()
{
    static const bool on = std::getenv("GRID_BENCH_COUNT_ALLOC") != nullptr;
    return on;
}

void Added(void* p)
{
    if (!p || !Counting())
        return;
    const long long now = g_live.fetch_add(static_cast<long long>(malloc_usable_size(p))) +
                          static_cast<long long>(malloc_usable_size(p));
    long long peak = g_peak.load(std::memory_order_relaxed);
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

void Removed(void* p)
{
    if (p && Counting())
        g_live.fetch_sub(static_cast<long long>(malloc_usable_size(p)));
}

} // namespace

extern "C" {
void* malloc(size_t size)
{
    void* p = __libc_malloc(size);
    Added(p);
    return p;
}
void* calloc(size_t count, size_t size)
{
    void* p = __libc_calloc(count, size);
    Added(p);
    return p;
}
void* realloc(void* ptr, size_t size)
{
    const long long old = ptr && Counting() ? static_cast<long long>(malloc_usable_size(ptr)) : 0;
    void* p = __libc_realloc(ptr, size);
    if (p || size == 0) {
        g_live.fetch_sub(old);
        Added(p);
    }
    return p;
}
void free(void* ptr)
{
    Removed(ptr);
    __libc_free(ptr);
}
void* memalign(size_t alignment, size_t size)
{
    void* p = __libc_memalign(alignment, size);
    Added(p);
    return p;
}
void* aligned_alloc(size_t alignment, size_t size) { return memalign(alignment, size); }
int posix_memalign(void** out, size_t alignment, size_t size)
{
    void* p = memalign(alignment, size);
    if (!p)
        return 12; // ENOMEM
    *out = p;
    return 0;
}
}

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;
constexpr int kCells = kRows * kCols;

QApplication* g_app = nullptr;

// The texts of every cell, made once; both sides store the same texts.
const std::vector<QString>& Texts()
{
    static const std::vector<QString> texts = [] {
        std::vector<QString> t;
        t.reserve(kCells);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                t.push_back(QStringLiteral("r%1 c%2").arg(r).arg(c));
        return t;
    }();
    return texts;
}

std::unique_ptr<TExStringGrid> NewGrid()
{
    auto g = std::make_unique<TExStringGrid>();
    g->resize(800, 600);
    g->SetColCount(kCols);
    g->SetRowCount(kRows);
    return g;
}

void FillGrid(TExStringGrid& g)
{
    const std::vector<QString>& t = Texts();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            g.SetCellEx(c, r, t[static_cast<size_t>(r * kCols + c)]);
}

long long ReadGrid(TExStringGrid& g)
{
    long long n = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            n += g.GetCellEx(c, r).size();
    return n;
}

std::unique_ptr<QTableWidget> NewTable()
{
    auto t = std::make_unique<QTableWidget>();
    t->resize(800, 600);
    t->setColumnCount(kCols);
    t->setRowCount(kRows);
    return t;
}

void FillTable(QTableWidget& table)
{
    const std::vector<QString>& t = Texts();
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            table.setItem(r, c, new QTableWidgetItem(t[static_cast<size_t>(r * kCols + c)]));
}

long long ReadTable(QTableWidget& table)
{
    long long n = 0;
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            n += table.item(r, c)->text().size();
    return n;
}

// ---------------------------------------------------------------------------
// Time
// ---------------------------------------------------------------------------

void ExStringGrid_Fill(benchmark::State& state)
{
    Texts();
    for (auto _ : state) {
        state.PauseTiming();
        auto g = NewGrid();
        state.ResumeTiming();
        FillGrid(*g);
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}

void QTableWidget_Fill(benchmark::State& state)
{
    Texts();
    for (auto _ : state) {
        state.PauseTiming();
        auto t = NewTable();
        state.ResumeTiming();
        FillTable(*t);
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCells);
}

void ExStringGrid_Read(benchmark::State& state)
{
    auto g = NewGrid();
    FillGrid(*g);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadGrid(*g));
    state.SetItemsProcessed(state.iterations() * kCells);
}

void QTableWidget_Read(benchmark::State& state)
{
    auto t = NewTable();
    FillTable(*t);
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTable(*t));
    state.SetItemsProcessed(state.iterations() * kCells);
}

void ExStringGrid_HideShowColumn(benchmark::State& state)
{
    auto g = NewGrid();
    FillGrid(*g);
    for (auto _ : state) {
        g->HideColumn(4);
        g->UnHideColumn(4);
    }
}

void QTableWidget_HideShowColumn(benchmark::State& state)
{
    auto t = NewTable();
    FillTable(*t);
    for (auto _ : state) {
        t->setColumnHidden(4, true);
        t->setColumnHidden(4, false);
    }
}

// Grown by half, then shrunk to half: the filled rows beyond go.
void ExStringGrid_GrowShrinkRows(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto g = NewGrid();
        FillGrid(*g);
        state.ResumeTiming();
        g->SetRowCount(kRows * 3 / 2);
        g->SetRowCount(kRows / 2);
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
}

void QTableWidget_GrowShrinkRows(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto t = NewTable();
        FillTable(*t);
        state.ResumeTiming();
        t->setRowCount(kRows * 3 / 2);
        t->setRowCount(kRows / 2);
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}

// ---------------------------------------------------------------------------
// Memory
// ---------------------------------------------------------------------------

template <class Work>
void MeasureMemory(benchmark::State& state, Work work)
{
    if (!Counting()) {
        state.SkipWithError("memory is counted with GRID_BENCH_COUNT_ALLOC=1");
        return;
    }
    Texts();
    for (auto _ : state) {
        const long long start = g_live.load();
        g_peak.store(start);
        long long filled = 0;
        work(filled);
        state.counters["peak_MB"] = static_cast<double>(g_peak.load() - start) / (1024.0 * 1024.0);
        state.counters["bytes_per_cell"] = static_cast<double>(filled - start) / kCells;
        state.counters["left_after_free_B"] = static_cast<double>(g_live.load() - start);
    }
}

void ExStringGrid_Memory(benchmark::State& state)
{
    MeasureMemory(state, [](long long& filled) {
        auto g = NewGrid();
        FillGrid(*g);
        filled = g_live.load();
        benchmark::DoNotOptimize(ReadGrid(*g));
        g->HideColumn(4);
        g->UnHideColumn(4);
        g->SetRowCount(kRows * 3 / 2);
        g->SetRowCount(kRows / 2);
    });
}

void QTableWidget_Memory(benchmark::State& state)
{
    MeasureMemory(state, [](long long& filled) {
        auto t = NewTable();
        FillTable(*t);
        filled = g_live.load();
        benchmark::DoNotOptimize(ReadTable(*t));
        t->setColumnHidden(4, true);
        t->setColumnHidden(4, false);
        t->setRowCount(kRows * 3 / 2);
        t->setRowCount(kRows / 2);
    });
}

} // namespace

BENCHMARK(ExStringGrid_Fill)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(QTableWidget_Fill)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ExStringGrid_Read)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(QTableWidget_Read)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(ExStringGrid_HideShowColumn)->Unit(benchmark::kMicrosecond);
BENCHMARK(QTableWidget_HideShowColumn)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExStringGrid_GrowShrinkRows)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(QTableWidget_GrowShrinkRows)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ExStringGrid_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(QTableWidget_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_app = &app;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
