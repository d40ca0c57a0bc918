// Speech into memory with the real voice: a ~200-word passage spoken into a memory stream
// (CreateMemoryOutput, SpeakText, WaitUntilDone) five times at the voice's default rate
// and five at the service's rate 6. Prints the length of the audio and how much of it is
// audible (so what was timed is known to be speech), wall and CPU time (medians), the
// synthesis realtime factor and the process's peak resident size.
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Figures.h"
#include "SampleTexts.h"
#include "speech/MemoryOutput.h"
#include "speech/Speaker.h"
#include "speech/WidenText.h"

namespace {

constexpr int kRepetitions = 5;

rusage Usage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

double CpuSeconds() {
    rusage usage = Usage();
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// The share of 10 ms windows of the stream's 16-bit mono samples whose RMS is above
/// -40 dBFS, and the stream's length in seconds.
std::pair<double, double> AudibleShareAndSeconds(ISpStream* stream) {
    LARGE_INTEGER zero{};
    ULARGE_INTEGER end{};
    stream->Seek(zero, STREAM_SEEK_END, &end);
    std::vector<short> samples(static_cast<size_t>(end.QuadPart / 2));
    ULONG got = 0;
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    stream->Read(samples.data(), static_cast<ULONG>(samples.size() * 2), &got);
    constexpr size_t kWindow = 441;
    size_t windows = got / 2 / kWindow, audible = 0;
    for (size_t window = 0; window < windows; ++window) {
        double sum = 0;
        for (size_t i = window * kWindow; i < (window + 1) * kWindow; ++i) sum += double(samples[i]) * samples[i];
        if (std::sqrt(sum / kWindow) > 0.01 * 32768) ++audible;
    }
    return {windows == 0 ? 0 : double(audible) / windows, got / 2 / 44100.0};
}

}  // namespace

int main() {
    CoInitialize(nullptr);
    WCHAR* passage = WidenText(ProsePassage());
    long peakBefore = Usage().ru_maxrss;
    Speaker speaker;
    if (passage == nullptr || !speaker.HasVoice()) {
        std::fprintf(stderr, "no voice, hr %x\n", static_cast<unsigned>(speaker.VoiceCreationResult()));
        return 1;
    }
    std::printf("speech into memory: %zu-byte passage (about 200 words), 44100 Hz 16-bit mono\n",
                std::strlen(ProsePassage()));
    for (LONG rate : {0L, 6L}) {
        speaker.SetRate(rate);
        std::vector<double> walls, cpus;
        std::pair<double, double> audio;
        for (int repetition = 0; repetition < kRepetitions; ++repetition) {
            InterfaceHolder<ISpStream> memory = speaker.CreateMemoryOutput();
            double cpuStart = CpuSeconds();
            auto start = std::chrono::steady_clock::now();
            speaker.SpeakText(passage);
            speaker.WaitUntilDone(INFINITE);
            walls.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            cpus.push_back(CpuSeconds() - cpuStart);
            audio = AudibleShareAndSeconds(memory.Get());
        }
        std::printf("  rate %ld: audio %.2f s (%.0f%% of it audible), wall %.3f s, cpu %.3f s (medians of %d), "
                    "realtime factor %.1fx\n",
                    static_cast<long>(rate), audio.second, 100 * audio.first, Median(walls), Median(cpus),
                    kRepetitions, audio.second / Median(walls));
    }
    std::printf("  peak RSS             %ld KiB (%ld KiB before the voice was made)\n", Usage().ru_maxrss, peakBefore);
    std::free(passage);
    return 0;
}
