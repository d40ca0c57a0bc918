// The voices as callers see them, and the voice markup or the environment chooses.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "engine/linux/EngineStartup.h"
#include "engine/linux/text/Markup.h"
#include "engine/linux/voices/Voices.h"

namespace {

TEST(Voices, FliteSpeaksEnglishInFiveVoicesAndEspeakEveryLanguageOfTheTable) {
    std::set<std::string> names;
    std::map<std::string, std::string> flite;
    size_t espeak = 0;
    for (const Voice& voice : ProcessVoiceParts().catalogue.All()) {
        EXPECT_TRUE(names.insert(voice.name).second) << "two voices called " << voice.name;
        EXPECT_FALSE(voice.language.empty()) << voice.name;
        if (voice.engine == SynthesisEngine::Flite) flite[voice.name] = voice.gender;
        else ++espeak;
    }
    const std::map<std::string, std::string> fliteVoices{
        {"kal", "Male"}, {"kal16", "Male"}, {"awb", "Male"}, {"rms", "Male"}, {"slt", "Female"}};
    EXPECT_EQ(flite, fliteVoices);
    EXPECT_GT(espeak, 80u);
    const Voice* german = ProcessVoiceParts().catalogue.Named("german");
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(german->language, "de");
    EXPECT_EQ(german->lcid, 0x407u);
    EXPECT_EQ(ProcessVoiceParts().catalogue.Named("Portuguese (Brazil)")->language, "pt-BR");
}

std::string Chosen(const char* markup, const char* startVoice) {
    VoiceChoice start;
    start.voice = ProcessVoiceParts().catalogue.Named(startVoice);
    std::optional<Utterance> read = ReadMarkup(markup, start, ProcessVoiceParts().catalogue);
    if (!read) return "(not markup)";
    for (const UtterancePart& part : *read) {
        if (part.kind != UtterancePart::Kind::Words) continue;
        const VoiceChoice& voice = part.style.voice;
        std::string described = voice.voice->name;
        if (!voice.gender.empty()) described += " as " + voice.gender;
        if (voice.age != 0) described += " aged " + std::to_string(voice.age);
        return described;
    }
    return "(no words)";
}

TEST(VoiceSelection, MarkupChoosesAsThePlatformDoes) {
    struct Case {
        const char* markup;
        const char* start;
        const char* chosen;
    };
    const Case cases[] = {
        {"<voice required=\"Name=slt\">x</voice>", "rms", "slt"},
        {"<voice required=\"name = SLT; Gender=Female\">x</voice>", "rms", "slt"},
        {"<voice required=\"Name=slt;Gender=Male\">x</voice>", "rms", "rms"},  // nothing meets both
        {"<voice required=\"Gender=Female\" optional=\"Age=Adult\">x</voice>", "rms", "slt"},
        {"<voice required=\"Gender!=Male\">x</voice>", "awb", "slt"},
        {"<voice required=\"Vendor=flite;Gender=Male\" optional=\"Name=rms\">x</voice>", "German", "rms"},
        {"<voice required=\"Language=407\">x</voice>", "rms", "German"},
        {"<voice required=\"Language=409\" optional=\"Gender=Female\">x</voice>", "German", "slt"},
        {"<voice required=\"Gender=Female;Language=407\">x</voice>", "slt", "German as female"},
        {"<voice required=\"Language=7F\">x</voice>", "slt", "slt"},  // no voice has it
        {"<voice optional=\"Age=Child\">x</voice>", "German", "German aged 10"},
        {"<speak><voice name=\"awb\">x</voice></speak>", "rms", "awb"},
        {"<speak><voice gender=\"female\">x</voice></speak>", "rms", "slt"},
        {"<speak><voice gender=\"female\" xml:lang=\"de\">x</voice></speak>", "rms", "German as female"},
        {"<speak><voice name=\"nobody\">x</voice></speak>", "rms", "rms"},
        // A change of language keeps the engine speaking when it speaks the language.
        {"<lang langid=\"407\">x</lang>", "rms", "German"},
        {"<lang langid=\"809\">x</lang>", "slt", "slt"},
        {"<speak xml:lang=\"en-GB\">x</speak>", "kal", "kal"},
        {"<speak xml:lang=\"en-US\">x</speak>", "English (Great Britain)", "English (America)"},
        {"<speak xml:lang=\"fr-CA\">x</speak>", "rms", "French (France)"},
        {"<speak xml:lang=\"en\">x</speak>", "German", "rms"},
        {"<speak xml:lang=\"xx\">x</speak>", "German", "German"},
        {"<voice required=\"Gender=Female\"><lang langid=\"407\">x</lang></voice>", "rms", "German as female"},
    };
    for (const Case& c : cases) EXPECT_EQ(Chosen(c.markup, c.start), c.chosen) << c.markup << " from " << c.start;
}

TEST(VoiceSelection, TheDefaultVoiceIsTheSettingElseTheUsersLanguage) {
    using Variables = std::map<std::string, std::string>;
    struct Case {
        Variables variables;
        const char* voice;
        const char* unknown;  // what is reported as no voice; empty: nothing
    };
    const Case cases[] = {
        {{{"SPEECH_VOICE", "slt"}, {"LANG", "de_DE.UTF-8"}}, "slt", ""},
        {{{"SPEECH_VOICE", "German"}}, "German", ""},
        {{{"SPEECH_VOICE", "pt-BR"}}, "Portuguese (Brazil)", ""},
        {{{"SPEECH_VOICE", "en"}, {"LANG", "de_DE.UTF-8"}}, "rms", ""},
        {{{"SPEECH_VOICE", "nobody"}, {"LANG", "de_DE.UTF-8"}}, "German", "nobody"},
        {{{"SPEECH_VOICE", ""}, {"LANG", "fr_FR.UTF-8"}}, "French (France)", ""},
        {{{"LANG", "en_GB.UTF-8"}}, "rms", ""},
        {{{"LANG", "C"}}, "rms", ""},
        {{}, "rms", ""},
    };
    for (const Case& c : cases) {
        std::string unknown;
        const Voice& voice = *ProcessVoiceParts().catalogue.Default(
            [&](const char* name) -> const char* {
                auto found = c.variables.find(name);
                return found != c.variables.end() ? found->second.c_str() : nullptr;
            },
            &unknown);
        std::string described;
        for (const auto& [name, value] : c.variables) described += name + "=" + value + " ";
        EXPECT_EQ(voice.name, c.voice) << described;
        EXPECT_EQ(unknown, c.unknown) << described;
    }
}

}  // namespace
