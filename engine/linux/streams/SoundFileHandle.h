#pragma once
#include <sndfile.h>

#include <string>
#include <vector>

#include "engine/linux/com/Com.h"

/// A WAV file's one descriptor and the libsndfile handle working through it, closed
/// together, once. Only a regular file is opened, and without blocking on the way: a FIFO
/// or a device would hang the open or hand libsndfile a stream it cannot seek.
class SoundFileHandle {
public:
    SoundFileHandle() = default;
    ~SoundFileHandle() { Close(); }
    SoundFileHandle(SoundFileHandle&& other) noexcept;
    SoundFileHandle& operator=(SoundFileHandle&&) = delete;
    SoundFileHandle(const SoundFileHandle&) = delete;
    SoundFileHandle& operator=(const SoundFileHandle&) = delete;

    /// Opens `path` with open(2) `flags`. A missing or forbidden file is reported as such
    /// rather than as an unreadable format; anything but a regular file as access denied.
    HRESULT OpenPath(const std::string& path, int flags);
    /// Opens libsndfile on the descriptor in `mode`; false when the library does not take
    /// the file.
    bool OpenSndfile(int mode, SF_INFO* info);
    bool IsOpen() const { return descriptor >= 0; }
    SNDFILE* Handle() const { return sndfile; }
    int Descriptor() const { return descriptor; }

    /// Closes both: S_OK, or STG_E_MEDIUMFULL when libsndfile could not complete the file,
    /// or why the descriptor would not close. Only a file written cares.
    HRESULT Close();

private:
    SNDFILE* sndfile = nullptr;
    int descriptor = -1;
};

/// The bytes of the first chunk `id` that libsndfile kept while it read a header; empty
/// when there is none.
std::vector<BYTE> StoredChunk(SNDFILE* sndfile, const char* id);
