#include "SpStream.h"

#include <cstring>
#include <new>

#include "WaveFormat.h"
#include "engine/CodePoints.h"
#include "engine/linux/com/ClassTable.h"

HRESULT CreateSpStream(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    return HandOverNewObject(SpStream::Create(), iid, object);
}

void RegisterStreamClasses() { RegisterCreatableClass(CLSID_SpStream, &CreateSpStream); }

SpStream* SpStream::Create() { return new (std::nothrow) SpStream(); }

SpStream::~SpStream() { ReleaseBacking(); }

HRESULT SpStream::QueryInterface(REFIID iid, void** object) {
    if (iid == IID_IEngineAudioFrames && !OffersFrames()) {
        if (object != nullptr) *object = nullptr;
        return E_NOINTERFACE;
    }
    return ComObject::QueryInterface(iid, object);
}

HRESULT SpStream::Read(void* buffer, ULONG size, ULONG* read) {
    std::lock_guard<std::mutex> guard(lock);
    if (HRESULT hr = BeginTransfer(false, buffer, size, read); FAILED(hr)) return hr;
    return state == State::File ? fileBytes.Read(*reader, buffer, size, read) : base->Read(buffer, size, read);
}

HRESULT SpStream::Write(const void* buffer, ULONG size, ULONG* written) {
    std::lock_guard<std::mutex> guard(lock);
    if (HRESULT hr = BeginTransfer(true, buffer, size, written); FAILED(hr)) return hr;
    return state == State::File ? fileBytes.Write(*writer, buffer, size, written) : base->Write(buffer, size, written);
}

HRESULT SpStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
    std::lock_guard<std::mutex> guard(lock);
    if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
    if (state == State::File) {
        if (HRESULT hr = RequireFileBytes(writer != nullptr); FAILED(hr)) return hr;
        return writer ? fileBytes.Seek(*writer, move.QuadPart, origin, newPosition)
                      : fileBytes.Seek(*reader, move.QuadPart, origin, newPosition);
    }
    return base->Seek(move, origin, newPosition);
}

HRESULT SpStream::SetSize(ULARGE_INTEGER newSize) {
    std::lock_guard<std::mutex> guard(lock);
    if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
    // A WAV file's size follows from what is written into it.
    if (state == State::File) return STG_E_INVALIDFUNCTION;
    return base->SetSize(newSize);
}

HRESULT SpStream::GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) {
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

HRESULT SpStream::SetBaseStream(IStream* stream, REFGUID formatId, const WAVEFORMATEX* waveFormat) {
    if (stream == nullptr) return E_INVALIDARG;
    if (formatId == SPDFID_WaveFormatEx && waveFormat == nullptr) return E_INVALIDARG;
    std::lock_guard<std::mutex> guard(lock);
    if (state != State::Unbound) return SPERR_ALREADY_INITIALIZED;
    format = waveformat::CopyBlock(waveFormat);
    this->formatId = formatId;
    base = InterfaceHolder<IStream>::Share(stream);
    state = State::BaseStream;
    return S_OK;
}

HRESULT SpStream::GetBaseStream(IStream** stream) {
    if (stream == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> guard(lock);
    *stream = nullptr;
    if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
    if (base.IsEmpty()) return S_FALSE;  // a file-bound stream has no base stream
    *stream = base.NewReference();
    return S_OK;
}

HRESULT SpStream::BindToFile(LPCWSTR fileName, SPFILEMODE mode, const GUID* formatId, const WAVEFORMATEX* waveFormat,
                             ULONGLONG /*eventInterest: a file stream carries no events*/) {
    if (fileName == nullptr || fileName[0] == 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> guard(lock);
    if (state != State::Unbound) return SPERR_ALREADY_INITIALIZED;

    const std::string path = Utf16ToUtf8(fileName);
    switch (mode) {
        case SPFM_OPEN_READONLY:
            if (HRESULT hr = WavReader::Open(path, &reader); FAILED(hr)) return hr;
            format = reader->FormatBlock();
            break;
        case SPFM_CREATE:
        case SPFM_CREATE_ALWAYS:
            if (formatId == nullptr || waveFormat == nullptr) return E_INVALIDARG;
            // Only audio can go into a WAV file.
            if (*formatId != SPDFID_WaveFormatEx) return SPERR_UNSUPPORTED_FORMAT;
            if (HRESULT hr = WavWriter::Create(path, *waveFormat, mode == SPFM_CREATE, &writer); FAILED(hr)) return hr;
            format = writer->FormatBlock();
            break;
        default:
            // Reading and writing one file at once is not offered.
            return E_NOTIMPL;
    }
    this->formatId = SPDFID_WaveFormatEx;
    state = State::File;
    return S_OK;
}

HRESULT SpStream::Close() {
    std::lock_guard<std::mutex> guard(lock);
    if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
    // A file tells here whether everything written, and its header, reached the disk.
    HRESULT hr = writer ? writer->Finish() : S_OK;
    ReleaseBacking();
    state = State::Closed;
    return hr;
}

HRESULT SpStream::GetFrameFormat(DWORD* samplesPerSec, WORD* channels) {
    if (samplesPerSec == nullptr || channels == nullptr) return E_POINTER;
    std::lock_guard<std::mutex> guard(lock);
    if (HRESULT hr = RequireFile(); FAILED(hr)) return hr;
    *samplesPerSec = reader ? reader->SampleRate() : writer->SampleRate();
    *channels = reader ? reader->Channels() : writer->Channels();
    return S_OK;
}

HRESULT SpStream::ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead) {
    if (framesRead != nullptr) *framesRead = 0;
    std::lock_guard<std::mutex> guard(lock);
    if (HRESULT hr = RequireFile(); FAILED(hr)) return hr;
    if (reader == nullptr) return STG_E_ACCESSDENIED;
    if (interleaved == nullptr && frames > 0) return E_POINTER;
    fileBytes.Drop();  // frames move the file on: a frame the byte calls split is gone
    return reader->ReadFrames(interleaved, frames, framesRead);
}

HRESULT SpStream::WriteFrames(const float* interleaved, ULONG frames) {
    std::lock_guard<std::mutex> guard(lock);
    if (HRESULT hr = RequireFile(); FAILED(hr)) return hr;
    if (writer == nullptr) return STG_E_ACCESSDENIED;
    if (interleaved == nullptr && frames > 0) return E_POINTER;
    fileBytes.Drop();  // frames move the file on: a frame the byte calls split is gone
    return writer->WriteFrames(interleaved, frames);
}

// Decided when the interface is asked for: only a stream bound to a file offers frames.
bool SpStream::OffersFrames() {
    std::lock_guard<std::mutex> guard(lock);
    return state == State::File;
}

HRESULT SpStream::RequireFile() const {
    if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
    return state == State::File ? S_OK : E_NOINTERFACE;
}

HRESULT SpStream::RequireBound() const {
    switch (state) {
        case State::Unbound: return SPERR_UNINITIALIZED;
        case State::Closed: return STG_E_REVERTED;
        default: return S_OK;
    }
}

HRESULT SpStream::BeginTransfer(bool forWriting, const void* buffer, ULONG size, ULONG* transferred) const {
    if (transferred != nullptr) *transferred = 0;
    if (HRESULT hr = RequireBound(); FAILED(hr)) return hr;
    if (state != State::File) return S_OK;  // the base stream checks for itself
    if (HRESULT hr = RequireFileBytes(forWriting); FAILED(hr)) return hr;
    return buffer == nullptr && size > 0 ? STG_E_INVALIDPOINTER : S_OK;
}

HRESULT SpStream::RequireFileBytes(bool forWriting) const {
    size_t frameBytes = reader ? reader->RawFrameBytes() : writer->RawFrameBytes();
    if (frameBytes == 0) return SPERR_UNSUPPORTED_FORMAT;
    if (forWriting != (writer != nullptr)) return STG_E_ACCESSDENIED;
    return S_OK;
}

// Closing a file written completes it: its header sizes become final.
void SpStream::ReleaseBacking() {
    reader.reset();
    writer.reset();
    fileBytes.Drop();
    base.Clear();
}
