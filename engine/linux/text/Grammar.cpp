#include "Grammar.h"

#include <unicode/uchar.h>

namespace text {

using icu::UnicodeString;

namespace {

bool IsWordLetter(UChar32 c) { return u_isalpha(c) || c == u'\'' || c == u'\u2019'; }

bool Listed(const std::vector<const char*>& list, const UnicodeString& word) {
    for (const char* entry : list)
        if (word == UnicodeString::fromUTF8(entry)) return true;
    return false;
}

/// The gender `word` (lower case) is listed with, or by its ending; false when neither.
bool ListedGender(const NounGenders& genders, const UnicodeString& word, Gender* gender) {
    if (Listed(genders.masculine, word)) *gender = Gender::Masculine;
    else if (Listed(genders.feminine, word)) *gender = Gender::Feminine;
    else if (Listed(genders.neuter, word)) *gender = Gender::Neuter;
    else return false;
    return true;
}

}  // namespace

Neighbours NeighboursOf(const UnicodeString& text, int32_t begin, int32_t end) {
    Neighbours around;
    auto wordBefore = [&](int32_t at, int32_t* start) {
        while (at > 0 && u_isspace(text.char32At(at - 1))) --at;
        int32_t from = at;
        while (from > 0 && IsWordLetter(text.char32At(text.moveIndex32(from, -1)))) from = text.moveIndex32(from, -1);
        *start = from;
        return UnicodeString(text, from, at - from).toLower();
    };
    int32_t start = begin;
    around.before = wordBefore(begin, &start);
    if (!around.before.isEmpty()) around.beforeThat = wordBefore(start, &start);
    int32_t at = end;
    while (at < text.length() && u_isspace(text.char32At(at))) at = text.moveIndex32(at, 1);
    int32_t to = at;
    while (to < text.length() && IsWordLetter(text.char32At(to))) to = text.moveIndex32(to, 1);
    if (to > at && u_isalpha(text.char32At(at))) around.after = UnicodeString(text, at, to - at);
    return around;
}

bool IsCounted(const LanguageWords& words, const UnicodeString& word) {
    if (word.isEmpty()) return false;
    if (words.nounsCapitalized) return u_isupper(word.char32At(0));
    UnicodeString lower(word);
    lower.toLower();
    return lower == word && !Listed(words.notNouns, lower);
}

Gender GenderOf(const LanguageWords& words, const UnicodeString& noun) {
    const NounGenders& genders = words.genders;
    UnicodeString word(noun);
    word.toLower();
    // The word as it is, then its singular where plurals end in "s".
    UnicodeString forms[3] = {word};
    int count = 1;
    if (genders.pluralsEndInS && word.endsWith(u"s") && word.length() > 2) {
        forms[count++] = UnicodeString(word, 0, word.length() - 1);
        if (word.endsWith(u"es")) forms[count++] = UnicodeString(word, 0, word.length() - 2);
    }
    Gender gender = genders.otherwise;
    for (int i = 0; i < count; ++i)
        if (ListedGender(genders, forms[i], &gender)) return gender;
    for (int i = 0; i < count; ++i) {
        int32_t longest = 0;
        for (const auto& [ending, endingGender] : genders.endings) {
            UnicodeString written = UnicodeString::fromUTF8(ending);
            if (written.length() > longest && forms[i].length() > written.length() && forms[i].endsWith(written)) {
                longest = written.length();
                gender = endingGender;
            }
        }
        if (longest > 0) return gender;
    }
    return genders.otherwise;
}

GrammaticalCase CaseAfter(const LanguageWords& words, const UnicodeString& before) {
    for (const CaseWords& governing : words.caseWords)
        if (Listed(governing.words, before)) return governing.grammaticalCase;
    return GrammaticalCase::Nominative;
}

const char* CardinalRuleSet(const LanguageWords& words, const Neighbours& around) {
    if (!IsCounted(words, around.after)) {
        for (const auto& [article, gender] : words.articleGenders)
            if (around.before == UnicodeString::fromUTF8(article)) return words.cardinalBefore[0][static_cast<int>(gender)];
        return nullptr;
    }
    const int grammaticalCase = static_cast<int>(CaseAfter(words, around.before));
    return words.cardinalBefore[grammaticalCase][static_cast<int>(GenderOf(words, around.after))];
}

const char* OrdinalAfterRuleSet(const LanguageWords& words, const Neighbours& around) {
    for (const OrdinalAfter& row : words.ordinalsAfter) {
        if (!Listed(row.words, around.before)) continue;
        if (row.afterCaseWord && CaseAfter(words, around.beforeThat) == GrammaticalCase::Nominative) continue;
        if (row.byGender[0] != nullptr)
            return IsCounted(words, around.after) ? row.byGender[static_cast<int>(GenderOf(words, around.after))] : nullptr;
        return row.ruleSet;
    }
    return nullptr;
}

}  // namespace text
