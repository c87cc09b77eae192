#pragma once
// An image list owned by one object: created by Create, released exactly once, by
// Destroy or by the destructor. A list view that shares it (LVS_SHAREIMAGELISTS) does
// not release it; one that does not must be given it with Detach.

#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    CImageList() = default;
    ~CImageList() { Destroy(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    HIMAGELIST m_hImageList = nullptr;

    // Replaces a list this object already holds.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
        Destroy();
        m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    BOOL Destroy() {
        if (m_hImageList == nullptr) return FALSE;
        BOOL destroyed = ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
        return destroyed;
    }
    // Gives the list away; this object no longer releases it.
    HIMAGELIST Detach() {
        HIMAGELIST list = m_hImageList;
        m_hImageList = nullptr;
        return list;
    }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

    // Index -1 appends. The list keeps a copy; the caller still owns `icon`.
    int ReplaceIcon(int index, HICON icon) {
        return ::ImageList_ReplaceIcon(m_hImageList, index, icon);
    }
    int Add(HICON icon) { return ReplaceIcon(-1, icon); }
    COLORREF SetBkColor(COLORREF color) { return ::ImageList_SetBkColor(m_hImageList, color); }
    int GetImageCount() const { return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0; }
};
