#pragma once
#include <memory>

#include "engine/linux/audio/AudioSource.h"

/// The source SpeakStream reads from the object a caller hands the voice. Float frames
/// when the object offers them (a bound audio file, whatever its codec); else its bytes,
/// when it reports a wave format whose samples are plain bytes. Anything else is
/// SPERR_UNSUPPORTED_FORMAT, or the object's own failure; a null object is E_INVALIDARG.
/// The source holds a reference to the object for as long as it lives.
HRESULT MakeStreamSource(IUnknown* input, std::unique_ptr<AudioSource>* source);
