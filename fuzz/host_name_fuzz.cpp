// Feeds arbitrary addresses, markers and options to the host-name routines and checks what must hold for
// every input: results are made of the input's bytes, lower-cased, without the cut-off parts.
#include <cstdlib>

#include <fuzzer/FuzzedDataProvider.h>

#include "monitor/host_name.h"

namespace {

template <typename T>
std::optional<T> MaybeConsume(FuzzedDataProvider& data) {
    if (!data.ConsumeBool()) return std::nullopt;
    if constexpr (std::is_same_v<T, bool>) {
        return data.ConsumeBool();
    } else {
        // Mostly small values, where the interesting boundaries are, sometimes any value at all.
        return data.ConsumeBool() ? data.ConsumeIntegralInRange<T>(-3, 40) : data.ConsumeIntegral<T>();
    }
}

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckExtractHostName(FuzzedDataProvider& data) {
    const auto domainOnly = MaybeConsume<bool>(data);
    const auto keepPort = MaybeConsume<bool>(data);
    const auto levels = MaybeConsume<int>(data);
    const std::string address = data.ConsumeRandomLengthString();
    const std::string host = tarvelin::ExtractHostName(address, domainOnly, keepPort, levels);
    Require(host.find('/') == std::string::npos);
    Require(keepPort.value_or(false) || host.find(':') == std::string::npos);
    for (const char c : host) Require(c < 'A' || c > 'Z');
}

void CheckTextBetween(FuzzedDataProvider& data) {
    const auto startPosition = MaybeConsume<int>(data);
    const auto ignoreCase = MaybeConsume<bool>(data);
    const std::string startMarker = data.ConsumeRandomLengthString(16);
    const std::string endMarker = data.ConsumeRandomLengthString(16);
    const std::string text = data.ConsumeRandomLengthString();
    const std::string between = tarvelin::TextBetween(text, startMarker, endMarker, startPosition, ignoreCase);
    Require(text.find(between) != std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    if (data.ConsumeBool()) {
        CheckExtractHostName(data);
    } else {
        CheckTextBetween(data);
    }
    return 0;
}
