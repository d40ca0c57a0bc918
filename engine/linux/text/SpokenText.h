#pragma once
// The front end between what senders write and what the engines are given: written text
// as a person reads it aloud, in the language of the voice that says it.
#include <string>
#include <string_view>

namespace text {

/// Who will say the words: the voice's language, and whether its engine says only ASCII
/// letters (flite drops any other, so "café" would lose its "é").
struct Reading {
    std::string language;  // BCP 47: "en-US", "de"
    bool asciiOnly = false;
};

/// `written` as a person reads it aloud in `reading.language`: numbers, ordinals, years,
/// fractions, ranges; money, percentages and measures with their units' names and plurals
/// (ICU and CLDR); ISO dates and clock times; URLs, e-mail addresses, file names, paths
/// and identifiers by their parts ("example dot com"); common abbreviations; symbols and
/// emoji by CLDR's spoken names ("party popper"). For an ASCII-only engine, Latin letters
/// are folded ("cafe") and symbols CLDR does not name are given Unicode's names. What it
/// cannot place is passed on as it is, never dropped.
std::string ReadAloud(std::string_view written, const Reading& reading);

/// `text` with its Latin letters folded to ASCII ("Zoë": "Zoe", "ß": "ss") and its
/// punctuation to ASCII's, by ICU's Latin-ASCII transliterator: for an engine that says
/// nothing else. Other scripts are left as they are: transliterating them would take ICU's
/// tables of every script (megabytes) for a voice that speaks English only.
std::string FoldedToAscii(std::string_view text);

}  // namespace text
