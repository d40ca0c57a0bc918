#pragma once
#include <memory>

#include "AudioSource.h"

/// Makes the source for a stream given to SpeakStream: float frames from an object that
/// offers them, else the stream's bytes decoded in its reported wave format. A null
/// stream is E_INVALIDARG; a format the voice cannot read is SPERR_UNSUPPORTED_FORMAT.
HRESULT MakeStreamSource(IUnknown* input, std::unique_ptr<AudioSource>* source);
