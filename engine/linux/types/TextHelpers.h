#pragma once
// The small text helpers of the voice's markup, prosody values, voice selection and the
// reading of written text, defined once: white space is XML's (markup's attribute values
// are where their text comes from), letters are folded as ASCII, digits are ASCII's.
#include <string>
#include <string_view>

namespace text {

/// XML's white space.
constexpr const char* kWhiteSpace = " \t\r\n";

inline bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

/// An ASCII digit, 0 to 9, in a UTF-16 text: what numbers are written with.
inline bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

/// `text` with ASCII letters in lower case; other bytes as they are.
inline std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

/// `text` without the white space at either end.
inline std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace text
