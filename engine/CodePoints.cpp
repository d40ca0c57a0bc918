#include "CodePoints.h"

namespace codepoints {

namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

size_t DecodeUtf8(const unsigned char* bytes, size_t left, char32_t* codePoint) {
    if (left == 0) return 0;
    unsigned char lead = bytes[0];
    size_t length;
    char32_t minimum;
    char32_t value;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, minimum = 0x80, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, minimum = 0x800, value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, minimum = 0x10000, value = lead & 0x07;
    } else {
        return 0;
    }
    if (length > left) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) return 0;
        value = (value << 6) | (bytes[i] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || IsHighSurrogate(value) || IsLowSurrogate(value)) return 0;
    *codePoint = value;
    return length;
}

size_t DecodeUtf16(char32_t unit, char32_t next, char32_t* codePoint) {
    if (IsHighSurrogate(unit) && IsLowSurrogate(next)) {
        *codePoint = 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00);
        return 2;
    }
    *codePoint = IsHighSurrogate(unit) || IsLowSurrogate(unit) ? 0xFFFD : unit;
    return 1;
}

size_t EncodeUtf16(char32_t codePoint, uint16_t* units) {
    if (codePoint < 0x10000) {
        units[0] = static_cast<uint16_t>(codePoint);
        return 1;
    }
    codePoint -= 0x10000;
    units[0] = static_cast<uint16_t>(0xD800 + (codePoint >> 10));
    units[1] = static_cast<uint16_t>(0xDC00 + (codePoint & 0x3FF));
    return 2;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace codepoints

std::string Utf16ToUtf8(const WCHAR* text) {
    std::string out;
    if (text == nullptr) return out;
    for (size_t i = 0; text[i] != 0;) {
        char32_t codePoint = 0;
        i += codepoints::DecodeUtf16(static_cast<uint16_t>(text[i]), static_cast<uint16_t>(text[i + 1]), &codePoint);
        codepoints::AppendUtf8(out, codePoint);
    }
    return out;
}
