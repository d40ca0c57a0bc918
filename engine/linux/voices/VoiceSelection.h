#pragma once
// Choosing a voice as the platform does: from the attributes its markup asks for.
#include <string>
#include <string_view>
#include <vector>

#include "Voices.h"

/// One attribute a voice is asked to have, or with `negated`, not to have.
struct VoiceCondition {
    std::string attribute;            // lower case: "name", "gender", "age", "language", "vendor"
    std::vector<std::string> values;  // alternatives, any one will do; languages as tags ("de-at")
    bool negated = false;
};

/// What a <voice> element (or a change of language) asks for. Every required condition
/// must hold; the optional ones rank the voices that pass.
struct VoiceRequest {
    std::vector<VoiceCondition> required;
    std::vector<VoiceCondition> optional;

    /// Adds the platform's attribute list ("Gender=Female;Language=407;9;Age!=Child"): a
    /// language identifier may be followed by alternatives; "!=" negates.
    void AddPlatformAttributes(std::string_view list, bool isRequired);
    /// Adds SSML's voice attributes: a name, gender or age (years) the voice should have.
    void AddSsml(const char* name, const char* gender, const char* ageYears);
    /// Requires the language `tag` ("de", "pt-BR").
    void RequireLanguage(std::string_view tag);
};

/// The voice for text in the language `tag` (xml:lang, <lang>), while `current` speaks.
/// When `current` speaks the language, its engine goes on: with the voice of the region
/// asked for if the engine has one, else with `current`. Otherwise the voice that speaks
/// the language best takes over (ChooseVoice); `current` goes on when none does.
VoiceChoice ChangeLanguage(std::string_view tag, const VoiceChoice& current, const voices::Catalogue& catalogue);

/// The voice of `catalogue` for `request`, made while `current` speaks. Of the voices that meet every
/// required condition, the one that meets most optional conditions is taken; then the
/// best speaker of the language asked for (or, with no language asked for, of the current
/// one); then the current voice; then a voice that is what was asked for without a
/// variant; then the first listed. When no voice meets the required conditions the
/// current voice goes on, as `current` says.
VoiceChoice ChooseVoice(const VoiceRequest& request, const VoiceChoice& current, const voices::Catalogue& catalogue);
