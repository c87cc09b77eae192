// Programs already running: a process this program started, the processes of one
// executable, and bringing their windows back.

#include "platform/win32/win32_system.h"

#include "platform/win32/desktop_shell.h"
#include "platform/win32/wide.h"

#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

namespace {

#ifndef PROCESS_QUERY_LIMITED_INFORMATION
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
#endif

using QueryImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

// Windows Vista and later; before, no process is matched by its path.
QueryImageNameFn QueryImageName() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel == nullptr ? nullptr
                             : reinterpret_cast<QueryImageNameFn>(reinterpret_cast<void*>(
                                   ::GetProcAddress(kernel, "QueryFullProcessImageNameW")));
}

// The executable a process runs, as a full path; empty when it cannot be asked.
std::wstring ImagePathOf(QueryImageNameFn query, DWORD processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return std::wstring();
    wchar_t buffer[MAX_PATH * 4];
    DWORD size = static_cast<DWORD>(sizeof buffer / sizeof buffer[0]);
    const BOOL ok = query(process, 0, buffer, &size);
    ::CloseHandle(process);
    return ok ? std::wstring(buffer, size) : std::wstring();
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The windows a person switches to: visible, top-level and owned by no other window.
struct WindowSearch {
    std::vector<DWORD> processIds;
    std::vector<tw::WindowRef> windows;
};

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (!::IsWindowVisible(wnd) || ::GetWindow(wnd, GW_OWNER) != nullptr) return TRUE;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(wnd, &processId);
    for (DWORD id : search->processIds)
        if (id == processId) search->windows.push_back(wnd);
    return TRUE;
}

// EnumWindows goes from the top of the z-order down: front-most first.
std::vector<tw::WindowRef> WindowsOf(const std::vector<DWORD>& processIds) {
    WindowSearch search;
    search.processIds = processIds;
    if (!processIds.empty()) ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

} // namespace

tw::RunningProgram Win32System::StartedProcess(tw::ProcessRef process) {
    tw::RunningProgram program;
    HANDLE handle = static_cast<HANDLE>(process);
    if (handle == nullptr || ::WaitForSingleObject(handle, 0) != WAIT_TIMEOUT) return program;
    program.running = true;
    program.windows = WindowsOf({::GetProcessId(handle)});
    return program;
}

void Win32System::ReleaseProcess(tw::ProcessRef process) {
    if (process != nullptr) ::CloseHandle(static_cast<HANDLE>(process));
}

tw::RunningProgram Win32System::ProgramByPath(const std::string& path) {
    tw::RunningProgram program;
    const QueryImageNameFn query = QueryImageName();
    const std::wstring wanted = Upper(Widen(path));
    if (query == nullptr || wanted.empty()) return program;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return program;
    std::vector<DWORD> ids;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != ::GetCurrentProcessId() &&
            Upper(ImagePathOf(query, entry.th32ProcessID)) == wanted)
            ids.push_back(entry.th32ProcessID);
    }
    ::CloseHandle(snapshot);
    program.running = !ids.empty();
    program.windows = WindowsOf(ids);
    return program;
}

// Asked afresh at each launch: the desktop's shell may have been restarted meanwhile.
bool Win32System::IsElevated() {
    return ElevatedAboveDesktopShell();
}

tw::WindowRef Win32System::ForegroundWindow() {
    return ::GetForegroundWindow();
}

bool Win32System::IsMinimized(tw::WindowRef window) {
    return ::IsIconic(static_cast<HWND>(window)) != FALSE;
}

// A hotkey press gave this process the right to set the foreground window.
void Win32System::BringToFront(tw::WindowRef window) {
    HWND wnd = static_cast<HWND>(window);
    if (::IsIconic(wnd)) ::ShowWindow(wnd, SW_RESTORE);
    ::SetForegroundWindow(wnd);
}

void Win32System::Minimize(tw::WindowRef window) {
    ::ShowWindow(static_cast<HWND>(window), SW_MINIMIZE);
}
