// ReadAloud and FoldedToAscii through the text front end's module, opened on first use:
// ICU, which it needs, costs some 2.5 MB of resident memory as soon as it is loaded, and
// a service that has not spoken yet should not carry it.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "SpokenText.h"

namespace text {
namespace {

using ReadFunction = void (*)(const char* written, size_t size, const char* language, int asciiOnly, std::string* said);
using FoldFunction = void (*)(const char* text, size_t size, std::string* folded);

struct Module {
    ReadFunction read = nullptr;
    FoldFunction fold = nullptr;
};

/// The module, opened once: from the build that made this program, else where it is
/// installed. Without it, text is spoken as it is written, and that is said once.
const Module& Opened() {
    static const Module module = [] {
        Module opened;
        const char* error = "";
        for (const char* path : {SPEECH_TEXT_MODULE_BUILT, SPEECH_TEXT_MODULE_INSTALLED}) {
            void* library = ::dlopen(path, RTLD_NOW | RTLD_LOCAL);  // kept open for the life of the process
            if (library == nullptr) {
                error = ::dlerror();
                continue;
            }
            opened.read = reinterpret_cast<ReadFunction>(::dlsym(library, "SpeechTextReadAloud"));
            opened.fold = reinterpret_cast<FoldFunction>(::dlsym(library, "SpeechTextFoldToAscii"));
            if (opened.read != nullptr && opened.fold != nullptr) return opened;
            opened = Module();
        }
        std::fprintf(stderr, "can not open the text reader, text is read as it is written: %s\n", error);
        return opened;
    }();
    return module;
}

}  // namespace

std::string ReadAloud(std::string_view written, const Reading& reading) {
    const Module& module = Opened();
    if (module.read == nullptr) return std::string(written);
    std::string said;
    module.read(written.data(), written.size(), reading.language.c_str(), reading.asciiOnly ? 1 : 0, &said);
    return said;
}

std::string FoldedToAscii(std::string_view text) {
    const Module& module = Opened();
    if (module.fold == nullptr) return std::string(text);
    std::string folded;
    module.fold(text.data(), text.size(), &folded);
    return folded;
}

}  // namespace text
