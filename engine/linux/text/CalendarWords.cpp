// Dates and clock times in words, through ICU's calendar and its long date formats.
#include <unicode/dtptngen.h>
#include <unicode/fpositer.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <vector>

#include "NumberWords.h"

namespace text {

using icu::UnicodeString;

namespace {

/// `pattern` with "{h}" and "{m}" put in.
UnicodeString Filled(const char* pattern, const UnicodeString& hour, const UnicodeString& minute) {
    UnicodeString filled = UnicodeString::fromUTF8(pattern);
    filled.findAndReplace(u"{h}", hour);
    filled.findAndReplace(u"{m}", minute);
    return filled;
}

}  // namespace

UnicodeString NumberWords::Date(int year, int month, int day, const char* dayRuleSet) {
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
    UnicodeString daySaid;
    if (dayRuleSet != nullptr) daySaid = Ordinal(day, dayRuleSet);
    else if (words.ordinalDays) daySaid = Ordinal(day, words.dayRuleSet);
    else daySaid = words.firstDayOrdinal && day == 1 ? Ordinal(day) : Cardinal(day);
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
            spans.push_back({field.getBeginIndex(), end, daySaid});
        } else if (field.getField() == UDAT_YEAR_FIELD) {
            spans.push_back({field.getBeginIndex(), field.getEndIndex(), Year(year)});
        }
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.begin > b.begin; });
    for (const Span& span : spans) written.replace(span.begin, span.end - span.begin, span.said);
    return written;
}

UnicodeString NumberWords::Time(int hour, int minute, char meridiem) {
    const Clock& clock = words.clock;
    const char* suffix = nullptr;
    if (clock.twelveHour || meridiem != 0) {
        if (meridiem != 0) suffix = meridiem == 'a' ? "a m" : "p m";
        else if (hour > 12 || hour == 0) suffix = hour >= 12 ? "p m" : "a m";
        if (suffix != nullptr) hour = hour % 12 == 0 ? 12 : hour % 12;
    }
    const UnicodeString h = Cardinal(hour, clock.hourRuleSet);
    // The templates for one hour ("une heure") and for the others.
    const int form = plurals && plurals->select(static_cast<double>(hour)) == u"one" ? 0 : 1;
    UnicodeString said;
    if (minute == 0) {
        said = suffix != nullptr ? h : Filled(clock.fullHour[form], h, UnicodeString());
    } else if (clock.afternoon != nullptr && hour > 12) {
        said = Filled(clock.afternoon, h, Cardinal(minute, clock.minuteRuleSet));
    } else if (minute < 10 && clock.minutesBelowTen != nullptr) {
        said = Filled(clock.minutesBelowTen, h, Cardinal(minute, clock.minuteRuleSet));
    } else {
        UnicodeString m = Cardinal(minute, clock.minuteRuleSet);
        for (const auto& [minutes, word] : clock.minuteWords)
            if (minutes == minute) m = UnicodeString::fromUTF8(word);
        said = Filled(clock.hourMinutes[form], h, m);
    }
    if (suffix != nullptr) said += u' ' + UnicodeString(suffix, -1, US_INV);
    return said;
}

}  // namespace text
