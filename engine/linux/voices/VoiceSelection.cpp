#include "VoiceSelection.h"

#include <strings.h>

#include <cctype>
#include <charconv>
#include <tuple>

#include "engine/linux/types/TextHelpers.h"
#include "VoiceLanguage.h"

namespace {

using text::Lower;
using text::Trimmed;

bool Same(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

struct AgeLabel {
    const char* name;
    int years;
};
constexpr AgeLabel kAges[] = {{"child", 10}, {"teen", 15}, {"adult", 30}, {"senior", 70}};

int YearsOf(std::string_view label) {
    for (const AgeLabel& age : kAges)
        if (label == age.name) return age.years;
    return 0;
}

const char* LabelOfYears(int years) { return years < 13 ? "child" : years < 20 ? "teen" : years < 65 ? "adult" : "senior"; }

/// How `voice` meets `condition`: 0 not at all; 1 through an espeak-ng variant (a gender
/// or age of its own it does not have), or a language without the region asked for; 2 as
/// it is.
int Meets(const Voice& voice, const VoiceCondition& condition) {
    int best = 0;
    for (const std::string& value : condition.values) {
        int met = 0;
        if (condition.attribute == "name") met = Same(voice.name, value) ? 2 : 0;
        else if (condition.attribute == "vendor") met = Same(EngineName(voice.engine), value) ? 2 : 0;
        else if (condition.attribute == "language") met = voices::LanguageMatch(voice, value);
        else if (condition.attribute == "gender") met = Same(voice.gender, value) ? 2 : 0;
        else if (condition.attribute == "age") met = Same(voice.age, value) ? 2 : 0;
        if (condition.negated) met = met == 0 ? 2 : 0;
        // espeak-ng can give any of its voices another gender or age.
        bool variable = condition.attribute == "gender" || condition.attribute == "age";
        if (met == 0 && variable && voice.engine == SynthesisEngine::Espeak) met = 1;
        best = std::max(best, met);
    }
    return best;
}

/// What espeak-ng's variants are to do for `condition`, met through one by `choice`'s voice.
void AddVariant(const VoiceCondition& condition, VoiceChoice& choice) {
    if (condition.values.empty() || Meets(*choice.voice, condition) != 1) return;
    const std::string value = Lower(condition.values.front());
    if (condition.attribute == "gender") {
        if (!condition.negated) choice.gender = value;
        else choice.gender = value == "male" ? "female" : "male";
    } else if (condition.attribute == "age") {
        if (!condition.negated) choice.age = YearsOf(value);
        else choice.age = value == "child" ? YearsOf("adult") : YearsOf("child");
    }
}

}  // namespace

void VoiceRequest::AddPlatformAttributes(std::string_view list, bool isRequired) {
    std::vector<VoiceCondition>& into = isRequired ? required : optional;
    bool inLanguages = false;
    while (!list.empty()) {
        std::string_view entry = list.substr(0, list.find(';'));
        list.remove_prefix(std::min(list.size(), entry.size() + 1));
        size_t equals = entry.find('=');
        if (equals == std::string_view::npos) {
            // "Language=409;9": an alternative to the language before it.
            const char* tag = voicelanguage::TagForLcidText(Trimmed(entry));
            if (inLanguages && tag != nullptr) into.back().values.push_back(tag);
            continue;
        }
        VoiceCondition condition;
        condition.negated = equals > 0 && entry[equals - 1] == '!';
        condition.attribute = Lower(Trimmed(entry.substr(0, condition.negated ? equals - 1 : equals)));
        std::string value(Trimmed(entry.substr(equals + 1)));
        inLanguages = condition.attribute == "language";
        if (inLanguages) {
            if (const char* tag = voicelanguage::TagForLcidText(value)) condition.values.push_back(tag);
        } else {
            condition.values.push_back(value);
        }
        into.push_back(std::move(condition));
    }
}

void VoiceRequest::AddSsml(const char* name, const char* gender, const char* ageYears) {
    if (name != nullptr && *name != '\0') optional.push_back({"name", {name}, false});
    if (gender != nullptr && *gender != '\0') optional.push_back({"gender", {std::string(Trimmed(gender))}, false});
    int years = 0;
    if (ageYears != nullptr) {
        std::string_view text = Trimmed(ageYears);
        std::from_chars(text.data(), text.data() + text.size(), years);
    }
    if (years > 0) optional.push_back({"age", {LabelOfYears(years)}, false});
}

void VoiceRequest::RequireLanguage(std::string_view tag) { required.push_back({"language", {std::string(tag)}, false}); }

VoiceChoice ChangeLanguage(std::string_view tag, const VoiceChoice& current, const voices::Catalogue& catalogue) {
    if (int speaks = voices::LanguageMatch(*current.voice, tag); speaks > 0) {
        // Another region of the language: the engine speaking goes on, in the voice of
        // that region if it has one.
        VoiceChoice choice = current;
        for (const Voice& voice : catalogue.All()) {
            if (voice.engine != current.voice->engine) continue;
            if (int match = voices::LanguageMatch(voice, tag); match > speaks) choice.voice = &voice, speaks = match;
        }
        return choice;
    }
    // Another language: a voice that speaks it, of the gender and age heard so far if it can.
    VoiceRequest request;
    request.RequireLanguage(tag);
    request.optional.push_back({"gender", {current.gender.empty() ? current.voice->gender : current.gender}, false});
    if (current.age != 0) request.AddSsml(nullptr, nullptr, std::to_string(current.age).c_str());
    return ChooseVoice(request, current, catalogue);
}

VoiceChoice ChooseVoice(const VoiceRequest& request, const VoiceChoice& current, const voices::Catalogue& catalogue) {
    const Voice* best = nullptr;
    std::tuple<int, int, int, int> bestRank;
    const std::string currentLanguage = voicelanguage::NormalizedTag(current.voice->language);
    const std::string currentPrimary = currentLanguage.substr(0, currentLanguage.find('-'));
    for (const Voice& voice : catalogue.All()) {
        bool passes = true;
        int asItIs = 0, language = 0;
        bool languageAsked = false;
        for (const VoiceCondition& condition : request.required) {
            int met = Meets(voice, condition);
            passes = passes && met > 0;
            asItIs += met == 2;
            if (condition.attribute == "language") language += met, languageAsked = true;
        }
        if (!passes) continue;
        int optionalMet = 0;
        for (const VoiceCondition& condition : request.optional) {
            int met = Meets(voice, condition);
            optionalMet += met > 0;
            asItIs += met == 2;
            if (condition.attribute == "language") language += met, languageAsked = true;
        }
        if (!languageAsked) language = voices::LanguageMatch(voice, currentPrimary);
        std::tuple<int, int, int, int> rank{optionalMet, language, &voice == current.voice, asItIs};
        if (best == nullptr || rank > bestRank) best = &voice, bestRank = rank;  // ties: the first listed
    }
    if (best == nullptr) return current;
    VoiceChoice choice;
    choice.voice = best;
    if (best->engine == SynthesisEngine::Espeak) {
        for (const VoiceCondition& condition : request.required) AddVariant(condition, choice);
        for (const VoiceCondition& condition : request.optional) AddVariant(condition, choice);
        // A variant the voice already had goes on unless the request changes it.
        if (best == current.voice) {
            if (choice.gender.empty()) choice.gender = current.gender;
            if (choice.age == 0) choice.age = current.age;
        }
    }
    return choice;
}
