#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/linux/com/Com.h"

/// How a run of bytes lays out its samples: the encodings the voice reads and writes as
/// plain bytes (PCM of 8, 16, 24 or 32 bits, 32-bit IEEE float, A-law and mu-law). Which
/// wave format has which layout is streams/WaveFormat's to say.
struct SampleLayout {
    enum class Encoding { UnsignedPcm8, Pcm16, Pcm24, Pcm32, Float32, ALaw, MuLaw };
    Encoding encoding;
    WORD channels;
    DWORD samplesPerSec;
    WORD bytesPerSample;

    size_t BytesPerFrame() const { return static_cast<size_t>(bytesPerSample) * channels; }
};

/// Turns `frames` frames of bytes into interleaved floats, full scale -1 to 1.
void DecodeSamples(const SampleLayout& layout, const BYTE* bytes, size_t frames, float* samples);

/// Turns interleaved floats into bytes, clipping to what the encoding can hold.
void EncodeSamples(const SampleLayout& layout, const float* samples, size_t frames, BYTE* bytes);

// The G.711 companding laws, on 16-bit linear samples.
BYTE LinearToALaw(int16_t sample);
int16_t ALawToLinear(BYTE code);
BYTE LinearToMuLaw(int16_t sample);
int16_t MuLawToLinear(BYTE code);
