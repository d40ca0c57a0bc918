// Widening received text to the engine's 16-bit characters, for the three kinds of text
// senders send: ASCII, UTF-8, and Latin-1 bytes that are not UTF-8.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "SampleTexts.h"
#include "speech/WidenText.h"

namespace {

void BM_Widen(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        WCHAR* wide = WidenText(text.c_str());
        benchmark::DoNotOptimize(wide);
        std::free(wide);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Widen, Ascii4K, AsciiText(4096));
BENCHMARK_CAPTURE(BM_Widen, Utf8_4K, Utf8Text(4096));
BENCHMARK_CAPTURE(BM_Widen, Latin1_4K, Latin1Text(4096));
