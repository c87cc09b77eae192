// Entries that no numbering reached (a list file that turned out invalid after some entries
// were read): they hold no registration, so no path may unregister or launch by their id.
#include "engine/entry_list.h"
#include "tests/support/engine_fixture.h"

namespace {

class UnnumberedEntries : public EngineTest {
protected:
    // The start-up of a list file whose third section is faulty: the fixed hotkeys are
    // registered, two entries were read, and nothing numbered them.
    void StartWithInvalidList() {
        engine.RegisterFixedHotKeys();
        engine.m_entries.push_back(Program("a", CtrlAlt('A')));
        engine.m_entries.push_back(Program("none", 0));
        sys.ClearLog();
    }

    bool FixedHotKeysHeld() const {
        return sys.IsRegistered(kHotKeyIdSwitch) && sys.IsRegistered(kHotKeyIdPanel);
    }
};

TEST_F(UnnumberedEntries, AFreshEntryCarriesNoIdOfAFixedHotkey) {
    HotKeyEntry e;
    EXPECT_FALSE(e.IsNumbered());
    EXPECT_NE(kHotKeyIdSwitch, e.id);
    EXPECT_NE(kHotKeyIdPanel, e.id);
    EntryList list(1, e);
    EXPECT_EQ(list.end(), FindEntryById(list, e.id));
    EXPECT_EQ(list.end(), FindEntryById(list, kHotKeyIdSwitch));
}

TEST_F(UnnumberedEntries, SwitchingOffClearingOrRemovingLeavesCtrlAltHomeRegistered) {
    StartWithInvalidList();
    engine.OnDisableHotKeys();
    EXPECT_TRUE(engine.RemoveEntry("a", Program("a", CtrlAlt('A')).keydes));
    engine.RemoveAllEntries();
    EXPECT_TRUE(sys.CallsStartingWith("UnregisterHotKey").empty());
    EXPECT_TRUE(FixedHotKeysHeld());
}

TEST_F(UnnumberedEntries, CtrlAltHomeTwiceSwitchesOffThenNumbersAndRegistersEveryEntry) {
    StartWithInvalidList();
    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_FALSE(engine.m_bHotKeysOn);
    EXPECT_FALSE(sys.IsEnabled(offButton));
    EXPECT_TRUE(sys.IsEnabled(onButton));
    EXPECT_TRUE(FixedHotKeysHeld());

    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_TRUE(engine.m_bHotKeysOn);
    EXPECT_TRUE(sys.IsEnabled(offButton));
    EXPECT_FALSE(sys.IsEnabled(onButton));
    EXPECT_EQ((std::vector<int>{10, 11}), Ids());
    EXPECT_EQ((std::vector<int>{kHotKeyIdSwitch, kHotKeyIdPanel, 10}), RegisteredIds());
    EXPECT_TRUE(sys.CallsStartingWith("UnregisterHotKey").empty());
    EXPECT_TRUE(sys.messageBoxes.empty());

    sys.ClearLog();
    engine.PreTranslateHotKey(tw::kWmHotKey, 10);
    EXPECT_EQ(
        (std::vector<std::string>{"AllowLaunchedForeground",
                                  "ShellLaunch \"C:\\tools\\run.exe\" \"\" in \"C:\\tools\" -> 0"}),
        sys.calls);
}

TEST_F(UnnumberedEntries, NoHotkeyMessageLaunchesThem) {
    StartWithInvalidList();
    // The fixed ids, the system's own (negative) ones and the not-numbered value itself.
    for (int id : {kHotKeyIdPanel, kHotKeyIdSwitch, -1, -2, kHotKeyIdNotNumbered, 5})
        engine.PreTranslateHotKey(tw::kWmHotKey, static_cast<std::uintptr_t>(id));
    EXPECT_TRUE(sys.CallsStartingWith("ShellLaunch").empty());
    EXPECT_EQ(2u, engine.m_entries.size());
}

TEST_F(UnnumberedEntries, ANewHotkeyTakesTheNextIdInsteadOfAFixedOne) {
    StartWithInvalidList();
    HotKeyEntry& entry = engine.m_entries.front();
    engine.ChangeEntryHotKey(entry, CtrlAlt('Z'));
    EXPECT_EQ(10, entry.id);
    EXPECT_EQ(11, engine.m_nNextHotKeyId);
    EXPECT_EQ((std::vector<std::string>{"RegisterHotKey panel id=10 mod=3 vk=0x5A -> ok"}),
              sys.calls);
    EXPECT_TRUE(FixedHotKeysHeld());

    // Taking the hotkey away from an unnumbered entry touches no registration.
    sys.ClearLog();
    engine.m_entries.push_back(Program("b", CtrlAlt('B')));
    HotKeyEntry& other = engine.m_entries.back();
    engine.ChangeEntryHotKey(other, 0);
    EXPECT_FALSE(other.IsNumbered());
    EXPECT_EQ(0, other.hotkey);
    EXPECT_TRUE(sys.calls.empty());
}

} // namespace
