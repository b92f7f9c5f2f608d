// Windows side of the echo probe: the system's ICMP echo service (icmp.dll, or iphlpapi.dll where icmp.dll
// is gone), which needs no privilege and matches replies to requests itself.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <ipexport.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <mutex>
#include <string>

#include "monitor/echo_probe.h"
#include "monitor/echo_probe_testing.h"

namespace tarvelin {

namespace {

constexpr int kDefaultTimeoutMs = 10000;

using IcmpCreateFileFunction = HANDLE(WINAPI*)();
using IcmpCloseHandleFunction = BOOL(WINAPI*)(HANDLE);
using IcmpSendEchoFunction = DWORD(WINAPI*)(HANDLE, IPAddr, LPVOID, WORD, PIP_OPTION_INFORMATION, LPVOID, DWORD,
                                            DWORD);

struct EchoService {
    IcmpCreateFileFunction create = nullptr;
    IcmpSendEchoFunction send = nullptr;
    IcmpCloseHandleFunction close = nullptr;
    bool complete = false;
};

// Set up once per process. Neither the library nor Winsock is released at exit: probes still in flight on
// other threads may be inside them, and the system frees both with the process anyway.
std::mutex g_setUpMutex;
std::atomic<bool> g_setUp{false};
std::atomic<int> g_setUpCount{0};
EchoService g_service;  // written once before g_setUp turns true, read-only after

template <typename Function>
Function Lookup(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

void LoadService() {
    HMODULE library = LoadLibraryA("icmp.dll");
    if (!library) library = LoadLibraryA("iphlpapi.dll");
    if (!library) return;
    g_service.create = Lookup<IcmpCreateFileFunction>(library, "IcmpCreateFile");
    g_service.send = Lookup<IcmpSendEchoFunction>(library, "IcmpSendEcho");
    g_service.close = Lookup<IcmpCloseHandleFunction>(library, "IcmpCloseHandle");
    g_service.complete = g_service.create && g_service.send && g_service.close;
}

// The service, or nothing when Winsock would not start (tried again next time) or the service is missing.
const EchoService* Service() {
    if (!g_setUp.load(std::memory_order_acquire)) {
        std::lock_guard lock(g_setUpMutex);
        if (!g_setUp.load(std::memory_order_relaxed)) {
            g_setUpCount.fetch_add(1, std::memory_order_relaxed);
            WSADATA data{};
            if (WSAStartup(0x0101, &data) != 0) return nullptr;
            LoadService();
            g_setUp.store(true, std::memory_order_release);
        }
    }
    return g_service.complete ? &g_service : nullptr;
}

std::optional<IPAddr> ResolveIpv4(std::string_view host) {
    // The C interfaces below would silently stop at an embedded NUL and probe some other host.
    if (host.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string text(host);
    const unsigned long dotted = inet_addr(text.c_str());
    if (dotted != INADDR_NONE || text == "255.255.255.255") return dotted;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* answer = nullptr;
    if (getaddrinfo(text.c_str(), nullptr, &hints, &answer) != 0 || !answer) return std::nullopt;
    std::optional<IPAddr> first;
    if (answer->ai_family == AF_INET && answer->ai_addrlen >= sizeof(sockaddr_in)) {
        first = reinterpret_cast<const sockaddr_in*>(answer->ai_addr)->sin_addr.s_addr;
    }
    freeaddrinfo(answer);
    return first;
}

int SendEcho(const EchoService& service, IPAddr address, int timeoutMs) {
    // One reply structure plus room for the eight bytes of an ICMP error; no request data is sent.
    alignas(ICMP_ECHO_REPLY) unsigned char buffer[sizeof(ICMP_ECHO_REPLY) + 16] = {};
    const HANDLE handle = service.create();
    if (handle == INVALID_HANDLE_VALUE) return -1;
    const DWORD count = service.send(handle, address, nullptr, 0, nullptr, buffer, sizeof buffer,
                                     static_cast<DWORD>(timeoutMs));
    service.close(handle);
    if (count == 0) return -1;
    const auto* reply = reinterpret_cast<const ICMP_ECHO_REPLY*>(buffer);
    // Only an echo reply from the probed host is a round-trip time; an error a router sent back is not.
    if (reply->Status != IP_SUCCESS || reply->Address != address) return -1;
    if (reply->RoundTripTime > static_cast<ULONG>(timeoutMs)) return -1;
    return static_cast<int>(reply->RoundTripTime);
}

}  // namespace

int PingHost(std::string_view host, std::optional<int> timeoutMs) {
    const EchoService* service = Service();
    if (!service) return -1;
    const int timeout = timeoutMs.value_or(kDefaultTimeoutMs);
    // No time to wait means no reply can count, so nothing is sent at all.
    if (timeout <= 0) return -1;
    const auto address = ResolveIpv4(host);
    if (!address) return -1;
    return SendEcho(*service, *address, timeout);
}

std::optional<std::string> EchoUnavailableReason() {
    if (Service()) return std::nullopt;
    if (!g_setUp.load(std::memory_order_acquire)) {
        return "Latency cannot be measured: Windows Sockets could not be started.";
    }
    return "Latency cannot be measured: the Windows ICMP echo service (icmp.dll or iphlpapi.dll) is missing.";
}

int EchoSetUpCount() { return g_setUpCount.load(std::memory_order_relaxed); }

// The echo service needs no privilege, like the unprivileged datagram socket elsewhere.
EchoSocketKind ActiveEchoSocketKind() {
    return g_setUp.load(std::memory_order_acquire) && g_service.complete ? EchoSocketKind::Datagram
                                                                        : EchoSocketKind::None;
}

}  // namespace tarvelin
