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
    HRESULT setOutputResult = S_OK;  // a failure leaves the output as it was
    ISpStreamFormat* outputToReport = nullptr;  // what GetOutputStream hands out (with a reference)

    // What was asked.
    std::vector<USHORT> volumes;
    std::vector<LONG> rates;
    std::vector<SpeakCall> speaks;
    std::vector<OutputCall> outputs;
    std::vector<IStream*> spokenStreams;
    std::vector<DWORD> speakStreamFlags;
    std::vector<bool> speakStreamNumberRequested;
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

#ifdef _WIN32
    // The rest of the platform's voice interface (events, notification, voice choice,
    // user interface): nothing in this system calls it, so the fake refuses it all.
    HRESULT SetNotifySink(ISpNotifySink*) override { return E_NOTIMPL; }
    HRESULT SetNotifyWindowMessage(HWND, UINT, WPARAM, LPARAM) override { return E_NOTIMPL; }
    HRESULT SetNotifyCallbackFunction(SPNOTIFYCALLBACK*, WPARAM, LPARAM) override { return E_NOTIMPL; }
    HRESULT SetNotifyCallbackInterface(ISpNotifyCallback*, WPARAM, LPARAM) override { return E_NOTIMPL; }
    HRESULT SetNotifyWin32Event() override { return E_NOTIMPL; }
    HRESULT WaitForNotifyEvent(DWORD) override { return E_NOTIMPL; }
    HANDLE GetNotifyEventHandle() override { return nullptr; }
    HRESULT SetInterest(ULONGLONG, ULONGLONG) override { return E_NOTIMPL; }
    HRESULT GetEvents(ULONG, SPEVENT*, ULONG*) override { return E_NOTIMPL; }
    HRESULT GetInfo(SPEVENTSOURCEINFO*) override { return E_NOTIMPL; }
    HRESULT GetOutputObjectToken(ISpObjectToken**) override { return E_NOTIMPL; }
    HRESULT Pause() override { return E_NOTIMPL; }
    HRESULT Resume() override { return E_NOTIMPL; }
    HRESULT SetVoice(ISpObjectToken*) override { return E_NOTIMPL; }
    HRESULT GetVoice(ISpObjectToken**) override { return E_NOTIMPL; }
    HRESULT GetStatus(SPVOICESTATUS*, LPWSTR*) override { return E_NOTIMPL; }
    HRESULT Skip(LPCWSTR, LONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT SetPriority(SPVPRIORITY) override { return E_NOTIMPL; }
    HRESULT GetPriority(SPVPRIORITY*) override { return E_NOTIMPL; }
    HRESULT SetAlertBoundary(SPEVENTENUM) override { return E_NOTIMPL; }
    HRESULT GetAlertBoundary(SPEVENTENUM*) override { return E_NOTIMPL; }
    HRESULT SetSyncSpeakTimeout(ULONG) override { return E_NOTIMPL; }
    HRESULT GetSyncSpeakTimeout(ULONG*) override { return E_NOTIMPL; }
    HANDLE SpeakCompleteEvent() override { return nullptr; }
    HRESULT IsUISupported(LPCWSTR, void*, ULONG, BOOL*) override { return E_NOTIMPL; }
    HRESULT DisplayUI(HWND, LPCWSTR, LPCWSTR, void*, ULONG) override { return E_NOTIMPL; }
#endif

private:
    FakeVoice() = default;
    ~FakeVoice() override;
    IUnknown* currentOutput = nullptr;
};
