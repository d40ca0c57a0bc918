#include "PipelineStages.h"

#include <algorithm>
#include <cstring>

namespace {

/// Scales samples in place and clips them to -1..1, in a loop the compiler can vectorise.
void ApplyGain(float* samples, size_t count, float gain) {
    for (size_t i = 0; i < count; ++i) {
        float scaled = samples[i] * gain;
        scaled = scaled < -1.0f ? -1.0f : scaled;
        samples[i] = scaled > 1.0f ? 1.0f : scaled;
    }
}

/// Widens encoded frames of `from` channels to `to` in place, from the last frame back so
/// that nothing is overwritten before it is read: output channel c repeats input channel
/// c modulo `from`.
void SpreadChannels(BYTE* bytes, size_t frames, size_t from, size_t to, size_t sampleBytes) {
    for (size_t frame = frames; frame-- > 0;) {
        const BYTE* in = bytes + frame * from * sampleBytes;
        BYTE* out = bytes + frame * to * sampleBytes;
        for (size_t channel = to; channel-- > 0;)
            std::memmove(out + channel * sampleBytes, in + channel % from * sampleBytes, sampleBytes);
    }
}

}  // namespace

HRESULT PipelineStages::Create(DWORD inputRate, WORD inputChannels, AudioOrigin origin, AudioSink& sink,
                               PipelineControls controls, std::unique_ptr<PipelineStages>* made) {
    made->reset();
    SampleLayout output = sink.Layout();
    if (inputRate == 0 || inputChannels == 0 || output.samplesPerSec == 0 || output.channels == 0 ||
        output.bytesPerSample == 0)
        return SPERR_UNSUPPORTED_FORMAT;
    std::unique_ptr<PipelineStages> stages(new PipelineStages(inputRate, inputChannels, sink, std::move(controls)));
    if (inputRate != output.samplesPerSec) {
        soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
        soxr_quality_spec_t quality = soxr_quality_spec(origin == AudioOrigin::Synthesized ? SOXR_MQ : SOXR_HQ, 0);
        soxr_error_t error = nullptr;
        stages->resampler = soxr_create(inputRate, output.samplesPerSec, stages->resampledChannels, &error, &io,
                                        &quality, nullptr);
        if (error != nullptr || stages->resampler == nullptr) return SPERR_UNSUPPORTED_FORMAT;
    }
    if (stages->controls.speed > 0 && stages->controls.speed != 1.0f) {
        stages->timeScaler = sonicCreateStream(static_cast<int>(inputRate), stages->resampledChannels);
        if (stages->timeScaler == nullptr) return E_OUTOFMEMORY;
        sonicSetSpeed(stages->timeScaler, stages->controls.speed);
    }
    *made = std::move(stages);
    return S_OK;
}

PipelineStages::PipelineStages(DWORD inputRate, WORD inputChannels, AudioSink& sink, PipelineControls controls)
    : inputRate(inputRate),
      inputChannels(inputChannels),
      sink(sink),
      output(sink.Layout()),
      resampledChannels(std::min(inputChannels, output.channels)),
      controls(std::move(controls)) {
    const bool folds = inputChannels > output.channels;
    const bool resamples = inputRate != output.samplesPerSec;
    path = resamples ? (folds ? Path::FoldAndResample : Path::Resample) : (folds ? Path::Fold : Path::GainOnly);
    for (WORD channel = 0; folds && channel < output.channels; ++channel)
        foldCounts.push_back(static_cast<float>((inputChannels - channel + output.channels - 1) / output.channels));
}

PipelineStages::~PipelineStages() {
    if (resampler != nullptr) soxr_delete(resampler);
    if (timeScaler != nullptr) sonicDestroyStream(timeScaler);
}

HRESULT PipelineStages::Convert(float* decoded, size_t frames) {
    if (frames == 0) return S_OK;
    float* input = path == Path::Fold || path == Path::FoldAndResample ? FoldChannels(decoded, frames) : decoded;
    return timeScaler != nullptr ? TimeScale(input, frames) : Onward(input, frames);
}

HRESULT PipelineStages::Onward(float* input, size_t frames) {
    if (resampler != nullptr) return Resample(input, frames);
    for (size_t at = 0; at < frames; at += kMaxPieceFrames) {
        HRESULT hr = Emit(input + at * resampledChannels, std::min(kMaxPieceFrames, frames - at));
        if (hr != S_OK) return hr;
    }
    return S_OK;
}

HRESULT PipelineStages::TimeScale(float* input, size_t frames) {
    // In pieces, so that what sonic holds for one call stays small.
    for (size_t at = 0; input == nullptr || at < frames; at += kMaxPieceFrames) {
        if (input == nullptr) {
            sonicFlushStream(timeScaler);
        } else {
            int count = static_cast<int>(std::min(kMaxPieceFrames, frames - at));
            if (!sonicWriteFloatToStream(timeScaler, input + at * resampledChannels, count)) return E_OUTOFMEMORY;
        }
        timeScaled.resize(kMaxPieceFrames * resampledChannels);
        for (;;) {
            int got = sonicReadFloatFromStream(timeScaler, timeScaled.data(), static_cast<int>(kMaxPieceFrames));
            if (got <= 0) break;
            HRESULT hr = Onward(timeScaled.data(), static_cast<size_t>(got));
            if (hr != S_OK) return hr;
        }
        if (input == nullptr) return S_OK;
    }
    return S_OK;
}

HRESULT PipelineStages::Flush() {
    if (timeScaler != nullptr) {
        HRESULT hr = TimeScale(nullptr, 0);
        if (hr != S_OK) return hr;
    }
    return resampler != nullptr ? Resample(nullptr, 0) : S_OK;
}

// Many channels fold into fewer by averaging those that land on the same output channel:
// input channel c lands on output channel c modulo the output's count.
float* PipelineStages::FoldChannels(const float* input, size_t frames) {
    const WORD outputChannels = output.channels;
    folded.resize(frames * outputChannels);
    float* out = folded.data();
    if (inputChannels == 2 && outputChannels == 1) {
        // Stereo into mono, the common case, in a loop the compiler can vectorise.
        for (size_t frame = 0; frame < frames; ++frame) out[frame] = (input[2 * frame] + input[2 * frame + 1]) / 2.0f;
        return out;
    }
    for (size_t frame = 0; frame < frames; ++frame) {
        const float* in = input + frame * inputChannels;
        float* to = out + frame * outputChannels;
        for (WORD channel = 0; channel < outputChannels; ++channel) to[channel] = in[channel];
        for (WORD channel = outputChannels, into = 0; channel < inputChannels; ++channel) {
            to[into] += in[channel];
            if (++into == outputChannels) into = 0;
        }
        for (WORD channel = 0; channel < outputChannels; ++channel) to[channel] /= foldCounts[channel];
    }
    return out;
}

size_t PipelineStages::InputFramesPerPiece() const {
    if (resampler == nullptr) return kMaxPieceFrames;
    // Input is offered a little at a time, so that one call never owes more output than a
    // piece holds, even when a file claims a rate of 1 Hz.
    return std::max<size_t>(
        1, static_cast<size_t>(static_cast<double>(kMaxPieceFrames) * inputRate / output.samplesPerSec / 2));
}

HRESULT PipelineStages::Resample(const float* input, size_t frames) {
    const size_t channels = resampledChannels;
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
            HRESULT hr = Emit(resampled.data(), produced);
            if (hr != S_OK) return hr;
        }
        // Input: done once everything is taken and a call left room unused.
        // The end: done once a call releases nothing more.
        if (ending ? produced == 0 : taken >= frames && produced < kMaxPieceFrames) return S_OK;
    }
}

HRESULT PipelineStages::Emit(float* frames, size_t count) {
    ApplyGain(frames, count * resampledChannels, controls.gain());
    encoded.resize((count * output.BytesPerFrame() + sizeof(float) - 1) / sizeof(float));
    auto* bytes = reinterpret_cast<BYTE*>(encoded.data());
    SampleLayout narrow = output;
    narrow.channels = resampledChannels;
    EncodeSamples(narrow, frames, count, bytes);
    if (resampledChannels < output.channels)
        SpreadChannels(bytes, count, resampledChannels, output.channels, output.bytesPerSample);
    return WriteOut(count);
}

HRESULT PipelineStages::WriteOut(size_t count) {
    const auto* bytes = reinterpret_cast<const BYTE*>(encoded.data());
    const size_t frameBytes = output.BytesPerFrame();
    const size_t piece = sink.PieceFrames() != 0 ? sink.PieceFrames() : count;
    for (size_t at = 0; at < count; at += piece) {
        if (controls.cancelled()) return S_FALSE;
        HRESULT hr = sink.Write(bytes + at * frameBytes, std::min(piece, count - at));
        if (FAILED(hr)) return hr;
    }
    return controls.cancelled() ? S_FALSE : S_OK;
}
