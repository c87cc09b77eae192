#pragma once
// Keeps the process's current directory across a call that may change it (the common
// file dialogs do): the settings file and relative list-file paths are opened against
// it.

#include <windows.h>

class CurDirGuard {
public:
    CurDirGuard() {
        DWORD length = ::GetCurrentDirectoryA(kSize, m_directory);
        // A longer directory did not fit; better not to restore than to restore a
        // wrong one.
        m_bSaved = length > 0 && length < kSize;
    }
    ~CurDirGuard() {
        if (m_bSaved) ::SetCurrentDirectoryA(m_directory);
    }
    CurDirGuard(const CurDirGuard&) = delete;
    CurDirGuard& operator=(const CurDirGuard&) = delete;

private:
    static const DWORD kSize = 260;
    char m_directory[kSize] = {};
    bool m_bSaved = false;
};
