#pragma once
// voice/: the voice behind CLSID_SpVoice (this header), its work queue and its producers:
// the synthesis producer reads markup into an utterance (text/), has the front end read it
// aloud, and hands the parts to the engines (engines/). It is the top floor: it includes
// engines/, text/, voices/, types/, audio/, streams/ and com/, and nothing includes it but
// the start-up.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "VoiceParts.h"
#include "WorkQueue.h"
#include "engine/ComObject.h"
#include "engine/InterfaceHolder.h"
#include "engine/linux/audio/AudioPipeline.h"
#include "engine/linux/types/Voice.h"

/// Makes a voice (CLSID_SpVoice) on the default audio output, speaking with `parts`;
/// fails when one of its engines cannot work here.
HRESULT CreateSpVoice(VoiceParts& parts, REFIID iid, void** object);

/// The words a voice made now with `parts` would say for `utf8` given to Speak without
/// either XML flag: markup read, written text read aloud in each voice's language, the
/// engines' own reading where they show it (see SpokenWords).
std::string SpokenWordsOf(const std::string& utf8, VoiceParts& parts);

class DeviceOutput;

/// The voice behind CLSID_SpVoice: the COM surface. Its work (text, streams, output
/// switches) is done in order on its WorkQueue's thread; Speak and SpeakStream hand it
/// work made by the producers (SpeakUtterance, SpeakSource). Volume is read on every piece
/// of audio; rate at the start of each utterance. Text given without either XML flag is
/// markup when it looks like markup. The voice speaks with its default voice (SPEECH_VOICE,
/// else the user's language), chosen once when it is made. Calls may come from any thread.
class SpVoice : public ComObject<ISpVoice> {
public:
    /// A new voice on the default audio output, speaking with `parts`, its worker
    /// running; null if the worker could not be started.
    static SpVoice* Create(VoiceParts& parts);

    /// The voice of `catalogue` a voice made now speaks with whatever markup does not give
    /// to another: the one SPEECH_VOICE names, else the user's language's (Default). A
    /// voice asked for that does not exist is reported on standard error, once a process.
    static VoiceChoice ChooseDefaultVoice(const voices::Catalogue& catalogue);

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
    explicit SpVoice(VoiceParts& parts);
    ~SpVoice() override = default;

    /// Fails when the output later speech goes to is the device and it cannot be opened.
    HRESULT CheckDevice();
    /// How the pipelines of work given now are steered: this voice's volume, and `stale`.
    PipelineControls Controls(const std::function<bool()>& stale) const;

    VoiceParts& parts;
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
