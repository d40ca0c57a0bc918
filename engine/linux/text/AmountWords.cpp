// Amounts in words: money in its currency, measures in their units, through ICU's
// number formatter and CLDR's names and plurals, the number agreeing with what it counts.
#include <unicode/measunit.h>
#include <unicode/numberformatter.h>
#include <unicode/uchar.h>

#include <cstdlib>

#include "Grammar.h"
#include "NumberWords.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

namespace {

/// "de" or "d'" between an amount of millions and what it counts, where the language
/// says one ("un million d'euros"); empty where not. `whole` is the amount's digits.
UnicodeString MillionsOf(const LanguageWords& words, const std::string& whole, const UnicodeString& noun) {
    if (words.millionsOf == nullptr || whole.size() < 7 || whole.compare(whole.size() - 6, 6, "000000") != 0)
        return {};
    bool vowel = !noun.isEmpty() && UnicodeString(u"aeiouhéèêàâîôûAEIOUHÉ").indexOf(noun[0]) >= 0;
    if (vowel && words.millionsOfBeforeVowel != nullptr) return UnicodeString::fromUTF8(words.millionsOfBeforeVowel);
    return UnicodeString::fromUTF8(words.millionsOf) + u' ';
}

/// `noun`'s first word.
UnicodeString FirstWord(const UnicodeString& text) {
    int32_t end = 0;
    while (end < text.length() && !u_isspace(text.char32At(end))) end = text.moveIndex32(end, 1);
    return UnicodeString(text, 0, end);
}

}  // namespace

UnicodeString NumberWords::WithNumberSpelled(const UnicodeString& formatted, const WrittenNumber& number,
                                             GrammaticalCase inCase) {
    int32_t first = 0;
    while (first < formatted.length() && !IsDigit(formatted[first])) ++first;
    if (first == formatted.length()) return formatted;
    int32_t end = first;
    while (end < formatted.length()) {
        char16_t c = formatted[end];
        bool separator = c == u'.' || c == u',' || c == u'\u00a0' || c == u'\u202f' || c == u'\u2019' || c == u'\'';
        if (IsDigit(c) || (separator && end + 1 < formatted.length() && IsDigit(formatted[end + 1]))) ++end;
        else break;
    }
    if (first > 0 && (formatted[first - 1] == u'-' || formatted[first - 1] == u'\u2212')) --first;
    int32_t nounAt = end;
    while (nounAt < formatted.length() && u_isspace(formatted.char32At(nounAt))) nounAt = formatted.moveIndex32(nounAt, 1);
    const UnicodeString noun = FirstWord(formatted.tempSubString(nounAt));
    const char* ruleSet = nullptr;
    if (nounAt > end && IsCounted(words, noun))  // "veintiuno por ciento", "veintiún kilómetros"
        ruleSet = words.cardinalBefore[static_cast<int>(inCase)][static_cast<int>(GenderOf(words, noun))];
    UnicodeString spelled = Cardinal(number, ruleSet);
    if (UnicodeString of = MillionsOf(words, number.whole, noun); !of.isEmpty() && nounAt > end) {
        spelled += u' ' + of;
        if (!of.endsWith(u" ")) end = nounAt;  // "d'euros": joined
        else spelled.truncate(spelled.length() - 1);
    }
    UnicodeString said(formatted);
    said.replace(first, end - first, spelled);
    // ICU's no-break blanks ("3\u00a0mégaoctets") are plain ones to a voice.
    return said.findAndReplace(UnicodeString(u'\u00a0'), UnicodeString(u' ')).findAndReplace(UnicodeString(u'\u202f'), UnicodeString(u' '));
}

const icu::number::LocalizedNumberFormatter* NumberWords::Formatter(const std::string& unit, bool currency) {
    auto found = formatters.find(unit);
    if (found != formatters.end()) return found->second.get();
    std::unique_ptr<icu::number::LocalizedNumberFormatter>& made = formatters[unit];
    UErrorCode status = U_ZERO_ERROR;
    icu::number::UnlocalizedNumberFormatter format = icu::number::NumberFormatter::with().unitWidth(UNUM_UNIT_WIDTH_FULL_NAME);
    if (currency) {
        icu::CurrencyUnit code(UnicodeString(unit.c_str(), -1, US_INV).getTerminatedBuffer(), status);
        format = format.unit(code).precision(icu::number::Precision::integer());
    } else {
        format = format.unit(icu::MeasureUnit::forIdentifier(unit.c_str(), status)).precision(icu::number::Precision::unlimited());
    }
    if (U_SUCCESS(status)) made = std::make_unique<icu::number::LocalizedNumberFormatter>(format.locale(locale));
    return made.get();
}

UnicodeString NumberWords::Money(const WrittenNumber& amount, const char* isoCode, const CurrencyName* name,
                                 GrammaticalCase inCase) {
    WrittenNumber whole = amount;
    whole.fraction.clear();
    std::string cents = amount.fraction.substr(0, 2);
    if (cents.size() == 1) cents += '0';
    const int64_t centsValue = std::strtoll(cents.c_str(), nullptr, 10);
    auto agreeing = [&](const char* noun) {
        return words.cardinalBefore[static_cast<int>(inCase)][static_cast<int>(GenderOf(words, UnicodeString::fromUTF8(noun)))];
    };
    // Only cents: "ninety-nine cents", "neunundneunzig Cent".
    if (name != nullptr && name->centOther != nullptr && centsValue > 0 && !amount.negative &&
        amount.whole.find_first_not_of('0') == std::string::npos) {
        const char* noun = centsValue == 1 ? name->centOne : name->centOther;
        return Cardinal(centsValue, agreeing(noun)) + u' ' + UnicodeString::fromUTF8(noun);
    }
    UnicodeString said;
    if (name != nullptr) {
        const UnicodeString noun = UnicodeString::fromUTF8(amount.whole == "1" && !amount.negative ? name->one : name->other);
        said = Cardinal(whole, agreeing(name->one));
        UnicodeString of = MillionsOf(words, amount.whole, noun);
        said += u' ' + of + noun;
    } else {
        const icu::number::LocalizedNumberFormatter* format = Formatter(isoCode, true);
        if (format == nullptr) return {};
        UErrorCode status = U_ZERO_ERROR;
        UnicodeString formatted = format->formatDecimal((amount.negative ? "-" : "") + amount.whole, status).toString(status);
        if (U_FAILURE(status)) return {};
        said = WithNumberSpelled(formatted, whole, inCase);
    }
    // The cents after the amount, as they are said: "five euros fifty".
    if (centsValue > 0) said += u' ' + Cardinal(centsValue);
    return said;
}

UnicodeString NumberWords::Measure(const WrittenNumber& amount, const char* unit, GrammaticalCase inCase) {
    const icu::number::LocalizedNumberFormatter* format = Formatter(unit, false);
    if (format == nullptr) return {};
    UErrorCode status = U_ZERO_ERROR;
    std::string decimal = (amount.negative ? "-" : "") + amount.whole + (amount.fraction.empty() ? "" : "." + amount.fraction);
    UnicodeString formatted = format->formatDecimal(decimal, status).toString(status);
    if (U_FAILURE(status)) return {};
    return WithNumberSpelled(formatted, amount, inCase);
}

}  // namespace text
