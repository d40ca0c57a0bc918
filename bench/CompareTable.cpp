// The one table of compare-bench: every figure beside its peer's from the same run, the
// ratio, the target and whether it was met. Printed as Markdown so that it can be kept
// as it is.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "Compare.h"

namespace {

using Results = std::map<std::string, double>;

std::optional<double> Find(const Results& results, const std::string& key) {
    auto found = results.find(key);
    if (found == results.end()) return std::nullopt;
    return found->second;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

struct Unit {
    const char* format;
    double scale;  // from the stored value to the shown one
};
const Unit kMs{"%.1f ms", 1};
const Unit kMicroseconds{"%.3f us", 1};
const Unit kSeconds{"%.3f s", 1};
const Unit kMiB{"%.1f MiB", 1.0 / 1024};
const Unit kShare{"%.1f %%", 100};
const Unit kDb{"%.1f dB", 1};

class Table {
public:
    explicit Table(const Results& results) : results(results) {
        std::printf("| figure | speech-service | peer | peer's | ratio | target | met |\n");
        std::printf("|---|---|---|---|---|---|---|\n");
    }

    /// A figure against a peer's: ratio ours / peer's, met when `meets(ratio)` (no test
    /// when `target` is empty).
    void Versus(const std::string& figure, const std::string& ours, const Unit& unit, const std::string& peer,
                const std::string& peers, const std::string& target = "",
                const std::function<bool(double ours, double ratio)>& meets = nullptr) {
        std::optional<double> a = Find(results, ours), b = Find(results, peers);
        std::optional<double> ratio;
        if (a && b && *b != 0) ratio = *a / *b;
        Row(figure, Shown(a, unit), peer, Shown(b, unit), ratio ? Format("%.2f", *ratio) : "n/a", target,
            Verdict(meets && a && ratio ? std::optional<bool>(meets(*a, *ratio)) : std::nullopt, target));
    }

    /// A figure of ours alone.
    void Alone(const std::string& figure, const std::string& ours, const Unit& unit, const std::string& note = "",
               const std::string& target = "", const std::function<bool(double)>& meets = nullptr) {
        std::optional<double> a = Find(results, ours);
        Row(figure, Shown(a, unit), note, "", "", target,
            Verdict(meets && a ? std::optional<bool>(meets(*a)) : std::nullopt, target));
    }

    void Row(const std::string& figure, const std::string& ours, const std::string& peer, const std::string& peers,
             const std::string& ratio, const std::string& target, const std::string& met) {
        std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", figure.c_str(), ours.c_str(), peer.c_str(),
                    peers.c_str(), ratio.c_str(), target.c_str(), met.c_str());
    }

    std::string Shown(std::optional<double> value, const Unit& unit) const {
        return value ? Format(unit.format, *value * unit.scale) : "n/a";
    }

private:
    static std::string Verdict(std::optional<bool> met, const std::string& target) {
        if (target.empty()) return "";
        if (!met) return "n/a";
        return *met ? "yes" : "**no**";
    }

    const Results& results;
};

void LatencyRows(Table& table, const std::string& text, const std::string& label) {
    for (const char* stat : {"p50", "p95"}) {
        std::string ours = "latency.service." + text + ".start_" + stat + "_ms";
        bool targeted = std::string(stat) == "p50" && text == "passage";
        table.Versus(std::string("first audio ") + stat + ", " + label, ours, kMs, "spd-say",
                     "latency.spd-say." + text + ".start_" + stat + "_ms", targeted ? "≤ 0.15 × spd-say" : "",
                     [](double, double ratio) { return ratio <= 0.15; });
        table.Versus(std::string("first audio ") + stat + ", " + label, ours, kMs, "espeak-ng command",
                     "latency.espeak-ng." + text + ".start_" + stat + "_ms");
    }
    for (const char* stat : {"p50", "p95"}) {
        std::string ours = "latency.service." + text + ".cut_" + stat + "_ms";
        bool targeted = std::string(stat) == "p95";
        table.Versus(std::string("cut-off ") + stat + ", " + label, ours, kMs, "spd-say -C",
                     "latency.spd-say." + text + ".cut_" + stat + "_ms", targeted ? "≤ 5 ms" : "",
                     [](double value, double) { return value <= 5.0; });
        table.Versus(std::string("cut-off ") + stat + ", " + label, ours, kMs, "espeak-ng, SIGTERM",
                     "latency.espeak-ng." + text + ".cut_" + stat + "_ms");
    }
}

}  // namespace

int PrintTable(const std::string& resultsFile) {
    Results results;
    std::ifstream in(resultsFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string key;
        double value = 0;
        if (fields >> key >> value) results[key] = value;
    }
    if (results.empty()) {
        std::fprintf(stderr, "no results in %s\n", resultsFile.c_str());
        return 1;
    }
    Table table(results);
    auto runs = Find(results, "latency.service.passage.runs");
    table.Versus("first speech after start (not in the series)", "latency.service.passage.first_run_start_ms", kMs,
                 "spd-say", "latency.spd-say.passage.first_run_start_ms");
    for (const char* pace : {"175", "338"}) {
        std::string key = std::string("latency.onset_") + pace + "wpm.";
        auto silence = Find(results, key + "silence_ms");
        table.Alone(std::string("the passage's own onset in espeak-ng's audio at ") + pace + " wpm: first loud sample",
                    key + "first_loud_ms", kMs,
                    silence ? Format("after %.1f ms of digital silence", *silence) : std::string());
    }
    LatencyRows(table, "passage", "~200-word passage" + (runs ? Format(" (%.0f runs)", *runs) : ""));
    auto runs4k = Find(results, "latency.service.4k.runs");
    LatencyRows(table, "4k", "4 KB text" + (runs4k ? Format(" (%.0f runs)", *runs4k) : ""));

    table.Versus("command handling: CPU per volume datagram", "commands.service.cpu_us_per_datagram", kMicroseconds,
                 "bare recvfrom loop", "commands.bare.cpu_us_per_datagram", "≤ 1.05 × bare loop",
                 [](double, double ratio) { return ratio <= 1.05; });
    {
        auto ours = Find(results, "commands.service.dropped_share");
        auto bare = Find(results, "commands.bare.dropped_share");
        std::optional<double> ratio;
        if (ours && bare && *bare < 1) ratio = (1 - *ours) / (1 - *bare);
        table.Row("command handling: datagrams dropped at full speed", table.Shown(ours, kShare), "bare recvfrom loop",
                  table.Shown(bare, kShare), ratio ? Format("%.3f (taken in)", *ratio) : "n/a",
                  "≥ 0.95 × bare loop taken in", ratio ? (*ratio >= 0.95 ? "yes" : "**no**") : "n/a");
    }

    table.Versus("rendering 600 words into 44.1 kHz mono WAV (wall)", "render.service.wall_s", kSeconds,
                 "espeak-ng -w (22.05 kHz)", "render.espeak_w.wall_s", "≤ 1.0 × espeak-ng -w",
                 [](double, double ratio) { return ratio <= 1.0; });
    table.Versus("rendering 600 words (wall)", "render.service.wall_s", kSeconds, "espeak-ng --stdout \\| sox",
                 "render.espeak_sox.wall_s");
    table.Alone("rendering: SNR of ours against espeak-ng \\| sox's file", "render.snr_vs_espeak_sox_db", kDb,
                "the same speech");
    table.Versus("rendering 600 words (CPU)", "render.service.cpu_s", kSeconds, "espeak-ng -w",
                 "render.espeak_w.cpu_s");

    table.Versus("conversion 10 min 48 kHz stereo → _mono.wav (wall)", "convert.service.wall_s", kSeconds, "sox",
                 "convert.sox.wall_s", "≤ 0.5 × sox", [](double, double ratio) { return ratio <= 0.5; });
    table.Versus("conversion (CPU)", "convert.service.cpu_s", kSeconds, "sox", "convert.sox.cpu_s");
    table.Alone("conversion: SNR of ours against sox's output", "convert.snr_vs_sox_db", kDb, "", "≥ 80 dB",
                [](double value) { return value >= 80; });
    table.Alone("conversion: SNR against sox -D (no dither)", "convert.snr_vs_sox_undithered_db", kDb);
    table.Alone("conversion: SNR of sox's dithered against sox -D", "convert.snr_sox_dither_db", kDb,
                "sox's own dither");

    auto processes = Find(results, "memory.spd.idle_processes");
    table.Versus("idle resident size, fresh", "memory.service.idle_kb", kMiB,
                 "speech-dispatcher + module" + (processes ? Format(" (%.0f processes)", *processes) : ""),
                 "memory.spd.idle_kb", "≤ 8 MiB", [](double value, double) { return value <= 8 * 1024; });
    table.Alone("idle resident size: the service's own memory", "memory.service.idle_anonymous_kb", kMiB,
                "heap, stacks, data");
    table.Alone("idle resident size: mapped file pages", "memory.service.idle_file_kb", kMiB, "libraries, data files");
    table.Versus("resident size after speaking", "memory.service.after-speech_kb", kMiB, "speech-dispatcher + module",
                 "memory.spd.after-speech_kb");
    auto datagrams = Find(results, "memory.service.datagrams");
    table.Versus("resident size after " + (datagrams ? Format("%.0f", *datagrams) : std::string("n/a")) +
                     " volume datagrams",
                 "memory.service.after_datagrams_kb", kMiB, "the same service before them",
                 "memory.service.before_datagrams_kb");

    for (int sentences : {1, 10, 100, 1000}) {
        std::string key = "growth.render." + std::to_string(sentences);
        auto wall = Find(results, key + ".wall_s");
        auto audio = Find(results, key + ".audio_s");
        std::string note = wall && audio && *audio > 0 ? Format("%.1f ms per minute of speech", 1000 * *wall / (*audio / 60))
                                                       : "";
        table.Alone("growth: rendering " + std::to_string(sentences) + " sentence(s) (wall)", key + ".wall_s", kSeconds,
                    note + (note.empty() ? "" : ", peak ") + table.Shown(Find(results, key + ".peak_kb"), kMiB));
    }
    for (int minutes : {1, 10, 60}) {
        std::string key = "growth.convert." + std::to_string(minutes);
        auto wall = Find(results, key + ".wall_s");
        std::string note = wall ? Format("%.1f ms per minute, peak ", 1000 * *wall / minutes) : "";
        table.Alone("growth: converting " + std::to_string(minutes) + " min (wall)", key + ".wall_s", kSeconds,
                    note + table.Shown(Find(results, key + ".peak_kb"), kMiB));
    }
    return 0;
}
