// Written text read aloud: what a person would say for each kind of text, in the voice's
// language, and nothing a sender wrote lost on the way.
#include <gtest/gtest.h>

#include <string>

#include "engine/linux/EngineStartup.h"
#include "engine/linux/text/SpokenText.h"
#include "engine/linux/voice/SpVoice.h"

namespace {

TEST(SpokenText, WrittenTextIsReadAsAPersonSaysIt) {
    struct Case {
        const char* language;
        bool asciiOnly;
        const char* written;
        const char* said;
    };
    const Case cases[] = {
        {"en-US", true, "It costs \u20AC5 \U0001F389, $12.99", "It costs five euros party popper, twelve dollars ninety-nine"},
        {"en-US", true, "\u00A33.50 or 12 USD", "three pounds fifty or twelve US dollars"},
        {"de", false, "Das kostet 5 \u20AC \U0001F389", "Das kostet f\u00FCnf Euro Konfettibombe"},
        {"de", false, "1.234,50 \u20AC", "eintausendzweihundertvierunddrei\u00DFig Euro f\u00FCnfzig"},
        {"en-US", true, "Tom & Jerry: 5 + 3 = 8, x > y", "Tom and Jerry: five plus three equals eight, x greater than y"},
        {"en-US", true, "caf\u00E9, na\u00EFve, Zo\u00EB", "cafe, naive, Zoe"},
        {"fr", false, "caf\u00E9", "caf\u00E9"},  // an engine that says accents keeps them
        {"en-US", true, "500 ml at 20\u00B0C, 3 MB, 60 mph, 2.5 km",
         "five hundred milliliters at twenty degrees Celsius, three megabytes, sixty miles per hour, two point five kilometers"},
        {"en-US", true, "50% of 1,234,567", "fifty percent of one million two hundred thirty-four thousand five hundred sixty-seven"},
        {"en-US", true, "On 2024-03-15 at 8:00", "On March fifteenth, twenty twenty-four at eight o'clock"},
        {"en-US", true, "8:05, 14:30, 9:00 pm", "eight oh five, two thirty p m, nine p m"},
        {"de", false, "Am 24.12.1987 um 17:45 Uhr", "Am vierundzwanzigsten Dezember neunzehnhundertsiebenundachtzig um siebzehn Uhr f\u00FCnfundvierzig"},
        {"fr", false, "le 2024-03-15", "le quinze mars deux mille vingt-quatre"},
        {"en-US", true, "See https://example.com/docs", "See example dot com slash docs"},
        {"en-US", true, "Mail anna.lee@example.com", "Mail anna dot lee at example dot com"},
        {"en-US", true, "Open foo_bar.py in /usr/lib", "Open foo underscore bar dot p y in slash usr slash lib"},
        {"en-US", true, "e.g. apples vs. pears etc.", "for example apples versus pears et cetera."},
        {"de", false, "z.B. Seite 5-10 usw.", "zum Beispiel Seite f\u00FCnf bis zehn und so weiter."},
        {"en-US", true, "at 12 Main St. Visit St. Louis on Fifth Ave.", "at twelve Main Street. Visit Saint Louis on Fifth Avenue."},
        {"en-US", true, "the 1st and 22nd in 1999", "the first and twenty-second in nineteen ninety-nine"},
        {"en-US", true, "-5 and 3.14, \u00BD cup, 3/4, 2\u00BD hours",
         "minus five and three point one four, one half cup, three quarters, two and a half hours"},
        {"en-US", true, "call 555-1234, version 1.2.3, agent 007", "call five five five, one two three four, version one dot two dot three, agent zero zero seven"},
        {"en-US", true, "\U0001F44D \U0001F1E9\U0001F1EA", "thumbs up flag: Germany"},
        // What cannot be placed is passed on, never dropped.
        {"en-US", false, "\u65E5\u672C and mp3", "\u65E5\u672C and mp3"},
        {"xx", false, "5 \u20AC and \U0001F389", "5 \u20AC and \U0001F389"},
    };
    text::FrontEnd frontEnd;
    for (const Case& c : cases)
        EXPECT_EQ(frontEnd.ReadAloud(c.written, {c.language, c.asciiOnly}), c.said) << c.language << ": " << c.written;
}

// Each language's own ways of writing, and the grammar the words beside a number give it.
TEST(SpokenText, EachLanguageIsReadAsItsSpeakersWriteAndSayIt) {
    struct Case {
        const char* language;
        const char* written;
        const char* said;
    };
    const Case cases[] = {
        {"de", "Am 3. Mai kostet es 1.234,50 \u20AC.", "Am dritten Mai kostet es eintausendzweihundertvierunddrei\u00DFig Euro f\u00FCnfzig."},
        {"de", "der 3. Mai, in der 2. Auflage, 3. Mai 2024", "der dritte Mai, in der zweiten Auflage, dritter Mai zweitausendvierundzwanzig"},
        {"de", "Nimm \u00BD Tasse, nach \u00BD Stunde, 1\u00BD Liter", "Nimm eine halbe Tasse, nach einer halben Stunde, eineinhalb Liter"},
        {"de", "Es kostet 1 \u20AC, mit 1 L\u00F6ffel um 1 Uhr", "Es kostet einen Euro, mit einem L\u00F6ffel um ein Uhr"},
        {"de", "um 9.30 Uhr, 10 000 Menschen, 2:1", "um neun Uhr drei\u00DFig, zehntausend Menschen, zwei zu eins"},
        {"fr", "Le 3e jour, \u00E0 8h30, 1 000 \u20AC.", "Le troisi\u00E8me jour, \u00E0 huit heures trente, mille euros."},
        {"fr", "le 1er mai, la 1re fois, le XIXe si\u00E8cle, Louis XIV", "le premier mai, la premi\u00E8re fois, le dix-neuvi\u00E8me si\u00E8cle, Louis quatorze"},
        {"fr", "3,14 et 21 pages, 3 Mo, 1 000 000 \u20AC", "trois virgule quatorze et vingt-et-une pages, trois m\u00E9gaoctets, un million d'euros"},
        {"fr", "\u00BD tasse, \u00BE tasse, 1/4 d'heure, 1h", "une demi-tasse, trois quarts de tasse, un quart d'heure, une heure"},
        {"es", "el 3.\u00BA piso, la 3.\u00AA vez, el siglo XIX", "el tercer piso, la tercera vez, el siglo diecinueve"},
        {"es", "\u00BD taza, 21 personas, 200 personas, 21 a\u00F1os", "media taza, veintiuna personas, doscientas personas, veinti\u00FAn a\u00F1os"},
        {"es", "a las 8:30, a la 1:15, 1.000.000 \u20AC", "a las ocho y media, a la una y cuarto, un mill\u00F3n de euros"},
        {"en-US", "Press # to continue, # of items, #1 fan", "Press pound to continue, number of items, number one fan"},
        {"en-GB", "Press # now", "Press hash now"},
        {"en-US", "Main St. is closed; edit src/main.cpp", "Main Street is closed; edit s r c slash main dot c p p"},
        {"it", "il 1\u00BA maggio, 1.234,5", "il primo maggio, milleduecentotrentaquattro virgola cinque"},
    };
    text::FrontEnd frontEnd;
    for (const Case& c : cases)
        EXPECT_EQ(frontEnd.ReadAloud(c.written, {c.language, false}), c.said) << c.language << ": " << c.written;
}

TEST(SpokenText, MarkupThatSaysHowToReadWordsIsFollowed) {
    struct Case {
        const char* text;
        const char* words;  // flite's word relation: lower case, no punctuation
    };
    const Case cases[] = {
        {"I have 5 km", "i have five kilometers"},
        {"<speak>I have <say-as interpret-as=\"characters\">5 km</say-as></speak>", "i have 5 k m"},
        {"<speak><sub alias=\"World Wide Web\">WWW</sub> &amp; 5 km</speak>", "world wide web and five kilometers"},
        {"<speak>10 <voice required=\"Name=German\">10 \u20AC</voice></speak>", "ten zehn Euro"},
    };
    for (const Case& c : cases) EXPECT_EQ(SpokenWordsOf(c.text, ProcessVoiceParts()), c.words) << c.text;
}

}  // namespace
