// French as it is read aloud in France.
#include "LanguageWords.h"

namespace text {
namespace {

constexpr const char* kFractionOne[] = {"demi", "tiers", "quart", "cinquième", "sixième",
                                        "septième", "huitième", "neuvième", "dixième"};
constexpr const char* kFractionMany[] = {"demis", "tiers", "quarts", "cinquièmes", "sixièmes",
                                         "septièmes", "huitièmes", "neuvièmes", "dixièmes"};
constexpr Gender M = Gender::Masculine, F = Gender::Feminine;
constexpr const char* kMasculine = "%spellout-ordinal-masculine";
constexpr const char* kFeminine = "%spellout-ordinal-feminine";

}  // namespace

LanguageWords FrenchWords() {
    LanguageWords words;
    words.language = "fr";
    words.dot = "point";
    words.at = "arobase";
    words.slash = "slash";  // in an address, as people say it: "barre oblique" is the typographer's
    words.colon = "deux-points";
    words.dash = "tiret";
    words.underscore = "tiret bas";
    words.backslash = "antislash";
    words.ampersand = "et";
    words.hashtag = "hashtag";
    words.numberSign = "numéro";
    words.hashKey = "dièse";
    words.per = "par";
    words.rangeTo = "à";
    words.scoreTo = "à";
    words.plus = "plus";
    words.minus = "moins";
    words.equals = "égale";
    words.times = "fois";
    words.dividedBy = "divisé par";
    words.greaterThan = "plus grand que";
    words.lessThan = "plus petit que";
    words.plusOrMinus = "plus ou moins";
    // "8h30", "8 h 30", "14h", "8:30"; hours and minutes are feminine: "une heure une".
    words.clock.forms = {{":"}, {"h", true, true, false}};
    words.clock.fullHour[0] = "{h} heure";
    words.clock.fullHour[1] = "{h} heures";
    words.clock.hourMinutes[0] = "{h} heure {m}";
    words.clock.hourMinutes[1] = "{h} heures {m}";
    words.clock.hourRuleSet = "%spellout-cardinal-feminine";
    words.clock.minuteRuleSet = "%spellout-cardinal-feminine";
    words.fractions.numeratorOne = "un";
    words.fractions.one = kFractionOne;
    words.fractions.many = kFractionMany;
    words.fractions.halfAlone = "un demi";
    for (auto& byGender : words.fractions.halfBefore) {
        byGender[0] = byGender[2] = "un demi-";  // "un demi-litre"
        byGender[1] = "une demi-";               // "une demi-tasse"
    }
    words.fractions.mixedHalf = "{n} et demi";
    words.fractions.mixedHalfBefore[0] = words.fractions.mixedHalfBefore[2] = "{n} {noun} et demi";
    words.fractions.mixedHalfBefore[1] = "{n} {noun} et demie";  // "deux heures et demie"
    words.fractions.of = "de";  // "trois quarts de tasse", "un quart d'heure"
    words.fractions.ofBeforeVowel = "d'";
    words.ordinalMarks = {{"er", kMasculine, 1},  {"re", kFeminine, 1},  {"ère", kFeminine, 1},
                          {"ers", "%spellout-ordinal-masculine-plural", 1},
                          {"res", "%spellout-ordinal-feminine-plural", 1},
                          {"e", kMasculine},       {"ème", kMasculine},   {"è", kMasculine},
                          {"es", "%spellout-ordinal-masculine-plural"}, {"èmes", "%spellout-ordinal-masculine-plural"},
                          {"nd", kMasculine, 2, nullptr, "second"}, {"nde", kFeminine, 2, nullptr, "seconde"},
                          {"\u1D49", kMasculine},  {"\u1D49\u02B3", kMasculine, 1}, {"\u02B3\u1D49", kFeminine, 1}};
    words.romanMarks = {{"e", kMasculine}, {"ème", kMasculine}, {"er", kMasculine, 1}, {"re", kFeminine, 1}};
    words.romanAfter = {"chapitre", "tome", "volume", "acte", "partie", "livre", "titre", "annexe"};
    words.romanAfterNames = true;  // "Henri IV": "Henri quatre"
    words.yearsAsCardinals = true;
    words.decimalsAsNumber = true;
    words.groupsWithBlanks = true;
    words.genders.pluralsEndInS = true;
    words.genders.endings = {{"e", F},   {"age", M}, {"isme", M}, {"ème", M}, {"ège", M}, {"ome", M}, {"tre", M},
                             {"ble", M}, {"cle", M}, {"ste", M},  {"ice", M}, {"one", M}, {"ide", M}, {"trice", F},
                             {"té", F},  {"eur", M},  {"eau", M}, {"ment", M}, {"ier", M}, {"aison", F},
                             {"sion", F}, {"tion", F}, {"ise", F}, {"onne", F}, {"lle", F}, {"ure", F}, {"ence", F},
                             {"ance", F}, {"esse", F}, {"ette", F}};
    words.genders.masculine = {"verre", "groupe", "musée", "lycée", "beurre", "magazine", "domaine", "silence", "genre",
                               "rêve", "monde", "modèle", "rôle", "nombre", "kilogramme", "gramme", "programme",
                               "centime", "homme", "peuple", "exemple", "texte", "prix", "espace", "visage", "fleuve",
                               "vide", "type", "casque", "masque", "risque", "disque", "parapluie", "incendie", "génie",
                               "principe", "stade", "kilomètre", "mètre", "centimètre", "millimètre", "litre", "million",
                               "milliard", "siècle", "bâtiment", "ange", "légume", "pied", "euro", "squelette",
                               "dollar", "code", "épisode", "avion", "camion", "cimetière", "derrière", "caractère", "mystère", "frère", "père", "lièvre"};
    words.genders.feminine = {"page", "plage", "image", "cage", "lettre", "fenêtre", "rencontre", "montre", "table",
                              "fois", "nuit", "part", "main", "mer", "voix", "fin", "faim", "mort", "paix", "loi", "croix",
                              "dent", "clé", "clef", "livre", "note", "forme", "règle", "liste", "zone", "guerre",
                              "terre", "pierre", "minute", "seconde", "tonne", "personne", "cuillère", "tasse",
                              "bouteille", "heure", "semaine", "année", "journée", "fleur", "sœur", "couleur", "chaleur",
                              "odeur", "peur", "valeur", "hauteur", "largeur", "longueur", "profondeur", "douceur",
                              "vapeur", "erreur", "cuiller", "gare", "boîte", "part", "pomme", "femme", "tête",
                              "maison", "raison", "saison", "leçon", "façon", "chanson", "boisson", "noix", "toux",
                              "souris", "brebis", "perdrix", "vis", "oasis", "région", "opinion", "religion", "union",
                              "réunion", "police", "justice", "méthode", "période", "aide"};
    // What a number is not said in a noun's gender before: the words between.
    words.notNouns = {"de", "d", "du", "des", "à", "au", "aux", "et", "ou", "en", "sur", "par", "pour", "dans",
                      "avec", "sans", "est", "sont", "a", "ont", "le", "la", "les", "l", "un", "une", "qui",
                      "que", "pas", "plus", "moins", "fois", "ou", "mais", "donc", "ni", "car"};
    for (auto& byGender : words.cardinalBefore) {
        byGender[0] = byGender[2] = "%spellout-cardinal-masculine";
        byGender[1] = "%spellout-cardinal-feminine";  // "vingt et une pages"
    }
    words.contractions = {{"de un", "d'un"}, {"de une", "d'une"}, {"que un", "qu'un"}, {"que une", "qu'une"}};
    words.millionsOf = "de";
    words.millionsOfBeforeVowel = "d'";
    // "01 23 45 67 89" by its pairs: "zéro un, vingt-trois, quarante-cinq..."
    words.phones = {"0[1-9](?:[ .]\\d\\d){4}", "\\+33 ?[1-9](?:[ .]?\\d\\d){4}"};
    words.phonePairs = true;
    words.abbreviations = {{"p. ex.", "par exemple"},     {"p.ex.", "par exemple"},  {"c.-à-d.", "c'est-à-dire"},
                           {"c-à-d", "c'est-à-dire"},     {"etc.", "et cetera"},     {"M.", "monsieur"},
                           {"MM.", "messieurs"},          {"Mme", "madame"},         {"Mmes", "mesdames"},
                           {"Mlle", "mademoiselle"},      {"Mlles", "mesdemoiselles"}, {"Dr", "docteur"},
                           {"Dr.", "docteur"},            {"Pr", "professeur"},      {"Me", "maître"},
                           {"Mgr", "monseigneur"},        {"env.", "environ"},       {"av. J.-C.", "avant Jésus-Christ"},
                           {"apr. J.-C.", "après Jésus-Christ"}, {"J.-C.", "Jésus-Christ"}, {"av.", "avenue"},
                           {"bd", "boulevard"},           {"boul.", "boulevard"},    {"St", "saint"},
                           {"Ste", "sainte"},             {"n°", "numéro"},          {"N°", "numéro"},
                           {"nº", "numéro"},              {"tél.", "téléphone"},     {"cf.", "confer"},
                           {"chap.", "chapitre"},         {"vol.", "volume"},        {"éd.", "édition"},
                           {"max.", "maximum"},           {"ex.", "exemple"},        {"qqch", "quelque chose"},
                           {"qqn", "quelqu'un"},          {"svp", "s'il vous plaît"}, {"SVP", "s'il vous plaît"},
                           {"stp", "s'il te plaît"},      {"rdv", "rendez-vous"},    {"RDV", "rendez-vous"},
                           {"janv.", "janvier"},          {"févr.", "février"},      {"avr.", "avril"},
                           {"juil.", "juillet"},          {"sept.", "septembre"},    {"oct.", "octobre"},
                           {"nov.", "novembre"},          {"déc.", "décembre"},      {"Cie", "compagnie"}};
    words.currencies = {{"\u20AC", "euro", "euros", "centime", "centimes"},
                        {"$", "dollar", "dollars", "cent", "cents"},
                        {"\u00A3", "livre", "livres", "penny", "pence"},
                        {"\u00A5", "yen", "yens"}};
    words.units = {{"Mo", "megabyte"}, {"Go", "gigabyte"}, {"ko", "kilobyte"}, {"Ko", "kilobyte"}, {"To", "terabyte"},
                   {"Mo/s", "megabyte-per-second"}, {"Mbit/s", "megabit-per-second"}, {"s", "second"},
                   {"sec", "second"}, {"mn", "minute"}};
    return words;
}

}  // namespace text
