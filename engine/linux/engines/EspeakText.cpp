#include "EspeakText.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "engine/CodePoints.h"

namespace {

/// What espeak-ng is given in place of a code point it cannot be trusted with.
enum class Instead {
    kDigitValue,  // the ASCII digit of the same value (the range starts at its zero)
    kFullStop,    // ". ": the mark ends a sentence, and is heard as its pause
    kComma,       // ", ": the mark parts a sentence, and is heard as its shorter pause
    kLetter,      // the ordinary letter the symbol form stands for (in a range, in order)
    kNothing,     // a blank: nothing is spoken, and the words beside it stay apart
};

struct UnsafeRange {
    char32_t first;
    char32_t last;
    Instead instead;
    char32_t letter;  // for kLetter: the letter the range's first code point stands for
};

// The code points that make espeak-ng 1.51 read a translator it has just freed, found by
// speaking every code point of the Basic Multilingual Plane and the planes after it,
// alone, between words, after a symbol and twice in a row, with the voices of 13
// languages, and by pairing every punctuation mark and symbol with the ASCII and
// Latin-1 symbols (docs/reliability.md). Classes of them, not single finds: a whole
// class is kept away when its members have nothing to say that the class would lose.
// Sorted by first code point, none overlapping.
constexpr UnsafeRange kUnsafeCodePoints[] = {
    // C1 control characters: nothing to speak; after a currency sign the Hindi voice
    // reads memory it never set on them.
    {0x0080, 0x009F, Instead::kNothing, 0},
    // Greek: archaic letters no modern table names; the symbol forms of letters (in
    // mathematics) as the letters they are; accents standing alone; the ano teleia,
    // Greek's semicolon, as the pause it is.
    {0x037F, 0x037F, Instead::kNothing, 0},           // capital yot
    {0x0384, 0x0385, Instead::kNothing, 0},           // tonos, dialytika tonos
    {0x0387, 0x0387, Instead::kComma, 0},             // ano teleia
    {0x03CF, 0x03CF, Instead::kNothing, 0},           // capital kai symbol
    {0x03D0, 0x03D0, Instead::kLetter, 0x03B2},       // beta symbol
    {0x03D1, 0x03D1, Instead::kLetter, 0x03B8},       // theta symbol
    {0x03D2, 0x03D2, Instead::kLetter, 0x03A5},       // upsilon with hook
    {0x03D3, 0x03D3, Instead::kLetter, 0x038E},       // ... with acute
    {0x03D4, 0x03D4, Instead::kLetter, 0x03AB},       // ... with diaeresis
    {0x03D5, 0x03D5, Instead::kLetter, 0x03C6},       // phi symbol
    {0x03D6, 0x03D6, Instead::kLetter, 0x03C0},       // pi symbol
    {0x03D7, 0x03EF, Instead::kNothing, 0},           // kai symbol, archaic letters, Coptic in Greek
    {0x03F0, 0x03F0, Instead::kLetter, 0x03BA},       // kappa symbol
    {0x03F1, 0x03F1, Instead::kLetter, 0x03C1},       // rho symbol
    {0x03F2, 0x03F2, Instead::kLetter, 0x03C3},       // lunate sigma
    {0x03F3, 0x03F3, Instead::kNothing, 0},           // yot
    {0x03F5, 0x03F5, Instead::kLetter, 0x03B5},       // lunate epsilon
    {0x03F6, 0x03F6, Instead::kNothing, 0},           // reversed lunate epsilon
    {0x03F9, 0x03F9, Instead::kLetter, 0x03A3},       // capital lunate sigma
    {0x03FC, 0x03FC, Instead::kLetter, 0x03C1},       // rho with stroke
    // Cyrillic: the combining sign for millions, which marks a numeral, not a sound.
    {0x0489, 0x0489, Instead::kNothing, 0},
    // Armenian punctuation and signs: its full stop and comma as the pauses they are;
    // apostrophe, abbreviation mark, eternity signs and the dram sign as nothing.
    {0x055A, 0x055A, Instead::kNothing, 0},
    {0x055D, 0x055D, Instead::kComma, 0},
    {0x055F, 0x055F, Instead::kNothing, 0},
    {0x0589, 0x0589, Instead::kFullStop, 0},
    {0x058A, 0x058A, Instead::kComma, 0},             // hyphen
    {0x058D, 0x058F, Instead::kNothing, 0},
    // The Indic scripts, Devanagari to Sinhala: the dandas end sentences; every
    // script's digits are spoken as their values, in the voice's own words for numbers;
    // abbreviation, currency, fraction and calendar signs, and letters and vowel signs
    // added to Unicode after espeak-ng's tables were made, are not spoken.
    {0x0964, 0x0965, Instead::kFullStop, 0},          // danda, double danda
    {0x0966, 0x096F, Instead::kDigitValue, 0},        // Devanagari digits
    {0x0970, 0x0970, Instead::kNothing, 0},           // Devanagari abbreviation sign
    {0x09E6, 0x09EF, Instead::kDigitValue, 0},        // Bengali digits
    {0x09F2, 0x09FE, Instead::kNothing, 0},           // Bengali currency, numerators, signs
    {0x0A66, 0x0A6F, Instead::kDigitValue, 0},        // Gurmukhi digits
    {0x0A76, 0x0A76, Instead::kNothing, 0},           // Gurmukhi abbreviation sign
    {0x0AE6, 0x0AEF, Instead::kDigitValue, 0},        // Gujarati digits
    {0x0AF0, 0x0AF1, Instead::kNothing, 0},           // Gujarati abbreviation sign, rupee
    {0x0AFD, 0x0AFF, Instead::kNothing, 0},           // Gujarati nukta signs
    {0x0B66, 0x0B6F, Instead::kDigitValue, 0},        // Oriya digits
    {0x0BE6, 0x0BEF, Instead::kDigitValue, 0},        // Tamil digits
    {0x0BF3, 0x0BFA, Instead::kNothing, 0},           // Tamil calendar, accounting, currency signs
    {0x0C66, 0x0C6F, Instead::kDigitValue, 0},        // Telugu digits
    {0x0C80, 0x0C80, Instead::kNothing, 0},           // Kannada spacing candrabindu
    {0x0C84, 0x0C84, Instead::kNothing, 0},           // Kannada siddham
    {0x0CE6, 0x0CEF, Instead::kDigitValue, 0},        // Kannada digits
    {0x0D00, 0x0D01, Instead::kNothing, 0},           // Malayalam anusvara above, candrabindu
    {0x0D04, 0x0D04, Instead::kNothing, 0},           // Malayalam vedic anusvara
    {0x0D55, 0x0D56, Instead::kNothing, 0},           // Malayalam chillu y, chillu lll
    {0x0D58, 0x0D5F, Instead::kNothing, 0},           // Malayalam fractions, archaic ii
    {0x0D62, 0x0D63, Instead::kNothing, 0},           // Malayalam vocalic l, ll signs
    {0x0D66, 0x0D6F, Instead::kDigitValue, 0},        // Malayalam digits
    {0x0D79, 0x0D79, Instead::kNothing, 0},           // Malayalam date mark
    {0x0DE6, 0x0DEF, Instead::kDigitValue, 0},        // Sinhala Lith digits
    // Georgian: the paragraph separator ends a sentence.
    {0x10FB, 0x10FB, Instead::kFullStop, 0},
    // Hangul jamo: the archaic vowels and final consonants, which no modern word holds
    // (modern Korean is written in syllables, and its jamo come before these).
    {0x1180, 0x11A7, Instead::kNothing, 0},
    {0x11C3, 0x11FF, Instead::kNothing, 0},
    // Circled Latin letters as the letters they are: the Bengali voice's name for a
    // circled m overflows a buffer on espeak-ng's stack, which ends the process.
    {0x24B6, 0x24CF, Instead::kLetter, 'A'},
    {0x24D0, 0x24E9, Instead::kLetter, 'a'},
};

// Code points Unicode (14.0) gives no character in the blocks of the scripts above:
// nothing to speak, and espeak-ng looks each up in that script's language's table.
constexpr std::pair<char32_t, char32_t> kUnassigned[] = {
    // Greek
    {0x0378, 0x0379}, {0x0380, 0x0383}, {0x038B, 0x038B}, {0x038D, 0x038D}, {0x03A2, 0x03A2},
    // Bengali
    {0x0984, 0x0984}, {0x098D, 0x098E}, {0x0991, 0x0992}, {0x09A9, 0x09A9}, {0x09B1, 0x09B1},
    {0x09B3, 0x09B5}, {0x09BA, 0x09BB}, {0x09C5, 0x09C6}, {0x09C9, 0x09CA}, {0x09CF, 0x09D6},
    {0x09D8, 0x09DB}, {0x09DE, 0x09DE}, {0x09E4, 0x09E5}, {0x09FF, 0x09FF},
    // Gurmukhi
    {0x0A00, 0x0A00}, {0x0A04, 0x0A04}, {0x0A0B, 0x0A0E}, {0x0A11, 0x0A12}, {0x0A29, 0x0A29},
    {0x0A31, 0x0A31}, {0x0A34, 0x0A34}, {0x0A37, 0x0A37}, {0x0A3A, 0x0A3B}, {0x0A3D, 0x0A3D},
    {0x0A43, 0x0A46}, {0x0A49, 0x0A4A}, {0x0A4E, 0x0A50}, {0x0A52, 0x0A58}, {0x0A5D, 0x0A5D},
    {0x0A5F, 0x0A65}, {0x0A77, 0x0A7F},
    // Gujarati
    {0x0A80, 0x0A80}, {0x0A84, 0x0A84}, {0x0A8E, 0x0A8E}, {0x0A92, 0x0A92}, {0x0AA9, 0x0AA9},
    {0x0AB1, 0x0AB1}, {0x0AB4, 0x0AB4}, {0x0ABA, 0x0ABB}, {0x0AC6, 0x0AC6}, {0x0ACA, 0x0ACA},
    {0x0ACE, 0x0ACF}, {0x0AD1, 0x0ADF}, {0x0AE4, 0x0AE5}, {0x0AF2, 0x0AF8},
    // Tamil
    {0x0B80, 0x0B81}, {0x0B84, 0x0B84}, {0x0B8B, 0x0B8D}, {0x0B91, 0x0B91}, {0x0B96, 0x0B98},
    {0x0B9B, 0x0B9B}, {0x0B9D, 0x0B9D}, {0x0BA0, 0x0BA2}, {0x0BA5, 0x0BA7}, {0x0BAB, 0x0BAD},
    {0x0BBA, 0x0BBD}, {0x0BC3, 0x0BC5}, {0x0BC9, 0x0BC9}, {0x0BCE, 0x0BCF}, {0x0BD1, 0x0BD6},
    {0x0BD8, 0x0BE5}, {0x0BFB, 0x0BFF},
    // Kannada
    {0x0C8D, 0x0C8D}, {0x0C91, 0x0C91}, {0x0CA9, 0x0CA9}, {0x0CB4, 0x0CB4}, {0x0CBA, 0x0CBB},
    {0x0CC5, 0x0CC5}, {0x0CC9, 0x0CC9}, {0x0CCE, 0x0CD4}, {0x0CD7, 0x0CDC}, {0x0CDF, 0x0CDF},
    {0x0CE4, 0x0CE5}, {0x0CF0, 0x0CF0}, {0x0CF3, 0x0CFF},
    // Malayalam
    {0x0D0D, 0x0D0D}, {0x0D11, 0x0D11}, {0x0D45, 0x0D45}, {0x0D49, 0x0D49}, {0x0D50, 0x0D53},
    {0x0D64, 0x0D65},
    // Sinhala
    {0x0D80, 0x0D80}, {0x0D84, 0x0D84}, {0x0D97, 0x0D99}, {0x0DB2, 0x0DB2}, {0x0DBC, 0x0DBC},
    {0x0DBE, 0x0DBF}, {0x0DC7, 0x0DC9}, {0x0DCB, 0x0DCE}, {0x0DD5, 0x0DD5}, {0x0DD7, 0x0DD7},
    {0x0DE0, 0x0DE5}, {0x0DF0, 0x0DF1}, {0x0DF5, 0x0DFF},
    // Georgian
    {0x10C6, 0x10C6}, {0x10C8, 0x10CC}, {0x10CE, 0x10CF}
};

// Armenian and Georgian letters, and their vowels. A word of such letters with no vowel
// is one espeak-ng spells, letter by letter, with the names from that language's table;
// under any other voice than English, two such letters in a row make it read the table
// it has just freed. Parted by blanks, each letter is a word of its own, which it names
// safely: the same letters are heard.
enum class Script { kOther, kArmenian, kGeorgian };

bool IsUnassigned(char32_t codePoint);

Script ScriptOf(char32_t c) {
    if ((c >= 0x0531 && c <= 0x0556) || (c >= 0x0561 && c <= 0x0587)) return Script::kArmenian;
    bool georgianBlock = (c >= 0x10A0 && c <= 0x10FF) || (c >= 0x1C90 && c <= 0x1CBF);
    if (georgianBlock && c != 0x10FB && !IsUnassigned(c)) return Script::kGeorgian;  // 10FB: a separator
    return Script::kOther;
}

bool IsVowel(char32_t c) {
    static constexpr char32_t kVowels[] = {
        0x0531, 0x0535, 0x0537, 0x0538, 0x053B, 0x0548, 0x0555,  // Armenian capitals
        0x0561, 0x0565, 0x0567, 0x0568, 0x056B, 0x0578, 0x0585,  // Armenian small letters
        0x10D0, 0x10D4, 0x10D8, 0x10DD, 0x10E3, 0x10F5, 0x10F7,  // Georgian (mkhedruli)
        0x1C90, 0x1C94, 0x1C98, 0x1C9D, 0x1CA3, 0x1CB5, 0x1CB7,  // Georgian (mtavruli)
    };
    return std::find(std::begin(kVowels), std::end(kVowels), c) != std::end(kVowels);
}

// A currency sign right before a symbol ("$☀", "€©") makes espeak-ng read a freed table
// under the Korean voice, and memory it never set under the Hindi and Armenian ones; a
// blank between them is heard the same.
bool IsCurrencySign(char32_t c) { return c == '$' || (c >= 0xA2 && c <= 0xA5) || c == 0x0E3F || (c >= 0x20A0 && c <= 0x20CF); }

bool IsInSymbolBlock(char32_t c) {
    return (c >= 0xA0 && c <= 0xBF) || (c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) ||
           (c >= 0x1F000 && c <= 0x1FAFF);
}

// Both tables are searched by halving: each must be sorted, its ranges apart.
template <typename Range, size_t N, typename First, typename Last>
constexpr bool SortedAndApart(const Range (&ranges)[N], First first, Last last) {
    for (size_t i = 0; i < N; ++i) {
        if (first(ranges[i]) > last(ranges[i])) return false;
        if (i > 0 && first(ranges[i]) <= last(ranges[i - 1])) return false;
    }
    return true;
}
static_assert(SortedAndApart(kUnsafeCodePoints, [](const UnsafeRange& r) { return r.first; },
                             [](const UnsafeRange& r) { return r.last; }));
static_assert(SortedAndApart(kUnassigned, [](const std::pair<char32_t, char32_t>& r) { return r.first; },
                             [](const std::pair<char32_t, char32_t>& r) { return r.second; }));

const UnsafeRange* UnsafeRangeOf(char32_t codePoint) {
    auto after = std::upper_bound(std::begin(kUnsafeCodePoints), std::end(kUnsafeCodePoints), codePoint,
                                  [](char32_t c, const UnsafeRange& range) { return c < range.first; });
    if (after == std::begin(kUnsafeCodePoints)) return nullptr;
    const UnsafeRange* range = std::prev(after);
    return codePoint <= range->last ? range : nullptr;
}

bool IsUnassigned(char32_t codePoint) {
    auto after = std::upper_bound(std::begin(kUnassigned), std::end(kUnassigned), codePoint,
                                  [](char32_t c, const std::pair<char32_t, char32_t>& range) { return c < range.first; });
    return after != std::begin(kUnassigned) && codePoint <= std::prev(after)->second;
}

/// What espeak-ng is given for `codePoint` when it may not be given the code point
/// itself; empty when it may.
std::string SafeInstead(char32_t codePoint) {
    if (codePoint < 0x80) return {};
    if (IsUnassigned(codePoint)) return " ";
    const UnsafeRange* range = UnsafeRangeOf(codePoint);
    if (range == nullptr) return {};
    switch (range->instead) {
        case Instead::kDigitValue: return std::string(1, static_cast<char>('0' + (codePoint - range->first)));
        case Instead::kFullStop: return ". ";
        case Instead::kComma: return ", ";
        case Instead::kLetter: {
            std::string letter;
            codepoints::AppendUtf8(letter, range->letter + (codePoint - range->first));
            return letter;
        }
        case Instead::kNothing: break;
    }
    return " ";
}

/// Whether espeak-ng parts words at `byte`: a blank or an ASCII control from tab to
/// carriage return (vertical tab and form feed too).
bool PartsWords(unsigned char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }

/// The text as espeak-ng may read it, built a character at a time.
class SafeTextBuilder {
public:
    explicit SafeTextBuilder(size_t size) { safe_.reserve(size + size / kLongestRun + 16); }

    /// Appends `piece` (whole characters), parting runs without white space.
    void Append(std::string_view piece) {
        for (size_t i = 0; i < piece.size(); ++i) {
            auto byte = static_cast<unsigned char>(piece[i]);
            if (PartsWords(byte)) {
                run_ = 0;
            } else {
                if (i == 0 && run_ >= kLongestRun) {
                    safe_ += ' ';
                    run_ = 0;
                }
                ++run_;
            }
            safe_ += piece[i];
        }
    }

    std::string Take() { return std::move(safe_); }

private:
    std::string safe_;
    size_t run_ = 0;  // bytes since the last white space
};

/// The code point at `at` (its byte length in `*length`), or the byte there as it is
/// when the bytes are not UTF-8.
char32_t CodePointAt(std::string_view utf8, size_t at, size_t* length) {
    char32_t codePoint = 0;
    *length = codepoints::DecodeUtf8(reinterpret_cast<const unsigned char*>(utf8.data()) + at, utf8.size() - at, &codePoint);
    if (*length != 0) return codePoint;
    *length = 1;
    return 0;  // not a character: passed on untouched
}

}  // namespace

std::string EspeakSafeText(std::string_view utf8) {
    SafeTextBuilder safe(utf8.size());
    char32_t previous = 0;
    for (size_t at = 0; at < utf8.size();) {
        size_t length = 0;
        char32_t codePoint = CodePointAt(utf8, at, &length);
        if (Script script = ScriptOf(codePoint); script != Script::kOther) {
            // The whole run of letters of this script, and whether a vowel is in it.
            size_t end = at, letters = 0;
            bool vowel = false;
            for (size_t next = 0; end < utf8.size(); end += next, ++letters) {
                char32_t c = CodePointAt(utf8, end, &next);
                if (ScriptOf(c) != script) break;
                vowel |= IsVowel(c);
            }
            for (size_t i = at; i < end; i += length) {
                CodePointAt(utf8, i, &length);
                if (i > at && !vowel && letters > 1) safe.Append(" ");
                safe.Append(utf8.substr(i, length));
            }
            previous = 0;  // a letter, not a currency sign
            at = end;
            continue;
        }
        if (IsCurrencySign(previous) && IsInSymbolBlock(codePoint)) safe.Append(" ");
        std::string instead = SafeInstead(codePoint);
        safe.Append(instead.empty() ? utf8.substr(at, length) : std::string_view(instead));
        previous = codePoint;
        at += length;
    }
    return safe.Take();
}
