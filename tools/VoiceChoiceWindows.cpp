#include "VoiceChoice.h"

// The platform's voices are listed and chosen in its own speech settings.
std::vector<std::string> VoiceLines() { return {}; }

bool UseVoice(const std::string&) { return false; }
