// Start-up cost of the settings: restoring a file of 1,000 targets must stay far below 100 ms, which
// needs the file read and parsed once rather than once per key. The save is measured too; it includes
// flushing the file to the disk, so its figure depends on the disk.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "../tests/settings/fake_window.h"
#include "settings/profile_file.h"
#include "settings/restore_settings.h"
#include "settings/save_settings.h"

namespace {

using tarvelin::testing::FakeWindow;

constexpr int kTargets = 1000;

class SettingsFileFixture {
public:
    SettingsFileFixture() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvelin-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) m_dir = pattern;
        for (int k = 1; k <= kTargets; ++k) {
            m_window.targets.push_back({"目标 " + std::to_string(k), "www.example" + std::to_string(k) + ".com", 66 + k % 50});
        }
        tarvelin::SaveSettings(File(), m_window);
    }
    ~SettingsFileFixture() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::filesystem::path File() const { return m_dir / "config.ini"; }
    const FakeWindow& Window() const { return m_window; }

private:
    std::filesystem::path m_dir;
    FakeWindow m_window;
};

void BM_RestoreThousandTargets(benchmark::State& state) {
    const SettingsFileFixture fixture;
    for (auto _ : state) {
        FakeWindow window;
        tarvelin::RestoreSettings(fixture.File(), window);
        if (window.targets.size() != kTargets) state.SkipWithError("targets not restored");
        benchmark::DoNotOptimize(window.targets.data());
    }
}
BENCHMARK(BM_RestoreThousandTargets)->Unit(benchmark::kMillisecond);

void BM_SaveThousandTargets(benchmark::State& state) {
    const SettingsFileFixture fixture;
    for (auto _ : state) {
        if (!tarvelin::SaveSettings(fixture.File(), fixture.Window())) state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveThousandTargets)->Unit(benchmark::kMillisecond);

void BM_ReadOneKeyOfThousandTargets(benchmark::State& state) {
    const SettingsFileFixture fixture;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tarvelin::ReadProfileString(fixture.File(), "Internet_Check_Settings_And_URL", "Item_1000", ""));
    }
}
BENCHMARK(BM_ReadOneKeyOfThousandTargets)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
