// The pipeline every piece of audio takes to an output: decoding 16-bit PCM, channel
// mixing, resampling, gain and encoding into 16-bit PCM, fed in blocks as the voice feeds
// it, on the caller's thread. Reported in input frames per second and as a realtime factor
// (seconds of input audio per second of work).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/linux/audio/AudioPipeline.h"

namespace {

constexpr size_t kBlockFrames = 4096;

/// The device's format, taken and dropped; real-time, so the stages run on the caller's thread.
class DroppingSink : public AudioSink {
public:
    SampleLayout Layout() const override { return {SampleLayout::Encoding::Pcm16, 1, 44100, 2}; }
    bool PlaysInRealTime() const override { return true; }
    HRESULT Write(const void* samples, size_t) override {
        benchmark::DoNotOptimize(samples);
        return S_OK;
    }
};

void RunPipeline(benchmark::State& state, DWORD inputRate, WORD inputChannels) {
    // 16-bit input, as the synthesizer makes it and most recordings hold it.
    std::vector<int16_t> input(kBlockFrames * inputChannels);
    for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<int16_t>(16000 * std::sin(0.0627 * i));
    DroppingSink sink;
    std::unique_ptr<AudioPipeline> pipeline;
    PipelineControls controls{[] { return 0.8f; }, [] { return false; }};
    const SampleLayout input16{SampleLayout::Encoding::Pcm16, inputChannels, inputRate, 2};
    if (FAILED(AudioPipeline::Create(input16, AudioOrigin::Recorded, sink, controls, &pipeline))) {
        state.SkipWithError("the pipeline could not be made");
        return;
    }
    for (auto _ : state) pipeline->Write(input.data(), kBlockFrames);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kBlockFrames));
    state.counters["realtime_x"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlockFrames / inputRate,
                                                      benchmark::Counter::kIsRate);
}

}  // namespace

// The synthesizer's own rate; a typical recording; equal rates (mixing and gain only).
BENCHMARK_CAPTURE(RunPipeline, 22050MonoTo44100Mono, 22050, 1);
BENCHMARK_CAPTURE(RunPipeline, 48000StereoTo44100Mono, 48000, 2);
BENCHMARK_CAPTURE(RunPipeline, 44100StereoTo44100Mono, 44100, 2);
