#pragma once
#include <string>

/// Texts of a given size for the benchmarks that take text: plain ASCII, UTF-8 with a mix
/// of two-, three- and four-byte sequences, and Latin-1 bytes that are not UTF-8 (each
/// taken as itself). Each is cut on a character boundary to at most `bytes` bytes.
std::string AsciiText(size_t bytes);
std::string Utf8Text(size_t bytes);
std::string Latin1Text(size_t bytes);

/// An English prose passage of about 200 words, for synthesis.
const char* ProsePassage();
/// The passage over and over, cut after `words` words.
std::string ProseWords(size_t words);
/// The passage over and over, cut after the last word that fits in `bytes` bytes.
std::string ProseText(size_t bytes);
/// The passage's sentences over and over, `count` of them.
std::string ProseSentences(size_t count);
