// Any bytes as written text read aloud, in one of several languages, for an engine that
// says only ASCII or for one that says everything: the patterns, ICU's formatters and
// CLDR's names must take whatever a sender writes, and leave valid UTF-8.
#include <string>

#include "FuzzTarget.h"
#include "engine/CodePoints.h"
#include "engine/linux/text/SpokenText.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const kLanguages[] = {"en-US", "de", "fr", "es", "ja", "xx", "en-GB", "pt-PT"};
    if (size == 0) return 0;
    const text::Reading reading{kLanguages[data[0] % 8], (data[0] & 0x80) != 0};
    const std::string written(reinterpret_cast<const char*>(data + 1), size - 1);
    static text::FrontEnd frontEnd;
    const std::string said = frontEnd.ReadAloud(written, reading);
    // What comes out is text again, whatever went in.
    for (size_t at = 0; at < said.size();) {
        char32_t codePoint = 0;
        size_t length = codepoints::DecodeUtf8(reinterpret_cast<const unsigned char*>(said.data()) + at, said.size() - at,
                                               &codePoint);
        FuzzCheck(length > 0, "the words read aloud are well-formed UTF-8");
        at += length;
    }
    return 0;
}
