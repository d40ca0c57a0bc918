#include <cstdlib>

#include "VoiceChoice.h"
#include "engine/linux/voice/Voices.h"

std::vector<std::string> VoiceLines() {
    std::vector<std::string> lines;
    for (const Voice& voice : voices::All())
        lines.push_back(voice.name + "\t" + voice.language + "\t" + voice.gender + "\t" + voice.age + "\t" +
                        voices::EngineName(voice.engine));
    return lines;
}

// The engine reads the setting when the voice is made (an unknown name is reported then).
bool UseVoice(const std::string& name) { return ::setenv("SPEECH_VOICE", name.c_str(), 1) == 0; }
