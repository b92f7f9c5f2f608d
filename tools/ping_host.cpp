// Probes each host given on the command line once, all at the same time, and prints one line per host:
// the host and its round-trip time in ms, or -1. For trying the echo probe by hand and from scripts.
//   ping_host [-t TIMEOUT_MS] HOST...
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "monitor/echo_probe.h"

int main(int argc, char** argv) {
    std::optional<int> timeoutMs;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "-t") == 0) {
        timeoutMs = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: %s [-t TIMEOUT_MS] HOST...\n", argv[0]);
        return 2;
    }
    if (const auto reason = tarvelin::EchoUnavailableReason()) std::fprintf(stderr, "%s\n", reason->c_str());
    std::vector<int> results(static_cast<std::size_t>(argc - first));
    std::vector<std::thread> probes;
    for (int i = first; i < argc; ++i) {
        probes.emplace_back([&results, &timeoutMs, argv, i, first] {
            results[static_cast<std::size_t>(i - first)] = tarvelin::PingHost(argv[i], timeoutMs);
        });
    }
    for (auto& probe : probes) probe.join();
    for (int i = first; i < argc; ++i) std::printf("%s %d\n", argv[i], results[static_cast<std::size_t>(i - first)]);
    return 0;
}
