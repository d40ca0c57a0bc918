// The wave format module: which sample layout and which libsndfile format a wave format
// block stands for.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "VoiceTestStreams.h"
#include "engine/linux/streams/WaveFormat.h"

TEST(WaveFormat, LayoutOnlyForConsistentFormatsTheVoiceCanCode) {
    struct Case {
        std::string name;
        WAVEFORMATEX format;
        bool accepted;
    };
    WAVEFORMATEX badAlignment = WaveFormat(WAVE_FORMAT_PCM, 2, 44100, 16);
    badAlignment.nBlockAlign = 2;
    std::vector<Case> cases = {
        {"16-bit stereo PCM", WaveFormat(WAVE_FORMAT_PCM, 2, 44100, 16), true},
        {"8 kHz mu-law", WaveFormat(WAVE_FORMAT_MULAW, 1, 8000, 8), true},
        {"float", WaveFormat(WAVE_FORMAT_IEEE_FLOAT, 1, 48000, 32), true},
        {"12-bit PCM", WaveFormat(WAVE_FORMAT_PCM, 1, 8000, 12), false},
        {"64-bit float", WaveFormat(WAVE_FORMAT_IEEE_FLOAT, 1, 8000, 64), false},
        {"16-bit A-law", WaveFormat(WAVE_FORMAT_ALAW, 1, 8000, 16), false},
        {"ADPCM", WaveFormat(WAVE_FORMAT_ADPCM, 1, 8000, 4), false},
        {"no channels", WaveFormat(WAVE_FORMAT_PCM, 0, 8000, 16), false},
        {"no rate", WaveFormat(WAVE_FORMAT_PCM, 1, 0, 16), false},
        {"block alignment of another layout", badAlignment, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(waveformat::LayoutOf(c.format).has_value(), c.accepted);
    }
}

// An extensible block names its encoding in its sub-format.
TEST(WaveFormat, LayoutOfAnExtensibleBlockIsItsSubFormats) {
    struct Extensible {
        WAVEFORMATEX header;
        WORD validBits;
        DWORD channelMask;
        BYTE subFormat[16];
    } __attribute__((packed));
    const BYTE floatSubFormat[16] = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                     0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    Extensible block{};
    block.header = WaveFormat(WAVE_FORMAT_EXTENSIBLE, 2, 48000, 32);
    block.header.cbSize = 22;
    block.validBits = 32;
    block.channelMask = 3;
    std::memcpy(block.subFormat, floatSubFormat, 16);
    auto layout = waveformat::LayoutOf(block.header);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->encoding, SampleLayout::Encoding::Float32);
    EXPECT_EQ(layout->channels, 2);

    block.subFormat[0] = 0x02;  // ADPCM
    EXPECT_FALSE(waveformat::LayoutOf(block.header).has_value());
    block.subFormat[0] = 0x03;
    block.header.cbSize = 0;  // too short to hold a sub-format
    EXPECT_FALSE(waveformat::LayoutOf(block.header).has_value());
}

// What the voice codes, what libsndfile writes and what passes as raw bytes are three
// answers about one format; they must agree on the size of a frame.
TEST(WaveFormat, EncodingLibraryFormatAndRawSizeAgree) {
    struct Case {
        std::string name;
        WAVEFORMATEX format;
        bool voiceCodes;
        bool rawBytes;
    };
    const std::vector<Case> cases = {
        {"8-bit PCM", WaveFormat(WAVE_FORMAT_PCM, 2, 8000, 8), true, true},
        {"16-bit PCM", WaveFormat(WAVE_FORMAT_PCM, 2, 8000, 16), true, true},
        {"24-bit PCM", WaveFormat(WAVE_FORMAT_PCM, 2, 8000, 24), true, true},
        {"32-bit PCM", WaveFormat(WAVE_FORMAT_PCM, 2, 8000, 32), true, true},
        {"float", WaveFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 8000, 32), true, true},
        {"64-bit float", WaveFormat(WAVE_FORMAT_IEEE_FLOAT, 2, 8000, 64), false, true},
        {"A-law", WaveFormat(WAVE_FORMAT_ALAW, 2, 8000, 8), true, true},
        {"mu-law", WaveFormat(WAVE_FORMAT_MULAW, 2, 8000, 8), true, true},
        {"MS ADPCM", WaveFormat(WAVE_FORMAT_ADPCM, 1, 8000, 4), false, false},
        {"IMA ADPCM", WaveFormat(WAVE_FORMAT_IMA_ADPCM, 1, 8000, 4), false, false},
        {"GSM 6.10", WaveFormat(WAVE_FORMAT_GSM610, 1, 8000, 0), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int sndfileFormat = 0;
        ASSERT_EQ(S_OK, waveformat::SndfileFormatOf(c.format, &sndfileFormat));
        const size_t rawFrameBytes = size_t(waveformat::RawSampleBytes(sndfileFormat)) * c.format.nChannels;
        EXPECT_EQ(c.rawBytes, rawFrameBytes != 0);
        if (c.rawBytes) {
            EXPECT_EQ(c.format.nBlockAlign, rawFrameBytes);
        }
        auto layout = waveformat::LayoutOf(c.format);
        ASSERT_EQ(c.voiceCodes, layout.has_value());
        if (layout) {
            EXPECT_EQ(rawFrameBytes, layout->BytesPerFrame());
        }
    }
}
