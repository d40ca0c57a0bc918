// What the platform's TTS XML and SSML come to: the voices they choose, the SSML texts
// and silences espeak-ng is given, pronunciations in the platform's phone set, escaping,
// and text that is not markup.
#include <gtest/gtest.h>

#include <string>

#include "engine/linux/EngineStartup.h"
#include "engine/linux/engines/EspeakMarkup.h"
#include "engine/linux/text/Markup.h"
#include "engine/linux/types/PhoneSet.h"
#include "engine/linux/types/Utterance.h"

namespace {

VoiceChoice Speaking(const char* name) {
    VoiceChoice choice;
    choice.voice = ProcessVoiceParts().catalogue.Named(name);
    EXPECT_NE(choice.voice, nullptr) << name;
    return choice;
}

/// espeak-ng's English, which the cases below begin in.
const char* const kEspeakEnglish = "English (Great Britain)";

/// An utterance on one line, as the synthesizers are given it: stretches and silences
/// joined by " | ", a silence as "(500 ms)", a stretch in another voice than
/// kEspeakEnglish opened by "{its name} ", espeak-ng's SSML with phoneme input marked
/// "phonemes:", flite's words and /phones/ as they are.
std::string Described(const Utterance& utterance) {
    std::string out;
    for (size_t at = 0; at < utterance.size();) {
        if (!out.empty()) out += " | ";
        const UtterancePart& first = utterance[at];
        if (first.kind == UtterancePart::Kind::Pause) {
            out += "(" + std::to_string(first.milliseconds) + " ms)";
            ++at;
            continue;
        }
        size_t end = at;
        while (end < utterance.size() && utterance[end].kind != UtterancePart::Kind::Pause &&
               utterance[end].style.voice.voice == first.style.voice.voice)
            ++end;
        const Voice& voice = *first.style.voice.voice;
        if (voice.name != kEspeakEnglish) out += "{" + voice.name + "} ";
        if (voice.engine == SynthesisEngine::Espeak) {
            EspeakMarkup markup = ToEspeakMarkup(&utterance[at], &utterance[end]);
            out += (markup.phonemes ? "phonemes:" : "") + markup.text;
        } else {
            for (size_t i = at; i < end; ++i)
                if (utterance[i].kind != UtterancePart::Kind::Break)
                    out += utterance[i].kind == UtterancePart::Kind::Phones ? "/" + utterance[i].text + "/" : utterance[i].text;
        }
        at = end;
    }
    return out;
}

struct Case {
    const char* name;
    const char* markup;
    const char* expected;
};

void ExpectTranslations(const std::vector<Case>& cases, const char* startVoice = kEspeakEnglish) {
    for (const Case& c : cases) EXPECT_EQ(Described(MarkupUtterance(c.markup, Speaking(startVoice), ProcessVoiceParts().catalogue)), c.expected) << c.name;
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
         "{slt} a | b | {French (France)} <voice xml:lang=\"fr\" age=\"10\">c</voice>"},
        {"lang", "<lang langid=\"416\">bom dia</lang><lang langid=\"c07\">Servus</lang>",
         "{Portuguese (Brazil)} bom dia | {German} Servus"},
        {"annotations change nothing",
         "<bookmark mark=\"x\"/>a <partofsp part=\"noun\">b</partofsp> <context id=\"date_mdy\">c</context>", "a b c"},
        {"pronunciation", "<pron sym=\"h eh 1 l ow\"/> and <pron sym=\"w er 1 l d\">planet</pron>",
         "phonemes:[[h'EloU]] and [[w'3:ld]]"},
        {"a pronunciation with an unknown phone leaves the words", "<pron sym=\"h xx 1\">hi</pron>", "hi"},
        {"everything nested",
         "<voice required=\"Gender=Female;Language=407\"><rate speed=\"10\"><volume level=\"40\"><pitch middle=\"-5\">"
         "<emph><spell>abc</spell></emph></pitch></volume></rate></voice>",
         "{German} <voice xml:lang=\"de\" gender=\"female\"><emphasis level=\"moderate\"><prosody rate=\"300%\" pitch=\"73%\" "
         "volume=\"40%\"><say-as interpret-as=\"characters\">abc</say-as></prosody></emphasis></voice>"},
    });
}

TEST(Markup, SsmlElementsAndValues) {
    ExpectTranslations({
        {"document with declaration and language",
         "<?xml version=\"1.0\"?><speak version=\"1.0\" xmlns=\"http://www.w3.org/2001/10/synthesis\" xml:lang=\"pt-BR\">"
         "a<break time=\"250ms\"/>b</speak>",
         "{Portuguese (Brazil)} a | (250 ms) | {Portuguese (Brazil)} b"},
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
         "World Wide Web ab<voice xml:lang=\"en\" gender=\"female\" age=\"70\">y</voice>"},
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
    const char* const texts[] = {"<3 you", "<silence msec=\"1500\">unclosed", "<emph>x &nbsp; y</emph>",
                                 "a</markup-fragment><b/>", "<emph>Tom & Jerry</emph"};
    for (const char* text : texts) {
        Utterance utterance = MarkupUtterance(text, Speaking("kal16"), ProcessVoiceParts().catalogue);
        ASSERT_EQ(utterance.size(), 1u) << text;
        EXPECT_EQ(utterance[0].kind, UtterancePart::Kind::Words) << text;
        EXPECT_EQ(utterance[0].text, text);
        EXPECT_EQ(utterance[0].style.voice.voice, ProcessVoiceParts().catalogue.Named("kal16")) << text;
    }
}

// Entities may not make a datagram say far more than it holds; what they hold within
// reason is said, and nothing is read from outside.
TEST(Markup, EntitiesExpandOnlyWithinReason) {
    // Each entity eight of the one before: 8^8 times "lol " from under 1000 bytes.
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE speak [<!ENTITY l0 \"lol \">";
    for (int level = 1; level <= 8; ++level) {
        laughs += "<!ENTITY l" + std::to_string(level) + " \"";
        for (int copy = 0; copy < 8; ++copy) laughs += "&l" + std::to_string(level - 1) + ";";
        laughs += "\">";
    }
    laughs += "]><speak>&l8;";
    ASSERT_LT(laughs.size(), 1000u);
    Utterance spoken = MarkupUtterance(laughs + "Done.</speak>", Speaking("rms"), ProcessVoiceParts().catalogue);
    std::string said;
    for (const UtterancePart& part : spoken) said += part.text;
    EXPECT_EQ(said, "Done.");  // what it holds, its entities unsaid: not 8^8 times "lol"

    const std::string small = "<?xml version=\"1.0\"?><!DOCTYPE speak [<!ENTITY co \"Company\">]><speak>The &co; and its workers.</speak>";
    spoken = MarkupUtterance(small, Speaking("rms"), ProcessVoiceParts().catalogue);
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, "The Company and its workers.");

    const std::string external = "<?xml version=\"1.0\"?><!DOCTYPE speak [<!ENTITY pw SYSTEM \"/etc/passwd\">]><speak>x &pw; y</speak>";
    for (const UtterancePart& part : MarkupUtterance(external, Speaking("rms"), ProcessVoiceParts().catalogue)) EXPECT_EQ(part.text.find("root"), std::string::npos);
}

TEST(Markup, ABareAmpersandIsTheCharacter) {
    ExpectTranslations({
        {"in words", "<emph>Tom & Jerry &amp; &#38; &#x26;</emph>", "<emphasis level=\"moderate\">Tom &amp; Jerry &amp; &amp; &amp;</emphasis>"},
        {"at the end", "<emph>R&</emph>", "<emphasis level=\"moderate\">R&amp;</emphasis>"},
        {"between words of a pronunciation", "<pron sym=\"h eh 1 l ow & w er 1 l d\"/>", "phonemes:[[h'EloU w'3:ld]]"},
        {"escaped there", "<pron sym=\"h eh 1 l ow &amp; w er 1 l d\"/>", "phonemes:[[h'EloU w'3:ld]]"},
    });
}

TEST(Markup, PronunciationsInThePlatformsPhoneSet) {
    ExpectTranslations({
        {"punctuation parts the phonemes", "<pron sym=\"h eh 1 l ow , w er 1 l d ?\"/>", "phonemes:[[h'EloU]], [[w'3:ld]]? "},
        {"a silence, syllables, secondary stress", "<pron sym=\"ih 2 n - f er - m ey 1 - sh ax n _ n ow 1\"/>",
         "phonemes:[[,Inf3:m'eIS@n _: n'oU]]"},
        {"stress attached to its vowel, capitals", "<pron sym=\"HH AH1 L OW\">x</pron>", "x"},
        {"SSML phoneme in the platform's set", "<speak><phoneme ph=\"t ah 1 m ey 1 t ow\">tomato</phoneme></speak>",
         "phonemes:[[t'Vm'eItoU]]"},
        {"SSML phoneme in IPA leaves the words", "<speak><phoneme alphabet=\"ipa\" ph=\"t\u0259\">tomato</phoneme></speak>", "tomato"},
        {"stress without a vowel", "<pron sym=\"t 1 ow\">toe</pron>", "toe"},
        {"nothing but boundaries", "<pron sym=\"& , _\">none</pron>", "none"},
    });
    // flite is given the CMU phone set's names, a stress digit on every vowel.
    auto words = ReadPronunciation("h eh 1 l ow & w er 2 l d .");
    ASSERT_TRUE(words.has_value());
    ASSERT_EQ(words->size(), 2u);
    EXPECT_EQ(FlitePhones((*words)[0]), "hh eh1 l ow0");
    EXPECT_EQ(FlitePhones((*words)[1]), "w er0 l d");
    EXPECT_EQ((*words)[1].punctuation, '.');
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
