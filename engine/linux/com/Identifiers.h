#pragma once
// The platform's interface, class and format identifiers, with their platform values;
// the engine's own interfaces have theirs beside them.
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
