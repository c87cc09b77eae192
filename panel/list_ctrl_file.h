#pragma once
// The panel's list view (control 1000). It accepts files dropped from the shell: the first
// file of a drop opens the program entry dialog filled from its path, and OK adds it.

#include "ui/controls.h"

#include <shellapi.h>

#include <string>

struct HotKeyEntry;

class CListCtrlFile : public CListCtrl {
public:
    // The most a dropped path may hold, in bytes without its terminator; longer ones are
    // refused rather than cut (a cut could split a double-byte character).
    static constexpr unsigned kMaxDropPath = 259;

    // The first file of a drop; false (and `path` empty) when the drop holds none or its
    // first path is too long. The drop handle stays the caller's.
    static bool FirstDroppedFile(HDROP drop, std::string& path, bool& tooLong);

    // Refines an entry derived from a dropped path: a folder gets the shell's folder icon
    // and its whole name, a shortcut the icon of what it points to. The command stays the
    // dropped path, so a shortcut keeps its arguments and working directory.
    static void RefineDroppedEntry(HotKeyEntry& entry);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDropFiles(HDROP drop);
};
