#pragma once
// The small text helpers of the voice's markup, prosody values and voice selection, defined
// once: white space is XML's (markup's attribute values are where their text comes from),
// and letters are folded as ASCII.
#include <string>
#include <string_view>

namespace text {

/// XML's white space.
constexpr const char* kWhiteSpace = " \t\r\n";

inline bool IsWhiteSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

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
