#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/ComObject.h"

/// A stream object that records every call, in order, and answers with scripted results.
/// Its bytes live in `content`: Read serves them from the position in chunks of at most
/// `readChunkLimit` bytes, Write appends to them, Seek moves the position.
class FakeStream : public ComObject<ISpStream> {
public:
    struct SeekCall {
        LONGLONG move;
        DWORD origin;
        bool newPositionRequested;
    };
    struct ReadCall {
        ULONG size;      // what was asked for
        ULONG returned;  // what the count said
    };
    struct BindCall {
        std::basic_string<WCHAR> fileName;
        SPFILEMODE mode;
        bool hasFormatId;
        GUID formatId;
        std::vector<BYTE> waveFormat;  // the block as passed (header and extra bytes); empty when null
        ULONGLONG eventInterest;
    };
    struct BaseStreamCall {
        IStream* stream;
        GUID formatId;
        std::vector<BYTE> waveFormat;
    };

    static FakeStream* Create() { return new FakeStream(); }

    // Scripted answers.
    HRESULT getFormatResult = S_OK;
    GUID formatIdToReport = GUID_NULL;
    bool writeFormatId = true;               // whether GetFormat writes the identifier at all
    std::vector<BYTE> formatBlockToReport;   // copied into a new task-memory block; empty: null
    HRESULT bindResult = S_OK;
    HRESULT setBaseResult = S_OK;
    HRESULT readResult = S_OK;
    HRESULT seekResult = S_OK;
    HRESULT writeResult = S_OK;
    HRESULT closeResult = S_OK;
    ULONG readChunkLimit = UINT32_MAX;
    /// Runs first in every call, with the method's name: lets a test stop the process at a
    /// call that must not happen (in a death test) or look at state as the call arrives.
    std::function<void(const char* method)> onCall;
    /// Runs first in GetFormat, before anything is written: lets a test look at the caller's
    /// state at the moment it asks.
    std::function<void()> onGetFormat;

    // The stream's bytes and position.
    std::vector<BYTE> content;
    ULONGLONG position = 0;

    // What was asked.
    std::vector<std::string> calls;  // method names in order
    std::vector<SeekCall> seeks;
    std::vector<ReadCall> reads;
    std::vector<BindCall> binds;
    std::vector<BaseStreamCall> baseStreams;

    ULONG References() {
        AddRef();
        return Release();
    }

    HRESULT Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override;
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
    HRESULT SetSize(ULARGE_INTEGER newSize) override;
    HRESULT GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) override;
    HRESULT SetBaseStream(IStream* stream, REFGUID formatId, const WAVEFORMATEX* waveFormat) override;
    HRESULT GetBaseStream(IStream** stream) override;
    HRESULT BindToFile(LPCWSTR fileName, SPFILEMODE mode, const GUID* formatId, const WAVEFORMATEX* waveFormat,
                       ULONGLONG eventInterest) override;
    HRESULT Close() override;

#ifdef _WIN32
    // The rest of the platform's stream interface, which nothing here uses.
    HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                     ULARGE_INTEGER* written) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD lockType) override;
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD lockType) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* statistics, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** copy) override;
#endif

private:
    FakeStream() = default;
    ~FakeStream() override;
    void Record(const char* method);
    IStream* baseStream = nullptr;  // held with a reference, as a real stream object does
};

/// The bytes of a wave format block: its header and its cbSize extra bytes.
std::vector<BYTE> WaveFormatBytes(const WAVEFORMATEX* format);
