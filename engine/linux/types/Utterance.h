#pragma once
// types/: the plain speech types every room above com/ shares: what a Speak call says
// (this header), the voices and the choice among them (Voice.h), the platform's phone set
// (PhoneSet.h) and the small text helpers (TextHelpers.h). It includes nothing of the
// engine's: values only, no state and no calls into other rooms.
//
// What a Speak call says, in one model every synthesizer renders: words and phones in the
// style and voice markup gives them, silences and boundaries.
#include <string>
#include <vector>

#include "Voice.h"

/// How a stretch of words is to be said, as the markup around it asks. Rate, pitch and
/// volume are factors of the voice's own settings, so the voice's SetRate and SetVolume
/// still apply on top of them.
struct SpeakingStyle {
    double rate = 1.0;     // pace
    double pitch = 1.0;    // voice frequency
    double volume = 1.0;   // loudness, linear
    std::string emphasis;  // "moderate", "strong", "reduced"; empty: none
    bool spell = false;    // letter by letter
    bool asWritten = false;  // markup said how to read it (<say-as>, <sub>): not read as written text
    VoiceChoice voice;     // who says it

    bool operator==(const SpeakingStyle& other) const;
    bool operator!=(const SpeakingStyle& other) const { return !(*this == other); }
};

/// One thing to do, in the order it is to be done.
struct UtterancePart {
    enum class Kind {
        Words,   // `text` spoken in `style`
        Phones,  // `text` is a pronunciation in the platform's phone set (PhoneSet), spoken in `style`
        Pause,   // `milliseconds` of silence, exactly
        Break,   // a boundary in the speech; `text` is its strength in SSML's names ("weak", "x-strong")
    };
    Kind kind = Kind::Words;
    SpeakingStyle style;
    std::string text;
    unsigned milliseconds = 0;
};

/// What a Speak call's text comes to, in the order it is spoken.
using Utterance = std::vector<UtterancePart>;

/// Text that is not markup, spoken as it is by `voice`; empty when it has no words.
Utterance PlainUtterance(std::string utf8, const VoiceChoice& voice);

/// Whether `text` has anything but white space to say.
bool HasWords(const std::string& text);

/// Whether `part` says something: phones, or words that are more than white space.
bool IsSpoken(const UtterancePart& part);
