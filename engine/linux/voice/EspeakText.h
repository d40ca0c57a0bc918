#pragma once
#include <string>
#include <string_view>

/// Words from any sender, made safe for espeak-ng to read. In espeak-ng 1.51 a letter, a
/// dot and then some 170 bytes without a blank ("j.aaa...") overflow a buffer on its
/// stack, which ends the process. No word of any language comes near that length, so a
/// run of bytes without white space is parted by a blank every kLongestRun bytes (where
/// a character starts); everything else is left as it is.
std::string EspeakSafeText(std::string_view utf8);

/// The longest run of bytes without white space that espeak-ng is given.
constexpr size_t kLongestRun = 128;
