#include "SynthesisProducer.h"

#include <memory>

#include "engine/linux/engines/Synthesis.h"

Utterance ReadAloud(const Utterance& utterance, VoiceParts& parts) {
    Utterance said = utterance;
    for (UtterancePart& part : said) {
        const Voice* voice = part.style.voice.voice;
        if (part.kind != UtterancePart::Kind::Words || voice == nullptr || !HasWords(part.text)) continue;
        const Synthesizer* engine = parts.engines.For(voice->engine);
        const text::Reading reading{voice->language, engine != nullptr && engine->SaysOnlyAscii()};
        if (!part.style.asWritten && !part.style.spell) part.text = parts.frontEnd.ReadAloud(part.text, reading);
        else if (reading.asciiOnly) part.text = parts.frontEnd.FoldedToAscii(part.text);
    }
    return said;
}

std::string SpokenWords(const Utterance& utterance, VoiceParts& parts) {
    const Utterance said = ReadAloud(utterance, parts);
    std::string words;
    const UtterancePart* at = said.data();
    const UtterancePart* end = at + said.size();
    while (at != end) {
        const UtterancePart* stretchEnd = at;
        while (stretchEnd != end && stretchEnd->style.voice.voice == at->style.voice.voice) ++stretchEnd;
        const Voice* voice = at->style.voice.voice;
        if (Synthesizer* engine = voice != nullptr ? parts.engines.For(voice->engine) : nullptr) {
            std::string stretch = engine->Words(*voice, at, stretchEnd);
            if (!words.empty() && !stretch.empty()) words += ' ';
            words += stretch;
        }
        at = stretchEnd;
    }
    return words;
}

HRESULT SpeakUtterance(const Utterance& utterance, LONG rate, VoiceParts& parts, AudioSink& output,
                       const PipelineControls& controls, bool waitUntilHeard) {
    if (utterance.empty() || controls.cancelled()) return S_OK;
    std::unique_ptr<AudioPipeline> pipeline;
    SynthesizedFormat made;  // what `pipeline` was made for; its level is the chunk's own
    auto onAudio = [&](const int16_t* samples, size_t count, const SynthesizedFormat& format) -> HRESULT {
        if (!pipeline || format.sampleRate != made.sampleRate || format.speed != made.speed) {
            if (pipeline) {
                // What the last synthesizer said is handed on before the next one speaks.
                HRESULT finished = pipeline->Complete(S_OK, false);
                pipeline.reset();
                if (finished != S_OK) return finished;
            }
            const SampleLayout synthesized{SampleLayout::Encoding::Pcm16, 1, format.sampleRate, 2};
            PipelineControls steering = controls;
            steering.speed = format.speed;
            HRESULT hr = AudioPipeline::Create(synthesized, AudioOrigin::Synthesized, output, steering, &pipeline);
            if (FAILED(hr)) return hr;
            made = format;
        }
        return pipeline->Write(samples, count, format.level);
    };
    SynthesisSettings settings;
    settings.rate = rate;
    // Synthesizers open an utterance with some milliseconds of quiet; played live, leaving
    // it out lets the first sound be heard that much sooner.
    settings.skipLeadingSilence = output.PlaysInRealTime();
    // Heard live, the first phrase is heard before the rest of its sentence is worked out.
    settings.firstPhraseAlone = output.PlaysInRealTime();
    settings.stopped = controls.cancelled;
    HRESULT produced = SynthesizeUtterance(ReadAloud(utterance, parts), settings, parts.engines, onAudio);
    if (pipeline) return pipeline->Complete(produced, waitUntilHeard);
    // Nothing was heard from any synthesizer.
    if (produced == S_FALSE) {
        output.Discard();
        return S_OK;
    }
    return produced;
}
