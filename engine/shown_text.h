#pragma once
// What the panel and the built-in action dialog show of an entry, in the language shown.
// The entry and its file keep their own texts, which are the same in every language: the
// note that marks a built-in entry, the description of no hotkey, and the names of the
// shipped catalogue's actions show translated; a person's own texts show as written.

#include "engine/hotkey_entry.h"

#include <string>

// The key description a list file holds for an entry without a hotkey.
extern const char kNoHotKeyDescription[];

std::string ShownName(const HotKeyEntry& entry);
std::string ShownKeyDescription(const std::string& keydes);
std::string ShownNote(const std::string& info);

// A catalogue action's name: the shown name of an action the shipped catalogue names so.
std::string ShownActionName(const std::string& name, const std::string& token);

// A note as a row shows it marks a built-in entry.
bool IsBuiltInNoteShown(const std::string& shown);
