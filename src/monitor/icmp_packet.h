// Building ICMP echo requests and reading what comes back, on plain bytes so that every platform and the
// fuzzer share one parser. Received bytes are untrusted: every length is checked before it is read.
// Pure functions; safe from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tarvelin {

// Fields in network byte order. REQUIRES: the bytes at..at+1 (at..at+3) exist.
inline std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

inline std::uint32_t Read32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
           std::uint32_t{bytes[at + 3]};
}

inline void Write16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

inline void Write32(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
    Write16(bytes, at, static_cast<std::uint16_t>(value >> 16));
    Write16(bytes, at + 2, static_cast<std::uint16_t>(value));
}

inline constexpr std::size_t kIcmpHeaderSize = 8;
inline constexpr std::size_t kIpv4MinHeaderSize = 20;

inline constexpr std::uint8_t kIcmpEchoReply = 0;
inline constexpr std::uint8_t kIcmpDestinationUnreachable = 3;
inline constexpr std::uint8_t kIcmpEchoRequest = 8;
inline constexpr std::uint8_t kIcmpTimeExceeded = 11;
inline constexpr std::uint8_t kIcmpParameterProblem = 12;

// Internet checksum (RFC 1071) of bytes, as the 16-bit value to store big-endian in the checksum field.
// Over a message that already carries a correct checksum it gives 0.
std::uint16_t IcmpChecksum(std::span<const std::uint8_t> bytes);

// An echo request with no payload, checksum filled in; all fields big-endian as on the wire.
std::array<std::uint8_t, kIcmpHeaderSize> BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence);

// What a received packet says about one of the echo requests sent with identifier and sequence.
struct EchoEvent {
    enum class Kind { Reply, Error };
    Kind kind = Kind::Reply;
    std::uint16_t identifier = 0;
    std::uint16_t sequence = 0;
    // Reply: the address that answered. Error: the address the quoted request was sent to. Host order.
    std::uint32_t peer = 0;
};

// A whole IPv4 datagram carrying ICMP, as a raw socket hands it over. Nothing unless it is a well-formed
// echo reply, or an ICMP error that quotes an echo request; fragments and bad checksums give nothing.
std::optional<EchoEvent> ParseIpv4Datagram(std::span<const std::uint8_t> datagram);

// An ICMP message without its IP header, as an ICMP datagram socket hands it over; source (host order) is
// the sender the socket reported. Same acceptance rules as ParseIpv4Datagram.
std::optional<EchoEvent> ParseIcmpMessage(std::span<const std::uint8_t> message, std::uint32_t source);

// The echo request header that an ICMP datagram socket's error queue returns with an error; destination
// (host order) is the address the socket reported. Nothing unless it is an echo request header.
std::optional<EchoEvent> ParseQuotedEchoRequest(std::span<const std::uint8_t> header, std::uint32_t destination);

}  // namespace tarvelin
