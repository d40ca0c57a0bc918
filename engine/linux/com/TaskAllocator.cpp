// The task allocator: blocks handed between the engine and its callers (format blocks).
#include <cstdlib>

#include "Com.h"

LPVOID CoTaskMemAlloc(size_t size) { return std::malloc(size == 0 ? 1 : size); }

void CoTaskMemFree(LPVOID block) { std::free(block); }
