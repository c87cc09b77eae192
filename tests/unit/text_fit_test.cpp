#include "platform/text_fit.h"

#include <gtest/gtest.h>

namespace {

TEST(TextFit, CutsOnlyBetweenWholeCharacters) {
    // "ab", U+1F600 (two units), "z".
    const std::u16string text = u"ab\U0001F600z";
    EXPECT_EQ(text, FitWholeChars(text, 64));
    EXPECT_EQ(text, FitWholeChars(text, text.size() + 1)) << "exactly fits";
    EXPECT_EQ(u"ab\U0001F600", FitWholeChars(text, text.size()));
    EXPECT_EQ(u"ab", FitWholeChars(text, 4)) << "not half of the pair";
    EXPECT_EQ(u"ab", FitWholeChars(text, 3));
    EXPECT_EQ(u"", FitWholeChars(text, 1)) << "room for the zero only";
    EXPECT_EQ(u"", FitWholeChars(text, 0));
}

TEST(TextFit, LongestTooltipOfTheShell) {
    // 64 units with the zero: 63 Chinese characters fit, a 64th does not.
    std::u16string tip;
    for (int i = 0; i < 70; ++i)
        tip += u"提";
    EXPECT_EQ(tip.substr(0, 63), FitWholeChars(tip, 64));
}

} // namespace
