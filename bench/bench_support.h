// Helpers the benchmarks share: resident memory of this process, and a main() for benchmarks that need
// a QApplication (offscreen unless the caller chose a platform).
#pragma once

#include <cstddef>
#include <fstream>

#include <unistd.h>

namespace tarvelin {

inline std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace tarvelin

#define TARVELIN_QT_BENCHMARK_MAIN()                                                                   \
    int main(int argc, char** argv) {                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");  \
        QApplication app(argc, argv);                                                                  \
        benchmark::Initialize(&argc, argv);                                                            \
        benchmark::RunSpecifiedBenchmarks();                                                           \
        benchmark::Shutdown();                                                                         \
        return 0;                                                                                      \
    }
