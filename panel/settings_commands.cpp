// The settings file read at start-up, and the two check boxes that change a setting.

#include "panel/tarnwick_dlg.h"

#include "engine/sys_util.h"
#include "platform/ui_text.h"
#include "res/resource.h"
#include "storage/settings.h"

namespace {
// Read by LoadSettings below, written only by WriteSetting (storage/settings.cpp) from the
// two check boxes; relative, so it is the current directory's.
const char kSettingsFile[] = "tarnwick.ini";
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";
const char kRunValue[] = "ZELO.Tarnwick.Run";
} // namespace

bool CTarnwickDlg::LoadSettings() {
    Settings settings;
    switch (::LoadSettings(kSettingsFile, settings)) {
    case SettingsLoad::NoFile:
        Message(tw::UiText(IDS_NO_SETTINGS), "TARNWICK ERROR", MB_ICONERROR);
        return false;
    case SettingsLoad::NoMapFile:
        Message(tw::UiText(IDS_BAD_SETTINGS), "TARNWICK ERROR", MB_ICONERROR);
        return false;
    case SettingsLoad::Ok: break;
    }
    m_bShowTray = settings.showTray;
    m_bAutoRun = settings.autoRun;
    m_strListFile = settings.listFile;
    return true;
}

void CTarnwickDlg::OnShowTray() {
    m_bShowTray = IsDlgButtonChecked(m_hWnd, IDC_CHK_SHOWTRAY) == BST_CHECKED;
    if (m_bShowTray)
        m_TrayIcon.ShowInTray();
    else
        m_TrayIcon.HideFromTray();
    WriteSetting(kSettingsFile, "showtray", m_bShowTray ? "yes" : "no");
}

void CTarnwickDlg::OnAutoRun() {
    m_bAutoRun = IsDlgButtonChecked(m_hWnd, IDC_CHK_AUTORUN) == BST_CHECKED;
    const std::string command = BuildRunCommand(m_system.GetCurrentDir(), m_bAutoRun);
    CSysUtil(m_system).WriteRegString(tw::RegRoot::LocalMachine, kRunKey, kRunValue, command);
    WriteSetting(kSettingsFile, "autorun", m_bAutoRun ? "yes" : "no");
}
