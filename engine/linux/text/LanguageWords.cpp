#include "LanguageWords.h"

#include "engine/linux/types/TextHelpers.h"

namespace text {
namespace {

constexpr const char* kEnglishFractionOne[] = {"half", "third", "quarter", "fifth", "sixth",
                                               "seventh", "eighth", "ninth", "tenth"};
constexpr const char* kEnglishFractionMany[] = {"halves", "thirds", "quarters", "fifths", "sixths",
                                                "sevenths", "eighths", "ninths", "tenths"};
constexpr const char* kGermanFractions[] = {"halb", "Drittel", "Viertel", "Fünftel", "Sechstel",
                                            "Siebtel", "Achtel", "Neuntel", "Zehntel"};

LanguageWords English() {
    LanguageWords words;
    words.language = "en";
    words.dot = "dot";
    words.at = "at";
    words.slash = "slash";
    words.colon = "colon";
    words.dash = "dash";
    words.underscore = "underscore";
    words.backslash = "backslash";
    words.ampersand = "and";
    words.hashtag = "hashtag";
    words.per = "per";
    words.rangeTo = "to";
    words.plus = "plus";
    words.minus = "minus";
    words.equals = "equals";
    words.times = "times";
    words.dividedBy = "divided by";
    words.greaterThan = "greater than";
    words.lessThan = "less than";
    words.plusOrMinus = "plus or minus";
    words.fullHour = "{h} o'clock";
    words.clockWord = "o'clock";
    words.hourMinutes = "{h} {m}";
    words.minutesBelowTen = "{h} oh {m}";
    words.twelveHourClock = true;
    words.fractionNumeratorOne = "one";
    words.fractionOne = kEnglishFractionOne;
    words.fractionMany = kEnglishFractionMany;
    words.ordinalMarks = "st|nd|rd|th";
    words.decades = {"s", false, "s", "ies"};  // "the nineteen nineties"
    words.monthFirstRegions = "US";
    words.mixedFractionOne = "a";
    words.currencies = {{"$", "dollar", "dollars"}, {"\u00A3", "pound", "pounds"}, {"\u00A5", "yen", "yen"},
                        {"\u20AC", "euro", "euros"}, {"\u20B9", "rupee", "rupees"}};
    words.abbreviations = {{"e.g.", "for example"}, {"i.e.", "that is"},   {"etc.", "et cetera"},
                           {"vs.", "versus"},       {"approx.", "approximately"}, {"Dr.", "Doctor"},
                           {"Mr.", "Mister"},       {"Mrs.", "Missus"},    {"Ms.", "Miz"},
                           {"Prof.", "Professor"},  {"Jr.", "Junior"},     {"Sr.", "Senior"},
                           {"a.m.", "a m"},         {"p.m.", "p m"},       {"No.", "number"},
                           {"Fig.", "figure"},      {"cf.", "compare"},    {"w/o", "without"},
                           {"et al.", "and others"}, {"Jan.", "January"},  {"Feb.", "February"},
                           {"Mar.", "March"},       {"Apr.", "April"},     {"Jun.", "June"},
                           {"Jul.", "July"},        {"Aug.", "August"},    {"Sep.", "September"},
                           {"Sept.", "September"},  {"Oct.", "October"},   {"Nov.", "November"},
                           {"Dec.", "December"},    {"St.", "Saint"},      {"Ave.", "Avenue"},
                           {"Inc.", "Incorporated"}, {"Ltd.", "Limited"},  {"Co.", "Company"}};
    words.streets = {{"St.", "Street"}, {"Ave.", "Avenue"}, {"Rd.", "Road"}, {"Blvd.", "Boulevard"}, {"Ln.", "Lane"}};
    return words;
}

LanguageWords German() {
    LanguageWords words;
    words.language = "de";
    words.dot = "Punkt";
    words.at = "at";
    words.slash = "Schrägstrich";
    words.colon = "Doppelpunkt";
    words.dash = "Strich";
    words.underscore = "Unterstrich";
    words.backslash = "Backslash";
    words.ampersand = "und";
    words.hashtag = "Hashtag";
    words.per = "pro";
    words.rangeTo = "bis";
    words.plus = "plus";
    words.minus = "minus";
    words.equals = "gleich";
    words.times = "mal";
    words.dividedBy = "geteilt durch";
    words.greaterThan = "größer als";
    words.lessThan = "kleiner als";
    words.plusOrMinus = "plus minus";
    words.fullHour = "{h} Uhr";
    words.clockWord = "Uhr";
    words.hourMinutes = "{h} Uhr {m}";
    words.fractionNumeratorOne = "ein";
    words.nounsCapitalized = true;
    words.decades = {"er", true, "er", nullptr};
    words.fractionOne = kGermanFractions;
    words.fractionMany = kGermanFractions;
    words.abbreviations = {{"z.B.", "zum Beispiel"}, {"z. B.", "zum Beispiel"}, {"d.h.", "das heißt"},
                           {"d. h.", "das heißt"},   {"usw.", "und so weiter"}, {"bzw.", "beziehungsweise"},
                           {"ca.", "circa"},         {"Nr.", "Nummer"},         {"Dr.", "Doktor"},
                           {"etc.", "et cetera"},    {"evtl.", "eventuell"},    {"ggf.", "gegebenenfalls"},
                           {"inkl.", "inklusive"},   {"vgl.", "vergleiche"},    {"u.a.", "unter anderem"}};
    return words;
}

LanguageWords French() {
    LanguageWords words;
    words.language = "fr";
    words.dot = "point";
    words.at = "arobase";
    words.slash = "barre oblique";
    words.colon = "deux-points";
    words.dash = "tiret";
    words.underscore = "tiret bas";
    words.ampersand = "et";
    words.per = "par";
    words.rangeTo = "à";
    words.plus = "plus";
    words.minus = "moins";
    words.equals = "égale";
    words.times = "fois";
    words.greaterThan = "plus grand que";
    words.lessThan = "plus petit que";
    words.ordinalDays = false;  // "le quinze mars"
    words.fullHour = "{h} heures";
    words.clockWord = "heures";
    words.hourMinutes = "{h} heures {m}";
    words.abbreviations = {{"p. ex.", "par exemple"}, {"c.-à-d.", "c'est-à-dire"}, {"etc.", "et cetera"},
                           {"M.", "monsieur"},        {"Mme", "madame"}};
    return words;
}

LanguageWords Spanish() {
    LanguageWords words;
    words.language = "es";
    words.dot = "punto";
    words.at = "arroba";
    words.slash = "barra";
    words.colon = "dos puntos";
    words.dash = "guion";
    words.underscore = "guion bajo";
    words.ampersand = "y";
    words.per = "por";
    words.rangeTo = "a";
    words.ordinalDays = false;  // "quince de marzo"
    words.plus = "más";
    words.minus = "menos";
    words.equals = "igual a";
    words.times = "por";
    words.greaterThan = "mayor que";
    words.lessThan = "menor que";
    words.abbreviations = {{"p. ej.", "por ejemplo"}, {"etc.", "etcétera"}, {"Sr.", "señor"}, {"Sra.", "señora"}};
    return words;
}

}  // namespace

const LanguageWords& WordsFor(std::string_view tag) {
    static const LanguageWords kLanguages[] = {English(), German(), French(), Spanish()};
    static const LanguageWords kNone;
    const std::string language = Lower(tag.substr(0, tag.find_first_of("-_")));
    for (const LanguageWords& words : kLanguages)
        if (language == words.language) return words;
    return kNone;
}

}  // namespace text
