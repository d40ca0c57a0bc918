#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "speech/MemoryOutput.h"
#include "tests/support/FakeStream.h"
#include "tests/support/SpeakerFixture.h"
#include "tests/support/StdoutIntoStderr.h"
#include "tests/support/TaskAllocFailure.h"

namespace {

using Bytes = std::vector<BYTE>;

ULONG ReferencesOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// 44.1 kHz, 16-bit, mono PCM, written out byte by byte.
const Bytes kMonoPcm44k = {0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x88,
                           0x58, 0x01, 0x00, 0x02, 0x00, 0x10, 0x00, 0x00, 0x00};

/// A Speaker on a recording voice whose stream objects are one recording FakeStream.
class MemoryOutputTest : public SpeakerFixture {
protected:
    MemoryOutputTest()
        : stream(FakeStream::Create()),
          streamClass(CLSID_SpStream, [this](REFIID iid, void** object) {
              if (FAILED(streamCreation)) {
                  *object = nullptr;
                  return streamCreation;
              }
              return stream->QueryInterface(iid, object);
          }) {}
    ~MemoryOutputTest() override {
        speaker.reset();  // the voice lets go of its output
        stream->Release();
    }

    FakeStream* stream;
    HRESULT streamCreation = S_OK;
    ClassOverride streamClass;
};

TEST_F(MemoryOutputTest, WrapsANewMemoryStreamIn44kHzMonoAndMakesItTheVoicesOutput) {
    const int blocksBefore = LiveTaskAllocations();
    {
        InterfaceHolder<ISpStream> output = speaker->CreateMemoryOutput();

        EXPECT_EQ(output.Get(), static_cast<ISpStream*>(stream));
        EXPECT_EQ(stream->calls, std::vector<std::string>{"SetBaseStream"});
        ASSERT_EQ(stream->baseStreams.size(), 1u);
        const auto& base = stream->baseStreams[0];
        ASSERT_NE(base.stream, nullptr);
        EXPECT_TRUE(base.formatId == SPDFID_WaveFormatEx);
        EXPECT_EQ(base.waveFormat, kMonoPcm44k);

        ASSERT_EQ(fake->outputs.size(), 1u);
        EXPECT_EQ(fake->outputs[0].output, static_cast<IUnknown*>(static_cast<ISpStream*>(stream)));
        EXPECT_EQ(fake->outputs[0].allowFormatChanges, FALSE);
        EXPECT_EQ(fake->calls.back(), "SetOutput");

        // Held by the test, the returned holder and the voice; the memory stream only by
        // the stream object.
        EXPECT_EQ(ReferencesOf(stream), 3u);
        EXPECT_EQ(ReferencesOf(base.stream), 1u);
        // The descriptor's block is gone already.
        EXPECT_EQ(LiveTaskAllocations(), blocksBefore);
    }
    // Releasing what was returned leaves the voice's own reference.
    EXPECT_EQ(ReferencesOf(stream), 2u);
    EXPECT_EQ(fake->CurrentOutput(), static_cast<IUnknown*>(static_cast<ISpStream*>(stream)));
}

TEST_F(MemoryOutputTest, TheBaseStreamIsAWorkingMemoryStream) {
    InterfaceHolder<ISpStream> output = speaker->CreateMemoryOutput();
    ASSERT_EQ(stream->baseStreams.size(), 1u);
    IStream* memory = stream->baseStreams[0].stream;

    const Bytes written = {1, 2, 3, 0x0A, 5};
    ULONG count = 0;
    ASSERT_EQ(memory->Write(written.data(), static_cast<ULONG>(written.size()), &count), S_OK);
    EXPECT_EQ(count, written.size());
    LARGE_INTEGER start{};
    ASSERT_EQ(memory->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    Bytes read(16, 0xEE);
    ASSERT_EQ(memory->Read(read.data(), static_cast<ULONG>(read.size()), &count), S_OK);
    ASSERT_EQ(count, written.size());
    read.resize(count);
    EXPECT_EQ(read, written);
}

using MemoryOutputDeathTest = MemoryOutputTest;

TEST_F(MemoryOutputDeathTest, EveryFailedStepIsPrintedWithItsResultAndEndsTheProcess) {
    EXPECT_EXIT(
        {
            StdoutIntoStderr();
            FailNextTaskAllocations(1);
            speaker->CreateMemoryOutput();
        },
        ::testing::ExitedWithCode(1), "can not create CSpStreamFormat, hr 8007000e");

    streamCreation = E_OUTOFMEMORY;
    EXPECT_EXIT(
        {
            StdoutIntoStderr();
            speaker->CreateMemoryOutput();
        },
        ::testing::ExitedWithCode(1), "can not create stream object, hr 8007000e");
    streamCreation = S_OK;

    stream->setBaseResult = E_INVALIDARG;
    EXPECT_EXIT(
        {
            StdoutIntoStderr();
            speaker->CreateMemoryOutput();
        },
        ::testing::ExitedWithCode(1), "can not set base stream, hr 80070057");
    stream->setBaseResult = S_OK;

    fake->setOutputResult = E_FAIL;
    EXPECT_EXIT(
        {
            StdoutIntoStderr();
            speaker->CreateMemoryOutput();
        },
        ::testing::ExitedWithCode(1), "can not set output to memory, hr 80004005");
}

}  // namespace
