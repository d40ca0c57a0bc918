#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/linux/audio/SampleCodec.h"
#include "engine/linux/com/Com.h"

struct sf_private_tag;

/// One WAV file, open either for reading or for writing, through libsndfile on the one
/// descriptor opened for it; only regular files are taken. Its audio is offered as
/// interleaved float frames in any codec the library handles, and, for the fixed-size
/// encodings (PCM, float, A-law, mu-law), as the data chunk's raw bytes at any byte
/// position. Its format block is the format chunk as libsndfile read it. The file is
/// completed (header sizes final) when the object is destroyed. Frame and byte access share one position; a partial frame held back by the
/// byte calls is dropped when frames are read or written.
class WavFile {
public:
    /// Opens an existing WAV file for reading.
    static HRESULT Open(const std::string& path, std::unique_ptr<WavFile>* file);
    /// Creates a WAV file in `format` (replacing an existing file unless `mustBeNew`).
    /// A format the file library cannot write is refused before anything is created.
    static HRESULT Create(const std::string& path, const WAVEFORMATEX& format, bool mustBeNew,
                          std::unique_ptr<WavFile>* file);
    ~WavFile();
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    /// Completes the file (its header sizes final) and closes it. Returns the first write
    /// that failed, or why the file could not be completed, or S_OK. Nothing else may be
    /// asked of it afterwards.
    HRESULT Finish();

    /// The file's wave format block (header and extra bytes) as the file states it.
    const std::vector<BYTE>& FormatBlock() const { return formatBlock; }
    DWORD SampleRate() const;
    WORD Channels() const;

    HRESULT ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead);
    HRESULT WriteFrames(const float* interleaved, ULONG frames);

    HRESULT ReadBytes(void* buffer, ULONG size, ULONG* read);
    HRESULT WriteBytes(const void* buffer, ULONG size, ULONG* written);
    /// Moves to a byte position in the data chunk. When writing, only frame boundaries
    /// can be reached.
    HRESULT SeekBytes(LONGLONG move, DWORD origin, ULARGE_INTEGER* newPosition);

private:
    WavFile(sf_private_tag* sndfile, int descriptor, bool writing, int channels, int sampleRate, int format,
            LONGLONG frames, std::vector<BYTE> formatBlock);
    HRESULT RequireByteAccess(bool forWriting) const;
    /// Keeps the first write failure, and returns `result`.
    HRESULT NoteWrite(HRESULT result);
    LONGLONG BytePosition() const;
    void DropPartialFrame();
    void NoteWrittenEnd();

    sf_private_tag* sndfile;  // null once finished
    int descriptor;  // the file, opened once; libsndfile works through it
    HRESULT firstWriteFailure = S_OK;
    bool writing;
    int channels;
    int sampleRate;
    LONGLONG totalFrames;  // frames in the file: those read from it, or the most written
    std::vector<BYTE> formatBlock;
    size_t frameBytes;     // bytes of one raw frame, 0 when the codec has no raw access
    // How frames are encoded into raw bytes when written, for the encodings the engine's
    // sample codec knows; other codecs are left to libsndfile.
    std::optional<SampleLayout> rawLayout;
    std::vector<BYTE> encoded;
    // A frame split by the byte calls: the part not yet handed out when reading, the
    // part not yet written when writing.
    std::vector<BYTE> partialFrame;
    size_t partialUsed = 0;  // reading: bytes of partialFrame already handed out
    LONGLONG framesDecoded = 0;  // frames handed out by ReadFrames
};
