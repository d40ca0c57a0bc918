// Speaks each line of standard input through espeak-ng with the voice named on the
// command line, writing "@@ N" to standard error before line N, so that a sanitizer
// report that follows belongs to that line. Built with the address sanitizer in its
// recovering mode by espeak-scan.py, it goes on after a report.
#include <espeak-ng/speak_lib.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

int Discard(short*, int, espeak_EVENT*) { return 0; }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: SpeakEachLine VOICE < LINES\n");
        return 2;
    }
    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 20, nullptr, espeakINITIALIZE_DONT_EXIT) <= 0) return 1;
    espeak_SetSynthCallback(Discard);
    if (espeak_SetVoiceByName(argv[1]) != EE_OK) {
        std::fprintf(stderr, "no voice %s\n", argv[1]);
        return 1;
    }
    std::string line;
    for (long n = 0; std::getline(std::cin, line); ++n) {
        std::fprintf(stderr, "@@ %ld\n", n);
        espeak_Synth(line.c_str(), line.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    }
    std::fprintf(stderr, "@@ end\n");
    return 0;
}
