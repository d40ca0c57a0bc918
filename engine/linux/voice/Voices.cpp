#include "Voices.h"

#include <strings.h>

#include <map>

#include "EspeakSynthesizer.h"
#include "VoiceLanguage.h"

namespace voices {

namespace {

struct FliteVoice {
    const char* name;
    const char* gender;
};

// flite's English voices, the first one the default for English. kal16 (a diphone voice)
// starts speaking within milliseconds and is the easiest to understand of those that do
// (31% word error rate of a recogniser on the Harvard sentences, bench/intelligibility.sh).
// rms, awb and slt (statistical voices) work out a whole sentence before its first sound,
// some 60 to 90 ms, too slow for live speech by default; rms is understood best of all
// (20%). The rest follow by word error rate: awb 29%, slt 36%, kal (8 kHz) 60%.
constexpr FliteVoice kFliteVoices[] = {
    {"kal16", "Male"}, {"rms", "Male"}, {"awb", "Male"}, {"slt", "Female"}, {"kal", "Male"},
};

std::vector<Voice> MakeAll() {
    std::vector<Voice> all;
    for (const FliteVoice& flite : kFliteVoices)
        all.push_back(Voice{flite.name, "en-US", 0x409, flite.gender, "Adult", SynthesisEngine::Flite, flite.name});
    // espeak-ng's voices are all male adults; it speaks each language in other voices
    // through its variants, which markup asks for by gender and age.
    std::map<std::string, std::string> espeakNames = EspeakSynthesizer::VoiceNames();
    for (const char* espeakVoice : voicelanguage::TableVoices()) {
        auto named = espeakNames.find(espeakVoice);
        if (named == espeakNames.end()) continue;
        Voice voice{named->second, "", 0, "Male", "Adult", SynthesisEngine::Espeak, espeakVoice};
        voicelanguage::LanguageOfVoice(espeakVoice, &voice.language, &voice.lcid);
        all.push_back(std::move(voice));
    }
    return all;
}

std::string Primary(const std::string& normalTag) { return normalTag.substr(0, normalTag.find('-')); }

}  // namespace

const std::vector<Voice>& All() {
    static const std::vector<Voice> all = MakeAll();
    return all;
}

const Voice* Named(std::string_view name) {
    for (const Voice& voice : All())
        if (voice.name.size() == name.size() && ::strncasecmp(voice.name.data(), name.data(), name.size()) == 0)
            return &voice;
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
    // language too, the first listed (the easiest to understand) is taken.
    const char* espeakVoice = voicelanguage::UserVoice(environment);
    const Voice* user = nullptr;
    for (const Voice& voice : All())
        if (voice.engine == SynthesisEngine::Espeak && voice.engineVoice == espeakVoice) user = &voice;
    if (user == nullptr) user = ForLanguage("en");
    const Voice* first = ForLanguage(Primary(voicelanguage::NormalizedTag(user->language)));
    return first != nullptr && first->engine != SynthesisEngine::Espeak ? *first : *user;
}

}  // namespace voices
