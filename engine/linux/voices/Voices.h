#pragma once
// voices/: the voice catalogue: the voices (this header), choosing among them, languages
// and the user's. It asks engines/ for espeak-ng's list of voices, and calls nothing else.
//
// The voices this engine speaks with, as the platform lists its own: each with a name, a
// language, a gender, an age and the engine behind it.
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

/// The two synthesizers behind the voices.
enum class SynthesisEngine { Espeak, Flite };

/// One voice as callers see and choose it. espeak-ng gives one voice per language it
/// speaks; flite gives its five English voices.
struct Voice {
    std::string name;         // "kal16", "German"; unique, compared without regard to case
    std::string language;     // BCP 47 tag: "en-US", "de", "pt-BR"
    unsigned lcid = 0;        // the platform's language identifier: 0x409, 0x407
    const char* gender = "";  // "Male" or "Female"
    const char* age = "";     // "Adult"
    SynthesisEngine engine = SynthesisEngine::Espeak;
    std::string engineVoice;  // the engine's own name: espeak-ng's "de", flite's "kal16"
};

namespace voices {

/// Every voice, made once (without loading any synthesizer). flite's voices come first,
/// the default for English first, then the easiest to understand, so where voices speak a
/// language equally well the earlier one is taken; then espeak-ng's, one per language.
/// A voice keeps its address for the life of the process.
const std::deque<Voice>& All();

/// The voice called `name`, case aside; null when there is none.
const Voice* Named(std::string_view name);

/// The voice that speaks the language `tag` ("en", "de-AT", "pt_BR"): the first voice of
/// its language and region, else the first of its language; null when none speaks it.
const Voice* ForLanguage(std::string_view tag);

/// How well `voice` speaks the language `tag`: 2 its language and the region asked for,
/// 1 its language (or no region was asked for), 0 not at all.
int LanguageMatch(const Voice& voice, std::string_view tag);

/// "espeak-ng" or "flite".
const char* EngineName(SynthesisEngine engine);

/// Reads one environment variable; null or empty means unset.
using Environment = std::function<const char*(const char* name)>;

/// The voice a new speaking voice starts with: SPEECH_VOICE when it names a voice or a
/// language with one, else the voice for the user's language (see VoiceLanguage's
/// UserVoice; for English the first voice listed). `*unknown` is set to SPEECH_VOICE's
/// value when that was neither, and left alone otherwise.
const Voice& Default(const Environment& environment, std::string* unknown);

}  // namespace voices
