#include "VoiceLanguage.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <string>

namespace voicelanguage {

namespace {

struct Language {
    const char* tag;    // lower case, '-' between subtags
    unsigned lcid;      // 0: the platform has none
    const char* voice;  // espeak-ng's name for its voice
};

// The first row of a primary language is the one its other identifiers and regions fall
// back to, so each language's plain row comes before its regional ones.
constexpr Language kLanguages[] = {
    {"en", 0x0809, "en"},         {"en-us", 0x0409, "en-us"},     {"en-029", 0x2409, "en-029"},
    {"af", 0x0436, "af"},         {"am", 0x045E, "am"},           {"an", 0, "an"},
    {"ar", 0x0401, "ar"},         {"as", 0x044D, "as"},           {"az", 0x042C, "az"},
    {"ba", 0x046D, "ba"},         {"be", 0x0423, "be"},           {"bg", 0x0402, "bg"},
    {"bn", 0x0445, "bn"},         {"ca", 0x0403, "ca"},           {"cs", 0x0405, "cs"},
    {"cy", 0x0452, "cy"},         {"da", 0x0406, "da"},           {"de", 0x0407, "de"},
    {"el", 0x0408, "el"},         {"eo", 0, "eo"},                {"es", 0x0C0A, "es"},
    {"es-es", 0x040A, "es"},      {"es-419", 0x580A, "es-419"},   {"es-mx", 0x080A, "es-419"},
    {"es-us", 0x540A, "es-419"},  {"es-ar", 0x2C0A, "es-419"},    {"es-co", 0x240A, "es-419"},
    {"es-cl", 0x340A, "es-419"},  {"es-pe", 0x280A, "es-419"},    {"es-ve", 0x200A, "es-419"},
    {"et", 0x0425, "et"},         {"eu", 0x042D, "eu"},           {"fa", 0x0429, "fa"},
    {"fi", 0x040B, "fi"},         {"fr", 0x040C, "fr"},        {"fr-be", 0x080C, "fr-be"},
    {"fr-ch", 0x100C, "fr-ch"},   {"ga", 0x083C, "ga"},           {"gd", 0x0491, "gd"},
    {"gu", 0x0447, "gu"},         {"he", 0x040D, "he"},           {"hi", 0x0439, "hi"},
    {"hr", 0x041A, "hr"},         {"sr", 0x0C1A, "sr"},           {"sr-latn", 0x081A, "sr"},
    {"bs", 0x141A, "bs"},         {"hu", 0x040E, "hu"},           {"hy", 0x042B, "hy"},
    {"id", 0x0421, "id"},         {"is", 0x040F, "is"},           {"it", 0x0410, "it"},
    {"ja", 0x0411, "ja"},         {"ka", 0x0437, "ka"},           {"kk", 0x043F, "kk"},
    {"kl", 0x046F, "kl"},         {"kn", 0x044B, "kn"},           {"ko", 0x0412, "ko"},
    {"kok", 0x0457, "kok"},       {"ku", 0, "ku"},                {"ky", 0x0440, "ky"},
    {"la", 0, "la"},              {"lb", 0x046E, "lb"},           {"lt", 0x0427, "lt"},
    {"lv", 0x0426, "lv"},         {"mi", 0x0481, "mi"},           {"mk", 0x042F, "mk"},
    {"ml", 0x044C, "ml"},         {"mr", 0x044E, "mr"},           {"ms", 0x043E, "ms"},
    {"mt", 0x043A, "mt"},         {"my", 0x0455, "my"},           {"nb", 0x0414, "nb"},
    {"nn", 0x0814, "nb"},         {"no", 0, "nb"},                {"ne", 0x0461, "ne"},
    {"nl", 0x0413, "nl"},         {"om", 0x0472, "om"},           {"or", 0x0448, "or"},
    {"pa", 0x0446, "pa"},         {"pl", 0x0415, "pl"},           {"pt", 0x0816, "pt"},
    {"pt-br", 0x0416, "pt-br"},   {"ro", 0x0418, "ro"},           {"ru", 0x0419, "ru"},
    {"sd", 0x0459, "sd"},         {"si", 0x045B, "si"},           {"sk", 0x041B, "sk"},
    {"sl", 0x0424, "sl"},         {"sq", 0x041C, "sq"},           {"sv", 0x041D, "sv"},
    {"sw", 0x0441, "sw"},         {"ta", 0x0449, "ta"},           {"te", 0x044A, "te"},
    {"th", 0x041E, "th"},         {"tk", 0x0442, "tk"},           {"tn", 0x0432, "tn"},
    {"tr", 0x041F, "tr"},         {"tt", 0x0444, "tt"},           {"ug", 0x0480, "ug"},
    {"uk", 0x0422, "uk"},         {"ur", 0x0420, "ur"},           {"uz", 0x0443, "uz"},
    {"vi", 0x042A, "vi"},         {"zh", 0x0804, "cmn"},          {"zh-tw", 0x0404, "cmn"},
    {"zh-hk", 0x0C04, "yue"},     {"zh-mo", 0x1404, "yue"},       {"cmn", 0, "cmn"},
    {"yue", 0, "yue"},            {"haw", 0x0475, "haw"},
};

constexpr unsigned kPrimaryLanguageMask = 0x3FF;

const Language* FindTag(const std::string& tag) {
    for (const Language& language : kLanguages)
        if (tag == language.tag) return &language;
    return nullptr;
}

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

// "C.UTF-8" is the C locale too.
bool MeansNoLanguage(std::string_view name) {
    std::string normal = NormalizedTag(name);
    return normal == "c" || normal == "posix";
}

const Language* FindLcid(unsigned lcid) {
    for (const Language& language : kLanguages)
        if (language.lcid != 0 && language.lcid == lcid) return &language;
    for (const Language& language : kLanguages)
        if (language.lcid != 0 && (language.lcid & kPrimaryLanguageMask) == (lcid & kPrimaryLanguageMask))
            return &language;
    return nullptr;
}

}  // namespace

std::string NormalizedTag(std::string_view tag) {
    tag = tag.substr(0, tag.find_first_of(".@"));
    std::string normal;
    for (char c : tag) normal += c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return normal;
}

const char* VoiceForTag(std::string_view tag) {
    std::string normal = NormalizedTag(tag);
    if (const Language* exact = FindTag(normal)) return exact->voice;
    const Language* primary = FindTag(normal.substr(0, normal.find('-')));
    return primary != nullptr ? primary->voice : nullptr;
}

const char* TagForLcid(unsigned lcid) {
    const Language* language = FindLcid(lcid);
    return language != nullptr ? language->tag : nullptr;
}

const char* TagForLcidText(std::string_view hexadecimal) {
    unsigned lcid = 0;
    const char* end = hexadecimal.data() + hexadecimal.size();
    auto [stop, error] = std::from_chars(hexadecimal.data(), end, lcid, 16);
    if (hexadecimal.empty() || error != std::errc() || stop != end) return nullptr;
    return TagForLcid(lcid);
}

bool LanguageOfVoice(const char* voice, std::string* tag, unsigned* lcid) {
    const Language* first = nullptr;
    *lcid = 0;
    for (const Language& language : kLanguages) {
        if (std::strcmp(language.voice, voice) != 0) continue;
        if (first == nullptr) first = &language;
        if (*lcid == 0) *lcid = language.lcid;
    }
    if (first == nullptr) return false;
    // BCP 47 writes a region in capitals and a script in title case: "pt-BR", "sr-Latn".
    tag->clear();
    size_t subtagStart = 0;
    for (const char* c = first->tag;; ++c) {
        if (*c != '-' && *c != '\0') continue;
        std::string subtag(first->tag + subtagStart, c);
        if (subtagStart > 0 && subtag.size() == 2) {
            for (char& letter : subtag) letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
        } else if (subtagStart > 0 && subtag.size() == 4) {
            subtag[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(subtag[0])));
        }
        *tag += (subtagStart > 0 ? "-" : "") + subtag;
        if (*c == '\0') break;
        subtagStart = static_cast<size_t>(c - first->tag) + 1;
    }
    return true;
}

std::vector<const char*> TableVoices() {
    std::vector<const char*> voices;
    for (const Language& language : kLanguages) {
        bool seen = std::any_of(voices.begin(), voices.end(),
                                [&](const char* voice) { return std::strcmp(voice, language.voice) == 0; });
        if (!seen) voices.push_back(language.voice);
    }
    return voices;
}

const char* UserVoice(const Environment& environment) {
    const char* locale = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        if (IsSet(environment(name))) {
            locale = environment(name);
            break;
        }
    }
    if (locale == nullptr || MeansNoLanguage(locale)) return kEnglish;
    const char* preferences = environment("LANGUAGE");
    if (!IsSet(preferences)) {
        const char* voice = VoiceForTag(locale);
        return voice != nullptr ? voice : kEnglish;
    }
    std::string_view list(preferences);
    while (!list.empty()) {
        std::string_view entry = list.substr(0, list.find(':'));
        list.remove_prefix(std::min(list.size(), entry.size() + 1));
        if (entry.empty()) continue;
        if (MeansNoLanguage(entry)) return kEnglish;
        if (const char* voice = VoiceForTag(entry)) return voice;
    }
    return kEnglish;
}

}  // namespace voicelanguage
