#include "timefmt/token_replace.h"

#include "monitor/utf8.h"

namespace tarvelin {

namespace {

// Byte index of the next occurrence of token that begins at a character start at or after pos, or npos.
std::size_t NextMatch(std::string_view text, std::string_view token, std::size_t pos) {
    // A byte below 0x80 never lies inside a multi-byte character, so for such a token every byte match is
    // at a character start and a plain search finds the same occurrence as the character walk.
    if (static_cast<unsigned char>(token.front()) < 0x80) return text.find(token, pos);
    while (pos < text.size()) {
        if (text.substr(pos, token.size()) == token) return pos;
        pos += Utf8CharLength(text, pos);
    }
    return std::string_view::npos;
}

}  // namespace

void ReplaceToken(std::string& text, std::string_view token, std::string_view replacement) {
    if (token.empty() || text.size() < token.size()) return;
    std::size_t match = NextMatch(text, token, 0);
    if (match == std::string_view::npos) return;
    std::string out;
    std::size_t copied = 0;  // text[copied, match) is still to be copied to out
    while (match != std::string_view::npos) {
        out.append(text, copied, match - copied);
        out.append(replacement);
        copied = match + token.size();
        match = NextMatch(text, token, copied);
    }
    out.append(text, copied, std::string::npos);
    text = std::move(out);
}

}  // namespace tarvelin
