#include "monitor/icmp_packet.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvelin {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kClient = 0xC6120002;  // 198.18.0.2
constexpr std::uint32_t kTarget = 0xC612000A;  // 198.18.0.10
constexpr std::uint16_t kId = 0xBEEF;
constexpr std::uint16_t kSeq = 0x0102;

void Seal(Bytes& icmp) {
    Write16(icmp, 2, 0);
    Write16(icmp, 2, IcmpChecksum(icmp));
}

Bytes Icmp(std::uint8_t type, std::uint8_t code, std::uint16_t id, std::uint16_t seq, Bytes payload = {}) {
    Bytes icmp{type, code, 0, 0, 0, 0, 0, 0};
    Write16(icmp, 4, id);
    Write16(icmp, 6, seq);
    icmp.insert(icmp.end(), payload.begin(), payload.end());
    Seal(icmp);
    return icmp;
}

Bytes Ip(std::uint32_t source, std::uint32_t destination, const Bytes& payload, std::uint8_t protocol = 1) {
    Bytes ip(20, 0);
    ip[0] = 0x45;
    Write16(ip, 2, static_cast<std::uint16_t>(20 + payload.size()));
    ip[8] = 64;
    ip[9] = protocol;
    Write32(ip, 12, source);
    Write32(ip, 16, destination);
    ip.insert(ip.end(), payload.begin(), payload.end());
    return ip;
}

Bytes Reply() { return Ip(kTarget, kClient, Icmp(kIcmpEchoReply, 0, kId, kSeq)); }

// An ICMP error from a router (10.0.0.1) quoting our request to kTarget.
Bytes ErrorQuoting(std::uint8_t type, const Bytes& quoted) {
    Bytes icmp{type, 1, 0, 0, 0, 0, 0, 0};
    icmp.insert(icmp.end(), quoted.begin(), quoted.end());
    Seal(icmp);
    return Ip(0x0A000001, kClient, icmp);
}

Bytes QuotedRequest() { return Ip(kClient, kTarget, Icmp(kIcmpEchoRequest, 0, kId, kSeq)); }

TEST(IcmpChecksum, KnownVectors_GiveRfc1071Sums) {
    struct Case {
        Bytes bytes;
        std::uint16_t checksum;
    };
    const Case cases[] = {
        {{0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7}, 0x220D},  // the RFC 1071 example
        {{}, 0xFFFF},
        {{0xFF}, 0x00FF},                                            // odd length pads with zero
        {{0xFF, 0xFF, 0x00, 0x01}, 0xFFFE},                          // end-around carry
    };
    for (const auto& c : cases) EXPECT_EQ(IcmpChecksum(c.bytes), c.checksum) << c.bytes.size();
}

TEST(BuildEchoRequest, IdAndSequence_GivesEightByteRequestWithValidChecksum) {
    const auto request = BuildEchoRequest(0x1234, 0xABCD);
    EXPECT_EQ(request[0], kIcmpEchoRequest);
    EXPECT_EQ(request[1], 0);
    EXPECT_EQ(request[4], 0x12);
    EXPECT_EQ(request[5], 0x34);
    EXPECT_EQ(request[6], 0xAB);
    EXPECT_EQ(request[7], 0xCD);
    EXPECT_EQ(IcmpChecksum(request), 0);
}

TEST(ParseIpv4Datagram, EveryMalformedOrForeignPacket_GivesNothing) {
    struct Case {
        std::string name;
        std::function<Bytes()> make;
    };
    const Case cases[] = {
        {"empty", [] { return Bytes{}; }},
        {"shorter than an IP header", [] { auto d = Reply(); d.resize(19); return d; }},
        {"IPv6 version", [] { auto d = Reply(); d[0] = 0x65; return d; }},
        {"header length below 20", [] { auto d = Reply(); d[0] = 0x44; return d; }},
        {"header length past the end", [] { auto d = Reply(); d[0] = 0x4F; return d; }},
        {"not ICMP", [] { return Ip(kTarget, kClient, Icmp(kIcmpEchoReply, 0, kId, kSeq), 17); }},
        {"total length past the end", [] { auto d = Reply(); Write16(d, 2, 29); return d; }},
        {"total length below header", [] { auto d = Reply(); Write16(d, 2, 19); return d; }},
        {"more fragments", [] { auto d = Reply(); Write16(d, 6, 0x2000); return d; }},
        {"later fragment", [] { auto d = Reply(); Write16(d, 6, 0x0001); return d; }},
        {"ICMP shorter than 8", [] { auto d = Reply(); d.resize(27); Write16(d, 2, 27); return d; }},
        {"bad checksum", [] { auto d = Reply(); d[23] ^= 1; return d; }},
        {"echo request", [] { return Ip(kTarget, kClient, Icmp(kIcmpEchoRequest, 0, kId, kSeq)); }},
        {"reply with nonzero code", [] { return Ip(kTarget, kClient, Icmp(kIcmpEchoReply, 3, kId, kSeq)); }},
        {"timestamp reply", [] { return Ip(kTarget, kClient, Icmp(14, 0, kId, kSeq)); }},
        {"error with no quote", [] { return ErrorQuoting(kIcmpDestinationUnreachable, {}); }},
        {"error quoting a short request",
         [] { auto q = QuotedRequest(); q.resize(27); return ErrorQuoting(kIcmpDestinationUnreachable, q); }},
        {"error quoting UDP",
         [] { return ErrorQuoting(kIcmpTimeExceeded, Ip(kClient, kTarget, Icmp(8, 0, kId, kSeq), 17)); }},
        {"error quoting a reply",
         [] { return ErrorQuoting(kIcmpTimeExceeded, Ip(kClient, kTarget, Icmp(0, 0, kId, kSeq))); }},
        {"error quoting a later fragment",
         [] { auto q = QuotedRequest(); Write16(q, 6, 0x0002); return ErrorQuoting(kIcmpDestinationUnreachable, q); }},
        {"error quote with bad header length",
         [] { auto q = QuotedRequest(); q[0] = 0x4F; return ErrorQuoting(kIcmpDestinationUnreachable, q); }},
        {"redirect", [] { return ErrorQuoting(5, QuotedRequest()); }},
    };
    for (const auto& c : cases) EXPECT_FALSE(ParseIpv4Datagram(c.make()).has_value()) << c.name;
}

TEST(ParseIpv4Datagram, WellFormedPackets_GiveTheirEvent) {
    struct Case {
        std::string name;
        Bytes datagram;
        EchoEvent::Kind kind;
        std::uint32_t peer;
    };
    auto withOptions = Reply();
    withOptions[0] = 0x46;  // 24-byte header: four option bytes (NOPs) before the ICMP message
    withOptions.insert(withOptions.begin() + 20, {1, 1, 1, 1});
    Write16(withOptions, 2, 32);
    auto trailing = Reply();
    trailing.push_back(0xEE);  // link-layer padding beyond the total length
    const Case cases[] = {
        {"plain reply", Reply(), EchoEvent::Kind::Reply, kTarget},
        {"reply with payload", Ip(kTarget, kClient, Icmp(0, 0, kId, kSeq, {1, 2, 3})), EchoEvent::Kind::Reply, kTarget},
        {"reply after IP options", withOptions, EchoEvent::Kind::Reply, kTarget},
        {"reply with trailing padding", trailing, EchoEvent::Kind::Reply, kTarget},
        {"unreachable", ErrorQuoting(kIcmpDestinationUnreachable, QuotedRequest()), EchoEvent::Kind::Error, kTarget},
        {"time exceeded", ErrorQuoting(kIcmpTimeExceeded, QuotedRequest()), EchoEvent::Kind::Error, kTarget},
        {"parameter problem", ErrorQuoting(kIcmpParameterProblem, QuotedRequest()), EchoEvent::Kind::Error, kTarget},
    };
    for (const auto& c : cases) {
        const auto event = ParseIpv4Datagram(c.datagram);
        ASSERT_TRUE(event.has_value()) << c.name;
        EXPECT_EQ(event->kind, c.kind) << c.name;
        EXPECT_EQ(event->identifier, kId) << c.name;
        EXPECT_EQ(event->sequence, kSeq) << c.name;
        EXPECT_EQ(event->peer, c.peer) << c.name;
    }
}

TEST(ParseIcmpMessage, DatagramSocketPayloads_AcceptOnlyCheckedReplies) {
    struct Case {
        std::string name;
        Bytes message;
        bool accepted;
    };
    auto badSum = Icmp(kIcmpEchoReply, 0, kId, kSeq);
    badSum[7] ^= 0x10;
    const Case cases[] = {
        {"reply", Icmp(kIcmpEchoReply, 0, kId, kSeq), true},
        {"truncated", Bytes{0, 0, 0xFF, 0xFF}, false},
        {"bad checksum", badSum, false},
        {"request", Icmp(kIcmpEchoRequest, 0, kId, kSeq), false},
    };
    for (const auto& c : cases) {
        const auto event = ParseIcmpMessage(c.message, kTarget);
        EXPECT_EQ(event.has_value(), c.accepted) << c.name;
        if (event) {
            EXPECT_EQ(event->peer, kTarget) << c.name;
        }
    }
}

TEST(ParseQuotedEchoRequest, ErrorQueueQuotes_AcceptOnlyEchoRequests) {
    const auto request = BuildEchoRequest(kId, kSeq);
    const auto event = ParseQuotedEchoRequest(request, kTarget);
    ASSERT_TRUE(event.has_value());
    EXPECT_EQ(event->kind, EchoEvent::Kind::Error);
    EXPECT_EQ(event->sequence, kSeq);
    EXPECT_EQ(event->peer, kTarget);
    EXPECT_FALSE(ParseQuotedEchoRequest(std::span(request).first(7), kTarget).has_value());
    EXPECT_FALSE(ParseQuotedEchoRequest(Icmp(kIcmpEchoReply, 0, kId, kSeq), kTarget).has_value());
}

}  // namespace
}  // namespace tarvelin
