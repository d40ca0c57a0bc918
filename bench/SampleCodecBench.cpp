// Turning sample bytes into floats and back, for the encodings the voice reads and writes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/linux/audio/SampleCodec.h"

namespace {

constexpr size_t kFrames = 44100;  // one second at the output's rate

SampleLayout Layout(SampleLayout::Encoding encoding, WORD bytesPerSample) {
    return SampleLayout{encoding, 1, 44100, bytesPerSample};
}

std::vector<float> Tone() {
    std::vector<float> samples(kFrames);
    for (size_t i = 0; i < kFrames; ++i) samples[i] = 0.7f * static_cast<float>(std::sin(0.0627 * i));
    return samples;
}

void RunEncode(benchmark::State& state, SampleLayout layout) {
    std::vector<float> samples = Tone();
    std::vector<BYTE> bytes(kFrames * layout.BytesPerFrame());
    for (auto _ : state) {
        EncodeSamples(layout, samples.data(), kFrames, bytes.data());
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFrames));
}

void RunDecode(benchmark::State& state, SampleLayout layout) {
    std::vector<float> samples = Tone();
    std::vector<BYTE> bytes(kFrames * layout.BytesPerFrame());
    EncodeSamples(layout, samples.data(), kFrames, bytes.data());
    for (auto _ : state) {
        DecodeSamples(layout, bytes.data(), kFrames, samples.data());
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFrames));
}

using E = SampleLayout::Encoding;
void BM_EncodePcm16(benchmark::State& state) { RunEncode(state, Layout(E::Pcm16, 2)); }
void BM_DecodePcm16(benchmark::State& state) { RunDecode(state, Layout(E::Pcm16, 2)); }
void BM_EncodePcm24(benchmark::State& state) { RunEncode(state, Layout(E::Pcm24, 3)); }
void BM_DecodePcm24(benchmark::State& state) { RunDecode(state, Layout(E::Pcm24, 3)); }
void BM_EncodeFloat32(benchmark::State& state) { RunEncode(state, Layout(E::Float32, 4)); }
void BM_DecodeFloat32(benchmark::State& state) { RunDecode(state, Layout(E::Float32, 4)); }
void BM_EncodeMuLaw(benchmark::State& state) { RunEncode(state, Layout(E::MuLaw, 1)); }
void BM_DecodeMuLaw(benchmark::State& state) { RunDecode(state, Layout(E::MuLaw, 1)); }
void BM_EncodeALaw(benchmark::State& state) { RunEncode(state, Layout(E::ALaw, 1)); }
void BM_DecodeALaw(benchmark::State& state) { RunDecode(state, Layout(E::ALaw, 1)); }

}  // namespace

BENCHMARK(BM_EncodePcm16);
BENCHMARK(BM_DecodePcm16);
BENCHMARK(BM_EncodePcm24);
BENCHMARK(BM_DecodePcm24);
BENCHMARK(BM_EncodeFloat32);
BENCHMARK(BM_DecodeFloat32);
BENCHMARK(BM_EncodeMuLaw);
BENCHMARK(BM_DecodeMuLaw);
BENCHMARK(BM_EncodeALaw);
BENCHMARK(BM_DecodeALaw);
