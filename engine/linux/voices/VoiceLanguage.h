#pragma once
// Which espeak-ng voice speaks a language: the one table between the names callers give a
// language (locale names, xml:lang tags, the platform's LCIDs) and espeak-ng's voices,
// and the user's own language as the environment names it.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace voicelanguage {

/// The voice for text nobody said the language of: English.
inline constexpr const char* kEnglish = "en";

/// A language tag as xml:lang, a locale or LANGUAGE write it, in the one form the table
/// uses: lower case, '-' between subtags, no codeset or modifier ("de_DE.UTF-8@euro" is
/// "de-de").
std::string NormalizedTag(std::string_view tag);

/// The espeak-ng voice for a language tag as xml:lang, a locale or LANGUAGE write it
/// ("de", "pt-BR", "pt_BR", "de_DE.UTF-8", "sr_RS@latin"): case, '_' or '-', the codeset
/// and the modifier do not matter. A region the table does not know falls back to its
/// language ("de-AT" is "de"). Null when espeak-ng has no voice for the language.
const char* VoiceForTag(std::string_view tag);

/// The language identifier of the platform (hexadecimal in its markup) as a tag of the
/// table ("407" is "de", "416" "pt-br"). An identifier the table does not list falls back
/// to its primary language (its low ten bits); null when that is unknown too.
const char* TagForLcid(unsigned lcid);
/// The same for an identifier as markup writes it, in hexadecimal ("407"); null when the
/// text is not one.
const char* TagForLcidText(std::string_view hexadecimal);

/// Every voice the table can name, once each.
std::vector<const char*> TableVoices();

/// The language `voice` speaks, as its first row in the table gives it: the tag in BCP 47
/// case ("pt-BR", "es-419") and the first language identifier the platform has for it (0
/// when it has none). False when the table does not name `voice`.
bool LanguageOfVoice(const char* voice, std::string* tag, unsigned* lcid);

/// Reads one environment variable; null or empty means unset.
using Environment = std::function<const char*(const char* name)>;

/// The voice for the user's language, read the way gettext reads it: the locale of
/// messages is the first of LC_ALL, LC_MESSAGES and LANG that is set; when it is unset,
/// "C" or "POSIX" the user has chosen no language and the answer is English (gettext then
/// ignores LANGUAGE too). Otherwise LANGUAGE, a colon-separated list of preferences, wins
/// when set: its first entry with a voice. Without LANGUAGE the locale's language counts.
/// A language without a voice gives English. The locale need not be installed: only the
/// names are read.
const char* UserVoice(const Environment& environment);

}  // namespace voicelanguage
