#pragma once
// Asks the system to tell a window when the user's session is locked and unlocked
// (WM_WTSSESSION_CHANGE). The service lives in wtsapi32.dll, which is not one of the
// system's known DLLs: importing it would let a file of that name in the program's folder
// be loaded instead, so it is loaded at run time from the system folder only.

#include <windows.h>

// What WM_WTSSESSION_CHANGE carries in wParam when the session is unlocked.
constexpr WPARAM kSessionUnlock = 0x8;    // WTS_SESSION_UNLOCK
constexpr UINT kWmSessionChange = 0x02B1; // WM_WTSSESSION_CHANGE

class SessionEvents {
public:
    SessionEvents() = default;
    ~SessionEvents() { Stop(); }
    SessionEvents(const SessionEvents&) = delete;
    SessionEvents& operator=(const SessionEvents&) = delete;

    // False when the system offers no such notice; the window then never hears of one.
    bool Start(HWND window);
    // Before the window goes: the system keeps the registration otherwise.
    void Stop();

private:
    HMODULE m_module = nullptr;
    HWND m_window = nullptr;
};
