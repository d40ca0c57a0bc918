#pragma once
#include <functional>
#include <map>
#include <string>

#include "engine/linux/com/Com.h"

/// The process's one espeak-ng synthesizer. espeak-ng keeps global state, so it is
/// initialised once (synchronous mode) and every synthesis holds one process-wide lock
/// from start to end: voices take turns, each synthesis in the espeak-ng voice it names.
/// Its data is loaded when the first synthesis needs it and kept from then on.
class EspeakSynthesizer {
public:
    /// Receives each piece of 16-bit mono audio; returning false stops the synthesis.
    using ChunkHandler = std::function<bool(const int16_t* samples, size_t count)>;

    /// Tells once whether the synthesizer's data is there; later calls report the first
    /// result.
    static HRESULT Initialize();
    /// The rate of the audio handed to a ChunkHandler, loading the synthesizer if it is
    /// not loaded yet; 0 when it cannot be loaded.
    static DWORD SampleRate();

    /// Whether espeak-ng has the voice called `name` ("de", "pt-br"), without loading it.
    static bool HasVoice(const char* name);
    /// espeak-ng's voices, read without loading any: the name a voice is set by, in lower
    /// case ("de", "pt-br"), and espeak-ng's own name for it ("German").
    static std::map<std::string, std::string> VoiceNames();

    /// What espeak-ng is to read in a text besides plain words.
    enum TextFlags : unsigned {
        kPlainText = 0,
        kSsml = 1,      // SSML tags
        kPhonemes = 2,  // [[...]] phoneme input
    };

    /// Speaks `utf8` with the espeak-ng voice `voice` at `wordsPerMinute` (espeak-ng clamps
    /// the value to what it can do), handing the audio to `onChunk` as it is made. Returns
    /// S_OK, also when onChunk stopped it.
    static HRESULT Synthesize(const std::string& utf8, unsigned textFlags, const char* voice, int wordsPerMinute,
                              const ChunkHandler& onChunk);

    /// espeak-ng's pace for a voice rate of -10 to 10: 0 is its normal 175 words per
    /// minute, and each step multiplies the pace by the tenth root of 3 (+10 is three
    /// times as fast, -10 a third).
    static int WordsPerMinute(LONG rate);
};
