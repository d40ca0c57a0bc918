// Whole-path costs with the real voice, one measurement per run so each run's peak memory
// belongs to that measurement alone:
//   whole-path-bench convert <scratch dir>  - a 30 s 48 kHz stereo 16-bit WAV file into its
//                                             44.1 kHz mono sibling (ConvertFileToMono)
//   whole-path-bench memory                 - a ~200-word passage synthesised into memory
// Prints wall time, CPU time, realtime factor and the process's peak resident set size.
#include <sndfile.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Percentiles.h"
#include "SampleTexts.h"
#include "TestSignal.h"
#include "speech/FileRendering.h"
#include "speech/MemoryOutput.h"
#include "speech/Speaker.h"
#include "speech/WidenText.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kInputRate = 48000;
constexpr int kInputChannels = 2;  // as WriteTestSignal writes
constexpr int kInputSeconds = 30;
constexpr double kOutputBytesPerSecond = 44100.0 * 2;
constexpr int kRepetitions = 5;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct WavSummary {
    double seconds = -1;
    int rate = 0;
    int channels = 0;
    double rms = 0;  // full scale 1
};

// What came out: its length, format and loudness (the input's two tones average to about
// 0.18 RMS in mono), so the time measured is known to be the time of a real conversion.
WavSummary Summarise(const std::string& path) {
    WavSummary summary;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return summary;
    summary.seconds = static_cast<double>(info.frames) / info.samplerate;
    summary.rate = info.samplerate;
    summary.channels = info.channels;
    std::vector<float> block(4096 * static_cast<size_t>(info.channels));
    double sum = 0;
    sf_count_t total = 0, got = 0;
    while ((got = sf_readf_float(file, block.data(), 4096)) > 0) {
        for (sf_count_t i = 0; i < got * info.channels; ++i) sum += static_cast<double>(block[i]) * block[i];
        total += got * info.channels;
    }
    sf_close(file);
    summary.rms = total > 0 ? std::sqrt(sum / static_cast<double>(total)) : 0;
    return summary;
}

// The share of 10 ms windows of the 16-bit mono stream whose RMS is above -40 dBFS: a
// check that what was timed is speech and not silence.
double AudibleShare(ISpStream* stream) {
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    constexpr ULONG kWindow = 441;
    short window[kWindow];
    size_t windows = 0, audible = 0;
    for (;;) {
        ULONG got = 0;
        if (FAILED(stream->Read(window, sizeof window, &got)) || got < sizeof window) break;
        double sum = 0;
        for (short sample : window) sum += static_cast<double>(sample) * sample;
        ++windows;
        if (std::sqrt(sum / kWindow) > 0.01 * 32768) ++audible;
    }
    return windows == 0 ? 0 : static_cast<double>(audible) / windows;
}

int BenchConvert(const std::string& directory) {
    std::string input = directory + "/bench-input.wav";
    std::string output = directory + "/bench-input_mono.wav";
    if (!WriteTestSignal(input, kInputRate, kInputSeconds)) {
        std::fprintf(stderr, "cannot write %s\n", input.c_str());
        return 1;
    }
    long rssBefore = PeakRssKb();
    Speaker speaker;
    if (!speaker.HasVoice()) {
        std::fprintf(stderr, "no voice, hr %x\n", static_cast<unsigned>(speaker.VoiceCreationResult()));
        return 1;
    }

    std::vector<double> walls, cpus;
    for (int repetition = 0; repetition < kRepetitions; ++repetition) {
        std::vector<char> name(input.begin(), input.end());  // the conversion cuts the name in place
        name.push_back('\0');
        double cpuStart = CpuSeconds();
        auto start = Clock::now();
        ConvertFileToMono(speaker, name.data());
        walls.push_back(Seconds(start, Clock::now()));
        cpus.push_back(CpuSeconds() - cpuStart);
    }
    double wall = Median(walls);
    double cpu = Median(cpus);

    WavSummary produced = Summarise(output);
    std::printf("convert file to mono: %d s of %d Hz %d-channel 16-bit WAV -> 44100 Hz mono\n", kInputSeconds,
                kInputRate, kInputChannels);
    std::printf("  output               %.3f s, %d Hz, %d channel(s), RMS %.3f\n", produced.seconds, produced.rate,
                produced.channels, produced.rms);
    std::printf("  wall time            %.3f s (median of %d; fastest %.3f s)\n", wall, kRepetitions,
                *std::min_element(walls.begin(), walls.end()));
    std::printf("  cpu time             %.3f s (median)\n", cpu);
    std::printf("  realtime factor      %.1fx (seconds of input per second of wall time)\n", kInputSeconds / wall);
    std::printf("  peak RSS             %ld KiB (%ld KiB before the voice was made)\n", PeakRssKb(), rssBefore);
    std::remove(input.c_str());
    std::remove(output.c_str());
    return produced.seconds > 0 ? 0 : 1;
}

int BenchMemory() {
    const char* passage = ProsePassage();
    WCHAR* wide = WidenText(passage);
    if (wide == nullptr) return 1;
    long rssBefore = PeakRssKb();
    Speaker speaker;
    if (!speaker.HasVoice()) {
        std::fprintf(stderr, "no voice, hr %x\n", static_cast<unsigned>(speaker.VoiceCreationResult()));
        return 1;
    }
    std::printf("speech into memory: %zu-byte passage (about 200 words), 44100 Hz 16-bit mono\n",
                std::strlen(passage));
    // The voice's default rate, and the rate the service sets for itself.
    for (LONG rate : {0L, 6L}) {
        speaker.SetRate(rate);
        std::vector<double> walls, cpus;
        double audio = 0, audible = 0;
        for (int repetition = 0; repetition < kRepetitions; ++repetition) {
            InterfaceHolder<ISpStream> memory = speaker.CreateMemoryOutput();
            double cpuStart = CpuSeconds();
            auto start = Clock::now();
            speaker.SpeakText(wide);
            speaker.WaitUntilDone(INFINITE);
            walls.push_back(Seconds(start, Clock::now()));
            cpus.push_back(CpuSeconds() - cpuStart);

            LARGE_INTEGER zero{};
            ULARGE_INTEGER end{};
            memory->Seek(zero, STREAM_SEEK_END, &end);
            audio = static_cast<double>(end.QuadPart) / kOutputBytesPerSecond;
            audible = AudibleShare(memory.Get());
        }
        double wall = Median(walls);
        double cpu = Median(cpus);
        std::printf("  rate %ld: audio %.2f s (%.0f%% of it audible), wall %.3f s, cpu %.3f s (medians of %d), "
                    "realtime factor %.1fx\n",
                    static_cast<long>(rate), audio, 100 * audible, wall, cpu, kRepetitions,
                    audio / wall);
    }
    std::printf("  peak RSS             %ld KiB (%ld KiB before the voice was made)\n", PeakRssKb(), rssBefore);
    std::free(wide);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "convert" && argc > 2) return BenchConvert(argv[2]);
    if (mode == "memory") return BenchMemory();
    std::fprintf(stderr, "usage: %s convert <scratch dir> | memory\n", argv[0]);
    return 2;
}
