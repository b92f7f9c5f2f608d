// A profile (INI) file held in memory: parsed once, looked up by section and key, changed, and written
// back with every line it does not change kept byte for byte, line ends included. Not thread-safe; one
// owner at a time.
//
// Reading follows the platform's profile functions: lines and the parts of "key=value" lines are trimmed
// of space, tab, CR and LF; a value splits at its first "="; a line with no "=" is a key with an empty
// value; one outer pair of matching quotes is removed from a value; names match without regard to ASCII
// case; of duplicate sections or keys the first wins; lines before the first section belong to none; there
// is no comment syntax. A section header is a trimmed line starting with "[", naming the text up to its
// last "]"; a "[" line with no "]" is an ordinary line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarvelin {

// The longest prefix of text that fits in maxBytes and ends between two UTF-8 characters.
std::string_view CutAtCharacter(std::string_view text, std::size_t maxBytes);

class ProfileDocument {
public:
    // Values are returned cut to this many bytes, at a character boundary: the platform's reads use a
    // buffer of 10,240 bytes including the terminating NUL.
    static constexpr std::size_t kMaxValueBytes = 10239;

    ProfileDocument() = default;

    // Bytes as read from a file. Text that starts with the UTF-16 little-endian byte-order mark is UTF-16;
    // other text that is not valid UTF-8 is taken as legacy GBK; either is held decoded. A leading UTF-8
    // byte-order mark is kept but is not part of the first line.
    static ProfileDocument FromBytes(std::string_view bytes);
    // UTF-8, so a legacy file becomes UTF-8 as a whole once it is written back.
    std::string ToBytes() const;

    // The value, or nothing when the section or the key is absent.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Replaces the value of the key's first line in place, or adds "key=value" after the last non-blank
    // line of the section, or appends the section with the key at the end. Refuses (false, nothing
    // changed) what could not be read back as written: a line break or invalid UTF-8 in any part, a key
    // containing "=" or starting with "[".
    bool Set(std::string_view section, std::string_view key, std::string_view value);

private:
    enum class LineEnd { kNone, kLf, kCrLf, kCr };

    struct Line {
        std::string text;
        LineEnd end = LineEnd::kNone;
    };

    struct Section {
        std::vector<Line> lines;  // lines[0] is the header
        std::unordered_map<std::string, std::size_t> keys;  // folded key name -> first line holding it
        std::size_t lastContent = 0;  // last line that is not blank; new keys go after it
    };

    static std::string_view EndText(LineEnd end);
    void AddLine(Line line);
    Line& LastLine();
    Line NewLine(std::string text) const;

    bool m_hasByteOrderMark = false;
    LineEnd m_newLineEnd = LineEnd::kCrLf;
    std::vector<Line> m_preamble;
    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex;  // folded name -> first section
};

}  // namespace tarvelin
