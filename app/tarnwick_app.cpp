#include "app/tarnwick_app.h"

#include "app/app_name.h"

#include "engine/command_switch.h"
#include "panel/tarnwick_dlg.h"
#include "platform/ui_text.h"
#include "platform/win32/system_library.h"
#include "platform/win32/ui_resources.h"
#include "res/resource.h"
#include "storage/settings.h"
#include "platform/win32/wide.h"

#include <windows.h>
#include <commctrl.h>

namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string FullPath(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
    if (written == 0 || written >= size) return path;
    full.resize(written);
    return Narrow(full);
}

// Hands the switch to the running copy's panel and waits for what became of it.
int HandToRunningCopy(HWND running, const CommandSwitch& command) {
    if (running == nullptr) return kSwitchNoRunningCopy;
    // A person started this copy: the running one may come to the front for /show.
    DWORD runningProcess = 0;
    GetWindowThreadProcessId(running, &runningProcess);
    AllowSetForegroundWindow(runningProcess);
    const std::wstring text = Widen(SwitchMessage(command));
    COPYDATASTRUCT data = {};
    data.dwData = kSwitchCopyDataId;
    data.cbData = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(text.c_str());
    DWORD_PTR answer = kSwitchRefused;
    if (!SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 60000, &answer))
        return kSwitchRefused;
    return static_cast<int>(answer);
}

// The language of the settings file in the current folder, or the display language's; the
// settings as read, for what else start-up takes from them.
Settings ShowLanguageOfSettings() {
    Settings settings;
    LoadSettings(kSettingsFileName, settings);
    ShowUiLanguage(tw::ChooseUiLanguage(settings.language, ChineseDisplayLanguage()));
    return settings;
}

} // namespace

int CTarnwickApp::InitInstance(const std::string& commandLine) {
    // Before anything can load a DLL by name: the program's folder may be a Downloads
    // folder holding anything.
    RestrictDllSearchToSystem();
    InitCommonControls();
    InstallStringTable();

    m_bAllowShutdown = 1;

    const std::string appName = ApplicationName();
    CDialog::SetAppName(appName);

    CommandSwitch command = ParseCommandSwitch(commandLine, IsFolder);
    // The running copy has a current folder of its own.
    if (!command.file.empty()) command.file = FullPath(command.file);
    if (command.kind == SwitchKind::Unknown) {
        m_nExitCode = kSwitchUnknown;
        return FALSE;
    }

    // The mutex is never closed: it marks this copy as the running one until the end.
    // Nothing may run between the two calls that could change the last error.
    CreateMutexW(nullptr, TRUE, Widen(appName).c_str());
    const DWORD mutexError = GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS) {
        HWND running = FindWindowW(nullptr, Widen(kPanelCaption).c_str());
        if (command.kind != SwitchKind::None) {
            m_nExitCode = HandToRunningCopy(running, command);
            return FALSE;
        }
        ShowWindow(running, SW_SHOWNORMAL);
        if (!SetForegroundWindow(running)) {
            ShowLanguageOfSettings();
            MessageBoxW(nullptr, Widen(tw::UiText(IDS_ALREADY_RUNNING)).c_str(), L"Tarnwick Error",
                        MB_ICONERROR);
        }
        return FALSE;
    }

    // Without a running copy only a list to load or merge starts one, with that list.
    if (command.kind != SwitchKind::None && command.kind != SwitchKind::Load &&
        command.kind != SwitchKind::Merge) {
        m_nExitCode = kSwitchNoRunningCopy;
        return FALSE;
    }
    CTarnwickDlg dlg(m_system, m_bAllowShutdown);
    if (command.kind != SwitchKind::None) {
        dlg.m_startSwitch = command;
    } else if (!commandLine.empty()) {
        dlg.m_bPanelVisible = false;
        SetCurrentDirectoryW(Widen(commandLine).c_str());
    }
    // The settings of the folder the panel reads them in choose its language. The list
    // they name is read while the panel window is made; the panel reads the settings again
    // and takes the entries when it comes to that file.
    const Settings settings = ShowLanguageOfSettings();
    if (!settings.listFile.empty()) dlg.m_readAhead.Start(settings.listFile);
    CDialog::SetMainWnd(&dlg);
    dlg.DoModal();
    return FALSE; // the panel's destruction also takes it off as the main window
}
