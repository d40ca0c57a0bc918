#pragma once
#include <string>
#include <vector>

#include "engine/ComObject.h"

/// A voice that records every call and answers with scripted results. It keeps a
/// reference to its output, as a real voice does.
class FakeVoice : public ComObject<ISpVoice> {
public:
    struct SpeakCall {
        std::basic_string<WCHAR> text;
        DWORD flags;
        bool streamNumberRequested;
    };
    struct OutputCall {
        IUnknown* output;
        BOOL allowFormatChanges;
    };

    static FakeVoice* Create() { return new FakeVoice(); }

    // Scripted answers.
    HRESULT speakResult = S_OK;
    HRESULT speakStreamResult = S_OK;
    HRESULT getOutputResult = S_OK;
    ISpStreamFormat* outputToReport = nullptr;  // what GetOutputStream hands out (with a reference)

    // What was asked.
    std::vector<USHORT> volumes;
    std::vector<LONG> rates;
    std::vector<SpeakCall> speaks;
    std::vector<OutputCall> outputs;
    std::vector<IStream*> spokenStreams;
    std::vector<ULONG> waits;
    std::vector<std::string> calls;  // method names in order

    HRESULT SetOutput(IUnknown* output, BOOL allowFormatChanges) override;
    HRESULT GetOutputStream(ISpStreamFormat** stream) override;
    HRESULT SetRate(LONG rate) override;
    HRESULT GetRate(LONG* rate) override;
    HRESULT SetVolume(USHORT volume) override;
    HRESULT GetVolume(USHORT* volume) override;
    HRESULT Speak(LPCWSTR text, DWORD flags, ULONG* streamNumber) override;
    HRESULT SpeakStream(IStream* stream, DWORD flags, ULONG* streamNumber) override;
    HRESULT WaitUntilDone(ULONG milliseconds) override;

    IUnknown* CurrentOutput() const { return currentOutput; }

private:
    FakeVoice() = default;
    ~FakeVoice() override;
    IUnknown* currentOutput = nullptr;
};
