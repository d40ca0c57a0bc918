#include "TextReader.h"

#include <unicode/uchar.h>

#include <algorithm>

#include "Grammar.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

namespace {

/// `said` without the blanks the readings put around themselves twice over.
UnicodeString Tidied(const UnicodeString& said) {
    UnicodeString tidy;
    tidy.getBuffer(said.length());
    tidy.releaseBuffer(0);
    for (int32_t i = 0; i < said.length(); ++i) {
        char16_t c = said[i];
        if (c == u' ' && (tidy.isEmpty() || tidy.endsWith(u" ") || tidy.endsWith(u"\n"))) continue;
        if (std::u16string_view(u".,;:!?)").find(c) != std::u16string_view::npos && tidy.endsWith(u" "))
            tidy.truncate(tidy.length() - 1);
        tidy += c;
    }
    while (tidy.endsWith(u" ")) tidy.truncate(tidy.length() - 1);
    return tidy;
}

bool IsSymbol(UChar32 c) {
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

}  // namespace

UnicodeString FoldedToAscii(UnicodeString text, icu::Transliterator* folding) {
    bool ascii = true;
    for (int32_t i = 0; i < text.length() && ascii; ++i) ascii = text[i] < 0x80;
    if (!ascii && folding != nullptr) folding->transliterate(text);
    return text;
}

TextReader::TextReader(const std::string& tag, SymbolNames& symbols) : language(tag, symbols) {
    for (const ReadingRow& row : Readings()) {
        if (row.holds != nullptr && !row.holds(language.words)) continue;
        // Each row's own pattern: one alternation of them all would have ICU copy its whole
        // backtracking frame (every row's groups and counted loops) for each row it tries.
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::RegexPattern> pattern(icu::RegexPattern::compile(row.pattern(language), 0, status));
        std::unique_ptr<icu::RegexMatcher> matcher;
        if (U_SUCCESS(status)) matcher.reset(pattern->matcher(status));
        if (U_FAILURE(status) || !matcher) continue;
        // Lookbehinds, what follows and "^" see the whole text, not only the stretch tried.
        matcher->useTransparentBounds(true).useAnchoringBounds(false);
        rows.push_back({&row, std::move(pattern), std::move(matcher)});
        starts |= row.start;
        if (row.listed != nullptr)
            for (const Abbreviation& form : *row.listed(language.words)) {
                for (const std::string& written : {std::string(form.written), Capitalized(form.written)}) {
                    const UnicodeString unicode = UnicodeString::fromUTF8(written);
                    if (!listed.empty() && listed.back() == unicode) continue;
                    listed.push_back(unicode);
                    if (unicode.indexOf(u' ') >= 0) continue;
                    listedWords.emplace(View(unicode));
                    if (unicode[0] < 128) listedFirsts.set(unicode[0]);
                    longestListed = std::max(longestListed, unicode.length());
                }
            }
        if (row.endings != nullptr)
            for (const Abbreviation& form : *row.endings(language.words)) endings.push_back(UnicodeString::fromUTF8(form.written));
    }
    UErrorCode status = U_ZERO_ERROR;
    graphemes.reset(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status)) graphemes.reset();
}

std::string TextReader::Read(std::string_view utf8, bool asciiOnly, icu::Transliterator* folding) {
    const UnicodeString text = UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    UnicodeString said;
    int32_t done = 0;
    UErrorCode status = U_ZERO_ERROR;
    for (Row& row : rows) row.matcher->reset(text);
    // The rows are tried only where a word holds something one could match (most of a
    // text is plain words), and there only where something may start: not inside a run of
    // letters and digits, where no reading starts ("221B" is read from its "2", "3rd"
    // from its "3"). The first row in the table's order that matches at a place reads it.
    for (const auto& [regionStart, regionEnd] : Candidates(text)) {
        for (int32_t at = std::max(regionStart, done); at < regionEnd; at = text.moveIndex32(at, 1)) {
            const UChar32 c = text.char32At(at);
            if (u_isspace(c) || (at > 0 && u_isalnum(c) && u_isalnum(text.char32At(text.moveIndex32(at, -1))))) continue;
            const Row* matched = nullptr;
            int32_t end = at;
            for (const Row& row : rows) {
                status = U_ZERO_ERROR;
                row.matcher->region(at, regionEnd, status);
                if (U_FAILURE(status) || !row.matcher->lookingAt(status)) continue;
                end = row.matcher->end(status);
                if (U_SUCCESS(status) && end > at) {
                    matched = &row;
                    break;
                }
            }
            if (matched == nullptr) continue;
            said += Plain(text, done, at, asciiOnly);
            const UnicodeString piece = text.tempSubStringBetween(at, end);
            UnicodeString read;
            // Numbers the language's spell-out does not say are left to the engine, which
            // reads them in its language.
            if (!matched->reading->spellsNumbers || language.Numbers().SpellsOut())
                read = matched->reading->read(language, Match{piece, text, at, end});
            said += read.isEmpty() ? piece : u" " + read + u" ";
            done = end;
            at = text.moveIndex32(end, -1);  // on from the match's end
        }
    }
    said += Plain(text, done, text.length(), asciiOnly);
    if (asciiOnly) said = FoldedToAscii(said, folding);
    return Utf8(Contracted(Tidied(said)));
}

namespace {

bool IsFractionSign(UChar32 c) { return (c >= 0xBC && c <= 0xBE) || (c >= 0x2150 && c <= 0x215E); }

}  // namespace

UnicodeString TextReader::Contracted(UnicodeString said) const {
    for (const Abbreviation& contraction : language.words.contractions) {
        const UnicodeString apart = UnicodeString::fromUTF8(contraction.written);
        const UnicodeString together = UnicodeString::fromUTF8(contraction.said);
        for (int32_t at = said.indexOf(apart); at >= 0; at = said.indexOf(apart, at + together.length())) {
            const int32_t end = at + apart.length();
            const bool whole = (at == 0 || !u_isalpha(said.char32At(at - 1))) && (end == said.length() || !u_isalpha(said.char32At(end)));
            if (whole) said.replace(at, apart.length(), together);
            else at += 1;
        }
    }
    return said;
}

bool TextReader::IsCandidate(UChar32 c) const {
    return ((starts & kDigit) != 0 && c >= '0' && c <= '9') || ((starts & kSlash) != 0 && c == '/') ||
           ((starts & kAt) != 0 && c == '@') || ((starts & kUnderscore) != 0 && c == '_') ||
           ((starts & kHash) != 0 && c == '#') || ((starts & kFractionSign) != 0 && IsFractionSign(c));
}

bool TextReader::IsListed(const UnicodeString& word) const {
    if (word.isEmpty()) return false;
    const char16_t first = word[0];
    if (word.length() <= longestListed && (first >= 128 || listedFirsts.test(first)) &&
        listedWords.count(std::u16string(View(word))) != 0)
        return true;
    for (const UnicodeString& ending : endings)
        if (word.length() > ending.length() && word.endsWith(ending)) return true;
    if ((starts & kRoman) == 0) return false;
    // "XIX", "XIXe": capitals that are Roman digits, and perhaps a mark in small letters.
    int32_t at = 0;
    while (at < word.length() && std::u16string_view(u"IVXLCDM").find(word[at]) != std::u16string_view::npos) ++at;
    if (at == 0) return false;
    const int32_t letters = at;
    while (at < word.length() && u_isULowercase(word.char32At(at))) at = word.moveIndex32(at, 1);
    return at == word.length() && at - letters <= 3;
}

// Each word that may hold something a row matches, with the word after a number (its
// unit, "pm", "Uhr") and the words beside it joined. A word whose only dot ends it is
// tried only when a row lists it (an abbreviation): that dot ends most sentences.
std::vector<std::pair<int32_t, int32_t>> TextReader::Candidates(const UnicodeString& text) const {
    std::vector<std::pair<int32_t, int32_t>> regions;
    bool takeNext = false;  // the word after a number
    int32_t previous = -1;  // where the word before began
    for (int32_t at = 0; at < text.length();) {
        while (at < text.length() && u_isspace(text.char32At(at))) at = text.moveIndex32(at, 1);
        int32_t start = at;
        int32_t before = previous;
        previous = start;
        bool candidate = takeNext, digit = false, innerDot = false, fraction = false;
        while (at < text.length() && !u_isspace(text.char32At(at))) {
            UChar32 c = text.char32At(at);
            candidate |= IsCandidate(c);
            digit |= c >= '0' && c <= '9';
            fraction |= IsFractionSign(c);
            at = text.moveIndex32(at, 1);
            innerDot |= c == '.' && at < text.length() && u_isalnum(text.char32At(at));
        }
        // What a number or a fraction counts is read with it.
        takeNext = (digit && (starts & kDigit) != 0) || (fraction && (starts & kFractionSign) != 0);
        if (start == at) continue;
        candidate |= innerDot && (starts & kInnerDot) != 0;
        int32_t wordEnd = at;  // before closing punctuation
        while (wordEnd > start && std::u16string_view(u",;:!?)]\"'").find(text[wordEnd - 1]) != std::u16string_view::npos)
            --wordEnd;
        int32_t word = start;  // past opening brackets and quotes
        while (word < wordEnd && !u_isalpha(text.char32At(word))) word = text.moveIndex32(word, 1);
        if (!candidate) {
            candidate = IsListed(text.tempSubStringBetween(word, wordEnd)) ||
                        (wordEnd - 1 > word && text[wordEnd - 1] == u'.' && IsListed(text.tempSubStringBetween(word, wordEnd - 1)));
        }
        // Written in two words ("z. B.", "et al."), the second perhaps one of its own
        // ("p. ex.", where "ex." is one too): the stretch starts at the first.
        if (wordEnd > start && text[wordEnd - 1] == u'.' && before >= 0) {
            for (const UnicodeString& form : listed) {
                if (text.compare(before, wordEnd - before, form) != 0) continue;
                candidate = true;
                if (regions.empty() || regions.back().second <= before) start = before;
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

UnicodeString TextReader::Plain(const UnicodeString& text, int32_t from, int32_t to, bool asciiOnly) {
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
        UnicodeString name = SymbolSaid(text.tempSubStringBetween(at, next), c, text, next, asciiOnly);
        if (name.isEmpty()) said.append(text, at, next - at);
        // A sign after its own name is not said twice: "Copyright © 2020" (an emoji is: it
        // says more than the word, "Fire 🔥").
        else if (u_hasBinaryProperty(c, UCHAR_EMOJI_PRESENTATION) || UnicodeString(name).toLower() != NeighboursOf(text, at, at).before)
            said += u" " + name + u" ";
        at = next;
    }
    return said;
}

UnicodeString TextReader::SymbolSaid(const UnicodeString& cluster, UChar32 first, const UnicodeString& text,
                                     int32_t after, bool asciiOnly) {
    const LanguageWords& words = language.words;
    const char* word = nullptr;
    switch (first) {
        case '&': word = words.ampersand; break;
        case '+': word = words.plus; break;
        case '=': word = words.equals; break;
        case '<': word = words.lessThan; break;
        case '>': word = words.greaterThan; break;
        case '@': word = words.at; break;
        // "#tag" is a hashtag; '#' alone is the key ("Press # to continue"), or "number"
        // before the words the language says so before ("# of items").
        case '#': {
            if (after < text.length() && u_isalpha(text.char32At(after))) {
                word = words.hashtag;
                break;
            }
            const UnicodeString next = NeighboursOf(text, after, after).after;
            word = words.hashKey;
            for (const char* before : words.numberSignBefore)
                if (UnicodeString(next).toLower() == UnicodeString::fromUTF8(before)) word = words.numberSign;
            break;
        }
        case 0x2212: word = words.minus; break;
        case 0x00D7: word = words.times; break;
        case 0x00F7: word = words.dividedBy; break;
        case 0x00B1: word = words.plusOrMinus; break;
        default: break;
    }
    if (word != nullptr) return UnicodeString::fromUTF8(word);
    std::string name = language.SymbolName(cluster);
    if (name.empty() && cluster.countChar32() > 1) name = language.SymbolName(UnicodeString(first));
    if (!name.empty()) return UnicodeString::fromUTF8(name);
    if (asciiOnly && first >= 0x80) {
        char unicodeName[128];
        UErrorCode status = U_ZERO_ERROR;
        int32_t length = u_charName(first, U_UNICODE_CHAR_NAME, unicodeName, sizeof unicodeName, &status);
        if (U_SUCCESS(status) && length > 0) return UnicodeString(unicodeName, length, US_INV).toLower();
    }
    return {};
}

}  // namespace text
