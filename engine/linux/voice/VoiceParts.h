#pragma once
#include "engine/linux/engines/Synthesizer.h"
#include "engine/linux/text/SpokenText.h"
#include "engine/linux/voices/Voices.h"

/// What every voice of a process shares, made and filled by the start-up: the catalogue of
/// voices, the engines behind them (each registered under the name its voices carry), and
/// the text front end. A test makes one of its own, with a fake engine.
struct VoiceParts {
    voices::Catalogue catalogue;
    Synthesizers engines;
    text::FrontEnd frontEnd;
};
