#pragma once
// Driving the framework's dialogs from a test: a dialog that runs test code inside its
// own modal loop, and answering system dialogs (message boxes, file dialogs) from a
// thread timer while they run their own loops.

#include "platform/win32/wide.h"
#include "ui/dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A dialog's child windows in template order.
inline std::vector<HWND> Children(HWND dialog) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

inline std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    ::GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

// A control's place in its dialog's client area and its size, in pixels.
struct Placement {
    int x, y, cx, cy;
};

// What a template's dialog units give in `dialog`. The system maps position and size
// separately, each rounded on its own.
inline Placement FromDialogUnits(HWND dialog, int x, int y, int cx, int cy) {
    RECT origin = {x, y, 0, 0};
    RECT size = {cx, cy, 0, 0};
    ::MapDialogRect(dialog, &origin);
    ::MapDialogRect(dialog, &size);
    return {origin.left, origin.top, size.left, size.top};
}

inline Placement PlacementOf(HWND dialog, HWND child) {
    RECT actual;
    ::GetWindowRect(child, &actual);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&actual), 2);
    return {actual.left, actual.top, actual.right - actual.left, actual.bottom - actual.top};
}

inline void EnsureCommonControls() {
    INITCOMMONCONTROLSEX init = {sizeof(init),
                                 ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&init);
}

// Runs `body` from a message posted in OnInitDialog, so it runs inside the dialog's own
// loop, then ends the dialog with IDCANCEL unless `endAfterBody` is false. A dialog
// still open after twenty seconds ends with kTimedOut, so a broken loop fails instead of
// hanging the run.
class ScriptedDialog : public CDialog {
public:
    static constexpr int kTimedOut = -99;
    static constexpr UINT kRunBody = WM_APP + 100;
    static constexpr UINT kEnd = WM_APP + 101;

    ScriptedDialog(UINT templateId, HWND parent = nullptr) : CDialog(templateId, parent) {}

    std::function<void()> body;
    bool endAfterBody = true;

protected:
    BOOL OnInitDialog() override {
        BOOL result = CDialog::OnInitDialog();
        ::SetTimer(m_hWnd, kSafetyTimer, 20000, nullptr);
        PostMessage(kRunBody);
        return result;
    }
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (msg == kRunBody) {
            if (body) body();
            if (endAfterBody) PostMessage(kEnd);
            return true;
        }
        if (msg == kEnd) {
            EndDialog(IDCANCEL);
            return true;
        }
        if (msg == WM_TIMER && wParam == kSafetyTimer) {
            ::KillTimer(m_hWnd, kSafetyTimer);
            EndDialog(kTimedOut);
            return true;
        }
        return CDialog::OnMessage(msg, wParam, lParam, result);
    }

private:
    static constexpr UINT_PTR kSafetyTimer = 0x5AFE;
};

namespace framework_test {

inline BOOL CALLBACK TakeSystemDialog(HWND hwnd, LPARAM param) {
    char cls[16] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (std::string(cls) != "#32770" || !::IsWindowVisible(hwnd) || CDialog::FromHandle(hwnd))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = hwnd;
    return FALSE;
}

struct AnswerState {
    const std::function<void(HWND)>* answer = nullptr;
    bool answered = false;
    DWORD started = 0;
};
inline AnswerState* g_answer = nullptr;

} // namespace framework_test

// The first visible "#32770" window of this thread that is not one of our dialogs:
// a message box or a common dialog.
inline HWND FindSystemDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &framework_test::TakeSystemDialog,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

namespace framework_test {

inline void CALLBACK PollForSystemDialog(HWND, UINT, UINT_PTR, DWORD) {
    AnswerState* state = g_answer;
    if (state == nullptr || state->answered || ::GetTickCount() - state->started > 20000) return;
    if (HWND dialog = FindSystemDialog()) {
        state->answered = true;
        (*state->answer)(dialog);
    }
}

} // namespace framework_test

// Runs `run`; meanwhile a thread timer waits for a system dialog and hands it once to
// `answer`, which must close it. True when a dialog was answered; the timer gives up
// after twenty seconds.
inline bool AnswerSystemDialog(const std::function<void(HWND)>& answer,
                               const std::function<void()>& run) {
    framework_test::AnswerState state;
    state.answer = &answer;
    state.started = ::GetTickCount();
    framework_test::g_answer = &state;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &framework_test::PollForSystemDialog);
    run();
    ::KillTimer(nullptr, timer);
    framework_test::g_answer = nullptr;
    return state.answered;
}

// Every fixed text of `dialog` is whole in the font its control draws with: a label's on one
// line; with `buttonsToo` also a button's, beside the room its frame, box or group indent
// takes, a BS_MULTILINE one on the lines its height holds, broken between words.
inline void ExpectTextsWhole(HWND dialog, bool buttonsToo) {
    for (HWND child : Children(dialog)) {
        const LONG style = ::GetWindowLongW(child, GWL_STYLE), type = style & BS_TYPEMASK;
        const bool label = ClassOf(child) == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT;
        const bool button = buttonsToo && ClassOf(child) == "Button";
        const std::wstring text = Widen(CWnd::WindowText(child));
        if ((!label && !button) || text.empty()) continue;
        SCOPED_TRACE(CWnd::WindowText(child));
        const bool box = button && type >= BS_CHECKBOX && type <= BS_AUTORADIOBUTTON;
        const int room =
            !button ? 0
            : box   ? ::GetSystemMetrics(SM_CXMENUCHECK) + 2 * ::GetSystemMetrics(SM_CXEDGE)
                    : 4 * ::GetSystemMetrics(SM_CXEDGE);
        RECT client;
        ::GetClientRect(child, &client);
        RECT extent = {0, 0, client.right - room, 0};
        HDC dc = ::GetDC(child);
        HGDIOBJ old =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0)));
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &extent,
                    DT_CALCRECT |
                        (button && (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE) |
                        (label && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
        ::SelectObject(dc, old);
        ::ReleaseDC(child, dc);
        EXPECT_LE(extent.right + room, client.right);
        EXPECT_LE(extent.bottom, client.bottom);
    }
}

// Every text label fits its control on one line, in the font the control draws with.
inline void ExpectLabelsWhole(HWND dialog) {
    ExpectTextsWhole(dialog, false);
}
