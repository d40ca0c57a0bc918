#include "EspeakText.h"

namespace {

bool IsWhiteSpace(unsigned char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }
bool StartsCharacter(unsigned char byte) { return (byte & 0xC0) != 0x80; }

}  // namespace

std::string EspeakSafeText(std::string_view utf8) {
    std::string safe;
    safe.reserve(utf8.size() + utf8.size() / kLongestRun);
    size_t run = 0;
    for (char c : utf8) {
        auto byte = static_cast<unsigned char>(c);
        if (IsWhiteSpace(byte)) {
            run = 0;
        } else {
            if (StartsCharacter(byte) && run >= kLongestRun) {
                safe += ' ';
                run = 0;
            }
            ++run;
        }
        safe += c;
    }
    return safe;
}
