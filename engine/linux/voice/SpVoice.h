#pragma once
// voice/: the voice behind CLSID_SpVoice (this header) and what it is made of, as the
// README's Layout section lists. It calls engines/, text/, voices/, audio/, streams/ and
// com/.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "WorkQueue.h"
#include "engine/ComObject.h"
#include "engine/InterfaceHolder.h"
#include "engine/linux/voices/VoiceSelection.h"
#include "engine/linux/audio/AudioPipeline.h"

/// Makes a voice (CLSID_SpVoice) on the default audio output; fails when the synthesizer
/// cannot work here.
HRESULT CreateSpVoice(REFIID iid, void** object);
/// Enters the voice's class into the engine's class table.
void RegisterVoiceClasses();

/// The words a voice made now would say for `utf8` given to Speak without either XML flag:
/// markup read, written text read aloud in each voice's language, the engines' own reading
/// where they show it (see SpokenWords).
std::string SpokenWordsOf(const std::string& utf8);

class DeviceOutput;

/// The voice behind CLSID_SpVoice: the COM surface. Its work (text, streams, output
/// switches) is done in order on its WorkQueue's thread; Speak and SpeakStream hand it
/// work made by the producers (SpeakUtterance, SpeakSource). Volume is read on every piece
/// of audio; rate at the start of each utterance. Text given without either XML flag is
/// markup when it looks like markup. The voice speaks with its default voice (SPEECH_VOICE,
/// else the user's language), chosen once when it is made. Calls may come from any thread.
class SpVoice : public ComObject<ISpVoice> {
public:
    /// A new voice on the default audio output, its worker running; null if the worker
    /// could not be started.
    static SpVoice* Create();

    /// The voice a voice made now speaks with whatever markup does not give to another:
    /// the one SPEECH_VOICE names, else the user's language's (voices::Default). A voice
    /// asked for that does not exist is reported on standard error, once a process.
    static VoiceChoice ChooseDefaultVoice();

    HRESULT SetOutput(IUnknown* output, BOOL allowFormatChanges) override;
    HRESULT GetOutputStream(ISpStreamFormat** stream) override;
    HRESULT SetRate(LONG rate) override;
    HRESULT GetRate(LONG* rate) override;
    HRESULT SetVolume(USHORT volume) override;
    HRESULT GetVolume(USHORT* volume) override;
    HRESULT Speak(LPCWSTR text, DWORD flags, ULONG* streamNumber) override;
    HRESULT SpeakStream(IStream* stream, DWORD flags, ULONG* streamNumber) override;
    HRESULT WaitUntilDone(ULONG milliseconds) override;

private:
    SpVoice();
    ~SpVoice() override = default;

    /// Fails when the output later speech goes to is the device and it cannot be opened.
    HRESULT CheckDevice();
    /// How the pipelines of work given now are steered: this voice's volume, and `stale`.
    PipelineControls Controls(const std::function<bool()>& stale) const;

    std::atomic<USHORT> volume{SPMAX_VOLUME};
    std::atomic<LONG> rate{0};
    const VoiceChoice defaultVoice;  // speaks what markup does not give to another voice

    std::mutex lock;
    // What later work will go to, as callers see it (the worker follows through the queue).
    InterfaceHolder<ISpStreamFormat> reportedOutput;
    bool outputIsDevice = true;

    std::shared_ptr<DeviceOutput> device;
    InterfaceHolder<ISpStreamFormat> deviceToken;
    WorkQueue work;  // last: its worker stops before the rest goes
};
