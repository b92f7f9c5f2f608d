// The one ICMP socket a process shares for all its echo probes. The calling threads take turns at waiting
// on it: one reads and hands every reply to the call waiting for it, the others sleep until answered or
// called to read next (any caller also takes what is already queued). No thread of its own, so nothing waits for it at exit. Open it once; Probe is safe
// from any number of threads at once. Never destroy an EchoSocket that calls may still be using.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

struct sockaddr_in;

namespace tarvelin {

struct EchoEvent;

class EchoSocket {
public:
    // Datagram: the unprivileged ICMP socket (net.ipv4.ping_group_range); Raw: needs CAP_NET_RAW.
    enum class Kind { Datagram, Raw };

    struct OpenResult {
        std::unique_ptr<EchoSocket> socket;  // empty when no ICMP socket could be made
        int datagramError = 0;               // errno of the failed attempts, for the user's explanation
        int rawError = 0;
    };

    // Prefers the datagram socket and falls back to a raw one.
    static OpenResult Open();

    EchoSocket(const EchoSocket&) = delete;
    EchoSocket& operator=(const EchoSocket&) = delete;
    ~EchoSocket();

    // Round-trip time in whole ms of one echo request to address (IPv4, host order), or -1 when no echo
    // reply from that address came within timeoutMs (> 0), an ICMP error answered it, or sending failed.
    int Probe(std::uint32_t address, int timeoutMs);

    Kind SocketKind() const { return m_kind; }
    std::uint16_t Identifier() const { return m_identifier; }

private:
    struct Waiter;
    struct ReceiveBuffers;

    EchoSocket(int fd, Kind kind, std::uint16_t identifier);
    std::optional<std::uint16_t> Register(Waiter& waiter);
    // Monotonic send time, or nothing when the request could not be sent.
    std::optional<std::int64_t> Send(std::span<const std::uint8_t> request, const sockaddr_in& target);
    void Unregister(std::uint16_t sequence, const Waiter& waiter);
    bool AwaitAnswer(Waiter& waiter, std::uint16_t sequence);
    void ReadUntilAnswered(Waiter& waiter);
    void ReceiveBatch();
    void DrainErrorQueue();
    void Dispatch(const EchoEvent& event, std::int64_t arrivalNs);
    void CallNextReader();
    void Link(Waiter& waiter);
    void Unlink(Waiter& waiter);

    const int m_fd;
    const Kind m_kind;
    const std::uint16_t m_identifier;

    std::mutex m_sendMutex;  // held across each send; see Send
    std::mutex m_mutex;
    // Indexed by sequence number: the call waiting for that reply, or null. GUARDED_BY(m_mutex)
    std::vector<Waiter*> m_waiters;
    std::uint16_t m_nextSequence = 0;  // GUARDED_BY(m_mutex)
    bool m_reading = false;            // a call is reading the socket; GUARDED_BY(m_mutex)
    Waiter* m_sleepers = nullptr;      // calls asleep while another reads, oldest first; GUARDED_BY(m_mutex)
    Waiter* m_lastSleeper = nullptr;   // GUARDED_BY(m_mutex)
};

}  // namespace tarvelin
