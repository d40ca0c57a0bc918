// The converter every piece of audio passes through on its way to an output: channel
// mixing, resampling and gain, fed in blocks as the voice feeds it. Reported in input
// frames per second and as a realtime factor (seconds of input audio per second of work).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/linux/audio/AudioConverter.h"

namespace {

constexpr size_t kBlockFrames = 4096;
constexpr double kTwoPi = 6.283185307179586;

void RunConverter(benchmark::State& state, DWORD inputRate, WORD inputChannels, DWORD outputRate,
                  WORD outputChannels) {
    std::vector<float> input(kBlockFrames * inputChannels);
    for (size_t frame = 0; frame < kBlockFrames; ++frame)
        for (WORD channel = 0; channel < inputChannels; ++channel)
            input[frame * inputChannels + channel] =
                0.5f * static_cast<float>(std::sin(kTwoPi * 440.0 * (channel + 1) * frame / inputRate));
    AudioConverter converter(inputRate, inputChannels, outputRate, outputChannels);
    if (!converter.IsReady()) {
        state.SkipWithError("the converter could not be made");
        return;
    }
    float last = 0.0f;
    auto keep = [&last](const float* frames, size_t count) {
        last = frames[count - 1];
        return S_OK;
    };
    for (auto _ : state) {
        converter.Convert(input.data(), kBlockFrames, 0.8f, keep);
        benchmark::DoNotOptimize(last);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kBlockFrames));
    // Seconds of input converted per second of wall time.
    state.counters["realtime_x"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlockFrames / inputRate,
                                                      benchmark::Counter::kIsRate);
}

// The synthesizer's own rate into the output's.
void BM_Convert22050MonoTo44100Mono(benchmark::State& state) { RunConverter(state, 22050, 1, 44100, 1); }
// A typical recording into the output's format.
void BM_Convert48000StereoTo44100Mono(benchmark::State& state) { RunConverter(state, 48000, 2, 44100, 1); }
// Equal rates: mixing and gain only.
void BM_Convert44100StereoTo44100Mono(benchmark::State& state) { RunConverter(state, 44100, 2, 44100, 1); }

}  // namespace

BENCHMARK(BM_Convert22050MonoTo44100Mono);
BENCHMARK(BM_Convert48000StereoTo44100Mono);
BENCHMARK(BM_Convert44100StereoTo44100Mono);
