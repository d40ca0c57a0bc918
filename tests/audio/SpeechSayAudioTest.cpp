// speech-say against the running service, heard at the private sound server's null sink.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "MonitorRecorder.h"
#include "tests/support/ServiceProcess.h"
#include "tests/support/ToolRun.h"

namespace {

constexpr double kSpeechRms = 0.005;
constexpr double kSilenceRms = 0.0005;
const size_t kWindow = MonitorRecorder::kRate / 10;

size_t Seconds(double seconds) { return static_cast<size_t>(seconds * MonitorRecorder::kRate); }

ToolResult Say(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), std::getenv("SPEECH_SAY"));
    return RunTool(arguments);
}

class SpeechSayHeard : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.WaitUntilServing());
        // A sink that has just started renders far ahead at first: what the monitor
        // records counts from when it delivers steadily.
        ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
    }
    /// Says `text` at `volume` and returns the RMS of the two seconds after.
    double LevelAt(const std::string& volume, const std::string& text) {
        size_t start = recorder.SampleCount();
        EXPECT_EQ(0, Say({"--volume", volume, text}).status);
        EXPECT_TRUE(recorder.AwaitSamples(start + Seconds(2.0)));
        return recorder.Rms(start, Seconds(2.0));
    }

    ServiceProcess service;
    MonitorRecorder recorder;
};

TEST_F(SpeechSayHeard, SpeaksStopsAndSetsTheVolume) {
    ToolResult said = Say({"This is speech-say, saying something long enough to be cut off in the middle of it."});
    EXPECT_EQ(0, said.status) << said.err;
    ASSERT_NE(recorder.AwaitSound(0, kSpeechRms, 3.0), 0u);
    size_t stopped = recorder.SampleCount();
    EXPECT_EQ(0, Say({"--stop"}).status);
    ASSERT_TRUE(recorder.AwaitSamples(stopped + Seconds(1.3)));
    for (size_t at = stopped + Seconds(0.3); at + kWindow <= stopped + Seconds(1.3); at += kWindow)
        EXPECT_LT(recorder.Rms(at, kWindow), kSilenceRms);

    double full = LevelAt("100", "Hello from speech-say.");
    double low = LevelAt("5", "Hello from speech-say.");
    EXPECT_GT(full, kSpeechRms);
    EXPECT_LT(low, full * 0.15);
    EXPECT_GT(low, full * 0.01);
}

}  // namespace
