#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "Utterance.h"
#include "engine/linux/com/Com.h"

/// The process's flite. Each of its voices is a shared library of some MiB once loaded, so
/// a voice is opened and registered when it first speaks, never before, and kept from
/// then on. flite keeps state in its voices: every synthesis holds one process-wide lock
/// from start to end, and voices take turns.
class FliteSynthesizer {
public:
    /// Receives each piece of 16-bit mono audio at `sampleRate` as flite makes it;
    /// returning false stops the synthesis.
    using ChunkHandler = std::function<bool(const int16_t* samples, size_t count, unsigned sampleRate)>;

    /// Speaks the parts [begin, end), none of them a pause and all for the flite voice
    /// `voice` ("kal16"), at `pace` times the voice's own pace. Audio is handed on as flite
    /// makes it, a sentence at a time, `withoutOpeningPause` the pause flite opens the first
    /// sentence with; `stopped` is asked before each sentence (whose words flite analyses
    /// in one go). Returns S_OK, also when onChunk or `stopped` stopped it; E_FAIL when the
    /// voice cannot be loaded or flite fails.
    static HRESULT Synthesize(const std::string& voice, const UtterancePart* begin, const UtterancePart* end,
                              double pace, bool withoutOpeningPause, const ChunkHandler& onChunk,
                              const std::function<bool()>& stopped);

    /// flite's pace for a voice rate of -10 to 10: 0 is the voice's own, and each step
    /// multiplies it by the tenth root of 3, as with espeak-ng.
    static double Pace(LONG rate);
};
