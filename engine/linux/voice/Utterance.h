#pragma once
#include <string>
#include <vector>

/// One piece of what a Speak call says: words for espeak-ng, or a silence.
struct UtterancePart {
    std::string text;       // espeak-ng's input; empty for a silence
    bool ssml = false;      // `text` is espeak-ng SSML
    bool phonemes = false;  // `text` holds [[...]] phoneme input
    unsigned silenceMs = 0;

    bool IsSilence() const { return text.empty(); }
};

/// What a Speak call's text comes to for espeak-ng, in the order it is spoken. Silences
/// are parts of their own, made by the voice sample by sample, because espeak-ng's own
/// pauses shrink at its fastest rates; everything between two silences is one text for
/// espeak-ng's SSML mode in which each stretch of words carries its whole style, so no
/// part depends on another.
using Utterance = std::vector<UtterancePart>;

/// Text that is not markup, for espeak-ng to read as it is.
Utterance PlainUtterance(std::string utf8);

/// Markup (the platform's TTS XML or SSML) for espeak-ng; text that is not well-formed
/// markup is spoken as it is, so nothing a sender wrote is lost.
Utterance MarkupUtterance(const std::string& utf8);
