// Reading and writing hotkey list files, and the Save, Load and Merge commands.

#include "panel/tarnwick_dlg.h"

#include "engine/hotkey_state_text.h"
#include "engine/list_merge.h"
#include "platform/ui_text.h"
#include "res/resource.h"
#include "storage/list_file.h"
#include "ui/cur_dir_guard.h"
#include "ui/file_dialog.h"

#include <iterator>
#include <vector>


namespace {
const char kNotAListCaption[] = "SERVER ERROR";
} // namespace

// Goes through the document's safe save (SaveEntriesToListFile, then CIniDocument::Save
// with its temporary and ReplaceFileWith): a failed write leaves the old file whole.
bool CTarnwickDlg::WriteListFile(const std::string& path) {
    if (::SaveEntriesToListFile(path, m_entries) == -1) {
        Message(tw::UiText(IDS_CANNOT_WRITE), "ERROR", MB_ICONINFORMATION);
        return false;
    }
    return true;
}

// Adds to what the entry list and the image lists already hold; the entries of a file
// that turns out to be invalid stay, up to the faulty section. The icons come after the
// panel shows the rows: each distinct one gets a blank pair now, filled by the icon timer.
// At start-up the entries may have been read already, while the panel was made.
bool CTarnwickDlg::ReadListFile(const std::string& path) {
    ListReadAhead::ReadList ahead;
    ListReadResult result = ListReadResult::CannotOpen;
    if (m_readAhead.Take(path, ahead)) {
        result = ahead.result;
        // The pairs are reserved in the order the entries name them, as a reading here does.
        std::vector<int> images;
        for (const auto& icon : ahead.icons) images.push_back(ReserveIconPair(icon.first, icon.second));
        for (size_t icon : ahead.iconOf) m_entryImages.push_back(images[icon]);
        m_entries.splice(m_entries.end(), ahead.entries);
    } else {
        result = ::LoadEntriesFromListFile(path, [&](const HotKeyEntry& entry) {
            m_entryImages.push_back(ReserveIconPair(entry.icon, entry.iconint));
            m_entries.push_back(entry);
        });
    }
    if (result == ListReadResult::Invalid)
        Message(tw::UiText(IDS_NOT_A_LIST), kNotAListCaption, MB_ICONERROR);
    return result == ListReadResult::Ok;
}

void CTarnwickDlg::OnSaveList() {
    CurDirGuard keepDirectory;
    CFileDialog dialog(FALSE, ".map", "hotkey01", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       tw::UiText(IDS_FILTER_LISTS), m_hWnd);
    if (dialog.DoModal() == IDOK) WriteListFile(dialog.GetPathName());
}

void CTarnwickDlg::OnLoadList() {
    CurDirGuard keepDirectory;
    CFileDialog dialog(TRUE, "", "", 0, tw::UiText(IDS_FILTER_LISTS), m_hWnd);
    if (dialog.DoModal() == IDOK) {
        ClearAll();
        ReadListFile(dialog.GetPathName());
        ShowAll();
        EnableAllHotKeys();
    }
}

bool CTarnwickDlg::MergeListFile(const std::string& path) {
    std::vector<HotKeyEntry> incoming;
    const ListReadResult result = ::LoadEntriesFromListFile(
        path, [&](const HotKeyEntry& entry) { incoming.push_back(entry); });
    if (result == ListReadResult::Invalid) Message(tw::UiText(IDS_NOT_A_LIST), kNotAListCaption, MB_ICONERROR);
    if (result != ListReadResult::Ok) return false;
    const MergedEntries merged = MergeEntries(m_entries, incoming);
    {
        // A refusal is told once, after the last entry; the rows go in with drawing off.
        const DeferredRefusals reportWhenDone(*this);
        m_List.SendMessage(WM_SETREDRAW, FALSE);
        for (const HotKeyEntry& entry : merged.added) {
            const int row = m_List.GetItemCount();
            const int image = ReserveIconPair(entry.icon, entry.iconint);
            m_entryImages.push_back(image);
            AppendEntry(entry); // numbers it, registers it when it is switched on
            InsertRow(row, std::prev(m_entries.end()), image);
        }
        m_List.SendMessage(WM_SETREDRAW, TRUE);
        InvalidateRect(m_List.GetSafeHwnd(), nullptr, TRUE);
    }
    if (!merged.added.empty()) WriteListFile(m_strListFile);
    Message(MergeSummary(static_cast<int>(merged.added.size()), merged.switchedOff), tw::UiText(IDS_MERGE_CAPTION),
            MB_OK | MB_ICONINFORMATION);
    return true;
}

void CTarnwickDlg::OnMergeList() {
    CurDirGuard keepDirectory;
    CFileDialog dialog(TRUE, "", "", 0, tw::UiText(IDS_FILTER_LISTS), m_hWnd);
    if (dialog.DoModal() == IDOK) MergeListFile(dialog.GetPathName());
}
