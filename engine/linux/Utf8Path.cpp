#include "Utf8Path.h"

namespace {

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

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

std::string Utf8PathFromUtf16(LPCWSTR name) {
    std::string out;
    if (name == nullptr) return out;
    for (const WCHAR* unit = name; *unit != 0; ++unit) {
        char16_t first = *unit;
        if (IsHighSurrogate(first) && IsLowSurrogate(unit[1])) {
            char16_t second = *++unit;
            AppendUtf8(out, 0x10000 + ((char32_t(first) - 0xD800) << 10) + (char32_t(second) - 0xDC00));
        } else if (IsHighSurrogate(first) || IsLowSurrogate(first)) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, first);
        }
    }
    return out;
}
