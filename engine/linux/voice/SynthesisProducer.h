#pragma once
#include <string>

#include "VoiceParts.h"
#include "engine/linux/audio/AudioPipeline.h"
#include "engine/linux/types/Utterance.h"

/// `utterance` as its engines are to be given it: words read aloud by the front end as
/// written text in the language of the voice that says them (unless markup said how to
/// read them), letters folded for an engine that says only ASCII.
Utterance ReadAloud(const Utterance& utterance, VoiceParts& parts);

/// The words `utterance` comes to, as its voices will say them: after the text is read
/// aloud and after the engines' own reading where they show one. Stretches of different
/// voices are joined by a blank.
std::string SpokenWords(const Utterance& utterance, VoiceParts& parts);

/// Speaks one utterance into `output` at the voice rate `rate` (-10 to 10): read aloud
/// (ReadAloud), then each stretch synthesized by the engine of the voice that says it,
/// its silences made sample by sample, all in order through an AudioPipeline made for the
/// rate the audio comes at (made anew where a synthesizer with another rate takes over).
/// Stops as soon as the controls call it off (S_OK then); when `waitUntilHeard`, returns
/// once the output has played it.
HRESULT SpeakUtterance(const Utterance& utterance, LONG rate, VoiceParts& parts, AudioSink& output,
                       const PipelineControls& controls, bool waitUntilHeard);
