#include "SampleCodec.h"

#include <cmath>
#include <cstring>

namespace {

using Encoding = SampleLayout::Encoding;

constexpr float kScale16 = 32768.0f;
constexpr float kScale24 = 8388608.0f;
constexpr double kScale32 = 2147483648.0;

/// Rounds a scaled sample to the nearest integer in [low, high].
long long Quantize(double scaled, long long low, long long high) {
    if (!(scaled == scaled)) return 0;  // NaN carries no signal
    double rounded = std::nearbyint(scaled);
    if (rounded < static_cast<double>(low)) return low;
    if (rounded > static_cast<double>(high)) return high;
    return static_cast<long long>(rounded);
}

int16_t ToLinear16(float sample) {
    return static_cast<int16_t>(Quantize(static_cast<double>(sample) * kScale16, -32768, 32767));
}

// Rounds to the nearest integer, ties to even, as nearbyint does in the default rounding
// mode, without a call into the maths library: adding and taking away 1.5 * 2^23 leaves
// no bits below the units (the compiler may not fold the two, as that would change the
// result). Valid for |value| < 2^22.
float RoundInline(float value) {
    constexpr float kShift = 12582912.0f;
    return (value + kShift) - kShift;
}

// 16-bit PCM, the format of every device and rendered file, in a loop of its own without
// branches, which the compiler turns into vector instructions: the same values as
// ToLinear16, many times faster.
void EncodePcm16(const float* samples, size_t count, BYTE* bytes) {
    for (size_t i = 0; i < count; ++i) {
        float scaled = samples[i] * kScale16;
        scaled = scaled > 32767.0f ? 32767.0f : scaled;
        scaled = scaled < -32768.0f ? -32768.0f : scaled;
        scaled = scaled == scaled ? scaled : 0.0f;  // NaN carries no signal
        auto value = static_cast<uint16_t>(static_cast<int16_t>(RoundInline(scaled)));
        bytes[2 * i] = static_cast<BYTE>(value);
        bytes[2 * i + 1] = static_cast<BYTE>(value >> 8);
    }
}

// 16-bit PCM, what the synthesizer makes, decoded in a loop the compiler can vectorise.
void DecodePcm16(const BYTE* bytes, size_t count, float* samples) {
    for (size_t i = 0; i < count; ++i) {
        auto value = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8));
        samples[i] = value / kScale16;
    }
}

}  // namespace

void DecodeSamples(const SampleLayout& layout, const BYTE* bytes, size_t frames, float* samples) {
    size_t count = frames * layout.channels;
    if (layout.encoding == Encoding::Pcm16 && layout.bytesPerSample == 2) {
        DecodePcm16(bytes, count, samples);
        return;
    }
    if (layout.encoding == Encoding::Float32) {
        std::memcpy(samples, bytes, count * sizeof(float));
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        const BYTE* at = bytes + i * layout.bytesPerSample;
        switch (layout.encoding) {
            case Encoding::UnsignedPcm8:
                samples[i] = (static_cast<int>(at[0]) - 128) / 128.0f;
                break;
            case Encoding::Pcm16:
                samples[i] = static_cast<int16_t>(at[0] | (at[1] << 8)) / kScale16;
                break;
            case Encoding::Pcm24: {
                int32_t value = static_cast<int32_t>(static_cast<uint32_t>(at[0]) << 8 |
                                                     static_cast<uint32_t>(at[1]) << 16 |
                                                     static_cast<uint32_t>(at[2]) << 24) >> 8;
                samples[i] = value / kScale24;
                break;
            }
            case Encoding::Pcm32: {
                int32_t value = static_cast<int32_t>(static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                                                     static_cast<uint32_t>(at[2]) << 16 |
                                                     static_cast<uint32_t>(at[3]) << 24);
                samples[i] = static_cast<float>(value / kScale32);
                break;
            }
            case Encoding::Float32:
                std::memcpy(&samples[i], at, 4);
                break;
            case Encoding::ALaw:
                samples[i] = ALawToLinear(at[0]) / kScale16;
                break;
            case Encoding::MuLaw:
                samples[i] = MuLawToLinear(at[0]) / kScale16;
                break;
        }
    }
}

void EncodeSamples(const SampleLayout& layout, const float* samples, size_t frames, BYTE* bytes) {
    size_t count = frames * layout.channels;
    if (layout.encoding == Encoding::Pcm16 && layout.bytesPerSample == 2) {
        EncodePcm16(samples, count, bytes);
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        BYTE* at = bytes + i * layout.bytesPerSample;
        float sample = samples[i];
        switch (layout.encoding) {
            case Encoding::UnsignedPcm8:
                at[0] = static_cast<BYTE>(Quantize(sample * 128.0, -128, 127) + 128);
                break;
            case Encoding::Pcm16: {
                auto value = static_cast<uint16_t>(ToLinear16(sample));
                at[0] = static_cast<BYTE>(value);
                at[1] = static_cast<BYTE>(value >> 8);
                break;
            }
            case Encoding::Pcm24: {
                auto value = static_cast<uint32_t>(Quantize(sample * static_cast<double>(kScale24), -8388608, 8388607));
                at[0] = static_cast<BYTE>(value);
                at[1] = static_cast<BYTE>(value >> 8);
                at[2] = static_cast<BYTE>(value >> 16);
                break;
            }
            case Encoding::Pcm32: {
                auto value = static_cast<uint32_t>(Quantize(sample * kScale32, INT32_MIN, INT32_MAX));
                for (int b = 0; b < 4; ++b) at[b] = static_cast<BYTE>(value >> (8 * b));
                break;
            }
            case Encoding::Float32: {
                float clipped = sample != sample ? 0.0f : sample < -1.0f ? -1.0f : sample > 1.0f ? 1.0f : sample;
                std::memcpy(at, &clipped, 4);
                break;
            }
            case Encoding::ALaw:
                at[0] = LinearToALaw(ToLinear16(sample));
                break;
            case Encoding::MuLaw:
                at[0] = LinearToMuLaw(ToLinear16(sample));
                break;
        }
    }
}

// A-law: 13-bit magnitude in eight segments; even bits inverted on the wire (0x55).
BYTE LinearToALaw(int16_t sample) {
    int value = sample >> 3;
    BYTE mask;
    if (value >= 0) {
        mask = 0xD5;
    } else {
        mask = 0x55;
        value = -value - 1;
    }
    int segment = 0;
    while (segment < 8 && value > (0x20 << segment) - 1) ++segment;
    if (segment >= 8) return static_cast<BYTE>(0x7F ^ mask);
    int code = segment << 4;
    code |= segment < 2 ? (value >> 1) & 0x0F : (value >> segment) & 0x0F;
    return static_cast<BYTE>(code ^ mask);
}

int16_t ALawToLinear(BYTE code) {
    code ^= 0x55;
    int magnitude = (code & 0x0F) << 4;
    int segment = (code & 0x70) >> 4;
    if (segment == 0)
        magnitude += 8;
    else if (segment == 1)
        magnitude += 0x108;
    else
        magnitude = (magnitude + 0x108) << (segment - 1);
    return static_cast<int16_t>((code & 0x80) ? magnitude : -magnitude);
}

// mu-law: biased magnitude, exponent and four mantissa bits, all bits inverted.
BYTE LinearToMuLaw(int16_t sample) {
    constexpr int kBias = 0x84;
    constexpr int kClip = 32635;
    int value = sample;
    BYTE sign = 0;
    if (value < 0) {
        sign = 0x80;
        value = -value;
    }
    if (value > kClip) value = kClip;
    value += kBias;
    int exponent = 7;
    for (int mask = 0x4000; (value & mask) == 0 && exponent > 0; mask >>= 1) --exponent;
    int mantissa = (value >> (exponent + 3)) & 0x0F;
    return static_cast<BYTE>(~(sign | (exponent << 4) | mantissa));
}

int16_t MuLawToLinear(BYTE code) {
    constexpr int kBias = 0x84;
    code = static_cast<BYTE>(~code);
    int exponent = (code >> 4) & 0x07;
    int mantissa = code & 0x0F;
    int magnitude = (((mantissa << 3) + kBias) << exponent) - kBias;
    return static_cast<int16_t>((code & 0x80) ? -magnitude : magnitude);
}
