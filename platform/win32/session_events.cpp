#include "platform/win32/session_events.h"

#include <string>

namespace {

// Not in every SDK's headers; older systems without the update that brought it refuse the
// flag with ERROR_INVALID_PARAMETER.
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;
constexpr DWORD kNotifyForThisSession = 0;

using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFn = BOOL(WINAPI*)(HWND);

template <class Fn>
Fn Function(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

HMODULE LoadSystemLibrary(const char* fileName) {
    HMODULE module = ::LoadLibraryExA(fileName, nullptr, kLoadLibrarySearchSystem32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    char system[MAX_PATH] = {};
    const UINT n = ::GetSystemDirectoryA(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    const std::string path = std::string(system, n) + "\\" + fileName;
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

bool SessionEvents::Start(HWND window) {
    Stop();
    m_module = LoadSystemLibrary("wtsapi32.dll");
    if (m_module == nullptr) return false;
    const RegisterFn start = Function<RegisterFn>(m_module, "WTSRegisterSessionNotification");
    if (start == nullptr || !start(window, kNotifyForThisSession)) {
        ::FreeLibrary(m_module);
        m_module = nullptr;
        return false;
    }
    m_window = window;
    return true;
}

void SessionEvents::Stop() {
    if (m_module == nullptr) return;
    const UnregisterFn stop = Function<UnregisterFn>(m_module, "WTSUnRegisterSessionNotification");
    if (stop != nullptr && m_window != nullptr) stop(m_window);
    ::FreeLibrary(m_module);
    m_module = nullptr;
    m_window = nullptr;
}
