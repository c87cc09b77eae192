#pragma once
// The base of every window object of ours: an HWND and thin forwarders over the calls
// the program makes on windows. A control bound by data exchange is subclassed, so a
// derived control class can see its own messages through WindowProc.

#include "platform/win32/wide.h"

#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    BOOL EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }
    void SetWindowText(const std::string& text) { ::SetWindowTextW(m_hWnd, Widen(text).c_str()); }
    std::string GetWindowText() const { return WindowText(m_hWnd); }
    // `big` true: the caption's and Alt+Tab's icon; false: the small one. The window does
    // not release it.
    void SetIcon(HICON icon, BOOL big) {
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
    // Removes then adds style bits; true when the style changed.
    BOOL ModifyStyle(DWORD remove, DWORD add);

    // Routes the window's messages through WindowProc until the window is destroyed or
    // UnsubclassWindow is called. The window's user data (GWLP_USERDATA) leads back to
    // this object meanwhile. False when this object already holds a window, or when the
    // window's user data is already in use.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(int id, HWND parent) { return SubclassWindow(::GetDlgItem(parent, id)); }
    HWND UnsubclassWindow();

    // The object subclassing `hwnd` (a window bound by SubclassWindow), or null.
    static CWnd* FromSubclassed(HWND hwnd);
    // Any window's text, of any length.
    static std::string WindowText(HWND hwnd);

protected:
    // Messages of a subclassed window; the default passes them to the window's own
    // procedure.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    WNDPROC m_pfnSuper = nullptr;
};
