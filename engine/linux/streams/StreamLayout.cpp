#include "StreamLayout.h"

#include <optional>

#include "WaveFormat.h"

HRESULT QueryStreamLayout(ISpStreamFormat* stream, SampleLayout* layout) {
    GUID formatId = GUID_NULL;
    WAVEFORMATEX* waveFormat = nullptr;
    HRESULT hr = stream->GetFormat(&formatId, &waveFormat);
    std::optional<SampleLayout> found;
    if (SUCCEEDED(hr) && formatId == SPDFID_WaveFormatEx && waveFormat != nullptr)
        found = waveformat::LayoutOf(*waveFormat);
    CoTaskMemFree(waveFormat);
    if (FAILED(hr)) return hr;
    if (!found) return SPERR_UNSUPPORTED_FORMAT;
    *layout = *found;
    return S_OK;
}

HRESULT QueryFrameFormat(IEngineAudioFrames* frames, DWORD* rate, WORD* channels) {
    *rate = 0;
    *channels = 0;
    HRESULT hr = frames->GetFrameFormat(rate, channels);
    if (FAILED(hr)) return hr;
    return *rate == 0 || *channels == 0 ? SPERR_UNSUPPORTED_FORMAT : S_OK;
}
