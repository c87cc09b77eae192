#include "app/tarnwick_app.h"

#include "app/app_name.h"

#include "panel/tarnwick_dlg.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"

#include <windows.h>
#include <commctrl.h>

int CTarnwickApp::InitInstance(const std::string& commandLine) {
    // Before anything can load a DLL by name: the program's folder may be a Downloads
    // folder holding anything.
    RestrictDllSearchToSystem();
    InitCommonControls();

    m_bAllowShutdown = 1;

    const std::string appName = ApplicationName();
    CDialog::SetAppName(appName);

    // The mutex is never closed: it marks this copy as the running one until the end.
    // Nothing may run between the two calls that could change the last error.
    CreateMutexW(nullptr, TRUE, Widen(appName).c_str());
    const DWORD mutexError = GetLastError();
    if (mutexError == ERROR_ALREADY_EXISTS) {
        HWND running = FindWindowW(nullptr, Widen(kPanelCaption).c_str());
        ShowWindow(running, SW_SHOWNORMAL);
        if (!SetForegroundWindow(running)) {
            MessageBoxW(nullptr, L"已经有一个打开的 Tarnwick 实例,但无法激活它!", L"Tarnwick Error",
                        MB_ICONERROR);
        }
        return FALSE;
    }

    CTarnwickDlg dlg(m_system, m_bAllowShutdown);
    if (!commandLine.empty()) {
        dlg.m_bPanelVisible = false;
        SetCurrentDirectoryW(Widen(commandLine).c_str());
    }
    CDialog::SetMainWnd(&dlg);
    dlg.DoModal();
    return FALSE; // the panel's destruction also takes it off as the main window
}
