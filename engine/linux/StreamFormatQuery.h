#pragma once
#include "SampleCodec.h"

/// Asks a stream object for its wave format and tells whether the voice can read or write
/// its bytes: S_OK with the layout, or SPERR_UNSUPPORTED_FORMAT (or the stream's own
/// failure) when the format is not a wave format the voice handles.
HRESULT QueryStreamLayout(ISpStreamFormat* stream, SampleLayout* layout);

#include <memory>

#include "AudioFrames.h"
#include "ComRef.h"

/// Makes the voice's end of an output or input object: float frames (FramesEnd) when the
/// object offers them, whatever its codec; else its bytes in its wave format (BytesEnd);
/// anything else is SPERR_UNSUPPORTED_FORMAT.
template <class Base, class FramesEnd, class BytesEnd>
HRESULT MakeStreamEnd(IUnknown* object, std::unique_ptr<Base>* made) {
    if (auto frames = QueryRef<IEngineAudioFrames>(object, IID_IEngineAudioFrames)) {
        DWORD rate = 0;
        WORD channels = 0;
        HRESULT hr = frames->GetFrameFormat(&rate, &channels);
        if (FAILED(hr)) return hr;
        if (rate == 0 || channels == 0) return SPERR_UNSUPPORTED_FORMAT;
        *made = std::make_unique<FramesEnd>(std::move(frames), rate, channels);
        return S_OK;
    }
    if (auto stream = QueryRef<ISpStreamFormat>(object, IID_ISpStreamFormat)) {
        SampleLayout layout{};
        HRESULT hr = QueryStreamLayout(stream.Get(), &layout);
        if (FAILED(hr)) return hr;
        *made = std::make_unique<BytesEnd>(std::move(stream), layout);
        return S_OK;
    }
    return SPERR_UNSUPPORTED_FORMAT;
}
