#include "WavFormatChunk.h"

#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr size_t kHeaderBytes = sizeof(WAVEFORMATEX);
constexpr uint32_t kMaxFormatChunk = 1 << 16;  // a format chunk is a few dozen bytes

uint32_t LittleEndian32(const unsigned char* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

uint16_t LittleEndian16(const unsigned char* bytes) { return uint16_t(bytes[0] | bytes[1] << 8); }

void PutLittleEndian16(unsigned char* bytes, uint16_t value) {
    bytes[0] = static_cast<unsigned char>(value);
    bytes[1] = static_cast<unsigned char>(value >> 8);
}

// Turns an extensible block with a plain sub-format into the plain block.
void ReduceExtensible(std::vector<unsigned char>& block) {
    constexpr unsigned char suffix[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    constexpr size_t subFormat = kHeaderBytes + 6;
    if (LittleEndian16(block.data()) != WAVE_FORMAT_EXTENSIBLE || block.size() < subFormat + 16) return;
    if (std::memcmp(block.data() + subFormat + 4, suffix, sizeof suffix) != 0) return;
    uint32_t tag = LittleEndian32(block.data() + subFormat);
    if (tag != WAVE_FORMAT_PCM && tag != WAVE_FORMAT_IEEE_FLOAT && tag != WAVE_FORMAT_ALAW && tag != WAVE_FORMAT_MULAW)
        return;
    block.resize(kHeaderBytes);
    PutLittleEndian16(block.data(), static_cast<uint16_t>(tag));
    PutLittleEndian16(block.data() + 16, 0);  // cbSize
}

// Reads a format chunk's bytes into a wave format block.
std::vector<unsigned char> FormatBlockOf(const std::vector<unsigned char>& bytes) {
    const uint32_t size = static_cast<uint32_t>(bytes.size());
    std::vector<unsigned char> block(kHeaderBytes, 0);
    std::memcpy(block.data(), bytes.data(), 16);
    // PCM carries no extra bytes, whatever a writer left in the field.
    uint16_t extra = 0;
    if (size >= kHeaderBytes && LittleEndian16(block.data()) != WAVE_FORMAT_PCM)
        extra = static_cast<uint16_t>(std::min<uint32_t>(LittleEndian16(bytes.data() + 16), size - kHeaderBytes));
    PutLittleEndian16(block.data() + 16, extra);
    if (extra > 0) block.insert(block.end(), bytes.begin() + kHeaderBytes, bytes.begin() + kHeaderBytes + extra);
    ReduceExtensible(block);
    return block;
}

}  // namespace

WavLayout ReadWavLayout(const std::string& path) {
    WavLayout layout;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return layout;

    unsigned char riff[12];
    if (std::fread(riff, 1, sizeof riff, file.get()) != sizeof riff) return layout;
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return layout;

    // The chunks that describe the audio come before its data.
    unsigned char chunk[8];
    while (std::fread(chunk, 1, sizeof chunk, file.get()) == sizeof chunk && std::memcmp(chunk, "data", 4) != 0) {
        uint32_t size = LittleEndian32(chunk + 4);
        bool isFormat = std::memcmp(chunk, "fmt ", 4) == 0;
        bool isFact = std::memcmp(chunk, "fact", 4) == 0 && size >= 4;
        if ((isFormat && size >= 16 && size <= kMaxFormatChunk) || isFact) {
            std::vector<unsigned char> bytes(size);
            if (std::fread(bytes.data(), 1, size, file.get()) != size) return WavLayout{};
            if (isFormat) layout.formatBlock = FormatBlockOf(bytes);
            if (isFact) layout.factFrames = LittleEndian32(bytes.data());
            if ((size & 1) != 0 && std::fseek(file.get(), 1, SEEK_CUR) != 0) return WavLayout{};
            continue;
        }
        if (isFormat) return WavLayout{};  // a format chunk too small or too large to be one
        // Chunks are padded to an even length.
        if (std::fseek(file.get(), long(size) + long(size & 1), SEEK_CUR) != 0) return WavLayout{};
    }
    return layout;
}
