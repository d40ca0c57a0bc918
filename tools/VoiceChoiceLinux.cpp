#include "VoiceChoice.h"
#include "engine/linux/voice/SpVoice.h"
#include "engine/linux/voices/Voices.h"

std::vector<std::string> VoiceLines() {
    std::vector<std::string> lines;
    for (const Voice& voice : voices::All())
        lines.push_back(voice.name + "\t" + voice.language + "\t" + voice.gender + "\t" + voice.age + "\t" +
                        voices::EngineName(voice.engine));
    return lines;
}

std::string VoiceNamed(const std::string& asked) {
    const Voice* voice = voices::Named(asked);
    if (voice == nullptr) voice = voices::ForLanguage(asked);
    return voice != nullptr ? voice->name : std::string();
}

bool SpokenWords(const std::string& text, std::string* words) {
    *words = SpokenWordsOf(text);
    return true;
}
