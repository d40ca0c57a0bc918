#include "WaveFormatMapping.h"

#include <sndfile.h>

#include <cstring>

#include "StreamErrors.h"

namespace {

// The extensible block's tail: valid bits (2), channel mask (4), sub-format GUID (16).
constexpr WORD kExtensibleExtraBytes = 22;
constexpr size_t kSubFormatOffset = sizeof(WAVEFORMATEX) + 6;

// A sub-format GUID for a plain format tag: the tag in its first field, then this suffix.
constexpr unsigned char kSubFormatSuffix[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                                0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

HRESULT SubtypeFor(WORD tag, const WAVEFORMATEX& format, int* subtype) {
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

HRESULT SndfileFormatForWaveFormat(const WAVEFORMATEX& format, int* sndfileFormat) {
    *sndfileFormat = 0;
    if (format.nChannels == 0 || format.nSamplesPerSec == 0) return E_INVALIDARG;

    int major = SF_FORMAT_WAV;
    WORD tag = format.wFormatTag;
    if (tag == WAVE_FORMAT_EXTENSIBLE) {
        if (format.cbSize < kExtensibleExtraBytes) return E_INVALIDARG;
        const auto* subFormat = reinterpret_cast<const unsigned char*>(&format) + kSubFormatOffset;
        if (std::memcmp(subFormat + 4, kSubFormatSuffix, sizeof kSubFormatSuffix) != 0)
            return SPERR_UNSUPPORTED_FORMAT;
        DWORD subTag = 0;
        std::memcpy(&subTag, subFormat, sizeof subTag);
        if (subTag > 0xFFFF) return SPERR_UNSUPPORTED_FORMAT;
        tag = static_cast<WORD>(subTag);
        major = SF_FORMAT_WAVEX;
    }

    int subtype = 0;
    if (HRESULT hr = SubtypeFor(tag, format, &subtype); FAILED(hr)) return hr;

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
