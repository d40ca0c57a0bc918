#include "StreamSources.h"

#include "AudioFrames.h"
#include "StreamLayout.h"
#include "engine/InterfaceHolder.h"

namespace {

/// Reads float frames from an object that offers them.
class FramesSource : public AudioSource {
public:
    FramesSource(InterfaceHolder<IEngineAudioFrames> input, DWORD rate, WORD channels)
        : input(std::move(input)), layout{SampleLayout::Encoding::Float32, channels, rate, sizeof(float)} {}

    SampleLayout Layout() const override { return layout; }
    HRESULT Read(void* samples, size_t frames, size_t* framesRead) override {
        ULONG got = 0;
        HRESULT hr = input->ReadFrames(static_cast<float*>(samples), static_cast<ULONG>(frames), &got);
        *framesRead = FAILED(hr) ? 0 : got;
        return hr;
    }

private:
    InterfaceHolder<IEngineAudioFrames> input;
    SampleLayout layout;
};

/// Reads whole frames of bytes; a partial frame at the very end of the stream is dropped.
class BytesSource : public AudioSource {
public:
    BytesSource(InterfaceHolder<ISpStreamFormat> input, const SampleLayout& layout)
        : input(std::move(input)), layout(layout) {}

    SampleLayout Layout() const override { return layout; }
    HRESULT Read(void* samples, size_t frames, size_t* framesRead) override {
        *framesRead = 0;
        auto* bytes = static_cast<BYTE*>(samples);
        const size_t wanted = frames * layout.BytesPerFrame();
        size_t filled = 0;
        // A stream may hand out fewer bytes than asked before its end; only an empty read ends it.
        while (filled < wanted) {
            ULONG got = 0;
            HRESULT hr = input->Read(bytes + filled, static_cast<ULONG>(wanted - filled), &got);
            if (FAILED(hr)) return hr;
            if (got == 0) break;
            filled += got;
        }
        *framesRead = filled / layout.BytesPerFrame();
        return S_OK;
    }

private:
    InterfaceHolder<ISpStreamFormat> input;
    SampleLayout layout;
};

}  // namespace

HRESULT MakeStreamSource(IUnknown* input, std::unique_ptr<AudioSource>* source) {
    if (input == nullptr) return E_INVALIDARG;
    if (auto frames = InterfaceHolder<IEngineAudioFrames>::Query(input, IID_IEngineAudioFrames); !frames.IsEmpty()) {
        DWORD rate = 0;
        WORD channels = 0;
        if (HRESULT hr = QueryFrameFormat(frames.Get(), &rate, &channels); FAILED(hr)) return hr;
        *source = std::make_unique<FramesSource>(std::move(frames), rate, channels);
        return S_OK;
    }
    if (auto stream = InterfaceHolder<ISpStreamFormat>::Query(input, IID_ISpStreamFormat); !stream.IsEmpty()) {
        SampleLayout layout{};
        HRESULT hr = QueryStreamLayout(stream.Get(), &layout);
        if (FAILED(hr)) return hr;
        *source = std::make_unique<BytesSource>(std::move(stream), layout);
        return S_OK;
    }
    return SPERR_UNSUPPORTED_FORMAT;
}
