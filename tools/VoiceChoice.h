#pragma once
// The voices speech-render can speak with, and the words they say, as the engine of this
// platform shows them.
#include <string>
#include <vector>

/// One line per voice: name, language tag, gender, age and engine, tab-separated. Empty
/// where the platform lists its voices itself (Windows: its speech settings).
std::vector<std::string> VoiceLines();

/// The name of the voice `asked` means: a voice's name, or (where the engine can tell) a
/// language tag with a voice for it. Empty when no voice has that name or language.
std::string VoiceNamed(const std::string& asked);

/// The words `text` comes to as the engine will say it (markup read, written text read
/// aloud, the engine's own reading); false where the engine does not show them.
bool SpokenWords(const std::string& text, std::string* words);
