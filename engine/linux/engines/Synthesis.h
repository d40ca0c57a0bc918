#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Synthesizer.h"
#include "engine/linux/com/Com.h"
#include "engine/linux/types/Utterance.h"

/// How synthesized audio is to be played on: at `sampleRate`, `level` times as loud,
/// `speed` times as fast (a time-scale modifier's work, the pitch kept).
struct SynthesizedFormat {
    unsigned sampleRate = 0;
    float level = 1.0f;
    float speed = 1.0f;
};

/// Receives synthesized audio: 16-bit mono samples, the way they are to be played on,
/// which changes only where another synthesizer or style takes over. S_OK goes on; any
/// other result stops the speech.
using SynthesisAudio = std::function<HRESULT(const int16_t* samples, size_t count, const SynthesizedFormat& format)>;

/// How a voice rate is reached: the engine's own pace, then a time-scale modifier's speed.
struct Pacing {
    double enginePace = 1.0;
    double timeScale = 1.0;
};

/// The pacing for `engine` at the voice rate `rate` (-10 to 10): each step multiplies the
/// pace by the tenth root of 3 (+10 is three times as fast, -10 a third). Fast speech is
/// understood better when it is synthesized at a natural pace and then sped up, for the
/// engines and rates where the intelligibility bench showed it.
Pacing PacingFor(SynthesisEngine engine, LONG rate);

/// How an utterance is to be spoken.
struct SynthesisSettings {
    LONG rate = 0;                   // the voice's rate, -10 to 10
    bool skipLeadingSilence = false; // leave out the silence synthesizers open with (played live)
    bool firstPhraseAlone = false;   // the first phrase heard before the rest is worked out (live)
    std::function<bool()> stopped;   // true once the speech is no longer wanted
};

/// Synthesizes `utterance`, its words already read aloud as each voice is to say them,
/// each stretch with the engine of `engines` that the voice saying it names, the silences
/// made here sample by sample (synthesizers' own pauses shrink at their fastest rates),
/// handing everything to `onAudio` in order as it is made.
/// Returns S_OK when all of it was said, S_FALSE when it was stopped, or the failure of
/// `onAudio` or of a synthesizer (E_FAIL where no engine of `engines` has that name).
HRESULT SynthesizeUtterance(const Utterance& utterance, const SynthesisSettings& settings, const Synthesizers& engines,
                            const SynthesisAudio& onAudio);
