#include "FakeStream.h"

#include <algorithm>
#include <cstring>

std::vector<BYTE> WaveFormatBytes(const WAVEFORMATEX* format) {
    if (format == nullptr) return {};
    const auto* bytes = reinterpret_cast<const BYTE*>(format);
    return std::vector<BYTE>(bytes, bytes + sizeof(WAVEFORMATEX) + format->cbSize);
}

void FakeStream::Record(const char* method) {
    if (onCall) onCall(method);
    calls.push_back(method);
}

FakeStream::~FakeStream() {
    if (baseStream) baseStream->Release();
}

HRESULT FakeStream::Read(void* buffer, ULONG size, ULONG* read) {
    Record("Read");
    ULONGLONG available = position < content.size() ? content.size() - position : 0;
    auto count = static_cast<ULONG>(std::min<ULONGLONG>({available, size, readChunkLimit}));
    if (count > 0) std::memcpy(buffer, content.data() + position, count);
    position += count;
    if (read) *read = count;
    reads.push_back({size, count});
    return readResult;
}

HRESULT FakeStream::Write(const void* buffer, ULONG size, ULONG* written) {
    Record("Write");
    const auto* bytes = static_cast<const BYTE*>(buffer);
    content.insert(content.end(), bytes, bytes + size);
    position = content.size();
    if (written) *written = size;
    return writeResult;
}

HRESULT FakeStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
    Record("Seek");
    seeks.push_back({move.QuadPart, origin, newPosition != nullptr});
    if (FAILED(seekResult)) return seekResult;
    LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                    : origin == STREAM_SEEK_CUR ? static_cast<LONGLONG>(position)
                                                : static_cast<LONGLONG>(content.size());
    position = static_cast<ULONGLONG>(std::max<LONGLONG>(0, base + move.QuadPart));
    if (newPosition) newPosition->QuadPart = position;
    return seekResult;
}

HRESULT FakeStream::SetSize(ULARGE_INTEGER newSize) {
    Record("SetSize");
    content.resize(static_cast<size_t>(newSize.QuadPart));
    return S_OK;
}

HRESULT FakeStream::GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) {
    if (onGetFormat) onGetFormat();
    Record("GetFormat");
    if (writeFormatId) *formatId = formatIdToReport;
    if (formatBlockToReport.empty()) {
        *waveFormat = nullptr;
    } else {
        void* block = CoTaskMemAlloc(formatBlockToReport.size());
        if (block) std::memcpy(block, formatBlockToReport.data(), formatBlockToReport.size());
        *waveFormat = static_cast<WAVEFORMATEX*>(block);
    }
    return getFormatResult;
}

HRESULT FakeStream::SetBaseStream(IStream* stream, REFGUID formatId, const WAVEFORMATEX* waveFormat) {
    Record("SetBaseStream");
    baseStreams.push_back({stream, formatId, WaveFormatBytes(waveFormat)});
    if (FAILED(setBaseResult)) return setBaseResult;
    if (stream) stream->AddRef();
    if (baseStream) baseStream->Release();
    baseStream = stream;
    return setBaseResult;
}

HRESULT FakeStream::GetBaseStream(IStream** stream) {
    Record("GetBaseStream");
    *stream = baseStream;
    if (baseStream) baseStream->AddRef();
    return baseStream ? S_OK : E_FAIL;
}

HRESULT FakeStream::BindToFile(LPCWSTR fileName, SPFILEMODE mode, const GUID* formatId,
                               const WAVEFORMATEX* waveFormat, ULONGLONG eventInterest) {
    Record("BindToFile");
    BindCall call{fileName ? std::basic_string<WCHAR>(fileName) : std::basic_string<WCHAR>(),
                  mode,
                  formatId != nullptr,
                  formatId ? *formatId : GUID_NULL,
                  WaveFormatBytes(waveFormat),
                  eventInterest};
    binds.push_back(std::move(call));
    return bindResult;
}

HRESULT FakeStream::Close() {
    Record("Close");
    return closeResult;
}

#ifdef _WIN32
HRESULT STDMETHODCALLTYPE FakeStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeStream::Commit(DWORD) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeStream::Revert() { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeStream::Stat(STATSTG*, DWORD) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE FakeStream::Clone(IStream**) { return E_NOTIMPL; }
#endif
