#include "PhoneSet.h"

#include <cctype>
#include <cstring>

namespace {

struct Phone {
    const char* platform;
    const char* espeak;
    const char* flite;  // the CMU phone set's name
    bool vowel;
};

constexpr Phone kPhones[] = {
    {"aa", "A:", "aa", true}, {"ae", "a", "ae", true},   {"ah", "V", "ah", true},   {"ao", "O:", "ao", true},
    {"aw", "aU", "aw", true}, {"ax", "@", "ax", true},   {"ay", "aI", "ay", true},  {"eh", "E", "eh", true},
    {"er", "3:", "er", true}, {"ey", "eI", "ey", true},  {"ih", "I", "ih", true},   {"iy", "i:", "iy", true},
    {"ow", "oU", "ow", true}, {"oy", "OI", "oy", true},  {"uh", "U", "uh", true},   {"uw", "u:", "uw", true},
    {"b", "b", "b", false},   {"ch", "tS", "ch", false}, {"d", "d", "d", false},    {"dh", "D", "dh", false},
    {"f", "f", "f", false},   {"g", "g", "g", false},    {"h", "h", "hh", false},   {"jh", "dZ", "jh", false},
    {"k", "k", "k", false},   {"l", "l", "l", false},    {"m", "m", "m", false},    {"n", "n", "n", false},
    {"ng", "N", "ng", false}, {"p", "p", "p", false},    {"r", "r", "r", false},    {"s", "s", "s", false},
    {"sh", "S", "sh", false}, {"t", "t", "t", false},    {"th", "T", "th", false},  {"v", "v", "v", false},
    {"w", "w", "w", false},   {"y", "j", "y", false},    {"z", "z", "z", false},    {"zh", "Z", "zh", false},
};

const Phone* Find(std::string_view name) {
    for (const Phone& phone : kPhones)
        if (name == phone.platform) return &phone;
    return nullptr;
}

constexpr const char* kSymbols = "-&_!,.?";

/// The pieces of a pronunciation: runs of letters, runs of digits, and each symbol alone.
std::vector<std::string> Pieces(std::string_view text) {
    std::vector<std::string> pieces;
    size_t at = 0;
    while (at < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[at]);
        size_t end = at + 1;
        if (std::isspace(c)) {
            ++at;
            continue;
        }
        if (std::isalpha(c)) {
            while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
        } else if (std::isdigit(c)) {
            while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
        } else if (std::strchr(kSymbols, static_cast<char>(c)) == nullptr) {
            return {};  // nothing the phone set has
        }
        std::string piece(text.substr(at, end - at));
        for (char& letter : piece) letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
        pieces.push_back(std::move(piece));
        at = end;
    }
    return pieces;
}

}  // namespace

std::optional<std::vector<PronouncedWord>> ReadPronunciation(std::string_view platformPhones) {
    std::vector<std::string> pieces = Pieces(platformPhones);
    std::vector<PronouncedWord> words(1);
    bool anyPhone = false;
    for (const std::string& piece : pieces) {
        PronouncedWord& word = words.back();
        if (piece == "1" || piece == "2") {
            // Stress follows the vowel it belongs to.
            if (word.phones.empty() || !word.phones.back().vowel || word.phones.back().stress != 0) return std::nullopt;
            word.phones.back().stress = piece == "1" ? 1 : 2;
        } else if (piece == "-") {
            // flite and espeak-ng find the syllables themselves.
        } else if (piece == "&" || piece.find_first_of(kSymbols) == 0) {
            if (piece != "&" && word.punctuation == '\0') word.punctuation = piece[0];
            if (!word.phones.empty()) words.emplace_back();
        } else if (const Phone* phone = Find(piece)) {
            word.phones.push_back({phone->platform, 0, phone->vowel});
            anyPhone = true;
        } else {
            return std::nullopt;
        }
    }
    if (words.back().phones.empty()) {
        char punctuation = words.back().punctuation;
        words.pop_back();
        if (!words.empty() && words.back().punctuation == '\0') words.back().punctuation = punctuation;
    }
    if (!anyPhone) return std::nullopt;
    return words;
}

std::string EspeakPhonemes(const std::vector<PronouncedWord>& words) {
    std::string out;
    bool open = false;
    for (const PronouncedWord& word : words) {
        out += open ? " " : "[[";
        open = true;
        // espeak-ng marks stress before the vowel, the platform after it.
        for (const PronouncedWord::Phone& phone : word.phones) {
            if (phone.stress != 0) out += phone.stress == 1 ? "'" : ",";
            out += Find(phone.name)->espeak;
        }
        if (word.punctuation == '_') {
            out += " _:";
        } else if (word.punctuation != '\0') {
            out += "]]";
            out += word.punctuation;
            out += ' ';
            open = false;
        }
    }
    if (open) out += "]]";
    return out;
}

std::string FlitePhones(const PronouncedWord& word) {
    std::string out;
    for (const PronouncedWord::Phone& phone : word.phones) {
        if (!out.empty()) out += ' ';
        out += Find(phone.name)->flite;
        // flite's lexicon knows stressed and unstressed vowels; a secondary stress carries
        // no accent, so it is unstressed there.
        if (phone.vowel) out += phone.stress == 1 ? "1" : "0";
    }
    return out;
}
