#include "panel/tray_icon.h"

#include "platform/text_fit.h"
#include "platform/win32/ui_resources.h"
#include "platform/win32/wide.h"

#include <cstring>
#include <string>

namespace {
// The record in its first form (88 bytes in a 32-bit program, wider in a 64-bit one, where
// the handles are): every shell since the notification area exists understands it.
const DWORD kNotifyDataSize = NOTIFYICONDATAW_V1_SIZE;
// That form keeps 64 units of tip, the terminator included.
const int kTipUnits = 64;

// Copies a text that may be too long for a field of `units` without cutting a character
// in two.
template <size_t units>
void CopyFitted(wchar_t (&target)[units], const char* text) {
    const std::u16string fitted = FitWholeChars(Utf8ToUtf16(text ? text : ""), units);
    std::memcpy(target, fitted.c_str(), (fitted.size() + 1) * sizeof(wchar_t));
}
} // namespace

CTrayIcon::CTrayIcon() : m_bActive(FALSE), m_bHidden(FALSE) {
    std::memset(&m_nid, 0, sizeof(m_nid));
}

CTrayIcon::~CTrayIcon() {
    RemoveFromTray();
}

BOOL CTrayIcon::AddToTray(HWND owner, UINT callbackMessage, const char* tip, HICON icon, UINT id) {
    m_bPending = FALSE;
    if (LOBYTE(LOWORD(GetVersion())) < 4) {
        m_bActive = FALSE;
        return FALSE;
    }
    if (owner == NULL || !IsWindow(owner)) {
        m_bActive = FALSE;
        return FALSE;
    }
    m_nid.cbSize = kNotifyDataSize;
    m_nid.hWnd = owner;
    m_nid.uID = id;
    m_nid.hIcon = icon;
    m_nid.uCallbackMessage = callbackMessage;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    // The tip must fit in 63 units; a longer one is cut rather than overrun.
    SetTip(tip);
    m_bActive = Shell_NotifyIconW(NIM_ADD, &m_nid) ? TRUE : FALSE;
    m_bPending = !m_bActive;
    return m_bActive;
}

// A refused add may have taken effect all the same (the shell answered too late), so a
// waiting icon is taken out as well.
void CTrayIcon::RemoveFromTray() {
    if (!m_bActive && !m_bPending) return;
    ForgetBalloonIcon();
    m_nid.uFlags = 0;
    Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_bActive = FALSE;
    m_bPending = FALSE;
}

void CTrayIcon::HideFromTray() {
    if ((!m_bActive && !m_bPending) || m_bHidden) return;
    m_nid.uFlags = NIF_ICON;
    Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_bHidden = TRUE;
}

void CTrayIcon::ShowInTray() {
    if ((!m_bActive && !m_bPending) || !m_bHidden) return;
    m_bHidden = FALSE;
    if (m_bBalloonIcon) {
        ForgetBalloonIcon(); // already there: it stays
        m_bActive = TRUE;
        m_bPending = FALSE;
        return;
    }
    if (m_bPending) {
        RestoreAfterShellRestart();
        return;
    }
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    Shell_NotifyIconW(NIM_ADD, &m_nid);
}

void CTrayIcon::SetTip(const char* tip) {
    static_assert(sizeof m_nid.szTip / sizeof m_nid.szTip[0] >= kTipUnits, "the first form's tip");
    wchar_t copy[kTipUnits];
    CopyFitted(copy, tip);
    if (lstrcmpW(m_nid.szTip, copy) == 0) return;
    std::memcpy(m_nid.szTip, copy, sizeof copy);
    m_strTip = Narrow(copy);
    if (!m_bActive || m_bHidden) return;
    m_nid.uFlags = NIF_TIP;
    Shell_NotifyIconW(NIM_MODIFY, &m_nid);
}

BOOL CTrayIcon::ShowBalloon(const char* title, const char* text) {
    if (!m_bActive && !m_bPending) return FALSE;
    if (m_bHidden && !m_bBalloonIcon) {
        m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        if (!Shell_NotifyIconW(NIM_ADD, &m_nid)) return FALSE;
        m_bBalloonIcon = TRUE;
    } else if (m_bPending && !m_bHidden) {
        RestoreAfterShellRestart(); // the taskbar may be there by now
    }
    // Balloons came with the record's second form; the icon itself keeps the first, so
    // only this message is sent in the wider one, which names the same icon.
    NOTIFYICONDATAW balloon;
    std::memset(&balloon, 0, sizeof balloon);
    balloon.cbSize = NOTIFYICONDATAW_V2_SIZE;
    balloon.hWnd = m_nid.hWnd;
    balloon.uID = m_nid.uID;
    balloon.uFlags = NIF_INFO;
    CopyFitted(balloon.szInfoTitle, title);
    CopyFitted(balloon.szInfo, text);
    balloon.uTimeout = 10000;
    balloon.dwInfoFlags = NIIF_WARNING;
    const BOOL shown = Shell_NotifyIconW(NIM_MODIFY, &balloon) ? TRUE : FALSE;
    if (!m_bBalloonIcon) return shown;
    if (shown) ++m_nBalloons;
    if (m_nBalloons == 0)
        EndBalloonIcon();
    else
        SetTimer(m_nid.hWnd, kBalloonTimerId, kBalloonIconMs, NULL);
    return shown;
}

void CTrayIcon::OnBalloonTimer() {
    EndBalloonIcon();
}

void CTrayIcon::EndBalloonIcon() {
    if (!m_bBalloonIcon) return;
    ForgetBalloonIcon();
    m_nid.uFlags = 0;
    Shell_NotifyIconW(NIM_DELETE, &m_nid);
}

void CTrayIcon::ForgetBalloonIcon() {
    if (m_bBalloonIcon) KillTimer(m_nid.hWnd, kBalloonTimerId);
    m_bBalloonIcon = FALSE;
    m_nBalloons = 0;
}

// An icon that came for balloons keeps its timer: the broadcast also comes from shells that
// still hold every icon, and removing one that is gone does no harm.
void CTrayIcon::RestoreAfterShellRestart() {
    if ((!m_bActive && !m_bPending) || m_bHidden) return;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    if (Shell_NotifyIconW(NIM_ADD, &m_nid)) {
        m_bActive = TRUE;
        m_bPending = FALSE;
    }
}

HMENU CTrayIcon::LoadTrayMenu(HMENU* popup) const {
    HMENU menu = LoadUiMenu(GetModuleHandleW(NULL), m_nid.uID);
    if (menu == NULL) return NULL;
    *popup = GetSubMenu(menu, 0);
    if (*popup == NULL) {
        DestroyMenu(menu);
        return NULL;
    }
    return menu;
}

LRESULT CTrayIcon::OnTrayCallback(WPARAM wParam, LPARAM lParam) {
    if (wParam != m_nid.uID) return 0;
    const UINT mouse = LOWORD(lParam);
    if (mouse == NIN_BALLOONTIMEOUT || mouse == NIN_BALLOONUSERCLICK) {
        if (m_bBalloonIcon && --m_nBalloons <= 0) EndBalloonIcon();
        return 1;
    }
    if (mouse == WM_RBUTTONUP) {
        HMENU popup = NULL;
        HMENU menu = LoadTrayMenu(&popup);
        if (menu == NULL) return 0;
        SetMenuDefaultItem(popup, 0, TRUE);
        POINT pt;
        GetCursorPos(&pt);
        // Without the foreground the menu would not close when the user clicks elsewhere.
        SetForegroundWindow(m_nid.hWnd);
        TrackPopupMenu(popup, 0, pt.x, pt.y, 0, m_nid.hWnd, NULL);
        DestroyMenu(menu);
        return 1;
    }
    if (mouse == WM_LBUTTONDOWN) {
        HMENU popup = NULL;
        HMENU menu = LoadTrayMenu(&popup);
        if (menu == NULL) return 0;
        SetForegroundWindow(m_nid.hWnd);
        SendMessageW(m_nid.hWnd, WM_COMMAND, GetMenuItemID(popup, 0), 0);
        DestroyMenu(menu);
        return 1;
    }
    return 1;
}
