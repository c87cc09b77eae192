#include "panel/list_ctrl_file.h"

#include "dialogs/run_info.h"
#include "engine/hotkey_entry.h"
#include "panel/tarnwick_dlg.h"
#include "platform/ui_text.h"
#include "platform/win32/wide.h"
#include "res/resource.h"
#include "storage/file_text.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace {

const char kInformationCaption[] = "TARNWICK INFORMATION";
// The closed-folder picture of the shell's icon library.
const int kFolderIconIndex = 3;

// {00021401-0000-0000-C000-000000000046}; spelled out so no GUID library is needed.
const CLSID kClsidShellLink = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::string SystemFile(const char* name) {
    wchar_t directory[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return name;
    return Narrow(directory) + "\\" + name;
}

// The last path component. A trailing backslash ends the component before it; a drive
// root has no name of its own, so its letter and colon serve.
std::string LastComponent(const std::string& path) {
    size_t start = 0, end = path.size();
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '\\') continue;
        if (i + 1 == path.size())
            end = i;
        else
            start = i + 1;
    }
    const std::string name = path.substr(start, end - start);
    return name.empty() ? path.substr(0, end) : name;
}

bool EndsWithLnk(const std::string& path) {
    return path.size() >= 4 && ::lstrcmpiW(Widen(path.substr(path.size() - 4)).c_str(), L".lnk") == 0;
}

// The icon a shortcut shows: its own icon location, else its target. False when the link
// cannot be read.
bool ShortcutIcon(const std::string& link, std::string& icon, int& index) {
    const HRESULT init = ::CoInitialize(nullptr);
    bool found = false;
    IShellLinkW* shellLink = nullptr;
    if (SUCCEEDED(::CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     __uuidof(IShellLinkW),
                                     reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(__uuidof(IPersistFile),
                                                reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(Widen(link).c_str(), STGM_READ))) {
                wchar_t buffer[MAX_PATH] = {};
                int iconIndex = 0;
                if (SUCCEEDED(shellLink->GetIconLocation(buffer, MAX_PATH, &iconIndex)) &&
                    buffer[0] != L'\0') {
                    icon = Narrow(buffer);
                    index = iconIndex;
                    found = true;
                } else if (SUCCEEDED(shellLink->GetPath(buffer, MAX_PATH, nullptr, 0)) &&
                           buffer[0] != L'\0') {
                    icon = Narrow(buffer);
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

CListCtrlFile::DropPath CListCtrlFile::FirstDroppedFile(HDROP drop, std::string& path) {
    path.clear();
    if (drop == nullptr || ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 0)
        return DropPath::None;
    const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
    if (length == 0) return DropPath::None;
    if (length > 32767) return DropPath::TooLong;
    std::wstring wide(length + 1, L'\0');
    const UINT copied = ::DragQueryFileW(drop, 0, &wide[0], length + 1);
    if (copied == 0 || copied > length) return DropPath::None;
    wide.resize(copied);
    path = Narrow(wide);
    if (FileTextLength(path) > kMaxDropPath) {
        path.clear();
        return DropPath::TooLong;
    }
    return DropPath::Ok;
}

void CListCtrlFile::RefineDroppedEntry(HotKeyEntry& entry) {
    const DWORD attributes = ::GetFileAttributesW(Widen(entry.path).c_str());
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
    // The rows keep no boxes (LVS_OWNERDATA): a box set from outside goes to the panel,
    // the rest of the state to the list.
    if (msg == LVM_SETITEMSTATE && lParam != 0 &&
        (reinterpret_cast<const LVITEMW*>(lParam)->stateMask & LVIS_STATEIMAGEMASK) != 0) {
        CTarnwickDlg* panel = dynamic_cast<CTarnwickDlg*>(CDialog::FromHandle(GetParent()));
        LVITEMW rest = *reinterpret_cast<const LVITEMW*>(lParam);
        const bool checked = (rest.state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        const int row = static_cast<int>(wParam);
        const int rows = GetItemCount();
        if (panel == nullptr || row < -1 || row >= rows) return FALSE;
        for (int r = row < 0 ? 0 : row; r < (row < 0 ? rows : row + 1); ++r)
            panel->WantRowChecked(r, checked);
        rest.stateMask &= ~LVIS_STATEIMAGEMASK;
        if (rest.stateMask == 0) return TRUE;
        return CListCtrl::WindowProc(msg, wParam, reinterpret_cast<LPARAM>(&rest));
    }
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
        CTarnwickDlg* panel = dynamic_cast<CTarnwickDlg*>(CDialog::FromHandle(GetParent()));
        if (panel != nullptr) panel->RelayListMouse(msg, wParam, lParam);
    }
    return CListCtrl::WindowProc(msg, wParam, lParam);
}

void CListCtrlFile::OnDropFiles(HDROP drop) {
    std::string path;
    const DropPath found = FirstDroppedFile(drop, path);
    // The path is copied out, so the handle goes back now, whatever follows.
    ::DragFinish(drop);

    CTarnwickDlg* panel = dynamic_cast<CTarnwickDlg*>(CDialog::FromHandle(GetParent()));
    if (panel == nullptr) return;
    switch (found) {
    case DropPath::TooLong:
        panel->Message(tw::UiText(IDS_DROP_TOO_LONG), kInformationCaption, MB_OK | MB_ICONINFORMATION);
        return;
    case DropPath::None: return;
    case DropPath::Ok: break;
    }

    CRunInfo dialog(path, panel->GetSafeHwnd());
    RefineDroppedEntry(dialog.m_entry);
    if (panel->RunDialog(dialog) == IDOK) panel->AddEntry(dialog.m_entry);
}
