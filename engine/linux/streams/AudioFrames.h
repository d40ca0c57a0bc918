#pragma once
#include "engine/linux/com/Com.h"
#include "engine/ComObject.h"

/// Engine-internal: an object bound to an audio file offers its audio as interleaved float
/// frames (-1 to 1), whatever the file's encoding, so the voice can read and write any
/// codec the file library handles (ADPCM, GSM 6.10 and the rest) without knowing it.
/// Objects that do not offer it are spoken to as plain byte streams in their wave format.
struct IEngineAudioFrames : IUnknown {
    /// The frame rate and channel count of the frames read or written.
    virtual HRESULT GetFrameFormat(DWORD* samplesPerSec, WORD* channels) = 0;
    /// Reads up to `frames` frames; `*framesRead` is 0 at the end of the audio.
    virtual HRESULT ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead) = 0;
    virtual HRESULT WriteFrames(const float* interleaved, ULONG frames) = 0;

protected:
    ~IEngineAudioFrames() = default;
};

inline const IID IID_IEngineAudioFrames = {0x5E1D2A47, 0x8C3B, 0x4F1E, {0x9A, 0x6D, 0x21, 0x7B, 0x3C, 0x58, 0xE4, 0x90}};
ENGINE_INTERFACE_TRAITS(IEngineAudioFrames, IUnknown, IID_IEngineAudioFrames);
