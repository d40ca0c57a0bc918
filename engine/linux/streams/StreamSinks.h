#pragma once
#include <memory>

#include "engine/linux/audio/AudioSink.h"

/// The sink SetOutput makes of the object a caller hands the voice. Bytes when the object
/// reports a wave format whose samples can be encoded as plain bytes (PCM, float, A-law,
/// mu-law): they are encoded once, by the pipeline, and written through IStream. Else float
/// frames, when the object takes them (a file in a codec only the file library can
/// encode). Anything else is SPERR_UNSUPPORTED_FORMAT, or the object's own failure. The
/// sink holds a reference to the object for as long as it lives.
HRESULT MakeStreamSink(IUnknown* output, std::unique_ptr<AudioSink>* sink);
