#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// How a stretch of words is to be said, as the markup around it asks. Rate, pitch and
/// volume are factors of the voice's own settings, so the voice's SetRate and SetVolume
/// still apply on top of them.
struct SpeakingStyle {
    double rate = 1.0;             // pace
    double pitch = 1.0;            // voice frequency
    double volume = 1.0;           // loudness, linear
    std::string emphasis;          // espeak-ng's level name ("moderate", "strong", "reduced"); empty: none
    bool spell = false;            // letter by letter
    const char* voice = nullptr;   // espeak-ng voice from VoiceLanguage; null: the voice's own language
    std::string gender;            // "male", "female", "neutral"; empty: the voice's own
    int age = 0;                   // years; 0: the voice's own

    bool operator==(const SpeakingStyle& other) const;
    bool operator!=(const SpeakingStyle& other) const { return !(*this == other); }
};

/// One thing markup says to do, in the order it says it.
struct MarkupItem {
    enum class Kind {
        Words,     // `text` spoken in `style`
        Phonemes,  // `text` is espeak-ng phoneme input ("[[h@l'oU]]"), spoken in `style`
        Pause,     // `milliseconds` of silence, exactly
        Break,     // a boundary in the speech; `text` is its strength in espeak-ng's names
    };
    Kind kind = Kind::Words;
    SpeakingStyle style;
    std::string text;
    unsigned milliseconds = 0;
};

/// Whether text given to Speak without either XML flag is markup: its first character
/// other than XML white space (blank, tab, line ends) is '<'. Senders write markup
/// indented or after a line end as often as not, and text that is meant as words hardly
/// ever starts with '<' after white space.
bool LooksLikeMarkup(std::string_view utf8);

/// Reads the platform's TTS XML and SSML (one vocabulary: a text may use tags of both)
/// into what they say to do. The text may be a whole document (with an XML declaration,
/// one root element such as <speak>) or a fragment (several elements and text side by
/// side, as the platform accepts). Tags that only annotate (bookmark, partofsp, context,
/// mark) change nothing; a tag this voice does not know is ignored and its content spoken.
/// nullopt when the text is not well-formed XML: the caller then speaks it as it is.
std::optional<std::vector<MarkupItem>> ReadMarkup(std::string_view utf8);
