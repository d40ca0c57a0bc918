// Turning sample bytes into floats and back, for the encodings the voice reads and writes:
// one second of a tone at the output's rate per iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/linux/audio/SampleCodec.h"

namespace {

constexpr size_t kFrames = 44100;

enum class Direction { Encode, Decode };

void BM_Samples(benchmark::State& state, Direction direction, SampleLayout::Encoding encoding, WORD bytesPerSample) {
    const SampleLayout layout{encoding, 1, 44100, bytesPerSample};
    std::vector<float> samples(kFrames);
    for (size_t i = 0; i < kFrames; ++i) samples[i] = 0.7f * static_cast<float>(std::sin(0.0627 * i));
    std::vector<BYTE> bytes(kFrames * layout.BytesPerFrame());
    EncodeSamples(layout, samples.data(), kFrames, bytes.data());
    for (auto _ : state) {
        if (direction == Direction::Encode) EncodeSamples(layout, samples.data(), kFrames, bytes.data());
        else DecodeSamples(layout, bytes.data(), kFrames, samples.data());
        benchmark::DoNotOptimize(bytes.data());
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFrames));
}

using E = SampleLayout::Encoding;

}  // namespace

BENCHMARK_CAPTURE(BM_Samples, EncodePcm16, Direction::Encode, E::Pcm16, 2);
BENCHMARK_CAPTURE(BM_Samples, DecodePcm16, Direction::Decode, E::Pcm16, 2);
BENCHMARK_CAPTURE(BM_Samples, EncodePcm24, Direction::Encode, E::Pcm24, 3);
BENCHMARK_CAPTURE(BM_Samples, DecodePcm24, Direction::Decode, E::Pcm24, 3);
BENCHMARK_CAPTURE(BM_Samples, EncodeFloat32, Direction::Encode, E::Float32, 4);
BENCHMARK_CAPTURE(BM_Samples, DecodeFloat32, Direction::Decode, E::Float32, 4);
BENCHMARK_CAPTURE(BM_Samples, EncodeMuLaw, Direction::Encode, E::MuLaw, 1);
BENCHMARK_CAPTURE(BM_Samples, DecodeMuLaw, Direction::Decode, E::MuLaw, 1);
BENCHMARK_CAPTURE(BM_Samples, EncodeALaw, Direction::Encode, E::ALaw, 1);
BENCHMARK_CAPTURE(BM_Samples, DecodeALaw, Direction::Decode, E::ALaw, 1);
