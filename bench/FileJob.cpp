// One rendering job of the Speaker in a process of its own, so that the comparison
// benchmark can time it and read its peak memory the way it does for the peer tools:
//   file-job render <text file> <out.wav>  - the text spoken into a 44.1 kHz mono WAV file
//                                           (BindOutputToFile, SpeakText, FinishFileOutput)
//   file-job convert <in.wav>              - the file into its _mono.wav sibling
//                                           (ConvertFileToMono)
// Exits with status 0 when the job's output exists.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "speech/FileRendering.h"
#include "speech/Speaker.h"
#include "speech/WidenText.h"

namespace {

bool Exists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && status.st_size > 44;
}

int Render(Speaker& speaker, const std::string& textPath, const std::string& outPath) {
    std::ifstream in(textPath, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WCHAR* wideText = WidenText(text.c_str());
    WCHAR* wideOut = WidenText(outPath.c_str());
    if (wideText == nullptr || wideOut == nullptr) return 1;
    speaker.BindOutputToFile(wideOut);
    speaker.SpeakText(wideText);
    speaker.FinishFileOutput();
    std::free(wideText);
    std::free(wideOut);
    return Exists(outPath) ? 0 : 1;
}

int Convert(Speaker& speaker, const std::string& inPath) {
    std::vector<char> name(inPath.begin(), inPath.end());
    name.push_back('\0');
    ConvertFileToMono(speaker, name.data());  // cuts the name to its stem
    return Exists(std::string(name.data()) + "_mono.wav") ? 0 : 1;
}

}  // namespace

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
    return mode == "render" ? Render(speaker, argv[2], argv[3]) : Convert(speaker, argv[2]);
}
