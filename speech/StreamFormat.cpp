#include "StreamFormat.h"

#include <cstddef>
#include <cstring>
#include <iterator>

namespace {

constexpr size_t kHeaderBytes = sizeof(WAVEFORMATEX);  // 18

// PCM sample rates; each rate owns four consecutive codes (8-bit mono, 8-bit stereo,
// 16-bit mono, 16-bit stereo).
constexpr DWORD kPcmRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

// The rates of the A-law, mu-law, ADPCM and GSM 6.10 codes.
constexpr DWORD kFourRates[] = {8000, 11025, 22050, 44100};

// TrueSpeech: revision 1, 240 samples per block, then zeros up to 32 extra bytes.
constexpr WORD kTrueSpeechExtra[] = {1, 240};
constexpr DWORD kTrueSpeechByteRate = 1067;  // 8000 x 32 / 240 rounded up, as the codec states it

// ADPCM, mono then stereo at each rate: bytes per second, indexed by the code's offset in
// the family. Each is rate x alignment / samples per block with the fraction dropped.
constexpr DWORD kAdpcmByteRates[] = {4096, 8192, 5644, 11289, 11155, 22311, 22179, 44359};
// ADPCM block alignment of one channel, by rate.
constexpr WORD kAdpcmBaseAlignments[] = {256, 256, 512, 1024};

// ADPCM extra bytes: samples per block, the number of coefficient pairs, then the seven
// standard coefficient pairs.
constexpr int kAdpcmExtraWords = 16;
using AdpcmCoefficientBlock = int16_t[kAdpcmExtraWords];
constexpr AdpcmCoefficientBlock kAdpcmCoefficientBlocks[] = {
    {500, 7, 256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232},
    {1012, 7, 256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232},
    {2036, 7, 256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232},
};
// Which coefficient block each rate uses: 8000 Hz and 11025 Hz share the first.
constexpr int kAdpcmBlockForRate[] = {0, 0, 1, 2};

// GSM 6.10: bytes per second by rate (rate x 65 / 320, fraction dropped) and the one
// extra word, samples per block.
constexpr DWORD kGsmByteRates[] = {1625, 2239, 4478, 8957};
constexpr WORD kGsmExtra[] = {320};
constexpr WORD kGsmBlockAlign = 65;

// Extra bytes are little-endian 16-bit words whatever the host.
template <class Word>
void PutWords(BYTE* extra, const Word* words, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        auto value = static_cast<uint16_t>(words[i]);
        extra[2 * i] = static_cast<BYTE>(value & 0xFF);
        extra[2 * i + 1] = static_cast<BYTE>(value >> 8);
    }
}

WORD ChannelsOf(int k) { return (k & 1) ? 2 : 1; }

void FillPcm(WAVEFORMATEX& format, BYTE*, WORD tag, int k) {
    format.wFormatTag = tag;
    format.nBlockAlign = format.nChannels = ChannelsOf(k);
    format.nSamplesPerSec = kPcmRates[(k & 0x3C) >> 2];
    format.wBitsPerSample = 8;
    if (k & 2) {
        format.wBitsPerSample *= 2;
        format.nBlockAlign *= 2;
    }
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    format.cbSize = 0;
}

void FillTrueSpeech(WAVEFORMATEX& format, BYTE* extra, WORD tag, int) {
    format.wFormatTag = tag;
    format.nChannels = 1;
    format.nSamplesPerSec = 8000;
    format.nAvgBytesPerSec = kTrueSpeechByteRate;
    format.nBlockAlign = 32;
    format.wBitsPerSample = 1;
    format.cbSize = 32;
    PutWords(extra, kTrueSpeechExtra, std::size(kTrueSpeechExtra));
}

// A-law and mu-law: one byte per sample per channel.
void FillCompanded(WAVEFORMATEX& format, BYTE*, WORD tag, int k) {
    format.wFormatTag = tag;
    format.nBlockAlign = format.nChannels = ChannelsOf(k);
    format.nSamplesPerSec = kFourRates[k >> 1];
    format.wBitsPerSample = 8;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    format.cbSize = 0;
}

void FillAdpcm(WAVEFORMATEX& format, BYTE* extra, WORD tag, int k) {
    format.wFormatTag = tag;
    format.nChannels = ChannelsOf(k);
    format.nSamplesPerSec = kFourRates[k >> 1];
    format.nAvgBytesPerSec = kAdpcmByteRates[k];
    format.nBlockAlign = static_cast<WORD>(kAdpcmBaseAlignments[k >> 1] * format.nChannels);
    format.wBitsPerSample = 4;
    format.cbSize = 32;
    PutWords(extra, kAdpcmCoefficientBlocks[kAdpcmBlockForRate[k >> 1]], kAdpcmExtraWords);
}

void FillGsm(WAVEFORMATEX& format, BYTE* extra, WORD tag, int k) {
    format.wFormatTag = tag;
    format.nChannels = 1;
    format.nSamplesPerSec = kFourRates[k];
    format.nAvgBytesPerSec = kGsmByteRates[k];
    format.nBlockAlign = kGsmBlockAlign;
    format.wBitsPerSample = 0;
    format.cbSize = 2;
    PutWords(extra, kGsmExtra, std::size(kGsmExtra));
}

/// A run of codes that share one wave format rule; k is the code minus `first`.
struct Family {
    int32_t first;
    int32_t last;
    WORD tag;
    size_t blockBytes;
    void (*fill)(WAVEFORMATEX& format, BYTE* extra, WORD tag, int k);
};

constexpr Family kFamilies[] = {
    {4, 39, WAVE_FORMAT_PCM, kHeaderBytes, FillPcm},
    {40, 40, WAVE_FORMAT_DSPGROUP_TRUESPEECH, kHeaderBytes + 32, FillTrueSpeech},
    {41, 48, WAVE_FORMAT_ALAW, kHeaderBytes, FillCompanded},
    {49, 56, WAVE_FORMAT_MULAW, kHeaderBytes, FillCompanded},
    {57, 64, WAVE_FORMAT_ADPCM, kHeaderBytes + 32, FillAdpcm},
    {65, 68, WAVE_FORMAT_GSM610, kHeaderBytes + 2, FillGsm},
};

const Family* FamilyOf(int32_t code) {
    for (const Family& family : kFamilies)
        if (code >= family.first && code <= family.last) return &family;
    return nullptr;
}

}  // namespace

HRESULT ConvertStreamFormat(int32_t code, GUID* formatId, WAVEFORMATEX** waveFormat) {
    if (!IsWritableOutParameter(formatId, sizeof(GUID)) ||
        !IsWritableOutParameter(waveFormat, sizeof(WAVEFORMATEX*)))
        return E_INVALIDARG;

    HRESULT result;
    const GUID* chosen;
    if (const Family* family = FamilyOf(code)) {
        auto* block = static_cast<BYTE*>(CoTaskMemAlloc(family->blockBytes));
        *waveFormat = reinterpret_cast<WAVEFORMATEX*>(block);
        if (block == nullptr) {
            result = E_OUTOFMEMORY;
            chosen = &GUID_NULL;
        } else {
            // A PCM block needs no clearing (its header fields cover all of it), but the
            // formats with extra bytes rely on zeros where the rule writes nothing.
            std::memset(block, 0, family->blockBytes);
            family->fill(**waveFormat, block + kHeaderBytes, family->tag, static_cast<int>(code - family->first));
            result = S_OK;
            chosen = &SPDFID_WaveFormatEx;
        }
    } else {
        *waveFormat = nullptr;
        if (code == SPSF_NoAssignedFormat) {
            result = S_OK;
            chosen = &GUID_NULL;
        } else if (code == SPSF_Text) {
            result = S_OK;
            chosen = &SPDFID_Text;
        } else {
            result = E_INVALIDARG;
            chosen = &GUID_NULL;
        }
    }
    std::memcpy(formatId, chosen, sizeof(GUID));
    return result;
}

CSpStreamFormat::CSpStreamFormat() : formatId(GUID_NULL), waveFormat(nullptr) {}

CSpStreamFormat::CSpStreamFormat(int32_t code, HRESULT* result) : formatId(GUID_NULL), waveFormat(nullptr) {
    *result = ConvertStreamFormat(code, &formatId, &waveFormat);
}

CSpStreamFormat::~CSpStreamFormat() { CoTaskMemFree(waveFormat); }

HRESULT CSpStreamFormat::AssignFormat(ISpStreamFormat* stream) {
    CoTaskMemFree(waveFormat);
    waveFormat = nullptr;
    return stream->GetFormat(&formatId, &waveFormat);
}
