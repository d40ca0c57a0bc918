#include "Voices.h"

#include <strings.h>

#include "VoiceLanguage.h"

namespace voices {

namespace {

bool SameName(const Voice& voice, std::string_view name) {
    return voice.name.size() == name.size() && ::strncasecmp(voice.name.data(), name.data(), name.size()) == 0;
}

std::string Primary(const std::string& normalTag) { return normalTag.substr(0, normalTag.find('-')); }

}  // namespace

void Catalogue::Add(std::vector<Voice> added) {
    for (Voice& voice : added) voices.push_back(std::move(voice));
    addedAtOnce = voices.size();
}

void Catalogue::AddLater(Lister lister) { listers.push_back(std::move(lister)); }

const std::deque<Voice>& Catalogue::All() const {
    std::call_once(listed, [this] {
        for (const Lister& lister : listers)
            for (Voice& voice : lister()) voices.push_back(std::move(voice));
    });
    return voices;
}

const Voice* Catalogue::FirstAtOnce(std::string_view primaryLanguage) const {
    // The voices added at once never move, and reading them needs no listing.
    for (size_t i = 0; i < addedAtOnce; ++i)
        if (Primary(voicelanguage::NormalizedTag(voices[i].language)) == primaryLanguage) return &voices[i];
    return nullptr;
}

const Voice* Catalogue::Named(std::string_view name) const {
    for (size_t i = 0; i < addedAtOnce; ++i)
        if (SameName(voices[i], name)) return &voices[i];
    for (const Voice& voice : All())
        if (SameName(voice, name)) return &voice;
    return nullptr;
}

int LanguageMatch(const Voice& voice, std::string_view tag) {
    std::string wanted = voicelanguage::NormalizedTag(tag);
    std::string own = voicelanguage::NormalizedTag(voice.language);
    if (wanted.empty() || Primary(wanted) != Primary(own)) return 0;
    if (wanted.find('-') == std::string::npos) return 1;
    if (wanted == own) return 2;
    // A region espeak-ng's table gives to this voice ("es-MX" is spoken by "es-419").
    if (voice.engine == SynthesisEngine::Espeak) {
        const char* espeakVoice = voicelanguage::VoiceForTag(wanted);
        if (espeakVoice != nullptr && voice.engineVoice == espeakVoice) return 2;
    }
    return 1;
}

const Voice* Catalogue::ForLanguage(std::string_view tag) const {
    const Voice* best = nullptr;
    int bestMatch = 0;
    for (const Voice& voice : All()) {
        int match = LanguageMatch(voice, tag);
        if (match > bestMatch) best = &voice, bestMatch = match;
    }
    return best;
}

const Voice* Catalogue::Default(const Environment& environment, std::string* unknown) const {
    if (const char* wanted = environment("SPEECH_VOICE"); wanted != nullptr && *wanted != '\0') {
        if (const Voice* named = Named(wanted)) return named;
        if (const Voice* speaking = ForLanguage(wanted)) return speaking;
        *unknown = wanted;
    }
    // The user's language as espeak-ng's table names it; where a voice added at once
    // speaks that language too, the first of those (the easiest to understand) is taken,
    // found without listing the rest.
    const char* espeakVoice = voicelanguage::UserVoice(environment);
    std::string userLanguage;
    unsigned lcid = 0;
    if (voicelanguage::LanguageOfVoice(espeakVoice, &userLanguage, &lcid))
        if (const Voice* first = FirstAtOnce(Primary(voicelanguage::NormalizedTag(userLanguage)))) return first;
    const Voice* user = nullptr;
    for (const Voice& voice : All())
        if (voice.engine == SynthesisEngine::Espeak && voice.engineVoice == espeakVoice) user = &voice;
    if (user == nullptr) user = ForLanguage("en");
    if (user == nullptr && !All().empty()) user = &All().front();
    return user;
}

}  // namespace voices
