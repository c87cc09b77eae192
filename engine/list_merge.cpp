#include "engine/list_merge.h"

#include <algorithm>
#include <set>

MergedEntries MergeEntries(const EntryList& current, const std::vector<HotKeyEntry>& incoming) {
    MergedEntries merged;
    std::set<int> held;
    for (const HotKeyEntry& e : current)
        if (e.enabled && e.hotkey != 0) held.insert(e.hotkey);
    const auto known = [&](const HotKeyEntry& e) {
        return std::find(current.begin(), current.end(), e) != current.end() ||
               std::find(merged.added.begin(), merged.added.end(), e) != merged.added.end();
    };
    for (HotKeyEntry e : incoming) {
        if (known(e)) continue;
        if (e.enabled && e.hotkey != 0 && !held.insert(e.hotkey).second) {
            e.enabled = false;
            ++merged.switchedOff;
        }
        merged.added.push_back(e);
    }
    return merged;
}

const HotKeyEntry* HolderOfCombination(const EntryList& entries, const HotKeyEntry& entry) {
    if (entry.hotkey == 0) return nullptr;
    for (const HotKeyEntry& e : entries)
        if (&e != &entry && e.enabled && e.hotkey == entry.hotkey) return &e;
    return nullptr;
}
