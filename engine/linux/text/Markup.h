#pragma once
// text/: what a Speak call's text says: markup read into the utterance (this header),
// prosody values, and the front end that reads written text aloud (SpokenText.h; its
// table of readings in a module of its own, Readings.h). It includes voices/ (the voices
// markup asks for), types/ and com/, and calls expat, ICU and CLDR's files; never
// engines/.
#include <optional>
#include <string>
#include <string_view>

#include "engine/linux/types/Utterance.h"
#include "engine/linux/voices/Voices.h"

/// Whether text given to Speak without either XML flag is markup: its first character
/// other than XML white space (blank, tab, line ends) is '<'. Senders write markup
/// indented or after a line end as often as not, and text that is meant as words hardly
/// ever starts with '<' after white space.
bool LooksLikeMarkup(std::string_view utf8);

/// Reads the platform's TTS XML and SSML (one vocabulary: a text may use tags of both)
/// into what they say to do, begun in the voice `voice`, other voices chosen from `catalogue`. The text may be a whole document
/// (with an XML declaration, one root element such as <speak>) or a fragment (several
/// elements and text side by side, as the platform accepts). As the platform's reader
/// does, a '&' that does not start an entity or character reference is the character '&'.
/// Tags that only annotate (bookmark, partofsp, context, mark) change nothing; a tag this
/// voice does not know is ignored and its content spoken. nullopt when the text is not
/// well-formed XML: the caller then speaks it as it is.
std::optional<Utterance> ReadMarkup(std::string_view utf8, const VoiceChoice& voice, const voices::Catalogue& catalogue);

/// Markup (the platform's TTS XML or SSML) begun in `voice`; text that is not well-formed
/// markup is spoken as it is, so nothing a sender wrote is lost.
Utterance MarkupUtterance(const std::string& utf8, const VoiceChoice& voice, const voices::Catalogue& catalogue);
