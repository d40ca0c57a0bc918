#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "ClassOverride.h"
#include "FakeVoice.h"
#include "speech/Speaker.h"

/// A Speaker whose voice is a recording FakeVoice: the fake is put in place of the
/// engine's voice class before the Speaker creates its voice.
class SpeakerFixture : public ::testing::Test {
protected:
    SpeakerFixture()
        : fake(FakeVoice::Create()),
          voiceClass(CLSID_SpVoice, [this](REFIID iid, void** object) { return fake->QueryInterface(iid, object); }),
          speaker(std::make_unique<Speaker>()) {}
    ~SpeakerFixture() override {
        speaker.reset();
        fake->Release();
    }

    FakeVoice* fake;
    ClassOverride voiceClass;
    std::unique_ptr<Speaker> speaker;
};
