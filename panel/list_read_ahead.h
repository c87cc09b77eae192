#pragma once
// The list file read on a thread of its own while the panel window is being made. Start-up
// reads the list its settings name, and reading thousands of entries takes about as long
// as making the window: done side by side, the panel finds the entries waiting when it
// comes to read that file. It reads the file itself when nothing was read ahead for it.

#include "engine/entry_list.h"
#include "storage/list_file.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class ListReadAhead {
public:
    ListReadAhead() = default;
    ListReadAhead(const ListReadAhead&) = delete;
    ListReadAhead& operator=(const ListReadAhead&) = delete;
    // Waits for a reading still under way.
    ~ListReadAhead();

    // A list as read: what LoadEntriesFromListFile gave, the entries in order and its
    // result, and the icons they name (file and index), each once, in the order the
    // entries first name them, with the one of each entry.
    struct ReadList {
        EntryList entries;
        ListReadResult result = ListReadResult::CannotOpen;
        std::vector<std::pair<std::string, int>> icons;
        std::vector<size_t> iconOf;
    };

    // Starts reading path, as LoadEntriesFromListFile does; where no thread can be
    // started, nothing is read ahead. Once only.
    void Start(const std::string& path);
    // Once the reading is done: the list read from path. False when nothing was read ahead
    // for path. What was read is handed over at the first call, or forgotten there when it
    // was for another path.
    bool Take(const std::string& path, ReadList& read);
    // Forgets what was read: the file is not the one read any more.
    void Drop();

private:
    static unsigned __stdcall Read(void* self);
    void Wait();

    HANDLE m_thread = nullptr;
    bool m_bHeld = false; // something was read and not handed over yet
    std::string m_strPath;
    ReadList m_read;
};
