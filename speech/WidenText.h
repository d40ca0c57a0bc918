#pragma once
#include "engine/Engine.h"

/// Turns a NUL-terminated 8-bit string into a newly allocated NUL-terminated 16-bit
/// string for the engine. Well-formed UTF-8 becomes UTF-16 (a surrogate pair above
/// U+FFFF); any other byte stands for itself (Latin-1), so text from senders that do not
/// speak UTF-8 still comes out readable. The result never has more units than the input
/// has bytes. The caller frees it with free(); null means the allocation failed.
WCHAR* WidenText(const char* text);
