#include "engine/hotkey_entry.h"

#include <gtest/gtest.h>

namespace {

HotKeyEntry Sample() {
    HotKeyEntry e;
    e.name = "Notepad";
    e.path = "C:\\WINDOWS\\system32\\notepad.exe";
    e.icon = e.path;
    e.workdir = "C:\\WINDOWS\\system32";
    e.info = "line one\r\nline two";
    e.keydes = "Ctrl + Alt + N";
    e.hotkey = 0x064E;
    e.id = 12;
    e.iconint = 0;
    return e;
}

TEST(HotKeyEntry, FreshEntryIsEmptyAndNotBuiltIn) {
    HotKeyEntry e;
    EXPECT_TRUE(e.name.empty() && e.path.empty() && e.icon.empty() && e.workdir.empty() &&
                e.info.empty() && e.keydes.empty());
    EXPECT_FALSE(e.builtin);
    EXPECT_EQ(0, e.hotkey);
}

TEST(HotKeyEntry, CopyTakesAllTenFields) {
    HotKeyEntry a = Sample();
    a.builtin = true;
    HotKeyEntry b;
    b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(12, b.id);
    EXPECT_TRUE(b.builtin);
}

TEST(HotKeyEntry, EqualityIgnoresIdAndBuiltInButNotCaseOrNumbers) {
    HotKeyEntry a = Sample();
    HotKeyEntry b = a;
    b.id = 99;
    b.builtin = true;
    EXPECT_EQ(a, b);

    b = a;
    b.name = "notepad";
    EXPECT_NE(a, b);
    b = a;
    b.keydes += " ";
    EXPECT_NE(a, b);
    b = a;
    b.hotkey = 0x064F;
    EXPECT_NE(a, b);
    b = a;
    b.iconint = 1;
    EXPECT_NE(a, b);
    b = a;
    b.info = "line one\nline two";
    EXPECT_NE(a, b);
}

} // namespace
