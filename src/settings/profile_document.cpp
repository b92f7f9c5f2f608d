#include "settings/profile_document.h"

#include "monitor/utf8.h"
#include "settings/legacy_text.h"

namespace tarvelin {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16ByteOrderMark = "\xFF\xFE";  // little-endian, as Windows editors save
constexpr std::string_view kBlanks = " \t\r\n";

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Names match without regard to ASCII case only; other characters compare as they are.
std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

std::optional<std::string_view> HeaderName(std::string_view trimmed) {
    if (!trimmed.starts_with('[')) return std::nullopt;
    const std::size_t close = trimmed.rfind(']');
    if (close == 0 || close == std::string_view::npos) return std::nullopt;
    return trimmed.substr(1, close - 1);
}

std::string_view KeyOf(std::string_view trimmed) {
    return TrimBlanks(trimmed.substr(0, trimmed.find('=')));
}

std::string_view ValueOf(std::string_view trimmed) {
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) return {};
    return TrimBlanks(trimmed.substr(equals + 1));
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string_view CutAtCharacter(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + Utf8CharLength(text, end);
        if (next > maxBytes) break;
        end = next;
    }
    return text.substr(0, end);
}

ProfileDocument ProfileDocument::FromBytes(std::string_view bytes) {
    ProfileDocument document;
    std::string decoded;
    if (bytes.starts_with(kByteOrderMark)) {
        document.m_hasByteOrderMark = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    if (bytes.starts_with(kUtf16ByteOrderMark)) {
        decoded = Utf16LeToUtf8(bytes.substr(kUtf16ByteOrderMark.size()));
        bytes = decoded;
    } else if (!IsValidUtf8(bytes)) {
        decoded = GbkToUtf8(bytes);
        bytes = decoded;
    }
    bool endSeen = false;
    while (!bytes.empty()) {
        const std::size_t breakAt = bytes.find_first_of("\r\n");
        Line line{std::string(bytes.substr(0, breakAt)), LineEnd::kNone};
        std::size_t consumed = bytes.size();
        if (breakAt != std::string_view::npos) {
            const bool crlf = bytes[breakAt] == '\r' && breakAt + 1 < bytes.size() && bytes[breakAt + 1] == '\n';
            line.end = crlf ? LineEnd::kCrLf : (bytes[breakAt] == '\n' ? LineEnd::kLf : LineEnd::kCr);
            consumed = breakAt + (crlf ? 2 : 1);
            if (!endSeen) document.m_newLineEnd = line.end;
            endSeen = true;
        }
        document.AddLine(std::move(line));
        bytes.remove_prefix(consumed);
    }
    return document;
}

void ProfileDocument::AddLine(Line line) {
    const std::string_view trimmed = TrimBlanks(line.text);
    if (const auto name = HeaderName(trimmed)) {
        m_sectionIndex.emplace(FoldCase(*name), m_sections.size());
        m_sections.push_back(Section{{std::move(line)}, {}, 0});
        return;
    }
    if (m_sections.empty()) {
        m_preamble.push_back(std::move(line));
        return;
    }
    Section& section = m_sections.back();
    const std::size_t index = section.lines.size();
    if (!trimmed.empty()) {
        section.lastContent = index;
        section.keys.emplace(FoldCase(KeyOf(trimmed)), index);  // emplace keeps the first of duplicates
    }
    section.lines.push_back(std::move(line));
}

std::string ProfileDocument::ToBytes() const {
    std::string bytes(m_hasByteOrderMark ? kByteOrderMark : std::string_view());
    auto append = [&bytes](const Line& line) {
        bytes += line.text;
        bytes += EndText(line.end);
    };
    for (const Line& line : m_preamble) append(line);
    for (const Section& section : m_sections) {
        for (const Line& line : section.lines) append(line);
    }
    return bytes;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section, std::string_view key) const {
    const auto sectionIt = m_sectionIndex.find(FoldCase(section));
    if (sectionIt == m_sectionIndex.end()) return std::nullopt;
    const Section& found = m_sections[sectionIt->second];
    const auto keyIt = found.keys.find(FoldCase(TrimBlanks(key)));
    if (keyIt == found.keys.end()) return std::nullopt;
    const std::string_view value = Unquote(ValueOf(TrimBlanks(found.lines[keyIt->second].text)));
    return std::string(CutAtCharacter(value, kMaxValueBytes));
}

bool ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    key = TrimBlanks(key);
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
    // Such keys would read back as a different key or, with a "]" in the value, as a section header.
    if (key.find('=') != std::string_view::npos || key.starts_with('[')) return false;
    // One stray byte would make the next read take the whole file for legacy GBK and garble its text.
    if (!IsValidUtf8(section) || !IsValidUtf8(key) || !IsValidUtf8(value)) return false;

    const auto sectionIt = m_sectionIndex.find(FoldCase(section));
    if (sectionIt == m_sectionIndex.end()) {
        if (!m_preamble.empty() || !m_sections.empty()) {
            Line& last = LastLine();
            if (last.end == LineEnd::kNone) last.end = m_newLineEnd;
        }
        m_sectionIndex.emplace(FoldCase(section), m_sections.size());
        std::string header;
        header.reserve(section.size() + 2);
        header.append(1, '[').append(section).append(1, ']');
        m_sections.push_back(Section{{NewLine(std::move(header))}, {}, 0});
        return Set(section, key, value);
    }
    Section& found = m_sections[sectionIt->second];
    std::string folded = FoldCase(key);
    if (const auto keyIt = found.keys.find(folded); keyIt != found.keys.end()) {
        // The stored spelling of the key stays; only the value changes.
        Line& line = found.lines[keyIt->second];
        line.text = std::string(KeyOf(TrimBlanks(line.text))) + "=" + std::string(value);
        return true;
    }
    Line& last = found.lines[found.lastContent];
    if (last.end == LineEnd::kNone) last.end = m_newLineEnd;
    // Only blank lines follow lastContent, so no stored key index moves.
    const std::size_t index = found.lastContent + 1;
    found.lines.insert(found.lines.begin() + static_cast<std::ptrdiff_t>(index),
                       NewLine(std::string(key) + "=" + std::string(value)));
    found.keys.emplace(std::move(folded), index);
    found.lastContent = index;
    return true;
}

std::string_view ProfileDocument::EndText(LineEnd end) {
    constexpr std::string_view kTexts[] = {"", "\n", "\r\n", "\r"};
    return kTexts[static_cast<std::size_t>(end)];
}

ProfileDocument::Line& ProfileDocument::LastLine() {
    return m_sections.empty() ? m_preamble.back() : m_sections.back().lines.back();
}

ProfileDocument::Line ProfileDocument::NewLine(std::string text) const {
    return Line{std::move(text), m_newLineEnd};
}

}  // namespace tarvelin
