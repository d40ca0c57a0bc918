// The rendering facility against the tools that do the same job from a shell, each job a
// process of its own (time and peak memory are the whole program's, start-up included),
// the contenders' runs taken in turns so that the machine's load weighs on all alike:
//   rendering: 600 words into a 44.1 kHz mono WAV (file-job render) against espeak-ng -w
//              (22.05 kHz) and espeak-ng --stdout | sox;
//   conversion: a 48 kHz stereo WAV into its _mono.wav (file-job convert) against sox, and
//              how close the outputs are;
//   growth: rendering 1 to 1000 sentences, converting 1 to 60 minutes.
#include <sndfile.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "Compare.h"
#include "Figures.h"
#include "SampleTexts.h"
#include "TestSignal.h"
#include "speech/FileRendering.h"
#include "tests/support/ToolRun.h"

namespace {

struct Contender {
    std::string key;
    std::vector<std::string> command;
    std::string output;
    std::vector<double> walls = {}, cpus = {}, peaks = {};
};

void WriteText(const std::string& path, const std::string& text) {
    if (!(std::ofstream(path, std::ios::binary) << text)) throw std::runtime_error("cannot write " + path);
}

/// Runs every contender `runs` times, in turns, and reports each one's medians and output.
void RunInTurns(std::vector<Contender>& contenders, int runs) {
    for (int run = 0; run < runs; ++run) {
        for (Contender& contender : contenders) {
            auto start = std::chrono::steady_clock::now();
            ToolResult result = RunTool(contender.command);
            if (result.status != 0) throw std::runtime_error(contender.key + " failed: " + result.err);
            contender.walls.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            contender.cpus.push_back(result.cpuSeconds);
            contender.peaks.push_back(static_cast<double>(result.peakRssKb));
        }
    }
    for (const Contender& contender : contenders) {
        // Only the header is read: the length of the audio without reading it all.
        SF_INFO info{};
        if (SNDFILE* file = sf_open(contender.output.c_str(), SFM_READ, &info)) sf_close(file);
        double seconds = info.samplerate > 0 ? static_cast<double>(info.frames) / info.samplerate : 0;
        ReportMedian(contender.key + ".wall_s", contender.walls);
        ReportMedian(contender.key + ".cpu_s", contender.cpus);
        ReportMedian(contender.key + ".peak_kb", contender.peaks);
        Report(contender.key + ".rate_hz", info.samplerate);
        Report(contender.key + ".channels", info.channels);
        Report(contender.key + ".audio_s", seconds);
    }
}

/// Reports how close `candidate` is to `reference` (SignalComparison) as `key`.
void ReportSimilarity(const std::string& key, const std::string& reference, const std::string& candidate) {
    SignalComparison comparison = CompareSignals(reference, candidate);
    if (!comparison.comparable) {
        std::fprintf(stderr, "cannot compare %s with %s\n", reference.c_str(), candidate.c_str());
        return;
    }
    Report(key, comparison.snrDb);
    std::fprintf(stderr, "%-32s %.1f dB (reference at %.1f dBFS, shift %d, %lld frames, length difference %lld)\n",
                 key.c_str(), comparison.snrDb, comparison.referenceRmsDb, comparison.shift, comparison.frames,
                 comparison.lengthDifference);
}

Contender Render(const std::string& key, const std::string& text, const std::string& output) {
    return {key, {HelperPath("file-job"), "render", text, output}, output};
}

Contender Convert(const std::string& key, const std::string& input) {
    return {key, {HelperPath("file-job"), "convert", input}, MonoSiblingOf(input)};
}

}  // namespace

int CompareRendering(int runs, const std::string& dir) {
    const std::string text = dir + "/words600.txt", sox = dir + "/render-sox.wav";
    WriteText(text, ProseWords(600));
    std::vector<Contender> contenders = {
        Render("render.service", text, dir + "/render-service.wav"),
        {"render.espeak_w", {"espeak-ng", "-v", "en", "-w", dir + "/render-espeak.wav", "-f", text},
         dir + "/render-espeak.wav"},
        {"render.espeak_sox", {"sh", "-c", "espeak-ng -v en --stdout -f '" + text + "' | sox - -r 44100 '" + sox + "'"},
         sox},
    };
    RunInTurns(contenders, runs);
    // The same synthesizer at the same pace: the two 44.1 kHz files should hold the same
    // speech, differing by the resamplers and sox's dither.
    ReportSimilarity("render.snr_vs_espeak_sox_db", sox, contenders[0].output);
    return 0;
}

int CompareConversion(int runs, int minutes, const std::string& dir) {
    const std::string input = dir + "/convert-in.wav", sox = dir + "/convert-sox.wav";
    const std::string plain = dir + "/convert-sox-nodither.wav";
    WriteTestSignal(input, 48000, minutes * 60);
    std::vector<Contender> contenders = {
        Convert("convert.service", input),
        {"convert.sox", {"sox", input, "-r", "44100", "-c", "1", "-b", "16", sox}, sox},
    };
    RunInTurns(contenders, runs);
    // sox dithers whenever it writes 16 bits: the same conversion without dither shows how
    // much of the difference is sox's own added noise.
    if (RunTool({"sox", "-D", input, "-r", "44100", "-c", "1", "-b", "16", plain}).status != 0)
        throw std::runtime_error("sox -D failed");
    ReportSimilarity("convert.snr_vs_sox_db", sox, contenders[0].output);
    ReportSimilarity("convert.snr_vs_sox_undithered_db", plain, contenders[0].output);
    ReportSimilarity("convert.snr_sox_dither_db", plain, sox);
    for (const std::string& file : {input, contenders[0].output, sox, plain}) std::remove(file.c_str());
    return 0;
}

int CompareGrowth(const std::string& dir, bool quick) {
    for (int count : quick ? std::vector<int>{1, 10, 100} : std::vector<int>{1, 10, 100, 1000}) {
        WriteText(dir + "/sentences.txt", ProseSentences(static_cast<size_t>(count)));
        std::vector<Contender> one = {Render("growth.render." + std::to_string(count), dir + "/sentences.txt",
                                             dir + "/growth.wav")};
        RunInTurns(one, count >= 1000 ? 1 : 3);
    }
    std::remove((dir + "/growth.wav").c_str());
    for (int minutes : quick ? std::vector<int>{1, 10} : std::vector<int>{1, 10, 60}) {
        const std::string input = dir + "/growth-in.wav";
        WriteTestSignal(input, 48000, minutes * 60);
        std::vector<Contender> one = {Convert("growth.convert." + std::to_string(minutes), input)};
        RunInTurns(one, minutes >= 60 ? 1 : 3);
        std::remove(input.c_str());
        std::remove(one[0].output.c_str());
    }
    return 0;
}
