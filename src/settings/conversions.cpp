#include "settings/conversions.h"

#include <algorithm>
#include <limits>

#include "monitor/utf8.h"

namespace tarvelin {
namespace {

constexpr std::string_view kEntrySeparator = "||";

// UTF-8 forms of the full-width characters that the legacy code page's users type for numbers.
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";  // U+3000
constexpr std::string_view kFullWidthPlus = "\xEF\xBC\x8B";     // U+FF0B
constexpr std::string_view kFullWidthMinus = "\xEF\xBC\x8D";    // U+FF0D
constexpr std::string_view kFullWidthDigitPrefix = "\xEF\xBC";  // U+FF10..U+FF19 end in 0x90..0x99

bool IsAsciiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One character of the text seen as its ASCII form: the ASCII character and the bytes it took, or a NUL
// for anything without an ASCII counterpart.
struct AsciiChar {
    char ascii;
    std::size_t length;
};

AsciiChar AsciiFormAt(std::string_view text, std::size_t pos) {
    const std::string_view rest = text.substr(pos);
    if (rest.starts_with(kIdeographicSpace)) return {' ', kIdeographicSpace.size()};
    if (rest.starts_with(kFullWidthPlus)) return {'+', kFullWidthPlus.size()};
    if (rest.starts_with(kFullWidthMinus)) return {'-', kFullWidthMinus.size()};
    if (rest.size() >= 3 && rest.starts_with(kFullWidthDigitPrefix)) {
        const auto last = static_cast<unsigned char>(rest[2]);
        if (last >= 0x90 && last <= 0x99) return {static_cast<char>('0' + (last - 0x90)), 3};
    }
    const auto lead = static_cast<unsigned char>(rest[0]);
    if (lead < 0x80) return {rest[0], 1};
    return {'\0', Utf8CharLength(text, pos)};
}

}  // namespace

std::int32_t TextToInteger(std::string_view text) {
    std::size_t pos = 0;
    AsciiChar current{};
    while (pos < text.size() && IsAsciiBlank((current = AsciiFormAt(text, pos)).ascii)) pos += current.length;
    bool negative = false;
    if (pos < text.size() && (current.ascii == '+' || current.ascii == '-')) {
        negative = current.ascii == '-';
        pos += current.length;
    }
    // Accumulate towards the sign's bound so that INT32_MIN reads whole and larger values clamp.
    constexpr std::int64_t kBound = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (pos < text.size()) {
        current = AsciiFormAt(text, pos);
        if (current.ascii < '0' || current.ascii > '9') break;
        magnitude = std::min(kBound, magnitude * 10 + (current.ascii - '0'));
        pos += current.length;
    }
    if (negative) return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(std::min(magnitude, kBound - 1));
}

std::string IntegerToText(std::int32_t value) {
    return std::to_string(value);
}

std::vector<std::string> SplitTargetEntry(std::string_view entry) {
    if (entry.empty()) return {};
    // A UTF-8 continuation byte is never '|', so a byte search finds "||" only between characters.
    const std::size_t first = entry.find(kEntrySeparator);
    if (first == std::string_view::npos) return {std::string(entry)};
    std::string title(entry.substr(0, first));
    const std::string_view rest = entry.substr(first + kEntrySeparator.size());
    if (rest.empty()) return {std::move(title)};
    return {std::move(title), std::string(rest.substr(0, rest.find(kEntrySeparator)))};
}

std::string JoinTargetEntry(std::string_view title, std::string_view address) {
    std::string entry(title);
    entry += kEntrySeparator;
    entry += address;
    return entry;
}

std::size_t LegacyByteLength(std::string_view text) {
    std::size_t bytes = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8CharLength(text, pos);
        bytes += static_cast<unsigned char>(text[pos]) < 0x80 ? 1 : 2;
        pos += length;
    }
    return bytes;
}

}  // namespace tarvelin
