// Host-name extraction: turns whatever address the user typed into the host name the echo probe resolves,
// together with the 1-based text primitives it is built from. Pure functions of their arguments, no shared
// state: safe to call from any thread, including the sampling workers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// Text primitives over UTF-8 byte strings. Positions are 1-based byte positions and -1 means "not found".
// A character is one UTF-8 sequence (a byte outside any valid sequence is a one-byte character), counted
// from the start of the text; matches begin only at character starts and compare bytes exactly, so an
// empty search text matches at the first character start the search reaches.

// Every byte A to Z becomes a to z; all other bytes, multi-byte characters included, stay as they are.
std::string TextLower(std::string_view text);
// First occurrence of s beginning at position `from` or later. `from` absent or <= 1 searches from the
// start; `from` past the end finds nothing. ignoreCase folds A to Z only.
std::int64_t TextFind(std::string_view text, std::string_view s, std::optional<std::int64_t> from = std::nullopt,
                      bool ignoreCase = false);
// Last occurrence of s lying wholly within positions 1 to from - 1. `from` absent or past the end covers the
// whole text; `from` <= 1 finds nothing.
std::int64_t TextRfind(std::string_view text, std::string_view s, std::optional<std::int64_t> from = std::nullopt);
// The first / last min(n, length) bytes; n <= 0 gives the empty text.
std::string TextLeft(std::string_view text, std::int64_t n);
std::string TextRight(std::string_view text, std::int64_t n);
// Up to n bytes from position p; p outside 1..length or n <= 0 gives the empty text.
std::string TextMid(std::string_view text, std::int64_t p, std::int64_t n);
// Every occurrence of from, left to right without overlap, replaced by to. An empty text or an empty `from`
// leaves the text unchanged.
std::string TextReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// The pieces between occurrences of sep. Empty pieces are kept, except a trailing one; an empty text has no
// pieces, and an empty separator leaves the text whole.
std::vector<std::string> TextSplit(std::string_view text, std::string_view sep);

// The text after the first startMarker (searched from startPosition, absent = from the start) and before
// the next endMarker, or the empty text when either is missing. "#引号" in a marker stands for a double
// quote. ignoreCase (absent = false) makes the markers match regardless of the case of A to Z.
std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        std::optional<int> startPosition = std::nullopt, std::optional<bool> ignoreCase = std::nullopt);

// The host part of an address, lower-cased. Without levels: the text after "https://" at the start, or
// after the first "http://" anywhere (one is assumed when there is none), up to the next "/"; domainOnly
// keeps the last two dot-separated labels. With levels: embedded schemes and everything from the first "/"
// are dropped and the text after a counted dot from the end is kept. Unless keepPort, everything from the
// first ":" on is cut off. Never fails; the result may be empty.
std::string ExtractHostName(std::string_view address, std::optional<bool> domainOnly = std::nullopt,
                            std::optional<bool> keepPort = std::nullopt, std::optional<int> levels = std::nullopt);

}  // namespace tarvelin
