#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>

#include "monitor/echo_probe.h"
#include "monitor/echo_probe_testing.h"
#include "monitor/echo_socket_linux.h"

namespace tarvelin {

namespace {

constexpr int kDefaultTimeoutMs = 10000;

// The set-up state lives for the whole process. The socket is deliberately never freed: its receiver
// thread and any probes still in flight at exit keep using it, so destroying it would race with them.
std::mutex g_setUpMutex;
std::atomic<EchoSocket*> g_socket{nullptr};
std::atomic<int> g_setUpCount{0};
int g_lastDatagramError = 0;  // GUARDED_BY(g_setUpMutex)
int g_lastRawError = 0;       // GUARDED_BY(g_setUpMutex)

EchoSocket* SharedSocket() {
    if (EchoSocket* ready = g_socket.load(std::memory_order_acquire)) return ready;
    // Every other first caller waits here for the one set-up's outcome.
    std::lock_guard lock(g_setUpMutex);
    if (EchoSocket* ready = g_socket.load(std::memory_order_relaxed)) return ready;
    g_setUpCount.fetch_add(1, std::memory_order_relaxed);
    auto opened = EchoSocket::Open();
    g_lastDatagramError = opened.datagramError;
    g_lastRawError = opened.rawError;
    if (!opened.socket) return nullptr;
    EchoSocket* socket = opened.socket.release();
    g_socket.store(socket, std::memory_order_release);
    return socket;
}

std::optional<std::uint32_t> ResolveIpv4(std::string_view host) {
    // The C interfaces below would silently stop at an embedded NUL and probe some other host.
    if (host.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string text(host);
    in_addr dotted{};
    if (inet_aton(text.c_str(), &dotted) != 0) return ntohl(dotted.s_addr);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* answer = nullptr;
    if (getaddrinfo(text.c_str(), nullptr, &hints, &answer) != 0 || !answer) return std::nullopt;
    std::optional<std::uint32_t> first;
    if (answer->ai_family == AF_INET && answer->ai_addrlen >= sizeof(sockaddr_in)) {
        first = ntohl(reinterpret_cast<const sockaddr_in*>(answer->ai_addr)->sin_addr.s_addr);
    }
    freeaddrinfo(answer);
    return first;
}

}  // namespace

int PingHost(std::string_view host, std::optional<int> timeoutMs) {
    EchoSocket* socket = SharedSocket();
    if (!socket) return -1;
    const int timeout = timeoutMs.value_or(kDefaultTimeoutMs);
    // No time to wait means no reply can count, so nothing is sent at all.
    if (timeout <= 0) return -1;
    const auto address = ResolveIpv4(host);
    if (!address) return -1;
    return socket->Probe(*address, timeout);
}

std::optional<std::string> EchoUnavailableReason() {
    if (SharedSocket()) return std::nullopt;
    std::lock_guard lock(g_setUpMutex);
    const bool denied = (g_lastDatagramError == EACCES || g_lastDatagramError == EPERM) &&
                        (g_lastRawError == EACCES || g_lastRawError == EPERM);
    if (denied) {
        return "Latency cannot be measured: this user may not send ICMP echo requests. Add one of the user's "
               "groups to net.ipv4.ping_group_range (sysctl), or give the program the capability with "
               "\"setcap cap_net_raw+ep\".";
    }
    return "Latency cannot be measured: the system refused to open an ICMP socket (" +
           std::string(std::strerror(g_lastRawError ? g_lastRawError : g_lastDatagramError)) + ").";
}

int EchoSetUpCount() { return g_setUpCount.load(std::memory_order_relaxed); }

EchoSocketKind ActiveEchoSocketKind() {
    const EchoSocket* socket = g_socket.load(std::memory_order_acquire);
    if (!socket) return EchoSocketKind::None;
    return socket->SocketKind() == EchoSocket::Kind::Raw ? EchoSocketKind::Raw : EchoSocketKind::Datagram;
}

}  // namespace tarvelin
