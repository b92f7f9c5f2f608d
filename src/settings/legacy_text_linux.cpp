#include <iconv.h>

#include <cerrno>

#include "settings/legacy_text.h"

namespace tarvelin {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

class IconvHandle {
public:
    IconvHandle() : m_handle(iconv_open("UTF-8", "GBK")) {}
    ~IconvHandle() {
        if (IsOpen()) iconv_close(m_handle);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool IsOpen() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_handle; }

private:
    iconv_t m_handle;
};

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    std::string result;
    IconvHandle converter;
    if (!converter.IsOpen()) {
        // Without the converter the ASCII part is still worth keeping.
        for (const char c : gbk) {
            if (static_cast<unsigned char>(c) < 0x80) {
                result += c;
            } else {
                result += kReplacement;
            }
        }
        return result;
    }
    char buffer[4096];
    char* in = const_cast<char*>(gbk.data());  // iconv's POSIX signature is not const-correct
    std::size_t inLeft = gbk.size();
    while (inLeft > 0) {
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(converter.Get(), &in, &inLeft, &out, &outLeft);
        result.append(buffer, static_cast<std::size_t>(out - buffer));
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // An invalid or truncated sequence: replace its first byte and go on from the next one.
        result += kReplacement;
        ++in;
        --inLeft;
        iconv(converter.Get(), nullptr, nullptr, nullptr, nullptr);
    }
    return result;
}

}  // namespace tarvelin
