// Speech as it is made for a real-time output: the first phrase is synthesized on its own
// so that it is heard sooner, and must still sound as the same text rendered into a file.
#include <gtest/gtest.h>

#include <vector>

#include "SpeechMeasures.h"
#include "engine/linux/EngineStartup.h"
#include "engine/linux/voice/SynthesisProducer.h"
#include "engine/linux/voices/Voices.h"

namespace {

constexpr unsigned kRate = 16000;  // flite's own: nothing is resampled

/// Keeps 16-bit mono audio; plays "in real time" when asked to, as the device does.
class KeepingSink : public AudioSink {
public:
    explicit KeepingSink(bool realTime) : realTime(realTime) {}
    SampleLayout Layout() const override { return {SampleLayout::Encoding::Pcm16, 1, kRate, 2}; }
    bool PlaysInRealTime() const override { return realTime; }
    HRESULT Write(const void* data, size_t frames) override {
        const auto* samples = static_cast<const int16_t*>(data);
        for (size_t i = 0; i < frames; ++i) heard.push_back(samples[i] / 32768.0f);
        return S_OK;
    }

    bool realTime;
    std::vector<float> heard;
};

std::vector<float> Spoken(const char* voiceName, const char* text, bool live) {
    VoiceChoice choice;
    choice.voice = ProcessVoiceParts().catalogue.Named(voiceName);
    EXPECT_NE(choice.voice, nullptr) << voiceName;
    KeepingSink sink(live);
    PipelineControls controls{[] { return 1.0f; }, [] { return false; }};
    EXPECT_EQ(SpeakUtterance(PlainUtterance(text, choice), 0, ProcessVoiceParts(), sink, controls, false), S_OK);
    return sink.heard;
}

TEST(LiveSpeech, TheFirstPhraseMadeAloneIsJoinedToTheRestWithoutAPause) {
    const char* texts[] = {"The birch canoe slid on the smooth planks and glued the sheet to the dark blue background.",
                           "Well, it is easy to tell the depth of a well."};
    for (const char* voice : {"rms", "kal16"}) {
        for (const char* text : texts) {
            SCOPED_TRACE(std::string(voice) + ": " + text);
            std::vector<float> live = Spoken(voice, text, true), file = Spoken(voice, text, false);
            double fileSeconds = speech::AudibleSeconds(file, kRate);
            ASSERT_GT(fileSeconds, 1.0);
            EXPECT_NEAR(speech::AudibleSeconds(live, kRate), fileSeconds, 0.1 * fileSeconds);
            // A phrase ended at its comma keeps the pause flite closes it with.
            EXPECT_LE(speech::LongestGapSeconds(live, kRate), speech::LongestGapSeconds(file, kRate) + 0.05);
        }
    }
}

}  // namespace
