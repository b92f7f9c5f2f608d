// Cost of the two text routines on the sampling path: the row label of every tick and the host name of
// every probe.
#include <benchmark/benchmark.h>

#include "monitor/host_name.h"
#include "timefmt/format_timestamp.h"

namespace {

void BM_FormatTimestamp_DefaultTemplate(benchmark::State& state) {
    const auto date = tarvelin::DateTime::FromFields(2016, 3, 16, 9, 5, 7);
    for (auto _ : state) benchmark::DoNotOptimize(tarvelin::FormatTimestamp(date));
}
BENCHMARK(BM_FormatTimestamp_DefaultTemplate);

void BM_ExtractHostName_WebAddress(benchmark::State& state) {
    const std::string address = "https://www.example.com:8443/path/page?x=1";
    for (auto _ : state) benchmark::DoNotOptimize(tarvelin::ExtractHostName(address));
}
BENCHMARK(BM_ExtractHostName_WebAddress);

}  // namespace

BENCHMARK_MAIN();
