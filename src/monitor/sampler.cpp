#include "monitor/sampler.h"

#include <system_error>
#include <thread>

#include "monitor/echo_probe.h"
#include "monitor/host_name.h"

namespace tarvelin {

std::optional<int> PeriodChange(int current, int requested) {
    const int period = requested < 0 ? 0 : requested;
    if (period == current) return std::nullopt;
    return period;
}

SampleTimer::SampleTimer(Clock clock) : m_clock(std::move(clock)) {}

void SampleTimer::SetPeriod(int ms) {
    const std::optional<int> period = PeriodChange(m_period, ms);
    if (!period) return;
    m_period = *period;
    if (m_period > 0) m_nextTickAt = m_clock() + m_period;
}

std::optional<std::int64_t> SampleTimer::NextTickAt() const {
    if (m_period <= 0) return std::nullopt;
    return m_nextTickAt;
}

bool SampleTimer::TakeTick() {
    if (m_period <= 0) return false;
    const std::int64_t now = m_clock();
    if (now < m_nextTickAt) return false;
    // Missed due times collapse into this one tick; the next stays on the original phase.
    m_nextTickAt += ((now - m_nextTickAt) / m_period + 1) * m_period;
    return true;
}

bool StartDetachedThread(std::function<void()> body) {
    try {
        std::thread(std::move(body)).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

int PingProbe(std::string_view host, int timeoutMs) {
    return PingHost(host, timeoutMs);
}

void ProbeTarget(const TargetLookup& targets, const SampleJob& job, const Probe& probe, const ResultSink& sink) {
    const std::optional<std::string> address = targets.AddressOf(job.target);
    if (!address) return;  // removed since the tick: it is probed no more and has no column to fill
    const std::string host = ExtractHostName(*address);
    const int ms = probe(host, kProbeTimeoutMs);
    sink(SampleResult{job.row, job.target, ms < 0 ? -1 : ms});
}

Sampler::Sampler(const TargetList& targets, RowInserter insertTopRow, ResultSink sink)
    : m_targets(targets), m_insertTopRow(std::move(insertTopRow)), m_sink(std::move(sink)) {}

int Sampler::SampleTick() {
    // The ids are read once, here on the tick's thread, so each worker knows its own target and row
    // whatever happens to the lists and the grid while it probes.
    const std::vector<TargetId> ids = m_targets.Ids();
    if (ids.empty()) return 0;
    const RowSerial row = m_insertTopRow(m_now());
    const TargetLookup lookup = m_targets.Lookup();
    int started = 0;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const SampleJob job{static_cast<int>(i) + 1, ids[i], row};
        auto body = [lookup, job, probe = m_probe, sink = m_sink] { ProbeTarget(lookup, job, probe, sink); };
        if (m_startThread(std::move(body))) ++started;
    }
    return started;
}

}  // namespace tarvelin
