// WidenText on any 8-bit text: never more units than bytes, no zero unit inside, and
// well-formed UTF-8 comes back unchanged through the engine's UTF-16 to UTF-8.
#include <cstdlib>
#include <string>

#include "FuzzTarget.h"
#include "engine/CodePoints.h"
#include "speech/WidenText.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\0'));
    WCHAR* wide = WidenText(text.c_str());
    FuzzCheck(wide != nullptr, "WidenText allocates");
    size_t units = 0;
    while (wide[units] != 0) ++units;
    FuzzCheck(units <= text.size(), "no more units than bytes");

    bool wellFormed = true;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t at = 0; at < text.size() && wellFormed;) {
        char32_t codePoint = 0;
        size_t length = codepoints::DecodeUtf8(bytes + at, text.size() - at, &codePoint);
        wellFormed = length > 0;
        at += length;
    }
    if (wellFormed) FuzzCheck(Utf16ToUtf8(wide) == text, "well-formed UTF-8 survives the trip through UTF-16");
    std::free(wide);
    return 0;
}
