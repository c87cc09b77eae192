// The search box's rule.
#include "engine/entry_filter.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryFilter, NameKeysCommandOrNoteHoldTheTextLatinLettersInEitherCase) {
    HotKeyEntry e;
    e.name = "记事本";
    e.keydes = "Ctrl + Alt + N";
    e.path = "C:\\Windows\\notepad.exe";
    e.info = "随手记点东西";
    e.workdir = "C:\\Temp";
    e.args = "--profile";
    const std::pair<const char*, bool> cases[] = {
        {"", true},         {"记事", true},     {"alt + n", true}, {"NOTEPAD", true},
        {"东西", true},     {"temp", false},    {"profile", false}, // not searched
        {"记本", false},    {"本记", false},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(shown, EntryMatches(e, text)) << text;
}

} // namespace
