// The one table of compare-bench: every figure beside its peer's from the same run, the
// ratio, the target and whether it was met. Printed as Markdown so that it can be kept
// as it is.
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "Compare.h"

namespace {

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

struct Unit {
    const char* format;
    double scale;  // from the stored value to the shown one
};
const Unit kMs{"%.1f ms", 1}, kMicroseconds{"%.3f us", 1}, kSeconds{"%.3f s", 1}, kMiB{"%.1f MiB", 1.0 / 1024},
    kShare{"%.1f %%", 100}, kDb{"%.1f dB", 1};

std::map<std::string, double> results;

std::optional<double> Find(const std::string& key) {
    auto found = results.find(key);
    return found == results.end() ? std::nullopt : std::optional<double>(found->second);
}

std::string Shown(const std::string& key, const Unit& unit) {
    auto value = Find(key);
    return value ? Format(unit.format, *value * unit.scale) : "n/a";
}

std::string Verdict(bool met) { return met ? "yes" : "**no**"; }

void Row(const std::string& figure, const std::string& ours, const std::string& peer, const std::string& peers,
         const std::string& ratio, const std::string& target, const std::string& met) {
    std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", figure.c_str(), ours.c_str(), peer.c_str(), peers.c_str(),
                ratio.c_str(), target.c_str(), met.c_str());
}

/// Our figure `ours`, beside the peer's `peers` with the ratio of the two unless `peers`
/// is empty (`peer` names the peer, or is a note). The target is met when `meets(ours, ratio)`.
void Figure(const std::string& figure, const std::string& ours, const Unit& unit, const std::string& peer = "",
            const std::string& peers = "", const std::string& target = "",
            const std::function<bool(double ours, double ratio)>& meets = nullptr) {
    auto a = Find(ours), b = Find(peers);
    std::optional<double> ratio;
    if (a && b && *b != 0) ratio = *a / *b;
    std::string met;
    if (!target.empty())
        met = !meets || !a || (!ratio && !peers.empty()) ? "n/a" : Verdict(meets(*a, ratio.value_or(0)));
    std::string shownRatio = ratio ? Format("%.2f", *ratio) : "n/a";
    Row(figure, Shown(ours, unit), peer, peers.empty() ? "" : Shown(peers, unit), peers.empty() ? "" : shownRatio,
        target, met);
}

/// The value under `key` in `format`, or nothing.
std::string Counted(const std::string& key, const char* format) {
    auto value = Find(key);
    return value ? Format(format, *value) : std::string();
}

void LatencyRows(const std::string& text, const std::string& label) {
    for (const std::string measure : {"start", "cut"}) {
        for (const std::string stat : {"p50", "p95"}) {
            const bool start = measure == "start";
            const std::string suffix = "." + text + "." + measure + "_" + stat + "_ms";
            const std::string figure = (start ? "first audio " : "cut-off ") + stat + ", " + label;
            // With the default English voice (flite's kal16): heard within 15 ms, silent within 5.
            std::string target = start ? (stat == "p50" && text == "passage" ? "≤ 15 ms" : "")
                                       : (stat == "p95" ? "≤ 5 ms" : "");
            Figure(figure, "latency.service" + suffix, kMs, start ? "spd-say" : "spd-say -C",
                   "latency.spd-say" + suffix, target,
                   [start](double value, double) { return start ? value <= 15.0 : value <= 5.0; });
            Figure(figure, "latency.service" + suffix, kMs, start ? "espeak-ng command" : "espeak-ng, SIGTERM",
                   "latency.espeak-ng" + suffix);
        }
    }
}

}  // namespace

int PrintTable(const std::string& resultsFile) {
    std::ifstream in(resultsFile);
    std::string key;
    for (double value = 0; in >> key >> value;) results[key] = value;
    if (results.empty()) {
        std::fprintf(stderr, "no results in %s\n", resultsFile.c_str());
        return 1;
    }
    std::printf("| figure | speech-service | peer | peer's | ratio | target | met |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    Figure("first speech after start (not in the series)", "latency.service.passage.first_run_start_ms", kMs, "spd-say",
           "latency.spd-say.passage.first_run_start_ms");
    for (const char* pace : {"175", "338"}) {
        std::string key = std::string("latency.onset_") + pace + "wpm.";
        Figure(std::string("the passage's own onset in espeak-ng's audio at ") + pace + " wpm: first loud sample",
               key + "first_loud_ms", kMs, Counted(key + "silence_ms", "after %.1f ms of digital silence"));
    }
    LatencyRows("passage", "~200-word passage" + Counted("latency.service.passage.runs", " (%.0f runs)"));
    LatencyRows("4k", "4 KB text" + Counted("latency.service.4k.runs", " (%.0f runs)"));

    Figure("command handling: CPU per volume datagram", "commands.service.cpu_us_per_datagram", kMicroseconds,
           "bare recvfrom loop", "commands.bare.cpu_us_per_datagram", "≤ 1.05 × bare loop",
           [](double, double ratio) { return ratio <= 1.05; });
    // Compared by what was taken in: the share not dropped.
    auto ours = Find("commands.service.dropped_share"), bare = Find("commands.bare.dropped_share");
    std::optional<double> takenIn;
    if (ours && bare && *bare < 1) takenIn = (1 - *ours) / (1 - *bare);
    Row("command handling: datagrams dropped at full speed", Shown("commands.service.dropped_share", kShare),
        "bare recvfrom loop", Shown("commands.bare.dropped_share", kShare),
        takenIn ? Format("%.3f (taken in)", *takenIn) : "n/a", "≥ 0.95 × bare loop taken in",
        takenIn ? Verdict(*takenIn >= 0.95) : "n/a");

    Figure("rendering 600 words into 44.1 kHz mono WAV (wall)", "render.service.wall_s", kSeconds,
           "espeak-ng -w (22.05 kHz)", "render.espeak_w.wall_s", "≤ 1.0 × espeak-ng -w",
           [](double, double ratio) { return ratio <= 1.0; });
    Figure("rendering 600 words (wall)", "render.service.wall_s", kSeconds, "espeak-ng --stdout \\| sox",
           "render.espeak_sox.wall_s");
    Figure("rendering: SNR of ours against espeak-ng \\| sox's file", "render.snr_vs_espeak_sox_db", kDb,
           "the same speech");
    Figure("rendering 600 words (CPU)", "render.service.cpu_s", kSeconds, "espeak-ng -w", "render.espeak_w.cpu_s");

    Figure("conversion 10 min 48 kHz stereo → _mono.wav (wall)", "convert.service.wall_s", kSeconds, "sox",
           "convert.sox.wall_s", "≤ 0.5 × sox", [](double, double ratio) { return ratio <= 0.5; });
    Figure("conversion (CPU)", "convert.service.cpu_s", kSeconds, "sox", "convert.sox.cpu_s");
    Figure("conversion: SNR of ours against sox's output", "convert.snr_vs_sox_db", kDb, "", "", "≥ 80 dB",
           [](double value, double) { return value >= 80; });
    Figure("conversion: SNR against sox -D (no dither)", "convert.snr_vs_sox_undithered_db", kDb);
    Figure("conversion: SNR of sox's dithered against sox -D", "convert.snr_sox_dither_db", kDb, "sox's own dither");

    Figure("idle resident size, fresh", "memory.service.idle_kb", kMiB,
           "speech-dispatcher + module" + Counted("memory.spd.idle_processes", " (%.0f processes)"),
           "memory.spd.idle_kb", "≤ 8 MiB", [](double value, double) { return value <= 8 * 1024; });
    Figure("idle resident size: the service's own memory", "memory.service.idle_anonymous_kb", kMiB,
           "heap, stacks, data");
    Figure("idle resident size: mapped file pages", "memory.service.idle_file_kb", kMiB, "libraries, data files");
    Figure("resident size after speaking", "memory.service.after-speech_kb", kMiB, "speech-dispatcher + module",
           "memory.spd.after-speech_kb");
    std::string datagrams = Counted("memory.service.datagrams", "%.0f");
    Figure("resident size after " + (datagrams.empty() ? "n/a" : datagrams) + " volume datagrams",
           "memory.service.after_datagrams_kb", kMiB, "the same service before them",
           "memory.service.before_datagrams_kb");

    for (int sentences : {1, 10, 100, 1000}) {
        std::string key = "growth.render." + std::to_string(sentences);
        auto wall = Find(key + ".wall_s"), audio = Find(key + ".audio_s");
        std::string note =
            wall && audio && *audio > 0 ? Format("%.1f ms per minute of speech, peak ", 60000 * *wall / *audio) : "";
        Figure("growth: rendering " + std::to_string(sentences) + " sentence(s) (wall)", key + ".wall_s", kSeconds,
               note + Shown(key + ".peak_kb", kMiB));
    }
    for (int minutes : {1, 10, 60}) {
        std::string key = "growth.convert." + std::to_string(minutes);
        auto wall = Find(key + ".wall_s");
        std::string note = wall ? Format("%.1f ms per minute, peak ", 1000 * *wall / minutes) : "";
        Figure("growth: converting " + std::to_string(minutes) + " min (wall)", key + ".wall_s", kSeconds,
               note + Shown(key + ".peak_kb", kMiB));
    }
    return 0;
}
