// Clock reading for round-trip times: probes are timed with CLOCK_MONOTONIC, while the kernel stamps a
// received packet with CLOCK_REALTIME. Header-only so that the test responder times its replies alike.
// Safe from any thread.
#pragma once

#include <sys/socket.h>
#include <time.h>

#include <cstdint>
#include <cstring>

namespace tarvelin {

inline std::int64_t NowNs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Both clocks at (nearly) one instant: a pair whose realtime reads straddle a long pause is read again,
// since that pause would shift every time converted through the pair.
struct ClockPair {
    std::int64_t monotonicNs = 0;
    std::int64_t realtimeNs = 0;
};

inline ClockPair ReadClockPair() {
    constexpr std::int64_t kTightNs = 20'000;
    ClockPair pair;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::int64_t before = NowNs(CLOCK_REALTIME);
        pair.monotonicNs = NowNs(CLOCK_MONOTONIC);
        const std::int64_t after = NowNs(CLOCK_REALTIME);
        pair.realtimeNs = before + (after - before) / 2;
        if (after - before <= kTightNs) break;
    }
    return pair;
}

// When a received message arrived, on the monotonic clock, from its SO_TIMESTAMPNS stamp. Only the age of
// the packet (microseconds, both ends realtime) crosses between the clocks, so a wall-clock jump at any
// other moment cannot skew a round-trip time. Without a usable stamp: the moment of the pair.
inline std::int64_t ArrivalMonotonicNs(msghdr& message, const ClockPair& now) {
    constexpr std::int64_t kMaxAgeNs = 1'000'000'000;
    for (cmsghdr* c = CMSG_FIRSTHDR(&message); c; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level != SOL_SOCKET || c->cmsg_type != SCM_TIMESTAMPNS) continue;
        if (c->cmsg_len < CMSG_LEN(sizeof(timespec))) continue;
        timespec stamp{};
        std::memcpy(&stamp, CMSG_DATA(c), sizeof stamp);
        const std::int64_t age = now.realtimeNs - (std::int64_t{stamp.tv_sec} * 1'000'000'000 + stamp.tv_nsec);
        if (age >= 0 && age <= kMaxAgeNs) return now.monotonicNs - age;
    }
    return now.monotonicNs;
}

}  // namespace tarvelin
