#include <gtest/gtest.h>

#include <string>

#include "engine/CodePoints.h"

TEST(Utf16ToUtf8, EncodesEveryPlaneAndReplacesBrokenSurrogates) {
    struct Case {
        const char* name;
        std::u16string text;
        std::string expected;
    };
    const Case cases[] = {
        {"empty", u"", ""},
        {"ASCII", u"Hello, world", "Hello, world"},
        {"two-byte", u"caf\u00E9", "caf\xC3\xA9"},
        {"three-byte", u"\u20AC5", "\xE2\x82\xAC" "5"},
        {"surrogate pair", u"\U0001F600!", "\xF0\x9F\x98\x80!"},
        {"lone high surrogate", std::u16string{u'a', 0xD83D, u'b'}, "a\xEF\xBF\xBD" "b"},
        {"lone low surrogate", std::u16string{0xDE00, u'c'}, "\xEF\xBF\xBD" "c"},
        {"high surrogate at the end", std::u16string{u'x', 0xD800}, "x\xEF\xBF\xBD"},
        {"file name with accents", u"dir/\u00E9t\u00E9.wav", "dir/\xC3\xA9t\xC3\xA9.wav"},
        {"musical symbol", u"\U0001D11E", "\xF0\x9D\x84\x9E"},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf16ToUtf8(c.text.c_str()), c.expected) << c.name;
    EXPECT_EQ(Utf16ToUtf8(nullptr), "");
}
