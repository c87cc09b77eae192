// Numbering of hotkey ids and the entry operations the panel's commands build on.
#include "engine/entry_list.h"
#include "tests/support/engine_fixture.h"

namespace {

using EntryNumbering = EngineTest;
using EntryCommands = EngineTest;

TEST_F(EntryNumbering, FirstRunNumbersAddedEntriesFromTen) {
    engine.AppendEntry(Program("a", CtrlAlt('A')));
    engine.AppendEntry(Program("b", CtrlAlt('B')));
    EXPECT_EQ((std::vector<int>{10, 11}), Ids());
    EXPECT_EQ(12, engine.m_nNextHotKeyId);
    EXPECT_EQ((std::vector<int>{10, 11}), RegisteredIds());
}

TEST_F(EntryNumbering, DeletedIdIsNotReusedUntilTheHotkeysAreSwitchedOnAgain) {
    engine.AppendEntry(Program("a", CtrlAlt('A')));
    engine.AppendEntry(Program("b", CtrlAlt('B')));
    engine.AppendEntry(Program("c", CtrlAlt('C')));
    ASSERT_TRUE(engine.RemoveEntry("b", Program("b", CtrlAlt('B')).keydes));
    engine.AppendEntry(Program("d", CtrlAlt('D')));
    EXPECT_EQ((std::vector<int>{10, 12, 13}), Ids());

    engine.OnDisableHotKeys();
    EXPECT_TRUE(sys.registered.empty());
    engine.OnEnableHotKeys();
    EXPECT_EQ((std::vector<int>{10, 11, 12}), Ids());
    EXPECT_EQ(13, engine.m_nNextHotKeyId);
    // Each combination is registered under its entry's new id.
    ASSERT_EQ(3u, sys.registered.size());
    EXPECT_EQ(11, sys.registered[1].id);
    EXPECT_EQ(static_cast<unsigned>('C'), sys.registered[1].vk);
    EXPECT_TRUE(sys.messageBoxes.empty());
}

TEST_F(EntryNumbering, EntryWithoutHotkeyTakesAnIdButIsNeverRegistered) {
    engine.m_entries.push_back(Program("a", CtrlAlt('A')));
    engine.m_entries.push_back(Program("none", 0));
    engine.m_entries.push_back(Program("c", CtrlAlt('C')));
    engine.EnableAllHotKeys();
    EXPECT_EQ((std::vector<int>{10, 11, 12}), Ids());
    EXPECT_EQ((std::vector<int>{10, 12}), RegisteredIds());

    engine.AppendEntry(Program("none too", 0));
    EXPECT_EQ(13, engine.m_entries.back().id);
    engine.DisableAllHotKeys();
    EXPECT_TRUE(sys.CallsStartingWith("UnregisterHotKey panel id=11").empty());
    EXPECT_TRUE(sys.CallsStartingWith("UnregisterHotKey panel id=13").empty());
}

TEST(EntryLookup, FirstMatchWithExactBytes) {
    EntryList list;
    HotKeyEntry e;
    e.name = "记事本";
    e.keydes = "Ctrl + N";
    e.path = "$ZELO.TW.ACT~shutdown$";
    e.id = 10;
    list.push_back(e);
    e.iconint = 1;
    e.id = 11; // same row texts and path, second in order
    list.push_back(e);
    e.name = "记事本 ";
    e.path = "$zelo.tw.act~shutdown$";
    e.id = 12;
    list.push_back(e);

    EXPECT_EQ(0, FindEntryByRow(list, "记事本", "Ctrl + N")->iconint);
    EXPECT_EQ(12, FindEntryByRow(list, "记事本 ", "Ctrl + N")->id);
    EXPECT_EQ(list.end(), FindEntryByRow(list, "记事本", "ctrl + N"));
    EXPECT_EQ(list.end(), FindEntryByRow(list, "记事", "Ctrl + N"));

    EXPECT_EQ(10, FindEntryByPath(list, "$ZELO.TW.ACT~shutdown$")->id);
    EXPECT_EQ(12, FindEntryByPath(list, "$zelo.tw.act~shutdown$")->id);
    EXPECT_EQ(list.end(), FindEntryByPath(list, "$ZELO.TW.ACT~shutdown$ "));

    EXPECT_EQ(11, FindEntryById(list, 11)->id);
    EXPECT_EQ(list.end(), FindEntryById(list, 0));
}

TEST_F(EntryCommands, AddWhileSwitchedOffNumbersButDoesNotRegister) {
    engine.OnDisableHotKeys();
    const HotKeyEntry& added = engine.AppendEntry(Program("a", CtrlAlt('A')));
    EXPECT_EQ(10, added.id);
    EXPECT_TRUE(sys.registered.empty());
}

TEST_F(EntryCommands, AddWithTakenKeyIsReportedAndKeptInTheList) {
    engine.AppendEntry(Program("a", CtrlAlt('A')));
    engine.AppendEntry(Program("same key", CtrlAlt('A')));
    EXPECT_EQ(2u, engine.m_entries.size());
    EXPECT_EQ(1u, sys.messageBoxes.size());
    EXPECT_EQ((std::vector<int>{10}), RegisteredIds());
}

TEST_F(EntryCommands, ChangedHotkeyMovesTheRegistrationUnderTheSameIdEvenWhenSwitchedOff) {
    engine.AppendEntry(Program("a", CtrlAlt('A')));
    engine.OnDisableHotKeys();
    HotKeyEntry& entry = engine.m_entries.front();
    sys.ClearLog();

    engine.ChangeEntryHotKey(entry, CtrlAlt('Z'));
    EXPECT_EQ((std::vector<std::string>{"UnregisterHotKey panel id=10 -> none",
                                        "RegisterHotKey panel id=10 mod=3 vk=0x5A -> ok"}),
              sys.calls);
    EXPECT_EQ(CtrlAlt('Z'), entry.hotkey);

    sys.ClearLog();
    engine.ChangeEntryHotKey(entry, CtrlAlt('Z'));
    EXPECT_TRUE(sys.calls.empty());
    engine.ChangeEntryHotKey(entry, 0);
    EXPECT_EQ((std::vector<std::string>{"UnregisterHotKey panel id=10 -> ok"}), sys.calls);
    sys.ClearLog();
    engine.ChangeEntryHotKey(entry, CtrlAlt('Y'));
    EXPECT_EQ((std::vector<std::string>{"RegisterHotKey panel id=10 mod=3 vk=0x59 -> ok"}),
              sys.calls);
}

TEST_F(EntryCommands, DeleteRemovesTheFirstOfTwoEqualRowsAndUnregistersOnlyAKey) {
    HotKeyEntry twin = Program("twin", CtrlAlt('T'));
    engine.AppendEntry(twin);
    twin.path = "C:\\second.exe";
    engine.AppendEntry(twin); // refused: same key, but listed
    engine.AppendEntry(Program("none", 0));
    sys.ClearLog();

    ASSERT_TRUE(engine.RemoveEntry("twin", twin.keydes));
    ASSERT_EQ(2u, engine.m_entries.size());
    EXPECT_EQ("C:\\second.exe", engine.m_entries.front().path);
    ASSERT_TRUE(engine.RemoveEntry("none", "无"));
    EXPECT_EQ((std::vector<std::string>{"UnregisterHotKey panel id=10 -> ok"}), sys.calls);
    EXPECT_FALSE(engine.RemoveEntry("none", "无"));
    EXPECT_EQ(1u, engine.m_entries.size());
}

TEST_F(EntryCommands, ClearUnregistersEmptiesAndKeepsTheSwitch) {
    engine.AppendEntry(Program("a", CtrlAlt('A')));
    engine.AppendEntry(Program("b", CtrlAlt('B')));
    engine.RemoveAllEntries();
    EXPECT_TRUE(engine.m_entries.empty());
    EXPECT_TRUE(sys.registered.empty());
    EXPECT_FALSE(sys.IsEnabled(offButton));
    EXPECT_TRUE(sys.IsEnabled(onButton));
    EXPECT_TRUE(engine.m_bHotKeysOn);

    // Still on: an entry added now works at once, although the off button is disabled.
    engine.AppendEntry(Program("c", CtrlAlt('C')));
    EXPECT_EQ((std::vector<int>{12}), RegisteredIds());
}

} // namespace
