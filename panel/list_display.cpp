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

#include <algorithm>

namespace {

// Widths at 96 DPI of the columns, whose headings are IDS_HEADINGS in turn.
const int kColumnWidths[] = {80, 80, 180, 80, 172};
const int kColumnCount = static_cast<int>(sizeof(kColumnWidths) / sizeof(kColumnWidths[0]));

const COLORREF kWhite = RGB(255, 255, 255);

// White pictures of the sizes in use, the lists' background, made once each: making one
// takes round trips to the screen, and a list that names a few dozen icons reserves a
// placeholder pair for each of them as it is read.
class BlankPictures {
public:
    BlankPictures() = default;
    BlankPictures(const BlankPictures&) = delete;
    BlankPictures& operator=(const BlankPictures&) = delete;
    ~BlankPictures() {
        for (const Slot& slot : m_slots)
            if (slot.bitmap != nullptr) DeleteObject(slot.bitmap);
    }

    // Null when none can be made. Two sizes are kept (the large and the small icons); a
    // third, after a move to another DPI, takes the place of the one used longest ago.
    HBITMAP Of(int cx, int cy) {
        for (Slot& slot : m_slots)
            if (slot.bitmap != nullptr && slot.cx == cx && slot.cy == cy) {
                slot.used = ++m_uses;
                return slot.bitmap;
            }
        Slot& slot = m_slots[0].used <= m_slots[1].used ? m_slots[0] : m_slots[1];
        if (slot.bitmap != nullptr) DeleteObject(slot.bitmap);
        slot = {cx, cy, Make(cx, cy), ++m_uses};
        return slot.bitmap;
    }

private:
    struct Slot {
        int cx = 0, cy = 0;
        HBITMAP bitmap = nullptr;
        unsigned used = 0;
    };

    static HBITMAP Make(int cx, int cy) {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
        HDC dc = CreateCompatibleDC(screen);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        const RECT all = {0, 0, cx, cy};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return bitmap;
    }

    Slot m_slots[2];
    unsigned m_uses = 0;
};

// Appends a picture of the list's size in white; its index or -1. The list keeps a copy.
int AddBlankImage(HIMAGELIST list) {
    static BlankPictures blanks;
    int cx = 0, cy = 0;
    if (!ImageList_GetIconSize(list, &cx, &cy)) return -1;
    HBITMAP bitmap = blanks.Of(cx, cy);
    return bitmap != nullptr ? ImageList_Add(list, bitmap, nullptr) : -1;
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
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || m_rows[row].image < 0)
        return I_IMAGENONE;
    return m_rows[row].image;
}

void CTarnwickDlg::RepointRows(int from, int to) {
    for (int& image : m_entryImages)
        if (image == from) image = to;
    for (ShownRow& row : m_rows)
        if (row.image == from) row.image = to;
    // Painted by whoever changed the pair's picture, as for every row showing it.
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

// The list holds only the number of rows: it asks for what it draws (OnGetRowInfo), so a
// list of thousands costs no more to show than the rows on screen.
bool CTarnwickDlg::ShowAll() {
    m_List.SetImageList(&m_ImageLarge, LVSIL_NORMAL);
    m_List.SetImageList(&m_ImageSmall, LVSIL_SMALL);
    RefillRows(false);
    return true;
}

// The list works out its rows' sizes and its scroll bars at its first paint, and a scroll
// bar it sets while shown is drawn there and then: a list long enough for the vertical bar
// gets the horizontal one too (the columns fill it exactly), and that first paint drew the
// pair twice over before drawing it once more for real, as long as the rows on screen took
// under Wine. Filled hidden and printed once into a memory picture, the list has done that
// work unseen, and its first paint on screen draws each bar once.
void CTarnwickDlg::ShowAllBeforeFirstPaint() {
    HWND list = m_List.GetSafeHwnd();
    const bool shown = (GetWindowLongW(list, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown) ::ShowWindow(list, SW_HIDE);
    ShowAll();
    if (!m_rows.empty()) {
        HDC screen = GetDC(list);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP picture = CreateCompatibleBitmap(screen, 1, 1);
        const HGDIOBJ old = SelectObject(dc, picture);
        m_List.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        SelectObject(dc, old);
        DeleteObject(picture);
        DeleteDC(dc);
        ReleaseDC(list, screen);
    }
    if (shown) ::ShowWindow(list, SW_SHOWNA);
}

void CTarnwickDlg::RefillRows(bool keepPlace) {
    // The selection belongs to a row number in a list without rows of its own: it is
    // carried over to the entry's new row, or dropped when the entry is no longer shown.
    const HotKeyEntry* selected = nullptr;
    const HotKeyEntry* focused = nullptr;
    const HotKeyEntry* marked = nullptr;
    if (keepPlace) {
        selected = RowEntry(static_cast<int>(m_List.SendMessage(LVM_GETNEXTITEM, -1, LVNI_SELECTED)));
        focused = RowEntry(static_cast<int>(m_List.SendMessage(LVM_GETNEXTITEM, -1, LVNI_FOCUSED)));
        marked = RowEntry(m_List.GetSelectionMark());
    }
    m_rows.clear();
    size_t index = 0;
    for (EntryList::iterator it = m_entries.begin(); it != m_entries.end(); ++it, ++index) {
        if (!EntryMatches(*it, m_strFilter)) continue;
        m_rows.push_back({it, index < m_entryImages.size() ? m_entryImages[index] : -1});
    }
    m_List.SendMessage(WM_SETREDRAW, FALSE);
    if (keepPlace) {
        LVITEMW none = {};
        none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        m_List.SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
        m_List.SendMessage(LVM_SETITEMCOUNT, m_rows.size(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    } else {
        m_List.SendMessage(LVM_SETITEMCOUNT, 0, 0); // scrolled back to the top, nothing selected
        m_List.SendMessage(LVM_SETITEMCOUNT, m_rows.size(), LVSICF_NOINVALIDATEALL);
    }
    m_List.SetSelectionMark(-1);
    if (keepPlace) {
        const int focusRow = focused != nullptr ? FindRowOf(*focused) : -1;
        const int selectRow = selected != nullptr ? FindRowOf(*selected) : -1;
        if (focusRow >= 0) {
            LVITEMW focus = {};
            focus.stateMask = focus.state = LVIS_FOCUSED;
            m_List.SendMessage(LVM_SETITEMSTATE, focusRow, reinterpret_cast<LPARAM>(&focus));
        }
        if (selectRow >= 0) {
            LVITEMW select = {};
            select.stateMask = select.state = LVIS_SELECTED;
            m_List.SendMessage(LVM_SETITEMSTATE, selectRow, reinterpret_cast<LPARAM>(&select));
        }
        m_List.SetSelectionMark(marked != nullptr ? FindRowOf(*marked) : -1);
    }
    m_nTipRow = -2; // the row under the pointer may show another entry now
    m_List.SendMessage(WM_SETREDRAW, TRUE);
    InvalidateRect(m_List.GetSafeHwnd(), nullptr, TRUE);
}

void CTarnwickDlg::OnGetRowInfo(NMLVDISPINFOW* info) const {
    LVITEMW& item = info->item;
    const HotKeyEntry* entry = RowEntry(item.iItem);
    if (entry == nullptr) return;
    if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
        std::string text;
        switch (item.iSubItem) {
        case 0: text = ShownName(*entry); break;
        case 1: text = ShownKeyDescription(entry->keydes); break;
        case 2: text = entry->path; break;
        case 3: text = entry->workdir; break;
        case 4: text = ShownNote(entry->info); break;
        default: break;
        }
        lstrcpynW(item.pszText, Widen(text).c_str(), item.cchTextMax);
    }
    if ((item.mask & LVIF_IMAGE) != 0) item.iImage = RowImageIndex(item.iItem);
    if ((item.mask & LVIF_STATE) != 0 && (item.stateMask & LVIS_STATEIMAGEMASK) != 0) {
        item.state &= ~LVIS_STATEIMAGEMASK;
        item.state |= INDEXTOSTATEIMAGEMASK(RowChecked(item.iItem) ? 2 : 1);
    }
}

// As a list that holds its rows does it: the typed beginning of a name, without regard to
// case, from the row after the start onwards and round again from the top.
int CTarnwickDlg::FindRowByName(const NMLVFINDITEMW* find) const {
    const LVFINDINFOW& info = find->lvfi;
    const int rows = static_cast<int>(m_rows.size());
    if ((info.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || info.psz == nullptr || rows == 0)
        return -1;
    const std::wstring wanted = info.psz;
    const bool partial = (info.flags & LVFI_PARTIAL) != 0;
    const int start = find->iStart < 0 || find->iStart >= rows ? 0 : find->iStart;
    for (int i = 0; i < rows; ++i) {
        const int row = (start + i) % rows;
        if (i > 0 && row == 0 && (info.flags & LVFI_WRAP) == 0 && start != 0) break;
        const std::wstring name = Widen(ShownName(*m_rows[row].entry));
        if (partial && name.size() < wanted.size()) continue;
        const int length = static_cast<int>(partial ? wanted.size() : std::max(name.size(), wanted.size()));
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(),
                           std::min(length, static_cast<int>(name.size())), wanted.c_str(),
                           std::min(length, static_cast<int>(wanted.size()))) == CSTR_EQUAL)
            return row;
    }
    return -1;
}

bool CTarnwickDlg::ClearAll() {
    m_rows.clear();
    m_wantedBoxes.clear();
    m_pressedBox = nullptr;
    m_keyedBoxes.clear();
    m_List.SendMessage(LVM_SETITEMCOUNT, 0, 0);
    RemoveAllEntries(); // unregisters every entry hotkey first
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

// Each keystroke works out the shown rows anew and hands the list their number; the
// selected entry stays selected while it is shown. A keystroke that changes nothing costs
// nothing.
void CTarnwickDlg::OnSearchChanged() {
    m_strFilter = CWnd::WindowText(::GetDlgItem(m_hWnd, IDC_EDIT_SEARCH));
    size_t row = 0;
    bool same = true;
    for (EntryList::iterator it = m_entries.begin(); it != m_entries.end() && same; ++it) {
        if (!EntryMatches(*it, m_strFilter)) continue;
        same = row < m_rows.size() && m_rows[row].entry == it;
        ++row;
    }
    if (same && row == m_rows.size()) return;
    RefillRows(true);
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

// Starts the row's entry as its hotkey would, arguments, elevation and launch choices
// included. The note the row shows decides whether the command is a built-in action.
void CTarnwickDlg::RunRow(int row) {
    const EntryList::const_iterator it = EntryOfRow(row);
    if (it == m_entries.end()) return;
    HotKeyEntry entry = *it;
    entry.builtin = IsBuiltInNoteShown(ShownNote(entry.info));
    LaunchAndRecord(entry, false);
}
