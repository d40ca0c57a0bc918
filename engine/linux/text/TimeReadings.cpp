// Readings of dates and clock times.
#include <cstdlib>
#include <string>

#include "Readings.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

namespace {

const char16_t* const kDay = u"(?:0?[1-9]|[12]\\d|3[01])";

}  // namespace

UnicodeString IsoDatePattern(const Language&) {
    return u"(?<![\\d-])\\d{4}-(?:0[1-9]|1[0-2])-(?:0[1-9]|[12]\\d|3[01])(?![\\d-])";
}

UnicodeString ReadIsoDate(Language& language, const Match& match) {
    const std::string date = Utf8(match.piece);
    return language.Numbers().Date(std::atoi(date.c_str()), std::atoi(date.c_str() + 5), std::atoi(date.c_str() + 8));
}

UnicodeString DottedDatePattern(const Language&) {
    return u"(?<![\\d.])(?:0?[1-9]|[12]\\d|3[01])\\.(?:0?[1-9]|1[0-2])\\.\\d{4}(?![\\d]|\\.\\d)";
}

UnicodeString ReadDottedDate(Language& language, const Match& match) {
    // Day, month, year: as Europe writes them.
    const std::string date = Utf8(match.piece);
    size_t month = date.find('.') + 1, year = date.find('.', month) + 1;
    return language.Numbers().Date(std::atoi(date.c_str() + year), std::atoi(date.c_str() + month), std::atoi(date.c_str()));
}

UnicodeString NamedDatePattern(const Language& language) {
    // "15 March 1990", "15. März", "March 3rd, 2024".
    UnicodeString months;
    for (const UnicodeString& name : language.monthNames)
        if (!name.isEmpty()) months += (months.isEmpty() ? u"" : u"|") + (u"\\Q" + name + u"\\E");
    if (months.isEmpty()) return u"(?!)";
    const UnicodeString marks = language.words.ordinalMarks != nullptr
                                    ? u"(?:" + UnicodeString::fromUTF8(language.words.ordinalMarks) + u")?"
                                    : UnicodeString();
    return u"(?<![\\p{L}\\p{N}.])" + UnicodeString(kDay) + u"\\.? (?:" + months + u")(?:,? \\d{4})?(?!\\p{L})|(?<!\\p{L})(?:" +
           months + u") " + kDay + marks + u"(?:,? \\d{4})?(?![\\p{L}\\p{N}])";
}

UnicodeString ReadNamedDate(Language& language, const Match& match) {
    const UnicodeString& piece = match.piece;
    int32_t dayAt = 0;
    while (dayAt < piece.length() && !IsDigit(piece[dayAt])) ++dayAt;
    int dayOfMonth = std::atoi(Utf8(piece.tempSubStringBetween(dayAt, dayAt + 2)).c_str());
    int year = 0;
    if (piece.length() >= 4 && IsDigit(piece[piece.length() - 1]) && IsDigit(piece[piece.length() - 4]))
        year = std::atoi(Utf8(piece.tempSubStringBetween(piece.length() - 4)).c_str());
    int month = language.MonthIn(piece);
    if (month == 0) return {};
    return language.Numbers().Date(year, month, dayOfMonth);
}

UnicodeString SlashDatePattern(const Language&) {
    return u"(?<![\\d/])(?:0?[1-9]|[12]\\d|3[01])/(?:0?[1-9]|[12]\\d|3[01])/\\d{4}(?![\\d/])";
}

UnicodeString ReadSlashDate(Language& language, const Match& match) {
    // The month first in the regions that write it so, else the day.
    const std::string date = Utf8(match.piece);
    int first = std::atoi(date.c_str()), second = std::atoi(date.c_str() + date.find('/') + 1);
    int year = std::atoi(date.c_str() + date.rfind('/') + 1);
    const std::string region = language.Region();
    bool monthFirst = !region.empty() && std::string(language.words.monthFirstRegions).find(region) != std::string::npos;
    if (first > 12) monthFirst = false;
    if (second > 12) monthFirst = true;
    return monthFirst ? language.Numbers().Date(year, first, second) : language.Numbers().Date(year, second, first);
}

UnicodeString HourPattern(const Language&) {
    return u"(?<![\\p{L}\\p{N}:.])(?:1[0-2]|0?[1-9]) ?[AaPp]\\.?[Mm]\\.?(?!\\p{L})";
}

UnicodeString ClockPattern(const Language& language) {
    // The word for the clock written after a time is said with the time.
    const UnicodeString clock =
        language.words.clockWord != nullptr ? u"|\\s" + Quoted(language.words.clockWord) + u"(?!\\p{L})" : u"";
    return u"(?<![\\d:.])(?:[01]?\\d|2[0-3]):[0-5]\\d(?![\\d:])(?:\\s?[AaPp]\\.?[Mm]\\.?(?!\\p{L})" + clock + u")?";
}

UnicodeString ReadClock(Language& language, const Match& match) {
    const std::string time = Utf8(match.piece);
    int hour = std::atoi(time.c_str());
    size_t colon = time.find(':');
    int minute = colon == std::string::npos ? 0 : std::atoi(time.c_str() + colon + 1);
    char meridiem = 0;
    size_t letter = time.find_first_of("AaPp", colon == std::string::npos ? 0 : colon);
    if (letter != std::string::npos) meridiem = (time[letter] == 'a' || time[letter] == 'A') ? 'a' : 'p';
    return language.Numbers().Time(hour, minute, meridiem);
}

}  // namespace text
