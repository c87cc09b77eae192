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
    for (const HotKeyEntry& entry : m_entries) {
        if (entry.hotkey != 0) m_system.UnregisterHotKey(m_hPanel, entry.id);
    }
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
    if (entry.hotkey != 0) m_system.UnregisterHotKey(m_hPanel, entry.id);
    if (newCode != 0) CSysUtil(m_system).RegHotKey(m_hPanel, newCode, entry.id);
    entry.hotkey = newCode;
}

bool CHotKeyEngine::RemoveEntry(const std::string& name, const std::string& keydes) {
    EntryList::iterator it = FindEntryByRow(m_entries, name, keydes);
    if (it == m_entries.end()) return false;
    if (it->hotkey != 0) m_system.UnregisterHotKey(m_hPanel, it->id);
    m_entries.erase(it);
    return true;
}

void CHotKeyEngine::RemoveAllEntries() {
    DisableAllHotKeys();
    m_entries.clear();
}

void CHotKeyEngine::RegisterEntry(const HotKeyEntry& entry) {
    if (entry.hotkey != 0) CSysUtil(m_system).RegHotKey(m_hPanel, entry.hotkey, entry.id);
}

// Exactly one of the two buttons offers the switch that makes sense.
void CHotKeyEngine::SetButtons(bool hotKeysOn) {
    m_system.EnableWindow(m_hHotKeysOffButton, hotKeysOn);
    m_system.EnableWindow(m_hHotKeysOnButton, !hotKeysOn);
}

void CHotKeyEngine::LaunchEntryWithId(int id) {
    EntryList::const_iterator it = FindEntryById(m_entries, id);
    if (it == m_entries.end()) return;
    // A copy: a launch may run a message loop, and nothing may pull the entry away
    // from under it meanwhile.
    const HotKeyEntry entry = *it;
    LaunchTarget(entry.path, entry.workdir, entry.builtin, m_system, m_allowShutdown);
}
