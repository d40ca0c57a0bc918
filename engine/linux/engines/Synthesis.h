#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/linux/text/Utterance.h"
#include "engine/linux/voices/Voices.h"
#include "engine/linux/com/Com.h"

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

/// The parts [begin, end), all for `voice`, as its engine is to be given them: words read
/// aloud as written text in the voice's language (unless markup said how to read them),
/// letters folded for an engine that says only ASCII.
std::vector<UtterancePart> AsSaidBy(const Voice& voice, const UtterancePart* begin, const UtterancePart* end);

/// The words `utterance` comes to, as its voices will say them: after the text is read
/// aloud and after the engines' own reading where they show one. Stretches of different
/// voices are joined by a blank.
std::string SpokenWords(const Utterance& utterance);

/// Synthesizes `utterance`, each stretch with the synthesizer of the voice that says it
/// (espeak-ng or flite), its words as that voice reads them (AsSaidBy), the silences
/// made here sample by sample (synthesizers' own pauses shrink at their fastest rates),
/// handing everything to `onAudio` in order as it is made.
/// Returns S_OK when all of it was said, S_FALSE when it was stopped, or the failure of
/// `onAudio` or of a synthesizer.
HRESULT SynthesizeUtterance(const Utterance& utterance, const SynthesisSettings& settings, const SynthesisAudio& onAudio);
