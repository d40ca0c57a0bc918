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
#include <unicode/plurrule.h>
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
    /// German, "1 234,5" in French); nothing when it is not one number (a version "1.2.3",
    /// an address).
    bool Parse(std::u16string_view written, WrittenNumber* number) const;

    /// "one thousand two hundred thirty-four point five"; digit by digit where a number
    /// is rather a code (a leading zero, more than 15 digits). A whole number is said in
    /// `ruleSet` where it is given and the spell-out has it ("eine", "veintiún").
    icu::UnicodeString Cardinal(const WrittenNumber& number, const char* ruleSet = nullptr);
    icu::UnicodeString Cardinal(int64_t number, const char* ruleSet = nullptr);
    /// An ordinal in the language's plain rule set, or in `ruleSet` ("%spellout-ordinal-n").
    icu::UnicodeString Ordinal(int64_t number, const char* ruleSet = nullptr);
    /// A year as people say it ("nineteen ninety-nine"), where the language has a way.
    icu::UnicodeString Year(int64_t number);
    /// Each digit by its name.
    icu::UnicodeString Digits(std::u16string_view digits);
    /// An amount of money in currency `isoCode` ("EUR"): "five euros", with the cents after
    /// it ("five euros fifty"), in the order and plural of the language; named as `name`
    /// says when it is given ("dollars" for "$", where CLDR says "US dollars"). Its number
    /// agrees with the currency's name in the case `inCase`.
    icu::UnicodeString Money(const WrittenNumber& amount, const char* isoCode, const CurrencyName* name,
                             GrammaticalCase inCase);
    /// `amount` of ICU's unit `unit` ("kilometer", "celsius", "percent"): "five
    /// kilometers"; empty when ICU does not know the unit.
    icu::UnicodeString Measure(const WrittenNumber& amount, const char* unit, GrammaticalCase inCase);
    /// A date as the language writes it in full, its day said in `dayRuleSet` (null: as
    /// the language's table says a date's day) and its year as a year: "March fifteenth,
    /// twenty twenty-four"; without a year when `year` is 0.
    icu::UnicodeString Date(int year, int month, int day, const char* dayRuleSet = nullptr);
    /// A clock time, `meridiem` 'a' or 'p' when written with one, else 0: "eight o'clock",
    /// "eight oh five", "acht Uhr dreißig", "une heure".
    icu::UnicodeString Time(int hour, int minute, char meridiem);
    /// n/d in words ("three quarters"); empty when the language's table has no name for d.
    icu::UnicodeString Fraction(int64_t numerator, int64_t denominator);

private:
    icu::UnicodeString Spelled(double number, const icu::UnicodeString& ruleSet);
    /// `name` where the spell-out has a rule set of that name, else `otherwise`.
    const icu::UnicodeString& RuleSetOr(const char* name, const icu::UnicodeString& otherwise);
    /// `formatted` (ICU's amount in words, its number in digits) with the number spelled
    /// out, agreeing with the noun after it in `inCase`.
    icu::UnicodeString WithNumberSpelled(const icu::UnicodeString& formatted, const WrittenNumber& number,
                                         GrammaticalCase inCase);
    /// The formatter of amounts in `unit` (a currency's code, or a unit's identifier), in
    /// full words; made on first use and kept. Null when ICU does not know it.
    const icu::number::LocalizedNumberFormatter* Formatter(const std::string& unit, bool currency);

    icu::Locale locale;
    const LanguageWords& words;
    std::unique_ptr<icu::RuleBasedNumberFormat> spellOut;
    std::unique_ptr<icu::PluralRules> plurals;
    icu::UnicodeString cardinalRules, ordinalRules, yearRules;
    std::map<std::string, icu::UnicodeString> ruleSets;  // RuleSetOr's answers, by name
    icu::UnicodeString pointWord, minusWord;  // "point", "minus": as the spell-out says them
    std::map<std::string, std::unique_ptr<icu::number::LocalizedNumberFormatter>> formatters;
    std::unique_ptr<icu::SimpleDateFormat> dateFormats[2];  // the language's long date, with and without a year
    bool spellsOut = false;
    bool blankGrouping = false;
    char16_t decimalSeparator = u'.';
    char16_t groupingSeparator = u',';
};

/// Whether the language of `tag` groups a number's thousands with a blank: where ICU's
/// grouping symbol is one (French's narrow no-break space), or its table says so.
bool GroupsWithBlanks(std::string_view tag);

/// Whether `c` is a blank a number's thousands may be grouped with.
inline bool IsGroupingBlank(char16_t c) { return c == u' ' || c == u'\u00a0' || c == u'\u202f'; }

}  // namespace text
