#pragma once
// The names of symbols and emoji as a person says them, in a language: CLDR's
// text-to-speech annotations ("party popper", "Konfettibombe").
#include <string>
#include <string_view>

namespace text {

/// CLDR's spoken name of `symbol` (one grapheme cluster, UTF-8) in the language of BCP 47
/// tag `language`: an emoji with its modifiers and joiners, a flag, or a symbol such as
/// "€" or "±". Variation selectors do not count. Empty when CLDR names it in no file of
/// that language, or its files are not installed. A language's names are read from
/// unicode-cldr-core's files when first asked for and kept.
std::string SymbolName(std::string_view symbol, std::string_view language);

}  // namespace text
