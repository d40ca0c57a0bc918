#include "NumberWords.h"

// Numbers in words: ICU's rule-based spell-out in the rule sets the language's table
// names, numbers read with the language's separators (ICU's decimal symbols).
#include <unicode/dcfmtsym.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/linux/types/TextHelpers.h"

namespace text {
namespace {

using icu::UnicodeString;

// Longer than this, a run of digits is a code or an identifier, read digit by digit.
constexpr size_t kLongestSpokenNumber = 15;

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
    if (yearRules.isEmpty() || words.yearsAsCardinals) yearRules = cardinalRules;
    status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(locale, status);
    if (U_SUCCESS(status)) {
        // Grouping is read as the other of '.' and ',', and as a blank where the language
        // groups with one ("1 000 000" in French, whichever blank ICU's own is).
        UnicodeString decimal = symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol);
        if (decimal == u"," || decimal == u".") decimalSeparator = decimal[0];
        groupingSeparator = decimalSeparator == u',' ? u'.' : u',';
    }
    blankGrouping = GroupsWithBlanks(languageTag);
    status = U_ZERO_ERROR;
    plurals.reset(icu::PluralRules::forLocale(locale, status));
    if (U_FAILURE(status)) plurals.reset();
    pointWord = Between(Spelled(1.5, cardinalRules), Spelled(1, cardinalRules), Spelled(5, cardinalRules));
    minusWord = Between(Spelled(-1, cardinalRules), UnicodeString(), Spelled(1, cardinalRules));
}

bool GroupsWithBlanks(std::string_view tag) {
    if (WordsFor(tag).groupsWithBlanks) return true;
    UErrorCode status = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(LocaleFor(tag), status);
    if (U_FAILURE(status)) return false;
    const UnicodeString grouping = symbols.getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol);
    return grouping.length() == 1 && IsGroupingBlank(grouping[0]);
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
            if (blankGrouping && IsGroupingBlank(written[i])) separators += u' ';
            else if (written[i] == u'.' || written[i] == u',') separators += written[i];
            else return false;
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
            if (groups[i].size() != 3 || (separators[i - 1] != groupingSeparator && separators[i - 1] != u' ')) return false;
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
    if (n == 2 && groups[1].size() != 3 && separators[0] != u' ') {
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

const UnicodeString& NumberWords::RuleSetOr(const char* name, const UnicodeString& otherwise) {
    if (name == nullptr) return otherwise;
    auto found = ruleSets.find(name);
    if (found == ruleSets.end()) {
        UnicodeString wanted(name, -1, US_INV);
        found = ruleSets.emplace(name, RuleSet(*spellOut, wanted.getTerminatedBuffer()) == wanted ? wanted : UnicodeString()).first;
    }
    return found->second.isEmpty() ? otherwise : found->second;
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

UnicodeString NumberWords::Cardinal(const WrittenNumber& number, const char* ruleSet) {
    std::u16string whole(number.whole.begin(), number.whole.end());
    std::u16string fraction(number.fraction.begin(), number.fraction.end());
    // The decimals digit by digit, or as a number where the language says them so
    // ("trois virgule quatorze"), its leading zeros one by one ("zéro cinq").
    auto decimals = [&] {
        if (!words.decimalsAsNumber || fraction.size() > 3) return Digits(fraction);
        size_t zeros = fraction.find_first_not_of(u'0');
        if (zeros == std::u16string::npos) return Digits(fraction);
        UnicodeString said = Digits(fraction.substr(0, zeros));
        if (!said.isEmpty()) said += u' ';
        return said + Spelled(static_cast<double>(std::strtoll(number.fraction.c_str() + zeros, nullptr, 10)), cardinalRules);
    };
    if (whole.size() > kLongestSpokenNumber || (whole.size() > 1 && whole[0] == u'0')) {
        UnicodeString said = Digits(whole);
        if (!fraction.empty()) said += u' ' + pointWord + u' ' + Digits(fraction);
        return said;
    }
    UnicodeString said;
    if (number.negative) said = minusWord + u' ';
    const UnicodeString& rules = fraction.empty() ? RuleSetOr(ruleSet, cardinalRules) : cardinalRules;
    said += Spelled(static_cast<double>(std::strtoll(number.whole.c_str(), nullptr, 10)), rules);
    if (!fraction.empty()) said += u' ' + pointWord + u' ' + decimals();
    return said;
}

UnicodeString NumberWords::Cardinal(int64_t number, const char* ruleSet) {
    return Spelled(static_cast<double>(number), RuleSetOr(ruleSet, cardinalRules));
}

UnicodeString NumberWords::Ordinal(int64_t number, const char* ruleSet) {
    return Spelled(static_cast<double>(number), RuleSetOr(ruleSet, ordinalRules));
}

UnicodeString NumberWords::Year(int64_t number) { return Spelled(static_cast<double>(number), yearRules); }

UnicodeString NumberWords::Fraction(int64_t numerator, int64_t denominator) {
    const Fractions& fractions = words.fractions;
    if (fractions.one == nullptr || denominator < 2 || denominator > 10) return {};
    if (numerator == 1)
        return UnicodeString::fromUTF8(fractions.numeratorOne) + u' ' + UnicodeString::fromUTF8(fractions.one[denominator - 2]);
    return Cardinal(numerator) + u' ' + UnicodeString::fromUTF8(fractions.many[denominator - 2]);
}

}  // namespace text
