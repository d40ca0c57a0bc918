#include "Utterance.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "EspeakText.h"
#include "Markup.h"

namespace {

// espeak-ng's pitch setting (0 to 100, normal 50) moves the voice's frequency by about
// one per cent a unit: measured 0.90 times the normal at 40, 1.30 at 75, 1.70 at 100 (it
// flattens below 25, down to 0.77).
constexpr double kPitchUnitsPerNeper = 95.0;
constexpr double kNormalPitchUnits = 50.0;

bool HasWords(std::string_view text) { return text.find_first_not_of(" \t\r\n") != std::string_view::npos; }

void AppendEscaped(std::string& out, std::string_view text, bool phonemeInput) {
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            case '[':
                out += c;
                // With phoneme input on, "[[" in the words would start phonemes.
                if (phonemeInput && i + 1 < text.size() && text[i + 1] == '[') out += ' ';
                break;
            default: out += c;
        }
    }
}

std::string Percent(double factor) { return std::to_string(std::lround(factor * 100.0)) + "%"; }

/// The pitch factor as espeak-ng's prosody percentage of its pitch setting.
std::string PitchPercent(double factor) {
    double units = kNormalPitchUnits + kPitchUnitsPerNeper * std::log(factor);
    units = std::fmin(std::fmax(units, 0.0), 100.0);
    return Percent(units / kNormalPitchUnits);
}

/// `content` inside the elements that give it `style`. The order matters to espeak-ng:
/// <emphasis> sets the volume outright, so <prosody> goes inside it to scale that volume.
void AppendStyled(std::string& out, const SpeakingStyle& style, const std::string& content) {
    std::string close;
    auto open = [&](const std::string& tag, const std::string& attributes) {
        out += "<" + tag + attributes + ">";
        close = "</" + tag + ">" + close;
    };
    if (style.voice != nullptr || !style.gender.empty() || style.age != 0) {
        std::string attributes;
        if (style.voice != nullptr) attributes += std::string(" xml:lang=\"") + style.voice + "\"";
        if (!style.gender.empty()) attributes += " gender=\"" + style.gender + "\"";
        if (style.age != 0) attributes += " age=\"" + std::to_string(style.age) + "\"";
        open("voice", attributes);
    }
    if (!style.emphasis.empty()) open("emphasis", " level=\"" + style.emphasis + "\"");
    std::string prosody;
    if (style.rate != 1.0) prosody += " rate=\"" + Percent(style.rate) + "\"";
    if (style.pitch != 1.0) prosody += " pitch=\"" + PitchPercent(style.pitch) + "\"";
    if (style.volume != 1.0) prosody += " volume=\"" + Percent(style.volume) + "\"";
    if (!prosody.empty()) open("prosody", prosody);
    if (style.spell) open("say-as", " interpret-as=\"characters\"");
    out += content;
    out += close;
}

bool IsSpoken(const MarkupItem& item) {
    return item.kind == MarkupItem::Kind::Phonemes || (item.kind == MarkupItem::Kind::Words && HasWords(item.text));
}

/// The items [from, to), none of them a pause, as one text for espeak-ng's SSML mode. It
/// carries no <speak> root: espeak-ng ends its </speak> with a paragraph's pause, which
/// would lengthen every silence that follows, and reads phoneme input before it wrongly.
UtterancePart SsmlText(const std::vector<MarkupItem>& items, size_t from, size_t to) {
    UtterancePart part;
    part.ssml = true;
    for (size_t i = from; i < to; ++i) part.phonemes |= items[i].kind == MarkupItem::Kind::Phonemes;
    bool spokenBefore = false;
    for (size_t i = from; i < to; ++i) {
        const MarkupItem& item = items[i];
        switch (item.kind) {
            case MarkupItem::Kind::Words: {
                std::string escaped;
                AppendEscaped(escaped, EspeakSafeText(item.text), part.phonemes);
                AppendStyled(part.text, item.style, escaped);
                break;
            }
            case MarkupItem::Kind::Phonemes: AppendStyled(part.text, item.style, item.text); break;
            case MarkupItem::Kind::Break: {
                // A boundary only parts words; at either end it would just add a pause.
                bool spokenAfter = std::any_of(items.begin() + long(i) + 1, items.begin() + long(to), IsSpoken);
                if (spokenBefore && spokenAfter) part.text += "<break strength=\"" + item.text + "\"/>";
                break;
            }
            case MarkupItem::Kind::Pause: break;
        }
        spokenBefore |= IsSpoken(item);
    }
    return part;
}

}  // namespace

Utterance PlainUtterance(std::string utf8) {
    Utterance utterance;
    if (HasWords(utf8)) utterance.push_back(UtterancePart{EspeakSafeText(utf8), false, false, 0});
    return utterance;
}

Utterance MarkupUtterance(const std::string& utf8) {
    std::optional<std::vector<MarkupItem>> items = ReadMarkup(utf8);
    if (!items) return PlainUtterance(utf8);
    Utterance utterance;
    size_t at = 0;
    while (at < items->size()) {
        if ((*items)[at].kind == MarkupItem::Kind::Pause) {
            utterance.push_back(UtterancePart{"", false, false, (*items)[at].milliseconds});
            ++at;
            continue;
        }
        size_t end = at;
        bool spoken = false;
        for (; end < items->size() && (*items)[end].kind != MarkupItem::Kind::Pause; ++end) spoken |= IsSpoken((*items)[end]);
        if (spoken) utterance.push_back(SsmlText(*items, at, end));
        at = end;
    }
    return utterance;
}
