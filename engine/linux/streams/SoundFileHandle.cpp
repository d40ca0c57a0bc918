#include "SoundFileHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

SoundFileHandle::SoundFileHandle(SoundFileHandle&& other) noexcept
    : sndfile(other.sndfile), descriptor(other.descriptor) {
    other.sndfile = nullptr;
    other.descriptor = -1;
}

HRESULT SoundFileHandle::OpenPath(const std::string& path, int flags) {
    int opened = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (opened < 0) return ResultFromErrno(errno);
    struct stat status {};
    if (::fstat(opened, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(opened);
        return ResultFromErrno(EISDIR);  // "access denied", as the platform says of a directory
    }
    int statusFlags = ::fcntl(opened, F_GETFL);
    if (statusFlags >= 0) ::fcntl(opened, F_SETFL, statusFlags & ~O_NONBLOCK);
    descriptor = opened;
    return S_OK;
}

bool SoundFileHandle::OpenSndfile(int mode, SF_INFO* info) {
    // The descriptor stays ours: Close closes it after libsndfile has let go of it.
    sndfile = sf_open_fd(descriptor, mode, info, SF_FALSE);
    return sndfile != nullptr;
}

HRESULT SoundFileHandle::Close() {
    HRESULT hr = S_OK;
    if (sndfile != nullptr) {
        // Closing a file written puts the header's final sizes in place.
        if (sf_close(sndfile) != SF_ERR_NO_ERROR) hr = STG_E_MEDIUMFULL;
        sndfile = nullptr;
    }
    if (descriptor >= 0) {
        if (::close(descriptor) != 0 && SUCCEEDED(hr)) hr = ResultFromErrno(errno);
        descriptor = -1;
    }
    return hr;
}

// The largest chunk believed: a WAVEFORMATEX with the most extra bytes its cbSize allows.
constexpr unsigned kLargestStoredChunk = 18 + 0xFFFF;

std::vector<BYTE> StoredChunk(SNDFILE* sndfile, const char* id) {
    SF_CHUNK_INFO wanted{};
    std::strncpy(wanted.id, id, sizeof wanted.id - 1);
    wanted.id_size = static_cast<unsigned>(std::strlen(wanted.id));
    SF_CHUNK_ITERATOR* iterator = sf_get_chunk_iterator(sndfile, &wanted);
    if (iterator == nullptr) return {};
    SF_CHUNK_INFO chunk{};
    if (sf_get_chunk_size(iterator, &chunk) != SF_ERR_NO_ERROR) return {};
    // The chunks read here (a format, a fact) are small; a header may claim gigabytes.
    if (chunk.datalen > kLargestStoredChunk) return {};
    std::vector<BYTE> bytes(chunk.datalen);
    chunk.data = bytes.data();
    if (chunk.datalen > 0 && sf_get_chunk_data(iterator, &chunk) != SF_ERR_NO_ERROR) return {};
    bytes.resize(chunk.datalen);
    return bytes;
}
