#include "WavReader.h"

#include <fcntl.h>

#include <algorithm>

#include "WaveFormat.h"

namespace {

bool IsWav(int format) {
    int major = format & SF_FORMAT_TYPEMASK;
    return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX;
}

}  // namespace

HRESULT WavReader::Open(const std::string& path, std::unique_ptr<WavReader>* reader) {
    reader->reset();
    if (path.empty()) return E_INVALIDARG;
    SoundFileHandle file;
    if (HRESULT hr = file.OpenPath(path, O_RDONLY); FAILED(hr)) return hr;
    SF_INFO info{};
    if (!file.OpenSndfile(SFM_READ, &info)) return SPERR_UNSUPPORTED_FORMAT;
    std::vector<BYTE> formatChunk = StoredChunk(file.Handle(), "fmt ");
    std::vector<BYTE> block = waveformat::BlockFromChunk(formatChunk.data(), formatChunk.size());
    if (!IsWav(info.format) || block.empty() || info.channels <= 0) return SPERR_UNSUPPORTED_FORMAT;
    // The block codecs decode whole blocks; the fact chunk says how much of the last one
    // is audio rather than padding (which can decode as loud noise).
    LONGLONG frames = info.frames;
    std::vector<BYTE> fact = StoredChunk(file.Handle(), "fact");
    if (waveformat::RawSampleBytes(info.format) == 0 && fact.size() >= 4) {
        LONGLONG factFrames = LONGLONG(fact[0]) | LONGLONG(fact[1]) << 8 | LONGLONG(fact[2]) << 16 | LONGLONG(fact[3]) << 24;
        if (factFrames < frames) frames = factFrames;
    }
    reader->reset(new WavReader(std::move(file), info, frames, std::move(block)));
    return S_OK;
}

WavReader::WavReader(SoundFileHandle file, const SF_INFO& info, LONGLONG frames, std::vector<BYTE> formatBlock)
    : file(std::move(file)),
      sampleRate(static_cast<DWORD>(info.samplerate)),
      channels(static_cast<WORD>(info.channels)),
      totalFrames(frames),
      formatBlock(std::move(formatBlock)),
      frameBytes(static_cast<size_t>(waveformat::RawSampleBytes(info.format)) * static_cast<size_t>(info.channels)) {}

HRESULT WavReader::ReadFrames(float* interleaved, ULONG frames, ULONG* framesRead) {
    if (framesRead != nullptr) *framesRead = 0;
    // Raw access, the only way to move, is offered only where the library's frame count
    // is the whole truth; elsewhere reading stops at the audio's stated end.
    if (frameBytes == 0) frames = static_cast<ULONG>(std::min<LONGLONG>(frames, totalFrames - framesDecoded));
    sf_count_t got = frames == 0 ? 0 : sf_readf_float(file.Handle(), interleaved, frames);
    if (got < 0) return E_FAIL;
    framesDecoded += got;
    if (framesRead != nullptr) *framesRead = static_cast<ULONG>(got);
    return S_OK;
}

HRESULT WavReader::ReadRaw(BYTE* buffer, size_t size, size_t* read) {
    *read = 0;
    if (size == 0) return S_OK;
    sf_count_t got = sf_read_raw(file.Handle(), buffer, static_cast<sf_count_t>(size));
    if (got < 0) return E_FAIL;
    *read = static_cast<size_t>(got);
    return S_OK;
}

LONGLONG WavReader::FramePosition() const {
    sf_count_t frame = sf_seek(file.Handle(), 0, SEEK_CUR);
    return frame < 0 ? 0 : frame;
}

HRESULT WavReader::SeekFrame(LONGLONG frame) {
    return sf_seek(file.Handle(), frame, SEEK_SET) < 0 ? STG_E_INVALIDFUNCTION : S_OK;
}
