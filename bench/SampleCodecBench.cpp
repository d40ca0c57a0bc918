// Turning sample bytes into floats and back, for the encodings the voice reads and writes:
// one second of a tone at the output's rate per iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "engine/linux/audio/SampleCodec.h"

namespace {

constexpr size_t kFrames = 44100;

void Run(benchmark::State& state, bool encode, SampleLayout::Encoding encoding, WORD bytesPerSample) {
    const SampleLayout layout{encoding, 1, 44100, bytesPerSample};
    std::vector<float> samples(kFrames);
    for (size_t i = 0; i < kFrames; ++i) samples[i] = 0.7f * static_cast<float>(std::sin(0.0627 * i));
    std::vector<BYTE> bytes(kFrames * layout.BytesPerFrame());
    EncodeSamples(layout, samples.data(), kFrames, bytes.data());
    for (auto _ : state) {
        if (encode) EncodeSamples(layout, samples.data(), kFrames, bytes.data());
        else DecodeSamples(layout, bytes.data(), kFrames, samples.data());
        benchmark::DoNotOptimize(bytes.data());
        benchmark::DoNotOptimize(samples.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(kFrames));
}

const bool registered = [] {
    using E = SampleLayout::Encoding;
    const std::tuple<const char*, E, WORD> encodings[] = {
        {"Pcm16", E::Pcm16, 2}, {"Pcm24", E::Pcm24, 3}, {"Float32", E::Float32, 4}, {"MuLaw", E::MuLaw, 1},
        {"ALaw", E::ALaw, 1}};
    for (const auto& [name, encoding, bytes] : encodings) {
        benchmark::RegisterBenchmark((std::string("BM_Encode") + name).c_str(), Run, true, encoding, bytes);
        benchmark::RegisterBenchmark((std::string("BM_Decode") + name).c_str(), Run, false, encoding, bytes);
    }
    return true;
}();

}  // namespace
