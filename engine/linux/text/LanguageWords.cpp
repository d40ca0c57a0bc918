// Which language's table a voice's language reads with.
#include "LanguageWords.h"

#include "engine/linux/types/TextHelpers.h"

namespace text {

const LanguageWords& WordsFor(std::string_view tag) {
    static const LanguageWords kLanguages[] = {BritishEnglishWords(), EnglishWords(), GermanWords(), FrenchWords(),
                                               SpanishWords()};
    static const LanguageWords kNone = OtherLanguageWords();
    const size_t dash = tag.find_first_of("-_");
    const std::string language = Lower(tag.substr(0, dash));
    std::string region;
    if (dash != std::string_view::npos) {
        std::string_view rest = tag.substr(dash + 1);
        region = std::string(rest.substr(0, rest.find_first_of("-_.@")));
        for (char& c : region)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    // A region's own table where it has one, else the language's.
    for (const LanguageWords& words : kLanguages)
        if (language == words.language && *words.region != '\0' && region == words.region) return words;
    for (const LanguageWords& words : kLanguages)
        if (language == words.language && *words.region == '\0') return words;
    return kNone;
}

LanguageWords OtherLanguageWords() {
    LanguageWords words;
    words.ordinalMarks = {{"\u00BA", "%spellout-ordinal-masculine"}, {"\u00AA", "%spellout-ordinal-feminine"}};
    return words;
}

}  // namespace text
