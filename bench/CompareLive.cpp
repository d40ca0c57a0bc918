// Live speech as a listener hears it, at the private sound server's null sink monitor:
// dropouts while busy loops hold the processors, the cut-off of an empty speak sent at an
// arbitrary moment and how the old speech ends (a fade or a click), whether the sink may
// suspend once the service is idle, and first audio after such an idle spell. The service
// speaks at its own rate 6 and at volume 100.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Compare.h"
#include "Figures.h"
#include "SampleTexts.h"
#include "service/CommandDatagram.h"
#include "tests/audio/MonitorRecorder.h"
#include "tests/support/ServiceProcess.h"
#include "tests/support/SoundFile.h"
#include "tests/support/ToolRun.h"

namespace {

using Clock = MonitorRecorder::Clock;
using std::chrono::milliseconds;

constexpr unsigned kRate = MonitorRecorder::kRate;
constexpr size_t kWindow = kRate / 100;  // 10 ms
constexpr float kLoud = 0.01f;             // -40 dBFS: sound
constexpr double kQuietWindowRms = 0.001;  // -60 dBFS: a silent window
// A silence inside speech this long or longer is a gap; a dropout is a gap the same text
// rendered into a file does not have.
constexpr size_t kGapWindows = 4;
constexpr double kSpeechSeconds = 27.0;
constexpr int kServiceRate = 6;
constexpr double kClickLevel = 0.5;

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Rms(const std::vector<float>& samples, size_t from, size_t length) {
    double sum = 0;
    size_t end = std::min(samples.size(), from + length);
    for (size_t i = from; i < end; ++i) sum += double(samples[i]) * samples[i];
    return end > from ? std::sqrt(sum / double(end - from)) : 0.0;
}

struct Span {
    size_t first = 0, last = 0;  // the first and the last loud sample
    size_t gaps = 0;             // silences of kGapWindows or more between them
    double gapSeconds = 0;       // how long they last in all
};

/// Where the sound in `samples` begins and ends, and how often it falls silent in between.
Span Measure(const std::vector<float>& samples, size_t from, size_t to) {
    Span span;
    to = std::min(to, samples.size());
    size_t at = from;
    while (at < to && std::fabs(samples[at]) <= kLoud) ++at;
    span.first = span.last = at;
    for (size_t i = at; i < to; ++i)
        if (std::fabs(samples[i]) > kLoud) span.last = i;
    size_t quiet = 0;
    for (size_t window = span.first; window + kWindow <= span.last; window += kWindow) {
        if (Rms(samples, window, kWindow) < kQuietWindowRms) {
            ++quiet;
        } else {
            if (quiet >= kGapWindows) {
                ++span.gaps;
                span.gapSeconds += double(quiet * kWindow) / kRate;
            }
            quiet = 0;
        }
    }
    return span;
}

/// `count` shell loops that keep a processor busy each, for as long as the object lives;
/// at the niceness LIVE_BUSY_NICE gives (-10: ahead of the service), else at its own.
class BusyLoops {
public:
    explicit BusyLoops(int count) {
        const char* nice = std::getenv("LIVE_BUSY_NICE");
        for (int i = 0; i < count; ++i) {
            std::vector<std::string> loop{"sh", "-c", "while :; do :; done"};
            if (nice != nullptr) loop.insert(loop.begin(), {"nice", "-n", nice});
            loops.push_back(std::make_unique<StartedTool>(loop));
        }
    }

private:
    std::vector<std::unique_ptr<StartedTool>> loops;
};

/// The speech text rendered into a file by speech-render, at the same rate, for what the
/// speech sounds like with nothing in the way: its gaps are the speech's own.
Span FileReference(const std::string& text, double* seconds = nullptr) {
    std::string path = "/tmp/speech-live-reference-" + std::to_string(::getpid()) + ".wav";
    // The speech-render built beside the service measured, so that both speak alike.
    const char* service = std::getenv("SPEECH_SERVICE");
    std::string render = service != nullptr ? std::string(service) : HelperPath("../speech-service");
    render = render.substr(0, render.rfind('/') + 1) + "tools/speech-render";
    RunTool({render, "-q", "--rate", std::to_string(kServiceRate), "-o", path, text});
    SoundFile sound = ReadSoundFile(path);
    std::remove(path.c_str());
    if (!sound.valid) throw std::runtime_error("speech-render did not render the reference");
    size_t limit = std::min(sound.samples.size(), static_cast<size_t>(kSpeechSeconds * kRate));
    Span span = Measure(sound.samples, 0, limit);
    if (seconds != nullptr) *seconds = double(span.last - span.first) / kRate;
    return span;
}

/// Speaks `text` with `busyLoops` loops beside the service and returns the first
/// kSpeechSeconds of what was heard.
Span HeardUnderLoad(MonitorRecorder& monitor, const std::string& text, int busyLoops) {
    BusyLoops busy(busyLoops);
    std::this_thread::sleep_for(milliseconds(300));
    size_t start = monitor.SampleCount();
    SendDatagram(SpeakDatagram(text));
    // A stretched recording is cut off too: its gaps count.
    size_t end = start + static_cast<size_t>((kSpeechSeconds + 3.0) * kRate);
    monitor.AwaitSamples(end);
    SendDatagram(SpeakDatagram(""));
    std::vector<float> samples = monitor.Samples();
    Span live = Measure(samples, start, end);
    Span heard = Measure(samples, live.first, std::min(live.last, live.first + static_cast<size_t>(kSpeechSeconds * kRate)) + 1);
    std::this_thread::sleep_for(milliseconds(500));
    return heard;
}

/// Dropouts: gaps in speech heard beside busy loops that the same speech heard on a quiet
/// machine does not have. The file's gaps are reported beside them: where the quiet
/// machine's speech has more gaps than the file, it dropped out too.
void MeasureDropouts(MonitorRecorder& monitor, const std::string& text) {
    Span file = FileReference(text);
    Report("live.file.gaps", double(file.gaps));
    Report("live.file.gap_ms", 1000.0 * file.gapSeconds);
    Span quiet{};
    for (int busy : {0, 2, 4}) {
        Span heard = HeardUnderLoad(monitor, text, busy);
        if (busy == 0) quiet = heard;
        std::string key = "live.busy" + std::to_string(busy) + ".";
        Report(key + "gaps", double(heard.gaps));
        Report(key + "gap_ms", 1000.0 * heard.gapSeconds);
        Report(key + "dropouts", double(heard.gaps > quiet.gaps ? heard.gaps - quiet.gaps : 0));
        Report(key + "extra_gap_ms", 1000.0 * (heard.gapSeconds - quiet.gapSeconds));
    }
}

/// Cut-offs at moments that fall wherever they fall: `runs` times, speech is stopped a
/// fixed time plus a spread after it was asked for.
void MeasureCutOffs(MonitorRecorder& monitor, const std::string& text, int runs) {
    std::vector<double> cuts, lastMillisecond, againstSpeech;  // the end against the 5 ms before, and against the speech too
    int inSilence = 0;
    for (int run = 0; run < runs; ++run) {
        Clock::time_point asked = Clock::now();
        SendDatagram(SpeakDatagram(text));
        auto first = monitor.FirstLoudAfter(asked, asked + std::chrono::seconds(5), kLoud);
        if (!first) continue;
        std::this_thread::sleep_until(*first + milliseconds(400 + (run * 137) % 700));
        Clock::time_point cut = Clock::now();
        SendDatagram(SpeakDatagram(""));
        auto last = monitor.LastLoudUpTo(cut + milliseconds(600), kLoud);
        double cutMs = last && *last > cut ? Ms(*last - cut) : 0.0;
        cuts.push_back(cutMs);
        // How the old speech ended: the last millisecond before silence against the 5 ms
        // before it. A click is an end at full level (1.0); a fade ends far below it.
        std::vector<float> samples = monitor.Samples();
        const size_t millisecond = kRate / 1000;
        size_t from = monitor.FirstSampleAfter(cut);
        // The end of the old speech: its last sample that is not silence, from a little
        // before the cut was asked for.
        size_t end = 0;
        for (size_t i = from > 50 * millisecond ? from - 50 * millisecond : 0; i < samples.size() && i < from + kRate / 2; ++i)
            if (std::fabs(samples[i]) > 1e-4f) end = i + 1;
        if (end < 6 * millisecond) continue;
        double before = Rms(samples, end - 6 * millisecond, 5 * millisecond);
        if (before < kQuietWindowRms * 3) {
            ++inSilence;  // the cut fell into a pause: nothing to fade
        } else {
            const double last = Rms(samples, end - millisecond, millisecond);
            lastMillisecond.push_back(last / before);
            // And against the speech's own level, the 50 ms before the cut: the 5 ms before
            // the end may be a quiet stretch of the speech (a fade that falls in a word's
            // quiet tail ends well below the speech yet not far below those 5 ms).
            const double speech = Rms(samples, from > 50 * millisecond ? from - 50 * millisecond : 0, 50 * millisecond);
            againstSpeech.push_back(speech > 0 ? std::min(last / before, last / speech) : last / before);
        }
        std::this_thread::sleep_for(milliseconds(300));
    }
    ReportMedian("live.cut_p50_ms", cuts);
    Report("live.cut_p95_ms", Percentile(cuts, 0.95));
    ReportMedian("live.last_ms_level_p50", lastMillisecond);
    Report("live.last_ms_level_max",
           lastMillisecond.empty() ? 0.0 : *std::max_element(lastMillisecond.begin(), lastMillisecond.end()));
    Report("live.cuts_in_pauses", inSilence);
    // A click: the old speech ends at more than half the level it had just before.
    Report("live.clicks", double(std::count_if(lastMillisecond.begin(), lastMillisecond.end(),
                                               [](double level) { return level > kClickLevel; })));
    Report("live.cuts_judged", double(lastMillisecond.size()));
    // An end above half of both: the speech still at its level when it stops.
    Report("live.clicks_at_speech_level", double(std::count_if(againstSpeech.begin(), againstSpeech.end(),
                                                               [](double level) { return level > kClickLevel; })));
}

std::string SinkState() {
    ToolResult listed = RunTool({"pactl", "list", "sinks", "short"});
    for (const char* state : {"SUSPENDED", "RUNNING", "IDLE"})
        if (listed.out.find(state) != std::string::npos) return state;
    return "unknown";
}

/// Whether the sink suspends once the service has said a sentence and fallen idle, with
/// nothing recording its monitor (a recording keeps a sink awake); then the first audio
/// of a speak that comes after the idle spell, and whether that speech is whole.
void MeasureIdle(const std::string& sentence, int runs) {
    // A desktop's idle suspension, quicker than its usual 5 s so that the bench is short.
    // (PipeWire's own, WirePlumber's, takes its 5 s: pipewire-pulse loads no such module.)
    RunTool({"pactl", "load-module", "module-suspend-on-idle", "timeout=1"});
    double referenceSeconds = 0;
    FileReference(sentence, &referenceSeconds);
    std::vector<double> suspendedAfter, starts, wholeness;
    for (int run = 0; run < runs; ++run) {
        {
            MonitorRecorder monitor(nullptr, kRate / 1000);
            if (!monitor.AwaitRecording(std::chrono::seconds(5)).empty()) continue;
            Clock::time_point asked = Clock::now();
            SendDatagram(SpeakDatagram(sentence));
            auto first = monitor.FirstLoudAfter(asked, asked + std::chrono::seconds(5), kLoud);
            if (run > 0 && first) starts.push_back(Ms(*first - asked));  // the first run starts a fresh service
            std::this_thread::sleep_for(std::chrono::duration<double>(referenceSeconds + 0.5));
            std::vector<float> samples = monitor.Samples();
            Span heard = Measure(samples, monitor.FirstSampleAfter(asked), samples.size());
            if (run > 0) wholeness.push_back(double(heard.last - heard.first) / kRate / referenceSeconds);
        }
        Clock::time_point ended = Clock::now();
        double suspended = -1;
        for (Clock::time_point giveUp = ended + std::chrono::seconds(8); Clock::now() < giveUp;) {
            if (SinkState() == "SUSPENDED") {
                suspended = Ms(Clock::now() - ended) / 1000.0;
                break;
            }
            std::this_thread::sleep_for(milliseconds(100));
        }
        suspendedAfter.push_back(suspended);
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    ReportMedian("live.idle.suspended_after_s", suspendedAfter);
    Report("live.idle.never_suspended", double(std::count(suspendedAfter.begin(), suspendedAfter.end(), -1.0)));
    ReportMedian("live.idle.start_p50_ms", starts);
    Report("live.idle.start_p95_ms", Percentile(starts, 0.95));
    ReportMedian("live.idle.heard_share_p50", wholeness);
    Report("live.idle.heard_share_min", wholeness.empty() ? 0.0 : *std::min_element(wholeness.begin(), wholeness.end()));
}

}  // namespace

int CompareLive(int runs, const std::string& parts) {
    const std::string text = ProseWords(600);
    auto asked = [&](char part) { return parts.find(part) != std::string::npos; };
    {
        MonitorRecorder monitor(nullptr, kRate / 1000);
        if (std::string why = monitor.AwaitRecording(std::chrono::seconds(10)); !why.empty())
            throw std::runtime_error(why);
        ServiceProcess service;
        if (!service.WaitUntilServing()) throw std::runtime_error("the service did not start serving");
        SendDatagram(CommandDatagram(SET_VOLUME, 100));
        if (asked('d')) MeasureDropouts(monitor, text);
        if (asked('c')) MeasureCutOffs(monitor, text, runs);
    }
    if (!asked('i')) return 0;
    ServiceProcess service;
    if (!service.WaitUntilServing()) throw std::runtime_error("the service did not start serving");
    SendDatagram(CommandDatagram(SET_VOLUME, 100));
    MeasureIdle("The quick brown fox jumps over the lazy dog.", std::max(3, runs / 4));
    return 0;
}
