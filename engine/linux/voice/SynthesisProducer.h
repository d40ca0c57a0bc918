#pragma once
#include "Utterance.h"
#include "engine/linux/audio/AudioPipeline.h"

/// Speaks one utterance into `output`: its text parts synthesised by espeak-ng in the
/// espeak-ng voice `language` at the voice rate `rate` (-10 to 10), its silences made
/// sample by sample, all through one AudioPipeline in order. Stops as soon as the controls
/// call it off (S_OK then); when `waitUntilHeard`, returns once the output has played it.
HRESULT SpeakUtterance(const Utterance& utterance, const char* language, LONG rate, AudioSink& output,
                       const PipelineControls& controls, bool waitUntilHeard);
