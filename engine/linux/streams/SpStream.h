#pragma once
// streams/: the stream object (this header), the WAV files it reads and writes, the stream
// objects as the pipeline's sinks and sources, the wave format table. It calls audio/, com/.
#include <memory>
#include <mutex>
#include <vector>

#include "AudioFrames.h"
#include "FileByteCursor.h"
#include "WavReader.h"
#include "WavWriter.h"
#include "engine/ComObject.h"
#include "engine/InterfaceHolder.h"

/// Makes an unbound stream object (CLSID_SpStream).
HRESULT CreateSpStream(REFIID iid, void** object);
/// Enters the stream object's class into the engine's class table.
void RegisterStreamClasses();

/// The stream object: a stream that carries a format, bound once, either to a base
/// stream (bytes pass through, the format is a copy of the one given) or to a WAV file,
/// read (WavReader) or written (WavWriter); a file in a fixed-size encoding also takes
/// byte calls, split into whole frames by FileByteCursor. Until bound every data call is
/// refused with SPERR_UNINITIALIZED; after Close with STG_E_REVERTED. Only a file-bound
/// stream offers its audio as float frames. The last release, or Close, completes a file
/// it was writing; Close also reports the first write that failed or a header that could
/// not be completed. Calls may come from any thread.
class SpStream final : public ComObject<ISpStream, IEngineAudioFrames> {
public:
    static SpStream* Create();

    HRESULT QueryInterface(REFIID iid, void** object) override;

    // ISequentialStream / IStream
    HRESULT Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override;
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
    HRESULT SetSize(ULARGE_INTEGER newSize) override;

    // ISpStreamFormat
    HRESULT GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) override;

    // ISpStream
    HRESULT SetBaseStream(IStream* stream, REFGUID formatId, const WAVEFORMATEX* waveFormat) override;
    HRESULT GetBaseStream(IStream** stream) override;
    HRESULT BindToFile(LPCWSTR fileName, SPFILEMODE mode, const GUID* formatId, const WAVEFORMATEX* waveFormat,
                       ULONGLONG eventInterest) override;
    HRESULT Close() override;

    // IEngineAudioFrames
    HRESULT GetFrameFormat(DWORD* samplesPerSec, WORD* channels) override;
    HRESULT ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead) override;
    HRESULT WriteFrames(const float* interleaved, ULONG frames) override;

private:
    enum class State { Unbound, BaseStream, File, Closed };

    SpStream() = default;
    ~SpStream() override;

    bool OffersFrames();
    HRESULT RequireFile() const;
    HRESULT RequireBound() const;
    /// Why bytes cannot go the way asked through the file, or S_OK.
    HRESULT RequireFileBytes(bool forWriting) const;
    /// What a byte Read or Write checks first, with `*transferred` (if given) set to 0.
    HRESULT BeginTransfer(bool forWriting, const void* buffer, ULONG size, ULONG* transferred) const;
    void ReleaseBacking();

    std::mutex lock;
    State state = State::Unbound;
    GUID formatId = GUID_NULL;
    std::vector<BYTE> format;  // the wave format block, or empty when there is none
    InterfaceHolder<IStream> base;
    // A file is either read or written, chosen when it is bound.
    std::unique_ptr<WavReader> reader;
    std::unique_ptr<WavWriter> writer;
    FileByteCursor fileBytes;
};
