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
    for (WORD channel = 0; channel < outputChannels && inputChannels > outputChannels; ++channel)
        foldCounts.push_back(static_cast<float>((inputChannels - channel + outputChannels - 1) / outputChannels));
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

// Many channels fold into fewer by averaging those that land on the same output channel:
// input channel c lands on output channel c modulo the output's count.
const float* AudioConverter::FoldChannels(const float* input, size_t frames) {
    if (inputChannels <= outputChannels) return input;
    folded.resize(frames * outputChannels);
    if (inputChannels == 2 && outputChannels == 1) {
        // Stereo into mono, the common case, in a loop the compiler can vectorise.
        float* out = folded.data();
        for (size_t frame = 0; frame < frames; ++frame) out[frame] = (input[2 * frame] + input[2 * frame + 1]) / 2.0f;
        return out;
    }
    for (size_t frame = 0; frame < frames; ++frame) {
        const float* in = input + frame * inputChannels;
        float* out = folded.data() + frame * outputChannels;
        for (WORD channel = 0; channel < outputChannels; ++channel) out[channel] = in[channel];
        for (WORD channel = outputChannels, to = 0; channel < inputChannels; ++channel) {
            out[to] += in[channel];
            if (++to == outputChannels) to = 0;
        }
        for (WORD channel = 0; channel < outputChannels; ++channel) out[channel] /= foldCounts[channel];
    }
    return folded.data();
}

size_t AudioConverter::InputFramesPerPiece() const {
    if (resampler == nullptr || outputRate == 0) return kMaxPieceFrames;
    // Input is offered a little at a time, so that one call never owes more output than a
    // piece holds, even when a file claims a rate of 1 Hz.
    return std::max<size_t>(1, static_cast<size_t>(static_cast<double>(kMaxPieceFrames) * inputRate / outputRate / 2));
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
    const size_t inputPerCall = InputFramesPerPiece();
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
    auto scale = [gain](float sample) {
        float scaled = sample * gain;
        return scaled < -1.0f ? -1.0f : scaled > 1.0f ? 1.0f : scaled;
    };
    if (resampledChannels == outputChannels) {
        for (size_t i = 0; i < count * outputChannels; ++i) piece[i] = scale(frames[i]);
    } else {
        for (size_t frame = 0; frame < count; ++frame) {
            const float* in = frames + frame * resampledChannels;
            float* out = piece.data() + frame * outputChannels;
            for (WORD channel = 0, from = 0; channel < outputChannels; ++channel) {
                out[channel] = scale(in[from]);
                if (++from == resampledChannels) from = 0;
            }
        }
    }
    return deliver(piece.data(), count);
}
