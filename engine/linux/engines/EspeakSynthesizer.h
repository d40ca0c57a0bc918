#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <string>

#include "Synthesizer.h"

/// espeak-ng. The library keeps global state, so the process has one of these (the
/// start-up's): it is initialised once (synchronous mode) and every synthesis holds this
/// object's lock from start to end: voices take turns, each synthesis in the espeak-ng
/// voice it names. Its data is loaded when the first synthesis needs it and kept from then
/// on. Its voices are one per language of the language table, listed when first needed.
class EspeakSynthesizer : public Synthesizer {
public:
    /// Tells once whether the synthesizer's data is there; later calls report the first
    /// result.
    HRESULT Available() override;
    void AddVoicesTo(voices::Catalogue& catalogue) override;

    /// espeak-ng's voices, read without loading any: the name a voice is set by, in lower
    /// case ("de", "pt-br"), and espeak-ng's own name for it ("German").
    std::map<std::string, std::string> VoiceNames();

    HRESULT Synthesize(const Voice& voice, const UtterancePart* begin, const UtterancePart* end,
                       const SynthesisCall& call) override;
    void Prepare(const Voice& voice) override;
    bool SaysOnlyAscii() const override;
    std::string Words(const Voice& voice, const UtterancePart* begin, const UtterancePart* end) override;

private:
    /// Loads `name` unless it is loaded already; with the lock held.
    bool UseVoice(const char* name);
    /// Loads the phoneme data and the default voice, once; with the lock held. False when
    /// that failed (and it is not tried again).
    bool Load();

    std::mutex synthesisLock;
    std::once_flag availability;
    HRESULT availabilityResult = E_FAIL;
    std::atomic<int> sampleRate{0};  // set once, when loaded (under synthesisLock)
    bool loadTried = false;          // guarded by synthesisLock
    // The voice espeak-ng has loaded; empty when markup may have left it in another one.
    std::string loadedVoice;  // guarded by synthesisLock
};
