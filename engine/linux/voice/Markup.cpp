#include "Markup.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "PhoneSet.h"
#include "VoiceLanguage.h"

bool SpeakingStyle::operator==(const SpeakingStyle& other) const {
    return rate == other.rate && pitch == other.pitch && volume == other.volume && emphasis == other.emphasis &&
           spell == other.spell && voice == other.voice && gender == other.gender && age == other.age;
}

namespace {

// The platform's rate scale runs from -10 (a third of the normal pace) to 10 (three
// times), its pitch scale from -10 (three quarters of the normal pitch) to 10 (four
// thirds); each step is the same factor.
constexpr double kRateAtTen = 3.0;
constexpr double kPitchAtTen = 4.0 / 3.0;
constexpr double kMinimumRate = 1.0 / 3.0, kMaximumRate = 3.0;
constexpr double kMinimumPitch = 0.5, kMaximumPitch = 2.0;
constexpr double kMaximumVolume = 2.0;

constexpr const char* kFragmentRoot = "markup-fragment";

const char* const kWhiteSpace = " \t\r\n";

bool IsWhiteSpace(char c) { return c != '\0' && std::strchr(kWhiteSpace, c) != nullptr; }

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

/// A number at the start of `text`, with what follows it; nullopt when there is none.
std::optional<double> LeadingNumber(std::string_view text, std::string_view* rest) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || !std::isfinite(value)) return std::nullopt;
    *rest = Trimmed(text.substr(static_cast<size_t>(end - text.data())));
    return value;
}

/// A number and nothing else ("-3", "50", "+2.5").
std::optional<double> Number(std::string_view text) {
    std::string_view rest;
    std::optional<double> value = LeadingNumber(text, &rest);
    if (!value || !rest.empty()) return std::nullopt;
    return value;
}

double Clamp(double value, double low, double high) { return std::min(std::max(value, low), high); }

/// A duration as SSML writes it ("1s", "250ms", "1.5s"; a bare number is milliseconds).
std::optional<unsigned> Milliseconds(std::string_view text) {
    std::string_view unit;
    std::optional<double> value = LeadingNumber(text, &unit);
    if (!value || *value < 0) return std::nullopt;
    double milliseconds;
    if (unit == "s") milliseconds = *value * 1000;
    else if (unit == "ms" || unit.empty()) milliseconds = *value;
    else return std::nullopt;
    return static_cast<unsigned>(std::lround(std::min(milliseconds, 4.0e9)));
}

struct Label {
    const char* name;
    double value;
};

template <size_t N>
std::optional<double> FindLabel(const Label (&labels)[N], std::string_view name) {
    for (const Label& label : labels)
        if (name == label.name) return label.value;
    return std::nullopt;
}

// SSML's named values, as factors of the voice's own setting.
constexpr Label kRateLabels[] = {{"x-slow", 0.5}, {"slow", 0.75}, {"medium", 1.0}, {"fast", 1.5}, {"x-fast", 2.0}, {"default", 1.0}};
constexpr Label kPitchLabels[] = {{"x-low", 0.75}, {"low", 0.87}, {"medium", 1.0}, {"high", 1.15}, {"x-high", 1.33}, {"default", 1.0}};
constexpr Label kVolumeLabels[] = {{"silent", 0.0}, {"x-soft", 0.25}, {"soft", 0.5},   {"medium", 1.0},
                                   {"loud", 1.5},   {"x-loud", 2.0},  {"default", 1.0}};
// SSML break strengths; a boundary without one is medium.
const std::string kBreakStrengths[] = {"none", "x-weak", "weak", "medium", "strong", "x-strong"};

/// An SSML prosody value for a quantity whose current factor is `current`: a label, a
/// percentage of the current value ("+20%", "-10%", "150%"), a number of times the current
/// value for the rate, semitones for the pitch ("+2st"), decibels for the volume ("-6dB"),
/// or the old 0-100 volume scale. Hertz are not understood (the voice's own frequency is
/// not known here): nullopt, and the value stays.
template <size_t N>
std::optional<double> ProsodyValue(std::string_view text, double current, const Label (&labels)[N], char quantity) {
    text = Trimmed(text);
    if (std::optional<double> label = FindLabel(labels, Lower(text))) return label;
    bool relative = !text.empty() && (text.front() == '+' || text.front() == '-');
    std::string_view unit;
    std::optional<double> value = LeadingNumber(text, &unit);
    if (!value) return std::nullopt;
    std::string lowerUnit = Lower(unit);
    if (lowerUnit == "%") return current * (relative ? 1.0 + *value / 100.0 : *value / 100.0);
    if (quantity == 'p' && lowerUnit == "st") return current * std::pow(2.0, *value / 12.0);
    if (quantity == 'v' && lowerUnit == "db") return current * std::pow(10.0, *value / 20.0);
    if (!lowerUnit.empty()) return std::nullopt;
    if (quantity == 'r' && !relative) return current * *value;
    if (quantity == 'v') return relative ? current + *value / 100.0 : *value / 100.0;
    return std::nullopt;
}

/// The voice for a language identifier written in hexadecimal ("407"); null when it is not
/// one or has no voice.
const char* VoiceForLcidText(const std::string& hexadecimal) {
    unsigned lcid = 0;
    const char* end = hexadecimal.data() + hexadecimal.size();
    auto [stop, error] = std::from_chars(hexadecimal.data(), end, lcid, 16);
    if (hexadecimal.empty() || error != std::errc() || stop != end) return nullptr;
    return voicelanguage::VoiceForLcid(lcid);
}

/// The platform's voice selection ("Gender=Female;Language=407;Age=Child"): a language
/// identifier may be followed by alternatives ("Language=409;9"); the first one with a
/// voice counts. Names and vendors of the platform's voices mean nothing here.
void ApplyVoiceSelection(std::string_view selection, SpeakingStyle& style) {
    bool inLanguages = false;
    bool languageFound = false;
    while (!selection.empty()) {
        std::string_view entry = selection.substr(0, selection.find(';'));
        selection.remove_prefix(std::min(selection.size(), entry.size() + 1));
        size_t equals = entry.find('=');
        std::string name = Lower(Trimmed(equals == std::string_view::npos ? std::string_view() : entry.substr(0, equals)));
        std::string value = Lower(Trimmed(equals == std::string_view::npos ? entry : entry.substr(equals + 1)));
        if (equals != std::string_view::npos) inLanguages = name == "language";
        if (inLanguages && !languageFound) {
            if (const char* voice = VoiceForLcidText(value)) {
                style.voice = voice;
                languageFound = true;
            }
        } else if (name == "gender" && (value == "male" || value == "female" || value == "neutral")) {
            style.gender = value;
        } else if (name == "age") {
            const Label ages[] = {{"child", 10}, {"teen", 15}, {"adult", 30}, {"senior", 70}};
            if (std::optional<double> age = FindLabel(ages, value)) style.age = static_cast<int>(*age);
        }
    }
}

/// What an element does with the text inside it.
enum class Content { Spoken, Replaced, Hidden };

struct Frame {
    std::string tag;
    SpeakingStyle style;
    Content content = Content::Spoken;
    bool persistsWhenEmpty = false;  // the platform's empty <rate/> etc. go on to the end of the enclosing element
    bool empty = true;
    const char* boundaryAtEnd = nullptr;
};

class Reader {
public:
    std::vector<MarkupItem> items;

    void Start(const char* name, const char** attributes) {
        Frame& parent = stack.back();
        parent.empty = false;
        Frame frame;
        frame.tag = Lower(name);
        frame.style = parent.style;
        frame.content = parent.content == Content::Spoken ? Content::Spoken : Content::Hidden;
        auto attribute = [&](const char* wanted) -> const char* {
            for (const char** at = attributes; at[0] != nullptr; at += 2)
                if (Lower(at[0]) == wanted) return at[1];
            return nullptr;
        };
        if (const char* lang = attribute("xml:lang")) {
            if (const char* voice = voicelanguage::VoiceForTag(lang)) frame.style.voice = voice;
        }
        if (frame.content == Content::Spoken) Apply(frame, attribute);
        stack.push_back(std::move(frame));
    }

    void End() {
        Frame frame = std::move(stack.back());
        stack.pop_back();
        if (frame.persistsWhenEmpty && frame.empty) stack.back().style = frame.style;
        if (frame.boundaryAtEnd != nullptr) AddBreak(frame.style, frame.boundaryAtEnd);
    }

    void Text(const char* text, int length) {
        Frame& frame = stack.back();
        frame.empty = false;
        if (frame.content != Content::Spoken) return;
        if (!items.empty() && items.back().kind == MarkupItem::Kind::Words && items.back().style == frame.style) {
            items.back().text.append(text, static_cast<size_t>(length));
            return;
        }
        Add(MarkupItem::Kind::Words, frame.style, std::string(text, static_cast<size_t>(length)));
    }

private:
    template <class Attribute>
    void Apply(Frame& frame, const Attribute& attribute) {
        SpeakingStyle& style = frame.style;
        const std::string& tag = frame.tag;
        auto number = [&](const char* name) { return attribute(name) ? Number(attribute(name)) : std::nullopt; };
        auto word = [&](const char* name, const char* otherwise) {
            return attribute(name) ? Lower(Trimmed(attribute(name))) : std::string(otherwise);
        };
        if (tag == "silence") {
            if (std::optional<double> msec = number("msec"); msec && *msec >= 0)
                AddPause(static_cast<unsigned>(std::lround(std::min(*msec, 4.0e9))));
        } else if (tag == "break") {
            const char* time = attribute("time");
            std::optional<unsigned> milliseconds = time ? Milliseconds(time) : std::nullopt;
            if (milliseconds) AddPause(*milliseconds);
            else AddBreak(style, word("strength", "medium"));
        } else if (tag == "rate") {
            frame.persistsWhenEmpty = true;
            if (std::optional<double> absolute = number("absspeed")) style.rate = std::pow(kRateAtTen, *absolute / 10.0);
            if (std::optional<double> relative = number("speed")) style.rate *= std::pow(kRateAtTen, *relative / 10.0);
            style.rate = Clamp(style.rate, kMinimumRate, kMaximumRate);
        } else if (tag == "pitch") {
            frame.persistsWhenEmpty = true;
            if (std::optional<double> absolute = number("absmiddle")) style.pitch = std::pow(kPitchAtTen, *absolute / 10.0);
            if (std::optional<double> relative = number("middle")) style.pitch *= std::pow(kPitchAtTen, *relative / 10.0);
            style.pitch = Clamp(style.pitch, kMinimumPitch, kMaximumPitch);
        } else if (tag == "volume") {
            frame.persistsWhenEmpty = true;
            if (std::optional<double> level = number("level")) style.volume = Clamp(*level, 0.0, 100.0) / 100.0;
        } else if (tag == "prosody") {
            if (const char* rate = attribute("rate"))
                style.rate = Clamp(ProsodyValue(rate, style.rate, kRateLabels, 'r').value_or(style.rate), kMinimumRate, kMaximumRate);
            if (const char* pitch = attribute("pitch"))
                style.pitch = Clamp(ProsodyValue(pitch, style.pitch, kPitchLabels, 'p').value_or(style.pitch), kMinimumPitch, kMaximumPitch);
            if (const char* volume = attribute("volume"))
                style.volume = Clamp(ProsodyValue(volume, style.volume, kVolumeLabels, 'v').value_or(style.volume), 0.0, kMaximumVolume);
        } else if (tag == "emph") {
            style.emphasis = "moderate";
        } else if (tag == "emphasis") {
            std::string level = word("level", "moderate");
            if (level == "none") style.emphasis.clear();
            else if (level == "strong" || level == "moderate" || level == "reduced") style.emphasis = level;
        } else if (tag == "spell") {
            style.spell = true;
        } else if (tag == "say-as") {
            std::string kind = word("interpret-as", "");
            if (kind == "characters" || kind == "spell-out" || kind == "letters" || kind == "tts:char") style.spell = true;
        } else if (tag == "voice") {
            frame.persistsWhenEmpty = attribute("required") != nullptr || attribute("optional") != nullptr;
            if (const char* optional = attribute("optional")) ApplyVoiceSelection(optional, style);
            if (const char* required = attribute("required")) ApplyVoiceSelection(required, style);
            if (const char* gender = attribute("gender")) ApplyVoiceSelection(std::string("Gender=") + gender, style);
            if (std::optional<double> years = number("age"); years && *years > 0) style.age = static_cast<int>(*years);
        } else if (tag == "lang") {
            frame.persistsWhenEmpty = true;
            if (const char* voice = VoiceForLcidText(word("langid", ""))) style.voice = voice;
        } else if (tag == "pron") {
            std::optional<std::string> phonemes = EspeakPhonemes(attribute("sym") ? attribute("sym") : "");
            if (phonemes) {
                Add(MarkupItem::Kind::Phonemes, style, *phonemes);
                frame.content = Content::Replaced;
            }
        } else if (tag == "sub") {
            if (const char* alias = attribute("alias")) {
                Add(MarkupItem::Kind::Words, style, alias);
                frame.content = Content::Replaced;
            }
        } else if (tag == "s") {
            frame.boundaryAtEnd = "strong";
        } else if (tag == "p") {
            frame.boundaryAtEnd = "x-strong";
        } else if (tag == "desc" || tag == "meta" || tag == "metadata" || tag == "lexicon") {
            frame.content = Content::Hidden;  // about the speech, not part of it
        }
        // Everything else (bookmark, partofsp, context, mark, speak, audio, phoneme, the
        // tags this voice does not know) leaves the style as it is: its content is spoken.
    }

    void Add(MarkupItem::Kind kind, const SpeakingStyle& style, std::string text) {
        MarkupItem item;
        item.kind = kind;
        item.style = style;
        item.text = std::move(text);
        items.push_back(std::move(item));
    }

    /// Boundaries side by side (the end of a sentence and of its paragraph) are one, the
    /// strongest of them.
    void AddBreak(const SpeakingStyle& style, const std::string& strength) {
        auto rank = [](const std::string& name) {
            auto found = std::find(std::begin(kBreakStrengths), std::end(kBreakStrengths), name);
            return found != std::end(kBreakStrengths) ? found - std::begin(kBreakStrengths) : -1;
        };
        long wanted = rank(strength);
        if (wanted < 0) wanted = rank("medium");
        if (!items.empty() && items.back().kind == MarkupItem::Kind::Break) {
            if (wanted > rank(items.back().text)) items.back().text = kBreakStrengths[wanted];
            return;
        }
        Add(MarkupItem::Kind::Break, style, kBreakStrengths[wanted]);
    }

    void AddPause(unsigned milliseconds) {
        MarkupItem item;
        item.kind = MarkupItem::Kind::Pause;
        item.milliseconds = milliseconds;
        items.push_back(std::move(item));
    }

    std::vector<Frame> stack{Frame{}};
};

std::optional<std::vector<MarkupItem>> Parse(std::string_view document, bool fragment) {
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"), XML_ParserFree);
    if (!parser) return std::nullopt;
    Reader reader;
    XML_SetUserData(parser.get(), &reader);
    XML_SetElementHandler(
        parser.get(),
        [](void* data, const XML_Char* name, const XML_Char** attributes) { static_cast<Reader*>(data)->Start(name, attributes); },
        [](void* data, const XML_Char*) { static_cast<Reader*>(data)->End(); });
    XML_SetCharacterDataHandler(parser.get(), [](void* data, const XML_Char* text, int length) {
        static_cast<Reader*>(data)->Text(text, length);
    });
    auto feed = [&](std::string_view piece, bool last) {
        return XML_Parse(parser.get(), piece.data(), static_cast<int>(piece.size()), last) == XML_STATUS_OK;
    };
    const std::string open = std::string("<") + kFragmentRoot + ">";
    const std::string close = std::string("</") + kFragmentRoot + ">";
    bool parsed = fragment ? feed(open, false) && feed(document, false) && feed(close, true) : feed(document, true);
    if (!parsed) return std::nullopt;
    return std::move(reader.items);
}

}  // namespace

bool LooksLikeMarkup(std::string_view utf8) {
    size_t first = utf8.find_first_not_of(kWhiteSpace);
    return first != std::string_view::npos && utf8[first] == '<';
}

std::optional<std::vector<MarkupItem>> ReadMarkup(std::string_view utf8) {
    if (utf8.size() > static_cast<size_t>(std::numeric_limits<int>::max() / 2)) return std::nullopt;  // expat's lengths are ints
    // XML allows nothing before a declaration; the white space a sender put there is not
    // what makes the markup wrong.
    size_t first = utf8.find_first_not_of(kWhiteSpace);
    utf8.remove_prefix(first == std::string_view::npos ? utf8.size() : first);
    // A whole document first; a fragment (what the platform's own markup usually is)
    // when that is not one.
    if (auto items = Parse(utf8, false)) return items;
    return Parse(utf8, true);
}
