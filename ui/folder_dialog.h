#pragma once
// The shell's folder browser, starting at the desktop.

#include <windows.h>

#include <string>

// True when the user chose a folder; `path` is then its file-system path, or empty for
// a folder that has none (a virtual folder such as the Control Panel). False when
// cancelled; `path` is left alone.
bool BrowseForFolder(HWND owner, const std::string& title, UINT flags, std::string& path);
