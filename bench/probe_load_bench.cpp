// Load of the echo probe as the sampler drives it: every target probed once a second, each probe on a new
// detached thread, against loopback addresses (127.0.x.y all answer on lo). Measures CPU time per probe,
// peak threads and peak resident memory, then runs fping (-l -p 1000 -i 0) on the same addresses for the
// same time and gives its CPU time per probe and the ratio. Two more runs separate the probe from the
// sampler's thread starts: the threads alone doing nothing, the probes from long-lived threads, and those
// threads' wake-ups alone. Run it through bench/probe_load.sh, which gives
// it namespaces of its own; seconds per run from TARVELIN_BENCH_SECONDS (default 20).
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "monitor/echo_probe.h"

namespace {

using Clock = std::chrono::steady_clock;

int Seconds() {
    const char* text = std::getenv("TARVELIN_BENCH_SECONDS");
    return text ? std::max(1, std::atoi(text)) : 20;
}

std::vector<std::string> LoopbackTargets(int count) {
    std::vector<std::string> targets;
    for (int i = 0; i < count; ++i) {
        targets.push_back("127.0." + std::to_string(1 + i / 250) + "." + std::to_string(1 + i % 250));
    }
    return targets;
}

double CpuSeconds(const rusage& usage) {
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double SelfCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

// Threads and resident kB of this process, from /proc.
std::pair<long, long> ThreadsAndRss() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long threads = 0, rss = 0;
    while (status >> key) {
        if (key == "Threads:") status >> threads;
        if (key == "VmRSS:") status >> rss;
        status.ignore(256, '\n');
    }
    return {threads, rss};
}

struct OwnRun {
    double cpuSeconds = 0;
    long probes = 0;
    long answered = 0;
    long peakThreads = 0;
    long peakRssKb = 0;
};

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Every target once a second, each probe on a new detached thread, as the sampler does. With probe false
// the threads do nothing: the cost of the threads alone.
OwnRun RunOwnProbes(const std::vector<std::string>& targets, int seconds, bool probe) {
    OwnRun run;
    std::atomic<long> live{0}, answered{0};
    std::atomic<bool> sampling{true};
    std::atomic<double> samplerCpu{0};
    // Reading /proc costs CPU of its own, which is taken out of the figures below.
    std::thread sampler([&] {
        while (sampling) {
            const auto [threads, rss] = ThreadsAndRss();
            run.peakThreads = std::max(run.peakThreads, threads);
            run.peakRssKb = std::max(run.peakRssKb, rss);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        samplerCpu = ThreadCpuSeconds();
    });
    const double cpuBefore = SelfCpuSeconds();
    auto tick = Clock::now();
    for (int second = 0; second < seconds; ++second) {
        for (const auto& target : targets) {
            ++live;
            std::thread([&live, &answered, &target, probe] {
                if (probe && tarvelin::PingHost(target, 1000) >= 0) ++answered;
                --live;
            }).detach();
        }
        run.probes += static_cast<long>(targets.size());
        tick += std::chrono::seconds(1);
        std::this_thread::sleep_until(tick);
    }
    while (live > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const double cpuAfter = SelfCpuSeconds();
    sampling = false;
    sampler.join();
    run.cpuSeconds = cpuAfter - cpuBefore - samplerCpu;
    run.answered = answered;
    return run;
}

// The same probes from one long-lived thread per target that sleeps to each second: what the probe itself
// costs once the sampler's thread starts are taken out. With probe false only the wake-ups are left.
double RunPooledProbes(const std::vector<std::string>& targets, int seconds, bool probe) {
    const auto start = Clock::now() + std::chrono::milliseconds(200);
    std::vector<std::thread> threads;
    for (const auto& target : targets) {
        threads.emplace_back([&target, start, seconds, probe] {
            for (int second = 0; second < seconds; ++second) {
                std::this_thread::sleep_until(start + std::chrono::seconds(second));
                if (probe) tarvelin::PingHost(target, 1000);
            }
        });
    }
    std::this_thread::sleep_until(start);
    const double cpuBefore = SelfCpuSeconds();
    for (auto& thread : threads) thread.join();
    return SelfCpuSeconds() - cpuBefore;
}

struct FpingRun {
    double cpuSeconds = 0;
    long probes = 0;
};

// fping for the given time, stopped with SIGINT so that it prints its totals (-s) to stderr.
FpingRun RunFping(const std::vector<std::string>& targets, int seconds) {
    FpingRun run;
    char statsPath[] = "/tmp/probe_load_fping_XXXXXX";
    const int stats = mkstemp(statsPath);
    if (stats < 0) return run;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(stats, STDERR_FILENO);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        std::vector<std::string> args{"fping", "-l", "-p", "1000", "-i", "0", "-q", "-s"};
        args.insert(args.end(), targets.begin(), targets.end());
        std::vector<char*> argv;
        for (auto& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp("fping", argv.data());
        _exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    kill(pid, SIGINT);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.cpuSeconds = CpuSeconds(usage);
    std::ifstream text(statsPath);
    std::string line;
    while (std::getline(text, line)) {
        if (line.find("ICMP Echos sent") != std::string::npos) run.probes = std::atol(line.c_str());
    }
    close(stats);
    unlink(statsPath);
    return run;
}

void ProbeLoad(benchmark::State& state) {
    const auto targets = LoopbackTargets(static_cast<int>(state.range(0)));
    const int seconds = Seconds();
    for (auto _ : state) {
        const OwnRun threadsAlone = RunOwnProbes(targets, seconds, false);
        const OwnRun own = RunOwnProbes(targets, seconds, true);
        const double pooledCpu = RunPooledProbes(targets, seconds, true);
        const double wakeCpu = RunPooledProbes(targets, seconds, false);
        const FpingRun fping = RunFping(targets, seconds);
        const double pooledPerProbe = pooledCpu * 1e6 / static_cast<double>(own.probes);
        const double ownPerProbe = own.probes ? own.cpuSeconds * 1e6 / static_cast<double>(own.probes) : 0;
        const double fpingPerProbe = fping.probes ? fping.cpuSeconds * 1e6 / static_cast<double>(fping.probes) : 0;
        state.counters["cpu_us_per_probe"] = ownPerProbe;
        state.counters["threads_alone_us"] = threadsAlone.cpuSeconds * 1e6 / static_cast<double>(threadsAlone.probes);
        state.counters["pooled_us_per_probe"] = pooledPerProbe;
        state.counters["wakes_alone_us"] = wakeCpu * 1e6 / static_cast<double>(own.probes);
        state.counters["answered_pct"] = own.probes ? 100.0 * static_cast<double>(own.answered) / own.probes : 0;
        state.counters["peak_threads"] = static_cast<double>(own.peakThreads);
        state.counters["peak_rss_MiB"] = static_cast<double>(own.peakRssKb) / 1024.0;
        state.counters["fping_cpu_us_per_probe"] = fpingPerProbe;
        state.counters["fping_probes"] = static_cast<double>(fping.probes);
        state.counters["ratio_to_fping"] = fpingPerProbe > 0 ? ownPerProbe / fpingPerProbe : 0;
        state.counters["pooled_ratio"] = fpingPerProbe > 0 ? pooledPerProbe / fpingPerProbe : 0;
    }
}

BENCHMARK(ProbeLoad)->ArgName("targets")->Arg(100)->Arg(1000)->Iterations(1)->UseRealTime()->Unit(
    benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
