#pragma once
// The panel's entries in list-view order. Elements are only ever appended at the end
// and removed one at a time or all at once, so a plain doubly linked list serves; the
// lookups walk from the front and answer the first match, comparing texts byte for byte.

#include "engine/hotkey_entry.h"

#include <list>
#include <string>

using EntryList = std::list<HotKeyEntry>;

// The entry whose hotkey a hotkey message with this id belongs to. Only entry ids find
// one: a fixed hotkey's id, or any other, never reaches an entry that was not numbered.
EntryList::iterator FindEntryById(EntryList& entries, int id);
EntryList::const_iterator FindEntryById(const EntryList& entries, int id);

// The entry that already binds a built-in action token (or any path).
EntryList::iterator FindEntryByPath(EntryList& entries, const std::string& path);
EntryList::const_iterator FindEntryByPath(const EntryList& entries, const std::string& path);

// The entry a list-view row shows, traced by its name and key description columns.
EntryList::iterator FindEntryByRow(EntryList& entries, const std::string& name,
                                   const std::string& keydes);
EntryList::const_iterator FindEntryByRow(const EntryList& entries, const std::string& name,
                                         const std::string& keydes);
