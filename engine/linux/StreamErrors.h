#pragma once
#include <cerrno>

#include "ComTypes.h"

// Results of the Linux stream objects beyond those ComTypes.h declares.

/// The stream has neither a file nor a base stream yet.
constexpr HRESULT SPERR_UNINITIALIZED = static_cast<HRESULT>(0x80045001u);
/// The stream is already bound to a file or a base stream; a stream is bound once.
constexpr HRESULT SPERR_ALREADY_INITIALIZED = static_cast<HRESULT>(0x80045002u);

/// Turns an errno value from the file system into the result the platform would report
/// for the same condition (its "file not found", "access denied" and so on), so callers
/// print the numbers they would print on the platform.
inline HRESULT ResultFromErrno(int error) {
    auto fromPlatformCode = [](unsigned code) { return static_cast<HRESULT>(0x80070000u | code); };
    switch (error) {
        case ENOENT: return fromPlatformCode(2);     // file not found
        case ENOTDIR: return fromPlatformCode(3);    // path not found
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS: return fromPlatformCode(5);      // access denied
        case EEXIST: return fromPlatformCode(0x50);  // file exists
        case ENOSPC: return fromPlatformCode(0x70);  // disk full
        case ENAMETOOLONG: return fromPlatformCode(0xCE);
        case ENOMEM: return E_OUTOFMEMORY;
        default: return E_FAIL;
    }
}
