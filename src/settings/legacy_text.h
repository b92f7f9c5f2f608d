// Decoding of text in the legacy Chinese code page (GBK, code page 936), which older settings files
// hold. Pure function over its argument; safe on any thread.
#pragma once

#include <string>
#include <string_view>

namespace tarvelin {

// Bytes that are not valid GBK become U+FFFD each, so the result is always valid UTF-8.
std::string GbkToUtf8(std::string_view gbk);

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace tarvelin
