// Pixel sizes in the code are meant for a 96-DPI screen. The program declares itself DPI
// aware, so the system no longer stretches its windows: whatever it sizes in pixels has to
// grow with the screen's DPI itself, as the dialog templates (in dialog units) already do.
#pragma once

#include <windows.h>

namespace tw {

inline int ScreenDpi() {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return 96;
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

inline int ScaleForDpi(int pixels) {
    return ::MulDiv(pixels, ScreenDpi(), 96);
}

} // namespace tw
