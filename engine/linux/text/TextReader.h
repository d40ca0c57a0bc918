#pragma once
// Written text read aloud in one language, by the table of readings.
#include <unicode/brkiter.h>
#include <unicode/regex.h>
#include <unicode/translit.h>

#include <bitset>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "Language.h"
#include "Readings.h"

namespace text {

/// Reads written text aloud in one language: the rows that hold for it, each its pattern,
/// tried in the table's order in the words that hold what they start with; what no row
/// matched is passed on, its symbols and emoji named. Not for two threads at once.
class TextReader {
public:
    TextReader(const std::string& language, SymbolNames& symbols);

    /// `utf8` as a person reads it aloud; for an engine that says only ASCII when
    /// `asciiOnly`, folded by `folding` where that is given.
    std::string Read(std::string_view utf8, bool asciiOnly, icu::Transliterator* folding);

private:
    /// The stretches of `text` the pattern is tried in: see Candidates in TextReader.cpp.
    std::vector<std::pair<int32_t, int32_t>> Candidates(const icu::UnicodeString& text) const;
    /// Whether a word with `c` in it may hold something a row of this language matches.
    bool IsCandidate(UChar32 c) const;
    /// Whether the word `word` is one a row reads whole or by its ending ("Mme", "Hauptstr."),
    /// or a Roman number where the language reads those.
    bool IsListed(const icu::UnicodeString& word) const;
    /// The text from `from` to `to`, which no row matched: symbols and emoji named.
    icu::UnicodeString Plain(const icu::UnicodeString& text, int32_t from, int32_t to, bool asciiOnly);
    /// What a symbol is called: this language's word where people say one (arithmetic,
    /// "&", "#" by what follows it at `after` in `text`), else CLDR's name; for an
    /// ASCII-only engine, else Unicode's.
    icu::UnicodeString SymbolSaid(const icu::UnicodeString& cluster, UChar32 first, const icu::UnicodeString& text,
                                  int32_t after, bool asciiOnly);
    /// `said` with the words the language runs together run together ("d'un").
    icu::UnicodeString Contracted(icu::UnicodeString said) const;

    /// A row that holds for the language, with its pattern and a matcher of it, which
    /// Read points at the text it reads.
    struct Row {
        const ReadingRow* reading;
        std::unique_ptr<icu::RegexPattern> pattern;
        std::unique_ptr<icu::RegexMatcher> matcher;
    };

    Language language;
    std::vector<Row> rows;  // in the table's order
    unsigned starts = 0;    // what the rows start with (Start flags)
    std::vector<icu::UnicodeString> listed;  // the written forms rows read whole ("e.g.", "Dr.")
    std::unordered_set<std::u16string> listedWords;  // ...those of one word
    int32_t longestListed = 0;
    std::bitset<128> listedFirsts;  // the ASCII letters they start with
    std::vector<icu::UnicodeString> endings;         // the endings rows read ("str.")
    std::unique_ptr<icu::BreakIterator> graphemes;
};

/// `text` with its Latin letters folded to ASCII by `folding` (ICU's Latin-ASCII).
icu::UnicodeString FoldedToAscii(icu::UnicodeString text, icu::Transliterator* folding);

}  // namespace text
