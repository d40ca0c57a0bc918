#include "StreamProducer.h"

HRESULT SpeakSource(std::shared_ptr<AudioSource> source, AudioSink& output, const PipelineControls& controls,
                    bool waitUntilHeard) {
    std::unique_ptr<AudioPipeline> pipeline;
    HRESULT hr = AudioPipeline::Create(source->Layout(), AudioOrigin::Recorded, output, controls, &pipeline);
    if (FAILED(hr)) return hr;
    HRESULT delivered = S_OK;
    for (;;) {
        if (controls.cancelled()) {
            delivered = S_FALSE;
            break;
        }
        size_t got = 0;
        delivered = pipeline->ReadFrom(*source, &got);
        if (delivered != S_OK || got == 0) break;
    }
    source.reset();  // a file is closed before the output is waited for
    return pipeline->Complete(delivered, waitUntilHeard);
}
