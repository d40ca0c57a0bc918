#pragma once
// Every result code of the Linux engine in one place, with the platform's names and
// values, and the mapping from the file system's errno values to them.
#include <cerrno>

#include "ComTypes.h"

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
constexpr HRESULT STG_E_FILENOTFOUND = static_cast<HRESULT>(0x80030002u);
constexpr HRESULT STG_E_ACCESSDENIED = static_cast<HRESULT>(0x80030005u);
constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009u);
constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070u);
constexpr HRESULT STG_E_REVERTED = static_cast<HRESULT>(0x80030102u);
/// The stream has neither a file nor a base stream yet.
constexpr HRESULT SPERR_UNINITIALIZED = static_cast<HRESULT>(0x80045001u);
/// The stream is already bound to a file or a base stream; a stream is bound once.
constexpr HRESULT SPERR_ALREADY_INITIALIZED = static_cast<HRESULT>(0x80045002u);
constexpr HRESULT SPERR_UNSUPPORTED_FORMAT = static_cast<HRESULT>(0x80045003u);
constexpr HRESULT SPERR_INVALID_FLAGS = static_cast<HRESULT>(0x80045004u);
constexpr HRESULT SPERR_DEVICE_BUSY = static_cast<HRESULT>(0x80045006u);
/// The audio device could not be opened (the platform's "device not ready").
constexpr HRESULT E_AUDIO_DEVICE_NOT_READY = static_cast<HRESULT>(0x80070015u);

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
