#pragma once
#include <cstddef>
#include <optional>

#include "ComTypes.h"

/// How one wave format lays out its samples: the encodings the voice reads and writes as
/// plain bytes (PCM of 8, 16, 24 or 32 bits, 32-bit IEEE float, A-law and mu-law).
struct SampleLayout {
    enum class Encoding { UnsignedPcm8, Pcm16, Pcm24, Pcm32, Float32, ALaw, MuLaw };
    Encoding encoding;
    WORD channels;
    DWORD samplesPerSec;
    WORD bytesPerSample;

    size_t BytesPerFrame() const { return static_cast<size_t>(bytesPerSample) * channels; }
};

/// The layout of `format`, or nothing when its encoding is not one the voice handles or
/// its fields contradict each other (block alignment, sample size, rate or channels).
std::optional<SampleLayout> LayoutOf(const WAVEFORMATEX& format);

/// Turns `frames` frames of bytes into interleaved floats, full scale -1 to 1.
void DecodeSamples(const SampleLayout& layout, const BYTE* bytes, size_t frames, float* samples);

/// Turns interleaved floats into bytes, clipping to what the encoding can hold.
void EncodeSamples(const SampleLayout& layout, const float* samples, size_t frames, BYTE* bytes);

// The G.711 companding laws, on 16-bit linear samples.
BYTE LinearToALaw(int16_t sample);
int16_t ALawToLinear(BYTE code);
BYTE LinearToMuLaw(int16_t sample);
int16_t MuLawToLinear(BYTE code);
