// Readings of dates and clock times.
#include <unicode/uchar.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Grammar.h"
#include "Readings.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

namespace {

const char16_t* const kDay = u"(?:0?[1-9]|[12]\\d|3[01])";
const char16_t* const kHour = u"(?:[01]?\\d|2[0-3])";
const char16_t* const kMinutes = u"[0-5]\\d";

/// The rule set of a date's day after the words before `match` ("am" the dative); null
/// for the language's own.
const char* DayRuleSet(const Language& language, const Match& match) {
    return OrdinalAfterRuleSet(language.words, NeighboursOf(match.text, match.begin, match.end));
}

/// The numbers written in `piece`, in order.
std::vector<int> NumbersIn(const UnicodeString& piece) {
    std::vector<int> numbers;
    for (int32_t at = 0; at < piece.length();) {
        if (!IsDigit(piece[at])) {
            ++at;
            continue;
        }
        int32_t end = at;
        while (end < piece.length() && IsDigit(piece[end])) ++end;
        numbers.push_back(std::atoi(Utf8(piece.tempSubStringBetween(at, end)).c_str()));
        at = end;
    }
    return numbers;
}

}  // namespace

UnicodeString IsoDatePattern(const Language&) {
    return u"(?<![\\d-])\\d{4}-(?:0[1-9]|1[0-2])-(?:0[1-9]|[12]\\d|3[01])(?![\\d-])";
}

UnicodeString ReadIsoDate(Language& language, const Match& match) {
    const std::vector<int> date = NumbersIn(match.piece);
    return language.Numbers().Date(date[0], date[1], date[2], DayRuleSet(language, match));
}

UnicodeString DottedDatePattern(const Language& language) {
    // Day, month, year, as Europe writes them; where the language does, without the year
    // ("am 15.3.").
    const UnicodeString dayMonth = u"(?<![\\d.])" + UnicodeString(kDay) + u"\\.(?:0?[1-9]|1[0-2])\\.";
    UnicodeString pattern = dayMonth + u"\\d{4}(?![\\d]|\\.\\d)";
    if (language.words.dayMonthDotted) pattern += u"|" + dayMonth + u"(?![\\p{L}\\p{N}]|\\.\\d)";
    return pattern;
}

UnicodeString ReadDottedDate(Language& language, const Match& match) {
    const std::vector<int> date = NumbersIn(match.piece);
    const char* day = DayRuleSet(language, match);
    // Without its year, only where the words before say it is a day ("am 15.3."): "1.2."
    // is as often a section's number.
    if (date.size() < 3 && day == nullptr) return {};
    return language.Numbers().Date(date.size() > 2 ? date[2] : 0, date[1], date[0], day);
}

UnicodeString NamedDatePattern(const Language& language) {
    // "15 March 1990", "15. März", "le 1er mai", "March 3rd, 2024".
    UnicodeString months;
    for (const UnicodeString& name : language.monthNames)
        if (!name.isEmpty()) months += (months.isEmpty() ? u"" : u"|") + (u"\\Q" + name + u"\\E");
    if (months.isEmpty()) return u"(?!)";
    std::vector<std::string> written;
    for (const OrdinalMark& mark : language.words.ordinalMarks) written.emplace_back(mark.written);
    const UnicodeString marks = written.empty() ? UnicodeString() : u"(?:" + Alternatives(written) + u")?";
    UnicodeString pattern = u"(?<![\\p{L}\\p{N}.])" + UnicodeString(kDay) + u"(?:\\.|" + marks + u") (?:" + months +
                            u")(?:,? \\d{4})?(?!\\p{L})";
    if (language.words.monthNamedFirst)
        pattern += u"|(?<!\\p{L})(?:" + months + u") " + kDay + marks + u"(?:,? \\d{4})?(?![\\p{L}\\p{N}])";
    return pattern;
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
    return language.Numbers().Date(year, month, dayOfMonth, DayRuleSet(language, match));
}

UnicodeString SlashDatePattern(const Language&) {
    return u"(?<![\\d/])(?:0?[1-9]|[12]\\d|3[01])/(?:0?[1-9]|[12]\\d|3[01])/\\d{4}(?![\\d/])";
}

UnicodeString ReadSlashDate(Language& language, const Match& match) {
    // The month first in the regions that write it so, else the day.
    const std::vector<int> date = NumbersIn(match.piece);
    int first = date[0], second = date[1], year = date[2];
    const std::string region = language.Region();
    bool monthFirst = !region.empty() && std::string(language.words.monthFirstRegions).find(region) != std::string::npos;
    if (first > 12) monthFirst = false;
    if (second > 12) monthFirst = true;
    const char* day = DayRuleSet(language, match);
    return monthFirst ? language.Numbers().Date(year, first, second, day) : language.Numbers().Date(year, second, first, day);
}

UnicodeString HourPattern(const Language&) {
    return u"(?<![\\p{L}\\p{N}:.])(?:1[0-2]|0?[1-9]) ?[AaPp]\\.?[Mm]\\.?(?!\\p{L})";
}

UnicodeString ClockPattern(const Language& language) {
    // The language's ways of writing a time; the word for the clock written after one is
    // said with it.
    const Clock& clock = language.words.clock;
    const UnicodeString word = clock.word != nullptr ? u"\\s?" + Quoted(clock.word) + u"(?!\\p{L})" : UnicodeString();
    UnicodeString pattern;
    for (const ClockForm& form : clock.forms) {
        if (form.needsClockWord && word.isEmpty()) continue;
        const UnicodeString blank = form.spaced ? u" ?" : u"";
        UnicodeString written = u"(?<![\\d:.])" + UnicodeString(kHour);
        if (*form.separator != '\0') {
            const UnicodeString minutes = blank + kMinutes;
            written += blank + Quoted(form.separator) + (form.minutesOptional ? u"(?:" + minutes + u")?" : minutes);
        }
        // A letter for a separator ("14h") is not a word's first ("14 heures").
        written += u_isalpha(static_cast<unsigned char>(*form.separator)) ? u"(?![\\d:]|\\p{L})" : u"(?![\\d:])";
        if (form.needsClockWord) written += word;
        else if (*form.separator == ':')
            written += u"(?:\\s?[AaPp]\\.?[Mm]\\.?(?!\\p{L})" + (word.isEmpty() ? UnicodeString() : u"|" + word) + u")?";
        pattern += (pattern.isEmpty() ? u"" : u"|") + written;
    }
    return pattern.isEmpty() ? UnicodeString(u"(?!)") : pattern;
}

UnicodeString ReadClock(Language& language, const Match& match) {
    const std::vector<int> numbers = NumbersIn(match.piece);
    const std::string time = Utf8(match.piece);
    char meridiem = 0;
    size_t letter = time.find_first_of("AaPp");
    if (letter != std::string::npos && letter + 1 < time.size() && (time[letter + 1] == 'm' || time[letter + 1] == 'M' ||
                                                                     time[letter + 1] == '.'))
        meridiem = (time[letter] == 'a' || time[letter] == 'A') ? 'a' : 'p';
    return language.Numbers().Time(numbers[0], numbers.size() > 1 ? numbers[1] : 0, meridiem);
}

}  // namespace text
