#pragma once
#include "ComTypes.h"

// The engine's creatable classes. Each makes a new object and hands out one reference
// to the interface asked for.
HRESULT CreateSpVoice(REFIID iid, void** object);   // behind CLSID_SpVoice
HRESULT CreateSpStream(REFIID iid, void** object);  // behind CLSID_SpStream
