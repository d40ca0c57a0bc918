#pragma once
#include "engine/ComObject.h"

/// A voice that accepts every call and does nothing, so the cost of decoding and
/// dispatching a datagram can be measured without the engine's own work or any
/// bookkeeping growing with the number of calls. It holds a reference to its output,
/// as a real voice does.
class NullVoice : public ComObject<ISpVoice> {
public:
    static NullVoice* Create() { return new NullVoice(); }

    HRESULT SetOutput(IUnknown* output, BOOL) override {
        if (output != nullptr) output->AddRef();
        if (currentOutput != nullptr) currentOutput->Release();
        currentOutput = output;
        return S_OK;
    }
    HRESULT GetOutputStream(ISpStreamFormat** stream) override {
        *stream = nullptr;
        return S_FALSE;
    }
    HRESULT SetRate(LONG value) override {
        rate = value;
        return S_OK;
    }
    HRESULT GetRate(LONG* value) override {
        *value = rate;
        return S_OK;
    }
    HRESULT SetVolume(USHORT value) override {
        volume = value;
        return S_OK;
    }
    HRESULT GetVolume(USHORT* value) override {
        *value = volume;
        return S_OK;
    }
    HRESULT Speak(LPCWSTR, DWORD, ULONG*) override { return S_OK; }
    HRESULT SpeakStream(IStream*, DWORD, ULONG*) override { return S_OK; }
    HRESULT WaitUntilDone(ULONG) override { return S_OK; }

private:
    NullVoice() = default;
    ~NullVoice() override {
        if (currentOutput != nullptr) currentOutput->Release();
    }

    IUnknown* currentOutput = nullptr;
    LONG rate = 0;
    USHORT volume = 100;
};
