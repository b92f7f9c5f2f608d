// One sampling tick (insert the newest row, set 20 result cells) through the results model with a shown
// table view, against a QStandardItemModel doing the same work (insertRow(0) with 21 items), each at a
// million rows; and what a row costs each of them in resident memory.
#include <QApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <memory>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "app/results_model.h"
#include "timefmt/format_timestamp.h"

namespace tarvelin {
namespace {

constexpr int kTargets = 20;
constexpr int kRows = 1000000;

std::unique_ptr<QTableView> ShownView(QAbstractItemModel& model) {
    auto view = std::make_unique<QTableView>();
    view->verticalHeader()->hide();
    view->setModel(&model);
    view->resize(570, 470);
    view->show();
    QCoreApplication::processEvents();
    return view;
}

const DateTime kWhen = *DateTime::FromFields(2016, 3, 16, 9, 5, 7);

struct CompactGrid {
    ResultsModel model;
    std::unique_ptr<QTableView> view;
    double rssBytesPerRow = 0;
};

void CompactTick(CompactGrid& grid, int ms, bool paint) {
    const RowSerial row = grid.model.InsertTopRow(kWhen);
    for (TargetId id = 1; id <= kTargets; ++id) grid.model.SetResult(row, id, ms);
    if (paint) QCoreApplication::processEvents();
}

CompactGrid& FilledCompactGrid() {
    static CompactGrid* grid = [] {
        const std::size_t before = ResidentBytes();
        auto* filled = new CompactGrid;
        for (TargetId id = 1; id <= kTargets; ++id) filled->model.AppendColumn("target", id);
        for (int i = 0; i < kRows; ++i) {
            const RowSerial row = filled->model.InsertTopRow(kWhen);
            for (TargetId id = 1; id <= kTargets; ++id) filled->model.SetResult(row, id, i % 1000);
        }
        filled->rssBytesPerRow = static_cast<double>(ResidentBytes() - before) / kRows;
        filled->view = ShownView(filled->model);
        CompactTick(*filled, 0, true);  // the view's first reaction to a new row is not a typical tick
        return filled;
    }();
    return *grid;
}

struct StandardGrid {
    QStandardItemModel model{0, kTargets + 1};
    std::unique_ptr<QTableView> view;
    double rssBytesPerRow = 0;
};

QList<QStandardItem*> StandardRow(const QString& label, int ms) {
    QList<QStandardItem*> items{new QStandardItem(label)};
    const QString text = QString::fromStdString(ResultText(ms));
    for (int column = 1; column <= kTargets; ++column) items << new QStandardItem(text);
    return items;
}

void StandardTick(StandardGrid& grid, const QString& label, int ms, bool paint) {
    grid.model.insertRow(0, new QStandardItem(label));
    for (int column = 1; column <= kTargets; ++column) {
        grid.model.setItem(0, column, new QStandardItem(QString::fromStdString(ResultText(ms))));
    }
    if (paint) QCoreApplication::processEvents();
}

StandardGrid& FilledStandardGrid() {
    static StandardGrid* grid = [] {
        const QString label = QString::fromStdString(FormatTimestamp(kWhen));
        const std::size_t before = ResidentBytes();
        auto* filled = new StandardGrid;
        // Filled from the bottom: a million inserts at the top would take hours.
        for (int i = 0; i < kRows; ++i) filled->model.appendRow(StandardRow(label, i % 1000));
        filled->rssBytesPerRow = static_cast<double>(ResidentBytes() - before) / kRows;
        filled->view = ShownView(filled->model);
        StandardTick(*filled, label, 0, true);  // the view's first reaction to a new row is not a typical tick
        return filled;
    }();
    return *grid;
}

// paint: whether each tick also lets the view repaint, as the event loop would between ticks.
void BM_ResultsModelTick(benchmark::State& state) {
    const bool paint = state.range(0) != 0;
    CompactGrid& grid = FilledCompactGrid();
    int ms = 0;
    for (auto _ : state) {
        CompactTick(grid, ms, paint);
        ms = (ms + 1) % 1000;
    }
    state.counters["rss_bytes_per_row"] = grid.rssBytesPerRow;
    state.counters["rows"] = grid.model.rowCount();
}
BENCHMARK(BM_ResultsModelTick)->ArgName("paint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_StandardItemModelTick(benchmark::State& state) {
    const bool paint = state.range(0) != 0;
    StandardGrid& grid = FilledStandardGrid();
    const QString label = QString::fromStdString(FormatTimestamp(kWhen));
    int ms = 0;
    for (auto _ : state) {
        StandardTick(grid, label, ms, paint);
        ms = (ms + 1) % 1000;
    }
    state.counters["rss_bytes_per_row"] = grid.rssBytesPerRow;
    state.counters["rows"] = grid.model.rowCount();
}
BENCHMARK(BM_StandardItemModelTick)->ArgName("paint")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvelin

TARVELIN_QT_BENCHMARK_MAIN()
