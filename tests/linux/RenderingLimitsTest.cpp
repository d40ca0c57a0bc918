// Rendering with the real voice where the system sets limits: a disk that fills during
// rendering, inputs that are not files, and a header whose rate would make the converted
// audio enormous. Each case that changes the process (file-size limit, peak memory) runs
// in a child process of its own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ScratchFiles.h"
#include "speech/FileRendering.h"
#include "speech/Speaker.h"
#include "tests/support/Sanitizers.h"
#include "tests/support/StdoutIntoStderr.h"

namespace {

constexpr HRESULT kMediumFull = static_cast<HRESULT>(0x80030070u);

std::vector<char> Writable(const std::string& name) {
    std::vector<char> buffer(name.begin(), name.end());
    buffer.push_back('\0');
    return buffer;
}

/// A 16-bit mono WAV file of `samples` samples whose header states `rate`, written byte
/// by byte so that rates no encoder would write can be stated.
void WriteWav(const std::string& path, uint32_t rate, uint32_t samples) {
    auto le32 = [](std::string& out, uint32_t v) {
        for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i));
    };
    auto le16 = [](std::string& out, uint16_t v) {
        out += static_cast<char>(v);
        out += static_cast<char>(v >> 8);
    };
    std::string data;
    for (uint32_t i = 0; i < samples; ++i) le16(data, static_cast<uint16_t>((i % 2 ? 8000 : -8000)));
    std::string body = "WAVEfmt ";
    le32(body, 16);
    le16(body, 1);
    le16(body, 1);
    le32(body, rate);
    le32(body, rate * 2);
    le16(body, 2);
    le16(body, 16);
    body += "data";
    le32(body, static_cast<uint32_t>(data.size()));
    body += data;
    std::string file = "RIFF";
    le32(file, static_cast<uint32_t>(body.size()));
    std::ofstream(path, std::ios::binary) << file << body;
}

/// In a child process whose files may not grow past `limit` bytes (a disk that fills):
/// runs `render`, then exits 0 when it returned the disk-full failure and left no file at
/// `path`. What the child prints is on its standard error.
void RenderOntoAFullDisk(const std::function<HRESULT(Speaker&)>& render, const std::string& path, rlim_t limit) {
    StdoutIntoStderr();
    signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
    rlimit small{limit, limit};
    setrlimit(RLIMIT_FSIZE, &small);
    HRESULT hr = S_OK;
    {
        Speaker speaker;
        hr = render(speaker);
    }
    std::exit(hr == kMediumFull && !scratch::Exists(path) ? 0 : 1);
}

class RenderingLimits : public ::testing::Test {
protected:
    // The children start from scratch: the parent's voice threads are not theirs.
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(RenderingLimits, SpeechOntoAFullDiskIsReportedAndLeavesNoFile) {
    const std::string path = scratch::TestDirectory() + "/speech.wav";
    auto render = [&](Speaker& speaker) {
        speaker.BindOutputToFile(scratch::Wide(path).c_str());
        speaker.SpeakText(u"This sentence is far too long to fit into the little room that the disk has left.");
        return speaker.FinishFileOutput();
    };
    EXPECT_EXIT(RenderOntoAFullDisk(render, path, 16 * 1024), ::testing::ExitedWithCode(0),
                "can not write " + path + ", hr 80030070\n");
}

TEST_F(RenderingLimits, ConversionOntoAFullDiskIsReportedAndLeavesNoFile) {
    const std::string directory = scratch::TestDirectory();
    ASSERT_EQ(0, std::system(("sox -n -r 48000 -c 2 -b 16 '" + directory + "/take.wav' synth 2 sine 440").c_str()));
    const std::string output = directory + "/take_mono.wav";
    auto render = [&](Speaker& speaker) {
        std::vector<char> name = Writable(directory + "/take.wav");
        return ConvertFileToMono(speaker, name.data());
    };
    // The input is some 380 KB; the limit lets the output grow to only a quarter of its own.
    EXPECT_EXIT(RenderOntoAFullDisk(render, output, 40 * 1024), ::testing::ExitedWithCode(0),
                "speak stream failed, hr = 0x80030070\ncan not write " + output + ", hr 80030070\n");
}

// A FIFO would block the open for ever, and a device or directory holds no WAV file:
// each is refused at once, and nothing is made.
TEST_F(RenderingLimits, InputsThatAreNotRegularFilesAreRefusedAtOnce) {
    const std::string directory = scratch::TestDirectory();
    ASSERT_EQ(0, ::mkfifo((directory + "/pipe.wav").c_str(), 0600));
    ASSERT_EQ(0, ::mkdir((directory + "/folder.wav").c_str(), 0700));
    Speaker speaker;
    for (const std::string& input : {directory + "/pipe.wav", directory + "/folder.wav", std::string("/dev/zero")}) {
        SCOPED_TRACE(input);
        std::vector<char> name = Writable(input);
        ::testing::internal::CaptureStdout();
        EXPECT_EQ(static_cast<HRESULT>(0x80070005u), ConvertFileToMono(speaker, name.data()));
        EXPECT_EQ("can not open stream " + input + ", hr 80070005\n", ::testing::internal::GetCapturedStdout());
    }
    EXPECT_FALSE(scratch::Exists(directory + "/pipe_mono.wav"));
    EXPECT_FALSE(scratch::Exists(directory + "/folder_mono.wav"));
}

// 400 samples that claim a rate of 1 Hz become 400 seconds at 44.1 kHz: converted in
// bounded pieces, that takes no more memory than any other file.
TEST_F(RenderingLimits, AnAbsurdRateIsConvertedInBoundedMemory) {
    if (kUnderAddressSanitizer) GTEST_SKIP() << "the address sanitizer's own memory hides the process's";
    const std::string directory = scratch::TestDirectory();
    WriteWav(directory + "/slow.wav", 1, 400);
    auto convert = [&] {
        StdoutIntoStderr();
        HRESULT hr = S_OK;
        {
            Speaker speaker;
            std::vector<char> name = Writable(directory + "/slow.wav");
            hr = ConvertFileToMono(speaker, name.data());
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::fprintf(stderr, "peak %ld KB\n", usage.ru_maxrss);
        std::exit(hr == S_OK && usage.ru_maxrss < 32 * 1024 ? 0 : 1);
    };
    EXPECT_EXIT(convert(), ::testing::ExitedWithCode(0), "peak [0-9]+ KB");
    scratch::WavHeader header = scratch::ReadWavHeader(directory + "/slow_mono.wav");
    EXPECT_TRUE(header.valid);
    EXPECT_NEAR(header.dataSize / 2.0 / 44100.0, 400.0, 0.01);
    std::remove((directory + "/slow_mono.wav").c_str());
}

}  // namespace
