#pragma once
#include "engine/InterfaceHolder.h"
#include "engine/Engine.h"

/// The one object through which the service drives the speech engine. It owns the voice
/// and, while the voice's output is redirected into a file, that file stream and the
/// output that was in place before. All calls come from one thread.
class Speaker {
public:
    /// Creates the voice. When that fails the voice stays empty; HasVoice() tells, and
    /// VoiceCreationResult() says why.
    Speaker();

    bool HasVoice() const { return !voice.IsEmpty(); }
    HRESULT VoiceCreationResult() const { return voiceCreation; }

    void SetVolume(USHORT volume);
    void SetRate(LONG rate);
    /// Speaks asynchronously, cutting off whatever the voice is still saying. A failure is
    /// reported on standard error and returned.
    HRESULT SpeakText(LPCWSTR text);
    /// Waits until the voice has finished what it was given (INFINITE: no limit).
    HRESULT WaitUntilDone(ULONG milliseconds);

    // Rendering into a WAV file: BindOutputToFile, then what is to go into the file, then
    // FinishFileOutput (always, whether the binding worked or not).
    void BindOutputToFile(LPCWSTR fileName);
    void SpeakStream(InterfaceHolder<ISpStream> stream);
    void FinishFileOutput();

    /// Redirects the voice's output into a growing block of memory (44.1 kHz 16-bit mono
    /// PCM) and returns that stream.
    InterfaceHolder<ISpStream> CreateMemoryOutput();

private:
    InterfaceHolder<ISpVoice> voice;
    InterfaceHolder<ISpStream> fileStream;
    InterfaceHolder<ISpStreamFormat> savedOutput;
    HRESULT voiceCreation = S_OK;
};
