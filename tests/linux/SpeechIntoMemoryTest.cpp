// The Speaker speaking into memory through the real voice, and the memory copied out
// with the stream dump.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "ScratchFiles.h"
#include "speech/MemoryOutput.h"
#include "speech/Speaker.h"
#include "speech/StreamFormat.h"
#include "tests/support/TaskAllocFailure.h"

namespace {

using Bytes = std::vector<unsigned char>;

const char16_t kSentence[] = u"The quick brown fox jumps over the lazy dog.";

std::vector<int16_t> Samples(const Bytes& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return samples;
}

struct Loudness {
    double rms = 0;
    int peak = 0;
};

Loudness Measure(const std::vector<int16_t>& samples) {
    Loudness loudness;
    double sum = 0;
    for (int16_t s : samples) {
        sum += double(s) * s;
        loudness.peak = std::max(loudness.peak, std::abs(int(s)));
    }
    if (!samples.empty()) loudness.rms = std::sqrt(sum / double(samples.size()));
    return loudness;
}

Bytes ReadWholeStream(IStream* stream) {
    LARGE_INTEGER start{};
    EXPECT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    Bytes all;
    unsigned char buffer[65536];
    ULONG count = 0;
    do {
        EXPECT_EQ(stream->Read(buffer, sizeof buffer, &count), S_OK);
        all.insert(all.end(), buffer, buffer + count);
    } while (count > 0);
    return all;
}

/// The same sentence spoken by a voice of its own into memory at 22.05 kHz 16-bit mono:
/// a yardstick for how long the sentence is.
size_t SamplesAt22kHz(const char16_t* text) {
    InterfaceHolder<ISpVoice> voice;
    EXPECT_EQ(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, voice.VoidSlot()), S_OK);
    HRESULT built;
    CSpStreamFormat format(22, &built);  // 22050 Hz, 16-bit, mono
    EXPECT_EQ(built, S_OK);
    InterfaceHolder<IStream> memory;
    EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, memory.Slot()), S_OK);
    InterfaceHolder<ISpStream> stream;
    EXPECT_EQ(CoCreateInstance(CLSID_SpStream, nullptr, CLSCTX_ALL, IID_ISpStream, stream.VoidSlot()), S_OK);
    EXPECT_EQ(stream->SetBaseStream(memory.Get(), SPDFID_WaveFormatEx, format.WaveFormat()), S_OK);
    EXPECT_EQ(voice->SetOutput(stream.Get(), FALSE), S_OK);
    EXPECT_EQ(voice->Speak(text, SPF_DEFAULT, nullptr), S_OK);
    return ReadWholeStream(memory.Get()).size() / 2;
}

class SpeechIntoMemoryTest : public ::testing::Test {
protected:
    SpeechIntoMemoryTest() : directory(scratch::TestDirectory()) {}

    std::string directory;
};

TEST_F(SpeechIntoMemoryTest, TheDumpHolds44kHz16BitMonoSpeech) {
    const int blocksBefore = LiveTaskAllocations();
    const std::string name = directory + "/speech.raw";
    IStream* block = nullptr;  // the memory block stream, watched through a reference of the test's own
    {
        Speaker speaker;
        ASSERT_TRUE(speaker.HasVoice()) << std::hex << speaker.VoiceCreationResult();
        InterfaceHolder<ISpStream> memory = speaker.CreateMemoryOutput();
        ASSERT_FALSE(memory.IsEmpty());
        ASSERT_EQ(memory->GetBaseStream(&block), S_OK);
        ASSERT_EQ(speaker.SpeakText(reinterpret_cast<LPCWSTR>(kSentence)), S_OK);
        ASSERT_EQ(speaker.WaitUntilDone(INFINITE), S_OK);
        DumpStreamToFile(memory, name.c_str());
    }
    EXPECT_EQ(block->Release(), 0u);  // nothing else holds the block any more
    EXPECT_EQ(LiveTaskAllocations(), blocksBefore);

    const Bytes bytes = scratch::ReadAll(name);
    ASSERT_EQ(bytes.size() % 2, 0u);
    const std::vector<int16_t> samples = Samples(bytes);
    const double seconds = double(samples.size()) / 44100;
    EXPECT_GT(seconds, 1.0);
    EXPECT_LT(seconds, 6.0);
    const Loudness loudness = Measure(samples);
    EXPECT_GT(loudness.peak, 3000);
    EXPECT_GT(loudness.rms, 300);

    // Twice the samples the same sentence takes at 22.05 kHz: the voice really wrote 44.1 kHz.
    const double reference = double(SamplesAt22kHz(reinterpret_cast<LPCWSTR>(kSentence)));
    ASSERT_GT(reference, 0);
    RecordProperty("seconds", std::to_string(seconds));
    RecordProperty("peak", loudness.peak);
    RecordProperty("rms", std::to_string(loudness.rms));
    RecordProperty("ratioTo22kHz", std::to_string(double(samples.size()) / reference));
    EXPECT_NEAR(double(samples.size()) / reference, 2.0, 0.04);
}

TEST_F(SpeechIntoMemoryTest, ReleasingTheReturnedHolderDoesNotStopTheVoiceWritingIntoMemory) {
    Speaker speaker;
    ASSERT_TRUE(speaker.HasVoice());
    InterfaceHolder<IStream> block;
    {
        InterfaceHolder<ISpStream> memory = speaker.CreateMemoryOutput();
        ASSERT_EQ(memory->GetBaseStream(block.Slot()), S_OK);
    }
    // Only the voice holds the stream object now.
    ASSERT_EQ(speaker.SpeakText(reinterpret_cast<LPCWSTR>(kSentence)), S_OK);
    ASSERT_EQ(speaker.WaitUntilDone(INFINITE), S_OK);

    const std::vector<int16_t> samples = Samples(ReadWholeStream(block.Get()));
    EXPECT_GT(double(samples.size()) / 44100, 1.0);
    EXPECT_GT(Measure(samples).peak, 3000);
}

}  // namespace
