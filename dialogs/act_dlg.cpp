#include "dialogs/act_dlg.h"

#include "engine/hotkey_code.h"
#include "engine/shown_text.h"
#include "platform/win32/win32_system.h"
#include "ui/data_exchange.h"
#include "ui/shell_icon.h"

namespace {

// Without a folder: the current directory, where the settings were read at start-up.
const char kSettingsFile[] = "tarnwick.ini";
const char kLoadIconError[] = "Load Icon Error!";

} // namespace

CAct::CAct(HWND parent) : CDialog(IDD_ACT, parent) {}

void CAct::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_COMBO_ACTION, m_cbAction);
    DDX_Control(dx, IDC_ICON_ACTION, m_IconDisplay);
    DDX_Control(dx, IDC_HOTKEY, m_HotKey);
}

BOOL CAct::OnInitDialog() {
    CDialog::OnInitDialog();
    m_actions.clear();
    // A document left from a run that ended some other way would hide the file's
    // present content.
    m_doc.Close();
    if (m_doc.Load(kSettingsFile) == -1) return TRUE;
    m_actions = ReadCatalogue(m_doc);
    // An action without its token could only bind a hotkey to nothing: the list ends
    // before it, as it does before an action without a name.
    for (size_t i = 0; i < m_actions.size(); ++i) {
        if (m_doc.GetValue("act" + std::to_string(i), "path") == CIniDocument::kNotFound) {
            m_actions.resize(i);
            break;
        }
    }
    for (const CatalogueAction& action : m_actions)
        m_cbAction.AddString(ShownActionName(action.name, action.path));
    return TRUE;
}

void CAct::OnOK() {
    const CatalogueAction* action = SelectedAction();
    if (action == nullptr) {
        m_doc.Close();
        EndDialog(IDCANCEL);
        return;
    }
    m_strIconFile = action->icon;
    m_strName = action->name;
    m_strPath = action->path;
    m_nIconIndex = action->iconint;
    m_nHotKey = WithWinKey(static_cast<int>(m_HotKey.GetHotKey() & 0xFFFF),
                           IsDlgButtonChecked(m_hWnd, IDC_CHK_WIN) == BST_CHECKED);
    Win32System system;
    m_strKeyDes = KeyDescription(system, m_nHotKey);
    m_doc.Close();
    CDialog::OnOK();
}

void CAct::OnCancel() {
    m_doc.Close();
    CDialog::OnCancel();
}

bool CAct::OnCommand(int id, int code) {
    if (id == IDC_COMBO_ACTION && code == CBN_SELCHANGE) {
        OnSelchangeAction();
        return true;
    }
    return CDialog::OnCommand(id, code);
}

bool CAct::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // The display still exists here, so it never shows the icon after its release.
    if (msg == WM_DESTROY && m_IconDisplay.m_hWnd != nullptr)
        ShowOwnedIcon(m_IconDisplay, nullptr, m_hShownIcon);
    return CDialog::OnMessage(msg, wParam, lParam, result);
}

void CAct::OnSelchangeAction() {
    const CatalogueAction* action = SelectedAction();
    if (action == nullptr) return;
    HICON icon = ExtractFileIcon(action->icon, action->iconint);
    if (icon == nullptr) {
        // The icon shown before stays.
        ShowMessage(kLoadIconError, MB_OK);
        return;
    }
    ShowOwnedIcon(m_IconDisplay, icon, m_hShownIcon);
}

const CatalogueAction* CAct::SelectedAction() const {
    const int sel = m_cbAction.GetCurSel();
    if (sel < 0 || static_cast<size_t>(sel) >= m_actions.size()) return nullptr;
    return &m_actions[static_cast<size_t>(sel)];
}
