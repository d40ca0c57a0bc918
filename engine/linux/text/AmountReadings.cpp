// Readings of amounts: money, and measures in their units (percentages among them), with
// what they are per ("$3.49/gallon").
#include <unicode/uchar.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Grammar.h"
#include "Readings.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

namespace {

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

template <class Table, class Get>
UnicodeString AlternativesOf(const Table& table, Get get) {
    std::vector<std::string> texts;
    for (const auto& row : table) texts.push_back(get(row));
    return Alternatives(std::move(texts));
}

/// An amount read by `read`, and what it is per ("$3.49/gallon": "... per gallon").
template <class Read>
UnicodeString Per(Language& language, const UnicodeString& piece, const Read& read) {
    int32_t slash = piece.lastIndexOf(u'/');
    if (slash < 0 || slash + 1 >= piece.length() || !u_isalpha(piece.char32At(slash + 1)) || language.words.per == nullptr)
        return read(piece);
    if (UnicodeString whole = read(piece); !whole.isEmpty()) return whole;  // "km/h" is one unit
    UnicodeString amount = read(piece.tempSubStringBetween(0, slash));
    if (amount.isEmpty()) return {};
    return amount + u" " + UnicodeString::fromUTF8(language.words.per) + u" " + piece.tempSubStringBetween(slash + 1);
}

UnicodeString MoneySaid(Language& language, const UnicodeString& piece, GrammaticalCase inCase) {
    int32_t first = 0;
    while (first < piece.length() && !IsDigit(piece[first]) && piece[first] != u'-' && piece[first] != u'\u2212') ++first;
    WrittenNumber amount;
    int32_t numberEnd = 0;
    if (!language.NumberAt(piece, first, &amount, &numberEnd)) return {};
    std::string currency = Utf8(piece.tempSubStringBetween(0, first) + piece.tempSubStringBetween(numberEnd));
    currency.erase(std::remove(currency.begin(), currency.end(), ' '), currency.end());
    const CurrencyName* named = nullptr;
    for (const CurrencyName& name : language.words.currencies)
        if (currency == name.sign) named = &name;
    for (const Currency& symbol : kCurrencySymbols)
        if (currency == symbol.written) return language.Numbers().Money(amount, symbol.code, named, inCase);
    return language.Numbers().Money(amount, currency.c_str(), nullptr, inCase);
}

UnicodeString MeasureSaid(Language& language, const UnicodeString& piece, GrammaticalCase inCase) {
    WrittenNumber amount;
    int32_t numberEnd = 0;
    if (!language.NumberAt(piece, 0, &amount, &numberEnd)) return {};
    std::string written = Utf8(piece.tempSubStringBetween(numberEnd).trim());
    for (const UnitAbbreviation& unit : language.words.units)
        if (written == unit.written) return language.Numbers().Measure(amount, unit.unit, inCase);
    for (const Unit& unit : kUnits)
        if (written == unit.written) return language.Numbers().Measure(amount, unit.unit, inCase);
    return {};
}

/// The case the word before `match` puts an amount in ("mit einem Euro").
GrammaticalCase CaseOf(const Language& language, const Match& match) {
    return CaseAfter(language.words, NeighboursOf(match.text, match.begin, match.begin).before);
}

}  // namespace

UnicodeString MoneyPattern(const Language& language) {
    const UnicodeString& number = language.numberPattern;
    const UnicodeString currencies = AlternativesOf(kCurrencySymbols, [](const Currency& c) { return c.written; });
    const UnicodeString codes = AlternativesOf(kCurrencyCodes, [](const char* code) { return code; });
    return u"(?:(?:" + currencies + u")\\s?" + number + u"|" + number + u"\\s?(?:" + currencies + u")|\\b(?:" + codes +
           u")\\s?" + number + u"|" + number + u"\\s?(?:" + codes + u")\\b)(?:/\\p{L}+)?";
}

UnicodeString ReadMoney(Language& language, const Match& match) {
    const GrammaticalCase inCase = CaseOf(language, match);
    return Per(language, match.piece, [&](const UnicodeString& amount) { return MoneySaid(language, amount, inCase); });
}

UnicodeString MeasurePattern(const Language& language) {
    std::vector<std::string> written;
    for (const UnitAbbreviation& unit : language.words.units) written.emplace_back(unit.written);
    for (const Unit& unit : kUnits) written.emplace_back(unit.written);
    const UnicodeString units = Alternatives(std::move(written));
    return language.numberPattern + u"\\s?(?:" + units + u")(?![\\p{L}\\p{N}])(?:/\\p{L}+(?![/\\p{N}]))?";
}

UnicodeString ReadMeasure(Language& language, const Match& match) {
    const GrammaticalCase inCase = CaseOf(language, match);
    UnicodeString said =
        Per(language, match.piece, [&](const UnicodeString& amount) { return MeasureSaid(language, amount, inCase); });
    if (!said.isEmpty()) return said;
    // A unit ICU does not name: the number, and the unit as written.
    WrittenNumber amount;
    int32_t end = 0;
    if (!language.NumberAt(match.piece, 0, &amount, &end)) return {};
    return language.Numbers().Cardinal(amount) + u" " + match.piece.tempSubStringBetween(end).trim();
}

}  // namespace text
