#pragma once
#include "engine/ComObject.h"

/// Engine-internal marker: the object answers it when it stands for a voice's default
/// audio output rather than for a stream.
struct IEngineDefaultAudioOutput : IUnknown {
protected:
    ~IEngineDefaultAudioOutput() = default;
};

inline const IID IID_IEngineDefaultAudioOutput = {
    0x3F0B6C12, 0x7A4D, 0x4E58, {0xB1, 0x2E, 0x64, 0x9D, 0x05, 0xC3, 0x7A, 0x1F}};
ENGINE_INTERFACE_TRAITS(IEngineDefaultAudioOutput, IUnknown, IID_IEngineDefaultAudioOutput);

/// What GetOutputStream hands out while a voice speaks to the default audio output: a
/// stream format object whose format is the one the device plays (44.1 kHz 16-bit mono
/// PCM). It carries no bytes; given back to SetOutput it means "the default audio output"
/// again, which is how an output saved before rendering into a file is restored.
class DefaultOutputToken : public ComObject<ISpStreamFormat, IEngineDefaultAudioOutput> {
public:
    static DefaultOutputToken* Create() { return new DefaultOutputToken(); }

    HRESULT GetFormat(GUID* formatId, WAVEFORMATEX** waveFormat) override;
    HRESULT Read(void* buffer, ULONG size, ULONG* read) override;
    HRESULT Write(const void* buffer, ULONG size, ULONG* written) override;
    HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
    HRESULT SetSize(ULARGE_INTEGER newSize) override;

private:
    DefaultOutputToken() = default;
};

/// Whether `output` stands for the default audio output (null does too).
bool IsDefaultAudioOutput(IUnknown* output);
