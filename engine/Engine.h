#pragma once
// The speech engine as the rest of the system sees it: COM, the speech interfaces and
// the task allocator. This is the one header that asks which platform we are on; code
// outside engine/ includes it and nothing platform-specific.
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
#include "linux/ComTypes.h"

inline bool IsWritableOutParameter(void* address, size_t) { return address != nullptr; }
#endif

// Results of the speech engine that the platform headers of some toolchains leave out.
constexpr HRESULT SPERR_INVALID_FLAGS_RESULT = static_cast<HRESULT>(0x80045004u);
constexpr HRESULT SPERR_DEVICE_BUSY_RESULT = static_cast<HRESULT>(0x80045006u);
