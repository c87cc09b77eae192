#pragma once
// The program entry dialog: name, command line, icon, hotkey, working directory and note
// of one program entry. It works on a copy, the working entry, which the caller reads
// after IDOK; it never touches the entry list, the files or any registration.

#include "engine/hotkey_entry.h"
#include "res/resource.h"
#include "ui/controls.h"
#include "ui/dialog.h"

#include <string>

class CRunInfo : public CDialog {
public:
    // A new entry (the Add command).
    explicit CRunInfo(HWND parent);
    // A copy of an entry of the list, all ten fields (the Properties command).
    CRunInfo(const HotKeyEntry& entry, HWND parent);
    // An entry derived from a dropped file's path.
    CRunInfo(const std::string& path, HWND parent);

    int m_nIconIndex = 0;
    bool m_bHasEntry = false;
    HotKeyEntry m_entry; // the working entry
    std::string m_strName;
    std::string m_strInfo;
    std::string m_strPath;
    std::string m_strWorkDir;
    std::string m_strIconFile;
    CHotKeyCtrl m_HotKey;
    CStatic m_IconDisplay;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;

    void ShowEntry();
    void OnBrowseCommand();
    void OnBrowseFolder();
    void OnChangeIcon();
    void OnClickedOk();
};
