// The commands that change the entry list: Add, Built-in, Delete and Properties. Each one
// keeps four things in step: the rows of the list view, the entry list, the registered
// hotkeys and the current hotkey list file, which is rewritten whole after every change.

#include "panel/tarnwick_dlg.h"

#include "dialogs/act_dlg.h"
#include "dialogs/run_info.h"
#include "engine/builtin_action.h"
#include "engine/shown_text.h"
#include "res/resource.h"

#include <iterator>

namespace {
const char kInformationCaption[] = "TARNWICK INFORMATION";
const char kBuiltInWorkDir[] = "_";
} // namespace

bool CTarnwickDlg::AddEntry(const HotKeyEntry& entry) {
    const DeferredRefusals reportWhenDone(*this);
    const int row = m_List.GetItemCount();
    // Rows may share a pair with other rows showing the same icon, so the row only points
    // at the pair it is given and never changes it.
    const int image = AppendIconPair(entry.icon, entry.iconint);
    m_entryImages.push_back(image);
    AppendEntry(entry); // numbers it, registers it while the hotkeys are on, appends it
    // Refusals wait until this returns, so the last entry is still the one appended.
    InsertRow(row, m_entries.back(), image);
    SetRowTexts(row, m_entries.back());

    WriteListFile(m_strListFile);
    return true;
}

bool CTarnwickDlg::DeleteEntry(int row) {
    const EntryList::iterator it = EntryOfRow(row);
    if (it == m_entries.end()) return false;
    const size_t index = static_cast<size_t>(std::distance(m_entries.begin(), it));

    RemoveEntry(it); // unregisters it whatever the on/off state, then removes it
    if (index < m_entryImages.size())
        m_entryImages.erase(m_entryImages.begin() + static_cast<std::ptrdiff_t>(index));
    // The pair stays in the image lists, shown by no row.
    m_List.DeleteItem(row);

    WriteListFile(m_strListFile);
    return true;
}

bool CTarnwickDlg::EditEntry(int row) {
    EntryList::iterator it = EntryOfRow(row);
    if (it == m_entries.end()) return false;

    // The dialog's message loop runs the panel's commands and hotkeys, which may delete,
    // renumber or reload the entries meanwhile: the entry is found again afterwards, and
    // one that is gone, or changed, or no longer on that row, is left alone.
    const HotKeyEntry* const shown = &*it;
    const HotKeyEntry before = *it;
    CRunInfo dialog(before, nullptr);
    if (RunDialog(dialog) != IDOK) return true;
    it = EntryOfRow(row);
    if (it == m_entries.end() || &*it != shown || *it != before) return true;
    const size_t index = static_cast<size_t>(std::distance(m_entries.begin(), it));

    HotKeyEntry edited = dialog.m_entry;
    edited.builtin = it->builtin;   // the entry's, not the dialog's
    edited.enabled = it->enabled;   // its box may have changed while the dialog was open
    if (edited == *it) return true; // nothing changed: nothing is written

    const DeferredRefusals reportWhenDone(*this);

    if (edited.icon != it->icon || edited.iconint != it->iconint) {
        // A new pair rather than an overwritten one: other rows may show the old pair.
        const int image = AppendIconPair(edited.icon, edited.iconint);
        SetRowImage(row, image);
        if (index < m_entryImages.size()) m_entryImages[index] = image;
    }
    ChangeEntryHotKey(*it, edited.hotkey); // same id, whatever the on/off state
    // The id and state are what the system now holds: an entry that had no id has been
    // given one, and the dialog's copy knows of neither. The failure mark is the live
    // entry's too: a launch while the dialog was open may have set or cleared it.
    edited.id = it->id;
    edited.state = it->state;
    edited.launchError = it->launchError;
    *it = edited;

    SetRowTexts(row, edited);
    m_List.SetItemText(row, 0, ShownName(edited));
    m_List.RedrawItems(row, row);

    WriteListFile(m_strListFile);
    return true;
}

void CTarnwickDlg::OnAdd() {
    CRunInfo dialog(nullptr);
    if (RunDialog(dialog) == IDOK) AddEntry(dialog.m_entry);
}

// A built-in action is bound at most once: choosing it again only moves its hotkey.
void CTarnwickDlg::OnBuiltIn() {
    CAct dialog(nullptr);
    if (RunDialog(dialog) != IDOK) return;

    const DeferredRefusals reportWhenDone(*this);
    const EntryList::iterator it = FindEntryByPath(m_entries, dialog.m_strPath);
    if (it == m_entries.end()) {
        HotKeyEntry entry;
        entry.name = dialog.m_strName;
        entry.path = dialog.m_strPath;
        entry.icon = dialog.m_strIconFile;
        entry.iconint = dialog.m_nIconIndex;
        entry.hotkey = dialog.m_nHotKey;
        entry.keydes = dialog.m_strKeyDes;
        entry.info = kBuiltInNote;
        entry.workdir = kBuiltInWorkDir;
        entry.builtin = true;
        AddEntry(entry);
        return;
    }
    if (it->hotkey == dialog.m_nHotKey) return;

    // The row is found before the entry changes: its name and command still say which.
    const int row = FindRowOf(*it);
    ChangeEntryHotKey(*it, dialog.m_nHotKey);
    it->keydes = dialog.m_strKeyDes;
    if (row >= 0) m_List.SetItemText(row, 1, ShownKeyDescription(it->keydes));

    WriteListFile(m_strListFile);
}

void CTarnwickDlg::OnDelete() {
    const int row = m_List.GetSelectionMark();
    if (row == -1) return;
    if (!DeleteEntry(row))
        Message("Delete Nothing", kInformationCaption, MB_OK | MB_ICONINFORMATION);
}

void CTarnwickDlg::OnProperties() {
    const int row = m_List.GetSelectionMark();
    if (row == -1) return;
    if (!EditEntry(row))
        Message("Unexpect error.", kInformationCaption, MB_OK | MB_ICONINFORMATION);
}

void CTarnwickDlg::SetRowTexts(int row, const HotKeyEntry& entry) {
    m_List.SetItemText(row, 1, ShownKeyDescription(entry.keydes));
    m_List.SetItemText(row, 2, entry.path);
    m_List.SetItemText(row, 3, entry.workdir);
    m_List.SetItemText(row, 4, ShownNote(entry.info));
}

void CTarnwickDlg::InsertRow(int row, const HotKeyEntry& entry, int image) {
    m_List.InsertItem(row, ShownName(entry), image >= 0 ? image : I_IMAGENONE,
                      INDEXTOSTATEIMAGEMASK(entry.enabled ? 2 : 1),
                      reinterpret_cast<LPARAM>(&entry));
    // Some list views give every new row an empty box whatever it was inserted with.
    if (m_List.GetCheck(row) == entry.enabled) return;
    m_bSettingCheck = true;
    m_List.SetCheck(row, entry.enabled);
    m_bSettingCheck = false;
}

void CTarnwickDlg::OnRowCheckChanged(int row) {
    if (row < 0 || row >= m_List.GetItemCount()) return;
    const EntryList::iterator it = EntryOfRow(row);
    const bool checked = m_List.GetCheck(row);
    if (it == m_entries.end() || it->enabled == checked) return;
    const DeferredRefusals reportWhenDone(*this);
    SetEntryEnabled(*it, checked);
    WriteListFile(m_strListFile);
}

void CTarnwickDlg::SetRowImage(int row, int image) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image >= 0 ? image : I_IMAGENONE;
    m_List.SetItem(&item);
}

// The row showing this entry of the list. A label search by prefix and without regard to
// case could pick another entry's row ("关机" would match a program entry "关机助手"
// listed before it), and so could an exact one when two rows show the same texts.
int CTarnwickDlg::FindRowOf(const HotKeyEntry& entry) const {
    const int rows = m_List.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (m_List.GetItemData(row) == reinterpret_cast<LPARAM>(&entry)) return row;
    }
    return -1;
}
