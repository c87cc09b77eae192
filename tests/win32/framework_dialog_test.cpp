// The modal loop: pre-translation order, the main dialog's share of it, owner handling,
// the end codes of OK, Enter, Esc and the close box, WM_QUIT, and handler results.

#include "framework_test_res.h"
#include "framework_test_support.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

constexpr UINT kSwallowed = WM_APP + 2;
constexpr UINT kThreadPing = WM_APP + 3;

struct Seen {
    UINT message;
    WPARAM wParam;
    bool innerRunning;
};

// Plays the main panel: the application's main dialog, which opens a child dialog from
// its loop and watches what reaches its pre-translation meanwhile.
class PanelLike : public ScriptedDialog {
public:
    PanelLike() : ScriptedDialog(IDD_TEST_OUTER) {
        endAfterBody = false;
        body = [this] { RunInner(); };
    }

    std::function<void()> innerBody;
    bool innerEndsAfterBody = true;
    bool endAfterInner = true;
    INT_PTR innerResult = 0;
    HWND innerOwner = nullptr;
    HWND hwndWhileRunning = nullptr;
    bool enabledAfterInner = false;
    std::vector<Seen> seen;
    int hotkeysDispatched = 0;
    int swallowedDispatched = 0;
    ScriptedDialog* inner = nullptr;

    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_HOTKEY || msg->message == kThreadPing || msg->message == kSwallowed)
            seen.push_back(
                {msg->message, msg->wParam, inner != nullptr && inner->m_hWnd != nullptr});
        if (msg->message == kSwallowed) return TRUE;
        return ScriptedDialog::PreTranslateMessage(msg);
    }

protected:
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        switch (msg) {
        case WM_HOTKEY: ++hotkeysDispatched; return true;
        case kSwallowed: ++swallowedDispatched; return true;
        default: return ScriptedDialog::OnMessage(msg, wParam, lParam, result);
        }
    }

private:
    void RunInner() {
        ScriptedDialog child(IDD_TEST_FORM);
        child.endAfterBody = innerEndsAfterBody;
        child.body = [&] {
            innerOwner = ::GetWindow(child.m_hWnd, GW_OWNER);
            if (innerBody) innerBody();
        };
        inner = &child;
        innerResult = child.DoModal();
        inner = nullptr;
        hwndWhileRunning = m_hWnd;
        enabledAfterInner = IsWindowEnabled() != FALSE;
        if (endAfterInner) EndDialog(IDOK);
    }
};

class FrameworkDialogTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCommonControls(); }
    void TearDown() override { CDialog::SetMainWnd(nullptr); }
};

TEST_F(FrameworkDialogTest, MessagesForThePanelReachItsPreTranslationWhileAChildDialogRuns) {
    PanelLike panel;
    CDialog::SetMainWnd(&panel);
    bool panelEnabledDuringChild = true;
    panel.innerBody = [&] {
        panelEnabledDuringChild = ::IsWindowEnabled(panel.m_hWnd) != FALSE;
        ::PostMessageW(panel.m_hWnd, WM_HOTKEY, 12, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'N'));
        ::PostThreadMessageW(::GetCurrentThreadId(), kThreadPing, 5, 0);
        ::PostMessageW(panel.m_hWnd, kSwallowed, 7, 0);
    };

    EXPECT_EQ(IDOK, panel.DoModal());

    EXPECT_EQ(IDCANCEL, panel.innerResult);
    ASSERT_EQ(3u, panel.seen.size());
    // Each exactly once, in posting order, while the child's loop was the running one.
    EXPECT_EQ(static_cast<UINT>(WM_HOTKEY), panel.seen[0].message);
    EXPECT_EQ(12u, panel.seen[0].wParam);
    EXPECT_EQ(kThreadPing, panel.seen[1].message); // a thread message: no window to walk from
    EXPECT_EQ(5u, panel.seen[1].wParam);
    EXPECT_EQ(kSwallowed, panel.seen[2].message);
    for (const Seen& s : panel.seen)
        EXPECT_TRUE(s.innerRunning);
    // FALSE from pre-translation lets the message go on to the window; TRUE stops it.
    EXPECT_EQ(1, panel.hotkeysDispatched);
    EXPECT_EQ(0, panel.swallowedDispatched);
    // The child without a parent was owned by the main dialog, which it disabled.
    EXPECT_EQ(panel.hwndWhileRunning, panel.innerOwner);
    EXPECT_FALSE(panelEnabledDuringChild);
    EXPECT_TRUE(panel.enabledAfterInner);
    EXPECT_EQ(nullptr, panel.m_hWnd);
}

// Counts the calls of the two virtual end steps.
class CountingDialog : public ScriptedDialog {
public:
    CountingDialog() : ScriptedDialog(IDD_TEST_FORM) { endAfterBody = false; }
    int oks = 0;
    int cancels = 0;

protected:
    void OnOK() override {
        ++oks;
        ScriptedDialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        ScriptedDialog::OnCancel();
    }
};

TEST_F(FrameworkDialogTest, KeyboardAndCloseBoxReachTheEndSteps) {
    struct Case {
        const char* what;
        std::function<void(CountingDialog&)> act;
        int result;
        int oks;
        int cancels;
    };
    auto key = [](UINT vk) {
        return [vk](CountingDialog& d) {
            HWND edit = d.GetDlgItem(IDC_TEST_NAME);
            ::PostMessageW(edit, WM_KEYDOWN, vk, 1);
            ::PostMessageW(edit, WM_KEYUP, vk, 0xC0000001);
        };
    };
    const Case cases[] = {
        {"Esc", key(VK_ESCAPE), IDCANCEL, 0, 1},
        {"Enter presses the default button", key(VK_RETURN), IDOK, 1, 0},
        {"close box", [](CountingDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); },
         IDCANCEL, 0, 1},
        {"WM_CLOSE", [](CountingDialog& d) { d.PostMessage(WM_CLOSE); }, IDCANCEL, 0, 1},
        {"OK button",
         [](CountingDialog& d) { d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED)); }, IDOK,
         1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountingDialog dialog;
        dialog.body = [&] { c.act(dialog); };
        EXPECT_EQ(c.result, dialog.DoModal());
        EXPECT_EQ(c.oks, dialog.oks);
        EXPECT_EQ(c.cancels, dialog.cancels);
    }
}

TEST_F(FrameworkDialogTest, KeysForAChildDoNotEndThePanel) {
    PanelLike panel;
    CDialog::SetMainWnd(&panel);
    panel.innerBody = [&] {
        HWND edit = panel.inner->GetDlgItem(IDC_TEST_NAME);
        ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
    };
    EXPECT_EQ(IDOK, panel.DoModal());
    EXPECT_EQ(IDCANCEL, panel.innerResult);
}

TEST_F(FrameworkDialogTest, QuitEndsEveryLoopAndStaysQueuedForTheCaller) {
    PanelLike panel;
    CDialog::SetMainWnd(&panel);
    panel.endAfterInner = false;
    panel.innerEndsAfterBody = false;
    panel.innerBody = [] { ::PostQuitMessage(7); };

    EXPECT_EQ(-1, panel.DoModal());
    EXPECT_EQ(-1, panel.innerResult);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
    EXPECT_EQ(nullptr, panel.m_hWnd);
}

TEST_F(FrameworkDialogTest, EndRequestSentFromAnotherThreadWakesTheLoop) {
    ScriptedDialog dialog(IDD_TEST_FORM);
    dialog.endAfterBody = false;
    std::thread sender;
    dialog.body = [&] {
        HWND hwnd = dialog.m_hWnd;
        sender = std::thread(
            [hwnd] { ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    sender.join();
}

TEST_F(FrameworkDialogTest, MissingTemplateFailsAndLeavesTheOwnerEnabled) {
    PanelLike panel;
    CDialog::SetMainWnd(&panel);
    panel.endAfterInner = true;
    INT_PTR missing = 0;
    bool ownerEnabledAfter = false;
    panel.innerBody = [&] {
        CDialog absent(4242, panel.inner->m_hWnd);
        missing = absent.DoModal();
        ownerEnabledAfter = ::IsWindowEnabled(panel.inner->m_hWnd) != FALSE;
    };
    EXPECT_EQ(IDOK, panel.DoModal());
    EXPECT_EQ(-1, missing);
    EXPECT_TRUE(ownerEnabledAfter);
}

// Answers the kinds of messages the panel handles, recording what arrives.
class DispatchDialog : public ScriptedDialog {
public:
    static constexpr UINT kTrayCallback = WM_USER + 2;
    DispatchDialog() : ScriptedDialog(IDD_TEST_FORM) {}

    std::vector<int> commands;
    std::vector<UINT> notifications;
    HICON dragIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    bool refuseEndSession = false;

protected:
    bool OnCommand(int id, int code) override {
        if (id == IDC_TEST_CHECK) {
            commands.push_back(code);
            return true;
        }
        return ScriptedDialog::OnCommand(id, code);
    }
    bool OnNotify(NMHDR* header, LRESULT* result) override {
        if (header->idFrom != IDC_TEST_NAME) return false;
        notifications.push_back(header->code);
        *result = 77;
        return true;
    }
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        switch (msg) {
        case kTrayCallback: *result = static_cast<LRESULT>(wParam + lParam); return true;
        case WM_QUERYDRAGICON: *result = reinterpret_cast<LRESULT>(dragIcon); return true;
        case WM_QUERYENDSESSION:
            if (!refuseEndSession) return false;
            *result = FALSE;
            return true;
        default: return ScriptedDialog::OnMessage(msg, wParam, lParam, result);
        }
    }
};

TEST_F(FrameworkDialogTest, HandlersAnswerWithTheirResults) {
    DispatchDialog dialog;
    LRESULT tray = 0, dragIcon = 0, notify = 0, endSessionDefault = 0, endSessionRefused = 1;
    dialog.body = [&] {
        HWND hwnd = dialog.m_hWnd;
        tray = ::SendMessageW(hwnd, DispatchDialog::kTrayCallback, 154, WM_LBUTTONDOWN);
        dragIcon = ::SendMessageW(hwnd, WM_QUERYDRAGICON, 0, 0);
        NMHDR header = {dialog.GetDlgItem(IDC_TEST_NAME), IDC_TEST_NAME,
                        static_cast<UINT>(NM_RCLICK)};
        notify = ::SendMessageW(hwnd, WM_NOTIFY, IDC_TEST_NAME, reinterpret_cast<LPARAM>(&header));
        endSessionDefault = ::SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0);
        dialog.refuseEndSession = true;
        endSessionRefused = ::SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0);
        ::SendMessageW(dialog.GetDlgItem(IDC_TEST_CHECK), BM_CLICK, 0, 0);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(154 + WM_LBUTTONDOWN, tray);
    EXPECT_EQ(reinterpret_cast<LRESULT>(dialog.dragIcon), dragIcon);
    EXPECT_EQ(77, notify);
    EXPECT_EQ(std::vector<UINT>{static_cast<UINT>(NM_RCLICK)}, dialog.notifications);
    EXPECT_EQ(TRUE, endSessionDefault); // left to the system, which agrees
    EXPECT_EQ(FALSE, endSessionRefused);
    EXPECT_EQ(std::vector<int>{BN_CLICKED}, dialog.commands);
}

} // namespace
