#pragma once
// The words and ways of writing of a language that reading written text needs and that
// neither ICU nor CLDR gives as people say them: the names of an address's separators
// ("dot", not CLDR's "period"), the clock ("eight o'clock", "huit heures"), ranges,
// arithmetic, ordinal marks ("3rd", "3e", "3.º"), decades, the order of a date's numbers,
// telephone numbers, common abbreviations, and the little grammar a number or a fraction
// takes from the words beside it ("am dritten Mai", "una taza", "eine halbe Tasse"). One
// table per language (EnglishWords.cpp, GermanWords.cpp, ...); the readings read them and
// hold no language's rules of their own. What ICU knows (decimal and grouping symbols,
// the spell-out's rule sets, month names) is read from ICU, not written here.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace text {

/// An abbreviation as it is written ("e.g.") and as it is said ("for example").
struct Abbreviation {
    const char* written;
    const char* said;
};

/// A currency as people name it when its sign is written ("$5": "five dollars", where
/// CLDR's name is "US dollars"), and its hundredth ("$0.99": "ninety-nine cents").
struct CurrencyName {
    const char* sign;
    const char* one;
    const char* other;
    const char* centOne = nullptr;
    const char* centOther = nullptr;
};

/// A unit as this language abbreviates it where the shared list does not ("Mo" in
/// French), with ICU's identifier of the unit ("megabyte").
struct UnitAbbreviation {
    const char* written;
    const char* unit;
};

/// The grammatical genders and cases a number or a fraction agrees in. A language without
/// them says every number in its plain form.
enum class Gender { Masculine, Feminine, Neuter };
enum class GrammaticalCase { Nominative, Accusative, Dative };
constexpr int kGenders = 3;
constexpr int kCases = 3;

/// How a noun's gender is told from how it is written, where a number before it must
/// agree: by the longest of `endings` it ends with, else `otherwise`; the words listed (in
/// lower case, singular) win over endings. A plural is told by its singular, an "s" (or
/// "es") less, where `pluralsEndInS`.
struct NounGenders {
    Gender otherwise = Gender::Masculine;
    std::vector<std::pair<const char*, Gender>> endings;
    std::vector<const char*> masculine;
    std::vector<const char*> feminine;
    std::vector<const char*> neuter;
    bool pluralsEndInS = false;
};

/// An ordinal's mark as written after its digits ("rd", "e", ".º"), the spell-out's rule
/// set it is said with, and the one number it goes with where it is written only after
/// that one ("1er"); 0 for any.
struct OrdinalMark {
    const char* written;
    const char* ruleSet;
    int only = 0;
    const char* beforeNoun = nullptr;  // the rule set before what it counts, where other: "tercer piso"
    const char* said = nullptr;        // a word of its own the spell-out does not have: "2nd" is "second"
};

/// An ordinal written with a bare dot ("am 3. Mai", "der 2. Weltkrieg"): said in the rule
/// set of the first row whose word comes right before it; where `afterCaseWord`, only
/// when that word itself follows a word that governs a case ("in der 3. Auflage"); where
/// `byGender` is given, in the gender of the noun after it ("mein erster Versuch").
struct OrdinalAfter {
    std::vector<const char*> words;
    const char* ruleSet;
    bool afterCaseWord = false;
    const char* byGender[kGenders] = {};
};

/// The words that put what follows them in a case ("mit" the dative).
struct CaseWords {
    GrammaticalCase grammaticalCase;
    std::vector<const char*> words;
};

/// One way a clock time is written: the hour, `separator`, the minutes. "h" with
/// `spaced` reads "8h30" and "8 h 30"; `minutesOptional` reads "14h" too; with
/// `needsClockWord` the form is a time only before the language's word for the clock
/// ("9.30 Uhr", "14 Uhr").
struct ClockForm {
    const char* separator;
    bool spaced = false;
    bool minutesOptional = false;
    bool needsClockWord = false;
};

/// How the language says a clock time. In the templates "{h}" is the hour in words and
/// "{m}" the minutes; the first of a pair is for one hour ("une heure"), the second for
/// the others.
struct Clock {
    std::vector<ClockForm> forms = {{":"}};
    const char* fullHour[2] = {"{h}", "{h}"};      // "{h} o'clock"
    const char* hourMinutes[2] = {"{h} {m}", "{h} {m}"};
    const char* afternoon = nullptr;        // hours 13 to 23, where said otherwise: "{h} {m}"
    const char* minutesBelowTen = nullptr;  // "{h} oh {m}": 8:05 is "eight oh five"
    std::vector<std::pair<int, const char*>> minuteWords;  // minutes said as a word: 30, "media"
    const char* word = nullptr;  // written after a time ("17:45 Uhr"), said once
    const char* hourRuleSet = nullptr;    // the spell-out's rule set for the hour: "ein Uhr", "une heure"
    const char* minuteRuleSet = nullptr;
    bool twelveHour = false;  // 14:30 is said "two thirty p m"
};

/// How fractions are said: 1/n for n from 2 to 10, singular and plural; a half as it
/// is said alone, before a noun (by the noun's case and gender) and after a whole
/// number ("{n}" the number: "{n} and a half", "{n}einhalb").
struct Fractions {
    const char* numeratorOne = nullptr;  // "one" half, "ein" Drittel
    const char* const* one = nullptr;
    const char* const* many = nullptr;
    const char* halfAlone = nullptr;
    const char* halfBefore[kCases][kGenders] = {};  // "eine halbe", "une demi-" (a hyphen: joined)
    const char* mixedHalf = nullptr;
    const char* mixedHalfBefore[kGenders] = {};  // "{n} {noun} y media": the noun inside
    const char* mixedRuleSet = nullptr;  // the whole number's rule set there: "eineinhalb"
    const char* mixedOne = nullptr;  // "two and a half": "a", for other fractions' "one"
    const char* of = nullptr;        // between a fraction and its noun: "trois quarts de tasse"
    const char* ofBeforeVowel = nullptr;  // "un quart d'heure"
};

/// Decades: "the 1990s", "die 90er". What is written after the year (a pattern's literal
/// text), whether its century may be left out, and what is said after the year's words:
/// after one that ends in "y" in `saidAfterY` instead of its "y".
struct Decades {
    const char* written = nullptr;
    bool centuryOptional = false;
    const char* said = "";
    const char* saidAfterY = nullptr;
};

/// A language's own words for reading written text. A null word is one this table does
/// not know for the language: the reader then takes CLDR's name for the character, or
/// leaves the text as it is.
struct LanguageWords {
    const char* language = "";  // ISO 639 code: "en"
    const char* region = "";    // where the table is a region's ("GB"); empty for the language's
    // An address's separators: '.', '@', '/', ':', '-', '_'.
    const char* dot = nullptr;
    const char* at = nullptr;
    const char* slash = nullptr;
    const char* colon = nullptr;
    const char* dash = nullptr;
    const char* underscore = nullptr;
    const char* backslash = nullptr;
    const char* ampersand = nullptr;   // '&' in running text: "and"
    const char* hashtag = nullptr;     // '#' before a word
    const char* numberSign = nullptr;  // '#' before a number: "number"
    const char* hashKey = nullptr;     // '#' alone, the key: "pound", "Raute"
    const char* per = nullptr;         // "$3/gallon": "per"
    const char* rangeTo = nullptr;     // "5-10": "five to ten"
    const char* scoreTo = nullptr;     // "2:1": "zwei zu eins"
    std::vector<const char*> numberSignBefore;  // words '#' alone is "number" before: "# of items"
    // Arithmetic and comparison between numbers or words.
    const char* plus = nullptr;
    const char* minus = nullptr;
    const char* equals = nullptr;
    const char* times = nullptr;
    const char* multiple = nullptr;  // "3x": "three times"; `times` where null
    const char* dividedBy = nullptr;
    const char* greaterThan = nullptr;
    const char* lessThan = nullptr;
    const char* plusOrMinus = nullptr;
    Clock clock;
    Fractions fractions;
    Decades decades;
    std::vector<OrdinalMark> ordinalMarks;  // written after a number's digits
    std::vector<OrdinalMark> romanMarks;    // written after a Roman number: "XIXe"
    std::vector<const char*> romanAfter;    // words a Roman number is said as a cardinal after: "siglo"
    // A Roman number after a name, as a ruler's: "Louis XIV" is "Louis quatorze"; said as
    // an ordinal up to `regnalOrdinalsUpTo` ("Felipe VI": "Felipe sexto"), as a cardinal
    // above. Only numbers up to 39 in two letters or more: "CV", "XL", "X" are as often not.
    bool romanAfterNames = false;
    int regnalOrdinalsUpTo = 0;
    std::vector<OrdinalAfter> ordinalsAfter;  // ordinals written with a dot, by the word before
    const char* dayRuleSet = nullptr;  // a date's day with no word before it that says more
    // A date's day is said as an ordinal ("March fifteenth"), or only the first ("le
    // premier mai", "le deux mai"): as most languages without a table of their own do
    // (Italian "primo maggio", "quindici marzo").
    bool ordinalDays = false;
    bool firstDayOrdinal = true;
    bool yearsAsCardinals = false;     // 1987 is "mille neuf cent quatre-vingt-sept"
    bool decimalsAsNumber = false;     // 3,14 is "trois virgule quatorze", not "... un quatre"
    bool groupsWithBlanks = false;     // "1 000 000" is one number, whatever ICU's own blank
    bool nounsCapitalized = false;     // a capital letter does not tell that a sentence began
    const char* monthFirstRegions = "";  // regions that write a date's month before its day: "US"
    bool dayMonthDotted = false;         // "am 15.3." is a date without its year
    bool monthNamedFirst = false;        // "March 15" is a date: its name before its day
    // What numbers agree with: the gender of the noun after them, the case of the word
    // before ("mit einer Tasse"); the rule set of each pair (null: the plain numbering).
    NounGenders genders;
    std::vector<CaseWords> caseWords;
    const char* cardinalBefore[kCases][kGenders] = {};
    std::vector<const char*> notNouns;  // lower-case words after a number that are not what it counts
    // Articles that tell a number's gender where no noun follows it: "a la 1", "las 21".
    std::vector<std::pair<const char*, Gender>> articleGenders;
    // After an amount of millions: "un million d'euros", "un millón de euros".
    const char* millionsOf = nullptr;
    const char* millionsOfBeforeVowel = nullptr;
    // Telephone numbers as the language writes them (ICU patterns), read by their groups
    // digit by digit, or by pairs as numbers where `phonePairs` ("zéro un, vingt-trois").
    std::vector<const char*> phones;
    bool phonePairs = false;
    // Words that run together in writing when the readings put them side by side: "de un"
    // is "d'un".
    std::vector<Abbreviation> contractions;
    std::vector<Abbreviation> abbreviations;
    std::vector<Abbreviation> streets;         // after a street's name: "Main St." is "Main Street"
    std::vector<Abbreviation> streetSuffixes;  // ending a street's name: "Hauptstr." is "Hauptstraße"
    std::vector<CurrencyName> currencies;
    std::vector<UnitAbbreviation> units;
};

/// The words of the language of BCP 47 tag `tag` ("en-US": English; "en-GB": British
/// English, where its table differs); for a language it does not hold, a table with only
/// what many write alike (the ordinal marks "º" and "ª" of Italian and Portuguese).
const LanguageWords& WordsFor(std::string_view tag);

// The tables, one per language (and region where it differs).
LanguageWords EnglishWords();
LanguageWords BritishEnglishWords();
LanguageWords GermanWords();
LanguageWords FrenchWords();
LanguageWords SpanishWords();
LanguageWords OtherLanguageWords();

}  // namespace text
