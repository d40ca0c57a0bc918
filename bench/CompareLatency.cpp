// Time to first audio and cut-off, heard at the private sound server's null sink monitor
// in 1 ms fragments. Each run asks a speaker to speak a text, notes when the first loud
// fragment arrived, waits until the speech is well under way and sound has just been
// heard, tells the speaker to stop, and notes when the last loud fragment arrived. The
// speakers: the service (speak datagrams; an empty one stops it), spd-say talking to the
// running speech-dispatcher (spd-say -C stops it) and the espeak-ng command (ended with
// SIGTERM). Times run from the moment the request left (the datagram sent, the process
// spawned) and include the monitor path's own latency, the same for all three.
#include <signal.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "Compare.h"
#include "Percentiles.h"
#include "ProcessProbe.h"
#include "SampleTexts.h"
#include "tests/audio/MonitorRecorder.h"
#include "tests/support/ServiceProcess.h"

namespace {

using Clock = MonitorRecorder::Clock;
using std::chrono::milliseconds;

constexpr size_t kFragmentFrames = MonitorRecorder::kRate / 1000;  // 1 ms
// A sample above this (-40 dBFS) is sound; the null sink is exactly silent otherwise.
constexpr float kLoud = 0.01f;
constexpr auto kStartLimit = std::chrono::seconds(5);
// How long speech runs before it is stopped: spread over a range so that the stop falls at
// different places in the words.
constexpr int kSpeakBeforeCutMs = 500;
constexpr int kSpeakBeforeCutSpreadMs = 400;
// The stop is sent only right after a loud fragment, so it never falls into a pause.
constexpr auto kSoundJustHeard = milliseconds(3);
constexpr auto kAwaitSoundLimit = milliseconds(1000);
constexpr auto kListenAfterCut = milliseconds(800);
constexpr auto kPauseBetweenRuns = milliseconds(300);

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

/// Something that speaks on request and stops on request.
class Talker {
public:
    virtual ~Talker() = default;
    virtual const char* Name() const = 0;
    /// Asks for `text` to be spoken; returns the moment the request left.
    virtual Clock::time_point Speak(const std::string& text) = 0;
    /// Asks for silence; returns the moment the request left.
    virtual Clock::time_point Cut() = 0;
    /// Tidies up after a run (processes that ended are reaped).
    virtual void AfterRun() {}
};

class ServiceTalker : public Talker {
public:
    ServiceTalker() {
        if (!service.WaitUntilServing()) throw std::runtime_error("the service did not start serving");
        // Full volume, as the other two speak by default.
        SendDatagram(CommandDatagram(1, 100));
    }
    const char* Name() const override { return "service"; }
    pid_t Pid() const { return service.Pid(); }
    Clock::time_point Speak(const std::string& text) override {
        Clock::time_point sent = Clock::now();
        SendDatagram(SpeakDatagram(text));
        return sent;
    }
    Clock::time_point Cut() override {
        Clock::time_point sent = Clock::now();
        SendDatagram(SpeakDatagram(""));
        return sent;
    }

private:
    ServiceProcess service;
};

class SpdSayTalker : public Talker {
public:
    const char* Name() const override { return "spd-say"; }
    Clock::time_point Speak(const std::string& text) override {
        Clock::time_point sent = Clock::now();
        speaking = std::make_unique<BackgroundChild>(std::vector<std::string>{"spd-say", text});
        return sent;
    }
    Clock::time_point Cut() override {
        Clock::time_point sent = Clock::now();
        cutting = std::make_unique<BackgroundChild>(std::vector<std::string>{"spd-say", "-C"});
        return sent;
    }
    void AfterRun() override {
        if (speaking) speaking->Wait();
        if (cutting) cutting->Wait();
        speaking.reset();
        cutting.reset();
    }

private:
    std::unique_ptr<BackgroundChild> speaking, cutting;
};

class EspeakTalker : public Talker {
public:
    const char* Name() const override { return "espeak-ng"; }
    Clock::time_point Speak(const std::string& text) override {
        Clock::time_point sent = Clock::now();
        speaking = std::make_unique<BackgroundChild>(std::vector<std::string>{"espeak-ng", "-v", "en", text});
        return sent;
    }
    Clock::time_point Cut() override {
        Clock::time_point sent = Clock::now();
        if (speaking) speaking->Signal(SIGTERM);
        return sent;
    }
    void AfterRun() override {
        if (speaking) speaking->Wait();
        speaking.reset();
    }

private:
    std::unique_ptr<BackgroundChild> speaking;
};

struct Run {
    bool heard = false;
    bool cutInSound = false;  // sound had just been heard when the stop was sent
    bool fellSilent = false;  // nothing loud in the last part of the listening time
    double startMs = 0;
    double cutMs = 0;
};

Run MeasureRun(MonitorRecorder& monitor, Talker& talker, const std::string& text, int runIndex) {
    Run run;
    Clock::time_point asked = talker.Speak(text);
    std::optional<Clock::time_point> first = monitor.FirstLoudAfter(asked, asked + kStartLimit, kLoud);
    if (first) {
        run.heard = true;
        run.startMs = Ms(*first - asked);
        int spread = (runIndex * 137) % kSpeakBeforeCutSpreadMs;
        std::this_thread::sleep_until(*first + milliseconds(kSpeakBeforeCutMs + spread));
        Clock::time_point giveUp = Clock::now() + kAwaitSoundLimit;
        while (Clock::now() < giveUp) {
            Clock::time_point now = Clock::now();
            std::optional<Clock::time_point> last = monitor.LastLoudUpTo(now, kLoud);
            if (last && now - *last <= kSoundJustHeard) {
                run.cutInSound = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
    }
    Clock::time_point cut = talker.Cut();
    std::optional<Clock::time_point> last = monitor.LastLoudUpTo(cut + kListenAfterCut, kLoud);
    run.cutMs = last && *last > cut ? Ms(*last - cut) : 0;
    run.fellSilent = !last || *last < cut + kListenAfterCut / 2;
    talker.AfterRun();
    return run;
}

void MeasureSeries(MonitorRecorder& monitor, Talker& talker, const std::string& textName, const std::string& text,
                   int runs) {
    std::vector<double> starts, cuts;
    int unheard = 0, notInSound = 0, notSilent = 0;
    // One run first, not counted: the first speech may open connections and load data
    // the rest reuse.
    Run first = MeasureRun(monitor, talker, text, runs);
    std::this_thread::sleep_for(kPauseBetweenRuns);
    for (int index = 0; index < runs; ++index) {
        Run run = MeasureRun(monitor, talker, text, index);
        std::this_thread::sleep_for(kPauseBetweenRuns);
        if (!run.heard) {
            ++unheard;
            continue;
        }
        starts.push_back(run.startMs);
        if (!run.cutInSound) {
            ++notInSound;
            continue;
        }
        if (!run.fellSilent) ++notSilent;
        cuts.push_back(run.cutMs);
    }
    std::string key = std::string("latency.") + talker.Name() + "." + textName + ".";
    if (first.heard) Report(key + "first_run_start_ms", first.startMs);
    Report(key + "start_p50_ms", Median(starts));
    Report(key + "start_p95_ms", Percentile(starts, 0.95));
    Report(key + "cut_p50_ms", Median(cuts));
    Report(key + "cut_p95_ms", Percentile(cuts, 0.95));
    Report(key + "runs", static_cast<double>(starts.size()));
    Report(key + "cut_runs", static_cast<double>(cuts.size()));
    Report(key + "unheard", unheard);
    Report(key + "cut_not_silent", notSilent);
    std::fprintf(stderr, "%-10s %-8s start p50 %6.1f p95 %6.1f ms   cut p50 %6.1f p95 %6.1f ms   (%zu runs, %zu cuts; "
                 "%d unheard, %d stops not in sound, %d not silent after %lld ms)\n",
                 talker.Name(), textName.c_str(), Median(starts), Percentile(starts, 0.95), Median(cuts),
                 Percentile(cuts, 0.95), starts.size(), cuts.size(), unheard, notInSound, notSilent,
                 static_cast<long long>(kListenAfterCut.count() / 2));
}

// How far into espeak-ng's own audio of `text` the first loud sample lies, at the pace of
// the peers (175 words a minute) and of the service (rate 6, 338): part of every speaker's
// time to first audio that no program around the synthesizer can take away, except by
// leaving out the digital silence before it.
void ReportOnset(const std::string& text) {
    for (int wordsPerMinute : {175, 338}) {
        std::string path = "/tmp/speech-compare-onset-" + std::to_string(getpid()) + ".wav";
        if (!RunToEnd({"espeak-ng", "-v", "en", "-s", std::to_string(wordsPerMinute), "-w", path, text}).succeeded)
            continue;
        SF_INFO info{};
        SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
        if (file == nullptr) continue;
        std::vector<float> samples(static_cast<size_t>(info.samplerate) / 2);  // the first half second
        sf_count_t got = sf_readf_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
        sf_close(file);
        std::remove(path.c_str());
        sf_count_t nonzero = 0, loud = 0;
        while (nonzero < got && samples[nonzero] == 0.0f) ++nonzero;
        while (loud < got && std::fabs(samples[loud]) <= kLoud) ++loud;
        std::string key = "latency.onset_" + std::to_string(wordsPerMinute) + "wpm.";
        Report(key + "silence_ms", 1000.0 * nonzero / info.samplerate);
        Report(key + "first_loud_ms", 1000.0 * loud / info.samplerate);
    }
}

}  // namespace

int CompareLatency(int runs) {
    MonitorRecorder monitor(nullptr, kFragmentFrames);
    if (std::string why = monitor.AwaitRecording(std::chrono::seconds(10)); !why.empty()) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 1;
    }
    // The passage lasts long enough at every speaker's pace for the stop to come during it;
    // the 4 KB text fills a whole datagram (4 header bytes, the text, its NUL).
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"passage", ProsePassage()},
        {"4k", ProseText(4096 - 5)},
    };
    std::vector<std::unique_ptr<Talker>> talkers;
    auto service = std::make_unique<ServiceTalker>();
    ServiceTalker& serviceTalker = *service;
    talkers.push_back(std::move(service));
    talkers.push_back(std::make_unique<SpdSayTalker>());
    talkers.push_back(std::make_unique<EspeakTalker>());
    for (const auto& [name, text] : texts)
        for (auto& talker : talkers) MeasureSeries(monitor, *talker, name, text, runs);

    ReportOnset(ProsePassage());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Report("memory.service.after-speech_kb", static_cast<double>(ResidentKb(serviceTalker.Pid())));

    std::vector<double> gaps = monitor.ArrivalGapsMs();
    Report("latency.monitor_fragment_ms", 1000.0 * kFragmentFrames / MonitorRecorder::kRate);
    Report("latency.monitor_gap_p50_ms", Median(gaps));
    Report("latency.monitor_gap_p95_ms", Percentile(gaps, 0.95));
    return 0;
}
