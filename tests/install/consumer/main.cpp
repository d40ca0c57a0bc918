// A program of someone else's that renders speech through the installed library: it
// must build against the installed headers alone and make a WAV file that plays.
#include <cstdlib>

#include "speech/Speaker.h"
#include "speech/WidenText.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    CoInitialize(nullptr);
    Speaker speaker;
    if (!speaker.HasVoice()) return 1;
    WCHAR* file = WidenText(argv[1]);
    WCHAR* text = WidenText("Hello from a program that links the speech library.");
    HRESULT hr = speaker.BindOutputToFile(file);
    if (SUCCEEDED(hr)) hr = speaker.SpeakText(text);
    HRESULT finished = speaker.FinishFileOutput();
    std::free(file);
    std::free(text);
    return SUCCEEDED(hr) && SUCCEEDED(finished) ? 0 : 1;
}
