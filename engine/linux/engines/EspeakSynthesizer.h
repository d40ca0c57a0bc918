#pragma once
#include <map>
#include <string>

#include "Synthesizer.h"

/// The process's one espeak-ng synthesizer. espeak-ng keeps global state, so it is
/// initialised once (synchronous mode) and every synthesis holds one process-wide lock
/// from start to end: voices take turns, each synthesis in the espeak-ng voice it names.
/// Its data is loaded when the first synthesis needs it and kept from then on.
class EspeakSynthesizer : public Synthesizer {
public:
    /// Tells once whether the synthesizer's data is there; later calls report the first
    /// result.
    static HRESULT Initialize();

    /// espeak-ng's voices, read without loading any: the name a voice is set by, in lower
    /// case ("de", "pt-br"), and espeak-ng's own name for it ("German").
    static std::map<std::string, std::string> VoiceNames();

    HRESULT Synthesize(const Voice& voice, const UtterancePart* begin, const UtterancePart* end,
                       const SynthesisCall& call) override;
    void Prepare(const Voice& voice) override;
    bool SaysOnlyAscii() const override;
    std::string Words(const Voice& voice, const UtterancePart* begin, const UtterancePart* end) override;
};
