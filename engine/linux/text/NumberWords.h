#pragma once
// Numbers, amounts, measures, dates and clock times in words, in one language, through
// ICU: its rule-based spell-out and CLDR's names and plurals of currencies and units.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include <unicode/locid.h>
#include <unicode/numberformatter.h>
#include <unicode/smpdtfmt.h>
#include <unicode/rbnf.h>
#include <unicode/unistr.h>

#include "LanguageWords.h"

namespace text {

/// A number as written, read into its parts. Digits only, so that nothing is lost to
/// floating point: "-1,234.50" in English is negative, "1234" and "50".
struct WrittenNumber {
    bool negative = false;
    std::string whole;     // digits, without grouping
    std::string fraction;  // digits after the decimal separator; empty when none
};

/// Says numbers and what is counted with them in the language of one BCP 47 tag. A
/// language ICU does not spell out is spelled in ICU's root rules (digits by name).
/// Not for use by two threads at once.
class NumberWords {
public:
    explicit NumberWords(std::string_view languageTag);

    /// Whether ICU spells numbers out in this language. When it does not, its fallback
    /// would be another language's words: the numbers are better left to the engine.
    bool SpellsOut() const { return spellsOut; }

    /// Reads `written` with this language's decimal and grouping separators ("1.234,5" in
    /// German); nothing when it is not one number (a version "1.2.3", an address).
    bool Parse(std::u16string_view written, WrittenNumber* number) const;

    /// "one thousand two hundred thirty-four point five"; digit by digit where a number
    /// is rather a code (a leading zero, more than 15 digits).
    icu::UnicodeString Cardinal(const WrittenNumber& number);
    icu::UnicodeString Cardinal(int64_t number);
    icu::UnicodeString Ordinal(int64_t number);
    /// A year as people say it ("nineteen ninety-nine"), where the language has a way.
    icu::UnicodeString Year(int64_t number);
    /// Each digit by its name.
    icu::UnicodeString Digits(std::u16string_view digits);
    /// An amount of money in currency `isoCode` ("EUR"): "five euros", with the cents after
    /// it ("five euros fifty"), in the order and plural of the language; named as `name`
    /// says when it is given ("dollars" for "$", where CLDR says "US dollars").
    icu::UnicodeString Money(const WrittenNumber& amount, const char* isoCode, const CurrencyName* name = nullptr);
    /// `amount` of ICU's unit `unit` ("kilometer", "celsius", "percent"): "five
    /// kilometers"; empty when ICU does not know the unit.
    icu::UnicodeString Measure(const WrittenNumber& amount, const char* unit);
    /// A date as the language writes it in full, its day an ordinal and its year said as a
    /// year: "March fifteenth, twenty twenty-four"; without a year when `year` is 0.
    icu::UnicodeString Date(int year, int month, int day);
    /// A clock time, `meridiem` 'a' or 'p' when written with one, else 0: "eight o'clock",
    /// "eight oh five", "acht Uhr dreißig".
    icu::UnicodeString Time(int hour, int minute, char meridiem);
    /// n/d in words ("three quarters"); empty when the language's table has no name for d.
    icu::UnicodeString Fraction(int64_t numerator, int64_t denominator);

private:
    icu::UnicodeString Spelled(double number, const icu::UnicodeString& ruleSet);
    icu::UnicodeString WithNumberSpelled(const icu::UnicodeString& formatted, const WrittenNumber& number);
    /// The formatter of amounts in `unit` (a currency's code, or a unit's identifier), in
    /// full words; made on first use and kept. Null when ICU does not know it.
    const icu::number::LocalizedNumberFormatter* Formatter(const std::string& unit, bool currency);

    icu::Locale locale;
    const LanguageWords& words;
    std::unique_ptr<icu::RuleBasedNumberFormat> spellOut;
    icu::UnicodeString cardinalRules, ordinalRules, yearRules;
    icu::UnicodeString pointWord, minusWord;  // "point", "minus": as the spell-out says them
    std::map<std::string, std::unique_ptr<icu::number::LocalizedNumberFormatter>> formatters;
    std::unique_ptr<icu::SimpleDateFormat> dateFormats[2];  // the language's long date, with and without a year
    bool spellsOut = false;
    char16_t decimalSeparator = u'.';
    char16_t groupingSeparator = u',';
};

}  // namespace text
