// The stream object behind CLSID_SpStream: a stream that carries a format, bound either
// to a WAV file or to a base stream it passes bytes on to.
#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#include "AudioFrames.h"
#include "Classes.h"
#include "StreamErrors.h"
#include "engine/ComObject.h"

namespace {

/// A stream object is bound once: to a base stream (bytes pass through, the format is a
/// copy of the one given) or to a WAV file. Until then every data call is refused with
/// SPERR_UNINITIALIZED; after Close with STG_E_REVERTED. Only a file-bound stream offers
/// its audio as float frames.
class SpStream final : public ComObject<ISpStream, IEngineAudioFrames> {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IEngineAudioFrames && !OffersFrames()) {
            if (object != nullptr) *object = nullptr;
            return E_NOINTERFACE;
        }
        return ComObject::QueryInterface(iid, object);
    }

    // ISequentialStream / IStream
    HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
        std::lock_guard<std::mutex> guard(lock);
        if (read != nullptr) *read = 0;
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        return base->Read(buffer, size, read);
    }
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
        std::lock_guard<std::mutex> guard(lock);
        if (written != nullptr) *written = 0;
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        return base->Write(buffer, size, written);
    }
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        return base->Seek(move, origin, newPosition);
    }
    HRESULT SetSize(ULARGE_INTEGER newSize) override {
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        return base->SetSize(newSize);
    }

    // ISpStreamFormat
    HRESULT GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) override {
        if (formatId == nullptr || waveFormat == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> guard(lock);
        *waveFormat = nullptr;
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        if (!format.empty()) {
            auto* block = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(format.size()));
            if (block == nullptr) return E_OUTOFMEMORY;
            std::memcpy(block, format.data(), format.size());
            *waveFormat = block;
        }
        *formatId = this->formatId;
        return S_OK;
    }

    // ISpStream
    HRESULT SetBaseStream(IStream* stream, REFGUID formatId, const WAVEFORMATEX* waveFormat) override {
        if (stream == nullptr) return E_INVALIDARG;
        if (formatId == SPDFID_WaveFormatEx && waveFormat == nullptr) return E_INVALIDARG;
        std::lock_guard<std::mutex> guard(lock);
        if (state != State::Unbound) return SPERR_ALREADY_INITIALIZED;
        format = CopyWaveFormat(waveFormat);
        this->formatId = formatId;
        stream->AddRef();
        base = stream;
        state = State::BaseStream;
        return S_OK;
    }
    HRESULT GetBaseStream(IStream** stream) override {
        if (stream == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> guard(lock);
        *stream = nullptr;
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        base->AddRef();
        *stream = base;
        return S_OK;
    }
    HRESULT BindToFile(LPCWSTR, SPFILEMODE, const GUID*, const WAVEFORMATEX*, ULONGLONG) override {
        std::lock_guard<std::mutex> guard(lock);
        if (state != State::Unbound) return SPERR_ALREADY_INITIALIZED;
        return E_NOTIMPL;
    }
    HRESULT Close() override {
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        ReleaseBacking();
        state = State::Closed;
        return S_OK;
    }

    // IEngineAudioFrames
    HRESULT GetFrameFormat(DWORD*, WORD*) override { return E_NOTIMPL; }
    HRESULT ReadFrames(float*, ULONG, ULONG* framesRead) override {
        if (framesRead != nullptr) *framesRead = 0;
        return E_NOTIMPL;
    }
    HRESULT WriteFrames(const float*, ULONG) override { return E_NOTIMPL; }

private:
    enum class State { Unbound, BaseStream, Closed };

    ~SpStream() override { ReleaseBacking(); }

    bool OffersFrames() { return false; }

    HRESULT RequireBound() const {
        switch (state) {
            case State::Unbound: return SPERR_UNINITIALIZED;
            case State::Closed: return STG_E_REVERTED;
            default: return S_OK;
        }
    }

    static std::vector<unsigned char> CopyWaveFormat(const WAVEFORMATEX* waveFormat) {
        if (waveFormat == nullptr) return {};
        const auto* bytes = reinterpret_cast<const unsigned char*>(waveFormat);
        // Only formats other than PCM carry extra bytes; a PCM block's cbSize is not read.
        size_t size = sizeof(WAVEFORMATEX) + (waveFormat->wFormatTag == WAVE_FORMAT_PCM ? 0 : waveFormat->cbSize);
        std::vector<unsigned char> copy(bytes, bytes + size);
        if (waveFormat->wFormatTag == WAVE_FORMAT_PCM) reinterpret_cast<WAVEFORMATEX*>(copy.data())->cbSize = 0;
        return copy;
    }

    void ReleaseBacking() {
        IStream* released = base;
        base = nullptr;
        if (released != nullptr) released->Release();
    }

    std::mutex lock;
    State state = State::Unbound;
    GUID formatId = GUID_NULL;
    std::vector<unsigned char> format;  // the wave format block, or empty when there is none
    IStream* base = nullptr;
};

}  // namespace

HRESULT CreateSpStream(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    return HandOut(new (std::nothrow) SpStream(), iid, object);
}
