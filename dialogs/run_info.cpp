#include "dialogs/run_info.h"

#include "dialogs/icon_sel.h"
#include "engine/hotkey_code.h"
#include "engine/shown_text.h"
#include "platform/ui_text.h"
#include "platform/win32/win32_system.h"
#include "ui/cur_dir_guard.h"
#include "ui/data_exchange.h"
#include "ui/file_dialog.h"
#include "ui/folder_dialog.h"
#include "ui/shell_icon.h"

#include <shlobj.h>

namespace {

const int kNameLimit = 20;
const int kCommandLimit = 200;
const int kWorkDirLimit = 200;
// Far beyond what people type, still far inside what a command line can carry.
const int kArgsLimit = 1000;

// The choice a drop-down list shows, as an index below `count`; 0 for none.
int ChoiceOf(const CComboBox& combo, int count) {
    const int index = combo.GetCurSel();
    return index > 0 && index < count ? index : 0;
}
// Paths are UTF-8, in which a backslash or a dot is never part of another character.

// Where the file name begins: after the last backslash, or at the start.
size_t FileNameStart(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? 0 : slash + 1;
}

// A dropped file's name up to the first dot of its file name; the whole file name when it
// has no dot, rather than nothing for the user to recognise it by.
std::string NameUpToFirstDot(const std::string& path) {
    const std::string file = path.substr(FileNameStart(path));
    return file.substr(0, file.find('.'));
}

// A chosen file's title: its file name without the extension after the last dot.
std::string TitleUpToLastDot(const std::string& path) {
    const std::string file = path.substr(FileNameStart(path));
    return file.substr(0, file.rfind('.'));
}

bool EndsWithBackslash(const std::string& path) {
    return !path.empty() && path.back() == '\\';
}

void SetWindowIcons(CWnd& window) {
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    window.SetIcon(icon, TRUE);
    window.SetIcon(icon, FALSE);
}

} // namespace

CRunInfo::CRunInfo(HWND parent) : CDialog(IDD_RUNINFO, parent) {}

CRunInfo::CRunInfo(const HotKeyEntry& entry, HWND parent)
    : CDialog(IDD_RUNINFO, parent), m_bHasEntry(true), m_entry(entry) {}

CRunInfo::CRunInfo(const std::string& path, HWND parent)
    : CDialog(IDD_RUNINFO, parent), m_bHasEntry(true) {
    m_entry.path = path;
    m_entry.icon = path;
    m_entry.iconint = 0;
    m_entry.name = NameUpToFirstDot(path);
}

void CRunInfo::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_EDIT_NAME, m_strName);
    DDV_MaxChars(dx, m_strName, kNameLimit);
    DDX_Control(dx, IDC_HOTKEY, m_HotKey);
    DDX_Text(dx, IDC_EDIT_NOTE, m_strInfo);
    DDX_Text(dx, IDC_EDIT_COMMAND, m_strPath);
    DDV_MaxChars(dx, m_strPath, kCommandLimit);
    DDX_Text(dx, IDC_EDIT_WORKDIR, m_strWorkDir);
    DDV_MaxChars(dx, m_strWorkDir, kWorkDirLimit);
    DDX_Control(dx, IDC_ICON_ENTRY, m_IconDisplay);
    DDX_Text(dx, IDC_EDIT_ARGS, m_strArgs);
    DDV_MaxChars(dx, m_strArgs, kArgsLimit);
    DDX_Check(dx, IDC_CHK_RUNAS, m_nRunAs);
    DDX_Control(dx, IDC_COMBO_IF_RUNNING, m_cmbIfRunning);
    DDX_Control(dx, IDC_COMBO_WINDOW, m_cmbWindow);
}

BOOL CRunInfo::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowIcons(*this);
    // In the orders of IfRunning and tw::WindowShow.
    for (const std::string& choice : tw::UiTextList(IDS_IF_RUNNING_CHOICES))
        m_cmbIfRunning.AddString(choice);
    m_cmbIfRunning.SetCurSel(static_cast<int>(m_entry.ifRunning));
    for (const std::string& choice : tw::UiTextList(IDS_WINDOW_CHOICES))
        m_cmbWindow.AddString(choice);
    m_cmbWindow.SetCurSel(static_cast<int>(m_entry.show));
    if (m_bHasEntry) ShowEntry();
    return TRUE;
}

bool CRunInfo::OnCommand(int id, int code) {
    if (code == BN_CLICKED) {
        switch (id) {
        case IDOK: OnClickedOk(); return true;
        case IDC_BTN_CHANGE_ICON: OnChangeIcon(); return true;
        case IDC_BTN_BROWSE_WORKDIR: OnBrowseFolder(); return true;
        case IDC_BTN_BROWSE_COMMAND: OnBrowseCommand(); return true;
        default: break;
        }
    }
    return CDialog::OnCommand(id, code);
}

bool CRunInfo::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // The display still exists here, so it never shows the icon after its release.
    if (msg == WM_DESTROY && m_IconDisplay.m_hWnd != nullptr)
        ShowOwnedIcon(m_IconDisplay, nullptr, m_hShownIcon);
    return CDialog::OnMessage(msg, wParam, lParam, result);
}

void CRunInfo::ShowEntry() {
    m_strName = m_entry.name;
    m_strPath = m_entry.path;
    m_strWorkDir = m_entry.workdir;
    m_strInfo = m_entry.info;
    m_strArgs = m_entry.args;
    m_nRunAs = m_entry.runas ? BST_CHECKED : BST_UNCHECKED;
    m_HotKey.SetHotKey(static_cast<DWORD>(m_entry.hotkey) & 0xFFFF);
    CheckDlgButton(m_hWnd, IDC_CHK_WIN, HasWinKey(m_entry.hotkey) ? BST_CHECKED : BST_UNCHECKED);
    m_strIconFile = m_entry.icon;
    m_nIconIndex = m_entry.iconint;
    ShowIconOfFile();
    UpdateData(FALSE);
}

void CRunInfo::ShowIconOfFile() {
    ShowOwnedIcon(m_IconDisplay, ExtractFileIcon(m_strIconFile, m_nIconIndex), m_hShownIcon);
}

void CRunInfo::OnBrowseCommand() {
    // The file dialog may change the current directory, against which the settings file
    // and relative list files are opened.
    CurDirGuard keepDirectory;
    std::string path;
    if (!ChooseCommandFile(path)) return;
    m_entry.name = TitleUpToLastDot(path);
    m_entry.path = path;
    m_entry.icon = path;
    m_entry.iconint = 0;
    m_entry.workdir.clear();
    m_entry.args.clear(); // those of the program chosen before would not fit this one
    m_entry.info.clear();
    m_entry.keydes.clear();
    m_entry.hotkey = 0;
    ShowEntry();
}

void CRunInfo::OnBrowseFolder() {
    // The redisplay below rewrites every box from the texts: store first, so what was
    // typed since stays. A text over its limit has shown its message and is fixed first.
    if (!UpdateData(TRUE)) return;
    std::string folder;
    if (!ChooseFolder(folder)) return;
    // A virtual folder has no path to work in: the old directory stays.
    if (folder.empty()) return;
    if (!EndsWithBackslash(folder)) folder += '\\';
    m_strWorkDir = folder;
    UpdateData(FALSE);
}

void CRunInfo::OnChangeIcon() {
    CIconSel picker(m_strIconFile, m_nIconIndex, m_hWnd);
    if (RunIconPicker(picker) != IDOK) return;
    m_strIconFile = picker.m_strFileName;
    m_nIconIndex = picker.m_nIconIndex;
    ShowIconOfFile();
}

void CRunInfo::OnClickedOk() {
    if (!UpdateData(TRUE)) return;
    m_entry.hotkey = WithWinKey(static_cast<int>(m_HotKey.GetHotKey() & 0xFFFF),
                                IsDlgButtonChecked(m_hWnd, IDC_CHK_WIN) == BST_CHECKED);
    Win32System system;
    m_entry.keydes = KeyDescription(system, m_entry.hotkey);
    m_entry.name = m_strName;
    m_entry.path = m_strPath;
    m_entry.info = m_strInfo;
    m_entry.workdir = m_strWorkDir;
    m_entry.args = m_strArgs;
    m_entry.runas = m_nRunAs == BST_CHECKED;
    m_entry.ifRunning = static_cast<IfRunning>(ChoiceOf(m_cmbIfRunning, 3));
    m_entry.show = static_cast<tw::WindowShow>(ChoiceOf(m_cmbWindow, 4));
    m_entry.icon = m_strIconFile;
    m_entry.iconint = m_nIconIndex;
    if (m_entry.hotkey == 0) m_entry.keydes = kNoHotKeyDescription;
    if (m_entry.path.empty()) {
        ShowMessageBox(tw::UiText(IDS_EMPTY_COMMAND), tw::UiText(IDS_CAPTION_NOTICE),
                       MB_OK | MB_ICONINFORMATION);
        return;
    }
    CDialog::OnOK();
}

bool CRunInfo::ChooseCommandFile(std::string& path) {
    CFileDialog dialog(TRUE, std::string(), std::string(), 0, tw::UiText(IDS_FILTER_PROGRAMS),
                       m_hWnd);
    if (dialog.DoModal() != IDOK) return false;
    path = dialog.GetPathName();
    return true;
}

bool CRunInfo::ChooseFolder(std::string& folder) {
    return BrowseForFolder(m_hWnd, tw::UiText(IDS_FOLDER_TITLE), BIF_EDITBOX, folder);
}

INT_PTR CRunInfo::RunIconPicker(CIconSel& picker) {
    return picker.DoModal();
}
