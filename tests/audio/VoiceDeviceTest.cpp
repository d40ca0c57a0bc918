// The voice itself on the default audio output, inside the private sound server.
#include <gtest/gtest.h>

#include <string>

#include "MonitorRecorder.h"
#include "engine/Engine.h"
#include "engine/InterfaceHolder.h"

namespace {

constexpr size_t kWindow = MonitorRecorder::kRate / 10;
constexpr double kSpeechRms = 0.01;
constexpr double kSilenceRms = 0.0005;

InterfaceHolder<ISpVoice> MakeVoice() {
    void* voice = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, &voice), S_OK);
    return InterfaceHolder<ISpVoice>::Adopt(static_cast<ISpVoice*>(voice));
}

size_t Seconds(double seconds) { return static_cast<size_t>(seconds * MonitorRecorder::kRate); }

TEST(VoiceOnTheDevice, SynchronousSpeechHasBeenHeardWhenItReturns) {
    MonitorRecorder recorder;
    ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
    InterfaceHolder<ISpVoice> voice = MakeVoice();
    size_t start = recorder.SampleCount();
    ASSERT_EQ(voice->Speak(u"Hello from the voice.", SPF_DEFAULT, nullptr), S_OK);
    size_t returned = recorder.SampleCount();
    ASSERT_TRUE(recorder.AwaitSamples(returned + Seconds(0.5)));
    EXPECT_GT(recorder.Rms(start, returned - start), kSpeechRms);
    // Nothing of it is left to play once the call is back (the recording lags a little).
    EXPECT_LT(recorder.Rms(returned + Seconds(0.2), Seconds(0.3)), kSilenceRms);
}

TEST(VoiceOnTheDevice, ReleasingTheVoiceStopsItsSpeech) {
    MonitorRecorder recorder;
    ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
    InterfaceHolder<ISpVoice> voice = MakeVoice();
    std::u16string text;
    for (int i = 0; i < 5; ++i) text += u"This sentence would go on for quite a while if nobody stopped it. ";
    ASSERT_EQ(voice->Speak(text.c_str(), SPF_ASYNC, nullptr), S_OK);
    ASSERT_NE(recorder.AwaitSound(recorder.SampleCount(), kSpeechRms, 3.0), 0u);
    voice = InterfaceHolder<ISpVoice>();
    size_t released = recorder.SampleCount();
    ASSERT_TRUE(recorder.AwaitSamples(released + Seconds(1.3)));
    for (size_t at = released + Seconds(0.3); at + kWindow <= released + Seconds(1.3); at += kWindow)
        EXPECT_LT(recorder.Rms(at, kWindow), kSilenceRms);
}

}  // namespace
