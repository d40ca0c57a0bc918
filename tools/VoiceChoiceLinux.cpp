#include "VoiceChoice.h"
#include "engine/linux/EngineStartup.h"
#include "engine/linux/voice/SpVoice.h"

std::vector<std::string> VoiceLines() {
    std::vector<std::string> lines;
    for (const Voice& voice : ProcessVoiceParts().catalogue.All())
        lines.push_back(voice.name + "\t" + voice.language + "\t" + voice.gender + "\t" + voice.age + "\t" +
                        EngineName(voice.engine));
    return lines;
}

std::string VoiceNamed(const std::string& asked) {
    const voices::Catalogue& catalogue = ProcessVoiceParts().catalogue;
    const Voice* voice = catalogue.Named(asked);
    if (voice == nullptr) voice = catalogue.ForLanguage(asked);
    return voice != nullptr ? voice->name : std::string();
}

bool SpokenWords(const std::string& text, std::string* words) {
    *words = SpokenWordsOf(text, ProcessVoiceParts());
    return true;
}
