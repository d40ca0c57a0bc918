#pragma once
#include "engine/linux/audio/SampleCodec.h"
#include "engine/linux/com/Com.h"

/// Asks a stream object for its wave format and tells whether its bytes can be read or
/// written as plain samples: S_OK with the layout, or SPERR_UNSUPPORTED_FORMAT (or the
/// stream's own failure) when the format is not a wave format with such a layout.
HRESULT QueryStreamLayout(ISpStreamFormat* stream, SampleLayout* layout);
