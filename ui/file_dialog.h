#pragma once
// The system's Open and Save As dialogs. Modal; while one is open the program's own
// loops do not run, so hotkeys pressed meanwhile are lost. Callers bracket it with a
// CurDirGuard: the dialog may change the process's current directory.

#include <windows.h>
#include <commdlg.h>

#include <string>

class CFileDialog {
public:
    // `defaultExt` may be given with or without its dot; `filter` is pairs of a
    // description and a pattern, each followed by '|' ("Lists(*.map)|*.map|").
    // `parent` null: owned by the main dialog, if any.
    CFileDialog(BOOL openFileDialog, const std::string& defaultExt = std::string(),
                const std::string& fileName = std::string(),
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                const std::string& filter = std::string(), HWND parent = nullptr);

    // IDOK when the user chose a file, IDCANCEL otherwise (also when the dialog failed).
    INT_PTR DoModal();

    // Only meaningful after IDOK: the chosen path as it is, whatever its characters.
    std::string GetPathName() const { return m_strPathName; }
    // The file name without its folder.
    std::string GetFileName() const;
    // The file name without the extension after its last dot.
    std::string GetFileTitle() const;

private:
    BOOL m_bOpenFileDialog;
    std::string m_strDefExt;
    std::string m_strFileName;
    DWORD m_dwFlags;
    std::string m_strFilter;
    HWND m_hParent;

    std::string m_strPathName;
    // Byte offsets into m_strPathName.
    size_t m_nFileOffset = 0;
    size_t m_nFileExtension = 0;
};

// The filter as the system wants it: every '|' becomes a zero, and the whole ends in two
// zeros.
std::string FileDialogFilter(const std::string& barSeparated);
