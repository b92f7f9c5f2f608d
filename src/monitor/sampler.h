// The once-a-second sampling cycle without a toolkit: the timer's period rules over a clock the caller
// supplies, the tick that adds a row and starts one detached worker per target, and the worker's body.
// SampleTimer and Sampler belong to one thread (the UI thread); ProbeTarget runs on worker threads and
// touches nothing but a TargetLookup, its probe and its result sink.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "monitor/results_log.h"
#include "monitor/targets.h"
#include "timefmt/date_time.h"

namespace tarvelin {

inline constexpr int kSampleIntervalMs = 1000;
inline constexpr int kProbeTimeoutMs = 1000;

// The period the timer has after writing requested to a timer that has current: a negative value counts
// as 0; nothing when that is the period it already has, so a running timer keeps its phase.
std::optional<int> PeriodChange(int current, int requested);
// What the start/pause command writes: 0 while running, kSampleIntervalMs while paused.
inline int ToggledPeriod(int current) {
    return current > 0 ? 0 : kSampleIntervalMs;
}

// A periodic timer read off a clock the owner supplies (milliseconds, never going back). Like a window
// system's timer it does not queue missed ticks: a late poll sees one tick, and the phase is kept.
class SampleTimer {
  public:
    using Clock = std::function<std::int64_t()>;
    explicit SampleTimer(Clock clock);

    void SetPeriod(int ms);  // see PeriodChange; a start puts the first tick one period later
    int Period() const { return m_period; }
    std::optional<std::int64_t> NextTickAt() const;  // nothing while stopped
    // True once for each due time reached by now; advances to the first due time after now.
    bool TakeTick();

  private:
    Clock m_clock;
    int m_period = 0;
    std::int64_t m_nextTickAt = 0;
};

// What a worker is given at its tick: its target's number then, its identity and the row of its tick.
struct SampleJob {
    int number;
    TargetId target;
    RowSerial row;
};

// What a worker hands back, by value: ms >= 0, or -1 for no answer.
struct SampleResult {
    RowSerial row;
    TargetId target;
    int ms;
};

using Probe = std::function<int(std::string_view host, int timeoutMs)>;
// Called on worker threads, possibly many at once; must not wait on the UI thread.
using ResultSink = std::function<void(const SampleResult&)>;
// Starts body on a thread of its own that nobody waits for; false when no thread could be started.
using ThreadStarter = std::function<bool(std::function<void()> body)>;

// std::thread, detached at once; a thread the system refuses (std::system_error) gives false.
bool StartDetachedThread(std::function<void()> body);
// Probes through PingHost.
int PingProbe(std::string_view host, int timeoutMs);

// The worker: copies the target's address (nothing more happens when the target is gone), extracts the
// host name, probes it with the 1000 ms timeout and hands the result to sink.
void ProbeTarget(const TargetLookup& targets, const SampleJob& job, const Probe& probe, const ResultSink& sink);

class Sampler {
  public:
    // Adds the new top row stamped with the given time and returns its serial; called on the tick's thread.
    using RowInserter = std::function<RowSerial(const DateTime& when)>;
    using LocalClock = std::function<DateTime()>;

    Sampler(const TargetList& targets, RowInserter insertTopRow, ResultSink sink);

    void SetProbe(Probe probe) { m_probe = std::move(probe); }
    void SetThreadStarter(ThreadStarter starter) { m_startThread = std::move(starter); }
    void SetLocalClock(LocalClock clock) { m_now = std::move(clock); }

    // One tick: nothing without targets; else one row labelled with the local time and one worker per
    // target. Never waits and does no network work. Returns the number of workers started.
    int SampleTick();

  private:
    const TargetList& m_targets;
    RowInserter m_insertTopRow;
    ResultSink m_sink;
    Probe m_probe = PingProbe;
    ThreadStarter m_startThread = StartDetachedThread;
    LocalClock m_now = DateTime::Now;
};

}  // namespace tarvelin
