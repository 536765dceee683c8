// Scrolling 100,000 rows of 10 columns page by page, each page painted into
// an off-screen image: the platform string grid, the component string grid
// with its looks (the XP look, bold active cell font) and QTableView over
// QStandardItemModel, with the same cell sizes and texts, in one run.
#include "grid/ExGrid.h"
#include "platform/Grids.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

QString CellText(int col, int row) { return QStringLiteral("r%1 c%2").arg(row).arg(col); }

// Built on first use and destroyed before the application object.
struct Fixtures
{
    std::unique_ptr<platform::TStringGrid> grid;
    std::unique_ptr<TExStringGrid> exGrid;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QTableView> view;
};
Fixtures* g_fixtures = nullptr;

platform::TStringGrid& Grid()
{
    if (!g_fixtures->grid) {
        auto g = std::make_unique<platform::TStringGrid>();
        g->resize(kWidth, kHeight);
        g->SetColCount(kCols);
        g->SetRowCount(kRows);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                g->SetCells(c, r, CellText(c, r));
        g->show();
        QApplication::processEvents();
        g_fixtures->grid = std::move(g);
    }
    return *g_fixtures->grid;
}

TExStringGrid& ExGrid()
{
    if (!g_fixtures->exGrid) {
        auto g = std::make_unique<TExStringGrid>();
        g->resize(kWidth, kHeight);
        g->SetColCount(kCols);
        g->SetRowCount(kRows);
        // The platform grid's 64 x 24 cells with their 1-pixel lines: this
        // grid draws its lines inside its cells.
        g->SetDefaultColWidth(65);
        g->SetDefaultRowHeight(25);
        g->SetFixedRowHeight(25);
        g->ControlLook().SetControlStyle(csWinXP);
        g->ActiveCellFont().SetStyle(platform::fsBold);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                g->SetGridCell(c, r, CellText(c, r));
        g->show();
        QApplication::processEvents();
        g_fixtures->exGrid = std::move(g);
    }
    return *g_fixtures->exGrid;
}

QTableView& View()
{
    if (!g_fixtures->view) {
        g_fixtures->model = std::make_unique<QStandardItemModel>(kRows, kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                g_fixtures->model->setItem(r, c, new QStandardItem(CellText(c, r)));
        auto v = std::make_unique<QTableView>();
        v->setModel(g_fixtures->model.get());
        v->resize(kWidth, kHeight);
        // The grid's 64 x 24 cells with their 1-pixel lines.
        v->verticalHeader()->setMinimumSectionSize(0);
        v->verticalHeader()->setDefaultSectionSize(25);
        v->horizontalHeader()->setDefaultSectionSize(65);
        v->show();
        QApplication::processEvents();
        g_fixtures->view = std::move(v);
    }
    return *g_fixtures->view;
}

// Pages down through any grid of the platform's kind, wrapping at the end.
template <class Grid>
void PageByPage(benchmark::State& state, Grid& g)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    g.SetTopRow(g.FixedRows());
    for (auto _ : state) {
        const int before = g.TopRow();
        platform::SendMessage(&g, platform::WM_VSCROLL, platform::MakeWParam(platform::SB_PAGEDOWN, 0));
        if (g.TopRow() == before)
            g.SetTopRow(g.FixedRows());
        g.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows_per_page"] = g.VisibleRowCount();
    state.SetItemsProcessed(state.iterations());
}

void StringGridPageByPage(benchmark::State& state) { PageByPage(state, Grid()); }
void ExStringGridPageByPage(benchmark::State& state) { PageByPage(state, ExGrid()); }

void TableViewPageByPage(benchmark::State& state)
{
    QTableView& v = View();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QScrollBar* bar = v.verticalScrollBar();
    bar->setValue(0);
    for (auto _ : state) {
        const int before = bar->value();
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        if (bar->value() == before)
            bar->setValue(0);
        v.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["rows_per_page"] = bar->pageStep();
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(StringGridPageByPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExStringGridPageByPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(TableViewPageByPage)->Unit(benchmark::kMicrosecond);

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
