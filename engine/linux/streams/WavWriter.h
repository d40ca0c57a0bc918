#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SoundFileHandle.h"
#include "engine/linux/audio/SampleCodec.h"

/// A WAV file created for writing, through libsndfile on the one descriptor opened for
/// it; only regular files are taken. Audio goes in as interleaved float frames in any
/// codec the library writes, and, for the fixed-size encodings (PCM, float, A-law,
/// mu-law), as raw bytes in whole frames, written as they are. Its format block is the
/// format chunk libsndfile wrote. The first write that fails is kept; the file is
/// completed (header sizes final) by Finish or when the object is destroyed.
class WavWriter {
public:
    /// Creates a WAV file in `format` (replacing an existing file unless `mustBeNew`).
    /// A format the file library cannot write is refused before anything is created.
    static HRESULT Create(const std::string& path, const WAVEFORMATEX& format, bool mustBeNew,
                          std::unique_ptr<WavWriter>* writer);
    ~WavWriter() { Finish(); }
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    /// Completes the file (its header sizes final) and closes it. Returns the first write
    /// that failed, or why the file could not be completed, or S_OK. Nothing else may be
    /// asked of it afterwards.
    HRESULT Finish();

    /// The file's wave format block (header and extra bytes) as its header states it.
    const std::vector<BYTE>& FormatBlock() const { return formatBlock; }
    DWORD SampleRate() const { return sampleRate; }
    WORD Channels() const { return channels; }

    /// Writes `frames` frames from `interleaved`, encoded as the voice encodes bytes where
    /// its sample codec knows the encoding, else by libsndfile.
    HRESULT WriteFrames(const float* interleaved, ULONG frames);

    /// Bytes of one raw frame; 0 when only libsndfile can encode the codec, and nothing
    /// below may be asked.
    size_t RawFrameBytes() const { return frameBytes; }
    /// Writes `size` bytes of whole raw frames (`size` a multiple of RawFrameBytes).
    HRESULT WriteRaw(const BYTE* bytes, size_t size);
    /// The frame written next, and the most frames the file has held.
    LONGLONG FramePosition() const;
    LONGLONG Frames() const { return totalFrames; }
    HRESULT SeekFrame(LONGLONG frame);

private:
    WavWriter(SoundFileHandle file, const SF_INFO& info, std::vector<BYTE> formatBlock);
    /// Keeps the first write failure, and returns `result`.
    HRESULT NoteWrite(HRESULT result);
    void NoteWrittenEnd();

    SoundFileHandle file;
    HRESULT firstWriteFailure = S_OK;
    DWORD sampleRate;
    WORD channels;
    LONGLONG totalFrames = 0;  // the most frames written
    std::vector<BYTE> formatBlock;
    size_t frameBytes;  // bytes of one raw frame, 0 when the codec has no raw access
    // How frames are encoded into raw bytes, for the encodings the engine's sample codec
    // knows; other codecs are left to libsndfile.
    std::optional<SampleLayout> rawLayout;
    std::vector<BYTE> encoded;
};
