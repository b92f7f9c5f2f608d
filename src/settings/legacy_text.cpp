#include "settings/legacy_text.h"

#include "monitor/utf8.h"

namespace tarvelin {
namespace {

void AppendUtf8(std::string& text, char32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string Utf16LeToUtf8(std::string_view utf16) {
    auto unitAt = [utf16](std::size_t pos) {
        return static_cast<char32_t>(static_cast<unsigned char>(utf16[pos]) |
                                     (static_cast<unsigned char>(utf16[pos + 1]) << 8));
    };
    std::string text;
    std::size_t pos = 0;
    for (; pos + 1 < utf16.size(); pos += 2) {
        const char32_t unit = unitAt(pos);
        if (IsHighSurrogate(unit) && pos + 3 < utf16.size() && IsLowSurrogate(unitAt(pos + 2))) {
            AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(pos + 2) - 0xDC00));
            pos += 2;
        } else {
            AppendUtf8(text, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacementCharacter : unit);
        }
    }
    if (pos < utf16.size()) AppendUtf8(text, kReplacementCharacter);
    return text;
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8CharLength(text, pos);
        if (length == 1 && static_cast<unsigned char>(text[pos]) >= 0x80) return false;
        pos += length;
    }
    return true;
}

}  // namespace tarvelin
