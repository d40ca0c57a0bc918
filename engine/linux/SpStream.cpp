// The stream object behind CLSID_SpStream: a stream that carries a format, bound either
// to a WAV file or to a base stream it passes bytes on to.
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "AudioFrames.h"
#include "Classes.h"
#include "StreamErrors.h"
#include "Utf8Text.h"
#include "WavFile.h"
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
        if (file) return file->ReadBytes(buffer, size, read);
        return base->Read(buffer, size, read);
    }
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override {
        std::lock_guard<std::mutex> guard(lock);
        if (written != nullptr) *written = 0;
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        if (file) return file->WriteBytes(buffer, size, written);
        return base->Write(buffer, size, written);
    }
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        if (file) return file->SeekBytes(move.QuadPart, origin, newPosition);
        return base->Seek(move, origin, newPosition);
    }
    HRESULT SetSize(ULARGE_INTEGER newSize) override {
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        // A WAV file's size follows from what is written into it.
        if (file) return STG_E_INVALIDFUNCTION;
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
        if (base == nullptr) return S_FALSE;  // a file-bound stream has no base stream
        base->AddRef();
        *stream = base;
        return S_OK;
    }
    HRESULT BindToFile(LPCWSTR fileName, SPFILEMODE mode, const GUID* formatId, const WAVEFORMATEX* waveFormat,
                       ULONGLONG /*eventInterest: a file stream carries no events*/) override {
        if (fileName == nullptr || fileName[0] == 0) return E_INVALIDARG;
        std::lock_guard<std::mutex> guard(lock);
        if (state != State::Unbound) return SPERR_ALREADY_INITIALIZED;

        const std::string path = Utf16ToUtf8(fileName);
        std::unique_ptr<WavFile> opened;
        HRESULT hr = S_OK;
        switch (mode) {
            case SPFM_OPEN_READONLY:
                hr = WavFile::Open(path, &opened);
                break;
            case SPFM_CREATE:
            case SPFM_CREATE_ALWAYS:
                if (formatId == nullptr || waveFormat == nullptr) return E_INVALIDARG;
                // Only audio can go into a WAV file.
                if (*formatId != SPDFID_WaveFormatEx) return SPERR_UNSUPPORTED_FORMAT;
                hr = WavFile::Create(path, *waveFormat, mode == SPFM_CREATE, &opened);
                break;
            default:
                // Reading and writing one file at once is not offered.
                return E_NOTIMPL;
        }
        if (FAILED(hr)) return hr;

        file = std::move(opened);
        format = file->FormatBlock();
        this->formatId = SPDFID_WaveFormatEx;
        state = State::File;
        return S_OK;
    }
    HRESULT Close() override {
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        ReleaseBacking();
        state = State::Closed;
        return S_OK;
    }

    // IEngineAudioFrames
    HRESULT GetFrameFormat(DWORD* samplesPerSec, WORD* channels) override {
        if (samplesPerSec == nullptr || channels == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireFile(); FAILED(hr)) return hr;
        *samplesPerSec = file->SampleRate();
        *channels = file->Channels();
        return S_OK;
    }
    HRESULT ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead) override {
        if (framesRead != nullptr) *framesRead = 0;
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireFile(); FAILED(hr)) return hr;
        return file->ReadFrames(interleaved, frames, framesRead);
    }
    HRESULT WriteFrames(const float* interleaved, ULONG frames) override {
        std::lock_guard<std::mutex> guard(lock);
        if (HRESULT hr = RequireFile(); FAILED(hr)) return hr;
        return file->WriteFrames(interleaved, frames);
    }

private:
    enum class State { Unbound, BaseStream, File, Closed };

    ~SpStream() override { ReleaseBacking(); }

    // Decided when the interface is asked for: only a stream bound to a file offers frames.
    bool OffersFrames() {
        std::lock_guard<std::mutex> guard(lock);
        return state == State::File;
    }

    HRESULT RequireFile() const {
        if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
        return file ? S_OK : E_NOINTERFACE;
    }

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

    // Closing the file completes it: its header sizes become final.
    void ReleaseBacking() {
        file.reset();
        IStream* released = base;
        base = nullptr;
        if (released != nullptr) released->Release();
    }

    std::mutex lock;
    State state = State::Unbound;
    GUID formatId = GUID_NULL;
    std::vector<unsigned char> format;  // the wave format block, or empty when there is none
    IStream* base = nullptr;
    std::unique_ptr<WavFile> file;
};

}  // namespace

HRESULT CreateSpStream(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    return HandOut(new (std::nothrow) SpStream(), iid, object);
}
