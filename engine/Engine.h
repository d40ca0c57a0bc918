#pragma once
// engine/: the speech engine as the rest of the system sees it, on either platform (see
// the README's Layout). The one header that asks which platform this is.
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
