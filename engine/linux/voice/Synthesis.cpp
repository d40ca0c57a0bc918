#include "Synthesis.h"

#include <algorithm>
#include <vector>

#include "EspeakMarkup.h"
#include "EspeakSynthesizer.h"
#include "FliteSynthesizer.h"

namespace {

constexpr unsigned kSilencePieceMilliseconds = 20;
// The rate of a silence heard before any synthesizer has spoken.
constexpr unsigned kFirstSilenceRate = 16000;

/// One Speak call's way through its utterance: the audio handed on, as floats, with the
/// rate it came at.
class Speech {
public:
    Speech(const SynthesisSettings& settings, const SynthesisAudio& onAudio)
        : settings(settings), onAudio(onAudio), skipSilence(settings.skipLeadingSilence) {}

    HRESULT result = S_OK;

    bool Stopped() {
        if (result == S_OK && settings.stopped && settings.stopped()) result = S_FALSE;
        return result != S_OK;
    }

    /// A synthesizer's audio; false stops it.
    bool Chunk(const int16_t* samples, size_t count, unsigned sampleRate) {
        if (Stopped()) return false;
        if (skipSilence) {
            size_t silent = 0;
            while (silent < count && samples[silent] == 0) ++silent;
            if (silent == count) return true;
            samples += silent;
            count -= silent;
            skipSilence = false;
        }
        converted.resize(count);
        for (size_t i = 0; i < count; ++i) converted[i] = samples[i] / 32768.0f;
        rate = sampleRate;
        result = onAudio(converted.data(), count, sampleRate);
        return result == S_OK;
    }

    void Silence(unsigned milliseconds) {
        const unsigned sampleRate = rate != 0 ? rate : kFirstSilenceRate;
        const std::vector<float> zeros(sampleRate * kSilencePieceMilliseconds / 1000, 0.0f);
        uint64_t left = uint64_t{milliseconds} * sampleRate / 1000;
        while (left > 0 && !Stopped()) {
            size_t count = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
            result = onAudio(zeros.data(), count, sampleRate);
            left -= count;
        }
    }

    /// The parts [begin, end), one voice's and none a pause.
    void Say(const UtterancePart* begin, const UtterancePart* end) {
        const Voice& voice = *begin->style.voice.voice;
        HRESULT hr = S_OK;
        if (voice.engine == SynthesisEngine::Flite) {
            hr = FliteSynthesizer::Synthesize(voice.engineVoice, begin, end, FliteSynthesizer::Pace(settings.rate),
                                              [this](const int16_t* samples, size_t count, unsigned sampleRate) {
                                                  return Chunk(samples, count, sampleRate);
                                              });
        } else {
            EspeakMarkup markup = ToEspeakMarkup(begin, end);
            unsigned textFlags = EspeakSynthesizer::kSsml | (markup.phonemes ? unsigned{EspeakSynthesizer::kPhonemes} : 0u);
            const unsigned sampleRate = EspeakSynthesizer::SampleRate();  // loads the synthesizer on first use
            if (sampleRate == 0) hr = E_FAIL;
            else
                hr = EspeakSynthesizer::Synthesize(markup.text, textFlags, voice.engineVoice.c_str(),
                                                   EspeakSynthesizer::WordsPerMinute(settings.rate),
                                                   [&](const int16_t* samples, size_t count) {
                                                       return Chunk(samples, count, sampleRate);
                                                   });
        }
        if (result == S_OK && FAILED(hr)) result = hr;
    }

private:
    const SynthesisSettings& settings;
    const SynthesisAudio& onAudio;
    bool skipSilence;
    unsigned rate = 0;
    std::vector<float> converted;
};


}  // namespace

HRESULT SpeakUtterance(const Utterance& utterance, const SynthesisSettings& settings, const SynthesisAudio& onAudio) {
    Speech speech(settings, onAudio);
    const UtterancePart* at = utterance.data();
    const UtterancePart* end = at + utterance.size();
    while (at != end && !speech.Stopped()) {
        if (at->kind == UtterancePart::Kind::Pause) {
            speech.Silence(at->milliseconds);
            ++at;
            continue;
        }
        // A stretch spoken by one voice, up to the next pause or the next voice.
        const UtterancePart* stretchEnd = at;
        while (stretchEnd != end && stretchEnd->kind != UtterancePart::Kind::Pause &&
               stretchEnd->style.voice.voice == at->style.voice.voice)
            ++stretchEnd;
        if (std::any_of(at, stretchEnd, IsSpoken)) speech.Say(at, stretchEnd);
        at = stretchEnd;
    }
    return speech.result;
}
