#include "ui/folder_dialog.h"

#include "platform/win32/wide.h"

#include <shlobj.h>

bool BrowseForFolder(HWND owner, const std::string& title, UINT flags, std::string& path) {
    wchar_t displayName[MAX_PATH] = {};
    const std::wstring wideTitle = Widen(title);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = flags;
    LPITEMIDLIST chosen = ::SHBrowseForFolderW(&info);
    if (chosen == nullptr) return false;
    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(chosen, folder)) folder[0] = L'\0';
    ::CoTaskMemFree(chosen);
    path = Narrow(folder);
    return true;
}
