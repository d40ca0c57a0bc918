#include "Synthesizer.h"

#include "EspeakSynthesizer.h"
#include "FliteSynthesizer.h"

Synthesizer& Synthesizer::For(SynthesisEngine engine) {
    static EspeakSynthesizer espeak;
    static FliteSynthesizer flite;
    if (engine == SynthesisEngine::Flite) return flite;
    return espeak;
}
