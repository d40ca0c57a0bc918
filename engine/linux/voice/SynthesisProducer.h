#pragma once
#include "engine/linux/text/Utterance.h"
#include "engine/linux/audio/AudioPipeline.h"

/// Speaks one utterance into `output` at the voice rate `rate` (-10 to 10): each stretch
/// synthesized by the engine of the voice that says it, its silences made sample by
/// sample, all in order through an AudioPipeline made for the rate the audio comes at
/// (made anew where a synthesizer with another rate takes over). Stops as soon as the
/// controls call it off (S_OK then); when `waitUntilHeard`, returns once the output has
/// played it.
HRESULT SpeakUtterance(const Utterance& utterance, LONG rate, AudioSink& output, const PipelineControls& controls,
                       bool waitUntilHeard);
