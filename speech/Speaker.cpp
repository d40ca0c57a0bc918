#include "Speaker.h"

#include <cstdio>

namespace {

constexpr DWORD kSpeakAsyncPurge = SPF_ASYNC | SPF_PURGEBEFORESPEAK;

struct SpeakFailureMessage {
    HRESULT result;
    const char* text;
};

// What a failed Speak is reported as; any other failure prints its result.
constexpr SpeakFailureMessage kSpeakFailureMessages[] = {
    {E_INVALIDARG, "Parameters are invalid\n"},
    {E_POINTER, "Invalid pointer\n"},
    {E_OUTOFMEMORY, "Exceeded available memory\n"},
    {SPERR_INVALID_FLAGS, "Invalid flags specified for this operation\n"},
    {SPERR_DEVICE_BUSY, "Timeout occurred on synchronous call\n"},
};

void ReportSpeakFailure(HRESULT hr) {
    for (const auto& message : kSpeakFailureMessages) {
        if (message.result == hr) {
            std::fputs(message.text, stderr);
            return;
        }
    }
    std::fprintf(stderr, "error %x \n", static_cast<unsigned>(hr));
}

}  // namespace

Speaker::Speaker() {
    voiceCreation = CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, voice.VoidSlot());
    if (FAILED(voiceCreation)) voice.Clear();
}

void Speaker::SetVolume(USHORT volume) { voice->SetVolume(volume); }

void Speaker::SetRate(LONG rate) { voice->SetRate(rate); }

HRESULT Speaker::SpeakText(LPCWSTR text) {
    HRESULT hr = FAILED(redirectionResult) ? redirectionResult : voice->Speak(text, kSpeakAsyncPurge, nullptr);
    if (FAILED(hr)) ReportSpeakFailure(hr);
    return hr;
}

HRESULT Speaker::WaitUntilDone(ULONG milliseconds) { return voice->WaitUntilDone(milliseconds); }
