#pragma once
// A ledger of the icons and image lists the program's own code takes from the system and
// gives back, kept by hooks on its imports while a test holds a HandleLedgerScope: every
// extracted icon and every created image list must be released exactly once, and a release
// of something not held (a second release, or one of a handle the program never got) is
// counted as a fault.

#include "import_hook.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <set>

struct HandleLedger {
    std::set<HICON> icons; // extracted, not yet released
    int extracted = 0;
    int iconReleases = 0;
    int strayIconReleases = 0;
    std::set<HIMAGELIST> lists; // created, not yet released
    int listsCreated = 0;
    int listReleases = 0;
    int strayListReleases = 0;
};

// The process's GDI and USER object counts where the system reports them; Wine answers 0.
struct GuiCounts {
    DWORD gdi = 0;
    DWORD user = 0;
    bool Reported() const { return gdi != 0 || user != 0; }
    bool operator==(const GuiCounts& other) const { return gdi == other.gdi && user == other.user; }
};

inline GuiCounts CurrentGuiCounts() {
    return {::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS),
            ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)};
}

namespace ledger_detail {

inline HandleLedger* g_ledger = nullptr;
inline ImportHook* g_extract = nullptr;
inline ImportHook* g_destroyIcon = nullptr;
inline ImportHook* g_createList = nullptr;
inline ImportHook* g_destroyList = nullptr;

inline HICON WINAPI ExtractIconHook(HINSTANCE instance, LPCWSTR file, UINT index) {
    using Fn = HICON(WINAPI*)(HINSTANCE, LPCWSTR, UINT);
    HICON icon = reinterpret_cast<Fn>(g_extract->Original())(instance, file, index);
    // 1 says "no program, library or icon file": nothing to release.
    if (icon != nullptr && icon != reinterpret_cast<HICON>(1)) {
        g_ledger->icons.insert(icon);
        ++g_ledger->extracted;
    }
    return icon;
}

inline BOOL WINAPI DestroyIconHook(HICON icon) {
    using Fn = BOOL(WINAPI*)(HICON);
    if (g_ledger->icons.erase(icon) == 1)
        ++g_ledger->iconReleases;
    else
        ++g_ledger->strayIconReleases;
    return reinterpret_cast<Fn>(g_destroyIcon->Original())(icon);
}

inline HIMAGELIST WINAPI CreateListHook(int cx, int cy, UINT flags, int initial, int grow) {
    using Fn = HIMAGELIST(WINAPI*)(int, int, UINT, int, int);
    HIMAGELIST list = reinterpret_cast<Fn>(g_createList->Original())(cx, cy, flags, initial, grow);
    if (list != nullptr) {
        g_ledger->lists.insert(list);
        ++g_ledger->listsCreated;
    }
    return list;
}

inline BOOL WINAPI DestroyListHook(HIMAGELIST list) {
    using Fn = BOOL(WINAPI*)(HIMAGELIST);
    if (g_ledger->lists.erase(list) == 1)
        ++g_ledger->listReleases;
    else
        ++g_ledger->strayListReleases;
    return reinterpret_cast<Fn>(g_destroyList->Original())(list);
}

} // namespace ledger_detail

// Keeps `ledger` for as long as it lives. One at a time.
class HandleLedgerScope {
public:
    explicit HandleLedgerScope(HandleLedger& ledger) {
        using namespace ledger_detail;
        g_ledger = &ledger;
        m_extract = std::make_unique<ImportHook>("shell32.dll", "ExtractIconW",
                                                 reinterpret_cast<void*>(&ExtractIconHook));
        g_extract = m_extract.get();
        m_destroyIcon = std::make_unique<ImportHook>("user32.dll", "DestroyIcon",
                                                     reinterpret_cast<void*>(&DestroyIconHook));
        g_destroyIcon = m_destroyIcon.get();
        m_createList = std::make_unique<ImportHook>("comctl32.dll", "ImageList_Create",
                                                    reinterpret_cast<void*>(&CreateListHook));
        g_createList = m_createList.get();
        m_destroyList = std::make_unique<ImportHook>("comctl32.dll", "ImageList_Destroy",
                                                     reinterpret_cast<void*>(&DestroyListHook));
        g_destroyList = m_destroyList.get();
    }
    ~HandleLedgerScope() {
        m_extract.reset();
        m_destroyIcon.reset();
        m_createList.reset();
        m_destroyList.reset();
        ledger_detail::g_ledger = nullptr;
    }
    HandleLedgerScope(const HandleLedgerScope&) = delete;
    HandleLedgerScope& operator=(const HandleLedgerScope&) = delete;

    // False when the program does not import one of the four: the ledger would miss it.
    bool Installed() const {
        return m_extract->Installed() && m_destroyIcon->Installed() && m_createList->Installed() &&
               m_destroyList->Installed();
    }

private:
    std::unique_ptr<ImportHook> m_extract, m_destroyIcon, m_createList, m_destroyList;
};
