// The voice's language: the user's, read from the environment the way gettext reads it,
// the one table of languages and espeak-ng voices, and the real voice speaking in it.
#include <gtest/gtest.h>

#include <cmath>

#include <map>
#include <set>
#include <string>

#include "LocaleEnvironment.h"
#include "SpeechMeasures.h"
#include "engine/linux/EngineStartup.h"
#include "engine/Engine.h"
#include "engine/linux/voice/SpVoice.h"
#include "engine/linux/voices/VoiceLanguage.h"

namespace {

using Variables = std::map<std::string, std::string>;

const char* UserVoiceWith(const Variables& variables) {
    return voicelanguage::UserVoice([&](const char* name) -> const char* {
        auto found = variables.find(name);
        return found != variables.end() ? found->second.c_str() : nullptr;
    });
}

TEST(VoiceLanguage, TheUsersLanguageIsReadAsGettextReadsIt) {
    struct Case {
        Variables variables;
        const char* voice;
    };
    const Case cases[] = {
        {{{"LANG", "de_DE.UTF-8"}}, "de"},
        {{{"LANG", "pt_BR"}}, "pt-br"},
        {{{"LANG", "de_AT.ISO-8859-1@euro"}}, "de"},
        {{{"LANG", "C"}}, "en"},
        {{{"LANG", "C.UTF-8"}}, "en"},
        {{}, "en"},
        {{{"LANG", "xx_YY.UTF-8"}}, "en"},
        {{{"LANG", ""}, {"LC_ALL", ""}}, "en"},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "fr_FR.UTF-8"}}, "fr"},
        {{{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "fr_FR.UTF-8"}, {"LC_ALL", "sv_SE.UTF-8"}}, "sv"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "pt_BR:de"}}, "pt-br"},
        {{{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "xx::es"}}, "es"},
        {{{"LANG", "C"}, {"LANGUAGE", "de"}}, "en"},  // gettext ignores LANGUAGE in the C locale
        {{{"LANGUAGE", "de"}}, "en"},
    };
    for (const Case& c : cases) {
        std::string described;
        for (const auto& [name, value] : c.variables) described += name + "=" + value + " ";
        EXPECT_STREQ(UserVoiceWith(c.variables), c.voice) << described;
    }
}

std::string Named(const char* voice) { return voice != nullptr ? voice : "(none)"; }

TEST(VoiceLanguage, LanguageIdentifiersAndTagsMeetInOneTable) {
    const std::pair<unsigned, const char*> lcids[] = {{0x407, "de"}, {0xC07, "de"}, {0x416, "pt-br"}, {0x816, "pt"},
                                                      {0x409, "en-us"}, {0xC09, "en"}, {0x80A, "es-419"},
                                                      {0xC04, "yue"}, {0x7F, "(none)"}};
    for (const auto& [lcid, voice] : lcids) {
        const char* tag = voicelanguage::TagForLcid(lcid);
        EXPECT_EQ(Named(tag != nullptr ? voicelanguage::VoiceForTag(tag) : nullptr), voice) << std::hex << lcid;
    }
    const std::pair<const char*, const char*> tags[] = {{"de-DE", "de"}, {"PT-br", "pt-br"}, {"zh-HK", "yue"},
                                                        {"fr-CA", "fr"}, {"xx", "(none)"}, {"", "(none)"}};
    for (const auto& [tag, voice] : tags) EXPECT_EQ(Named(voicelanguage::VoiceForTag(tag)), voice) << tag;
    // The table names only voices espeak-ng has: each is in the catalogue, which lists
    // espeak-ng's voices by the table.
    std::set<std::string> espeakVoices;
    for (const Voice& voice : ProcessVoiceParts().catalogue.All())
        if (voice.engine == SynthesisEngine::Espeak) espeakVoices.insert(voice.engineVoice);
    for (const char* voice : voicelanguage::TableVoices()) EXPECT_EQ(espeakVoices.count(voice), 1u) << voice;
}

InterfaceHolder<ISpVoice> VoiceIn(const char* lang) {
    LocaleEnvironment environment(lang);
    InterfaceHolder<ISpVoice> voice;
    EXPECT_EQ(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, voice.VoidSlot()), S_OK);
    return voice;
}

/// The voice a voice made in the environment of `lang` speaks with by default.
std::string DefaultVoiceChosenIn(const char* lang) {
    LocaleEnvironment environment(lang);
    const Voice* voice = SpVoice::ChooseDefaultVoice(ProcessVoiceParts().catalogue).voice;
    return voice != nullptr ? voice->name : "(null)";
}

TEST(VoiceLanguage, TheVoiceSpeaksTheLanguageOfTheEnvironmentItWasMadeIn) {
    EXPECT_EQ(DefaultVoiceChosenIn("de_DE.UTF-8"), "German");
    EXPECT_EQ(DefaultVoiceChosenIn("en_US.UTF-8"), "rms");  // English is flite's
    EXPECT_EQ(DefaultVoiceChosenIn("C"), "rms");

    // German words read by an English voice take far longer than by the German one.
    const std::u16string german = u"Eichh\u00f6rnchen und Streichholzsch\u00e4chtelchen, zw\u00f6lf Z\u00fcge \u00fcber "
                                  u"Br\u00fccken, Schifffahrtsgesellschaft.";
    InterfaceHolder<ISpVoice> inGerman = VoiceIn("de_DE.UTF-8");
    InterfaceHolder<ISpVoice> inAmerican = VoiceIn("en_US.UTF-8");
    InterfaceHolder<ISpVoice> inC = VoiceIn("C");

    double de = speech::AudibleSeconds(speech::Render(inGerman.Get(), german), speech::kRenderRate);
    double en = speech::AudibleSeconds(speech::Render(inAmerican.Get(), german), speech::kRenderRate);
    RecordProperty("germanSeconds", std::to_string(de));
    RecordProperty("americanSeconds", std::to_string(en));
    EXPECT_GT(en - de, de * 0.15);
    // The same voice as English: as long as it. (Its audible seconds vary by some 3% from
    // one rendering to the next: flite's statistical voices excite unvoiced sounds with
    // noise. The rendering's length does not.)
    const size_t cLength = speech::Render(inC.Get(), german).size();
    const size_t enLength = speech::Render(inAmerican.Get(), german).size();
    RecordProperty("cSamples", std::to_string(cLength));
    EXPECT_EQ(cLength, enLength);

    // The language was chosen when the voice was made: the environment now does not matter.
    LocaleEnvironment nowAmerican("en_US.UTF-8");
    double later = speech::AudibleSeconds(speech::Render(inGerman.Get(), german), speech::kRenderRate);
    EXPECT_NEAR(later, de, 0.02 * de);
}

}  // namespace
