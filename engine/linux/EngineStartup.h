#pragma once
// The engine's start-up: it makes the process's engines (espeak-ng and flite, one object
// each: the libraries are process-wide), hands their voices to the catalogue, and
// registers the voice and stream classes in com/'s class table. It sits above every room
// and is the one place that knows them all.
#include "engine/linux/voice/VoiceParts.h"

/// The process's voice parts: the catalogue with flite's voices first (the default for
/// English, listed at once) and espeak-ng's after them (listed when first needed), both
/// engines, and the text front end. Made on first use and kept to the end of the process.
VoiceParts& ProcessVoiceParts();
