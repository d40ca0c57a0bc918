#pragma once
#include <memory>
#include <string>
#include <vector>

#include "SoundFileHandle.h"

/// A WAV file open for reading, through libsndfile on the one descriptor opened for it;
/// only regular files are taken. Its audio comes out as interleaved float frames in any
/// codec the library handles, ending where the file says its audio ends; for the
/// fixed-size encodings (PCM, float, A-law, mu-law) also as the data chunk's raw bytes, in
/// whole frames from any frame on. Its format block is the format chunk as libsndfile
/// read it.
class WavReader {
public:
    /// Opens an existing WAV file.
    static HRESULT Open(const std::string& path, std::unique_ptr<WavReader>* reader);

    /// The file's wave format block (header and extra bytes) as the file states it.
    const std::vector<BYTE>& FormatBlock() const { return formatBlock; }
    DWORD SampleRate() const { return sampleRate; }
    WORD Channels() const { return channels; }

    /// Reads up to `frames` frames into `interleaved` (room for them all); `*framesRead`
    /// is 0 at the end of the audio.
    HRESULT ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead);

    /// Bytes of one raw frame; 0 when the codec's bytes only make sense decoded, and
    /// nothing below may be asked.
    size_t RawFrameBytes() const { return frameBytes; }
    /// Reads up to `size` bytes of whole raw frames (`size` a multiple of RawFrameBytes);
    /// fewer only at the end of the audio.
    HRESULT ReadRaw(BYTE* buffer, size_t size, size_t* read);
    /// The raw frame read next, and the number of frames in the file.
    LONGLONG FramePosition() const;
    LONGLONG Frames() const { return totalFrames; }
    HRESULT SeekFrame(LONGLONG frame);

private:
    WavReader(SoundFileHandle file, const SF_INFO& info, LONGLONG frames, std::vector<BYTE> formatBlock);

    SoundFileHandle file;
    DWORD sampleRate;
    WORD channels;
    LONGLONG totalFrames;  // the audio's frames, as far as the file states them
    std::vector<BYTE> formatBlock;
    size_t frameBytes;  // bytes of one raw frame, 0 when the codec has no raw access
    LONGLONG framesDecoded = 0;  // frames handed out by ReadFrames
};
