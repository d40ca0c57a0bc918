#include "AudioConverter.h"

#include <algorithm>

AudioConverter::AudioConverter(DWORD inputRate, WORD inputChannels, DWORD outputRate, WORD outputChannels)
    : inputRate(inputRate),
      inputChannels(inputChannels),
      outputRate(outputRate),
      outputChannels(outputChannels),
      resampledChannels(std::min(inputChannels, outputChannels)) {
    if (inputRate == 0 || outputRate == 0 || inputChannels == 0 || outputChannels == 0) {
        ready = false;
        return;
    }
    if (inputRate == outputRate) return;
    soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    resampler = soxr_create(inputRate, outputRate, resampledChannels, &error, &io, &quality, nullptr);
    if (error != nullptr || resampler == nullptr) {
        if (resampler != nullptr) soxr_delete(resampler);
        resampler = nullptr;
        ready = false;
    }
}

AudioConverter::~AudioConverter() {
    if (resampler != nullptr) soxr_delete(resampler);
}

HRESULT AudioConverter::Convert(const float* input, size_t frames, float gain, const FrameHandler& deliver) {
    if (!ready || frames == 0) return S_OK;
    return Resample(FoldChannels(input, frames), frames, gain, deliver);
}

HRESULT AudioConverter::Flush(float gain, const FrameHandler& deliver) {
    if (!ready || resampler == nullptr) return S_OK;
    return Resample(nullptr, 0, gain, deliver);
}

// Many channels fold into fewer by averaging those that land on the same output channel.
const float* AudioConverter::FoldChannels(const float* input, size_t frames) {
    if (inputChannels <= outputChannels) return input;
    folded.assign(frames * outputChannels, 0.0f);
    for (size_t frame = 0; frame < frames; ++frame) {
        const float* in = input + frame * inputChannels;
        float* out = folded.data() + frame * outputChannels;
        for (WORD channel = 0; channel < inputChannels; ++channel) out[channel % outputChannels] += in[channel];
        for (WORD channel = 0; channel < outputChannels; ++channel) {
            // How many input channels folded into this one.
            WORD count = static_cast<WORD>((inputChannels - channel + outputChannels - 1) / outputChannels);
            out[channel] /= static_cast<float>(count);
        }
    }
    return folded.data();
}

HRESULT AudioConverter::Resample(const float* input, size_t frames, float gain, const FrameHandler& deliver) {
    const size_t channels = resampledChannels;
    if (resampler == nullptr) {
        for (size_t at = 0; at < frames; at += kMaxPieceFrames) {
            HRESULT hr = Finish(input + at * channels, std::min(kMaxPieceFrames, frames - at), gain, deliver);
            if (hr != S_OK) return hr;
        }
        return S_OK;
    }
    // Input is offered a little at a time, so that one call never owes more output than a
    // piece holds, even when a file claims a rate of 1 Hz.
    const size_t inputPerCall =
        std::max<size_t>(1, static_cast<size_t>(static_cast<double>(kMaxPieceFrames) * inputRate / outputRate / 2));
    const bool ending = input == nullptr;
    size_t taken = 0;
    resampled.resize(kMaxPieceFrames * channels);
    for (;;) {
        size_t offered = ending ? 0 : std::min(frames - taken, inputPerCall);
        size_t consumed = 0;
        size_t produced = 0;
        soxr_error_t error = soxr_process(resampler, ending ? nullptr : input + taken * channels, offered, &consumed,
                                          resampled.data(), kMaxPieceFrames, &produced);
        if (error != nullptr) return E_FAIL;
        taken += consumed;
        if (produced > 0) {
            HRESULT hr = Finish(resampled.data(), produced, gain, deliver);
            if (hr != S_OK) return hr;
        }
        // Input: done once everything is taken and a call left room unused.
        // The end: done once a call releases nothing more.
        if (ending ? produced == 0 : taken >= frames && produced < kMaxPieceFrames) return S_OK;
    }
}

// One channel spreads to every output channel; equal counts pass through.
HRESULT AudioConverter::Finish(const float* frames, size_t count, float gain, const FrameHandler& deliver) {
    piece.resize(count * outputChannels);
    for (size_t frame = 0; frame < count; ++frame) {
        const float* in = frames + frame * resampledChannels;
        float* out = piece.data() + frame * outputChannels;
        for (WORD channel = 0; channel < outputChannels; ++channel) {
            float scaled = in[channel % resampledChannels] * gain;
            out[channel] = scaled < -1.0f ? -1.0f : scaled > 1.0f ? 1.0f : scaled;
        }
    }
    return deliver(piece.data(), count);
}
