#pragma once
#include "AudioFrames.h"
#include "engine/linux/audio/SampleCodec.h"
#include "engine/linux/com/Com.h"

/// Asks a stream object for its wave format and tells whether its bytes can be read or
/// written as plain samples: S_OK with the layout, or SPERR_UNSUPPORTED_FORMAT (or the
/// stream's own failure) when the format is not a wave format with such a layout.
HRESULT QueryStreamLayout(ISpStreamFormat* stream, SampleLayout* layout);

/// The frame rate and channel count of an object that offers float frames: S_OK, its own
/// failure, or SPERR_UNSUPPORTED_FORMAT when either is 0.
HRESULT QueryFrameFormat(IEngineAudioFrames* frames, DWORD* rate, WORD* channels);
