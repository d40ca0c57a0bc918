#include "SampleTexts.h"

namespace {

std::string Repeat(const std::string& piece, size_t bytes) {
    std::string text;
    while (text.size() + piece.size() <= bytes) text += piece;
    return text;
}

// The passage's pieces over and over, each up to and with the next `separator`: at most
// `count` of them and `bytes` bytes, less the last blank.
std::string RepeatPieces(const std::string& separator, size_t count, size_t bytes) {
    const std::string passage = std::string(ProsePassage()) + " ";
    std::string text;
    for (size_t piece = 0, start = 0; piece < count; ++piece, start %= passage.size()) {
        size_t end = passage.find(separator, start) + separator.size();
        if (text.size() + end - start > bytes) break;
        text.append(passage, start, end - start);
        start = end;
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

constexpr size_t kUnlimited = static_cast<size_t>(-1);

}  // namespace

std::string AsciiText(size_t bytes) {
    return Repeat("The quick brown fox jumps over the lazy dog, 0123456789. ", bytes);
}

std::string Utf8Text(size_t bytes) {
    // e-acute and u-umlaut (2 bytes), the euro sign and a CJK ideograph (3), an emoji (4).
    return Repeat("Caf\xC3\xA9 m\xC3\xBC" "de, 5 \xE2\x82\xAC, \xE4\xB8\xAD\xE6\x96\x87, \xF0\x9F\x99\x82. ", bytes);
}

std::string Latin1Text(size_t bytes) {
    return Repeat("Caf\xE9 m\xFC" "de, \xE0 la cr\xE8me br\xFBl\xE9" "e, \xA3" "5. ", bytes);
}

const char* ProsePassage() {
    return "The harbour was quiet in the early morning, and the fishing boats rocked gently against "
           "the wooden pier while the gulls circled overhead. Anna walked along the water with a cup "
           "of coffee in her hand, counting the masts as she had done every day since she was a child. "
           "Her grandfather had taught her the names of the boats, and she still remembered most of "
           "them, although many had been sold or broken up long ago. A light wind came in from the "
           "sea, carrying the smell of salt and diesel, and somewhere behind the warehouses a radio was "
           "playing an old song she almost recognised. At the end of the pier an old man was mending a "
           "net, his fingers moving quickly through the knots without his eyes ever leaving the "
           "horizon. She greeted him, and he nodded without a word, as he always did. The ferry would "
           "arrive at nine, bringing the post, the newspapers and perhaps a few visitors who had lost "
           "their way. Anna finished her coffee, looked once more at the grey water, and turned back "
           "towards the town, where the bakery had just opened its doors and the first customers were "
           "already waiting in a patient, sleepy line along the narrow street.";
}

std::string ProseWords(size_t words) { return RepeatPieces(" ", words, kUnlimited); }

std::string ProseText(size_t bytes) { return RepeatPieces(" ", kUnlimited, bytes); }

std::string ProseSentences(size_t count) { return RepeatPieces(". ", count, kUnlimited); }
