#include "StreamSinks.h"

#include "AudioFrames.h"
#include "StreamLayout.h"
#include "engine/InterfaceHolder.h"

namespace {

/// Writes encoded bytes to a stream.
class BytesSink : public AudioSink {
public:
    BytesSink(InterfaceHolder<ISpStreamFormat> target, const SampleLayout& layout)
        : target(std::move(target)), layout(layout) {}

    SampleLayout Layout() const override { return layout; }
    HRESULT Write(const void* samples, size_t frames) override {
        const auto size = static_cast<ULONG>(frames * layout.BytesPerFrame());
        ULONG written = 0;
        HRESULT hr = target->Write(samples, size, &written);
        if (FAILED(hr)) return hr;
        return written == size ? S_OK : STG_E_MEDIUMFULL;
    }

private:
    InterfaceHolder<ISpStreamFormat> target;
    SampleLayout layout;
};

/// Writes float frames to an object that takes them as they are.
class FramesSink : public AudioSink {
public:
    FramesSink(InterfaceHolder<IEngineAudioFrames> target, DWORD rate, WORD channels)
        : target(std::move(target)), layout{SampleLayout::Encoding::Float32, channels, rate, sizeof(float)} {}

    SampleLayout Layout() const override { return layout; }
    HRESULT Write(const void* samples, size_t frames) override {
        return target->WriteFrames(static_cast<const float*>(samples), static_cast<ULONG>(frames));
    }

private:
    InterfaceHolder<IEngineAudioFrames> target;
    SampleLayout layout;
};

}  // namespace

HRESULT MakeStreamSink(IUnknown* output, std::unique_ptr<AudioSink>* sink) {
    HRESULT bytesResult = SPERR_UNSUPPORTED_FORMAT;
    if (auto stream = InterfaceHolder<ISpStreamFormat>::Query(output, IID_ISpStreamFormat); !stream.IsEmpty()) {
        SampleLayout layout{};
        bytesResult = QueryStreamLayout(stream.Get(), &layout);
        if (SUCCEEDED(bytesResult)) {
            *sink = std::make_unique<BytesSink>(std::move(stream), layout);
            return S_OK;
        }
    }
    if (auto frames = InterfaceHolder<IEngineAudioFrames>::Query(output, IID_IEngineAudioFrames); !frames.IsEmpty()) {
        DWORD rate = 0;
        WORD channels = 0;
        if (HRESULT hr = QueryFrameFormat(frames.Get(), &rate, &channels); FAILED(hr)) return hr;
        *sink = std::make_unique<FramesSink>(std::move(frames), rate, channels);
        return S_OK;
    }
    return bytesResult;
}
