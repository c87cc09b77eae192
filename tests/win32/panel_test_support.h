#pragma once
// Running the real main panel inside a test: a system seam that answers message boxes and
// keeps hotkeys, launches, built-in side effects and the registry to itself while windows,
// the current directory and key names stay real; a scratch working directory holding the
// settings file and a list file; and a panel that runs a test script inside its own modal
// loop.

#include "dialogs/act_dlg.h"
#include "panel/tarnwick_dlg.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_system.h"
#include "storage/file_text.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Forwards the window, directory and text services to the real system. Hotkeys are kept
// here, like the system would (a combination held under one id is refused to another), so
// a test neither depends on nor disturbs what the desktop has registered. Nothing is
// opened, no door moves, no power-off is requested and the registry is not touched.
class PanelSystem : public Win32System {
public:
    struct Box {
        tw::WindowRef owner;
        std::string text;
        std::string caption;
        unsigned flags;
    };
    struct Opened {
        std::string file;
        std::string directory;
        std::string parameters; // launches only
        bool runAs = false;
    };
    struct RegWrite {
        tw::RegRoot root;
        std::string subkey;
        std::string name;
        std::string data;
    };

    std::vector<Box> boxes;
    // Answers of the coming message boxes, in order; OK after them.
    std::deque<int> answers;
    // Runs inside every message box, as a command run from the box's message loop would.
    std::function<void(const Box&)> duringBox;
    std::map<int, std::pair<unsigned, unsigned>> hotkeys; // id -> (modifiers, vk), held now
    std::vector<tw::WindowRef> hotkeyOwners;
    std::vector<Opened> opened;
    std::vector<std::string> mciCommands;
    int powerOffRequests = 0;
    std::vector<RegWrite> regWrites;

    bool RegisterHotKey(tw::WindowRef window, int id, unsigned modifiers, unsigned vk) override {
        hotkeyOwners.push_back(window);
        for (const auto& held : hotkeys)
            if (held.first != id && held.second == std::make_pair(modifiers, vk)) return false;
        hotkeys[id] = {modifiers, vk};
        return true;
    }
    bool UnregisterHotKey(tw::WindowRef window, int id) override {
        hotkeyOwners.push_back(window);
        return hotkeys.erase(id) == 1;
    }
    int ShowMessageBox(tw::WindowRef owner, const std::string& text, const std::string& caption,
                       unsigned flags) override {
        boxes.push_back({owner, text, caption, flags});
        int answer = IDOK;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        if (duringBox) duringBox(Box{owner, text, caption, flags});
        return answer;
    }
    void ShellOpen(const std::string& file, const std::string& directory) override {
        opened.push_back({file, directory, std::string(), false});
    }
    // Launches land in `opened` too, answered with launchResult.
    unsigned long launchResult = tw::kLaunchOk;
    unsigned long ShellLaunch(const tw::ShellLaunchRequest& request) override {
        opened.push_back({request.file, request.directory, request.parameters, request.runAs});
        return launchResult;
    }
    void SendMciCommand(const std::string& command) override { mciCommands.push_back(command); }
    // Counted; the test's own environment stays as it is.
    int environmentRefreshes = 0;
    void RefreshEnvironment() override { ++environmentRefreshes; }
    tw::TokenRef OpenProcessToken() override { return nullptr; }
    bool EnableShutdownPrivilege(tw::TokenRef) override { return false; }
    void CloseToken(tw::TokenRef) override {}
    bool RequestPowerOff() override {
        ++powerOffRequests;
        return false;
    }
    tw::RegWriteResult WriteRegString(tw::RegRoot root, const std::string& subkey,
                                      const std::string& name, const std::string& data) override {
        regWrites.push_back({root, subkey, name, data});
        return tw::RegWriteResult::Ok;
    }
    bool ReadRegString(tw::RegRoot, const std::string&, const std::string&, std::string&) override {
        return false;
    }
};

// One entry section of a list file, values as they stand in the file.
struct ListSection {
    std::string name, path, hotkey, iconint, icon, keydes, workdir, info;
};

// A list file as the program writes it: GBK, CR LF, keys in the writer's order. `count`
// may claim more sections than given.
inline std::string ListFileText(const std::vector<ListSection>& sections, int count) {
    std::string text = "[MAIN]\r\ncount=" + std::to_string(count) + "\r\n";
    int n = 1;
    for (const ListSection& s : sections) {
        text += "[run" + std::to_string(n++) + "]\r\n";
        text += "name=" + s.name + "\r\npath=" + s.path + "\r\nhotkey=" + s.hotkey +
                "\r\niconint=" + s.iconint + "\r\nicon=" + s.icon + "\r\nkeydes=" + s.keydes +
                "\r\nworkdir=" + s.workdir + "\r\ninfo=" + s.info + "\r\n";
    }
    return text;
}

inline std::string ThisProgram() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Three entries with different pictures: this program's own icon (it carries the
// program's resources), a file that holds no icon at all, and a folder from the shell's
// library. The first and the last have hotkeys (Ctrl+Alt+N, Ctrl+Alt+S); the last is the
// built-in action that forbids shutting down. The first note spans two lines.
inline std::vector<ListSection> StandardSections() {
    return {
        {"记事本", "C:\\windows\\notepad.exe", "1614", "0", ThisProgram(), "Ctrl + Alt + N",
         "C:\\windows", "第一行`@`第二行"},
        {"无图标", "C:\\文档\\说明.txt", "0", "0", "tarnwick.ini", "无", "C:\\文档", ""},
        {"禁止关机", "$ZELO.TW.ACT~forbid_shutdown$", "1619", "3",
         "C:\\windows\\system32\\shell32.dll", "Ctrl + Alt + S", "_", "内置对象"},
    };
}

inline std::string SettingsText(const char* showtray, const char* autorun, const char* mapfile) {
    return std::string("[SET]\r\nshowtray=") + showtray + "\r\nautorun=" + autorun +
           "\r\nmapfile=" + mapfile + "\r\n[ACT]\r\ncount=0\r\n";
}

// A fresh directory under the temporary folder, with a blank and Chinese characters in its
// name, made the current directory for the length of a test.
class ScratchDirectory {
public:
    ScratchDirectory() {
        wchar_t previous[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, previous);
        m_previous = previous;
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        static int serial = 0;
        m_path = Narrow(temp) + "tw panel 面板 " + std::to_string(::GetCurrentProcessId()) +
                 "_" + std::to_string(++serial);
        ::CreateDirectoryW(Widen(m_path).c_str(), nullptr);
        ::SetCurrentDirectoryW(Widen(m_path).c_str());
    }
    ~ScratchDirectory() {
        ::SetCurrentDirectoryW(m_previous.c_str());
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW(Widen(m_path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring file = Widen(m_path + "\\") + found.cFileName;
                ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(file.c_str());
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(Widen(m_path).c_str());
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // The directory as the system spells it.
    std::string Current() const {
        wchar_t current[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, current);
        return Narrow(current);
    }

private:
    std::wstring m_previous;
    std::string m_path;
};

// The list and settings files hold their text in the files' own encoding; the tests
// write and read it as the program holds it.
inline void WriteFileText(const std::string& file, const std::string& text) {
    const std::string bytes = EncodeFileText(text);
    HANDLE h = ::CreateFileW(Widen(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << file;
    DWORD written = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(h);
    ASSERT_EQ(bytes.size(), written);
}

// The file's text; "<missing>" when it cannot be read.
inline std::string ReadFileText(const std::string& file) {
    HANDLE h = ::CreateFileW(Widen(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    ::CloseHandle(h);
    return DecodeFileText(bytes);
}

// A person's click on a row's check box: the button goes down on the box and up again
// (posted first, for a list that waits for it while it looks for a drag). The panel acts
// on it once the caller pumps its messages.
inline void ClickRowBox(HWND list, int row, UINT down = WM_LBUTTONDOWN) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds));
    LVHITTESTINFO hit = {};
    hit.pt.y = (bounds.top + bounds.bottom) / 2;
    for (hit.pt.x = bounds.left; hit.pt.x < bounds.right; ++hit.pt.x) {
        ::SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if ((hit.flags & LVHT_ONITEMSTATEICON) != 0) break;
    }
    const LPARAM at = MAKELPARAM(hit.pt.x + 2, hit.pt.y);
    ::PostMessageW(list, WM_LBUTTONUP, 0, at);
    ::SendMessageW(list, down, MK_LBUTTON, at);
}

// The main panel with a test script: the script runs from a message posted at the end of
// initialisation, so inside the panel's own modal loop, and the panel ends with
// kScriptEnded afterwards unless the script ended it. A panel still open after thirty
// seconds ends with kTimedOut, so a lost message fails the test instead of hanging it.
class ScriptedPanel : public CTarnwickDlg {
public:
    static constexpr int kScriptEnded = 0x5CE;
    static constexpr int kTimedOut = -99;

    ScriptedPanel(tw::ISystem& system, int& allowShutdown) : CTarnwickDlg(system, allowShutdown) {}

    std::function<void()> script;
    // False leaves the icons to the panel's icon timer, as a real start does.
    bool iconsAtStart = true;
    // Looks at the panel as its initialisation left it, before its loop has run.
    std::function<void(ScriptedPanel&)> afterInit;

    const HotKeyEntry& Entry(int i) const { return *std::next(m_entries.begin(), i); }
    int RowCount() const { return m_List.GetItemCount(); }
    std::string Text(int row, int column) const { return m_List.GetItemText(row, column); }
    int RowImage(int row) const {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        return m_List.GetItem(&item) ? item.iImage : -1000;
    }
    bool Enabled(int control) const { return ::IsWindowEnabled(GetDlgItem(control)) != FALSE; }
    bool Checked(int control) const { return ::IsDlgButtonChecked(m_hWnd, control) == BST_CHECKED; }
    bool Showing() const { return IsWindowVisible() != FALSE; }
    // A command as a button or a menu item sends it; returns when the panel has handled it.
    void Command(int id) { SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void Click(int control) { ::SendMessageW(GetDlgItem(control), BM_CLICK, 0, 0); }

    // Runs the messages that arrive within `ms` the way the panel's loop would.
    void Pump(DWORD ms) {
        const DWORD start = ::GetTickCount();
        do {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!PreTranslateMessage(&msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            }
            ::Sleep(5);
        } while (::GetTickCount() - start < ms);
    }

protected:
    BOOL OnInitDialog() override {
        const BOOL result = CTarnwickDlg::OnInitDialog();
        if (afterInit) afterInit(*this);
        // Scripts see the rows as a person does once the icons are in.
        if (iconsAtStart) ExtractPendingIcons(INFINITE);
        ::SetTimer(m_hWnd, kSafetyTimer, 30000, nullptr);
        PostMessage(kRunScript);
        return result;
    }
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (msg == kRunScript) {
            if (script) script();
            // Never seen when the script ended the panel: its loop is over by then.
            PostMessage(kEndScript);
            return true;
        }
        if (msg == kEndScript) {
            EndDialog(kScriptEnded);
            return true;
        }
        if (msg == WM_TIMER && wParam == kSafetyTimer) {
            ::KillTimer(m_hWnd, kSafetyTimer);
            EndDialog(kTimedOut);
            return true;
        }
        return CTarnwickDlg::OnMessage(msg, wParam, lParam, result);
    }

private:
    static constexpr UINT kRunScript = WM_APP + 200;
    static constexpr UINT kEndScript = WM_APP + 201;
    static constexpr UINT_PTR kSafetyTimer = 0x5AFE;
};

// A scratch directory with a settings file and the standard list file "list.map", and a
// panel to run in it as the application runs it (main window, common controls). System is
// the seam the panel is given: PanelSystem or a variant of it.
template <class System>
class PanelTestWith : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES | ICC_HOTKEY_CLASS |
                                                       ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&init);
        // Without a settings file the panel ends the process.
        WriteFileText("tarnwick.ini", SettingsText("no", "no", "list.map"));
        WriteFileText("list.map", ListFileText(StandardSections(), 3));
    }
    void TearDown() override { CDialog::SetMainWnd(nullptr); }

    // Runs the panel with `script` inside its loop; the panel's end code.
    int Run(const std::function<void(ScriptedPanel&)>& script) {
        ScriptedPanel panel(system, allowShutdown);
        panel.script = [&] { script(panel); };
        panel.iconsAtStart = iconsAtStart;
        if (!readAhead.empty()) panel.m_readAhead.Start(readAhead);
        panel.afterInit = afterInit;
        CDialog::SetMainWnd(&panel);
        const int result = static_cast<int>(panel.DoModal());
        CDialog::SetMainWnd(nullptr);
        return result;
    }

    ScratchDirectory scratch;
    System system;
    int allowShutdown = 1;
    bool iconsAtStart = true;
    // A list file read ahead while the panel is made, as start-up does; none when empty.
    std::string readAhead;
    std::function<void(ScriptedPanel&)> afterInit;
};
using PanelTest = PanelTestWith<PanelSystem>;

// What a person leaves in the built-in action dialog after picking an action and pressing
// its hotkey: the action's name, command and icon, and the key with its description.
inline void PickBuiltInAction(CAct& act, const HotKeyEntry& choice) {
    act.m_strName = choice.name;
    act.m_strPath = choice.path;
    act.m_strIconFile = choice.icon;
    act.m_nIconIndex = choice.iconint;
    act.m_nHotKey = choice.hotkey;
    act.m_strKeyDes = choice.keydes;
}

// An image of an image list, drawn on white, as 32-bit pixels.
inline std::vector<std::uint32_t> DrawnImage(HIMAGELIST list, int index) {
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(list, &cx, &cy);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    std::memset(bits, 0xFF, static_cast<size_t>(cx) * cy * 4);
    ::ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
    ::GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + cx * cy);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

// What a list made like the panel's shows for the icon `index` of `file`; empty when the
// file gives no icon.
inline std::vector<std::uint32_t> ExpectedImage(const std::string& file, int index, int size) {
    HIMAGELIST list = ::ImageList_Create(size, size, ILC_COLOR24, 0, 0);
    ::ImageList_SetBkColor(list, RGB(255, 255, 255));
    HICON icon =
        ::ExtractIconA(::GetModuleHandleW(nullptr), file.c_str(), static_cast<UINT>(index));
    std::vector<std::uint32_t> pixels;
    if (icon != nullptr && icon != reinterpret_cast<HICON>(1)) {
        ::ImageList_ReplaceIcon(list, -1, icon);
        ::DestroyIcon(icon);
        pixels = DrawnImage(list, 0);
    }
    ::ImageList_Destroy(list);
    return pixels;
}
