#include "monitor/icmp_packet.h"

namespace tarvelin {

namespace {

constexpr std::uint8_t kProtocolIcmp = 1;
constexpr std::uint16_t kMoreFragments = 0x2000;
constexpr std::uint16_t kFragmentOffsetMask = 0x1FFF;

// The IPv4 header of an ICMP datagram, checked against the bytes actually present.
struct Ipv4View {
    std::size_t headerSize = 0;
    std::size_t totalSize = 0;
    std::uint32_t source = 0;
    std::uint32_t destination = 0;
    bool firstFragment = false;
    bool wholeDatagram = false;
};

std::optional<Ipv4View> ReadIpv4Header(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kIpv4MinHeaderSize || bytes[0] >> 4 != 4) return std::nullopt;
    Ipv4View view;
    view.headerSize = std::size_t{bytes[0] & 0x0Fu} * 4;
    view.totalSize = Read16(bytes, 2);
    if (view.headerSize < kIpv4MinHeaderSize || view.headerSize > bytes.size()) return std::nullopt;
    if (view.totalSize < view.headerSize || bytes[9] != kProtocolIcmp) return std::nullopt;
    const std::uint16_t fragment = Read16(bytes, 6);
    view.firstFragment = (fragment & kFragmentOffsetMask) == 0;
    view.wholeDatagram = view.firstFragment && (fragment & kMoreFragments) == 0;
    view.source = Read32(bytes, 12);
    view.destination = Read32(bytes, 16);
    return view;
}

// An ICMP error carries the start of the datagram that caused it: its IP header and at least the first
// eight bytes of its payload, which for our requests is the whole echo header.
std::optional<EchoEvent> ParseQuotedDatagram(std::span<const std::uint8_t> quote) {
    const auto header = ReadIpv4Header(quote);
    if (!header || !header->firstFragment) return std::nullopt;
    if (quote.size() - header->headerSize < kIcmpHeaderSize) return std::nullopt;
    auto event = ParseQuotedEchoRequest(quote.subspan(header->headerSize, kIcmpHeaderSize), header->destination);
    if (event) event->kind = EchoEvent::Kind::Error;
    return event;
}

}  // namespace

std::uint16_t IcmpChecksum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) sum += Read16(bytes, i);
    if (i < bytes.size()) sum += std::uint32_t{bytes[i]} << 8;
    while (sum >> 16) sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::array<std::uint8_t, kIcmpHeaderSize> BuildEchoRequest(std::uint16_t identifier, std::uint16_t sequence) {
    std::array<std::uint8_t, kIcmpHeaderSize> packet{kIcmpEchoRequest,
                                                     0,
                                                     0,
                                                     0,
                                                     static_cast<std::uint8_t>(identifier >> 8),
                                                     static_cast<std::uint8_t>(identifier),
                                                     static_cast<std::uint8_t>(sequence >> 8),
                                                     static_cast<std::uint8_t>(sequence)};
    const std::uint16_t checksum = IcmpChecksum(packet);
    packet[2] = static_cast<std::uint8_t>(checksum >> 8);
    packet[3] = static_cast<std::uint8_t>(checksum);
    return packet;
}

std::optional<EchoEvent> ParseIcmpMessage(std::span<const std::uint8_t> message, std::uint32_t source) {
    if (message.size() < kIcmpHeaderSize || IcmpChecksum(message) != 0) return std::nullopt;
    const std::uint8_t type = message[0];
    if (type == kIcmpEchoReply) {
        if (message[1] != 0) return std::nullopt;
        return EchoEvent{EchoEvent::Kind::Reply, Read16(message, 4), Read16(message, 6), source};
    }
    if (type == kIcmpDestinationUnreachable || type == kIcmpTimeExceeded || type == kIcmpParameterProblem) {
        return ParseQuotedDatagram(message.subspan(kIcmpHeaderSize));
    }
    return std::nullopt;
}

std::optional<EchoEvent> ParseIpv4Datagram(std::span<const std::uint8_t> datagram) {
    const auto header = ReadIpv4Header(datagram);
    // A fragment cannot be checksummed on its own; the kernel reassembles before delivery anyway.
    if (!header || !header->wholeDatagram || header->totalSize > datagram.size()) return std::nullopt;
    const auto message = datagram.subspan(header->headerSize, header->totalSize - header->headerSize);
    return ParseIcmpMessage(message, header->source);
}

std::optional<EchoEvent> ParseQuotedEchoRequest(std::span<const std::uint8_t> header, std::uint32_t destination) {
    if (header.size() < kIcmpHeaderSize || header[0] != kIcmpEchoRequest || header[1] != 0) return std::nullopt;
    return EchoEvent{EchoEvent::Kind::Error, Read16(header, 4), Read16(header, 6), destination};
}

}  // namespace tarvelin
