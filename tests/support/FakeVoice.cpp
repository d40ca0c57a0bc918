#include "FakeVoice.h"

FakeVoice::~FakeVoice() {
    if (currentOutput) currentOutput->Release();
    if (outputToReport) outputToReport->Release();
}

HRESULT FakeVoice::SetOutput(IUnknown* output, BOOL allowFormatChanges) {
    calls.push_back("SetOutput");
    outputs.push_back({output, allowFormatChanges});
    if (FAILED(setOutputResult)) return setOutputResult;
    if (output) output->AddRef();
    if (currentOutput) currentOutput->Release();
    currentOutput = output;
    return S_OK;
}

HRESULT FakeVoice::GetOutputStream(ISpStreamFormat** stream) {
    calls.push_back("GetOutputStream");
    *stream = outputToReport;
    if (outputToReport) outputToReport->AddRef();
    return getOutputResult;
}

HRESULT FakeVoice::SetRate(LONG rate) {
    calls.push_back("SetRate");
    rates.push_back(rate);
    return S_OK;
}

HRESULT FakeVoice::GetRate(LONG* rate) {
    *rate = rates.empty() ? 0 : rates.back();
    return S_OK;
}

HRESULT FakeVoice::SetVolume(USHORT volume) {
    calls.push_back("SetVolume");
    volumes.push_back(volume);
    return S_OK;
}

HRESULT FakeVoice::GetVolume(USHORT* volume) {
    *volume = volumes.empty() ? 100 : volumes.back();
    return S_OK;
}

HRESULT FakeVoice::Speak(LPCWSTR text, DWORD flags, ULONG* streamNumber) {
    calls.push_back("Speak");
    speaks.push_back({text ? std::basic_string<WCHAR>(text) : std::basic_string<WCHAR>(), flags,
                      streamNumber != nullptr});
    return speakResult;
}

HRESULT FakeVoice::SpeakStream(IStream* stream, DWORD flags, ULONG* streamNumber) {
    calls.push_back("SpeakStream");
    spokenStreams.push_back(stream);
    speakStreamFlags.push_back(flags);
    speakStreamNumberRequested.push_back(streamNumber != nullptr);
    if (streamNumber) *streamNumber = 1;
    return speakStreamResult;
}

HRESULT FakeVoice::WaitUntilDone(ULONG milliseconds) {
    calls.push_back("WaitUntilDone");
    waits.push_back(milliseconds);
    return S_OK;
}
