#pragma once
#include <memory>

#include "AudioSink.h"

/// Makes the sink for a stream object given to SetOutput. An object that offers float
/// frames (a bound audio file) gets them at its frame format; any other must report a
/// wave format the voice can encode, and gets the encoded bytes through IStream::Write.
/// The sink holds a reference to the object for as long as it lives. Anything else is
/// SPERR_UNSUPPORTED_FORMAT.
HRESULT MakeStreamSink(IUnknown* output, std::unique_ptr<AudioSink>* sink);
