#include "panel/tray_icon.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A plain top-level window that records the commands it receives.
class OwnerWindow {
public:
    OwnerWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &OwnerWindow::Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = "TrayOwnerTest";
        RegisterClassA(&wc);
        hwnd = CreateWindowA("TrayOwnerTest", "tray owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                             nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~OwnerWindow() { DestroyWindow(hwnd); }

    HWND hwnd;
    std::vector<WPARAM> commands;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<OwnerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_COMMAND && self != nullptr) self->commands.push_back(wParam);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};

const UINT kCallback = WM_USER + 2;
const UINT kIconId = 154;

TEST(TrayIcon, WithoutOwnerWindowStaysInactiveForGood) {
    CTrayIcon tray;
    EXPECT_FALSE(tray.AddToTray(nullptr, kCallback, "Tarnwick V1.0",
                                LoadIcon(nullptr, IDI_APPLICATION), kIconId));
    EXPECT_FALSE(tray.IsActive());
    tray.HideFromTray();
    EXPECT_FALSE(tray.IsHidden());
    tray.ShowInTray();
    EXPECT_FALSE(tray.IsHidden());

    HWND gone = CreateWindowA("STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(tray.AddToTray(gone, kCallback, "Tarnwick V1.0",
                                LoadIcon(nullptr, IDI_APPLICATION), kIconId));
    EXPECT_FALSE(tray.IsActive());
}

TEST(TrayIcon, HideShowAndRemoveFollowTheStates) {
    OwnerWindow owner;
    CTrayIcon tray;
    if (!tray.AddToTray(owner.hwnd, kCallback, "Tarnwick V1.0", LoadIcon(nullptr, IDI_APPLICATION),
                        kIconId))
        GTEST_SKIP() << "no notification area in this session";
    EXPECT_TRUE(tray.IsActive());
    EXPECT_FALSE(tray.IsHidden());

    tray.HideFromTray();
    EXPECT_TRUE(tray.IsActive());
    EXPECT_TRUE(tray.IsHidden());
    tray.ShowInTray();
    EXPECT_FALSE(tray.IsHidden());

    tray.RemoveFromTray();
    EXPECT_FALSE(tray.IsActive());
    // Once removed the object stays inactive: hiding and showing do nothing.
    tray.HideFromTray();
    EXPECT_FALSE(tray.IsHidden());
}

TEST(TrayIcon, CallbackAnswersOnlyForItsOwnIcon) {
    OwnerWindow owner;
    CTrayIcon tray;
    tray.AddToTray(owner.hwnd, kCallback, "Tarnwick V1.0", LoadIcon(nullptr, IDI_APPLICATION),
                   kIconId);
    EXPECT_EQ(0, tray.OnTrayCallback(kIconId + 1, WM_LBUTTONDOWN));
    EXPECT_EQ(1, tray.OnTrayCallback(kIconId, WM_MOUSEMOVE));
    EXPECT_EQ(1, tray.OnTrayCallback(kIconId, WM_LBUTTONDBLCLK));
    EXPECT_TRUE(owner.commands.empty());
    tray.RemoveFromTray();
}

} // namespace
