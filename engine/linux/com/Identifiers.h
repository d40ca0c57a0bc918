#pragma once
// Every identifier of the Linux engine in one place: the platform's interface, class and
// format identifiers with their platform values, and the identifiers of the engine's own
// internal interfaces. All are defined in Identifiers.cpp.
#include "ComTypes.h"

bool operator==(const GUID& a, const GUID& b);
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
inline bool IsEqualGUID(const GUID& a, const GUID& b) { return a == b; }

extern const GUID GUID_NULL;
extern const IID IID_IUnknown;
extern const IID IID_ISequentialStream;
extern const IID IID_IStream;
extern const IID IID_ISpStreamFormat;
extern const IID IID_ISpStream;
extern const IID IID_ISpVoice;
extern const CLSID CLSID_SpVoice;
extern const CLSID CLSID_SpStream;
extern const GUID SPDFID_Text;
extern const GUID SPDFID_WaveFormatEx;

// The engine's own interfaces, which no caller outside engine/ sees.
extern const IID IID_IEngineAudioFrames;          // streams/AudioFrames.h
extern const IID IID_IEngineDefaultAudioOutput;   // voice/DefaultOutputToken.h
extern const IID IID_IEngineDefaultVoice;          // voice/SpVoice.h
