// The running service with its real voice, treated badly: a flood of hostile datagrams,
// its sound server killed in the middle of speech, datagrams sent to addresses it must
// not hear. It runs in a network namespace of its own, so nothing else on the machine
// receives the flood or shares the port.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "service/ServiceAddress.h"
#include "tests/audio/MonitorRecorder.h"
#include "tests/audio/PulseDaemon.h"
#include "tests/support/Sanitizers.h"
#include "tests/support/ServiceProcess.h"

namespace {

constexpr double kSpeechRms = 0.005;
const std::string kLongText =
    "This is a long sentence that the speech service keeps on saying for several seconds, "
    "so that there is plenty of time to do something unkind to it while it speaks.";

/// The resident memory of the process's own making (its heap and stacks), in KB. Pages of
/// mapped files are left out: a synthesizer's voice data is read from its library as
/// words need it, and comes and goes with the page cache.
long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("RssAnon:", 0) == 0) return std::stol(line.substr(8));
    return -1;
}

/// One datagram of the flood: valid commands, short ones, over-long ones, unterminated
/// text, unknown codes and plain noise, in the proportions a careless or hostile sender
/// might use.
Datagram NextHostileDatagram(std::mt19937& random) {
    auto byte = [&] { return static_cast<unsigned char>(random() & 0xFF); };
    auto noise = [&](size_t size) {
        Datagram datagram(size);
        for (auto& b : datagram) b = byte();
        return datagram;
    };
    switch (random() % 8) {
        case 0: return SpeakDatagram("flood " + std::to_string(random() % 1000));
        case 1: return CommandDatagram(1, random() % 150);  // volumes, some out of range
        case 2: return CommandDatagram(3, random() % 20);   // rates, some out of range
        case 3: return noise(random() % 5);                 // too short
        case 4: {                                           // longer than the receive buffer
            Datagram datagram = noise(4096 + random() % 4000);
            datagram[0] = static_cast<unsigned char>(random() % 6);
            return datagram;
        }
        case 5: {  // text with no NUL, up to the very end
            Datagram datagram = noise(5 + random() % 200);
            datagram[0] = 0;
            for (size_t i = 4; i < datagram.size(); ++i) datagram[i] |= 1;
            return datagram;
        }
        case 6: return CommandDatagram(static_cast<unsigned char>(6 + random() % 250), random() & 0xFFFF);
        default: return noise(5 + random() % 600);
    }
}

/// Sends one datagram to `address` at the service's port; false when it could not even
/// be sent (an address family the namespace does not have).
bool SendTo(const sockaddr* address, socklen_t length, int family, const Datagram& datagram) {
    int sender = socket(family, SOCK_DGRAM, IPPROTO_UDP);
    if (sender < 0) return false;
    bool sent = sendto(sender, datagram.data(), datagram.size(), 0, address, length) >= 0;
    close(sender);
    return sent;
}

class ServiceUnderFaults : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(daemon.Start());
        service = std::make_unique<ServiceProcess>(
            std::vector<std::string>{"PULSE_SERVER=" + daemon.Server(), "ALSA_CONFIG_PATH=/dev/null"});
        ASSERT_TRUE(service->WaitUntilServing());
    }

    /// Whether a speak sent now is heard at the sink within a few seconds.
    bool SpeechIsHeard(const std::string& text) {
        MonitorRecorder recorder(daemon.Server().c_str());
        if (!recorder.AwaitRecording(std::chrono::seconds(10)).empty()) return false;
        size_t start = recorder.SampleCount();
        SendDatagram(SpeakDatagram(text));
        return recorder.AwaitSound(start, kSpeechRms, 4.0) != 0;
    }

    PulseDaemon daemon;
    std::unique_ptr<ServiceProcess> service;
};

TEST_F(ServiceUnderFaults, AFloodOfHostileDatagramsLeavesItServingInBoundedMemory) {
    // What is read once and kept (the names of symbols, the folding of accents) is read
    // before the flood, so that what the flood leaves behind is what it cost.
    ASSERT_TRUE(SpeechIsHeard("Before the flood: 5 \xE2\x82\xAC, 3 km, 1.5%, 8:00, 2024-03-15, caf\xC3\xA9 \xC2\xBD \xC2\xA7 "
                              "\xC2\xA4 \xF0\x9F\x8E\x89."));
    SendDatagram(SpeakDatagram(""));
    const long before = ResidentKb(service->Pid());
    // A long run by hand sends more (SPEECH_FLOOD_DATAGRAMS); the suite sends 200,000.
    const char* asked = std::getenv("SPEECH_FLOOD_DATAGRAMS");
    const long flood = asked != nullptr ? std::atol(asked) : 200000;
    std::mt19937 random(14742);
    size_t printed = 0;
    for (long sent = 0; sent < flood; ++sent) {
        SendDatagram(NextHostileDatagram(random));
        // The service prints a line for most of these; a full pipe would stall it.
        if (sent % 500 == 0) printed += service->DiscardOutput();
    }
    SendDatagram(SpeakDatagram(""));  // the flood's last speak is cut off
    // A marker behind the flood: once its line comes, the service has handled all before
    // it. The socket may drop a marker while the service is behind, so it is sent again.
    const Datagram marker = {2, 2};
    bool caughtUp = false;
    for (int second = 0; second < 120 && !caughtUp; ++second) {
        SendDatagram(marker);
        for (std::string line; !caughtUp && !(line = service->NextStdoutLine(std::chrono::seconds(1))).empty();) {
            caughtUp = line == "invalid packet size : 2\n";
            printed += line.size();
        }
    }
    ASSERT_TRUE(caughtUp) << "the service never handled the datagrams behind the flood";
    service->DiscardOutput();
    ASSERT_TRUE(SpeechIsHeard("After the flood."));
    const long after = ResidentKb(service->Pid());
    std::printf("flood of %ld datagrams: %zu bytes of console lines; resident %ld KB before, %ld KB after\n", flood,
                printed, before, after);
    // The sanitized service keeps freed blocks in quarantine: its size says nothing.
    if (!kUnderAddressSanitizer) {
        EXPECT_LT(after - before, 2048) << "resident " << before << " KB before, " << after << " KB after";
    }
    EXPECT_EQ(service->WaitForExit(std::chrono::milliseconds(0)), -1) << "the service is still running";
}

TEST_F(ServiceUnderFaults, ASoundServerKilledInTheMiddleOfSpeechIsFoundAgain) {
    {
        MonitorRecorder recorder(daemon.Server().c_str());
        ASSERT_EQ(recorder.AwaitRecording(std::chrono::seconds(10)), "");
        SendDatagram(SpeakDatagram(kLongText));
        ASSERT_NE(recorder.AwaitSound(0, kSpeechRms, 4.0), 0u);
    }
    daemon.Stop();  // while the voice is still speaking
    ASSERT_TRUE(daemon.Start());
    // Speaks that find the server gone are reported; once it is back, one is heard.
    bool heard = false;
    for (int attempt = 0; attempt < 5 && !heard; ++attempt) heard = SpeechIsHeard("Here I am again.");
    EXPECT_TRUE(heard);
    EXPECT_EQ(service->WaitForExit(std::chrono::milliseconds(0)), -1) << "the service is still running";
}

TEST_F(ServiceUnderFaults, OnlyTheLoopbackAddressItBoundIsHeard) {
    sockaddr_in other{};
    other.sin_family = AF_INET;
    other.sin_port = htons(kServicePort);
    other.sin_addr.s_addr = htonl(0x7F000002);  // 127.0.0.2, loopback too, but not bound
    sockaddr_in6 ipv6{};
    ipv6.sin6_family = AF_INET6;
    ipv6.sin6_port = htons(kServicePort);
    ipv6.sin6_addr = in6addr_loopback;
    SendTo(reinterpret_cast<sockaddr*>(&other), sizeof other, AF_INET, {9, 9, 9});
    SendTo(reinterpret_cast<sockaddr*>(&ipv6), sizeof ipv6, AF_INET6, {9, 9, 9, 9});
    // A probe to the bound address: its line is the first, so neither of the others arrived.
    SendDatagram({1, 2});
    EXPECT_EQ(service->NextStdoutLine(), "invalid packet size : 2\n");
    EXPECT_EQ(service->NextStdoutLine(std::chrono::milliseconds(300)), "");
}

}  // namespace
