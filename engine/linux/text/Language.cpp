#include "Language.h"

#include <unicode/dtfmtsym.h>
#include <unicode/uchar.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

namespace {

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

/// The number pattern of a language that groups with blanks, or not.
icu::UnicodeString NumberPatternFor(bool blankGrouping) {
    UnicodeString pattern = u"(?:(?<![^\\s(\\[])[-\u2212])?(?<![\\p{L}\\p{N}_.,])(?:";
    if (blankGrouping) pattern += u"\\d{1,3}(?:[ \u00a0\u202f]\\d{3})+(?!\\d)(?:[.,]\\d+)?|";
    return pattern + u"\\d+(?:[.,]\\d+)*)";
}

}  // namespace

std::string Utf8(const UnicodeString& text) {
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

std::u16string_view View(const UnicodeString& text) { return {text.getBuffer(), static_cast<size_t>(text.length())}; }

std::string Capitalized(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text;
}

UnicodeString Quoted(const char* text) { return u"\\Q" + UnicodeString::fromUTF8(text) + u"\\E"; }

UnicodeString Alternatives(std::vector<std::string> texts) {
    std::stable_sort(texts.begin(), texts.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    UnicodeString alternatives;
    for (const std::string& text : texts) alternatives += (alternatives.isEmpty() ? u"" : u"|") + Quoted(text.c_str());
    return alternatives.isEmpty() ? UnicodeString(u"(?!)") : alternatives;
}

Language::Language(std::string tag, SymbolNames& symbols)
    : tag(std::move(tag)),
      words(WordsFor(this->tag)),
      monthNames(MonthNames(this->tag)),
      blankGrouping(GroupsWithBlanks(this->tag)),
      numberPattern(NumberPatternFor(blankGrouping)),
      symbols(symbols) {}

NumberWords& Language::Numbers() {
    if (!numbers) numbers = std::make_unique<NumberWords>(tag);
    return *numbers;
}

UnicodeString Language::Word(const char* word) { return word != nullptr ? UnicodeString::fromUTF8(word) : UnicodeString(); }

std::string Language::Region() const {
    size_t dash = tag.find_first_of("-_");
    if (dash == std::string::npos) return {};
    std::string region = tag.substr(dash + 1, tag.find_first_of("-_.@", dash + 1) - dash - 1);
    for (char& c : region) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return region;
}

int Language::MonthIn(const UnicodeString& piece) const {
    for (size_t i = 0; i < monthNames.size(); ++i)
        if (!monthNames[i].isEmpty() && piece.indexOf(monthNames[i]) >= 0) return static_cast<int>(i) + 1;
    return 0;
}

bool Language::NumberAt(const UnicodeString& piece, int32_t from, WrittenNumber* number, int32_t* end) {
    int32_t at = from;
    if (at < piece.length() && (piece[at] == u'-' || piece[at] == u'\u2212')) ++at;
    auto digitFollows = [&](int32_t i) { return i + 1 < piece.length() && IsDigit(piece[i + 1]); };
    // A blank groups thousands only before three digits that end there: "1 000 000".
    auto groupFollows = [&](int32_t i) {
        return blankGrouping && IsGroupingBlank(piece[i]) && i + 3 < piece.length() && IsDigit(piece[i + 1]) &&
               IsDigit(piece[i + 2]) && IsDigit(piece[i + 3]) && (i + 4 >= piece.length() || !IsDigit(piece[i + 4]));
    };
    while (at < piece.length() &&
           (IsDigit(piece[at]) || ((piece[at] == u'.' || piece[at] == u',') && digitFollows(at)) || groupFollows(at)))
        ++at;
    *end = at;
    return Numbers().Parse(View(piece.tempSubStringBetween(from, at)), number);
}

UnicodeString Language::WholeSaid(const UnicodeString& digits, const char* ruleSet) {
    int64_t value = std::atoll(Utf8(digits).c_str());
    if (digits.length() == 4 && value >= 1000 && value <= 2099 && !words.yearsAsCardinals) return Numbers().Year(value);
    WrittenNumber number;
    number.whole = Utf8(digits);
    return Numbers().Cardinal(number, ruleSet);
}

std::string Language::SymbolName(const UnicodeString& symbol) { return symbols.Name(Utf8(symbol), tag); }

UnicodeString Language::Separator(char16_t c) {
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
    std::string name = SymbolName(UnicodeString(c));
    return name.empty() ? UnicodeString(c) : UnicodeString::fromUTF8(name);
}

UnicodeString Language::Address(const UnicodeString& address, bool digitsApart) {
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

}  // namespace text
