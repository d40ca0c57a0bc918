#pragma once
// The names of symbols and emoji as a person says them, in a language: CLDR's
// text-to-speech annotations ("party popper", "Konfettibombe").
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace text {

/// CLDR's spoken names, read from unicode-cldr-core's files when a language's are first
/// asked for, and kept for the few languages asked for last. Calls may come from any
/// thread.
class SymbolNames {
public:
    using Names = std::unordered_map<std::string, std::string>;

    /// CLDR's spoken name of `symbol` (one grapheme cluster, UTF-8) in the language of BCP
    /// 47 tag `language`: an emoji with its modifiers and joiners, a flag, or a symbol such
    /// as "€" or "±". Variation selectors do not count. Empty when CLDR names it in no file
    /// of that language, or its files are not installed.
    std::string Name(std::string_view symbol, std::string_view language);

private:
    std::mutex lock;
    std::vector<std::pair<std::string, Names>> byLanguage;  // the latest asked for first
};

}  // namespace text
