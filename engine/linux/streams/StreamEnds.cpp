#include "StreamEnds.h"

#include <vector>

#include "AudioFrames.h"
#include "WaveFormat.h"
#include "engine/InterfaceHolder.h"

namespace {

/// Writes float frames to an object that takes them as they are.
class FramesSink : public AudioSink {
public:
    FramesSink(InterfaceHolder<IEngineAudioFrames> target, DWORD rate, WORD channels)
        : target(std::move(target)), rate(rate), channels(channels) {}

    DWORD SampleRate() const override { return rate; }
    WORD Channels() const override { return channels; }
    HRESULT Write(const float* frames, size_t count) override {
        return target->WriteFrames(frames, static_cast<ULONG>(count));
    }

private:
    InterfaceHolder<IEngineAudioFrames> target;
    DWORD rate;
    WORD channels;
};

/// Reads float frames from an object that offers them.
class FramesSource : public AudioSource {
public:
    FramesSource(InterfaceHolder<IEngineAudioFrames> input, DWORD rate, WORD channels)
        : input(std::move(input)), rate(rate), channels(channels) {}

    DWORD SampleRate() const override { return rate; }
    WORD Channels() const override { return channels; }
    HRESULT Read(float* interleaved, size_t frames, size_t* framesRead) override {
        ULONG got = 0;
        HRESULT hr = input->ReadFrames(interleaved, static_cast<ULONG>(frames), &got);
        *framesRead = FAILED(hr) ? 0 : got;
        return hr;
    }

private:
    InterfaceHolder<IEngineAudioFrames> input;
    DWORD rate;
    WORD channels;
};

/// Encodes frames in the stream's wave format and writes the bytes.
class BytesSink : public AudioSink {
public:
    BytesSink(InterfaceHolder<ISpStreamFormat> target, const SampleLayout& layout)
        : target(std::move(target)), layout(layout) {}

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
    InterfaceHolder<ISpStreamFormat> target;
    SampleLayout layout;
    std::vector<BYTE> bytes;
};

/// Reads whole frames of bytes and decodes them; a partial frame at the very end of the
/// stream is dropped.
class BytesSource : public AudioSource {
public:
    BytesSource(InterfaceHolder<ISpStreamFormat> input, const SampleLayout& layout)
        : input(std::move(input)), layout(layout) {}

    DWORD SampleRate() const override { return layout.samplesPerSec; }
    WORD Channels() const override { return layout.channels; }
    HRESULT Read(float* interleaved, size_t frames, size_t* framesRead) override {
        *framesRead = 0;
        size_t frameBytes = layout.BytesPerFrame();
        size_t wanted = frames * frameBytes;
        if (bytes.size() < wanted) bytes.resize(wanted);
        size_t filled = 0;
        // A stream may hand out fewer bytes than asked before its end; only an empty read ends it.
        while (filled < wanted) {
            ULONG got = 0;
            HRESULT hr = input->Read(bytes.data() + filled, static_cast<ULONG>(wanted - filled), &got);
            if (FAILED(hr)) return hr;
            if (got == 0) break;
            filled += got;
        }
        size_t whole = filled / frameBytes;
        DecodeSamples(layout, bytes.data(), whole, interleaved);
        *framesRead = whole;
        return S_OK;
    }

private:
    InterfaceHolder<ISpStreamFormat> input;
    SampleLayout layout;
    std::vector<BYTE> bytes;
};

/// Frames when the object offers them, whatever its codec; else its bytes in its wave
/// format; anything else is SPERR_UNSUPPORTED_FORMAT.
template <class Base, class FramesEnd, class BytesEnd>
HRESULT MakeStreamEnd(IUnknown* object, std::unique_ptr<Base>* made) {
    if (auto frames = InterfaceHolder<IEngineAudioFrames>::Query(object, IID_IEngineAudioFrames); !frames.IsEmpty()) {
        DWORD rate = 0;
        WORD channels = 0;
        HRESULT hr = frames->GetFrameFormat(&rate, &channels);
        if (FAILED(hr)) return hr;
        if (rate == 0 || channels == 0) return SPERR_UNSUPPORTED_FORMAT;
        *made = std::make_unique<FramesEnd>(std::move(frames), rate, channels);
        return S_OK;
    }
    if (auto stream = InterfaceHolder<ISpStreamFormat>::Query(object, IID_ISpStreamFormat); !stream.IsEmpty()) {
        SampleLayout layout{};
        HRESULT hr = QueryStreamLayout(stream.Get(), &layout);
        if (FAILED(hr)) return hr;
        *made = std::make_unique<BytesEnd>(std::move(stream), layout);
        return S_OK;
    }
    return SPERR_UNSUPPORTED_FORMAT;
}

}  // namespace

HRESULT MakeStreamSink(IUnknown* output, std::unique_ptr<AudioSink>* sink) {
    return MakeStreamEnd<AudioSink, FramesSink, BytesSink>(output, sink);
}

HRESULT MakeStreamSource(IUnknown* input, std::unique_ptr<AudioSource>* source) {
    if (input == nullptr) return E_INVALIDARG;
    return MakeStreamEnd<AudioSource, FramesSource, BytesSource>(input, source);
}

HRESULT QueryStreamLayout(ISpStreamFormat* stream, SampleLayout* layout) {
    GUID formatId = GUID_NULL;
    WAVEFORMATEX* waveFormat = nullptr;
    HRESULT hr = stream->GetFormat(&formatId, &waveFormat);
    std::optional<SampleLayout> found;
    if (SUCCEEDED(hr) && formatId == SPDFID_WaveFormatEx && waveFormat != nullptr)
        found = waveformat::LayoutOf(*waveFormat);
    CoTaskMemFree(waveFormat);
    if (FAILED(hr)) return hr;
    if (!found) return SPERR_UNSUPPORTED_FORMAT;
    *layout = *found;
    return S_OK;
}
