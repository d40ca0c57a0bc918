// Reading written text aloud, as the voice does before it synthesizes a stretch: a 4 KB
// datagram of prose, and of text full of numbers, money, dates, addresses and emoji.
#include <benchmark/benchmark.h>

#include <string>

#include "SampleTexts.h"
#include "engine/linux/text/SpokenText.h"

namespace {

std::string WrittenText(size_t bytes) {
    const std::string line =
        "On 2024-03-15 at 8:30 it cost \u20AC5.50 (50% off), 3.5 km from https://example.com/docs; "
        "mail anna.lee@example.com about foo_bar.py, e.g. pages 5-10 \U0001F389. ";
    std::string text;
    while (text.size() + line.size() <= bytes) text += line;
    return text;
}

void BM_ReadAloud(benchmark::State& state, const std::string& text, const char* language, bool asciiOnly) {
    static text::FrontEnd frontEnd;
    frontEnd.ReadAloud(text, {language, asciiOnly});  // ICU's data, CLDR's names: read once a process
    for (auto _ : state) benchmark::DoNotOptimize(frontEnd.ReadAloud(text, {language, asciiOnly}));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

}  // namespace

BENCHMARK_CAPTURE(BM_ReadAloud, Prose4K_flite, ProseText(4096), "en-US", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadAloud, Written4K_flite, WrittenText(4096), "en-US", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadAloud, Written4K_German, WrittenText(4096), "de", false)->Unit(benchmark::kMicrosecond);
