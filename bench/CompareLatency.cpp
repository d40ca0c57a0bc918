// Time to first audio and cut-off, heard at the private sound server's null sink monitor
// in 1 ms fragments, of the service (an empty speak datagram stops it), a plain client of
// the sound server playing the same speech rendered beforehand (what the server itself
// costs), spd-say talking
// to the running speech-dispatcher (spd-say -C stops it) and the espeak-ng command (ended
// with SIGTERM). Times run from the moment the request left (the datagram sent, the
// process spawned) and include the monitor path's own latency, the same for all three.
#include <pulse/simple.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>

#include <algorithm>
#include <chrono>
#include <deque>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Compare.h"
#include "Figures.h"
#include "ProcessProbe.h"
#include "SampleTexts.h"
#include "service/CommandDatagram.h"
#include "tests/audio/MonitorRecorder.h"
#include "tests/support/ServiceProcess.h"
#include "tests/support/SoundFile.h"
#include "tests/support/ToolRun.h"

namespace {

using Clock = MonitorRecorder::Clock;
using std::chrono::milliseconds;

constexpr size_t kFragmentFrames = MonitorRecorder::kRate / 1000;  // 1 ms
// A sample above this (-40 dBFS) is sound; the null sink is exactly silent otherwise.
constexpr float kLoud = 0.01f;
constexpr auto kStartLimit = std::chrono::seconds(5), kAwaitSoundLimit = std::chrono::seconds(1);
// Speech runs 500 to 900 ms before it is stopped, so that the stop falls at different
// places in the words, and only right after a loud fragment, never into a pause.
constexpr int kSpeakBeforeCutMs = 500, kSpeakBeforeCutSpreadMs = 400;
constexpr auto kSoundJustHeard = milliseconds(3), kListenAfterCut = milliseconds(800),
               kPauseBetweenRuns = milliseconds(300);

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

/// The programs a speaker started for one run, waited for after it.
using Started = std::deque<StartedTool>;
using Command = std::vector<std::string>;

/// A speaker: how it is asked to speak a text and to stop.
struct Talker {
    const char* name;
    std::function<void(const std::string& text, Started& started)> speak;
    std::function<void(Started& started)> cut;
};

/// A plain client of the sound server: when asked to speak it connects, opens a playback
/// stream with the service's buffering (a quarter second queued, playing from the first
/// frame) and writes audio rendered beforehand in 10 ms pieces; asked to stop, it flushes
/// what is queued.
class PlainClient {
public:
    ~PlainClient() { Stop(); }

    void Speak(const std::vector<int16_t>* audio) {
        Stop();
        stopping = false;
        worker = std::thread([this, audio] {
            const pa_sample_spec spec{PA_SAMPLE_S16LE, MonitorRecorder::kRate, 1};
            pa_buffer_attr attributes{};
            attributes.maxlength = static_cast<uint32_t>(-1);
            attributes.tlength = MonitorRecorder::kRate / 4 * 2;
            attributes.prebuf = 2;
            attributes.minreq = MonitorRecorder::kRate / 100 * 2;
            attributes.fragsize = static_cast<uint32_t>(-1);
            int error = 0;
            pa_simple* stream = pa_simple_new(nullptr, "plain-client", PA_STREAM_PLAYBACK, nullptr, "speech", &spec,
                                              nullptr, &attributes, &error);
            if (stream == nullptr) return;
            const size_t piece = MonitorRecorder::kRate / 100;
            for (size_t at = 0; at < audio->size() && !stopping; at += piece)
                pa_simple_write(stream, audio->data() + at, std::min(piece, audio->size() - at) * 2, &error);
            if (stopping) pa_simple_flush(stream, &error);
            else pa_simple_drain(stream, &error);
            pa_simple_free(stream);
        });
    }

    void Stop() {
        stopping = true;
        if (worker.joinable()) worker.join();
    }

private:
    std::atomic<bool> stopping{false};
    std::thread worker;
};

/// `text` as the service's speech-render says it at the service's rate, 16-bit.
std::vector<int16_t> Rendered(const std::string& text) {
    std::string path = "/tmp/speech-compare-plain-" + std::to_string(::getpid()) + ".wav";
    const char* service = std::getenv("SPEECH_SERVICE");
    std::string render = service != nullptr ? std::string(service) : HelperPath("../speech-service");
    render = render.substr(0, render.rfind('/') + 1) + "tools/speech-render";
    RunTool({render, "-q", "--rate", "6", "-o", path, text});
    SoundFile sound = ReadSoundFile(path);
    std::remove(path.c_str());
    std::vector<int16_t> samples;
    for (float sample : sound.samples) samples.push_back(static_cast<int16_t>(std::lround(sample * 32767.0f)));
    // Without the quiet the synthesizer opens with, which the service leaves out live too.
    auto opening = std::find_if(samples.begin(), samples.end(), [](int16_t sample) { return std::abs(sample) >= 32; });
    samples.erase(samples.begin(), opening);
    return samples;
}

struct Run {
    bool heard = false, cutInSound = false, fellSilent = false;
    double startMs = 0, cutMs = 0;
};

/// Asks for `text`, notes when the first loud fragment arrived, waits until the speech is
/// well under way and sound has just been heard (cutInSound), asks for silence, and notes
/// when the last loud fragment arrived; fellSilent when nothing loud came late after it.
Run MeasureRun(MonitorRecorder& monitor, const Talker& talker, const std::string& text, int runIndex) {
    Run run;
    Started started;
    Clock::time_point asked = Clock::now();
    talker.speak(text, started);
    if (auto first = monitor.FirstLoudAfter(asked, asked + kStartLimit, kLoud)) {
        run.heard = true;
        run.startMs = Ms(*first - asked);
        int spread = (runIndex * 137) % kSpeakBeforeCutSpreadMs;
        std::this_thread::sleep_until(*first + milliseconds(kSpeakBeforeCutMs + spread));
        for (Clock::time_point giveUp = Clock::now() + kAwaitSoundLimit; Clock::now() < giveUp && !run.cutInSound;) {
            Clock::time_point now = Clock::now();
            auto last = monitor.LastLoudUpTo(now, kLoud);
            run.cutInSound = last && now - *last <= kSoundJustHeard;
            if (!run.cutInSound) std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
    }
    Clock::time_point cut = Clock::now();
    talker.cut(started);
    auto last = monitor.LastLoudUpTo(cut + kListenAfterCut, kLoud);
    run.cutMs = last && *last > cut ? Ms(*last - cut) : 0;
    run.fellSilent = !last || *last < cut + kListenAfterCut / 2;
    for (StartedTool& program : started) program.Wait();
    return run;
}

void MeasureSeries(MonitorRecorder& monitor, const Talker& talker, const std::string& textName,
                   const std::string& text, int runs) {
    std::vector<double> starts, cuts;
    int unheard = 0, notInSound = 0, notSilent = 0;
    // One run first, not counted: the first speech may open connections and load data
    // the rest reuse.
    Run first = MeasureRun(monitor, talker, text, runs);
    for (int index = 0; index < runs; ++index) {
        std::this_thread::sleep_for(kPauseBetweenRuns);
        Run run = MeasureRun(monitor, talker, text, index);
        if (!run.heard) {
            ++unheard;
            continue;
        }
        starts.push_back(run.startMs);
        if (!run.cutInSound) {
            ++notInSound;
            continue;
        }
        notSilent += run.fellSilent ? 0 : 1;
        cuts.push_back(run.cutMs);
    }
    std::this_thread::sleep_for(kPauseBetweenRuns);
    std::string key = std::string("latency.") + talker.name + "." + textName + ".";
    if (first.heard) Report(key + "first_run_start_ms", first.startMs);
    ReportMedian(key + "start_p50_ms", starts);
    Report(key + "start_p95_ms", Percentile(starts, 0.95));
    ReportMedian(key + "cut_p50_ms", cuts);
    Report(key + "cut_p95_ms", Percentile(cuts, 0.95));
    Report(key + "runs", static_cast<double>(starts.size()));
    std::fprintf(stderr, "%s: %d runs unheard, %d stops not in sound, %d not silent %lld ms after the stop\n",
                 key.c_str(), unheard, notInSound, notSilent, static_cast<long long>(kListenAfterCut.count() / 2));
}

// How far into espeak-ng's own audio of `text` the first loud sample lies, at the pace of
// the peers (175 words a minute) and of the service (rate 6, 338): part of every speaker's
// time to first audio that only leaving out the digital silence before it can take away.
void ReportOnset(const std::string& text) {
    for (int wordsPerMinute : {175, 338}) {
        std::string path = "/tmp/speech-compare-onset-" + std::to_string(getpid()) + ".wav";
        RunTool({"espeak-ng", "-v", "en", "-s", std::to_string(wordsPerMinute), "-w", path, text});
        SoundFile sound = ReadSoundFile(path);
        std::remove(path.c_str());
        if (!sound.valid) continue;
        const auto& samples = sound.samples;
        auto nonzero = std::find_if(samples.begin(), samples.end(), [](float s) { return s != 0; }) - samples.begin();
        auto loud = std::find_if(samples.begin(), samples.end(), [](float s) { return std::fabs(s) > kLoud; });
        std::string key = "latency.onset_" + std::to_string(wordsPerMinute) + "wpm.";
        Report(key + "silence_ms", 1000.0 * nonzero / sound.rate);
        Report(key + "first_loud_ms", 1000.0 * (loud - samples.begin()) / sound.rate);
    }
}

}  // namespace

int CompareLatency(int runs, bool serviceOnly) {
    MonitorRecorder monitor(nullptr, kFragmentFrames);
    if (std::string why = monitor.AwaitRecording(std::chrono::seconds(10)); !why.empty())
        throw std::runtime_error(why);
    ServiceProcess service;
    if (!service.WaitUntilServing()) throw std::runtime_error("the service did not start serving");
    SendDatagram(CommandDatagram(SET_VOLUME, 100));  // full volume, as the others speak
    // The plain client plays what the service says, rendered beforehand.
    PlainClient plain;
    std::map<std::string, std::vector<int16_t>> renderings;
    const std::vector<Talker> talkers = {
        {"service", [](const std::string& text, Started&) { SendDatagram(SpeakDatagram(text)); },
         [](Started&) { SendDatagram(SpeakDatagram("")); }},
        {"plain-client",
         [&](const std::string& text, Started&) {
             auto& audio = renderings[text];
             if (audio.empty()) audio = Rendered(text);
             plain.Speak(&audio);
         },
         [&](Started&) { plain.Stop(); }},
        {"spd-say", [](const std::string& text, Started& started) { started.emplace_back(Command{"spd-say", text}); },
         [](Started& started) { started.emplace_back(Command{"spd-say", "-C"}); }},
        {"espeak-ng",
         [](const std::string& text, Started& started) {
             started.emplace_back(Command{"espeak-ng", "-v", "en", text});
         },
         [](Started& started) { started.back().Signal(SIGTERM); }},
    };
    // The passage lasts long enough at every speaker's pace for the stop to come during it;
    // the 4 KB text fills a whole datagram.
    const std::pair<std::string, std::string> texts[] = {{"passage", ProsePassage()}, {"4k", ProseText(kLongestText)}};
    for (const auto& [name, text] : texts)
        for (const Talker& talker : talkers)
            if (!serviceOnly || &talker - &talkers.front() < 2) MeasureSeries(monitor, talker, name, text, runs);
    if (serviceOnly) return 0;

    ReportOnset(ProsePassage());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Report("memory.service.after-speech_kb", static_cast<double>(ResidentKb(service.Pid())));
    std::vector<double> gaps = monitor.ArrivalGapsMs();
    Report("latency.monitor_fragment_ms", 1000.0 * kFragmentFrames / MonitorRecorder::kRate);
    Report("latency.monitor_gap_p50_ms", Median(gaps));
    Report("latency.monitor_gap_p95_ms", Percentile(gaps, 0.95));
    return 0;
}
