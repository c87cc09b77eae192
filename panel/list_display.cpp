// The list view: its columns and image lists, refilling it from the entry list, clearing
// everything, and running a row.

#include "panel/tarnwick_dlg.h"

#include "engine/builtin_action.h"
#include "engine/entry_filter.h"
#include "engine/launch_target.h"
#include "engine/shown_text.h"
#include "platform/ui_text.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/shell_icon.h"

#include <shellapi.h>

namespace {

// Widths at 96 DPI of the columns, whose headings are IDS_HEADINGS in turn.
const int kColumnWidths[] = {80, 80, 180, 80, 172};
const int kColumnCount = static_cast<int>(sizeof(kColumnWidths) / sizeof(kColumnWidths[0]));

const COLORREF kWhite = RGB(255, 255, 255);

// Appends a picture of the list's size in white, the lists' background; its index or -1.
int AddBlankImage(HIMAGELIST list) {
    int cx = 0, cy = 0;
    if (!ImageList_GetIconSize(list, &cx, &cy)) return -1;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    HDC dc = CreateCompatibleDC(screen);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all = {0, 0, cx, cy};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    const int image = bitmap != nullptr ? ImageList_Add(list, bitmap, nullptr) : -1;
    if (bitmap != nullptr) DeleteObject(bitmap);
    return image;
}

} // namespace

bool CTarnwickDlg::InsertColumns() {
    const std::vector<std::string> headings = tw::UiTextList(IDS_HEADINGS);
    for (int i = 0; i < kColumnCount; ++i)
        m_List.InsertColumn(i, i < static_cast<int>(headings.size()) ? headings[i] : std::string(),
                            LVCFMT_LEFT, tw::ScaleForDpi(kColumnWidths[i], GetDpi()), i);
    return true;
}

// Columns keep the share of the list a person gave them; the pictures get the sizes of
// the new DPI.
void CTarnwickDlg::OnDpiChanged(int oldDpi, int newDpi) {
    for (int i = 0; i < kColumnCount; ++i) {
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
    m_pendingIcons.clear();
    KillTimer(m_hWnd, kIconTimerId);
}

// Rows name their pictures by index: each pair goes back to the index it had, and one
// whose file gives no icon any more stays blank rather than shift the others.
void CTarnwickDlg::RemakeImageLists() {
    ExtractPendingIcons(INFINITE); // every pair final, so each keeps its index
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

// A placeholder pair: a blank picture in each list, in the lists' background colour, which
// is what an icon's own transparent parts show.
int CTarnwickDlg::ReserveIconPair(const std::string& file, int index) {
    const auto key = std::make_pair(file, index);
    const auto known = m_iconPairs.find(key);
    if (known != m_iconPairs.end()) return known->second;
    const int image = AddBlankImage(m_ImageLarge.GetSafeHandle());
    if (image < 0) return -1;
    if (AddBlankImage(m_ImageSmall.GetSafeHandle()) != image) {
        ImageList_Remove(m_ImageLarge.GetSafeHandle(), image);
        return -1;
    }
    m_iconPairs.emplace(key, image);
    if (m_pendingIcons.empty()) SetTimer(m_hWnd, kIconTimerId, USER_TIMER_MINIMUM, nullptr);
    m_pendingIcons.push_back(key);
    return image;
}

// Timer messages come only when nothing else waits, after the panel's paint: the rows
// are on screen first, and the user's input goes before each turn.
void CTarnwickDlg::ExtractPendingIcons(DWORD budgetMs) {
    const DWORD start = GetTickCount();
    while (!m_pendingIcons.empty()) {
        ExtractNextPendingIcon();
        if (budgetMs != INFINITE && GetTickCount() - start >= budgetMs) break;
    }
    if (m_pendingIcons.empty()) KillTimer(m_hWnd, kIconTimerId);
}

void CTarnwickDlg::ExtractNextPendingIcon() {
    const auto key = m_pendingIcons.front();
    m_pendingIcons.pop_front();
    const auto pair = m_iconPairs.find(key);
    if (pair == m_iconPairs.end()) return;
    const int image = pair->second;
    HICON icon = ExtractFileIcon(key.first, key.second); // expands %NAME% in the file
    if (icon == nullptr) {
        m_iconPairs.erase(pair); // a later command asks the file afresh
        DropIconPair(image);
        return;
    }
    m_ImageLarge.ReplaceIcon(image, icon);
    m_ImageSmall.ReplaceIcon(image, icon);
    DestroyIcon(icon);
    RedrawRowsShowing(image);
}

void CTarnwickDlg::DropIconPair(int image) {
    RepointRows(image, -1);
    HIMAGELIST large = m_ImageLarge.GetSafeHandle();
    HIMAGELIST small = m_ImageSmall.GetSafeHandle();
    const int last = ImageList_GetImageCount(large) - 1;
    if (image != last) {
        // A pair still waiting for its icon moves as it is and is filled at its new place.
        ImageList_Copy(large, image, large, last, ILCF_MOVE);
        ImageList_Copy(small, image, small, last, ILCF_MOVE);
        for (auto& known : m_iconPairs)
            if (known.second == last) known.second = image;
        RepointRows(last, image);
    }
    ImageList_Remove(large, last);
    ImageList_Remove(small, last);
}

int CTarnwickDlg::RowImageIndex(int row) const {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    return m_List.GetItem(&item) ? item.iImage : I_IMAGENONE;
}

void CTarnwickDlg::RepointRows(int from, int to) {
    for (int& image : m_entryImages)
        if (image == from) image = to;
    const int rows = m_List.GetItemCount();
    for (int row = 0; row < rows; ++row)
        if (RowImageIndex(row) == from) SetRowImage(row, to);
}

void CTarnwickDlg::RedrawRowsShowing(int image) {
    const DWORD view = m_List.GetStyle() & LVS_TYPEMASK;
    if (view == LVS_ICON || view == LVS_SMALLICON) {
        // Rows stand anywhere in the icon views; only the part on screen is painted.
        InvalidateRect(m_List.GetSafeHwnd(), nullptr, TRUE);
        return;
    }
    const int rows = m_List.GetItemCount();
    const int top = static_cast<int>(m_List.SendMessage(LVM_GETTOPINDEX));
    const int shown = static_cast<int>(m_List.SendMessage(LVM_GETCOUNTPERPAGE));
    for (int row = top; row < rows && row <= top + shown; ++row)
        if (RowImageIndex(row) == image) m_List.RedrawItems(row, row);
}

// A visible list view repaints after every row it is given: thousands of rows would cost
// thousands of repaints. Rows go in with drawing off and are painted once at the end.
bool CTarnwickDlg::ShowAll() {
    m_List.SendMessage(WM_SETREDRAW, FALSE);
    m_List.DeleteAllItems();
    m_List.SetImageList(&m_ImageLarge, LVSIL_NORMAL);
    m_List.SetImageList(&m_ImageSmall, LVSIL_SMALL);
    m_List.SendMessage(LVM_SETITEMCOUNT, m_entries.size(), LVSICF_NOINVALIDATEALL);
    // The list gives every new row an empty box whatever it was inserted with. Setting
    // each again would cost a call and two notices per row: all are checked in one call,
    // and only the switched-off ones are cleared.
    m_bSettingCheck = true;
    std::vector<const HotKeyEntry*> shown;
    size_t index = 0;
    for (const HotKeyEntry& entry : m_entries) {
        const int image = index < m_entryImages.size() ? m_entryImages[index] : -1;
        ++index;
        if (!EntryMatches(entry, m_strFilter)) continue;
        const int row = static_cast<int>(shown.size());
        m_List.InsertItem(row, ShownName(entry), image >= 0 ? image : I_IMAGENONE, 0,
                          reinterpret_cast<LPARAM>(&entry));
        SetRowTexts(row, entry);
        shown.push_back(&entry);
    }
    if (!shown.empty()) m_List.SetCheck(-1, true);
    for (size_t row = 0; row < shown.size(); ++row)
        if (!shown[row]->enabled) m_List.SetCheck(static_cast<int>(row), false);
    m_bSettingCheck = false;
    m_nTipRow = -2; // the row under the pointer may show another entry now
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
    std::string question = tw::UiText(IDS_CLEAR_QUESTION);
    // Clear takes the rows the search box hides too.
    const int hidden = static_cast<int>(m_entries.size()) - m_List.GetItemCount();
    if (!m_strFilter.empty() && hidden > 0)
        question += "\r\n\r\n" + tw::UiText(IDS_CLEAR_HIDDEN, {std::to_string(hidden)});
    if (Message(question, "Are You Sure?", MB_YESNO | MB_ICONQUESTION) == IDYES) ClearAll();
}

// Typing on narrows what the list shows: the rows that no longer match leave, which costs
// far less than filling the list anew, and a keystroke that changes nothing costs nothing.
void CTarnwickDlg::OnSearchChanged() {
    m_strFilter = CWnd::WindowText(::GetDlgItem(m_hWnd, IDC_EDIT_SEARCH));
    const int rows = m_List.GetItemCount();
    std::vector<int> leaving;
    EntryList::const_iterator next = m_entries.begin();
    for (int row = 0; row < rows; ++row) {
        const auto* shown = reinterpret_cast<const HotKeyEntry*>(m_List.GetItemData(row));
        // The next entry to show, in list order, must be this row's, or the row leaves.
        while (next != m_entries.end() && !EntryMatches(*next, m_strFilter)) ++next;
        if (next != m_entries.end() && &*next == shown) {
            ++next;
            continue;
        }
        if (shown != nullptr && EntryMatches(*shown, m_strFilter)) {
            ShowAll(); // an entry that matches now has no row: the list is filled anew
            return;
        }
        leaving.push_back(row);
    }
    while (next != m_entries.end() && !EntryMatches(*next, m_strFilter)) ++next;
    if (next != m_entries.end()) {
        ShowAll();
        return;
    }
    if (leaving.empty()) return;
    m_List.SendMessage(WM_SETREDRAW, FALSE);
    for (auto row = leaving.rbegin(); row != leaving.rend(); ++row)
        m_List.DeleteItem(*row);
    m_nTipRow = -2;
    m_List.SendMessage(WM_SETREDRAW, TRUE);
    InvalidateRect(m_List.GetSafeHwnd(), nullptr, TRUE);
}

bool CTarnwickDlg::PreTranslateSearchKey(const MSG* msg) {
    // Keys for the panel or one of its controls, not for a dialog it opened.
    if (msg->message != WM_KEYDOWN ||
        (msg->hwnd != m_hWnd && ::GetParent(msg->hwnd) != m_hWnd))
        return false;
    HWND search = ::GetDlgItem(m_hWnd, IDC_EDIT_SEARCH);
    if (msg->wParam == 'F' && (::GetKeyState(VK_CONTROL) & 0x8000) != 0 &&
        (::GetKeyState(VK_MENU) & 0x8000) == 0) {
        ::SetFocus(search);
        ::SendMessageW(search, EM_SETSEL, 0, -1);
        return true;
    }
    // Esc anywhere else hides the panel, as it always has.
    if (msg->wParam == VK_ESCAPE && msg->hwnd == search && !m_strFilter.empty()) {
        ::SetWindowTextW(search, L"");
        return true;
    }
    return false;
}

void CTarnwickDlg::RunSelected() {
    RunRow(m_List.GetSelectionMark());
}

// Works from the row's texts, as it always has: its note decides whether the command is
// a built-in action. The entry the row shows adds what no column holds (its arguments,
// elevation and launch choices), so the row starts as its hotkey would.
void CTarnwickDlg::RunRow(int row) {
    if (row < 0 || row >= m_List.GetItemCount()) return;
    HotKeyEntry entry;
    const EntryList::const_iterator it = EntryOfRow(row);
    if (it != m_entries.end()) entry = *it;
    entry.path = m_List.GetItemText(row, 2);
    entry.workdir = m_List.GetItemText(row, 3);
    entry.builtin = IsBuiltInNoteShown(m_List.GetItemText(row, 4));
    if (it != m_entries.end() && it->path != entry.path) {
        entry.args.clear();
        entry.runas = false;
        entry.show = tw::WindowShow::Normal;
        entry.ifRunning = IfRunning::StartAnother;
    }
    LaunchAndRecord(entry, false);
}
