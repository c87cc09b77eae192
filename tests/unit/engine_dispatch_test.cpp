// Hotkey messages, the switch and the panel's visibility.
#include "engine/builtin_action.h"
#include "tests/support/engine_fixture.h"

namespace {

const unsigned kWmKeyDown = 0x0100;

using HotKeyDispatch = EngineTest;
using HotKeySwitch = EngineTest;
using PanelVisibility = EngineTest;

TEST_F(HotKeyDispatch, FirstEntryWithTheIdIsOpenedInItsWorkingDirectory) {
    engine.m_entries.push_back(Program("one", CtrlAlt('A'), "C:\\one.exe", ""));
    engine.m_entries.push_back(Program("two", CtrlAlt('A'), "C:\\two.exe", "D:\\"));
    engine.m_entries.back().id = 10; // the same id as the first: only the first starts
    engine.m_entries.front().id = 10;

    engine.PreTranslateHotKey(tw::kWmHotKey, 10);
    EXPECT_EQ((std::vector<std::string>{"AllowLaunchedForeground",
                                        "ShellLaunch \"C:\\one.exe\" \"\" in \"\" -> 0"}),
              sys.calls);
}

TEST_F(HotKeyDispatch, OtherMessagesAndUnknownIdsDoNothing) {
    engine.AppendEntry(Program("a", CtrlAlt('A')));
    sys.ClearLog();
    engine.PreTranslateHotKey(kWmKeyDown, 10);
    engine.PreTranslateHotKey(tw::kWmHotKey, 11);
    engine.PreTranslateHotKey(tw::kWmHotKey, 5);
    EXPECT_TRUE(sys.calls.empty());
}

TEST_F(HotKeyDispatch, BuiltInFlagNotTheNoteDecidesAndTheSwitchIsNotConsulted) {
    HotKeyEntry builtin = Program("forbid", CtrlAlt('F'), kTokenForbidShutdown, "_");
    builtin.info = kBuiltInNote;
    builtin.builtin = true;
    HotKeyEntry noted = builtin; // note typed by hand, not loaded yet: still a program
    noted.builtin = false;
    noted.hotkey = CtrlAlt('G');
    engine.AppendEntry(builtin);
    engine.AppendEntry(noted);
    engine.OnDisableHotKeys();
    sys.ClearLog();

    engine.PreTranslateHotKey(tw::kWmHotKey, 10);
    EXPECT_EQ(0, allowShutdown);
    EXPECT_TRUE(sys.calls.empty());

    engine.PreTranslateHotKey(tw::kWmHotKey, 11);
    EXPECT_EQ((std::vector<std::string>{
                  "AllowLaunchedForeground",
                  "ShellLaunch \"$ZELO.TW.ACT~forbid_shutdown$\" \"\" in \"_\" -> 0"}),
              sys.calls);
}

TEST_F(HotKeySwitch, FixedHotkeysAreCtrlAltHomeAndEndAndSurviveSwitchingOff) {
    engine.RegisterFixedHotKeys();
    engine.AppendEntry(Program("a", CtrlAlt('A')));
    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_EQ((std::vector<std::string>{"RegisterHotKey panel id=0 mod=3 vk=0x24 -> ok",
                                        "RegisterHotKey panel id=1 mod=3 vk=0x23 -> ok",
                                        "RegisterHotKey panel id=10 mod=3 vk=0x41 -> ok"}),
              sys.CallsStartingWith("RegisterHotKey"));
    EXPECT_EQ((std::vector<int>{0, 1}), RegisteredIds());
}

TEST_F(HotKeySwitch, SecondCopyGetsOneMessagePerFixedHotkey) {
    sys.takenByOthers = {{tw::kModControl | tw::kModAlt, tw::kVkHome},
                         {tw::kModControl | tw::kModAlt, tw::kVkEnd}};
    EXPECT_TRUE(engine.RegisterFixedHotKeys());
    EXPECT_EQ(2u, sys.messageBoxes.size());
}

TEST_F(HotKeySwitch, CtrlAltHomeTwiceSwitchesOffThenRenumbersAndRegistersAgain) {
    engine.m_entries.push_back(Program("a", CtrlAlt('A')));
    engine.m_entries.push_back(Program("b", CtrlAlt('B')));
    engine.m_entries.push_back(Program("c", CtrlAlt('C')));
    engine.EnableAllHotKeys();
    engine.RemoveEntry("a", Program("a", CtrlAlt('A')).keydes);

    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_FALSE(engine.m_bHotKeysOn);
    EXPECT_TRUE(sys.registered.empty());
    EXPECT_FALSE(sys.IsEnabled(offButton));
    EXPECT_TRUE(sys.IsEnabled(onButton));

    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_TRUE(engine.m_bHotKeysOn);
    EXPECT_EQ((std::vector<int>{10, 11}), Ids());
    EXPECT_EQ((std::vector<int>{10, 11}), RegisteredIds());
    EXPECT_TRUE(sys.IsEnabled(offButton));
    EXPECT_FALSE(sys.IsEnabled(onButton));
    EXPECT_TRUE(sys.messageBoxes.empty());
}

TEST_F(HotKeySwitch, ButtonsAreBothEnabledUntilTheFirstSwitchThenExactlyOne) {
    EXPECT_TRUE(sys.IsEnabled(offButton) && sys.IsEnabled(onButton));
    engine.OnDisableHotKeys();
    EXPECT_EQ((std::vector<std::string>{"EnableWindow off off", "EnableWindow on on"}),
              sys.CallsStartingWith("EnableWindow"));
    engine.OnEnableHotKeys();
    EXPECT_TRUE(sys.IsEnabled(offButton));
    EXPECT_FALSE(sys.IsEnabled(onButton));
}

TEST_F(HotKeySwitch, SwitchingOnWhileOnReleasesEveryCombinationAndTakesItAgainUnrefused) {
    engine.m_entries.push_back(Program("a", CtrlAlt('A')));
    engine.m_entries.push_back(Program("none", 0));
    engine.m_entries.push_back(Program("b", CtrlAlt('B')));
    engine.OnEnableHotKeys();
    sys.ClearLog();
    engine.OnEnableHotKeys();
    EXPECT_TRUE(sys.messageBoxes.empty());
    EXPECT_EQ((std::vector<std::string>{"UnregisterHotKey panel id=10 -> ok",
                                        "UnregisterHotKey panel id=12 -> ok",
                                        "RegisterHotKey panel id=10 mod=3 vk=0x41 -> ok",
                                        "RegisterHotKey panel id=12 mod=3 vk=0x42 -> ok"}),
              std::vector<std::string>(sys.calls.begin(), sys.calls.begin() + 4));
}

TEST_F(HotKeySwitch, LoadingWhileOffRegistersButLeavesTheFlagForTheNextPress) {
    engine.OnDisableHotKeys();
    engine.m_entries.push_back(Program("a", CtrlAlt('A')));
    engine.EnableAllHotKeys();
    EXPECT_FALSE(engine.m_bHotKeysOn);
    EXPECT_TRUE(sys.IsEnabled(offButton));
    EXPECT_EQ((std::vector<int>{10}), RegisteredIds());

    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_TRUE(engine.m_bHotKeysOn);
}

TEST_F(PanelVisibility, FollowsTheFlagThroughHideToggleAndCtrlAltEnd) {
    engine.UpdatePanelVisibility();
    EXPECT_TRUE(sys.IsVisible(panel));
    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdPanel);
    EXPECT_FALSE(engine.m_bPanelVisible);
    EXPECT_FALSE(sys.IsVisible(panel));
    engine.TogglePanel();
    EXPECT_TRUE(sys.IsVisible(panel));
    engine.HidePanel();
    engine.HidePanel();
    EXPECT_FALSE(engine.m_bPanelVisible);
    EXPECT_EQ((std::vector<std::string>{"ShowWindow panel show", "ShowWindow panel hide",
                                        "ShowWindow panel show", "ShowWindow panel hide",
                                        "ShowWindow panel hide"}),
              sys.calls);
}

} // namespace
