#include "panel/list_ctrl_file.h"

#include "dialogs/run_info.h"
#include "engine/hotkey_entry.h"
#include "panel/tarnwick_dlg.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace {

const char kPathTooLong[] = "拖入的文件路径太长，不能添加！";
const char kInformationCaption[] = "TARNWICK INFORMATION";
// The closed-folder picture of the shell's icon library.
const int kFolderIconIndex = 3;

// {00021401-0000-0000-C000-000000000046}; spelled out so no GUID library is needed.
const CLSID kClsidShellLink = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::string SystemFile(const char* name) {
    char directory[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return name;
    return std::string(directory) + "\\" + name;
}

bool IsLeadByte(char c) {
    return ::IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE;
}

// The last path component, stepping over double-byte characters whole (a trail byte may
// be a backslash); a trailing backslash is not a component of its own.
std::string LastComponent(const std::string& path) {
    const std::string& trimmed = path;
    size_t start = 0, lastSlash = std::string::npos, lastEnd = 0;
    for (size_t i = 0; i < trimmed.size(); ++i) {
        if (IsLeadByte(trimmed[i]) && i + 1 < trimmed.size()) {
            ++i;
            continue;
        }
        if (trimmed[i] == '\\') {
            if (i + 1 == trimmed.size()) {
                lastEnd = i;
                break;
            }
            lastSlash = i;
        }
    }
    if (lastEnd == 0) lastEnd = trimmed.size();
    start = lastSlash == std::string::npos ? 0 : lastSlash + 1;
    std::string name = trimmed.substr(start, lastEnd - start);
    // A drive root has no name of its own; its letter and colon serve.
    return name.empty() ? trimmed.substr(0, lastEnd) : name;
}

// A dot is never the trail byte of a double-byte character, so the last four bytes can be
// compared as they stand.
bool EndsWithLnk(const std::string& path) {
    return path.size() >= 4 && ::lstrcmpiA(path.c_str() + path.size() - 4, ".lnk") == 0;
}

// The icon a shortcut shows: its own icon location, else its target. False when the link
// cannot be read.
bool ShortcutIcon(const std::string& link, std::string& icon, int& index) {
    const HRESULT init = ::CoInitialize(nullptr);
    bool found = false;
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(::CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     __uuidof(IShellLinkA),
                                     reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(__uuidof(IPersistFile),
                                                reinterpret_cast<void**>(&file)))) {
            const int wide = ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, nullptr, 0);
            std::vector<wchar_t> name(static_cast<size_t>(wide > 0 ? wide : 1));
            ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, name.data(), wide);
            if (wide > 0 && SUCCEEDED(file->Load(name.data(), STGM_READ))) {
                char buffer[MAX_PATH] = {};
                int iconIndex = 0;
                if (SUCCEEDED(shellLink->GetIconLocation(buffer, MAX_PATH, &iconIndex)) &&
                    buffer[0] != '\0') {
                    icon = buffer;
                    index = iconIndex;
                    found = true;
                } else if (SUCCEEDED(shellLink->GetPath(buffer, MAX_PATH, nullptr, 0)) &&
                           buffer[0] != '\0') {
                    icon = buffer;
                    index = 0;
                    found = true;
                }
            }
            file->Release();
        }
        shellLink->Release();
    }
    if (SUCCEEDED(init)) ::CoUninitialize();
    return found;
}

} // namespace

bool CListCtrlFile::FirstDroppedFile(HDROP drop, std::string& path, bool& tooLong) {
    path.clear();
    tooLong = false;
    if (drop == nullptr || ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 0) return false;
    const UINT length = ::DragQueryFileA(drop, 0, nullptr, 0);
    if (length == 0) return false;
    if (length > kMaxDropPath) {
        tooLong = true;
        return false;
    }
    char buffer[kMaxDropPath + 1] = {};
    const UINT copied = ::DragQueryFileA(drop, 0, buffer, sizeof buffer);
    if (copied == 0 || copied > kMaxDropPath) return false;
    path.assign(buffer, copied);
    return true;
}

void CListCtrlFile::RefineDroppedEntry(HotKeyEntry& entry) {
    const DWORD attributes = ::GetFileAttributesA(entry.path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        // A folder holds no icon, and a dot in its name starts no extension.
        entry.name = LastComponent(entry.path);
        entry.icon = SystemFile("shell32.dll");
        entry.iconint = kFolderIconIndex;
        return;
    }
    if (EndsWithLnk(entry.path)) {
        std::string icon;
        int index = 0;
        if (ShortcutIcon(entry.path, icon, index)) {
            entry.icon = icon;
            entry.iconint = index;
        }
    }
}

LRESULT CListCtrlFile::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DROPFILES) {
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    if (msg == WM_MOUSEMOVE) {
        CTarnwickDlg* panel = dynamic_cast<CTarnwickDlg*>(CDialog::FromHandle(GetParent()));
        if (panel != nullptr)
            panel->OnListHover(static_cast<short>(LOWORD(lParam)),
                               static_cast<short>(HIWORD(lParam)));
    }
    return CListCtrl::WindowProc(msg, wParam, lParam);
}

void CListCtrlFile::OnDropFiles(HDROP drop) {
    std::string path;
    bool tooLong = false;
    const bool found = FirstDroppedFile(drop, path, tooLong);
    // The path is copied out, so the handle goes back now, whatever follows.
    ::DragFinish(drop);

    CTarnwickDlg* panel = dynamic_cast<CTarnwickDlg*>(CDialog::FromHandle(GetParent()));
    if (panel == nullptr) return;
    if (tooLong) {
        panel->Message(kPathTooLong, kInformationCaption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!found) return;

    CRunInfo dialog(path, panel->GetSafeHwnd());
    RefineDroppedEntry(dialog.m_entry);
    if (panel->RunDialog(dialog) == IDOK) panel->AddEntry(dialog.m_entry);
}
