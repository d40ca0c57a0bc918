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

/// One Speak call's way through its utterance: the audio handed on with the rate it came
/// at. Synthesizers begin and end their speech with some quiet of their own;
/// where markup asks for a silence, or the speech is heard live and the sooner the better,
/// that quiet is left out, so a silence lasts what markup says.
class Speech {
public:
    Speech(const SynthesisSettings& settings, const SynthesisAudio& onAudio) : settings(settings), onAudio(onAudio) {}

    HRESULT result = S_OK;

    bool Stopped() {
        if (result == S_OK && settings.stopped && settings.stopped()) result = S_FALSE;
        return result != S_OK;
    }

    void Silence(unsigned milliseconds) {
        const unsigned sampleRate = rate != 0 ? rate : kFirstSilenceRate;
        const std::vector<int16_t> zeros(sampleRate * kSilencePieceMilliseconds / 1000, 0);
        uint64_t left = uint64_t{milliseconds} * sampleRate / 1000;
        while (left > 0 && !Stopped()) {
            size_t count = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
            result = onAudio(zeros.data(), count, sampleRate);
            left -= count;
        }
    }

    /// The parts [begin, end), one voice's and none a pause; the quiet at the start and at
    /// the end is left out as asked.
    void Say(const UtterancePart* begin, const UtterancePart* end, bool trimStart, bool trimEnd) {
        trimmingStart = trimStart;
        trimmingEnd = trimEnd;
        const Voice& voice = *begin->style.voice.voice;
        HRESULT hr = S_OK;
        if (voice.engine == SynthesisEngine::Flite) {
            hr = FliteSynthesizer::Synthesize(voice.engineVoice, begin, end, FliteSynthesizer::Pace(settings.rate), trimStart,
                                              [this](const int16_t* samples, size_t count, unsigned sampleRate) {
                                                  return Chunk(samples, count, sampleRate);
                                              },
                                              [this] { return Stopped(); });
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
        heldQuiet.clear();  // the quiet at the end
        if (result == S_OK && FAILED(hr)) result = hr;
    }

private:
    // Quieter than this (about -60 dB) is the synthesizers' quiet, not speech.
    static constexpr int kQuietest = 32;

    static bool IsQuiet(int16_t sample) { return sample > -kQuietest && sample < kQuietest; }

    /// A synthesizer's audio; false stops it.
    bool Chunk(const int16_t* samples, size_t count, unsigned sampleRate) {
        if (Stopped()) return false;
        if (trimmingStart) {
            size_t quiet = 0;
            while (quiet < count && IsQuiet(samples[quiet])) ++quiet;
            if (quiet == count) return true;
            samples += quiet;
            count -= quiet;
            trimmingStart = false;
        }
        size_t kept = count;  // up to the last sound, when the quiet at the end is left out
        if (trimmingEnd)
            while (kept > 0 && IsQuiet(samples[kept - 1])) --kept;
        if (kept > 0) {
            rate = sampleRate;
            if (!heldQuiet.empty()) result = onAudio(heldQuiet.data(), heldQuiet.size(), sampleRate);
            heldQuiet.clear();
            if (result == S_OK) result = onAudio(samples, kept, sampleRate);
        }
        heldQuiet.insert(heldQuiet.end(), samples + kept, samples + count);
        return result == S_OK;
    }

    const SynthesisSettings& settings;
    const SynthesisAudio& onAudio;
    bool trimmingStart = false;
    bool trimmingEnd = false;
    unsigned rate = 0;
    std::vector<int16_t> heldQuiet;  // quiet that goes on only if sound follows it
};

}  // namespace

HRESULT SynthesizeUtterance(const Utterance& utterance, const SynthesisSettings& settings, const SynthesisAudio& onAudio) {
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
        bool afterPause = at != utterance.data() && at[-1].kind == UtterancePart::Kind::Pause;
        bool beforePause = stretchEnd != end && stretchEnd->kind == UtterancePart::Kind::Pause;
        bool first = at == utterance.data();
        if (std::any_of(at, stretchEnd, IsSpoken))
            speech.Say(at, stretchEnd, afterPause || (first && settings.skipLeadingSilence), beforePause);
        at = stretchEnd;
    }
    return speech.result;
}
