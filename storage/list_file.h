#pragma once
// The hotkey list file: an entry list kept as INI text, a section "MAIN" with the number
// of entries and one section "run1", "run2", ... per entry in list order. The panel owns
// the messages and the icons; these functions only move entries to and from the file.

#include "engine/hotkey_entry.h"

#include <functional>
#include <list>
#include <string>
#include <string_view>

// The three characters that stand for a line break of a note in the file.
extern const char kNoteLineBreak[];

// Writes the whole list to path. The old file is replaced only by a complete new one, so
// a failure leaves it as it was (kept by CIniDocument::Save in storage/ini_document.cpp,
// which puts the new file in place with ReplaceFileWith in platform/file_replace.h).
// 1 written, -1 the file cannot be written.
int SaveEntriesToListFile(const std::string& path, const std::list<HotKeyEntry>& entries);

// The bytes SaveEntriesToListFile writes for the list.
std::string ListFileText(const std::list<HotKeyEntry>& entries);

enum class ListReadResult {
    Ok,         // every entry the count names was read
    CannotOpen, // no file to read; nothing delivered
    Invalid,    // an entry section without a name, or no memory left to go on; the entries
                // before it were delivered
};

// Reads the entries of the file at path in entry order and hands each to onEntry.
ListReadResult LoadEntriesFromListFile(const std::string& path,
                                       const std::function<void(const HotKeyEntry&)>& onEntry);

// The same from the bytes of a list file already in memory.
ListReadResult LoadEntriesFromListText(std::string_view text,
                                       const std::function<void(const HotKeyEntry&)>& onEntry);

// Puts the list back when path names none but a save left one beside it (a save of an
// earlier version of the program that failed halfway): the newest of them that reads as a
// whole list takes the name, before anything reads or saves the list. True when one did.
bool RestoreMissingListFile(const std::string& path);

// A note as the file stores it: every line break as the marker.
std::string NoteToFile(const std::string& note);

// A stored note back as text: every marker as CR LF.
std::string NoteFromFile(const std::string& stored);
