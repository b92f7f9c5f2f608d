#include "settings/legacy_text.h"

#include "monitor/utf8.h"

namespace tarvelin {

bool IsValidUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8CharLength(text, pos);
        if (length == 1 && static_cast<unsigned char>(text[pos]) >= 0x80) return false;
        pos += length;
    }
    return true;
}

}  // namespace tarvelin
