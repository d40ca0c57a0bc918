// Converting real WAV files into their 44.1 kHz 16-bit mono siblings with a real Speaker:
// the input files are encoded by sox, an independent tool, from tones and sweeps made
// here; the output is judged by its header, its length and its spectrum.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ScratchFiles.h"
#include "ToneAnalysis.h"
#include "speech/FileRendering.h"
#include "tests/support/SoundFile.h"
#include "speech/Speaker.h"

namespace {

constexpr double kOutputRate = 44100;

// Writes interleaved float samples as a 32-bit float WAV (lossless), for sox to encode.
void WriteFloatWav(const std::string& path, const std::vector<float>& samples, int rate, int channels) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(nullptr, file) << sf_strerror(nullptr);
    ASSERT_EQ(sf_count_t(samples.size() / size_t(channels)),
              sf_writef_float(file, samples.data(), sf_count_t(samples.size() / size_t(channels))));
    sf_close(file);
}

// The sibling's header must say 44.1 kHz, 1 channel, 16-bit PCM, with final sizes.
void ExpectMonoPcmHeader(const std::string& path) {
    scratch::WavHeader header = scratch::ReadWavHeader(path);
    ASSERT_TRUE(header.valid) << path;
    ASSERT_GE(header.fmt.size(), 16u);
    const unsigned char expected[16] = {0x01, 0x00, 0x01, 0x00, 0x44, 0xAC, 0x00, 0x00,
                                        0x88, 0x58, 0x01, 0x00, 0x02, 0x00, 0x10, 0x00};
    EXPECT_EQ(std::vector<unsigned char>(expected, expected + 16),
              std::vector<unsigned char>(header.fmt.begin(), header.fmt.begin() + 16));
    EXPECT_EQ(header.fileSize - 8, header.riffSize);
    EXPECT_EQ(header.dataOffset + header.dataSize, header.fileSize);
    EXPECT_EQ(0u, header.dataSize % 2);
}

struct Conversion {
    const char* name;
    int rate;
    int channels;
    const char* soxEncoding;  // sox output options for the input file
    double tone;              // the in-band tone
    double outOfBand;         // a second tone above the output's Nyquist frequency (0: none)
    double maxSpuriousDb;     // strongest other component in the output, relative to the tone
};

void PrintTo(const Conversion& conversion, std::ostream* out) { *out << conversion.name; }

const Conversion kConversions[] = {
    {"pcm16_48k_stereo", 48000, 2, "-b 16 -e signed-integer", 1000, 23000, -80},
    {"pcm8_8k_mono", 8000, 1, "-b 8 -e unsigned-integer", 1000, 0, -45},
    {"mulaw_22k_mono", 22050, 1, "-e u-law", 1000, 0, -42},
    {"alaw_44k_stereo", 44100, 2, "-e a-law", 1000, 0, -45},
    {"imaadpcm_11k_mono", 11025, 1, "-e ima-adpcm", 1000, 0, -36},
    {"gsm610_8k_mono", 8000, 1, "-e gsm-full-rate", 1000, 0, -40},
    {"pcm24_96k_mono", 96000, 1, "-b 24 -e signed-integer", 1000, 30000, -82},
    {"float32_32k_stereo", 32000, 2, "-b 32 -e floating-point", 1000, 0, -82},
};

class ConvertFileToMonoTest : public ::testing::TestWithParam<Conversion> {
protected:
    void SetUp() override {
        speaker.SetVolume(100);  // unity gain for what the voice plays
        ASSERT_TRUE(speaker.HasVoice());
    }

    // Encodes `samples` with sox into `path` in the case's format.
    void MakeInput(const Conversion& c, const std::string& directory, const std::string& path,
                   const std::vector<float>& samples) {
        const std::string source = directory + "/source.wav";
        WriteFloatWav(source, samples, c.rate, c.channels);
        // -D: no dither, so the input holds exactly the quantised tone.
        std::string command = "sox -D '" + source + "' " + c.soxEncoding + " '" + path + "'";
        ASSERT_EQ(0, std::system(command.c_str())) << command;
    }

    Speaker speaker;
};

TEST_P(ConvertFileToMonoTest, ToneBecomesAMonoSiblingOfTheSameLengthAtItsFrequency) {
    const Conversion& c = GetParam();
    const std::string directory = scratch::TestDirectory();
    const std::string input = directory + "/take.wav";
    const size_t frames = size_t(c.rate);  // one second
    std::vector<float> samples = tone::Sine(c.tone, c.rate, frames, c.channels, 0.5);
    if (c.outOfBand > 0) {
        std::vector<float> high = tone::Sine(c.outOfBand, c.rate, frames, c.channels, 0.25);
        for (size_t i = 0; i < samples.size(); ++i) samples[i] += high[i];
    }
    MakeInput(c, directory, input, samples);
    const SoundFile in = ReadSoundFile(input);
    ASSERT_GT(in.Frames(), 0u);

    std::vector<char> name(input.begin(), input.end());
    name.push_back('\0');
    ::testing::internal::CaptureStdout();
    ConvertFileToMono(speaker, name.data());
    EXPECT_EQ("", ::testing::internal::GetCapturedStdout());
    EXPECT_EQ(directory + "/take", std::string(name.data()));

    const std::string output = directory + "/take_mono.wav";
    ExpectMonoPcmHeader(output);
    const SoundFile out = ReadSoundFile(output);
    ASSERT_EQ(44100, out.rate);
    ASSERT_EQ(1, out.channels);
    EXPECT_NEAR(1.0, in.Seconds(), 0.05) << "sox wrote " << in.Frames() << " frames";
    EXPECT_NEAR(1.0, out.Seconds(), 0.005) << "output " << out.Frames() << " frames";

    // Full level comes through: unity gain, channels mixed without loss of the shared tone.
    const std::vector<float>& mono = out.samples;
    EXPECT_LT(tone::Peak(mono), 0.999f) << "clipped";
    const double expectedRms = 0.5 / std::sqrt(2.0);  // the out-of-band tone is gone
    const double rms = tone::Rms(mono, mono.size() / 4, mono.size() / 2);
    EXPECT_NEAR(expectedRms, rms, expectedRms * 0.12);

    tone::Spectrum spectrum = tone::Analyse(mono, mono.size() / 4, 16384, kOutputRate);
    EXPECT_NEAR(c.tone, spectrum.peakFrequency, kOutputRate / 16384 * 1.5);
    EXPECT_LT(spectrum.spuriousDb, c.maxSpuriousDb)
        << "strongest other component at " << spectrum.spuriousFrequency << " Hz";
}

INSTANTIATE_TEST_SUITE_P(Formats, ConvertFileToMonoTest, ::testing::ValuesIn(kConversions),
                         [](const ::testing::TestParamInfo<Conversion>& info) { return std::string(info.param.name); });

// A sweep that climbs past the output's Nyquist frequency must fade out there rather than
// fold back down as a falling alias.
TEST(ConvertFileToMonoSweep, FrequenciesAboveTheNewNyquistLimitDoNotFoldBack) {
    struct Case {
        const char* name;
        int rate;
        const char* soxEncoding;
        double top;
    };
    const Case cases[] = {
        {"48 kHz 16-bit", 48000, "-b 16 -e signed-integer", 24000},
        {"96 kHz 24-bit", 96000, "-b 24 -e signed-integer", 40000},
    };
    Speaker speaker;
    speaker.SetVolume(100);
    const std::string directory = scratch::TestDirectory();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double seconds = 2.0;
        const size_t frames = size_t(seconds * c.rate);
        std::vector<float> sweep = tone::Sweep(200, c.top, c.rate, frames, 1, 0.5);
        const std::string source = directory + "/sweep_source.wav";
        const std::string input = directory + "/sweep.wav";
        WriteFloatWav(source, sweep, c.rate, 1);
        ASSERT_EQ(0, std::system(("sox -D '" + source + "' " + c.soxEncoding + " '" + input + "'").c_str()));

        std::vector<char> name(input.begin(), input.end());
        name.push_back('\0');
        ConvertFileToMono(speaker, name.data());
        const SoundFile out = ReadSoundFile(directory + "/sweep_mono.wav");
        ASSERT_EQ(44100, out.rate);
        ASSERT_NEAR(seconds, out.Seconds(), 0.005);

        // When the sweep is at time t: f(t) = 200 * (top/200)^(t/seconds).
        auto timeAt = [&](double frequency) { return seconds * std::log(frequency / 200) / std::log(c.top / 200); };
        const double passRms = tone::Rms(out.samples, size_t(timeAt(2000) * kOutputRate), 4410);
        const double stopFrom = timeAt(22900);
        const double stopRms = tone::Rms(out.samples, size_t(stopFrom * kOutputRate),
                                         size_t((seconds - stopFrom) * kOutputRate) - 200);
        EXPECT_NEAR(0.5 / std::sqrt(2.0), passRms, 0.05);
        EXPECT_LT(20 * std::log10(stopRms / passRms), -70) << "above 22.9 kHz the output holds " << stopRms;
    }
}

}  // namespace
