#pragma once
#include "Synthesizer.h"

/// The process's flite. Each of its voices is a shared library of some MiB once loaded, so
/// a voice is opened and registered when it first speaks or is prepared, never before,
/// and kept from then on. flite keeps state in its voices: every synthesis holds one
/// process-wide lock from start to end, and voices take turns. Audio is handed on as
/// flite makes it, a sentence at a time (flite analyses a sentence's words in one go):
/// `stopped` is asked before each.
class FliteSynthesizer : public Synthesizer {
public:
    HRESULT Synthesize(const Voice& voice, const UtterancePart* begin, const UtterancePart* end,
                       const SynthesisCall& call) override;
    void Prepare(const Voice& voice) override;
    bool SaysOnlyAscii() const override;
    std::string Words(const Voice& voice, const UtterancePart* begin, const UtterancePart* end) override;
};
