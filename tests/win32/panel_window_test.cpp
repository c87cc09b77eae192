// The panel as a window: hiding never ends it, the show-panel command and the panel hotkey
// toggle it (the hotkey also while the About box runs its own loop), only Exit ends it;
// and the two setting check boxes.

#include "panel_test_support.h"

#include "res/resource.h"

namespace {

class PanelWindow : public PanelTest {};

// Lives inside the About box's loop: finds the box, posts the panel hotkey to the panel,
// waits for the dispatcher to act on it, then closes the box.
struct AboutVisit {
    ScriptedPanel* panel = nullptr;
    HWND about = nullptr;
    std::string caption;
    bool panelDisabledWhileOpen = false;
    bool visibleBefore = false;
    bool toggledWhileOpen = false;
    int ticks = 0;
};
AboutVisit* g_visit = nullptr;

BOOL CALLBACK TakeOtherDialog(HWND hwnd, LPARAM param) {
    AboutVisit& visit = *reinterpret_cast<AboutVisit*>(param);
    if (hwnd == visit.panel->m_hWnd || !::IsWindowVisible(hwnd) ||
        CDialog::FromHandle(hwnd) == nullptr)
        return TRUE;
    visit.about = hwnd;
    return FALSE;
}

void CALLBACK AboutTick(HWND, UINT, UINT_PTR, DWORD) {
    AboutVisit& visit = *g_visit;
    if (++visit.ticks > 200) return; // ten seconds: the panel's safety timer takes over
    if (visit.about == nullptr) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &TakeOtherDialog,
                            reinterpret_cast<LPARAM>(&visit));
        if (visit.about == nullptr) return;
        visit.caption = CWnd::WindowText(visit.about);
        visit.panelDisabledWhileOpen = !::IsWindowEnabled(visit.panel->m_hWnd);
        visit.visibleBefore = visit.panel->m_bPanelVisible;
        visit.panel->PostMessage(WM_HOTKEY, 1, MAKELPARAM(MOD_CONTROL | MOD_ALT, VK_END));
        return;
    }
    if (visit.panel->m_bPanelVisible != visit.visibleBefore && !visit.toggledWhileOpen) {
        visit.toggledWhileOpen = true;
        ::PostMessageW(visit.about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
}

TEST_F(PanelWindow, HidingKeepsItRunningAndItsHotkeyWorksWhileTheAboutBoxIsOpen) {
    AboutVisit visit;
    const int result = Run([&](ScriptedPanel& p) {
        p.Pump(200); // past the start-up visibility timer
        EXPECT_TRUE(p.Showing());

        p.Command(IDCANCEL);
        EXPECT_FALSE(p.Showing());
        EXPECT_FALSE(p.m_bPanelVisible);
        p.Command(ID_TRAY_SHOW_PANEL);
        EXPECT_TRUE(p.Showing());
        p.SendMessage(WM_CLOSE);
        p.Pump(50);
        EXPECT_FALSE(p.Showing()) << "the close box only hides";
        p.Command(ID_TRAY_SHOW_PANEL);
        EXPECT_TRUE(p.Showing());

        visit.panel = &p;
        g_visit = &visit;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &AboutTick);
        p.Command(IDC_BTN_ABOUT); // returns when the box has closed
        ::KillTimer(nullptr, timer);
        g_visit = nullptr;

        EXPECT_EQ("关于 Tarnwick", visit.caption);
        EXPECT_TRUE(visit.panelDisabledWhileOpen);
        EXPECT_TRUE(visit.toggledWhileOpen);
        EXPECT_FALSE(p.m_bPanelVisible);
        EXPECT_FALSE(p.Showing());
    });
    // None of the hides ended the panel: it ran until the script was done.
    EXPECT_EQ(ScriptedPanel::kScriptEnded, result);
}

TEST_F(PanelWindow, OnlyTheExitCommandsEndTheRunWithOk) {
    EXPECT_EQ(IDOK, Run([](ScriptedPanel& p) { p.Command(ID_TRAY_EXIT); }));
    EXPECT_EQ(IDOK, Run([](ScriptedPanel& p) {
                  p.Command(IDC_BTN_EXIT);
                  EXPECT_FALSE(p.m_TrayIcon.IsActive())
                      << "the Exit button takes the icon away first";
              }));
}

// The system's shutdown query is answered from the shutdown-allowed flag that the forbid
// and allow actions set; a dialog returns the answer through its message result.
TEST_F(PanelWindow, ShutdownQueryFollowsTheAllowFlag) {
    Run([this](ScriptedPanel& p) {
        EXPECT_EQ(1, p.SendMessage(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
        allowShutdown = 0;
        EXPECT_EQ(0, p.SendMessage(WM_QUERYENDSESSION, 0, 0));
        allowShutdown = 1;
        EXPECT_EQ(1, p.SendMessage(WM_QUERYENDSESSION, 0, 0));
    });
}

// The check box rewrites only its own key; the document drops the blank lines on the way.
TEST_F(PanelWindow, ShowTrayCheckBoxRewritesOnlyItsKey) {
    auto settings = [](const char* showtray, const char* blank) {
        return std::string("# 面板测试\r\n[SET]\r\nshowtray=") + showtray + "\r\n" + blank +
               "autorun=no\r\nmapfile=list.map\r\n" + blank +
               "[ACT]\r\ncount=1\r\n[act0]\r\nname=禁止关机\r\npath=$ZELO.TW.ACT~forbid_shutdown$"
               "\r\n";
    };
    WriteFileText("tarnwick.ini", settings("no", "\r\n"));

    Run([&](ScriptedPanel& p) {
        p.Click(IDC_CHK_SHOWTRAY);
        EXPECT_TRUE(p.m_bShowTray);
        if (p.m_TrayIcon.IsActive()) {
            EXPECT_FALSE(p.m_TrayIcon.IsHidden());
        }
        EXPECT_EQ(settings("yes", ""), ReadFileText("tarnwick.ini"));

        p.Click(IDC_CHK_SHOWTRAY);
        EXPECT_FALSE(p.m_bShowTray);
        if (p.m_TrayIcon.IsActive()) {
            EXPECT_TRUE(p.m_TrayIcon.IsHidden());
        }
        EXPECT_EQ(settings("no", ""), ReadFileText("tarnwick.ini"));
    });

    EXPECT_TRUE(system.regWrites.empty());
}

// The program path is quoted: the directory may hold blanks (this one does).
TEST_F(PanelWindow, AutoRunCheckBoxWritesTheRunValueAndItsKey) {
    const std::string dir = scratch.Current();
    ASSERT_NE(std::string::npos, dir.find(' '));

    Run([&](ScriptedPanel& p) {
        p.Click(IDC_CHK_AUTORUN);
        EXPECT_TRUE(p.m_bAutoRun);
        EXPECT_EQ(SettingsText("no", "yes", "list.map"), ReadFileText("tarnwick.ini"));
        p.Click(IDC_CHK_AUTORUN);
        EXPECT_FALSE(p.m_bAutoRun);
        EXPECT_EQ(SettingsText("no", "no", "list.map"), ReadFileText("tarnwick.ini"));
    });

    // A program outside the system folders is started for its user only; switching off
    // empties the machine-wide value as always.
    ASSERT_EQ(2u, system.regWrites.size());
    EXPECT_EQ(tw::RegRoot::CurrentUser, system.regWrites[0].root);
    EXPECT_EQ(tw::RegRoot::LocalMachine, system.regWrites[1].root);
    for (const PanelSystem::RegWrite& write : system.regWrites) {
        EXPECT_EQ("Software\\Microsoft\\Windows\\CurrentVersion\\Run\\", write.subkey);
        EXPECT_EQ("ZELO.Tarnwick.Run", write.name);
    }
    EXPECT_EQ("\"" + dir + "\\Tarnwick.exe\" " + dir, system.regWrites[0].data);
    EXPECT_EQ("", system.regWrites[1].data) << "switched off, the value stays, emptied";
    EXPECT_TRUE(system.boxes.empty());
}

} // namespace
