// The tray icon's callback driven directly, as the shell would send it (the icon's place on
// the screen is not stable enough to click), and whether an icon is left in the
// notification area after start-up without it and after the tray menu's Exit.

#include "panel_test_support.h"

#include "platform/win32/ui_resources.h"
#include "platform/win32/wide.h"
#include "res/resource.h"

namespace {

const UINT kCallback = WM_USER + 2;

// True while the notification area holds an icon of this owner and id: only then does it
// accept a change to it.
bool IconShown(HWND owner, UINT id) {
    NOTIFYICONDATAW nid = {};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = owner;
    nid.uID = id;
    return ::Shell_NotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

// What the owner window saw of the pop-up menu the callback tracked.
struct MenuSeen {
    int popups = 0;
    UINT defaultPosition = static_cast<UINT>(-1);
    UINT firstId = 0;
    bool firstDrawnBold = false;
    std::string firstText;
    std::vector<WPARAM> commands;
};

class MenuOwner {
public:
    MenuOwner() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &MenuOwner::Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = "TrayMenuOwnerTest";
        ::RegisterClassA(&wc);
        hwnd = ::CreateWindowA("TrayMenuOwnerTest", "tray menu owner", WS_OVERLAPPEDWINDOW, 0, 0,
                               100, 100, nullptr, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~MenuOwner() { ::DestroyWindow(hwnd); }

    HWND hwnd;
    MenuSeen seen;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<MenuOwner*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr) {
            MenuSeen& seen = self->seen;
            switch (msg) {
            case WM_INITMENUPOPUP: {
                HMENU menu = reinterpret_cast<HMENU>(wParam);
                ++seen.popups;
                seen.defaultPosition = ::GetMenuDefaultItem(menu, TRUE, 0);
                seen.firstId = ::GetMenuItemID(menu, 0);
                MENUITEMINFOA info = {};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_STATE;
                ::GetMenuItemInfoA(menu, 0, TRUE, &info);
                seen.firstDrawnBold = (info.fState & MFS_DEFAULT) != 0;
                wchar_t text[64] = {};
                ::GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
                seen.firstText = Narrow(text);
                // Closes the menu as soon as its loop runs; the timer in case it never idles.
                ::SetTimer(hwnd, 1, 200, nullptr);
                break;
            }
            case WM_ENTERIDLE:
            case WM_TIMER:
                ::KillTimer(hwnd, 1);
                ::EndMenu();
                break;
            case WM_COMMAND: seen.commands.push_back(wParam); break;
            }
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};

TEST(TrayCallback, RightReleaseOpensTheMenuWithShowPanelInBold) {
    MenuOwner owner;
    CTrayIcon tray;
    tray.AddToTray(owner.hwnd, kCallback, "Tarnwick V1.0", ::LoadIcon(nullptr, IDI_APPLICATION),
                   IDR_MENU_TRAY);
    EXPECT_EQ(1, tray.OnTrayCallback(IDR_MENU_TRAY, WM_RBUTTONUP));
    EXPECT_EQ(1, owner.seen.popups);
    EXPECT_EQ(0u, owner.seen.defaultPosition);
    EXPECT_EQ(static_cast<UINT>(ID_TRAY_SHOW_PANEL), owner.seen.firstId);
    EXPECT_TRUE(owner.seen.firstDrawnBold);
    EXPECT_TRUE(owner.seen.commands.empty()) << "a menu closed without a choice sends nothing";
    // The press and other mouse messages open nothing.
    EXPECT_EQ(1, tray.OnTrayCallback(IDR_MENU_TRAY, WM_RBUTTONDOWN));
    EXPECT_EQ(1, tray.OnTrayCallback(IDR_MENU_TRAY, WM_LBUTTONUP));
    EXPECT_EQ(1, owner.seen.popups);
    tray.RemoveFromTray();
}

TEST(TrayCallback, TheMenuSpeaksTheLanguageShown) {
    const std::pair<tw::UiLanguage, const char*> cases[] = {
        {tw::UiLanguage::Chinese, "显示面板(&S)"}, {tw::UiLanguage::English, "&Show panel"}};
    for (const auto& [language, first] : cases) {
        ShowUiLanguage(language);
        MenuOwner owner;
        CTrayIcon tray;
        tray.AddToTray(owner.hwnd, kCallback, "Tarnwick V1.0", ::LoadIcon(nullptr, IDI_APPLICATION),
                       IDR_MENU_TRAY);
        tray.OnTrayCallback(IDR_MENU_TRAY, WM_RBUTTONUP);
        EXPECT_EQ(first, owner.seen.firstText);
        tray.RemoveFromTray();
    }
    ShowUiLanguage(tw::UiLanguage::Chinese);
}

TEST(TrayCallback, AMenuThatCannotBeLoadedAnswersZeroAndDoesNothing) {
    MenuOwner owner;
    CTrayIcon tray;
    const UINT noSuchMenu = 4321;
    tray.AddToTray(owner.hwnd, kCallback, "Tarnwick V1.0", ::LoadIcon(nullptr, IDI_APPLICATION),
                   noSuchMenu);
    EXPECT_EQ(0, tray.OnTrayCallback(noSuchMenu, WM_RBUTTONUP));
    EXPECT_EQ(0, tray.OnTrayCallback(noSuchMenu, WM_LBUTTONDOWN));
    EXPECT_EQ(0, owner.seen.popups);
    EXPECT_TRUE(owner.seen.commands.empty());
    tray.RemoveFromTray();
}

class TrayPanel : public PanelTest {};

TEST_F(TrayPanel, ALeftPressTogglesThePanelBothWays) {
    Run([&](ScriptedPanel& p) {
        p.Pump(200); // past the start-up visibility timer
        ASSERT_TRUE(p.Showing());
        EXPECT_EQ(1, p.SendMessage(kCallback, IDR_MENU_TRAY, WM_LBUTTONDOWN));
        EXPECT_FALSE(p.Showing());
        EXPECT_FALSE(p.m_bPanelVisible);
        EXPECT_EQ(1, p.SendMessage(kCallback, IDR_MENU_TRAY, WM_LBUTTONDOWN));
        EXPECT_TRUE(p.Showing());
        EXPECT_TRUE(p.m_bPanelVisible);
        // The release and a double click change nothing; another icon's message is not ours.
        EXPECT_EQ(1, p.SendMessage(kCallback, IDR_MENU_TRAY, WM_LBUTTONUP));
        EXPECT_EQ(1, p.SendMessage(kCallback, IDR_MENU_TRAY, WM_LBUTTONDBLCLK));
        EXPECT_EQ(0, p.SendMessage(kCallback, IDR_MENU_TRAY + 1, WM_LBUTTONDOWN));
        EXPECT_TRUE(p.Showing());
    });
}

TEST_F(TrayPanel, NoIconIsLeftAtStartWithoutTheTraySettingNorAfterTheTrayExit) {
    HWND panelWindow = nullptr;
    bool active = false;
    Run([&](ScriptedPanel& p) {
        panelWindow = p.m_hWnd;
        active = p.m_TrayIcon.IsActive() != FALSE;
        EXPECT_FALSE(IconShown(p.m_hWnd, IDR_MENU_TRAY)) << "showtray=no";
    });
    if (!active) GTEST_SKIP() << "no notification area in this session";

    WriteFileText("tarnwick.ini", SettingsText("yes", "no", "list.map"));
    bool shownBeforeExit = false;
    EXPECT_EQ(IDOK, Run([&](ScriptedPanel& p) {
                  panelWindow = p.m_hWnd;
                  shownBeforeExit = IconShown(p.m_hWnd, IDR_MENU_TRAY);
                  p.Command(ID_TRAY_EXIT);
              }));
    EXPECT_TRUE(shownBeforeExit);
    EXPECT_FALSE(IconShown(panelWindow, IDR_MENU_TRAY));
}

} // namespace
