#include "ui/dialog.h"

#include "ui/data_exchange.h"
#include "ui/dialog_font.h"
#include "ui/dpi.h"

#include <vector>

namespace {

bool IsWithin(HWND hwnd, HWND dialog) {
    return hwnd != nullptr && dialog != nullptr && (hwnd == dialog || ::IsChild(dialog, hwnd));
}

// The next window up towards the top-level window, or null once there.
HWND ParentWithinTopLevel(HWND hwnd) {
    if ((::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) == 0) return nullptr;
    return ::GetParent(hwnd);
}

// Messages whose result a dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ResultIsReturned(UINT msg) {
    switch (msg) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM: return true;
    default: return false;
    }
}

// Centres a top-level dialog over its owner when the owner is shown, otherwise over the
// work area of the screen.
void CenterOverOwner(HWND hwnd) {
    if (::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) return;
    RECT area;
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (owner == nullptr || !::IsWindowVisible(owner) || ::IsIconic(owner) ||
        !::GetWindowRect(owner, &area))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT self;
    ::GetWindowRect(hwnd, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    RECT screen;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    if (x + width > screen.right) x = screen.right - width;
    if (y + height > screen.bottom) y = screen.bottom - height;
    if (x < screen.left) x = screen.left;
    if (y < screen.top) y = screen.top;
    ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog manager of Windows 10 (1703 on) would scale a dialog on a DPI change by its
// own rules; it is left out so that the dialog follows the one way below on every system.
void TakeOverDpiScaling(HWND hwnd) {
    typedef BOOL(WINAPI * DpiChangeBehavior)(HWND, int, int);
    const int disableAll = 1; // DDC_DISABLE_ALL
    static const FARPROC proc =
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetDialogDpiChangeBehavior");
    if (proc != nullptr)
        reinterpret_cast<DpiChangeBehavior>(reinterpret_cast<void*>(proc))(hwnd, disableAll,
                                                                           disableAll);
}

bool IsDropDownCombo(HWND hwnd) {
    wchar_t name[16] = {0};
    ::GetClassNameW(hwnd, name, 16);
    return lstrcmpiW(name, L"ComboBox") == 0 &&
           (::GetWindowLongW(hwnd, GWL_STYLE) & (CBS_DROPDOWN | CBS_DROPDOWNLIST)) != 0;
}

} // namespace

CDialog* CDialog::s_pMainWnd = nullptr;
std::string CDialog::s_strAppName;

CDialog::CDialog(UINT templateId, HWND parent) : m_nIDTemplate(templateId), m_hParent(parent) {}

CDialog::~CDialog() {
    if (s_pMainWnd == this) s_pMainWnd = nullptr;
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
}

void CDialog::SetMainWnd(CDialog* dialog) {
    s_pMainWnd = dialog;
}

void CDialog::SetAppName(const std::string& name) {
    s_strAppName = name;
}

const std::string& CDialog::GetAppName() {
    return s_strAppName;
}

CDialog* CDialog::GetMainWnd() {
    return s_pMainWnd;
}

// A dialog of ours keeps its object in the dialog's user data; only a window that runs our
// dialog procedure has it there. (The lookup runs for most messages: it reads the window's
// own memory, where a window property would cost a round trip to Wine's server each time.)
CDialog* CDialog::FromHandle(HWND hwnd) {
    if (hwnd == nullptr ||
        ::GetWindowLongPtrW(hwnd, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&CDialog::DialogProc))
        return nullptr;
    return reinterpret_cast<CDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr) return -1;
    HWND owner = ResolveOwner();
    bool ownerDisabled = false;
    if (owner != nullptr && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }
    m_bEnded = false;
    m_nResult = -1;
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    const std::vector<BYTE> shown = DialogTemplateShown(module, m_nIDTemplate);
    HWND hwnd = shown.empty()
                    ? ::CreateDialogParamW(module, MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                           &CDialog::DialogProc, reinterpret_cast<LPARAM>(this))
                    : ::CreateDialogIndirectParamW(
                          module, reinterpret_cast<LPCDLGTEMPLATEW>(shown.data()), owner,
                          &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd != nullptr) {
        // Templates need not be visible: a modal dialog is always shown.
        if (!m_bEnded && m_hWnd == hwnd && !::IsWindowVisible(hwnd))
            ::ShowWindow(hwnd, SW_SHOWNORMAL);
        while (!m_bEnded) {
            MSG msg;
            BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
            if (got == 0) {
                // The loops outside must see the quit request too.
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                m_nResult = -1;
                break;
            }
            if (got == -1) {
                m_nResult = -1;
                break;
            }
            if (!PreTranslateInLoop(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }
    bool alive = hwnd != nullptr && m_hWnd == hwnd;
    // Hidden before the owner is enabled again, so activation returns to the owner
    // instead of to some other program.
    if (alive)
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (ownerDisabled) ::EnableWindow(owner, TRUE);
    if (alive && owner != nullptr && ::GetActiveWindow() == hwnd) ::SetActiveWindow(owner);
    if (alive) ::DestroyWindow(hwnd);
    return m_nResult;
}

void CDialog::EndDialog(int result) {
    m_nResult = result;
    m_bEnded = true;
    // Wakes the loop when the request came in a message sent from another thread,
    // which GetMessage handles without returning.
    if (m_hWnd != nullptr) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate != FALSE);
    DoDataExchange(&dx);
    return dx.Failed() ? FALSE : TRUE;
}

int CDialog::ShowMessage(const std::string& text, UINT type) {
    return ShowMessageBox(text, s_strAppName, type);
}

int CDialog::ShowMessageBox(const std::string& text, const std::string& caption, UINT type) {
    return ::MessageBoxW(m_hWnd, Widen(text).c_str(), Widen(caption).c_str(), type);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (!IsWithin(msg->hwnd, m_hWnd)) return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

bool CDialog::OnNotify(NMHDR*, LRESULT*) {
    return false;
}

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) {
    return false;
}

void CDialog::OnDpiChanged(int, int) {}

void CDialog::FollowDpi(int dpi, const RECT& suggested) {
    const int oldDpi = m_nDpi;
    ::SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (dpi <= 0 || dpi == oldDpi) return;
    m_nDpi = dpi;
    ScaleControls(oldDpi, dpi);
    OnDpiChanged(oldDpi, dpi);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

// Every control keeps its place in dialog units: its edges move with the DPI, and it gets
// the template's font at the new size. A control with a font of its own keeps that one.
void CDialog::ScaleControls(int oldDpi, int newDpi) {
    HFONT oldFont = m_hDpiFont != nullptr ? m_hDpiFont : m_hTemplateFont;
    HFONT newFont = m_hTemplateFont;
    m_hDpiFont = nullptr;
    LOGFONTW font;
    if (m_hTemplateFont != nullptr && newDpi != m_nTemplateDpi &&
        ::GetObjectW(m_hTemplateFont, sizeof(font), &font) == sizeof(font)) {
        font.lfHeight = ::MulDiv(font.lfHeight, newDpi, m_nTemplateDpi);
        m_hDpiFont = ::CreateFontIndirectW(&font);
        if (m_hDpiFont != nullptr) newFont = m_hDpiFont;
    }
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        // A drop-down combo box is sized with its list; the window is only the closed box.
        RECT dropped;
        if (IsDropDownCombo(child) &&
            ::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
            rect.bottom = rect.top + (dropped.bottom - dropped.top);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        if (oldFont != nullptr &&
            reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)) == oldFont)
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(newFont), FALSE);
        const int left = ::MulDiv(rect.left, newDpi, oldDpi);
        const int top = ::MulDiv(rect.top, newDpi, oldDpi);
        ::SetWindowPos(child, nullptr, left, top, ::MulDiv(rect.right, newDpi, oldDpi) - left,
                       ::MulDiv(rect.bottom, newDpi, oldDpi) - top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (oldFont != nullptr && oldFont != m_hTemplateFont) ::DeleteObject(oldFont);
}

HWND CDialog::ResolveOwner() const {
    HWND owner = m_hParent;
    if (owner == nullptr && s_pMainWnd != nullptr && s_pMainWnd != this) owner = s_pMainWnd->m_hWnd;
    // A pop-up cannot be owned by a child window.
    while (owner != nullptr && (::GetWindowLongW(owner, GWL_STYLE) & WS_CHILD) != 0)
        owner = ::GetParent(owner);
    // Without a parent of its own the dialog goes on top of whatever the main dialog
    // has open, so that one is disabled, not the main dialog behind it.
    if (m_hParent == nullptr && owner != nullptr) owner = ::GetLastActivePopup(owner);
    return owner;
}

bool CDialog::PreTranslateInLoop(MSG* msg) {
    CDialog* mainWnd = s_pMainWnd;
    bool mainAsked = false;
    for (HWND hwnd = msg->hwnd; hwnd != nullptr; hwnd = ParentWithinTopLevel(hwnd)) {
        CDialog* dialog = FromHandle(hwnd);
        if (dialog == nullptr) continue;
        if (dialog == mainWnd) mainAsked = true;
        if (dialog->PreTranslateMessage(msg)) return true;
    }
    if (mainWnd != nullptr && !mainAsked && mainWnd->m_hWnd != nullptr &&
        !IsWithin(msg->hwnd, m_hWnd))
        return mainWnd->PreTranslateMessage(msg) != FALSE;
    return false;
}

void CDialog::Detach() {
    ::SetWindowLongPtrW(m_hWnd, DWLP_USER, 0);
    m_hWnd = nullptr;
    // Destroyed from outside while its loop runs: the loop must not wait forever.
    m_bEnded = true;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        dialog->m_hWnd = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(dialog));
        TakeOverDpiScaling(hwnd);
        dialog->m_nDpi = tw::WindowDpi(hwnd);
        dialog->m_nTemplateDpi = dialog->m_nDpi;
        dialog->m_hTemplateFont = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        RECT before;
        ::GetWindowRect(hwnd, &before);
        BOOL focus = dialog->OnInitDialog();
        // A dialog that did not place itself opens centred, as users expect.
        RECT after;
        if (::IsWindow(hwnd) && ::GetWindowRect(hwnd, &after) && ::EqualRect(&before, &after))
            CenterOverOwner(hwnd);
        return focus;
    }
    CDialog* dialog = FromHandle(hwnd);
    if (dialog == nullptr) return FALSE;
    LRESULT result = 0;
    bool handled = false;
    switch (msg) {
    case WM_COMMAND: handled = dialog->OnCommand(LOWORD(wParam), HIWORD(wParam)); break;
    case WM_NOTIFY: handled = dialog->OnNotify(reinterpret_cast<NMHDR*>(lParam), &result); break;
    case tw::kWmDpiChanged:
        if (lParam == 0) return FALSE;
        dialog->FollowDpi(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        handled = true;
        break;
    case WM_NCDESTROY:
        dialog->OnMessage(msg, wParam, lParam, &result);
        // The controls are gone, and with them the last user of the font made for them.
        if (dialog->m_hDpiFont != nullptr) ::DeleteObject(dialog->m_hDpiFont);
        dialog->m_hDpiFont = nullptr;
        dialog->Detach();
        return FALSE;
    default: handled = dialog->OnMessage(msg, wParam, lParam, &result); break;
    }
    if (!handled) return FALSE;
    if (ResultIsReturned(msg)) return static_cast<INT_PTR>(result);
    // A list fill sends thousands of notices answered 0, and a write of the window's
    // value can be a round trip to the window system; reading it is not.
    if (::GetWindowLongPtrW(hwnd, DWLP_MSGRESULT) != result)
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
