// The text front end's module: written text read aloud, through ICU and CLDR. It is a
// library of its own, opened the first time text is read (FrontEnd in SpokenText.h), so
// that a service that has not yet spoken does not carry ICU. Its state is one object the
// opener holds; the module keeps none of its own.
#include <unicode/translit.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SymbolNames.h"
#include "TextReader.h"

namespace text {
namespace {

/// What the module keeps between calls: the readers of the languages read last, the latest
/// first (a few hundred KiB each, so markup that goes through every language keeps only
/// these), CLDR's names, and the folding to ASCII, made when first needed.
class ModuleState {
public:
    std::string ReadAloud(std::string_view written, const std::string& language, bool asciiOnly) {
        std::lock_guard<std::mutex> guard(lock);
        auto found = std::find_if(readers.begin(), readers.end(), [&](const auto& entry) { return entry.first == language; });
        if (found == readers.end()) {
            if (readers.size() == kReadersKept) readers.pop_back();
            readers.emplace_back(language, std::make_unique<TextReader>(language, symbols));
            found = readers.end() - 1;
        }
        std::rotate(readers.begin(), found, found + 1);
        return readers.front().second->Read(written, asciiOnly, asciiOnly ? Folding() : nullptr);
    }

    std::string Folded(std::string_view text) {
        std::lock_guard<std::mutex> guard(lock);
        icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
        return Utf8(FoldedToAscii(std::move(unicode), Folding()));
    }

private:
    static constexpr size_t kReadersKept = 4;

    /// ICU's Latin-ASCII, made on first use (with the lock held); null when ICU has none.
    icu::Transliterator* Folding() {
        if (!foldingMade) {
            foldingMade = true;
            UErrorCode status = U_ZERO_ERROR;
            folding.reset(icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
            if (U_FAILURE(status)) folding.reset();
        }
        return folding.get();
    }

    std::mutex lock;
    SymbolNames symbols;
    std::vector<std::pair<std::string, std::unique_ptr<TextReader>>> readers;
    std::unique_ptr<icu::Transliterator> folding;
    bool foldingMade = false;
};

}  // namespace
}  // namespace text

// The module's entry points, opened by name: plain C, and the only symbols it shows.
extern "C" __attribute__((visibility("default"))) void* SpeechTextOpen() { return new text::ModuleState(); }

extern "C" __attribute__((visibility("default"))) void SpeechTextClose(void* state) {
    delete static_cast<text::ModuleState*>(state);
}

extern "C" __attribute__((visibility("default"))) void SpeechTextReadAloud(void* state, const char* written, size_t size,
                                                                            const char* language, int asciiOnly,
                                                                            std::string* said) {
    *said = static_cast<text::ModuleState*>(state)->ReadAloud(std::string_view(written, size), language, asciiOnly != 0);
}

extern "C" __attribute__((visibility("default"))) void SpeechTextFoldToAscii(void* state, const char* text, size_t size,
                                                                              std::string* folded) {
    *folded = static_cast<text::ModuleState*>(state)->Folded(std::string_view(text, size));
}
