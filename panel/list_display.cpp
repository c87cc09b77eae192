// The list view: its columns and image lists, refilling it from the entry list, clearing
// everything, and running a row.

#include "panel/tarnwick_dlg.h"

#include "engine/builtin_action.h"
#include "engine/launch_target.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/shell_icon.h"

#include <shellapi.h>

namespace {

struct Column {
    const char* heading;
    int width;
};

const Column kColumns[] = {
    {"程序名", 80}, {"快捷键", 80}, {"命令", 180}, {"工作目录", 80}, {"说明", 172},
};

const COLORREF kWhite = RGB(255, 255, 255);

} // namespace

bool CTarnwickDlg::InsertColumns() {
    for (int i = 0; i < static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0])); ++i)
        m_List.InsertColumn(i, kColumns[i].heading, LVCFMT_LEFT,
                            tw::ScaleForDpi(kColumns[i].width, GetDpi()), i);
    return true;
}

// Columns keep the share of the list a person gave them; the pictures get the sizes of
// the new DPI.
void CTarnwickDlg::OnDpiChanged(int oldDpi, int newDpi) {
    for (int i = 0; i < static_cast<int>(sizeof(kColumns) / sizeof(kColumns[0])); ++i) {
        const int width = static_cast<int>(m_List.SendMessage(LVM_GETCOLUMNWIDTH, i));
        m_List.SendMessage(LVM_SETCOLUMNWIDTH, i, ::MulDiv(width, newDpi, oldDpi));
    }
    RemakeImageLists();
}

// Fresh empty lists, attached to the view in place of any earlier ones.
void CTarnwickDlg::CreateImageLists() {
    m_List.SetImageList(nullptr, LVSIL_NORMAL);
    m_List.SetImageList(nullptr, LVSIL_SMALL);
    // The system's icon sizes: 32 and 16 at 96 DPI, larger on a high-DPI screen, where the
    // shell extracts the larger images that icon files hold.
    const int dpi = GetDpi();
    m_ImageLarge.Create(tw::MetricForDpi(SM_CXICON, dpi), tw::MetricForDpi(SM_CYICON, dpi),
                        ILC_COLOR24, 0, 0);
    m_ImageSmall.Create(tw::MetricForDpi(SM_CXSMICON, dpi), tw::MetricForDpi(SM_CYSMICON, dpi),
                        ILC_COLOR24, 0, 0);
    m_ImageLarge.SetBkColor(kWhite);
    m_ImageSmall.SetBkColor(kWhite);
    m_List.SetImageList(&m_ImageLarge, LVSIL_NORMAL);
    m_List.SetImageList(&m_ImageSmall, LVSIL_SMALL);
    m_entryImages.clear();
    m_iconPairs.clear();
}

// Rows name their pictures by index: each pair goes back to the index it had, and one
// whose file gives no icon any more stays blank rather than shift the others.
void CTarnwickDlg::RemakeImageLists() {
    const int count = m_ImageLarge.GetImageCount();
    const std::map<std::pair<std::string, int>, int> pairs = m_iconPairs;
    const std::vector<int> entryImages = m_entryImages;
    CreateImageLists();
    m_iconPairs = pairs;
    m_entryImages = entryImages;
    ImageList_SetImageCount(m_ImageLarge.GetSafeHandle(), static_cast<UINT>(count));
    ImageList_SetImageCount(m_ImageSmall.GetSafeHandle(), static_cast<UINT>(count));
    for (const auto& pair : m_iconPairs) {
        // Named as written (%NAME% and all), as the first extraction had it.
        HICON icon = ExtractFileIcon(pair.first.first, pair.first.second);
        if (icon == nullptr) continue;
        m_ImageLarge.ReplaceIcon(pair.second, icon);
        m_ImageSmall.ReplaceIcon(pair.second, icon);
        DestroyIcon(icon);
    }
    InvalidateRect(m_List.GetSafeHwnd(), nullptr, TRUE);
}

// A list of thousands of entries names a few dozen icons: each is extracted and copied
// into the image lists once, and every row that shows it shares that pair. No pair is
// ever changed after it was appended, so sharing cannot make one row show another's icon.
int CTarnwickDlg::AppendIconPair(const std::string& file, int index) {
    const auto key = std::make_pair(file, index);
    const auto known = m_iconPairs.find(key);
    if (known != m_iconPairs.end()) return known->second;
    const int image = ExtractIconPair(file, index);
    if (image >= 0) m_iconPairs.emplace(key, image);
    return image;
}

int CTarnwickDlg::ExtractIconPair(const std::string& file, int index) {
    HICON icon = ExtractFileIcon(file, index); // expands %NAME% in the file
    if (icon == nullptr) return -1;
    // Each list keeps its own copy (the small one reduced), so one handle serves both.
    int image = m_ImageLarge.ReplaceIcon(-1, icon);
    // Both lists must stay in step: an index names the same entry's icon in each.
    if (image >= 0 && m_ImageSmall.ReplaceIcon(-1, icon) != image) {
        ImageList_Remove(m_ImageLarge.GetSafeHandle(), image);
        image = -1;
    }
    DestroyIcon(icon);
    return image;
}

// A visible list view repaints after every row it is given: thousands of rows would cost
// thousands of repaints. Rows go in with drawing off and are painted once at the end.
bool CTarnwickDlg::ShowAll() {
    m_List.SendMessage(WM_SETREDRAW, FALSE);
    m_List.DeleteAllItems();
    m_List.SetImageList(&m_ImageLarge, LVSIL_NORMAL);
    m_List.SetImageList(&m_ImageSmall, LVSIL_SMALL);
    m_List.SendMessage(LVM_SETITEMCOUNT, m_entries.size(), LVSICF_NOINVALIDATEALL);
    int row = 0;
    for (const HotKeyEntry& entry : m_entries) {
        const int image = row < static_cast<int>(m_entryImages.size()) ? m_entryImages[row] : -1;
        InsertRow(row, entry, image);
        m_List.SetItemText(row, 1, entry.keydes);
        m_List.SetItemText(row, 2, entry.path);
        m_List.SetItemText(row, 3, entry.workdir);
        m_List.SetItemText(row, 4, entry.info);
        ++row;
    }
    m_List.SendMessage(WM_SETREDRAW, TRUE);
    InvalidateRect(m_List.GetSafeHwnd(), nullptr, TRUE);
    return true;
}

bool CTarnwickDlg::ClearAll() {
    RemoveAllEntries(); // unregisters every entry hotkey first
    m_List.DeleteAllItems();
    CreateImageLists();
    return true;
}

void CTarnwickDlg::OnClear() {
    if (Message("你真的要删除设置的所有快捷键吗?", "Are You Sure?", MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        ClearAll();
}

void CTarnwickDlg::RunSelected() {
    RunRow(m_List.GetSelectionMark());
}

// Works from the row's texts, as it always has: its note decides whether the command is
// a built-in action. The entry the row shows adds what no column holds, its arguments and
// elevation, so the row starts as its hotkey would.
void CTarnwickDlg::RunRow(int row) {
    if (row < 0 || row >= m_List.GetItemCount()) return;
    HotKeyEntry entry;
    const EntryList::const_iterator it = EntryOfRow(row);
    if (it != m_entries.end()) entry = *it;
    entry.path = m_List.GetItemText(row, 2);
    entry.workdir = m_List.GetItemText(row, 3);
    entry.builtin = m_List.GetItemText(row, 4) == kBuiltInNote;
    if (it != m_entries.end() && it->path != entry.path) {
        entry.args.clear();
        entry.runas = false;
    }
    LaunchAndRecord(entry, false);
}
