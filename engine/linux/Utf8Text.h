#pragma once
#include <string>

#include "ComTypes.h"

/// The engine's 16-bit strings (UTF-16, ended by a zero unit) as UTF-8, for the
/// synthesizer's text and the file system's names. An unpaired surrogate becomes U+FFFD
/// rather than ill-formed bytes; null gives an empty string.
std::string Utf16ToUtf8(LPCWSTR text);
