#pragma once
// The front end's table of readings (Readings.cpp): each way written text is read aloud
// is one row, with where it may start, its pattern, its reader and the languages it holds
// for. The front end makes each row's pattern for the language and tries the rows in the
// table's order (an earlier row wins where two match at one place), only in the words that
// hold what some row starts with. Adding a reading is adding a row; what differs between
// languages is data in their tables (LanguageWords), never a condition in a reader.
#include <unicode/unistr.h>

#include <cstdint>
#include <vector>

#include "Language.h"

namespace text {

/// What a word must hold for a row's pattern to be tried in it: most of a text is plain
/// words, which the patterns would each be tried at in vain.
enum Start : unsigned {
    kDigit = 1u << 0,         // an ASCII digit
    kSlash = 1u << 1,         // '/'
    kAt = 1u << 2,            // '@'
    kUnderscore = 1u << 3,    // '_'
    kFractionSign = 1u << 4,  // '½' and the like
    kInnerDot = 1u << 5,      // a dot with a letter or digit after it ("example.com")
    kListed = 1u << 6,        // it is one of the written forms the row lists ("e.g.", "Dr.")
    kHash = 1u << 7,          // '#'
    kRoman = 1u << 8,         // a Roman number in capitals, perhaps with a mark: "XIX", "XIXe"
};

/// What a row's pattern matched.
struct Match {
    const icu::UnicodeString& piece;  // the text matched
    const icu::UnicodeString& text;   // the whole text
    int32_t begin;                    // where the match begins in `text`
    int32_t end;                      // ...and ends
};

/// One reading.
struct ReadingRow {
    const char* name;  // letters only
    unsigned start;    // Start flags: where it may start
    /// Its pattern in `language` (ICU's syntax, no groups of its own that are named);
    /// one that matches nothing ("(?!)") where the language has no words for it.
    icu::UnicodeString (*pattern)(const Language& language);
    /// What a person says for `match`; empty to leave it as written.
    icu::UnicodeString (*read)(Language& language, const Match& match);
    /// The languages it holds for: true for numbers read in words, which hold only where
    /// ICU spells out the language's numbers (elsewhere the engine reads them)...
    bool spellsNumbers;
    /// ...and, where not null, only where the language's table has what it reads.
    bool (*holds)(const LanguageWords& words);
    /// The written forms it reads whole, where it has a list (kListed): they make a word
    /// worth trying when nothing else in it does; and those a word may end with
    /// ("Hauptstr.").
    const std::vector<Abbreviation>* (*listed)(const LanguageWords& words);
    const std::vector<Abbreviation>* (*endings)(const LanguageWords& words);
};

/// The rows, in the order they are tried.
const std::vector<ReadingRow>& Readings();

// The rows' patterns and readers, by what they read.
// AddressReadings.cpp
icu::UnicodeString StreetPattern(const Language& language);
icu::UnicodeString ReadStreet(Language& language, const Match& match);
icu::UnicodeString StreetSuffixPattern(const Language& language);
icu::UnicodeString ReadStreetSuffix(Language& language, const Match& match);
icu::UnicodeString AbbreviationPattern(const Language& language);
icu::UnicodeString ReadAbbreviation(Language& language, const Match& match);
icu::UnicodeString UrlPattern(const Language& language);
icu::UnicodeString ReadUrl(Language& language, const Match& match);
icu::UnicodeString WwwPattern(const Language& language);
icu::UnicodeString EmailPattern(const Language& language);
icu::UnicodeString PathPattern(const Language& language);
icu::UnicodeString IdentifierPattern(const Language& language);
icu::UnicodeString FilePattern(const Language& language);
icu::UnicodeString ReadAddress(Language& language, const Match& match);
icu::UnicodeString PhonePattern(const Language& language);
icu::UnicodeString ReadPhone(Language& language, const Match& match);
// TimeReadings.cpp
icu::UnicodeString IsoDatePattern(const Language& language);
icu::UnicodeString ReadIsoDate(Language& language, const Match& match);
icu::UnicodeString DottedDatePattern(const Language& language);
icu::UnicodeString ReadDottedDate(Language& language, const Match& match);
icu::UnicodeString NamedDatePattern(const Language& language);
icu::UnicodeString ReadNamedDate(Language& language, const Match& match);
icu::UnicodeString SlashDatePattern(const Language& language);
icu::UnicodeString ReadSlashDate(Language& language, const Match& match);
icu::UnicodeString HourPattern(const Language& language);
icu::UnicodeString ClockPattern(const Language& language);
icu::UnicodeString ReadClock(Language& language, const Match& match);
// AmountReadings.cpp
icu::UnicodeString MoneyPattern(const Language& language);
icu::UnicodeString ReadMoney(Language& language, const Match& match);
icu::UnicodeString MeasurePattern(const Language& language);
icu::UnicodeString ReadMeasure(Language& language, const Match& match);
// NumberReadings.cpp
icu::UnicodeString MultiplePattern(const Language& language);
icu::UnicodeString ReadMultiple(Language& language, const Match& match);
icu::UnicodeString DecadePattern(const Language& language);
icu::UnicodeString ReadDecade(Language& language, const Match& match);
icu::UnicodeString OrdinalPattern(const Language& language);
icu::UnicodeString ReadOrdinal(Language& language, const Match& match);
icu::UnicodeString RomanPattern(const Language& language);
icu::UnicodeString ReadRoman(Language& language, const Match& match);
icu::UnicodeString NumberSignPattern(const Language& language);
icu::UnicodeString ReadNumberSign(Language& language, const Match& match);
icu::UnicodeString ScorePattern(const Language& language);
icu::UnicodeString ReadScore(Language& language, const Match& match);
icu::UnicodeString RangePattern(const Language& language);
icu::UnicodeString ReadRange(Language& language, const Match& match);
icu::UnicodeString FractionPattern(const Language& language);
icu::UnicodeString ReadFraction(Language& language, const Match& match);
icu::UnicodeString FractionSignPattern(const Language& language);
icu::UnicodeString ReadFractionSign(Language& language, const Match& match);
icu::UnicodeString NumberPattern(const Language& language);
icu::UnicodeString ReadNumber(Language& language, const Match& match);

}  // namespace text
