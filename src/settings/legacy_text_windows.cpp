#include <windows.h>

#include "settings/legacy_text.h"

namespace tarvelin {
namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    if (gbk.empty()) return {};
    // Invalid bytes become the code page's default character; the result is valid UTF-8 either way.
    const int inLength = static_cast<int>(gbk.size());
    const int wideLength = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), inLength, nullptr, 0);
    if (wideLength <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), inLength, wide.data(), wideLength);
    const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (utf8Length <= 0) return {};
    std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr, nullptr);
    return utf8;
}

}  // namespace tarvelin
