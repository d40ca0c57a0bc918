#pragma once
// speech/: the Speaker, which drives the engine's voice for the service and renders into
// WAV files and memory; WidenText; the stream format descriptors. It calls the engine
// only through its COM interfaces (engine/Engine.h), the same on both platforms.
#include <string>

#include "engine/Engine.h"
#include "engine/InterfaceHolder.h"

/// The one object through which the service drives the speech engine. It owns the voice
/// and, while the voice's output is redirected into a file, that file stream and the
/// output that was in place before. A redirection that could not be set up is never
/// replaced by the previous output: until FinishFileOutput, nothing is spoken. All calls
/// come from one thread.
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
    /// reported on standard error and returned; while a redirection into a file that
    /// failed is in force, that failure is, and nothing is spoken.
    HRESULT SpeakText(LPCWSTR text);
    /// Waits until the voice has finished what it was given (INFINITE: no limit).
    HRESULT WaitUntilDone(ULONG milliseconds);

    // Rendering into a WAV file: BindOutputToFile, then what is to go into the file, then
    // FinishFileOutput (always, whether the binding worked or not). Each returns its
    // result; every failure is also printed on standard output.
    /// Redirects the voice's output into a new 44.1 kHz 16-bit mono WAV file.
    HRESULT BindOutputToFile(LPCWSTR fileName);
    /// Speaks `stream` into the voice's output and returns when it has been spoken.
    HRESULT SpeakStream(InterfaceHolder<ISpStream> stream);
    /// Waits for the voice, restores the previous output and completes the file. A file
    /// that could not be written or completed is reported ("can not write NAME, hr ...")
    /// and removed, so nothing left behind claims to be complete. Returns the first
    /// failure of the redirection, from binding to completing, or S_OK.
    HRESULT FinishFileOutput();

    /// Redirects the voice's output into a growing block of memory (44.1 kHz 16-bit mono
    /// PCM) and returns that stream.
    InterfaceHolder<ISpStream> CreateMemoryOutput();

private:
    /// What a call needing the voice fails with when there is none.
    HRESULT NoVoiceResult() const { return FAILED(voiceCreation) ? voiceCreation : E_FAIL; }
    /// The steps of BindOutputToFile past its checks; the first failure is returned.
    HRESULT BindFileOutput(LPCWSTR fileName);

    InterfaceHolder<ISpVoice> voice;
    InterfaceHolder<ISpStream> fileStream;
    InterfaceHolder<ISpStreamFormat> savedOutput;
    HRESULT voiceCreation = S_OK;
    // The redirection in force: its file's name (for messages and removal) and, when it
    // could not be set up, why.
    std::basic_string<WCHAR> fileName;
    HRESULT redirectionResult = S_OK;
};
