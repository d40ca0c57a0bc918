#include "AudioConverter.h"

#include <algorithm>
#include <cmath>

AudioConverter::AudioConverter(DWORD inputRate, WORD inputChannels, DWORD outputRate, WORD outputChannels)
    : inputRate(inputRate), inputChannels(inputChannels), outputRate(outputRate), outputChannels(outputChannels) {
    if (inputRate == 0 || outputRate == 0 || inputChannels == 0 || outputChannels == 0) {
        ready = false;
        return;
    }
    if (inputRate == outputRate) return;
    soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    resampler = soxr_create(inputRate, outputRate, outputChannels, &error, &io, &quality, nullptr);
    if (error != nullptr || resampler == nullptr) {
        if (resampler != nullptr) soxr_delete(resampler);
        resampler = nullptr;
        ready = false;
    }
}

AudioConverter::~AudioConverter() {
    if (resampler != nullptr) soxr_delete(resampler);
}

void AudioConverter::Convert(const float* input, size_t frames, float gain, std::vector<float>& output) {
    output.clear();
    if (!ready || frames == 0) return;
    Mix(input, frames);
    Resample(mixed.data(), frames, output);
    ApplyGain(gain, output);
}

void AudioConverter::Flush(float gain, std::vector<float>& output) {
    output.clear();
    if (!ready || resampler == nullptr) return;
    Resample(nullptr, 0, output);
    ApplyGain(gain, output);
}

// Mono spreads to every channel; many channels fold into fewer by averaging those that
// land on the same output channel; equal counts pass through.
void AudioConverter::Mix(const float* input, size_t frames) {
    mixed.assign(frames * outputChannels, 0.0f);
    if (inputChannels == outputChannels) {
        std::copy(input, input + frames * inputChannels, mixed.begin());
        return;
    }
    for (size_t frame = 0; frame < frames; ++frame) {
        const float* in = input + frame * inputChannels;
        float* out = mixed.data() + frame * outputChannels;
        if (inputChannels < outputChannels) {
            for (WORD channel = 0; channel < outputChannels; ++channel) out[channel] = in[channel % inputChannels];
        } else {
            for (WORD channel = 0; channel < inputChannels; ++channel) out[channel % outputChannels] += in[channel];
            for (WORD channel = 0; channel < outputChannels; ++channel) {
                // How many input channels folded into this one.
                WORD folded = static_cast<WORD>((inputChannels - channel + outputChannels - 1) / outputChannels);
                out[channel] /= static_cast<float>(folded);
            }
        }
    }
}

void AudioConverter::Resample(const float* input, size_t frames, std::vector<float>& output) {
    if (resampler == nullptr) {
        output.assign(input, input + frames * outputChannels);
        return;
    }
    // Room for the whole piece at the new rate plus what the filter may release on top.
    size_t room = static_cast<size_t>(std::ceil(static_cast<double>(frames) * outputRate / inputRate)) + 1024;
    size_t consumedTotal = 0;
    for (;;) {
        size_t written = output.size() / outputChannels;
        output.resize((written + room) * outputChannels);
        size_t consumed = 0;
        size_t produced = 0;
        const float* in = input == nullptr ? nullptr : input + consumedTotal * outputChannels;
        soxr_error_t error = soxr_process(resampler, in, frames - consumedTotal, &consumed,
                                          output.data() + written * outputChannels, room, &produced);
        output.resize((written + produced) * outputChannels);
        consumedTotal += consumed;
        if (error != nullptr) return;
        // Input: done once everything is taken and the last call did not fill the room.
        // Flush: done once a call releases nothing more.
        if (input != nullptr ? (consumedTotal >= frames && produced < room) : produced == 0) return;
    }
}

void AudioConverter::ApplyGain(float gain, std::vector<float>& output) const {
    for (float& sample : output) {
        float scaled = sample * gain;
        sample = scaled < -1.0f ? -1.0f : scaled > 1.0f ? 1.0f : scaled;
    }
}
