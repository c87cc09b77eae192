#pragma once
// The program entry dialog: name, command line and its arguments, icon, hotkey, working
// directory, elevation and note of one program entry. It works on a copy, the working entry, which
// the caller reads after IDOK; it never touches the entry list, the files or any registration.

#include "engine/hotkey_entry.h"
#include "res/resource.h"
#include "ui/controls.h"
#include "ui/dialog.h"

#include <string>

class CIconSel;

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
    std::string m_strArgs;
    int m_nRunAs = 0; // the check box: BST_CHECKED asks for elevation
    CComboBox m_cmbIfRunning; // what a start does while it runs, in IfRunning order
    CComboBox m_cmbWindow;    // how the started program's window opens, in tw::WindowShow order
    std::string m_strIconFile;
    CHotKeyCtrl m_HotKey;
    CStatic m_IconDisplay;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    void ShowEntry();
    void OnBrowseCommand();
    void OnBrowseFolder();
    void OnChangeIcon();
    void OnClickedOk();

    // The choices a person makes in the system's dialogs and in the icon picker; a test
    // overrides them to answer instead. The file and folder are full paths; a folder
    // without a file-system path (a virtual one) comes back empty.
    virtual bool ChooseCommandFile(std::string& path);
    virtual bool ChooseFolder(std::string& folder);
    virtual INT_PTR RunIconPicker(CIconSel& picker);

private:
    // Shows the icon of m_strIconFile at m_nIconIndex, or a blank display.
    void ShowIconOfFile();

    HICON m_hShownIcon = nullptr; // extracted for the display; ours to release
};
