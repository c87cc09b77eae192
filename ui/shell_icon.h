#pragma once
// Icons taken from files through the shell, and the one shown by a static control. The
// caller owns every extracted icon: a static control never releases what it shows, and an
// image list keeps a copy of what it is given.

#include "platform/win32/wide.h"
#include "ui/controls.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

// A file named with environment variables (%SystemRoot%\...) as it stands on this
// machine now; lists keep the names, so they serve every user and machine.
inline std::wstring ExpandedFile(const std::string& file) {
    const std::wstring wide = Widen(file);
    if (file.find('%') == std::string::npos) return wide;
    wchar_t expanded[MAX_PATH] = {};
    const DWORD n = ::ExpandEnvironmentStringsW(wide.c_str(), expanded, MAX_PATH);
    // No icon file is longer than a path; one that expands beyond that stays as written.
    return n == 0 || n > MAX_PATH ? wide : std::wstring(expanded);
}

// Icon `index` of `file` at the system's large size, or null. The shell answers 1, not
// null, for a file that is no program, library or icon file; that is no icon either.
// Index -1 asks the shell for the number of icons, which is no handle: no icon. Other
// negative indexes name an icon by its resource id.
inline HICON ExtractFileIcon(const std::string& file, int index) {
    if (index == -1) return nullptr;
    HICON icon = ::ExtractIconW(::GetModuleHandleW(nullptr), ExpandedFile(file).c_str(),
                                static_cast<UINT>(index));
    return icon == reinterpret_cast<HICON>(1) ? nullptr : icon;
}

// How many icons `file` holds; 0 for a missing file or one without icons.
inline int FileIconCount(const std::string& file) {
    const int count = static_cast<int>(
        ::ExtractIconExW(ExpandedFile(file).c_str(), -1, nullptr, nullptr, static_cast<UINT>(-1)));
    return count > 0 ? count : 0;
}

// Shows `icon` (null blanks the display) and releases `owned`, the extracted icon shown
// until now, which then holds `icon`. Call with null at the end, while the control still
// exists, so the display never shows a released icon.
inline void ShowOwnedIcon(CStatic& display, HICON icon, HICON& owned) {
    display.SetIcon(icon);
    if (owned != nullptr && owned != icon) ::DestroyIcon(owned);
    owned = icon;
}
