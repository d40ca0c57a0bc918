#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "service/CommandDispatch.h"
#include "tests/support/SpeakerFixture.h"

namespace {

using Bytes = std::vector<unsigned char>;

class CommandDispatchTest : public SpeakerFixture {
protected:
    // Runs one datagram through the dispatcher and returns what it printed on stdout.
    std::string Handle(const Bytes& datagram) {
        std::memset(buffer.bytes, 0xAB, sizeof buffer.bytes);  // stale bytes from an earlier datagram
        std::copy(datagram.begin(), datagram.end(), buffer.bytes);
        ::testing::internal::CaptureStdout();
        HandleDatagram(*speaker, buffer, static_cast<int>(datagram.size()));
        return ::testing::internal::GetCapturedStdout();
    }
    std::string HandleFailedReceive() {
        ::testing::internal::CaptureStdout();
        HandleDatagram(*speaker, buffer, -1);
        return ::testing::internal::GetCapturedStdout();
    }
    size_t VoiceCalls() const { return fake->calls.size(); }

    ReceiveBuffer buffer;
};

TEST_F(CommandDispatchTest, DatagramsShorterThanFiveBytesAreRefusedWithTheirLength) {
    const Bytes full = {0x01, 0x00, 0x1E, 0x00};
    for (size_t length = 0; length <= 4; ++length) {
        Bytes datagram(full.begin(), full.begin() + length);
        EXPECT_EQ(Handle(datagram), "invalid packet size : " + std::to_string(length) + "\n");
    }
    EXPECT_EQ(HandleFailedReceive(), "invalid packet size : -1\n");
    EXPECT_EQ(VoiceCalls(), 0u);
}

TEST_F(CommandDispatchTest, ValueBytesAreLittleEndianUnsignedAndByteOneIsIgnored) {
    struct Case {
        Bytes datagram;
        USHORT volume;
    };
    const Case cases[] = {
        {{0x01, 0x00, 0x1E, 0x00, 0x00}, 30},
        {{0x01, 0x77, 0x1E, 0x00, 0x00}, 30},
        {{0x01, 0xFF, 0x00, 0x01, 0x00}, 256},
        {{0x01, 0x00, 0xFF, 0xFF, 0x00}, 65535},
        {{0x01, 0x00, 0x34, 0x12, 0x41, 0x42}, 0x1234},
    };
    for (const auto& c : cases) EXPECT_EQ(Handle(c.datagram), "");
    ASSERT_EQ(fake->volumes.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(fake->volumes[i], cases[i].volume) << "case " << i;
}

TEST_F(CommandDispatchTest, RateIsPassedUnsignedNeverNegative) {
    Handle({0x03, 0x00, 0x06, 0x00, 0x00});
    Handle({0x03, 0x00, 0xFF, 0xFF, 0x00});
    EXPECT_EQ(fake->rates, (std::vector<LONG>{6, 65535}));
    EXPECT_TRUE(fake->volumes.empty());
}

TEST_F(CommandDispatchTest, CodesTwoFourAndFiveAreSilentAndDoNothing) {
    for (unsigned char code : {2, 4, 5}) EXPECT_EQ(Handle({code, 0x00, 0x10, 0x00, 'h', 'i', 0}), "");
    EXPECT_EQ(VoiceCalls(), 0u);
}

TEST_F(CommandDispatchTest, CodesSixAndAboveAreRefusedWithTheUnsignedCode) {
    const unsigned char codes[] = {6, 7, 127, 128, 255};
    for (unsigned char code : codes)
        EXPECT_EQ(Handle({code, 0x00, 0x01, 0x00, 'x', 0}), "invalid command: " + std::to_string(code) + "\n");
    EXPECT_EQ(VoiceCalls(), 0u);
}

TEST_F(CommandDispatchTest, SpeakPassesTheTextUpToItsNulWithAsyncPurgeFlags) {
    EXPECT_EQ(Handle({0x00, 0x00, 0x00, 0x00, 'h', 'e', 'l', 'l', 'o', 0, 'x', 'y'}), "");
    EXPECT_EQ(Handle({0x00, 0x00, 0x00, 0x00, 0x00}), "");
    ASSERT_EQ(fake->speaks.size(), 2u);
    EXPECT_EQ(fake->speaks[0].text, (std::basic_string<WCHAR>{'h', 'e', 'l', 'l', 'o'}));
    EXPECT_EQ(fake->speaks[1].text, std::basic_string<WCHAR>());
    for (const auto& speak : fake->speaks) {
        EXPECT_EQ(speak.flags, 3u);
        EXPECT_FALSE(speak.streamNumberRequested);
    }
}

TEST_F(CommandDispatchTest, TextWithoutNulIsCutAtTheEndOfTheDatagram) {
    Bytes unterminated = {0x00, 0x00, 0x00, 0x00, 'a', 'b', 'c'};
    Bytes full(kReceiveBufferSize, 'z');
    full[0] = 0x00;
    Handle(unterminated);
    Handle(full);
    ASSERT_EQ(fake->speaks.size(), 2u);
    EXPECT_EQ(fake->speaks[0].text, (std::basic_string<WCHAR>{'a', 'b', 'c'}));
    EXPECT_EQ(fake->speaks[1].text, std::basic_string<WCHAR>(kReceiveBufferSize - 4, 'z'));
}

}  // namespace
