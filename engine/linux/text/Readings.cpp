// The table of readings: one row for each way written text is read aloud, tried in this
// order. See Readings.h for what a row holds.
#include "Readings.h"

namespace text {

namespace {

const std::vector<Abbreviation>* Abbreviations(const LanguageWords& words) { return &words.abbreviations; }
const std::vector<Abbreviation>* Streets(const LanguageWords& words) { return &words.streets; }
bool HasStreets(const LanguageWords& words) { return !words.streets.empty(); }
bool HasOrdinalMarks(const LanguageWords& words) { return words.ordinalMarks != nullptr; }
bool HasDecades(const LanguageWords& words) { return words.decades.written != nullptr; }
bool HasTimes(const LanguageWords& words) { return words.times != nullptr; }

}  // namespace

const std::vector<ReadingRow>& Readings() {
    static const std::vector<ReadingRow> kRows = {
        // name         start                 pattern               reader             numbers holds         listed
        {"street",       kListed,              StreetPattern,        ReadStreet,        false, HasStreets,      Streets},
        {"abbreviation", kListed,              AbbreviationPattern,  ReadAbbreviation,  false, nullptr,         Abbreviations},
        {"url",          kSlash,               UrlPattern,           ReadUrl,           false, nullptr,         nullptr},
        {"www",          kInnerDot,            WwwPattern,           ReadAddress,       false, nullptr,         nullptr},
        {"email",        kAt,                  EmailPattern,         ReadAddress,       false, nullptr,         nullptr},
        {"path",         kSlash | kInnerDot,   PathPattern,          ReadAddress,       false, nullptr,         nullptr},
        {"phone",        kDigit,               PhonePattern,         ReadPhone,         true,  nullptr,         nullptr},
        {"isoDate",      kDigit,               IsoDatePattern,       ReadIsoDate,       true,  nullptr,         nullptr},
        {"dottedDate",   kDigit,               DottedDatePattern,    ReadDottedDate,    true,  nullptr,         nullptr},
        {"namedDate",    kDigit,               NamedDatePattern,     ReadNamedDate,     true,  nullptr,         nullptr},
        {"slashDate",    kDigit,               SlashDatePattern,     ReadSlashDate,     true,  nullptr,         nullptr},
        {"hour",         kDigit,               HourPattern,          ReadClock,         true,  nullptr,         nullptr},
        {"clock",        kDigit,               ClockPattern,         ReadClock,         true,  nullptr,         nullptr},
        {"money",        kDigit,               MoneyPattern,         ReadMoney,         true,  nullptr,         nullptr},
        {"measure",      kDigit,               MeasurePattern,       ReadMeasure,       true,  nullptr,         nullptr},
        {"multiple",     kDigit,               MultiplePattern,      ReadMultiple,      true,  HasTimes,        nullptr},
        {"decade",       kDigit,               DecadePattern,        ReadDecade,        true,  HasDecades,      nullptr},
        {"ordinal",      kDigit,               OrdinalPattern,       ReadOrdinal,       true,  HasOrdinalMarks, nullptr},
        {"range",        kDigit,               RangePattern,         ReadRange,         true,  nullptr,         nullptr},
        {"fraction",     kDigit,               FractionPattern,      ReadFraction,      true,  nullptr,         nullptr},
        {"fractionSign", kFractionSign,        FractionSignPattern,  ReadFractionSign,  true,  nullptr,         nullptr},
        {"identifier",   kUnderscore,          IdentifierPattern,    ReadAddress,       false, nullptr,         nullptr},
        {"file",         kInnerDot,            FilePattern,          ReadAddress,       false, nullptr,         nullptr},
        {"number",       kDigit,               NumberPattern,        ReadNumber,        true,  nullptr,         nullptr},
    };
    return kRows;
}

}  // namespace text
