#pragma once
// Control wrappers: one-line forwarders over the controls' messages, in the program's UTF-8 text.
// Bind them to a dialog's controls with DDX_Control.

#include "ui/image_list.h"
#include "ui/wnd.h"

#include <commctrl.h>

#include <string>
#include <vector>

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CStatic : public CWnd {
public:
    // Returns the icon shown before; the caller keeps owning both.
    HICON SetIcon(HICON icon) {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
    HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};

class CHotKeyCtrl : public CWnd {
public:
    // The hotkey code: low byte the virtual key, next byte the HOTKEYF_ flags; 0 none.
    DWORD GetHotKey() const { return static_cast<DWORD>(SendMessage(HKM_GETHOTKEY)) & 0xFFFF; }
    void SetHotKey(DWORD code) { SendMessage(HKM_SETHOTKEY, code & 0xFFFF); }
};

class CComboBox : public CWnd {
public:
    int AddString(const std::string& text) {
        const std::wstring wide = Widen(text);
        return static_cast<int>(
            SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str())));
    }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    std::string GetLBText(int index) const {
        LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (length == CB_ERR || length <= 0) return std::string();
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
        LRESULT copied = SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(buffer.data()));
        return copied == CB_ERR ? std::string()
                                : Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(copied)));
    }
};

class CListCtrl : public CWnd {
public:
    int InsertColumn(int column, const std::string& heading, int format = LVCFMT_LEFT,
                     int width = -1, int subItem = -1) {
        std::wstring text = Widen(heading);
        LVCOLUMNW col = {};
        col.mask = LVCF_FMT | LVCF_TEXT | (width >= 0 ? LVCF_WIDTH : 0) |
                   (subItem >= 0 ? LVCF_SUBITEM : 0);
        col.fmt = format;
        col.cx = width;
        col.pszText = text.data();
        col.iSubItem = subItem;
        return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
                                            reinterpret_cast<LPARAM>(&col)));
    }
    // An item with a label and an image index (I_IMAGENONE for none); returns its index.
    // `stateImage` (INDEXTOSTATEIMAGEMASK) other than 0 gives its check box at once, and
    // `data` is the value the item carries for its owner (GetItemData).
    int InsertItem(int item, const std::string& label, int image, UINT stateImage = 0,
                   LPARAM data = 0) {
        std::wstring text = Widen(label);
        LVITEMW lvi = {};
        lvi.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | (stateImage != 0 ? LVIF_STATE : 0);
        lvi.iItem = item;
        lvi.pszText = text.data();
        lvi.iImage = image;
        lvi.lParam = data;
        lvi.state = stateImage;
        lvi.stateMask = stateImage != 0 ? LVIS_STATEIMAGEMASK : 0;
        return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lvi)));
    }
    // An item's check box (LVS_EX_CHECKBOXES).
    bool GetCheck(int item) const {
        return (SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK) &
                LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    }
    BOOL SetCheck(int item, bool checked) {
        LVITEMW lvi = {};
        lvi.stateMask = LVIS_STATEIMAGEMASK;
        lvi.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
        return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item),
                                             reinterpret_cast<LPARAM>(&lvi)));
    }
    BOOL GetItem(LVITEMW* item) const {
        return static_cast<BOOL>(SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItem(const LVITEMW* item) {
        return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item)));
    }
    BOOL SetItemText(int item, int subItem, const std::string& text) {
        std::wstring wide = Widen(text);
        LVITEMW lvi = {};
        lvi.iSubItem = subItem;
        lvi.pszText = wide.data();
        return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item),
                                             reinterpret_cast<LPARAM>(&lvi)));
    }
    std::string GetItemText(int item, int subItem) const;
    BOOL DeleteItem(int item) {
        return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)));
    }
    BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }
    int SetSelectionMark(int item) {
        return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, item));
    }
    // `type` is LVSIL_NORMAL or LVSIL_SMALL; returns the list attached before.
    HIMAGELIST SetImageList(CImageList* list, int type) {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(type),
                        reinterpret_cast<LPARAM>(list ? list->m_hImageList : nullptr)));
    }
    HIMAGELIST GetImageList(int type) const {
        return reinterpret_cast<HIMAGELIST>(
            SendMessage(LVM_GETIMAGELIST, static_cast<WPARAM>(type)));
    }
    // Searches after `start` (-1: from the first item); LVFI_PARTIAL matches label
    // beginnings, without regard to case.
    int FindItem(const LVFINDINFOW* info, int start = -1) const {
        return static_cast<int>(
            SendMessage(LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(info)));
    }
    BOOL RedrawItems(int first, int last) {
        return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last));
    }
    DWORD SetExtendedStyle(DWORD style) {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
    }
    DWORD GetExtendedStyle() const {
        return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE));
    }
    // The value an item carries for its owner; 0 when it has none.
    BOOL SetItemData(int item, LPARAM data) {
        LVITEM lvi = {};
        lvi.mask = LVIF_PARAM;
        lvi.iItem = item;
        lvi.lParam = data;
        return static_cast<BOOL>(SendMessage(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&lvi)));
    }
    LPARAM GetItemData(int item) const {
        LVITEM lvi = {};
        lvi.mask = LVIF_PARAM;
        lvi.iItem = item;
        return SendMessage(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&lvi)) ? lvi.lParam : 0;
    }
    // One of LVS_ICON, LVS_REPORT, LVS_SMALLICON, LVS_LIST; items and columns stay.
    void SetView(DWORD viewStyle) { ModifyStyle(LVS_TYPEMASK, viewStyle & LVS_TYPEMASK); }
};
