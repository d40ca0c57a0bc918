// Rendering with the real voice: speech into a WAV file and back to the audio device,
// and what ConvertFileToMono does with real files it cannot or must not convert.
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ScratchFiles.h"
#include "ToneAnalysis.h"
#include "engine/linux/EngineStartup.h"
#include "engine/linux/com/Com.h"
#include "engine/linux/voice/DefaultOutputToken.h"
#include "engine/linux/voice/SpVoice.h"
#include "engine/linux/audio/DeviceOutput.h"
#include "speech/FileRendering.h"
#include "speech/Speaker.h"
#include "tests/support/ClassOverride.h"
#include "tests/support/SoundFile.h"

namespace {

/// A Speaker on the engine's real voice, which the test can also reach directly.
class RealVoiceSpeaker : public ::testing::Test {
protected:
    RealVoiceSpeaker()
        : voiceClass(CLSID_SpVoice,
                     [this](REFIID iid, void** object) {
                         HRESULT hr = CreateSpVoice(ProcessVoiceParts(), iid, object);
                         if (SUCCEEDED(hr) && iid == IID_ISpVoice) {
                             voice = static_cast<ISpVoice*>(*object);
                             voice->AddRef();
                         }
                         return hr;
                     }),
          speaker(new Speaker()) {}
    ~RealVoiceSpeaker() override {
        delete speaker;
        if (voice != nullptr) voice->Release();
    }

    // The voice's output is the audio device: the object it reports is the default
    // output, in the device's format.
    void ExpectOutputIsTheDevice() {
        ASSERT_NE(nullptr, voice);
        ISpStreamFormat* output = nullptr;
        ASSERT_EQ(S_OK, voice->GetOutputStream(&output));
        ASSERT_NE(nullptr, output);
        EXPECT_TRUE(IsDefaultAudioOutput(output));
        GUID id = GUID_NULL;
        WAVEFORMATEX* format = nullptr;
        ASSERT_EQ(S_OK, output->GetFormat(&id, &format));
        EXPECT_EQ(SPDFID_WaveFormatEx, id);
        ASSERT_NE(nullptr, format);
        EXPECT_EQ(WAVE_FORMAT_PCM, format->wFormatTag);
        EXPECT_EQ(DeviceOutput::kChannels, format->nChannels);
        EXPECT_EQ(DeviceOutput::kSampleRate, format->nSamplesPerSec);
        EXPECT_EQ(16, format->wBitsPerSample);
        CoTaskMemFree(format);
        output->Release();
    }

    ISpVoice* voice = nullptr;
    ClassOverride voiceClass;
    Speaker* speaker;
};

TEST_F(RealVoiceSpeaker, SpeechGoesIntoAMonoFileAndTheDeviceIsTheOutputAgainAfterwards) {
    const std::string path = scratch::TestDirectory() + "/speech.wav";
    ExpectOutputIsTheDevice();
    ::testing::internal::CaptureStdout();
    speaker->BindOutputToFile(scratch::Wide(path).c_str());
    EXPECT_EQ(S_OK, speaker->SpeakText(u"Hello there. This sentence is spoken into a file, not to the speakers."));
    speaker->FinishFileOutput();
    EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
    ExpectOutputIsTheDevice();

    scratch::WavHeader header = scratch::ReadWavHeader(path);
    ASSERT_TRUE(header.valid);
    const std::vector<unsigned char> expectedFmt = {0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00,
                                                    0x88, 0x58, 0x01, 0x00, 0x02, 0x00, 0x10, 0x00};
    ASSERT_GE(header.fmt.size(), 16u);
    EXPECT_EQ(expectedFmt, std::vector<unsigned char>(header.fmt.begin(), header.fmt.begin() + 16));
    EXPECT_EQ(header.fileSize - 8, header.riffSize);
    EXPECT_EQ(header.dataOffset + header.dataSize, header.fileSize);

    const SoundFile sound = ReadSoundFile(path);
    ASSERT_EQ(44100, sound.rate);
    ASSERT_EQ(1, sound.channels);
    const std::vector<float>& samples = sound.samples;
    const double seconds = sound.Seconds();
    EXPECT_GT(seconds, 2.0);
    EXPECT_LT(seconds, 15.0);

    // Speech: loud syllables and quiet gaps, in 20 ms windows.
    const size_t window = 882;
    double loudest = 0;
    std::vector<double> levels;
    for (size_t at = 0; at + window <= samples.size(); at += window) {
        levels.push_back(tone::Rms(samples, at, window));
        loudest = std::max(loudest, levels.back());
    }
    ASSERT_GT(loudest, 0.03) << "the file is nearly silent";
    size_t loud = 0, quiet = 0;
    for (double level : levels) {
        if (level > loudest * 0.3) ++loud;
        if (level < loudest * 0.03) ++quiet;
    }
    EXPECT_GT(loud, levels.size() / 10) << "too few loud windows for speech";
    EXPECT_GT(quiet, 2u) << "no pauses between words";
    EXPECT_LT(tone::Peak(samples), 0.999f) << "clipped";
}

// A file that cannot be made is reported, and what was meant for it is spoken nowhere,
// least of all on the device the file was to replace.
TEST_F(RealVoiceSpeaker, AFileThatCannotBeCreatedIsReportedAndNothingIsSpokenElsewhere) {
    const std::string directory = scratch::TestDirectory();
    ASSERT_EQ(0, std::system(("touch '" + directory + "/plain'").c_str()));
    struct Case {
        const char* name;
        std::string path;
        HRESULT expected;
    };
    const Case cases[] = {
        {"missing directory", directory + "/no/such/directory/speech.wav", static_cast<HRESULT>(0x80070002u)},
        {"a file where a directory should be", directory + "/plain/speech.wav", static_cast<HRESULT>(0x80070003u)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char line[64];
        std::snprintf(line, sizeof line, "can not bind to file, hr %x\n", static_cast<unsigned>(c.expected));
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(c.expected, speaker->BindOutputToFile(scratch::Wide(c.path).c_str()));
        EXPECT_EQ(line, ::testing::internal::GetCapturedStdout());
        // Not the device's "no output" failure: the voice is not even asked.
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(c.expected, speaker->SpeakText(u"This must not be heard anywhere."));
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(c.expected, speaker->FinishFileOutput());
        EXPECT_FALSE(scratch::Exists(c.path));
        ExpectOutputIsTheDevice();
    }
}

TEST_F(RealVoiceSpeaker, ConvertReportsAMissingInputAndMakesNoFile) {
    const std::string directory = scratch::TestDirectory();
    std::string input = directory + "/missing.wav";
    std::vector<char> name(input.begin(), input.end());
    name.push_back('\0');
    ::testing::internal::CaptureStdout();
    ConvertFileToMono(*speaker, name.data());
    EXPECT_EQ("can not open stream " + input + ", hr 80070002\n", ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(input, std::string(name.data()));
    EXPECT_FALSE(scratch::Exists(directory + "/missing_mono.wav"));
    ExpectOutputIsTheDevice();
}

TEST_F(RealVoiceSpeaker, ConvertFillsTheNameBufferExactlyAndRefusesOneCharacterMore) {
    // Relative names, so the whole name is the last component and fits the file system.
    const std::string directory = scratch::TestDirectory();
    std::vector<char> previous(4096);
    ASSERT_NE(nullptr, ::getcwd(previous.data(), previous.size()));
    ASSERT_EQ(0, ::chdir(directory.c_str()));
    struct Case {
        size_t stem;
        bool converted;
    };
    for (const Case& c : {Case{246, true}, Case{247, false}}) {
        SCOPED_TRACE(c.stem);
        const std::string stem(c.stem, 'n');
        const std::string input = stem + ".wav";
        ASSERT_EQ(0, std::system(("sox -n -r 8000 -c 1 -b 16 " + input + " synth 0.2 sine 500").c_str()));
        std::vector<char> name(input.begin(), input.end());
        name.push_back('\0');
        ::testing::internal::CaptureStdout();
        ConvertFileToMono(*speaker, name.data());
        std::string printed = ::testing::internal::GetCapturedStdout();
        const std::string output = stem + "_mono.wav";
        if (c.converted) {
            EXPECT_EQ("", printed);
            EXPECT_EQ(255u, output.size());
            EXPECT_TRUE(scratch::ReadWavHeader(output).valid);
            EXPECT_EQ(stem, std::string(name.data()));
        } else {
            EXPECT_EQ("can not convert " + input + ": the name without its extension is longer than 246 characters\n",
                      printed);
            EXPECT_FALSE(scratch::Exists(output));
            EXPECT_EQ(input, std::string(name.data()));
        }
    }
    ASSERT_EQ(0, ::chdir(previous.data()));
    ExpectOutputIsTheDevice();
}

}  // namespace
