#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "speech/MemoryOutput.h"
#include "tests/support/StdoutIntoStderr.h"
#include "tests/support/FakeStream.h"

namespace {

using Bytes = std::vector<BYTE>;
namespace fs = std::filesystem;

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return getpid();
#endif
}

Bytes Pattern(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 7 + i / 256);
    return bytes;
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class StreamDumpTest : public ::testing::Test {
protected:
    StreamDumpTest() : fake(FakeStream::Create()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        directory = fs::temp_directory_path() /
                    ("speech-dump-" + std::to_string(ProcessId()) + "-" + info->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
        *holder.Slot() = fake;  // the test's creation reference now lives in the holder
    }
    ~StreamDumpTest() override {
        holder.Clear();
        std::error_code ignored;
        fs::remove_all(directory, ignored);
    }

    std::string FileName(const char* name) const { return (directory / name).string(); }

    std::vector<ULONG> ReadCounts() const {
        std::vector<ULONG> counts;
        for (const auto& read : fake->reads) counts.push_back(read.returned);
        return counts;
    }

    FakeStream* fake;
    InterfaceHolder<ISpStream> holder;
    fs::path directory;
};

TEST_F(StreamDumpTest, CopiesTheWholeStreamInChunksOf4096Bytes) {
    struct Case {
        size_t size;
        std::vector<ULONG> reads;
    };
    const Case cases[] = {
        {0, {0}},
        {4096, {4096, 0}},
        {10000, {4096, 4096, 1808}},
        {8192, {4096, 4096, 0}},
        {1, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        fake->content = Pattern(c.size);
        fake->position = 0;
        fake->reads.clear();
        fake->calls.clear();
        fake->seeks.clear();
        const std::string name = FileName(("dump-" + std::to_string(c.size) + ".raw").c_str());

        DumpStreamToFile(holder, name.c_str());

        EXPECT_EQ(ReadCounts(), c.reads);
        for (const auto& read : fake->reads) EXPECT_EQ(read.size, 4096u);
        ASSERT_TRUE(fs::exists(name));
        EXPECT_EQ(fs::file_size(name), c.size);
        EXPECT_EQ(ReadFile(name), fake->content);
        ASSERT_FALSE(fake->calls.empty());
        EXPECT_EQ(fake->calls.front(), "Seek");
        ASSERT_EQ(fake->seeks.size(), 1u);
        EXPECT_EQ(fake->seeks[0].move, 0);
        EXPECT_EQ(fake->seeks[0].origin, static_cast<DWORD>(STREAM_SEEK_SET));
        EXPECT_FALSE(fake->seeks[0].newPositionRequested);
    }
}

TEST_F(StreamDumpTest, StartsAtTheFirstByteWhenThePositionIsAtTheEnd) {
    fake->content = Pattern(5000);
    fake->position = fake->content.size();  // where a writer leaves it
    const std::string name = FileName("from-start.raw");

    DumpStreamToFile(holder, name.c_str());

    EXPECT_EQ(ReadFile(name), fake->content);
    EXPECT_EQ(fake->position, fake->content.size());
}

TEST_F(StreamDumpTest, EmptiesAnExistingFileFirst) {
    const std::string name = FileName("existing.raw");
    {
        std::ofstream out(name, std::ios::binary);
        out << std::string(20000, 'x');
    }
    fake->content = Pattern(100);

    DumpStreamToFile(holder, name.c_str());

    EXPECT_EQ(ReadFile(name), fake->content);
}

TEST_F(StreamDumpTest, LineEndBytesComeThroughUnchanged) {
    fake->content = {0x0A, 0x0D, 0x0A, 0x0D, 0x0D, 0x0A, 0x0A, 0x1A, 0x00, 0xFF, 0x0A};
    const std::string name = FileName("line-ends.raw");

    DumpStreamToFile(holder, name.c_str());

    EXPECT_EQ(ReadFile(name), fake->content);
}

TEST_F(StreamDumpTest, AShortReadIsTheLast) {
    fake->content = Pattern(10000);
    fake->readChunkLimit = 1000;
    const std::string name = FileName("short.raw");

    DumpStreamToFile(holder, name.c_str());

    EXPECT_EQ(ReadCounts(), std::vector<ULONG>{1000});
    EXPECT_EQ(ReadFile(name), Bytes(fake->content.begin(), fake->content.begin() + 1000));
}

TEST_F(StreamDumpTest, TakesOneReferenceForTheCallAndGivesItBack) {
    fake->content = Pattern(10);
    ULONG during = 0;
    fake->onCall = [&](const char*) { during = fake->References(); };
    const ULONG before = fake->References();

    DumpStreamToFile(holder, FileName("refs.raw").c_str());

    EXPECT_EQ(during, before + 1);
    EXPECT_EQ(fake->References(), before);
}

using StreamDumpDeathTest = StreamDumpTest;

TEST_F(StreamDumpDeathTest, ANameInAMissingDirectoryPrintsTheErrorLineAndNeverReads) {
    fake->content = Pattern(10);
    fake->onCall = [](const char* method) {
        if (std::string(method) == "Read") std::_Exit(3);
    };
    const std::string name = FileName("missing/out.raw");
    EXPECT_EXIT(DumpStreamToFile(holder, name.c_str()), ::testing::ExitedWithCode(1),
                "out.raw: No such file or directory");
    EXPECT_FALSE(fs::exists(name));
}

TEST_F(StreamDumpDeathTest, AFailedSeekIsPrintedWithItsResultAndNoFileIsMade) {
    fake->seekResult = E_FAIL;
    const std::string name = FileName("unseekable.raw");
    EXPECT_EXIT(
        {
            StdoutIntoStderr();
            DumpStreamToFile(holder, name.c_str());
        },
        ::testing::ExitedWithCode(1), "can not seek, hr 80004005");
    EXPECT_FALSE(fs::exists(name));
}

TEST_F(StreamDumpDeathTest, AFailedReadIsPrintedWithItsResult) {
    fake->content = Pattern(10);
    fake->readResult = STG_E_ACCESSDENIED;
    EXPECT_EXIT(
        {
            StdoutIntoStderr();
            DumpStreamToFile(holder, FileName("unreadable.raw").c_str());
        },
        ::testing::ExitedWithCode(1), "can not read, hr 80030005");
}

TEST_F(StreamDumpDeathTest, AnEmptyHolderEndsTheProcess) {
    InterfaceHolder<ISpStream> empty;
    EXPECT_EXIT(
        {
            StdoutIntoStderr();
            DumpStreamToFile(empty, FileName("nothing.raw").c_str());
        },
        ::testing::ExitedWithCode(1), "can not dump stream, hr 80004003");
}

#ifndef _WIN32
TEST_F(StreamDumpDeathTest, AFullDeviceIsAFailedWrite) {
    // A large stream fails in a write; a small one stays buffered until the file is closed.
    for (size_t size : {10000, 10}) {
        SCOPED_TRACE(size);
        fake->content = Pattern(size);
        EXPECT_EXIT(DumpStreamToFile(holder, "/dev/full"), ::testing::ExitedWithCode(1),
                    "/dev/full: No space left on device");
    }
}
#endif

}  // namespace
