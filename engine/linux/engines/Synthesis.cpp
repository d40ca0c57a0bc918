#include "Synthesis.h"

#include <algorithm>
#include <cmath>
#include <vector>


namespace {

constexpr unsigned kSilencePieceMilliseconds = 20;
// The fastest rate at which flite's speech is made at its own pace and then sped up.
constexpr LONG kLastTimeScaledFliteRate = 4;
// The rate of a silence heard before any synthesizer has spoken.
constexpr unsigned kFirstSilenceRate = 16000;

/// One Speak call's way through its utterance: the audio handed on with the rate it came
/// at. Synthesizers begin and end their speech with some quiet of their own;
/// where markup asks for a silence, or the speech is heard live and the sooner the better,
/// that quiet is left out, so a silence lasts what markup says.
class Speech {
public:
    Speech(const SynthesisSettings& settings, const Synthesizers& engines, const SynthesisAudio& onAudio)
        : settings(settings), engines(engines), onAudio(onAudio) {}

    HRESULT result = S_OK;

    bool Stopped() {
        if (result == S_OK && settings.stopped && settings.stopped()) result = S_FALSE;
        return result != S_OK;
    }

    void Silence(unsigned milliseconds) {
        // A silence lasts what markup says: where the audio is sped up, it is made that
        // much longer first.
        SynthesizedFormat silence = format;
        if (silence.sampleRate == 0) silence.sampleRate = kFirstSilenceRate;
        const std::vector<int16_t> zeros(silence.sampleRate * kSilencePieceMilliseconds / 1000, 0);
        auto left = static_cast<uint64_t>(std::llround(double(milliseconds) * silence.sampleRate / 1000 * silence.speed));
        while (left > 0 && !Stopped()) {
            size_t count = static_cast<size_t>(std::min<uint64_t>(left, zeros.size()));
            result = onAudio(zeros.data(), count, silence);
            left -= count;
        }
    }

    /// The parts [begin, end), one voice's and none a pause; the quiet at the start and at
    /// the end is left out as asked.
    void Say(const UtterancePart* begin, const UtterancePart* end, bool trimStart, bool trimEnd) {
        trimmingStart = trimStart;
        trimmingEnd = trimEnd;
        const Voice& voice = *begin->style.voice.voice;
        const Pacing pacing = PacingFor(voice.engine, settings.rate);
        SynthesisCall call;
        call.pace = pacing.enginePace;
        call.withoutOpeningPause = trimStart;
        call.firstPhraseAlone = settings.firstPhraseAlone && first;
        first = false;
        call.onAudio = [this, speed = static_cast<float>(pacing.timeScale)](const int16_t* samples, size_t count,
                                                                           unsigned sampleRate, float level) {
            return Chunk(samples, count, SynthesizedFormat{sampleRate, level, speed});
        };
        call.stopped = [this] { return Stopped(); };
        Synthesizer* engine = engines.For(voice.engine);
        HRESULT hr = engine != nullptr ? engine->Synthesize(voice, begin, end, call) : E_FAIL;
        heldQuiet.clear();  // the quiet at the end
        if (result == S_OK && FAILED(hr)) result = hr;
    }

private:
    // Quieter than this (about -60 dB) is the synthesizers' quiet, not speech.
    static constexpr int kQuietest = 32;

    static bool IsQuiet(int16_t sample) { return sample > -kQuietest && sample < kQuietest; }

    /// A synthesizer's audio; false stops it.
    bool Chunk(const int16_t* samples, size_t count, const SynthesizedFormat& chunkFormat) {
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
            format = chunkFormat;
            if (!heldQuiet.empty()) result = onAudio(heldQuiet.data(), heldQuiet.size(), format);
            heldQuiet.clear();
            if (result == S_OK) result = onAudio(samples, kept, format);
        }
        heldQuiet.insert(heldQuiet.end(), samples + kept, samples + count);
        return result == S_OK;
    }

    const SynthesisSettings& settings;
    const Synthesizers& engines;
    const SynthesisAudio& onAudio;
    bool trimmingStart = false;
    bool trimmingEnd = false;
    bool first = true;          // no stretch has been said yet
    SynthesizedFormat format;   // of the audio handed on last
    std::vector<int16_t> heldQuiet;  // quiet that goes on only if sound follows it
};

}  // namespace

Pacing PacingFor(SynthesisEngine engine, LONG rate) {
    const double pace = std::pow(3.0, rate / 10.0);
    // flite's rms said at its own pace and sped up by libsonic was understood better at
    // rate 3 (24.9% word error rate against 27.6% with flite's own duration scaling, the
    // Harvard lists 3 to 12), and as well at rates 6 and 10 (42.8% against 42.4%, 84.6%
    // against 84.3%), where flite's own scaling is kept: it costs less and starts sooner.
    // espeak-ng speeds itself up with the same algorithm above 450 words a minute; the
    // recogniser gave no difference for it at any rate.
    if (engine == SynthesisEngine::Flite && rate > 0 && rate <= kLastTimeScaledFliteRate) return Pacing{1.0, pace};
    return Pacing{pace, 1.0};
}

HRESULT SynthesizeUtterance(const Utterance& utterance, const SynthesisSettings& settings, const Synthesizers& engines,
                            const SynthesisAudio& onAudio) {
    Speech speech(settings, engines, onAudio);
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
