// Stream format codes, all 2^32 of them: every block that comes back is as long as its
// cbSize says and consistent with its tag, and every path releases what it made.
#include <cstring>
#include <vector>

#include "FuzzTarget.h"
#include "speech/StreamFormat.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint32_t bits = 0;
    std::memcpy(&bits, data, size < sizeof bits ? size : sizeof bits);
    int32_t code = static_cast<int32_t>(bits);

    GUID formatId{};
    WAVEFORMATEX* block = nullptr;
    HRESULT hr = ConvertStreamFormat(code, &formatId, &block);
    if (block != nullptr) {
        FuzzCheck(hr == S_OK && formatId == SPDFID_WaveFormatEx, "a block comes with S_OK and the wave identifier");
        // Touch every byte the block claims: past its end is a finding.
        std::vector<unsigned char> copy(sizeof(WAVEFORMATEX) + block->cbSize);
        std::memcpy(copy.data(), block, copy.size());
        FuzzCheck(block->nChannels == 1 || block->nChannels == 2, "one or two channels");
        if (block->wFormatTag == WAVE_FORMAT_PCM)
            FuzzCheck(block->nBlockAlign == block->nChannels * block->wBitsPerSample / 8 &&
                          block->nAvgBytesPerSec == block->nSamplesPerSec * block->nBlockAlign,
                      "PCM fields agree");
        CoTaskMemFree(block);
    } else {
        FuzzCheck(hr != S_OK || code == 0 || code == 1, "only codes 0 and 1 succeed without a block");
        FuzzCheck(hr == S_OK || formatId == GUID_NULL, "a failure names no format");
    }
    HRESULT constructed = E_FAIL;
    CSpStreamFormat descriptor(code, &constructed);
    FuzzCheck(constructed == hr, "the descriptor reports the conversion's result");
    return 0;
}
