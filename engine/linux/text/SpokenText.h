#pragma once
// The front end between what senders write and what the engines are given: written text
// as a person reads it aloud, in the language of the voice that says it.
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

namespace text {

/// Who will say the words: the voice's language, and whether its engine says only ASCII
/// letters (flite drops any other, so "café" would lose its "é").
struct Reading {
    std::string language;  // BCP 47: "en-US", "de"
    bool asciiOnly = false;
};

/// The text front end, in a module of its own (libspeech-service-text) opened the first
/// time text is read: ICU, which it needs, costs some 2.5 MB of resident memory as soon as
/// it is loaded, and a service that has not spoken yet should not carry it. The module's
/// state (its readers of the languages read last, CLDR's names) lives in this object.
/// Without the module, text is spoken as it is written, and that is said once. Calls may
/// come from any thread.
class FrontEnd {
public:
    FrontEnd() = default;
    ~FrontEnd();
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    /// `written` as a person reads it aloud in `reading.language`: numbers, ordinals,
    /// years, fractions, ranges; money, percentages and measures with their units' names
    /// and plurals (ICU and CLDR); dates and clock times; URLs, e-mail addresses, file
    /// names, paths and identifiers by their parts ("example dot com"); common
    /// abbreviations; symbols and emoji by CLDR's spoken names ("party popper"). For an
    /// ASCII-only engine, Latin letters are folded ("cafe") and symbols CLDR does not name
    /// are given Unicode's names. What it cannot place is passed on as it is, never dropped.
    std::string ReadAloud(std::string_view written, const Reading& reading);

    /// `text` with its Latin letters folded to ASCII ("Zoë": "Zoe", "ß": "ss") and its
    /// punctuation to ASCII's, by ICU's Latin-ASCII transliterator: for an engine that
    /// says nothing else. Other scripts are left as they are: transliterating them would
    /// take ICU's tables of every script (megabytes) for a voice that speaks English only.
    std::string FoldedToAscii(std::string_view text);

    /// The module's entry points, opened by name: plain C.
    using OpenFunction = void* (*)();
    using CloseFunction = void (*)(void* state);
    using ReadFunction = void (*)(void* state, const char* written, size_t size, const char* language, int asciiOnly,
                                  std::string* said);
    using FoldFunction = void (*)(void* state, const char* text, size_t size, std::string* folded);

private:
    /// Opens the module, once: from the build that made this program, else where it is
    /// installed. False when it could not be.
    bool Opened();

    std::once_flag opening;
    void* library = nullptr;  // kept open for the life of the process: `state` is the module's
    void* state = nullptr;
    CloseFunction close = nullptr;
    ReadFunction read = nullptr;
    FoldFunction fold = nullptr;
};

}  // namespace text
