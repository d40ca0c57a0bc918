// Readings of numbers: cardinals, decimals and negatives, years, decades, ordinals,
// ranges, fractions written with a slash or as one sign, multiples ("3x").
#include <unicode/uchar.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "Readings.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

const char16_t* const kNumberPattern = u"(?:(?<![^\\s(\\[])[-\u2212])?(?<![\\p{L}\\p{N}_.,])\\d+(?:[.,]\\d+)*";

UnicodeString MultiplePattern(const Language&) { return UnicodeString(kNumberPattern) + u" ?[x\u00d7](?!\\p{L})"; }

UnicodeString ReadMultiple(Language& language, const Match& match) {
    WrittenNumber number;
    int32_t end = 0;
    if (!language.NumberAt(match.piece, 0, &number, &end)) return {};
    return language.Numbers().Cardinal(number) + u" " + Language::Word(language.words.times);
}

UnicodeString DecadePattern(const Language& language) {
    const LanguageWords::Decades& decades = language.words.decades;
    return u"(?<![\\p{L}\\p{N}])(?:1\\d|20)" + UnicodeString(decades.centuryOptional ? u"?" : u"") + u"\\d0" +
           Quoted(decades.written) + u"(?![\\p{L}\\p{N}])";
}

UnicodeString ReadDecade(Language& language, const Match& match) {
    // "the 1990s": the year's last word in the plural; "die 90er".
    const LanguageWords::Decades& decades = language.words.decades;
    int64_t value = std::atoll(Utf8(match.piece).c_str());
    UnicodeString year = value >= 1000 ? language.Numbers().Year(value) : language.Numbers().Cardinal(value);
    if (decades.saidAfterY != nullptr && year.endsWith(u"y")) {
        year.truncate(year.length() - 1);
        return year + UnicodeString::fromUTF8(decades.saidAfterY);
    }
    return year + UnicodeString::fromUTF8(decades.said);
}

UnicodeString OrdinalPattern(const Language& language) {
    return u"(?<![\\p{L}\\p{N}])\\d+(?:" + UnicodeString::fromUTF8(language.words.ordinalMarks) + u")\\b";
}

UnicodeString ReadOrdinal(Language& language, const Match& match) {
    return language.Numbers().Ordinal(std::atoll(Utf8(match.piece).c_str()));
}

UnicodeString RangePattern(const Language&) { return u"(?<![\\p{L}\\p{N}_.,-])\\d+ ?[-\u2013] ?\\d+(?!\\d|[.,]\\d)"; }

UnicodeString ReadRange(Language& language, const Match& match) {
    const UnicodeString& piece = match.piece;
    int32_t dash = 0;
    while (dash < piece.length() && IsDigit(piece[dash])) ++dash;
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

UnicodeString FractionPattern(const Language&) { return u"(?<![\\p{L}\\p{N}/.])\\d+/\\d+(?![\\d/])"; }

UnicodeString ReadFraction(Language& language, const Match& match) {
    const std::string fraction = Utf8(match.piece);
    int64_t numerator = std::atoll(fraction.c_str());
    int64_t denominator = std::atoll(fraction.c_str() + fraction.find('/') + 1);
    NumberWords& numbers = language.Numbers();
    // "24/7": a number and a number, not a fraction.
    if (numerator > 2 * denominator) return numbers.Cardinal(numerator) + u" " + numbers.Cardinal(denominator);
    UnicodeString said = numbers.Fraction(numerator, denominator);
    if (!said.isEmpty()) return said;
    return numbers.Cardinal(numerator) + u" " + language.Separator(u'/') + u" " + numbers.Cardinal(denominator);
}

UnicodeString FractionSignPattern(const Language&) { return u"(?:\\d+ ?)?[\u00bc-\u00be\u2150-\u215e]"; }

UnicodeString ReadFractionSign(Language& language, const Match& match) {
    const UnicodeString& piece = match.piece;
    double value = u_getNumericValue(piece.char32At(piece.length() - 1));
    UnicodeString part;
    for (int64_t denominator = 2; denominator <= 10 && part.isEmpty(); ++denominator) {
        double numerator = value * static_cast<double>(denominator);
        int64_t rounded = static_cast<int64_t>(numerator + 0.5);
        if (rounded > 0 && std::abs(numerator - static_cast<double>(rounded)) < 1e-9)
            part = language.Numbers().Fraction(rounded, denominator);
    }
    if (part.isEmpty()) return {};
    if (!IsDigit(piece[0])) return part;
    int32_t digits = 0;
    while (digits < piece.length() && IsDigit(piece[digits])) ++digits;
    const LanguageWords& words = language.words;
    const char* and_ = words.ampersand != nullptr ? words.ampersand : "";
    // "two and a half", where the language says so.
    UnicodeString one = Language::Word(words.fractionNumeratorOne);
    if (words.mixedFractionOne != nullptr && !one.isEmpty() && part.startsWith(one + u" "))
        part.replace(0, one.length(), UnicodeString::fromUTF8(words.mixedFractionOne));
    return language.WholeSaid(piece.tempSubStringBetween(0, digits)) + u" " + UnicodeString::fromUTF8(and_) + u" " + part;
}

UnicodeString NumberPattern(const Language&) { return kNumberPattern; }

UnicodeString ReadNumber(Language& language, const Match& match) {
    const UnicodeString& piece = match.piece;
    WrittenNumber number;
    int32_t end = 0;
    if (language.NumberAt(piece, 0, &number, &end) && end == piece.length()) {
        if (!number.negative && number.fraction.empty() && piece.indexOf(u',') < 0 && piece.indexOf(u'.') < 0)
            return language.WholeSaid(piece);
        return language.Numbers().Cardinal(number);
    }
    // Several dots or commas: a version or an address ("1.2.3", "192.168.0.1"). An
    // internet address's numbers are said digit by digit.
    int32_t dots = 0;
    for (int32_t i = 0; i < piece.length(); ++i) dots += piece[i] == u'.';
    return language.Address(piece, dots == 3);
}

}  // namespace text
