#pragma once
// Running the editing dialogs inside a test: any of them runs a test script inside its
// own modal loop, records the message boxes it would show, and can be looked at and
// operated through its controls' messages, as a person would through the controls.

#include "framework_test_support.h"

#include "tests/support/scratch_dir.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};

// `Dialog` as the program has it, plus a script run from inside its loop. A dialog the
// script left open ends with kLeftOpen; one that hangs ends with kTimedOut.
template <class Dialog>
class Scripted : public Dialog {
public:
    static constexpr INT_PTR kLeftOpen = -98;
    static constexpr INT_PTR kTimedOut = -99;

    template <class... Args>
    explicit Scripted(Args&&... args) : Dialog(std::forward<Args>(args)...) {}

    std::function<void()> body;
    std::vector<ShownBox> boxes;

    int ShowMessageBox(const std::string& text, const std::string& caption, UINT type) override {
        boxes.push_back({text, caption, type});
        return IDOK;
    }

    HWND Item(int id) const { return this->GetDlgItem(id); }
    std::string Text(int id) const { return CWnd::WindowText(Item(id)); }
    void SetText(int id, const std::string& text) { ::SetWindowTextW(Item(id), Widen(text).c_str()); }
    // A button pressed, as the button itself reports it.
    void Click(int id) {
        this->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                          reinterpret_cast<LPARAM>(Item(id)));
    }
    void SetHotKeyOf(int id, int code) {
        ::SendMessageW(Item(id), HKM_SETHOTKEY, static_cast<WPARAM>(code), 0);
    }
    HICON ShownIcon(int id) const {
        return reinterpret_cast<HICON>(::SendMessageW(Item(id), STM_GETICON, 0, 0));
    }

protected:
    BOOL OnInitDialog() override {
        BOOL result = Dialog::OnInitDialog();
        ::SetTimer(this->m_hWnd, kSafetyTimer, 20000, nullptr);
        this->PostMessage(kRunBody);
        return result;
    }
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (msg == kRunBody) {
            if (body) body();
            // Reached only while the dialog is still open: a close in the body ends the
            // loop before this message is fetched.
            this->PostMessage(kEnd);
            return true;
        }
        if (msg == kEnd) {
            this->EndDialog(static_cast<int>(kLeftOpen));
            return true;
        }
        if (msg == WM_TIMER && wParam == kSafetyTimer) {
            ::KillTimer(this->m_hWnd, kSafetyTimer);
            this->EndDialog(static_cast<int>(kTimedOut));
            return true;
        }
        return Dialog::OnMessage(msg, wParam, lParam, result);
    }

private:
    static constexpr UINT kRunBody = WM_APP + 100;
    static constexpr UINT kEnd = WM_APP + 101;
    static constexpr UINT_PTR kSafetyTimer = 0x5AFE;
};

// The test program's own path. Its resources hold the program's icon and four more
// (dialog_test.rc), so it is a file with five icons.
inline std::string FileWithFiveIcons() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// True while `icon` is a live icon handle; false once it has been released.
inline bool IconAlive(HICON icon) {
    ICONINFO info = {};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) return false;
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    return true;
}

inline std::string CurrentDir() {
    char dir[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, dir);
    return dir;
}

// Changes the current directory for one test and puts it back.
class CurrentDirScope {
public:
    explicit CurrentDirScope(const std::string& dir) : m_saved(CurrentDir()) {
        ::SetCurrentDirectoryA(dir.c_str());
    }
    ~CurrentDirScope() { ::SetCurrentDirectoryA(m_saved.c_str()); }
    CurrentDirScope(const CurrentDirScope&) = delete;
    CurrentDirScope& operator=(const CurrentDirScope&) = delete;

private:
    std::string m_saved;
};
