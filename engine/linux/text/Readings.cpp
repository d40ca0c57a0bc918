// The table of readings: one row for each way written text is read aloud, tried in this
// order. See Readings.h for what a row holds.
#include "Readings.h"

namespace text {

namespace {

const std::vector<Abbreviation>* Abbreviations(const LanguageWords& words) { return &words.abbreviations; }
const std::vector<Abbreviation>* Streets(const LanguageWords& words) { return &words.streets; }
const std::vector<Abbreviation>* StreetSuffixes(const LanguageWords& words) { return &words.streetSuffixes; }
bool HasStreets(const LanguageWords& words) { return !words.streets.empty(); }
bool HasStreetSuffixes(const LanguageWords& words) { return !words.streetSuffixes.empty(); }
bool HasOrdinals(const LanguageWords& words) { return !words.ordinalMarks.empty() || !words.ordinalsAfter.empty(); }
bool HasRomans(const LanguageWords& words) { return !words.romanMarks.empty() || !words.romanAfter.empty(); }
bool HasNumberSign(const LanguageWords& words) { return words.numberSign != nullptr; }
bool HasDecades(const LanguageWords& words) { return words.decades.written != nullptr; }
bool HasTimes(const LanguageWords& words) { return words.times != nullptr; }
bool HasScores(const LanguageWords& words) { return words.scoreTo != nullptr; }

}  // namespace

const std::vector<ReadingRow>& Readings() {
    static const std::vector<ReadingRow> kRows = {
        // name         start               pattern              reader            numbers holds              listed         endings
        {"street",       kListed,            StreetPattern,       ReadStreet,       false, HasStreets,        Streets,       nullptr},
        {"streetSuffix", kListed,            StreetSuffixPattern, ReadStreetSuffix, false, HasStreetSuffixes, nullptr,       StreetSuffixes},
        {"abbreviation", kListed,            AbbreviationPattern, ReadAbbreviation, false, nullptr,           Abbreviations, nullptr},
        {"url",          kSlash,             UrlPattern,          ReadUrl,          false, nullptr,           nullptr,       nullptr},
        {"www",          kInnerDot,          WwwPattern,          ReadAddress,      false, nullptr,           nullptr,       nullptr},
        {"email",        kAt,                EmailPattern,        ReadAddress,      false, nullptr,           nullptr,       nullptr},
        {"path",         kSlash | kInnerDot, PathPattern,         ReadAddress,      false, nullptr,           nullptr,       nullptr},
        {"phone",        kDigit,             PhonePattern,        ReadPhone,        true,  nullptr,           nullptr,       nullptr},
        {"isoDate",      kDigit,             IsoDatePattern,      ReadIsoDate,      true,  nullptr,           nullptr,       nullptr},
        {"dottedDate",   kDigit,             DottedDatePattern,   ReadDottedDate,   true,  nullptr,           nullptr,       nullptr},
        {"namedDate",    kDigit,             NamedDatePattern,    ReadNamedDate,    true,  nullptr,           nullptr,       nullptr},
        {"slashDate",    kDigit,             SlashDatePattern,    ReadSlashDate,    true,  nullptr,           nullptr,       nullptr},
        {"hour",         kDigit,             HourPattern,         ReadClock,        true,  nullptr,           nullptr,       nullptr},
        {"clock",        kDigit,             ClockPattern,        ReadClock,        true,  nullptr,           nullptr,       nullptr},
        {"score",        kDigit,             ScorePattern,        ReadScore,        true,  HasScores,         nullptr,       nullptr},
        {"money",        kDigit,             MoneyPattern,        ReadMoney,        true,  nullptr,           nullptr,       nullptr},
        {"measure",      kDigit,             MeasurePattern,      ReadMeasure,      true,  nullptr,           nullptr,       nullptr},
        {"multiple",     kDigit,             MultiplePattern,     ReadMultiple,     true,  HasTimes,          nullptr,       nullptr},
        {"decade",       kDigit,             DecadePattern,       ReadDecade,       true,  HasDecades,        nullptr,       nullptr},
        {"ordinal",      kDigit,             OrdinalPattern,      ReadOrdinal,      true,  HasOrdinals,       nullptr,       nullptr},
        {"roman",        kRoman,             RomanPattern,        ReadRoman,        true,  HasRomans,         nullptr,       nullptr},
        {"numberSign",   kHash,              NumberSignPattern,   ReadNumberSign,   true,  HasNumberSign,     nullptr,       nullptr},
        {"range",        kDigit,             RangePattern,        ReadRange,        true,  nullptr,           nullptr,       nullptr},
        {"fraction",     kDigit,             FractionPattern,     ReadFraction,     true,  nullptr,           nullptr,       nullptr},
        {"fractionSign", kFractionSign,      FractionSignPattern, ReadFractionSign, true,  nullptr,           nullptr,       nullptr},
        {"identifier",   kUnderscore,        IdentifierPattern,   ReadAddress,      false, nullptr,           nullptr,       nullptr},
        {"file",         kInnerDot,          FilePattern,         ReadAddress,      false, nullptr,           nullptr,       nullptr},
        {"number",       kDigit,             NumberPattern,       ReadNumber,       true,  nullptr,           nullptr,       nullptr},
    };
    return kRows;
}

}  // namespace text
