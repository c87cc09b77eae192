#include "app/tarnwick_app.h"

#include "panel/tarnwick_dlg.h"

#include <windows.h>
#include <commctrl.h>

int CTarnwickApp::InitInstance(const std::string& commandLine) {
    InitCommonControls();

    m_bAllowShutdown = 1;

    // The mutex is never closed: it marks this copy as the running one until the end.
    CreateMutexA(nullptr, TRUE, ApplicationName().c_str());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        HWND running = FindWindowA(nullptr, kPanelCaption);
        ShowWindow(running, SW_SHOWNORMAL);
        if (!SetForegroundWindow(running)) {
            MessageBoxA(nullptr, "已经有一个打开的 Tarnwick 实例,但无法激活它!", "Tarnwick Error",
                        MB_ICONERROR);
        }
        return FALSE;
    }

    CTarnwickDlg dlg(m_system, m_bAllowShutdown);
    if (!commandLine.empty()) {
        dlg.m_bPanelVisible = false;
        SetCurrentDirectoryA(commandLine.c_str());
    }
    CDialog::SetMainWnd(&dlg);
    dlg.DoModal();
    return FALSE; // the panel's destruction also takes it off as the main window
}
