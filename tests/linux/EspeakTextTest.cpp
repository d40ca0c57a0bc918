// What the text handed to espeak-ng says in place of what espeak-ng cannot be trusted
// with. That none of it makes espeak-ng read freed memory is judged by the sanitizer
// suite, which speaks every class (tests/fuzz/regressions/speak-text) through the voice.
#include <gtest/gtest.h>

#include <string>

#include "engine/linux/engines/EspeakText.h"

namespace {

TEST(EspeakSafeText, SaysWhatEachUnsafeClassMeansAndLeavesOrdinaryTextAlone) {
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"plain words", "Hello, world. Grüße!", "Hello, world. Grüße!"},
        {"modern Hangul and Armenian words", "안녕 Բարեւ", "안녕 Բարեւ"},
        {"Bengali and Tamil digits are their values", "৫৬ and ௯", "56 and 9"},
        {"Devanagari danda ends a sentence", "नमस्ते।आप", "नमस्ते. आप"},
        {"Armenian comma parts a sentence", "Բարեւ՝ Ձեզ", "Բարեւ,  Ձեզ"},
        {"Greek symbol letters are their letters", "ϕ=ϑ", "φ=θ"},
        {"circled Latin letters are their letters", "ⓜⒶ", "mA"},
        {"archaic jamo say nothing", "a\u1180b", "a b"},
        {"unassigned code point in a script's block says nothing", "x\u0BE4y", "x y"},
        {"vowel-less Armenian and Georgian words are spelt", "ՀՀ ბგ", "Հ Հ ბ გ"},
        {"a currency sign is kept from a symbol", "$☀ €© $5", "$ ☀ € © $5"},
    };
    for (const auto& c : cases) EXPECT_EQ(EspeakSafeText(c.text), c.expected) << c.name;
}

TEST(EspeakSafeText, PartsEveryRunLongerThanEspeakNgTakes) {
    for (const std::string& piece : {std::string("a"), std::string("é"), std::string("\u0BE6")}) {
        std::string text = "j.";
        while (text.size() < 1000) text += piece;
        std::string safe = EspeakSafeText(text);
        size_t run = 0;
        for (char c : safe) {
            run = c == ' ' ? 0 : run + 1;
            ASSERT_LE(run, kLongestRun) << piece;
        }
    }
}

}  // namespace
