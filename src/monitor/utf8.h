// Character stepping over UTF-8 byte strings, the text form of every string in the program. A byte that
// does not begin a valid UTF-8 sequence counts as a one-byte character, so any byte string can be walked.
#pragma once

#include <cstddef>
#include <string_view>

namespace tarvelin {

// Length in bytes of the character that begins at byte index pos (0-based); 0 at or past the end.
inline std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 1;
    unsigned minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000;
    } else {
        return 1;
    }
    if (pos + length > text.size()) return 1;
    unsigned code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return 1;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF are not valid sequences.
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 1;
    return length;
}

}  // namespace tarvelin
