// German as it is read aloud in Germany.
#include "LanguageWords.h"

namespace text {
namespace {

constexpr const char* kFractions[] = {"halb", "Drittel", "Viertel", "Fünftel", "Sechstel",
                                      "Siebtel", "Achtel", "Neuntel", "Zehntel"};
constexpr Gender M = Gender::Masculine, F = Gender::Feminine, N = Gender::Neuter;

}  // namespace

LanguageWords GermanWords() {
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
    words.numberSign = "Nummer";
    words.hashKey = "Raute";
    words.per = "pro";
    words.rangeTo = "bis";
    words.scoreTo = "zu";
    words.plus = "plus";
    words.minus = "minus";
    words.equals = "gleich";
    words.times = "mal";
    words.dividedBy = "geteilt durch";
    words.greaterThan = "größer als";
    words.lessThan = "kleiner als";
    words.plusOrMinus = "plus minus";
    // "8:30", "9.30 Uhr", "14 Uhr"; "ein Uhr", not "eins Uhr".
    words.clock.forms = {{":"}, {".", false, false, true}, {"", false, true, true}};
    words.clock.fullHour[0] = words.clock.fullHour[1] = "{h} Uhr";
    words.clock.hourMinutes[0] = words.clock.hourMinutes[1] = "{h} Uhr {m}";
    words.clock.word = "Uhr";
    words.clock.hourRuleSet = "%spellout-cardinal-masculine";
    words.fractions.numeratorOne = "ein";
    words.fractions.one = kFractions;
    words.fractions.many = kFractions;
    words.fractions.halfAlone = "ein halb";
    // A half before a noun takes its case and gender: "eine halbe Tasse", "mit einem
    // halben Liter".
    words.fractions.halfBefore[0][0] = "ein halber";
    words.fractions.halfBefore[0][1] = "eine halbe";
    words.fractions.halfBefore[0][2] = "ein halbes";
    words.fractions.halfBefore[1][0] = "einen halben";
    words.fractions.halfBefore[1][1] = "eine halbe";
    words.fractions.halfBefore[1][2] = "ein halbes";
    words.fractions.halfBefore[2][0] = "einem halben";
    words.fractions.halfBefore[2][1] = "einer halben";
    words.fractions.halfBefore[2][2] = "einem halben";
    words.fractions.mixedHalf = "{n}einhalb";
    words.fractions.mixedRuleSet = "%spellout-cardinal-masculine";
    words.nounsCapitalized = true;
    words.groupsWithBlanks = true;  // "10 000", as DIN 5008 allows
    words.decades = {"er", true, "er", nullptr};
    // "am 3. Mai": the dative after "am", "vom", "zum", "bis (zum)"; "der 3. Mai"; a
    // day with no article, as a letter's date line says it: "3. Mai", "dritter Mai".
    words.ordinalsAfter = {
        {{"am", "im", "zum", "zur", "vom", "beim", "den", "dem", "des", "bis", "ab"}, "%spellout-ordinal-n"},
        {{"der"}, "%spellout-ordinal-n", true},
        {{"der", "die", "das"}, "%spellout-ordinal"},
        {{"einen", "meinen", "deinen", "seinen", "ihren", "unseren", "euren", "keinen", "einem", "meinem", "deinem",
          "seinem", "ihrem", "unserem", "eurem", "keinem", "einer", "meiner", "deiner", "seiner", "ihrer", "unserer",
          "eurer", "keiner", "eines", "meines", "deines", "seines", "ihres", "unseres", "eures", "keines"},
         "%spellout-ordinal-n"},
        {{"eine", "meine", "deine", "seine", "ihre", "unsere", "eure", "keine"}, "%spellout-ordinal"},
        {{"ein", "mein", "dein", "sein", "ihr", "unser", "euer", "kein"},
         nullptr,
         false,
         {"%spellout-ordinal-r", "%spellout-ordinal", "%spellout-ordinal-s"}}};
    words.ordinalDays = true;
    words.dayRuleSet = "%spellout-ordinal-r";
    words.dayMonthDotted = true;
    words.caseWords = {
        {GrammaticalCase::Dative, {"mit", "von", "zu", "bei", "nach", "aus", "seit", "in", "an", "auf", "vor", "unter",
                                   "über", "neben", "hinter", "zwischen", "ab", "am", "im", "zum", "zur", "vom", "beim"}},
        // and the verbs that most often count something in the accusative: "kostet einen Euro"
        {GrammaticalCase::Accusative, {"für", "durch", "ohne", "gegen", "um", "kostet", "kosten", "kostete", "habe",
                                       "hast", "hat", "haben", "hatte", "brauche", "brauchst", "braucht", "brauchen",
                                       "nimm", "nimmt", "nehme", "nehmen", "kaufe", "kauft", "kaufen", "gib", "gibt",
                                       "bekommt", "bekomme", "suche", "sucht", "dauert", "wiegt", "zahlt", "zahle"}}};
    words.cardinalBefore[0][0] = "%spellout-cardinal-masculine";  // ein Apfel
    words.cardinalBefore[0][1] = "%spellout-cardinal-feminine";   // eine Tasse
    words.cardinalBefore[0][2] = "%spellout-cardinal-neuter";     // ein Kind
    words.cardinalBefore[1][0] = "%spellout-cardinal-n";          // für einen Tag
    words.cardinalBefore[1][1] = "%spellout-cardinal-feminine";
    words.cardinalBefore[1][2] = "%spellout-cardinal-neuter";
    words.cardinalBefore[2][0] = "%spellout-cardinal-m";  // mit einem Löffel
    words.cardinalBefore[2][1] = "%spellout-cardinal-r";  // nach einer Stunde
    words.cardinalBefore[2][2] = "%spellout-cardinal-m";
    words.genders.endings = {{"e", F},     {"ung", F},  {"heit", F}, {"keit", F}, {"schaft", F}, {"ion", F},
                             {"tät", F},   {"ik", F},   {"ei", F},   {"ur", F},   {"enz", F},    {"anz", F},
                             {"chen", N},  {"lein", N}, {"um", N},   {"ment", N}, {"o", N},      {"gramm", N},
                             {"nis", N},   {"ling", M}, {"ismus", M}, {"or", M}};
    words.genders.masculine = {"junge", "name", "käse", "affe", "löwe", "hase", "kunde", "kollege", "gedanke", "glaube",
                               "buchstabe", "friede", "wille", "euro", "kilometer", "zentimeter", "millimeter"};
    words.genders.feminine = {"zeit", "stadt", "welt", "nacht", "hand", "frau", "kraft", "art", "tür", "milch",
                              "butter", "fahrt", "arbeit", "antwort", "nummer", "regel", "tafel", "kartoffel",
                              "mutter", "tochter", "schwester", "zahl", "wahl", "post", "kugel", "nudel", "gabel",
                              "schachtel", "million", "milliarde", "mark", "maß", "wurst", "gans", "maus", "brust"};
    words.genders.neuter = {"ende",  "auge", "erbe", "interesse", "gebäude", "gemüse", "pfund",  "jahr",
                            "kind",  "glas", "stück", "dutzend", "prozent", "mal",   "brot",   "bier",
                            "ei",    "buch", "haus", "wasser",  "jahrhundert", "jahrzehnt", "wort", "bild",
                            "land",  "spiel", "geld", "tor",    "zimmer", "fenster", "paar",  "drittel",
                            "viertel", "achtel", "gewicht", "stockwerk", "kapitel", "semester", "konto", "auto",
                            "ticket", "essen", "mittel", "problem", "system", "tier", "pferd", "schiff"};
    words.phones = {"0\\d{2,5}(?: ?/ ?| |-)\\d{3,9}(?:[ -]\\d{1,6})?"};
    words.abbreviations = {{"z.B.", "zum Beispiel"},  {"z. B.", "zum Beispiel"}, {"d.h.", "das heißt"},
                           {"d. h.", "das heißt"},    {"usw.", "und so weiter"}, {"bzw.", "beziehungsweise"},
                           {"ca.", "circa"},          {"Nr.", "Nummer"},         {"Dr.", "Doktor"},
                           {"etc.", "et cetera"},     {"evtl.", "eventuell"},    {"ggf.", "gegebenenfalls"},
                           {"inkl.", "inklusive"},    {"vgl.", "vergleiche"},    {"u.a.", "unter anderem"},
                           {"u. a.", "unter anderem"}, {"z.T.", "zum Teil"},     {"z. T.", "zum Teil"},
                           {"u.U.", "unter Umständen"}, {"u. U.", "unter Umständen"}, {"o.ä.", "oder ähnlich"},
                           {"o. ä.", "oder ähnlich"}, {"v.a.", "vor allem"},    {"v. a.", "vor allem"},
                           {"s.o.", "siehe oben"},    {"s. o.", "siehe oben"},   {"s.u.", "siehe unten"},
                           {"s. u.", "siehe unten"},  {"Hr.", "Herr"},           {"Prof.", "Professor"},
                           {"Tel.", "Telefon"},       {"Mio.", "Millionen"},     {"Mrd.", "Milliarden"},
                           {"Tsd.", "Tausend"},       {"Jh.", "Jahrhundert"},    {"Abs.", "Absatz"},
                           {"Bsp.", "Beispiel"},      {"bspw.", "beispielsweise"}, {"zzgl.", "zuzüglich"},
                           {"St.", "Sankt"},          {"Jan.", "Januar"},        {"Feb.", "Februar"},
                           {"Febr.", "Februar"},      {"Aug.", "August"},        {"Sept.", "September"},
                           {"Okt.", "Oktober"},       {"Nov.", "November"},      {"Dez.", "Dezember"},
                           {"geb.", "geboren"},       {"Str.", "Straße"}};
    words.streetSuffixes = {{"str.", "straße"}};
    words.currencies = {{"\u20AC", "Euro", "Euro", "Cent", "Cent"},
                        {"$", "Dollar", "Dollar", "Cent", "Cent"},
                        {"\u00A3", "Pfund", "Pfund", "Penny", "Pence"},
                        {"\u00A5", "Yen", "Yen"}};
    words.units = {{"Std.", "hour"}, {"Std", "hour"}, {"Min.", "minute"}, {"Sek.", "second"}, {"s", "second"}};
    return words;
}

}  // namespace text
