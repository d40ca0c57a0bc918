#include "SynthesisProducer.h"

#include <algorithm>
#include <vector>

#include "EspeakSynthesizer.h"

namespace {

constexpr unsigned kSilencePieceMilliseconds = 20;

/// `milliseconds` of silence at `sampleRate` into the pipeline, in pieces, so that a
/// purge cuts it short.
HRESULT SpeakSilence(AudioPipeline& pipeline, DWORD sampleRate, unsigned milliseconds,
                     const PipelineControls& controls) {
    const std::vector<int16_t> zeros(sampleRate * kSilencePieceMilliseconds / 1000, 0);
    uint64_t left = uint64_t{milliseconds} * sampleRate / 1000;
    while (left > 0) {
        if (controls.cancelled()) return S_FALSE;
        size_t count = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
        HRESULT hr = pipeline.Write(zeros.data(), count);
        if (hr != S_OK) return hr;
        left -= count;
    }
    return S_OK;
}

}  // namespace

HRESULT SpeakUtterance(const Utterance& utterance, const char* language, LONG rate, AudioSink& output,
                       const PipelineControls& controls, bool waitUntilHeard) {
    if (utterance.empty() || controls.cancelled()) return S_OK;
    HRESULT hr = EspeakSynthesizer::Initialize();
    if (FAILED(hr)) return hr;
    DWORD synthesisRate = EspeakSynthesizer::SampleRate();  // loads the synthesizer on first use
    if (synthesisRate == 0) return E_FAIL;
    // Synthesized audio and silences alike go through the one pipeline in order.
    const SampleLayout synthesized{SampleLayout::Encoding::Pcm16, 1, synthesisRate, 2};
    std::unique_ptr<AudioPipeline> pipeline;
    hr = AudioPipeline::Create(synthesized, output, controls, &pipeline);
    if (FAILED(hr)) return hr;
    // espeak-ng opens an utterance with some milliseconds of digital silence; played live,
    // leaving it out lets the first sound be heard that much sooner.
    bool skipLeadingSilence = output.PlaysInRealTime();
    HRESULT delivered = S_OK;
    auto onChunk = [&](const int16_t* samples, size_t count) {
        if (controls.cancelled()) {
            delivered = S_FALSE;
            return false;
        }
        if (skipLeadingSilence) {
            size_t silent = 0;
            while (silent < count && samples[silent] == 0) ++silent;
            if (silent == count) return true;
            samples += silent;
            count -= silent;
            skipLeadingSilence = false;
        }
        delivered = pipeline->Write(samples, count);
        return delivered == S_OK;
    };
    const int wordsPerMinute = EspeakSynthesizer::WordsPerMinute(rate);
    for (const UtterancePart& part : utterance) {
        if (part.IsSilence()) {
            delivered = SpeakSilence(*pipeline, synthesisRate, part.silenceMs, controls);
        } else {
            unsigned textFlags = EspeakSynthesizer::kPlainText;
            if (part.ssml) textFlags |= EspeakSynthesizer::kSsml;
            if (part.phonemes) textFlags |= EspeakSynthesizer::kPhonemes;
            hr = EspeakSynthesizer::Synthesize(part.text, textFlags, language, wordsPerMinute, onChunk);
            if (delivered == S_OK && FAILED(hr)) delivered = hr;
        }
        if (delivered != S_OK) break;
    }
    return pipeline->Complete(delivered, waitUntilHeard);
}
