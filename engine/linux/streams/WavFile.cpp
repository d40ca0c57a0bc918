#include "WavFile.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "WaveFormat.h"

namespace {

using waveformat::RawSampleBytes;

/// Opens `path` without blocking on a FIFO or a device, and keeps it only if it is a
/// regular file: only those hold a WAV file. A missing or forbidden file is reported as
/// such rather than as an unreadable format.
HRESULT OpenRegularFile(const std::string& path, int flags, int* descriptor) {
    *descriptor = -1;
    int opened = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (opened < 0) return ResultFromErrno(errno);
    struct stat status {};
    if (::fstat(opened, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(opened);
        return ResultFromErrno(EISDIR);  // "access denied", as the platform says of a directory
    }
    int statusFlags = ::fcntl(opened, F_GETFL);
    if (statusFlags >= 0) ::fcntl(opened, F_SETFL, statusFlags & ~O_NONBLOCK);
    *descriptor = opened;
    return S_OK;
}

bool IsWav(int format) {
    int major = format & SF_FORMAT_TYPEMASK;
    return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX;
}

/// The bytes of the first chunk `id` that libsndfile kept while it read the header;
/// empty when there is none.
std::vector<BYTE> StoredChunk(SNDFILE* sndfile, const char* id) {
    SF_CHUNK_INFO wanted{};
    std::strncpy(wanted.id, id, sizeof wanted.id - 1);
    wanted.id_size = static_cast<unsigned>(std::strlen(wanted.id));
    SF_CHUNK_ITERATOR* iterator = sf_get_chunk_iterator(sndfile, &wanted);
    if (iterator == nullptr) return {};
    SF_CHUNK_INFO chunk{};
    if (sf_get_chunk_size(iterator, &chunk) != SF_ERR_NO_ERROR) return {};
    std::vector<BYTE> bytes(chunk.datalen);
    chunk.data = bytes.data();
    if (chunk.datalen > 0 && sf_get_chunk_data(iterator, &chunk) != SF_ERR_NO_ERROR) return {};
    bytes.resize(chunk.datalen);
    return bytes;
}

/// A read-only view of a file being written, through its own descriptor but with an
/// offset of its own, so that libsndfile can read back the header it has just written
/// without moving the writer's position.
class WrittenHeaderView {
public:
    explicit WrittenHeaderView(int descriptor) : descriptor(descriptor) {}

    /// The format block of the header as libsndfile reads it; empty when it cannot.
    std::vector<BYTE> FormatBlock() {
        SF_VIRTUAL_IO io{&Length, &Seek, &Read, &Write, &Tell};
        SF_INFO info{};
        SNDFILE* reader = sf_open_virtual(&io, SFM_READ, &info, this);
        if (reader == nullptr) return {};
        std::vector<BYTE> chunk = StoredChunk(reader, "fmt ");
        sf_close(reader);
        return waveformat::BlockFromChunk(chunk.data(), chunk.size());
    }

private:
    static WrittenHeaderView& Of(void* self) { return *static_cast<WrittenHeaderView*>(self); }
    static sf_count_t Length(void* self) {
        struct stat status {};
        return ::fstat(Of(self).descriptor, &status) == 0 ? status.st_size : 0;
    }
    static sf_count_t Seek(sf_count_t offset, int whence, void* self) {
        WrittenHeaderView& view = Of(self);
        sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? view.offset : Length(self);
        if (base + offset < 0) return -1;
        view.offset = base + offset;
        return view.offset;
    }
    static sf_count_t Read(void* buffer, sf_count_t count, void* self) {
        WrittenHeaderView& view = Of(self);
        ssize_t got = ::pread(view.descriptor, buffer, static_cast<size_t>(count), view.offset);
        if (got < 0) return 0;
        view.offset += got;
        return got;
    }
    static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t Tell(void* self) { return Of(self).offset; }

    int descriptor;
    sf_count_t offset = 0;
};

}  // namespace

HRESULT WavFile::Open(const std::string& path, std::unique_ptr<WavFile>* file) {
    file->reset();
    if (path.empty()) return E_INVALIDARG;
    int descriptor = -1;
    if (HRESULT hr = OpenRegularFile(path, O_RDONLY, &descriptor); FAILED(hr)) return hr;

    SF_INFO info{};
    SNDFILE* sndfile = sf_open_fd(descriptor, SFM_READ, &info, SF_FALSE);
    if (sndfile == nullptr) {
        ::close(descriptor);
        return SPERR_UNSUPPORTED_FORMAT;
    }
    std::vector<BYTE> formatChunk = StoredChunk(sndfile, "fmt ");
    std::vector<BYTE> block = waveformat::BlockFromChunk(formatChunk.data(), formatChunk.size());
    if (!IsWav(info.format) || block.empty() || info.channels <= 0) {
        sf_close(sndfile);
        ::close(descriptor);
        return SPERR_UNSUPPORTED_FORMAT;
    }
    // The block codecs decode whole blocks; the fact chunk says how much of the last one
    // is audio rather than padding (which can decode as loud noise).
    LONGLONG frames = info.frames;
    std::vector<BYTE> fact = StoredChunk(sndfile, "fact");
    if (RawSampleBytes(info.format) == 0 && fact.size() >= 4) {
        LONGLONG factFrames = LONGLONG(fact[0]) | LONGLONG(fact[1]) << 8 | LONGLONG(fact[2]) << 16 | LONGLONG(fact[3]) << 24;
        if (factFrames < frames) frames = factFrames;
    }
    file->reset(new WavFile(sndfile, descriptor, false, info.channels, info.samplerate, info.format, frames,
                            std::move(block)));
    return S_OK;
}

HRESULT WavFile::Create(const std::string& path, const WAVEFORMATEX& format, bool mustBeNew,
                        std::unique_ptr<WavFile>* file) {
    file->reset();
    if (path.empty()) return E_INVALIDARG;
    int sndfileFormat = 0;
    if (HRESULT hr = waveformat::SndfileFormatOf(format, &sndfileFormat); FAILED(hr)) return hr;
    // Read as well as write: the header is read back below.
    int descriptor = -1;
    HRESULT hr = OpenRegularFile(path, O_RDWR | O_CREAT | (mustBeNew ? O_EXCL : O_TRUNC), &descriptor);
    if (FAILED(hr)) return hr;

    SF_INFO info{};
    info.samplerate = static_cast<int>(format.nSamplesPerSec);
    info.channels = format.nChannels;
    info.format = sndfileFormat;
    SNDFILE* sndfile = sf_open_fd(descriptor, SFM_WRITE, &info, SF_FALSE);
    if (sndfile == nullptr) {
        ::close(descriptor);
        ::unlink(path.c_str());
        return E_FAIL;
    }
    // Samples beyond full scale are held at full scale instead of wrapping around.
    sf_command(sndfile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    // With the header written, libsndfile reads back its format chunk: the block codecs
    // choose their own block layout, and the file's is the one to report.
    sf_command(sndfile, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    std::vector<BYTE> block = WrittenHeaderView(descriptor).FormatBlock();
    if (block.empty()) {
        sf_close(sndfile);
        ::close(descriptor);
        ::unlink(path.c_str());
        return E_FAIL;
    }
    file->reset(new WavFile(sndfile, descriptor, true, info.channels, info.samplerate, info.format, 0,
                            std::move(block)));
    return S_OK;
}

WavFile::WavFile(SNDFILE* sndfile, int descriptor, bool writing, int channels, int sampleRate, int format,
                 LONGLONG frames, std::vector<BYTE> formatBlock)
    : sndfile(sndfile),
      descriptor(descriptor),
      writing(writing),
      channels(channels),
      sampleRate(sampleRate),
      totalFrames(frames),
      formatBlock(std::move(formatBlock)),
      frameBytes(static_cast<size_t>(RawSampleBytes(format)) * static_cast<size_t>(channels)) {
    if (frameBytes != 0 && this->formatBlock.size() >= sizeof(WAVEFORMATEX)) {
        WAVEFORMATEX header{};
        std::memcpy(&header, this->formatBlock.data(), sizeof header);
        rawLayout = waveformat::LayoutOf(header);
        if (rawLayout && rawLayout->BytesPerFrame() != frameBytes) rawLayout.reset();
    }
}

WavFile::~WavFile() { Finish(); }

HRESULT WavFile::Finish() {
    if (sndfile == nullptr) return firstWriteFailure;
    HRESULT hr = firstWriteFailure;
    // Closing writes the header's final sizes.
    int closed = sf_close(sndfile);
    sndfile = nullptr;
    if (writing && closed != SF_ERR_NO_ERROR && SUCCEEDED(hr)) hr = STG_E_MEDIUMFULL;
    if (::close(descriptor) != 0 && writing && SUCCEEDED(hr)) hr = ResultFromErrno(errno);
    descriptor = -1;
    return hr;
}

HRESULT WavFile::NoteWrite(HRESULT result) {
    if (FAILED(result) && SUCCEEDED(firstWriteFailure)) firstWriteFailure = result;
    return result;
}

DWORD WavFile::SampleRate() const { return static_cast<DWORD>(sampleRate); }

WORD WavFile::Channels() const { return static_cast<WORD>(channels); }

HRESULT WavFile::ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead) {
    if (framesRead != nullptr) *framesRead = 0;
    if (writing) return STG_E_ACCESSDENIED;
    if (interleaved == nullptr && frames > 0) return E_POINTER;
    DropPartialFrame();
    // Byte access, the only way to move, is offered only where the library's frame
    // count is the whole truth; elsewhere reading stops at the audio's stated end.
    if (frameBytes == 0) frames = static_cast<ULONG>(std::min<LONGLONG>(frames, totalFrames - framesDecoded));
    sf_count_t got = frames == 0 ? 0 : sf_readf_float(sndfile, interleaved, frames);
    if (got < 0) return E_FAIL;
    framesDecoded += got;
    if (framesRead != nullptr) *framesRead = static_cast<ULONG>(got);
    return S_OK;
}

HRESULT WavFile::WriteFrames(const float* interleaved, ULONG frames) {
    if (!writing) return STG_E_ACCESSDENIED;
    if (interleaved == nullptr && frames > 0) return E_POINTER;
    DropPartialFrame();
    sf_count_t put = 0;
    if (rawLayout) {
        // Encoded as every other output of the voice encodes: libsndfile would scale by
        // 32767 where reading (and the rest of the engine) takes 32768 as full scale.
        encoded.resize(static_cast<size_t>(frames) * frameBytes);
        EncodeSamples(*rawLayout, interleaved, frames, encoded.data());
        put = sf_write_raw(sndfile, encoded.data(), static_cast<sf_count_t>(encoded.size())) /
              static_cast<sf_count_t>(frameBytes);
    } else {
        put = sf_writef_float(sndfile, interleaved, frames);
    }
    NoteWrittenEnd();
    if (put != static_cast<sf_count_t>(frames)) return NoteWrite(STG_E_MEDIUMFULL);
    return S_OK;
}

HRESULT WavFile::RequireByteAccess(bool forWriting) const {
    if (frameBytes == 0) return SPERR_UNSUPPORTED_FORMAT;
    if (forWriting != writing) return STG_E_ACCESSDENIED;
    return S_OK;
}

void WavFile::DropPartialFrame() {
    partialFrame.clear();
    partialUsed = 0;
}

HRESULT WavFile::ReadBytes(void* buffer, ULONG size, ULONG* read) {
    if (read != nullptr) *read = 0;
    if (HRESULT hr = RequireByteAccess(false); FAILED(hr)) return hr;
    if (buffer == nullptr && size > 0) return STG_E_INVALIDPOINTER;
    auto* out = static_cast<unsigned char*>(buffer);
    size_t done = 0;

    // First what is left of a frame an earlier call split.
    size_t held = std::min<size_t>(partialFrame.size() - partialUsed, size);
    if (held > 0) {
        std::memcpy(out, partialFrame.data() + partialUsed, held);
        partialUsed += held;
        done += held;
        if (partialUsed == partialFrame.size()) DropPartialFrame();
    }

    // Then whole frames straight into the caller's buffer.
    size_t whole = (size - done) / frameBytes * frameBytes;
    bool atEnd = false;
    if (whole > 0) {
        sf_count_t got = sf_read_raw(sndfile, out + done, static_cast<sf_count_t>(whole));
        if (got < 0) return E_FAIL;
        done += static_cast<size_t>(got);
        atEnd = static_cast<size_t>(got) < whole;
    }

    // Then the start of one more frame, keeping the rest for the next call.
    if (!atEnd && done < size) {
        std::vector<unsigned char> frame(frameBytes);
        sf_count_t got = sf_read_raw(sndfile, frame.data(), static_cast<sf_count_t>(frameBytes));
        if (got < 0) return E_FAIL;
        frame.resize(static_cast<size_t>(got));
        size_t part = std::min(frame.size(), size - done);
        std::memcpy(out + done, frame.data(), part);
        done += part;
        if (part < frame.size()) {
            partialFrame = std::move(frame);
            partialUsed = part;
        }
    }
    if (read != nullptr) *read = static_cast<ULONG>(done);
    return S_OK;
}

HRESULT WavFile::WriteBytes(const void* buffer, ULONG size, ULONG* written) {
    if (written != nullptr) *written = 0;
    if (HRESULT hr = RequireByteAccess(true); FAILED(hr)) return hr;
    if (buffer == nullptr && size > 0) return STG_E_INVALIDPOINTER;
    const auto* in = static_cast<const unsigned char*>(buffer);
    size_t done = 0;

    // Complete a frame an earlier call left unfinished.
    if (!partialFrame.empty()) {
        size_t part = std::min<size_t>(frameBytes - partialFrame.size(), size);
        partialFrame.insert(partialFrame.end(), in, in + part);
        done += part;
        if (partialFrame.size() == frameBytes) {
            sf_count_t put = sf_write_raw(sndfile, partialFrame.data(), static_cast<sf_count_t>(frameBytes));
            NoteWrittenEnd();
            if (put != static_cast<sf_count_t>(frameBytes)) return NoteWrite(STG_E_MEDIUMFULL);
            DropPartialFrame();
        }
    }

    size_t whole = (size - done) / frameBytes * frameBytes;
    if (whole > 0) {
        sf_count_t put = sf_write_raw(sndfile, in + done, static_cast<sf_count_t>(whole));
        NoteWrittenEnd();
        if (put != static_cast<sf_count_t>(whole)) {
            if (written != nullptr) *written = static_cast<ULONG>(done);
            return NoteWrite(STG_E_MEDIUMFULL);
        }
        done += whole;
    }

    // A frame's first bytes wait for the rest; they count as written.
    partialFrame.insert(partialFrame.end(), in + done, in + size);
    if (written != nullptr) *written = size;
    return S_OK;
}

void WavFile::NoteWrittenEnd() {
    sf_count_t frame = sf_seek(sndfile, 0, SEEK_CUR);
    if (frame > totalFrames) totalFrames = frame;
}

LONGLONG WavFile::BytePosition() const {
    sf_count_t frame = sf_seek(sndfile, 0, SEEK_CUR);
    if (frame < 0) frame = 0;
    LONGLONG position = static_cast<LONGLONG>(frame) * static_cast<LONGLONG>(frameBytes);
    if (writing) return position + static_cast<LONGLONG>(partialFrame.size());
    return position - static_cast<LONGLONG>(partialFrame.size() - partialUsed);
}

HRESULT WavFile::SeekBytes(LONGLONG move, DWORD origin, ULARGE_INTEGER* newPosition) {
    if (HRESULT hr = RequireByteAccess(writing); FAILED(hr)) return hr;
    LONGLONG current = BytePosition();
    LONGLONG target = 0;
    switch (origin) {
        case STREAM_SEEK_SET: target = move; break;
        case STREAM_SEEK_CUR: target = current + move; break;
        case STREAM_SEEK_END: target = totalFrames * static_cast<LONGLONG>(frameBytes) + move; break;
        default: return STG_E_INVALIDFUNCTION;
    }
    if (target < 0) return STG_E_INVALIDFUNCTION;

    if (target != current) {
        const auto frameSize = static_cast<LONGLONG>(frameBytes);
        if (writing && (target % frameSize != 0 || !partialFrame.empty())) return STG_E_INVALIDFUNCTION;
        if (target > totalFrames * frameSize) return STG_E_INVALIDFUNCTION;
        DropPartialFrame();
        if (sf_seek(sndfile, target / frameSize, SEEK_SET) < 0) return STG_E_INVALIDFUNCTION;
        if (!writing && target % frameSize != 0) {
            // Land inside a frame: read it and hand out only its remaining bytes.
            std::vector<unsigned char> frame(frameBytes);
            sf_count_t got = sf_read_raw(sndfile, frame.data(), frameSize);
            if (got != frameSize) return E_FAIL;
            partialFrame = std::move(frame);
            partialUsed = static_cast<size_t>(target % frameSize);
        }
    }
    if (newPosition != nullptr) newPosition->QuadPart = static_cast<ULONGLONG>(target);
    return S_OK;
}
