// Test doubles for the sampling cycle's seams: a scripted, thread-safe probe that can hold calls until
// the test opens it, and a thread starter that knows when its workers have ended. Both share their state
// with the copies handed to workers, so a worker may outlive the test body without touching freed memory.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "monitor/sampler.h"

namespace tarvelin::fakes {

inline constexpr auto kPatience = std::chrono::seconds(10);  // only ever reached when something is broken

// A probe that answers by a script and can hold chosen calls until the test opens it.
class ScriptedProbe {
  public:
    struct Reply {
        int ms;
        bool held = false;
    };
    // host, and how many calls that host had before this one
    using Script = std::function<Reply(const std::string& host, int call)>;

    void SetScript(Script script) {
        const std::lock_guard lock(m_state->mutex);
        m_state->script = std::move(script);
    }
    Probe AsProbe() const {
        return [state = m_state](std::string_view host, int timeoutMs) { return state->Answer(host, timeoutMs); };
    }
    void Open() {
        const std::lock_guard lock(m_state->mutex);
        m_state->open = true;
        m_state->changed.notify_all();
    }
    bool WaitForHeld(int count) {
        std::unique_lock lock(m_state->mutex);
        return m_state->changed.wait_for(lock, kPatience, [&] { return m_state->held >= count; });
    }
    std::vector<std::pair<std::string, int>> Calls() const {
        const std::lock_guard lock(m_state->mutex);
        return m_state->calls;
    }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        Script script = [](const std::string&, int) { return Reply{0}; };
        std::map<std::string, int> callsByHost;
        std::vector<std::pair<std::string, int>> calls;  // host and timeout of each call
        int held = 0;
        bool open = false;

        int Answer(std::string_view host, int timeoutMs) {
            std::unique_lock lock(mutex);
            calls.emplace_back(host, timeoutMs);
            const Reply reply = script(std::string(host), callsByHost[std::string(host)]++);
            if (reply.held) {
                ++held;
                changed.notify_all();
                changed.wait(lock, [&] { return open; });
            }
            return reply.ms;
        }
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// Wraps a thread starter to know when every worker it started has ended.
class WorkerTracker {
  public:
    ThreadStarter Starter(ThreadStarter inner = StartDetachedThread) const {
        return [state = m_state, inner](std::function<void()> body) {
            {
                const std::lock_guard lock(state->mutex);
                ++state->running;
            }
            const bool started = inner([state, body = std::move(body)] {
                body();
                const std::lock_guard lock(state->mutex);
                --state->running;
                state->changed.notify_all();
            });
            if (!started) {
                const std::lock_guard lock(state->mutex);
                --state->running;
            }
            return started;
        };
    }
    bool WaitAllEnded() {
        std::unique_lock lock(m_state->mutex);
        return m_state->changed.wait_for(lock, kPatience, [&] { return m_state->running == 0; });
    }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        int running = 0;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

}  // namespace tarvelin::fakes
