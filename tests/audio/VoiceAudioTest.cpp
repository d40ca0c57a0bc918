// The built service speaking into a private sound server: what its null sink plays is
// recorded from the monitor and judged by its energy in time windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "MonitorRecorder.h"
#include "PulseDaemon.h"
#include "tests/support/Sanitizers.h"
#include "tests/support/ServiceProcess.h"
#include "tests/support/ToolRun.h"

namespace {

constexpr size_t kWindow = MonitorRecorder::kRate / 10;  // 100 ms
constexpr double kSpeechRms = 0.005;                     // clearly speech at the service's volume 30
constexpr double kSilenceRms = 0.0005;

const std::string kLongText =
    "This is a long sentence that the speech service keeps on saying for several seconds, "
    "so that there is plenty of it left to cut off in the middle. "
    "And here is another sentence after it, so that it still goes on for a while longer.";

size_t Seconds(double seconds) { return static_cast<size_t>(seconds * MonitorRecorder::kRate); }

/// A service that is bound and serving, and a recording of the sink that started before
/// it was asked to say anything.
class VoiceAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.WaitUntilServing());
        // A sink that has just started renders far ahead at first: what the monitor
        // records counts from when it delivers steadily.
        ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
    }

    /// The RMS of each 100 ms window from `from` for `seconds`.
    std::vector<double> WindowRms(size_t from, double seconds) {
        EXPECT_TRUE(recorder.AwaitSamples(from + Seconds(seconds)));
        std::vector<double> levels;
        for (size_t at = from; at + kWindow <= from + Seconds(seconds); at += kWindow)
            levels.push_back(recorder.Rms(at, kWindow));
        return levels;
    }

    /// Says `text` and returns the RMS of the two seconds after it was sent.
    double LevelOf(const std::string& text) {
        size_t start = recorder.SampleCount();
        SendDatagram(SpeakDatagram(text));
        EXPECT_TRUE(recorder.AwaitSamples(start + Seconds(2.0)));
        return recorder.Rms(start, Seconds(2.0));
    }

    /// Says `text` and returns how long it was heard: from the first 10 ms window with
    /// sound in it to the last, within `seconds` after it was sent.
    double HeardSeconds(const std::string& text, double seconds) {
        size_t start = recorder.SampleCount();
        SendDatagram(SpeakDatagram(text));
        EXPECT_TRUE(recorder.AwaitSamples(start + Seconds(seconds)));
        const size_t window = MonitorRecorder::kRate / 100;
        size_t first = 0, last = 0;
        for (size_t at = start; at + window <= start + Seconds(seconds); at += window) {
            if (recorder.Rms(at, window) < kSilenceRms * 4) continue;
            if (first == 0) first = at;
            last = at + window;
        }
        return double(last - first) / MonitorRecorder::kRate;
    }

    ServiceProcess service;
    MonitorRecorder recorder;
};

double Loudest(const std::vector<double>& levels) {
    double loudest = 0.0;
    for (double level : levels) loudest = std::max(loudest, level);
    return loudest;
}

TEST_F(VoiceAudioTest, ASpeakDatagramIsHeard) {
    size_t start = recorder.SampleCount();
    EXPECT_LT(Loudest(WindowRms(start, 0.3)), kSilenceRms);  // nothing before it is asked
    SendDatagram(SpeakDatagram("Hello, this is the speech service."));
    EXPECT_NE(recorder.AwaitSound(start, kSpeechRms, 3.0), 0u);
}

TEST_F(VoiceAudioTest, UncutSpeechGoesOnForSeconds) {
    // The reference for the cut below: the same text, left alone, is still being spoken
    // in the windows where the cut one must be silent.
    SendDatagram(SpeakDatagram(kLongText));
    size_t heard = recorder.AwaitSound(recorder.SampleCount(), kSpeechRms, 3.0);
    ASSERT_NE(heard, 0u);
    std::vector<double> levels = WindowRms(heard + Seconds(0.3), 1.0);
    size_t loud = 0;
    for (double level : levels) loud += level > kSpeechRms ? 1 : 0;
    EXPECT_GE(loud, levels.size() / 2);
}

TEST_F(VoiceAudioTest, AnEmptySpeakDatagramCutsSpeechOff) {
    SendDatagram(SpeakDatagram(kLongText));
    size_t heard = recorder.AwaitSound(recorder.SampleCount(), kSpeechRms, 3.0);
    ASSERT_NE(heard, 0u);
    size_t cut = recorder.SampleCount();
    SendDatagram(SpeakDatagram(""));
    for (double level : WindowRms(cut + Seconds(0.3), 1.0)) EXPECT_LT(level, kSilenceRms);
}

TEST_F(VoiceAudioTest, ANewTextReplacesTheOneBeingSpoken) {
    SendDatagram(SpeakDatagram(kLongText));
    ASSERT_NE(recorder.AwaitSound(recorder.SampleCount(), kSpeechRms, 3.0), 0u);
    size_t replaced = recorder.SampleCount();
    SendDatagram(SpeakDatagram("Stop."));
    // A one-word text is over well within a second; the long one would have gone on.
    for (double level : WindowRms(replaced + Seconds(1.0), 0.8)) EXPECT_LT(level, kSilenceRms);
}

TEST_F(VoiceAudioTest, AVolumeDatagramLowersTheLevel) {
    const std::string text = "Hello, this is the speech service.";
    SendDatagram(CommandDatagram(1, 100));
    double full = LevelOf(text);
    SendDatagram(CommandDatagram(1, 5));
    double low = LevelOf(text);
    EXPECT_GT(full, kSpeechRms);
    EXPECT_LT(low, full * 0.15);
    EXPECT_GT(low, full * 0.01);  // quieter, not silent
}

TEST_F(VoiceAudioTest, AnIdleServiceLetsTheDeviceSleepAndTheNextTextIsHeardWhole) {
    const std::string text = "Hello, this is the speech service.";
    double fresh = HeardSeconds(text, 3.0);
    ASSERT_GT(fresh, 0.5);
    // Played out and idle: the service lets go of its stream, so the server may suspend
    // the sink.
    bool released = false;
    for (int attempt = 0; attempt < 200 && !released; ++attempt) {
        released = RunTool({"pactl", "list", "sink-inputs", "short"}).out.empty();
        if (!released) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_TRUE(released);
    // The next text takes the device up again and loses nothing of its start (a busy
    // machine may lengthen it by a gap, never shorten it).
    double afterIdle = HeardSeconds(text, 3.0);
    EXPECT_GE(afterIdle, fresh - 0.03);
    EXPECT_LT(afterIdle, fresh + 0.3);
}

TEST(VoiceWithoutDevice, ASpeakThatFindsNoOutputIsReportedAndServingGoesOn) {
    // No sound server where PULSE_SERVER points, and an ALSA configuration with no devices.
    ServiceProcess service({"PULSE_SERVER=unix:/nonexistent/speech-test/native", "ALSA_CONFIG_PATH=/dev/null"});
    ASSERT_TRUE(service.WaitUntilServing());
    SendDatagram(SpeakDatagram("Is anybody listening?"));
    EXPECT_EQ(service.NextStderrLine(), "error 80070015 \n");
    SendDatagram({1, 2, 3});
    EXPECT_EQ(service.NextStdoutLine(), "invalid packet size : 3\n");
    SendDatagram(SpeakDatagram("Still nobody?"));
    EXPECT_EQ(service.NextStderrLine(), "error 80070015 \n");
}

TEST(VoiceAndItsSoundServer, TheFirstTextAfterTheServerRestartedIsHeard) {
    // The rig's own server, killed and started again on the same socket (PulseAudio) or
    // behind the same sink (PipeWire's pipewire-pulse).
    const char* restart = std::getenv("SPEECH_TEST_RESTART_SERVER");
    ASSERT_NE(restart, nullptr) << "run inside scripts/with-private-*.sh";
    ServiceProcess service;
    ASSERT_TRUE(service.WaitUntilServing());
    // Right after speech, while the service still holds its connection (it lets go a
    // second after speech has played out), and again after it has let go: ten restarts,
    // three in the sanitized build, which looks at memory rather than counts (each takes
    // some 4 s).
    const std::vector<double> pauses = kUnderAddressSanitizer ? std::vector<double>{0.0, 0.6, 2.5}
                                                              : std::vector<double>{0.0, 0.0, 0.3, 0.6, 0.9, 0.0, 0.3, 0.6, 0.9, 2.5};
    int heard = 0;
    for (double pause : pauses) {
        {
            MonitorRecorder recorder;
            ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
            SendDatagram(SpeakDatagram("One."));
            ASSERT_NE(recorder.AwaitSound(recorder.SampleCount(), kSpeechRms, 3.0), 0u);
            ASSERT_TRUE(recorder.AwaitSamples(recorder.SampleCount() + Seconds(0.6)));  // "One." has played out
        }
        std::this_thread::sleep_for(std::chrono::duration<double>(pause));
        ASSERT_EQ(std::system(restart), 0);
        // Sent at once; long enough to be heard once a new recording flows.
        SendDatagram(SpeakDatagram(kLongText + " " + kLongText));
        MonitorRecorder recorder;
        ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
        heard += recorder.AwaitSound(recorder.SampleCount(), kSpeechRms, 3.0) != 0;
        SendDatagram(SpeakDatagram(""));
    }
    EXPECT_EQ(heard, static_cast<int>(pauses.size()));
    EXPECT_EQ(service.DrainStderr(), "");
}

TEST(VoiceAndItsSoundServer, SpeechComesBackWhenTheServerDoes) {
    PulseDaemon daemon;
    ASSERT_TRUE(daemon.Start());
    ServiceProcess service({"PULSE_SERVER=" + daemon.Server(), "ALSA_CONFIG_PATH=/dev/null"});
    ASSERT_TRUE(service.WaitUntilServing());
    {
        MonitorRecorder recorder(daemon.Server().c_str());
        ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
        SendDatagram(SpeakDatagram("Hello."));
        ASSERT_NE(recorder.AwaitSound(recorder.SampleCount(), kSpeechRms, 3.0), 0u);
    }

    // The server goes away: the connection breaks on the next write and is dropped, and a
    // speak after that finds no output and says so.
    daemon.Stop();
    std::string line;
    for (int attempt = 0; attempt < 20 && line.empty(); ++attempt) {
        SendDatagram(SpeakDatagram("Is anybody there?"));
        line = service.NextStderrLine(std::chrono::milliseconds(250));
    }
    EXPECT_EQ(line, "error 80070015 \n");

    // It comes back: the next speak opens a new connection and is heard.
    ASSERT_TRUE(daemon.Start());
    MonitorRecorder recorder(daemon.Server().c_str());
    ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
    SendDatagram(SpeakDatagram("Here I am again."));
    EXPECT_NE(recorder.AwaitSound(recorder.SampleCount(), kSpeechRms, 3.0), 0u);
    EXPECT_EQ(service.DrainStderr(), "");
}

}  // namespace
