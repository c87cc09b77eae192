#include "panel/tarnwick_dlg.h"

#include "dialogs/about_dlg.h"
#include "engine/builtin_action.h"
#include "platform/ui_text.h"
#include "platform/win32/ui_resources.h"
#include "ui/data_exchange.h"
#include "res/resource.h"
#include "storage/list_file.h"

const char kPanelCaption[] = "Tarnwick  --- www.tarnwick.org";

namespace {
const UINT kTrayCallbackMessage = WM_USER + 2;
const char kTrayTip[] = "Tarnwick V1.0";
const UINT_PTR kVisibilityTimer = 100;
// The check boxes switch single bindings off and on.
const DWORD kListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES;
} // namespace

CTarnwickDlg::CTarnwickDlg(tw::ISystem& system, int& allowShutdown)
    : CDialog(IDD_TARNWICK_DIALOG, nullptr), CHotKeyEngine(system, allowShutdown),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_uTaskbarCreated(RegisterWindowMessageW(L"TaskbarCreated")) {}

// The members release themselves in reverse order: the list control and buttons, the two
// image lists, the entries, the tray icon (which leaves the notification area if it is
// still there). The application icon is a shared resource icon and stays.
CTarnwickDlg::~CTarnwickDlg() = default;

void CTarnwickDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LIST_ENTRIES, m_List);
    DDX_Control(dx, IDC_BTN_HOTKEYS_OFF, m_btnHotKeysOff);
    DDX_Control(dx, IDC_BTN_HOTKEYS_ON, m_btnHotKeysOn);
}

BOOL CTarnwickDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_List.SetExtendedStyle(kListExtendedStyle);
    // The rows' boxes are asked for with the rest of a row (OnGetRowInfo).
    m_List.SendMessage(LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK);

    // Without its settings the program has nothing to work on; the loader has told why.
    if (!LoadSettings()) ExitProcess(0);

    AttachWindows(m_hWnd, m_btnHotKeysOff.GetSafeHwnd(), m_btnHotKeysOn.GetSafeHwnd());
    RegisterFixedHotKeys();

    m_TrayIcon.AddToTray(m_hWnd, kTrayCallbackMessage, kTrayTip, m_hIcon, IDR_MENU_TRAY);
    if (!m_bShowTray) m_TrayIcon.HideFromTray();

    CheckDlgButton(m_hWnd, IDC_CHK_AUTORUN, m_bAutoRun ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(m_hWnd, IDC_CHK_SHOWTRAY, m_bShowTray ? BST_CHECKED : BST_UNCHECKED);
    m_bHotKeysOn = true;
    CreateImageLists();

    InsertColumns();
    CreateStateTip();
    m_sessionEvents.Start(m_hWnd); // without it only the timer retries
    UpdatePanelVisibility();

    // What a failed save left aside, before any read; a list put back was not read ahead.
    if (RestoreMissingListFile(m_strListFile)) m_readAhead.Drop();
    if (ReadListFile(m_strListFile)) {
        ShowAllBeforeFirstPaint();
        RegisterAfterFirstPaint(); // EnableAllHotKeys, once the rows are painted
    }

    // The template is visible, so the dialog shows itself after this returns; the timer
    // hides it again when the program is to start hidden.
    SetTimer(m_hWnd, kVisibilityTimer, 100, nullptr);
    if (m_startSwitch.kind != SwitchKind::None) PostMessage(kRunStartSwitch);
    return TRUE;
}

// Hotkeys come in here: the system posts WM_HOTKEY to the panel, and the modal loop
// (CDialog::DoModal, ours or a child dialog's) offers it here before dispatching it.
BOOL CTarnwickDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_PAINT) RegisterDueHotKeys(); // start-up's, before anything else
    PreTranslateHotKey(msg->message, static_cast<std::uintptr_t>(msg->wParam));
    if (PreTranslateSearchKey(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

void CTarnwickDlg::OnOK() {
    m_TrayIcon.RemoveFromTray();
    CDialog::OnOK();
}

// Esc, the close box and the hide button only hide: the program goes on in the background.
void CTarnwickDlg::OnCancel() {
    HidePanel();
}

// Buttons and menu items come in here as WM_COMMAND: the panel's buttons and check boxes,
// the View and list menus (TrackMenu) and the tray icon's menu, which CTrayIcon opens
// with the panel as its owner.
bool CTarnwickDlg::OnCommand(int id, int code) {
    switch (id) {
    case ID_TRAY_SHOW_PANEL: TogglePanel(); return true;
    case IDC_CHK_SHOWTRAY: OnShowTray(); return true;
    case IDC_CHK_AUTORUN: OnAutoRun(); return true;
    case IDC_BTN_VIEW: TrackMenu(MENU_POS_VIEW); return true;
    case ID_VIEW_LARGE_ICONS: SetViewMode(LVS_ICON); return true;
    case ID_VIEW_SMALL_ICONS: SetViewMode(LVS_SMALLICON); return true;
    case ID_VIEW_LIST: SetViewMode(LVS_LIST); return true;
    case ID_VIEW_REPORT: SetViewMode(LVS_REPORT); return true;
    case IDC_BTN_HOTKEYS_OFF:
    case ID_TRAY_DISABLE_HOTKEYS: OnDisableHotKeys(); return true;
    case IDC_BTN_HOTKEYS_ON:
    case ID_TRAY_ENABLE_HOTKEYS: OnEnableHotKeys(); return true;
    case IDC_BTN_CLEAR:
    case ID_LIST_CLEAR: OnClear(); return true;
    case IDC_BTN_SAVE: OnSaveList(); return true;
    case IDC_BTN_LOAD: OnLoadList(); return true;
    case ID_LIST_MERGE: OnMergeList(); return true;
    case IDC_EDIT_SEARCH:
        if (code == EN_CHANGE) OnSearchChanged();
        return true;
    case ID_LIST_RUN: RunSelected(); return true;
    case IDC_BTN_ADD:
    case ID_LIST_ADD: OnAdd(); return true;
    case IDC_BTN_BUILTIN: OnBuiltIn(); return true;
    case IDC_BTN_DELETE:
    case ID_LIST_DELETE: OnDelete(); return true;
    case IDC_BTN_PROPERTIES:
    case ID_LIST_PROPERTIES: OnProperties(); return true;
    case IDC_BTN_ABOUT:
    case ID_TRAY_ABOUT: OnAbout(); return true;
    case IDC_BTN_HELP: OnHelp(); return true;
    // The tray's Exit leaves the icon to the panel's destruction.
    case ID_TRAY_EXIT: CDialog::OnOK(); return true;
    default: return CDialog::OnCommand(id, code);
    }
}

// The list view's notices come in here as WM_NOTIFY. A changed check box is only noted and
// posted on (kRowCheckChanged, to OnMessage): what it does may show a box. The list holds
// no rows itself: it asks for their contents (LVN_GETDISPINFOW) and for a typed name
// (LVN_ODFINDITEMW), and leaves the boxes to the panel.
bool CTarnwickDlg::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_LIST_ENTRIES) return CDialog::OnNotify(header, result);
    switch (header->code) {
    case NM_RCLICK:
        // The marked row decides, not the point clicked.
        TrackMenu(m_List.GetSelectionMark() == -1 ? MENU_POS_LIST_EMPTY : MENU_POS_LIST_ITEM);
        *result = 0;
        return true;
    case NM_DBLCLK: {
        // Only the row's label or picture starts it, and the row clicked, not the marked
        // one: a click on a check box leaves the mark where it was, and a quick second
        // click on a box is no wish to start anything.
        LVHITTESTINFO hit = {};
        hit.pt = reinterpret_cast<const NMITEMACTIVATE*>(header)->ptAction;
        const int row =
            static_cast<int>(m_List.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (row >= 0 && (hit.flags & (LVHT_ONITEMLABEL | LVHT_ONITEMICON)) != 0) RunRow(row);
        // A second click on a box turns it back, as the first one turned it.
        OnBoxClicked(reinterpret_cast<const NMITEMACTIVATE*>(header));
        *result = 0;
        return true;
    }
    case NM_CLICK:
        OnBoxClicked(reinterpret_cast<const NMITEMACTIVATE*>(header));
        *result = 0;
        return true;
    case LVN_KEYDOWN: {
        if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey != VK_SPACE)
            return CDialog::OnNotify(header, result);
        // The boxes turn once the list is done with the key, from what they show now: a
        // list that turns the focused one itself as well makes no second change.
        const bool first = m_keyedBoxes.empty();
        int row = -1;
        while ((row = static_cast<int>(
                    m_List.SendMessage(LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0)
            m_keyedBoxes.emplace_back(RowEntry(row), RowChecked(row));
        if (m_keyedBoxes.empty()) {
            row = static_cast<int>(m_List.SendMessage(LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
            if (RowEntry(row) != nullptr) m_keyedBoxes.emplace_back(RowEntry(row), RowChecked(row));
        }
        if (first && !m_keyedBoxes.empty()) PostMessage(kBoxKeyPressed);
        *result = 0;
        return true;
    }
    case LVN_GETDISPINFOW:
        OnGetRowInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
        *result = 0;
        return true;
    case LVN_ODFINDITEMW:
        *result = FindRowByName(reinterpret_cast<const NMLVFINDITEMW*>(header));
        return true;
    case NM_CUSTOMDRAW:
        *result = OnListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header));
        return true;
    case LVN_ITEMCHANGED: {
        const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
        const UINT oldBox = change->uOldState & LVIS_STATEIMAGEMASK;
        const UINT newBox = change->uNewState & LVIS_STATEIMAGEMASK;
        // Some lists turn a box themselves even though they keep none: the box is set to
        // the state they report, which a click reported as well leaves as it is.
        if ((change->uChanged & LVIF_STATE) != 0 && oldBox != 0 &&
            newBox != 0 && oldBox != newBox && change->iItem >= 0)
            WantRowChecked(change->iItem, newBox == INDEXTOSTATEIMAGEMASK(2));
        *result = 0;
        return true;
    }
    default: return CDialog::OnNotify(header, result);
    }
}

// Everything that is no command and no notice comes in here: the tray icon's callback
// (kTrayCallbackMessage), the timers (the visibility timer, kRetryTimerId and the tray
// icon's kBalloonTimerId), the posted kRowCheckChanged, the session, power, shutdown and
// environment notices, the shell's "TaskbarCreated", and painting while minimized.
bool CTarnwickDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (msg == m_uTaskbarCreated && msg != 0) {
        m_TrayIcon.RestoreAfterShellRestart();
        *result = 0;
        return true;
    }
    switch (msg) {
    case WM_PAINT: return PaintMinimized();
    case WM_QUERYDRAGICON: *result = reinterpret_cast<LRESULT>(m_hIcon); return true;
    case WM_TIMER:
        if (wParam == kRetryTimerId) {
            RetryRefused();
            *result = 0;
            return true;
        }
        if (wParam == kRegistrationTimerId) {
            RegisterDueHotKeys();
            *result = 0;
            return true;
        }
        if (wParam == kIconTimerId) {
            ExtractPendingIcons(kIconSliceMs);
            *result = 0;
            return true;
        }
        if (wParam == CTrayIcon::kBalloonTimerId) {
            m_TrayIcon.OnBalloonTimer();
            *result = 0;
            return true;
        }
        UpdatePanelVisibility();
        KillTimer(m_hWnd, kVisibilityTimer);
        return false;
    case kWmSessionChange:
        if (wParam == kSessionUnlock) RetryRefused();
        return false;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) RetryRefused();
        return false;
    case WM_SETTINGCHANGE:
        // Launches take this process's environment, which Windows fills at start only: a
        // program installed since then would not be found on PATH until the next log-on.
        if (lParam != 0 && lstrcmpiW(reinterpret_cast<LPCWSTR>(lParam), L"Environment") == 0)
            m_system.RefreshEnvironment();
        return false;
    case WM_DESTROY: m_sessionEvents.Stop(); return false;
    case kTrayCallbackMessage: *result = m_TrayIcon.OnTrayCallback(wParam, lParam); return true;
    case kRunStartSwitch:
        OnSwitch(m_startSwitch);
        *result = 0;
        return true;
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam), result);
    case kRowCheckChanged:
        ApplyWantedBox(reinterpret_cast<const HotKeyEntry*>(lParam));
        *result = 0;
        return true;
    case kBoxKeyPressed:
        OnBoxKey();
        *result = 0;
        return true;
    case WM_QUERYENDSESSION:
        *result = QueryEndSessionAnswer(
            static_cast<int>(DefWindowProcW(m_hWnd, msg, wParam, lParam)), m_allowShutdown);
        return true;
    default: return CDialog::OnMessage(msg, wParam, lParam, result);
    }
}

bool CTarnwickDlg::PaintMinimized() {
    if (!IsIconic(m_hWnd)) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT rect;
    GetClientRect(m_hWnd, &rect);
    const int x = (rect.right - rect.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.bottom - rect.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, m_hIcon);
    EndPaint(m_hWnd, &ps);
    return true;
}

void CTarnwickDlg::TrackMenu(int position) {
    HMENU menu = LoadUiMenu(GetModuleHandleW(nullptr), IDR_MENU_LIST);
    if (menu == nullptr) return;
    HMENU popup = GetSubMenu(menu, position);
    HWND owner = m_hWnd;
    while (GetWindowLongW(owner, GWL_STYLE) & WS_CHILD)
        owner = ::GetParent(owner);
    POINT pt;
    GetCursorPos(&pt);
    if (popup != nullptr)
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
    DestroyMenu(menu);
}

void CTarnwickDlg::SetViewMode(DWORD view) {
    // The list invalidates every row on its own when the view changes, twice, and each
    // invalidation is a round trip to the window system: with drawing off there are none,
    // and the list is painted once.
    m_List.SendMessage(WM_SETREDRAW, FALSE);
    m_List.SetView(view);
    m_List.SendMessage(WM_SETREDRAW, TRUE);
    // A changed style does not repaint by itself: the old view's cells would stay behind.
    InvalidateRect(m_List.GetSafeHwnd(), nullptr, TRUE);
}

void CTarnwickDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CTarnwickDlg::OnHelp() {
    m_system.ShellOpen(tw::UiText(IDS_HELP_FILE), "");
}

int CTarnwickDlg::Message(const std::string& text, const std::string& caption, unsigned flags) {
    return m_system.ShowMessageBox(m_hWnd, text, caption, flags);
}
