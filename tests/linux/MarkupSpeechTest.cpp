// Markup spoken by the real voice into memory, with each engine, judged by what can be
// heard: silences measured in the samples, lengths, loudness and pitch against the same
// words without it.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "LocaleEnvironment.h"
#include "SpeechMeasures.h"
#include "engine/Engine.h"

namespace {

const std::u16string kSentence = u"The quick brown fox jumps over the lazy dog.";
const std::u16string kGermanDate = u"Am 24.12.1987 um 17:45 Uhr.";

/// Each case spoken by each engine's English: the voice is made with SPEECH_VOICE naming it.
class MarkupSpeechTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        LocaleEnvironment environment("C.UTF-8");
        setenv("SPEECH_VOICE", GetParam(), 1);
        ASSERT_EQ(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, voice.VoidSlot()), S_OK);
    }

    std::vector<float> Speak(const std::u16string& text, DWORD flags = SPF_DEFAULT) {
        return speech::Render(voice.Get(), text, flags);
    }

    InterfaceHolder<ISpVoice> voice;
};

double Audible(const std::vector<float>& samples) { return speech::AudibleSeconds(samples, speech::kRenderRate); }
double Gap(const std::vector<float>& samples) { return speech::LongestGapSeconds(samples, speech::kRenderRate); }
double Pitch(const std::vector<float>& samples) { return speech::MedianPitch(samples, speech::kRenderRate); }

TEST_P(MarkupSpeechTest, APauseIsASilenceOfItsLengthWhereverTheTextIsMarkup) {
    struct Case {
        const char* name;
        std::u16string text;
        DWORD flags;
        double gap;  // seconds; 0: no pause, the tags are read as words
    };
    const Case cases[] = {
        {"platform silence", u"<volume level=\"100\">Hello <silence msec=\"1500\"/> world</volume>", SPF_DEFAULT, 1.5},
        {"after white space", u"\n  <volume level=\"100\">Hello <silence msec=\"1500\"/> world</volume>", SPF_DEFAULT, 1.5},
        {"at the fastest rate", u"<rate absspeed=\"10\">Hello <silence msec=\"1500\"/> world</rate>", SPF_DEFAULT, 1.5},
        {"SSML break", u"<speak>Hello <break time=\"1s\"/> world</speak>", SPF_DEFAULT, 1.0},
        {"forced markup", u"Hello <silence msec=\"1500\"/> world", SPF_IS_XML, 1.5},
        {"text not starting with <", u"Hello <silence msec=\"1500\"/> world", SPF_DEFAULT, 0},
        {"markup forbidden", u"<volume level=\"100\">Hello <silence msec=\"1500\"/> world</volume>", SPF_IS_NOT_XML, 0},
    };
    for (const Case& c : cases) {
        double gap = Gap(Speak(c.text, c.flags));
        RecordProperty(c.name, std::to_string(gap));
        if (c.gap > 0) EXPECT_NEAR(gap, c.gap, 0.1) << c.name;
        else EXPECT_LT(gap, 0.5) << c.name;
    }
}

TEST_P(MarkupSpeechTest, EachTagChangesTheSpeechAsItSays) {
    using Measure = std::function<double(const std::vector<float>&)>;
    const Measure length = Audible, loudness = speech::Rms, pitch = Pitch;
    struct Case {
        const char* name;
        std::u16string markup;
        std::u16string plain;  // the same words without the markup (or in other markup: `plainFlags`)
        Measure measure;
        double low, high;  // bounds of measure(markup) / measure(plain)
        DWORD plainFlags = SPF_IS_NOT_XML;
    };
    const std::u16string s = kSentence;
    const Case cases[] = {
        {"absspeed 10", u"<rate absspeed=\"10\">" + s + u"</rate>", s, length, 0, 0.45},
        {"SSML rate", u"<speak><prosody rate=\"50%\">" + s + u"</prosody></speak>", s, length, 1.6, 2.4},
        // espeak-ng reads "abc" letter by letter already; spelt, the letters come apart.
        {"spell abc", u"<spell>abc</spell>", u"abc", length, 1.02, 4},
        {"spell a word", u"<spell>dog</spell>", u"dog", length, 1.5, 5},
        {"volume 50", u"<volume level=\"50\">" + s + u"</volume>", s, loudness, 0.4, 0.6},
        {"pitch +10", u"<pitch middle=\"10\">" + s + u"</pitch>", s, pitch, 1.2, 1.45},
        {"absmiddle -10", u"<pitch absmiddle=\"-10\">" + s + u"</pitch>", s, pitch, 0.7, 0.9},
        {"emph", u"<emph>" + s + u"</emph>", s, length, 1.03, 1.5},
        {"female voice", u"<voice required=\"Gender=Female\">" + s + u"</voice>", s, pitch, 1.4, 2.5},
        // The German voice itself.
        {"German by lang", u"<lang langid=\"407\">" + kGermanDate + u"</lang>",
         u"<voice required=\"Name=German\">" + kGermanDate + u"</voice>", length, 0.99, 1.01, SPF_IS_XML},
        {"pronunciation", u"<pron sym=\"h eh 1 l ow\"/>", u"hello", length, 0.8, 1.25},
        {"two words pronounced", u"<pron sym=\"h eh 1 l ow & w er 1 l d\"/>", u"hello world", length, 0.8, 1.25},
        {"two words, escaped", u"<pron sym=\"h eh 1 l ow &amp; w er 1 l d\"/>", u"hello world", length, 0.8, 1.25},
        {"annotations", u"<bookmark mark=\"a\"/><partofsp part=\"noun\">The quick</partofsp> <context id=\"x\">brown fox</context> jumps over the lazy dog.", s, length, 0.97, 1.03},
        {"unknown tag", u"<sapi><whatever>" + s + u"</whatever></sapi>", s, length, 0.97, 1.03},
        {"escaped text", u"<speak>Tom &amp; Jerry &lt;3 &quot;you&quot;</speak>", u"Tom & Jerry <3 \"you\"", length, 0.97, 1.03},
    };
    for (const Case& c : cases) {
        double marked = c.measure(Speak(c.markup));
        double plain = c.measure(Speak(c.plain, c.plainFlags));
        ASSERT_GT(plain, 0) << c.name;
        RecordProperty(c.name, std::to_string(marked / plain));
        EXPECT_GE(marked / plain, c.low) << c.name;
        EXPECT_LE(marked / plain, c.high) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, MarkupSpeechTest, ::testing::Values("kal16", "English (Great Britain)"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param[0] == 'k' ? "flite" : "espeak");
                         });

}  // namespace
