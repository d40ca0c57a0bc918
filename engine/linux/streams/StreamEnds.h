#pragma once
#include <memory>

#include "engine/linux/audio/AudioEnds.h"
#include "engine/linux/audio/SampleCodec.h"

/// The voice's ends of the objects callers hand it: what SetOutput writes to and what
/// SpeakStream reads from. An object that offers float frames (a bound audio file) is
/// read and written as frames at its frame format, whatever its codec; any other must
/// report a wave format whose bytes the voice can decode or encode, and is read and
/// written through IStream. An end holds a reference to its object for as long as it
/// lives. Anything else is SPERR_UNSUPPORTED_FORMAT.
HRESULT MakeStreamSink(IUnknown* output, std::unique_ptr<AudioSink>* sink);
/// A null stream is E_INVALIDARG.
HRESULT MakeStreamSource(IUnknown* input, std::unique_ptr<AudioSource>* source);

/// Asks a stream object for its wave format and tells whether the voice can read or write
/// its bytes: S_OK with the layout, or SPERR_UNSUPPORTED_FORMAT (or the stream's own
/// failure) when the format is not a wave format the voice handles.
HRESULT QueryStreamLayout(ISpStreamFormat* stream, SampleLayout* layout);
