// Spanish as it is read aloud in Spain.
#include "LanguageWords.h"

namespace text {
namespace {

constexpr const char* kFractionOne[] = {"medio", "tercio", "cuarto", "quinto", "sexto",
                                        "séptimo", "octavo", "noveno", "décimo"};
constexpr const char* kFractionMany[] = {"medios", "tercios", "cuartos", "quintos", "sextos",
                                         "séptimos", "octavos", "novenos", "décimos"};
constexpr Gender M = Gender::Masculine, F = Gender::Feminine;
constexpr const char* kMasculine = "%spellout-ordinal-masculine";
constexpr const char* kFeminine = "%spellout-ordinal-feminine";

}  // namespace

LanguageWords SpanishWords() {
    LanguageWords words;
    words.language = "es";
    words.dot = "punto";
    words.at = "arroba";
    words.slash = "barra";
    words.colon = "dos puntos";
    words.dash = "guion";
    words.underscore = "guion bajo";
    words.backslash = "barra invertida";
    words.ampersand = "y";
    words.hashtag = "hashtag";
    words.numberSign = "número";
    words.hashKey = "almohadilla";
    words.per = "por";
    words.rangeTo = "a";
    words.scoreTo = "a";
    words.plus = "más";
    words.minus = "menos";
    words.equals = "igual a";
    words.times = "por";
    words.multiple = "veces";
    words.dividedBy = "dividido por";
    words.greaterThan = "mayor que";
    words.lessThan = "menor que";
    words.plusOrMinus = "más o menos";
    // "a las 8:30" is "a las ocho y media", "a la 1:15" "a la una y cuarto"; the
    // afternoon as timetables say it: "las catorce cuarenta".
    words.clock.fullHour[0] = words.clock.fullHour[1] = "{h}";
    words.clock.hourMinutes[0] = words.clock.hourMinutes[1] = "{h} y {m}";
    words.clock.afternoon = "{h} {m}";
    words.clock.minuteWords = {{15, "cuarto"}, {30, "media"}};
    words.clock.hourRuleSet = "%spellout-cardinal-feminine";
    words.fractions.numeratorOne = "un";
    words.fractions.one = kFractionOne;
    words.fractions.many = kFractionMany;
    words.fractions.halfAlone = "medio";
    for (auto& byGender : words.fractions.halfBefore) {
        byGender[0] = byGender[2] = "medio";  // "medio kilo"
        byGender[1] = "media";                // "media taza"
    }
    words.fractions.mixedHalf = "{n} y medio";
    words.fractions.mixedHalfBefore[0] = words.fractions.mixedHalfBefore[2] = "{n} {noun} y medio";
    words.fractions.mixedHalfBefore[1] = "{n} {noun} y media";  // "dos horas y media"
    words.fractions.of = "de";  // "tres cuartos de taza"
    // "el 3.º piso" is "el tercer piso": the masculine before its noun.
    constexpr const char* kBeforeNoun = "%spellout-ordinal-masculine-adjective";
    words.ordinalMarks = {{".\u00BA", kMasculine, 0, kBeforeNoun}, {"\u00BA", kMasculine, 0, kBeforeNoun},
                          {".\u00AA", kFeminine}, {"\u00AA", kFeminine},
                          {".er", "%spellout-ordinal-masculine-adjective"}, {"er", "%spellout-ordinal-masculine-adjective"},
                          {".os", "%spellout-ordinal-masculine-plural"}, {".as", "%spellout-ordinal-feminine-plural"}};
    // "el siglo XIX": "el siglo diecinueve"; "Felipe VI", "Alfonso XIII": "sexto", "trece".
    words.romanAfter = {"siglo", "siglos", "capítulo", "tomo", "volumen", "parte", "acto", "fase"};
    words.romanAfterNames = true;
    words.regnalOrdinalsUpTo = 10;
    words.firstDayOrdinal = false;  // "uno de mayo", as Spain says it
    words.yearsAsCardinals = true;
    words.decimalsAsNumber = true;
    words.groupsWithBlanks = true;  // "1 000 000", as the Academy writes it
    words.genders.pluralsEndInS = true;
    words.genders.endings = {{"a", F},   {"ción", F}, {"sión", F}, {"dad", F}, {"tad", F},
                             {"tud", F}, {"umbre", F}, {"ie", F},  {"sis", F}, {"itis", F}};
    words.genders.masculine = {"día", "mapa", "problema", "programa", "sistema", "tema", "idioma", "clima", "planeta",
                               "sofá", "poema", "drama", "esquema", "dilema", "diploma", "pijama", "cometa", "tranvía",
                               "análisis", "paraguas", "lunes", "martes", "miércoles", "jueves", "viernes", "mes"};
    words.genders.feminine = {"mano", "foto", "moto", "radio", "noche", "tarde", "parte", "vez", "luz", "clase",
                              "calle", "llave", "gente", "leche", "carne", "frase", "fuente", "nube", "sal", "miel",
                              "flor", "mujer", "piel", "red", "ley", "sed", "imagen", "razón", "canción", "torre",
                              "muerte", "suerte", "nariz", "cruz", "voz", "paz", "nieve", "costumbre", "especie",
                              "base", "cárcel", "señal", "capital", "catedral", "labor", "col", "tos", "hambre"};
    words.notNouns = {"de", "del", "y", "o", "a", "al", "en", "por", "para", "con", "sin", "es", "son", "que",
                      "e", "u", "más", "menos", "entre", "sobre", "hasta", "desde", "la", "el", "los", "las",
                      "un", "una", "se", "no", "pero", "ni"};
    words.articleGenders = {{"la", F}, {"las", F}};
    for (auto& byGender : words.cardinalBefore) {
        byGender[0] = byGender[2] = "%spellout-cardinal-masculine";  // "un libro", "veintiún años"
        byGender[1] = "%spellout-cardinal-feminine";                 // "una taza", "doscientas personas"
    }
    words.millionsOf = "de";
    words.phones = {"[6789]\\d{2}(?: \\d{3}){2}", "[6789]\\d{2}(?: \\d{2}){3}", "\\+34 ?[6789]\\d{2}(?: ?\\d{3}){2}"};
    words.abbreviations = {{"p. ej.", "por ejemplo"},  {"p.ej.", "por ejemplo"},   {"etc.", "etcétera"},
                           {"Sr.", "señor"},           {"Sra.", "señora"},         {"Srta.", "señorita"},
                           {"Sres.", "señores"},       {"Dr.", "doctor"},          {"Dra.", "doctora"},
                           {"Ud.", "usted"},           {"Uds.", "ustedes"},        {"Vd.", "usted"},
                           {"Dña.", "doña"},           {"Avda.", "avenida"},       {"Av.", "avenida"},
                           {"C/", "calle"},            {"c/", "calle"},            {"Pza.", "plaza"},
                           {"núm.", "número"},         {"n.\u00BA", "número"},     {"n\u00BA", "número"},
                           {"N.\u00BA", "número"},     {"N\u00BA", "número"},      {"pág.", "página"},
                           {"págs.", "páginas"},       {"tel.", "teléfono"},       {"tlf.", "teléfono"},
                           {"aprox.", "aproximadamente"}, {"máx.", "máximo"},      {"mín.", "mínimo"},
                           {"EE. UU.", "Estados Unidos"}, {"EE.UU.", "Estados Unidos"}, {"a. C.", "antes de Cristo"},
                           {"d. C.", "después de Cristo"}, {"a.C.", "antes de Cristo"}, {"d.C.", "después de Cristo"},
                           {"S.A.", "sociedad anónima"}, {"Cía.", "compañía"},     {"s/n", "sin número"},
                           {"Prof.", "profesor"},      {"Profa.", "profesora"},    {"admón.", "administración"}};
    words.currencies = {{"\u20AC", "euro", "euros", "céntimo", "céntimos"},
                        {"$", "dólar", "dólares", "centavo", "centavos"},
                        {"\u00A3", "libra", "libras", "penique", "peniques"},
                        {"\u00A5", "yen", "yenes"}};
    words.units = {{"s", "second"}, {"seg", "second"}, {"seg.", "second"}};
    return words;
}

}  // namespace text
