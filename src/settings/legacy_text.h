// Decoding of the other encodings a settings file may be found in: the legacy Chinese code page (GBK,
// code page 936) that older files hold, and UTF-16. Pure function over its argument; safe on any thread.
#pragma once

#include <string>
#include <string_view>

namespace tarvelin {

// Bytes that are not valid GBK become U+FFFD each, so the result is always valid UTF-8.
std::string GbkToUtf8(std::string_view gbk);

// UTF-16 little-endian bytes (without their byte-order mark), as a text editor's "Unicode" saves a file.
// Unpaired surrogates and an odd last byte become U+FFFD.
std::string Utf16LeToUtf8(std::string_view utf16);

// True when the whole text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace tarvelin
