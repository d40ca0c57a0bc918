#include "WaveFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace waveformat {

namespace {

constexpr size_t kHeaderBytes = sizeof(WAVEFORMATEX);  // 18
constexpr size_t kChunkHeaderBytes = 16;                // a format chunk without cbSize

// The extensible block's extra bytes: valid bits (2), channel mask (4), sub-format GUID
// (16). A sub-format that stands for a plain tag has the tag in its first field and this
// tail.
constexpr WORD kExtensibleExtraBytes = 22;
constexpr size_t kValidBitsOffset = kHeaderBytes;
constexpr size_t kSubFormatOffset = kHeaderBytes + 6;
constexpr BYTE kSubFormatTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

WORD LittleEndian16(const BYTE* bytes) { return static_cast<WORD>(bytes[0] | bytes[1] << 8); }

void PutLittleEndian16(BYTE* bytes, WORD value) {
    bytes[0] = static_cast<BYTE>(value);
    bytes[1] = static_cast<BYTE>(value >> 8);
}

const BYTE* BytesOf(const WAVEFORMATEX& format) { return reinterpret_cast<const BYTE*>(&format); }

/// The plain tag an extensible block's sub-format names; nothing when the block is too
/// short to hold one or the sub-format is not of the plain kind. The caller's block holds
/// its cbSize extra bytes.
std::optional<WORD> SubFormatTag(const WAVEFORMATEX& format) {
    if (format.cbSize < kExtensibleExtraBytes) return std::nullopt;
    const BYTE* subFormat = BytesOf(format) + kSubFormatOffset;
    if (std::memcmp(subFormat + 4, kSubFormatTail, sizeof kSubFormatTail) != 0) return std::nullopt;
    if (subFormat[2] != 0 || subFormat[3] != 0) return std::nullopt;
    return LittleEndian16(subFormat);
}

bool IsPlainSampleTag(WORD tag) {
    return tag == WAVE_FORMAT_PCM || tag == WAVE_FORMAT_IEEE_FLOAT || tag == WAVE_FORMAT_ALAW ||
           tag == WAVE_FORMAT_MULAW;
}

std::optional<SampleLayout::Encoding> EncodingOf(WORD tag, WORD bits) {
    using Encoding = SampleLayout::Encoding;
    switch (tag) {
        case WAVE_FORMAT_PCM:
            if (bits == 8) return Encoding::UnsignedPcm8;
            if (bits == 16) return Encoding::Pcm16;
            if (bits == 24) return Encoding::Pcm24;
            if (bits == 32) return Encoding::Pcm32;
            return std::nullopt;
        case WAVE_FORMAT_IEEE_FLOAT:
            if (bits == 32) return Encoding::Float32;
            return std::nullopt;
        case WAVE_FORMAT_ALAW:
            if (bits == 8) return Encoding::ALaw;
            return std::nullopt;
        case WAVE_FORMAT_MULAW:
            if (bits == 8) return Encoding::MuLaw;
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

HRESULT SubtypeOf(WORD tag, const WAVEFORMATEX& format, int* subtype) {
    const unsigned bits = format.wBitsPerSample;
    auto requireAlignment = [&](unsigned bytesPerSample, int chosen) -> HRESULT {
        if (format.nBlockAlign != format.nChannels * bytesPerSample) return E_INVALIDARG;
        *subtype = chosen;
        return S_OK;
    };
    switch (tag) {
        case WAVE_FORMAT_PCM:
            switch (bits) {
                case 8: return requireAlignment(1, SF_FORMAT_PCM_U8);
                case 16: return requireAlignment(2, SF_FORMAT_PCM_16);
                case 24: return requireAlignment(3, SF_FORMAT_PCM_24);
                case 32: return requireAlignment(4, SF_FORMAT_PCM_32);
                default: return SPERR_UNSUPPORTED_FORMAT;
            }
        case WAVE_FORMAT_IEEE_FLOAT:
            switch (bits) {
                case 32: return requireAlignment(4, SF_FORMAT_FLOAT);
                case 64: return requireAlignment(8, SF_FORMAT_DOUBLE);
                default: return SPERR_UNSUPPORTED_FORMAT;
            }
        case WAVE_FORMAT_ALAW:
            if (bits != 8) return SPERR_UNSUPPORTED_FORMAT;
            return requireAlignment(1, SF_FORMAT_ALAW);
        case WAVE_FORMAT_MULAW:
            if (bits != 8) return SPERR_UNSUPPORTED_FORMAT;
            return requireAlignment(1, SF_FORMAT_ULAW);
        // The block codecs choose their own block layout when they write.
        case WAVE_FORMAT_ADPCM: *subtype = SF_FORMAT_MS_ADPCM; return S_OK;
        case WAVE_FORMAT_IMA_ADPCM: *subtype = SF_FORMAT_IMA_ADPCM; return S_OK;
        case WAVE_FORMAT_GSM610: *subtype = SF_FORMAT_GSM610; return S_OK;
        default: return SPERR_UNSUPPORTED_FORMAT;
    }
}

}  // namespace

Block CopyBlock(const WAVEFORMATEX* format) {
    if (format == nullptr) return {};
    const BYTE* bytes = BytesOf(*format);
    bool pcm = format->wFormatTag == WAVE_FORMAT_PCM;
    Block copy(bytes, bytes + kHeaderBytes + (pcm ? 0 : format->cbSize));
    if (pcm) PutLittleEndian16(copy.data() + 16, 0);
    return copy;
}

Block BlockFromChunk(const BYTE* chunk, size_t size) {
    if (chunk == nullptr || size < kChunkHeaderBytes) return {};
    Block block(kHeaderBytes, 0);
    std::memcpy(block.data(), chunk, kChunkHeaderBytes);
    WORD extra = 0;
    if (size >= kHeaderBytes && LittleEndian16(chunk) != WAVE_FORMAT_PCM)
        extra = static_cast<WORD>(std::min<size_t>(LittleEndian16(chunk + 16), size - kHeaderBytes));
    PutLittleEndian16(block.data() + 16, extra);
    block.insert(block.end(), chunk + kHeaderBytes, chunk + kHeaderBytes + extra);

    const auto& format = *reinterpret_cast<const WAVEFORMATEX*>(block.data());
    if (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE) {
        std::optional<WORD> tag = SubFormatTag(format);
        if (tag && IsPlainSampleTag(*tag)) {
            block.resize(kHeaderBytes);
            PutLittleEndian16(block.data(), *tag);
            PutLittleEndian16(block.data() + 16, 0);
        }
    }
    return block;
}

WAVEFORMATEX PcmFormat(DWORD samplesPerSec, WORD channels, WORD bitsPerSample) {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = samplesPerSec;
    format.wBitsPerSample = bitsPerSample;
    format.nBlockAlign = static_cast<WORD>(channels * bitsPerSample / 8);
    format.nAvgBytesPerSec = samplesPerSec * format.nBlockAlign;
    format.cbSize = 0;
    return format;
}

std::optional<SampleLayout> LayoutOf(const WAVEFORMATEX& format) {
    WORD tag = format.wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        std::optional<WORD> subTag = SubFormatTag(format);
        if (!subTag) return std::nullopt;
        // Fewer valid bits than the container holds would need masking the voice does not do.
        WORD validBits = LittleEndian16(BytesOf(format) + kValidBitsOffset);
        if (validBits != 0 && validBits != format.wBitsPerSample) return std::nullopt;
        tag = *subTag;
    }
    std::optional<SampleLayout::Encoding> encoding = EncodingOf(tag, format.wBitsPerSample);
    if (!encoding || format.nChannels == 0 || format.nSamplesPerSec == 0) return std::nullopt;
    SampleLayout layout{*encoding, format.nChannels, format.nSamplesPerSec,
                        static_cast<WORD>(format.wBitsPerSample / 8)};
    if (format.nBlockAlign != layout.BytesPerFrame()) return std::nullopt;
    return layout;
}

HRESULT SndfileFormatOf(const WAVEFORMATEX& format, int* sndfileFormat) {
    *sndfileFormat = 0;
    if (format.nChannels == 0 || format.nSamplesPerSec == 0) return E_INVALIDARG;

    int major = SF_FORMAT_WAV;
    WORD tag = format.wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        if (format.cbSize < kExtensibleExtraBytes) return E_INVALIDARG;
        std::optional<WORD> subTag = SubFormatTag(format);
        if (!subTag) return SPERR_UNSUPPORTED_FORMAT;
        tag = *subTag;
        major = SF_FORMAT_WAVEX;
    }

    int subtype = 0;
    if (HRESULT hr = SubtypeOf(tag, format, &subtype); FAILED(hr)) return hr;

    SF_INFO info{};
    info.samplerate = static_cast<int>(format.nSamplesPerSec);
    info.channels = format.nChannels;
    info.format = major | subtype;
    if (info.samplerate <= 0 || !sf_format_check(&info)) return SPERR_UNSUPPORTED_FORMAT;
    *sndfileFormat = info.format;
    return S_OK;
}

int RawSampleBytes(int sndfileFormat) {
    switch (sndfileFormat & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_ALAW:
        case SF_FORMAT_ULAW: return 1;
        case SF_FORMAT_PCM_16: return 2;
        case SF_FORMAT_PCM_24: return 3;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT: return 4;
        case SF_FORMAT_DOUBLE: return 8;
        default: return 0;
    }
}

}  // namespace waveformat
