#pragma once
#include "SampleCodec.h"

/// Asks a stream object for its wave format and tells whether the voice can read or write
/// its bytes: S_OK with the layout, or SPERR_UNSUPPORTED_FORMAT (or the stream's own
/// failure) when the format is not a wave format the voice handles.
HRESULT QueryStreamLayout(ISpStreamFormat* stream, SampleLayout* layout);
