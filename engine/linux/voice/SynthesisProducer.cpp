#include "SynthesisProducer.h"

#include <memory>

#include "Synthesis.h"

HRESULT SpeakUtterance(const Utterance& utterance, LONG rate, AudioSink& output, const PipelineControls& controls,
                       bool waitUntilHeard) {
    if (utterance.empty() || controls.cancelled()) return S_OK;
    std::unique_ptr<AudioPipeline> pipeline;
    DWORD pipelineRate = 0;
    auto onAudio = [&](const int16_t* samples, size_t count, unsigned sampleRate) -> HRESULT {
        if (sampleRate != pipelineRate) {
            if (pipeline) {
                // What the last synthesizer said is handed on before the next one speaks.
                HRESULT finished = pipeline->Complete(S_OK, false);
                pipeline.reset();
                if (finished != S_OK) return finished;
            }
            const SampleLayout synthesized{SampleLayout::Encoding::Pcm16, 1, sampleRate, 2};
            HRESULT hr = AudioPipeline::Create(synthesized, AudioOrigin::Synthesized, output, controls, &pipeline);
            if (FAILED(hr)) return hr;
            pipelineRate = sampleRate;
        }
        return pipeline->Write(samples, count);
    };
    SynthesisSettings settings;
    settings.rate = rate;
    // Synthesizers open an utterance with some milliseconds of quiet; played live, leaving
    // it out lets the first sound be heard that much sooner.
    settings.skipLeadingSilence = output.PlaysInRealTime();
    settings.stopped = controls.cancelled;
    HRESULT produced = SynthesizeUtterance(utterance, settings, onAudio);
    if (pipeline) return pipeline->Complete(produced, waitUntilHeard);
    // Nothing was heard from any synthesizer.
    if (produced == S_FALSE) {
        output.Discard();
        return S_OK;
    }
    return produced;
}
