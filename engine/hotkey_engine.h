#pragma once
// The state behind the main panel that the hotkeys work on: the entry list, the id
// counter, whether the entry hotkeys are switched on and whether the panel is to be
// visible, and the windows the hotkeys and buttons belong to. The panel window owns
// (or derives from) one of these for the life of the process and forwards its commands
// and its message pre-translation here; the list view and the list file stay with it.

#include "engine/entry_list.h"
#include "engine/hotkey_code.h"
#include "engine/hotkey_entry.h"
#include "platform/system.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

class CHotKeyEngine {
public:
    virtual ~CHotKeyEngine();
    // `allowShutdown` is the application's shutdown-allowed flag, which built-in actions
    // started by a hotkey change; both must outlive the engine.
    CHotKeyEngine(tw::ISystem& system, int& allowShutdown);

    // The panel window (owner of every hotkey) and its buttons "关闭快捷键" (1001) and
    // "启用快捷键" (1012), once they exist.
    void AttachWindows(tw::WindowRef panel, tw::WindowRef hotKeysOffButton,
                       tw::WindowRef hotKeysOnButton);

    // Ctrl+Alt+Home as id 0 and Ctrl+Alt+End as id 1; a refusal is reported and ignored.
    bool RegisterFixedHotKeys();
    // Releases what the entries still hold, then numbers every entry from 10 in list
    // order and registers each non-zero code. Leaves m_bHotKeysOn alone.
    bool EnableAllHotKeys();
    // Unregisters every entry hotkey; the fixed ones stay. Leaves m_bHotKeysOn alone.
    bool DisableAllHotKeys();
    void OnDisableHotKeys();
    void OnEnableHotKeys();

    // Shows or hides the panel window as m_bPanelVisible says.
    bool UpdatePanelVisibility();
    void HidePanel();
    void TogglePanel();

    // The hotkey step of the panel's message pre-translation. Acts on WM_HOTKEY only and
    // never consumes the message: the caller goes on with the framework's pre-translation.
    void PreTranslateHotKey(unsigned message, std::uintptr_t wParam);

    // Numbers a copy of `entry`, registers its hotkey when it has one and the hotkeys are
    // on, and appends it. A refused registration is reported; the entry is added anyway.
    // Answers the entry as appended: the report may have changed the list meanwhile.
    HotKeyEntry AppendEntry(const HotKeyEntry& entry);
    // Moves `entry`'s registration to `newCode` under the same id and stores the code,
    // whether the hotkeys are on or not. Nothing happens when the code is unchanged. An
    // entry that was never numbered takes the next id first. A refusal is reported last,
    // and `entry` may be gone once that report has run.
    void ChangeEntryHotKey(HotKeyEntry& entry, int newCode);
    // Unregisters and removes the first entry a row with these texts shows; false when
    // there is none.
    bool RemoveEntry(const std::string& name, const std::string& keydes);
    // Unregisters and removes this entry of the list.
    void RemoveEntry(EntryList::iterator entry);
    // Unregisters every entry hotkey (buttons as DisableAllHotKeys) and empties the list.
    void RemoveAllEntries();
    // Switches one binding on or off on its own. Off, it is unregistered and no switch of
    // all the hotkeys registers it; on, it is registered at once while the hotkeys are on,
    // and a refusal is reported.
    void SetEntryEnabled(HotKeyEntry& entry, bool enabled);

    // How many entries' combinations the system refused at their last registration.
    int RefusedHotKeyCount() const;
    // Asks again for every refused combination, without a word to the user whatever the
    // answer: one freed meanwhile is registered. A combination refused
    // kRefusalsBeforeSlowRetry times in a row (one the system keeps for itself, such as
    // Win+L) is asked for at most every kSlowRetryMs. Answers how many are still refused.
    int RetryRefusedHotKeys();
    static constexpr int kRefusalsBeforeSlowRetry = 10;
    static constexpr unsigned long kSlowRetryMs = 5 * 60 * 1000;

    // Every refusal message is a modal box whose message loop can run any command of the
    // panel (from the tray, or from another program) and change the entry list. While one
    // of these lives, refusals wait; they are shown when the outermost one ends. A command
    // that goes on working on an entry after registering it holds one, so its steps run
    // without a box in between.
    class DeferredRefusals {
    public:
        explicit DeferredRefusals(CHotKeyEngine& engine) : m_engine(engine) {
            ++m_engine.m_nDeferDepth;
        }
        ~DeferredRefusals() {
            if (--m_engine.m_nDeferDepth == 0) m_engine.ReportRefusals();
        }
        DeferredRefusals(const DeferredRefusals&) = delete;
        DeferredRefusals& operator=(const DeferredRefusals&) = delete;

    private:
        CHotKeyEngine& m_engine;
    };

    EntryList m_entries;
    int m_nNextHotKeyId = kFirstEntryHotKeyId;
    bool m_bHotKeysOn = true;
    bool m_bPanelVisible = true;

protected:
    // Called after every operation that may have changed an entry's `state` or the set of
    // entries, so that whatever shows the states can follow.
    virtual void OnHotKeyStatesChanged() {}

    // Starts `entry` (a copy: a launch may run a message loop) and keeps the outcome on
    // the entry of the list it came from, while that is still there: a failure marks it
    // until a launch of it succeeds. `byHotKey` tells a press from the panel's commands.
    void LaunchAndRecord(const HotKeyEntry& entry, bool byHotKey);
    // A launch failed; `entry` is the launched copy, its `launchError` says why.
    virtual void OnLaunchFailed(const HotKeyEntry& /*entry*/, bool /*byHotKey*/) {}

    tw::ISystem& m_system;
    int& m_allowShutdown;
    tw::WindowRef m_hPanel = nullptr;
    tw::WindowRef m_hHotKeysOffButton = nullptr;
    tw::WindowRef m_hHotKeysOnButton = nullptr;

private:
    // Both set the entry's `state` from what the system answered; a refusal is noted for
    // ReportRefusals, not shown.
    void RegisterEntry(HotKeyEntry& entry);
    void UnregisterEntry(HotKeyEntry& entry);
    void SetButtons(bool hotKeysOn);
    void LaunchEntryWithId(int id);
    // One refusal message, in list order, for each entry refused and not reported yet that
    // is still there and still refused; nothing unless deferred. Called only where nothing
    // points into the entry list any more.
    void ReportRefusals();

    // For a binding that brings its program back or leaves it alone (`path` its matched
    // executable): true when the program it started, or one of the same executable, runs
    // and was dealt with instead.
    bool ReuseRunningProgram(const HotKeyEntry& entry, const std::string& path);
    // The process last started for each such binding (by its command and arguments as
    // written), held until it is found ended or the engine goes.
    std::map<std::string, tw::ProcessRef> m_startedPrograms;

    // Ids of the refused entries not reported yet; numbered entries' ids are distinct.
    std::vector<int> m_unreportedRefusals;
    int m_nDeferDepth = 0;

    // Asks the system for the entry's combination and notes a refusal, or forgets the
    // refusals of a combination it took.
    bool AskForCombination(const HotKeyEntry& entry);
    // A combination's refusals in a row, and when it was last asked for.
    struct RefusalRecord {
        int count = 0;
        unsigned long lastAskedMs = 0;
    };
    // Keyed by (modifiers, virtual key); only combinations refused at their last asking.
    std::map<std::pair<unsigned, unsigned>, RefusalRecord> m_refusals;
};
