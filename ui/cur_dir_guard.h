#pragma once
// Keeps the process's current directory across a call that may change it (the common
// file dialogs do): the settings file and relative list-file paths are opened against
// it.

#include "platform/win32/wide.h"

#include <windows.h>

#include <string>
#include <vector>

class CurDirGuard {
public:
    // Of any length: a directory deeper than the customary 260 characters is kept whole,
    // never cut.
    CurDirGuard() {
        const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
        if (size == 0) return;
        std::vector<wchar_t> buffer(size + 1, L'\0');
        const DWORD length = ::GetCurrentDirectoryW(size + 1, buffer.data());
        // Nothing, or a directory that no longer fits: better not to restore than to
        // restore a wrong one.
        m_bSaved = length > 0 && length <= size;
        if (m_bSaved) m_directory.assign(buffer.data(), length);
    }
    ~CurDirGuard() {
        if (m_bSaved) ::SetCurrentDirectoryW(m_directory.c_str());
    }
    CurDirGuard(const CurDirGuard&) = delete;
    CurDirGuard& operator=(const CurDirGuard&) = delete;

private:
    std::wstring m_directory;
    bool m_bSaved = false;
};
