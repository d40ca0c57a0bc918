#include "EspeakMarkup.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "EspeakText.h"
#include "engine/linux/types/PhoneSet.h"

namespace {

// espeak-ng's pitch setting (0 to 100, normal 50) moves the voice's frequency by about
// one per cent a unit: measured 0.90 times the normal at 40, 1.30 at 75, 1.70 at 100 (it
// flattens below 25, down to 0.77).
constexpr double kPitchUnitsPerNeper = 95.0;
constexpr double kNormalPitchUnits = 50.0;

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
    // A gender or age the voice does not have is one of espeak-ng's variants of it.
    const VoiceChoice& voice = style.voice;
    if (!voice.gender.empty() || voice.age != 0) {
        std::string attributes = " xml:lang=\"" + voice.voice->engineVoice + "\"";
        if (!voice.gender.empty()) attributes += " gender=\"" + voice.gender + "\"";
        if (voice.age != 0) attributes += " age=\"" + std::to_string(voice.age) + "\"";
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


}  // namespace

EspeakMarkup ToEspeakMarkup(const UtterancePart* begin, const UtterancePart* end) {
    EspeakMarkup markup;
    for (const UtterancePart* part = begin; part != end; ++part) markup.phonemes |= part->kind == UtterancePart::Kind::Phones;
    bool spokenBefore = false;
    for (const UtterancePart* part = begin; part != end; ++part) {
        switch (part->kind) {
            case UtterancePart::Kind::Words: {
                std::string escaped;
                AppendEscaped(escaped, EspeakSafeText(part->text), markup.phonemes);
                AppendStyled(markup.text, part->style, escaped);
                break;
            }
            case UtterancePart::Kind::Phones:
                if (auto words = ReadPronunciation(part->text)) AppendStyled(markup.text, part->style, EspeakPhonemes(*words));
                break;
            case UtterancePart::Kind::Break: {
                // A boundary only parts words; at either end it would just add a pause.
                bool spokenAfter = std::any_of(part + 1, end, IsSpoken);
                if (spokenBefore && spokenAfter) markup.text += "<break strength=\"" + part->text + "\"/>";
                break;
            }
            case UtterancePart::Kind::Pause: break;
        }
        spokenBefore |= IsSpoken(*part);
    }
    return markup;
}
