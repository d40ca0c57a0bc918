#include "VoiceChoice.h"

// The platform's voices are listed in its own speech settings, and its engine keeps its
// reading of a text to itself.
std::vector<std::string> VoiceLines() { return {}; }

// The platform's markup finds the voice by its name.
std::string VoiceNamed(const std::string& asked) { return asked; }

bool SpokenWords(const std::string&, std::string*) { return false; }
