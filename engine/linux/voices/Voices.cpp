#include "Voices.h"

#include <strings.h>

#include <map>
#include <mutex>

#include "engine/linux/engines/EspeakSynthesizer.h"
#include "VoiceLanguage.h"

namespace voices {

namespace {

struct FliteVoice {
    const char* name;
    const char* gender;
};

// flite's English voices, the first one the default for English: rms, understood best of
// all at the service's rate 6 as well as at rate 0 (bench/intelligibility.sh). It is a
// statistical voice, which works out a whole sentence before its first sound: heard live,
// a text's first phrase is synthesized on its own and the default voice is made ready when
// the voice is created, so its first sound still comes within milliseconds. The rest
// follow by word error rate at rate 6: kal16, slt, awb, kal (8 kHz).
constexpr FliteVoice kFliteVoices[] = {
    {"rms", "Male"}, {"kal16", "Male"}, {"slt", "Female"}, {"awb", "Male"}, {"kal", "Male"},
};

/// Every voice in one place, their addresses fixed for the life of the process (choices
/// are compared by address). flite's are there from the start; espeak-ng's are read from
/// its some 350 voice files only when a caller needs more than flite's, once: English
/// alone, the most common case, never waits for that.
struct Catalogue {
    Catalogue() {
        for (const FliteVoice& flite : kFliteVoices) {
            voices.push_back(Voice{flite.name, "en-US", 0x409, flite.gender, "Adult", SynthesisEngine::Flite, flite.name});
            fliteVoices.push_back(&voices.back());
        }
    }

    std::deque<Voice> voices;
    std::vector<const Voice*> fliteVoices;  // read without touching `voices` while it grows
    std::once_flag espeakListed;
};

Catalogue& TheCatalogue() {
    static Catalogue catalogue;
    return catalogue;
}

/// espeak-ng's voices, one per language of the table. They are all male adults; it speaks
/// each language in other voices through its variants, which markup asks for by gender
/// and age.
void AddEspeakVoices(std::deque<Voice>* voices) {
    std::map<std::string, std::string> espeakNames = EspeakSynthesizer::VoiceNames();
    for (const char* espeakVoice : voicelanguage::TableVoices()) {
        auto named = espeakNames.find(espeakVoice);
        if (named == espeakNames.end()) continue;
        Voice voice{named->second, "", 0, "Male", "Adult", SynthesisEngine::Espeak, espeakVoice};
        voicelanguage::LanguageOfVoice(espeakVoice, &voice.language, &voice.lcid);
        voices->push_back(std::move(voice));
    }
}

bool SameName(const Voice& voice, std::string_view name) {
    return voice.name.size() == name.size() && ::strncasecmp(voice.name.data(), name.data(), name.size()) == 0;
}

std::string Primary(const std::string& normalTag) { return normalTag.substr(0, normalTag.find('-')); }

}  // namespace

const std::deque<Voice>& All() {
    Catalogue& catalogue = TheCatalogue();
    std::call_once(catalogue.espeakListed, [&] { AddEspeakVoices(&catalogue.voices); });
    return catalogue.voices;
}

const Voice* Named(std::string_view name) {
    for (const Voice* voice : TheCatalogue().fliteVoices)
        if (SameName(*voice, name)) return voice;
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

const Voice* ForLanguage(std::string_view tag) {
    const Voice* best = nullptr;
    int bestMatch = 0;
    for (const Voice& voice : All()) {
        int match = LanguageMatch(voice, tag);
        if (match > bestMatch) best = &voice, bestMatch = match;
    }
    return best;
}

const char* EngineName(SynthesisEngine engine) { return engine == SynthesisEngine::Flite ? "flite" : "espeak-ng"; }

const Voice& Default(const Environment& environment, std::string* unknown) {
    if (const char* wanted = environment("SPEECH_VOICE"); wanted != nullptr && *wanted != '\0') {
        if (const Voice* named = Named(wanted)) return *named;
        if (const Voice* speaking = ForLanguage(wanted)) return *speaking;
        *unknown = wanted;
    }
    // The user's language as espeak-ng's table names it; where another voice speaks that
    // language too, the first listed (the easiest to understand) is taken. English is
    // flite's, found without listing espeak-ng's voices.
    const char* espeakVoice = voicelanguage::UserVoice(environment);
    std::string userLanguage;
    unsigned lcid = 0;
    if (voicelanguage::LanguageOfVoice(espeakVoice, &userLanguage, &lcid) &&
        Primary(voicelanguage::NormalizedTag(userLanguage)) == "en")
        return *TheCatalogue().fliteVoices.front();
    const Voice* user = nullptr;
    for (const Voice& voice : All())
        if (voice.engine == SynthesisEngine::Espeak && voice.engineVoice == espeakVoice) user = &voice;
    if (user == nullptr) user = ForLanguage("en");
    const Voice* first = ForLanguage(Primary(voicelanguage::NormalizedTag(user->language)));
    return first != nullptr && first->engine != SynthesisEngine::Espeak ? *first : *user;
}

}  // namespace voices
