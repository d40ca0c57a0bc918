#pragma once
#include <cstddef>

#include "ComTypes.h"

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
