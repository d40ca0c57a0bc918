#pragma once
// The entry points of a fuzz target. Built with libFuzzer (the fuzz build), libFuzzer
// calls them; built into the ordinary test suite, FuzzReplay.cpp calls them on every file
// of the target's seed corpus and of its regressions, so that whatever a fuzzer once
// found stays fixed under the ordinary and the sanitizer builds.
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

/// Ends the process with a message when a property of the code under test does not hold:
/// a finding, like a crash.
void FuzzCheck(bool holds, const char* what);
