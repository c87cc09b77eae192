#include "engine/hotkey_engine.h"

#include "engine/builtin_action.h"
#include "engine/launch_target.h"
#include "engine/hotkey_code.h"
#include "engine/sys_util.h"

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
    m_nNextHotKeyId = kFirstEntryHotKeyId;
    for (HotKeyEntry& entry : m_entries) {
        entry.id = m_nNextHotKeyId++;
        RegisterEntry(entry);
    }
    SetButtons(true);
    return true;
}

bool CHotKeyEngine::DisableAllHotKeys() {
    for (const HotKeyEntry& entry : m_entries)
        UnregisterEntry(entry);
    SetButtons(false);
    return true;
}

void CHotKeyEngine::OnDisableHotKeys() {
    DisableAllHotKeys();
    m_bHotKeysOn = false;
}

void CHotKeyEngine::OnEnableHotKeys() {
    EnableAllHotKeys();
    m_bHotKeysOn = true;
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
        if (m_bHotKeysOn)
            DisableAllHotKeys();
        else
            EnableAllHotKeys();
        m_bHotKeysOn = !m_bHotKeysOn;
    } else if (id == kHotKeyIdPanel) {
        TogglePanel();
    } else {
        LaunchEntryWithId(id);
    }
}

const HotKeyEntry& CHotKeyEngine::AppendEntry(const HotKeyEntry& entry) {
    HotKeyEntry numbered = entry;
    numbered.id = m_nNextHotKeyId++;
    if (m_bHotKeysOn) RegisterEntry(numbered);
    m_entries.push_back(numbered);
    return m_entries.back();
}

void CHotKeyEngine::ChangeEntryHotKey(HotKeyEntry& entry, int newCode) {
    if (entry.hotkey == newCode) return;
    UnregisterEntry(entry);
    // An entry left over from a list file that failed further on has no id yet; it takes
    // the next one, as an added entry would, rather than none or a fixed hotkey's.
    if (newCode != 0 && !entry.IsNumbered()) entry.id = m_nNextHotKeyId++;
    entry.hotkey = newCode;
    RegisterEntry(entry);
}

bool CHotKeyEngine::RemoveEntry(const std::string& name, const std::string& keydes) {
    EntryList::iterator it = FindEntryByRow(m_entries, name, keydes);
    if (it == m_entries.end()) return false;
    UnregisterEntry(*it);
    m_entries.erase(it);
    return true;
}

void CHotKeyEngine::RemoveAllEntries() {
    DisableAllHotKeys();
    m_entries.clear();
}

// Every registration and unregistration of an entry passes here. An entry that was never
// numbered has nothing registered, and its id must never reach the system: the id 0 it
// once carried is Ctrl+Alt+Home's.
void CHotKeyEngine::RegisterEntry(const HotKeyEntry& entry) {
    if (entry.hotkey != 0 && entry.IsNumbered())
        CSysUtil(m_system).RegHotKey(m_hPanel, entry.hotkey, entry.id);
}

void CHotKeyEngine::UnregisterEntry(const HotKeyEntry& entry) {
    if (entry.hotkey != 0 && entry.IsNumbered()) m_system.UnregisterHotKey(m_hPanel, entry.id);
}

// Exactly one of the two buttons offers the switch that makes sense.
void CHotKeyEngine::SetButtons(bool hotKeysOn) {
    m_system.EnableWindow(m_hHotKeysOffButton, hotKeysOn);
    m_system.EnableWindow(m_hHotKeysOnButton, !hotKeysOn);
}

void CHotKeyEngine::LaunchEntryWithId(int id) {
    if (id < kFirstEntryHotKeyId) return; // the fixed ids and the system's own
    EntryList::const_iterator it = FindEntryById(m_entries, id);
    if (it == m_entries.end()) return;
    // A copy: a launch may run a message loop, and nothing may pull the entry away
    // from under it meanwhile.
    const HotKeyEntry entry = *it;
    LaunchTarget(entry.path, entry.workdir, entry.builtin, m_system, m_allowShutdown);
}
