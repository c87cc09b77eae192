#include "engine/entry_list.h"

#include <algorithm>

namespace {

template <typename List, typename Pred>
auto FindFirst(List& entries, Pred pred) -> decltype(entries.begin()) {
    return std::find_if(entries.begin(), entries.end(), pred);
}

} // namespace

EntryList::iterator FindEntryById(EntryList& entries, int id) {
    return FindFirst(entries, [id](const HotKeyEntry& e) { return e.IsNumbered() && e.id == id; });
}
EntryList::const_iterator FindEntryById(const EntryList& entries, int id) {
    return FindFirst(entries, [id](const HotKeyEntry& e) { return e.IsNumbered() && e.id == id; });
}

EntryList::iterator FindEntryByPath(EntryList& entries, const std::string& path) {
    return FindFirst(entries, [&path](const HotKeyEntry& e) { return e.path == path; });
}
EntryList::const_iterator FindEntryByPath(const EntryList& entries, const std::string& path) {
    return FindFirst(entries, [&path](const HotKeyEntry& e) { return e.path == path; });
}

EntryList::iterator FindEntryByRow(EntryList& entries, const std::string& name,
                                   const std::string& keydes) {
    return FindFirst(entries,
                     [&](const HotKeyEntry& e) { return e.name == name && e.keydes == keydes; });
}
EntryList::const_iterator FindEntryByRow(const EntryList& entries, const std::string& name,
                                         const std::string& keydes) {
    return FindFirst(entries,
                     [&](const HotKeyEntry& e) { return e.name == name && e.keydes == keydes; });
}
