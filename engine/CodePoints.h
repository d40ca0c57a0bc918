#pragma once
// Text between the system's 8-bit strings (UTF-8, with Latin-1 for bytes that are not
// UTF-8) and the engine's 16-bit strings (UTF-16): the one decoder and encoder of code
// points, used by WidenText on the way in and by the Linux engine on the way out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Engine.h"

namespace codepoints {

/// The well-formed UTF-8 sequence at `bytes` (at most `left` bytes available): its length,
/// with the code point in `*codePoint`; 0 when the bytes there are not one (overlong
/// forms, surrogates, values past U+10FFFF and cut sequences are not).
size_t DecodeUtf8(const unsigned char* bytes, size_t left, char32_t* codePoint);

/// The code point that starts with the UTF-16 unit `unit`, followed by `next` (0 at the
/// end of the string): the units it takes, 1 or 2, with the code point in `*codePoint`.
/// An unpaired surrogate is U+FFFD and takes 1.
size_t DecodeUtf16(char32_t unit, char32_t next, char32_t* codePoint);

/// Writes `codePoint` as UTF-16 into `units` (room for 2); returns the units written.
size_t EncodeUtf16(char32_t codePoint, uint16_t* units);

/// Appends `codePoint` as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace codepoints

/// The engine's 16-bit strings (UTF-16, ended by a zero unit) as UTF-8, for the
/// synthesizer's text and the file system's names. An unpaired surrogate becomes U+FFFD
/// rather than ill-formed bytes; null gives an empty string.
std::string Utf16ToUtf8(const WCHAR* text);
