#pragma once
#include <string>

#include "ComTypes.h"

/// The engine's 16-bit text (UTF-16, ended by a zero unit) as UTF-8 for the synthesizer.
/// An unpaired surrogate becomes U+FFFD rather than ill-formed bytes.
std::string Utf16ToUtf8(LPCWSTR text);
