#pragma once
// audio/: the road audio takes inside the voice: the two ends it reads from and writes
// to (this header), the conversion path between them (AudioConverter: channel mix,
// libsoxr resampling, gain; ConversionThread runs it beside whoever makes the audio),
// the sample codecs that turn frames into bytes and back (SampleCodec), and the default
// audio output (DeviceOutput: PulseAudio, else ALSA).
// Audio here is interleaved float frames. It calls only com/ and the sound libraries.
#include <cstddef>

#include "engine/linux/com/Com.h"

/// Somewhere the voice's audio goes: the default audio output or a stream object. It takes
/// interleaved float frames, clipped to -1..1, at its own rate and channel count.
class AudioSink {
public:
    virtual ~AudioSink() = default;

    virtual DWORD SampleRate() const = 0;
    virtual WORD Channels() const = 0;
    /// The largest piece to hand over at once: a real-time output wants small pieces so
    /// that a purge between two of them is noticed within milliseconds. 0: no limit.
    virtual size_t PieceFrames() const { return 0; }
    /// Whether it plays audio as it is heard (a device) rather than taking it as fast as
    /// it comes (a file, memory).
    virtual bool PlaysInRealTime() const { return false; }
    /// Makes the output ready to take audio (opening a device); a failure says it cannot.
    virtual HRESULT Open() { return S_OK; }
    virtual HRESULT Write(const float* frames, size_t count) = 0;
    /// Drops audio handed over but not yet heard.
    virtual void Discard() {}
    /// Waits until audio handed over has been heard.
    virtual void Drain() {}
};

/// Audio the voice reads from a stream object to speak it: interleaved float frames at
/// the source's own rate and channel count.
class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual DWORD SampleRate() const = 0;
    virtual WORD Channels() const = 0;
    /// Reads up to `frames` frames; `*framesRead` is 0 at the end. A failure result means
    /// the stream could not be read.
    virtual HRESULT Read(float* interleaved, size_t frames, size_t* framesRead) = 0;
};
