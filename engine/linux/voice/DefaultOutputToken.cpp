#include "DefaultOutputToken.h"

#include "engine/InterfaceHolder.h"
#include "engine/linux/audio/DeviceOutput.h"
#include "engine/linux/streams/WaveFormat.h"

HRESULT DefaultOutputToken::GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) {
    if (formatId == nullptr || waveFormat == nullptr) return E_POINTER;
    *waveFormat = nullptr;
    auto* format = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
    if (format == nullptr) return E_OUTOFMEMORY;
    *format = waveformat::PcmFormat(DeviceOutput::kSampleRate, DeviceOutput::kChannels, 16);
    *formatId = SPDFID_WaveFormatEx;
    *waveFormat = format;
    return S_OK;
}

// The device is reached through the voice, not through this object's bytes.
HRESULT DefaultOutputToken::Read(void*, ULONG, ULONG* read) {
    if (read) *read = 0;
    return E_NOTIMPL;
}
HRESULT DefaultOutputToken::Write(const void*, ULONG, ULONG* written) {
    if (written) *written = 0;
    return E_NOTIMPL;
}
HRESULT DefaultOutputToken::Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT DefaultOutputToken::SetSize(ULARGE_INTEGER) { return E_NOTIMPL; }

bool IsDefaultAudioOutput(IUnknown* output) {
    return output == nullptr || !InterfaceHolder<IEngineDefaultAudioOutput>::Query(output, IID_IEngineDefaultAudioOutput).IsEmpty();
}
