#include "ui/folder_dialog.h"

#include <shlobj.h>

bool BrowseForFolder(HWND owner, const std::string& title, UINT flags, std::string& path) {
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = flags;
    LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
    if (chosen == nullptr) return false;
    char folder[MAX_PATH] = {};
    if (!::SHGetPathFromIDListA(chosen, folder)) folder[0] = '\0';
    ::CoTaskMemFree(chosen);
    path = folder;
    return true;
}
