// Start and cut-off latency of the running service, heard at the private sound server's
// null sink monitor. Run inside scripts/with-private-pulse.sh with SPEECH_SERVICE naming the
// built service. Each run: a long speak datagram, then after about 1.5 s an empty speak
// datagram, which cuts the speech off. Times run from the sending of a datagram to the
// arrival of a monitor fragment, so they include the monitor path's own latency.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "Percentiles.h"
#include "SampleTexts.h"
#include "tests/audio/MonitorRecorder.h"
#include "tests/support/ServiceProcess.h"

namespace {

using Clock = MonitorRecorder::Clock;

// Small fragments resolve the times finely.
constexpr size_t kFragmentFrames = MonitorRecorder::kRate / 200;  // 5 ms

// A sample louder than this (-40 dBFS) counts as sound; the null sink is exactly silent
// otherwise.
constexpr float kSilenceThreshold = 0.01f;
constexpr auto kSpeakBeforeCut = std::chrono::milliseconds(1500);
constexpr auto kListenAfterCut = std::chrono::milliseconds(1000);
constexpr auto kStartLimit = std::chrono::seconds(5);
constexpr auto kPauseBetweenRuns = std::chrono::milliseconds(300);

struct RunResult {
    bool heard = false;         // speech started within the limit
    bool cutWhileLoud = false;  // sound arrived in the 200 ms before the cut
    double startMs = 0;
    double cutMs = 0;
};

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

RunResult MeasureOnce(MonitorRecorder& monitor) {
    RunResult result;
    Clock::time_point spoken = Clock::now();
    SendDatagram(SpeakDatagram(ProsePassage()));
    auto first = monitor.FirstLoudAfter(spoken, spoken + kStartLimit, kSilenceThreshold);
    if (!first) return result;
    result.heard = true;
    result.startMs = Ms(*first - spoken);

    std::this_thread::sleep_until(spoken + kSpeakBeforeCut);
    Clock::time_point cut = Clock::now();
    SendDatagram(SpeakDatagram(""));
    auto beforeCut = monitor.LastLoudUpTo(cut, kSilenceThreshold);
    result.cutWhileLoud = beforeCut && cut - *beforeCut < std::chrono::milliseconds(200);
    auto last = monitor.LastLoudUpTo(cut + kListenAfterCut, kSilenceThreshold);
    result.cutMs = last ? Ms(*last - cut) : 0;
    return result;
}

void PrintSeries(const char* name, const std::vector<double>& values) {
    std::printf("%-34s median %6.1f ms   max %6.1f ms   min %6.1f ms   (%zu runs)\n", name, Median(values),
                *std::max_element(values.begin(), values.end()), *std::min_element(values.begin(), values.end()),
                values.size());
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 10;
    if (runs < 1) runs = 1;

    MonitorRecorder monitor(nullptr, kFragmentFrames);
    if (std::string why = monitor.AwaitRecording(std::chrono::seconds(10)); !why.empty()) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    ServiceProcess service;
    if (!service.WaitUntilServing()) {
        std::fprintf(stderr, "the service did not start serving\n");
        return 1;
    }

    // The first speech after start also opens the voice's connection to the sound server;
    // it is reported on its own and left out of the series.
    RunResult cold = MeasureOnce(monitor);
    std::vector<double> starts, cuts;
    int unheard = 0, quietCuts = 0;
    for (int run = 0; run < runs; ++run) {
        std::this_thread::sleep_for(kPauseBetweenRuns);
        RunResult result = MeasureOnce(monitor);
        if (!result.heard) {
            ++unheard;
            continue;
        }
        if (!result.cutWhileLoud) ++quietCuts;
        starts.push_back(result.startMs);
        cuts.push_back(result.cutMs);
        std::printf("run %2d: start %6.1f ms   cut %6.1f ms%s\n", run + 1, result.startMs, result.cutMs,
                    result.cutWhileLoud ? "" : "   (no sound in the 200 ms before the cut)");
    }

    std::vector<double> gaps = monitor.ArrivalGapsMs();
    std::printf("\nlatency heard at the null sink's monitor (sound: a sample above %.2f full scale)\n",
                kSilenceThreshold);
    std::printf("these times include the monitor path's own latency: fragments of %.0f ms arrived %.1f ms apart "
                "(median), %.1f ms at most\n",
                1000.0 * kFragmentFrames / MonitorRecorder::kRate, gaps.empty() ? 0.0 : Median(gaps),
                gaps.empty() ? 0.0 : gaps.back());
    if (cold.heard)
        std::printf("%-34s %6.1f ms   (cut %.1f ms)\n", "first speech after start", cold.startMs, cold.cutMs);
    else
        std::printf("first speech after start: nothing heard within %lld s\n",
                    static_cast<long long>(kStartLimit.count()));
    if (starts.empty()) {
        std::printf("no run was heard\n");
        return 1;
    }
    PrintSeries("start (speak -> first sound)", starts);
    PrintSeries("cut (empty speak -> last sound)", cuts);
    if (unheard > 0) std::printf("%d run(s) heard nothing and were left out\n", unheard);
    if (quietCuts > 0) std::printf("%d cut(s) fell in a pause between words\n", quietCuts);
    return 0;
}
