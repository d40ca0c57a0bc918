#pragma once
#include <cstddef>

#include "ComTypes.h"

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
    /// Makes the output ready to take audio (opening a device); a failure says it cannot.
    virtual HRESULT Open() { return S_OK; }
    virtual HRESULT Write(const float* frames, size_t count) = 0;
    /// Drops audio handed over but not yet heard.
    virtual void Discard() {}
    /// Waits until audio handed over has been heard.
    virtual void Drain() {}
};
