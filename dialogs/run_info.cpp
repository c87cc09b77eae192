#include "dialogs/run_info.h"

#include "ui/data_exchange.h"

CRunInfo::CRunInfo(HWND parent) : CDialog(IDD_RUNINFO, parent) {}

CRunInfo::CRunInfo(const HotKeyEntry& entry, HWND parent)
    : CDialog(IDD_RUNINFO, parent), m_bHasEntry(true), m_entry(entry) {}

CRunInfo::CRunInfo(const std::string& path, HWND parent)
    : CDialog(IDD_RUNINFO, parent), m_bHasEntry(true) {
    m_entry.path = path;
    m_entry.icon = path;
}

void CRunInfo::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
}

BOOL CRunInfo::OnInitDialog() {
    return CDialog::OnInitDialog();
}

bool CRunInfo::OnCommand(int id, int code) {
    return CDialog::OnCommand(id, code);
}

void CRunInfo::ShowEntry() {}

void CRunInfo::OnBrowseCommand() {}

void CRunInfo::OnBrowseFolder() {}

void CRunInfo::OnChangeIcon() {}

void CRunInfo::OnClickedOk() {}
