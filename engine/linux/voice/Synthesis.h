#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

#include "Utterance.h"
#include "engine/linux/com/Com.h"

/// Receives synthesized audio: 16-bit mono samples at `sampleRate`, which changes only
/// where another synthesizer takes over. S_OK goes on; any other result stops the speech.
using SynthesisAudio = std::function<HRESULT(const int16_t* samples, size_t count, unsigned sampleRate)>;

/// How an utterance is to be spoken.
struct SynthesisSettings {
    LONG rate = 0;                   // the voice's rate, -10 to 10
    bool skipLeadingSilence = false; // leave out the silence synthesizers open with (played live)
    std::function<bool()> stopped;   // true once the speech is no longer wanted
};

/// Synthesizes `utterance`, each stretch with the synthesizer of the voice that says it
/// (espeak-ng or flite), the silences made here sample by sample (synthesizers' own pauses
/// shrink at their fastest rates), handing everything to `onAudio` in order as it is made.
/// Returns S_OK when all of it was said, S_FALSE when it was stopped, or the failure of
/// `onAudio` or of a synthesizer.
HRESULT SynthesizeUtterance(const Utterance& utterance, const SynthesisSettings& settings, const SynthesisAudio& onAudio);
