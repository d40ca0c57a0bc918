#pragma once
// engine/: the speech engine as the rest of the system sees it: COM, the speech
// interfaces, their identifiers and result codes, and the task allocator. On Windows
// that is the platform's own headers (sapi.h and COM) plus windows/PlatformExtras.h for
// the little they leave out; on Linux it is our declarations in linux/com/ with the
// objects behind them in linux/voice/, linux/audio/ and linux/streams/. Beside this
// header sit the pieces both platforms share: ComObject.h (the COM object base),
// InterfaceHolder.h (the one reference holder) and CodePoints.h (UTF-8 and UTF-16).
// This is the one header that asks which platform we are on; code outside engine/
// includes it and nothing platform-specific.
#include <cstddef>

#ifdef _WIN32
#include <winsock2.h>  // before windows.h, which would otherwise pull in the old winsock.h
#include <windows.h>
#include <objbase.h>
#include <sapi.h>

#include "windows/PlatformExtras.h"

/// Whether an out-parameter may be written: not null and, where the platform can tell,
/// writable for `size` bytes.
inline bool IsWritableOutParameter(void* address, size_t size) {
    return address != nullptr && !IsBadWritePtr(address, size);
}
#else
#include "linux/com/Com.h"

inline bool IsWritableOutParameter(void* address, size_t) { return address != nullptr; }
#endif
