#include "DefaultOutputToken.h"

#include "ComRef.h"
#include "DeviceOutput.h"

const IID IID_IEngineDefaultAudioOutput = {0x3F0B6C12, 0x7A4D, 0x4E58, {0xB1, 0x2E, 0x64, 0x9D, 0x05, 0xC3, 0x7A, 0x1F}};

HRESULT DefaultOutputToken::GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) {
    if (formatId == nullptr || waveFormat == nullptr) return E_POINTER;
    *waveFormat = nullptr;
    auto* format = static_cast<WAVEFORMATEX*>(CoTaskMemAlloc(sizeof(WAVEFORMATEX)));
    if (format == nullptr) return E_OUTOFMEMORY;
    format->wFormatTag = WAVE_FORMAT_PCM;
    format->nChannels = DeviceOutput::kChannels;
    format->nSamplesPerSec = DeviceOutput::kSampleRate;
    format->wBitsPerSample = 16;
    format->nBlockAlign = static_cast<WORD>(format->nChannels * format->wBitsPerSample / 8);
    format->nAvgBytesPerSec = format->nSamplesPerSec * format->nBlockAlign;
    format->cbSize = 0;
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
    return output == nullptr || static_cast<bool>(QueryRef<IEngineDefaultAudioOutput>(output, IID_IEngineDefaultAudioOutput));
}
