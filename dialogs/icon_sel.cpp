#include "dialogs/icon_sel.h"

#include "platform/ui_text.h"
#include "res/resource.h"
#include "ui/cur_dir_guard.h"
#include "ui/data_exchange.h"
#include "ui/dpi.h"
#include "ui/file_dialog.h"
#include "ui/shell_icon.h"

#include <utility>
#include <vector>

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

} // namespace

CIconSel::CIconSel(std::string fileName, int iconIndex, HWND parent)
    : CDialog(IDD_ICONSEL, parent), m_nIconIndex(iconIndex), m_strFileName(std::move(fileName)) {}

void CIconSel::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_EDIT_ICON_FILE, m_strFileName);
    DDX_Control(dx, IDC_LIST_ICONS, m_IconList);
}

BOOL CIconSel::OnInitDialog() {
    CDialog::OnInitDialog();
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);
    UpdateData(FALSE);
    // Never seen (icon view, no header), but the list wants a column to hold its items.
    m_IconList.InsertColumn(0, tw::UiText(IDS_ICON_HEADING), LVCFMT_LEFT);
    FillIconList();
    return TRUE;
}

bool CIconSel::OnCommand(int id, int code) {
    if (code == BN_CLICKED && id == IDOK) {
        OnClickedOk();
        return true;
    }
    if (code == BN_CLICKED && id == IDC_BTN_BROWSE_ICON_FILE) {
        OnBrowse();
        return true;
    }
    return CDialog::OnCommand(id, code);
}

bool CIconSel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    // The list does not share its image lists, so it would release the one it holds when
    // it is destroyed, and so would m_ImageList: take it back first, release it once.
    if (msg == WM_DESTROY && m_IconList.m_hWnd != nullptr) {
        m_IconList.SetImageList(nullptr, LVSIL_NORMAL);
        m_ImageList.Destroy();
    }
    return CDialog::OnMessage(msg, wParam, lParam, result);
}

// The pictures are made again at the new size; the icon marked so far stays marked.
void CIconSel::OnDpiChanged(int, int) {
    const int mark = m_IconList.GetSelectionMark();
    FillIconList();
    if (mark >= 0) m_IconList.SetSelectionMark(mark);
}

void CIconSel::FillIconList() {
    const int count = FileIconCount(m_strFileName);
    m_IconList.DeleteAllItems();
    m_IconList.SetImageList(nullptr, LVSIL_NORMAL);
    // The system's large icon size: 32 at 96 DPI and larger on a high-DPI screen, the size
    // at which the shell extracts, so the pictures are neither cut nor stretched twice.
    m_ImageList.Create(tw::MetricForDpi(SM_CXICON, GetDpi()), tw::MetricForDpi(SM_CYICON, GetDpi()),
                       ILC_COLOR24, 0, 0);
    // Before any icon goes in, so the icons' transparent parts come out white.
    m_ImageList.SetBkColor(kWhite);
    // Item i is icon i of the file even when one of them cannot be extracted.
    std::vector<int> images(static_cast<size_t>(count), I_IMAGENONE);
    for (int i = 0; i < count; ++i) {
        HICON icon = ExtractFileIcon(m_strFileName, i);
        if (icon == nullptr) continue;
        const int image = m_ImageList.Add(icon);
        if (image >= 0) images[static_cast<size_t>(i)] = image;
        ::DestroyIcon(icon);
    }
    m_IconList.SetImageList(&m_ImageList, LVSIL_NORMAL);
    for (int i = 0; i < count; ++i)
        m_IconList.InsertItem(i, std::string(), images[static_cast<size_t>(i)]);
    // An index this file does not have leaves no mark, so OK then gives the first icon.
    if (m_nIconIndex >= 0 && m_nIconIndex < count) m_IconList.SetSelectionMark(m_nIconIndex);
}

void CIconSel::OnBrowse() {
    // The file dialog may change the current directory, against which the settings file
    // and relative list files are opened.
    CurDirGuard keepDirectory;
    std::string path;
    if (!ChooseIconFile(path)) return;
    m_strFileName = path;
    UpdateData(FALSE);
    FillIconList();
}

void CIconSel::OnClickedOk() {
    const int mark = m_IconList.GetSelectionMark();
    m_nIconIndex = mark >= 0 ? mark : 0;
    CDialog::OnOK();
}

bool CIconSel::ChooseIconFile(std::string& path) {
    CFileDialog dialog(TRUE, std::string(), std::string(), 0, tw::UiText(IDS_FILTER_PROGRAMS),
                       m_hWnd);
    if (dialog.DoModal() != IDOK) return false;
    path = dialog.GetPathName();
    return true;
}
