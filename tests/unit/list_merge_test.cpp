// Merging another list: equal entries are left out, a combination already held comes
// switched off, and the holder is the binding switched on that has it.
#include "engine/list_merge.h"

#include <gtest/gtest.h>

namespace {

HotKeyEntry Binding(const std::string& name, int hotkey, bool enabled = true) {
    HotKeyEntry e;
    e.name = name;
    e.path = "C:\\" + name + ".exe";
    e.hotkey = hotkey;
    e.enabled = enabled;
    return e;
}

TEST(ListMerge, EqualEntriesAreLeftOutAndTakenCombinationsComeSwitchedOff) {
    const EntryList current = {Binding("mail", 0x641), Binding("off", 0x642, false),
                               Binding("none", 0)};
    const std::vector<HotKeyEntry> incoming = {
        Binding("mail", 0x641),  // equal to one in the list: left out
        Binding("web", 0x641),   // Ctrl+Alt+A is held by mail
        Binding("notes", 0x642), // held only by a binding switched off: free
        Binding("calc", 0x643),
        Binding("term", 0x643),  // held by the merged calc
        Binding("calc", 0x643),  // equal to a merged one
        Binding("plain", 0),     // no combination: never a clash
        Binding("plain2", 0),
    };
    const MergedEntries merged = MergeEntries(current, incoming);
    std::vector<std::pair<std::string, bool>> added;
    for (const HotKeyEntry& e : merged.added) added.emplace_back(e.name, e.enabled);
    EXPECT_EQ((std::vector<std::pair<std::string, bool>>{{"web", false},
                                                         {"notes", true},
                                                         {"calc", true},
                                                         {"term", false},
                                                         {"plain", true},
                                                         {"plain2", true}}),
              added);
    EXPECT_EQ(2, merged.switchedOff);

    EntryList all = current;
    all.insert(all.end(), merged.added.begin(), merged.added.end());
    const auto holder = [&](const char* name) {
        for (const HotKeyEntry& e : all)
            if (e.name == name) {
                const HotKeyEntry* h = HolderOfCombination(all, e);
                return h ? h->name : std::string("-");
            }
        return std::string("?");
    };
    EXPECT_EQ("mail", holder("web"));
    EXPECT_EQ("calc", holder("term"));
    EXPECT_EQ("notes", holder("off")) << "the switched-on one holds it";
    EXPECT_EQ("-", holder("plain"));
}

} // namespace
