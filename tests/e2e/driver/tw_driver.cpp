// tw_driver: operates the program's windows from outside, the way a person or a UI-automation
// client would, for the end-to-end scripts. It runs in the same Wine prefix as the program.
//
//   tw_driver <command> [arguments]
//
// Arguments and results are UTF-8 whatever the code page (results on stdout), errors to stderr; exit code 0 means success.
// Windows are found by their exact caption, controls by their dialog id. Timeouts are in ms.
//
// A virtual desktop is a desktop of its own: windows and registered hotkeys on it are not
// reachable from the default one. When TW_DESKTOP names a desktop, the driver moves to it
// before it touches any window.

#include "platform/win32/wide.h"

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>
#include <shellapi.h>
#include <shlobj.h>

#include <fcntl.h>
#include <io.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const DWORD kDefaultTimeout = 10000;
const DWORD kPollMs = 50;

// The exit codes the scripts see.
const int kOk = 0;
const int kFailed = 1;
const int kUsage = 2;

typedef std::vector<std::string> Args;

int fail(const char* fmt, const std::string& what) {
    std::fprintf(stderr, "tw_driver: ");
    std::fprintf(stderr, fmt, what.c_str());
    std::fprintf(stderr, "\n");
    return kFailed;
}

bool parse_int(const std::string& text, long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 0);
    if (*end != '\0') return false;
    *value = v;
    return true;
}

DWORD timeout_arg(const Args& args, size_t index) {
    long v = 0;
    if (index < args.size() && parse_int(args[index], &v) && v >= 0) return static_cast<DWORD>(v);
    return kDefaultTimeout;
}

void print_line(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

// --- Finding windows -------------------------------------------------------------------------

HWND find_top(const std::string& caption) {
    return FindWindowW(nullptr, Widen(caption).c_str());
}

// Polls until the window exists; nullptr after the timeout.
HWND wait_top(const std::string& caption, DWORD timeout) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND wnd = find_top(caption);
        if (wnd) return wnd;
        if (GetTickCount() - start >= timeout) return nullptr;
        Sleep(kPollMs);
    }
}

bool wait_destroyed(HWND wnd, DWORD timeout) {
    DWORD start = GetTickCount();
    while (IsWindow(wnd)) {
        if (GetTickCount() - start >= timeout) return false;
        Sleep(kPollMs);
    }
    return true;
}

std::string window_text(HWND wnd) {
    wchar_t buf[4096] = {0};
    GetWindowTextW(wnd, buf, 4096);
    return Narrow(buf);
}

std::string class_name(HWND wnd) {
    wchar_t buf[256] = {0};
    GetClassNameW(wnd, buf, 256);
    return Narrow(buf);
}

// A top-level window and one of its controls, looked up from two arguments.
struct Target {
    HWND top = nullptr;
    HWND control = nullptr;
    int id = 0;
};

int find_control(const std::string& caption, const std::string& id_text, Target* t) {
    long id = 0;
    if (!parse_int(id_text, &id)) return fail("bad control id '%s'", id_text);
    t->top = find_top(caption);
    if (!t->top) return fail("no window '%s'", caption);
    t->id = static_cast<int>(id);
    t->control = GetDlgItem(t->top, t->id);
    if (!t->control) return fail("no control %s", id_text);
    return kOk;
}

// --- Memory in the program's process ---------------------------------------------------------
// List-view messages carry pointers and are not marshalled between processes, so their
// structures are built in a buffer inside the process that owns the control.

class RemoteBuffer {
public:
    RemoteBuffer(HWND owner, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(owner, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return address_ != nullptr; }
    // Leaves the memory to the program: it is still in use after the driver ends.
    void keep() { address_ = nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool write(size_t offset, const void* data, size_t n) {
        SIZE_T done = 0;
        return offset + n <= size_ && WriteProcessMemory(process_, at(offset), data, n, &done) &&
               done == n;
    }
    bool read(size_t offset, void* data, size_t n) const {
        SIZE_T done = 0;
        return offset + n <= size_ && ReadProcessMemory(process_, at(offset), data, n, &done) &&
               done == n;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_;
};

// --- List view (control 1000 of the given window) ---------------------------------------------

const int kListId = 1000;
const size_t kTextMax = 1024;

int find_list(const std::string& caption, HWND* list) {
    HWND top = find_top(caption);
    if (!top) return fail("no window '%s'", caption);
    *list = GetDlgItem(top, kListId);
    if (!*list) return fail("window '%s' has no list control", caption);
    return kOk;
}

int list_count(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

bool list_text(HWND list, int row, int col, std::string* text) {
    RemoteBuffer buf(list, sizeof(LVITEMW) + kTextMax * sizeof(wchar_t));
    if (!buf.ok()) return false;
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = col;
    item.pszText = reinterpret_cast<wchar_t*>(buf.at(sizeof(LVITEMW)));
    item.cchTextMax = kTextMax;
    wchar_t zero = 0;
    if (!buf.write(0, &item, sizeof(item)) || !buf.write(sizeof(LVITEMW), &zero, sizeof zero))
        return false;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(buf.at(0)));
    std::vector<wchar_t> out(kTextMax + 1, 0);
    if (!buf.read(sizeof(LVITEMW), out.data(), kTextMax * sizeof(wchar_t))) return false;
    *text = Narrow(out.data());
    return true;
}

bool list_select(HWND list, int row) {
    RemoteBuffer buf(list, sizeof(LVITEMW));
    if (!buf.ok()) return false;
    // Clear every selection first, then select and focus the row (row -1 leaves none).
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    if (!buf.write(0, &item, sizeof(item))) return false;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(buf.at(0)));
    if (row >= 0) {
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        if (!buf.write(0, &item, sizeof(item))) return false;
        SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(buf.at(0)));
    }
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, row);
    return true;
}

// --- Commands --------------------------------------------------------------------------------

int cmd_wait_window(const Args& a) {
    if (!wait_top(a[0], timeout_arg(a, 1))) return fail("window '%s' did not appear", a[0]);
    return kOk;
}

int cmd_wait_gone(const Args& a) {
    DWORD timeout = timeout_arg(a, 1), start = GetTickCount();
    while (find_top(a[0])) {
        if (GetTickCount() - start >= timeout) return fail("window '%s' is still there", a[0]);
        Sleep(kPollMs);
    }
    return kOk;
}

int cmd_visible(const Args& a) {
    HWND wnd = find_top(a[0]);
    if (!wnd) return fail("no window '%s'", a[0]);
    print_line(IsWindowVisible(wnd) ? "1" : "0");
    return kOk;
}

int cmd_wait_visible(const Args& a) {
    bool want = a[1] == "1";
    DWORD timeout = timeout_arg(a, 2), start = GetTickCount();
    for (;;) {
        HWND wnd = find_top(a[0]);
        if (wnd && (IsWindowVisible(wnd) != FALSE) == want) return kOk;
        if (GetTickCount() - start >= timeout)
            return fail(want ? "window '%s' is not visible" : "window '%s' is still visible", a[0]);
        Sleep(kPollMs);
    }
}

// Control id 0 asks for the window itself: a modal box it owns disables it.
int cmd_enabled(const Args& a) {
    if (a[1] == "0") {
        HWND wnd = find_top(a[0]);
        if (!wnd) return fail("no window '%s'", a[0]);
        print_line(IsWindowEnabled(wnd) ? "1" : "0");
        return kOk;
    }
    Target t;
    if (int rc = find_control(a[0], a[1], &t)) return rc;
    print_line(IsWindowEnabled(t.control) ? "1" : "0");
    return kOk;
}

int cmd_checked(const Args& a) {
    Target t;
    if (int rc = find_control(a[0], a[1], &t)) return rc;
    print_line(SendMessageW(t.control, BM_GETCHECK, 0, 0) == BST_CHECKED ? "1" : "0");
    return kOk;
}

// A click whose handler opens a modal box would hold a sent message until the box closes,
// so the scripts post those clicks and wait for the box instead.
int cmd_click(const Args& a, bool post) {
    Target t;
    if (int rc = find_control(a[0], a[1], &t)) return rc;
    if (post) {
        PostMessageW(t.control, BM_CLICK, 0, 0);
        return kOk;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(t.control, BM_CLICK, 0, 0, SMTO_NORMAL, timeout_arg(a, 2), &result))
        return fail("click on %s was not handled in time", a[1]);
    return kOk;
}

int cmd_command(const Args& a) {
    long id = 0;
    if (!parse_int(a[1], &id)) return fail("bad command id '%s'", a[1]);
    HWND wnd = find_top(a[0]);
    if (!wnd) return fail("no window '%s'", a[0]);
    PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    return kOk;
}

int cmd_text(const Args& a) {
    HWND wnd = find_top(a[0]);
    if (!wnd) return fail("no window '%s'", a[0]);
    if (a.size() > 1) {
        Target t;
        if (int rc = find_control(a[0], a[1], &t)) return rc;
        // An edit of another process answers GetWindowText with its initial text only.
        wchar_t buf[4096] = {0};
        DWORD_PTR copied = 0;
        if (!SendMessageTimeoutW(t.control, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf),
                                 SMTO_NORMAL, kDefaultTimeout, &copied))
            return fail("control %s did not answer", a[1]);
        print_line(Narrow(buf));
        return kOk;
    }
    print_line(window_text(wnd));
    return kOk;
}

int cmd_list_count(const Args& a) {
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    print_line(std::to_string(list_count(list)));
    return kOk;
}

int cmd_wait_list_count(const Args& a) {
    long want = 0;
    if (!parse_int(a[1], &want)) return fail("bad count '%s'", a[1]);
    DWORD timeout = timeout_arg(a, 2), start = GetTickCount();
    for (;;) {
        HWND list = nullptr;
        if (int rc = find_list(a[0], &list)) return rc;
        int n = list_count(list);
        if (n == want) return kOk;
        if (GetTickCount() - start >= timeout)
            return fail("the list holds %s rows", std::to_string(n));
        Sleep(kPollMs);
    }
}

int cmd_list_text(const Args& a) {
    long row = 0, col = 0;
    if (!parse_int(a[1], &row) || !parse_int(a[2], &col)) return fail("bad row or column%s", "");
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    std::string text;
    if (!list_text(list, row, col, &text)) return fail("cannot read the list of '%s'", a[0]);
    print_line(text);
    return kOk;
}

// A cell on one line: tab, CR and LF written as \t, \r and \n (notes may hold line breaks).
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// Every row on one line, its columns separated by tabs: one Wine start for the whole view.
int cmd_list_rows(const Args& a) {
    long cols = 5;
    if (a.size() > 1 && !parse_int(a[1], &cols)) return fail("bad column count '%s'", a[1]);
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    int n = list_count(list);
    for (int row = 0; row < n; ++row) {
        std::string line;
        for (int col = 0; col < cols; ++col) {
            std::string text;
            if (!list_text(list, row, col, &text))
                return fail("cannot read the list of '%s'", a[0]);
            if (col) line += '\t';
            line += escaped(text);
        }
        print_line(line);
    }
    return kOk;
}

// One line per list column: its width and the width of its heading text, both in pixels and
// measured by the list itself in its own font, so a check sees what the screen shows; then
// the heading.
int cmd_columns(const Args& a) {
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    RemoteBuffer buf(list, sizeof(LVCOLUMNW) + kTextMax * sizeof(wchar_t));
    if (!buf.ok()) return fail("cannot reach the list of '%s'", a[0]);
    for (int col = 0;; ++col) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = reinterpret_cast<wchar_t*>(buf.at(sizeof(LVCOLUMNW)));
        column.cchTextMax = kTextMax;
        if (!buf.write(0, &column, sizeof(column))) return fail("cannot read '%s'", a[0]);
        if (!SendMessageW(list, LVM_GETCOLUMNW, col, reinterpret_cast<LPARAM>(buf.at(0)))) break;
        const LRESULT width = SendMessageW(list, LVM_GETCOLUMNWIDTH, col, 0);
        const LRESULT text = SendMessageW(list, LVM_GETSTRINGWIDTHW, 0,
                                          reinterpret_cast<LPARAM>(buf.at(sizeof(LVCOLUMNW))));
        std::vector<wchar_t> heading(kTextMax + 1, 0);
        buf.read(sizeof(LVCOLUMNW), heading.data(), kTextMax * sizeof(wchar_t));
        print_line(std::to_string(width) + "\t" + std::to_string(text) + "\t" +
                   Narrow(heading.data()));
    }
    return kOk;
}

// The picture of one item of a list (control 1000): width and height in pixels.
int cmd_icon_rect(const Args& a) {
    long item = 0;
    if (!parse_int(a[1], &item)) return fail("bad item '%s'", a[1]);
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    RemoteBuffer buf(list, sizeof(RECT));
    RECT rect = {};
    rect.left = LVIR_ICON;
    if (!buf.ok() || !buf.write(0, &rect, sizeof(rect)) ||
        !SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                      reinterpret_cast<LPARAM>(buf.at(0))) ||
        !buf.read(0, &rect, sizeof(rect)))
        return fail("no item in the list of '%s'", a[0]);
    print_line(std::to_string(rect.right - rect.left) + "\t" +
               std::to_string(rect.bottom - rect.top));
    return kOk;
}

int cmd_select(const Args& a) {
    long row = 0;
    if (!parse_int(a[1], &row)) return fail("bad row '%s'", a[1]);
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    // A panel that has just appeared may still be filling its list.
    const DWORD start = GetTickCount();
    while (SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= row && GetTickCount() - start < 5000)
        Sleep(kPollMs);
    if (!list_select(list, row)) return fail("cannot select in '%s'", a[0]);
    return kOk;
}

// Checks (1) or clears (0) a row's check box, as a click on the box does.
int cmd_set_check(const Args& a) {
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    long row = 0, on = 0;
    if (!parse_int(a[1], &row) || !parse_int(a[2], &on)) return fail("bad row or state%s", "");
    RemoteBuffer buf(list, sizeof(LVITEMW));
    LVITEMW item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
    if (!buf.ok() || !buf.write(0, &item, sizeof(item))) return fail("no memory in '%s'", a[0]);
    if (!SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(buf.at(0))))
        return fail("no row %s", a[1]);
    return kOk;
}

int cmd_selection_mark(const Args& a) {
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    print_line(std::to_string(SendMessageW(list, LVM_GETSELECTIONMARK, 0, 0)));
    return kOk;
}

// Selects the row and double-clicks its label: the list turns the click into the double-click
// notification for its parent itself. (The notification cannot be sent from outside: its
// pointer is not carried between processes.)
int cmd_dblclick_row(const Args& a) {
    long row = 0;
    if (!parse_int(a[1], &row)) return fail("bad row '%s'", a[1]);
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    if (!list_select(list, row)) return fail("cannot select in '%s'", a[0]);
    RemoteBuffer buf(list, sizeof(RECT));
    RECT rect = {};
    rect.left = LVIR_LABEL; // the check box beside it starts nothing
    if (!buf.ok() || !buf.write(0, &rect, sizeof(rect))) return fail("cannot reach '%s'", a[0]);
    if (!SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(buf.at(0))) ||
        !buf.read(0, &rect, sizeof(rect)))
        return fail("row %s is not in the list", a[1]);
    LPARAM point = MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
    PostMessageW(list, WM_LBUTTONUP, 0, point);
    return kOk;
}

int button_id(const std::string& name) {
    if (name == "ok") return IDOK;
    if (name == "cancel") return IDCANCEL;
    if (name == "yes") return IDYES;
    if (name == "no") return IDNO;
    long id = 0;
    return parse_int(name, &id) ? static_cast<int>(id) : 0;
}

// Presses a button of a dialog the way a click does: the command with the button's handle.
void press(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int cmd_answer_box(const Args& a) {
    int id = button_id(a[1]);
    if (!id) return fail("unknown button '%s'", a[1]);
    DWORD timeout = timeout_arg(a, 2);
    HWND box = wait_top(a[0], timeout);
    if (!box) return fail("no box '%s'", a[0]);
    press(box, id);
    if (!wait_destroyed(box, timeout)) return fail("box '%s' stayed open", a[0]);
    return kOk;
}

// The message text of a message box: its static control 0xFFFF, else its longest static text.
std::string box_message(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    std::string best = text ? window_text(text) : std::string();
    for (HWND child = GetWindow(box, GW_CHILD); best.empty() && child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (_stricmp(class_name(child).c_str(), "Static") != 0) continue;
        std::string t = window_text(child);
        if (t.size() > best.size()) best = t;
    }
    return best;
}

// A message box has its caption a moment before its text: the text is read once the box
// shows, or once it is there.
int cmd_box_text(const Args& a) {
    DWORD timeout = timeout_arg(a, 1), start = GetTickCount();
    HWND box = wait_top(a[0], timeout);
    if (!box) return fail("no box '%s'", a[0]);
    std::string text = box_message(box);
    while (text.empty() && !IsWindowVisible(box) && IsWindow(box) &&
           GetTickCount() - start < timeout) {
        Sleep(kPollMs);
        text = box_message(box);
    }
    print_line(text);
    return kOk;
}

// Presses a control of a window, then waits for the window's process to end and prints its
// exit code: how the scripts see the code of a program that Wine started through the desktop.
int cmd_press_exit(const Args& a) {
    int id = button_id(a[1]);
    if (!id) return fail("unknown button '%s'", a[1]);
    DWORD timeout = timeout_arg(a, 2);
    HWND wnd = wait_top(a[0], timeout);
    if (!wnd) return fail("no window '%s'", a[0]);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return fail("cannot open the process of '%s'", a[0]);
    press(wnd, id);
    DWORD code = 0;
    bool ended = WaitForSingleObject(process, timeout) == WAIT_OBJECT_0;
    if (ended) GetExitCodeProcess(process, &code);
    CloseHandle(process);
    if (!ended) return fail("the process of '%s' did not end", a[0]);
    print_line(std::to_string(code));
    return kOk;
}

bool is_file_dialog(HWND wnd) {
    return class_name(wnd) == "#32770" && (GetDlgItem(wnd, cmb13) || GetDlgItem(wnd, edt1));
}

struct FileDialogSearch {
    HWND found = nullptr;
};

BOOL CALLBACK find_file_dialog(HWND wnd, LPARAM param) {
    if (IsWindowVisible(wnd) && is_file_dialog(wnd)) {
        reinterpret_cast<FileDialogSearch*>(param)->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND wait_file_dialog(const std::string& caption, DWORD timeout) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND wnd = nullptr;
        if (!caption.empty()) {
            wnd = find_top(caption);
        } else {
            FileDialogSearch search;
            EnumWindows(find_file_dialog, reinterpret_cast<LPARAM>(&search));
            wnd = search.found;
        }
        if (wnd && is_file_dialog(wnd)) return wnd;
        if (GetTickCount() - start >= timeout) return nullptr;
        Sleep(kPollMs);
    }
}

struct OwnedBoxSearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK find_owned_box(HWND wnd, LPARAM param) {
    OwnedBoxSearch* search = reinterpret_cast<OwnedBoxSearch*>(param);
    if (GetWindow(wnd, GW_OWNER) == search->owner && IsWindowVisible(wnd) &&
        GetDlgItem(wnd, IDYES)) {
        search->found = wnd;
        return FALSE;
    }
    return TRUE;
}

// Types the path into an Open or Save As dialog and confirms; answers Yes when the dialog
// asks whether to replace an existing file. The file name box is the combo box cmb13 on
// Windows and the edit edt1 in some Wine versions.
int cmd_file_dialog(const Args& a) {
    DWORD timeout = timeout_arg(a, 2);
    HWND dialog = wait_file_dialog(a[0], timeout);
    if (!dialog) return fail("no file dialog '%s'", a[0]);
    HWND name_box = GetDlgItem(dialog, cmb13);
    if (!name_box) name_box = GetDlgItem(dialog, edt1);
    const std::wstring path = Widen(a[1]);
    SendMessageW(name_box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    press(dialog, IDOK);
    DWORD start = GetTickCount();
    while (IsWindow(dialog)) {
        OwnedBoxSearch search = {dialog};
        EnumWindows(find_owned_box, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            press(search.found, IDYES);
            wait_destroyed(search.found, timeout);
        }
        if (GetTickCount() - start >= timeout) return fail("file dialog '%s' stayed open", a[0]);
        Sleep(kPollMs);
    }
    return kOk;
}

// --- Editing dialogs and drops ----------------------------------------------------------------

// Types a text into a control of a window, as a person typing over its whole content.
int cmd_set_text(const Args& a) {
    Target t;
    if (int rc = find_control(a[0], a[1], &t)) return rc;
    DWORD_PTR result = 0;
    const std::wstring text = Widen(a[2]);
    if (!SendMessageTimeoutW(t.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                             SMTO_NORMAL, kDefaultTimeout, &result))
        return fail("control %s did not take the text", a[1]);
    return kOk;
}

// Sets a hotkey control to a code (low byte the key, next byte the HOTKEYF_ flags).
int cmd_set_hotkey(const Args& a) {
    long code = 0;
    if (!parse_int(a[2], &code)) return fail("bad hotkey code '%s'", a[2]);
    Target t;
    if (int rc = find_control(a[0], a[1], &t)) return rc;
    SendMessageW(t.control, HKM_SETHOTKEY, static_cast<WPARAM>(code & 0xFFFF), 0);
    return kOk;
}

// Selects an item of a combo box and tells its dialog, as a choice with the mouse does.
int cmd_select_combo(const Args& a) {
    long index = 0;
    if (!parse_int(a[2], &index)) return fail("bad item '%s'", a[2]);
    Target t;
    if (int rc = find_control(a[0], a[1], &t)) return rc;
    if (SendMessageW(t.control, CB_SETCURSEL, static_cast<WPARAM>(index), 0) == CB_ERR)
        return fail("no item %s", a[2]);
    SendMessageW(t.top, WM_COMMAND, MAKEWPARAM(t.id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(t.control));
    return kOk;
}

BOOL CALLBACK count_caption(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<const std::string*, int>*>(param);
    if (IsWindowVisible(wnd) && window_text(wnd) == *search->first) ++search->second;
    return TRUE;
}

// How many visible top-level windows carry the caption.
int cmd_count_windows(const Args& a) {
    std::pair<const std::string*, int> search(&a[0], 0);
    EnumWindows(count_caption, reinterpret_cast<LPARAM>(&search));
    print_line(std::to_string(search.second));
    return kOk;
}

BOOL CALLBACK find_caption_part(HWND wnd, LPARAM param) {
    auto* search = reinterpret_cast<std::pair<const std::string*, HWND>*>(param);
    if (GetWindow(wnd, GW_OWNER) == nullptr &&
        window_text(wnd).find(*search->first) != std::string::npos) {
        search->second = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND wait_caption_part(const std::string& text, DWORD timeout) {
    const DWORD start = GetTickCount();
    std::pair<const std::string*, HWND> search(&text, nullptr);
    for (;;) {
        EnumWindows(find_caption_part, reinterpret_cast<LPARAM>(&search));
        if (search.second != nullptr || GetTickCount() - start >= timeout) return search.second;
        Sleep(kPollMs);
    }
}

// window-state TEXT [MS]: how the first top-level window whose caption holds TEXT shows:
// hidden, minimized, maximized or normal, and " front" when it is the foreground window.
int cmd_window_state(const Args& a) {
    HWND wnd = wait_caption_part(a[0], timeout_arg(a, 1));
    if (wnd == nullptr) return fail("no window holding '%s'", a[0]);
    const std::string state = !IsWindowVisible(wnd) ? "hidden"
                              : IsIconic(wnd)       ? "minimized"
                              : IsZoomed(wnd)       ? "maximized"
                                                    : "normal";
    print_line(state + (GetForegroundWindow() == wnd ? " front" : ""));
    return kOk;
}

// minimize-window TEXT: minimises the first top-level window whose caption holds TEXT.
int cmd_minimize_window(const Args& a) {
    HWND wnd = wait_caption_part(a[0], 5000);
    if (wnd == nullptr) return fail("no window holding '%s'", a[0]);
    ShowWindow(wnd, SW_MINIMIZE);
    return kOk;
}

// Hands a drop block to the list's process and posts it as the shell would.
int post_drop(HWND list, const std::string& block, const std::string& caption) {
    RemoteBuffer buf(list, block.size());
    if (!buf.ok() || !buf.write(0, block.data(), block.size()))
        return fail("cannot reach the process of '%s'", caption);
    if (!PostMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(buf.at(0)), 0))
        return fail("cannot post the drop to '%s'", caption);
    buf.keep();
    return kOk;
}

// Drops files on the list of a window as the shell does: a DROPFILES block of ANSI paths,
// each ended by a zero and the list by one more, posted with WM_DROPFILES. The shell's block
// is global memory of the receiving process; a block of ours would not be carried there, so
// it is built inside the program, where a plain pointer serves as a fixed global block.
// The receiver's DragFinish releases what is its to release.
int cmd_drop(const Args& a) {
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = FALSE;
    std::memcpy(&block[0], &header, sizeof header);
    for (size_t i = 1; i < a.size(); ++i)
        block.append(a[i].c_str(), a[i].size() + 1);
    block.push_back('\0');
    return post_drop(list, block, a[0]);
}

// The same with the paths in Unicode, as the shell hands them over. They are read from the
// wide command line, which keeps characters the code page lacks.
int cmd_drop_wide(const Args& a) {
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 4) return fail("no files for '%s'", a[0]);
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header = {};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(&block[0], &header, sizeof header);
    for (int i = 3; i < argc; ++i)
        block.append(reinterpret_cast<const char*>(argv[i]),
                     (wcslen(argv[i]) + 1) * sizeof(wchar_t));
    LocalFree(argv);
    block.append(sizeof(wchar_t), '\0');
    return post_drop(list, block, a[0]);
}

// --- Keys ------------------------------------------------------------------------------------

struct KeyName {
    const char* name;
    WORD vk;
    bool extended;
};

const KeyName kKeys[] = {
    {"ctrl", VK_CONTROL, false},  {"control", VK_CONTROL, false}, {"alt", VK_MENU, false},
    {"shift", VK_SHIFT, false},   {"home", VK_HOME, true},        {"end", VK_END, true},
    {"insert", VK_INSERT, true},  {"delete", VK_DELETE, true},    {"pageup", VK_PRIOR, true},
    {"pagedown", VK_NEXT, true},  {"left", VK_LEFT, true},        {"right", VK_RIGHT, true},
    {"up", VK_UP, true},          {"down", VK_DOWN, true},        {"space", VK_SPACE, false},
    {"tab", VK_TAB, false},       {"enter", VK_RETURN, false},    {"return", VK_RETURN, false},
    {"escape", VK_ESCAPE, false}, {"esc", VK_ESCAPE, false},      {"backspace", VK_BACK, false},
    {"win", VK_LWIN, true},
};

bool parse_key(std::string name, KeyName* key) {
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const KeyName& k : kKeys) {
        if (name == k.name) {
            *key = k;
            return true;
        }
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
        *key = {"", static_cast<WORD>(std::toupper(static_cast<unsigned char>(name[0]))), false};
        return true;
    }
    long n = 0;
    if (name.size() > 1 && name[0] == 'f' && parse_int(name.substr(1), &n) && n >= 1 && n <= 24) {
        *key = {"", static_cast<WORD>(VK_F1 + n - 1), false};
        return true;
    }
    if (name.compare(0, 2, "0x") == 0 && parse_int(name, &n) && n > 0 && n < 256) {
        *key = {"", static_cast<WORD>(n), false};
        return true;
    }
    return false;
}

INPUT key_input(const KeyName& key, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key.vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.vk, 0));
    in.ki.dwFlags = (key.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

// "ctrl+alt+end": every key pressed in order, then released in reverse order. The wineserver
// matches injected keys against the registered hotkeys of the desktop.
int cmd_keys(const Args& a) {
    std::vector<KeyName> keys;
    std::string combo = a[0];
    size_t pos = 0;
    for (;;) {
        size_t plus = combo.find('+', pos);
        KeyName key;
        std::string name =
            combo.substr(pos, plus == std::string::npos ? std::string::npos : plus - pos);
        if (!parse_key(name, &key)) return fail("unknown key '%s'", name);
        keys.push_back(key);
        if (plus == std::string::npos) break;
        pos = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (const KeyName& k : keys)
        inputs.push_back(key_input(k, false));
    for (size_t i = keys.size(); i-- > 0;)
        inputs.push_back(key_input(keys[i], true));
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) return fail("SendInput sent %s events", std::to_string(sent));
    return kOk;
}

// --- Processes -------------------------------------------------------------------------------

std::string desktop_name() {
    const char* name = std::getenv("TW_DESKTOP");
    return name ? name : "";
}

// Starts a command line on the driver's desktop, waits for it and prints its exit code.
int cmd_run(const Args& a) {
    DWORD timeout = timeout_arg(a, 0);
    std::string command_line = a[1];
    for (size_t i = 2; i < a.size(); ++i)
        command_line += " " + a[i];
    std::wstring desktop = Widen(desktop_name());
    if (!desktop.empty()) desktop = L"winsta0\\" + desktop;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.lpDesktop = desktop.empty() ? nullptr : &desktop[0];
    PROCESS_INFORMATION pi = {};
    std::wstring cmd = Widen(command_line);
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return fail("cannot start '%s'", command_line);
    CloseHandle(pi.hThread);
    DWORD code = 0;
    bool ended = WaitForSingleObject(pi.hProcess, timeout) == WAIT_OBJECT_0;
    if (ended) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (!ended) return fail("'%s' did not end in time", command_line);
    print_line(std::to_string(code));
    return kOk;
}

// Opens a path through the shell, as the program launches its targets.
int cmd_shell(const Args& a) {
    const std::wstring dir = Widen(a.size() > 1 ? a[1] : std::string());
    HINSTANCE rc = ShellExecuteW(nullptr, nullptr, Widen(a[0]).c_str(), L"", dir.c_str(), SW_SHOW);
    if (reinterpret_cast<INT_PTR>(rc) <= 32) return fail("the shell refused '%s'", a[0]);
    return kOk;
}

// Holds a named mutex for a while, as a running copy of the program would.
int cmd_hold_mutex(const Args& a) {
    DWORD ms = timeout_arg(a, 1);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, Widen(a[0]).c_str());
    if (mutex == nullptr) return fail("cannot create mutex '%s'", a[0]);
    Sleep(ms);
    CloseHandle(mutex);
    return kOk;
}

BOOL CALLBACK print_window(HWND wnd, LPARAM) {
    char line[64];
    std::snprintf(line, sizeof(line), "%d\t", IsWindowVisible(wnd) ? 1 : 0);
    print_line(line + class_name(wnd) + "\t" + window_text(wnd));
    return TRUE;
}

// Every top-level window of the desktop: visible flag, class and caption. For writing scripts.
int cmd_windows(const Args&) {
    EnumWindows(print_window, 0);
    return kOk;
}

// --- Hotkeys held by another program and the rows they leave refused -------------------------

// "ctrl+alt+q" as registration modifiers and a virtual key.
bool parse_combo(const std::string& combo, UINT* modifiers, UINT* vk) {
    *modifiers = 0;
    *vk = 0;
    size_t pos = 0;
    for (;;) {
        size_t plus = combo.find('+', pos);
        KeyName key;
        if (!parse_key(combo.substr(pos, plus == std::string::npos ? plus : plus - pos), &key))
            return false;
        if (key.vk == VK_CONTROL)
            *modifiers |= MOD_CONTROL;
        else if (key.vk == VK_MENU)
            *modifiers |= MOD_ALT;
        else if (key.vk == VK_SHIFT)
            *modifiers |= MOD_SHIFT;
        else if (key.vk == VK_LWIN)
            *modifiers |= MOD_WIN;
        else
            *vk = key.vk;
        if (plus == std::string::npos) break;
        pos = plus + 1;
    }
    return *vk != 0;
}

// Another program that holds a combination: registers it, writes "held" (or "refused") into
// FLAG-FILE, and keeps it until that file is deleted or MS have passed; then lets it go and
// makes "FLAG-FILE.done".
int cmd_hold_hotkey(const Args& a) {
    UINT modifiers = 0, vk = 0;
    if (!parse_combo(a[0], &modifiers, &vk)) return fail("bad combination '%s'", a[0]);
    const std::string& flag = a[1];
    const DWORD timeout = timeout_arg(a, 2);
    const bool held = RegisterHotKey(nullptr, 0x7E57, modifiers, vk) != FALSE;
    HANDLE file = CreateFileW(Widen(flag).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return fail("cannot write '%s'", flag);
    const char* text = held ? "held\n" : "refused\n";
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    CloseHandle(file);
    if (!held) return fail("'%s' is taken already", a[0]);
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(Widen(flag).c_str()) != INVALID_FILE_ATTRIBUTES &&
           GetTickCount() - start < timeout) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        } // a press of the held combination ends here
        Sleep(kPollMs);
    }
    UnregisterHotKey(nullptr, 0x7E57);
    // "FLAG-FILE.done" tells that the combination is free again.
    HANDLE done = CreateFileW(Widen(flag + ".done").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (done != INVALID_HANDLE_VALUE) CloseHandle(done);
    return kOk;
}

// A row's rectangle on the screen (left top right bottom), in the desktop's coordinates.
int cmd_row_rect(const Args& a) {
    HWND list = nullptr;
    if (int rc = find_list(a[0], &list)) return rc;
    long row = 0;
    if (!parse_int(a[1], &row)) return fail("bad row '%s'", a[1]);
    RemoteBuffer buf(list, sizeof(RECT));
    RECT rect = {};
    rect.left = LVIR_BOUNDS;
    if (!buf.ok() || !buf.write(0, &rect, sizeof(rect))) return fail("no memory in '%s'", a[0]);
    if (!SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(buf.at(0))) ||
        !buf.read(0, &rect, sizeof(rect)))
        return fail("no row %s", a[1]);
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    char line[96];
    std::snprintf(line, sizeof(line), "%ld %ld %ld %ld", rect.left, rect.top, rect.right,
                  rect.bottom);
    print_line(line);
    return kOk;
}

// The window moves to a monitor of DPI NEW from one of OLD, as Windows tells it: the
// suggested place keeps the top left corner and scales the size. Fails unless the window
// took that place.
int cmd_dpi_change(const Args& a) {
    long from = 0, to = 0;
    if (!parse_int(a[1], &from) || !parse_int(a[2], &to) || from <= 0 || to <= 0)
        return fail("bad DPI '%s'", a[1] + " " + a[2]);
    HWND wnd = find_top(a[0]);
    if (!wnd) return fail("no window '%s'", a[0]);
    RECT rect;
    GetWindowRect(wnd, &rect);
    rect.right = rect.left + MulDiv(rect.right - rect.left, to, from);
    rect.bottom = rect.top + MulDiv(rect.bottom - rect.top, to, from);
    RemoteBuffer buf(wnd, sizeof(RECT));
    if (!buf.ok() || !buf.write(0, &rect, sizeof(rect))) return fail("no memory in '%s'", a[0]);
    SendMessageW(wnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(to, to),
                 reinterpret_cast<LPARAM>(buf.at(0)));
    RECT now;
    GetWindowRect(wnd, &now);
    if (!EqualRect(&now, &rect)) return fail("'%s' did not take the suggested place", a[0]);
    return kOk;
}

// The ids of the window's controls that reach out of its client area, one per line.
int cmd_cut(const Args& a) {
    HWND wnd = find_top(a[0]);
    if (!wnd) return fail("no window '%s'", a[0]);
    RECT client;
    GetClientRect(wnd, &client);
    for (HWND child = GetWindow(wnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&rect), 2);
        if (rect.left < 0 || rect.top < 0 || rect.right > client.right ||
            rect.bottom > client.bottom)
            print_line(std::to_string(GetDlgCtrlID(child)));
    }
    return kOk;
}

BOOL CALLBACK find_shown_tip(HWND wnd, LPARAM param) {
    if (!IsWindowVisible(wnd) || class_name(wnd) != "tooltips_class32") return TRUE;
    wchar_t text[1024] = {0};
    SendMessageW(wnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    if (text[0] == L'\0') return TRUE;
    *reinterpret_cast<std::string*>(param) = Narrow(text);
    return FALSE;
}

// The text of the tooltip on show, waiting up to MS for one to appear.
int cmd_tip_text(const Args& a) {
    const DWORD timeout = timeout_arg(a, 0), start = GetTickCount();
    std::string text;
    for (;;) {
        EnumWindows(find_shown_tip, reinterpret_cast<LPARAM>(&text));
        if (!text.empty()) break;
        if (GetTickCount() - start >= timeout) return fail("no tooltip on show%s", "");
        Sleep(kPollMs);
    }
    print_line(text);
    return kOk;
}

// 1 when the window's notification icon ID is in the notification area, else 0: a change
// of nothing succeeds only for an icon that is there.
int cmd_in_tray(const Args& a) {
    HWND wnd = find_top(a[0]);
    long id = 0;
    if (!wnd || !parse_int(a[1], &id)) return fail("no window '%s' or bad id", a[0]);
    NOTIFYICONDATAW nid = {};
    nid.cbSize = NOTIFYICONDATAW_V1_SIZE;
    nid.hWnd = wnd;
    nid.uID = static_cast<UINT>(id);
    print_line(Shell_NotifyIconW(NIM_MODIFY, &nid) ? "1" : "0");
    return kOk;
}

// What the System settings do after a change of the variables: tell every top-level window.
int cmd_environment_changed(const Args&) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0,
                             reinterpret_cast<LPARAM>(L"Environment"), SMTO_ABORTIFHUNG, 5000,
                             &answer))
        return fail("the broadcast did not go through%s", "");
    return kOk;
}

// --- Timing, for bench/panel_startup.sh ---------------------------------------------------------
//
// Each verb prints the milliseconds from the step a person takes (starting the program,
// confirming a file or a question) to a panel that shows the expected rows, painted.

double now_ms() {
    static LARGE_INTEGER frequency = {};
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Waits for a visible panel whose list holds rows rows, then for its pending paint, which
// a sent message cannot overtake; false after the timeout.
bool wait_painted_rows(const std::string& caption, long rows, DWORD timeout) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND top = find_top(caption);
        HWND list = top ? GetDlgItem(top, kListId) : nullptr;
        if (list && IsWindowVisible(top) && list_count(list) == rows) {
            RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            UpdateWindow(list);
            return true;
        }
        if (GetTickCount() - start >= timeout) return false;
        Sleep(2);
    }
}

void print_ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", ms);
    print_line(text);
}

// time-start CAPTION ROWS MS COMMAND-LINE: starts the program in the current directory.
int cmd_time_start(const Args& a) {
    long rows = 0, ms = 0;
    if (!parse_int(a[1], &rows) || !parse_int(a[2], &ms)) return fail("bad rows or time%s", "");
    std::string line;
    for (size_t i = 3; i < a.size(); ++i)
        line += (i > 3 ? " " : "") + a[i];
    std::wstring buffer = Widen(line);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const double start = now_ms();
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return fail("cannot start '%s'", line);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (!wait_painted_rows(a[0], rows, static_cast<DWORD>(ms)))
        return fail("no panel with every row of '%s' in time", a[0]);
    print_ms(now_ms() - start);
    return kOk;
}

// time-load CAPTION PATH ROWS [MS]: Load, the file typed into the Open dialog.
int cmd_time_load(const Args& a) {
    long rows = 0;
    if (!parse_int(a[2], &rows)) return fail("bad rows '%s'", a[2]);
    DWORD timeout = timeout_arg(a, 3);
    Target t;
    if (int rc = find_control(a[0], "1010", &t)) return rc;
    PostMessageW(t.control, BM_CLICK, 0, 0);
    HWND dialog = wait_file_dialog("", timeout);
    if (!dialog) return fail("no Open dialog%s", "");
    HWND name_box = GetDlgItem(dialog, cmb13);
    if (!name_box) name_box = GetDlgItem(dialog, edt1);
    const std::wstring path = Widen(a[1]);
    SendMessageW(name_box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    const double start = now_ms();
    press(dialog, IDOK);
    if (!wait_destroyed(dialog, timeout)) return fail("the Open dialog stayed open%s", "");
    if (!wait_painted_rows(a[0], rows, timeout))
        return fail("the list did not reach %s rows", a[2]);
    print_ms(now_ms() - start);
    return kOk;
}

// time-clear CAPTION [MS]: Clear, answered Yes.
int cmd_time_clear(const Args& a) {
    DWORD timeout = timeout_arg(a, 1);
    Target t;
    if (int rc = find_control(a[0], "1008", &t)) return rc;
    PostMessageW(t.control, BM_CLICK, 0, 0);
    DWORD waited = GetTickCount();
    OwnedBoxSearch search = {t.top};
    while (!search.found) {
        EnumWindows(find_owned_box, reinterpret_cast<LPARAM>(&search));
        if (GetTickCount() - waited >= timeout) return fail("no question from '%s'", a[0]);
        if (!search.found) Sleep(2);
    }
    const double start = now_ms();
    press(search.found, IDYES);
    if (!wait_painted_rows(a[0], 0, timeout)) return fail("the list of '%s' stayed filled", a[0]);
    print_ms(now_ms() - start);
    return kOk;
}

// time-command CAPTION ID: a menu command sent to the panel (a view switch), painted.
int cmd_time_command(const Args& a) {
    long id = 0;
    if (!parse_int(a[1], &id)) return fail("bad command id '%s'", a[1]);
    HWND top = find_top(a[0]);
    if (!top) return fail("no window '%s'", a[0]);
    const double start = now_ms();
    SendMessageW(top, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    print_ms(now_ms() - start);
    return kOk;
}

// time-search CAPTION TEXT: TEXT put into the search box (control 1015), painted.
int cmd_time_search(const Args& a) {
    Target t;
    if (int rc = find_control(a[0], "1015", &t)) return rc;
    const std::wstring text = Widen(a[1]);
    const double start = now_ms();
    SendMessageW(t.control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    RedrawWindow(t.top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    print_ms(now_ms() - start);
    return kOk;
}

// --- Dispatch --------------------------------------------------------------------------------

struct Command {
    const char* name;
    size_t min_args;
    const char* usage;
    int (*run)(const Args&);
};

int cmd_click_send(const Args& a) {
    return cmd_click(a, false);
}
int cmd_click_post(const Args& a) {
    return cmd_click(a, true);
}

const Command kCommands[] = {
    {"wait-window", 1, "CAPTION [MS]", cmd_wait_window},
    {"wait-gone", 1, "CAPTION [MS]", cmd_wait_gone},
    {"visible", 1, "CAPTION", cmd_visible},
    {"wait-visible", 2, "CAPTION 0|1 [MS]", cmd_wait_visible},
    {"enabled", 2, "CAPTION ID", cmd_enabled},
    {"checked", 2, "CAPTION ID", cmd_checked},
    {"click", 2, "CAPTION ID [MS]", cmd_click_send},
    {"post-click", 2, "CAPTION ID", cmd_click_post},
    {"command", 2, "CAPTION ID", cmd_command},
    {"text", 1, "CAPTION [ID]", cmd_text},
    {"list-count", 1, "CAPTION", cmd_list_count},
    {"wait-list-count", 2, "CAPTION N [MS]", cmd_wait_list_count},
    {"list-text", 3, "CAPTION ROW COL", cmd_list_text},
    {"set-check", 3, "CAPTION ROW 0|1", cmd_set_check},
    {"list-rows", 1, "CAPTION [COLUMNS]", cmd_list_rows},
    {"columns", 1, "CAPTION", cmd_columns},
    {"icon-rect", 2, "CAPTION ITEM", cmd_icon_rect},
    {"select", 2, "CAPTION ROW", cmd_select},
    {"selection-mark", 1, "CAPTION", cmd_selection_mark},
    {"dblclick-row", 2, "CAPTION ROW", cmd_dblclick_row},
    {"answer-box", 2, "CAPTION yes|no|ok|cancel|ID [MS]", cmd_answer_box},
    {"box-text", 1, "CAPTION [MS]", cmd_box_text},
    {"press-exit", 2, "CAPTION ok|yes|ID [MS]", cmd_press_exit},
    {"file-dialog", 2, "CAPTION-OR-EMPTY PATH [MS]", cmd_file_dialog},
    {"set-text", 3, "CAPTION ID TEXT", cmd_set_text},
    {"set-hotkey", 3, "CAPTION ID CODE", cmd_set_hotkey},
    {"select-combo", 3, "CAPTION ID INDEX", cmd_select_combo},
    {"count-windows", 1, "CAPTION", cmd_count_windows},
    {"window-state", 1, "TEXT [MS]", cmd_window_state},
    {"minimize-window", 1, "TEXT", cmd_minimize_window},
    {"drop", 2, "CAPTION FILE...", cmd_drop},
    {"drop-wide", 2, "CAPTION FILE...", cmd_drop_wide},
    {"keys", 1, "COMBO (e.g. ctrl+alt+end)", cmd_keys},
    {"run", 2, "MS COMMAND-LINE...", cmd_run},
    {"shell", 1, "PATH [DIR]", cmd_shell},
    {"hold-mutex", 1, "NAME [MS]", cmd_hold_mutex},
    {"windows", 0, "", cmd_windows},
    {"hold-hotkey", 2, "COMBO FLAG-FILE [MS]", cmd_hold_hotkey},
    {"row-rect", 2, "CAPTION ROW", cmd_row_rect},
    {"dpi-change", 3, "CAPTION OLD-DPI NEW-DPI", cmd_dpi_change},
    {"cut", 1, "CAPTION", cmd_cut},
    {"tip-text", 0, "[MS]", cmd_tip_text},
    {"in-tray", 2, "CAPTION ID", cmd_in_tray},
    {"environment-changed", 0, "", cmd_environment_changed},
    {"time-start", 4, "CAPTION ROWS MS COMMAND-LINE...", cmd_time_start},
    {"time-load", 3, "CAPTION PATH ROWS [MS]", cmd_time_load},
    {"time-clear", 1, "CAPTION [MS]", cmd_time_clear},
    {"time-command", 2, "CAPTION ID", cmd_time_command},
    {"time-search", 2, "CAPTION TEXT", cmd_time_search},
};

int usage() {
    std::fprintf(stderr, "usage: tw_driver COMMAND ARGS\n");
    for (const Command& c : kCommands)
        std::fprintf(stderr, "  %s %s\n", c.name, c.usage);
    return kUsage;
}

// Moves the driver's thread to the program's desktop; must happen before any window call.
// A desktop that is just being started may not exist yet, so it is waited for.
bool enter_desktop() {
    std::string name = desktop_name();
    if (name.empty()) return true;
    DWORD start = GetTickCount();
    for (;;) {
        HDESK desk = OpenDesktopW(Widen(name).c_str(), 0, FALSE, GENERIC_ALL);
        if (desk) return SetThreadDesktop(desk) != FALSE;
        if (GetTickCount() - start >= kDefaultTimeout) return false;
        Sleep(kPollMs);
    }
}

} // namespace

int main() {
    // Texts are printed as UTF-8, without CR added before LF.
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (wide == nullptr || argc < 2) return usage();
    Args all;
    for (int i = 0; i < argc; ++i)
        all.push_back(Narrow(wide[i]));
    LocalFree(wide);
    std::string name = all[1];
    Args args(all.begin() + 2, all.end());
    for (const Command& c : kCommands) {
        if (name != c.name) continue;
        if (args.size() < c.min_args) return usage();
        if (!enter_desktop()) return fail("cannot enter desktop '%s'", desktop_name());
        int rc = c.run(args);
        std::fflush(stdout);
        return rc;
    }
    return usage();
}
