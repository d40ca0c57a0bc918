#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "service/ServiceAddress.h"
#include "tests/support/ServiceProcess.h"

namespace {

// No sound server and no ALSA device (an empty ALSA configuration), whatever this machine
// has: speaking fails, everything else must go on.
const std::vector<std::string> kNoSoundServer = {"PULSE_SERVER=unix:/nonexistent/speech-test-socket",
                                                 "ALSA_CONFIG_PATH=/dev/null"};

class ServiceProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        service = std::make_unique<ServiceProcess>(kNoSoundServer);
        ASSERT_TRUE(service->WaitUntilServing()) << service->DrainStderr();
    }
    // Sends a probe after the datagrams under test: its line proves the service has
    // handled everything before it, so "nothing printed" is a finding, not a race.
    std::string LinesUntilProbe() {
        SendDatagram({7, 7});
        std::string lines;
        for (;;) {
            std::string line = service->NextStdoutLine();
            if (line.empty() || line == "invalid packet size : 2\n") return lines;
            lines += line;
        }
    }
    std::unique_ptr<ServiceProcess> service;
};

TEST_F(ServiceProcessTest, RefusesShortDatagramsAndUnknownCommandsWithExactLines) {
    struct Case {
        Datagram datagram;
        std::string line;
    };
    Datagram oversized(5000, 'q');
    oversized[0] = 200;
    const Case cases[] = {
        {{}, "invalid packet size : 0\n"},
        {{1}, "invalid packet size : 1\n"},
        {{1, 0}, "invalid packet size : 2\n"},
        {{1, 0, 30}, "invalid packet size : 3\n"},
        {{1, 0, 30, 0}, "invalid packet size : 4\n"},
        {{6, 0, 0, 0, 0}, "invalid command: 6\n"},
        {{255, 0xFF, 0xFF, 0xFF, 0}, "invalid command: 255\n"},
        // Only the first 4096 bytes are looked at: the command byte still decides.
        {oversized, "invalid command: 200\n"},
    };
    for (const Case& c : cases) {
        SendDatagram(c.datagram);
        EXPECT_EQ(service->NextStdoutLine(), c.line);
    }
}

TEST_F(ServiceProcessTest, VolumeRateAndReservedCommandsPrintNothing) {
    for (unsigned char command : {1, 2, 3, 4, 5}) SendDatagram(CommandDatagram(command, 50));
    SendDatagram(CommandDatagram(1, 65535));  // out of the voice's range: refused quietly
    EXPECT_EQ(LinesUntilProbe(), "");
    EXPECT_EQ(service->DrainStderr(), "");
}

TEST_F(ServiceProcessTest, SpeakWithoutASoundServerReportsOnStandardErrorAndServingGoesOn) {
    SendDatagram(SpeakDatagram("hello"));
    EXPECT_EQ(service->NextStderrLine(), "error 80070015 \n");
    EXPECT_EQ(LinesUntilProbe(), "");
    SendDatagram({6, 0, 0, 0, 0});
    EXPECT_EQ(service->NextStdoutLine(), "invalid command: 6\n");
}

TEST(ServiceStartup, PortAlreadyTakenEndsWithBindErrorAndStatusOne) {
    RequireServicePortLock();
    int holder = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_GE(holder, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(kServicePort);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    ServiceProcess service(kNoSoundServer);
    EXPECT_EQ(service.NextStdoutLine(), "bind return error 62\n");
    EXPECT_EQ(service.NextStderrLine(), "bind: Address already in use\n");
    EXPECT_EQ(service.WaitForExit(), 1);
    close(holder);
}

}  // namespace
