// Hotkeys against the real system: refusal of a taken combination, re-registration,
// and a key press travelling from injected input to the engine's dispatcher.
#include "engine/builtin_action.h"
#include "engine/hotkey_code.h"
#include "engine/hotkey_engine.h"
#include "engine/sys_util.h"
#include "platform/win32/win32_system.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// The real system, except that message boxes are recorded instead of shown.
class QuietSystem : public Win32System {
public:
    struct Box {
        tw::WindowRef owner;
        std::string text, caption;
        unsigned flags;
    };
    std::vector<Box> boxes;

    int ShowMessageBox(tw::WindowRef owner, const std::string& text, const std::string& caption,
                       unsigned flags) override {
        boxes.push_back({owner, text, caption, flags});
        return tw::kIdOk;
    }
};

// Combinations nothing else in the prefix is expected to hold.
const int kAllThree = tw::kHotKeyfControl | tw::kHotKeyfShift | tw::kHotKeyfAlt;
const int kCodeF9 = MakeHotKeyCode(VK_F9, kAllThree);
const int kCodeF10 = MakeHotKeyCode(VK_F10, kAllThree);

class HotKeyWindow : public ::testing::Test {
protected:
    void SetUp() override {
        // Hidden and never shown: hotkeys need an owner, not a visible one.
        window = ::CreateWindowExA(0, "STATIC", "tw hotkey test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override {
        for (int id : {100, 101, 102, 10, 11})
            ::UnregisterHotKey(window, id);
        ::DestroyWindow(window);
    }

    // Presses and releases Ctrl+Shift+Alt+key as injected input.
    static void PressWithAllModifiers(WORD vk) {
        const WORD keys[] = {VK_CONTROL, VK_SHIFT, VK_MENU, vk};
        std::vector<INPUT> inputs;
        for (WORD k : keys)
            inputs.push_back(Key(k, 0));
        for (int i = 3; i >= 0; --i)
            inputs.push_back(Key(keys[i], KEYEVENTF_KEYUP));
        ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }
    static INPUT Key(WORD vk, DWORD flags) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, 0));
        in.ki.dwFlags = flags;
        return in;
    }

    // Runs a message loop and returns the ids of the hotkey messages that arrived for our
    // window; every message goes to `onMessage` first. Waits at most `ms` milliseconds,
    // and once a hotkey has arrived only long enough more to catch a duplicate.
    template <typename F>
    std::vector<int> Pump(DWORD ms, F onMessage) {
        const DWORD kSettle = 300;
        std::vector<int> ids;
        const DWORD start = ::GetTickCount();
        DWORD limit = ms;
        while (::GetTickCount() - start < limit) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                onMessage(msg);
                if (msg.message == WM_HOTKEY && msg.hwnd == window) {
                    ids.push_back(static_cast<int>(msg.wParam));
                    const DWORD settled = ::GetTickCount() - start + kSettle;
                    if (settled < limit) limit = settled;
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return ids;
    }
    std::vector<int> Pump(DWORD ms) {
        return Pump(ms, [](const MSG&) {});
    }

    HWND window = nullptr;
};

TEST_F(HotKeyWindow, TakenCombinationIsRefusedAndReportedOnceWithTheExactMessage) {
    QuietSystem sys;
    CSysUtil util(sys);
    ASSERT_TRUE(util.RegHotKey(window, kCodeF9, 100));
    EXPECT_FALSE(util.RegHotKey(window, kCodeF9, 101));
    ASSERT_EQ(1u, sys.boxes.size());
    EXPECT_EQ(window, sys.boxes[0].owner);
    EXPECT_EQ("注册系统热键失败，请选择其他热键！", sys.boxes[0].text);
    EXPECT_EQ("失败", sys.boxes[0].caption);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONINFORMATION), sys.boxes[0].flags);
    // The extended flag takes no part in the combination.
    EXPECT_FALSE(util.RegHotKey(window, kCodeF9 | (tw::kHotKeyfExt << 8), 102));
    EXPECT_EQ(2u, sys.boxes.size());
}

TEST_F(HotKeyWindow, UnregisteredCombinationCanBeRegisteredAgain) {
    QuietSystem sys;
    CSysUtil util(sys);
    ASSERT_TRUE(util.RegHotKey(window, kCodeF10, 100));
    EXPECT_TRUE(sys.UnregisterHotKey(window, 100));
    EXPECT_FALSE(sys.UnregisterHotKey(window, 100));
    EXPECT_TRUE(util.RegHotKey(window, kCodeF10, 101));
    EXPECT_TRUE(sys.boxes.empty());
}

TEST_F(HotKeyWindow, InjectedPressDeliversExactlyOneHotKeyMessageWithItsId) {
    QuietSystem sys;
    ASSERT_TRUE(CSysUtil(sys).RegHotKey(window, kCodeF9, 100));
    Pump(50); // settle anything pending from earlier tests
    PressWithAllModifiers(VK_F9);
    EXPECT_EQ(std::vector<int>{100}, Pump(3000));
}

TEST_F(HotKeyWindow, PressReachesTheEngineThroughItsMessageLoopAndStopsWhenSwitchedOff) {
    QuietSystem sys;
    int allowShutdown = 1;
    CHotKeyEngine engine(sys, allowShutdown);
    engine.AttachWindows(window, nullptr, nullptr);
    HotKeyEntry forbid;
    forbid.name = "forbid";
    forbid.path = kTokenForbidShutdown;
    forbid.hotkey = kCodeF10;
    forbid.builtin = true;
    engine.m_entries.push_back(forbid);
    engine.EnableAllHotKeys();

    const auto dispatch = [&engine](const MSG& msg) {
        engine.PreTranslateHotKey(msg.message, msg.wParam);
    };
    PressWithAllModifiers(VK_F10);
    EXPECT_EQ(std::vector<int>{10}, Pump(3000, dispatch));
    EXPECT_EQ(0, allowShutdown);

    allowShutdown = 1;
    engine.OnDisableHotKeys();
    PressWithAllModifiers(VK_F10);
    EXPECT_TRUE(Pump(500, dispatch).empty());
    EXPECT_EQ(1, allowShutdown);
    EXPECT_TRUE(sys.boxes.empty());
}

} // namespace
