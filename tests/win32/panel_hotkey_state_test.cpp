// Which bindings work, as the panel shows it: a row whose combination another program holds
// is drawn in the warning colours in every view and explains itself in a tip, switched-off
// rows are greyed, the tray tip counts the refusals, and switching off and on again finds
// a combination freed meanwhile. Row texts stay as they were.

#include "panel_test_support.h"

#include "dialogs/act_dlg.h"
#include "dialogs/run_info.h"
#include "engine/hotkey_state_text.h"
#include "engine/launch_target.h"
#include "import_hook.h"
#include "res/resource.h"

namespace {

const unsigned kCtrlAlt = MOD_CONTROL | MOD_ALT;
const int kCodeCtrlAlt = (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8;
// An id no entry uses: the combination under it belongs to "another program".
const int kOtherProgram = 900;
const std::string kRefusedTip = RefusedRowTip("Ctrl + Alt + N");

// The standard list (row 0 binds Ctrl+Alt+N, row 1 nothing, row 2 Ctrl+Alt+S), with the
// program entry dialog answered by a preset entry.
class StatePanel : public ScriptedPanel {
public:
    using ScriptedPanel::ScriptedPanel;
    HotKeyEntry answer;

    // The program entry dialog takes `answer` whole; the built-in action dialog its name,
    // command, icon and hotkey.
    INT_PTR RunDialog(CDialog& dialog) override {
        if (CRunInfo* info = dynamic_cast<CRunInfo*>(&dialog)) {
            info->m_entry = answer;
            return IDOK;
        }
        if (CAct* act = dynamic_cast<CAct*>(&dialog)) {
            PickBuiltInAction(*act, answer);
            return IDOK;
        }
        return IDCANCEL;
    }
    void SetMark(int row) { m_List.SetSelectionMark(row); }
    HWND List() const { return m_List.GetSafeHwnd(); }

    // What the panel answers the list view's custom-draw step for a row.
    struct Drawn {
        LRESULT result;
        COLORREF text, back;
    };
    Drawn CustomDraw(int row) {
        NMLVCUSTOMDRAW draw = {};
        draw.nmcd.hdr.hwndFrom = List();
        draw.nmcd.hdr.idFrom = IDC_LIST_ENTRIES;
        draw.nmcd.hdr.code = NM_CUSTOMDRAW;
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.clrText = CLR_DEFAULT;
        draw.clrTextBk = CLR_DEFAULT;
        const LRESULT result =
            SendMessage(WM_NOTIFY, IDC_LIST_ENTRIES, reinterpret_cast<LPARAM>(&draw));
        return {result, draw.clrText, draw.clrTextBk};
    }

    // The tip's text after the pointer came to rest over a row; empty when it stays away.
    std::string TipOver(int row) {
        RECT rect = {};
        rect.left = LVIR_LABEL;
        ::SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&rect));
        OnListHover((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        if (m_hStateTip == nullptr) return "<no tooltip>";
        wchar_t text[256] = {};
        TOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(List());
        tool.lpszText = text;
        ::SendMessageW(m_hStateTip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
        return Narrow(text);
    }

    // How many pixels of a row show the refused background once the list paints itself.
    int WarningPixelsOf(int row) {
        RECT client = {};
        ::GetClientRect(List(), &client);
        HDC screen = ::GetDC(List());
        HDC dc = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = ::SelectObject(dc, bitmap);
        ::SendMessageW(List(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                       PRF_CLIENT | PRF_ERASEBKGND);
        RECT rect = {};
        rect.left = LVIR_BOUNDS;
        ::SendMessageW(List(), LVM_GETITEMRECT, static_cast<WPARAM>(row),
                       reinterpret_cast<LPARAM>(&rect));
        int count = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                if (::GetPixel(dc, x, y) == kRefusedRowBack) ++count;
        ::SelectObject(dc, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
        ::ReleaseDC(List(), screen);
        return count;
    }
};

class PanelHotKeyState : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        system.hotkeys[kOtherProgram] = {kCtrlAlt, 'N'};
    }
    int RunState(const std::function<void(StatePanel&)>& script) {
        StatePanel panel(system, allowShutdown);
        panel.script = [&] { script(panel); };
        CDialog::SetMainWnd(&panel);
        const int result = static_cast<int>(panel.DoModal());
        CDialog::SetMainWnd(nullptr);
        EXPECT_EQ(ScriptedPanel::kScriptEnded, result) << "the panel ran the script";
        return result;
    }
};

TEST_F(PanelHotKeyState, ARefusedRowIsDrawnInTheWarningColoursInEveryView) {
    RunState([&](StatePanel& p) {
        ASSERT_EQ(3, p.RowCount());
        EXPECT_EQ(HotKeyState::Refused, p.RowHotKeyState(0));
        EXPECT_EQ(HotKeyState::None, p.RowHotKeyState(1));
        EXPECT_EQ(HotKeyState::Registered, p.RowHotKeyState(2));
        EXPECT_EQ("Ctrl + Alt + N", p.Text(0, 1)) << "the row's text stays";

        const StatePanel::Drawn refused = p.CustomDraw(0);
        EXPECT_EQ(CDRF_NEWFONT, refused.result);
        EXPECT_EQ(kRefusedRowText, refused.text);
        EXPECT_EQ(kRefusedRowBack, refused.back);
        for (int row : {1, 2}) {
            const StatePanel::Drawn normal = p.CustomDraw(row);
            EXPECT_EQ(CDRF_DODEFAULT, normal.result) << row;
            EXPECT_EQ(CLR_DEFAULT, normal.text) << row;
        }

        for (int view : {ID_VIEW_REPORT, ID_VIEW_LARGE_ICONS, ID_VIEW_SMALL_ICONS, ID_VIEW_LIST}) {
            p.Command(view);
            EXPECT_GT(p.WarningPixelsOf(0), 20) << "view " << view;
            EXPECT_EQ(0, p.WarningPixelsOf(2)) << "view " << view;
        }
    });
    EXPECT_EQ(1u, system.boxes.size()) << "the refusal message is still shown";
}

TEST_F(PanelHotKeyState, SwitchedOffRowsAreGreyAndSwitchingOnAgainFindsAFreedCombination) {
    RunState([&](StatePanel& p) {
        p.Command(IDC_BTN_HOTKEYS_OFF);
        for (int row : {0, 2}) {
            EXPECT_EQ(HotKeyState::Off, p.RowHotKeyState(row)) << row;
            const StatePanel::Drawn off = p.CustomDraw(row);
            EXPECT_EQ(CDRF_NEWFONT, off.result) << row;
            EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), off.text) << row;
        }
        EXPECT_EQ(CDRF_DODEFAULT, p.CustomDraw(1).result) << "a row without hotkey stays";

        p.Command(ID_TRAY_ENABLE_HOTKEYS); // still held: refused again
        EXPECT_EQ(HotKeyState::Refused, p.RowHotKeyState(0));

        system.hotkeys.erase(kOtherProgram); // the other program ends
        p.Command(ID_TRAY_DISABLE_HOTKEYS);
        p.Command(IDC_BTN_HOTKEYS_ON);
        EXPECT_EQ(HotKeyState::Registered, p.RowHotKeyState(0));
        EXPECT_EQ(CDRF_DODEFAULT, p.CustomDraw(0).result);
        EXPECT_EQ(0, p.WarningPixelsOf(0));
        EXPECT_EQ(10, system.hotkeys.count(10) ? 10 : -1);
    });
    EXPECT_EQ(2u, system.boxes.size());
}

TEST_F(PanelHotKeyState, TheTipOverARefusedRowSaysWhyAndWhatToDo) {
    RunState([&](StatePanel& p) {
        EXPECT_EQ(kRefusedTip, p.TipOver(0));
        EXPECT_EQ("", p.TipOver(2)) << "no tip over a row that works";
        EXPECT_EQ(kRefusedTip, p.TipOver(0));

        // Properties moves the refused row to a free combination: the tip goes away.
        p.answer = p.Entry(0);
        p.answer.hotkey = kCodeCtrlAlt | 'W';
        p.answer.keydes = "Ctrl + Alt + W";
        p.SetMark(0);
        p.Command(IDC_BTN_PROPERTIES);
        EXPECT_EQ(HotKeyState::Registered, p.RowHotKeyState(0));
        EXPECT_EQ(HotKeyState::Registered, p.Entry(0).state);
        EXPECT_EQ(10, p.Entry(0).id);
        EXPECT_EQ("", p.TipOver(0));
        EXPECT_EQ(CDRF_DODEFAULT, p.CustomDraw(0).result);
    });
}

// The balloons the panel asks the notification area for: (title, text).
std::vector<std::pair<std::string, std::string>> g_balloons;
BOOL WINAPI RecordNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    if (message == NIM_MODIFY && (data->uFlags & NIF_INFO) != 0 &&
        data->cbSize >= NOTIFYICONDATAW_V2_SIZE)
        g_balloons.emplace_back(Narrow(data->szInfoTitle), Narrow(data->szInfo));
    return TRUE;
}

TEST_F(PanelHotKeyState, AFailedLaunchIsToldWithoutABoxForAHotkeyAndMarkedUntilItStarts) {
    WriteFileText("tarnwick.ini", SettingsText("yes", "no", "list.map"));
    ImportHook notify("shell32.dll", "Shell_NotifyIconW",
                      reinterpret_cast<void*>(&RecordNotifyIcon));
    ASSERT_TRUE(notify.Installed());
    g_balloons.clear();
    const std::string reason = LaunchFailureText(tw::kErrFileNotFound);
    RunState([&](StatePanel& p) {
        system.boxes.clear(); // row 0's refusal at start-up
        system.launchResult = tw::kErrFileNotFound;
        p.PreTranslateHotKey(WM_HOTKEY, 11); // row 1, which binds no combination
        EXPECT_TRUE(system.boxes.empty());
        ASSERT_EQ(1u, g_balloons.size());
        EXPECT_EQ(FailedLaunchTitle("无图标", ""), g_balloons[0].first);
        EXPECT_EQ(reason + "\r\nC:\\文档\\说明.txt", g_balloons[0].second);
        EXPECT_EQ(FailedLaunchRowTip(reason), p.TipOver(1));
        EXPECT_EQ(kRefusedRowBack, p.CustomDraw(1).back);

        // Run, with the panel in front of the user, tells in a box of the panel's own.
        p.SetMark(1);
        p.Command(ID_LIST_RUN);
        ASSERT_EQ(1u, system.boxes.size());
        EXPECT_EQ(p.m_hWnd, system.boxes[0].owner);
        EXPECT_NE(std::string::npos, system.boxes[0].text.find(reason));
        EXPECT_EQ(1u, g_balloons.size());

        // Run starts the row as its hotkey would, arguments and elevation included (which
        // only a program takes).
        const std::string program = "C:\\文档\\说明.bat";
        std::next(p.m_entries.begin(), 1)->path = program;
        std::next(p.m_entries.begin(), 1)->args = "/p";
        std::next(p.m_entries.begin(), 1)->runas = true;
        system.launchResult = tw::kLaunchOk;
        p.Command(ID_LIST_RUN);
        EXPECT_EQ("/p", system.opened.back().parameters);
        EXPECT_TRUE(system.opened.back().runAs);
        EXPECT_EQ("", p.TipOver(1));
        EXPECT_EQ(CDRF_DODEFAULT, p.CustomDraw(1).result);
        EXPECT_EQ(1u, system.boxes.size());
    });
}

TEST_F(PanelHotKeyState, TheTrayTipCountsTheRefusedBindings) {
    RunState([&](StatePanel& p) {
        EXPECT_STREQ("Tarnwick V1.0 - 1 个快捷键未生效", p.m_TrayIcon.GetTip());

        HotKeyEntry second = p.Entry(0);
        second.name = "第二个";
        p.answer = second;
        p.Command(IDC_BTN_ADD); // Ctrl+Alt+N again: refused during Add
        EXPECT_EQ(HotKeyState::Refused, p.RowHotKeyState(3));
        EXPECT_STREQ("Tarnwick V1.0 - 2 个快捷键未生效", p.m_TrayIcon.GetTip());

        p.Command(IDC_BTN_HOTKEYS_OFF);
        EXPECT_STREQ("Tarnwick V1.0", p.m_TrayIcon.GetTip()) << "switched off is not refused";

        p.SetMark(3);
        p.Command(IDC_BTN_DELETE);
        system.hotkeys.erase(kOtherProgram);
        p.Command(IDC_BTN_HOTKEYS_ON);
        EXPECT_STREQ("Tarnwick V1.0", p.m_TrayIcon.GetTip());
    });
}

TEST_F(PanelHotKeyState, ClearAndLoadLeaveNoStaleRefusal) {
    RunState([&](StatePanel& p) {
        system.answers.push_back(IDYES);
        p.Command(IDC_BTN_CLEAR);
        EXPECT_EQ(0, p.RowCount());
        EXPECT_STREQ("Tarnwick V1.0", p.m_TrayIcon.GetTip());
        EXPECT_EQ(HotKeyState::None, p.RowHotKeyState(0));

        // What Load does once its file is chosen, with the combination freed meanwhile.
        system.hotkeys.erase(kOtherProgram);
        p.ClearAll();
        p.ReadListFile("list.map");
        p.ShowAll();
        p.EnableAllHotKeys();
        EXPECT_EQ(HotKeyState::Registered, p.RowHotKeyState(0));
        EXPECT_EQ(CDRF_DODEFAULT, p.CustomDraw(0).result);
        EXPECT_STREQ("Tarnwick V1.0", p.m_TrayIcon.GetTip());
    });
}

// Properties registers at once even while the hotkeys are off, so a refused row can stand
// among switched-off ones.
TEST_F(PanelHotKeyState, ARowRefusedWhileOffStandsOutAmongTheGreyRows) {
    RunState([&](StatePanel& p) {
        p.Command(IDC_BTN_HOTKEYS_OFF);
        p.answer = p.Entry(2);
        p.answer.hotkey = kCodeCtrlAlt | 'N';
        p.answer.keydes = "Ctrl + Alt + N";
        p.SetMark(2);
        p.Command(IDC_BTN_PROPERTIES);

        EXPECT_EQ(HotKeyState::Off, p.RowHotKeyState(0));
        EXPECT_EQ(HotKeyState::Refused, p.RowHotKeyState(2));
        EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), p.CustomDraw(0).text);
        EXPECT_EQ(kRefusedRowBack, p.CustomDraw(2).back);
        EXPECT_EQ(0, p.WarningPixelsOf(0));
        EXPECT_GT(p.WarningPixelsOf(2), 20);
        EXPECT_STREQ("Tarnwick V1.0 - 1 个快捷键未生效", p.m_TrayIcon.GetTip());
        EXPECT_EQ(kRefusedTip, p.TipOver(2));
    });
    EXPECT_EQ(2u, system.boxes.size());
}

TEST_F(PanelHotKeyState, TheBuiltInRebindFollowsTheSystemsAnswer) {
    RunState([&](StatePanel& p) {
        p.answer.name = "允许关机";
        p.answer.path = "$ZELO.TW.ACT~allow_shutdown$";
        p.answer.icon = "C:\\windows\\system32\\shell32.dll";
        p.answer.hotkey = kCodeCtrlAlt | 'N';
        p.answer.keydes = "Ctrl + Alt + N";
        p.Command(IDC_BTN_BUILTIN); // a new built-in entry on the held combination
        ASSERT_EQ(4, p.RowCount());
        EXPECT_EQ(HotKeyState::Refused, p.RowHotKeyState(3));
        EXPECT_STREQ("Tarnwick V1.0 - 2 个快捷键未生效", p.m_TrayIcon.GetTip());

        p.answer.hotkey = kCodeCtrlAlt | 'B';
        p.answer.keydes = "Ctrl + Alt + B";
        p.Command(IDC_BTN_BUILTIN); // the same action again: only its hotkey moves
        ASSERT_EQ(4, p.RowCount());
        EXPECT_EQ(HotKeyState::Registered, p.RowHotKeyState(3));
        EXPECT_EQ(CDRF_DODEFAULT, p.CustomDraw(3).result);
        EXPECT_STREQ("Tarnwick V1.0 - 1 个快捷键未生效", p.m_TrayIcon.GetTip());

        p.SetMark(0);
        p.Command(IDC_BTN_DELETE); // the refused row goes, and with it the last refusal
        EXPECT_STREQ("Tarnwick V1.0", p.m_TrayIcon.GetTip());
    });
}

} // namespace

namespace {

// While something is refused the panel asks again, on its timer and when the machine
// resumes or the session is unlocked, and never with a box; with nothing refused the timer
// is off.
TEST_F(PanelHotKeyState, ARefusedCombinationIsRetriedQuietlyUntilItIsFree) {
    RunState([&](StatePanel& p) {
        EXPECT_TRUE(p.m_bRetryTimerOn);
        p.m_nRetryPeriodMs = 50;
        p.Command(IDC_BTN_HOTKEYS_OFF);
        EXPECT_FALSE(p.m_bRetryTimerOn) << "nothing refused while switched off";
        p.Command(IDC_BTN_HOTKEYS_ON); // refused again: the short period from here on
        EXPECT_TRUE(p.m_bRetryTimerOn);
        p.Pump(250);
        EXPECT_EQ(HotKeyState::Refused, p.RowHotKeyState(0)) << "still held";

        system.hotkeys.erase(kOtherProgram);
        p.SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
        EXPECT_EQ(HotKeyState::Registered, p.RowHotKeyState(0));
        EXPECT_STREQ("Tarnwick V1.0", p.m_TrayIcon.GetTip());
        EXPECT_FALSE(p.m_bRetryTimerOn);

        system.hotkeys[kOtherProgram] = {kCtrlAlt, 'Q'};
        p.answer = p.Entry(1);
        p.answer.name = "第二个";
        p.answer.hotkey = kCodeCtrlAlt | 'Q';
        p.answer.keydes = "Ctrl + Alt + Q";
        p.Command(IDC_BTN_ADD);
        EXPECT_EQ(HotKeyState::Refused, p.RowHotKeyState(3));
        p.SendMessage(kWmSessionChange, kSessionUnlock, 0);
        EXPECT_EQ(HotKeyState::Refused, p.RowHotKeyState(3));
        system.hotkeys.erase(kOtherProgram);
        p.Pump(250); // the timer's turn
        EXPECT_EQ(HotKeyState::Registered, p.RowHotKeyState(3));
        EXPECT_EQ(CDRF_DODEFAULT, p.CustomDraw(3).result);
        EXPECT_FALSE(p.m_bRetryTimerOn);
    });
    EXPECT_EQ(3u, system.boxes.size()) << "start-up, switching on and Add; no retry";
}

} // namespace

namespace {

bool RowChecked(HWND list, int row) {
    return ListView_GetItemState(list, row, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}
void SetRowCheck(HWND list, int row, bool checked) {
    if (RowChecked(list, row) != checked) ClickRowBox(list, row);
}

// Row 2 (Ctrl+Alt+S, id 12) switched off by its box: greyed with its tip, kept in the file,
// registered by nothing until its box is checked again; Load brings the box back as saved.
TEST_F(PanelHotKeyState, ARowsOwnBoxSwitchesItsBindingOffAndOn) {
    RunState([&](StatePanel& p) {
        EXPECT_TRUE(RowChecked(p.List(), 2));
        SetRowCheck(p.List(), 2, false);
        p.Pump(100);
        EXPECT_FALSE(p.Entry(2).enabled);
        EXPECT_EQ(0u, system.hotkeys.count(12));
        EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), p.CustomDraw(2).text);
        EXPECT_EQ(SwitchedOffRowTip(), p.TipOver(2));
        EXPECT_NE(std::string::npos, ReadFileText("list.map").find("disabled=1"));

        p.Command(IDC_BTN_HOTKEYS_OFF);
        p.Command(ID_TRAY_ENABLE_HOTKEYS);
        p.answer = p.Entry(2);
        p.answer.hotkey = kCodeCtrlAlt | 'B';
        p.answer.keydes = "Ctrl + Alt + B";
        p.SetMark(2);
        p.Command(IDC_BTN_PROPERTIES);
        EXPECT_EQ(0u, system.hotkeys.count(12)) << "neither a switch nor Properties";
        EXPECT_FALSE(p.Entry(2).enabled);
        EXPECT_FALSE(RowChecked(p.List(), 2));

        p.ClearAll(); // what Load does once its file is chosen
        p.ReadListFile("list.map");
        p.ShowAll();
        p.EnableAllHotKeys();
        EXPECT_FALSE(RowChecked(p.List(), 2));
        EXPECT_TRUE(RowChecked(p.List(), 1));
        EXPECT_EQ(0u, system.hotkeys.count(12));

        SetRowCheck(p.List(), 2, true);
        p.Pump(100);
        EXPECT_TRUE(p.Entry(2).enabled);
        EXPECT_EQ(std::make_pair(kCtrlAlt, unsigned('B')), system.hotkeys.at(12));
        EXPECT_EQ(std::string::npos, ReadFileText("list.map").find("disabled"));
    });
    EXPECT_EQ(3u, system.boxes.size()) << "Ctrl+Alt+N at start-up, switching on and Load";
}

} // namespace
