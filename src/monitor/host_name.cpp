#include "monitor/host_name.h"

#include <algorithm>

#include "monitor/utf8.h"

namespace tarvelin {

namespace {

constexpr std::string_view kQuoteStandIn = "#引号";
constexpr std::string_view kHttpScheme = "http://";
constexpr std::string_view kHttpsScheme = "https://";

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchesAt(std::string_view text, std::size_t pos, std::string_view s, bool ignoreCase) {
    if (s.size() > text.size() - pos) return false;
    if (!ignoreCase) return text.compare(pos, s.size(), s) == 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (LowerAscii(text[pos + i]) != LowerAscii(s[i])) return false;
    }
    return true;
}

// 0-based index of the first occurrence of s at a character start at or after `start`, or npos. Character
// starts are always counted from the beginning, so a search that starts inside a multi-byte character
// resumes at the next whole one.
std::size_t FindIndex(std::string_view text, std::string_view s, std::size_t start, bool ignoreCase) {
    for (std::size_t i = 0; i < text.size(); i += Utf8CharLength(text, i)) {
        if (i >= start && MatchesAt(text, i, s, ignoreCase)) return i;
    }
    return std::string_view::npos;
}

// Calls onMatch(index) for each occurrence of s, left to right, never overlapping a previous one.
template <typename OnMatch>
void ForEachOccurrence(std::string_view text, std::string_view s, OnMatch onMatch) {
    std::size_t resumeAt = 0;
    for (std::size_t i = 0; i < text.size(); i += Utf8CharLength(text, i)) {
        if (i >= resumeAt && MatchesAt(text, i, s, false)) {
            onMatch(i);
            resumeAt = i + s.size();
        }
    }
}

std::int64_t Length(std::string_view text) {
    return static_cast<std::int64_t>(text.size());
}

bool EndsWithSlash(std::string_view text) {
    return !text.empty() && text.back() == '/';
}

std::string SchemeModeHost(std::string t, bool domainOnly) {
    if (!EndsWithSlash(t)) t += '/';
    std::string_view marker = kHttpScheme;
    if (TextLeft(t, Length(kHttpsScheme)) == kHttpsScheme) {
        marker = kHttpsScheme;
    } else if (TextFind(t, kHttpScheme) == -1) {
        // Any "http://", even one in a query, counts as the scheme; only a text without one gets the prefix.
        t.insert(0, kHttpScheme);
    }
    t = TextBetween(t, marker, "/");
    if (domainOnly) {
        const std::vector<std::string> pieces = TextSplit(t, ".");
        if (pieces.size() > 1) t = pieces[pieces.size() - 2] + "." + pieces.back();
    }
    return t;
}

std::string LevelModeHost(std::string t, bool domainOnly, int levels) {
    t = TextReplaceAll(t, kHttpScheme, "");
    t = TextReplaceAll(t, kHttpsScheme, "");
    if (const std::int64_t slash = TextFind(t, "/"); slash != -1) t = TextLeft(t, slash - 1);
    const std::int64_t length = Length(t);
    // Searching up to the length, not past it, leaves a dot in the last byte out of the count.
    std::int64_t q = length;
    // Once no dot is left the search stays at -1, so a huge count need not run to the end.
    for (int i = 0; i < levels && q != -1; ++i) q = TextRfind(t, ".", q);
    const std::int64_t d = TextRfind(t, ".", q);
    if (domainOnly) return TextRight(t, length - d);  // d of -1 keeps the whole text
    if (d != -1) {
        if (const std::int64_t f = TextRfind(t, ".", d); f != -1) t = TextRight(t, length - f);
    }
    return t;
}

}  // namespace

std::string TextLower(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerAscii);
    return lowered;
}

std::int64_t TextFind(std::string_view text, std::string_view s, std::optional<std::int64_t> from, bool ignoreCase) {
    if (from && *from > Length(text)) return -1;
    const std::size_t start = !from || *from <= 1 ? 0 : static_cast<std::size_t>(*from - 1);
    const std::size_t index = FindIndex(text, s, start, ignoreCase);
    return index == std::string_view::npos ? -1 : static_cast<std::int64_t>(index) + 1;
}

std::int64_t TextRfind(std::string_view text, std::string_view s, std::optional<std::int64_t> from) {
    if (from && *from <= 1) return -1;
    // An occurrence must end at or before this many bytes.
    const std::size_t limit = !from || *from > Length(text) ? text.size() : static_cast<std::size_t>(*from - 1);
    std::int64_t last = -1;
    for (std::size_t i = 0; i < text.size() && i + s.size() <= limit; i += Utf8CharLength(text, i)) {
        if (MatchesAt(text, i, s, false)) last = static_cast<std::int64_t>(i) + 1;
    }
    return last;
}

std::string TextLeft(std::string_view text, std::int64_t n) {
    if (n <= 0) return {};
    return std::string(text.substr(0, static_cast<std::size_t>(std::min(n, Length(text)))));
}

std::string TextRight(std::string_view text, std::int64_t n) {
    if (n <= 0) return {};
    const auto count = static_cast<std::size_t>(std::min(n, Length(text)));
    return std::string(text.substr(text.size() - count));
}

std::string TextMid(std::string_view text, std::int64_t p, std::int64_t n) {
    if (p < 1 || p > Length(text) || n <= 0) return {};
    const std::int64_t count = std::min(n, Length(text) - p + 1);
    return std::string(text.substr(static_cast<std::size_t>(p - 1), static_cast<std::size_t>(count)));
}

std::string TextReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (text.empty() || from.empty()) return std::string(text);
    std::string out;
    std::size_t copied = 0;
    ForEachOccurrence(text, from, [&](std::size_t index) {
        out.append(text, copied, index - copied);
        out.append(to);
        copied = index + from.size();
    });
    out.append(text, copied);
    return out;
}

std::vector<std::string> TextSplit(std::string_view text, std::string_view sep) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    if (sep.empty()) return {std::string(text)};
    std::size_t pieceStart = 0;
    ForEachOccurrence(text, sep, [&](std::size_t index) {
        pieces.emplace_back(text.substr(pieceStart, index - pieceStart));
        pieceStart = index + sep.size();
    });
    if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        std::optional<int> startPosition, std::optional<bool> ignoreCase) {
    const std::string s = TextReplaceAll(startMarker, kQuoteStandIn, "\"");
    const std::string e = TextReplaceAll(endMarker, kQuoteStandIn, "\"");
    const bool fold = ignoreCase.value_or(false);
    std::int64_t p = TextFind(text, s, startPosition.value_or(0), fold);
    if (p == -1) return {};
    p += Length(s);
    const std::int64_t q = TextFind(text, e, p, fold);
    if (q == -1) return {};
    return TextMid(text, p, q - p);
}

std::string ExtractHostName(std::string_view address, std::optional<bool> domainOnly, std::optional<bool> keepPort,
                            std::optional<int> levels) {
    std::string t = TextLower(address);
    t = levels ? LevelModeHost(std::move(t), domainOnly.value_or(false), *levels)
               : SchemeModeHost(std::move(t), domainOnly.value_or(false));
    if (!keepPort.value_or(false)) {
        if (const std::int64_t colon = TextFind(t, ":"); colon != -1) return TextLeft(t, colon - 1);
    }
    return t;
}

}  // namespace tarvelin
