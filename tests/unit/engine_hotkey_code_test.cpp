#include "engine/hotkey_code.h"
#include "engine/sys_util.h"
#include "tests/support/fake_system.h"

#include <gtest/gtest.h>

namespace {

const int kShift = tw::kHotKeyfShift, kCtrl = tw::kHotKeyfControl, kAlt = tw::kHotKeyfAlt,
          kExt = tw::kHotKeyfExt;

TEST(HotKeyCode, ModifiersMapFlagByFlagAndIgnoreTheExtendedFlag) {
    EXPECT_EQ(0u, HotKeyModifiers(MakeHotKeyCode('N', 0)));
    EXPECT_EQ(tw::kModShift, HotKeyModifiers(MakeHotKeyCode('N', kShift)));
    EXPECT_EQ(tw::kModControl, HotKeyModifiers(MakeHotKeyCode('N', kCtrl)));
    EXPECT_EQ(tw::kModAlt, HotKeyModifiers(MakeHotKeyCode('N', kAlt)));
    EXPECT_EQ(tw::kModControl | tw::kModAlt, HotKeyModifiers(kSwitchHotKeyCode));
    EXPECT_EQ(tw::kModShift | tw::kModControl | tw::kModAlt,
              HotKeyModifiers(MakeHotKeyCode('N', kShift | kCtrl | kAlt | kExt)));
    // Bits above the four flags mean nothing.
    EXPECT_EQ(tw::kModAlt, HotKeyModifiers(0xF400 | 'N'));
    EXPECT_EQ(0x24u, HotKeyVirtualKey(kSwitchHotKeyCode));
    EXPECT_EQ(0x0E24, MakeHotKeyCode(tw::kVkHome, kCtrl | kAlt | kExt));
}

TEST(KeyDescription, NamesCtrlShiftAltThenTheKey) {
    FakeSystem sys;
    EXPECT_EQ("Ctrl + Alt + Home", KeyDescription(sys, kSwitchHotKeyCode));
    EXPECT_EQ("Ctrl + Shift + Alt + N",
              KeyDescription(sys, MakeHotKeyCode('N', kAlt | kShift | kCtrl)));
    EXPECT_EQ("Shift + F5", KeyDescription(sys, MakeHotKeyCode(0x74, kShift)));
    EXPECT_EQ("Q", KeyDescription(sys, MakeHotKeyCode('Q', 0)));
    EXPECT_EQ("", KeyDescription(sys, 0));
}

TEST(KeyDescription, ExtendedFlagAppliesToTheKeyOnly) {
    FakeSystem sys;
    EXPECT_EQ("Ctrl + Num 7", KeyDescription(sys, MakeHotKeyCode(tw::kVkHome, kCtrl)));
    sys.ClearLog();
    EXPECT_EQ("Ctrl + Home", KeyDescription(sys, MakeHotKeyCode(tw::kVkHome, kCtrl | kExt)));
    EXPECT_EQ((std::vector<std::string>{"KeyName vk=0x11", "KeyName vk=0x24 ext"}), sys.calls);
}

TEST(HotKeyCode, TheWinBoxAddsModWinAndLeadsTheDescription) {
    const int plain = MakeHotKeyCode('N', kCtrl | kAlt);
    const int win = WithWinKey(plain, true);
    EXPECT_NE(plain, win) << "never the same combination as without Win";
    EXPECT_EQ(plain, WithWinKey(plain, false));
    EXPECT_EQ(0, WithWinKey(0, true)) << "Win alone is no combination";
    EXPECT_EQ(tw::kModWin | tw::kModControl | tw::kModAlt, HotKeyModifiers(win));
    EXPECT_EQ(unsigned('N'), HotKeyVirtualKey(win));
    FakeSystem sys;
    EXPECT_EQ("Win + Ctrl + Alt + N", KeyDescription(sys, win));
    EXPECT_EQ("Win + E", KeyDescription(sys, WithWinKey('E', true)));
    CSysUtil(sys).RegHotKey(nullptr, win, 10);
    ASSERT_EQ(1u, sys.registered.size());
    EXPECT_EQ(tw::kModWin | tw::kModControl | tw::kModAlt, sys.registered[0].modifiers);
}

TEST(RegHotKey, RegistersConvertedCodeAndReportsEachRefusalOnce) {
    FakeSystem sys;
    tw::WindowRef panel = sys.MakeWindow("panel");
    CSysUtil util(sys);
    const int code = MakeHotKeyCode('N', kCtrl | kAlt | kExt);

    EXPECT_TRUE(util.RegHotKey(panel, code, 10));
    EXPECT_FALSE(util.RegHotKey(panel, code, 11));
    EXPECT_FALSE(util.RegHotKey(panel, code, 12));

    EXPECT_EQ((std::vector<std::string>{"RegisterHotKey panel id=10 mod=3 vk=0x4E -> ok",
                                        "RegisterHotKey panel id=11 mod=3 vk=0x4E -> refused",
                                        "RegisterHotKey panel id=12 mod=3 vk=0x4E -> refused"}),
              sys.CallsStartingWith("RegisterHotKey"));
    ASSERT_EQ(2u, sys.messageBoxes.size());
    for (const FakeSystem::MessageBoxCall& box : sys.messageBoxes) {
        EXPECT_EQ(panel, box.owner); // the panel takes no input while it is open
        EXPECT_EQ("注册系统热键失败，请选择其他热键！", box.text);
        EXPECT_EQ("失败", box.caption);
        EXPECT_EQ(tw::kMbIconInformation, box.flags);
    }
}

TEST(RegHotKey, CombinationHeldByAnotherProgramIsRefused) {
    FakeSystem sys;
    sys.takenByOthers.insert({tw::kModControl | tw::kModAlt, tw::kVkHome});
    CSysUtil util(sys);
    EXPECT_FALSE(util.RegHotKey(nullptr, kSwitchHotKeyCode, 0));
    EXPECT_TRUE(util.RegHotKey(nullptr, kPanelHotKeyCode, 1));
    EXPECT_EQ(1u, sys.messageBoxes.size());
}

// A program in a system folder, which alone may be started for every user.
const std::string kSystemProgram = "\"C:\\Program Files\\T\\Tarnwick.exe\" C:\\Program Files\\T";

TEST(WriteRegString, ReportsWhichStepFailedWithAWarningAndNoOwner) {
    FakeSystem sys;
    CSysUtil util(sys);
    EXPECT_TRUE(
        util.WriteRegString(tw::RegRoot::LocalMachine, "Software\\Run\\", "v", kSystemProgram));
    EXPECT_EQ(kSystemProgram, sys.registry["HKLM\\Software\\Run\\|v"]);
    EXPECT_TRUE(sys.messageBoxes.empty());
    sys.registry.clear();

    sys.regResult = tw::RegWriteResult::CannotCreateKey;
    EXPECT_FALSE(util.WriteRegString(tw::RegRoot::CurrentUser, "Software\\Run\\", "v", "y"));
    sys.regResult = tw::RegWriteResult::CannotSetValue;
    EXPECT_FALSE(util.WriteRegString(tw::RegRoot::LocalMachine, "Software\\Run\\", "v", "y"));

    ASSERT_EQ(2u, sys.messageBoxes.size());
    EXPECT_EQ("建立注册表项失败！", sys.messageBoxes[0].text);
    EXPECT_EQ("写入注册表值失败！", sys.messageBoxes[1].text);
    for (const FakeSystem::MessageBoxCall& box : sys.messageBoxes) {
        EXPECT_EQ(nullptr, box.owner);
        EXPECT_EQ("failed", box.caption);
        EXPECT_EQ(tw::kMbIconWarning, box.flags);
    }
}

// Under UAC the machine-wide Run key refuses every program that is not elevated.
TEST(WriteRegString, AMachineWideValueRefusedIsKeptForTheUserWithoutAWord) {
    const std::string machine = "HKLM\\Run\\|v", user = "HKCU\\Run\\|v";
    FakeSystem sys;
    sys.regResultFor[tw::RegRoot::LocalMachine] = tw::RegWriteResult::CannotCreateKey;
    CSysUtil util(sys);
    EXPECT_TRUE(util.WriteRegString(tw::RegRoot::LocalMachine, "Run\\", "v", kSystemProgram));
    EXPECT_EQ(kSystemProgram, sys.registry[user]);
    EXPECT_TRUE(util.WriteRegString(tw::RegRoot::LocalMachine, "Run\\", "v", ""));
    EXPECT_EQ("", sys.registry[user]);
    EXPECT_EQ(0u, sys.registry.count(machine));
    EXPECT_TRUE(sys.messageBoxes.empty());

    sys.regResultFor[tw::RegRoot::CurrentUser] = tw::RegWriteResult::CannotSetValue;
    EXPECT_FALSE(util.WriteRegString(tw::RegRoot::LocalMachine, "Run\\", "v", kSystemProgram));
    ASSERT_EQ(1u, sys.messageBoxes.size());
    EXPECT_EQ("写入注册表值失败！", sys.messageBoxes[0].text) << "the user's refusal";
}

// The value lives in one place, and switching off empties it wherever it is, creating none.
TEST(WriteRegString, OneValueOnlyAndSwitchingOffEmptiesItWhereverItIs) {
    const std::string machine = "HKLM\\Run\\|v", user = "HKCU\\Run\\|v";
    FakeSystem sys;
    CSysUtil util(sys);
    sys.registry[user] = "old";
    EXPECT_TRUE(util.WriteRegString(tw::RegRoot::LocalMachine, "Run\\", "v", kSystemProgram));
    EXPECT_EQ(kSystemProgram, sys.registry[machine]);
    EXPECT_EQ("", sys.registry[user]) << "no second start at log-on";

    sys.registry.erase(user);
    sys.regResultFor[tw::RegRoot::LocalMachine] = tw::RegWriteResult::CannotSetValue;
    EXPECT_FALSE(util.WriteRegString(tw::RegRoot::LocalMachine, "Run\\", "v", ""))
        << "the machine's value still starts the program";
    EXPECT_EQ(0u, sys.registry.count(user));
    sys.registry.erase(machine);
    EXPECT_TRUE(util.WriteRegString(tw::RegRoot::LocalMachine, "Run\\", "v", ""));
    EXPECT_EQ(0u, sys.registry.count(user));
    ASSERT_EQ(1u, sys.messageBoxes.size());
    EXPECT_EQ(CSysUtil::MachineValueHeldText(), sys.messageBoxes[0].text);
}

} // namespace
