#include "platform/win32/session_events.h"

#include "platform/win32/system_library.h"

namespace {

constexpr DWORD kNotifyForThisSession = 0; // NOTIFY_FOR_THIS_SESSION

using RegisterFn = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterFn = BOOL(WINAPI*)(HWND);

template <class Fn>
Fn Function(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

} // namespace

bool SessionEvents::Start(HWND window) {
    Stop();
    m_module = LoadSystemLibrary(L"wtsapi32.dll");
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
