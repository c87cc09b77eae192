#include "storage/list_file.h"

#include "engine/builtin_action.h"
#include "engine/hotkey_code.h"
#include "platform/file_replace.h"
#include "storage/file_text.h"
#include "storage/ini_document.h"

#include <new>
#include <stdexcept>

const char kNoteLineBreak[] = "`@`";

namespace {

const char* const kMainSection = "MAIN";

// An entry whose launch carries arguments or asks for elevation keeps its path behind this
// character, which no file name can hold: a program that knows only the eight keys of an
// entry then fails to open it and starts nothing, instead of the program without its
// arguments or without elevation. The keys of those extras tell this reader to take the
// character away; a path that lost them (an older program rewrote the file) keeps it and
// stays inert, so the user sees it and can fix the entry. A path or working directory with
// a character GBK lacks is guarded the same way: a reader that knows only GBK would read
// another name there and could start something nobody chose.
const char kGuardedPath = '|';

bool NeedsGuard(const HotKeyEntry& e, const std::string& path) {
    return !e.args.empty() || e.runas || HasCharacterBeyondGbk(path) ||
           HasCharacterBeyondGbk(e.workdir);
}

std::string PathToFile(const HotKeyEntry& e) {
    return NeedsGuard(e, e.path) ? kGuardedPath + e.path : e.path;
}

bool IsGuarded(const std::string& stored) {
    return !stored.empty() && stored[0] == kGuardedPath;
}

// Needs the entry's extras and working directory read first.
std::string PathFromFile(const std::string& stored, const HotKeyEntry& e) {
    if (IsGuarded(stored) && NeedsGuard(e, stored.substr(1))) return stored.substr(1);
    return stored;
}

// A value of a loaded document; a lookup that failed for want of memory stops the reading
// (see ReadEntries). A line whose value is the marker's one character is only a value.
std::string Lookup(const CIniDocument& doc, const std::string& section, const char* key) {
    std::string value = doc.GetValue(section, key);
    if (value == CIniDocument::kNoDocument && doc.LookupFailed()) throw std::bad_alloc();
    return value;
}

std::string EntrySection(long long n) {
    return "run" + std::to_string(n);
}

// A program that knows only the eight keys registers whatever "hotkey" holds, cut to the
// control's 16 bits: a Win combination would come back as the same keys without Win, and
// take that combination from every other program. Such a code, and that of a binding
// switched off, is kept under a key of its own, and "hotkey" says 0, which such a program
// leaves unregistered.
const char kFullHotKeyKey[] = "fullhotkey";

// A binding switched off must not come back on in such a program either.
const char kDisabledKey[] = "disabled";

int HotKeyForOlderReaders(const HotKeyEntry& e) {
    return HasWinKey(e.hotkey) || !e.enabled ? 0 : e.hotkey;
}

// The keys after the eight, each only when it is not the default.
void AppendBindingKeys(CIniDocument& doc, const HotKeyEntry& e) {
    if (HotKeyForOlderReaders(e) != e.hotkey)
        doc.Append('o', kFullHotKeyKey, std::to_string(static_cast<long>(e.hotkey)));
    if (!e.enabled) doc.Append('o', kDisabledKey, "1");
}

// How the started program's window opens, under "window" when it is not the normal one.
// Any program starts such a binding in a normal window all the same, as it did before the
// choice was made, so the key needs no guard; a word this program does not know is the
// normal window.
const char kWindowKey[] = "window";

struct WindowWord {
    tw::WindowShow show;
    const char* word;
};
const WindowWord kWindowWords[] = {{tw::WindowShow::Minimized, "minimized"},
                                   {tw::WindowShow::Maximized, "maximized"},
                                   {tw::WindowShow::Hidden, "hidden"}};

// What a start does while the program runs, under "ifrunning" likewise: any program
// starts another copy, as the binding did before the choice was made.
const char kIfRunningKey[] = "ifrunning";

struct IfRunningWord {
    IfRunning choice;
    const char* word;
};
const IfRunningWord kIfRunningWords[] = {{IfRunning::BringBack, "front"},
                                         {IfRunning::LeaveAlone, "ignore"}};

void AppendLaunchChoiceKeys(CIniDocument& doc, const HotKeyEntry& e) {
    for (const WindowWord& w : kWindowWords)
        if (w.show == e.show) doc.Append('o', kWindowKey, w.word);
    for (const IfRunningWord& w : kIfRunningWords)
        if (w.choice == e.ifRunning) doc.Append('o', kIfRunningKey, w.word);
}

void ReadLaunchChoiceKeys(const CIniDocument& doc, const std::string& section, HotKeyEntry& e) {
    const std::string window = Lookup(doc, section, kWindowKey);
    for (const WindowWord& w : kWindowWords)
        if (window == w.word) e.show = w.show;
    const std::string ifRunning = Lookup(doc, section, kIfRunningKey);
    for (const IfRunningWord& w : kIfRunningWords)
        if (ifRunning == w.word) e.ifRunning = w.choice;
}

// The keys after the eight count only where the eight say they were written: the launch
// extras with a guarded path, the binding keys with 0 under "hotkey". A write in place that
// was cut short can leave lines of an old section behind the new last one, its header
// overwritten; they do not carry over to the entry they now follow.
void ReadBindingKeys(const CIniDocument& doc, const std::string& section, HotKeyEntry& e) {
    // Only this key can bring the Win bit: a "hotkey" with it set (edited by hand) is
    // taken as an older program would take it, without Win.
    e.hotkey &= ~kHotKeyWin;
    if (e.hotkey != 0) return;
    const std::string full = Lookup(doc, section, kFullHotKeyKey);
    if (full != CIniDocument::kNotFound) e.hotkey = ParseDecimal(full);
    const std::string disabled = Lookup(doc, section, kDisabledKey);
    e.enabled = disabled == CIniDocument::kNotFound || ParseDecimal(disabled) == 0;
}

void AppendEntry(CIniDocument& doc, long long n, const HotKeyEntry& e) {
    doc.Append('d', "[" + EntrySection(n) + "]", "");
    doc.Append('o', "name", e.name);
    doc.Append('o', "path", PathToFile(e));
    doc.Append('o', "hotkey", std::to_string(static_cast<long>(HotKeyForOlderReaders(e))));
    doc.Append('o', "iconint", std::to_string(e.iconint));
    doc.Append('o', "icon", e.icon);
    doc.Append('o', "keydes", e.keydes);
    doc.Append('o', "workdir", e.workdir);
    doc.Append('o', "info", NoteToFile(e.info));
    // Written only when set, so a list that uses neither reads as it always did.
    if (!e.args.empty()) doc.Append('o', "args", e.args);
    if (e.runas) doc.Append('o', "runas", "1");
    AppendBindingKeys(doc, e);
    AppendLaunchChoiceKeys(doc, e);
}

} // namespace

namespace {

void BuildListDocument(CIniDocument& doc, const std::list<HotKeyEntry>& entries) {
    doc.Append('d', std::string("[") + kMainSection + "]", "");
    doc.Append('o', "count", std::to_string(static_cast<int>(entries.size())));
    long long n = 1;
    for (const HotKeyEntry& e : entries)
        AppendEntry(doc, n++, e);
}

} // namespace

int SaveEntriesToListFile(const std::string& path, const std::list<HotKeyEntry>& entries) {
    try {
        CIniDocument doc;
        doc.Create(path);
        BuildListDocument(doc, entries);
        int saved = doc.Save();
        doc.Close();
        return saved;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return -1; // nothing was written
}

std::string ListFileText(const std::list<HotKeyEntry>& entries) {
    CIniDocument doc;
    doc.Create(std::string());
    BuildListDocument(doc, entries);
    return doc.Text();
}

namespace {

// Memory that runs short halfway stops the reading as a faulty section does: the entries
// delivered so far stay.
ListReadResult ReadEntries(const CIniDocument& doc,
                           const std::function<void(const HotKeyEntry&)>& onEntry) try {
    const int count = ParseDecimal(Lookup(doc, kMainSection, "count"));
    for (long long n = 1; n <= count; ++n) {
        const std::string section = EntrySection(n);
        HotKeyEntry e;
        e.iconint = ParseDecimal(Lookup(doc, section, "iconint"));
        e.hotkey = ParseDecimal(Lookup(doc, section, "hotkey"));
        e.name = Lookup(doc, section, "name");
        if (e.name == CIniDocument::kNotFound) return ListReadResult::Invalid;
        const std::string path = TextOrEmpty(Lookup(doc, section, "path"));
        if (IsGuarded(path)) {
            e.args = TextOrEmpty(Lookup(doc, section, "args"));
            e.runas = ParseDecimal(TextOrEmpty(Lookup(doc, section, "runas"))) != 0;
        }
        e.workdir = TextOrEmpty(Lookup(doc, section, "workdir"));
        e.path = PathFromFile(path, e);
        e.icon = TextOrEmpty(Lookup(doc, section, "icon"));
        e.info = TextOrEmpty(Lookup(doc, section, "info"));
        e.keydes = TextOrEmpty(Lookup(doc, section, "keydes"));
        e.info = NoteFromFile(e.info);
        e.builtin = e.info == kBuiltInNote;
        ReadBindingKeys(doc, section, e);
        ReadLaunchChoiceKeys(doc, section, e);
        onEntry(e);
    }
    return ListReadResult::Ok;
} catch (const std::bad_alloc&) {
    return ListReadResult::Invalid;
} catch (const std::length_error&) {
    return ListReadResult::Invalid;
}

} // namespace

ListReadResult LoadEntriesFromListFile(const std::string& path,
                                       const std::function<void(const HotKeyEntry&)>& onEntry) {
    CIniDocument doc;
    if (doc.Load(path) != 1) return ListReadResult::CannotOpen;
    return ReadEntries(doc, onEntry);
}

ListReadResult LoadEntriesFromListText(std::string_view text,
                                       const std::function<void(const HotKeyEntry&)>& onEntry) {
    CIniDocument doc;
    if (doc.LoadText(std::string(), text) != 1) return ListReadResult::CannotOpen;
    return ReadEntries(doc, onEntry);
}

namespace {

// A file that reads as a list to its last entry: a count, and every entry it names.
bool ReadsAsWholeList(const std::string& path) {
    CIniDocument doc;
    if (doc.Load(path) != 1 || doc.GetValue(kMainSection, "count") == CIniDocument::kNotFound)
        return false;
    return ReadEntries(doc, [](const HotKeyEntry&) {}) == ListReadResult::Ok;
}

} // namespace

bool RestoreMissingListFile(const std::string& path) {
    const std::string target = ResolveLinks(path);
    if (target.empty() || PathExists(target)) return false;
    for (const std::string& leftover : SaveLeftovers(target)) {
        if (ReadsAsWholeList(leftover)) return RenameToFreeName(leftover, target);
    }
    return false;
}

// The document holds the file's text decoded, so no byte of the marker can be half of
// another character, in this direction or the other. A lone LF also becomes the marker:
// written as it is, it would end the line in the file and turn the rest of the note into
// lines of their own.
std::string NoteToFile(const std::string& note) {
    std::string stored;
    stored.reserve(note.size());
    for (size_t i = 0; i < note.size(); ++i) {
        if (note[i] == '\r' && i + 1 < note.size() && note[i + 1] == '\n') {
            stored += kNoteLineBreak;
            ++i;
        } else if (note[i] == '\n') {
            stored += kNoteLineBreak;
        } else {
            stored += note[i];
        }
    }
    return stored;
}

std::string NoteFromFile(const std::string& stored) {
    static const std::string marker = kNoteLineBreak;
    // Most notes hold no marker byte at all; they need no walk.
    if (stored.find('`') == std::string::npos) return stored;
    std::string note;
    note.reserve(stored.size());
    size_t i = 0;
    while (i < stored.size()) {
        if (stored.compare(i, marker.size(), marker) == 0) {
            note += "\r\n";
            i += marker.size();
        } else {
            note += stored[i];
            ++i;
        }
    }
    return note;
}
