#pragma once
#include <cstddef>
#include <string>
#include <string_view>

/// Words from any sender, made safe for espeak-ng to read. Two faults of espeak-ng 1.51
/// are kept from it:
/// - A letter, a dot and then some 170 bytes without a blank ("j.aaa...") overflow a
///   buffer on its stack, which ends the process. No word of any language comes near
///   that length, so a run of bytes without white space is parted by a blank every
///   kLongestRun bytes (where a character starts).
/// - Asked for the name of a character that belongs to another language's table and
///   that table does not name (an Indic digit or sign, an archaic Hangul jamo, a code
///   point no character has been given yet in such a block, a Greek symbol letter),
///   espeak-ng switches its second translator and goes on reading the one it has just
///   freed. Such code points never reach it: each class of them is given something
///   espeak-ng reads safely instead (kUnsafeCodePoints in EspeakText.cpp, and
///   docs/reliability.md, say what and why).
/// Everything else is left as it is.
std::string EspeakSafeText(std::string_view utf8);

/// The longest run of bytes without white space that espeak-ng is given.
constexpr size_t kLongestRun = 128;
