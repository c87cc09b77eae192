// What decides where the program may be started from at log-on, and the clock the hotkey
// retries are paced by.

#include "platform/win32/win32_system.h"

#include "platform/folder_rule.h"
#include "platform/win32/wide.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

// Absolute, without "." and "..", and with the long name of every part that exists: a
// short name such as PROGRA~1 would not match the folder's long one. Empty on failure.
std::wstring Resolve(const std::wstring& path) {
    if (path.empty()) return std::wstring();
    DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return std::wstring();
    std::wstring full(size, L'\0');
    size = ::GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    if (size == 0 || size >= full.size()) return std::wstring();
    full.resize(size);

    DWORD longSize = ::GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longSize == 0) return full; // not there (yet): its full name is all there is
    std::wstring longName(longSize, L'\0');
    longSize = ::GetLongPathNameW(full.c_str(), &longName[0], longSize);
    if (longSize == 0 || longSize >= longName.size()) return full;
    longName.resize(longSize);
    return longName;
}

std::wstring ShellFolder(int csidl) {
    wchar_t buf[MAX_PATH] = {};
    if (::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK)
        return std::wstring();
    return buf;
}

// The 64-bit Program Files, which a 32-bit program on 64-bit Windows is not told about by
// the folder calls: the machine's 64-bit registry view names it (on 32-bit Windows the one
// view names the one folder). Taken from the registry, which only administrators write,
// never from the environment, which the user sets.
std::wstring NativeProgramFiles() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                        KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t buf[MAX_PATH + 1] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    DWORD type = 0;
    const LONG rc = ::RegQueryValueExW(key, L"ProgramFilesDir", nullptr, &type,
                                       reinterpret_cast<BYTE*>(buf), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::wstring();
    return buf;
}

} // namespace

bool Win32System::IsInSystemFolder(const std::string& path) {
    const std::wstring resolved = Resolve(Widen(path));
    if (resolved.empty()) return false;
    const std::vector<std::wstring> folders = {ShellFolder(CSIDL_PROGRAM_FILES),
                                               ShellFolder(CSIDL_PROGRAM_FILESX86),
                                               NativeProgramFiles(), ShellFolder(CSIDL_WINDOWS)};
    for (const std::wstring& folder : folders) {
        if (folder.empty()) continue;
        const std::wstring resolvedFolder = Resolve(folder);
        if (!resolvedFolder.empty() && IsInsideFolder(Narrow(resolved), Narrow(resolvedFolder)))
            return true;
    }
    return false;
}

unsigned long Win32System::TickCountMs() {
    return ::GetTickCount();
}
