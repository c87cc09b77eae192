// The tray icon's tip can change while the icon is shown, hidden or was never added.
#include "panel/tray_icon.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const UINT kCallback = WM_USER + 2;
const UINT kIconId = 154;

class TipOwner {
public:
    TipOwner() {
        hwnd = CreateWindowA("STATIC", "tip owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    }
    ~TipOwner() { DestroyWindow(hwnd); }
    HWND hwnd;
};

TEST(TrayTip, AnInactiveIconOnlyKeepsTheTextAndNeverOverrunsIt) {
    CTrayIcon tray;
    tray.SetTip("Tarnwick V1.0 - 2 个快捷键未生效");
    EXPECT_STREQ("Tarnwick V1.0 - 2 个快捷键未生效", tray.GetTip());
    EXPECT_FALSE(tray.IsActive());
    tray.SetTip(std::string(100, 'x').c_str());
    EXPECT_EQ(63u, std::string(tray.GetTip()).size());
    // A cut never leaves half a character: 62 units and then one of two (a surrogate pair).
    tray.SetTip((std::string(62, 'x') + "\U0001F600").c_str());
    EXPECT_EQ(std::string(62, 'x'), tray.GetTip());
    tray.SetTip(nullptr);
    EXPECT_STREQ("", tray.GetTip());
}

TEST(TrayTip, ShownAndHiddenIconsKeepTheirStatesThroughATipChange) {
    TipOwner owner;
    CTrayIcon tray;
    if (!tray.AddToTray(owner.hwnd, kCallback, "Tarnwick V1.0", LoadIcon(nullptr, IDI_APPLICATION),
                        kIconId))
        GTEST_SKIP() << "no notification area in this session";
    tray.SetTip("Tarnwick V1.0 - 1 个快捷键未生效");
    EXPECT_TRUE(tray.IsActive());
    EXPECT_FALSE(tray.IsHidden());

    tray.HideFromTray();
    tray.SetTip("Tarnwick V1.0");
    EXPECT_TRUE(tray.IsHidden()) << "a tip change does not bring a hidden icon back";
    tray.ShowInTray();
    EXPECT_FALSE(tray.IsHidden());
    EXPECT_STREQ("Tarnwick V1.0", tray.GetTip());
    tray.RemoveFromTray();
    tray.SetTip("Tarnwick V1.0 - 3 个快捷键未生效");
    EXPECT_FALSE(tray.IsActive());
}

} // namespace
