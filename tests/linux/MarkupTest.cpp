// What the platform's TTS XML and SSML come to for espeak-ng: the SSML texts and silences
// each kind of markup gives, escaping, and text that is not markup.
#include <gtest/gtest.h>

#include <string>

#include "engine/linux/voice/Markup.h"
#include "engine/linux/voice/Utterance.h"

namespace {

/// An utterance on one line: parts joined by " | ", a silence as "(500 ms)", words read
/// without SSML as "plain:...", phoneme input marked "phonemes:".
std::string Described(const Utterance& utterance) {
    std::string out;
    for (const UtterancePart& part : utterance) {
        if (!out.empty()) out += " | ";
        if (part.IsSilence()) out += "(" + std::to_string(part.silenceMs) + " ms)";
        else out += std::string(part.ssml ? "" : "plain:") + (part.phonemes ? "phonemes:" : "") + part.text;
    }
    return out;
}

struct Case {
    const char* name;
    const char* markup;
    const char* expected;
};

void ExpectTranslations(const std::vector<Case>& cases) {
    for (const Case& c : cases) EXPECT_EQ(Described(MarkupUtterance(c.markup)), c.expected) << c.name;
}

TEST(Markup, ThePlatformsTagsAndAttributes) {
    ExpectTranslations({
        {"silence", "a<silence msec=\"500\"/>b", "a | (500 ms) | b"},
        {"silence, tags in capitals", "<SILENCE MSEC=\"100\"/>a<Rate AbsSpeed=\"10\">b</Rate>",
         "(100 ms) | a<prosody rate=\"300%\">b</prosody>"},
        {"absspeed to the ends of the scale and past them", "<rate absspeed=\"-10\">a</rate><rate absspeed=\"20\">b</rate>",
         "<prosody rate=\"33%\">a</prosody><prosody rate=\"300%\">b</prosody>"},
        {"speed adds to the rate around it", "<rate speed=\"5\"><rate speed=\"5\">a</rate>b</rate>",
         "<prosody rate=\"300%\">a</prosody><prosody rate=\"173%\">b</prosody>"},
        {"an empty tag goes on to the end of its element",
         "<rate absspeed=\"5\"/>a<volume level=\"50\">b<rate absspeed=\"-5\"/>c</volume>d",
         "<prosody rate=\"173%\">a</prosody><prosody rate=\"173%\" volume=\"50%\">b</prosody>"
         "<prosody rate=\"58%\" volume=\"50%\">c</prosody><prosody rate=\"173%\">d</prosody>"},
        {"volume kept within 0 to 100", "<volume level=\"150\">a</volume><volume level=\"-3\">b</volume>",
         "a<prosody volume=\"0%\">b</prosody>"},
        {"pitch, relative and absolute", "<pitch middle=\"10\">a</pitch><pitch absmiddle=\"-10\">b</pitch>",
         "<prosody pitch=\"155%\">a</prosody><prosody pitch=\"45%\">b</prosody>"},
        {"voice: alternatives, an unknown language, optional attributes",
         "<voice required=\"Language=409;9\" optional=\"Gender=Female\">a</voice><voice required=\"Language=7F\">b</voice>"
         "<voice optional=\"Age=Child;Language=40C\">c</voice>",
         "<voice xml:lang=\"en-us\" gender=\"female\">a</voice>b<voice xml:lang=\"fr\" age=\"10\">c</voice>"},
        {"lang", "<lang langid=\"416\">bom dia</lang><lang langid=\"c07\">Servus</lang>",
         "<voice xml:lang=\"pt-br\">bom dia</voice><voice xml:lang=\"de\">Servus</voice>"},
        {"annotations change nothing",
         "<bookmark mark=\"x\"/>a <partofsp part=\"noun\">b</partofsp> <context id=\"date_mdy\">c</context>", "a b c"},
        {"pronunciation", "<pron sym=\"h eh 1 l ow\"/> and <pron sym=\"w er 1 l d\">planet</pron>",
         "phonemes:[[h'EloU]] and [[w'3:ld]]"},
        {"a pronunciation with an unknown phone leaves the words", "<pron sym=\"h xx 1\">hi</pron>", "hi"},
        {"everything nested",
         "<voice required=\"Gender=Female;Language=407\"><rate speed=\"10\"><volume level=\"40\"><pitch middle=\"-5\">"
         "<emph><spell>abc</spell></emph></pitch></volume></rate></voice>",
         "<voice xml:lang=\"de\" gender=\"female\"><emphasis level=\"moderate\"><prosody rate=\"300%\" pitch=\"73%\" "
         "volume=\"40%\"><say-as interpret-as=\"characters\">abc</say-as></prosody></emphasis></voice>"},
    });
}

TEST(Markup, SsmlElementsAndValues) {
    ExpectTranslations({
        {"document with declaration and language",
         "<?xml version=\"1.0\"?><speak version=\"1.0\" xmlns=\"http://www.w3.org/2001/10/synthesis\" xml:lang=\"pt-BR\">"
         "a<break time=\"250ms\"/>b</speak>",
         "<voice xml:lang=\"pt-br\">a</voice> | (250 ms) | <voice xml:lang=\"pt-br\">b</voice>"},
        {"breaks by time and by strength",
         "<speak>a<break time=\"1.5s\"/>b<break strength=\"weak\"/>c<break/>d<break strength=\"bogus\"/>e</speak>",
         "a | (1500 ms) | b<break strength=\"weak\"/>c<break strength=\"medium\"/>d<break strength=\"medium\"/>e"},
        {"sentences and paragraphs part words once, at the strongest",
         "<speak><p><s>One</s><s>Two</s></p><p>Three</p></speak>",
         "One<break strength=\"strong\"/>Two<break strength=\"x-strong\"/>Three"},
        {"prosody values",
         "<speak><prosody rate=\"x-slow\" volume=\"50\">a</prosody><prosody rate=\"+50%\" pitch=\"+2st\" volume=\"-6dB\">b"
         "</prosody><prosody pitch=\"+10Hz\" rate=\"2\">c</prosody></speak>",
         "<prosody rate=\"50%\" volume=\"50%\">a</prosody><prosody rate=\"150%\" pitch=\"122%\" volume=\"50%\">b</prosody>"
         "<prosody rate=\"200%\">c</prosody>"},
        {"emphasis levels and say-as",
         "<speak><emphasis level=\"reduced\">a</emphasis><emphasis level=\"none\">b</emphasis>"
         "<say-as interpret-as=\"spell-out\">c</say-as><say-as interpret-as=\"date\">1/2</say-as></speak>",
         "<emphasis level=\"reduced\">a</emphasis>b<say-as interpret-as=\"characters\">c</say-as>1/2"},
        {"sub, audio, desc, mark and voice",
         "<speak><sub alias=\"World Wide Web\">WWW</sub> <audio src=\"x.wav\">a<desc>dog</desc>b</audio><mark name=\"m\"/>"
         "<voice gender=\"female\" age=\"70\" name=\"Someone\">y</voice></speak>",
         "World Wide Web ab<voice gender=\"female\" age=\"70\">y</voice>"},
    });
}

TEST(Markup, TextIsEscapedForEspeak) {
    ExpectTranslations({
        {"ampersand, angle brackets, quotes",
         "<emph>Tom &amp; \"Jerry\" &lt;3 &gt; &apos;x&apos; &#x263A;</emph>",
         "<emphasis level=\"moderate\">Tom &amp; &quot;Jerry&quot; &lt;3 &gt; &apos;x&apos; \xE2\x98\xBA</emphasis>"},
        {"brackets that would start phonemes", "<pron sym=\"ax\"/> and [[x]]", "phonemes:[[@]] and [ [x]]"},
    });
}

TEST(Markup, TextThatIsNotWellFormedIsSpokenAsItIs) {
    ExpectTranslations({
        {"a heart", "<3 you", "plain:<3 you"},
        {"a bare ampersand", "<emph>Tom & Jerry</emph>", "plain:<emph>Tom & Jerry</emph>"},
        {"unclosed", "<silence msec=\"1500\">unclosed", "plain:<silence msec=\"1500\">unclosed"},
        {"an entity XML does not define", "<emph>x &nbsp; y</emph>", "plain:<emph>x &nbsp; y</emph>"},
        {"the fragment's own closing tag", "a</markup-fragment><b/>", "plain:a</markup-fragment><b/>"},
    });
}

TEST(Markup, OnlyTextStartingWithAnAngleBracketLooksLikeMarkup) {
    struct Looks {
        const char* text;
        bool markup;
    };
    const Looks cases[] = {
        {"<silence msec=\"5\"/>", true}, {" \t\r\n<speak>x</speak>", true}, {"<3 you", true},
        {"Hello <silence msec=\"5\"/>", false}, {"", false}, {"   ", false},
        {"\xC2\xA0<speak/>", false},  // a no-break space is not XML white space
    };
    for (const Looks& c : cases) EXPECT_EQ(LooksLikeMarkup(c.text), c.markup) << '"' << c.text << '"';
}

}  // namespace
