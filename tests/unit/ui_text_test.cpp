// The language shown, the two string tables, and what an English panel shows of entries
// whose file holds the Chinese program's markers.
#include "engine/builtin_action.h"
#include "engine/entry_filter.h"
#include "engine/shown_text.h"
#include "platform/ui_text.h"
#include "support/rc_strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

namespace {

class English : public ::testing::Test {
protected:
    void SetUp() override { tw::SetUiLanguage(tw::UiLanguage::English); }
    void TearDown() override { tw::SetUiLanguage(tw::UiLanguage::Chinese); }
};

TEST(UiLanguage, TheSettingWinsWhenItSaysZhOrEnOtherwiseTheDisplayLanguage) {
    using tw::UiLanguage;
    const struct {
        const char* setting;
        bool chineseDisplay;
        UiLanguage shown;
    } cases[] = {
        {"", true, UiLanguage::Chinese},       {"", false, UiLanguage::English},
        {"en", true, UiLanguage::English},     {"ZH", false, UiLanguage::Chinese},
        {"fr", true, UiLanguage::Chinese},     {"english", false, UiLanguage::English},
        {"zh-TW", false, UiLanguage::English},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, tw::ChooseUiLanguage(c.setting, c.chineseDisplay)) << c.setting;
}

// A translation that drops a placeholder or a list item would show the wrong thing.
TEST(UiLanguage, EveryTextIsInBothTablesWithTheSamePlaceholdersAndItems) {
    const std::regex placeholder("%[1-9]");
    auto marks = [&](const std::string& text) {
        std::multiset<std::string> found;
        for (std::sregex_iterator it(text.begin(), text.end(), placeholder), end; it != end; ++it)
            found.insert(it->str());
        found.insert(std::string(std::count(text.begin(), text.end(), '|'), '|'));
        return found;
    };
    ASSERT_GT(RcStringIds().size(), 40u);
    for (int id : RcStringIds()) {
        const std::string zh = tw::UiTextIn(id, tw::UiLanguage::Chinese);
        const std::string en = tw::UiTextIn(id, tw::UiLanguage::English);
        EXPECT_FALSE(zh.empty()) << id;
        EXPECT_FALSE(en.empty()) << id;
        EXPECT_EQ(marks(zh), marks(en)) << id << ": " << zh << " / " << en;
    }
}

TEST_F(English, ShippedActionsAndMarkersShowInEnglishAPersonsOwnTextsAsWritten) {
    HotKeyEntry action;
    action.name = "允许关机";
    action.path = kTokenAllowShutdown;
    action.info = kBuiltInNote;
    action.keydes = kNoHotKeyDescription;
    EXPECT_EQ("Allow shutdown", ShownName(action));
    EXPECT_EQ("Built-in action", ShownNote(action.info));
    EXPECT_EQ("None", ShownKeyDescription(action.keydes));
    EXPECT_TRUE(IsBuiltInNoteShown("Built-in action"));
    EXPECT_TRUE(IsBuiltInNoteShown(kBuiltInNote));
    EXPECT_TRUE(EntryMatches(action, "allow")) << "the search box finds what the row shows";
    EXPECT_TRUE(EntryMatches(action, "允许"));

    HotKeyEntry renamed = action;
    renamed.name = "我的关机";
    EXPECT_EQ("我的关机", ShownName(renamed));
    HotKeyEntry otherToken = action;
    otherToken.path = kTokenShutdown; // the shipped name of another action
    EXPECT_EQ("允许关机", ShownName(otherToken));
    HotKeyEntry program;
    program.name = "允许关机";
    program.path = "C:\\tools\\allow.exe";
    EXPECT_EQ("允许关机", ShownName(program));
    EXPECT_EQ("Power off", ShownActionName("关机", kTokenShutdown));
    EXPECT_EQ("Sleep", ShownActionName("Sleep", "$ZELO.TW.ACT~sleep$"));
}

TEST(UiLanguage, TheChineseProgramShowsEveryEntryAsItsFileHoldsIt) {
    EXPECT_EQ("关机", ShownActionName("关机", kTokenShutdown));
    EXPECT_EQ(kBuiltInNote, ShownNote(kBuiltInNote));
    EXPECT_EQ(kNoHotKeyDescription, ShownKeyDescription(kNoHotKeyDescription));
}

} // namespace
