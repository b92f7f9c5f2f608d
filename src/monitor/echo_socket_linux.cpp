#include "monitor/echo_socket_linux.h"

#include <arpa/inet.h>
#include <linux/errqueue.h>
#include <linux/filter.h>
#include <linux/icmp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <exception>
#include <random>
#include <span>

#include "monitor/echo_clock_linux.h"
#include "monitor/icmp_packet.h"

namespace tarvelin {

namespace {

constexpr std::size_t kSequenceCount = 65536;
constexpr int kReceiveBufferBytes = 4 << 20;  // a thousand replies landing at once must not be dropped
constexpr unsigned kBatch = 8;
constexpr std::int64_t kNsPerMs = 1'000'000;

void SetReceiveBuffer(int fd) {
    // SO_RCVBUFFORCE passes net.core.rmem_max when we may; otherwise take what the limit allows.
    if (setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &kReceiveBufferBytes, sizeof kReceiveBufferBytes) != 0) {
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &kReceiveBufferBytes, sizeof kReceiveBufferBytes);
    }
}

// A raw ICMP socket sees every ICMP packet the host receives; let the kernel drop all but echo replies
// carrying our identifier and the errors that may quote one of our requests.
void FilterRawSocket(int fd, std::uint16_t identifier) {
    icmp_filter types{~(1u << ICMP_ECHOREPLY | 1u << ICMP_DEST_UNREACH | 1u << ICMP_TIME_EXCEEDED |
                        1u << ICMP_PARAMETERPROB)};
    setsockopt(fd, SOL_RAW, ICMP_FILTER, &types, sizeof types);
    sock_filter code[] = {
        {BPF_LDX | BPF_B | BPF_MSH, 0, 0, 0},           // X = IP header length
        {BPF_LD | BPF_B | BPF_IND, 0, 0, 0},            // A = ICMP type
        {BPF_JMP | BPF_JEQ | BPF_K, 0, 3, ICMP_ECHOREPLY},
        {BPF_LD | BPF_H | BPF_IND, 0, 0, 4},            // A = echo identifier
        {BPF_JMP | BPF_JEQ | BPF_K, 1, 0, identifier},
        {BPF_RET | BPF_K, 0, 0, 0},
        {BPF_RET | BPF_K, 0, 0, 0xFFFF},
    };
    sock_fprog program{static_cast<unsigned short>(std::size(code)), code};
    setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &program, sizeof program);
}

std::optional<std::uint16_t> BoundIdentifier(int fd) {
    // The kernel owns the echo identifier of a datagram socket; bind picks a free one, read it back.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return std::nullopt;
    socklen_t length = sizeof local;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0) return std::nullopt;
    return ntohs(local.sin_port);
}

// Raw sockets of other programs see our replies too; a random identifier keeps ours apart from theirs.
std::uint16_t RandomIdentifier() {
    try {
        std::random_device device;
        return static_cast<std::uint16_t>(device());
    } catch (const std::exception&) {
        return static_cast<std::uint16_t>(getpid());
    }
}

}  // namespace

// One call in progress, on its caller's stack.
struct EchoSocket::Waiter {
    std::uint32_t address = 0;
    std::chrono::steady_clock::time_point deadline;
    std::condition_variable wakeup;
    bool answered = false;        // GUARDED_BY(m_mutex)
    bool replied = false;         // an echo reply, not an ICMP error; GUARDED_BY(m_mutex)
    std::int64_t arrivalNs = 0;   // monotonic; GUARDED_BY(m_mutex)
    bool calledToRead = false;    // GUARDED_BY(m_mutex)
    Waiter* next = nullptr;       // in the sleepers' list; GUARDED_BY(m_mutex)
    Waiter* previous = nullptr;   // GUARDED_BY(m_mutex)
};

// Small enough for any caller's stack: every caller may read.
struct EchoSocket::ReceiveBuffers {
    // Our replies carry no payload and errors quote little; anything longer is not ours.
    static constexpr std::size_t kPacketBytes = 576;
    std::array<std::array<std::uint8_t, kPacketBytes>, kBatch> packets;
    std::array<std::array<char, CMSG_SPACE(sizeof(timespec)) + 64>, kBatch> controls;
    std::array<mmsghdr, kBatch> messages;
    std::array<iovec, kBatch> vectors;
    std::array<sockaddr_in, kBatch> senders;
};

EchoSocket::EchoSocket(int fd, Kind kind, std::uint16_t identifier)
    : m_fd(fd),
      m_kind(kind),
      m_identifier(identifier),
      m_waiters(kSequenceCount, nullptr) {}

EchoSocket::~EchoSocket() { close(m_fd); }

EchoSocket::OpenResult EchoSocket::Open() {
    OpenResult result;
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    std::optional<std::uint16_t> identifier;
    Kind kind = Kind::Datagram;
    if (fd >= 0) {
        identifier = BoundIdentifier(fd);
        if (!identifier) {
            result.datagramError = errno;
            close(fd);
            fd = -1;
        }
    } else {
        result.datagramError = errno;
    }
    if (fd < 0) {
        fd = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        if (fd < 0) {
            result.rawError = errno;
            return result;
        }
        kind = Kind::Raw;
        identifier = RandomIdentifier();
        FilterRawSocket(fd, *identifier);
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    if (kind == Kind::Datagram) setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on);
    SetReceiveBuffer(fd);
    result.socket.reset(new EchoSocket(fd, kind, *identifier));
    return result;
}

// Reads whatever is queued, without blocking, and hands each packet to its call.
void EchoSocket::ReceiveBatch() {
    ReceiveBuffers b;
    for (unsigned i = 0; i < kBatch; ++i) {
        b.vectors[i] = {b.packets[i].data(), b.packets[i].size()};
        b.messages[i].msg_hdr = {};
        b.messages[i].msg_hdr.msg_name = &b.senders[i];
        b.messages[i].msg_hdr.msg_namelen = sizeof b.senders[i];
        b.messages[i].msg_hdr.msg_iov = &b.vectors[i];
        b.messages[i].msg_hdr.msg_iovlen = 1;
        b.messages[i].msg_hdr.msg_control = b.controls[i].data();
        b.messages[i].msg_hdr.msg_controllen = b.controls[i].size();
    }
    const int count = recvmmsg(m_fd, b.messages.data(), kBatch, MSG_DONTWAIT, nullptr);
    if (count < 0) {
        // A datagram socket reports a queued ICMP error as a failed receive.
        if (m_kind == Kind::Datagram && errno != EAGAIN && errno != EINTR) DrainErrorQueue();
        return;
    }
    const ClockPair now = ReadClockPair();
    for (int i = 0; i < count; ++i) {
        msghdr& header = b.messages[i].msg_hdr;
        if (header.msg_flags & MSG_TRUNC) continue;
        const std::span<const std::uint8_t> bytes(b.packets[i].data(), b.messages[i].msg_len);
        const auto event = m_kind == Kind::Raw ? ParseIpv4Datagram(bytes)
                                               : ParseIcmpMessage(bytes, ntohl(b.senders[i].sin_addr.s_addr));
        if (event) Dispatch(*event, ArrivalMonotonicNs(header, now));
    }
}

void EchoSocket::DrainErrorQueue() {
    for (;;) {
        std::array<std::uint8_t, 64> quoted{};
        std::array<char, 512> control{};
        sockaddr_in destination{};
        iovec vector{quoted.data(), quoted.size()};
        msghdr header{};
        header.msg_name = &destination;
        header.msg_namelen = sizeof destination;
        header.msg_iov = &vector;
        header.msg_iovlen = 1;
        header.msg_control = control.data();
        header.msg_controllen = control.size();
        const ssize_t length = recvmsg(m_fd, &header, MSG_ERRQUEUE | MSG_DONTWAIT);
        if (length < 0) {
            if (errno == EINTR) continue;
            return;
        }
        bool fromIcmp = false;
        for (cmsghdr* c = CMSG_FIRSTHDR(&header); c; c = CMSG_NXTHDR(&header, c)) {
            if (c->cmsg_level != SOL_IP || c->cmsg_type != IP_RECVERR) continue;
            if (c->cmsg_len < CMSG_LEN(sizeof(sock_extended_err))) continue;
            sock_extended_err error{};
            std::memcpy(&error, CMSG_DATA(c), sizeof error);
            fromIcmp = error.ee_origin == SO_EE_ORIGIN_ICMP;
        }
        if (!fromIcmp) continue;
        const std::span<const std::uint8_t> bytes(quoted.data(), static_cast<std::size_t>(length));
        const auto event = ParseQuotedEchoRequest(bytes, ntohl(destination.sin_addr.s_addr));
        if (event) Dispatch(*event, NowNs(CLOCK_MONOTONIC));
    }
}

void EchoSocket::Dispatch(const EchoEvent& event, std::int64_t arrivalNs) {
    if (event.identifier != m_identifier) return;
    std::lock_guard lock(m_mutex);
    Waiter* waiter = m_waiters[event.sequence];
    // Anything but the probed address answering (a stray, a duplicate after the call ended) is ignored.
    if (!waiter || waiter->address != event.peer) return;
    m_waiters[event.sequence] = nullptr;
    waiter->answered = true;
    waiter->replied = event.kind == EchoEvent::Kind::Reply;
    waiter->arrivalNs = arrivalNs;
    // Under the lock: the waiter lives on its caller's stack and may leave as soon as the lock is free.
    waiter->wakeup.notify_one();
}

// REQUIRES: m_mutex held. Somebody must read while calls wait: wake the oldest sleeper to take over.
void EchoSocket::CallNextReader() {
    if (m_reading || !m_sleepers || m_sleepers->calledToRead) return;
    m_sleepers->calledToRead = true;
    m_sleepers->wakeup.notify_one();
}

// REQUIRES: m_mutex held.
void EchoSocket::Link(Waiter& waiter) {
    waiter.previous = m_lastSleeper;
    waiter.next = nullptr;
    (m_lastSleeper ? m_lastSleeper->next : m_sleepers) = &waiter;
    m_lastSleeper = &waiter;
}

// REQUIRES: m_mutex held.
void EchoSocket::Unlink(Waiter& waiter) {
    (waiter.previous ? waiter.previous->next : m_sleepers) = waiter.next;
    (waiter.next ? waiter.next->previous : m_lastSleeper) = waiter.previous;
    waiter.next = waiter.previous = nullptr;
}

std::optional<std::uint16_t> EchoSocket::Register(Waiter& waiter) {
    std::lock_guard lock(m_mutex);
    for (std::size_t tries = 0; tries < kSequenceCount; ++tries) {
        const std::uint16_t sequence = m_nextSequence++;
        if (m_waiters[sequence]) continue;
        m_waiters[sequence] = &waiter;
        return sequence;
    }
    return std::nullopt;
}

void EchoSocket::Unregister(std::uint16_t sequence, const Waiter& waiter) {
    std::lock_guard lock(m_mutex);
    if (m_waiters[sequence] == &waiter) m_waiters[sequence] = nullptr;
}

std::optional<std::int64_t> EchoSocket::Send(std::span<const std::uint8_t> request, const sockaddr_in& target) {
    // The kernel lets one sender at a time use a socket. Queueing here instead, with the clock read once
    // our turn has come, keeps the wait for the turn out of the round-trip time.
    std::lock_guard lock(m_sendMutex);
    const std::int64_t sentNs = NowNs(CLOCK_MONOTONIC);
    ssize_t sent = -1;
    do {
        sent = sendto(m_fd, request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&target),
                      sizeof target);
    } while (sent < 0 && errno == EINTR);
    if (sent != static_cast<ssize_t>(request.size())) return std::nullopt;
    return sentNs;
}

// The reader's turn: read until this call is answered or its time is up, serving every other call on the
// way. REQUIRES: m_reading set by this caller, m_mutex not held.
void EchoSocket::ReadUntilAnswered(Waiter& waiter) {
    for (;;) {
        {
            std::lock_guard lock(m_mutex);
            if (waiter.answered) return;
        }
        const auto left = waiter.deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) return;
        const auto leftNs = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec wait{static_cast<time_t>(leftNs / 1'000'000'000), static_cast<long>(leftNs % 1'000'000'000)};
        pollfd readable{m_fd, POLLIN, 0};
        const int ready = ppoll(&readable, 1, &wait, nullptr);
        if (ready < 0 && errno != EINTR) return;
        if (ready <= 0) continue;
        // An ICMP error for a datagram socket waits in its error queue, flagged by POLLERR.
        if ((readable.revents & POLLERR) && m_kind == Kind::Datagram) DrainErrorQueue();
        ReceiveBatch();
    }
}

// Sleeps or reads until the call is answered (true) or its deadline passes (false).
bool EchoSocket::AwaitAnswer(Waiter& waiter, std::uint16_t sequence) {
    // Over loopback or a fast link the reply is often queued by the time the send returns. Any caller may
    // take it, without waiting for its turn to read and without being woken for it later.
    ReceiveBatch();
    std::unique_lock lock(m_mutex);
    while (!waiter.answered && std::chrono::steady_clock::now() < waiter.deadline) {
        if (!m_reading) {
            m_reading = true;
            lock.unlock();
            ReadUntilAnswered(waiter);
            lock.lock();
            m_reading = false;
            continue;
        }
        Link(waiter);
        waiter.wakeup.wait_until(lock, waiter.deadline, [&] { return waiter.answered || waiter.calledToRead; });
        Unlink(waiter);
        waiter.calledToRead = false;
    }
    // Out of the table under the same lock, so no reply can reach this waiter once it has given up.
    if (m_waiters[sequence] == &waiter) m_waiters[sequence] = nullptr;
    // Never leave the socket unread while others wait.
    CallNextReader();
    return waiter.answered;
}

int EchoSocket::Probe(std::uint32_t address, int timeoutMs) {
    Waiter waiter;
    waiter.address = address;
    const auto sequence = Register(waiter);
    if (!sequence) return -1;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = htonl(address);
    waiter.deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const auto sent = Send(BuildEchoRequest(m_identifier, *sequence), target);
    if (!sent) {
        Unregister(*sequence, waiter);
        return -1;
    }
    const bool answered = AwaitAnswer(waiter, *sequence);
    std::lock_guard lock(m_mutex);
    if (!answered || !waiter.replied) return -1;
    const std::int64_t elapsedMs = std::max<std::int64_t>(0, waiter.arrivalNs - *sent) / kNsPerMs;
    return elapsedMs > timeoutMs ? -1 : static_cast<int>(elapsedMs);
}

}  // namespace tarvelin
