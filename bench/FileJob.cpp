// One job of the Speaker's files in a process of its own, so that the comparison
// benchmark can time it and read its peak memory the way it does for the peer tools:
//   file-job render <text file> <out.wav>  the text spoken into a 44.1 kHz mono WAV file
//   file-job convert <in.wav>              the file into its _mono.wav sibling
// Exits with status 0 when the job succeeded.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "speech/FileRendering.h"
#include "speech/Speaker.h"
#include "speech/WidenText.h"

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "render" && argc == 4) || (mode == "convert" && argc == 3))) {
        std::fprintf(stderr, "usage: %s render <text file> <out.wav> | convert <in.wav>\n", argv[0]);
        return 2;
    }
    CoInitialize(nullptr);
    Speaker speaker;
    if (!speaker.HasVoice()) {
        std::fprintf(stderr, "no voice, hr %x\n", static_cast<unsigned>(speaker.VoiceCreationResult()));
        return 1;
    }
    if (mode == "convert") return FAILED(ConvertFileToMono(speaker, argv[2])) ? 1 : 0;
    std::ifstream in(argv[2], std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WCHAR* wideText = WidenText(text.c_str());
    WCHAR* wideOut = WidenText(argv[3]);
    if (wideText == nullptr || wideOut == nullptr) return 1;
    speaker.BindOutputToFile(wideOut);
    HRESULT spoken = speaker.SpeakText(wideText);
    HRESULT finished = speaker.FinishFileOutput();
    std::free(wideText);
    std::free(wideOut);
    return FAILED(spoken) || FAILED(finished) ? 1 : 0;
}
