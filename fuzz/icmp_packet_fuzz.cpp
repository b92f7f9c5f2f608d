// Feeds arbitrary bytes to the parsers of received ICMP packets: they must never read outside the input,
// and whatever they accept must be consistent with the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "monitor/icmp_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (const auto event = tarvelin::ParseIpv4Datagram(bytes)) {
        // Accepted only whole: an IPv4 header and at least an ICMP header.
        if (size < tarvelin::kIpv4MinHeaderSize + tarvelin::kIcmpHeaderSize) std::abort();
        const std::uint32_t source = std::uint32_t{data[12]} << 24 | std::uint32_t{data[13]} << 16 |
                                     std::uint32_t{data[14]} << 8 | data[15];
        if (event->kind == tarvelin::EchoEvent::Kind::Reply && event->peer != source) std::abort();
    }
    if (const auto event = tarvelin::ParseIcmpMessage(bytes, 0x7F000001)) {
        if (size < tarvelin::kIcmpHeaderSize || tarvelin::IcmpChecksum(bytes) != 0) std::abort();
        if (event->kind == tarvelin::EchoEvent::Kind::Reply && event->peer != 0x7F000001) std::abort();
    }
    if (tarvelin::ParseQuotedEchoRequest(bytes, 0x7F000001) && size < tarvelin::kIcmpHeaderSize) std::abort();
    return 0;
}
