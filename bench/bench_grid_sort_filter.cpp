// Sorting and filtering 100,000 rows, by one and by two columns: the string
// grid beside QSortFilterProxyModel over a QStandardItemModel holding the
// same data, in one run. Going back to the order of the data (QUnSort beside
// the proxy's sort(-1)) at 100,000 and 1,000,000 rows is timed in pairs and
// prints its ratio beside its goal.
//
// Columns: 0 a unique name, 1 a number 0..999 (many ties), 2 one of 40
// category words, 3 a number. The grid compares its display texts with its
// automatic style (column 1 is found numeric); the model holds the numbers
// as integers so that the proxy compares them as numbers too.
//
// Each timed step starts from the unsorted, unfiltered data; the way back
// (QUnSort, switching the filter off, clearing the proxy's sort or filter)
// is outside the timed part.
#include "BenchRatio.h"

#include "grid/ExGrid.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kBigRows = 1000000;
constexpr int kCols = 4;

struct Row
{
    QString name;
    int number;
    QString category;
    int other;
};

const std::vector<Row>& Data(int count = kRows)
{
    static std::map<int, std::vector<Row>> made;
    std::vector<Row>& rows = made[count];
    if (rows.empty()) {
        std::vector<Row>& out = rows;
        out.reserve(static_cast<size_t>(count));
        QRandomGenerator random(20261211);
        for (int r = 0; r < count; ++r) {
            const int n = static_cast<int>(random.bounded(1000));
            const int c = static_cast<int>(random.bounded(40));
            out.push_back({QStringLiteral("item%1").arg(random.bounded(10000000), 7, 10, QLatin1Char('0')), n,
                           QStringLiteral("cat%1").arg(c, 2, 10, QLatin1Char('0')),
                           static_cast<int>(random.bounded(100000))});
        }
    }
    return rows;
}

// The proxy's two-column order and two-column filter.
class TwoColumnProxy : public QSortFilterProxyModel
{
public:
    bool twoColumnFilter = false;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        if (sortColumn() != 2)
            return QSortFilterProxyModel::lessThan(left, right);
        // Category, then number.
        const QAbstractItemModel* m = sourceModel();
        const int c = QString::compare(left.data().toString(), right.data().toString());
        if (c != 0)
            return c < 0;
        return m->index(left.row(), 1).data().toInt() < m->index(right.row(), 1).data().toInt();
    }

    bool filterAcceptsRow(int sourceRow, const QModelIndex& parent) const override
    {
        if (!QSortFilterProxyModel::filterAcceptsRow(sourceRow, parent))
            return false;
        if (!twoColumnFilter)
            return true;
        return sourceModel()->index(sourceRow, 1, parent).data().toInt() > 500;
    }
};

struct Fixture
{
    std::unique_ptr<TExStringGrid> grid;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<TwoColumnProxy> proxy;
};
// By row count.
using Fixtures = std::map<int, Fixture>;
Fixtures* g_fixtures = nullptr;

TExStringGrid& Grid(int rows = kRows)
{
    Fixture& f = (*g_fixtures)[rows];
    if (!f.grid) {
        auto g = std::make_unique<TExStringGrid>();
        g->resize(800, 600);
        g->SetColCount(kCols);
        g->SetRowCount(rows + 1);
        g->SetFixedCols(0);
        const std::vector<Row>& data = Data(rows);
        for (int r = 0; r < rows; ++r) {
            const Row& d = data[static_cast<size_t>(r)];
            g->SetGridCell(0, r + 1, d.name);
            g->SetGridCell(1, r + 1, QString::number(d.number));
            g->SetGridCell(2, r + 1, d.category);
            g->SetGridCell(3, r + 1, QString::number(d.other));
        }
        g->InitSortXRef();
        f.grid = std::move(g);
    }
    return *f.grid;
}

TwoColumnProxy& Proxy(int rows = kRows)
{
    Fixture& f = (*g_fixtures)[rows];
    if (!f.proxy) {
        auto m = std::make_unique<QStandardItemModel>(rows, kCols);
        const std::vector<Row>& data = Data(rows);
        for (int r = 0; r < rows; ++r) {
            const Row& d = data[static_cast<size_t>(r)];
            m->setItem(r, 0, new QStandardItem(d.name));
            auto* number = new QStandardItem;
            number->setData(d.number, Qt::DisplayRole);
            m->setItem(r, 1, number);
            m->setItem(r, 2, new QStandardItem(d.category));
            auto* other = new QStandardItem;
            other->setData(d.other, Qt::DisplayRole);
            m->setItem(r, 3, other);
        }
        auto p = std::make_unique<TwoColumnProxy>();
        p->setSourceModel(m.get());
        p->setFilterCaseSensitivity(Qt::CaseSensitive);
        p->setFilterKeyColumn(2);
        benchmark::DoNotOptimize(p->rowCount()); // the proxy's mapping exists from here on
        f.model = std::move(m);
        f.proxy = std::move(p);
    }
    return *f.proxy;
}

void Report(benchmark::State& state, int rowsShown)
{
    state.counters["rows_shown"] = rowsShown;
    state.SetItemsProcessed(state.iterations() * kRows);
}

// ---- sorting

void GridSortOneColumn(benchmark::State& state)
{
    TExStringGrid& g = Grid();
    for (auto _ : state) {
        g.Sort(1, sdAscending);
        state.PauseTiming();
        g.QUnSort();
        state.ResumeTiming();
    }
    Report(state, g.RowCount() - 1);
}

void ProxySortOneColumn(benchmark::State& state)
{
    TwoColumnProxy& p = Proxy();
    for (auto _ : state) {
        p.sort(1, Qt::AscendingOrder);
        benchmark::DoNotOptimize(p.index(0, 0));
        state.PauseTiming();
        p.sort(-1);
        state.ResumeTiming();
    }
    Report(state, p.rowCount());
}

void GridSortTwoColumns(benchmark::State& state)
{
    TExStringGrid& g = Grid();
    for (auto _ : state) {
        // Category ascending, then number ascending.
        g.SortIndexes().Clear();
        g.SortIndexes().AddIndex(2, true);
        g.SortIndexes().AddIndex(1, true);
        g.QSortIndexed();
        state.PauseTiming();
        g.QUnSort();
        state.ResumeTiming();
    }
    Report(state, g.RowCount() - 1);
}

void ProxySortTwoColumns(benchmark::State& state)
{
    TwoColumnProxy& p = Proxy();
    for (auto _ : state) {
        p.sort(2, Qt::AscendingOrder);
        benchmark::DoNotOptimize(p.index(0, 0));
        state.PauseTiming();
        p.sort(-1);
        state.ResumeTiming();
    }
    Report(state, p.rowCount());
}

// ---- back to the order of the data

// Each side is sorted by column 3 (untimed), then goes back to the order of
// its data: the grid by QUnSort, the proxy by sort(-1).
void GridUnSort(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    TExStringGrid& g = Grid(rows);
    for (auto _ : state) {
        state.PauseTiming();
        g.Sort(3, sdAscending);
        state.ResumeTiming();
        g.QUnSort();
    }
    const std::vector<Row>& data = Data(rows);
    for (int r = 0; r < rows; r += 997)
        if (g.GetGridCell(0, r + 1) != data[static_cast<size_t>(r)].name) {
            state.SkipWithError("not back in the order of the data");
            return;
        }
    state.SetItemsProcessed(state.iterations() * rows);
}

void ProxyUnSort(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    TwoColumnProxy& p = Proxy(rows);
    for (auto _ : state) {
        state.PauseTiming();
        p.sort(3, Qt::AscendingOrder);
        benchmark::DoNotOptimize(p.index(0, 0));
        state.ResumeTiming();
        p.sort(-1);
        benchmark::DoNotOptimize(p.index(0, 0));
    }
    const std::vector<Row>& data = Data(rows);
    for (int r = 0; r < rows; r += 997)
        if (p.index(r, 0).data().toString() != data[static_cast<size_t>(r)].name) {
            state.SkipWithError("not back in the order of the data");
            return;
        }
    state.SetItemsProcessed(state.iterations() * rows);
}

// ---- filtering

void GridFilterOneColumn(benchmark::State& state)
{
    TExStringGrid& g = Grid();
    int shown = 0;
    for (auto _ : state) {
        g.Filter().Clear();
        TFilterData* f = g.Filter().Add();
        f->SetColumn(2);
        f->SetCondition(QStringLiteral("cat0*"));
        g.SetFilterActive(true);
        state.PauseTiming();
        shown = g.RowCount() - 1;
        g.SetFilterActive(false);
        state.ResumeTiming();
    }
    Report(state, shown);
}

void ProxyFilterOneColumn(benchmark::State& state)
{
    TwoColumnProxy& p = Proxy();
    int shown = 0;
    for (auto _ : state) {
        p.twoColumnFilter = false;
        p.setFilterWildcard(QStringLiteral("cat0*"));
        shown = p.rowCount();
        state.PauseTiming();
        p.setFilterRegularExpression(QRegularExpression());
        benchmark::DoNotOptimize(p.rowCount());
        state.ResumeTiming();
    }
    Report(state, shown);
}

void GridFilterTwoColumns(benchmark::State& state)
{
    TExStringGrid& g = Grid();
    int shown = 0;
    for (auto _ : state) {
        g.Filter().Clear();
        TFilterData* f = g.Filter().Add();
        f->SetColumn(2);
        f->SetCondition(QStringLiteral("cat0*"));
        f = g.Filter().Add(); // and
        f->SetColumn(1);
        f->SetCondition(QStringLiteral(">500"));
        g.SetFilterActive(true);
        state.PauseTiming();
        shown = g.RowCount() - 1;
        g.SetFilterActive(false);
        state.ResumeTiming();
    }
    Report(state, shown);
}

void ProxyFilterTwoColumns(benchmark::State& state)
{
    TwoColumnProxy& p = Proxy();
    int shown = 0;
    for (auto _ : state) {
        p.twoColumnFilter = true;
        p.setFilterWildcard(QStringLiteral("cat0*"));
        shown = p.rowCount();
        state.PauseTiming();
        p.twoColumnFilter = false;
        p.setFilterRegularExpression(QRegularExpression());
        benchmark::DoNotOptimize(p.rowCount());
        state.ResumeTiming();
    }
    Report(state, shown);
}

} // namespace

BENCHMARK(GridSortOneColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(ProxySortOneColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(GridSortTwoColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(ProxySortTwoColumns)->Unit(benchmark::kMillisecond);
// Fixed counts: each iteration sorts both sides again, untimed.
BENCHMARK(GridUnSort)->Arg(kRows)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(GridUnSort)->Arg(kBigRows)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(ProxyUnSort)->Arg(kRows)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(ProxyUnSort)->Arg(kBigRows)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(GridFilterOneColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(ProxyFilterOneColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(GridFilterTwoColumns)->Unit(benchmark::kMillisecond);
BENCHMARK(ProxyFilterTwoColumns)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Fixtures fixtures;
    g_fixtures = &fixtures;
    const auto unsort = [](int rows) {
        const std::string n = "/" + std::to_string(rows) + (rows == kRows ? "/iterations:20" : "/iterations:3");
        return benchratio::Ratio{"GridUnSort" + n, "ProxyUnSort" + n, 2.0, "(peer: QSortFilterProxyModel::sort(-1))"};
    };
    const int result = benchratio::RunWithRatios(argc, argv, {unsort(kRows), unsort(kBigRows)});
    g_fixtures = nullptr;
    return result;
}
