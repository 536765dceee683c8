// Sorting and filtering 100,000 rows, by one and by two columns: the string
// grid beside QSortFilterProxyModel over a QStandardItemModel holding the
// same data, in one run.
//
// Columns: 0 a unique name, 1 a number 0..999 (many ties), 2 one of 40
// category words, 3 a number. The grid compares its display texts with its
// automatic style (column 1 is found numeric); the model holds the numbers
// as integers so that the proxy compares them as numbers too.
//
// Each timed step starts from the unsorted, unfiltered data; the way back
// (QUnSort, switching the filter off, clearing the proxy's sort or filter)
// is outside the timed part.
#include "grid/ExGrid.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 4;

struct Row
{
    QString name;
    int number;
    QString category;
    int other;
};

const std::vector<Row>& Data()
{
    static const std::vector<Row> rows = [] {
        std::vector<Row> out;
        out.reserve(kRows);
        QRandomGenerator random(20261211);
        for (int r = 0; r < kRows; ++r) {
            const int n = static_cast<int>(random.bounded(1000));
            const int c = static_cast<int>(random.bounded(40));
            out.push_back({QStringLiteral("item%1").arg(random.bounded(10000000), 7, 10, QLatin1Char('0')), n,
                           QStringLiteral("cat%1").arg(c, 2, 10, QLatin1Char('0')),
                           static_cast<int>(random.bounded(100000))});
        }
        return out;
    }();
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

struct Fixtures
{
    std::unique_ptr<TExStringGrid> grid;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<TwoColumnProxy> proxy;
};
Fixtures* g_fixtures = nullptr;

TExStringGrid& Grid()
{
    if (!g_fixtures->grid) {
        auto g = std::make_unique<TExStringGrid>();
        g->resize(800, 600);
        g->SetColCount(kCols);
        g->SetRowCount(kRows + 1);
        g->SetFixedCols(0);
        const std::vector<Row>& data = Data();
        for (int r = 0; r < kRows; ++r) {
            const Row& d = data[static_cast<size_t>(r)];
            g->SetGridCell(0, r + 1, d.name);
            g->SetGridCell(1, r + 1, QString::number(d.number));
            g->SetGridCell(2, r + 1, d.category);
            g->SetGridCell(3, r + 1, QString::number(d.other));
        }
        g->InitSortXRef();
        g_fixtures->grid = std::move(g);
    }
    return *g_fixtures->grid;
}

TwoColumnProxy& Proxy()
{
    if (!g_fixtures->proxy) {
        auto m = std::make_unique<QStandardItemModel>(kRows, kCols);
        const std::vector<Row>& data = Data();
        for (int r = 0; r < kRows; ++r) {
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
        g_fixtures->model = std::move(m);
        g_fixtures->proxy = std::move(p);
    }
    return *g_fixtures->proxy;
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
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fixtures = nullptr;
    return 0;
}
