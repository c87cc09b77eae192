#include "panel/list_read_ahead.h"

#include <process.h>

#include <map>
#include <new>
#include <utility>

ListReadAhead::~ListReadAhead() {
    Wait();
}

void ListReadAhead::Start(const std::string& path) {
    if (m_thread != nullptr || m_bHeld) return;
    m_strPath = path;
    // The C library's own thread start, since the reading uses its files and memory.
    const uintptr_t thread = _beginthreadex(nullptr, 0, &ListReadAhead::Read, this, 0, nullptr);
    m_thread = reinterpret_cast<HANDLE>(thread);
    m_bHeld = m_thread != nullptr;
}

unsigned __stdcall ListReadAhead::Read(void* self) {
    ListReadAhead& ahead = *static_cast<ListReadAhead*>(self);
    ReadList& read = ahead.m_read;
    std::map<std::pair<std::string, int>, size_t> known;
    try {
        read.result = LoadEntriesFromListFile(ahead.m_strPath, [&](const HotKeyEntry& entry) {
            const auto icon =
                known.emplace(std::make_pair(entry.icon, entry.iconint), read.icons.size());
            if (icon.second) read.icons.push_back(icon.first->first);
            read.iconOf.push_back(icon.first->second);
            read.entries.push_back(entry);
        });
    } catch (const std::bad_alloc&) {
        // As the reader itself ends a read that runs out of memory: what came so far stays.
        read.result = ListReadResult::Invalid;
    }
    // One icon per entry, also where the memory ran out after an entry's icon was noted.
    read.iconOf.resize(read.entries.size());
    return 0;
}

void ListReadAhead::Wait() {
    if (m_thread == nullptr) return;
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

bool ListReadAhead::Take(const std::string& path, ReadList& read) {
    Wait();
    // Only the first read may take it: any later one could find the file changed.
    const bool ours = m_bHeld && path == m_strPath;
    if (ours) read = std::move(m_read);
    Drop();
    return ours;
}

void ListReadAhead::Drop() {
    Wait();
    m_bHeld = false;
    m_read = ReadList();
}
