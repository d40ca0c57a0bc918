// Readings of numbers: cardinals, decimals and negatives, years, decades, ordinals (with
// their marks, a bare dot, or in Roman numerals), ranges, fractions written with a slash
// or as one sign, multiples ("3x"), numbers after '#'.
#include <unicode/uchar.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "Grammar.h"
#include "Readings.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

namespace {

/// The digits `piece` starts with.
int32_t DigitsAt(const UnicodeString& piece, int32_t from = 0) {
    int32_t end = from;
    while (end < piece.length() && IsDigit(piece[end])) ++end;
    return end;
}

/// The written forms of `marks`.
std::vector<std::string> Written(const std::vector<OrdinalMark>& marks) {
    std::vector<std::string> written;
    for (const OrdinalMark& mark : marks) written.emplace_back(mark.written);
    return written;
}

/// The ordinal `number` written with `mark` after it, before the words `around`; empty
/// when the mark is not one of `marks`, or not written after that number ("2er").
UnicodeString OrdinalWithMark(Language& language, int64_t number, const UnicodeString& mark,
                              const std::vector<OrdinalMark>& marks, const Neighbours& around) {
    for (const OrdinalMark& written : marks) {
        if (mark != UnicodeString::fromUTF8(written.written) || (written.only != 0 && written.only != number)) continue;
        if (written.said != nullptr) return UnicodeString::fromUTF8(written.said);
        const bool beforeNoun = written.beforeNoun != nullptr && IsCounted(language.words, around.after);
        return language.Numbers().Ordinal(number, beforeNoun ? written.beforeNoun : written.ruleSet);
    }
    return {};
}

/// The value of a Roman number in capitals, written as it should be ("XIX", not "XVIIII");
/// 0 when it is not one.
int RomanValue(const UnicodeString& letters) {
    auto value = [](char16_t c) {
        switch (c) {
            case u'I': return 1;
            case u'V': return 5;
            case u'X': return 10;
            case u'L': return 50;
            case u'C': return 100;
            case u'D': return 500;
            case u'M': return 1000;
            default: return 0;
        }
    };
    int total = 0;
    for (int32_t i = 0; i < letters.length(); ++i) {
        int here = value(letters[i]), next = i + 1 < letters.length() ? value(letters[i + 1]) : 0;
        if (here == 0) return 0;
        total += here < next ? -here : here;
    }
    if (total <= 0 || total >= 4000) return 0;
    // Written back as it should be, it must read the same.
    static constexpr std::pair<int, const char16_t*> kParts[] = {
        {1000, u"M"}, {900, u"CM"}, {500, u"D"}, {400, u"CD"}, {100, u"C"}, {90, u"XC"}, {50, u"L"},
        {40, u"XL"},  {10, u"X"},   {9, u"IX"},  {5, u"V"},    {4, u"IV"},  {1, u"I"}};
    UnicodeString canonical;
    int left = total;
    for (const auto& [part, written] : kParts)
        for (; left >= part; left -= part) canonical += written;
    return canonical == letters ? total : 0;
}

/// A fraction n/d (after the whole number `whole` when it is not empty) before the word
/// `noun` (empty when none), which its reading says after it: "eine halbe Tasse",
/// "trois quarts de tasse", "zweieinhalb", "two and a half".
UnicodeString FractionSaid(Language& language, const Match& match, const UnicodeString& whole, int64_t numerator,
                           int64_t denominator, const UnicodeString& noun) {
    const LanguageWords& words = language.words;
    const Fractions& fractions = words.fractions;
    NumberWords& numbers = language.Numbers();
    const bool counted = IsCounted(words, noun);
    const UnicodeString after = noun.isEmpty() ? UnicodeString() : u" " + noun;
    const bool half = numerator == 1 && denominator == 2;
    if (half && whole.isEmpty()) {
        if (counted) {
            const int grammaticalCase = static_cast<int>(CaseAfter(words, NeighboursOf(match.text, match.begin, match.begin).before));
            if (const char* before = fractions.halfBefore[grammaticalCase][static_cast<int>(GenderOf(words, noun))]) {
                const UnicodeString said = UnicodeString::fromUTF8(before);
                return said.endsWith(u"-") ? said + noun : said + after;
            }
        }
        if (fractions.halfAlone != nullptr) return UnicodeString::fromUTF8(fractions.halfAlone) + after;
    }
    UnicodeString part = numbers.Fraction(numerator, denominator);
    if (part.isEmpty()) part = numbers.Cardinal(numerator) + u" " + language.Separator(u'/') + u" " + numbers.Cardinal(denominator);
    if (!whole.isEmpty()) {
        if (half && fractions.mixedHalf != nullptr) {
            WrittenNumber number;
            number.whole = Utf8(whole);
            // "dos horas y media": the noun inside, where the language says it so; after one,
            // in the singular ("una hora y media").
            const char* before = counted ? fractions.mixedHalfBefore[static_cast<int>(GenderOf(words, noun))] : nullptr;
            if (before != nullptr) {
                UnicodeString counting(noun);
                if (number.whole == "1" && words.genders.pluralsEndInS && counting.endsWith(u"s"))
                    counting.truncate(counting.length() - 1);
                UnicodeString said = UnicodeString::fromUTF8(before);
                const char* ruleSet = CardinalRuleSet(words, {UnicodeString(), UnicodeString(), counting});
                return said.findAndReplace(u"{n}", numbers.Cardinal(number, ruleSet)).findAndReplace(u"{noun}", counting);
            }
            UnicodeString said = UnicodeString::fromUTF8(fractions.mixedHalf);
            return said.findAndReplace(u"{n}", numbers.Cardinal(number, fractions.mixedRuleSet)) + after;
        }
        // "two and a half", where the language says so.
        const UnicodeString one = Language::Word(fractions.numeratorOne);
        if (fractions.mixedOne != nullptr && !one.isEmpty() && part.startsWith(one + u" "))
            part.replace(0, one.length(), UnicodeString::fromUTF8(fractions.mixedOne));
        const char* and_ = words.ampersand != nullptr ? words.ampersand : "";
        return language.WholeSaid(whole) + u" " + UnicodeString::fromUTF8(and_) + u" " + part + after;
    }
    // Unless the text says it already: "un quart d'heure".
    const bool saysOf = fractions.of != nullptr && (UnicodeString(noun).toLower() == UnicodeString::fromUTF8(fractions.of) ||
                                                    (fractions.ofBeforeVowel != nullptr &&
                                                     noun.startsWith(UnicodeString::fromUTF8(fractions.ofBeforeVowel))));
    if (counted && fractions.of != nullptr && !saysOf) {
        // "trois quarts de tasse", "un quart d'heure".
        const bool vowel = UnicodeString(u"aeiouhéèêàâîôûy").indexOf(UnicodeString(noun).toLower()[0]) >= 0;
        if (vowel && fractions.ofBeforeVowel != nullptr) return part + u" " + UnicodeString::fromUTF8(fractions.ofBeforeVowel) + noun;
        return part + u" " + UnicodeString::fromUTF8(fractions.of) + after;
    }
    return part + after;
}

/// Where the word a fraction's pattern takes after it begins in `piece`; its end when none.
int32_t NounAt(const UnicodeString& piece) {
    int32_t at = piece.length();
    while (at > 0 && (u_isalpha(piece.char32At(at - 1)) || piece[at - 1] == u'\'' || piece[at - 1] == u'-')) --at;
    if (at == piece.length() || at == 0 || !u_isspace(piece[at - 1])) return piece.length();
    return at;
}

// The word a fraction is said before, which its pattern takes with it.
const char16_t* const kCountedWord = u"(?:\\s+\\p{L}[\\p{L}'\u2019-]*)?";

}  // namespace

// "3x" ("three times"), but not "3 × 4", a product ("drei mal vier", "tres por cuatro").
UnicodeString MultiplePattern(const Language& language) { return language.numberPattern + u" ?[x\u00d7](?!\\p{L}|\\s*\\d)"; }

UnicodeString ReadMultiple(Language& language, const Match& match) {
    WrittenNumber number;
    int32_t end = 0;
    if (!language.NumberAt(match.piece, 0, &number, &end)) return {};
    const char* times = language.words.multiple != nullptr ? language.words.multiple : language.words.times;
    return language.Numbers().Cardinal(number) + u" " + Language::Word(times);
}

UnicodeString DecadePattern(const Language& language) {
    const Decades& decades = language.words.decades;
    return u"(?<![\\p{L}\\p{N}])(?:1\\d|20)" + UnicodeString(decades.centuryOptional ? u"?" : u"") + u"\\d0" +
           Quoted(decades.written) + u"(?![\\p{L}\\p{N}])";
}

UnicodeString ReadDecade(Language& language, const Match& match) {
    // "the 1990s": the year's last word in the plural; "die 90er".
    const Decades& decades = language.words.decades;
    int64_t value = std::atoll(Utf8(match.piece).c_str());
    UnicodeString year = value >= 1000 ? language.Numbers().Year(value) : language.Numbers().Cardinal(value);
    if (decades.saidAfterY != nullptr && year.endsWith(u"y")) {
        year.truncate(year.length() - 1);
        return year + UnicodeString::fromUTF8(decades.saidAfterY);
    }
    return year + UnicodeString::fromUTF8(decades.said);
}

UnicodeString OrdinalPattern(const Language& language) {
    // "3rd", "3e", "3.º"; "am 3." where the word before says that the dot is an ordinal's.
    const LanguageWords& words = language.words;
    UnicodeString pattern;
    if (!words.ordinalMarks.empty())
        pattern = u"(?<![\\p{L}\\p{N}])\\d+(?:" + Alternatives(Written(words.ordinalMarks)) + u")(?![\\p{L}\\p{N}])";
    std::vector<std::string> before;
    for (const OrdinalAfter& row : words.ordinalsAfter) before.insert(before.end(), row.words.begin(), row.words.end());
    if (!before.empty())
        pattern += UnicodeString(pattern.isEmpty() ? u"" : u"|") + u"(?=\\d{1,3}\\.)(?<=(?:^|[^\\p{L}])(?i:" +
                   Alternatives(before) + u") )\\d{1,3}\\.(?![\\p{L}\\p{N}])";
    return pattern.isEmpty() ? UnicodeString(u"(?!)") : pattern;
}

UnicodeString ReadOrdinal(Language& language, const Match& match) {
    const int32_t digits = DigitsAt(match.piece);
    const int64_t number = std::atoll(Utf8(match.piece.tempSubStringBetween(0, digits)).c_str());
    const UnicodeString mark = match.piece.tempSubString(digits);
    const Neighbours around = NeighboursOf(match.text, match.begin, match.end);
    if (mark == u".") {
        const char* ruleSet = OrdinalAfterRuleSet(language.words, around);
        return ruleSet != nullptr ? language.Numbers().Ordinal(number, ruleSet) : UnicodeString();
    }
    return OrdinalWithMark(language, number, mark, language.words.ordinalMarks, around);
}

UnicodeString RomanPattern(const Language& language) {
    // "XIXe siècle", "Ier"; "el siglo XIX"; "Louis XIV".
    const LanguageWords& words = language.words;
    UnicodeString pattern;
    auto add = [&](const UnicodeString& alternative) { pattern += (pattern.isEmpty() ? u"" : u"|") + alternative; };
    if (!words.romanMarks.empty())
        add(u"(?<![\\p{L}\\p{N}])[IVXLCDM]{1,7}(?:" + Alternatives(Written(words.romanMarks)) + u")(?![\\p{L}\\p{N}])");
    if (!words.romanAfter.empty())
        add(u"(?=[IVXLCDM])(?<=(?:^|[^\\p{L}])(?i:" + Alternatives({words.romanAfter.begin(), words.romanAfter.end()}) +
            u") )[IVXLCDM]{1,7}(?![\\p{L}\\p{N}])");
    if (words.romanAfterNames) add(u"(?=[IVX]{2})(?<=\\p{Lu}\\p{Ll}{1,20} )[IVX]{2,6}(?![\\p{L}\\p{N}])");
    return pattern.isEmpty() ? UnicodeString(u"(?!)") : pattern;
}

UnicodeString ReadRoman(Language& language, const Match& match) {
    int32_t letters = 0;
    while (letters < match.piece.length() && u_isupper(match.piece[letters])) ++letters;
    const UnicodeString roman = match.piece.tempSubStringBetween(0, letters);
    const int value = RomanValue(roman);
    const UnicodeString mark = match.piece.tempSubString(letters);
    if (value == 0) return {};
    const LanguageWords& words = language.words;
    const Neighbours around = NeighboursOf(match.text, match.begin, match.end);
    if (mark.isEmpty()) {
        bool afterWord = false;  // "siglo XIX", else a name's "Felipe VI"
        for (const char* word : words.romanAfter) afterWord |= around.before == UnicodeString::fromUTF8(word);
        if (!afterWord && value > 39) return {};
        if (!afterWord && value <= words.regnalOrdinalsUpTo) return language.Numbers().Ordinal(value);
        return language.Numbers().Cardinal(value);
    }
    // One letter and a mark is as often a word: French "Le", "Ce", "De", "Me".
    if (letters == 1 && roman != u"I" && roman != u"V" && roman != u"X") return {};
    return OrdinalWithMark(language, value, mark, words.romanMarks, around);
}

UnicodeString NumberSignPattern(const Language& language) {
    return u"(?<![\\p{L}\\p{N}#])#\\s?" + language.numberPattern;
}

UnicodeString ReadNumberSign(Language& language, const Match& match) {
    // "#1": "number one".
    int32_t from = 1;
    while (from < match.piece.length() && u_isspace(match.piece[from])) ++from;
    WrittenNumber number;
    int32_t end = 0;
    if (!language.NumberAt(match.piece, from, &number, &end)) return {};
    return Language::Word(language.words.numberSign) + u" " + language.Numbers().Cardinal(number);
}

UnicodeString ScorePattern(const Language&) { return u"(?<![\\d:.,])\\d{1,3}:\\d{1,3}(?![\\d:]|[.,]\\d)"; }

UnicodeString ReadScore(Language& language, const Match& match) {
    // "2:1" that is not a time: "zwei zu eins", "two to one".
    const int32_t colon = match.piece.indexOf(u':');
    return language.WholeSaid(match.piece.tempSubStringBetween(0, colon)) + u" " + Language::Word(language.words.scoreTo) +
           u" " + language.WholeSaid(match.piece.tempSubString(colon + 1));
}

UnicodeString RangePattern(const Language&) { return u"(?<![\\p{L}\\p{N}_.,-])\\d+ ?[-\u2013] ?\\d+(?!\\d|[.,]\\d)"; }

UnicodeString ReadRange(Language& language, const Match& match) {
    const UnicodeString& piece = match.piece;
    int32_t dash = DigitsAt(piece);
    UnicodeString from = piece.tempSubStringBetween(0, dash);
    int32_t second = piece.length();
    while (second > 0 && IsDigit(piece[second - 1])) --second;
    UnicodeString to = piece.tempSubStringBetween(second);
    bool spaced = piece.indexOf(u' ') >= 0;
    int64_t low = std::atoll(Utf8(from).c_str()), high = std::atoll(Utf8(to).c_str());
    // Pages, amounts and years run from one to the other: "five to ten". Small numbers
    // run from one to the other either way ("9-5", a score "3-2"); years upwards.
    bool range = (from.length() <= 3 && to.length() <= 3 && !spaced) ||
                 (low < high && ((from.length() <= 3 && to.length() <= 3) || (from.length() == 4 && to.length() == 4)));
    const LanguageWords& words = language.words;
    if (range && words.rangeTo != nullptr)
        return language.WholeSaid(from) + u" " + UnicodeString::fromUTF8(words.rangeTo) + u" " + language.WholeSaid(to);
    if (spaced && words.minus != nullptr)
        return language.WholeSaid(from) + u" " + UnicodeString::fromUTF8(words.minus) + u" " + language.WholeSaid(to);
    // Neither: a telephone number ("555-1234") or a code, digit by digit.
    if (!range) return language.Numbers().Digits(View(from)) + u", " + language.Numbers().Digits(View(to));
    return language.WholeSaid(from) + u" - " + language.WholeSaid(to);
}

UnicodeString FractionPattern(const Language&) { return u"(?<![\\p{L}\\p{N}/.])\\d+/\\d+(?![\\d/])" + UnicodeString(kCountedWord); }

UnicodeString ReadFraction(Language& language, const Match& match) {
    const int32_t nounAt = NounAt(match.piece);
    const UnicodeString noun = match.piece.tempSubString(nounAt).trim();
    const std::string fraction = Utf8(match.piece.tempSubStringBetween(0, nounAt));
    int64_t numerator = std::atoll(fraction.c_str());
    int64_t denominator = std::atoll(fraction.c_str() + fraction.find('/') + 1);
    NumberWords& numbers = language.Numbers();
    // "24/7": a number and a number, not a fraction.
    if (numerator > 2 * denominator)
        return numbers.Cardinal(numerator) + u" " + numbers.Cardinal(denominator) + (noun.isEmpty() ? u"" : u" " + noun);
    return FractionSaid(language, match, UnicodeString(), numerator, denominator, noun);
}

UnicodeString FractionSignPattern(const Language&) {
    return u"(?:\\d+ ?)?[\u00bc-\u00be\u2150-\u215e]" + UnicodeString(kCountedWord);
}

UnicodeString ReadFractionSign(Language& language, const Match& match) {
    const int32_t nounAt = NounAt(match.piece);
    const UnicodeString noun = match.piece.tempSubString(nounAt).trim();
    UnicodeString written = match.piece.tempSubStringBetween(0, nounAt);
    written.trim();
    const double value = u_getNumericValue(written.char32At(written.length() - 1));
    for (int64_t denominator = 2; denominator <= 10; ++denominator) {
        double numerator = value * static_cast<double>(denominator);
        int64_t rounded = static_cast<int64_t>(numerator + 0.5);
        if (rounded <= 0 || std::abs(numerator - static_cast<double>(rounded)) >= 1e-9) continue;
        if (language.Numbers().Fraction(rounded, denominator).isEmpty()) return {};
        return FractionSaid(language, match, written.tempSubStringBetween(0, DigitsAt(written)), rounded, denominator, noun);
    }
    return {};
}

UnicodeString NumberPattern(const Language& language) { return language.numberPattern; }

UnicodeString ReadNumber(Language& language, const Match& match) {
    const UnicodeString& piece = match.piece;
    WrittenNumber number;
    int32_t end = 0;
    if (language.NumberAt(piece, 0, &number, &end) && end == piece.length()) {
        // Said in the gender of what it counts where the language has one: "eine Tasse",
        // "veintiuna personas".
        const char* ruleSet = CardinalRuleSet(language.words, NeighboursOf(match.text, match.begin, match.end));
        if (!number.negative && number.fraction.empty() && piece.indexOf(u',') < 0 && piece.indexOf(u'.') < 0 &&
            DigitsAt(piece) == piece.length())
            return language.WholeSaid(piece, ruleSet);
        return language.Numbers().Cardinal(number, ruleSet);
    }
    // Several dots or commas: a version or an address ("1.2.3", "192.168.0.1"). An
    // internet address's numbers are said digit by digit.
    int32_t dots = 0;
    for (int32_t i = 0; i < piece.length(); ++i) dots += piece[i] == u'.';
    return language.Address(piece, dots == 3);
}

}  // namespace text
