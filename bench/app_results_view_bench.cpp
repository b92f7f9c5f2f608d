// One sampling tick (newest row on top, a result for each of 20 targets, then the repaint) in the program's
// own grid view, with a week of rows already in it, while the user reads at the top and while scrolled
// down (where every new row also moves the scroll position to keep the rows being read in place).
#include <QApplication>
#include <QScrollBar>
#include <memory>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "app/results_model.h"
#include "app/results_view.h"

namespace tarvelin {
namespace {

constexpr int kTargets = 20;
constexpr int kRows = 7 * 86400;

const DateTime kWhen = *DateTime::FromFields(2016, 3, 16, 9, 5, 7);

struct Grid {
    ResultsModel model;
    ResultsView view;
};

Grid& FilledGrid() {
    static Grid* grid = [] {
        auto* filled = new Grid;
        for (TargetId id = 1; id <= kTargets; ++id) filled->model.AppendColumn(QStringLiteral("target"), id);
        for (int i = 0; i < kRows; ++i) {
            const RowSerial row = filled->model.InsertTopRow(kWhen);
            for (TargetId id = 1; id <= kTargets; ++id) filled->model.SetResult(row, id, i % 1000);
        }
        filled->view.setModel(&filled->model);
        filled->view.resize(570, 470);
        filled->view.show();
        QCoreApplication::processEvents();
        return filled;
    }();
    return *grid;
}

void Tick(Grid& grid, int ms) {
    const RowSerial row = grid.model.InsertTopRow(kWhen);
    for (TargetId id = 1; id <= kTargets; ++id) grid.model.SetResult(row, id, ms);
    grid.view.viewport()->repaint();
}

void BM_GridViewTick(benchmark::State& state) {
    Grid& grid = FilledGrid();
    const bool scrolledDown = state.range(0) != 0;
    QScrollBar* bar = grid.view.verticalScrollBar();
    bar->setValue(scrolledDown ? bar->maximum() / 2 : 0);
    int ms = 0;
    for (auto _ : state) Tick(grid, ++ms % 1000);
    state.SetLabel(scrolledDown ? "scrolled down" : "at the top");
}
BENCHMARK(BM_GridViewTick)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvelin

TARVELIN_QT_BENCHMARK_MAIN()
