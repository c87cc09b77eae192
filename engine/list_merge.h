#pragma once
// Merging another list into the current one: what is added, and what comes switched off
// because its combination is taken.

#include "engine/entry_list.h"

#include <vector>

struct MergedEntries {
    // To append, in the order of the merged list; those whose combination another
    // binding holds come switched off.
    std::vector<HotKeyEntry> added;
    int switchedOff = 0;
};

// `incoming` against `current`: an entry equal to one already there (or merged before it)
// is left out; one whose combination a binding that is switched on holds, in the current
// list or merged before it, is added switched off rather than dropped, so the user sees
// it and can change either binding.
MergedEntries MergeEntries(const EntryList& current, const std::vector<HotKeyEntry>& incoming);

// The binding switched on that holds `entry`'s combination, other than `entry` itself;
// null when none does (or the entry has none).
const HotKeyEntry* HolderOfCombination(const EntryList& entries, const HotKeyEntry& entry);
