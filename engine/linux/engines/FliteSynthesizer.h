#pragma once
#include <map>
#include <mutex>
#include <string>

#include "Synthesizer.h"

struct cst_voice_struct;
struct cst_audio_streaming_info_struct;

/// One of flite's voices once opened: null `voice` when it could not be.
struct LoadedFliteVoice {
    cst_voice_struct* voice = nullptr;
    cst_audio_streaming_info_struct* streaming = nullptr;  // the voice's own, its user data set per call
    float ownStretch = 1.0f;  // the voice's own duration_stretch
    float level = 1.0f;       // the gain that makes it as loud as the others
};

/// flite, with its five English voices. Each voice is a shared library of some MiB once
/// loaded, so a voice is opened and registered when it first speaks or is prepared, never
/// before, and kept from then on. flite keeps state in its voices, so the process has one
/// of these (the start-up's) and every synthesis holds this object's lock from start to
/// end: voices take turns. Audio is handed on as flite makes it, a sentence at a time
/// (flite analyses a sentence's words in one go): `stopped` is asked before each. An
/// error flite reports fails that synthesis, and the voice goes on with the next.
class FliteSynthesizer : public Synthesizer {
public:
    void AddVoicesTo(voices::Catalogue& catalogue) override;
    HRESULT Synthesize(const Voice& voice, const UtterancePart* begin, const UtterancePart* end,
                       const SynthesisCall& call) override;
    void Prepare(const Voice& voice) override;
    bool SaysOnlyAscii() const override;
    std::string Words(const Voice& voice, const UtterancePart* begin, const UtterancePart* end) override;

private:
    /// The voice `name`, opened and registered on its first use; null when it cannot be.
    /// With the lock held.
    LoadedFliteVoice* Load(const std::string& name);

    std::mutex synthesisLock;
    std::map<std::string, LoadedFliteVoice> loaded;  // guarded by synthesisLock; failures too
};
