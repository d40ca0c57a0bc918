#include "PhoneSet.h"

#include <cctype>
#include <vector>

namespace {

struct Phone {
    const char* platform;
    const char* espeak;
    bool vowel;
};

constexpr Phone kPhones[] = {
    {"aa", "A:", true}, {"ae", "a", true},  {"ah", "V", true},   {"ao", "O:", true}, {"aw", "aU", true},
    {"ax", "@", true},  {"ay", "aI", true}, {"eh", "E", true},   {"er", "3:", true}, {"ey", "eI", true},
    {"ih", "I", true},  {"iy", "i:", true}, {"ow", "oU", true},  {"oy", "OI", true}, {"uh", "U", true},
    {"uw", "u:", true}, {"b", "b", false},  {"ch", "tS", false}, {"d", "d", false},  {"dh", "D", false},
    {"f", "f", false},  {"g", "g", false},  {"h", "h", false},   {"jh", "dZ", false}, {"k", "k", false},
    {"l", "l", false},  {"m", "m", false},  {"n", "n", false},   {"ng", "N", false}, {"p", "p", false},
    {"r", "r", false},  {"s", "s", false},  {"sh", "S", false},  {"t", "t", false},  {"th", "T", false},
    {"v", "v", false},  {"w", "w", false},  {"y", "j", false},   {"z", "z", false},  {"zh", "Z", false},
};

const Phone* Find(const std::string& name) {
    for (const Phone& phone : kPhones)
        if (name == phone.platform) return &phone;
    return nullptr;
}

}  // namespace

std::optional<std::string> EspeakPhonemes(std::string_view platformPhones) {
    // espeak-ng marks stress before the stressed vowel, the platform after it.
    std::vector<std::string> out;
    size_t lastVowel = std::string::npos;
    size_t at = 0;
    while (at < platformPhones.size()) {
        if (std::isspace(static_cast<unsigned char>(platformPhones[at]))) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < platformPhones.size() && !std::isspace(static_cast<unsigned char>(platformPhones[end]))) ++end;
        std::string name(platformPhones.substr(at, end - at));
        at = end;
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "1" || name == "2") {
            if (lastVowel == std::string::npos) return std::nullopt;
            out.insert(out.begin() + static_cast<long>(lastVowel), name == "1" ? "'" : ",");
            lastVowel = std::string::npos;
            continue;
        }
        if (name == "-") continue;  // espeak-ng finds the syllables itself
        const Phone* phone = Find(name);
        if (phone == nullptr) return std::nullopt;
        if (phone->vowel) lastVowel = out.size();
        out.push_back(phone->espeak);
    }
    if (out.empty()) return std::nullopt;
    std::string phonemes = "[[";
    for (const std::string& piece : out) phonemes += piece;
    return phonemes + "]]";
}
