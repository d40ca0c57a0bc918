// Readings of what is written rather than said: abbreviations, URLs, e-mail addresses,
// paths, file names, identifiers, telephone numbers.
#include <unicode/uchar.h>

#include <algorithm>
#include <cstdlib>

#include "Readings.h"
#include "engine/linux/types/TextHelpers.h"

namespace text {

using icu::UnicodeString;

namespace {

/// Each of the language's abbreviations as written, and capitalized: at the start of a
/// sentence too ("Ca. 500 g").
std::vector<std::string> WrittenForms(const std::vector<Abbreviation>& abbreviations) {
    std::vector<std::string> forms;
    for (const Abbreviation& abbreviation : abbreviations) {
        forms.push_back(abbreviation.written);
        forms.push_back(Capitalized(abbreviation.written));
    }
    return forms;
}

/// `said` for an abbreviation matched whole, with its dot kept when that also ends the
/// sentence ("pears etc. Then"), which a title ("Dr.") never does.
UnicodeString WithSentenceEnd(const Language& language, const Match& match, UnicodeString said, bool title) {
    const UnicodeString& text = match.text;
    if (title || !match.piece.endsWith(u".")) return said;
    int32_t next = match.end;
    while (next < text.length() && u_isWhitespace(text.char32At(next))) next = text.moveIndex32(next, 1);
    if (next == text.length() || (next > match.end && !language.words.nounsCapitalized && u_isUUppercase(text.char32At(next))))
        said += u'.';
    return said;
}

/// What `forms` says for `written`; empty when it has no such form.
UnicodeString Said(const std::vector<Abbreviation>& forms, const UnicodeString& written) {
    const std::string utf8 = Utf8(written);
    for (const Abbreviation& form : forms)
        if (utf8 == form.written || utf8 == Capitalized(form.written)) return UnicodeString::fromUTF8(form.said);
    return {};
}

}  // namespace

UnicodeString StreetPattern(const Language& language) {
    // After a name of up to four capitalized words that does not open a sentence: "on Main
    // St.", "221B Baker St.", "the Martin Luther King Blvd."; or one that does, where no
    // capital follows ("Main St. is closed"). "St. Louis" and "Visit St. Paul" stay the
    // abbreviations' ("Saint").
    std::vector<std::string> forms;
    for (const Abbreviation& street : language.words.streets) forms.push_back(street.written);
    const UnicodeString name = u"(?:\\p{Lu}[\\p{L}'-]{0,20} ){1,4}";
    // The long lookbehinds are tried only where a street's abbreviation starts.
    const UnicodeString street = u"(?=" + Alternatives(forms) + u")";
    return street + u"(?:(?<=(?:[\\p{Ll}\\p{N},]|\\p{N}\\p{Lu}) " + name + u")(?:" + Alternatives(forms) + u")|(?<=(?:^|[.!?] )" +
           name + u")(?:" + Alternatives(forms) + u")(?!\\s+\\p{Lu}))";
}

UnicodeString ReadStreet(Language& language, const Match& match) {
    UnicodeString said = Said(language.words.streets, match.piece);
    return said.isEmpty() ? said : WithSentenceEnd(language, match, said, false);
}

UnicodeString StreetSuffixPattern(const Language& language) {
    // A street's name and its kind as one word: "Hauptstr." is "Hauptstraße".
    std::vector<std::string> forms;
    for (const Abbreviation& suffix : language.words.streetSuffixes) forms.push_back(suffix.written);
    return u"(?<![\\p{L}\\p{N}])\\p{L}{2,}(?:" + Alternatives(forms) + u")";
}

UnicodeString ReadStreetSuffix(Language& language, const Match& match) {
    for (const Abbreviation& suffix : language.words.streetSuffixes) {
        const UnicodeString written = UnicodeString::fromUTF8(suffix.written);
        if (!match.piece.endsWith(written)) continue;
        const UnicodeString said = match.piece.tempSubStringBetween(0, match.piece.length() - written.length()) +
                                   UnicodeString::fromUTF8(suffix.said);
        return WithSentenceEnd(language, match, said, false);
    }
    return {};
}

UnicodeString AbbreviationPattern(const Language& language) {
    return u"(?<![\\p{L}.])(?:" + Alternatives(WrittenForms(language.words.abbreviations)) + u")(?!\\p{L})";
}

UnicodeString ReadAbbreviation(Language& language, const Match& match) {
    UnicodeString said = Said(language.words.abbreviations, match.piece);
    bool title = match.piece.length() > 0 && u_isUUppercase(match.piece.char32At(0));
    return said.isEmpty() ? said : WithSentenceEnd(language, match, said, title);
}

UnicodeString UrlPattern(const Language&) { return u"\\b(?:https?|ftp)://[^\\s<>\"]*[^\\s<>\".,;:!?)\\]']"; }

UnicodeString ReadUrl(Language& language, const Match& match) {
    UnicodeString address(match.piece);
    address.remove(0, address.indexOf(u"://") + 3);
    while (address.endsWith(u"/")) address.truncate(address.length() - 1);
    return language.Address(address);
}

UnicodeString WwwPattern(const Language&) { return u"\\bwww\\.[^\\s<>\"]*[^\\s<>\".,;:!?)\\]']"; }

UnicodeString EmailPattern(const Language&) { return u"\\b[\\p{L}\\d._%+-]+@[\\p{L}\\d-]+(?:\\.[\\p{L}\\d-]+)+"; }

UnicodeString PathPattern(const Language&) {
    // "/usr/lib", "~/notes", "C:\\Users"; a relative path where it cannot be a pair of words
    // ("and/or"): one that ends in a file's name or a slash, or has two slashes and a letter.
    return u"(?<![\\p{L}\\p{N}_/.~])(?:~|\\.{1,2})?(?:/[\\p{L}\\p{N}_.+-]*[\\p{L}\\p{N}_+-])+/?"
           u"|\\b[A-Za-z]:\\\\[^\\s\\\\]+(?:\\\\[^\\s\\\\]+)*"
           u"|(?<![\\p{L}\\p{N}_/.~@:-])(?=[\\p{N}_.-]*\\p{L})[\\p{L}\\p{N}_-][\\p{L}\\p{N}_.-]*"
           u"(?:(?:/[\\p{L}\\p{N}_-][\\p{L}\\p{N}_.-]*)+\\.[a-z][a-z\\d]{0,5}(?![\\p{L}\\p{N}/])"
           u"|(?:/[\\p{L}\\p{N}_.-]+)+/(?![\\p{L}\\p{N}])|(?:/[\\p{L}\\p{N}_.-]+){2,}(?![\\p{L}\\p{N}/]))";
}

UnicodeString IdentifierPattern(const Language&) {
    return u"(?<![\\p{L}\\p{N}_])[\\p{L}\\p{N}]*_[\\p{L}\\p{N}_]*[\\p{L}\\p{N}](?:\\.[a-z][a-z\\d]{0,5})*";
}

UnicodeString FilePattern(const Language&) {
    return u"(?<![\\p{L}\\p{N}_.@])[\\p{L}\\p{N}][\\p{L}\\p{N}_-]*(?:\\.[a-z][a-z\\d]{0,5})+(?![\\p{L}\\p{N}])";
}

UnicodeString ReadAddress(Language& language, const Match& match) { return language.Address(match.piece); }

UnicodeString PhonePattern(const Language& language) {
    // As the language writes its numbers, or in the international way: "+49 30 1234567".
    UnicodeString forms = u"\\+\\d{1,3}(?:[ -]\\(0\\))?(?:[ -]\\d{1,5}){1,3}[ -]\\d{3,9}";
    for (const char* form : language.words.phones) forms += u"|" + UnicodeString::fromUTF8(form);
    return u"(?<![\\p{L}\\p{N}+])(?:" + forms + u")(?![\\d]|[.,]\\d)";
}

UnicodeString ReadPhone(Language& language, const Match& match) {
    // In its groups, digit by digit; in pairs as numbers where the language reads it so
    // ("zéro un, vingt-trois").
    const UnicodeString& piece = match.piece;
    NumberWords& numbers = language.Numbers();
    UnicodeString said;
    for (int32_t at = 0; at < piece.length();) {
        int32_t end = at;
        while (end < piece.length() && IsDigit(piece[end])) ++end;
        if (end > at) {
            const UnicodeString group = piece.tempSubStringBetween(at, end);
            UnicodeString read;
            if (language.words.phonePairs && group.length() == 2 && group[0] != u'0')
                read = numbers.Cardinal(std::atoll(Utf8(group).c_str()));
            else read = numbers.Digits(View(group));
            said += (said.isEmpty() || said.endsWith(u" ") ? u"" : u", ") + read;
        } else if (piece[at] == u'+' && language.words.plus != nullptr) {
            said += UnicodeString::fromUTF8(language.words.plus) + u" ";
        }
        at = std::max(end, at + 1);
    }
    return said;
}

}  // namespace text
