#include "WidenText.h"

#include <cstdlib>
#include <cstring>

namespace {

/// Length of the well-formed UTF-8 sequence at `bytes` (up to `left` bytes available) and
/// its code point; 0 when the bytes there are not one.
size_t DecodeUtf8(const unsigned char* bytes, size_t left, char32_t& codePoint) {
    unsigned char lead = bytes[0];
    size_t length;
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (length > left) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return 0;
    return length;
}

}  // namespace

WCHAR* WidenText(const char* text) {
    size_t n = std::strlen(text);
    WCHAR* wide = static_cast<WCHAR*>(std::malloc(2 * n + 2));
    if (wide == nullptr) return nullptr;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t out = 0;
    for (size_t i = 0; i < n;) {
        char32_t codePoint = 0;
        size_t length = bytes[i] < 0x80 ? 0 : DecodeUtf8(bytes + i, n - i, codePoint);
        if (length == 0) {
            wide[out++] = static_cast<WCHAR>(bytes[i]);
            ++i;
        } else if (codePoint < 0x10000) {
            wide[out++] = static_cast<WCHAR>(codePoint);
            i += length;
        } else {
            codePoint -= 0x10000;
            wide[out++] = static_cast<WCHAR>(0xD800 + (codePoint >> 10));
            wide[out++] = static_cast<WCHAR>(0xDC00 + (codePoint & 0x3FF));
            i += length;
        }
    }
    wide[out] = 0;
    return wide;
}
