// What the engine knows about each entry's registration: it follows the system's answers
// through every operation that registers or unregisters, and feeds the count of refusals.
#include "engine/hotkey_state_text.h"
#include "tests/support/engine_fixture.h"

#include <functional>

namespace {

const std::pair<unsigned, unsigned> kCtrlAltQ{tw::kModControl | tw::kModAlt, 'Q'};

class HotKeyStates : public EngineTest {
protected:
    std::vector<HotKeyState> States() const {
        std::vector<HotKeyState> states;
        for (const HotKeyEntry& e : engine.m_entries)
            states.push_back(e.state);
        return states;
    }

    // Three entries: a free combination, one another program holds, and none.
    void StartWithHeldCombination() {
        sys.takenByOthers.insert(kCtrlAltQ);
        engine.m_entries.push_back(Program("free", CtrlAlt('A')));
        engine.m_entries.push_back(Program("held", CtrlAlt('Q')));
        engine.m_entries.push_back(Program("none", 0));
        engine.EnableAllHotKeys();
    }
};

using S = HotKeyState;

TEST_F(HotKeyStates, StartUpTakesEachAnswerOfTheSystem) {
    StartWithHeldCombination();
    EXPECT_EQ((std::vector<S>{S::Registered, S::Refused, S::None}), States());
    EXPECT_EQ(1, engine.RefusedHotKeyCount());
    EXPECT_EQ(1u, sys.messageBoxes.size()); // the refusal message is still shown once
}

TEST_F(HotKeyStates, SwitchingOffAndOnRetriesAndFindsAFreedCombination) {
    StartWithHeldCombination();
    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_EQ((std::vector<S>{S::Off, S::Off, S::None}), States());
    EXPECT_EQ(0, engine.RefusedHotKeyCount());

    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch); // still held: refused again
    EXPECT_EQ((std::vector<S>{S::Registered, S::Refused, S::None}), States());

    sys.takenByOthers.clear(); // the other program ends
    engine.OnDisableHotKeys();
    engine.OnEnableHotKeys();
    EXPECT_EQ((std::vector<S>{S::Registered, S::Registered, S::None}), States());
    EXPECT_EQ(0, engine.RefusedHotKeyCount());
    EXPECT_TRUE(sys.IsRegistered(11));
}

TEST_F(HotKeyStates, ARetryTakesAFreedCombinationQuietlyAndAsksForNothingElse) {
    StartWithHeldCombination();
    sys.messageBoxes.clear();
    EXPECT_EQ(1, engine.RetryRefusedHotKeys());
    EXPECT_EQ((std::vector<S>{S::Registered, S::Refused, S::None}), States());

    sys.takenByOthers.clear();
    sys.ClearLog();
    EXPECT_EQ(0, engine.RetryRefusedHotKeys());
    EXPECT_EQ((std::vector<S>{S::Registered, S::Registered, S::None}), States());
    EXPECT_EQ(0, engine.RefusedHotKeyCount());
    EXPECT_EQ(1u, sys.CallsStartingWith("RegisterHotKey").size()) << "only the refused one";
    EXPECT_TRUE(sys.IsRegistered(11));

    sys.ClearLog();
    EXPECT_EQ(0, engine.RetryRefusedHotKeys());
    EXPECT_TRUE(sys.calls.empty()) << "nothing refused, nothing asked";
    EXPECT_TRUE(sys.messageBoxes.empty());
}

// Win+L and its like are refused for the life of the process: after ten refusals in a row
// the retry asks at most every few minutes (across the tick count's wrap); one freed at
// last is taken, and counted afresh.
TEST_F(HotKeyStates, ACombinationRefusedTenTimesIsAskedForOnlyEveryFewMinutes) {
    const std::pair<unsigned, unsigned> winL{tw::kModWin, 'L'};
    sys.takenByOthers.insert(winL);
    sys.tickCount = 0xFFFFFFFFul - 1000; // wraps during the test
    engine.AppendEntry(Program("lock", WithWinKey('L', true)));
    const auto asked = [this] {
        sys.ClearLog();
        engine.RetryRefusedHotKeys();
        return sys.CallsStartingWith("RegisterHotKey").size();
    };
    for (int retry = 2; retry <= CHotKeyEngine::kRefusalsBeforeSlowRetry; ++retry)
        EXPECT_EQ(1u, asked()) << "refusal " << retry;
    EXPECT_EQ(0u, asked());
    sys.tickCount += CHotKeyEngine::kSlowRetryMs - 1;
    EXPECT_EQ(0u, asked());
    EXPECT_EQ(1, engine.RefusedHotKeyCount());
    sys.tickCount += 1;
    EXPECT_EQ(1u, asked());
    EXPECT_EQ(0u, asked()) << "still refused: the next one waits again";

    sys.takenByOthers.clear();
    sys.tickCount += CHotKeyEngine::kSlowRetryMs;
    EXPECT_EQ(1u, asked());
    EXPECT_EQ(S::Registered, engine.m_entries.front().state);
    sys.takenByOthers.insert(winL);
    engine.OnEnableHotKeys(); // released and asked for again: refused once, not ten times
    EXPECT_EQ(1u, asked());
}

TEST_F(HotKeyStates, ABindingSwitchedOffOnItsOwnIsRegisteredOnlyOnceSwitchedOnAgain) {
    HotKeyEntry off = Program("off", CtrlAlt('A'));
    off.enabled = false;
    engine.AppendEntry(off);
    engine.AppendEntry(Program("on", CtrlAlt('B')));
    HotKeyEntry& first = engine.m_entries.front();
    EXPECT_EQ((std::vector<int>{11}), RegisteredIds());

    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    engine.OnEnableHotKeys();
    engine.ChangeEntryHotKey(first, CtrlAlt('C'));
    engine.RetryRefusedHotKeys();
    EXPECT_EQ((std::vector<int>{11}), RegisteredIds()) << "no switch turns it on";
    EXPECT_EQ((std::vector<S>{S::Off, S::Registered}), States());

    engine.SetEntryEnabled(first, true);
    EXPECT_EQ((std::vector<int>{11, 10}), RegisteredIds()) << "registered at once";
    EXPECT_EQ(unsigned('C'), sys.registered.back().vk);
    engine.SetEntryEnabled(first, false);
    EXPECT_EQ((std::vector<int>{11}), RegisteredIds());

    engine.OnDisableHotKeys(); // switched on while all are off: it waits for the switch
    engine.SetEntryEnabled(first, true);
    EXPECT_TRUE(sys.registered.empty());
    engine.OnEnableHotKeys();
    EXPECT_EQ((std::vector<int>{10, 11}), RegisteredIds());
    EXPECT_TRUE(sys.messageBoxes.empty());
}

TEST_F(HotKeyStates, SwitchingOnWhileOnReportsOnlyWhatAnotherProgramHolds) {
    StartWithHeldCombination();
    sys.messageBoxes.clear();
    engine.OnEnableHotKeys();               // the tray item offered while the hotkeys are on
    EXPECT_EQ(1u, sys.messageBoxes.size()); // not this window's own combination
    EXPECT_EQ((std::vector<S>{S::Registered, S::Refused, S::None}), States());
}

// Nor a combination changed while off: it is released before the entries are numbered
// again, so no id is handed out while a combination is still registered under it.
TEST_F(HotKeyStates, SwitchingOnLeavesNothingRegisteredUnderAnOldId) {
    for (char key : {'A', 'B', 'C'})
        engine.AppendEntry(Program(std::string(1, key), CtrlAlt(key)));
    engine.OnDisableHotKeys();
    engine.ChangeEntryHotKey(engine.m_entries.back(), CtrlAlt('J')); // registered under 12
    ASSERT_TRUE(engine.RemoveEntry("A", Program("A", CtrlAlt('A')).keydes));
    engine.OnEnableHotKeys();
    EXPECT_TRUE(sys.messageBoxes.empty());
    EXPECT_EQ((std::vector<S>{S::Registered, S::Registered}), States());
    EXPECT_EQ(12, engine.AppendEntry(Program("D", 0)).id);
    EXPECT_EQ((std::vector<int>{10, 11}), RegisteredIds());
    EXPECT_EQ(unsigned('J'), sys.registered.back().vk); // under C's id
}

// A refusal message runs a message loop, from which a command (from the tray, or 清空 and
// 删除 behind a box without owner) may take entries away: no walk or change of an entry is
// under way by then, and no message follows for an entry that is gone.
TEST_F(HotKeyStates, ACommandRunFromARefusalMessageFindsNothingHalfDone) {
    sys.takenByOthers.insert(kCtrlAltQ);
    const auto behindTheBox = [this](std::function<void()> command) {
        sys.duringMessageBox = [this, command] {
            const std::function<void()> once = command;
            sys.duringMessageBox = nullptr; // destroys this lambda
            once();
        };
    };
    engine.m_entries.push_back(Program("held", CtrlAlt('Q')));
    for (char key = 'A'; key <= 'P'; ++key)
        engine.m_entries.push_back(Program(std::string(1, key), CtrlAlt(key)));
    engine.m_entries.push_back(Program("held", CtrlAlt('Q')));
    behindTheBox([this] { engine.RemoveAllEntries(); });
    engine.OnEnableHotKeys(); // start-up and switch-on
    EXPECT_EQ(1u, sys.messageBoxes.size());
    EXPECT_TRUE(sys.registered.empty());

    // Add, then a changed hotkey (Properties, the built-in rebind): the entry is deleted.
    behindTheBox([this] { engine.RemoveEntry("held", Program("held", CtrlAlt('Q')).keydes); });
    EXPECT_EQ(S::Refused, engine.AppendEntry(Program("held", CtrlAlt('Q'))).state);
    engine.AppendEntry(Program("free", CtrlAlt('A')));
    behindTheBox([this] { engine.RemoveEntry("free", Program("free", CtrlAlt('A')).keydes); });
    engine.ChangeEntryHotKey(engine.m_entries.front(), CtrlAlt('Q'));
    EXPECT_TRUE(engine.m_entries.empty());
    EXPECT_EQ(3u, sys.messageBoxes.size());
}

TEST_F(HotKeyStates, AddRegistersWhenOnAndLeavesOffWhenOff) {
    sys.takenByOthers.insert(kCtrlAltQ);
    EXPECT_EQ(S::Refused, engine.AppendEntry(Program("held", CtrlAlt('Q'))).state);
    EXPECT_EQ(S::Registered, engine.AppendEntry(Program("free", CtrlAlt('A'))).state);
    EXPECT_EQ(S::None, engine.AppendEntry(Program("none", 0)).state);
    EXPECT_EQ(1, engine.RefusedHotKeyCount());

    engine.OnDisableHotKeys();
    EXPECT_EQ(S::Off, engine.AppendEntry(Program("later", CtrlAlt('B'))).state);
    EXPECT_EQ(S::None, engine.AppendEntry(Program("later none", 0)).state);
}

TEST_F(HotKeyStates, ChangingARefusedCombinationToAFreeOneRegistersIt) {
    StartWithHeldCombination();
    HotKeyEntry& held = *std::next(engine.m_entries.begin());
    engine.ChangeEntryHotKey(held, CtrlAlt('W'));
    EXPECT_EQ(S::Registered, held.state);
    EXPECT_EQ(11, held.id);
    EXPECT_EQ(0, engine.RefusedHotKeyCount());

    engine.ChangeEntryHotKey(held, CtrlAlt('Q')); // and back to the held one
    EXPECT_EQ(S::Refused, held.state);
    engine.ChangeEntryHotKey(held, 0);
    EXPECT_EQ(S::None, held.state);
    EXPECT_FALSE(sys.IsRegistered(11));
}

TEST_F(HotKeyStates, AChangeWhileOffRegistersAtOnceAndSurvivesTheSwitchOn) {
    StartWithHeldCombination();
    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    HotKeyEntry& free = engine.m_entries.front();
    engine.ChangeEntryHotKey(free, CtrlAlt('B'));
    EXPECT_EQ(S::Registered, free.state); // registered whatever the switch says

    engine.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_EQ(S::Registered, free.state); // still held by this window under id 10
    EXPECT_TRUE(sys.IsRegistered(10));
}

TEST_F(HotKeyStates, RemovingTheRefusedEntriesClearsTheCount) {
    StartWithHeldCombination();
    engine.AppendEntry(Program("held too", CtrlAlt('Q')));
    EXPECT_EQ(2, engine.RefusedHotKeyCount());
    EXPECT_TRUE(engine.RemoveEntry("held", "key " + std::to_string(CtrlAlt('Q'))));
    EXPECT_EQ(1, engine.RefusedHotKeyCount());
    engine.RemoveAllEntries();
    EXPECT_EQ(0, engine.RefusedHotKeyCount());
}

class CountingEngine : public CHotKeyEngine {
public:
    using CHotKeyEngine::CHotKeyEngine;
    int changes = 0;

protected:
    void OnHotKeyStatesChanged() override { ++changes; }
};

TEST_F(HotKeyStates, EveryRegisteringOperationTellsTheDisplay) {
    CountingEngine counted(sys, allowShutdown);
    counted.AppendEntry(Program("a", CtrlAlt('A')));
    EXPECT_EQ(1, counted.changes);
    counted.ChangeEntryHotKey(counted.m_entries.front(), CtrlAlt('C'));
    EXPECT_EQ(2, counted.changes);
    counted.PreTranslateHotKey(tw::kWmHotKey, kHotKeyIdSwitch);
    EXPECT_EQ(3, counted.changes);
    counted.OnEnableHotKeys();
    EXPECT_EQ(4, counted.changes);
    counted.RemoveEntry("a", "key " + std::to_string(CtrlAlt('A')));
    EXPECT_EQ(5, counted.changes);
    counted.RemoveAllEntries();
    EXPECT_GE(counted.changes, 6);
}

TEST(HotKeyStateTexts, TrayTipCountsRefusalsAndFitsTheNotificationArea) {
    EXPECT_EQ("Tarnwick V1.0", RefusedTrayTip(0));
    EXPECT_EQ("Tarnwick V1.0 - 2 个快捷键未生效", RefusedTrayTip(2));
    EXPECT_LE(RefusedTrayTip(2147483647).size(), 63u);
}

TEST(HotKeyStateTexts, RowTipNamesTheCombinationAndTheWayOut) {
    const std::string tip = RefusedRowTip("Ctrl + Alt + Q");
    EXPECT_EQ(0u, tip.find("Ctrl + Alt + Q "));
    EXPECT_NE(std::string::npos, tip.find("其他程序占用"));
    EXPECT_NE(std::string::npos, tip.find("系统")) << "Win+L and its like are the system's";
    EXPECT_NE(std::string::npos, tip.find("“属性”"));
}

} // namespace
