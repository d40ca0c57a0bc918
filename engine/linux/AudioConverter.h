#pragma once
#include <cstddef>
#include <vector>

#include <soxr.h>

#include "ComTypes.h"

/// The one road every piece of audio takes to an output: float samples in, their channels
/// mixed down or up to the output's, resampled to the output's rate (libsoxr, high
/// quality, streaming), scaled by the gain and clipped to -1..1. It keeps the resampler's
/// state between pieces, so one converter carries one utterance or one stream; Flush()
/// hands out what the resampler still holds at its end.
class AudioConverter {
public:
    AudioConverter(DWORD inputRate, WORD inputChannels, DWORD outputRate, WORD outputChannels);
    ~AudioConverter();
    AudioConverter(const AudioConverter&) = delete;
    AudioConverter& operator=(const AudioConverter&) = delete;

    /// False when the resampler could not be made; Convert then produces nothing.
    bool IsReady() const { return ready; }

    /// Converts `frames` interleaved input frames; `output` receives the frames ready so
    /// far (it is replaced, not appended to).
    void Convert(const float* input, size_t frames, float gain, std::vector<float>& output);
    /// The frames still inside the resampler, converted with `gain`.
    void Flush(float gain, std::vector<float>& output);

    WORD OutputChannels() const { return outputChannels; }

private:
    void Mix(const float* input, size_t frames);
    void Resample(const float* input, size_t frames, std::vector<float>& output);
    void ApplyGain(float gain, std::vector<float>& output) const;

    DWORD inputRate;
    WORD inputChannels;
    DWORD outputRate;
    WORD outputChannels;
    soxr_t resampler = nullptr;  // null when the rates are equal: the samples pass through
    bool ready = true;
    std::vector<float> mixed;
};
