#include "Utterance.h"

bool SpeakingStyle::operator==(const SpeakingStyle& other) const {
    return rate == other.rate && pitch == other.pitch && volume == other.volume && emphasis == other.emphasis &&
           spell == other.spell && asWritten == other.asWritten && voice.voice == other.voice.voice && voice.gender == other.voice.gender &&
           voice.age == other.voice.age;
}

bool HasWords(const std::string& text) { return text.find_first_not_of(" \t\r\n") != std::string::npos; }

bool IsSpoken(const UtterancePart& part) {
    return part.kind == UtterancePart::Kind::Phones || (part.kind == UtterancePart::Kind::Words && HasWords(part.text));
}

Utterance PlainUtterance(std::string utf8, const VoiceChoice& voice) {
    Utterance utterance;
    if (!HasWords(utf8)) return utterance;
    UtterancePart words;
    words.style.voice = voice;
    words.text = std::move(utf8);
    utterance.push_back(std::move(words));
    return utterance;
}
