#pragma once
// The little grammar a number, an ordinal or a fraction takes from the words beside it:
// the gender of the noun after it ("una taza"), the case the word before it governs ("mit
// einer Tasse", "am dritten Mai"). Only what the word before and the word after decide;
// the rules and words are the language's table's (LanguageWords).
#include <unicode/unistr.h>

#include <cstdint>

#include "LanguageWords.h"

namespace text {

/// The words around a stretch of text: the two before it (in lower case; empty past a
/// punctuation mark or the start) and the one after it as written (empty when a
/// punctuation mark or the end comes first).
struct Neighbours {
    icu::UnicodeString before;
    icu::UnicodeString beforeThat;
    icu::UnicodeString after;
};
Neighbours NeighboursOf(const icu::UnicodeString& text, int32_t begin, int32_t end);

/// Whether `word`, right after a number, is what the number counts: a noun as the
/// language writes one (a capital in German, else a word its table does not list as one
/// of those that come between).
bool IsCounted(const LanguageWords& words, const icu::UnicodeString& word);

/// The gender of the noun `noun` as the language's table tells it.
Gender GenderOf(const LanguageWords& words, const icu::UnicodeString& noun);

/// The case the word `before` puts what follows it in; nominative for any other word.
GrammaticalCase CaseAfter(const LanguageWords& words, const icu::UnicodeString& before);

/// The spell-out's rule set a whole number is said in before what it counts; null for
/// the plain numbering (nothing counted after it, or a language without agreement).
const char* CardinalRuleSet(const LanguageWords& words, const Neighbours& around);

/// The rule set of an ordinal written with a bare dot after the words `around` ("am 3."):
/// null when no word before it says it is one.
const char* OrdinalAfterRuleSet(const LanguageWords& words, const Neighbours& around);

}  // namespace text
