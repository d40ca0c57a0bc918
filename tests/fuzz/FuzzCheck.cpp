#include <cstdio>
#include <cstdlib>

#include "FuzzTarget.h"

void FuzzCheck(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property does not hold: %s\n", what);
    std::abort();
}
