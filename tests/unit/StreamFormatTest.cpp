#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "speech/StreamFormat.h"
#include "tests/support/FakeStream.h"
#include "tests/support/TaskAllocFailure.h"

namespace {

using Bytes = std::vector<BYTE>;

// Identifiers as they lie in memory, written out here rather than taken from the engine.
const Bytes kWaveFormatExIdBytes = {0xAE, 0xDB, 0x1A, 0xC3, 0x7F, 0x52, 0xF5, 0x4F,
                                    0xA2, 0x30, 0xF6, 0x2B, 0xB6, 0x1F, 0xF7, 0x0C};
const Bytes kTextIdBytes = {0xF9, 0xF9, 0xEE, 0x7C, 0x13, 0x3D, 0xD2, 0x11,
                            0x9E, 0xE7, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96};
const Bytes kNullIdBytes(16, 0x00);

Bytes IdBytes(const GUID& id) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&id);
    return Bytes(bytes, bytes + sizeof(GUID));
}

// One row per code that has a wave format: the seven header fields.
struct Row {
    int32_t code;
    WORD tag;
    WORD channels;
    DWORD rate;
    DWORD byteRate;
    WORD align;
    WORD bits;
    WORD extra;
};

const Row kRows[] = {
    {4, 1, 1, 8000, 8000, 1, 8, 0},         {5, 1, 2, 8000, 16000, 2, 8, 0},
    {6, 1, 1, 8000, 16000, 2, 16, 0},       {7, 1, 2, 8000, 32000, 4, 16, 0},
    {8, 1, 1, 11025, 11025, 1, 8, 0},       {9, 1, 2, 11025, 22050, 2, 8, 0},
    {10, 1, 1, 11025, 22050, 2, 16, 0},     {11, 1, 2, 11025, 44100, 4, 16, 0},
    {12, 1, 1, 12000, 12000, 1, 8, 0},      {13, 1, 2, 12000, 24000, 2, 8, 0},
    {14, 1, 1, 12000, 24000, 2, 16, 0},     {15, 1, 2, 12000, 48000, 4, 16, 0},
    {16, 1, 1, 16000, 16000, 1, 8, 0},      {17, 1, 2, 16000, 32000, 2, 8, 0},
    {18, 1, 1, 16000, 32000, 2, 16, 0},     {19, 1, 2, 16000, 64000, 4, 16, 0},
    {20, 1, 1, 22050, 22050, 1, 8, 0},      {21, 1, 2, 22050, 44100, 2, 8, 0},
    {22, 1, 1, 22050, 44100, 2, 16, 0},     {23, 1, 2, 22050, 88200, 4, 16, 0},
    {24, 1, 1, 24000, 24000, 1, 8, 0},      {25, 1, 2, 24000, 48000, 2, 8, 0},
    {26, 1, 1, 24000, 48000, 2, 16, 0},     {27, 1, 2, 24000, 96000, 4, 16, 0},
    {28, 1, 1, 32000, 32000, 1, 8, 0},      {29, 1, 2, 32000, 64000, 2, 8, 0},
    {30, 1, 1, 32000, 64000, 2, 16, 0},     {31, 1, 2, 32000, 128000, 4, 16, 0},
    {32, 1, 1, 44100, 44100, 1, 8, 0},      {33, 1, 2, 44100, 88200, 2, 8, 0},
    {34, 1, 1, 44100, 88200, 2, 16, 0},     {35, 1, 2, 44100, 176400, 4, 16, 0},
    {36, 1, 1, 48000, 48000, 1, 8, 0},      {37, 1, 2, 48000, 96000, 2, 8, 0},
    {38, 1, 1, 48000, 96000, 2, 16, 0},     {39, 1, 2, 48000, 192000, 4, 16, 0},
    {40, 34, 1, 8000, 1067, 32, 1, 32},     {41, 6, 1, 8000, 8000, 1, 8, 0},
    {42, 6, 2, 8000, 16000, 2, 8, 0},       {43, 6, 1, 11025, 11025, 1, 8, 0},
    {44, 6, 2, 11025, 22050, 2, 8, 0},      {45, 6, 1, 22050, 22050, 1, 8, 0},
    {46, 6, 2, 22050, 44100, 2, 8, 0},      {47, 6, 1, 44100, 44100, 1, 8, 0},
    {48, 6, 2, 44100, 88200, 2, 8, 0},      {49, 7, 1, 8000, 8000, 1, 8, 0},
    {50, 7, 2, 8000, 16000, 2, 8, 0},       {51, 7, 1, 11025, 11025, 1, 8, 0},
    {52, 7, 2, 11025, 22050, 2, 8, 0},      {53, 7, 1, 22050, 22050, 1, 8, 0},
    {54, 7, 2, 22050, 44100, 2, 8, 0},      {55, 7, 1, 44100, 44100, 1, 8, 0},
    {56, 7, 2, 44100, 88200, 2, 8, 0},      {57, 2, 1, 8000, 4096, 256, 4, 32},
    {58, 2, 2, 8000, 8192, 512, 4, 32},     {59, 2, 1, 11025, 5644, 256, 4, 32},
    {60, 2, 2, 11025, 11289, 512, 4, 32},   {61, 2, 1, 22050, 11155, 512, 4, 32},
    {62, 2, 2, 22050, 22311, 1024, 4, 32},  {63, 2, 1, 44100, 22179, 1024, 4, 32},
    {64, 2, 2, 44100, 44359, 2048, 4, 32},  {65, 49, 1, 8000, 1625, 65, 0, 2},
    {66, 49, 1, 11025, 2239, 65, 0, 2},     {67, 49, 1, 22050, 4478, 65, 0, 2},
    {68, 49, 1, 44100, 8957, 65, 0, 2},
};

const Bytes kTrueSpeechExtra = {0x01, 0x00, 0xF0, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kAdpcmExtra500 = {0xF4, 0x01, 0x07, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00,
                              0xFF, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x40, 0x00, 0xF0, 0x00,
                              0x00, 0x00, 0xCC, 0x01, 0x30, 0xFF, 0x88, 0x01, 0x18, 0xFF};
const Bytes kAdpcmExtra1012 = {0xF4, 0x03, 0x07, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00,
                               0xFF, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x40, 0x00, 0xF0, 0x00,
                               0x00, 0x00, 0xCC, 0x01, 0x30, 0xFF, 0x88, 0x01, 0x18, 0xFF};
const Bytes kAdpcmExtra2036 = {0xF4, 0x07, 0x07, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00,
                               0xFF, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x40, 0x00, 0xF0, 0x00,
                               0x00, 0x00, 0xCC, 0x01, 0x30, 0xFF, 0x88, 0x01, 0x18, 0xFF};
const Bytes kGsmExtra = {0x40, 0x01};

const Bytes& ExtraBytesOf(int32_t code) {
    static const Bytes none;
    if (code == 40) return kTrueSpeechExtra;
    if (code == 57 || code == 58 || code == 59 || code == 60) return kAdpcmExtra500;
    if (code == 61 || code == 62) return kAdpcmExtra1012;
    if (code == 63 || code == 64) return kAdpcmExtra2036;
    if (code >= 65 && code <= 68) return kGsmExtra;
    return none;
}

void PutLittleEndian(Bytes& out, uint32_t value, int width) {
    for (int i = 0; i < width; ++i) out.push_back(static_cast<BYTE>(value >> (8 * i)));
}

Bytes ExpectedBlock(const Row& row) {
    Bytes block;
    PutLittleEndian(block, row.tag, 2);
    PutLittleEndian(block, row.channels, 2);
    PutLittleEndian(block, row.rate, 4);
    PutLittleEndian(block, row.byteRate, 4);
    PutLittleEndian(block, row.align, 2);
    PutLittleEndian(block, row.bits, 2);
    PutLittleEndian(block, row.extra, 2);
    const Bytes& extra = ExtraBytesOf(row.code);
    block.insert(block.end(), extra.begin(), extra.end());
    return block;
}

const Row* RowOf(int32_t code) {
    for (const Row& row : kRows)
        if (row.code == code) return &row;
    return nullptr;
}

/// One conversion, with both out-parameters primed with junk so that every write shows.
struct Conversion {
    explicit Conversion(int32_t code) {
        std::memset(&formatId, 0x5A, sizeof formatId);
        result = ConvertStreamFormat(code, &formatId, &block);
    }
    ~Conversion() {
        if (block != junkBlock()) CoTaskMemFree(block);
    }
    static WAVEFORMATEX* junkBlock() { return reinterpret_cast<WAVEFORMATEX*>(uintptr_t{0x1234}); }
    Bytes BlockBytes() const { return WaveFormatBytes(block); }

    HRESULT result;
    GUID formatId;
    WAVEFORMATEX* block = junkBlock();
};

TEST(ConvertStreamFormatTest, Code34GivesTheEighteenBytesOf44kHz16BitMonoPcm) {
    Conversion c(34);
    EXPECT_EQ(c.result, S_OK);
    EXPECT_EQ(IdBytes(c.formatId), kWaveFormatExIdBytes);
    const Bytes expected = {0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x88,
                            0x58, 0x01, 0x00, 0x02, 0x00, 0x10, 0x00, 0x00, 0x00};
    EXPECT_EQ(c.BlockBytes(), expected);
}

TEST(ConvertStreamFormatTest, EveryCodeGivesItsIdentifierResultAndBlock) {
    std::vector<int32_t> codes = {INT32_MIN, INT32_MAX};
    for (int32_t code = -1; code <= 70; ++code) codes.push_back(code);
    for (int32_t code : codes) {
        SCOPED_TRACE(code);
        Conversion c(code);
        if (const Row* row = RowOf(code)) {
            EXPECT_EQ(c.result, S_OK);
            EXPECT_EQ(IdBytes(c.formatId), kWaveFormatExIdBytes);
            ASSERT_NE(c.block, nullptr);
            EXPECT_EQ(c.BlockBytes(), ExpectedBlock(*row));
        } else if (code == 0) {
            EXPECT_EQ(c.result, S_OK);
            EXPECT_EQ(IdBytes(c.formatId), kNullIdBytes);
            EXPECT_EQ(c.block, nullptr);
        } else if (code == 1) {
            EXPECT_EQ(c.result, S_OK);
            EXPECT_EQ(IdBytes(c.formatId), kTextIdBytes);
            EXPECT_EQ(c.block, nullptr);
        } else {
            EXPECT_EQ(c.result, E_INVALIDARG);
            EXPECT_EQ(IdBytes(c.formatId), kNullIdBytes);
            EXPECT_EQ(c.block, nullptr);
        }
    }
}

TEST(ConvertStreamFormatTest, BlockSizesFollowTheFamilies) {
    struct Case {
        int32_t code;
        size_t bytes;
    };
    const Case cases[] = {{4, 18}, {34, 18}, {39, 18}, {40, 50}, {41, 18}, {56, 18},
                          {57, 50}, {64, 50}, {65, 20}, {68, 20}};
    for (const Case& k : cases) {
        Conversion c(k.code);
        ASSERT_NE(c.block, nullptr) << k.code;
        EXPECT_EQ(sizeof(WAVEFORMATEX) + c.block->cbSize, k.bytes) << k.code;
    }
}

TEST(ConvertStreamFormatTest, NamedRowsFieldByField) {
    {
        Conversion c(4);
        ASSERT_NE(c.block, nullptr);
        EXPECT_EQ(c.block->wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(c.block->nSamplesPerSec, 8000u);
        EXPECT_EQ(c.block->nChannels, 1);
        EXPECT_EQ(c.block->wBitsPerSample, 8);
        EXPECT_EQ(c.block->nBlockAlign, 1);
        EXPECT_EQ(c.block->nAvgBytesPerSec, 8000u);
        EXPECT_EQ(c.block->cbSize, 0);
    }
    {
        Conversion c(39);
        ASSERT_NE(c.block, nullptr);
        EXPECT_EQ(c.block->wFormatTag, WAVE_FORMAT_PCM);
        EXPECT_EQ(c.block->nSamplesPerSec, 48000u);
        EXPECT_EQ(c.block->nChannels, 2);
        EXPECT_EQ(c.block->wBitsPerSample, 16);
        EXPECT_EQ(c.block->nBlockAlign, 4);
        EXPECT_EQ(c.block->nAvgBytesPerSec, 192000u);
    }
    {
        Conversion c(40);
        ASSERT_NE(c.block, nullptr);
        EXPECT_EQ(c.block->wFormatTag, 0x22);
        EXPECT_EQ(c.block->nChannels, 1);
        EXPECT_EQ(c.block->nSamplesPerSec, 8000u);
        EXPECT_EQ(c.block->nAvgBytesPerSec, 1067u);
        EXPECT_EQ(c.block->nBlockAlign, 32);
        EXPECT_EQ(c.block->wBitsPerSample, 1);
        EXPECT_EQ(c.block->cbSize, 32);
        Bytes bytes = c.BlockBytes();
        ASSERT_EQ(bytes.size(), 50u);
        EXPECT_EQ(Bytes(bytes.begin() + 18, bytes.begin() + 22), (Bytes{0x01, 0x00, 0xF0, 0x00}));
        EXPECT_EQ(Bytes(bytes.begin() + 22, bytes.end()), Bytes(28, 0x00));
    }
    {
        Conversion c(64);
        ASSERT_NE(c.block, nullptr);
        EXPECT_EQ(c.block->wFormatTag, WAVE_FORMAT_ADPCM);
        EXPECT_EQ(c.block->nChannels, 2);
        EXPECT_EQ(c.block->nSamplesPerSec, 44100u);
        EXPECT_EQ(c.block->nBlockAlign, 2048);
        EXPECT_EQ(c.block->nAvgBytesPerSec, 44359u);
        EXPECT_EQ(c.block->wBitsPerSample, 4);
        Bytes bytes = c.BlockBytes();
        ASSERT_EQ(bytes.size(), 50u);
        EXPECT_EQ(bytes[18] | bytes[19] << 8, 2036);  // samples per block
    }
    {
        Conversion c(68);
        ASSERT_NE(c.block, nullptr);
        EXPECT_EQ(c.block->wFormatTag, 0x31);
        EXPECT_EQ(c.block->nChannels, 1);
        EXPECT_EQ(c.block->nSamplesPerSec, 44100u);
        EXPECT_EQ(c.block->nAvgBytesPerSec, 8957u);
        EXPECT_EQ(c.block->nBlockAlign, 65);
        EXPECT_EQ(c.block->wBitsPerSample, 0);
        EXPECT_EQ(c.block->cbSize, 2);
        Bytes bytes = c.BlockBytes();
        ASSERT_EQ(bytes.size(), 20u);
        EXPECT_EQ(bytes[18], 0x40);
        EXPECT_EQ(bytes[19], 0x01);
    }
}

TEST(ConvertStreamFormatTest, PcmAndCompandedBlocksAreSelfConsistent) {
    for (int32_t code = 4; code <= 56; ++code) {
        if (code == 40) continue;  // TrueSpeech sits between PCM and A-law
        SCOPED_TRACE(code);
        Conversion c(code);
        ASSERT_NE(c.block, nullptr);
        EXPECT_EQ(c.block->nBlockAlign, c.block->nChannels * c.block->wBitsPerSample / 8);
        EXPECT_EQ(c.block->nAvgBytesPerSec, c.block->nSamplesPerSec * c.block->nBlockAlign);
        EXPECT_EQ(c.block->cbSize, 0);
    }
}

TEST(ConvertStreamFormatTest, AdpcmRows) {
    struct Case {
        int32_t code;
        DWORD rate;
        WORD channels;
        DWORD byteRate;
        WORD align;
        int samplesPerBlock;
    };
    const Case cases[] = {
        {57, 8000, 1, 4096, 256, 500},      {58, 8000, 2, 8192, 512, 500},
        {59, 11025, 1, 5644, 256, 500},     {60, 11025, 2, 11289, 512, 500},
        {61, 22050, 1, 11155, 512, 1012},   {62, 22050, 2, 22311, 1024, 1012},
        {63, 44100, 1, 22179, 1024, 2036},  {64, 44100, 2, 44359, 2048, 2036},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.code);
        Conversion c(k.code);
        ASSERT_NE(c.block, nullptr);
        EXPECT_EQ(c.block->wFormatTag, WAVE_FORMAT_ADPCM);
        EXPECT_EQ(c.block->nSamplesPerSec, k.rate);
        EXPECT_EQ(c.block->nChannels, k.channels);
        EXPECT_EQ(c.block->nAvgBytesPerSec, k.byteRate);
        EXPECT_EQ(c.block->nBlockAlign, k.align);
        EXPECT_EQ(c.block->wBitsPerSample, 4);
        EXPECT_EQ(c.block->cbSize, 32);
        Bytes bytes = c.BlockBytes();
        ASSERT_EQ(bytes.size(), 50u);
        EXPECT_EQ(bytes[18] | bytes[19] << 8, k.samplesPerBlock);
        EXPECT_EQ(bytes[20] | bytes[21] << 8, 7);  // coefficient pairs
    }
}

TEST(ConvertStreamFormatTest, UnwritableOutParametersAreRefusedAndNothingIsWritten) {
    for (int32_t code : {34, 0, 1, 2, 40, 99}) {
        SCOPED_TRACE(code);
        GUID id;
        std::memset(&id, 0x5A, sizeof id);
        const Bytes idBefore = IdBytes(id);
        WAVEFORMATEX* block = Conversion::junkBlock();
        const int liveBefore = LiveTaskAllocations();

        EXPECT_EQ(ConvertStreamFormat(code, nullptr, &block), E_INVALIDARG);
        EXPECT_EQ(block, Conversion::junkBlock());
        EXPECT_EQ(ConvertStreamFormat(code, &id, nullptr), E_INVALIDARG);
        EXPECT_EQ(IdBytes(id), idBefore);
        EXPECT_EQ(ConvertStreamFormat(code, nullptr, nullptr), E_INVALIDARG);
        EXPECT_EQ(LiveTaskAllocations(), liveBefore);
    }
}

TEST(ConvertStreamFormatTest, AFailedAllocationInEveryFamilyGivesOutOfMemoryAndNoBlock) {
    for (int32_t code : {4, 34, 39, 40, 41, 48, 49, 56, 57, 64, 65, 68}) {
        SCOPED_TRACE(code);
        const int liveBefore = LiveTaskAllocations();
        FailNextTaskAllocations(1);
        {
            Conversion c(code);
            EXPECT_EQ(c.result, E_OUTOFMEMORY);
            EXPECT_EQ(IdBytes(c.formatId), kNullIdBytes);
            EXPECT_EQ(c.block, nullptr);
        }
        FailNextTaskAllocations(0);
        EXPECT_EQ(LiveTaskAllocations(), liveBefore);
    }
}

TEST(ConvertStreamFormatTest, ABlockPointerAlreadyHeldIsOverwrittenNotReleased) {
    void* earlier = CoTaskMemAlloc(18);
    ASSERT_NE(earlier, nullptr);
    const int liveBefore = LiveTaskAllocations();
    for (int32_t code : {34, 1, 99}) {
        WAVEFORMATEX* block = static_cast<WAVEFORMATEX*>(earlier);
        GUID id;
        ConvertStreamFormat(code, &id, &block);
        EXPECT_NE(block, earlier) << code;
        EXPECT_EQ(LiveTaskAllocations(), liveBefore + (block != nullptr ? 1 : 0)) << code;
        CoTaskMemFree(block);
    }
    CoTaskMemFree(earlier);
}

TEST(CSpStreamFormatTest, DefaultDescriptorHoldsNothingAndReleasesNothing) {
    const int liveBefore = LiveTaskAllocations();
    {
        CSpStreamFormat format;
        EXPECT_EQ(IdBytes(format.FormatId()), kNullIdBytes);
        EXPECT_EQ(format.WaveFormat(), nullptr);
    }
    EXPECT_EQ(LiveTaskAllocations(), liveBefore);
}

TEST(CSpStreamFormatTest, ConstructionFromACodeStoresTheConversionAndDestructionFreesTheBlock) {
    struct Case {
        int32_t code;
        HRESULT result;
        const Bytes* id;
        bool hasBlock;
    };
    const Case cases[] = {
        {34, S_OK, &kWaveFormatExIdBytes, true}, {64, S_OK, &kWaveFormatExIdBytes, true},
        {0, S_OK, &kNullIdBytes, false},         {1, S_OK, &kTextIdBytes, false},
        {2, E_INVALIDARG, &kNullIdBytes, false}, {-1, E_INVALIDARG, &kNullIdBytes, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.code);
        const int liveBefore = LiveTaskAllocations();
        {
            HRESULT result = 0x12345;
            CSpStreamFormat format(k.code, &result);
            EXPECT_EQ(result, k.result);
            EXPECT_EQ(IdBytes(format.FormatId()), *k.id);
            EXPECT_EQ(format.WaveFormat() != nullptr, k.hasBlock);
            if (k.hasBlock) {
                EXPECT_EQ(WaveFormatBytes(format.WaveFormat()), ExpectedBlock(*RowOf(k.code)));
            }
            EXPECT_EQ(LiveTaskAllocations(), liveBefore + (k.hasBlock ? 1 : 0));
        }
        EXPECT_EQ(LiveTaskAllocations(), liveBefore);
    }
}

TEST(CSpStreamFormatTest, ConstructionWhenAllocationFailsLeavesAnEmptySafeDescriptor) {
    const int liveBefore = LiveTaskAllocations();
    FailNextTaskAllocations(1);
    {
        HRESULT result = S_OK;
        CSpStreamFormat format(SPSF_44kHz16BitMono, &result);
        FailNextTaskAllocations(0);
        EXPECT_EQ(result, E_OUTOFMEMORY);
        EXPECT_EQ(IdBytes(format.FormatId()), kNullIdBytes);
        EXPECT_EQ(format.WaveFormat(), nullptr);
    }
    EXPECT_EQ(LiveTaskAllocations(), liveBefore);
}

class AssignFormatTest : public ::testing::Test {
protected:
    AssignFormatTest() : stream(FakeStream::Create()) {}
    ~AssignFormatTest() override { stream->Release(); }

    FakeStream* stream;
    const Bytes reportedBlock = {0x01, 0x00, 0x02, 0x00, 0x22, 0x56, 0x00, 0x00, 0x88,
                                 0x58, 0x01, 0x00, 0x04, 0x00, 0x10, 0x00, 0x00, 0x00};
};

TEST_F(AssignFormatTest, ReleasesTheOldBlockBeforeAskingAndReturnsTheStreamsResultUnchanged) {
    for (HRESULT streamResult : {S_OK, S_FALSE, E_FAIL, E_POINTER, SPERR_DEVICE_BUSY}) {
        SCOPED_TRACE(streamResult);
        const int liveBefore = LiveTaskAllocations();
        {
            HRESULT built;
            CSpStreamFormat format(34, &built);
            ASSERT_EQ(built, S_OK);
            stream->getFormatResult = streamResult;
            stream->formatIdToReport = SPDFID_Text;
            stream->formatBlockToReport = reportedBlock;
            bool asked = false;
            stream->onGetFormat = [&] {
                asked = true;
                EXPECT_EQ(format.WaveFormat(), nullptr);
                EXPECT_EQ(LiveTaskAllocations(), liveBefore);  // the 18-byte block is gone
            };

            EXPECT_EQ(format.AssignFormat(stream), streamResult);
            EXPECT_TRUE(asked);
            EXPECT_EQ(IdBytes(format.FormatId()), kTextIdBytes);
            EXPECT_EQ(WaveFormatBytes(format.WaveFormat()), reportedBlock);
            stream->onGetFormat = nullptr;
        }
        EXPECT_EQ(LiveTaskAllocations(), liveBefore);
    }
    EXPECT_EQ(stream->calls, std::vector<std::string>(5, "GetFormat"));
}

TEST_F(AssignFormatTest, AFailingStreamThatWritesNothingLeavesTheOldIdentifierAndNoBlock) {
    HRESULT built;
    CSpStreamFormat format(34, &built);
    stream->getFormatResult = E_FAIL;
    stream->writeFormatId = false;
    stream->formatBlockToReport.clear();

    EXPECT_EQ(format.AssignFormat(stream), E_FAIL);
    EXPECT_EQ(IdBytes(format.FormatId()), kWaveFormatExIdBytes);
    EXPECT_EQ(format.WaveFormat(), nullptr);
}

TEST_F(AssignFormatTest, AssigningAgainReleasesTheBlockTheStreamGaveBefore) {
    const int liveBefore = LiveTaskAllocations();
    {
        CSpStreamFormat format;
        stream->formatIdToReport = SPDFID_WaveFormatEx;
        stream->formatBlockToReport = reportedBlock;
        ASSERT_EQ(format.AssignFormat(stream), S_OK);
        EXPECT_EQ(LiveTaskAllocations(), liveBefore + 1);
        ASSERT_EQ(format.AssignFormat(stream), S_OK);
        EXPECT_EQ(LiveTaskAllocations(), liveBefore + 1);
        EXPECT_EQ(WaveFormatBytes(format.WaveFormat()), reportedBlock);
    }
    EXPECT_EQ(LiveTaskAllocations(), liveBefore);
}

}  // namespace
