// Any bytes as the text of a speak datagram, spoken by the real voice into memory: the
// text goes through WidenText and the voice's own conversion to the synthesizer, which
// must take whatever a sender writes.
#include <cstdlib>
#include <string>

#include "FuzzTarget.h"
#include "speech/MemoryOutput.h"
#include "speech/Speaker.h"
#include "speech/WidenText.h"

namespace {

Speaker* speaker = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    speaker = new Speaker();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\0'));
    WCHAR* wide = WidenText(text.c_str());
    FuzzCheck(wide != nullptr, "WidenText allocates");
    // A memory output of its own for each text: the one before is let go of with it.
    InterfaceHolder<ISpStream> memory = speaker->CreateMemoryOutput();
    speaker->SpeakText(wide);
    speaker->WaitUntilDone(INFINITE);
    std::free(wide);
    return 0;
}
