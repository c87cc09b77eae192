// Pixel sizes in the code are meant for a 96-DPI screen. The program declares itself aware
// of each monitor's DPI, so the system stretches none of its windows: whatever it sizes in
// pixels has to grow with the DPI of the window's monitor itself, as the dialog templates
// (in dialog units) do when a dialog is created, and has to follow when a window moves to a
// monitor of another DPI (WM_DPICHANGED; CDialog follows it for every dialog).
#pragma once

#include <windows.h>

namespace tw {

// Older headers lack it; the message exists from Windows 8.1 on.
const UINT kWmDpiChanged = 0x02E0; // WM_DPICHANGED

inline int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return 96;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The DPI of the monitor a window is on (Windows 10 1607 on), else the screen's.
inline int WindowDpi(HWND hwnd) {
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    static const FARPROC proc =
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    if (proc != nullptr && hwnd != nullptr) {
        const UINT dpi = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(proc))(hwnd);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

inline int ScaleForDpi(int pixels, int dpi) {
    return ::MulDiv(pixels, dpi, 96);
}

// A size the system gives for the screen's DPI (SM_CXICON, SM_CXSMICON, ...) at `dpi`.
inline int MetricForDpi(int metric, int dpi) {
    return ::MulDiv(::GetSystemMetrics(metric), dpi, ScreenDpi());
}

} // namespace tw
