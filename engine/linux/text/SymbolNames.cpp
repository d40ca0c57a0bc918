#include "SymbolNames.h"

#include <expat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "engine/linux/types/TextHelpers.h"

namespace text {
namespace {

// Where Debian's unicode-cldr-core puts CLDR's annotations: the hand-made names, and the
// derived ones (skin tones, flags, keycaps, families).
constexpr const char* kAnnotationFolders[] = {"/usr/share/unicode/cldr/common/annotations/",
                                              "/usr/share/unicode/cldr/common/annotationsDerived/"};

// The languages whose names are kept, the latest read first (some 600 KiB each).
constexpr size_t kLanguagesKept = 3;

/// `symbol` without its variation selectors (U+FE0E, U+FE0F): CLDR writes most keys
/// without them, senders write them or not.
std::string Key(std::string_view symbol) {
    std::string key;
    key.reserve(symbol.size());
    for (size_t i = 0; i < symbol.size(); ++i) {
        if (symbol.compare(i, 3, "\xEF\xB8\x8F") == 0 || symbol.compare(i, 3, "\xEF\xB8\x8E") == 0) {
            i += 2;
            continue;
        }
        key += symbol[i];
    }
    return key;
}

/// Reads one annotation file's spoken names into `names`; an earlier name for a symbol
/// stays. A file that is missing or unreadable adds nothing.
void ReadAnnotations(const std::string& path, SymbolNames::Names* names) {
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) return;
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"), XML_ParserFree);
    if (!parser) return;
    struct Reading {
        SymbolNames::Names* names;
        std::string symbol;  // of the spoken annotation being read; empty outside one
        std::string name;
        bool inSpoken = false;
    } reading{names, {}, {}, false};
    XML_SetUserData(parser.get(), &reading);
    XML_SetElementHandler(
        parser.get(),
        [](void* data, const XML_Char* element, const XML_Char** attributes) {
            auto& state = *static_cast<Reading*>(data);
            if (std::string_view(element) != "annotation") return;
            const char* symbol = nullptr;
            bool spoken = false;
            for (const XML_Char** at = attributes; at[0] != nullptr; at += 2) {
                if (std::string_view(at[0]) == "cp") symbol = at[1];
                if (std::string_view(at[0]) == "type" && std::string_view(at[1]) == "tts") spoken = true;
            }
            if (symbol == nullptr || !spoken) return;
            state.inSpoken = true;
            state.symbol = Key(symbol);
            state.name.clear();
        },
        [](void* data, const XML_Char*) {
            auto& state = *static_cast<Reading*>(data);
            if (!state.inSpoken) return;
            state.inSpoken = false;
            std::string name(Trimmed(state.name));
            // "↑↑↑" is CLDR's mark for a name inherited from the parent locale.
            if (!name.empty() && name != "\xE2\x86\x91\xE2\x86\x91\xE2\x86\x91")
                state.names->emplace(state.symbol, std::move(name));
        });
    XML_SetCharacterDataHandler(parser.get(), [](void* data, const XML_Char* text, int length) {
        auto& state = *static_cast<Reading*>(data);
        if (state.inSpoken) state.name.append(text, static_cast<size_t>(length));
    });
    char buffer[1 << 16];
    for (;;) {
        size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
        bool last = count < sizeof buffer;
        if (XML_Parse(parser.get(), buffer, static_cast<int>(count), last) != XML_STATUS_OK || last) return;
    }
}

}  // namespace

std::string SymbolNames::Name(std::string_view symbol, std::string_view language) {
    const std::string code = Lower(language.substr(0, language.find_first_of("-_")));
    if (code.empty() || code.find_first_of("./") != std::string::npos) return {};
    std::lock_guard<std::mutex> guard(lock);
    auto found = std::find_if(byLanguage.begin(), byLanguage.end(), [&](const auto& entry) { return entry.first == code; });
    if (found == byLanguage.end()) {
        if (byLanguage.size() == kLanguagesKept) byLanguage.pop_back();
        byLanguage.emplace_back(code, Names());
        found = byLanguage.end() - 1;
        for (const char* folder : kAnnotationFolders) ReadAnnotations(folder + code + ".xml", &found->second);
    }
    std::rotate(byLanguage.begin(), found, found + 1);
    const Names& names = byLanguage.front().second;
    auto name = names.find(Key(symbol));
    return name != names.end() ? name->second : std::string();
}

}  // namespace text
