#include "StreamSource.h"

#include <vector>

#include "AudioFrames.h"
#include "ComRef.h"
#include "StreamFormatQuery.h"

namespace {

class FramesSource : public AudioSource {
public:
    FramesSource(ComRef<IEngineAudioFrames> input, DWORD rate, WORD channels)
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
    ComRef<IEngineAudioFrames> input;
    DWORD rate;
    WORD channels;
};

/// Reads whole frames of bytes and decodes them; a partial frame at the very end of the
/// stream is dropped.
class BytesSource : public AudioSource {
public:
    BytesSource(ComRef<ISpStreamFormat> input, const SampleLayout& layout) : input(std::move(input)), layout(layout) {}

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
    ComRef<ISpStreamFormat> input;
    SampleLayout layout;
    std::vector<BYTE> bytes;
};

}  // namespace

HRESULT MakeStreamSource(IUnknown* input, std::unique_ptr<AudioSource>* source) {
    if (input == nullptr) return E_INVALIDARG;
    return MakeStreamEnd<AudioSource, FramesSource, BytesSource>(input, source);
}
