#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "speech/WidenText.h"

namespace {

using Units = std::basic_string<WCHAR>;

Units Widen(const std::string& bytes) {
    WCHAR* wide = WidenText(bytes.c_str());
    EXPECT_NE(wide, nullptr);
    if (wide == nullptr) return Units();
    Units result(wide);
    std::free(wide);
    return result;
}

struct WidenCase {
    const char* name;
    std::string input;
    Units expected;
};

// Printed by name: the raw bytes would make poor (and, under valgrind, noisy) test names.
void PrintTo(const WidenCase& c, std::ostream* out) { *out << c.name; }

class WidenTextTest : public ::testing::TestWithParam<WidenCase> {};

TEST_P(WidenTextTest, ConvertsToTheExpectedUnits) {
    const WidenCase& c = GetParam();
    Units units = Widen(c.input);
    EXPECT_EQ(units, c.expected);
    EXPECT_LE(units.size(), c.input.size()) << "the 2n + 2-byte block must always suffice";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WidenTextTest,
    ::testing::Values(
        WidenCase{"Empty", "", Units()},
        WidenCase{"Ascii", "Hello, world!", Units{'H', 'e', 'l', 'l', 'o', ',', ' ', 'w', 'o', 'r', 'l', 'd', '!'}},
        WidenCase{"AsciiControlAndDelete", "\x01\t\x7F", Units{0x01, 0x09, 0x7F}},
        WidenCase{"TwoByteUtf8", "caf\xC3\xA9", Units{'c', 'a', 'f', 0x00E9}},
        WidenCase{"ThreeByteUtf8", "\xE2\x82\xAC" "5", Units{0x20AC, '5'}},
        WidenCase{"FourByteUtf8IsASurrogatePair", "\xF0\x9F\x98\x80", Units{0xD83D, 0xDE00}},
        WidenCase{"HighestCodePoint", "\xF4\x8F\xBF\xBF", Units{0xDBFF, 0xDFFF}},
        WidenCase{"LoneLatin1Byte", "caf\xE9", Units{'c', 'a', 'f', 0x00E9}},
        WidenCase{"Latin1Sentence", "\xC0 bient\xF4t", Units{0x00C0, ' ', 'b', 'i', 'e', 'n', 't', 0x00F4, 't'}},
        WidenCase{"TruncatedSequenceAtEnd", "a\xE2\x82", Units{'a', 0x00E2, 0x0082}},
        WidenCase{"TruncatedSequenceBeforeAscii", "\xC3x", Units{0x00C3, 'x'}},
        WidenCase{"LoneContinuationByte", "\x80z", Units{0x0080, 'z'}},
        WidenCase{"OverlongEncodingIsNotDecoded", "\xC0\xAF", Units{0x00C0, 0x00AF}},
        WidenCase{"EncodedSurrogateIsNotDecoded", "\xED\xA0\x80", Units{0x00ED, 0x00A0, 0x0080}},
        WidenCase{"AboveUnicodeRangeIsNotDecoded", "\xF4\x90\x80\x80", Units{0x00F4, 0x0090, 0x0080, 0x0080}},
        WidenCase{"ByteFF", "\xFF", Units{0x00FF}}),
    [](const ::testing::TestParamInfo<WidenCase>& info) { return info.param.name; });

TEST(WidenTextBlock, EmptyTextGivesASingleZeroUnit) {
    WCHAR* wide = WidenText("");
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide[0], 0);
    std::free(wide);
}

}  // namespace
