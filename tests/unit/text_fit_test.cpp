#include "platform/text_fit.h"

#include <gtest/gtest.h>

namespace {

bool GbkLead(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

TEST(TextFit, CutsOnlyBetweenWholeCharacters) {
    // "内置" is C4 DA D6 C3; the trail byte 0x40 ("@") and 0x5C ("\") are trail bytes too.
    const std::string text = "ab\xC4\xDA\xD6\xC3\x81\x40z";
    EXPECT_EQ(text, FitWholeChars(text, 64, GbkLead));
    EXPECT_EQ(text, FitWholeChars(text, text.size() + 1, GbkLead)) << "exactly fits";
    EXPECT_EQ("ab\xC4\xDA\xD6\xC3\x81\x40", FitWholeChars(text, text.size(), GbkLead));
    EXPECT_EQ("ab\xC4\xDA\xD6\xC3", FitWholeChars(text, 8, GbkLead)) << "not half of 81 40";
    EXPECT_EQ("ab\xC4\xDA", FitWholeChars(text, 6, GbkLead));
    EXPECT_EQ("ab", FitWholeChars(text, 4, GbkLead));
    EXPECT_EQ("", FitWholeChars(text, 1, GbkLead)) << "room for the zero only";
    EXPECT_EQ("", FitWholeChars(text, 0, GbkLead));
}

TEST(TextFit, ALoneLeadByteAtTheEndIsOneCharacter) {
    const std::string text = "a\xC4";
    EXPECT_EQ(text, FitWholeChars(text, 3, GbkLead));
    EXPECT_EQ("a", FitWholeChars(text, 2, GbkLead));
}

TEST(TextFit, LongestTooltipOfTheShell) {
    // 64 bytes with the zero: 31 double-byte characters and one byte fit, a 32nd does not.
    std::string tip = "x";
    for (int i = 0; i < 40; ++i)
        tip += "\xCC\xE1";
    const std::string fitted = FitWholeChars(tip, 64, GbkLead);
    EXPECT_EQ(63u, fitted.size());
    EXPECT_EQ(tip.substr(0, 63), fitted);
    const std::string even = FitWholeChars(tip.substr(1), 64, GbkLead);
    EXPECT_EQ(62u, even.size()) << "the 32nd character would leave no room for the zero";
}

} // namespace
