// Speech into memory with the real voice: the ~200-word passage spoken into a memory
// stream (CreateMemoryOutput, SpeakText, WaitUntilDone) at the voice's default rate and at
// the service's rate 6, timed on the wall and in processor time of all threads. Beside
// them: the seconds of audio, the share of its 10 ms windows above -40 dBFS RMS (what was
// timed is speech, not silence), seconds of audio per second and the peak resident size.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "SampleTexts.h"
#include "speech/Speaker.h"
#include "speech/WidenText.h"

namespace {

/// The share of 10 ms windows of the stream's 16-bit mono samples whose RMS is above
/// -40 dBFS, and its length in seconds.
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

void BM_SpeakIntoMemory(benchmark::State& state) {
    CoInitialize(nullptr);
    Speaker speaker;
    WCHAR* passage = WidenText(ProsePassage());
    speaker.SetRate(static_cast<LONG>(state.range(0)));
    if (!speaker.HasVoice()) state.SkipWithError("no voice");  // the loop then does not run
    InterfaceHolder<ISpStream> memory;
    for (auto _ : state) {
        memory = speaker.CreateMemoryOutput();
        speaker.SpeakText(passage);
        speaker.WaitUntilDone(INFINITE);
    }
    std::free(passage);
    if (memory.IsEmpty()) return;
    auto [audible, seconds] = AudibleShareAndSeconds(memory.Get());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["audio_s"] = seconds;
    state.counters["audible_share"] = audible;
    state.counters["realtime_x"] = benchmark::Counter(seconds * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["peak_rss_kb"] = static_cast<double>(usage.ru_maxrss);
}

}  // namespace

BENCHMARK(BM_SpeakIntoMemory)->ArgName("rate")->Arg(0)->Arg(6)->MeasureProcessCPUTime()->UseRealTime()->Unit(
    benchmark::kMillisecond);
