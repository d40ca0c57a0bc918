#pragma once
#include <memory>

#include "engine/linux/audio/AudioPipeline.h"

/// Speaks a stream: reads `source` to its end through one AudioPipeline into `output`,
/// and lets go of it as soon as it has been read. Stops as soon as the controls call it
/// off (S_OK then) or a read fails (that failure); when `waitUntilHeard`, returns once the
/// output has played it.
HRESULT SpeakSource(std::shared_ptr<AudioSource> source, AudioSink& output, const PipelineControls& controls,
                    bool waitUntilHeard);
