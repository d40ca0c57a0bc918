#include "AudioPipeline.h"

#include "PipelineThread.h"

HRESULT AudioPipeline::Create(const SampleLayout& input, AudioOrigin origin, AudioSink& sink,
                              PipelineControls controls, std::unique_ptr<AudioPipeline>* made) {
    made->reset();
    if (input.bytesPerSample == 0) return SPERR_UNSUPPORTED_FORMAT;
    std::unique_ptr<PipelineStages> stages;
    HRESULT hr =
        PipelineStages::Create(input.samplesPerSec, input.channels, origin, sink, std::move(controls), &stages);
    if (FAILED(hr)) return hr;
    made->reset(new AudioPipeline(input, sink, std::move(stages)));
    return S_OK;
}

AudioPipeline::AudioPipeline(const SampleLayout& input, AudioSink& sink, std::unique_ptr<PipelineStages> stages)
    : input(input), sink(sink), stages(std::move(stages)) {
    if (sink.PlaysInRealTime()) return;
    try {
        thread = std::make_unique<PipelineThread>(*this->stages, input.channels);
    } catch (...) {
        thread.reset();  // no thread to be had: the producer's thread converts
    }
}

AudioPipeline::~AudioPipeline() = default;

float* AudioPipeline::Room(size_t frames) {
    if (thread) return thread->Room(frames);
    if (decoded.size() < frames * input.channels) decoded.resize(frames * input.channels);
    return decoded.data();
}

HRESULT AudioPipeline::Commit(size_t frames) {
    return thread ? thread->Commit(frames) : stages->Convert(decoded.data(), frames);
}

HRESULT AudioPipeline::Write(const void* samples, size_t frames, float level) {
    if (frames == 0) return S_OK;
    float* room = Room(frames);
    DecodeSamples(input, static_cast<const BYTE*>(samples), frames, room);
    // A synthesizer's loudness, in the float stage: nothing is clipped before the gain.
    if (level != 1.0f)
        for (size_t i = 0, count = frames * input.channels; i < count; ++i) room[i] *= level;
    return Commit(frames);
}

HRESULT AudioPipeline::ReadFrom(AudioSource& source, size_t* framesRead) {
    *framesRead = 0;
    size_t got = 0;
    HRESULT hr = S_OK;
    if (input.encoding == SampleLayout::Encoding::Float32) {
        // Floats need no decoding: they are read where the stages take them from.
        hr = source.Read(Room(kReadFrames), kReadFrames, &got);
    } else {
        inputBytes.resize(kReadFrames * input.BytesPerFrame());
        hr = source.Read(inputBytes.data(), kReadFrames, &got);
        if (SUCCEEDED(hr) && got > 0) DecodeSamples(input, inputBytes.data(), got, Room(got));
    }
    if (FAILED(hr)) return hr;
    *framesRead = got;
    return got > 0 ? Commit(got) : S_OK;
}

HRESULT AudioPipeline::Complete(HRESULT produced, bool waitUntilHeard) {
    HRESULT result = produced;
    if (thread) {
        HRESULT converted = thread->ConvertRemaining();
        if (result == S_OK) result = converted;
    } else if (result == S_OK) {
        result = stages->Flush();
    }
    if (result == S_FALSE) {
        sink.Discard();
        return S_OK;
    }
    if (SUCCEEDED(result) && waitUntilHeard) sink.Drain();
    return result;
}
