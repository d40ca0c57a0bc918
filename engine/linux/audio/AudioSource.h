#pragma once
#include <cstddef>

#include "SampleCodec.h"

/// Audio read from a stream object to be spoken: whole frames laid out as Layout() says;
/// a 32-bit float layout means interleaved floats (-1 to 1) in the machine's own order.
class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual SampleLayout Layout() const = 0;
    /// Reads up to `frames` frames into `samples`; `*framesRead` is 0 at the end. A
    /// failure result means the stream could not be read.
    virtual HRESULT Read(void* samples, size_t frames, size_t* framesRead) = 0;
};
