#include "StreamSink.h"

#include <vector>

#include "AudioFrames.h"
#include "ComRef.h"
#include "StreamFormatQuery.h"

namespace {

/// Writes float frames to an object that takes them as they are.
class FramesSink : public AudioSink {
public:
    FramesSink(ComRef<IEngineAudioFrames> target, DWORD rate, WORD channels)
        : target(std::move(target)), rate(rate), channels(channels) {}

    DWORD SampleRate() const override { return rate; }
    WORD Channels() const override { return channels; }
    HRESULT Write(const float* frames, size_t count) override {
        return target->WriteFrames(frames, static_cast<ULONG>(count));
    }

private:
    ComRef<IEngineAudioFrames> target;
    DWORD rate;
    WORD channels;
};

/// Encodes frames in the stream's wave format and writes the bytes.
class BytesSink : public AudioSink {
public:
    BytesSink(ComRef<ISpStreamFormat> target, const SampleLayout& layout) : target(std::move(target)), layout(layout) {}

    DWORD SampleRate() const override { return layout.samplesPerSec; }
    WORD Channels() const override { return layout.channels; }
    HRESULT Write(const float* frames, size_t count) override {
        bytes.resize(count * layout.BytesPerFrame());
        EncodeSamples(layout, frames, count, bytes.data());
        ULONG written = 0;
        HRESULT hr = target->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        if (FAILED(hr)) return hr;
        return written == bytes.size() ? S_OK : STG_E_MEDIUMFULL;
    }

private:
    ComRef<ISpStreamFormat> target;
    SampleLayout layout;
    std::vector<BYTE> bytes;
};

}  // namespace

HRESULT MakeStreamSink(IUnknown* output, std::unique_ptr<AudioSink>* sink) {
    if (auto frames = QueryRef<IEngineAudioFrames>(output, IID_IEngineAudioFrames)) {
        DWORD rate = 0;
        WORD channels = 0;
        HRESULT hr = frames->GetFrameFormat(&rate, &channels);
        if (FAILED(hr)) return hr;
        if (rate == 0 || channels == 0) return SPERR_UNSUPPORTED_FORMAT;
        *sink = std::make_unique<FramesSink>(std::move(frames), rate, channels);
        return S_OK;
    }
    if (auto stream = QueryRef<ISpStreamFormat>(output, IID_ISpStreamFormat)) {
        SampleLayout layout{};
        HRESULT hr = QueryStreamLayout(stream.Get(), &layout);
        if (FAILED(hr)) return hr;
        *sink = std::make_unique<BytesSink>(std::move(stream), layout);
        return S_OK;
    }
    return SPERR_UNSUPPORTED_FORMAT;
}
