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
    return MakeStreamEnd<AudioSink, FramesSink, BytesSink>(output, sink);
}
