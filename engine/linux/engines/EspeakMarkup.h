#pragma once
#include <string>

#include "engine/linux/types/Utterance.h"

/// Parts of an utterance as one text for espeak-ng's SSML mode, each stretch of words
/// carrying its whole style, so no part depends on another.
struct EspeakMarkup {
    std::string text;
    bool phonemes = false;  // `text` holds [[...]] phoneme input
};

/// The parts [begin, end), all spoken by one espeak-ng voice and none of them a pause, for
/// espeak-ng. The text carries no <speak> root: espeak-ng ends its </speak> with a
/// paragraph's pause, which would lengthen every silence that follows, and reads phoneme
/// input before it wrongly.
EspeakMarkup ToEspeakMarkup(const UtterancePart* begin, const UtterancePart* end);
