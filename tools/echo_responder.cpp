// Answers ICMP echo requests in place of the kernel (run it where net.ipv4.icmp_echo_ignore_all=1), so
// that tests get hosts with a known delay and hosts that misbehave on purpose. Linux, needs CAP_NET_RAW.
//   echo_responder ADDRESS=MODE ...   MODE: delay:MS | garbage:MS | unreachable
// delay:MS      the echo reply MS milliseconds after the request arrived;
// garbage:MS    at once a burst of replies that must not count (truncated, bad checksum, foreign identifier,
//               wrong sequence, wrong sender, wrong type or code, errors quoting other requests), then
//               after MS the right reply and a duplicate of it;
// unreachable   at once an ICMP host-unreachable error quoting the request.
// Requests to any other address are ignored. Prints "ready" once it listens; runs until killed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <queue>
#include <span>
#include <string>
#include <vector>

#include "monitor/echo_clock_linux.h"
#include "monitor/icmp_packet.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

enum class Mode { Delay, Garbage, Unreachable };

struct Behaviour {
    Mode mode = Mode::Delay;
    std::int64_t delayNs = 0;
};

struct Pending {
    std::int64_t dueNs = 0;
    Bytes datagram;
    bool operator>(const Pending& other) const { return dueNs > other.dueNs; }
};

void FillChecksum(Bytes& icmp) {
    tarvelin::Write16(icmp, 2, 0);
    tarvelin::Write16(icmp, 2, tarvelin::IcmpChecksum(icmp));
}

// An IPv4 datagram around icmp; the kernel fills in the header checksum and identification.
Bytes Datagram(std::uint32_t source, std::uint32_t destination, const Bytes& icmp) {
    Bytes datagram(tarvelin::kIpv4MinHeaderSize, 0);
    datagram[0] = 0x45;
    tarvelin::Write16(datagram, 2, static_cast<std::uint16_t>(datagram.size() + icmp.size()));
    datagram[8] = 64;
    datagram[9] = IPPROTO_ICMP;
    tarvelin::Write32(datagram, 12, source);
    tarvelin::Write32(datagram, 16, destination);
    datagram.insert(datagram.end(), icmp.begin(), icmp.end());
    return datagram;
}

Bytes EchoReply(std::span<const std::uint8_t> request) {
    Bytes icmp(request.begin(), request.end());
    icmp[0] = tarvelin::kIcmpEchoReply;
    icmp[1] = 0;
    FillChecksum(icmp);
    return icmp;
}

Bytes ErrorQuoting(std::span<const std::uint8_t> quotedDatagram) {
    Bytes icmp{tarvelin::kIcmpDestinationUnreachable, 1, 0, 0, 0, 0, 0, 0};
    const std::size_t quoted = std::min<std::size_t>(quotedDatagram.size(), tarvelin::kIpv4MinHeaderSize + 8);
    icmp.insert(icmp.end(), quotedDatagram.begin(), quotedDatagram.begin() + static_cast<std::ptrdiff_t>(quoted));
    FillChecksum(icmp);
    return icmp;
}

// Replies that a correct prober ignores, all for the request in ip (header) and icmp.
std::vector<Bytes> Garbage(std::span<const std::uint8_t> ip, std::span<const std::uint8_t> icmp) {
    const std::uint32_t client = tarvelin::Read32(ip, 12);
    const std::uint32_t target = tarvelin::Read32(ip, 16);
    const Bytes reply = EchoReply(icmp);
    std::vector<Bytes> out;
    out.push_back(Datagram(target, client, Bytes(reply.begin(), reply.begin() + 4)));  // truncated
    Bytes badSum = reply;
    badSum[3] ^= 0x5A;
    out.push_back(Datagram(target, client, badSum));
    Bytes foreignId = reply;
    foreignId[4] ^= 0x55;
    FillChecksum(foreignId);
    out.push_back(Datagram(target, client, foreignId));
    Bytes otherSequence = reply;
    otherSequence[6] ^= 0x80;
    FillChecksum(otherSequence);
    out.push_back(Datagram(target, client, otherSequence));
    out.push_back(Datagram(target + 1, client, reply));  // a different sender
    Bytes request(icmp.begin(), icmp.end());
    out.push_back(Datagram(target, client, request));
    Bytes oddCode = reply;
    oddCode[1] = 1;
    FillChecksum(oddCode);
    out.push_back(Datagram(target, client, oddCode));
    Bytes quotedForeign(ip.begin(), ip.end());
    quotedForeign.insert(quotedForeign.end(), foreignId.begin(), foreignId.end());
    quotedForeign[20] = tarvelin::kIcmpEchoRequest;
    out.push_back(Datagram(target, client, ErrorQuoting(quotedForeign)));
    Bytes quotedElsewhere(ip.begin(), ip.end());
    quotedElsewhere.insert(quotedElsewhere.end(), icmp.begin(), icmp.end());
    tarvelin::Write32(quotedElsewhere, 16, target + 1);
    out.push_back(Datagram(target, client, ErrorQuoting(quotedElsewhere)));
    return out;
}

std::optional<std::pair<std::uint32_t, Behaviour>> ParseRule(const std::string& rule) {
    const auto equals = rule.find('=');
    if (equals == std::string::npos) return std::nullopt;
    in_addr address{};
    if (inet_pton(AF_INET, rule.substr(0, equals).c_str(), &address) != 1) return std::nullopt;
    const std::string mode = rule.substr(equals + 1);
    Behaviour behaviour;
    if (mode == "unreachable") {
        behaviour.mode = Mode::Unreachable;
    } else if (mode.rfind("delay:", 0) == 0) {
        behaviour.delayNs = std::stoll(mode.substr(6)) * 1'000'000;
    } else if (mode.rfind("garbage:", 0) == 0) {
        behaviour.mode = Mode::Garbage;
        behaviour.delayNs = std::stoll(mode.substr(8)) * 1'000'000;
    } else {
        return std::nullopt;
    }
    return std::pair{ntohl(address.s_addr), behaviour};
}

class Responder {
public:
    Responder(int listener, int sender, std::map<std::uint32_t, Behaviour> rules)
        : m_listener(listener), m_sender(sender), m_rules(std::move(rules)) {}

    void Run() {
        for (;;) {
            SendDue();
            timespec wait{1, 0};
            if (!m_queue.empty()) {
                const std::int64_t left =
                    std::max<std::int64_t>(0, m_queue.top().dueNs - tarvelin::NowNs(CLOCK_MONOTONIC));
                wait = {static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
            }
            pollfd watch{m_listener, POLLIN, 0};
            if (ppoll(&watch, 1, &wait, nullptr) > 0) ReadRequests();
        }
    }

private:
    void SendDue() {
        while (!m_queue.empty() && m_queue.top().dueNs <= tarvelin::NowNs(CLOCK_MONOTONIC)) {
            Send(m_queue.top().datagram);
            m_queue.pop();
        }
    }

    void Send(const Bytes& datagram) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        std::memcpy(&to.sin_addr, &datagram[16], 4);
        sendto(m_sender, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }

    void ReadRequests() {
        for (;;) {
            std::array<std::uint8_t, 1500> buffer{};
            std::array<char, 256> control{};
            iovec vector{buffer.data(), buffer.size()};
            msghdr header{};
            header.msg_iov = &vector;
            header.msg_iovlen = 1;
            header.msg_control = control.data();
            header.msg_controllen = control.size();
            const ssize_t length = recvmsg(m_listener, &header, MSG_DONTWAIT);
            // Delays count from the kernel's arrival stamp, so a busy responder does not stretch them.
            if (length <= 0) return;
            Handle(std::span<const std::uint8_t>(buffer.data(), static_cast<std::size_t>(length)),
                   tarvelin::ArrivalMonotonicNs(header, tarvelin::ReadClockPair()));
        }
    }

    void Handle(std::span<const std::uint8_t> datagram, std::int64_t arrivalNs) {
        if (datagram.size() < tarvelin::kIpv4MinHeaderSize) return;
        const std::size_t headerSize = std::size_t{datagram[0] & 0x0Fu} * 4;
        if (headerSize < tarvelin::kIpv4MinHeaderSize || datagram.size() < headerSize + tarvelin::kIcmpHeaderSize) {
            return;
        }
        const auto icmp = datagram.subspan(headerSize);
        if (icmp[0] != tarvelin::kIcmpEchoRequest || tarvelin::IcmpChecksum(icmp) != 0) return;
        const std::uint32_t client = tarvelin::Read32(datagram, 12);
        const std::uint32_t target = tarvelin::Read32(datagram, 16);
        const auto rule = m_rules.find(target);
        if (rule == m_rules.end()) return;
        const Behaviour& behaviour = rule->second;
        const Bytes reply = Datagram(target, client, EchoReply(icmp));
        if (behaviour.mode == Mode::Unreachable) {
            Bytes quoted(datagram.begin(), datagram.end());
            Send(Datagram(target, client, ErrorQuoting(quoted)));
            return;
        }
        if (behaviour.mode == Mode::Garbage) {
            for (const Bytes& junk : Garbage(datagram.first(headerSize), icmp)) Send(junk);
            m_queue.push({arrivalNs + behaviour.delayNs, reply});  // the duplicate, right behind the reply
        }
        m_queue.push({arrivalNs + behaviour.delayNs, reply});
    }

    int m_listener;
    int m_sender;
    std::map<std::uint32_t, Behaviour> m_rules;
    std::priority_queue<Pending, std::vector<Pending>, std::greater<>> m_queue;
};

}  // namespace

int main(int argc, char** argv) {
    std::map<std::uint32_t, Behaviour> rules;
    for (int i = 1; i < argc; ++i) {
        const auto rule = ParseRule(argv[i]);
        if (!rule) {
            std::fprintf(stderr, "usage: %s ADDRESS=delay:MS|garbage:MS|unreachable ...\n", argv[0]);
            return 2;
        }
        rules.insert(*rule);
    }
    const int listener = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    const int sender = socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_RAW);
    if (listener < 0 || sender < 0) {
        std::perror("echo_responder: raw socket");
        return 1;
    }
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    // Replies must leave on time even while the machine is busy compiling: wake at the due time, not up to
    // 50 us after it, and ahead of ordinary processes (best effort; without the privilege it still works).
    prctl(PR_SET_TIMERSLACK, 1UL);
    const sched_param priority{sched_get_priority_min(SCHED_FIFO) + 10};
    sched_setscheduler(0, SCHED_FIFO, &priority);
    std::printf("ready\n");
    std::fflush(stdout);
    Responder(listener, sender, std::move(rules)).Run();
}
