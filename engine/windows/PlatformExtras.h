#pragma once
// What the rest of the system needs from the platform beyond windows.h and sapi.h.
#include <windows.h>
#include <mmreg.h>  // the wave format tags other than PCM (ADPCM, A-law, mu-law, GSM 6.10, ...)

#ifndef SPFEI_ALL_EVENTS
constexpr ULONGLONG SPFEI_ALL_EVENTS = 0xEFFFFFFFFFFFFFFFull;
#endif
