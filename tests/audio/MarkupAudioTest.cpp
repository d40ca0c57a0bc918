// Markup and language through the running service: what a sender's datagram makes the
// private sound server play, recorded from its monitor.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "MonitorRecorder.h"
#include "engine/CodePoints.h"
#include "tests/linux/LocaleEnvironment.h"
#include "tests/linux/SpeechMeasures.h"
#include "tests/support/ServiceProcess.h"

namespace {

constexpr double kSpeechRms = 0.005;  // clearly speech at the service's volume 30
constexpr double kServiceVolume = 0.3;
constexpr LONG kServiceRate = 6;
// The quiet level of the rendered speech, at the service's volume.
constexpr double kQuietAtServiceVolume = speech::kQuietRms * kServiceVolume;

size_t Seconds(double seconds) { return static_cast<size_t>(seconds * MonitorRecorder::kRate); }

/// What the sink played from when speech was first heard after `start` until `seconds` later.
std::vector<float> HeardAfter(MonitorRecorder& recorder, size_t start, double seconds) {
    size_t heard = recorder.AwaitSound(start, kSpeechRms, 3.0);
    if (heard == 0) return {};
    size_t from = heard > Seconds(0.2) ? heard - Seconds(0.2) : 0;  // the onset, before the loud window
    EXPECT_TRUE(recorder.AwaitSamples(from + Seconds(seconds)));
    std::vector<float> all = recorder.Samples();
    return std::vector<float>(all.begin() + long(from), all.begin() + long(from + Seconds(seconds)));
}

/// The service, serving, and a recording of the sink it plays into.
class MarkupHeard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.WaitUntilServing());
        // A sink that has just started renders far ahead at first: what the monitor
        // records counts from when it delivers steadily.
        ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
    }
    ServiceProcess service;
    MonitorRecorder recorder;
};

TEST_F(MarkupHeard, ASilenceBetweenTwoWordsIsHeardAsTwoBurstsThatFarApart) {
    // Markup first in the datagram, so the voice takes the text for markup.
    SendDatagram(SpeakDatagram("<volume level=\"100\">One <silence msec=\"2000\"/> two.</volume>"));
    // Room for the second word even when a busy machine made the sound server wait for
    // samples: such a wait is heard as silence, so it can lengthen the gap, never shorten
    // it. The silence's exact length is judged where no clock runs: MarkupSpeechTest.
    std::vector<float> heard = HeardAfter(recorder, recorder.SampleCount(), 5.0);
    ASSERT_FALSE(heard.empty());
    double gap = speech::LongestGapSeconds(heard, MonitorRecorder::kRate, kQuietAtServiceVolume);
    RecordProperty("gapSeconds", std::to_string(gap));
    EXPECT_GE(gap, 1.9);
    // The gap lies between sounds by its measure; what sounds besides it is two short words,
    // not the tags read aloud.
    double words = speech::AudibleSeconds(heard, MonitorRecorder::kRate, kQuietAtServiceVolume) - gap;
    RecordProperty("wordsSeconds", std::to_string(words));
    EXPECT_GT(words, 0.1);
    EXPECT_LT(words, 1.0);
    EXPECT_EQ(service.DrainStderr(), "");
}

TEST_F(MarkupHeard, ANewDatagramCutsALongSilenceShort) {
    SendDatagram(SpeakDatagram("<silence msec=\"600000\"/>Ten minutes later."));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    size_t start = recorder.SampleCount();
    SendDatagram(SpeakDatagram("Hello now."));
    EXPECT_NE(recorder.AwaitSound(start, kSpeechRms, 3.0), 0u);
}

/// How long `text` sounds at the service's rate from a voice made with LANG=`lang`,
/// rendered into memory in this process.
double RenderedSeconds(const char* lang, const std::u16string& text) {
    InterfaceHolder<ISpVoice> voice;
    {
        LocaleEnvironment environment(lang);
        EXPECT_EQ(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, voice.VoidSlot()), S_OK);
    }
    EXPECT_EQ(voice->SetRate(kServiceRate), S_OK);
    return speech::AudibleSeconds(speech::Render(voice.Get(), text), speech::kRenderRate);
}

TEST(MarkupThroughTheService, AServiceStartedInAGermanLocaleSpeaksGerman) {
    // German words read by an English voice take far longer than by the German one.
    const std::u16string text16 = u"Eichhörnchen und Streichholzschächtelchen, zwölf Züge über Brücken, Schifffahrtsgesellschaft.";
    const std::string text = Utf16ToUtf8(text16.c_str());
    const double german = RenderedSeconds("de_DE.UTF-8", text16);
    const double english = RenderedSeconds("C", text16);
    ASSERT_GT(english, german * 1.15);

    // The other locale variables, empty, count as unset and leave LANG to decide.
    ServiceProcess service({"LANG=de_DE.UTF-8", "LANGUAGE=", "LC_ALL=", "LC_MESSAGES="});
    ASSERT_TRUE(service.WaitUntilServing());
    MonitorRecorder recorder;
    ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
    SendDatagram(SpeakDatagram(text));
    // A busy machine stretches what the sound server plays, and a fixed tolerance around
    // the rendered length would judge the machine, not the language: the heard speech is
    // judged by which rendering it is nearer to, all of it heard.
    std::vector<float> heard = HeardAfter(recorder, recorder.SampleCount(), german + 2.0);
    ASSERT_FALSE(heard.empty());
    double seconds = speech::AudibleSeconds(heard, MonitorRecorder::kRate, kQuietAtServiceVolume);
    RecordProperty("heardSeconds", std::to_string(seconds));
    RecordProperty("germanSeconds", std::to_string(german));
    RecordProperty("englishSeconds", std::to_string(english));
    EXPECT_LT(std::abs(seconds - german), std::abs(seconds - english));
}

}  // namespace
