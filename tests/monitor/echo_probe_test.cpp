// Real probes against the hosts of tools/testhosts.sh, from inside its namespaces, so nothing leaves the
// machine. Making namespaces needs root; without it these tests skip. Some checks need a process whose
// probe has not been set up yet, or that runs as another user: the test binary runs itself again for those.
#include "monitor/echo_probe.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netdb.h>
#include <sched.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "monitor/echo_probe_testing.h"

extern char** environ;

namespace tarvelin {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kChildVariable = "TARVELIN_ECHO_CHILD";
constexpr const char* kEcho = "198.18.0.10";
constexpr const char* kDelayed = "198.18.0.20";
constexpr const char* kGarbage = "198.18.0.21";
constexpr const char* kUnreachable = "198.18.0.22";
constexpr const char* kSilent = "198.18.0.23";

std::string g_tag;          // namespaces made by this process, or empty
std::string g_skipReason;   // why the real-host tests cannot run here

std::string Script() { return std::string(TARVELIN_SOURCE_DIR) + "/tools/testhosts.sh"; }

bool EnterNamespace(const std::string& name) {
    const int fd = open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool entered = setns(fd, CLONE_NEWNET) == 0;
    close(fd);
    return entered;
}

// A child runs as "NAMESPACE USER": enter the namespace, then drop to USER when it is not root.
bool BecomeChild(const std::string& assignment) {
    const auto space = assignment.find(' ');
    if (!EnterNamespace(assignment.substr(0, space))) return false;
    const auto user = static_cast<uid_t>(std::stoul(assignment.substr(space + 1)));
    if (user == 0) return true;
    if (setgroups(0, nullptr) != 0 || setgid(user) != 0 || setuid(user) != 0) return false;
    prctl(PR_SET_DUMPABLE, 1);  // setuid cleared it; the leak checker must still be able to attach
    return true;
}

class TestHosts : public ::testing::Environment {
public:
    void SetUp() override {
        if (const char* assignment = std::getenv(kChildVariable)) {
            if (!BecomeChild(assignment)) g_skipReason = "the child could not enter its namespace or user";
            return;
        }
        if (geteuid() != 0) {
            g_skipReason = "making test hosts in network namespaces needs root (CI runs as root)";
            return;
        }
        const std::string tag = "tvp" + std::to_string(getpid());
        const std::string up =
            "TARVELIN_RESPONDER=" TARVELIN_BINARY_DIR "/tools/echo_responder " + Script() + " up " + tag;
        if (std::system(up.c_str()) != 0) {
            g_skipReason = "tools/testhosts.sh up failed (is tools/echo_responder built?)";
            return;
        }
        g_tag = tag;
        // Every probe of this process, and of the children it starts, goes out from the client namespace.
        if (!EnterNamespace(g_tag + "-client")) g_skipReason = "could not enter the client namespace";
    }

    void TearDown() override {
        if (!g_tag.empty()) std::system((Script() + " down " + g_tag).c_str());
    }
};

const auto* const g_testHosts = ::testing::AddGlobalTestEnvironment(new TestHosts);

#define SKIP_WITHOUT_TEST_HOSTS() \
    if (!g_skipReason.empty()) GTEST_SKIP() << g_skipReason

struct Expectation {
    std::string host;
    std::optional<int> timeoutMs;
    int lowest;  // result range, -1 for a failure
    int highest;
    int maxElapsedMs;
};

void ExpectResults(const std::vector<Expectation>& cases) {
    for (const auto& c : cases) {
        const auto start = Clock::now();
        const int result = PingHost(c.host, c.timeoutMs);
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        EXPECT_GE(result, c.lowest) << c.host;
        EXPECT_LE(result, c.highest) << c.host;
        EXPECT_LE(elapsed, c.maxElapsedMs) << c.host;
        if (c.host == kSilent) {
            EXPECT_GE(elapsed, c.timeoutMs.value_or(10000)) << c.host;
        }
    }
}

// What every kind of socket must show against the test hosts.
const std::vector<Expectation> kHostCases = {
    {"127.0.0.1", 1000, 0, 0, 1000},
    {"127.1", 1000, 0, 0, 1000},  // a short dotted form inet_aton accepts
    {"localhost", 1000, 0, 0, 1000},
    {kEcho, 1000, 0, 0, 1000},
    {kDelayed, 1000, 40, 41, 1000},
    {kDelayed, std::nullopt, 40, 41, 1000},
    {kGarbage, 1000, 40, 41, 1000},     // the junk sent first must not end the call early
    {kUnreachable, 3000, -1, -1, 500},  // an ICMP error is no round-trip time, and ends the wait
    {kSilent, 300, -1, -1, 800},
    {kDelayed, 20, -1, -1, 500},        // the reply comes after the timeout
    {"nonexistent.invalid", 3000, -1, -1, 500},
    {"", 3000, -1, -1, 500},
    {std::string("127.0.0.1\0.evil", 15), 1000, -1, -1, 500},
    {kEcho, 0, -1, -1, 100},
    {kEcho, -5, -1, -1, 100},
};

struct Call {
    std::string host;
    int timeoutMs = 1000;
};

// Makes every call at the same moment, each from its own thread, and gives each result.
std::vector<int> ProbeTogether(const std::vector<Call>& calls) {
    std::vector<int> results(calls.size(), -2);
    std::latch start(1);  // threads sleep until all exist: spinning would starve the responder
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        threads.emplace_back([&, i] {
            start.wait();
            results[i] = PingHost(calls[i].host, calls[i].timeoutMs);
        });
    }
    start.count_down();
    for (auto& thread : threads) thread.join();
    return results;
}

// Replies of the 40 ms responder to calls made together. A caller preempted between reading the clock and
// its send on a busy two-core machine is timed a few ms long, so a few such stragglers are allowed; a
// reply matched to the wrong call, or garbage taken for a reply, would show as 0 or -1 instead.
void ExpectDelayedReplies(const std::vector<int>& results) {
    std::size_t exact = 0;
    for (int result : results) {
        EXPECT_GE(result, 40);
        EXPECT_LE(result, 50);
        exact += result == 40 || result == 41;
    }
    EXPECT_GE(exact * 10, results.size() * 9) << exact << " of " << results.size() << " gave 40 or 41";
}

struct ChildOutcome {
    int status = -1;
    long long elapsedMs = 0;
};

// Runs this test binary again with only the tests matching filter, as assignment ("NAMESPACE USER") says.
ChildOutcome RunChild(const std::string& filter, const std::string& assignment) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry; ++entry) variables.emplace_back(*entry);
    variables.push_back(std::string(kChildVariable) + "=" + assignment);
    std::vector<char*> envp;
    for (auto& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe";
    std::string filterArgument = "--gtest_filter=" + filter;
    char* argv[] = {self.data(), filterArgument.data(), nullptr};
    const auto start = Clock::now();
    pid_t pid = -1;
    ChildOutcome outcome;
    if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return outcome;
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

bool InChild() { return std::getenv(kChildVariable) != nullptr; }

TEST(PingHost, TestHosts_GiveTheirRoundTripTimesOrMinusOne) {
    SKIP_WITHOUT_TEST_HOSTS();
    ExpectResults(kHostCases);
}

TEST(PingHost, NoTimeoutGiven_WaitsTenSecondsForASilentHost) {
    SKIP_WITHOUT_TEST_HOSTS();
    if (InChild()) GTEST_SKIP() << "the parent covers this";
    ExpectResults({{kSilent, std::nullopt, -1, -1, 11000}});
}

TEST(PingHost, HundredsOfConcurrentCalls_EachGetsItsOwnAnswer) {
    SKIP_WITHOUT_TEST_HOSTS();
    // The short silent calls give up while the others still wait, so the reading passes between callers.
    const Call kinds[] = {{kDelayed, 1000}, {kGarbage, 1000}, {kSilent, 1000}, {kSilent, 20}};
    std::vector<Call> calls;
    for (int i = 0; i < 300; ++i) calls.push_back(kinds[i % 4]);
    const auto results = ProbeTogether(calls);
    std::vector<int> delayed;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].host == kSilent) {
            EXPECT_EQ(results[i], -1) << i;
        } else {
            delayed.push_back(results[i]);
        }
    }
    ExpectDelayedReplies(delayed);
}

// Run only in a child process: it must make the very first probe calls of its process.
TEST(EchoChild, FirstCallsTogether_SetUpOnceThenProbe) {
    if (!InChild()) GTEST_SKIP() << "runs only in a child started by the tests below";
    ASSERT_TRUE(g_skipReason.empty()) << g_skipReason;
    const auto results = ProbeTogether(std::vector<Call>(8, {"127.0.0.1"}));
    const bool usable = ActiveEchoSocketKind() != EchoSocketKind::None;
    // Once for all when it works; a failed set-up is tried again by every later call, one at a time.
    EXPECT_EQ(EchoSetUpCount(), usable ? 1 : 8);
    for (int result : results) EXPECT_EQ(result, usable ? 0 : -1);
    if (!usable) {
        const auto reason = EchoUnavailableReason();
        ASSERT_TRUE(reason.has_value());
        EXPECT_NE(reason->find("ping_group_range"), std::string::npos) << *reason;
        EXPECT_NE(reason->find("cap_net_raw"), std::string::npos) << *reason;
        EXPECT_EQ(EchoSetUpCount(), 9);
        return;
    }
    EXPECT_FALSE(EchoUnavailableReason().has_value());
    const char* expected = std::getenv("TARVELIN_ECHO_KIND");
    EXPECT_EQ(ActiveEchoSocketKind() == EchoSocketKind::Raw ? "raw" : "datagram", std::string(expected ? expected : ""));
    ExpectResults(kHostCases);
    ExpectDelayedReplies(ProbeTogether(std::vector<Call>(100, {kDelayed})));
}

// Points /etc/hosts, for this thread and those it starts only, at a file of our own.
bool UseOwnHostsFile(const std::string& path) {
    return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount(path.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0;
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

TEST(EchoChild, NameOfSeveralAddresses_FirstIsProbedAndLookedUpAfresh) {
    if (!InChild()) GTEST_SKIP() << "runs only in a child started by the tests below";
    const std::string hosts = testing::TempDir() + "tarvelin_hosts_" + std::to_string(getpid());
    WriteFile(hosts, std::string("127.0.0.1 localhost\n") + kDelayed + " several.tarvelin.test\n" + kEcho +
                         " several.tarvelin.test\n");
    ASSERT_TRUE(UseOwnHostsFile(hosts)) << std::strerror(errno);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* answer = nullptr;
    ASSERT_EQ(getaddrinfo("several.tarvelin.test", nullptr, &hints, &answer), 0);
    char first[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(answer->ai_addr)->sin_addr, first, sizeof first);
    freeaddrinfo(answer);
    // Whichever address the resolver puts first is the one probed: 40 ms for one, 0 for the other.
    const int result = PingHost("several.tarvelin.test", 1000);
    if (std::string(first) == kDelayed) {
        EXPECT_TRUE(result == 40 || result == 41) << result;
    } else {
        EXPECT_EQ(result, 0);
    }
    // A changed answer shows at the very next call: nothing is cached.
    WriteFile(hosts, std::string("127.0.0.1 localhost\n") + kDelayed + " several.tarvelin.test\n");
    const int delayed = PingHost("several.tarvelin.test", 1000);
    EXPECT_TRUE(delayed == 40 || delayed == 41) << delayed;
    WriteFile(hosts, std::string("127.0.0.1 localhost\n") + kEcho + " several.tarvelin.test\n");
    EXPECT_EQ(PingHost("several.tarvelin.test", 1000), 0);
    WriteFile(hosts, "127.0.0.1 localhost\n");
    EXPECT_EQ(PingHost("several.tarvelin.test", 1000), -1);
    std::remove(hosts.c_str());
}

TEST(EchoChild, ProbesInFlight_ExitDoesNotWaitForThem) {
    if (!InChild()) GTEST_SKIP() << "runs only in a child started by the tests below";
    for (int i = 0; i < 50; ++i) std::thread([] { PingHost(kSilent, 10000); }).detach();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

TEST(PingHost, EachSocketKindAndUser_BehaveAlike) {
    SKIP_WITHOUT_TEST_HOSTS();
    if (InChild()) GTEST_SKIP() << "already a child";
    struct Case {
        std::string namespaceSuffix;
        std::string user;
        std::string kind;  // the socket the child must end up with, or "none"
    };
    const Case cases[] = {
        {"-client", "0", "raw"},              // ping_group_range closed: root falls back to a raw socket
        {"-uclient", "0", "datagram"},        // open: even root takes the unprivileged socket
        {"-uclient", "65534", "datagram"},    // an ordinary user
        {"-client", "65534", "none"},         // neither allowed: every call fails and says why
    };
    for (const auto& c : cases) {
        setenv("TARVELIN_ECHO_KIND", c.kind.c_str(), 1);
        const auto outcome = RunChild("EchoChild.FirstCalls*", g_tag + c.namespaceSuffix + " " + c.user);
        EXPECT_EQ(outcome.status, 0) << c.namespaceSuffix << " as " << c.user;
    }
    unsetenv("TARVELIN_ECHO_KIND");
}

TEST(PingHost, HostName_ResolvedAfreshAndFirstAddressProbed) {
    SKIP_WITHOUT_TEST_HOSTS();
    if (InChild()) GTEST_SKIP() << "already a child";
    // In a child: it gives itself a private /etc/hosts, which nobody else on the machine may see.
    EXPECT_EQ(RunChild("EchoChild.NameOfSeveral*", g_tag + "-client 0").status, 0);
}

TEST(PingHost, ExitWithProbesInFlight_IsPromptAndClean) {
    SKIP_WITHOUT_TEST_HOSTS();
    if (InChild()) GTEST_SKIP() << "already a child";
    for (const char* kind : {"-client", "-uclient"}) {
        const auto outcome = RunChild("EchoChild.ProbesInFlight*", g_tag + kind + " 0");
        EXPECT_EQ(outcome.status, 0) << kind;
        EXPECT_LT(outcome.elapsedMs, 5000) << kind << ": exit waited for the probes' 10 s timeout";
    }
}

}  // namespace
}  // namespace tarvelin
