// Reading and writing hotkey list files, and the Save and Load commands.

#include "panel/tarnwick_dlg.h"

#include "ui/cur_dir_guard.h"
#include "ui/file_dialog.h"
#include "storage/list_file.h"


namespace {
const char kListFilter[] = "快捷键列表文件(*.map)|*.map|所有文件(*.*)|*.*|";
} // namespace

// Goes through the document's safe save (SaveEntriesToListFile, then CIniDocument::Save
// with its temporary and ReplaceFileWith): a failed write leaves the old file whole.
bool CTarnwickDlg::WriteListFile(const std::string& path) {
    if (::SaveEntriesToListFile(path, m_entries) == -1) {
        Message("不能打开文件进行写入!", "ERROR", MB_ICONINFORMATION);
        return false;
    }
    return true;
}

// Adds to what the entry list and the image lists already hold; the entries of a file
// that turns out to be invalid stay, up to the faulty section. The icons come after the
// panel shows the rows: each distinct one gets a blank pair now, filled by the icon timer.
bool CTarnwickDlg::ReadListFile(const std::string& path) {
    const ListReadResult result = ::LoadEntriesFromListFile(
        path, [&](const HotKeyEntry& entry) {
            m_entryImages.push_back(ReserveIconPair(entry.icon, entry.iconint));
            m_entries.push_back(entry);
        });
    if (result == ListReadResult::Invalid)
        Message("该文件不是有效的快捷键列表文件!", "SERVER ERROR", MB_ICONERROR);
    return result == ListReadResult::Ok;
}

void CTarnwickDlg::OnSaveList() {
    CurDirGuard keepDirectory;
    CFileDialog dialog(FALSE, ".map", "hotkey01", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       kListFilter, m_hWnd);
    if (dialog.DoModal() == IDOK) WriteListFile(dialog.GetPathName());
}

void CTarnwickDlg::OnLoadList() {
    CurDirGuard keepDirectory;
    CFileDialog dialog(TRUE, "", "", 0, kListFilter, m_hWnd);
    if (dialog.DoModal() == IDOK) {
        ClearAll();
        ReadListFile(dialog.GetPathName());
        ShowAll();
        EnableAllHotKeys();
    }
}
