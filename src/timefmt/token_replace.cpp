#include "timefmt/token_replace.h"

#include "monitor/utf8.h"

namespace tarvelin {

void ReplaceToken(std::string& text, std::string_view token, std::string_view replacement) {
    if (token.empty() || text.size() < token.size()) return;
    std::string out;
    std::size_t pos = 0;
    std::size_t copied = 0;  // text[copied, pos) is still to be copied to out
    while (pos < text.size()) {
        if (std::string_view(text).substr(pos, token.size()) == token) {
            out.append(text, copied, pos - copied);
            out.append(replacement);
            pos += token.size();
            copied = pos;
        } else {
            pos += Utf8CharLength(text, pos);
        }
    }
    if (copied == 0) return;  // nothing matched
    out.append(text, copied, std::string::npos);
    text = std::move(out);
}

}  // namespace tarvelin
