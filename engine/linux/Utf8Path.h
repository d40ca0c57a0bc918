#pragma once
#include <string>

#include "ComTypes.h"

/// Turns a NUL-terminated UTF-16 file name into the UTF-8 bytes the file system takes.
/// A surrogate pair becomes one code point; a lone surrogate, which UTF-8 cannot carry,
/// becomes U+FFFD, so the result is always well-formed.
std::string Utf8PathFromUtf16(LPCWSTR name);
