#pragma once
// engines/: the speech engines behind one seam (this header), each an object that owns its
// state, and the synthesis of an utterance through them (Synthesis.h). It includes types/
// (the utterance, already read aloud), voices/ (to hand the catalogue its voices and read
// their languages) and com/, and calls espeak-ng and flite; never text/. It keeps no state
// of its own outside the engine objects; the one global it touches is flite's cst_errjmp,
// which the library forces on every caller (FliteCalls.h).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/linux/com/Com.h"
#include "engine/linux/types/Utterance.h"
#include "engine/linux/voices/Voices.h"

/// What one synthesis asks of an engine and hands its audio to.
struct SynthesisCall {
    /// Receives each piece of 16-bit mono audio at `sampleRate` as the engine makes it, to
    /// be played `level` times as loud (the voice's loudness, markup's volume): the engine
    /// never scales its samples itself. Returning false stops the synthesis.
    using AudioHandler = std::function<bool(const int16_t* samples, size_t count, unsigned sampleRate, float level)>;

    double pace = 1.0;                 // times the voice's own pace
    bool withoutOpeningPause = false;  // leave out the pause the engine opens with
    /// Whether the first phrase is to be synthesized on its own, so that it is heard
    /// before the rest of its sentence has been worked out.
    bool firstPhraseAlone = false;
    AudioHandler onAudio;
    std::function<bool()> stopped;  // asked between the engine's pieces of work
};

/// A speech engine behind the voices: espeak-ng or flite. The object owns the engine's
/// state: its lock, what it has loaded. Where the library keeps process-wide state, one
/// object stands for it, a synthesis holds its lock from start to end and voices of one
/// engine take turns; what a call needs reaches the engine's callbacks through the
/// library's own user data, never through variables of the file.
class Synthesizer {
public:
    virtual ~Synthesizer() = default;

    /// Whether the engine can speak here (its data is installed). A voice is not made
    /// without every engine: it could not speak what markup gives to the missing one.
    virtual HRESULT Available() { return S_OK; }
    /// Hands `catalogue` this engine's voices, once, at start-up.
    virtual void AddVoicesTo(voices::Catalogue& catalogue) = 0;

    /// Speaks the parts [begin, end), none of them a pause and all for `voice`. Returns
    /// S_OK, also when the call's handler or `stopped` stopped it; a failure when the voice
    /// cannot be loaded or the engine failed.
    virtual HRESULT Synthesize(const Voice& voice, const UtterancePart* begin, const UtterancePart* end,
                               const SynthesisCall& call) = 0;
    /// Loads what `voice` needs to speak at once, so its first words come quickly.
    virtual void Prepare(const Voice& voice) = 0;
    /// Whether the engine says letters outside ASCII; one that does not drops them.
    virtual bool SaysOnlyAscii() const = 0;
    /// The words of the parts [begin, end) as the engine will say them for `voice`, after
    /// its own reading of the text where it does one (flite's word relation); spelled
    /// letters apart, pronunciations in brackets.
    virtual std::string Words(const Voice& voice, const UtterancePart* begin, const UtterancePart* end) = 0;

protected:
    /// `part` as words, where the engine reads it as it stands: its text, letters apart
    /// when spelled, a pronunciation in brackets, nothing for a boundary.
    static std::string AsWritten(const UtterancePart& part);
};

/// The engines a synthesis speaks through, each found by the name its voices carry. The
/// start-up fills it; a test hands the synthesis one of its own.
class Synthesizers {
public:
    void Add(SynthesisEngine name, Synthesizer& synthesizer) { engines.emplace_back(name, &synthesizer); }
    /// The engine named `name`; null when none was added.
    Synthesizer* For(SynthesisEngine name) const {
        for (const auto& [engineName, engine] : engines)
            if (engineName == name) return engine;
        return nullptr;
    }
    const std::vector<std::pair<SynthesisEngine, Synthesizer*>>& All() const { return engines; }

private:
    std::vector<std::pair<SynthesisEngine, Synthesizer*>> engines;
};
