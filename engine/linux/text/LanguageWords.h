#pragma once
// The few words and ways of writing of a language that reading written text needs and that
// neither ICU nor CLDR gives as people say them: the names of an address's separators
// ("dot", not CLDR's "period"), the clock ("eight o'clock"), ranges, arithmetic, ordinal
// marks, decades, the order of a date's numbers, common abbreviations. One table per
// language; the readings read them and hold no language's rules of their own.
#include <string>
#include <string_view>
#include <vector>

namespace text {

/// An abbreviation as it is written ("e.g.") and as it is said ("for example").
struct Abbreviation {
    const char* written;
    const char* said;
};

/// A currency as people name it when its sign is written ("$5": "five dollars", where
/// CLDR's name is "US dollars").
struct CurrencyName {
    const char* sign;
    const char* one;
    const char* other;
};

/// A language's own words for reading written text. A null word is one this table does
/// not know for the language: the reader then takes CLDR's name for the character, or
/// leaves the text as it is.
struct LanguageWords {
    const char* language = "";  // ISO 639 code: "en"
    // An address's separators: '.', '@', '/', ':', '-', '_'.
    const char* dot = nullptr;
    const char* at = nullptr;
    const char* slash = nullptr;
    const char* colon = nullptr;
    const char* dash = nullptr;
    const char* underscore = nullptr;
    const char* backslash = nullptr;
    const char* ampersand = nullptr;  // '&' in running text: "and"
    const char* hashtag = nullptr;    // '#' before a word
    const char* per = nullptr;        // "$3/gallon": "per"
    const char* rangeTo = nullptr;    // "5-10": "five to ten"
    // Arithmetic and comparison between numbers or words.
    const char* plus = nullptr;
    const char* minus = nullptr;
    const char* equals = nullptr;
    const char* times = nullptr;
    const char* dividedBy = nullptr;
    const char* greaterThan = nullptr;
    const char* lessThan = nullptr;
    const char* plusOrMinus = nullptr;
    // The clock: "{h}" is the hour in words, "{m}" the minutes in words.
    const char* fullHour = nullptr;     // "{h} o'clock"
    const char* hourMinutes = nullptr;  // "{h} {m}"
    const char* clockWord = nullptr;  // written after a time ("17:45 Uhr"), said once
    const char* minutesBelowTen = nullptr;  // "{h} oh {m}": 8:05 is "eight oh five"
    bool twelveHourClock = false;       // 14:30 is said "two thirty p m"
    // Fractions: the name of 1/n for n from 2 to 10, singular and plural.
    const char* fractionNumeratorOne = nullptr;  // "one" half, "ein" Drittel
    const char* const* fractionOne = nullptr;
    const char* const* fractionMany = nullptr;
    const char* ordinalMarks = nullptr;  // written after a number's digits: "st|nd|rd|th" (a pattern)
    bool ordinalDays = true;        // a date's day is said as an ordinal ("March fifteenth")
    bool nounsCapitalized = false;  // a capital letter does not tell that a sentence began
    // Decades: "the 1990s", "die 90er". What is written after the year (a pattern's
    // literal text), whether its century may be left out, and what is said after the
    // year's words: after one that ends in "y" in `saidAfterY` instead of its "y".
    struct Decades {
        const char* written = nullptr;
        bool centuryOptional = false;
        const char* said = "";
        const char* saidAfterY = nullptr;
    } decades;
    const char* monthFirstRegions = "";  // regions that write a date's month before its day: "US"
    const char* mixedFractionOne = nullptr;  // "two and a half": "a"
    std::vector<Abbreviation> abbreviations;
    std::vector<Abbreviation> streets;  // after a street's name: "Main St." is "Main Street"
    std::vector<CurrencyName> currencies;
};

/// The words of the language of BCP 47 tag `tag` ("en-US": English); an empty table (all
/// words null) for a language it does not hold.
const LanguageWords& WordsFor(std::string_view tag);

}  // namespace text
