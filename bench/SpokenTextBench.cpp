// Reading written text aloud, as the voice does before it synthesizes a stretch: a 4 KB
// datagram of prose, and of text full of numbers, money, dates, addresses and emoji, as
// English, German, French and Spanish write them.
#include <benchmark/benchmark.h>

#include <string>

#include "SampleTexts.h"
#include "engine/linux/text/SpokenText.h"

namespace {

const char* const kEnglish =
    "On 2024-03-15 at 8:30 it cost \u20AC5.50 (50% off), 3.5 km from https://example.com/docs; "
    "mail anna.lee@example.com about foo_bar.py, e.g. pages 5-10 \U0001F389. ";
const char* const kGerman =
    "Am 15.03.2024 um 8:30 Uhr kostete es 5,50 \u20AC (50 % Rabatt), 3,5 km von https://beispiel.de/docs; "
    "schreib an anna.lee@beispiel.de wegen foo_bar.py, z. B. Seiten 5-10 \U0001F389, am 3. Mai \u00BD Tasse. ";
const char* const kFrench =
    "Le 15/03/2024 \u00E0 8h30, cela co\u00FBtait 5,50 \u20AC (50 % de remise), \u00E0 3,5 km de https://exemple.fr/docs ; "
    "\u00E9crivez \u00E0 anna.lee@exemple.fr, p. ex. pages 5-10 \U0001F389, le 1er mai \u00BD tasse, 1 000 000 \u20AC. ";
const char* const kSpanish =
    "El 15/03/2024 a las 8:30 costaba 5,50 \u20AC (50 % de descuento), a 3,5 km de https://ejemplo.es/docs; "
    "escribe a ana.lee@ejemplo.es, p. ej. p\u00E1ginas 5-10 \U0001F389, el 3.\u00BA piso, \u00BD taza, 21 personas. ";

std::string WrittenText(size_t bytes, const std::string& line) {
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
BENCHMARK_CAPTURE(BM_ReadAloud, Written4K_flite, WrittenText(4096, kEnglish), "en-US", true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadAloud, Written4K_German, WrittenText(4096, kGerman), "de", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadAloud, Written4K_French, WrittenText(4096, kFrench), "fr", false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadAloud, Written4K_Spanish, WrittenText(4096, kSpanish), "es", false)->Unit(benchmark::kMicrosecond);
