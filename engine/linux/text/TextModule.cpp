// The front end's side in the engine: the module opened on first use, its state kept here.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "SpokenText.h"

namespace text {

FrontEnd::~FrontEnd() {
    // The library stays loaded: ICU's own caches are process-wide, and unloading it would
    // gain nothing at the end of a process.
    if (close != nullptr) close(state);
}

bool FrontEnd::Opened() {
    std::call_once(opening, [this] {
        const char* error = "";
        for (const char* path : {SPEECH_TEXT_MODULE_BUILT, SPEECH_TEXT_MODULE_INSTALLED}) {
            void* opened = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);
            if (opened == nullptr) {
                error = ::dlerror();
                continue;
            }
            auto open = reinterpret_cast<OpenFunction>(::dlsym(opened, "SpeechTextOpen"));
            auto closing = reinterpret_cast<CloseFunction>(::dlsym(opened, "SpeechTextClose"));
            auto reading = reinterpret_cast<ReadFunction>(::dlsym(opened, "SpeechTextReadAloud"));
            auto folding = reinterpret_cast<FoldFunction>(::dlsym(opened, "SpeechTextFoldToAscii"));
            if (open == nullptr || closing == nullptr || reading == nullptr || folding == nullptr) continue;
            library = opened;
            state = open();
            close = closing, read = reading, fold = folding;
            return;
        }
        std::fprintf(stderr, "can not open the text reader, text is read as it is written: %s\n", error);
    });
    return read != nullptr;
}

std::string FrontEnd::ReadAloud(std::string_view written, const Reading& reading) {
    if (!Opened()) return std::string(written);
    std::string said;
    read(state, written.data(), written.size(), reading.language.c_str(), reading.asciiOnly ? 1 : 0, &said);
    return said;
}

std::string FrontEnd::FoldedToAscii(std::string_view text) {
    if (!Opened()) return std::string(text);
    std::string folded;
    fold(state, text.data(), text.size(), &folded);
    return folded;
}

}  // namespace text
