#include "engine/hotkey_engine.h"

#include "engine/builtin_action.h"
#include "engine/launch_target.h"
#include "engine/running_program.h"
#include "engine/hotkey_code.h"
#include "engine/sys_util.h"

#include <algorithm>

CHotKeyEngine::CHotKeyEngine(tw::ISystem& system, int& allowShutdown)
    : m_system(system), m_allowShutdown(allowShutdown) {}

void CHotKeyEngine::AttachWindows(tw::WindowRef panel, tw::WindowRef hotKeysOffButton,
                                  tw::WindowRef hotKeysOnButton) {
    m_hPanel = panel;
    m_hHotKeysOffButton = hotKeysOffButton;
    m_hHotKeysOnButton = hotKeysOnButton;
}

bool CHotKeyEngine::RegisterFixedHotKeys() {
    CSysUtil util(m_system);
    util.RegHotKey(m_hPanel, kSwitchHotKeyCode, kHotKeyIdSwitch);
    util.RegHotKey(m_hPanel, kPanelHotKeyCode, kHotKeyIdPanel);
    return true;
}

bool CHotKeyEngine::EnableAllHotKeys() {
    // A combination still held under an old id (switching on while on, or a hotkey changed
    // while off) would refuse the entry its own combination, and would go on answering
    // for that old id once the counter hands it to another entry.
    for (HotKeyEntry& entry : m_entries)
        if (entry.state == HotKeyState::Registered) UnregisterEntry(entry);
    // The ids change: what waits to be reported is registered and reported afresh.
    m_unreportedRefusals.clear();
    m_nNextHotKeyId = kFirstEntryHotKeyId;
    for (HotKeyEntry& entry : m_entries) {
        entry.id = m_nNextHotKeyId++;
        RegisterEntry(entry);
    }
    SetButtons(true);
    OnHotKeyStatesChanged();
    ReportRefusals();
    return true;
}

bool CHotKeyEngine::DisableAllHotKeys() {
    for (HotKeyEntry& entry : m_entries)
        UnregisterEntry(entry);
    SetButtons(false);
    OnHotKeyStatesChanged();
    return true;
}

void CHotKeyEngine::OnDisableHotKeys() {
    DisableAllHotKeys();
    m_bHotKeysOn = false;
}

// The flag goes first here and in the Ctrl+Alt+Home switch: a refusal message of the
// switch-on runs a message loop in which the hotkeys may be switched again, and that later
// choice must stand.
void CHotKeyEngine::OnEnableHotKeys() {
    m_bHotKeysOn = true;
    EnableAllHotKeys();
}

bool CHotKeyEngine::UpdatePanelVisibility() {
    m_system.ShowWindow(m_hPanel, m_bPanelVisible);
    return true;
}

void CHotKeyEngine::HidePanel() {
    m_bPanelVisible = false;
    UpdatePanelVisibility();
}

void CHotKeyEngine::TogglePanel() {
    m_bPanelVisible = !m_bPanelVisible;
    UpdatePanelVisibility();
}

void CHotKeyEngine::PreTranslateHotKey(unsigned message, std::uintptr_t wParam) {
    if (message != tw::kWmHotKey) return;
    const int id = static_cast<int>(wParam);
    if (id == kHotKeyIdSwitch) {
        m_bHotKeysOn = !m_bHotKeysOn;
        if (m_bHotKeysOn)
            EnableAllHotKeys();
        else
            DisableAllHotKeys();
    } else if (id == kHotKeyIdPanel) {
        TogglePanel();
    } else {
        LaunchEntryWithId(id);
    }
}

HotKeyEntry CHotKeyEngine::AppendEntry(const HotKeyEntry& entry) {
    HotKeyEntry numbered = entry;
    numbered.id = m_nNextHotKeyId++;
    if (m_bHotKeysOn)
        RegisterEntry(numbered);
    else
        numbered.state = numbered.hotkey != 0 ? HotKeyState::Off : HotKeyState::None;
    m_entries.push_back(numbered);
    OnHotKeyStatesChanged();
    ReportRefusals();
    return numbered;
}

void CHotKeyEngine::ChangeEntryHotKey(HotKeyEntry& entry, int newCode) {
    if (entry.hotkey == newCode) return;
    UnregisterEntry(entry);
    // An entry left over from a list file that failed further on has no id yet; it takes
    // the next one, as an added entry would, rather than none or a fixed hotkey's.
    if (newCode != 0 && !entry.IsNumbered()) entry.id = m_nNextHotKeyId++;
    entry.hotkey = newCode;
    RegisterEntry(entry);
    OnHotKeyStatesChanged();
    ReportRefusals();
}

bool CHotKeyEngine::RemoveEntry(const std::string& name, const std::string& keydes) {
    EntryList::iterator it = FindEntryByRow(m_entries, name, keydes);
    if (it == m_entries.end()) return false;
    RemoveEntry(it);
    return true;
}

void CHotKeyEngine::RemoveEntry(EntryList::iterator entry) {
    UnregisterEntry(*entry);
    m_entries.erase(entry);
    OnHotKeyStatesChanged();
}

void CHotKeyEngine::RemoveAllEntries() {
    DisableAllHotKeys();
    m_entries.clear();
    OnHotKeyStatesChanged();
}

void CHotKeyEngine::SetEntryEnabled(HotKeyEntry& entry, bool enabled) {
    if (entry.enabled == enabled) return;
    entry.enabled = enabled;
    if (!enabled)
        UnregisterEntry(entry);
    else if (m_bHotKeysOn)
        RegisterEntry(entry);
    OnHotKeyStatesChanged();
    ReportRefusals();
}

int CHotKeyEngine::RefusedHotKeyCount() const {
    int refused = 0;
    for (const HotKeyEntry& entry : m_entries)
        if (entry.state == HotKeyState::Refused) ++refused;
    return refused;
}

// Nothing is noted for ReportRefusals: a retry runs unasked, and a box appearing out of
// nowhere would tell the user less than the row's colour already does. A combination the
// system keeps for itself is refused for the life of the process; asking for it every
// retry would wake the system for nothing.
int CHotKeyEngine::RetryRefusedHotKeys() {
    const unsigned long now = m_system.TickCountMs();
    int refused = 0;
    bool changed = false;
    for (HotKeyEntry& entry : m_entries) {
        if (entry.state != HotKeyState::Refused) continue;
        const auto record =
            m_refusals.find({HotKeyModifiers(entry.hotkey), HotKeyVirtualKey(entry.hotkey)});
        // Unsigned 32-bit: the tick count wraps.
        if (record != m_refusals.end() && record->second.count >= kRefusalsBeforeSlowRetry &&
            static_cast<std::uint32_t>(now - record->second.lastAskedMs) < kSlowRetryMs) {
            ++refused;
            continue;
        }
        if (AskForCombination(entry)) {
            entry.state = HotKeyState::Registered;
            changed = true;
        } else {
            ++refused;
        }
    }
    if (changed) OnHotKeyStatesChanged();
    return refused;
}

// Every registration and unregistration of an entry passes here. An entry that was never
// numbered has nothing registered, and its id must never reach the system: the id 0 it
// once carried is Ctrl+Alt+Home's.
void CHotKeyEngine::RegisterEntry(HotKeyEntry& entry) {
    if (entry.hotkey == 0)
        entry.state = HotKeyState::None;
    else if (!entry.IsNumbered() || !entry.enabled)
        entry.state = HotKeyState::Off;
    else if (AskForCombination(entry))
        entry.state = HotKeyState::Registered;
    else
        entry.state = HotKeyState::Refused;
    if (entry.state == HotKeyState::Refused &&
        std::find(m_unreportedRefusals.begin(), m_unreportedRefusals.end(), entry.id) ==
            m_unreportedRefusals.end())
        m_unreportedRefusals.push_back(entry.id);
}

bool CHotKeyEngine::AskForCombination(const HotKeyEntry& entry) {
    const std::pair<unsigned, unsigned> combination{HotKeyModifiers(entry.hotkey),
                                                    HotKeyVirtualKey(entry.hotkey)};
    if (CSysUtil(m_system).RegHotKeyUnreported(m_hPanel, entry.hotkey, entry.id)) {
        m_refusals.erase(combination);
        return true;
    }
    RefusalRecord& record = m_refusals[combination];
    ++record.count;
    record.lastAskedMs = m_system.TickCountMs();
    return false;
}

void CHotKeyEngine::UnregisterEntry(HotKeyEntry& entry) {
    if (entry.hotkey != 0 && entry.IsNumbered()) m_system.UnregisterHotKey(m_hPanel, entry.id);
    entry.state = entry.hotkey != 0 ? HotKeyState::Off : HotKeyState::None;
}

// Exactly one of the two buttons offers the switch that makes sense.
void CHotKeyEngine::SetButtons(bool hotKeysOn) {
    m_system.EnableWindow(m_hHotKeysOffButton, hotKeysOn);
    m_system.EnableWindow(m_hHotKeysOnButton, !hotKeysOn);
}

void CHotKeyEngine::ReportRefusals() {
    if (m_nDeferDepth > 0) return;
    // Taken off before each box: a command run from its message loop reports what is still
    // pending along with its own, and no refusal is shown twice.
    while (!m_unreportedRefusals.empty()) {
        const int id = m_unreportedRefusals.front();
        m_unreportedRefusals.erase(m_unreportedRefusals.begin());
        const EntryList::const_iterator it = FindEntryById(m_entries, id);
        // Deleted, cleared or registered after all meanwhile: nothing to tell.
        if (it == m_entries.end() || it->state != HotKeyState::Refused) continue;
        CSysUtil(m_system).ReportRefusedHotKey(m_hPanel);
    }
}

void CHotKeyEngine::LaunchEntryWithId(int id) {
    if (id < kFirstEntryHotKeyId) return; // the fixed ids and the system's own
    EntryList::const_iterator it = FindEntryById(m_entries, id);
    if (it == m_entries.end()) return;
    // A copy: a launch may run a message loop, and nothing may pull the entry away
    // from under it meanwhile.
    const HotKeyEntry entry = *it;
    LaunchAndRecord(entry, true);
}

CHotKeyEngine::~CHotKeyEngine() {
    for (const auto& started : m_startedPrograms)
        m_system.ReleaseProcess(started.second);
}

namespace {
std::string StartedProgramKey(const HotKeyEntry& entry) {
    return entry.path + '\n' + entry.args;
}

// The executable a binding that brings back or leaves alone its program is matched by;
// empty for every other binding, which starts another copy as always.
std::string TrackedProgramPath(const HotKeyEntry& entry, tw::ISystem& system) {
    if (entry.builtin || entry.ifRunning == IfRunning::StartAnother) return std::string();
    return MatchedProgramPath(system.ExpandEnvironment(entry.path));
}
} // namespace

bool CHotKeyEngine::ReuseRunningProgram(const HotKeyEntry& entry, const std::string& path) {
    tw::RunningProgram program;
    const auto started = m_startedPrograms.find(StartedProgramKey(entry));
    if (started != m_startedPrograms.end()) {
        program = m_system.StartedProcess(started->second);
        if (!program.running) {
            m_system.ReleaseProcess(started->second);
            m_startedPrograms.erase(started);
        }
    }
    // Started elsewhere, or it ended and another copy of the same file runs.
    if (!program.running) program = m_system.ProgramByPath(path);
    return ActOnRunningProgram(entry.ifRunning, program, m_system);
}

void CHotKeyEngine::LaunchAndRecord(const HotKeyEntry& entry, bool byHotKey) {
    const std::string tracked = TrackedProgramPath(entry, m_system);
    if (!tracked.empty() && ReuseRunningProgram(entry, tracked)) return;
    tw::ProcessRef started = nullptr;
    const unsigned long result =
        LaunchEntry(entry, m_system, m_allowShutdown, tracked.empty() ? nullptr : &started);
    if (started != nullptr) {
        tw::ProcessRef& kept = m_startedPrograms[StartedProgramKey(entry)];
        if (kept != nullptr) m_system.ReleaseProcess(kept);
        kept = started;
    }
    // A declined elevation is the user's choice: the entry keeps whatever mark it had.
    if (result == tw::kErrCancelled) return;
    HotKeyEntry launched = entry;
    launched.launchError = LaunchFailureText(result);
    // The launch may have run a message loop that changed the list: find the entry anew.
    EntryList::iterator it = launched.IsNumbered()
                                 ? FindEntryById(m_entries, launched.id)
                                 : FindEntryByRow(m_entries, launched.name, launched.keydes);
    // A list loaded meanwhile numbers its entries anew: the same path says it is the one.
    if (it != m_entries.end() && it->path == launched.path &&
        it->launchError != launched.launchError) {
        it->launchError = launched.launchError;
        OnHotKeyStatesChanged();
    }
    // Last: telling the user may run a message loop of its own.
    if (!launched.launchError.empty()) OnLaunchFailed(launched, byHotKey);
}
