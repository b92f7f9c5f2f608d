// Conversions between stored setting texts and the values the window uses: decimal integers and the
// "title||address" form of a stored target. Pure functions; safe on any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// Skips leading blanks (ASCII white space and the ideographic space), reads an optional sign and the
// digits after it, stops at the first other character. Full-width digits and signs count as ASCII ones.
// No digits gives 0; values past the 32-bit range give the nearest bound.
std::int32_t TextToInteger(std::string_view text);

std::string IntegerToText(std::int32_t value);

// Splits a stored target at its first "||": no parts for an empty entry; one part (the whole entry, or
// the text before "||" when nothing follows it); else two parts, the second ending at the next "||".
std::vector<std::string> SplitTargetEntry(std::string_view entry);

std::string JoinTargetEntry(std::string_view title, std::string_view address);

// Length of text in the legacy two-byte code page: one byte per ASCII character, two per other
// character. Font face names are limited in those bytes.
std::size_t LegacyByteLength(std::string_view text);

}  // namespace tarvelin
