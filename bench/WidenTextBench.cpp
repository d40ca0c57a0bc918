// Widening received text to the engine's 16-bit characters, for the three kinds of text
// senders send: ASCII, UTF-8, and Latin-1 bytes that are not UTF-8.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "SampleTexts.h"
#include "speech/WidenText.h"

namespace {

constexpr size_t kTextBytes = 4096;

void RunWiden(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        WCHAR* wide = WidenText(text.c_str());
        benchmark::DoNotOptimize(wide);
        std::free(wide);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_WidenAscii4K(benchmark::State& state) { RunWiden(state, AsciiText(kTextBytes)); }
void BM_WidenUtf8_4K(benchmark::State& state) { RunWiden(state, Utf8Text(kTextBytes)); }
void BM_WidenLatin1_4K(benchmark::State& state) { RunWiden(state, Latin1Text(kTextBytes)); }

}  // namespace

BENCHMARK(BM_WidenAscii4K);
BENCHMARK(BM_WidenUtf8_4K);
BENCHMARK(BM_WidenLatin1_4K);
