// One ICMP echo request to one IPv4 host and its round-trip time. Every function here is safe to call from
// any number of threads at once; PingHost blocks only its caller.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvelin {

// Round-trip time in whole milliseconds (0 or more) of one echo request with no payload to host (a dotted
// IPv4 address, used as it is, or a name resolved afresh to its first IPv4 address), or -1 when no echo
// reply from that address came within timeoutMs (10000 when absent) or anything else failed. An ICMP error
// (such as destination unreachable) is a failure, not a round-trip time. A timeoutMs of 0 or less sends
// nothing and gives -1 at once. The timeout covers the wait for the reply, not the name resolution.
int PingHost(std::string_view host, std::optional<int> timeoutMs = std::nullopt);

// Nothing when this process can send echo requests; otherwise a sentence for the user saying why not and
// how to allow it. Runs the probe's set-up if no call has yet.
std::optional<std::string> EchoUnavailableReason();

}  // namespace tarvelin
