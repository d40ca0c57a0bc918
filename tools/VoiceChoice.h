#pragma once
// The voices speech-render can speak with, as the engine of this platform offers them.
#include <string>
#include <vector>

/// One line per voice: name, language tag, gender, age and engine, tab-separated. Empty
/// where the platform lists and chooses its voices itself (Windows: its speech settings).
std::vector<std::string> VoiceLines();

/// Makes `name` the voice speech is made with from now on, as SPEECH_VOICE would; false
/// where the platform chooses its voices itself.
bool UseVoice(const std::string& name);
