#include "Synthesizer.h"

std::string Synthesizer::AsWritten(const UtterancePart& part) {
    switch (part.kind) {
        case UtterancePart::Kind::Words: {
            if (!part.style.spell) return part.text;
            std::string letters;
            for (char c : part.text) {
                if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
                if (!letters.empty() && (static_cast<unsigned char>(c) & 0xC0) != 0x80) letters += ' ';
                letters += c;
            }
            return letters;
        }
        case UtterancePart::Kind::Phones: return "[" + part.text + "]";
        case UtterancePart::Kind::Pause:
        case UtterancePart::Kind::Break: break;
    }
    return {};
}
