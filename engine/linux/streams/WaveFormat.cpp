#include "WaveFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cstring>

namespace waveformat {

namespace {

/// One format a WAV file can hold: its tag and sample size in the format block, how the
/// voice codes its samples as bytes (none: only libsndfile codes them), the libsndfile
/// subtype that reads and writes it, and the bytes of one raw sample (0 for the block
/// codecs, whose bytes only make sense decoded).
struct FormatRow {
    WORD tag;
    WORD bits;  // 0: any; the block codecs choose their own layout when they write
    std::optional<SampleLayout::Encoding> encoding;
    int subtype;
    WORD rawSampleBytes;
};

using Encoding = SampleLayout::Encoding;
const FormatRow kFormats[] = {
    {WAVE_FORMAT_PCM, 8, Encoding::UnsignedPcm8, SF_FORMAT_PCM_U8, 1},
    {WAVE_FORMAT_PCM, 16, Encoding::Pcm16, SF_FORMAT_PCM_16, 2},
    {WAVE_FORMAT_PCM, 24, Encoding::Pcm24, SF_FORMAT_PCM_24, 3},
    {WAVE_FORMAT_PCM, 32, Encoding::Pcm32, SF_FORMAT_PCM_32, 4},
    {WAVE_FORMAT_IEEE_FLOAT, 32, Encoding::Float32, SF_FORMAT_FLOAT, 4},
    {WAVE_FORMAT_IEEE_FLOAT, 64, std::nullopt, SF_FORMAT_DOUBLE, 8},
    {WAVE_FORMAT_ALAW, 8, Encoding::ALaw, SF_FORMAT_ALAW, 1},
    {WAVE_FORMAT_MULAW, 8, Encoding::MuLaw, SF_FORMAT_ULAW, 1},
    {WAVE_FORMAT_ADPCM, 0, std::nullopt, SF_FORMAT_MS_ADPCM, 0},
    {WAVE_FORMAT_IMA_ADPCM, 0, std::nullopt, SF_FORMAT_IMA_ADPCM, 0},
    {WAVE_FORMAT_GSM610, 0, std::nullopt, SF_FORMAT_GSM610, 0},
};

const FormatRow* RowOf(WORD tag, WORD bits) {
    for (const FormatRow& row : kFormats)
        if (row.tag == tag && (row.bits == 0 || row.bits == bits)) return &row;
    return nullptr;
}

const FormatRow* RowOfSubtype(int subtype) {
    for (const FormatRow& row : kFormats)
        if (row.subtype == subtype) return &row;
    return nullptr;
}

/// A tag whose samples are stored as they are (PCM, float, A-law, mu-law): the kind an
/// extensible block names only to say what a plain block says.
bool IsPlainSampleTag(WORD tag) {
    for (const FormatRow& row : kFormats)
        if (row.tag == tag && row.rawSampleBytes != 0) return true;
    return false;
}

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
    const FormatRow* row = RowOf(tag, format.wBitsPerSample);
    if (row == nullptr || !row->encoding || format.nChannels == 0 || format.nSamplesPerSec == 0) return std::nullopt;
    SampleLayout layout{*row->encoding, format.nChannels, format.nSamplesPerSec, row->rawSampleBytes};
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

    const FormatRow* row = RowOf(tag, format.wBitsPerSample);
    if (row == nullptr) return SPERR_UNSUPPORTED_FORMAT;
    if (row->rawSampleBytes != 0 && format.nBlockAlign != format.nChannels * row->rawSampleBytes) return E_INVALIDARG;

    SF_INFO info{};
    info.samplerate = static_cast<int>(format.nSamplesPerSec);
    info.channels = format.nChannels;
    info.format = major | row->subtype;
    if (info.samplerate <= 0 || !sf_format_check(&info)) return SPERR_UNSUPPORTED_FORMAT;
    *sndfileFormat = info.format;
    return S_OK;
}

int RawSampleBytes(int sndfileFormat) {
    const FormatRow* row = RowOfSubtype(sndfileFormat & SF_FORMAT_SUBMASK);
    return row == nullptr ? 0 : row->rawSampleBytes;
}

}  // namespace waveformat
