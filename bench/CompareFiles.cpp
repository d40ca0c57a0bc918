// The rendering facility against the tools that do the same job from a shell, each job
// a process of its own (so time and peak memory are the whole program's, start-up
// included), the contenders' runs interleaved so that a change in the machine's load
// weighs on all alike:
//   rendering: a 600-word text into a 44.1 kHz mono WAV (file-job render) against
//              espeak-ng -w (which writes 22.05 kHz) and espeak-ng --stdout piped into sox;
//   conversion: a 48 kHz stereo WAV into its _mono.wav (file-job convert) against
//              sox in.wav -r 44100 -c 1 -b 16 out.wav, and how close the two outputs are;
//   growth: rendering time for 1 to 1000 sentences, conversion time and peak memory for
//              1 to 60 minutes of audio.
#include <sndfile.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "Compare.h"
#include "Percentiles.h"
#include "SampleTexts.h"
#include "TestSignal.h"

namespace {

using Command = std::vector<std::string>;

struct Contender {
    std::string key;
    Command command;
    std::vector<double> walls, cpus, peaks;
};

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

struct WavShape {
    int rate = 0;
    int channels = 0;
    double seconds = 0;
};

WavShape ShapeOf(const std::string& path) {
    WavShape shape;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return shape;
    shape.rate = info.samplerate;
    shape.channels = info.channels;
    shape.seconds = info.samplerate > 0 ? static_cast<double>(info.frames) / info.samplerate : 0;
    sf_close(file);
    return shape;
}

/// Runs every contender `runs` times, in turns; false if a run failed.
bool RunInTurns(std::vector<Contender>& contenders, int runs) {
    for (int run = 0; run < runs; ++run) {
        for (Contender& contender : contenders) {
            ChildCost cost = RunToEnd(contender.command);
            if (!cost.succeeded) {
                std::fprintf(stderr, "%s failed:", contender.key.c_str());
                for (const auto& arg : contender.command) std::fprintf(stderr, " %s", arg.c_str());
                std::fprintf(stderr, "\n");
                return false;
            }
            contender.walls.push_back(cost.wallSeconds);
            contender.cpus.push_back(cost.cpuSeconds);
            contender.peaks.push_back(static_cast<double>(cost.peakRssKb));
        }
    }
    return true;
}

void ReportContender(const Contender& contender, const std::string& output) {
    Report(contender.key + ".wall_s", Median(contender.walls));
    Report(contender.key + ".cpu_s", Median(contender.cpus));
    Report(contender.key + ".peak_kb", Median(contender.peaks));
    WavShape shape = ShapeOf(output);
    Report(contender.key + ".rate_hz", shape.rate);
    Report(contender.key + ".channels", shape.channels);
    Report(contender.key + ".audio_s", shape.seconds);
    std::fprintf(stderr, "%-24s wall median %.3f s (runs:", contender.key.c_str(), Median(contender.walls));
    for (double wall : contender.walls) std::fprintf(stderr, " %.3f", wall);
    std::fprintf(stderr, ")  cpu %.3f s  peak %.0f KiB  -> %d Hz, %d ch, %.2f s\n", Median(contender.cpus),
                 Median(contender.peaks), shape.rate, shape.channels, shape.seconds);
}

Command RenderCommand(const std::string& textPath, const std::string& outPath) {
    return {HelperPath("file-job"), "render", textPath, outPath};
}

Command ConvertCommand(const std::string& inPath) { return {HelperPath("file-job"), "convert", inPath}; }

std::string MonoSibling(const std::string& wavPath) { return wavPath.substr(0, wavPath.size() - 4) + "_mono.wav"; }

}  // namespace

int CompareRendering(int runs, const std::string& dir) {
    const std::string text = dir + "/words600.txt";
    if (!WriteText(text, ProseWords(600))) return 1;
    std::vector<Contender> contenders = {
        {"render.service", RenderCommand(text, dir + "/render-service.wav"), {}, {}, {}},
        {"render.espeak_w", {"espeak-ng", "-v", "en", "-w", dir + "/render-espeak.wav", "-f", text}, {}, {}, {}},
        {"render.espeak_sox",
         {"sh", "-c", "espeak-ng -v en --stdout -f '" + text + "' | sox - -r 44100 '" + dir + "/render-sox.wav'"},
         {}, {}, {}},
    };
    if (!RunInTurns(contenders, runs)) return 1;
    ReportContender(contenders[0], dir + "/render-service.wav");
    ReportContender(contenders[1], dir + "/render-espeak.wav");
    ReportContender(contenders[2], dir + "/render-sox.wav");
    // The same synthesizer at the same pace: the two 44.1 kHz files should hold the same
    // speech, differing by the resamplers and sox's dither.
    SignalComparison same = CompareSignals(dir + "/render-sox.wav", dir + "/render-service.wav");
    if (same.comparable) {
        Report("render.snr_vs_espeak_sox_db", same.snrDb);
        std::fprintf(stderr, "rendering against espeak-ng | sox: %.1f dB (shift %d, length difference %lld frames)\n",
                     same.snrDb, same.shift, same.lengthDifference);
    }
    return 0;
}

int CompareConversion(int runs, int minutes, const std::string& dir) {
    const std::string input = dir + "/convert-in.wav";
    if (!WriteTestSignal(input, 48000, minutes * 60)) return 1;
    const std::string sox = dir + "/convert-sox.wav";
    std::vector<Contender> contenders = {
        {"convert.service", ConvertCommand(input), {}, {}, {}},
        {"convert.sox", {"sox", input, "-r", "44100", "-c", "1", "-b", "16", sox}, {}, {}, {}},
    };
    if (!RunInTurns(contenders, runs)) return 1;
    ReportContender(contenders[0], MonoSibling(input));
    ReportContender(contenders[1], sox);

    // sox dithers whenever it writes 16 bits: the same conversion without dither shows how
    // much of the difference is sox's own added noise.
    const std::string plain = dir + "/convert-sox-nodither.wav";
    if (!RunToEnd({"sox", "-D", input, "-r", "44100", "-c", "1", "-b", "16", plain}).succeeded) return 1;
    const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> pairs = {
        {"convert.snr_vs_sox", {sox, MonoSibling(input)}},
        {"convert.snr_vs_sox_undithered", {plain, MonoSibling(input)}},
        {"convert.snr_sox_dither", {plain, sox}},
    };
    for (const auto& [key, files] : pairs) {
        SignalComparison comparison = CompareSignals(files.first, files.second);
        if (!comparison.comparable) {
            std::fprintf(stderr, "cannot compare %s with %s\n", files.first.c_str(), files.second.c_str());
            return 1;
        }
        Report(key + "_db", comparison.snrDb);
        std::fprintf(stderr, "%-30s %.1f dB (reference at %.1f dBFS, shift %d, %lld frames, length difference %lld)\n",
                     key.c_str(), comparison.snrDb, comparison.referenceRmsDb, comparison.shift, comparison.frames,
                     comparison.lengthDifference);
    }
    std::remove(input.c_str());
    std::remove(MonoSibling(input).c_str());
    std::remove(sox.c_str());
    std::remove(plain.c_str());
    return 0;
}

int CompareGrowth(const std::string& dir, bool quick) {
    std::vector<int> sentenceCounts = quick ? std::vector<int>{1, 10, 100} : std::vector<int>{1, 10, 100, 1000};
    for (int count : sentenceCounts) {
        const std::string text = dir + "/sentences.txt";
        if (!WriteText(text, ProseSentences(static_cast<size_t>(count)))) return 1;
        std::vector<Contender> one = {{"growth.render." + std::to_string(count),
                                       RenderCommand(text, dir + "/growth.wav"), {}, {}, {}}};
        if (!RunInTurns(one, count >= 1000 ? 1 : 3)) return 1;
        ReportContender(one[0], dir + "/growth.wav");
    }
    std::remove((dir + "/growth.wav").c_str());
    std::vector<int> minuteCounts = quick ? std::vector<int>{1, 10} : std::vector<int>{1, 10, 60};
    for (int minutes : minuteCounts) {
        const std::string input = dir + "/growth-in.wav";
        if (!WriteTestSignal(input, 48000, minutes * 60)) return 1;
        std::vector<Contender> one = {{"growth.convert." + std::to_string(minutes), ConvertCommand(input), {}, {}, {}}};
        if (!RunInTurns(one, minutes >= 60 ? 1 : 3)) return 1;
        ReportContender(one[0], MonoSibling(input));
        std::remove(input.c_str());
        std::remove(MonoSibling(input).c_str());
    }
    return 0;
}
