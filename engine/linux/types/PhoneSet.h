#pragma once
// The platform's American English phone set, as `<pron sym="h eh 1 l ow & w er 1 l d"/>`
// writes a pronunciation, read once and written for each synthesizer.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// One word of a pronunciation: its phones with their stress, and what follows it.
struct PronouncedWord {
    struct Phone {
        const char* name;  // the platform's name: "h", "eh"
        int stress;        // 1 primary, 2 secondary, 0 none (or not a vowel)
        bool vowel;
    };
    std::vector<Phone> phones;
    char punctuation = '\0';  // ',', '.', '!', '?' after the word; '_' for a silence; '\0' none
};

/// A pronunciation read: phones separated by blanks, "1" and "2" after a vowel for primary
/// and secondary stress, "-" between syllables, "&" between words, "_" a silence, and the
/// punctuation ",", ".", "!", "?". One with a phone that is not in the set, or without any
/// phone, is refused as a whole: nullopt, so the caller speaks the words instead of a
/// garbled sound.
std::optional<std::vector<PronouncedWord>> ReadPronunciation(std::string_view platformPhones);

/// The words in espeak-ng's phoneme input: "[[h'EloU w'3:ld]]", punctuation between
/// brackets ("[[h'EloU]], [[w'3:ld]]") so espeak-ng phrases the speech by it.
std::string EspeakPhonemes(const std::vector<PronouncedWord>& words);

/// One word's phones as flite writes them: its own names, a vowel's stress as a digit
/// ("hh eh1 l ow0").
std::string FlitePhones(const PronouncedWord& word);
