#pragma once
// The search box's rule: which bindings a typed text shows.

#include "engine/hotkey_entry.h"

#include <string>

// True when `text` is empty or found in the entry's name, key description, command or
// note; Latin letters match in either case, every other character only as itself, so a
// Chinese text matches whole characters.
bool EntryMatches(const HotKeyEntry& entry, const std::string& text);
