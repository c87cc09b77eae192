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
    InsertRow(row, std::prev(m_entries.end()), image);

    WriteListFile(m_strListFile);
    return true;
}

bool CTarnwickDlg::DeleteEntry(int row) {
    const EntryList::iterator it = EntryOfRow(row);
    if (it == m_entries.end()) return false;
    const size_t index = static_cast<size_t>(std::distance(m_entries.begin(), it));

    // The row goes first: no row may name an entry that has left the list.
    m_rows.erase(m_rows.begin() + row);
    m_wantedBoxes.erase(&*it);
    if (m_pressedBox == &*it) m_pressedBox = nullptr;
    m_List.DeleteItem(row); // the selection, focus and mark move up as with stored rows
    m_nTipRow = -2;
    RemoveEntry(it); // unregisters it whatever the on/off state, then removes it
    if (index < m_entryImages.size())
        m_entryImages.erase(m_entryImages.begin() + static_cast<std::ptrdiff_t>(index));
    // The pair stays in the image lists, shown by no row.

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
    if (row >= 0) SetRowTexts(row, *it);

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

void CTarnwickDlg::SetRowTexts(int row, const HotKeyEntry&) {
    m_List.RedrawItems(row, row);
}

void CTarnwickDlg::InsertRow(int row, EntryList::iterator entry, int image) {
    m_rows.insert(m_rows.begin() + row, {entry, image});
    m_List.SendMessage(LVM_SETITEMCOUNT, m_rows.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    m_List.RedrawItems(row, static_cast<int>(m_rows.size()) - 1);
}

bool CTarnwickDlg::RowChecked(int row) const {
    const HotKeyEntry* entry = RowEntry(row);
    if (entry == nullptr) return false;
    const auto wanted = m_wantedBoxes.find(entry);
    return wanted != m_wantedBoxes.end() ? wanted->second : entry->enabled;
}

// The list keeps no box of its own: the row shows the wish at once, and the entry follows
// it from the posted kRowCheckChanged. Asking again for what the box shows changes nothing.
void CTarnwickDlg::WantRowChecked(int row, bool checked) {
    const HotKeyEntry* entry = RowEntry(row);
    if (entry == nullptr || RowChecked(row) == checked) return;
    m_wantedBoxes[entry] = checked;
    // A list that turns the pressed box itself has done this press's turn: the click
    // notice that follows changes nothing more.
    if (entry == m_pressedBox) m_bPressedBoxTurned = true;
    m_List.RedrawItems(row, row);
    PostMessage(kRowCheckChanged, 0, reinterpret_cast<LPARAM>(entry));
}

void CTarnwickDlg::OnBoxClicked(const NMITEMACTIVATE* click) {
    LVHITTESTINFO hit = {};
    hit.pt = click->ptAction;
    const int row =
        static_cast<int>(m_List.SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row < 0 || (hit.flags & LVHT_ONITEMSTATEICON) == 0) return;
    // One press turns the box once, however many of the click notices it brings (a
    // second press of a double click brings a click and a double click on some lists).
    const HotKeyEntry* entry = RowEntry(row);
    if (m_bPressedBoxTurned && m_pressedBox == entry) return;
    m_pressedBox = entry;
    m_bPressedBoxTurned = true;
    WantRowChecked(row, !RowChecked(row));
}

void CTarnwickDlg::OnBoxKey() {
    const std::vector<std::pair<const HotKeyEntry*, bool>> keyed = std::move(m_keyedBoxes);
    m_keyedBoxes.clear();
    for (const auto& box : keyed) {
        const int row = FindRowOf(*box.first); // compares addresses only
        if (row >= 0) WantRowChecked(row, !box.second);
    }
}

void CTarnwickDlg::OnRowCheckChanged(int row) {
    ApplyWantedBox(RowEntry(row));
}

void CTarnwickDlg::ApplyWantedBox(const HotKeyEntry* shown) {
    const auto wanted = m_wantedBoxes.find(shown);
    if (wanted == m_wantedBoxes.end()) return;
    const bool checked = wanted->second;
    m_wantedBoxes.erase(wanted);
    // Found by address among the entries: one deleted meanwhile is never touched.
    for (HotKeyEntry& entry : m_entries) {
        if (&entry != shown) continue;
        if (entry.enabled == checked) return;
        const DeferredRefusals reportWhenDone(*this);
        SetEntryEnabled(entry, checked);
        WriteListFile(m_strListFile);
        return;
    }
}

void CTarnwickDlg::SetRowImage(int row, int image) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
    m_rows[row].image = image;
    m_List.RedrawItems(row, row);
}

// The row showing this entry of the list, found by its address: two rows may show the
// same texts, and a name may begin another's ("关机" and a program entry "关机助手").
int CTarnwickDlg::FindRowOf(const HotKeyEntry& entry) const {
    for (size_t row = 0; row < m_rows.size(); ++row)
        if (&*m_rows[row].entry == &entry) return static_cast<int>(row);
    return -1;
}
