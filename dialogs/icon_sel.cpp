#include "dialogs/icon_sel.h"

#include "ui/data_exchange.h"

#include <utility>

CIconSel::CIconSel(std::string fileName, int iconIndex, HWND parent)
    : CDialog(IDD_ICONSEL, parent), m_nIconIndex(iconIndex), m_strFileName(std::move(fileName)) {}

void CIconSel::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
}

BOOL CIconSel::OnInitDialog() {
    return CDialog::OnInitDialog();
}

bool CIconSel::OnCommand(int id, int code) {
    return CDialog::OnCommand(id, code);
}

void CIconSel::FillIconList() {}

void CIconSel::OnBrowse() {}

void CIconSel::OnClickedOk() {}
