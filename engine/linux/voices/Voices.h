#pragma once
// voices/: the voice catalogue (this header): the voices the engines hand it, choosing
// among them (VoiceSelection.h), languages and the user's (VoiceLanguage.h). It includes
// types/ only: the engines register their voices from the start-up, as classes register
// into com/.
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/linux/types/Voice.h"

namespace voices {

/// Reads one environment variable; null or empty means unset.
using Environment = std::function<const char*(const char* name)>;

/// The voices this engine speaks with, as the platform lists its own: each with a name, a
/// language, a gender, an age and the engine behind it. Engines hand in their voices in
/// the order they are to be preferred: where voices speak a language equally well the
/// earlier one is taken. A voice keeps its address for the life of the catalogue (choices
/// are compared by address). Voices that cost time to list (espeak-ng reads some 350
/// files) are listed only when a caller needs more than those handed in at once: English
/// alone, the most common case, never waits for them.
class Catalogue {
public:
    using Lister = std::function<std::vector<Voice>()>;

    Catalogue() = default;
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    /// Adds voices known at once, after those added before. Only while nobody reads yet.
    void Add(std::vector<Voice> voices);
    /// Adds the voices `lister` gives, after all the others, when they are first needed.
    /// Only while nobody reads yet.
    void AddLater(Lister lister);

    /// Every voice.
    const std::deque<Voice>& All() const;
    /// The voice called `name`, case aside; null when there is none.
    const Voice* Named(std::string_view name) const;
    /// The voice that speaks the language `tag` ("en", "de-AT", "pt_BR"): the first voice
    /// of its language and region, else the first of its language; null when none speaks it.
    const Voice* ForLanguage(std::string_view tag) const;
    /// The voice a new speaking voice starts with: SPEECH_VOICE when it names a voice or a
    /// language with one, else the voice for the user's language (see VoiceLanguage's
    /// UserVoice); where voices added at once speak it, the first of them. `*unknown` is
    /// set to SPEECH_VOICE's value when that was neither, and left alone otherwise. Null
    /// only in a catalogue without voices.
    const Voice* Default(const Environment& environment, std::string* unknown) const;

private:
    /// The voices added at once, read without listing the later ones.
    const Voice* FirstAtOnce(std::string_view primaryLanguage) const;

    mutable std::deque<Voice> voices;
    std::vector<Lister> listers;
    size_t addedAtOnce = 0;
    mutable std::once_flag listed;
};

/// How well `voice` speaks the language `tag`: 2 its language and the region asked for,
/// 1 its language (or no region was asked for), 0 not at all.
int LanguageMatch(const Voice& voice, std::string_view tag);

}  // namespace voices
