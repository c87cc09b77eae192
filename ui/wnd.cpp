#include "ui/wnd.h"

#include <vector>

// A subclassed control's user data leads back to its object. A window property would do
// too, but every message of the control looks it up, and a property is a round trip to the
// window system's server under Wine: thousands of rows cost thousands of round trips.

CWnd::~CWnd() {
    // A control object may die before its window (a dialog member outliving nothing);
    // its window must not keep calling into freed memory.
    UnsubclassWindow();
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    return TRUE;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (m_hWnd != nullptr || hwnd == nullptr || FromSubclassed(hwnd) != nullptr) return false;
    ::SetLastError(0);
    if (::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this)) == 0 &&
        ::GetLastError() != 0)
        return false;
    m_hWnd = hwnd;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
    return true;
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    if (hwnd == nullptr || m_pfnSuper == nullptr) return hwnd;
    if (::IsWindow(hwnd)) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    }
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hwnd;
}

CWnd* CWnd::FromSubclassed(HWND hwnd) {
    return hwnd ? reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
}

std::string CWnd::WindowText(HWND hwnd) {
    int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return std::string();
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    int copied = ::GetWindowTextW(hwnd, buffer.data(), length + 1);
    return Narrow(std::wstring_view(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0));
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultWindowProc(msg, wParam, lParam);
}

LRESULT CWnd::DefaultWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_pfnSuper, m_hWnd, msg, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromSubclassed(hwnd);
    if (wnd == nullptr) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg != WM_NCDESTROY) return wnd->WindowProc(msg, wParam, lParam);
    // The window's last message: hand it back to its own procedure and forget it, so
    // the object can be bound to a new window (a dialog run a second time).
    WNDPROC super = wnd->m_pfnSuper;
    wnd->UnsubclassWindow();
    return ::CallWindowProcW(super, hwnd, msg, wParam, lParam);
}
