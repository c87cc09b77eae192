#pragma once
// The panel's list view (control 1000). It accepts files dropped from the shell: the first
// file of a drop opens the program entry dialog filled from its path, and OK adds it.

#include "ui/controls.h"

#include <shellapi.h>

#include <string>

struct HotKeyEntry;

class CListCtrlFile : public CListCtrl {
public:
    // The most a dropped path may hold, in bytes of the list file without its terminator;
    // longer ones are refused rather than cut.
    static constexpr unsigned kMaxDropPath = 259;

    enum class DropPath {
        None,            // the drop holds no file
        Ok,              // `path` holds the first file's path
        TooLong,         // its path does not fit
    };
    // The first file of a drop, whatever the characters of its path. The drop handle stays
    // the caller's.
    static DropPath FirstDroppedFile(HDROP drop, std::string& path);

    // Refines an entry derived from a dropped path: a folder gets the shell's folder icon
    // and its whole name, a shortcut the icon of what it points to. The command stays the
    // dropped path, so a shortcut keeps its arguments and working directory.
    static void RefineDroppedEntry(HotKeyEntry& entry);

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDropFiles(HDROP drop);
};
