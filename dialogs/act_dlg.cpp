#include "dialogs/act_dlg.h"

#include "ui/data_exchange.h"

CAct::CAct(HWND parent) : CDialog(IDD_ACT, parent) {}

void CAct::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
}

BOOL CAct::OnInitDialog() {
    return CDialog::OnInitDialog();
}

void CAct::OnOK() {
    CDialog::OnOK();
}

void CAct::OnCancel() {
    CDialog::OnCancel();
}

bool CAct::OnCommand(int id, int code) {
    return CDialog::OnCommand(id, code);
}

void CAct::OnSelchangeAction() {}
