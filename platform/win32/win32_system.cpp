#include "platform/win32/win32_system.h"

#include "platform/win32/desktop_shell.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

// The normal window keeps the command every launch had before the choice existed.
int ShowCommand(tw::WindowShow show) {
    switch (show) {
    case tw::WindowShow::Minimized: return SW_SHOWMINNOACTIVE;
    case tw::WindowShow::Maximized: return SW_SHOWMAXIMIZED;
    case tw::WindowShow::Hidden: return SW_HIDE;
    case tw::WindowShow::Normal: break;
    }
    return SW_SHOW;
}

// A file or folder named with its folder that is not there: the shell's own start says
// so, where the desktop's shell would start nothing and say nothing.
bool NamedTargetsExist(const std::wstring& file, const std::wstring& directory) {
    const auto missing = [](std::wstring path) {
        path.erase(0, path.find_first_not_of(L" \""));
        const size_t end = path.find_last_not_of(L" \"");
        path.erase(end == std::wstring::npos ? 0 : end + 1);
        const bool full = (path.size() > 2 && path[1] == L':') || path.compare(0, 2, L"\\\\") == 0;
        return full && ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
    };
    return !missing(file) && (directory.empty() || !missing(directory));
}

HWND Hwnd(tw::WindowRef window) {
    return static_cast<HWND>(window);
}

HKEY RootKey(tw::RegRoot root) {
    return root == tw::RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

} // namespace

bool Win32System::RegisterHotKey(tw::WindowRef window, int id, unsigned modifiers, unsigned vk) {
    return ::RegisterHotKey(Hwnd(window), id, modifiers, vk) != FALSE;
}

bool Win32System::UnregisterHotKey(tw::WindowRef window, int id) {
    return ::UnregisterHotKey(Hwnd(window), id) != FALSE;
}

std::string Win32System::KeyName(unsigned vk, bool extended) {
    const UINT scan = ::MapVirtualKeyW(vk, 0);
    LONG param = static_cast<LONG>(scan << 16);
    if (extended) param |= 1L << 24;
    // GetKeyNameText cuts a long name to the buffer without saying so: grow until the
    // name leaves room to spare.
    for (int size = 64; size <= 65536; size *= 2) {
        std::vector<wchar_t> buf(size);
        const int n = ::GetKeyNameTextW(param, buf.data(), size);
        if (n <= 0) return std::string();
        if (n < size - 1) return Narrow(std::wstring_view(buf.data(), n));
    }
    return std::string();
}

void Win32System::ShowWindow(tw::WindowRef window, bool show) {
    ::ShowWindow(Hwnd(window), show ? SW_SHOW : SW_HIDE);
}

void Win32System::EnableWindow(tw::WindowRef window, bool enable) {
    ::EnableWindow(Hwnd(window), enable ? TRUE : FALSE);
}

int Win32System::ShowMessageBox(tw::WindowRef owner, const std::string& text,
                                const std::string& caption, unsigned flags) {
    return ::MessageBoxW(Hwnd(owner), Widen(text).c_str(), Widen(caption).c_str(), flags);
}

void Win32System::ShellOpen(const std::string& file, const std::string& directory) {
    ::ShellExecuteW(nullptr, nullptr, Widen(file).c_str(), nullptr, Widen(directory).c_str(), SW_SHOW);
}

unsigned long Win32System::ShellLaunch(const tw::ShellLaunchRequest& request) {
    const std::wstring file = Widen(request.file);
    const std::wstring parameters = Widen(request.parameters);
    const std::wstring directory = Widen(request.directory);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    // No error boxes of the shell's: a hotkey press must never leave a modal box behind
    // the user's window, and the panel explains a failure in its own words.
    info.fMask = SEE_MASK_FLAG_NO_UI | (request.started != nullptr ? SEE_MASK_NOCLOSEPROCESS : 0);
    info.lpVerb = request.runAs ? L"runas" : nullptr;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = directory.c_str();
    info.nShow = ShowCommand(request.show);
    if (request.asDesktopUser && NamedTargetsExist(file, directory) &&
        LaunchThroughDesktopShell(file, parameters, directory, info.nShow))
        return tw::kLaunchOk;
    ::SetLastError(ERROR_SUCCESS);
    if (::ShellExecuteExW(&info)) {
        if (request.started != nullptr) *request.started = info.hProcess;
        return tw::kLaunchOk;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_SUCCESS) return error;
    // Some shells leave the last error alone and answer only in hInstApp (a value of 32
    // or less); the old codes are the same numbers as the errors they stand for, but for
    // the ones below.
    const auto code = reinterpret_cast<UINT_PTR>(info.hInstApp);
    switch (code) {
    case SE_ERR_NOASSOC: return tw::kErrNoAssociation;
    case SE_ERR_ASSOCINCOMPLETE: return tw::kErrNoAssociation;
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
    case SE_ERR_DDETIMEOUT: return tw::kErrDdeFail;
    case SE_ERR_SHARE: return tw::kErrSharingViolation;
    case 0: return tw::kErrNotEnoughMemory;
    default: return code > 0 && code <= 32 ? static_cast<unsigned long>(code) : ERROR_GEN_FAILURE;
    }
}

std::string Win32System::ExpandEnvironment(const std::string& text) {
    if (text.find('%') == std::string::npos) return text;
    const std::wstring wide = Widen(text);
    // The answer counts the units written with the terminating zero, or the units needed
    // when the buffer was too small; a value may change between asking and reading, so
    // ask again then. The result is at most 32767 units.
    for (DWORD size = static_cast<DWORD>(wide.size()) + 256; size <= 65536;) {
        std::vector<wchar_t> buf(size + 1, L'\0');
        const DWORD n = ::ExpandEnvironmentStringsW(wide.c_str(), buf.data(), size);
        if (n == 0) return text;
        if (n <= size) return Narrow(buf.data());
        size = n;
    }
    return text;
}

// userenv is no known DLL: imported, it would be looked for beside the program before the
// program starts. It is loaded from the system folder for each refresh instead.
void Win32System::RefreshEnvironment() {
    using CreateEnvironmentBlockFn = BOOL(WINAPI*)(LPVOID*, HANDLE, BOOL);
    using DestroyEnvironmentBlockFn = BOOL(WINAPI*)(LPVOID);
    HMODULE userenv = LoadSystemLibrary(L"userenv.dll");
    if (userenv == nullptr) return;
    auto create = reinterpret_cast<CreateEnvironmentBlockFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(userenv, "CreateEnvironmentBlock")));
    auto destroy = reinterpret_cast<DestroyEnvironmentBlockFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(userenv, "DestroyEnvironmentBlock")));
    HANDLE token = nullptr;
    LPVOID block = nullptr;
    // A primary token needs both rights. Not inherited: the block is to hold what the
    // registry says now, without this process's own variables.
    if (create != nullptr && destroy != nullptr &&
        ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY | TOKEN_DUPLICATE, &token)) {
        if (!create(&block, token, FALSE)) block = nullptr;
        ::CloseHandle(token);
    }
    if (block != nullptr) {
        // NAME=value strings, the last followed by an empty one. Those that start with '='
        // are the current folders of the drives, which belong to this process. The processor
        // stays as this process was given it: on a 64-bit system a 32-bit process and the
        // 32-bit programs it starts have x86 there, where the block names the machine's.
        for (const wchar_t* entry = static_cast<const wchar_t*>(block); *entry != L'\0';
             entry += std::wcslen(entry) + 1) {
            const wchar_t* sign = std::wcschr(entry + 1, L'=');
            if (entry[0] == L'=' || sign == nullptr) continue;
            const std::wstring name(entry, sign);
            if (::lstrcmpiW(name.c_str(), L"PROCESSOR_ARCHITECTURE") == 0) continue;
            ::SetEnvironmentVariableW(name.c_str(), sign + 1);
        }
        destroy(block);
    }
    ::FreeLibrary(userenv);
}

void Win32System::AllowLaunchedForeground() {
    ::AllowSetForegroundWindow(ASFW_ANY);
}

// winmm is loaded at the first command, from the system folder, and kept: imported, it
// would be looked for in the program's folder before the program even starts.
void Win32System::SendMciCommand(const std::string& command) {
    using MciSendStringFn = MCIERROR(WINAPI*)(LPCWSTR, LPWSTR, UINT, HWND);
    if (m_mciSendString == nullptr) {
        HMODULE winmm = LoadSystemLibrary(L"winmm.dll");
        if (winmm == nullptr) return;
        m_mciSendString = reinterpret_cast<void (*)()>(::GetProcAddress(winmm, "mciSendStringW"));
        if (m_mciSendString == nullptr) return;
    }
    reinterpret_cast<MciSendStringFn>(m_mciSendString)(Widen(command).c_str(), nullptr, 0, nullptr);
}

tw::TokenRef Win32System::OpenProcessToken() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return nullptr;
    return token;
}

bool Win32System::EnableShutdownPrivilege(tw::TokenRef token) {
    TOKEN_PRIVILEGES privileges = {};
    ::LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Success alone does not tell: a privilege the account lacks leaves the call
    // successful with ERROR_NOT_ALL_ASSIGNED. Clearing first keeps an older error from
    // being read as this call's.
    ::SetLastError(ERROR_SUCCESS);
    ::AdjustTokenPrivileges(static_cast<HANDLE>(token), FALSE, &privileges, 0, nullptr, nullptr);
    return ::GetLastError() == ERROR_SUCCESS && token != nullptr;
}

void Win32System::CloseToken(tw::TokenRef token) {
    if (token != nullptr) ::CloseHandle(static_cast<HANDLE>(token));
}

bool Win32System::RequestPowerOff() {
    return ::ExitWindowsEx(EWX_POWEROFF, 0) != FALSE;
}

std::string Win32System::GetCurrentDir() {
    // The directory may change between asking for the size and reading it; try again then.
    for (;;) {
        const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
        if (size == 0) return std::string();
        std::vector<wchar_t> buf(size);
        const DWORD n = ::GetCurrentDirectoryW(size, buf.data());
        if (n == 0) return std::string();
        if (n < size) return Narrow(std::wstring_view(buf.data(), n));
    }
}

bool Win32System::SetCurrentDir(const std::string& directory) {
    return ::SetCurrentDirectoryW(Widen(directory).c_str()) != FALSE;
}

tw::RegWriteResult Win32System::WriteRegString(tw::RegRoot root, const std::string& subkey,
                                               const std::string& name, const std::string& data) {
    HKEY key = nullptr;
    if (::RegCreateKeyW(RootKey(root), Widen(subkey).c_str(), &key) != ERROR_SUCCESS)
        return tw::RegWriteResult::CannotCreateKey;
    const std::wstring value = Widen(data);
    const LONG set = ::RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ,
                                      reinterpret_cast<const BYTE*>(value.c_str()),
                                      static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return set == ERROR_SUCCESS ? tw::RegWriteResult::Ok : tw::RegWriteResult::CannotSetValue;
}

bool Win32System::ReadRegString(tw::RegRoot root, const std::string& subkey,
                                const std::string& name, std::string& data) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(RootKey(root), Widen(subkey).c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS)
        return false;
    const std::wstring valueName = Widen(name);
    // The value may grow between asking for its size and reading it; ask again then.
    LONG rc = ERROR_MORE_DATA;
    std::vector<wchar_t> buf;
    for (int tries = 0; rc == ERROR_MORE_DATA && tries < 4; ++tries) {
        DWORD size = 0;
        rc = ::RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, nullptr, &size);
        if (rc != ERROR_SUCCESS) break;
        buf.assign(size / sizeof(wchar_t) + 2, L'\0');
        rc = ::RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr,
                                reinterpret_cast<BYTE*>(buf.data()), &size);
    }
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
    // A string stored without its terminating zero still ends at the buffer's last unit.
    data = Narrow(buf.data());
    return true;
}

