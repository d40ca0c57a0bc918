#pragma once
#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

/// Death tests only see standard error: a child that is about to die calls this so the
/// messages it prints on standard output can be matched too.
inline void StdoutIntoStderr() {
    std::fflush(stdout);
#ifdef _WIN32
    _dup2(_fileno(stderr), _fileno(stdout));
#else
    dup2(fileno(stderr), fileno(stdout));
#endif
}
