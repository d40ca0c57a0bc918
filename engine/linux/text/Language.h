#pragma once
// What the readings share when they read one language: its words and ways of writing,
// its numbers in words, its months, CLDR's names of symbols, and the small readings that
// several of them take part in (an address by its parts, a whole number, a separator).
#include <unicode/unistr.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "LanguageWords.h"
#include "NumberWords.h"
#include "SymbolNames.h"

namespace text {

/// `text` as UTF-8.
std::string Utf8(const icu::UnicodeString& text);
/// `text` as a view of its UTF-16.
std::u16string_view View(const icu::UnicodeString& text);
/// `text` with its first letter in upper case, if it is an ASCII one.
std::string Capitalized(std::string text);
/// `text` quoted for an ICU pattern.
icu::UnicodeString Quoted(const char* text);
/// Alternatives of a pattern, longest first so that "km" is tried before "m"; a pattern
/// that matches nothing when there are none.
icu::UnicodeString Alternatives(std::vector<std::string> texts);

/// One language as the readings read it. Not for two threads at once.
class Language {
public:
    Language(std::string tag, SymbolNames& symbols);

    const std::string tag;  // BCP 47: "en-US"
    const LanguageWords& words;
    /// The names of the twelve months as dates write them, January first; none when ICU
    /// has no calendar for the language.
    const std::vector<icu::UnicodeString> monthNames;
    /// Whether thousands may be grouped with blanks ("1 000 000").
    const bool blankGrouping;
    /// A number as written: digits with separators inside, a sign only where a word could
    /// start. The rows' patterns build on it.
    const icu::UnicodeString numberPattern;

    /// The language's numbers in words, made when a text first has a number: ICU's locale
    /// data is large.
    NumberWords& Numbers();
    /// `word` of the language table as ICU's text; empty for a word it does not have.
    static icu::UnicodeString Word(const char* word);
    /// The region of the tag in upper case ("US" of "en-us"); empty when it has none.
    std::string Region() const;

    /// The number (1 to 12) of the month whose name `piece` holds; 0 when none.
    int MonthIn(const icu::UnicodeString& piece) const;
    /// The number written at the start of `piece` (after `from`), and where it ends.
    bool NumberAt(const icu::UnicodeString& piece, int32_t from, WrittenNumber* number, int32_t* end);
    /// A whole number: a year where it looks like one, else a cardinal (in `ruleSet` where
    /// given: "una", "eine").
    icu::UnicodeString WholeSaid(const icu::UnicodeString& digits, const char* ruleSet = nullptr);
    /// An address's separator in words: this language's, else CLDR's name.
    icu::UnicodeString Separator(char16_t c);
    /// A URL, an e-mail address, a path or an identifier by its parts: words, letters,
    /// numbers and the separators between them ("foo underscore bar dot p y"); an internet
    /// address's numbers digit by digit when `digitsApart`.
    icu::UnicodeString Address(const icu::UnicodeString& address, bool digitsApart = false);
    /// CLDR's name of `symbol` in this language.
    std::string SymbolName(const icu::UnicodeString& symbol);

private:
    SymbolNames& symbols;
    std::unique_ptr<NumberWords> numbers;
};

}  // namespace text
