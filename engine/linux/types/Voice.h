#pragma once
// A voice as callers see and choose it, and the choice markup makes among voices: plain
// values, shared by the catalogue that lists the voices, the markup that chooses them and
// the engines that speak with them.
#include <string>

/// The names of the engines behind the voices. A voice carries its engine's name; the
/// engine itself is found by that name where speech is made (Synthesizers).
enum class SynthesisEngine { Espeak, Flite };

/// "espeak-ng" or "flite": the vendor markup may ask for.
inline const char* EngineName(SynthesisEngine engine) { return engine == SynthesisEngine::Flite ? "flite" : "espeak-ng"; }

/// One voice as callers see and choose it. espeak-ng gives one voice per language it
/// speaks; flite gives its five English voices.
struct Voice {
    std::string name;         // "kal16", "German"; unique, compared without regard to case
    std::string language;     // BCP 47 tag: "en-US", "de", "pt-BR"
    unsigned lcid = 0;        // the platform's language identifier: 0x409, 0x407
    const char* gender = "";  // "Male" or "Female"
    const char* age = "";     // "Adult"
    SynthesisEngine engine = SynthesisEngine::Espeak;
    std::string engineVoice;  // the engine's own name: espeak-ng's "de", flite's "kal16"
};

/// The voice a request comes to, with what espeak-ng is to do through its variants to
/// give the gender and age asked for.
struct VoiceChoice {
    const Voice* voice = nullptr;
    std::string gender;  // "male", "female"; empty: the voice's own
    int age = 0;         // years; 0: the voice's own
};
