#include <gtest/gtest.h>

#include <string>

#include "engine/linux/Utf8Path.h"

namespace {

TEST(Utf8Path, SixteenBitNamesBecomeUtf8) {
    struct Case {
        std::u16string name;
        std::string expected;
    };
    const Case cases[] = {
        {u"", ""},
        {u"take.wav", "take.wav"},
        {u"dir/\u00E9t\u00E9.wav", "dir/\xC3\xA9t\xC3\xA9.wav"},
        {u"\u20AC", "\xE2\x82\xAC"},
        {u"\U0001D11E", "\xF0\x9D\x84\x9E"},                    // a surrogate pair is one code point
        {std::u16string(1, char16_t(0xD834)) + u"x", "\xEF\xBF\xBDx"},  // a lone high surrogate
        {u"x" + std::u16string(1, char16_t(0xDD1E)), "x\xEF\xBF\xBD"},  // a lone low surrogate
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, Utf8PathFromUtf16(c.name.c_str()));
    EXPECT_EQ("", Utf8PathFromUtf16(nullptr));
}

}  // namespace
