#include "Markup.h"

// Debian's expat is built with DTD support; its header declares the limits on entity
// expansion only when told so.
#ifndef XML_DTD
#define XML_DTD 1
#endif
#include <expat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "engine/linux/types/PhoneSet.h"
#include "ProsodyValues.h"
#include "engine/linux/types/TextHelpers.h"
#include "engine/linux/voices/VoiceLanguage.h"
#include "engine/linux/voices/VoiceSelection.h"

namespace {

constexpr const char* kFragmentRoot = "markup-fragment";

// The platform's rate scale runs from -10 (a third of the normal pace) to 10 (three
// times), its pitch scale from -10 (three quarters of the normal pitch) to 10 (four
// thirds); each step is the same factor.
constexpr double kRateAtTen = 3.0;
constexpr double kPitchAtTen = 4.0 / 3.0;

// SSML break strengths; a boundary without one is medium.
const std::string kBreakStrengths[] = {"none", "x-weak", "weak", "medium", "strong", "x-strong"};

using text::IsWhiteSpace;
using text::kWhiteSpace;
using text::Lower;
using text::Trimmed;

double Clamp(double value, double low, double high) { return std::min(std::max(value, low), high); }

bool IsNameCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == ':' || c == '-' || c == '.' ||
           (static_cast<unsigned char>(c) & 0x80) != 0;
}

/// Whether `text` (just after a '&') is the rest of an entity or character reference:
/// a name or '#' with digits, then ';'.
bool StartsReference(std::string_view text) {
    size_t at = 0;
    if (!text.empty() && text[0] == '#') {
        at = 1;
        bool hexadecimal = text.size() > 1 && (text[1] == 'x' || text[1] == 'X');
        at += hexadecimal;
        size_t digits = at;
        while (at < text.size() && (hexadecimal ? std::isxdigit(static_cast<unsigned char>(text[at]))
                                                : std::isdigit(static_cast<unsigned char>(text[at]))))
            ++at;
        return at > digits && at < text.size() && text[at] == ';';
    }
    while (at < text.size() && IsNameCharacter(text[at])) ++at;
    return at > 0 && at < text.size() && text[at] == ';';
}

/// `utf8` with each '&' that starts no reference written as "&amp;".
std::string WithBareAmpersandsEscaped(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        out += utf8[i];
        if (utf8[i] == '&' && !StartsReference(utf8.substr(i + 1))) out += "amp;";
    }
    return out;
}

/// An element's attributes, names compared without regard to case.
class Attributes {
public:
    explicit Attributes(const char** list) : list(list) {}

    /// The value of `wanted`; null when the element does not have it.
    const char* operator()(const char* wanted) const {
        for (const char** at = list; at[0] != nullptr; at += 2)
            if (Lower(at[0]) == wanted) return at[1];
        return nullptr;
    }
    std::optional<double> Number(const char* name) const {
        const char* value = (*this)(name);
        return value != nullptr ? prosody::Number(value) : std::nullopt;
    }
    /// The value as a word in lower case, `otherwise` when there is none.
    std::string Word(const char* name, const char* otherwise) const {
        const char* value = (*this)(name);
        return value != nullptr ? Lower(Trimmed(value)) : std::string(otherwise);
    }

private:
    const char** list;
};

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
    Utterance items;

    Reader(const VoiceChoice& voice, const voices::Catalogue& catalogue) : catalogue(catalogue) {
        stack.front().style.voice = voice;
    }

    void Start(const char* name, const char** attributes) {
        Frame& parent = stack.back();
        parent.empty = false;
        Frame frame;
        frame.tag = Lower(name);
        frame.style = parent.style;
        frame.content = parent.content == Content::Spoken ? Content::Spoken : Content::Hidden;
        const Attributes attribute{attributes};
        // A change of language moves to a voice that speaks it, unless the one speaking does.
        const char* lang = attribute("xml:lang");
        if (lang != nullptr && frame.tag != "voice") frame.style.voice = ChangeLanguage(lang, frame.style.voice, catalogue);
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
        if (!items.empty() && items.back().kind == UtterancePart::Kind::Words && items.back().style == frame.style) {
            items.back().text.append(text, static_cast<size_t>(length));
            return;
        }
        Add(UtterancePart::Kind::Words, frame.style, std::string(text, static_cast<size_t>(length)));
    }

private:
    /// What one tag does to the frame it opens: its style, its content, what it adds.
    struct TagRule {
        const char* tag;
        void (*apply)(Reader& reader, Frame& frame, const Attributes& attribute);
    };
    static const TagRule kTagRules[];

    void Apply(Frame& frame, const Attributes& attribute);

    static void Silence(Reader& reader, Frame&, const Attributes& attribute) {
        if (std::optional<double> msec = attribute.Number("msec"); msec && *msec >= 0)
            reader.AddPause(static_cast<unsigned>(std::lround(std::min(*msec, 4.0e9))));
    }
    static void Break(Reader& reader, Frame& frame, const Attributes& attribute) {
        const char* time = attribute("time");
        std::optional<unsigned> milliseconds = time ? prosody::Milliseconds(time) : std::nullopt;
        if (milliseconds) reader.AddPause(*milliseconds);
        else reader.AddBreak(frame.style, attribute.Word("strength", "medium"));
    }
    static void Rate(Reader&, Frame& frame, const Attributes& attribute) {
        SpeakingStyle& style = frame.style;
        frame.persistsWhenEmpty = true;
        if (std::optional<double> absolute = attribute.Number("absspeed")) style.rate = std::pow(kRateAtTen, *absolute / 10.0);
        if (std::optional<double> relative = attribute.Number("speed")) style.rate *= std::pow(kRateAtTen, *relative / 10.0);
        style.rate = Clamp(style.rate, prosody::kSlowestRate, prosody::kFastestRate);
    }
    static void Pitch(Reader&, Frame& frame, const Attributes& attribute) {
        SpeakingStyle& style = frame.style;
        frame.persistsWhenEmpty = true;
        if (std::optional<double> absolute = attribute.Number("absmiddle")) style.pitch = std::pow(kPitchAtTen, *absolute / 10.0);
        if (std::optional<double> relative = attribute.Number("middle")) style.pitch *= std::pow(kPitchAtTen, *relative / 10.0);
        style.pitch = Clamp(style.pitch, prosody::kLowestPitch, prosody::kHighestPitch);
    }
    static void Volume(Reader&, Frame& frame, const Attributes& attribute) {
        frame.persistsWhenEmpty = true;
        if (std::optional<double> level = attribute.Number("level")) frame.style.volume = Clamp(*level, 0.0, 100.0) / 100.0;
    }
    static void Prosody(Reader&, Frame& frame, const Attributes& attribute) {
        using prosody::Quantity;
        SpeakingStyle& style = frame.style;
        if (const char* rate = attribute("rate"))
            style.rate = Clamp(prosody::Factor(rate, style.rate, Quantity::Rate).value_or(style.rate),
                               prosody::kSlowestRate, prosody::kFastestRate);
        if (const char* pitch = attribute("pitch"))
            style.pitch = Clamp(prosody::Factor(pitch, style.pitch, Quantity::Pitch).value_or(style.pitch),
                                prosody::kLowestPitch, prosody::kHighestPitch);
        if (const char* volume = attribute("volume"))
            style.volume = Clamp(prosody::Factor(volume, style.volume, Quantity::Volume).value_or(style.volume), 0.0,
                                 prosody::kLoudestVolume);
    }
    static void Emph(Reader&, Frame& frame, const Attributes&) { frame.style.emphasis = "moderate"; }
    static void Emphasis(Reader&, Frame& frame, const Attributes& attribute) {
        std::string level = attribute.Word("level", "moderate");
        if (level == "none") frame.style.emphasis.clear();
        else if (level == "strong" || level == "moderate" || level == "reduced") frame.style.emphasis = level;
    }
    static void Spell(Reader&, Frame& frame, const Attributes&) { frame.style.spell = true; }
    static void SayAs(Reader&, Frame& frame, const Attributes& attribute) {
        // Its words mean what the sender says they do; the engine reads them.
        frame.style.asWritten = true;
        std::string kind = attribute.Word("interpret-as", "");
        if (kind == "characters" || kind == "spell-out" || kind == "letters" || kind == "tts:char") frame.style.spell = true;
    }
    static void VoiceTag(Reader& reader, Frame& frame, const Attributes& attribute) {
        frame.persistsWhenEmpty = attribute("required") != nullptr || attribute("optional") != nullptr;
        VoiceRequest request;
        if (const char* required = attribute("required")) request.AddPlatformAttributes(required, true);
        if (const char* optional = attribute("optional")) request.AddPlatformAttributes(optional, false);
        request.AddSsml(attribute("name"), attribute("gender"), attribute("age"));
        if (const char* lang = attribute("xml:lang")) request.RequireLanguage(lang);
        frame.style.voice = ChooseVoice(request, frame.style.voice, reader.catalogue);
    }
    static void Lang(Reader& reader, Frame& frame, const Attributes& attribute) {
        frame.persistsWhenEmpty = true;
        if (const char* tag = voicelanguage::TagForLcidText(attribute.Word("langid", "")))
            frame.style.voice = ChangeLanguage(tag, frame.style.voice, reader.catalogue);
    }
    static void Pronunciation(Reader& reader, Frame& frame, const Attributes& attribute) {
        // The platform's phone set, in its own tag or in SSML's (unless SSML names an
        // alphabet of its own); a pronunciation it cannot read leaves the words.
        std::string alphabet = attribute.Word("alphabet", "");
        const char* phones = attribute(frame.tag == "pron" ? "sym" : "ph");
        if (phones != nullptr && alphabet != "ipa" && alphabet != "x-sampa" && ReadPronunciation(phones)) {
            reader.Add(UtterancePart::Kind::Phones, frame.style, phones);
            frame.content = Content::Replaced;
        }
    }
    static void Sub(Reader& reader, Frame& frame, const Attributes& attribute) {
        if (const char* alias = attribute("alias")) {
            SpeakingStyle said = frame.style;
            said.asWritten = true;  // the alias is what is said, as it stands
            reader.Add(UtterancePart::Kind::Words, said, alias);
            frame.content = Content::Replaced;
        }
    }
    static void Sentence(Reader&, Frame& frame, const Attributes&) { frame.boundaryAtEnd = "strong"; }
    static void Paragraph(Reader&, Frame& frame, const Attributes&) { frame.boundaryAtEnd = "x-strong"; }
    static void About(Reader&, Frame& frame, const Attributes&) {
        frame.content = Content::Hidden;  // about the speech, not part of it
    }

    void Add(UtterancePart::Kind kind, const SpeakingStyle& style, std::string text) {
        UtterancePart item;
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
        if (!items.empty() && items.back().kind == UtterancePart::Kind::Break) {
            if (wanted > rank(items.back().text)) items.back().text = kBreakStrengths[wanted];
            return;
        }
        Add(UtterancePart::Kind::Break, style, kBreakStrengths[wanted]);
    }

    void AddPause(unsigned milliseconds) {
        UtterancePart item;
        item.kind = UtterancePart::Kind::Pause;
        item.milliseconds = milliseconds;
        items.push_back(std::move(item));
    }

    const voices::Catalogue& catalogue;
    std::vector<Frame> stack{Frame{}};
};

const Reader::TagRule Reader::kTagRules[] = {
    {"silence", Silence},   {"break", Break},         {"rate", Rate},         {"pitch", Pitch},
    {"volume", Volume},     {"prosody", Prosody},     {"emph", Emph},         {"emphasis", Emphasis},
    {"spell", Spell},       {"say-as", SayAs},        {"voice", VoiceTag},    {"lang", Lang},
    {"pron", Pronunciation}, {"phoneme", Pronunciation}, {"sub", Sub},        {"s", Sentence},
    {"p", Paragraph},       {"desc", About},          {"meta", About},        {"metadata", About},
    {"lexicon", About},
};

void Reader::Apply(Frame& frame, const Attributes& attribute) {
    // Tags that only annotate (bookmark, partofsp, context, mark), speak, audio and the
    // tags this voice does not know leave the style as it is: their content is spoken.
    for (const TagRule& rule : kTagRules)
        if (frame.tag == rule.tag) rule.apply(*this, frame, attribute);
}

// How many times its own size a document may come to once its entities are expanded.
constexpr float kMostEntityAmplification = 4.0f;

/// How entity references a document declares are read.
enum class Entities {
    Expanded,  // as XML says, within kMostEntityAmplification
    Unsaid,    // left out: their text is not said
};

/// The utterance `document` (or a fragment, wrapped in a root of its own) says; nothing
/// when it is no markup. `*tooLarge` is set when its entities would expand past the limit.
std::optional<Utterance> Parse(std::string_view document, bool fragment, const VoiceChoice& voice,
                               const voices::Catalogue& catalogue, Entities entities, bool* tooLarge) {
    std::unique_ptr<XML_ParserStruct, decltype(&XML_ParserFree)> parser(XML_ParserCreate("UTF-8"), XML_ParserFree);
    if (!parser) return std::nullopt;
    // Entities a document declares may not make it say more than a few times what it
    // holds: nested ones would otherwise hold the voice for minutes from one datagram.
    // (expat reads no external entity unless asked to, and this reader never asks.)
    XML_SetBillionLaughsAttackProtectionMaximumAmplification(parser.get(), kMostEntityAmplification);
    XML_SetBillionLaughsAttackProtectionActivationThreshold(parser.get(), 1);
    // With a default handler, expat passes entity references to it instead of expanding
    // them; this one drops them.
    if (entities == Entities::Unsaid) XML_SetDefaultHandler(parser.get(), [](void*, const XML_Char*, int) {});
    Reader reader(voice, catalogue);
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
    if (!parsed) {
        *tooLarge = *tooLarge || XML_GetErrorCode(parser.get()) == XML_ERROR_AMPLIFICATION_LIMIT_BREACH;
        return std::nullopt;
    }
    return std::move(reader.items);
}

}  // namespace

bool LooksLikeMarkup(std::string_view utf8) {
    size_t first = utf8.find_first_not_of(kWhiteSpace);
    return first != std::string_view::npos && utf8[first] == '<';
}

std::optional<Utterance> ReadMarkup(std::string_view utf8, const VoiceChoice& voice, const voices::Catalogue& catalogue) {
    if (utf8.size() > static_cast<size_t>(std::numeric_limits<int>::max() / 2)) return std::nullopt;  // expat's lengths are ints
    // XML allows nothing before a declaration; the white space a sender put there is not
    // what makes the markup wrong.
    size_t first = utf8.find_first_not_of(kWhiteSpace);
    utf8.remove_prefix(first == std::string_view::npos ? utf8.size() : first);
    // A whole document first; a fragment (what the platform's own markup usually is)
    // when that is not one.
    const std::string escaped = WithBareAmpersandsEscaped(utf8);
    bool tooLarge = false;
    if (auto items = Parse(escaped, false, voice, catalogue, Entities::Expanded, &tooLarge)) return items;
    // A document whose entities would make it say many times what it holds (some hundred
    // bytes can come to megabytes) says what it holds, without them: read as it stands,
    // its references alone would take minutes.
    if (tooLarge) return Parse(escaped, false, voice, catalogue, Entities::Unsaid, &tooLarge);
    return Parse(escaped, true, voice, catalogue, Entities::Expanded, &tooLarge);
}

Utterance MarkupUtterance(const std::string& utf8, const VoiceChoice& voice, const voices::Catalogue& catalogue) {
    std::optional<Utterance> read = ReadMarkup(utf8, voice, catalogue);
    if (!read) return PlainUtterance(utf8, voice);
    bool anything = false;
    for (const UtterancePart& part : *read) anything |= part.kind == UtterancePart::Kind::Pause || IsSpoken(part);
    if (!anything) read->clear();  // boundaries and blanks alone say nothing
    return std::move(*read);
}
