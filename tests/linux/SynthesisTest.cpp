// The synthesis of an utterance through the engines it is given: a fake engine in place
// of espeak-ng and flite, and flite's own errors met mid-synthesis.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/linux/EngineStartup.h"
#include "engine/linux/engines/Synthesis.h"
#include "engine/linux/voice/SynthesisProducer.h"
// After the engine's headers: flite's defines TRUE and FALSE in its own way.
#include <flite/flite.h>

namespace {

constexpr unsigned kFakeRate = 8000;

/// An engine that says each part as one sample per byte of its text, at a level of 1000,
/// and keeps the words it was given.
class FakeEngine : public Synthesizer {
public:
    void AddVoicesTo(voices::Catalogue&) override {}
    HRESULT Synthesize(const Voice&, const UtterancePart* begin, const UtterancePart* end, const SynthesisCall& call) override {
        for (const UtterancePart* part = begin; part != end; ++part) {
            given.push_back(part->text);
            const std::vector<int16_t> sound(part->text.size(), 1000);
            if (call.stopped && call.stopped()) return S_OK;
            if (!call.onAudio(sound.data(), sound.size(), kFakeRate, 1.0f)) return S_OK;
        }
        return failure;
    }
    void Prepare(const Voice&) override {}
    bool SaysOnlyAscii() const override { return true; }
    std::string Words(const Voice&, const UtterancePart*, const UtterancePart*) override { return {}; }

    std::vector<std::string> given;
    HRESULT failure = S_OK;
};

UtterancePart Words(const Voice& voice, const char* text) {
    UtterancePart part;
    part.style.voice.voice = &voice;
    part.text = text;
    return part;
}

UtterancePart Pause(unsigned milliseconds) {
    UtterancePart part;
    part.kind = UtterancePart::Kind::Pause;
    part.milliseconds = milliseconds;
    return part;
}

TEST(Synthesis, SpeaksThroughTheEngineItIsGivenInOrderWithItsSilences) {
    const Voice fakeVoice{"fake", "en-US", 0x409, "Male", "Adult", SynthesisEngine::Espeak, "fake"};
    const Utterance utterance = {Words(fakeVoice, "hello"), Pause(100), Words(fakeVoice, "world!")};
    struct Case {
        const char* name;
        bool withEngine;
        HRESULT engineFails;
        int stopAfterChunks;  // -1: never
        HRESULT result;
        size_t sound, silence;  // samples heard of each
    };
    const Case cases[] = {
        {"whole", true, S_OK, -1, S_OK, 5 + 6, 800},
        {"stopped after the first word", true, S_OK, 1, S_FALSE, 5, 0},
        {"the engine fails", true, E_OUTOFMEMORY, -1, E_OUTOFMEMORY, 5, 0},
        {"no engine of that name", false, S_OK, -1, E_FAIL, 0, 0},
    };
    for (const Case& c : cases) {
        FakeEngine engine;
        engine.failure = c.engineFails;
        Synthesizers engines;
        if (c.withEngine) engines.Add(SynthesisEngine::Espeak, engine);
        int chunks = 0;
        size_t sound = 0, silence = 0;
        SynthesisSettings settings;
        settings.stopped = [&] { return c.stopAfterChunks >= 0 && chunks >= c.stopAfterChunks; };
        HRESULT hr = SynthesizeUtterance(utterance, settings, engines,
                                         [&](const int16_t* samples, size_t count, const SynthesizedFormat& format) {
                                             EXPECT_EQ(format.sampleRate, kFakeRate) << c.name;
                                             for (size_t i = 0; i < count; ++i) (samples[i] != 0 ? sound : silence) += 1;
                                             ++chunks;
                                             return S_OK;
                                         });
        EXPECT_EQ(hr, c.result) << c.name;
        EXPECT_EQ(sound, c.sound) << c.name;
        EXPECT_EQ(silence, c.silence) << c.name;
    }
}

TEST(Synthesis, TheEngineIsGivenTextAlreadyReadAloudAndFoldedAsItSays) {
    VoiceParts parts;
    FakeEngine engine;
    parts.engines.Add(SynthesisEngine::Espeak, engine);
    const Voice fakeVoice{"fake", "en-US", 0x409, "Male", "Adult", SynthesisEngine::Espeak, "fake"};
    UtterancePart asWritten = Words(fakeVoice, "Zo\u00EB's 5");
    asWritten.style.asWritten = true;
    const Utterance said = ReadAloud({Words(fakeVoice, "Zo\u00EB paid $5."), asWritten}, parts);
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0].text, "Zoe paid five dollars.");
    EXPECT_EQ(said[1].text, "Zoe's 5");  // markup said how to read it: only folded
}

/// flite's voice `name` as its library holds it once registered: a statistical voice's
/// (cmu_us_rms_cg) or a diphone voice's (cmu_us_kal16_diphone).
cst_voice* FliteVoice(const std::string& name) {
    void* library = ::dlopen(("libflite_cmu_us_" + name + ".so.1").c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD);
    if (library == nullptr) return nullptr;
    for (const char* kind : {"_cg", "_diphone"})
        if (auto* voice = static_cast<cst_voice**>(::dlsym(library, ("cmu_us_" + name + kind).c_str())))
            return *voice;
    return nullptr;
}

/// What goes wrong when flite reports an error mid-synthesis for `name`, a voice whose
/// data is damaged, and speaks with it mended; empty when all is as it should be.
std::string FliteErrorMet(const char* name) {
    VoiceParts& parts = ProcessVoiceParts();
    Synthesizer* flite = parts.engines.For(SynthesisEngine::Flite);
    const Voice* voice = parts.catalogue.Named(name);
    if (flite == nullptr || voice == nullptr) return "no flite voice";
    flite->Prepare(*voice);
    cst_voice* loaded = FliteVoice(name);
    if (loaded == nullptr) return "the voice was not loaded";
    UtterancePart part = Words(*voice, "A damaged voice. Then a whole one.");
    size_t samples = 0;
    SynthesisCall call;
    call.onAudio = [&](const int16_t*, size_t count, unsigned, float) {
        samples += count;
        return true;
    };
    // A voice whose data is damaged: its mean pitch is not a number. flite reports it
    // when it works out the pitch, after the words were analysed.
    const char* feature = "int_f0_target_mean";
    const bool present = feat_present(loaded->features, feature) != 0;
    const float mean = flite_get_param_float(loaded->features, feature, 0.0f);
    feat_set(loaded->features, feature, cons_val(string_val("damaged"), nullptr));
    if (flite->Synthesize(*voice, &part, &part + 1, call) != E_FAIL) return "the damaged voice did not fail";
    if (present) feat_set_float(loaded->features, feature, mean);
    else feat_remove(loaded->features, feature);
    samples = 0;
    if (flite->Synthesize(*voice, &part, &part + 1, call) != S_OK) return "the mended voice failed";
    if (samples < 16000) return "the mended voice said less than a second";
    return {};
}

// flite does not release what it made for a synthesis before it reported the error (some
// 70 KB here), so each voice is tried in a process of its own, which ends without the leak
// check; the sanitizers still watch every access on the way.
TEST(Synthesis, AnErrorFliteReportsMidSynthesisFailsThatSynthesisAndTheNextOneSpeaks) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const char* name : {"rms", "kal16"}) {
        EXPECT_EXIT(
            {
                const std::string wrong = FliteErrorMet(name);
                std::fprintf(stderr, "%s\n", wrong.c_str());
                std::_Exit(wrong.empty() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "")
            << name;
    }
}

}  // namespace
