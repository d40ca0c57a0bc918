#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "engine/Engine.h"
#include "engine/InterfaceHolder.h"

namespace {

using Bytes = std::vector<BYTE>;

LARGE_INTEGER Offset(LONGLONG value) {
    LARGE_INTEGER offset;
    offset.QuadPart = value;
    return offset;
}

class MemoryStreamTest : public ::testing::Test {
protected:
    MemoryStreamTest() { EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Slot()), S_OK); }

    ULONGLONG SeekTo(LONGLONG move, DWORD origin) {
        ULARGE_INTEGER at{};
        EXPECT_EQ(stream->Seek(Offset(move), origin, &at), S_OK);
        return at.QuadPart;
    }
    ULONGLONG Size() {
        ULONGLONG position = SeekTo(0, STREAM_SEEK_CUR);
        ULONGLONG size = SeekTo(0, STREAM_SEEK_END);
        SeekTo(static_cast<LONGLONG>(position), STREAM_SEEK_SET);
        return size;
    }
    void Write(const Bytes& bytes) {
        ULONG written = 0;
        ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
        ASSERT_EQ(written, bytes.size());
    }
    Bytes Read(ULONG size) {
        Bytes bytes(size, 0xEE);
        ULONG read = 12345;
        EXPECT_EQ(stream->Read(bytes.data(), size, &read), S_OK);
        EXPECT_LE(read, size);
        bytes.resize(read);
        return bytes;
    }
    Bytes All() {
        SeekTo(0, STREAM_SEEK_SET);
        return Read(static_cast<ULONG>(Size()));
    }

    InterfaceHolder<IStream> stream;
};

TEST_F(MemoryStreamTest, StartsEmptyAndReadsNothing) {
    EXPECT_EQ(Size(), 0u);
    EXPECT_EQ(Read(16), Bytes{});
    EXPECT_EQ(SeekTo(0, STREAM_SEEK_CUR), 0u);
}

TEST_F(MemoryStreamTest, ReadsWhatWasWrittenFromThePositionAndStopsAtTheEnd) {
    Write({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(SeekTo(0, STREAM_SEEK_CUR), 10u);
    EXPECT_EQ(Read(4), Bytes{});  // the position is at the end after writing

    EXPECT_EQ(SeekTo(0, STREAM_SEEK_SET), 0u);
    EXPECT_EQ(Read(4), (Bytes{0, 1, 2, 3}));
    EXPECT_EQ(Read(100), (Bytes{4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(Read(100), Bytes{});

    EXPECT_EQ(SeekTo(-3, STREAM_SEEK_END), 7u);
    EXPECT_EQ(Read(10), (Bytes{7, 8, 9}));
    EXPECT_EQ(SeekTo(-5, STREAM_SEEK_CUR), 5u);
    EXPECT_EQ(Read(1), Bytes{5});
}

TEST_F(MemoryStreamTest, SeekingBeforeTheStartOrFromAnUnknownOriginFailsAndKeepsThePosition) {
    Write({1, 2, 3, 4});
    SeekTo(2, STREAM_SEEK_SET);
    struct Case {
        LONGLONG move;
        DWORD origin;
    };
    const Case cases[] = {{-1, STREAM_SEEK_SET}, {-3, STREAM_SEEK_CUR}, {-5, STREAM_SEEK_END}, {0, 3}, {0, 99}};
    for (const Case& c : cases) {
        ULARGE_INTEGER at{};
        at.QuadPart = 777;
        EXPECT_EQ(stream->Seek(Offset(c.move), c.origin, &at), STG_E_INVALIDFUNCTION) << c.move << " " << c.origin;
        EXPECT_EQ(at.QuadPart, 777u);
        EXPECT_EQ(SeekTo(0, STREAM_SEEK_CUR), 2u);
    }
    EXPECT_EQ(stream->Seek(Offset(0), STREAM_SEEK_SET, nullptr), S_OK);
}

TEST_F(MemoryStreamTest, WritingPastTheEndGrowsWithZerosAndWritingInsideOverwrites) {
    Write({1, 2, 3});
    EXPECT_EQ(SeekTo(6, STREAM_SEEK_SET), 6u);
    EXPECT_EQ(Size(), 3u);  // seeking alone does not grow it
    EXPECT_EQ(Read(4), Bytes{});
    Write({7, 8});
    EXPECT_EQ(All(), (Bytes{1, 2, 3, 0, 0, 0, 7, 8}));

    SeekTo(1, STREAM_SEEK_SET);
    Write({9, 9});
    EXPECT_EQ(SeekTo(0, STREAM_SEEK_CUR), 3u);
    EXPECT_EQ(All(), (Bytes{1, 9, 9, 0, 0, 0, 7, 8}));
}

TEST_F(MemoryStreamTest, SetSizeCutsOrExtendsWithoutMovingThePosition) {
    Write({1, 2, 3, 4, 5, 6});
    SeekTo(4, STREAM_SEEK_SET);
    ULARGE_INTEGER size;
    size.QuadPart = 2;
    ASSERT_EQ(stream->SetSize(size), S_OK);
    EXPECT_EQ(SeekTo(0, STREAM_SEEK_CUR), 4u);
    EXPECT_EQ(Size(), 2u);
    size.QuadPart = 5;
    ASSERT_EQ(stream->SetSize(size), S_OK);
    EXPECT_EQ(All(), (Bytes{1, 2, 0, 0, 0}));
}

TEST_F(MemoryStreamTest, GrowsToMegabytesThroughSmallWrites) {
    Bytes expected;
    for (int chunk = 0; chunk < 3000; ++chunk) {
        Bytes bytes(1000, static_cast<BYTE>(chunk % 251));
        bytes[0] = static_cast<BYTE>(chunk >> 8);
        Write(bytes);
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(Size(), 3000000u);
    EXPECT_TRUE(All() == expected);
}

TEST_F(MemoryStreamTest, NullBuffersAreRefused) {
    ULONG count = 99;
    EXPECT_EQ(stream->Write(nullptr, 4, &count), STG_E_INVALIDPOINTER);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(stream->Read(nullptr, 4, &count), STG_E_INVALIDPOINTER);
    EXPECT_EQ(Size(), 0u);
    EXPECT_EQ(stream->Write(nullptr, 0, nullptr), S_OK);
}

TEST_F(MemoryStreamTest, AnswersForItsStreamInterfacesOnly) {
    struct Case {
        const IID* iid;
        HRESULT result;
    };
    const Case cases[] = {{&IID_IUnknown, S_OK}, {&IID_ISequentialStream, S_OK}, {&IID_IStream, S_OK},
                          {&IID_ISpStream, E_NOINTERFACE}, {&IID_ISpStreamFormat, E_NOINTERFACE}};
    for (const Case& c : cases) {
        void* object = nullptr;
        EXPECT_EQ(stream->QueryInterface(*c.iid, &object), c.result);
        EXPECT_EQ(object != nullptr, c.result == S_OK);
        if (object) static_cast<IUnknown*>(object)->Release();
    }
}

// The voice's worker appends while another thread watches the size: every write lands
// whole, and the block ends up holding exactly what was written, in order.
TEST_F(MemoryStreamTest, AWriterOnOneThreadAndAWatcherOnAnotherSeeWholeWrites) {
    constexpr int kChunks = 2000;
    constexpr size_t kChunkBytes = 882;  // 10 ms of 44.1 kHz 16-bit mono
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int chunk = 0; chunk < kChunks; ++chunk) {
            Bytes bytes(kChunkBytes, static_cast<BYTE>(chunk % 255 + 1));
            ULONG written = 0;
            stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        }
        writing = false;
    });
    std::vector<ULONGLONG> sizes;
    while (writing) {
        ULARGE_INTEGER end{};
        stream->Seek(Offset(0), STREAM_SEEK_END, &end);
        sizes.push_back(end.QuadPart);
    }
    writer.join();

    for (size_t i = 0; i < sizes.size(); ++i) {
        ASSERT_EQ(sizes[i] % kChunkBytes, 0u) << "a write seen in part at " << sizes[i];
        if (i > 0) {
            ASSERT_GE(sizes[i], sizes[i - 1]);
        }
    }
    Bytes content = All();
    ASSERT_EQ(content.size(), kChunks * kChunkBytes);
    for (int chunk = 0; chunk < kChunks; ++chunk) {
        const Bytes expected(kChunkBytes, static_cast<BYTE>(chunk % 255 + 1));
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), content.begin() + chunk * kChunkBytes)) << chunk;
    }
}

TEST(CreateStreamOnHGlobalTest, RefusesAHandleOrAMissingOutParameter) {
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, nullptr), E_INVALIDARG);
    int someMemory = 0;
    IStream* stream = reinterpret_cast<IStream*>(uintptr_t{0x1234});
    EXPECT_EQ(CreateStreamOnHGlobal(&someMemory, TRUE, &stream), E_INVALIDARG);
    EXPECT_EQ(stream, nullptr);
}

TEST(CreateStreamOnHGlobalTest, TheStreamIsFreedWithItsLastReference) {
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_NE(stream, nullptr);
    Bytes bytes(100000, 0x42);
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);

    EXPECT_EQ(stream->AddRef(), 2u);
    EXPECT_EQ(stream->Release(), 1u);
    EXPECT_EQ(stream->Release(), 0u);  // the last reference: the block goes with it
}

TEST(CreateStreamOnHGlobalTest, AStreamObjectKeepsItsBaseStreamUntilItGoes) {
    IStream* memory = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &memory), S_OK);
    InterfaceHolder<ISpStream> wrapper;
    ASSERT_EQ(CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, wrapper.VoidSlot()), S_OK);
    const BYTE format[18] = {0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x88,
                             0x58, 0x01, 0x00, 0x02, 0x00, 0x10, 0x00, 0x00, 0x00};
    ASSERT_EQ(wrapper->SetBaseStream(memory, SPDFID_WaveFormatEx, reinterpret_cast<const WAVEFORMATEX*>(format)),
              S_OK);
    // The count seen through the test's own reference: 2 while the stream object holds one.
    memory->AddRef();
    EXPECT_EQ(memory->Release(), 2u);

    const Bytes bytes = {1, 2, 3};
    ASSERT_EQ(wrapper->Write(bytes.data(), 3, nullptr), S_OK);
    wrapper.Clear();
    EXPECT_EQ(memory->Release(), 0u);  // the stream object let go of it when it went
}

}  // namespace
