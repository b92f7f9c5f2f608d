#include "monitor/sampler.h"

#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include "../support/sampling_doubles.h"

namespace tarvelin {
namespace {

using fakes::kPatience;
using fakes::ScriptedProbe;
using fakes::WorkerTracker;

// Collects what workers hand back, for the test thread to apply as the UI thread would.
class ResultQueue {
  public:
    ResultSink Sink() const {
        return [state = m_state](const SampleResult& result) {
            const std::lock_guard lock(state->mutex);
            state->results.push_back(result);
            state->changed.notify_all();
        };
    }
    std::vector<SampleResult> Take(std::size_t count) {
        std::unique_lock lock(m_state->mutex);
        m_state->changed.wait_for(lock, kPatience, [&] { return m_state->results.size() >= count; });
        std::vector<SampleResult> taken;
        while (!m_state->results.empty() && taken.size() < count) {
            taken.push_back(m_state->results.front());
            m_state->results.pop_front();
        }
        return taken;
    }
    std::vector<SampleResult> TakeAvailable() {
        const std::lock_guard lock(m_state->mutex);
        std::vector<SampleResult> taken(m_state->results.begin(), m_state->results.end());
        m_state->results.clear();
        return taken;
    }
    std::size_t Pending() const {
        const std::lock_guard lock(m_state->mutex);
        return m_state->results.size();
    }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<SampleResult> results;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

DateTime Stamp(int second) {
    return DateTime::FromWallSeconds(DateTime::FromFields(2016, 3, 16, 9, 5, 0)->WallSeconds() + second);
}

class SamplerTest : public ::testing::Test {
  protected:
    SamplerTest() {
        m_sampler.SetProbe(m_probe.AsProbe());
        m_sampler.SetThreadStarter(m_workers.Starter());
        m_sampler.SetLocalClock([this] { return Stamp(m_ticks++); });
    }
    ~SamplerTest() override {
        m_probe.Open();
        m_workers.WaitAllEnded();
    }

    TargetId Add(const std::string& title, const std::string& address) {
        const TargetId id = m_targets.AppendTarget(title, address);
        m_log.AppendColumn(title, id);
        return id;
    }
    void Remove(int k) {
        m_targets.RemoveTarget(k);
        m_log.DeleteColumn(k);
    }
    // What the UI thread does with results as they arrive; counts those that found their cell.
    int Apply(std::size_t count) {
        int landed = 0;
        for (const SampleResult& result : m_results.Take(count)) {
            if (m_log.SetResult(result.row, result.target, result.ms)) ++landed;
        }
        return landed;
    }
    std::vector<std::string> Row(int row) const {
        std::vector<std::string> cells;
        for (int column = 0; column < m_log.ColumnCount(); ++column) cells.push_back(m_log.CellText(row, column));
        return cells;
    }

    TargetList m_targets;
    ResultsLog m_log;
    ScriptedProbe m_probe;
    ResultQueue m_results;
    WorkerTracker m_workers;
    int m_ticks = 0;
    Sampler m_sampler{m_targets, [this](const DateTime& when) { return m_log.InsertTopRow(when); }, m_results.Sink()};
};

TEST_F(SamplerTest, SampleTick_NoTargets_AddsNoRowAndProbesNothing) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m_sampler.SampleTick(), 0);
    EXPECT_EQ(m_log.RowCount(), 0);
    EXPECT_TRUE(m_probe.Calls().empty());
}

TEST_F(SamplerTest, SampleTick_EachTick_OneLabelledRowAndOneProbePerTarget) {
    Add("a", "a.example");
    Add("b", "b.example");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m_sampler.SampleTick(), 2);
    EXPECT_EQ(Apply(6), 6);
    ASSERT_EQ(m_log.RowCount(), 3);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"2016/03/16 09:05:02", "0ms", "0ms"}));
    EXPECT_EQ(Row(2), (std::vector<std::string>{"2016/03/16 09:05:00", "0ms", "0ms"}));
    EXPECT_EQ(m_probe.Calls().size(), 6u);
}

TEST_F(SamplerTest, ProbeTarget_EachOutcome_CellTextAndHostAsExtracted) {
    struct Case {
        std::string address;
        std::string host;
        int ms;
        std::string text;
    } const cases[] = {
        {"zero.example", "zero.example", 0, "0ms"},
        {"HTTP://Www.Typical.Example:8080/path?q=1", "www.typical.example", 37, "37ms"},
        {"silent.example:80", "silent.example", -1, "≥1000ms"},
        {"slowest.example", "slowest.example", 1000, "1000ms"},
    };
    std::map<std::string, int> replies;
    std::vector<std::string> expectedRow{"2016/03/16 09:05:00"};
    for (const Case& c : cases) {
        Add(c.host, c.address);
        replies[c.host] = c.ms;
        expectedRow.push_back(c.text);
    }
    m_probe.SetScript([replies](const std::string& host, int) { return ScriptedProbe::Reply{replies.at(host)}; });
    m_sampler.SampleTick();
    EXPECT_EQ(Apply(std::size(cases)), static_cast<int>(std::size(cases)));
    EXPECT_EQ(Row(0), expectedRow);
    std::set<std::pair<std::string, int>> calls;
    for (const auto& call : m_probe.Calls()) calls.insert(call);
    for (const Case& c : cases) EXPECT_TRUE(calls.contains({c.host, 1000})) << c.host;
}

TEST_F(SamplerTest, ProbeTarget_SlowResult_LandsInItsOwnTicksRow) {
    Add("fast", "fast.example");
    Add("slow", "slow.example");
    m_probe.SetScript([](const std::string& host, int call) {
        if (host == "slow.example") return ScriptedProbe::Reply{call == 0 ? 999 : 12, call == 0};
        return ScriptedProbe::Reply{3};
    });
    m_sampler.SampleTick();
    ASSERT_TRUE(m_probe.WaitForHeld(1));
    EXPECT_EQ(Apply(1), 1);
    m_sampler.SampleTick();
    EXPECT_EQ(Apply(2), 2);
    m_probe.Open();
    EXPECT_EQ(Apply(1), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"2016/03/16 09:05:01", "3ms", "12ms"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"2016/03/16 09:05:00", "3ms", "999ms"}));
}

TEST_F(SamplerTest, ProbeTarget_TargetDeletedInFlight_ResultDroppedAndLaterColumnUntouched) {
    Add("t1", "one.example");
    Add("t2", "two.example");
    Add("t3", "three.example");
    m_probe.SetScript([](const std::string& host, int) {
        if (host == "two.example") return ScriptedProbe::Reply{-1, true};
        return ScriptedProbe::Reply{host == "one.example" ? 1 : 3};
    });
    m_sampler.SampleTick();
    ASSERT_TRUE(m_probe.WaitForHeld(1));
    EXPECT_EQ(Apply(2), 2);
    Remove(2);
    m_probe.Open();
    EXPECT_EQ(Apply(1), 0);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"2016/03/16 09:05:00", "1ms", "3ms"}));
    EXPECT_EQ(m_log.ColumnCaption(2), "t3");
}

TEST_F(SamplerTest, ProbeTarget_TargetGoneBeforeItReads_ProbesNothingWritesNothing) {
    std::vector<std::function<void()>> deferred;
    m_sampler.SetThreadStarter([&deferred](std::function<void()> body) {
        deferred.push_back(std::move(body));
        return true;
    });
    Add("t1", "one.example");
    Add("t2", "two.example");
    m_sampler.SampleTick();
    Remove(2);
    for (auto& body : deferred) std::thread(std::move(body)).join();
    EXPECT_EQ(Apply(1), 1);
    EXPECT_EQ(m_probe.Calls(), (std::vector<std::pair<std::string, int>>{{"one.example", 1000}}));
    EXPECT_EQ(m_results.Pending(), 0u);
}

TEST_F(SamplerTest, SampleTick_ThreadRefused_ThatCellStaysEmptyOthersFilled) {
    int starts = 0;
    m_sampler.SetThreadStarter(m_workers.Starter([&starts](std::function<void()> body) {
        return ++starts == 2 ? false : StartDetachedThread(std::move(body));
    }));
    for (const char* name : {"a", "b", "c"}) Add(name, std::string(name) + ".example");
    m_probe.SetScript([](const std::string&, int) { return ScriptedProbe::Reply{7}; });
    EXPECT_EQ(m_sampler.SampleTick(), 2);
    EXPECT_EQ(Apply(2), 2);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"2016/03/16 09:05:00", "7ms", "", "7ms"}));
}

TEST_F(SamplerTest, SampleTick_TargetAddedWhileRunning_TakesPartFromNextTick) {
    Add("a", "a.example");
    m_sampler.SampleTick();
    EXPECT_EQ(Apply(1), 1);
    Add("b", "b.example");
    EXPECT_EQ(m_sampler.SampleTick(), 2);
    EXPECT_EQ(Apply(2), 2);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"2016/03/16 09:05:01", "0ms", "0ms"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"2016/03/16 09:05:00", "0ms", ""}));
}

TEST_F(SamplerTest, SampleTick_SameAddressTwice_ProbedSeparately) {
    Add("first", "same.example");
    Add("second", "same.example");
    m_probe.SetScript([](const std::string&, int call) { return ScriptedProbe::Reply{10 + call}; });
    m_sampler.SampleTick();
    EXPECT_EQ(Apply(2), 2);
    EXPECT_EQ(m_probe.Calls().size(), 2u);
    const std::set<std::string> cells{m_log.CellText(0, 1), m_log.CellText(0, 2)};
    EXPECT_EQ(cells, (std::set<std::string>{"10ms", "11ms"}));
}

TEST(SampleTimerTest, PeriodChange_EachWrite_FollowsTheRules) {
    struct Case {
        int current;
        int requested;
        std::optional<int> change;
    } const cases[] = {
        {0, 1000, 1000}, {1000, 1000, std::nullopt}, {1000, 0, 0},  {0, 0, std::nullopt},
        {1000, -5, 0},   {0, -1, std::nullopt},      {0, 250, 250},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PeriodChange(c.current, c.requested), c.change) << c.current << " <- " << c.requested;
    }
    EXPECT_EQ(ToggledPeriod(1000), 0);
    EXPECT_EQ(ToggledPeriod(0), 1000);
}

TEST(SampleTimerTest, SetPeriod_Sequence_TicksOnePeriodAfterStartAndKeepsPhase) {
    std::int64_t now = 0;
    SampleTimer timer([&now] { return now; });
    // Each step: move the clock, optionally write the period, then see whether a tick is due.
    struct Step {
        std::int64_t at;
        std::optional<int> write;
        bool tick;
    } const steps[] = {
        {0, std::nullopt, false},   {500, 1000, false},          {1499, std::nullopt, false},
        {1500, std::nullopt, true}, {1500, std::nullopt, false}, {2200, 1000, false},
        {2500, std::nullopt, true},                               // same value: same phase
        {2600, -3, false},          {3500, std::nullopt, false},  // negative stops it
        {4000, 1000, false},        {4999, std::nullopt, false}, {5000, std::nullopt, true},
        {8700, std::nullopt, true}, {8800, std::nullopt, false}, {9000, std::nullopt, true},  // missed ticks collapse
    };
    for (const Step& step : steps) {
        now = step.at;
        if (step.write) timer.SetPeriod(*step.write);
        EXPECT_EQ(timer.TakeTick(), step.tick) << "at " << step.at;
    }
    EXPECT_EQ(timer.Period(), 1000);
    EXPECT_EQ(timer.NextTickAt(), 10000);
}

TEST_F(SamplerTest, Pause_WithProbeInFlight_ResultStillLandsAndResumeTicksOnePeriodLater) {
    std::int64_t now = 0;
    SampleTimer timer([&now] { return now; });
    const auto runUntil = [&](std::int64_t until) {
        for (; now < until; now += 50) {
            if (timer.TakeTick()) m_sampler.SampleTick();
        }
    };
    Add("a", "a.example");
    m_probe.SetScript([](const std::string&, int call) {
        return ScriptedProbe::Reply{call == 0 ? 800 : 5, call == 0};
    });
    timer.SetPeriod(kSampleIntervalMs);
    runUntil(1200);
    ASSERT_EQ(m_log.RowCount(), 1);
    ASSERT_TRUE(m_probe.WaitForHeld(1));
    timer.SetPeriod(0);
    m_probe.Open();
    EXPECT_EQ(Apply(1), 1);
    runUntil(5000);
    EXPECT_EQ(m_log.RowCount(), 1);
    EXPECT_EQ(m_log.CellText(0, 1), "800ms");
    timer.SetPeriod(kSampleIntervalMs);  // at 5000
    runUntil(6000);
    EXPECT_EQ(m_log.RowCount(), 1);
    runUntil(6050);
    EXPECT_EQ(m_log.RowCount(), 2);
}

// Hosts in network namespaces that tools/testhosts.sh makes for the length of one test; this thread, and
// the workers it starts, probe from inside the client namespace, so nothing leaves the machine.
class TestHostsScope {
  public:
    TestHostsScope() {
        if (geteuid() != 0) {
            m_skipReason = "making test hosts in network namespaces needs root (CI runs as root)";
            return;
        }
        m_tag = "tvs" + std::to_string(getpid());
        const std::string up =
            "TARVELIN_RESPONDER=" TARVELIN_BINARY_DIR "/tools/echo_responder " + Script() + " up " + m_tag;
        if (std::system(up.c_str()) != 0) {
            m_skipReason = "tools/testhosts.sh up failed (is tools/echo_responder built?)";
            m_tag.clear();
            return;
        }
        m_home = open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC);
        const int client = open(("/run/netns/" + m_tag + "-client").c_str(), O_RDONLY | O_CLOEXEC);
        if (m_home < 0 || client < 0 || setns(client, CLONE_NEWNET) != 0) m_skipReason = "could not enter the client";
        if (client >= 0) close(client);
    }
    ~TestHostsScope() {
        if (m_home >= 0) {
            setns(m_home, CLONE_NEWNET);
            close(m_home);
        }
        if (!m_tag.empty()) std::system((Script() + " down " + m_tag).c_str());
    }
    const std::string& SkipReason() const { return m_skipReason; }

  private:
    static std::string Script() { return std::string(TARVELIN_SOURCE_DIR) + "/tools/testhosts.sh"; }
    std::string m_tag;
    std::string m_skipReason;
    int m_home = -1;
};

// The milliseconds a result cell shows; -1 for the no-answer text or an empty cell.
int MsOf(const std::string& text) {
    int ms = -1;
    std::from_chars(text.data(), text.data() + text.size(), ms);
    return ms;
}

TEST(SamplerRealCycleTest, RealProbes_TestHosts_EachResultInItsOwnTicksRow) {
    const TestHostsScope hosts;
    if (!hosts.SkipReason().empty()) GTEST_SKIP() << hosts.SkipReason();
    TargetList targets;
    ResultsLog log;
    ResultQueue results;
    WorkerTracker workers;
    Sampler sampler(
        targets, [&log](const DateTime& when) { return log.InsertTopRow(when); }, results.Sink());
    sampler.SetThreadStarter(workers.Starter());
    for (const auto& [title, address] : std::vector<std::pair<std::string, std::string>>{
             {"echo", "198.18.0.10"}, {"delayed", "HTTP://198.18.0.20:8080/path"}, {"silent", "198.18.0.23"}}) {
        log.AppendColumn(title, targets.AppendTarget(title, address));
    }
    using SteadyClock = std::chrono::steady_clock;
    SampleTimer timer([] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now().time_since_epoch()).count();
    });
    timer.SetPeriod(kSampleIntervalMs);
    // The UI thread's part, polled: ticks when due, results applied as they come, for two ticks.
    int ticks = 0;
    int applied = 0;
    const auto deadline = SteadyClock::now() + kPatience;
    while ((ticks < 2 || applied < 6) && SteadyClock::now() < deadline) {
        if (ticks < 2 && timer.TakeTick()) ticks += sampler.SampleTick() > 0 ? 1 : 0;
        for (const SampleResult& result : results.TakeAvailable()) {
            if (log.SetResult(result.row, result.target, result.ms)) ++applied;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    timer.SetPeriod(0);
    ASSERT_TRUE(workers.WaitAllEnded());
    ASSERT_EQ(log.RowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        // The silent host's first answer comes a whole second after its tick, when the next row is on top.
        EXPECT_EQ(log.CellText(row, 3), "≥1000ms") << row;
        EXPECT_GE(MsOf(log.CellText(row, 1)), 0) << log.CellText(row, 1);
        EXPECT_LT(MsOf(log.CellText(row, 1)), 500) << log.CellText(row, 1);
        EXPECT_GE(MsOf(log.CellText(row, 2)), 40) << log.CellText(row, 2);
        EXPECT_LT(MsOf(log.CellText(row, 2)), 900) << log.CellText(row, 2);
    }
}

}  // namespace
}  // namespace tarvelin
