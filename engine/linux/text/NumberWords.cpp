#include "NumberWords.h"

#include <unicode/calendar.h>
#include <unicode/dcfmtsym.h>
#include <unicode/dtptngen.h>
#include <unicode/fpositer.h>
#include <unicode/gregocal.h>
#include <unicode/measunit.h>
#include <unicode/numberformatter.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/linux/types/TextHelpers.h"

namespace text {
namespace {

using icu::UnicodeString;

// Longer than this, a run of digits is a code or an identifier, read digit by digit.
constexpr size_t kLongestSpokenNumber = 15;

/// `pattern` with "{h}" and "{m}" put in.
UnicodeString Filled(const char* pattern, const UnicodeString& hour, const UnicodeString& minute) {
    UnicodeString filled = UnicodeString::fromUTF8(pattern);
    filled.findAndReplace(u"{h}", hour);
    filled.findAndReplace(u"{m}", minute);
    return filled;
}

/// The first rule set of `format` whose name is `wanted` or starts with it; empty when none.
UnicodeString RuleSet(const icu::RuleBasedNumberFormat& format, const char16_t* wanted) {
    UnicodeString prefix(wanted);
    UnicodeString first;
    for (int32_t i = 0; i < format.getNumberOfRuleSetNames(); ++i) {
        UnicodeString name = format.getRuleSetName(i);
        if (name == prefix) return name;
        if (first.isEmpty() && name.startsWith(prefix)) first = name;
    }
    return first;
}

/// What `longer` has around `inner`, taking `inner` out: "zero point five" less "zero" and
/// "five" leaves "point".
UnicodeString Between(UnicodeString longer, const UnicodeString& before, const UnicodeString& after) {
    if (longer.startsWith(before)) longer.remove(0, before.length());
    if (longer.endsWith(after)) longer.truncate(longer.length() - after.length());
    return longer.trim();
}

icu::Locale LocaleFor(std::string_view tag) {
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale locale = icu::Locale::forLanguageTag(std::string(tag), status);
    return U_SUCCESS(status) ? locale : icu::Locale::getRoot();
}

}  // namespace

NumberWords::NumberWords(std::string_view languageTag)
    : locale(LocaleFor(languageTag)), words(WordsFor(languageTag)) {
    UErrorCode status = U_ZERO_ERROR;
    spellOut = std::make_unique<icu::RuleBasedNumberFormat>(icu::URBNF_SPELLOUT, locale, status);
    if (U_SUCCESS(status)) {
        UErrorCode asked = U_ZERO_ERROR;
        const icu::Locale found = spellOut->getLocale(ULOC_ACTUAL_LOCALE, asked);
        spellsOut = U_SUCCESS(asked) && std::strcmp(found.getLanguage(), locale.getLanguage()) == 0;
    }
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        spellOut = std::make_unique<icu::RuleBasedNumberFormat>(icu::URBNF_SPELLOUT, icu::Locale::getRoot(), status);
    }
    cardinalRules = RuleSet(*spellOut, u"%spellout-numbering");
    ordinalRules = RuleSet(*spellOut, u"%spellout-ordinal-masculine");
    if (ordinalRules.isEmpty() || RuleSet(*spellOut, u"%spellout-ordinal") == u"%spellout-ordinal")
        ordinalRules = RuleSet(*spellOut, u"%spellout-ordinal");
    yearRules = RuleSet(*spellOut, u"%spellout-numbering-year");
    if (cardinalRules.isEmpty()) cardinalRules = spellOut->getDefaultRuleSetName();
    if (ordinalRules.isEmpty()) ordinalRules = cardinalRules;
    if (yearRules.isEmpty()) yearRules = cardinalRules;
    status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(locale, status);
    if (U_SUCCESS(status)) {
        // Grouping is read as the other of '.' and ',': where the language groups with a
        // blank or an apostrophe, a grouped number is not one token anyway.
        UnicodeString decimal = symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
        if (decimal == u"," || decimal == u".") decimalSeparator = decimal[0];
        groupingSeparator = decimalSeparator == u',' ? u'.' : u',';
    }
    pointWord = Between(Spelled(1.5, cardinalRules), Spelled(1, cardinalRules), Spelled(5, cardinalRules));
    minusWord = Between(Spelled(-1, cardinalRules), UnicodeString(), Spelled(1, cardinalRules));
}

bool NumberWords::Parse(std::u16string_view written, WrittenNumber* number) const {
    *number = WrittenNumber();
    if (!written.empty() && (written[0] == u'-' || written[0] == u'\u2212' || written[0] == u'+')) {
        number->negative = written[0] != u'+';
        written.remove_prefix(1);
    }
    // Digits between separators: "1", "234", "50" for "1,234.50".
    std::vector<std::u16string_view> groups;
    std::u16string separators;
    size_t start = 0;
    for (size_t i = 0; i <= written.size(); ++i) {
        if (i < written.size() && IsDigit(written[i])) continue;
        if (i == start) return false;  // a separator without digits on both sides
        groups.push_back(written.substr(start, i - start));
        if (i < written.size()) {
            if (written[i] != u'.' && written[i] != u',') return false;
            separators += written[i];
        }
        start = i + 1;
    }
    auto join = [](auto from, auto to) {
        std::string digits;
        for (auto at = from; at != to; ++at) digits.append(at->begin(), at->end());
        return digits;
    };
    auto grouped = [&](size_t count) {  // the first `count` groups are thousands, grouped
        if (count > 1 && (groups[0].size() > 3)) return false;
        for (size_t i = 1; i < count; ++i)
            if (groups[i].size() != 3 || separators[i - 1] != groupingSeparator) return false;
        return true;
    };
    const size_t n = groups.size();
    if (separators.empty()) {
        number->whole = join(groups.begin(), groups.end());
        return true;
    }
    // Grouped thousands, with or without decimals after them.
    if (grouped(n)) {
        number->whole = join(groups.begin(), groups.end());
        return true;
    }
    if (separators.back() == decimalSeparator && grouped(n - 1)) {
        number->whole = join(groups.begin(), groups.end() - 1);
        number->fraction = std::string(groups.back().begin(), groups.back().end());
        return true;
    }
    // One separator that cannot be grouping: the other convention's decimal point
    // ("3.14" in German text, "1,5" in English).
    if (n == 2 && groups[1].size() != 3) {
        number->whole = join(groups.begin(), groups.begin() + 1);
        number->fraction = std::string(groups[1].begin(), groups[1].end());
        return true;
    }
    return false;
}

UnicodeString NumberWords::Spelled(double number, const UnicodeString& ruleSet) {
    UnicodeString spelled;
    UErrorCode status = U_ZERO_ERROR;
    icu::FieldPosition position;
    spellOut->format(number, ruleSet, spelled, position, status);
    if (U_FAILURE(status)) return {};
    // German's long compounds come with soft hyphens for the eye: nothing to say.
    return spelled.findAndReplace(UnicodeString(u'\u00ad'), UnicodeString());
}

UnicodeString NumberWords::Digits(std::u16string_view digits) {
    UnicodeString said;
    for (char16_t digit : digits) {
        if (!IsDigit(digit)) continue;
        if (!said.isEmpty()) said += u' ';
        said += Spelled(digit - u'0', cardinalRules);
    }
    return said;
}

UnicodeString NumberWords::Cardinal(const WrittenNumber& number) {
    std::u16string whole(number.whole.begin(), number.whole.end());
    if (whole.size() > kLongestSpokenNumber || (whole.size() > 1 && whole[0] == u'0')) {
        UnicodeString said = Digits(whole);
        if (!number.fraction.empty())
            said += u' ' + pointWord + u' ' + Digits(std::u16string(number.fraction.begin(), number.fraction.end()));
        return said;
    }
    UnicodeString said;
    if (number.negative) said = minusWord + u' ';
    said += Spelled(static_cast<double>(std::strtoll(number.whole.c_str(), nullptr, 10)), cardinalRules);
    if (!number.fraction.empty())
        said += u' ' + pointWord + u' ' + Digits(std::u16string(number.fraction.begin(), number.fraction.end()));
    return said;
}

UnicodeString NumberWords::Cardinal(int64_t number) { return Spelled(static_cast<double>(number), cardinalRules); }

UnicodeString NumberWords::Ordinal(int64_t number) { return Spelled(static_cast<double>(number), ordinalRules); }

UnicodeString NumberWords::Year(int64_t number) { return Spelled(static_cast<double>(number), yearRules); }

UnicodeString NumberWords::WithNumberSpelled(const UnicodeString& formatted, const WrittenNumber& number) {
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
    UnicodeString said(formatted);
    said.replace(first, end - first, Cardinal(number));
    return said;
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

UnicodeString NumberWords::Money(const WrittenNumber& amount, const char* isoCode, const CurrencyName* name) {
    WrittenNumber whole = amount;
    whole.fraction.clear();
    UnicodeString said;
    if (name != nullptr) {
        said = Cardinal(whole) + u' ' + UnicodeString::fromUTF8(amount.whole == "1" && !amount.negative ? name->one : name->other);
    } else {
        const icu::number::LocalizedNumberFormatter* format = Formatter(isoCode, true);
        if (format == nullptr) return {};
        UErrorCode status = U_ZERO_ERROR;
        UnicodeString formatted = format->formatDecimal((amount.negative ? "-" : "") + amount.whole, status).toString(status);
        if (U_FAILURE(status)) return {};
        said = WithNumberSpelled(formatted, whole);
    }
    // The cents after the amount, as they are said: "five euros fifty".
    std::string cents = amount.fraction.substr(0, 2);
    if (cents.size() == 1) cents += '0';
    if (!cents.empty() && cents != "00") said += u' ' + Cardinal(std::strtoll(cents.c_str(), nullptr, 10));
    return said;
}

UnicodeString NumberWords::Measure(const WrittenNumber& amount, const char* unit) {
    const icu::number::LocalizedNumberFormatter* format = Formatter(unit, false);
    if (format == nullptr) return {};
    UErrorCode status = U_ZERO_ERROR;
    std::string decimal = (amount.negative ? "-" : "") + amount.whole + (amount.fraction.empty() ? "" : "." + amount.fraction);
    UnicodeString formatted = format->formatDecimal(decimal, status).toString(status);
    if (U_FAILURE(status)) return {};
    return WithNumberSpelled(formatted, amount);
}

UnicodeString NumberWords::Date(int year, int month, int day) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::SimpleDateFormat>& dateFormat = dateFormats[year == 0];
    if (!dateFormat) {
        std::unique_ptr<icu::DateTimePatternGenerator> patterns(icu::DateTimePatternGenerator::createInstance(locale, status));
        if (U_FAILURE(status)) return {};
        UnicodeString pattern = patterns->getBestPattern(year == 0 ? u"MMMMd" : u"yMMMMd", status);
        auto made = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
        if (U_FAILURE(status)) return {};
        made->setTimeZone(*icu::TimeZone::getGMT());
        dateFormat = std::move(made);
    }
    icu::GregorianCalendar calendar(icu::TimeZone::getGMT()->clone(), locale, status);
    if (U_FAILURE(status)) return {};
    calendar.clear();
    calendar.set(year == 0 ? 2000 : year, month - 1, day);
    UnicodeString written;
    icu::FieldPositionIterator fields;
    dateFormat->format(calendar.getTime(status), written, &fields, status);
    if (U_FAILURE(status)) return {};
    // The day and the year in words, from the last field back so that positions hold.
    struct Span {
        int32_t begin, end;
        UnicodeString said;
    };
    std::vector<Span> spans;
    icu::FieldPosition field;
    while (fields.next(field)) {
        if (field.getField() == UDAT_DATE_FIELD) {
            int32_t end = field.getEndIndex();
            // The ordinal's own mark ("15." in German) is said with the ordinal.
            if (end < written.length() && written[end] == u'.') ++end;
            spans.push_back({field.getBeginIndex(), end, words.ordinalDays ? Ordinal(day) : Cardinal(day)});
        } else if (field.getField() == UDAT_YEAR_FIELD) {
            spans.push_back({field.getBeginIndex(), field.getEndIndex(), Year(year)});
        }
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin > b.begin; });
    for (const Span& span : spans) written.replace(span.begin, span.end - span.begin, span.said);
    return written;
}

UnicodeString NumberWords::Time(int hour, int minute, char meridiem) {
    const char* suffix = nullptr;
    if (words.twelveHourClock || meridiem != 0) {
        if (meridiem != 0) suffix = meridiem == 'a' ? "a m" : "p m";
        else if (hour > 12 || hour == 0) suffix = hour >= 12 ? "p m" : "a m";
        if (suffix != nullptr) hour = hour % 12 == 0 ? 12 : hour % 12;
    }
    UnicodeString h = Cardinal(hour), m = Cardinal(minute);
    UnicodeString said;
    if (minute == 0) said = suffix != nullptr ? h : Filled(words.fullHour ? words.fullHour : "{h}", h, m);
    else if (minute < 10 && words.minutesBelowTen != nullptr) said = Filled(words.minutesBelowTen, h, m);
    else said = Filled(words.hourMinutes ? words.hourMinutes : "{h} {m}", h, m);
    if (suffix != nullptr) said += u' ' + UnicodeString(suffix, -1, US_INV);
    return said;
}

UnicodeString NumberWords::Fraction(int64_t numerator, int64_t denominator) {
    if (words.fractionOne == nullptr || denominator < 2 || denominator > 10) return {};
    if (numerator == 1)
        return UnicodeString::fromUTF8(words.fractionNumeratorOne) + u' ' +
               UnicodeString::fromUTF8(words.fractionOne[denominator - 2]);
    return Cardinal(numerator) + u' ' + UnicodeString::fromUTF8(words.fractionMany[denominator - 2]);
}

}  // namespace text
