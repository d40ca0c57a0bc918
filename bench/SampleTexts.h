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
