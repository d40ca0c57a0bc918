#include "WavWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "WaveFormat.h"

namespace {

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

HRESULT WavWriter::Create(const std::string& path, const WAVEFORMATEX& format, bool mustBeNew,
                          std::unique_ptr<WavWriter>* writer) {
    writer->reset();
    if (path.empty()) return E_INVALIDARG;
    int sndfileFormat = 0;
    if (HRESULT hr = waveformat::SndfileFormatOf(format, &sndfileFormat); FAILED(hr)) return hr;
    // Read as well as write: the header is read back below.
    SoundFileHandle file;
    HRESULT hr = file.OpenPath(path, O_RDWR | O_CREAT | (mustBeNew ? O_EXCL : O_TRUNC));
    if (FAILED(hr)) return hr;

    SF_INFO info{};
    info.samplerate = static_cast<int>(format.nSamplesPerSec);
    info.channels = format.nChannels;
    info.format = sndfileFormat;
    std::vector<BYTE> block;
    if (file.OpenSndfile(SFM_WRITE, &info)) {
        // Samples beyond full scale are held at full scale instead of wrapping around.
        sf_command(file.Handle(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
        // With the header written, libsndfile reads back its format chunk: the block
        // codecs choose their own block layout, and the file's is the one to report.
        sf_command(file.Handle(), SFC_UPDATE_HEADER_NOW, nullptr, 0);
        block = WrittenHeaderView(file.Descriptor()).FormatBlock();
    }
    if (block.empty()) {
        file.Close();
        ::unlink(path.c_str());
        return E_FAIL;
    }
    writer->reset(new WavWriter(std::move(file), info, std::move(block)));
    return S_OK;
}

WavWriter::WavWriter(SoundFileHandle file, const SF_INFO& info, std::vector<BYTE> formatBlock)
    : file(std::move(file)),
      sampleRate(static_cast<DWORD>(info.samplerate)),
      channels(static_cast<WORD>(info.channels)),
      formatBlock(std::move(formatBlock)),
      frameBytes(static_cast<size_t>(waveformat::RawSampleBytes(info.format)) * static_cast<size_t>(info.channels)) {
    if (frameBytes != 0 && this->formatBlock.size() >= sizeof(WAVEFORMATEX)) {
        WAVEFORMATEX header{};
        std::memcpy(&header, this->formatBlock.data(), sizeof header);
        rawLayout = waveformat::LayoutOf(header);
        if (rawLayout && rawLayout->BytesPerFrame() != frameBytes) rawLayout.reset();
    }
}

HRESULT WavWriter::Finish() {
    if (file.IsOpen()) NoteWrite(file.Close());
    return firstWriteFailure;
}

HRESULT WavWriter::NoteWrite(HRESULT result) {
    if (FAILED(result) && SUCCEEDED(firstWriteFailure)) firstWriteFailure = result;
    return result;
}

void WavWriter::NoteWrittenEnd() {
    LONGLONG frame = FramePosition();
    if (frame > totalFrames) totalFrames = frame;
}

HRESULT WavWriter::WriteFrames(const float* interleaved, ULONG frames) {
    if (rawLayout) {
        // Encoded as every other output of the voice encodes: libsndfile would scale by
        // 32767 where reading (and the rest of the engine) takes 32768 as full scale.
        encoded.resize(static_cast<size_t>(frames) * frameBytes);
        EncodeSamples(*rawLayout, interleaved, frames, encoded.data());
        return WriteRaw(encoded.data(), encoded.size());
    }
    sf_count_t put = sf_writef_float(file.Handle(), interleaved, frames);
    NoteWrittenEnd();
    return put == static_cast<sf_count_t>(frames) ? S_OK : NoteWrite(STG_E_MEDIUMFULL);
}

HRESULT WavWriter::WriteRaw(const BYTE* bytes, size_t size) {
    if (size == 0) return S_OK;
    sf_count_t put = sf_write_raw(file.Handle(), bytes, static_cast<sf_count_t>(size));
    NoteWrittenEnd();
    return put == static_cast<sf_count_t>(size) ? S_OK : NoteWrite(STG_E_MEDIUMFULL);
}

LONGLONG WavWriter::FramePosition() const {
    sf_count_t frame = sf_seek(file.Handle(), 0, SEEK_CUR);
    return frame < 0 ? 0 : frame;
}

HRESULT WavWriter::SeekFrame(LONGLONG frame) {
    return sf_seek(file.Handle(), frame, SEEK_SET) < 0 ? STG_E_INVALIDFUNCTION : S_OK;
}
