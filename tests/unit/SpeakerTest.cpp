#include <gtest/gtest.h>

#include <string>

#include "tests/support/SpeakerFixture.h"

namespace {

using SpeakerTest = SpeakerFixture;

TEST_F(SpeakerTest, ConstructionCreatesTheVoiceAndTouchesNothingElse) {
    EXPECT_TRUE(speaker->HasVoice());
    EXPECT_TRUE(fake->calls.empty());
}

TEST_F(SpeakerTest, VolumeAndRateArePassedUnchangedAndNothingIsPrinted) {
    fake->speakResult = E_INVALIDARG;  // must not matter: volume and rate results are ignored
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    speaker->SetVolume(65535);
    speaker->SetVolume(0);
    speaker->SetRate(-10);
    speaker->SetRate(65535);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(fake->volumes, (std::vector<USHORT>{65535, 0}));
    EXPECT_EQ(fake->rates, (std::vector<LONG>{-10, 65535}));
}

TEST_F(SpeakerTest, SpeakTextUsesAsyncPurgeFlagsAndNoStreamNumber) {
    const WCHAR text[] = {'h', 'i', 0};
    const WCHAR empty[] = {0};
    EXPECT_EQ(speaker->SpeakText(text), S_OK);
    EXPECT_EQ(speaker->SpeakText(empty), S_OK);
    ASSERT_EQ(fake->speaks.size(), 2u);
    EXPECT_EQ(fake->speaks[0].text, (std::basic_string<WCHAR>{'h', 'i'}));
    EXPECT_EQ(fake->speaks[1].text, std::basic_string<WCHAR>());
    EXPECT_EQ(fake->speaks[0].flags, 3u);
    EXPECT_FALSE(fake->speaks[0].streamNumberRequested);
}

TEST_F(SpeakerTest, EachSpeakFailureIsReportedOnStandardErrorAndReturned) {
    struct Case {
        HRESULT result;
        std::string message;
    };
    const Case cases[] = {
        {static_cast<HRESULT>(0x80070057u), "Parameters are invalid\n"},
        {static_cast<HRESULT>(0x80004003u), "Invalid pointer\n"},
        {static_cast<HRESULT>(0x8007000Eu), "Exceeded available memory\n"},
        {static_cast<HRESULT>(0x80045004u), "Invalid flags specified for this operation\n"},
        {static_cast<HRESULT>(0x80045006u), "Timeout occurred on synchronous call\n"},
        {static_cast<HRESULT>(0x80004005u), "error 80004005 \n"},
        {static_cast<HRESULT>(0x80070015u), "error 80070015 \n"},
        {S_OK, ""},
        {S_FALSE, ""},
    };
    const WCHAR text[] = {'x', 0};
    for (const Case& c : cases) {
        fake->speakResult = c.result;
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        HRESULT hr = speaker->SpeakText(text);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.message) << std::hex << c.result;
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(hr, c.result);
    }
}

TEST(SpeakerWithoutVoice, ReportsWhyTheVoiceCouldNotBeCreated) {
    ClassOverride failing(CLSID_SpVoice, [](REFIID, void** object) {
        *object = nullptr;
        return E_OUTOFMEMORY;
    });
    Speaker speaker;
    EXPECT_FALSE(speaker.HasVoice());
    EXPECT_EQ(speaker.VoiceCreationResult(), E_OUTOFMEMORY);
}

TEST(SpeakerConstruction, AsksForTheVoiceInterface) {
    FakeVoice* fake = FakeVoice::Create();
    bool askedForVoice = false;
    {
        ClassOverride voiceClass(CLSID_SpVoice, [&](REFIID iid, void** object) {
            askedForVoice = IsEqualGUID(iid, IID_ISpVoice);
            return fake->QueryInterface(iid, object);
        });
        Speaker speaker;
        EXPECT_TRUE(speaker.HasVoice());
    }
    EXPECT_TRUE(askedForVoice);
    EXPECT_EQ(fake->Release(), 0u) << "the Speaker must give back the voice's reference";
}

}  // namespace
