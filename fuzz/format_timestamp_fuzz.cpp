// Feeds arbitrary templates, dates and loose fields to the time-stamp formatter: every combination must
// give a text without crashing, reading out of bounds or overflowing.
#include <cstdlib>

#include <fuzzer/FuzzedDataProvider.h>

#include "timefmt/format_timestamp.h"

namespace {

std::optional<int> MaybeField(FuzzedDataProvider& data, int low, int high) {
    switch (data.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return std::nullopt;
        case 1:
            return data.ConsumeIntegralInRange(low, high);
        default:
            return data.ConsumeIntegral<int>();
    }
}

std::optional<tarvelin::DateTime> MaybeDate(FuzzedDataProvider& data) {
    if (!data.ConsumeBool()) return std::nullopt;
    const int year = data.ConsumeIntegralInRange(100, 9999);
    const int month = data.ConsumeIntegralInRange(1, 12);
    const int day = data.ConsumeIntegralInRange(1, 31);
    const int hour = data.ConsumeIntegralInRange(0, 23);
    const int minute = data.ConsumeIntegralInRange(0, 59);
    const int second = data.ConsumeIntegralInRange(0, 59);
    return tarvelin::DateTime::FromFields(year, month, day, hour, minute, second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const auto date = MaybeDate(data);
    std::optional<bool> useFields;
    if (const int choice = data.ConsumeIntegralInRange(0, 2); choice != 0) useFields = choice == 2;
    const auto year = MaybeField(data, -20, 10020);
    const auto month = MaybeField(data, -1, 14);
    const auto day = MaybeField(data, -1, 32);
    const auto hour = MaybeField(data, -13, 25);
    const auto minute = MaybeField(data, -1, 61);
    const auto second = MaybeField(data, -1, 61);
    const bool defaultTemplate = data.ConsumeBool();
    const std::string templateText = data.ConsumeRemainingBytesAsString();
    const auto templateArg = defaultTemplate ? std::nullopt : std::optional<std::string_view>(templateText);
    const std::string text =
        tarvelin::FormatTimestamp(date, templateArg, useFields, year, month, day, hour, minute, second);
    // Every token is quoted, so a template without a quote must come back as it went in.
    if (!defaultTemplate && templateText.find('\'') == std::string::npos && text != templateText) std::abort();
    return 0;
}
