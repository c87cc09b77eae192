// Which bindings work: rows whose combination the system refused, or whose last launch
// failed, are drawn in a warning colour and explain themselves in a tip, rows switched off
// with all the others or on their own are greyed (the latter with a tip too), and the tray
// tip counts the refusals. Nothing here changes a row's text.

#include "panel/tarnwick_dlg.h"

#include "engine/hotkey_state_text.h"
#include "engine/shown_text.h"
#include "engine/list_merge.h"
#include "engine/shown_text.h"
#include "platform/ui_text.h"
#include "res/resource.h"

#include <algorithm>

// Every removal of an entry takes its row first (DeleteEntry, ClearAll), so a row always
// names an entry still in the list.
EntryList::iterator CTarnwickDlg::EntryOfRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return m_entries.end();
    return m_rows[row].entry;
}

EntryList::const_iterator CTarnwickDlg::EntryOfRow(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return m_entries.end();
    return m_rows[row].entry;
}

const HotKeyEntry* CTarnwickDlg::RowEntry(int row) const {
    const EntryList::const_iterator it = EntryOfRow(row);
    return it == m_entries.end() ? nullptr : &*it;
}

HotKeyState CTarnwickDlg::RowHotKeyState(int row) const {
    const HotKeyEntry* entry = RowEntry(row);
    return entry == nullptr ? HotKeyState::None : entry->state;
}

std::string CTarnwickDlg::RowLaunchError(int row) const {
    const HotKeyEntry* entry = RowEntry(row);
    return entry == nullptr ? std::string() : entry->launchError;
}

LRESULT CTarnwickDlg::OnListCustomDraw(NMLVCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const HotKeyEntry* entry = RowEntry(static_cast<int>(draw->nmcd.dwItemSpec));
    if (entry == nullptr) return CDRF_DODEFAULT;
    // A failed launch is the louder news: a switched-off row that does not start either
    // shows it.
    if (entry->state == HotKeyState::Refused || !entry->launchError.empty()) {
        draw->clrText = kRefusedRowText;
        draw->clrTextBk = kRefusedRowBack;
        return CDRF_NEWFONT;
    }
    // Switched off on its own, with or without a hotkey: grey as all switched-off rows.
    // A row read at start-up waits for its registration and is not off.
    if ((entry->state == HotKeyState::Off && !m_bRegistrationDue) || !entry->enabled) {
        draw->clrText = GetSysColor(COLOR_GRAYTEXT);
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

void CTarnwickDlg::OnHotKeyStatesChanged() {
    const int refused = RefusedHotKeyCount();
    if (m_List.GetSafeHwnd() != nullptr && (!m_bRowsDrawnRegistered || refused > 0))
        InvalidateRect(m_List.GetSafeHwnd(), nullptr, FALSE);
    m_bRowsDrawnRegistered = false;
    m_nTipRow = -2; // the row under the pointer may have changed its state
    m_TrayIcon.SetTip(RefusedTrayTip(refused).c_str());
    UpdateRetryTimer(refused);
}

// A timer's turn comes after every paint. Where no timer can be had, the hotkeys are
// registered at once, as they were before the panel painted.
void CTarnwickDlg::RegisterAfterFirstPaint() {
    m_bRegistrationDue = SetTimer(m_hWnd, kRegistrationTimerId, USER_TIMER_MINIMUM, nullptr) != 0;
    if (!m_bRegistrationDue) {
        EnableAllHotKeys();
        return;
    }
    ::EnableWindow(m_btnHotKeysOff.GetSafeHwnd(), TRUE);
    ::EnableWindow(m_btnHotKeysOn.GetSafeHwnd(), FALSE);
}

void CTarnwickDlg::RegisterDueHotKeys() {
    if (!m_bRegistrationDue) return;
    m_bRegistrationDue = false; // a refusal box runs a message loop that comes back here
    KillTimer(m_hWnd, kRegistrationTimerId);
    m_bRowsDrawnRegistered = true;
    EnableAllHotKeys();
}

void CTarnwickDlg::UpdateRetryTimer(int refused) {
    const bool wanted = refused > 0 && m_hWnd != nullptr;
    if (wanted == m_bRetryTimerOn) return;
    if (wanted) {
        m_bRetryTimerOn = SetTimer(m_hWnd, kRetryTimerId, m_nRetryPeriodMs, nullptr) != 0;
    } else {
        KillTimer(m_hWnd, kRetryTimerId);
        m_bRetryTimerOn = false;
    }
}

// A combination freed meanwhile is registered and its row drawn as always.
void CTarnwickDlg::RetryRefused() {
    const int refused = RefusedHotKeyCount() > 0 ? RetryRefusedHotKeys() : 0;
    UpdateRetryTimer(refused);
}

// One tool over the whole list; its text follows the row under the pointer.
TOOLINFOW CTarnwickDlg::StateTool() const {
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_List.GetSafeHwnd());
    return tool;
}

void CTarnwickDlg::CreateStateTip() {
    m_hStateTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (m_hStateTip == nullptr) return; // the list works without its tips
    TOOLINFOW tool = StateTool();
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_hStateTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // Long enough to read the advice; the key description makes the text wide.
    ::SendMessageW(m_hStateTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 20000);
    ::SendMessageW(m_hStateTip, TTM_ACTIVATE, FALSE, 0);
}

void CTarnwickDlg::RelayListMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        // Before the list acts on the press: what the box under it shows now.
        LVHITTESTINFO hit = {};
        hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        const int row =
            static_cast<int>(m_List.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        const bool onBox = row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) != 0;
        m_pressedBox = onBox ? RowEntry(row) : nullptr;
        m_bPressedBoxTurned = false;
    }
    if (msg == WM_MOUSEMOVE)
        OnListHover(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    if (m_hStateTip == nullptr) return;
    MSG relayed = {};
    relayed.hwnd = m_List.GetSafeHwnd();
    relayed.message = msg;
    relayed.wParam = wParam;
    relayed.lParam = lParam;
    ::SendMessageW(m_hStateTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void CTarnwickDlg::OnListHover(int x, int y) {
    if (m_hStateTip == nullptr) return;
    LVHITTESTINFO hit = {};
    hit.pt.x = x;
    hit.pt.y = y;
    const int row =
        static_cast<int>(m_List.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row == m_nTipRow) return;
    m_nTipRow = row;

    std::string text;
    const HotKeyEntry* entry = RowEntry(row);
    const HotKeyEntry* holder = entry != nullptr ? HolderOfCombination(m_entries, *entry) : nullptr;
    if (entry != nullptr && !entry->enabled)
        text = holder != nullptr ? SwitchedOffHeldRowTip(ShownName(*holder)) : SwitchedOffRowTip();
    else if (entry != nullptr && entry->state == HotKeyState::Refused)
        text = RefusedRowTip(ShownKeyDescription(entry->keydes));
    const std::string launchError = RowLaunchError(row);
    if (!launchError.empty())
        text += (text.empty() ? "" : "\r\n") + FailedLaunchRowTip(launchError);
    std::wstring wide = Widen(text);
    TOOLINFOW tool = StateTool();
    tool.lpszText = wide.data();
    ::SendMessageW(m_hStateTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // An inactive tooltip stays away from the rows that work.
    ::SendMessageW(m_hStateTip, TTM_ACTIVATE, text.empty() ? FALSE : TRUE, 0);
}

void CTarnwickDlg::OnLaunchFailed(const HotKeyEntry& entry, bool byHotKey) {
    const std::string title = FailedLaunchTitle(entry.name, entry.path);
    if (byHotKey)
        m_TrayIcon.ShowBalloon(title.c_str(), (entry.launchError + "\r\n" + entry.path).c_str());
    else
        Message(tw::UiText(IDS_LAUNCH_FAILED, {title, entry.launchError}) + "\r\n\r\n" + entry.path,
                tw::UiText(IDS_CAPTION_FAILED), MB_OK | MB_ICONWARNING);
}
