// Cost of the lunar step: a template holding all nine lunar tokens, over a spread of dates so the calendar
// walk is not always the same.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "timefmt/format_timestamp.h"
#include "timefmt/lunar_tokens.h"

namespace tarvelin {
namespace {

constexpr const char* kTemplate = "'NYYYY' 'NY' 'NYY' 'NM''ND' 'Nmm'-'Ndd' 'Nm'/'Nd'";

std::vector<DateTime> SpreadDates() {
    std::vector<DateTime> dates;
    for (int year = 1905; year <= 2095; year += 10) {
        for (int month = 1; month <= 12; month += 3) dates.push_back(*DateTime::FromFields(year, month, 17, 13, 7, 5));
    }
    return dates;
}

void BM_ReplaceLunarTokens_AllNine(benchmark::State& state) {
    const std::vector<DateTime> dates = SpreadDates();
    std::size_t next = 0;
    for (auto _ : state) {
        const DateTime& date = dates[next];
        next = next + 1 == dates.size() ? 0 : next + 1;
        std::string text = kTemplate;
        ReplaceLunarTokens(text, date.Year(), false, date, date);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ReplaceLunarTokens_AllNine);

// The whole formatter on the same template: the Gregorian steps search it too before the lunar step.
void BM_FormatTimestamp_AllNineLunarTokens(benchmark::State& state) {
    const std::vector<DateTime> dates = SpreadDates();
    std::size_t next = 0;
    for (auto _ : state) {
        const DateTime& date = dates[next];
        next = next + 1 == dates.size() ? 0 : next + 1;
        benchmark::DoNotOptimize(FormatTimestamp(date, kTemplate));
    }
}
BENCHMARK(BM_FormatTimestamp_AllNineLunarTokens);

// The row label of every tick: no lunar token, so the step should cost next to nothing.
void BM_ReplaceLunarTokens_DefaultTemplate(benchmark::State& state) {
    const DateTime date = *DateTime::FromFields(2016, 3, 16, 9, 5, 7);
    for (auto _ : state) {
        std::string text = "2016/03/16 09:05:07";
        ReplaceLunarTokens(text, 2016, false, date, date);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ReplaceLunarTokens_DefaultTemplate);

}  // namespace
}  // namespace tarvelin

BENCHMARK_MAIN();
