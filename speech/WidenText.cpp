#include "WidenText.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/CodePoints.h"

WCHAR* WidenText(const char* text) {
    size_t n = std::strlen(text);
    WCHAR* wide = static_cast<WCHAR*>(std::malloc(2 * n + 2));
    if (wide == nullptr) return nullptr;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t out = 0;
    for (size_t i = 0; i < n;) {
        char32_t codePoint = 0;
        size_t length = codepoints::DecodeUtf8(bytes + i, n - i, &codePoint);
        if (length == 0) {
            // Not UTF-8: the byte stands for itself, as in Latin-1.
            codePoint = bytes[i];
            length = 1;
        }
        // A sequence of k bytes never needs more than k units, so the block is big enough.
        uint16_t units[2];
        for (size_t k = 0, count = codepoints::EncodeUtf16(codePoint, units); k < count; ++k)
            wide[out++] = static_cast<WCHAR>(units[k]);
        i += length;
    }
    wide[out] = 0;
    return wide;
}
