// speech-say and speech-render as a user runs them. speech-say is heard on the wire: the
// test holds the service's port itself and checks, byte for byte, what arrives (and that
// nothing does when the command line is refused). speech-render's files are read back with
// libsndfile.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "service/CommandDatagram.h"
#include "service/ServiceAddress.h"
#include "tests/linux/ScratchFiles.h"
#include "tests/linux/SpeechMeasures.h"
#include "tests/support/ServiceProcess.h"
#include "tests/support/SoundFile.h"
#include "tests/support/ToolRun.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string Tool(const char* variable) {
    const char* path = std::getenv(variable);
    return path != nullptr ? path : "";
}

/// A socket bound where the service would listen: what speech-say sends arrives here.
class FakeService {
public:
    FakeService() {
        RequireServicePortLock();
        socket = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(kServicePort);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bound = bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~FakeService() { close(socket); }
    bool Bound() const { return bound; }

    /// Every datagram that has arrived (the sender has ended: all it sent is here).
    std::vector<Bytes> Received() {
        std::vector<Bytes> datagrams;
        Bytes buffer(65536);
        for (ssize_t got; (got = recv(socket, buffer.data(), buffer.size(), MSG_DONTWAIT)) >= 0;)
            datagrams.emplace_back(buffer.begin(), buffer.begin() + got);
        return datagrams;
    }

private:
    int socket = -1;
    bool bound = false;
};

std::vector<std::string> SayCommand(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), Tool("SPEECH_SAY"));
    return arguments;
}

TEST(SpeechSay, SendsTheServicesDatagramsAndNothingWhenRefused) {
    FakeService service;
    ASSERT_TRUE(service.Bound());
    const std::string longest(kLongestText, 'x');
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        std::string input;
        int status;
        std::vector<Bytes> sent;
        std::string complaint;  // found in what it prints on standard error
    };
    const Case cases[] = {
        {"words joined by blanks", {"hello", "world"}, "", 0, {EncodeSpeak("hello world")}, ""},
        {"settings before the text", {"--volume", "80", "--rate", "3", "Build", "done."}, "", 0,
         {EncodeCommand(1, 80), EncodeCommand(3, 3), EncodeSpeak("Build done.")}, ""},
        {"stop", {"--stop"}, "", 0, {EncodeSpeak("")}, ""},
        {"a setting alone", {"--volume", "0"}, "", 0, {EncodeCommand(1, 0)}, ""},
        {"standard input", {}, "from standard input\n", 0, {EncodeSpeak("from standard input")}, ""},
        {"the longest text", {longest}, "", 0, {EncodeSpeak(longest)}, ""},
        {"volume too high", {"--volume", "101", "hi"}, "", 2, {}, "volume"},
        {"volume not a number", {"--volume", "loud", "hi"}, "", 2, {}, "volume"},
        {"rate too high", {"--rate", "11", "hi"}, "", 2, {}, "rate"},
        {"negative rate", {"--rate", "-1", "hi"}, "", 2, {}, "below 0"},
        {"text too long", {longest + "x"}, "", 2, {}, "4091"},
        {"stop with text", {"--stop", "hi"}, "", 2, {}, "--stop"},
        // A voice travels in markup, the text escaped so that it stays words.
        {"a voice", {"--voice", "slt", "Tom", "&", "<Jerry>"}, "", 0,
         {EncodeSpeak("<voice required=\"Name=slt\">Tom &amp; &lt;Jerry&gt;</voice>")}, ""},
        {"a voice for standard input", {"--voice", "English (America)"}, "Hello\n", 0,
         {EncodeSpeak("<voice required=\"Name=English (America)\">Hello</voice>")}, ""},
        {"a voice name that would part the attributes", {"--voice", "slt;Gender=Male", "hi"}, "", 2, {}, "--voice"},
        {"unknown option", {"--loud", "hi"}, "", 2, {}, "--loud"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ToolResult result = RunTool(SayCommand(c.arguments), c.input);
        EXPECT_EQ(c.status, result.status) << result.err;
        EXPECT_EQ(c.sent, service.Received());
        if (c.complaint.empty()) {
            EXPECT_EQ("", result.err);
        } else {
            EXPECT_NE(std::string::npos, result.err.find(c.complaint)) << result.err;
        }
    }
}

TEST(SpeechSay, SaysSoWhenNoServiceIsListening) {
    RequireServicePortLock();
    ToolResult result = RunTool(SayCommand({"hello"}));
    EXPECT_EQ(1, result.status);
    EXPECT_EQ("no speech service is listening on 127.0.0.1 port 14742\n", result.err);
}

/// The RMS of the loudest 100 ms of a mono sound.
double LoudestTenth(const SoundFile& sound) {
    double loudest = 0;
    size_t window = size_t(sound.rate) / 10;
    for (size_t at = 0; window > 0 && at + window <= sound.samples.size(); at += window) {
        double sum = 0;
        for (size_t i = at; i < at + window; ++i) sum += double(sound.samples[i]) * sound.samples[i];
        loudest = std::max(loudest, std::sqrt(sum / window));
    }
    return loudest;
}

std::vector<std::string> RenderCommand(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), Tool("SPEECH_RENDER"));
    return arguments;
}

constexpr const char* kSentence = "Hello there. This sentence is rendered into a file.";

TEST(SpeechRender, SpeechBecomesA44kMonoWavFileOrTheSameRawSamples) {
    const std::string directory = scratch::TestDirectory();
    const std::string wav = directory + "/speech.wav";
    ToolResult rendered = RunTool(RenderCommand({"-q", "-o", wav, kSentence}));
    ASSERT_EQ(0, rendered.status) << rendered.err;
    EXPECT_EQ("", rendered.out);
    SoundFile sound = ReadSoundFile(wav);
    ASSERT_TRUE(sound.valid);
    EXPECT_EQ(44100, sound.rate);
    EXPECT_EQ(1, sound.channels);
    EXPECT_EQ(SF_FORMAT_WAV | SF_FORMAT_PCM_16, sound.format);
    EXPECT_GT(sound.Seconds(), 1.5);
    EXPECT_LT(sound.Seconds(), 8.0);
    EXPECT_GT(LoudestTenth(sound), 0.05) << "speech, not silence";

    // The same speech as raw samples on standard output.
    ToolResult raw = RunTool(RenderCommand({"--raw", "-o", "-", kSentence}));
    ASSERT_EQ(0, raw.status) << raw.err;
    EXPECT_EQ(0u, raw.out.size() % 2);
    EXPECT_NEAR(raw.out.size() / 2.0, double(sound.samples.size()), sound.samples.size() * 0.02);
}

TEST(SpeechRender, MonoTurnsAWavFileIntoItsSiblingAndSaysItsName) {
    const std::string directory = scratch::TestDirectory();
    const std::string input = directory + "/tone.wav";
    ASSERT_EQ(0, std::system(("sox -n -r 48000 -c 2 -b 24 '" + input + "' synth 1.5 sine 440 gain -6").c_str()));
    ToolResult converted = RunTool(RenderCommand({"--mono", input}));
    ASSERT_EQ(0, converted.status) << converted.err;
    EXPECT_EQ(directory + "/tone_mono.wav\n", converted.out);
    SoundFile sound = ReadSoundFile(directory + "/tone_mono.wav");
    ASSERT_TRUE(sound.valid);
    EXPECT_EQ(44100, sound.rate);
    EXPECT_EQ(1, sound.channels);
    EXPECT_NEAR(sound.Seconds(), 1.5, 0.01);
    EXPECT_NEAR(LoudestTenth(sound), 0.5 / std::sqrt(2.0), 0.02);
}

TEST(SpeechRender, ListsItsVoicesAndSpeaksWithTheOneAsked) {
    ToolResult listed = RunTool(RenderCommand({"--list-voices"}));
    ASSERT_EQ(0, listed.status) << listed.err;
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = listed.out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(listed.out.substr(at, end - at));
    for (const std::string& line : lines) EXPECT_EQ(4, std::count(line.begin(), line.end(), '\t')) << line;
    for (const char* expected : {"kal16\ten-US\tMale\tAdult\tflite", "slt\ten-US\tFemale\tAdult\tflite",
                                 "German\tde\tMale\tAdult\tespeak-ng"})
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;

    // slt is a woman's voice, kal16 and espeak-ng's a man's; an unknown voice is told
    // once, and the default speaks.
    const std::string directory = scratch::TestDirectory();
    struct Case {
        std::vector<std::string> command;
        const char* complaint;
        double lowPitch, highPitch;
    };
    const Case cases[] = {
        {RenderCommand({"--voice", "slt", "-q", "-o", directory + "/slt.wav", kSentence}), "", 140, 260},
        {RenderCommand({"--voice", "kal16", "-q", "-o", directory + "/kal16.wav", kSentence}), "", 70, 135},
        {RenderCommand({"--voice", "English (America)", "-q", "-o", directory + "/espeak.wav", kSentence}), "", 70, 160},
        {{"/usr/bin/env", "SPEECH_VOICE=nobody", Tool("SPEECH_RENDER"), "-q", "-o", directory + "/default.wav", kSentence},
         "unknown voice nobody, speaking with rms\n", 70, 135},
    };
    for (const Case& c : cases) {
        ToolResult rendered = RunTool(c.command);
        const std::string& file = c.command[c.command.size() - 2];
        ASSERT_EQ(0, rendered.status) << rendered.err;
        EXPECT_EQ(c.complaint, rendered.err) << file;
        SoundFile sound = ReadSoundFile(file);
        ASSERT_TRUE(sound.valid) << file;
        double pitch = speech::MedianPitch(sound.samples, static_cast<unsigned>(sound.rate));
        RecordProperty(file, std::to_string(pitch));
        EXPECT_GT(pitch, c.lowPitch) << file;
        EXPECT_LT(pitch, c.highPitch) << file;
    }
}

TEST(SpeechRender, WordsShowHowTheVoiceReadsWrittenText) {
    struct Case {
        std::vector<std::string> arguments;
        const char* words;
    };
    const Case cases[] = {
        {{"--words", "It costs \u20AC5 \U0001F389"}, "it costs five euros party popper\n"},
        {{"--words", "--voice", "German", "Das kostet 5 \u20AC \U0001F389"}, "Das kostet f\u00FCnf Euro Konfettibombe\n"},
        {{"--words", "--voice", "de", "Das kostet 5 \u20AC \U0001F389"}, "Das kostet f\u00FCnf Euro Konfettibombe\n"},
        {{"--words", "--voice", "kal16", "<speak>Tom <sub alias=\"and\">&amp;</sub> Jerry</speak>"}, "tom and jerry\n"},
    };
    for (const Case& c : cases) {
        ToolResult result = RunTool(RenderCommand(c.arguments));
        EXPECT_EQ(0, result.status) << result.err;
        EXPECT_EQ(c.words, result.out) << c.arguments.back();
    }
}

TEST(SpeechRender, FailuresAreToldAndExitWithOneOrTwo) {
    const std::string directory = scratch::TestDirectory();
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        int status;
        std::string complaint;
        std::string notMade;
    };
    const Case cases[] = {
        {"a missing input", {"--mono", directory + "/missing.wav"}, 1, "can not open stream", directory + "/missing_mono.wav"},
        {"an output that cannot be written", {"-o", directory + "/no/such/dir/out.wav", "hi"}, 1, "was not made",
         directory + "/no/such/dir/out.wav"},
        {"no output named", {"hi"}, 2, "-o", ""},
        {"a rate out of range", {"--rate", "12", "-o", directory + "/x.wav", "hi"}, 2, "rate", directory + "/x.wav"},
        {"an unknown voice", {"--voice", "nobody", "-o", directory + "/x.wav", "hi"}, 2, "no voice nobody", directory + "/x.wav"},
        {"words and a file", {"--words", "-o", directory + "/x.wav", "hi"}, 2, "--words", directory + "/x.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ToolResult result = RunTool(RenderCommand(c.arguments));
        EXPECT_EQ(c.status, result.status);
        EXPECT_NE(std::string::npos, result.err.find(c.complaint)) << result.err;
        if (!c.notMade.empty()) {
            EXPECT_FALSE(scratch::Exists(c.notMade));
        }
    }
}

}  // namespace
