// The text front end's module: written text read aloud, through ICU and CLDR. It is a
// library of its own, opened the first time text is read (TextModule.cpp), so that a
// service that has not yet spoken does not carry ICU.
#include "SpokenText.h"

#include <unicode/brkiter.h>
#include <unicode/dtfmtsym.h>
#include <unicode/regex.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "LanguageWords.h"
#include "NumberWords.h"
#include "SymbolNames.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {
namespace {

using icu::UnicodeString;

struct Unit {
    const char* written;
    const char* unit;  // ICU's identifier
};
// Units of measure as written after a number. Letters that are as often words of their own
// after a number ("in", "s") are left out.
constexpr Unit kUnits[] = {
    {"°C", "celsius"},          {"℃", "celsius"},          {"°F", "fahrenheit"},       {"℉", "fahrenheit"},
    {"km/h", "kilometer-per-hour"}, {"kph", "kilometer-per-hour"}, {"mph", "mile-per-hour"}, {"m/s", "meter-per-second"},
    {"Mbps", "megabit-per-second"}, {"Gbps", "gigabit-per-second"}, {"kbps", "kilobit-per-second"},
    {"MB/s", "megabyte-per-second"}, {"tbsp", "tablespoon"},  {"tsp", "teaspoon"},       {"gal", "gallon"},
    {"fl oz", "fluid-ounce"},
    {"km²", "square-kilometer"}, {"m²", "square-meter"},   {"m³", "cubic-meter"},      {"km", "kilometer"},
    {"cm", "centimeter"},       {"mm", "millimeter"},       {"m", "meter"},             {"kg", "kilogram"},
    {"mg", "milligram"},        {"g", "gram"},              {"ml", "milliliter"},       {"mL", "milliliter"},
    {"l", "liter"},             {"L", "liter"},             {"TB", "terabyte"},         {"GB", "gigabyte"},
    {"MB", "megabyte"},         {"kB", "kilobyte"},         {"KB", "kilobyte"},         {"Gb", "gigabit"},
    {"Mb", "megabit"},          {"ms", "millisecond"},      {"min", "minute"},          {"h", "hour"},
    {"hrs", "hour"},            {"kHz", "kilohertz"},       {"MHz", "megahertz"},       {"GHz", "gigahertz"},
    {"Hz", "hertz"},            {"kWh", "kilowatt-hour"},   {"kW", "kilowatt"},         {"W", "watt"},
    {"V", "volt"},              {"mi", "mile"},             {"ft", "foot"},             {"yd", "yard"},
    {"lbs", "pound"},           {"lb", "pound"},            {"oz", "ounce"},            {"%", "percent"},
    {"‰", "permille"},          {"°", "degree"}};

struct Currency {
    const char* written;
    const char* code;
};
constexpr Currency kCurrencySymbols[] = {{"€", "EUR"}, {"£", "GBP"}, {"¥", "JPY"}, {"$", "USD"}, {"₹", "INR"},
                                         {"₽", "RUB"}, {"₩", "KRW"}, {"₺", "TRY"}, {"₴", "UAH"}, {"₪", "ILS"},
                                         {"฿", "THB"}, {"₫", "VND"}, {"₦", "NGN"}, {"₱", "PHP"}};
constexpr const char* kCurrencyCodes[] = {"USD", "EUR", "GBP", "JPY", "CHF", "CAD", "AUD", "CNY", "INR", "SEK", "NOK", "DKK", "PLN"};

// A number as written: digits with separators inside, a sign only where a word could start.
constexpr const char16_t* kNumber = u"(?:(?<![^\\s(\\[])[-\u2212])?(?<![\\p{L}\\p{N}_.,])\\d+(?:[.,]\\d+)*";

/// `text` quoted for an ICU pattern.
UnicodeString Quoted(const char* text) { return u"\\Q" + UnicodeString::fromUTF8(text) + u"\\E"; }

/// Alternatives of `texts`, longest first so that "km" is tried before "m".
template <class Range, class Get>
UnicodeString Alternatives(const Range& texts, Get get) {
    std::vector<const char*> sorted;
    for (const auto& item : texts) sorted.push_back(get(item));
    std::stable_sort(sorted.begin(), sorted.end(), [](const char* a, const char* b) { return std::strlen(a) > std::strlen(b); });
    UnicodeString alternatives;
    for (const char* text : sorted) alternatives += (alternatives.isEmpty() ? u"" : u"|") + Quoted(text);
    return alternatives.isEmpty() ? UnicodeString(u"(?!)") : alternatives;
}

std::string Utf8(const UnicodeString& text) {
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

/// `text` with its first letter in upper case, if it is an ASCII one.
std::string Capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

std::u16string_view View(const UnicodeString& text) { return {text.getBuffer(), static_cast<size_t>(text.length())}; }

/// What a run of letters in an address sounds like: a word when it can be said as one,
/// else its letters ("p y", "w w w", "h t m l").
UnicodeString LettersOrWord(const UnicodeString& run) {
    bool vowel = false;
    for (int32_t i = 0; i < run.length(); ++i)
        vowel |= std::u16string_view(u"aeiouyAEIOUY").find(run[i]) != std::u16string_view::npos || run[i] > 0x7f;
    if (run.length() > 2 && (vowel || run.length() > 4)) return run;
    UnicodeString letters;
    for (int32_t i = 0; i < run.length(); ++i) {
        if (i > 0) letters += u' ';
        letters += run[i];
    }
    return letters;
}

/// The names of the twelve months in `language`, as dates write them; none when ICU has
/// no calendar for it.
std::vector<UnicodeString> MonthNames(const std::string& language) {
    UErrorCode status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(icu::Locale::forLanguageTag(language, status), status);
    if (U_FAILURE(status)) return {};
    int32_t count = 0;
    const UnicodeString* names = symbols.getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
    if (count < 12) return {};
    return std::vector<UnicodeString>(names, names + 12);
}

/// Reads written text aloud in one language. Not for two threads at once.
class Reader {
public:
    explicit Reader(const std::string& language)
        : language(language), words(WordsFor(language)), monthNames(MonthNames(language)) {
        UnicodeString number(kNumber);
        std::vector<std::string> writtenForms;
        for (const Abbreviation& abbreviation : words.abbreviations) {
            writtenForms.push_back(abbreviation.written);
            writtenForms.push_back(Capitalized(abbreviation.written));
        }
        UnicodeString abbreviationPattern = Alternatives(writtenForms, [](const std::string& a) { return a.c_str(); });
        UnicodeString currencies = Alternatives(kCurrencySymbols, [](const Currency& c) { return c.written; });
        UnicodeString codes = Alternatives(kCurrencyCodes, [](const char* code) { return code; });
        UnicodeString units = Alternatives(kUnits, [](const Unit& unit) { return unit.written; });
        // Dates with the month's name: "15 March 1990", "15. März", "March 3rd, 2024".
        UnicodeString months;
        for (const UnicodeString& name : monthNames)
            if (!name.isEmpty()) months += (months.isEmpty() ? u"" : u"|") + (u"\\Q" + name + u"\\E");
        UnicodeString day = u"(?:0?[1-9]|[12]\\d|3[01])";
        UnicodeString namedDate =
            months.isEmpty() ? UnicodeString(u"(?!)")
                             : u"(?<![\\p{L}\\p{N}.])" + day + u"\\.? (?:" + months + u")(?:,? \\d{4})?(?!\\p{L})|(?<!\\p{L})(?:" +
                                   months + u") " + day + u"(?:st|nd|rd|th)?(?:,? \\d{4})?(?![\\p{L}\\p{N}])";
        // The word for the clock written after a time is said with the time.
        UnicodeString clock = words.clockWord != nullptr ? u"|\\s" + Quoted(words.clockWord) + u"(?!\\p{L})" : u"";
        UnicodeString pattern =
            u"(?<abbreviation>(?<![\\p{L}.])(?:" + abbreviationPattern + u")(?!\\p{L}))"
            u"|(?<url>\\b(?:https?|ftp)://[^\\s<>\"]*[^\\s<>\".,;:!?)\\]'])"
            u"|(?<www>\\bwww\\.[^\\s<>\"]*[^\\s<>\".,;:!?)\\]'])"
            u"|(?<email>\\b[\\p{L}\\d._%+-]+@[\\p{L}\\d-]+(?:\\.[\\p{L}\\d-]+)+)"
            u"|(?<path>(?<![\\p{L}\\p{N}_/.~])(?:~|\\.{1,2})?(?:/[\\p{L}\\p{N}_.+-]+)+/?"
            u"|\\b[A-Za-z]:\\\\[^\\s\\\\]+(?:\\\\[^\\s\\\\]+)*)"
            u"|(?<phone>(?<![\\p{N}+])(?:\\+\\d{1,3}[ -]?)?(?:\\(\\d{3}\\) ?|\\d{3}[ -])\\d{3}[ -]\\d{4}(?!\\d))"
            u"|(?<date>(?<![\\d-])\\d{4}-(?:0[1-9]|1[0-2])-(?:0[1-9]|[12]\\d|3[01])(?![\\d-]))"
            u"|(?<dottedDate>(?<![\\d.])(?:0?[1-9]|[12]\\d|3[01])\\.(?:0?[1-9]|1[0-2])\\.\\d{4}(?![\\d]|\\.\\d))"
            u"|(?<namedDate>" + namedDate + u")"
            u"|(?<slashDate>(?<![\\d/])(?:0?[1-9]|[12]\\d|3[01])/(?:0?[1-9]|[12]\\d|3[01])/\\d{4}(?![\\d/]))"
            u"|(?<hour>(?<![\\p{L}\\p{N}:.])(?:1[0-2]|0?[1-9]) ?[AaPp]\\.?[Mm]\\.?(?!\\p{L}))"
            u"|(?<time>(?<![\\d:.])(?:[01]?\\d|2[0-3]):[0-5]\\d(?![\\d:])(?:\\s?[AaPp]\\.?[Mm]\\.?(?!\\p{L})" + clock + u")?)"
            u"|(?<money>(?:" + currencies + u")\\s?" + number + u"|" + number + u"\\s?(?:" + currencies + u")|\\b(?:" +
            codes + u")\\s?" + number + u"|" + number + u"\\s?(?:" + codes + u")\\b)(?:/\\p{L}+)?"
            u"|(?<measure>" + number + u"\\s?(?:" + units + u")(?![\\p{L}\\p{N}])(?:/\\p{L}+(?![/\\p{N}]))?)"
            u"|(?<multiple>" + number + u" ?[x\u00d7](?!\\p{L}))" +
            (words.englishOrdinalSuffixes ? u"|(?<decade>(?<![\\p{L}\\p{N}])(?:1\\d|20)\\d0s\\b)"
             : words.decadeSuffix != nullptr ? u"|(?<decade>(?<![\\p{L}\\p{N}])(?:1\\d|20)?\\d0" + Quoted(words.decadeSuffix) + u")"
                                             : u"|(?<decade>(?!))") +
            (words.englishOrdinalSuffixes ? u"|(?<ordinal>(?<![\\p{L}\\p{N}])\\d+(?:st|nd|rd|th)\\b)" : u"|(?<ordinal>(?!))") +
            u"|(?<range>(?<![\\p{L}\\p{N}_.,-])\\d+ ?[-\u2013] ?\\d+(?!\\d|[.,]\\d))"
            u"|(?<fraction>(?<![\\p{L}\\p{N}/.])\\d+/\\d+(?![\\d/]))"
            u"|(?<vulgar>(?:\\d+ ?)?[\u00bc-\u00be\u2150-\u215e])"
            u"|(?<identifier>(?<![\\p{L}\\p{N}_])[\\p{L}\\p{N}]*_[\\p{L}\\p{N}_]*[\\p{L}\\p{N}](?:\\.[a-z][a-z\\d]{0,5})*)"
            u"|(?<file>(?<![\\p{L}\\p{N}_.@])[\\p{L}\\p{N}][\\p{L}\\p{N}_-]*(?:\\.[a-z][a-z\\d]{0,5})+(?![\\p{L}\\p{N}]))"
            u"|(?<number>" + number + u")";
        for (const Abbreviation& abbreviation : words.abbreviations) {
            abbreviations.push_back(UnicodeString::fromUTF8(abbreviation.written));
            // At the start of a sentence too: "Ca. 500 g".
            std::string capital = Capitalized(abbreviation.written);
            if (capital != abbreviation.written) abbreviations.push_back(UnicodeString::fromUTF8(capital));
        }
        UErrorCode status = U_ZERO_ERROR;
        regex.reset(icu::RegexPattern::compile(pattern, 0, status));
        if (U_FAILURE(status)) {
            regex.reset();
            return;
        }
        for (const char16_t* name : {u"abbreviation", u"url", u"www", u"email", u"path", u"phone", u"date", u"dottedDate",
                                     u"namedDate", u"slashDate", u"hour", u"time", u"money", u"measure", u"multiple", u"decade",
                                     u"ordinal", u"range", u"fraction", u"vulgar", u"identifier", u"file", u"number"})
            groups.push_back(regex->groupNumberFromName(UnicodeString(name), status));
        status = U_ZERO_ERROR;
        graphemes.reset(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status)) graphemes.reset();
    }

    std::string Read(std::string_view utf8, bool asciiOnly) {
        const UnicodeString text = UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
        UnicodeString said;
        int32_t done = 0;
        if (regex) {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::RegexMatcher> matcher(regex->matcher(text, status));
            // The patterns are tried only where a word holds something they could match:
            // most of a text is plain words, which they would each be tried at in vain.
            // Lookbehinds and what follows still see the whole text.
            if (U_SUCCESS(status)) matcher->useTransparentBounds(true);
            for (const auto& [regionStart, regionEnd] : Candidates(text)) {
                matcher->region(regionStart, regionEnd, status);
                while (U_SUCCESS(status) && matcher->find(status)) {
                    int32_t start = matcher->start(status), end = matcher->end(status);
                    said += Plain(text, done, start, asciiOnly);
                    int32_t kind = 0;
                    while (kind < static_cast<int32_t>(groups.size()) && matcher->start(groups[kind], status) < 0) ++kind;
                    UnicodeString piece = text.tempSubStringBetween(start, end);
                    UnicodeString read = Matched(static_cast<Kind>(kind), piece, text, end);
                    said += read.isEmpty() ? piece : u" " + read + u" ";
                    done = end;
                }
            }
        }
        said += Plain(text, done, text.length(), asciiOnly);
        if (asciiOnly) said = FoldedToAscii(said);
        return Utf8(Tidied(said));
    }

    static UnicodeString FoldedToAscii(UnicodeString text) {
        bool ascii = true;
        for (int32_t i = 0; i < text.length() && ascii; ++i) ascii = text[i] < 0x80;
        if (ascii) return text;
        static std::unique_ptr<icu::Transliterator> folding = [] {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::Transliterator> made(
                icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
            return U_SUCCESS(status) ? std::move(made) : nullptr;
        }();
        if (folding) folding->transliterate(text);
        return text;
    }

private:
    enum class Kind { Abbreviation, Url, Www, Email, Path, Phone, Date, DottedDate, NamedDate, SlashDate, Hour, Time, Money, Measure,
                      Multiple, Decade, Ordinal, Range, Fraction, Vulgar, Identifier, File, Number };

    UnicodeString Matched(Kind kind, const UnicodeString& piece, const UnicodeString& text, int32_t end) {
        const bool numeric = kind != Kind::Abbreviation && kind != Kind::Url && kind != Kind::Www && kind != Kind::Email &&
                             kind != Kind::Path && kind != Kind::Identifier && kind != Kind::File;
        if (numeric && !Numbers().SpellsOut()) return {};  // the engine reads them in its language
        switch (kind) {
            case Kind::Abbreviation: return AbbreviationSaid(piece, text, end);
            case Kind::Url: {
                UnicodeString address(piece);
                address.remove(0, address.indexOf(u"://") + 3);
                while (address.endsWith(u"/")) address.truncate(address.length() - 1);
                return Address(address);
            }
            case Kind::Www:
            case Kind::Email:
            case Kind::Path:
            case Kind::Identifier:
            case Kind::File: return Address(piece);
            case Kind::Date: {
                std::string date = Utf8(piece);
                return Numbers().Date(std::atoi(date.c_str()), std::atoi(date.c_str() + 5), std::atoi(date.c_str() + 8));
            }
            case Kind::DottedDate: {  // day, month, year: as Europe writes them
                std::string date = Utf8(piece);
                size_t month = date.find('.') + 1, year = date.find('.', month) + 1;
                return Numbers().Date(std::atoi(date.c_str() + year), std::atoi(date.c_str() + month), std::atoi(date.c_str()));
            }
            case Kind::NamedDate: {
                int32_t dayAt = 0;
                while (dayAt < piece.length() && !IsDigit(piece[dayAt])) ++dayAt;
                int dayOfMonth = std::atoi(Utf8(piece.tempSubStringBetween(dayAt, dayAt + 2)).c_str());
                int year = 0;
                if (piece.length() >= 4 && IsDigit(piece[piece.length() - 1]) && IsDigit(piece[piece.length() - 4]))
                    year = std::atoi(Utf8(piece.tempSubStringBetween(piece.length() - 4)).c_str());
                int month = MonthIn(piece);
                if (month == 0) return {};
                return Numbers().Date(year, month, dayOfMonth);
            }
            case Kind::SlashDate: {  // month first in the United States, else day first
                std::string date = Utf8(piece);
                int first = std::atoi(date.c_str()), second = std::atoi(date.c_str() + date.find('/') + 1);
                int year = std::atoi(date.c_str() + date.rfind('/') + 1);
                bool monthFirst = language.size() >= 5 && language.compare(0, 2, "en") == 0 &&
                                  (language.compare(3, 2, "US") == 0 || language.compare(3, 2, "us") == 0);
                if (first > 12) monthFirst = false;
                if (second > 12) monthFirst = true;
                return monthFirst ? Numbers().Date(year, first, second) : Numbers().Date(year, second, first);
            }
            case Kind::Phone: {  // in its groups, digit by digit
                UnicodeString said;
                for (int32_t at = 0; at < piece.length();) {
                    int32_t end = at;
                    while (end < piece.length() && IsDigit(piece[end])) ++end;
                    if (end > at) said += (said.isEmpty() ? u"" : u", ") + Numbers().Digits(View(piece.tempSubStringBetween(at, end)));
                    else if (piece[at] == u'+' && words.plus != nullptr) said += UnicodeString::fromUTF8(words.plus);
                    at = std::max(end, at + 1);
                }
                return said;
            }
            case Kind::Hour:
            case Kind::Time: return TimeSaid(piece);
            case Kind::Money: return Per(piece, [this](const UnicodeString& amount) { return MoneySaid(amount); });
            case Kind::Measure: {
                UnicodeString said = Per(piece, [this](const UnicodeString& amount) { return MeasureSaid(amount); });
                if (!said.isEmpty()) return said;
                // A unit ICU does not name: the number, and the unit as written.
                WrittenNumber amount;
                int32_t end = 0;
                if (!NumberAt(piece, 0, &amount, &end)) return {};
                return Numbers().Cardinal(amount) + u" " + piece.tempSubStringBetween(end).trim();
            }
            case Kind::Multiple: {
                WrittenNumber number;
                int32_t end = 0;
                if (!NumberAt(piece, 0, &number, &end) || words.times == nullptr) return {};
                return Numbers().Cardinal(number) + u" " + UnicodeString::fromUTF8(words.times);
            }
            case Kind::Decade: {  // "the 1990s": the year's last word in the plural; "die 90er"
                int64_t value = std::atoll(Utf8(piece).c_str());
                UnicodeString year = value >= 1000 ? Numbers().Year(value) : Numbers().Cardinal(value);
                if (words.decadeSuffix != nullptr) return year + UnicodeString::fromUTF8(words.decadeSuffix);
                if (!year.endsWith(u"y")) return year + u"s";
                year.truncate(year.length() - 1);
                return year + u"ies";
            }
            case Kind::Ordinal: return Numbers().Ordinal(std::atoll(Utf8(piece).c_str()));
            case Kind::Range: return RangeSaid(piece);
            case Kind::Fraction: {
                std::string fraction = Utf8(piece);
                int64_t numerator = std::atoll(fraction.c_str());
                int64_t denominator = std::atoll(fraction.c_str() + fraction.find('/') + 1);
                // "24/7": a number and a number, not a fraction.
                if (numerator > 2 * denominator) return Numbers().Cardinal(numerator) + u" " + Numbers().Cardinal(denominator);
                UnicodeString said = Numbers().Fraction(numerator, denominator);
                if (!said.isEmpty()) return said;
                return Numbers().Cardinal(numerator) + u" " + Separator(u'/') + u" " + Numbers().Cardinal(denominator);
            }
            case Kind::Vulgar: return VulgarSaid(piece);
            case Kind::Number: return NumberSaid(piece);
        }
        return {};
    }

    /// Whether a word with `c` in it may hold something the patterns match: every pattern
    /// needs a digit, a dot inside a word, '/', '@', '_' or a fraction sign.
    static bool IsCandidate(UChar32 c) {
        return (c >= '0' && c <= '9') || c == '/' || c == '@' || c == '_' || (c >= 0xBC && c <= 0xBE) ||
               (c >= 0x2150 && c <= 0x215E);
    }

    /// The stretches of `text` the patterns are tried in: each word that may hold
    /// something they match, with the word after a number (its unit, "pm", "Uhr") and the
    /// words beside it joined. A word whose only dot ends it is tried only when it is an
    /// abbreviation: that dot ends most sentences.
    std::vector<std::pair<int32_t, int32_t>> Candidates(const UnicodeString& text) const {
        std::vector<std::pair<int32_t, int32_t>> regions;
        bool takeNext = false;  // the word after a number
        int32_t previous = -1;  // where the word before began
        for (int32_t at = 0; at < text.length();) {
            while (at < text.length() && u_isspace(text.char32At(at))) at = text.moveIndex32(at, 1);
            int32_t start = at;
            int32_t before = previous;
            previous = start;
            bool candidate = takeNext, digit = false, innerDot = false;
            while (at < text.length() && !u_isspace(text.char32At(at))) {
                UChar32 c = text.char32At(at);
                candidate |= IsCandidate(c);
                digit |= c >= '0' && c <= '9';
                at = text.moveIndex32(at, 1);
                innerDot |= c == '.' && at < text.length() && u_isalnum(text.char32At(at));
            }
            takeNext = digit;
            if (start == at) continue;
            candidate |= innerDot;
            int32_t wordEnd = at;  // before closing punctuation
            while (wordEnd > start && std::u16string_view(u",;:!?)]\"'").find(text[wordEnd - 1]) != std::u16string_view::npos)
                --wordEnd;
            if (!candidate && wordEnd > start && text[wordEnd - 1] == u'.') {
                int32_t word = start;  // past opening brackets and quotes
                while (word < wordEnd && !u_isalpha(text.char32At(word))) word = text.moveIndex32(word, 1);
                for (const UnicodeString& abbreviation : abbreviations) {
                    candidate |= text.compare(word, wordEnd - word, abbreviation) == 0;
                    // Written in two words: "z. B.", "et al."
                    if (before >= 0 && text.compare(before, wordEnd - before, abbreviation) == 0) {
                        candidate = true;
                        if (regions.empty() || regions.back().second <= before) start = before;
                    }
                }
            }
            if (!candidate) continue;
            // A number takes the word before it too ("USD 20", "Fig. 3").
            if (digit && before >= 0 && (regions.empty() || regions.back().second <= before)) start = before;
            // Joined to the stretch before when only blanks part them.
            bool adjoins = !regions.empty();
            for (int32_t i = adjoins ? regions.back().second : 0; adjoins && i < start; ++i) adjoins = u_isspace(text[i]);
            if (adjoins) regions.back().second = at;
            else regions.emplace_back(start, at);
        }
        return regions;
    }

    /// The text from `from` to `to`, which no pattern matched: symbols and emoji named.
    UnicodeString Plain(const UnicodeString& text, int32_t from, int32_t to, bool asciiOnly) {
        UnicodeString said;
        int32_t at = from;
        while (at < to) {
            int32_t run = at;  // up to the next symbol, taken as it is
            while (run < to && !IsSymbol(text.char32At(run))) run = text.moveIndex32(run, 1);
            said.append(text, at, run - at);
            at = run;
            if (at == to) break;
            UChar32 c = text.char32At(at);
            int32_t next = text.moveIndex32(at, 1);
            // The whole cluster: an emoji with its modifiers, a flag's two letters.
            if (graphemes) {
                graphemes->setText(text);
                int32_t clusterEnd = graphemes->following(at);
                if (clusterEnd != icu::BreakIterator::DONE && clusterEnd > at) next = std::min(clusterEnd, to);
            }
            UnicodeString name = SymbolSaid(text.tempSubStringBetween(at, next), c, asciiOnly);
            if (name.isEmpty()) said.append(text, at, next - at);
            else said += u" " + name + u" ";
            at = next;
        }
        return said;
    }

    static bool IsSymbol(UChar32 c) {
        if (c < 0x80) return c == '&' || c == '+' || c == '=' || c == '<' || c == '>' || c == '@' || c == '#' || c == '%';
        switch (u_charType(c)) {
            case U_MATH_SYMBOL:
            case U_CURRENCY_SYMBOL:
            case U_OTHER_SYMBOL:
            case U_OTHER_NUMBER: return true;
            default: break;
        }
        return u_hasBinaryProperty(c, UCHAR_EXTENDED_PICTOGRAPHIC) || u_hasBinaryProperty(c, UCHAR_REGIONAL_INDICATOR);
    }

    /// What a symbol is called: this language's word where people say one (arithmetic,
    /// "&"), else CLDR's name; for an ASCII-only engine, else Unicode's.
    UnicodeString SymbolSaid(const UnicodeString& cluster, UChar32 first, bool asciiOnly) {
        const char* word = nullptr;
        switch (first) {
            case '&': word = words.ampersand; break;
            case '+': word = words.plus; break;
            case '=': word = words.equals; break;
            case '<': word = words.lessThan; break;
            case '>': word = words.greaterThan; break;
            case '@': word = words.at; break;
            case '#': word = words.hashtag; break;
            case 0x2212: word = words.minus; break;
            case 0x00D7: word = words.times; break;
            case 0x00F7: word = words.dividedBy; break;
            case 0x00B1: word = words.plusOrMinus; break;
            default: break;
        }
        if (word != nullptr) return UnicodeString::fromUTF8(word);
        std::string name = SymbolName(Utf8(cluster), language);
        if (name.empty() && cluster.countChar32() > 1) name = SymbolName(Utf8(UnicodeString(first)), language);
        if (!name.empty()) return UnicodeString::fromUTF8(name);
        if (asciiOnly && first >= 0x80) {
            char unicodeName[128];
            UErrorCode status = U_ZERO_ERROR;
            int32_t length = u_charName(first, U_UNICODE_CHAR_NAME, unicodeName, sizeof unicodeName, &status);
            if (U_SUCCESS(status) && length > 0) return UnicodeString(unicodeName, length, US_INV).toLower();
        }
        return {};
    }

    /// An address's separator in words: this language's, else CLDR's name.
    UnicodeString Separator(char16_t c) {
        const char* word = nullptr;
        switch (c) {
            case u'.': word = words.dot; break;
            case u'@': word = words.at; break;
            case u'/': word = words.slash; break;
            case u':': word = words.colon; break;
            case u'-': word = words.dash; break;
            case u'_': word = words.underscore; break;
            case u'=': word = words.equals; break;
            case u'&': word = words.ampersand; break;
            case u'\\': word = words.backslash; break;
            default: break;
        }
        if (word != nullptr) return UnicodeString::fromUTF8(word);
        std::string name = SymbolName(Utf8(UnicodeString(c)), language);
        return name.empty() ? UnicodeString(c) : UnicodeString::fromUTF8(name);
    }

    /// A URL, an e-mail address, a path or an identifier by its parts: words, letters,
    /// numbers and the separators between them ("foo underscore bar dot p y").
    UnicodeString Address(const UnicodeString& address, bool digitsApart = false) {
        UnicodeString said;
        auto add = [&](const UnicodeString& part) {
            if (part.isEmpty()) return;
            if (!said.isEmpty()) said += u' ';
            said += part;
        };
        int32_t at = 0;
        while (at < address.length()) {
            UChar32 c = address.char32At(at);
            int32_t end = at;
            if (u_isalpha(c)) {
                // A run of letters, parted where a lower-case letter meets an upper-case one
                // ("camelCase").
                end = address.moveIndex32(end, 1);
                while (end < address.length() && u_isalpha(address.char32At(end)) &&
                       !(u_isUUppercase(address.char32At(end)) && u_isULowercase(address.char32At(address.moveIndex32(end, -1)))))
                    end = address.moveIndex32(end, 1);
                add(LettersOrWord(address.tempSubStringBetween(at, end)));
            } else if (IsDigit(address[at])) {
                while (end < address.length() && IsDigit(address[end])) ++end;
                if (!Numbers().SpellsOut()) {
                    add(address.tempSubStringBetween(at, end));
                    at = end;
                    continue;
                }
                std::u16string digits(address.getBuffer() + at, address.getBuffer() + end);
                if (!digitsApart && digits.size() <= 4 && (digits.size() == 1 || digits[0] != u'0'))
                    add(Numbers().Cardinal(std::atoll(Utf8(UnicodeString(digits.data(), static_cast<int32_t>(digits.size()))).c_str())));
                else add(Numbers().Digits(digits));
            } else {
                end = address.moveIndex32(end, 1);
                add(Separator(address[at]));
            }
            at = end;
        }
        return said;
    }

    UnicodeString AbbreviationSaid(const UnicodeString& piece, const UnicodeString& text, int32_t end) {
        std::string written = Utf8(piece);
        for (const Abbreviation& abbreviation : words.abbreviations) {
            if (written != abbreviation.written && written != Capitalized(abbreviation.written)) continue;
            UnicodeString said = UnicodeString::fromUTF8(abbreviation.said);
            // Its dot also ends the sentence when one ends there ("pears etc. Then"); a
            // title ("Dr.") never ends one.
            bool title = piece.length() > 0 && u_isUUppercase(piece.char32At(0));
            if (!title && piece.endsWith(u".")) {
                int32_t next = end;
                while (next < text.length() && u_isWhitespace(text.char32At(next))) next = text.moveIndex32(next, 1);
                if (next == text.length() ||
                    (next > end && !words.nounsCapitalized && u_isUUppercase(text.char32At(next))))
                    said += u'.';
            }
            return said;
        }
        return {};
    }

    /// An amount read by `read`, and what it is per ("$3.49/gallon": "... per gallon").
    template <class Read>
    UnicodeString Per(const UnicodeString& piece, const Read& read) {
        int32_t slash = piece.lastIndexOf(u'/');
        if (slash < 0 || slash + 1 >= piece.length() || !u_isalpha(piece.char32At(slash + 1)) || words.per == nullptr)
            return read(piece);
        if (UnicodeString whole = read(piece); !whole.isEmpty()) return whole;  // "km/h" is one unit
        UnicodeString amount = read(piece.tempSubStringBetween(0, slash));
        if (amount.isEmpty()) return {};
        return amount + u" " + UnicodeString::fromUTF8(words.per) + u" " + piece.tempSubStringBetween(slash + 1);
    }

    /// The number (1 to 12) of the month whose name `piece` holds; 0 when none.
    int MonthIn(const UnicodeString& piece) const {
        for (size_t i = 0; i < monthNames.size(); ++i)
            if (!monthNames[i].isEmpty() && piece.indexOf(monthNames[i]) >= 0) return static_cast<int>(i) + 1;
        return 0;
    }

    UnicodeString TimeSaid(const UnicodeString& piece) {
        std::string time = Utf8(piece);
        int hour = std::atoi(time.c_str());
        size_t colon = time.find(':');
        int minute = colon == std::string::npos ? 0 : std::atoi(time.c_str() + colon + 1);
        char meridiem = 0;
        size_t letter = time.find_first_of("AaPp", colon == std::string::npos ? 0 : colon);
        if (letter != std::string::npos)
            meridiem = (time[letter] == 'a' || time[letter] == 'A') ? 'a' : 'p';
        return Numbers().Time(hour, minute, meridiem);
    }

    /// The number written at the start of `piece` (after `from`), and where it ends.
    bool NumberAt(const UnicodeString& piece, int32_t from, WrittenNumber* number, int32_t* end) {
        int32_t at = from;
        if (at < piece.length() && (piece[at] == u'-' || piece[at] == u'\u2212')) ++at;
        while (at < piece.length() && (IsDigit(piece[at]) || ((piece[at] == u'.' || piece[at] == u',') &&
                                                               at + 1 < piece.length() && IsDigit(piece[at + 1]))))
            ++at;
        *end = at;
        return Numbers().Parse(View(piece.tempSubStringBetween(from, at)), number);
    }

    UnicodeString MoneySaid(const UnicodeString& piece) {
        int32_t first = 0;
        while (first < piece.length() && !IsDigit(piece[first]) && piece[first] != u'-' && piece[first] != u'\u2212') ++first;
        WrittenNumber amount;
        int32_t numberEnd = 0;
        if (!NumberAt(piece, first, &amount, &numberEnd)) return {};
        std::string currency = Utf8(piece.tempSubStringBetween(0, first) + piece.tempSubStringBetween(numberEnd));
        currency.erase(std::remove(currency.begin(), currency.end(), ' '), currency.end());
        const CurrencyName* named = nullptr;
        for (const CurrencyName& name : words.currencies)
            if (currency == name.sign) named = &name;
        for (const Currency& symbol : kCurrencySymbols)
            if (currency == symbol.written) return Numbers().Money(amount, symbol.code, named);
        return Numbers().Money(amount, currency.c_str());
    }

    UnicodeString MeasureSaid(const UnicodeString& piece) {
        WrittenNumber amount;
        int32_t numberEnd = 0;
        if (!NumberAt(piece, 0, &amount, &numberEnd)) return {};
        std::string written = Utf8(piece.tempSubStringBetween(numberEnd).trim());
        for (const Unit& unit : kUnits)
            if (written == unit.written) return Numbers().Measure(amount, unit.unit);
        return {};
    }

    /// A whole number: a year where it looks like one, else a cardinal.
    UnicodeString WholeSaid(const UnicodeString& digits) {
        int64_t value = std::atoll(Utf8(digits).c_str());
        if (digits.length() == 4 && value >= 1000 && value <= 2099) return Numbers().Year(value);
        WrittenNumber number;
        number.whole = Utf8(digits);
        return Numbers().Cardinal(number);
    }

    UnicodeString RangeSaid(const UnicodeString& piece) {
        int32_t dash = 0;
        while (dash < piece.length() && IsDigit(piece[dash])) ++dash;
        UnicodeString from = piece.tempSubStringBetween(0, dash);
        int32_t second = piece.length();
        while (second > 0 && IsDigit(piece[second - 1])) --second;
        UnicodeString to = piece.tempSubStringBetween(second);
        bool spaced = piece.indexOf(u' ') >= 0;
        int64_t low = std::atoll(Utf8(from).c_str()), high = std::atoll(Utf8(to).c_str());
        // Pages, amounts and years run from one to the other: "five to ten".
        // Small numbers run from one to the other either way ("9-5", a score "3-2"); years
        // upwards.
        bool range = (from.length() <= 3 && to.length() <= 3 && !spaced) ||
                     (low < high && ((from.length() <= 3 && to.length() <= 3) || (from.length() == 4 && to.length() == 4)));
        if (range && words.rangeTo != nullptr)
            return WholeSaid(from) + u" " + UnicodeString::fromUTF8(words.rangeTo) + u" " + WholeSaid(to);
        if (spaced && words.minus != nullptr)
            return WholeSaid(from) + u" " + UnicodeString::fromUTF8(words.minus) + u" " + WholeSaid(to);
        // Neither: a telephone number ("555-1234") or a code, digit by digit.
        if (!range) return Numbers().Digits(View(from)) + u", " + Numbers().Digits(View(to));
        return WholeSaid(from) + u" - " + WholeSaid(to);
    }

    UnicodeString VulgarSaid(const UnicodeString& piece) {
        UChar32 fraction = piece.char32At(piece.length() - 1);
        double value = u_getNumericValue(fraction);
        UnicodeString part;
        for (int64_t denominator = 2; denominator <= 10 && part.isEmpty(); ++denominator) {
            double numerator = value * static_cast<double>(denominator);
            int64_t rounded = static_cast<int64_t>(numerator + 0.5);
            if (rounded > 0 && std::abs(numerator - static_cast<double>(rounded)) < 1e-9)
                part = Numbers().Fraction(rounded, denominator);
        }
        if (part.isEmpty()) return {};
        if (!IsDigit(piece[0])) return part;
        int32_t digits = 0;
        while (digits < piece.length() && IsDigit(piece[digits])) ++digits;
        const char* and_ = words.ampersand != nullptr ? words.ampersand : "";
        // "two and a half", where the language says so.
        UnicodeString one = words.fractionNumeratorOne != nullptr ? UnicodeString::fromUTF8(words.fractionNumeratorOne) : "";
        if (words.mixedFractionOne != nullptr && !one.isEmpty() && part.startsWith(one + u" "))
            part.replace(0, one.length(), UnicodeString::fromUTF8(words.mixedFractionOne));
        return WholeSaid(piece.tempSubStringBetween(0, digits)) + u" " + UnicodeString::fromUTF8(and_) + u" " + part;
    }

    UnicodeString NumberSaid(const UnicodeString& piece) {
        WrittenNumber number;
        int32_t end = 0;
        if (NumberAt(piece, 0, &number, &end) && end == piece.length()) {
            if (!number.negative && number.fraction.empty() && piece.indexOf(u',') < 0 && piece.indexOf(u'.') < 0)
                return WholeSaid(piece);
            return Numbers().Cardinal(number);
        }
        // Several dots or commas: a version or an address ("1.2.3", "192.168.0.1"). An
        // internet address's numbers are said digit by digit.
        int32_t dots = 0;
        for (int32_t i = 0; i < piece.length(); ++i) dots += piece[i] == u'.';
        return Address(piece, dots == 3);
    }

    /// `said` without the blanks the readings put around themselves twice over.
    static UnicodeString Tidied(const UnicodeString& said) {
        UnicodeString tidy;
        tidy.getBuffer(said.length());
        tidy.releaseBuffer(0);
        for (int32_t i = 0; i < said.length(); ++i) {
            char16_t c = said[i];
            if (c == u' ' && (tidy.isEmpty() || tidy.endsWith(u" ") || tidy.endsWith(u"\n"))) continue;
            if (std::u16string_view(u".,;:!?)").find(c) != std::u16string_view::npos && tidy.endsWith(u" ")) tidy.truncate(tidy.length() - 1);
            tidy += c;
        }
        while (tidy.endsWith(u" ")) tidy.truncate(tidy.length() - 1);
        return tidy;
    }

    const std::string language;
    const LanguageWords& words;
    const std::vector<UnicodeString> monthNames;  // the language's, January first
    std::unique_ptr<NumberWords> numbers;  // made when a text first has a number: ICU's locale data is large

    NumberWords& Numbers() {
        if (!numbers) numbers = std::make_unique<NumberWords>(language);
        return *numbers;
    }
    std::vector<UnicodeString> abbreviations;  // as written: "e.g.", "Dr."
    std::unique_ptr<icu::RegexPattern> regex;
    std::vector<int32_t> groups;  // each Kind's group number
    std::unique_ptr<icu::BreakIterator> graphemes;
};

/// The module's state, made when it is opened: the readers of the languages read last,
/// the latest first (a few hundred KiB each, so markup that goes through every language
/// keeps only these).
struct ModuleState {
    static constexpr size_t kReadersKept = 4;
    std::mutex lock;
    std::vector<std::pair<std::string, std::unique_ptr<Reader>>> readers;
};

}  // namespace
}  // namespace text

// The module's entry points, opened by name (TextModule.cpp): plain C, and the only
// symbols it shows.
extern "C" __attribute__((visibility("default"))) void* SpeechTextOpen() { return new text::ModuleState(); }

extern "C" __attribute__((visibility("default"))) void SpeechTextClose(void* state) {
    delete static_cast<text::ModuleState*>(state);
}

extern "C" __attribute__((visibility("default"))) void SpeechTextReadAloud(void* opened, const char* written, size_t size,
                                                                            const char* language, int asciiOnly,
                                                                            std::string* said) {
    using namespace text;
    ModuleState& state = *static_cast<ModuleState*>(opened);
    std::lock_guard<std::mutex> guard(state.lock);
    auto& readers = state.readers;
    auto found = std::find_if(readers.begin(), readers.end(), [&](const auto& entry) { return entry.first == language; });
    if (found == readers.end()) {
        if (readers.size() == ModuleState::kReadersKept) readers.pop_back();
        readers.emplace_back(language, std::make_unique<Reader>(language));
        found = readers.end() - 1;
    }
    std::rotate(readers.begin(), found, found + 1);
    *said = readers.front().second->Read(std::string_view(written, size), asciiOnly != 0);
}

extern "C" __attribute__((visibility("default"))) void SpeechTextFoldToAscii(void* opened, const char* text, size_t size,
                                                                              std::string* folded) {
    using namespace text;
    ModuleState& state = *static_cast<ModuleState*>(opened);
    std::lock_guard<std::mutex> guard(state.lock);
    *folded = Utf8(Reader::FoldedToAscii(UnicodeString::fromUTF8(icu::StringPiece(text, static_cast<int32_t>(size)))));
}
