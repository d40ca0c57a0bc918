#pragma once
// What the rest of the system needs from the platform beyond windows.h and sapi.h:
// the wave format tags and the speech results that mingw-w64's headers leave out.
#include <windows.h>
#include <mmreg.h>  // the wave format tags other than PCM (ADPCM, A-law, mu-law, GSM 6.10, ...)
#include <sperror.h>

#ifndef SPFEI_ALL_EVENTS
constexpr ULONGLONG SPFEI_ALL_EVENTS = 0xEFFFFFFFFFFFFFFFull;
#endif
#ifndef SPERR_INVALID_FLAGS
constexpr HRESULT SPERR_INVALID_FLAGS = static_cast<HRESULT>(0x80045004u);
#endif
#ifndef SPERR_DEVICE_BUSY
constexpr HRESULT SPERR_DEVICE_BUSY = static_cast<HRESULT>(0x80045006u);
#endif
