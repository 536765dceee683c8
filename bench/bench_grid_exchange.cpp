// The grid's exchange files at size: 100,000 rows by 10 columns saved and
// loaded as CSV and as the text layout. The grid is filled outside the timed
// part; files go to a temporary folder.
#include "grid/ExGrid.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Rows = 100000;
constexpr int Cols = 10;

std::unique_ptr<TExStringGrid> Filled()
{
    auto g = std::make_unique<TExStringGrid>();
    g->SetFixedRows(0);
    g->SetFixedCols(0);
    g->SetColCount(Cols);
    g->SetRowCount(Rows);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c)
            g->SetGridCell(c, r, c == 3 ? QStringLiteral("two, \"quoted\"\r\nlines %1").arg(r)
                                        : QStringLiteral("cell %1/%2").arg(c).arg(r));
    return g;
}

void CSV_Save(benchmark::State& state)
{
    QTemporaryDir dir;
    auto g = Filled();
    for (auto _ : state)
        g->SaveToCSV(dir.filePath("b.csv"), true);
}

void CSV_Load(benchmark::State& state)
{
    QTemporaryDir dir;
    Filled()->SaveToCSV(dir.filePath("b.csv"), true);
    for (auto _ : state) {
        TExStringGrid g;
        g.SetFixedRows(0);
        g.SetFixedCols(0);
        g.LoadFromCSV(dir.filePath("b.csv"));
        benchmark::DoNotOptimize(g.RowCount());
    }
}

void Layout_Save(benchmark::State& state)
{
    QTemporaryDir dir;
    auto g = Filled();
    for (auto _ : state)
        g->SaveToFile(dir.filePath("b.txt"), true);
}

void Layout_Load(benchmark::State& state)
{
    QTemporaryDir dir;
    Filled()->SaveToFile(dir.filePath("b.txt"), true);
    for (auto _ : state) {
        TExStringGrid g;
        g.SetFixedRows(0);
        g.SetFixedCols(0);
        g.LoadFromFile(dir.filePath("b.txt"));
        benchmark::DoNotOptimize(g.RowCount());
    }
}

} // namespace

BENCHMARK(CSV_Save)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CSV_Load)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Layout_Save)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Layout_Load)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
