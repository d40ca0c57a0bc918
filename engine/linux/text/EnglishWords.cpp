// English as American English reads it aloud; British English where it reads otherwise.
#include "LanguageWords.h"

namespace text {
namespace {

constexpr const char* kFractionOne[] = {"half", "third", "quarter", "fifth", "sixth", "seventh", "eighth", "ninth", "tenth"};
constexpr const char* kFractionMany[] = {"halves",  "thirds",  "quarters", "fifths", "sixths",
                                         "sevenths", "eighths", "ninths",   "tenths"};

}  // namespace

LanguageWords EnglishWords() {
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
    // "#" before a number is "number" ("#1"), and before "of" ("# of items"); alone it is
    // the telephone's key, which American English calls "pound" ("Press # to continue").
    words.numberSign = "number";
    words.hashKey = "pound";
    words.numberSignBefore = {"of"};  // "# of items"
    words.per = "per";
    words.rangeTo = "to";
    words.scoreTo = "to";
    words.plus = "plus";
    words.minus = "minus";
    words.equals = "equals";
    words.times = "times";
    words.dividedBy = "divided by";
    words.greaterThan = "greater than";
    words.lessThan = "less than";
    words.plusOrMinus = "plus or minus";
    words.clock.fullHour[0] = words.clock.fullHour[1] = "{h} o'clock";
    words.clock.word = "o'clock";
    words.clock.minutesBelowTen = "{h} oh {m}";
    words.clock.twelveHour = true;
    words.fractions.numeratorOne = "one";
    words.fractions.one = kFractionOne;
    words.fractions.many = kFractionMany;
    words.fractions.mixedOne = "a";
    words.ordinalMarks = {{"st", "%spellout-ordinal"}, {"nd", "%spellout-ordinal"}, {"rd", "%spellout-ordinal"},
                          {"th", "%spellout-ordinal"}};
    words.decades = {"s", false, "s", "ies"};  // "the nineteen nineties"
    words.monthFirstRegions = "US";
    words.ordinalDays = true;
    words.monthNamedFirst = true;
    words.currencies = {{"$", "dollar", "dollars", "cent", "cents"},
                        {"\u00A3", "pound", "pounds", "penny", "pence"},
                        {"\u00A5", "yen", "yen"},
                        {"\u20AC", "euro", "euros", "cent", "cents"},
                        {"\u20B9", "rupee", "rupees"}};
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
    words.phones = {"(?:\\+\\d{1,3}[ -]?)?(?:\\(\\d{3}\\) ?|\\d{3}[ -])\\d{3}[ -]\\d{4}"};
    return words;
}

LanguageWords BritishEnglishWords() {
    LanguageWords words = EnglishWords();
    words.region = "GB";
    words.hashKey = "hash";
    return words;
}

}  // namespace text
