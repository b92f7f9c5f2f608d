// Cost of one sampling tick on the compact results log alone (insert the newest row, set 20 cells) with a
// small log and with a million rows, and what a row costs in memory.
#include <algorithm>
#include <map>
#include <memory>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "monitor/results_log.h"

namespace tarvelin {
namespace {

constexpr int kTargets = 20;

void Tick(ResultsLog& log, const DateTime& when, int ms) {
    const RowSerial row = log.InsertTopRow(when);
    for (TargetId id = 1; id <= kTargets; ++id) log.SetResult(row, id, ms);
}

struct FilledLog {
    std::unique_ptr<ResultsLog> log = std::make_unique<ResultsLog>();
    double rssBytesPerRow = 0;
};

// Filled once per size: the benchmark runner calls a benchmark several times.
FilledLog& LogWithRows(int rows) {
    static std::map<int, FilledLog> logs;
    if (const auto found = logs.find(rows); found != logs.end()) return found->second;
    const DateTime when = *DateTime::FromFields(2016, 3, 16, 9, 5, 7);
    const std::size_t before = ResidentBytes();
    FilledLog filled;
    for (TargetId id = 1; id <= kTargets; ++id) filled.log->AppendColumn("target", id);
    for (int i = 0; i < rows; ++i) Tick(*filled.log, when, i % 1000);
    if (rows > 0) filled.rssBytesPerRow = static_cast<double>(ResidentBytes() - before) / rows;
    return logs.emplace(rows, std::move(filled)).first->second;
}

void BM_ResultsLogTick(benchmark::State& state) {
    const auto rows = static_cast<int>(state.range(0));
    FilledLog& filled = LogWithRows(rows);
    const DateTime when = *DateTime::FromFields(2016, 3, 16, 9, 5, 7);
    int ms = 0;
    for (auto _ : state) {
        Tick(*filled.log, when, ms);
        ms = (ms + 1) % 1000;
    }
    state.counters["stored_bytes_per_row"] =
        static_cast<double>(filled.log->StorageBytes()) / std::max(1, filled.log->RowCount());
    state.counters["rss_bytes_per_row"] = filled.rssBytesPerRow;
}
BENCHMARK(BM_ResultsLogTick)->Arg(0)->Arg(1000)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kNanosecond);

void BM_ResultsLogCellText(benchmark::State& state) {
    ResultsLog log;
    for (TargetId id = 1; id <= kTargets; ++id) log.AppendColumn("target", id);
    const DateTime when = *DateTime::FromFields(2016, 3, 16, 9, 5, 7);
    for (int i = 0; i < 1000; ++i) Tick(log, when, 37);
    int column = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.CellText(500, column));
        column = (column + 1) % (kTargets + 1);
    }
}
BENCHMARK(BM_ResultsLogCellText);

}  // namespace
}  // namespace tarvelin

BENCHMARK_MAIN();
