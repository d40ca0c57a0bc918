#pragma once
#include <optional>
#include <string>
#include <string_view>

/// The platform's American English phone set, as `<pron sym="h eh 1 l ow"/>` writes a
/// pronunciation (phones separated by blanks, "1" and "2" after a vowel for primary and
/// secondary stress, "-" between syllables), in espeak-ng's phoneme mnemonics for its
/// phoneme input ("h'ElloU" becomes "[[h'ElloU]]" in the text). A pronunciation with a
/// phone that is not in the set is refused as a whole: nullopt, so the caller speaks the
/// words instead of a garbled sound.
std::optional<std::string> EspeakPhonemes(std::string_view platformPhones);
