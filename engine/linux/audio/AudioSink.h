#pragma once
#include <cstddef>

#include "SampleCodec.h"

/// Somewhere audio goes at the end of an AudioPipeline: the default audio output or a
/// stream object. It takes whole frames laid out as Layout() says; a 32-bit float layout
/// means interleaved floats (-1 to 1) in the machine's own order.
class AudioSink {
public:
    virtual ~AudioSink() = default;

    virtual SampleLayout Layout() const = 0;
    /// The largest piece to hand over at once: a real-time output wants small pieces so
    /// that a purge between two of them is noticed within milliseconds. 0: no limit.
    virtual size_t PieceFrames() const { return 0; }
    /// Whether it plays audio as it is heard (a device) rather than taking it as fast as
    /// it comes (a file, memory).
    virtual bool PlaysInRealTime() const { return false; }
    /// Makes the output ready to take audio (opening a device); a failure says it cannot.
    virtual HRESULT Open() { return S_OK; }
    /// Takes `frames` frames laid out as Layout() says.
    virtual HRESULT Write(const void* samples, size_t frames) = 0;
    /// Called from any thread when the work writing into it has been called off: a Write
    /// waiting for room returns soon, and the next Discard() follows.
    virtual void Interrupt() {}
    /// Drops audio handed over but not yet heard.
    virtual void Discard() {}
    /// Waits until audio handed over has been heard.
    virtual void Drain() {}
};
