#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "VoiceTestStreams.h"
#include "engine/linux/audio/SampleCodec.h"
#include "engine/linux/streams/WaveFormat.h"

namespace {

SampleLayout Layout(WORD tag, WORD bits, WORD channels = 1) {
    auto layout = waveformat::LayoutOf(WaveFormat(tag, channels, 8000, bits));
    EXPECT_TRUE(layout.has_value());
    return layout.value_or(SampleLayout{});
}

std::vector<BYTE> Reencode(const SampleLayout& layout, const std::vector<BYTE>& bytes) {
    size_t frames = bytes.size() / layout.BytesPerFrame();
    std::vector<float> samples(frames * layout.channels);
    DecodeSamples(layout, bytes.data(), frames, samples.data());
    std::vector<BYTE> again(bytes.size());
    EncodeSamples(layout, samples.data(), frames, again.data());
    return again;
}

std::vector<BYTE> LittleEndian(const std::vector<long long>& values, int width) {
    std::vector<BYTE> bytes;
    for (long long value : values)
        for (int b = 0; b < width; ++b) bytes.push_back(static_cast<BYTE>(static_cast<unsigned long long>(value) >> (8 * b)));
    return bytes;
}

struct RoundTrip {
    std::string name;
    WORD tag;
    WORD bits;
    std::vector<BYTE> bytes;
};

std::vector<BYTE> AllByteValues() {
    std::vector<BYTE> bytes(256);
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<BYTE>(i);
    return bytes;
}

std::vector<BYTE> FloatBytes(const std::vector<float>& values) {
    std::vector<BYTE> bytes(values.size() * 4);
    std::memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

}  // namespace

// Every sample an encoding can hold comes back as the same bytes after a trip through
// floats (32-bit PCM only for values a float holds exactly).
TEST(SampleCodec, BytesSurviveATripThroughFloats) {
    const std::vector<RoundTrip> cases = {
        {"8-bit PCM, every value", WAVE_FORMAT_PCM, 8, AllByteValues()},
        {"16-bit PCM", WAVE_FORMAT_PCM, 16, LittleEndian({-32768, -32767, -1, 0, 1, 12345, 32767}, 2)},
        {"24-bit PCM", WAVE_FORMAT_PCM, 24, LittleEndian({-8388608, -1, 0, 1, 4194304, 8388607}, 3)},
        {"32-bit PCM", WAVE_FORMAT_PCM, 32,
         LittleEndian({-2147483647LL - 1, -256, 0, 256, 1073741824, 2147483392LL}, 4)},
        {"32-bit float", WAVE_FORMAT_IEEE_FLOAT, 32, FloatBytes({-1.0f, -0.25f, 0.0f, 0.123456f, 1.0f})},
    };
    for (const auto& trip : cases) {
        SCOPED_TRACE(trip.name);
        EXPECT_EQ(Reencode(Layout(trip.tag, trip.bits), trip.bytes), trip.bytes);
    }
}

// A companded code decodes to one linear value; encoding that value must give a code
// that decodes to it again (mu-law has two codes for zero, so codes need not match).
TEST(SampleCodec, CompandedCodesKeepTheirLinearValue) {
    struct Law {
        const char* name;
        WORD tag;
        int16_t (*toLinear)(BYTE);
    };
    for (const Law& law : {Law{"A-law", WAVE_FORMAT_ALAW, ALawToLinear}, Law{"mu-law", WAVE_FORMAT_MULAW, MuLawToLinear}}) {
        SCOPED_TRACE(law.name);
        std::vector<BYTE> codes = AllByteValues();
        std::vector<BYTE> again = Reencode(Layout(law.tag, 8), codes);
        for (int code = 0; code < 256; ++code)
            EXPECT_EQ(law.toLinear(again[code]), law.toLinear(codes[code])) << "code " << code;
    }
}

TEST(SampleCodec, CompandingMatchesTheReferenceValues) {
    EXPECT_EQ(MuLawToLinear(0x00), -32124);
    EXPECT_EQ(MuLawToLinear(0x80), 32124);
    EXPECT_EQ(MuLawToLinear(0xFF), 0);
    EXPECT_EQ(LinearToMuLaw(0), 0xFF);
    EXPECT_EQ(ALawToLinear(0xD5), 8);
    EXPECT_EQ(ALawToLinear(0x55), -8);
    EXPECT_EQ(ALawToLinear(0xAA), 32256);
    EXPECT_EQ(ALawToLinear(0x2A), -32256);
    EXPECT_EQ(LinearToALaw(0), 0xD5);
    EXPECT_EQ(LinearToALaw(32767), 0xAA);
    EXPECT_EQ(LinearToALaw(-32768), 0x2A);
}

// Floats map onto each encoding's full scale, and what does not fit is clipped.
TEST(SampleCodec, EncodesFullScaleAndClips) {
    struct Case {
        std::string name;
        WORD tag;
        WORD bits;
        std::vector<float> samples;
        std::vector<BYTE> expected;
    };
    const std::vector<Case> cases = {
        {"8-bit PCM", WAVE_FORMAT_PCM, 8, {0.0f, 0.5f, -1.0f, 2.0f, -2.0f}, {128, 192, 0, 255, 0}},
        {"16-bit PCM", WAVE_FORMAT_PCM, 16, {0.5f, -0.5f, 1.5f, -1.5f},
         LittleEndian({16384, -16384, 32767, -32768}, 2)},
        {"24-bit PCM", WAVE_FORMAT_PCM, 24, {0.5f, 3.0f, -3.0f}, LittleEndian({4194304, 8388607, -8388608}, 3)},
        {"32-bit PCM", WAVE_FORMAT_PCM, 32, {-0.5f, 7.0f}, LittleEndian({-1073741824, 2147483647}, 4)},
        {"32-bit float", WAVE_FORMAT_IEEE_FLOAT, 32, {0.75f, 1.5f, -1.5f}, FloatBytes({0.75f, 1.0f, -1.0f})},
        {"mu-law", WAVE_FORMAT_MULAW, 8, {0.0f, 1.0f, -1.0f}, {0xFF, 0x80, 0x00}},
        {"A-law", WAVE_FORMAT_ALAW, 8, {0.0f, 1.0f, -1.0f}, {0xD5, 0xAA, 0x2A}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SampleLayout layout = Layout(c.tag, c.bits);
        std::vector<BYTE> bytes(c.samples.size() * layout.bytesPerSample);
        EncodeSamples(layout, c.samples.data(), c.samples.size(), bytes.data());
        EXPECT_EQ(bytes, c.expected);
    }
}
